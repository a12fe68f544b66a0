#pragma once
// What a web request reads from the raw response headers (status line first,
// lines separated by CR LF): the status text, the cookies set and the
// redirect target.

#include <optional>

#include "common/text.h"

// The status line from its tenth character up to its CR LF: "200 OK" of
// "HTTP/1.1 200 OK". A status line shorter than that gives the empty Text; a
// block without CR LF gives the rest of the block.
[[nodiscard]] Text StatusFromRawHeaders(const Text& rawHeaders);

// Reads one response header line: a "Set-Cookie" line appends its cookie
// (name=value, without attributes) and "; " to cookies; a line beginning with
// "Location: " (case ignored) sets location to the rest of the line.
void ReadResponseHeaderLine(const Text& line, Text& cookies, std::optional<Text>& location);
