#pragma once
// Text and byte types shared by every subsystem, and the number conversions.

#include <cstdint>
#include <string>
#include <vector>

// A NUL-terminated byte string in code page 936. Lengths and positions count
// bytes; a double-byte character is two of them.
using Text = std::string;

// A counted byte array. UTF-16 text travels in it as little-endian units.
using Bytes = std::vector<std::uint8_t>;

// The code page of every Text; every conversion to and from UTF-16 uses it.
extern int ProcessCodePage;

// Windows must see a null pointer for an empty array, never a pointer to
// nothing (std::vector::data() of an empty vector is unspecified).
inline const std::uint8_t* DataOrNull(const Bytes& bytes) noexcept {
  return bytes.empty() ? nullptr : bytes.data();
}

// The data of a UTF-16 array as a wide string pointer (null when empty).
inline const wchar_t* WideOrNull(const Bytes& wide) noexcept {
  return reinterpret_cast<const wchar_t*>(DataOrNull(wide));
}

inline Bytes TextBytes(const Text& text) { return Bytes(text.begin(), text.end()); }

// Folds full-width digits, signs and letters to ASCII, then reads an optional
// sign and decimal digits after leading blanks. No digit gives 0; overflow
// wraps modulo 2^32.
[[nodiscard]] std::int32_t TextToInt(const Text& text);

[[nodiscard]] Text IntToText(std::int32_t value);

// Shortest form with up to 13 significant digits, as "%.13g".
[[nodiscard]] Text RealToText(double value);

// Whether a byte starts a double-byte character of code page 936.
[[nodiscard]] constexpr bool IsLeadByte(char c) noexcept {
  return static_cast<unsigned char>(c) >= 0x81 && static_cast<unsigned char>(c) <= 0xFE;
}

// The byte position of the first occurrence of part in text at or after the
// character boundary `from`, or Text::npos. Case-sensitive; a match never
// starts on the second byte of a double-byte character. An empty part is
// found (at `from`) in any non-empty text and in no empty text.
[[nodiscard]] std::size_t FindText(const Text& text, const Text& part, std::size_t from = 0) noexcept;
