#include "common/text.h"

#include <charconv>
#include <cstring>

int ProcessCodePage = 936;

namespace {

// Replaces each full-width form that has an ASCII twin by that twin, stepping
// over other double-byte characters whole so that a trail byte is never
// mistaken for a lead byte.
Text FoldFullWidth(const Text& text) {
  Text folded;
  folded.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (!IsLeadByte(text[i]) || i + 1 >= text.size()) {
      folded += text[i];
      continue;
    }
    const auto trail = static_cast<unsigned char>(text[i + 1]);
    ++i;
    if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
      folded += static_cast<char>(trail & 0x7F);
    } else if (lead == 0xA1 && trail == 0xA1) {
      folded += ' ';
    } else if (lead == 0xA1 && trail == 0xAB) {
      folded += '~';
    } else if (lead == 0xA1 && (trail == 0xEE || trail == 0xEF)) {
      folded += '*';
    } else {
      folded += static_cast<char>(lead);
      folded += static_cast<char>(trail);
    }
  }
  return folded;
}

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

std::int32_t TextToInt(const Text& text) {
  const Text folded = FoldFullWidth(text);
  std::size_t i = 0;
  while (i < folded.size() && IsBlank(folded[i])) ++i;
  bool negative = false;
  if (i < folded.size() && (folded[i] == '+' || folded[i] == '-')) {
    negative = folded[i] == '-';
    ++i;
  }
  std::uint32_t value = 0;  // unsigned: wrapping is defined
  for (; i < folded.size() && folded[i] >= '0' && folded[i] <= '9'; ++i) {
    value = value * 10u + static_cast<std::uint32_t>(folded[i] - '0');
  }
  if (negative) value = 0u - value;
  return static_cast<std::int32_t>(value);
}

Text IntToText(std::int32_t value) { return std::to_string(value); }

Text RealToText(double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                    std::chars_format::general, 13);
  return Text(buffer, result.ptr);
}

std::size_t FindText(const Text& text, const Text& part, std::size_t from) noexcept {
  if (text.empty() || from > text.size()) return Text::npos;
  if (part.empty()) return from;
  for (std::size_t i = from; i + part.size() <= text.size();) {
    if (std::memcmp(text.data() + i, part.data(), part.size()) == 0) return i;
    i += IsLeadByte(text[i]) && i + 1 < text.size() ? 2 : 1;
  }
  return Text::npos;
}
