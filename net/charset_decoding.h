#pragma once
// Re-decoding of an HTML page whose meta tag names a character set other than
// that of its Text. Each operation initialises COM for its own time when it
// needs it; a page without a meta tag needs none.

#include <optional>

#include "common/text.h"

// The character set that a meta tag in the first 1024 bytes of page names,
// empty when none does; nullopt when the search could not run.
[[nodiscard]] std::optional<Text> FindMetaCharset(const Text& page);

// The code page that Windows knows by a character set name, such as 65001
// for "utf-8" or 936 for "gbk".
[[nodiscard]] std::optional<unsigned> CodePageOfCharset(const Text& charset);

// The bytes read in the named character set, as Text in the system ANSI code
// page. "Adodb.Stream" reads them when it can; where it is missing or one of
// its calls fails, Windows' own conversion does; nullopt when the name maps
// to no code page.
[[nodiscard]] std::optional<Text> DecodeCharset(const Bytes& bytes, const Text& charset);

// The text of a received body: its bytes up to the first zero byte, read
// again from the character set that a meta tag in its first 1024 bytes names,
// unless that is gbk or gb2312 or maps to nothing. Pending window messages
// are processed after a search that ran.
[[nodiscard]] Text RedecodeByMetaCharset(Text received);
