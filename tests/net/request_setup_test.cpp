#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <utility>

#include "tests/case_name.h"

#include "net/request_setup.h"
#include "net/winhttp_handle.h"

namespace {

TEST(HttpVerb, TableAndAnyOtherNumberIsGet) {
  const wchar_t* verbs[] = {L"GET", L"POST", L"HEAD", L"PUT", L"OPTIONS", L"DELETE", L"TRACE", L"CONNECT"};
  for (std::int32_t method = 0; method < 8; ++method) {
    EXPECT_STREQ(HttpVerb(method), verbs[method]) << method;
  }
  EXPECT_STREQ(HttpVerb(8), L"GET");
  EXPECT_STREQ(HttpVerb(9), L"GET");
  EXPECT_STREQ(HttpVerb(-1), L"GET");
}

TEST(ProxyName, HttpPrefixOnlyForHttp) {
  EXPECT_EQ(ProxyName("127.0.0.1:8888", false), "http=127.0.0.1:8888");
  EXPECT_EQ(ProxyName("127.0.0.1:8888", true), "127.0.0.1:8888");
  EXPECT_EQ(ProxyName("", false), "");
}

TEST(TimeoutMilliseconds, BelowOneMeansThirtySeconds) {
  EXPECT_EQ(TimeoutMilliseconds(0), 30000);
  EXPECT_EQ(TimeoutMilliseconds(-5), 30000);
  EXPECT_EQ(TimeoutMilliseconds(1), 1000);
  EXPECT_EQ(TimeoutMilliseconds(5), 5000);
  EXPECT_EQ(TimeoutMilliseconds(INT32_MAX), 2147483000);  // no overflow
}

// The four time-outs and the response wait as WinHTTP reports them back.
std::array<DWORD, 5> TimeoutsOf(HINTERNET handle) {
  const DWORD options[] = {WINHTTP_OPTION_RESOLVE_TIMEOUT, WINHTTP_OPTION_CONNECT_TIMEOUT,
                           WINHTTP_OPTION_SEND_TIMEOUT, WINHTTP_OPTION_RECEIVE_TIMEOUT,
                           WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT};
  std::array<DWORD, 5> values{};
  for (std::size_t i = 0; i < values.size(); ++i) {
    DWORD size = sizeof values[i];
    EXPECT_TRUE(WinHttpQueryOption(handle, options[i], &values[i], &size)) << options[i];
  }
  return values;
}

TEST(SetRequestTimeouts, AllReadBack) {
  const UniqueInternet session(WinHttpOpen(nullptr, WINHTTP_ACCESS_TYPE_NO_PROXY, nullptr, nullptr, 0));
  ASSERT_TRUE(session);
  for (const auto& [seconds, milliseconds] : {std::pair{5, 5000u}, {0, 30000u}, {-1, 30000u}, {1, 1000u}}) {
    ASSERT_TRUE(SetRequestTimeouts(session.get(), seconds));
    const auto values = TimeoutsOf(session.get());
    for (DWORD value : values) EXPECT_EQ(value, milliseconds) << seconds;
  }
}

// The five defaults other than Content-Type, as sent for a GET.
const Text kDefaultBlock =
    "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0)\r\n"
    "Accept: text/html, application/xhtml+xml, */*\r\n"
    "Accept-Encoding: identity\r\n"
    "Accept-Language: zh-cn\r\n"
    "Cache-Control: no-cache";

struct HeadersCase {
  const char* name;
  Text extraHeaders;
  std::int32_t method;
  Text cookiesIn;
  bool addDefaultHeaders;
  bool normaliseHeaders;
  Text expected;
};

class BuildRequestHeadersTest : public testing::TestWithParam<HeadersCase> {};

TEST_P(BuildRequestHeadersTest, Block) {
  const HeadersCase& c = GetParam();
  EXPECT_EQ(BuildRequestHeaders(c.extraHeaders, c.method, c.cookiesIn, c.addDefaultHeaders, c.normaliseHeaders),
            c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BuildRequestHeadersTest,
    testing::Values(
        HeadersCase{"defaults_in_table_order", "", 0, "", true, true, kDefaultBlock},
        HeadersCase{"content_type_only_for_post", "", 1, "", true, true,
                    "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0)\r\n"
                    "Accept: text/html, application/xhtml+xml, */*\r\n"
                    "Accept-Encoding: identity\r\n"
                    "Accept-Language: zh-cn\r\n"
                    "Content-Type: application/x-www-form-urlencoded\r\n"
                    "Cache-Control: no-cache"},
        HeadersCase{"put_has_no_content_type", "", 3, "", true, true, kDefaultBlock},
        HeadersCase{"caller_agent_kept_case_ignored_then_normalised", "user-agent: X", 0, "", true, true,
                    "User-Agent: X\r\n" + kDefaultBlock.substr(kDefaultBlock.find("Accept:"))},
        HeadersCase{"caller_content_type_for_post", "content-type:text/plain", 1, "", true, true,
                    "Content-Type:text/plain\r\n" + kDefaultBlock},
        HeadersCase{"keep_alive_removed_when_a_line_follows", "Connection: keep-alive", 0, "", true, true,
                    kDefaultBlock},
        HeadersCase{"keep_alive_kept_as_last_line", "Connection: keep-alive", 0, "", false, true,
                    "Connection: keep-alive"},
        HeadersCase{"connection_close_kept", "Connection: close", 0, "", false, true, "Connection: close"},
        HeadersCase{"cookie_pairs", "", 0, "a=1; b=2", true, true, kDefaultBlock + "\r\nCookie: a=1; b=2\r\n"},
        HeadersCase{"cookie_line_given_whole", "", 0, "cookie: a=1", true, true,
                    kDefaultBlock + "\r\ncookie: a=1\r\n"},
        HeadersCase{"caller_cookie_header_wins", "COOKIE: z=9", 0, "a=1", false, true, "COOKIE: z=9"},
        HeadersCase{"no_defaults_no_normalising", "x-a: 1", 0, "", false, false, "x-a: 1\r\n"},
        HeadersCase{"nothing_at_all", "", 0, "", false, true, ""},
        HeadersCase{"not_normalised_keeps_crlf", "", 2, "", true, false, kDefaultBlock + "\r\n"}),
    CaseName());

}  // namespace
