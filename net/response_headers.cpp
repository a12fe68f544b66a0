#include "net/response_headers.h"

#include "net/text_pieces.h"

namespace {

// "HTTP/1.1 " is nine bytes; the status code starts after it.
constexpr std::size_t kStatusStart = 9;

const Text kLocationPrefix = "Location: ";

bool StartsWithIgnoringCase(const Text& text, const Text& prefix) {
  return FindTextCase(text.substr(0, prefix.size()), prefix, 0, true) == 0;
}

}  // namespace

Text StatusFromRawHeaders(const Text& rawHeaders) {
  if (rawHeaders.size() <= kStatusStart) return {};
  const std::size_t end = FindText(rawHeaders, "\r\n", kStatusStart);
  return rawHeaders.substr(kStatusStart, end == Text::npos ? Text::npos : end - kStatusStart);
}

void ReadResponseHeaderLine(const Text& line, Text& cookies, std::optional<Text>& location) {
  if (TextBefore(line, ": ") == "Set-Cookie") {
    const Text cookie = FindText(line, ";") != Text::npos
                            ? TextBetween(line, "Set-Cookie:", ";")
                            : ReplaceAllText(line, "Set-Cookie:", "", true);
    cookies += TrimSpaces(cookie) + "; ";
  }
  if (StartsWithIgnoringCase(line, kLocationPrefix)) location = line.substr(kLocationPrefix.size());
}
