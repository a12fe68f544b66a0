#pragma once
// Cutting, splitting and trimming of Text by markers. Positions are 1-based
// bytes; searches and splits step over double-byte characters of code page
// 936 whole, so a marker never matches from the second byte of a character.

#include <cstdint>
#include <vector>

#include "common/text.h"

using TextList = std::vector<Text>;

// The 0-based position of part in text at or after the character boundary
// `from`, or Text::npos; with ignoreCase, ASCII letters match either case.
[[nodiscard]] std::size_t FindTextCase(const Text& text, const Text& part, std::size_t from,
                                       bool ignoreCase);

// The pieces between separators, in order: an empty text gives none, two
// separators in a row give an empty piece, a leading separator a leading
// empty piece, and a trailing separator no trailing piece.
[[nodiscard]] TextList SplitText(const Text& text, const Text& separator);

[[nodiscard]] bool EndsWithText(const Text& text, const Text& tail) noexcept;

// Without leading and trailing ASCII spaces and full-width spaces (A1 A1).
[[nodiscard]] Text TrimSpaces(const Text& text);

// Every occurrence of `from` replaced by `to`; with ignoreCase, ASCII letters
// of `from` match either case.
[[nodiscard]] Text ReplaceAllText(const Text& text, const Text& from, const Text& to,
                                  bool ignoreCase = false);

// start >= 0: the text before the first marker found from position start
// (0 counts as 1). start < 0: before the last marker lying wholly within the
// first len - |start| bytes (-1 counts as the whole text). Empty when not found.
[[nodiscard]] Text TextBefore(const Text& text, const Text& marker, std::int32_t start = 0,
                              bool ignoreCase = false);

// start >= 0: everything after the last marker lying wholly within the first
// len - start bytes. start < 0: after the first marker found from position
// |start|. Empty when not found.
[[nodiscard]] Text TextAfter(const Text& text, const Text& marker, std::int32_t start = 0,
                             bool ignoreCase = false);

// The text between the first left marker found from position start (below 1:
// from the beginning) and the first right marker after it; empty when either
// is missing. "#引号" in a marker stands for one double quote.
[[nodiscard]] Text TextBetween(const Text& text, const Text& left, const Text& right,
                               std::int32_t start = 1, bool ignoreCase = false);

// Each character as one piece: a double-byte character, a CR LF pair or a
// single byte (the last byte always stands alone). Returns the count.
std::int32_t SplitCharacters(const Text& text, TextList& pieces);

// The 1-based index of the first entry equal to text, or -1.
[[nodiscard]] std::int32_t IndexOfText(const TextList& list, const Text& text);

// The distinct pieces of text in first-seen order, each followed by the
// separator except the last. Pieces come from splitting at the separator, or
// from SplitCharacters when splitBySeparator is false.
[[nodiscard]] Text JoinDistinct(const Text& text, const Text& separator, bool splitBySeparator);
