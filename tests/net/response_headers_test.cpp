#include <gtest/gtest.h>

#include "tests/case_name.h"
#include "tests/net/text_case.h"

#include "net/response_headers.h"

namespace {


class StatusFromRawHeadersTest : public testing::TestWithParam<TextCase> {};

TEST_P(StatusFromRawHeadersTest, FromTenthCharacter) {
  EXPECT_EQ(StatusFromRawHeaders(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StatusFromRawHeadersTest,
    testing::Values(TextCase{"ok", "HTTP/1.1 200 OK\r\nA: b\r\n\r\n", "200 OK"},
                    TextCase{"not_found", "HTTP/1.1 404 Not Found\r\n\r\n", "404 Not Found"},
                    TextCase{"code_only", "HTTP/1.0 302\r\n", "302"},
                    TextCase{"without_crlf_takes_the_rest", "HTTP/1.1 200 OK", "200 OK"},
                    TextCase{"shorter_than_ten", "HTTP/1.1", ""},
                    TextCase{"exactly_nine", "HTTP/1.1 ", ""},
                    TextCase{"crlf_before_tenth_not_searched", "HTTP/1\r\nA: bcdef\r\n", ": bcdef"},
                    TextCase{"empty", "", ""}),
    CaseName());

struct LineCase {
  const char* name;
  Text line;
  Text cookies;                   // appended to "old; "
  std::optional<Text> location;   // set by the line, or untouched
};

class ReadResponseHeaderLineTest : public testing::TestWithParam<LineCase> {};

TEST_P(ReadResponseHeaderLineTest, Reads) {
  Text cookies = "old; ";
  std::optional<Text> location;
  ReadResponseHeaderLine(GetParam().line, cookies, location);
  EXPECT_EQ(cookies, "old; " + GetParam().cookies);
  EXPECT_EQ(location, GetParam().location);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadResponseHeaderLineTest,
    testing::Values(
        LineCase{"cookie_without_attributes", "Set-Cookie: a=1; path=/; HttpOnly", "a=1; ", std::nullopt},
        LineCase{"cookie_without_semicolon", "Set-Cookie: b=2", "b=2; ", std::nullopt},
        LineCase{"every_marker_removed_ignoring_case", "Set-Cookie: x set-cookie:y", "x y; ", std::nullopt},
        LineCase{"cookie_name_case_sensitive", "set-cookie: a=1", "", std::nullopt},
        LineCase{"cookie_needs_colon_space", "Set-Cookie:a=1", "", std::nullopt},
        LineCase{"line_without_colon_space", "BadHeaderLine", "", std::nullopt},
        LineCase{"status_line", "HTTP/1.1 200 OK", "", std::nullopt},
        LineCase{"location", "Location: /next?a=1", "", Text("/next?a=1")},
        LineCase{"location_any_case", "LOCATION: http://127.0.0.1/x", "", Text("http://127.0.0.1/x")},
        LineCase{"location_at_the_very_end", "Location: ", "", Text("")},
        LineCase{"location_cut_short", "Location:", "", std::nullopt},
        LineCase{"other_location_header", "Content-Location: /x", "", std::nullopt}),
    CaseName());

}  // namespace
