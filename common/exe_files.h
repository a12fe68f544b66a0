#pragma once
// Files beside the program: where the executable lives, and whole-file writes.

#include "common/text.h"

namespace runtime {

// The directory of the executable without a trailing backslash, and the
// executable's file name alone.
[[nodiscard]] Text ExeDirectory();
[[nodiscard]] Text ExeFileName();

// Replaces the file with exactly these bytes; false when it cannot.
[[nodiscard]] bool WriteWholeFile(const Text& path, const Bytes& data) noexcept;

}  // namespace runtime
