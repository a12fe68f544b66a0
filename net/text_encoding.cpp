#include "net/text_encoding.h"

#include <windows.h>

#include <cstring>

Bytes MultiByteToWide(const Bytes& bytes, unsigned codePage) {
  // A terminated copy: the conversion ends at the first zero byte.
  Bytes source(bytes);
  source.push_back(0);
  const auto* string = reinterpret_cast<const char*>(source.data());
  if (string[0] == 0) return {};
  const int units = ::MultiByteToWideChar(codePage, 0, string, -1, nullptr, 0);
  if (units <= 0) return {};
  Bytes wide(static_cast<std::size_t>(units) * 2, 0);
  ::MultiByteToWideChar(codePage, 0, string, -1, reinterpret_cast<wchar_t*>(wide.data()), units);
  return wide;
}

Bytes TextToWide(const Text& text, bool trim) {
  Bytes wide = MultiByteToWide(TextBytes(text), static_cast<unsigned>(ProcessCodePage));
  return trim ? TrimWideAtNul(wide, false) : wide;
}

Bytes TrimWideAtNul(const Bytes& wide, bool appendTerminator) {
  if (wide.size() < 2) return {};
  std::size_t i = 0;
  while (i + 2 <= wide.size() && (wide[i] != 0 || wide[i + 1] != 0)) i += 2;
  if (i == 0) return {};
  Bytes trimmed(wide.begin(), wide.begin() + static_cast<std::ptrdiff_t>(i));
  if (appendTerminator) trimmed.insert(trimmed.end(), {0, 0});
  return trimmed;
}

Text WideToText(const Bytes& wide, std::optional<unsigned> codePage) {
  // Two zero bytes terminate the copy even when the input was not; an odd
  // trailing byte becomes the low half of a unit ending in zero.
  Bytes source(wide);
  source.insert(source.end(), {0, 0, 0});
  std::size_t units = 0;
  while (source[units * 2] != 0 || source[units * 2 + 1] != 0) ++units;
  if (units == 0) return {};
  std::vector<wchar_t> string(units + 1, 0);
  std::memcpy(string.data(), source.data(), units * 2);
  const unsigned page = codePage.value_or(CP_ACP);
  const int size = ::WideCharToMultiByte(page, 0, string.data(), -1, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return {};
  std::vector<char> buffer(static_cast<std::size_t>(size), 0);
  ::WideCharToMultiByte(page, 0, string.data(), -1, buffer.data(), size, nullptr, nullptr);
  return Text(buffer.data());
}

Text Utf8ToText(const Bytes& utf8) {
  return WideToText(MultiByteToWide(utf8, CP_UTF8), static_cast<unsigned>(ProcessCodePage));
}
