#pragma once
// INI files through the Windows profile functions, in their ANSI forms.

#include <windows.h>

#include "common/text.h"

namespace runtime {

// The value of section/key in the file at path, or defaultValue when the
// file, section or key is missing; at most bufferSize - 1 bytes of it.
[[nodiscard]] Text ReadIni(const Text& path, const Text& section, const Text& key, const Text& defaultValue,
                           DWORD bufferSize);
// Writes section/key = value; a failed write is not reported.
void WriteIni(const Text& path, const Text& section, const Text& key, const Text& value) noexcept;

}  // namespace runtime
