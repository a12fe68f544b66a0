#pragma once
// A strict JSON checker (RFC 8259): the one gate a document passes before the
// script engine reads it as a literal. Whatever passes is a single JSON value
// and nothing else, so the engine can only ever build data from it.

#include <cstddef>
#include <optional>
#include <string_view>

#include "common/text.h"

// The deepest nesting of arrays and objects accepted. The engine converts
// nested arrays to text recursively on the native stack, and about 1,400
// levels overflow a 2 MB stack; documents of ours nest a few levels.
inline constexpr std::size_t kMaxJsonDepth = 512;

struct JsonSyntaxError {
  std::int32_t line = 0;    // 1-based
  std::int32_t column = 0;  // 0-based, in UTF-16 units from the line start
  Text message;             // for people, with the line and column in it
};

// Nothing when text (UTF-16 units) is exactly one JSON text: a value between
// optional white space, after at most one leading byte order mark.
[[nodiscard]] std::optional<JsonSyntaxError> FindJsonSyntaxError(std::wstring_view text,
                                                                 std::size_t maxDepth = kMaxJsonDepth);
