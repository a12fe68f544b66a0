#pragma once
// Header blocks (lines joined by CR LF) and cookie lists (name=value items
// joined by "; ") as plain Text: canonical header names, header lookup and
// the merge of the cookies a caller sent with those a server set.

#include "common/text.h"
#include "net/text_pieces.h"

// The first character upper-cased (ASCII), the rest unchanged.
[[nodiscard]] Text CapitaliseFirst(const Text& text);

// Each line with a ":" gets every "-"-separated part of its name capitalised;
// lines without ":" are dropped; the lines are joined by CR LF with none at
// the end.
[[nodiscard]] Text NormaliseHeaderBlock(const Text& block);

// The value of the first line that begins with name (case-sensitive): the text
// after the last "name: " in that line, or empty. The first line that begins
// with name is taken even when it is another header (Connection-Extra for
// Connection).
[[nodiscard]] Text GetHeaderValue(const Text& block, const Text& name);

// The text before the first "=" of a cookie item (the whole item without
// one), trimmed.
[[nodiscard]] Text CookieName(const Text& item);

[[nodiscard]] bool HasCookieNamed(const TextList& items, const Text& name);

// The server's cookies (newCookies) followed by those of the caller's
// (oldCookies) whose names the server did not set; cookies the server set to
// "deleted" and repeated items dropped. Both arguments are left trimmed; the
// result is also stored in oldCookies.
Text MergeCookies(Text& oldCookies, Text& newCookies);
