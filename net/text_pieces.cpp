#include "net/text_pieces.h"

#include <optional>

namespace {

// The byte length of the character that starts at i.
std::size_t CharLength(const Text& text, std::size_t i) noexcept {
  return IsLeadByte(text[i]) && i + 1 < text.size() ? 2 : 1;
}

// ASCII letters lowered, trail bytes of double-byte characters untouched, so
// positions stay the same and a case-ignoring search can be a plain one.
Text FoldAsciiCase(const Text& text) {
  Text folded(text);
  for (std::size_t i = 0; i < folded.size(); i += CharLength(folded, i)) {
    if (folded[i] >= 'A' && folded[i] <= 'Z') folded[i] = static_cast<char>(folded[i] + 32);
  }
  return folded;
}

// The last occurrence of part that ends within the first `limit` bytes.
std::size_t FindLastWithin(const Text& text, const Text& part, std::size_t limit, bool ignoreCase) {
  const Text folded = ignoreCase ? FoldAsciiCase(text) : Text();
  const Text foldedPart = ignoreCase ? FoldAsciiCase(part) : Text();
  const Text& haystack = ignoreCase ? folded : text;
  const Text& needle = ignoreCase ? foldedPart : part;
  std::size_t last = Text::npos;
  for (std::size_t at = FindText(haystack, needle, 0);
       at != Text::npos && at + needle.size() <= limit && at < haystack.size();
       at = FindText(haystack, needle, at + CharLength(haystack, at))) {
    last = at;
  }
  return last;
}

// A 1-based start position as a 0-based byte offset; 0 counts as 1.
std::size_t FromPosition(std::int64_t position) noexcept {
  return position > 1 ? static_cast<std::size_t>(position - 1) : 0;
}

// The first len - cut bytes, or nothing when the cut is longer than the text.
std::optional<std::size_t> LimitAfterCut(const Text& text, std::int64_t cut) noexcept {
  if (cut > static_cast<std::int64_t>(text.size())) return std::nullopt;
  return text.size() - static_cast<std::size_t>(cut);
}

}  // namespace

std::size_t FindTextCase(const Text& text, const Text& part, std::size_t from, bool ignoreCase) {
  return ignoreCase ? FindText(FoldAsciiCase(text), FoldAsciiCase(part), from)
                    : FindText(text, part, from);
}

TextList SplitText(const Text& text, const Text& separator) {
  TextList pieces;
  if (text.empty()) return pieces;
  if (separator.empty()) return {text};
  std::size_t begin = 0;
  while (begin < text.size()) {
    const std::size_t at = FindText(text, separator, begin);
    if (at == Text::npos) {
      pieces.push_back(text.substr(begin));
      break;
    }
    pieces.push_back(text.substr(begin, at - begin));
    begin = at + separator.size();
  }
  return pieces;
}

bool EndsWithText(const Text& text, const Text& tail) noexcept {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

Text TrimSpaces(const Text& text) {
  std::size_t begin = 0;
  std::size_t end = 0;  // just past the last character that is not a space
  bool leading = true;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = CharLength(text, i);
    const bool space = text[i] == ' ' || (length == 2 && text[i] == '\xA1' && text[i + 1] == '\xA1');
    if (!space) {
      if (leading) begin = i;
      leading = false;
      end = i + length;
    }
    i += length;
  }
  return leading ? Text() : text.substr(begin, end - begin);
}

Text ReplaceAllText(const Text& text, const Text& from, const Text& to, bool ignoreCase) {
  if (from.empty()) return text;
  const Text folded = ignoreCase ? FoldAsciiCase(text) : Text();
  const Text foldedFrom = ignoreCase ? FoldAsciiCase(from) : Text();
  const Text& haystack = ignoreCase ? folded : text;
  const Text& needle = ignoreCase ? foldedFrom : from;
  Text result;
  std::size_t begin = 0;
  for (std::size_t at = FindText(haystack, needle, 0); at != Text::npos; at = FindText(haystack, needle, begin)) {
    result.append(text, begin, at - begin);
    result += to;
    begin = at + from.size();
  }
  if (begin < text.size()) result.append(text, begin, Text::npos);
  return result;
}

Text TextBefore(const Text& text, const Text& marker, std::int32_t start, bool ignoreCase) {
  std::size_t at = Text::npos;
  if (start >= 0) {
    at = FindTextCase(text, marker, FromPosition(start), ignoreCase);
  } else if (const auto limit = LimitAfterCut(text, start == -1 ? 0 : -std::int64_t{start})) {
    at = FindLastWithin(text, marker, *limit, ignoreCase);
  }
  return at == Text::npos ? Text() : text.substr(0, at);
}

Text TextAfter(const Text& text, const Text& marker, std::int32_t start, bool ignoreCase) {
  std::size_t at = Text::npos;
  if (start < 0) {
    at = FindTextCase(text, marker, FromPosition(-std::int64_t{start}), ignoreCase);
  } else if (const auto limit = LimitAfterCut(text, start)) {
    at = FindLastWithin(text, marker, *limit, ignoreCase);
  }
  return at == Text::npos ? Text() : text.substr(at + marker.size());
}

Text TextBetween(const Text& text, const Text& left, const Text& right, std::int32_t start,
                 bool ignoreCase) {
  const Text quote = "\"";
  const Text leftMarker = ReplaceAllText(left, "#引号", quote);
  const Text rightMarker = ReplaceAllText(right, "#引号", quote);
  const std::size_t leftAt = FindTextCase(text, leftMarker, FromPosition(start), ignoreCase);
  if (leftAt == Text::npos) return {};
  const std::size_t inner = leftAt + leftMarker.size();
  const std::size_t rightAt = FindTextCase(text, rightMarker, inner, ignoreCase);
  if (rightAt == Text::npos) return {};
  return text.substr(inner, rightAt - inner);
}

std::int32_t SplitCharacters(const Text& text, TextList& pieces) {
  pieces.clear();
  for (std::size_t i = 0; i < text.size();) {
    std::size_t length = 1;
    if (i + 1 < text.size()) {
      const bool doubleByte = static_cast<unsigned char>(text[i]) >= 0x81;
      const bool lineBreak = text[i] == '\r' && text[i + 1] == '\n';
      if (doubleByte || lineBreak) length = 2;
    }
    pieces.push_back(text.substr(i, length));
    i += length;
  }
  return static_cast<std::int32_t>(pieces.size());
}

std::int32_t IndexOfText(const TextList& list, const Text& text) {
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (list[i] == text) return static_cast<std::int32_t>(i + 1);
  }
  return -1;
}

Text JoinDistinct(const Text& text, const Text& separator, bool splitBySeparator) {
  TextList pieces;
  if (splitBySeparator) {
    pieces = SplitText(text, separator);
  } else {
    SplitCharacters(text, pieces);
  }
  TextList seen;
  Text result;
  for (const Text& piece : pieces) {
    if (IndexOfText(seen, piece) != -1) continue;
    seen.push_back(piece);
    result += piece;
    result += separator;
  }
  result.resize(result.size() >= separator.size() ? result.size() - separator.size() : 0);
  return result;
}
