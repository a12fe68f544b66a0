#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>

#include <string>

#include "net/text_pieces.h"
#include "net/web_request.h"
#include "tests/net/local_server.h"

namespace {

namespace error = web_request_error;

// Every output of a call, preset so that a test sees what was written.
struct Outcome {
  Text body;
  Text status = "untouched";
  Text responseHeaders = "untouched";
  Text location = "untouched";
  Text cookiesOut;
  Bytes bytes{'u'};
};

// What our echo route saw: the request line, the header lines in the order
// they arrived, and the request body.
struct Echo {
  Text requestLine;
  TextList headers;
  Text body;
};

Echo ParseEcho(const Text& text) {
  Echo echo;
  const std::size_t end = text.find("\r\n\r\n");
  TextList lines = SplitText(text.substr(0, end), "\r\n");
  if (!lines.empty()) {
    echo.requestLine = lines.front();
    lines.erase(lines.begin());
  }
  echo.headers = lines;
  if (end != Text::npos) echo.body = text.substr(end + 4);
  return echo;
}

bool HasLine(const TextList& lines, const Text& line) { return IndexOfText(lines, line) != -1; }

bool HasLineStarting(const TextList& lines, const Text& start) {
  for (const Text& line : lines) {
    if (line.compare(0, start.size(), start) == 0) return true;
  }
  return false;
}

const Text kUserAgent = "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0)";
const Text kAccept = "Accept: text/html, application/xhtml+xml, */*";
const Text kBasicUserPass = "Basic dXNlcjpwQHNz";  // "user:p@ss", as the server expects

class WebRequestTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(server_.started()); }

  Outcome Fetch(const Text& url, WebRequestArguments arguments = {}) {
    Outcome outcome;
    arguments.statusOrError = &outcome.status;
    arguments.responseHeaders = &outcome.responseHeaders;
    arguments.location = &outcome.location;
    arguments.responseBytes = &outcome.bytes;
    if (!arguments.cookiesOut) arguments.cookiesOut = &outcome.cookiesOut;
    outcome.body = WebRequest(url, arguments);
    return outcome;
  }

  Text Url(const Text& path) const { return server_.Url(path); }
  Text Root() const { return "http://127.0.0.1:" + std::to_string(server_.port()); }
  // The header lines that WinHTTP adds itself, after ours.
  TextList WinHttpOwnLines() const { return {"Host: 127.0.0.1:" + std::to_string(server_.port()), "Connection: Keep-Alive"}; }

  net_test::LocalServer server_;
};

// ---- the request ------------------------------------------------------------

TEST_F(WebRequestTest, UrlAloneSendsTheDefaultHeadersInTableOrder) {
  const Echo echo = ParseEcho(WebRequest(Url("/echo")));
  EXPECT_EQ(echo.requestLine, "GET /echo HTTP/1.1");
  TextList expected{kUserAgent, kAccept, "Accept-Encoding: identity", "Accept-Language: zh-cn",
                    "Cache-Control: no-cache"};
  for (const Text& line : WinHttpOwnLines()) expected.push_back(line);
  EXPECT_EQ(echo.headers, expected);
  EXPECT_EQ(echo.body, "");
}

TEST_F(WebRequestTest, ObjectNameComesFromPathAndQuery) {
  const struct {
    Text url;
    Text requestLine;
  } cases[] = {
      {Root(), "GET / HTTP/1.1"},
      {Root() + "?x=1", "GET / HTTP/1.1"},  // no path: "/" and the query is lost
      {Root() + "/a?x=1", "GET /a?x=1 HTTP/1.1"},
      {Root() + "/a/b%20c", "GET /a/b%20c HTTP/1.1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.url);
    EXPECT_EQ(ParseEcho(WebRequest(c.url)).requestLine, c.requestLine);
  }
}

TEST_F(WebRequestTest, MethodNumbersSendTheirVerbsAndAnyOtherIsGet) {
  const struct {
    std::int32_t method;
    Text verb;
  } cases[] = {{0, "GET"},     {1, "POST"},  {3, "PUT"}, {4, "OPTIONS"}, {5, "DELETE"},
               {6, "TRACE"},   {8, "GET"},   {9, "GET"}, {-1, "GET"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.method);
    EXPECT_EQ(ParseEcho(WebRequest(Url("/m"), {.method = c.method})).requestLine, c.verb + " /m HTTP/1.1");
  }
}

TEST_F(WebRequestTest, HeadGetsHeadersOnlyAndConnectReachesTheServer) {
  const Outcome head = Fetch(Url("/echo"), {.method = 2});
  EXPECT_EQ(head.status, "200 OK");
  EXPECT_EQ(head.body, "");
  EXPECT_TRUE(head.bytes.empty());
  EXPECT_NE(head.responseHeaders.find("Content-Length: "), Text::npos);

  // Our server takes every CONNECT for a tunnel request and records it.
  EXPECT_EQ(Fetch(Url("/m7"), {.method = 7}).status, "403 Forbidden");
  EXPECT_NE(WebRequest(Url("/proxy-log")).find("CONNECT /m7 HTTP/1.1"), Text::npos);
}

TEST_F(WebRequestTest, PostSendsBodyTextWithDefaultContentType) {
  const Echo echo = ParseEcho(WebRequest(Url("/form"), {.method = 1, .bodyText = "a=1&b=中"}));
  EXPECT_EQ(echo.requestLine, "POST /form HTTP/1.1");
  EXPECT_EQ(echo.body, "a=1&b=中");  // its code-page-936 bytes, unconverted
  EXPECT_TRUE(HasLine(echo.headers, "Content-Type: application/x-www-form-urlencoded"));
  EXPECT_TRUE(HasLine(echo.headers, "Content-Length: 8"));
}

TEST_F(WebRequestTest, BodyBytesWinOverBodyText) {
  const Bytes body{0x00, 0x01, 0xFF, 'z'};
  const Outcome outcome = Fetch(Url("/put"), {.method = 3, .bodyText = "not sent", .bodyBytes = body});
  ASSERT_GE(outcome.bytes.size(), body.size());
  EXPECT_EQ(Bytes(outcome.bytes.end() - 4, outcome.bytes.end()), body);
  const Echo echo = ParseEcho(outcome.body);
  EXPECT_TRUE(HasLine(echo.headers, "Content-Length: 4"));
  EXPECT_FALSE(HasLineStarting(echo.headers, "Content-Type:"));  // only POST gets one
}

TEST_F(WebRequestTest, TenMegabyteBodyIsSentWhole) {
  const std::size_t size = 10 * 1024 * 1024;
  const Outcome outcome = Fetch(Url("/big-post"), {.method = 1, .bodyText = Text(size, 'x')});
  EXPECT_EQ(outcome.status, "200 OK");
  const std::size_t headerEnd = outcome.body.find("\r\n\r\n");
  ASSERT_NE(headerEnd, Text::npos);
  EXPECT_EQ(outcome.bytes.size(), headerEnd + 4 + size);
  EXPECT_TRUE(HasLine(ParseEcho(outcome.body).headers, "Content-Length: 10485760"));
}

TEST_F(WebRequestTest, CallerHeadersWinIgnoringCaseAndAreNormalised) {
  const Echo echo = ParseEcho(
      WebRequest(Url("/echo"), {.extraHeaders = "user-agent: X\r\nx-requested-with: y\r\naccept-language: en"}));
  TextList expected{"User-Agent: X", "X-Requested-With: y", "Accept-Language: en", kAccept,
                    "Accept-Encoding: identity", "Cache-Control: no-cache"};
  for (const Text& line : WinHttpOwnLines()) expected.push_back(line);
  EXPECT_EQ(echo.headers, expected);
}

TEST_F(WebRequestTest, KeepAliveLineGoesOnlyWhenAnotherLineFollows) {
  // Removed: WinHTTP then sends its own Connection line.
  const Echo removed = ParseEcho(WebRequest(Url("/echo"), {.extraHeaders = "Connection: keep-alive"}));
  EXPECT_TRUE(HasLine(removed.headers, "Connection: Keep-Alive"));
  EXPECT_FALSE(HasLine(removed.headers, "Connection: keep-alive"));
  // Last line of the normalised block, without CR LF after it: kept.
  const Echo kept =
      ParseEcho(WebRequest(Url("/echo"), {.extraHeaders = "Connection: keep-alive", .addDefaultHeaders = false}));
  EXPECT_TRUE(HasLine(kept.headers, "Connection: keep-alive"));
  EXPECT_FALSE(HasLineStarting(kept.headers, "User-Agent:"));
}

TEST_F(WebRequestTest, NoHeadersAtAllIsAPlainRequest) {
  const Outcome outcome = Fetch(Url("/echo"), {.addDefaultHeaders = false});
  EXPECT_EQ(outcome.status, "200 OK");
  EXPECT_EQ(ParseEcho(outcome.body).headers, WinHttpOwnLines());
}

TEST_F(WebRequestTest, HttpsThroughProxyAsksTheProxyForATunnel) {
  const Text proxy = "127.0.0.1:" + std::to_string(server_.port());
  // Our proxy refuses every tunnel, so the request itself fails.
  EXPECT_EQ(Fetch("https://localhost:1/secure", {.proxy = proxy}).status, error::kSend);
  EXPECT_NE(WebRequest(Url("/proxy-log")).find("CONNECT localhost:1 HTTP/1.1"), Text::npos);
}

TEST_F(WebRequestTest, ServerCredentialsGoOutBeforeAnyChallenge) {
  const Echo echo = ParseEcho(WebRequest(Url("/echo"), {.serverUser = "user", .serverPassword = "p@ss"}));
  EXPECT_TRUE(HasLine(echo.headers, "Authorization: " + kBasicUserPass));

  const Outcome welcome = Fetch(Url("/auth"), {.serverUser = "user", .serverPassword = "p@ss"});
  EXPECT_EQ(welcome.status, "200 OK");
  EXPECT_EQ(welcome.body, "welcome");
  // A user without a password sends nothing.
  const Outcome refused = Fetch(Url("/auth"), {.serverUser = "user"});
  EXPECT_EQ(refused.status, "401 Unauthorized");
  EXPECT_EQ(refused.body, "who are you");
}

// ---- time-outs --------------------------------------------------------------

TEST_F(WebRequestTest, OneSecondTimeoutCutsASlowResponse) {
  Text cookiesOut = "kept";
  const Outcome outcome = Fetch(Url("/slow?seconds=2.5"), {.cookiesOut = &cookiesOut, .timeoutSeconds = 1});
  EXPECT_EQ(outcome.status, error::kNoResponse);
  EXPECT_EQ(outcome.body, "");
  EXPECT_EQ(outcome.responseHeaders, "untouched");
  EXPECT_EQ(cookiesOut, "kept");
}

TEST_F(WebRequestTest, LongerOrDefaultTimeoutsWaitForASlowResponse) {
  for (const std::int32_t seconds : {5, 0, -3}) {
    SCOPED_TRACE(seconds);
    const Outcome outcome = Fetch(Url("/slow?seconds=1.2"), {.timeoutSeconds = seconds});
    EXPECT_EQ(outcome.status, "200 OK");
    EXPECT_EQ(outcome.body, "late");
  }
}

// ---- cookies ------------------------------------------------------------------

TEST_F(WebRequestTest, CookiesTheServerSetsComeOutWithoutAttributes) {
  const Outcome outcome = Fetch(Url("/set-cookies?a=1&b=2"));
  EXPECT_EQ(outcome.cookiesOut, "a=1; b=2");
  EXPECT_FALSE(HasLineStarting(ParseEcho(outcome.body).headers, "Cookie:"));

  Text cookiesOut = "old=0; ";  // appended to
  (void)WebRequest(Url("/set-cookies?a=1&b=2"), {.cookiesOut = &cookiesOut});
  EXPECT_EQ(cookiesOut, "old=0; a=1; b=2");
}

TEST_F(WebRequestTest, CallerCookiesAreSentAndMerged) {
  Text cookiesIn = "a=0; z=9";
  const Outcome merged = Fetch(Url("/set-cookies?a=1&b=2"), {.cookiesIn = &cookiesIn});
  EXPECT_TRUE(HasLine(ParseEcho(merged.body).headers, "Cookie: a=0; z=9"));
  EXPECT_EQ(merged.cookiesOut, "a=1; b=2; z=9");
  EXPECT_EQ(cookiesIn, "a=1; b=2; z=9");

  cookiesIn = "a=0; z=9";
  const Outcome unmerged = Fetch(Url("/set-cookies?a=1&b=2"), {.cookiesIn = &cookiesIn, .mergeCookies = false});
  EXPECT_EQ(unmerged.cookiesOut, "a=1; b=2");
  EXPECT_EQ(cookiesIn, "a=0; z=9");

  Text wholeLine = "cookie: q=1";
  EXPECT_TRUE(HasLine(ParseEcho(WebRequest(Url("/echo"), {.cookiesIn = &wholeLine})).headers, "cookie: q=1"));
}

TEST_F(WebRequestTest, WinHttpKeepsCookiesOfItsOwnOnlyWhenTheCallerSendsSome) {
  // The cookie set by the redirect reaches the next hop only while WinHTTP's
  // own cookie handling is on.
  const Echo without = ParseEcho(WebRequest(Url("/cookie-redirect")));
  EXPECT_EQ(without.requestLine, "GET /landed HTTP/1.1");
  EXPECT_FALSE(HasLineStarting(without.headers, "Cookie:"));

  Text cookiesIn = "x=1";
  const Echo with = ParseEcho(WebRequest(Url("/cookie-redirect"), {.cookiesIn = &cookiesIn}));
  EXPECT_EQ(with.requestLine, "GET /landed HTTP/1.1");
  bool sawRedirectCookie = false;
  for (const Text& line : with.headers) {
    if (line.compare(0, 7, "Cookie:") == 0 && line.find("r=1") != Text::npos) sawRedirectCookie = true;
  }
  EXPECT_TRUE(sawRedirectCookie);
}

// ---- the response -------------------------------------------------------------

TEST_F(WebRequestTest, RedirectIsFollowedUnlessAsked) {
  const Outcome followed = Fetch(Url("/redirect"));
  EXPECT_EQ(followed.status, "200 OK");
  EXPECT_EQ(ParseEcho(followed.body).requestLine, "GET /landed?from=redirect HTTP/1.1");
  EXPECT_EQ(followed.location, "untouched");

  const Outcome returned = Fetch(Url("/redirect"), {.noRedirect = true});
  EXPECT_EQ(returned.status, "302 Found");
  EXPECT_EQ(returned.body, "moved");
  EXPECT_EQ(returned.location, "/landed?from=redirect");
  EXPECT_EQ(returned.responseHeaders.compare(0, 20, "HTTP/1.1 302 Found\r\n"), 0);
}

TEST_F(WebRequestTest, ErrorStatusIsReturnedWithItsBody) {
  const Outcome outcome = Fetch(Url("/missing"));
  EXPECT_EQ(outcome.status, "404 Not Found");
  EXPECT_EQ(outcome.body, "<html><body>missing</body></html>");
}

TEST_F(WebRequestTest, ZeroByteCutsTheTextButNotTheBytes) {
  const Outcome outcome = Fetch(Url("/zero"));
  EXPECT_EQ(outcome.body, "ab");
  EXPECT_EQ(outcome.bytes, (Bytes{'a', 'b', 0, 'c', 'd'}));
}

TEST_F(WebRequestTest, ChunkedBodyWithoutLengthIsReadWhole) {
  Text expected;
  for (int i = 0; i < 20; ++i) expected += "chunk " + Text(i < 10 ? "0" : "") + std::to_string(i) + ";";
  const Outcome outcome = Fetch(Url("/chunked"));
  EXPECT_EQ(outcome.body, expected);
  EXPECT_NE(outcome.responseHeaders.find("Transfer-Encoding: chunked"), Text::npos);
}

TEST_F(WebRequestTest, PageIsRedecodedFromTheCharsetItsMetaTagNames) {
  const struct {
    const char* path;
    Text text;  // what the call returns, in code page 936
  } cases[] = {
      {"/utf8-quoted", "<html><head><meta charset=\"utf-8\"><title>t</title></head><body>中文页</body></html>"},
      {"/utf8-unquoted",
       "<html><head><META http-equiv=Content-Type content=\"text/html; CHARSET=utf-8\"></head><body>中文页</body></html>"},
      {"/big5", "<html><head><meta charset=\"big5\"></head><body>中文</body></html>"},
      // Sent in code page 936 already: the raw bytes.
      {"/gbk", "<html><head><meta charset=gbk></head><body>中文</body></html>"},
      // A name no code page answers to: the raw bytes (which are 936 here).
      {"/unknown-charset", "<html><head><meta charset=\"x-nothing\"></head><body>中文</body></html>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    const Outcome outcome = Fetch(Url(c.path));
    EXPECT_EQ(outcome.body, c.text);
  }
  // responseBytes stays as received.
  const Outcome utf8 = Fetch(Url("/utf8-quoted"));
  EXPECT_NE(Text(utf8.bytes.begin(), utf8.bytes.end()), utf8.body);
  EXPECT_NE(Text(utf8.bytes.begin(), utf8.bytes.end()).find("\xE4\xB8\xAD\xE6\x96\x87"), Text::npos);
  // A meta tag past the first 1024 bytes is not looked at.
  const Outcome late = Fetch(Url("/utf8-late"));
  EXPECT_EQ(late.body, Text(late.bytes.begin(), late.bytes.end()));
}

// ---- failures and bad input -------------------------------------------------

TEST_F(WebRequestTest, EachFailureWritesItsTextAndNothingElse) {
  const net_test::RefusingPort refusing;
  const struct {
    Text url;
    const char* status;
  } cases[] = {
      {"", error::kBadUrl},
      {"127.0.0.1/x", error::kBadUrl},
      {"http://", error::kBadUrl},
      {"ftp://127.0.0.1/", error::kBadUrl},
      {"gopher://127.0.0.1/", error::kBadUrl},
      // One label far beyond what a name can hold: no lookup ever leaves the host.
      {"http://" + Text(10000, 'a') + "/", error::kSend},
      {"http://127.0.0.1:" + std::to_string(refusing.port()) + "/", error::kSend},
      {Url("/short-status"), error::kNoResponse},
      {Url("/bare-status"), error::kNoResponse},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.url.substr(0, 60));
    Text cookiesIn = "a=1";
    Text cookiesOut = "kept";
    const Outcome outcome = Fetch(c.url, {.cookiesIn = &cookiesIn, .cookiesOut = &cookiesOut});
    EXPECT_EQ(outcome.status, c.status);
    EXPECT_EQ(outcome.body, "");
    EXPECT_EQ(outcome.responseHeaders, "untouched");
    EXPECT_EQ(outcome.location, "untouched");
    EXPECT_EQ(outcome.bytes, Bytes{'u'});
    EXPECT_EQ(cookiesIn, "a=1");
    EXPECT_EQ(cookiesOut, "kept");
  }
}

TEST_F(WebRequestTest, OddResponsesAreReadWithoutRunningPastTheirText) {
  // WinHTTP ends the headers at a line without a colon.
  const Outcome noColon = Fetch(Url("/no-colon-header"));
  EXPECT_EQ(noColon.status, "200 OK");
  EXPECT_EQ(noColon.responseHeaders.compare(0, 17, "HTTP/1.1 200 OK\r\n"), 0);
  EXPECT_EQ(noColon.location, "untouched");
  EXPECT_EQ(noColon.cookiesOut, "");

  const Outcome emptyLocation = Fetch(Url("/location-empty"));
  EXPECT_EQ(emptyLocation.status, "200 OK");
  EXPECT_EQ(emptyLocation.location, "");

  // The server closes after 1000 of 100000 bytes: what came is kept.
  const Outcome cut = Fetch(Url("/close-mid-body"));
  EXPECT_EQ(cut.status, "200 OK");
  EXPECT_EQ(cut.bytes, Bytes(1000, 'x'));
}

// ---- what a call leaves behind ----------------------------------------------

// A message-only window that counts the messages dispatched to it.
class CountingWindow {
 public:
  CountingWindow() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "WebRequestTestCounter";
    RegisterClassA(&windowClass);
    window_ = CreateWindowA(windowClass.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                            windowClass.hInstance, nullptr);
  }
  ~CountingWindow() { DestroyWindow(window_); }
  void Post() const { PostMessageA(window_, WM_APP, 0, 0); }
  static int count;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l) noexcept {
    if (message == WM_APP) ++count;
    return DefWindowProcA(window, message, w, l);
  }
  HWND window_ = nullptr;
};
int CountingWindow::count = 0;

TEST_F(WebRequestTest, PendingMessagesAreProcessedOnFailureAndOnSuccess) {
  const CountingWindow window;
  CountingWindow::count = 0;
  window.Post();
  EXPECT_EQ(WebRequest("no scheme"), "");
  EXPECT_EQ(CountingWindow::count, 1);
  window.Post();
  EXPECT_NE(WebRequest(Url("/echo")), "");
  EXPECT_EQ(CountingWindow::count, 2);
}

TEST_F(WebRequestTest, LeavesNoComApartmentBehind) {
  EXPECT_NE(WebRequest(Url("/utf8-quoted")), "");
  EXPECT_EQ(WebRequest("no scheme"), "");
  // A thread still in a single-threaded apartment could not enter this one.
  const HRESULT result = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  EXPECT_EQ(result, S_OK);
  if (SUCCEEDED(result)) CoUninitialize();
}

// Bytes in use in every heap of the process (the C runtime's included).
std::size_t HeapBytesInUse() {
  HANDLE heaps[256];
  const DWORD count = GetProcessHeaps(256, heaps);
  std::size_t total = 0;
  for (DWORD i = 0; i < count && i < 256; ++i) {
    if (!HeapLock(heaps[i])) continue;
    PROCESS_HEAP_ENTRY entry{};
    while (HeapWalk(heaps[i], &entry)) {
      if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) total += entry.cbData;
    }
    HeapUnlock(heaps[i]);
  }
  return total;
}

DWORD HandleCount() {
  DWORD count = 0;
  if (GetProcessHandleCount(GetCurrentProcess(), &count) && count > 0) return count;
  // Wine answers 0 here: count the handle values that name an open handle.
  for (std::uintptr_t value = 4; value < 0x10000; value += 4) {
    DWORD flags = 0;
    if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
  }
  return count;
}

TEST_F(WebRequestTest, TwoHundredRequestsLeakNoHandlesAndNoMemory) {
  const net_test::RefusingPort refusing;
  const Text refused = "http://127.0.0.1:" + std::to_string(refusing.port()) + "/";
  const Text urls[] = {Url("/echo"), Url("/missing"), refused, "http://", Url("/utf8-quoted"),
                       Url("/set-cookies?a=1"), Url("/short-status"), Url("/redirect")};
  const auto run = [&](int count) {
    for (int i = 0; i < count; ++i) {
      Text cookiesIn = "c=3";
      Text status;
      (void)WebRequest(urls[i % std::size(urls)], {.cookiesIn = &cookiesIn, .statusOrError = &status});
    }
  };
  run(40);  // WinHTTP's own caches and threads settle first
  const DWORD handlesBefore = HandleCount();
  const std::size_t memoryBefore = HeapBytesInUse();
  run(200);
  EXPECT_EQ(HandleCount(), handlesBefore);
  EXPECT_LT(HeapBytesInUse(), memoryBefore + 64 * 1024);
}

}  // namespace
