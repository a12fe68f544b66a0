#pragma once
// Conversions between Text (code page 936), UTF-16 and UTF-8. UTF-16 travels
// as Bytes of little-endian units, normally with one counted zero unit at the
// end; an empty result is an empty array, never a lone terminator.

#include <optional>

#include "common/text.h"

// Text in ProcessCodePage to UTF-16; without the terminator when trimmed.
[[nodiscard]] Bytes TextToWide(const Text& text, bool trim = false);

// Multibyte bytes in the given code page to UTF-16, terminator included. The
// conversion stops at the first zero byte.
[[nodiscard]] Bytes MultiByteToWide(const Bytes& bytes, unsigned codePage);

// Cut at the first zero unit, with a terminator appended when asked.
[[nodiscard]] Bytes TrimWideAtNul(const Bytes& wide, bool appendTerminator);

// UTF-16 to multibyte text in the given code page (CP_ACP when omitted).
// Characters the code page cannot hold become its default character.
[[nodiscard]] Text WideToText(const Bytes& wide, std::optional<unsigned> codePage = std::nullopt);

// UTF-8 to Text in ProcessCodePage.
[[nodiscard]] Text Utf8ToText(const Bytes& utf8);
