#include "net/request_setup.h"

#include <array>

#include "net/header_cookies.h"
#include "net/text_encoding.h"
#include "net/text_pieces.h"

namespace {

struct DefaultHeader {
  const char* searchText;  // found anywhere in the block, case ignored
  const char* line;
  bool postOnly;
};

constexpr std::array<DefaultHeader, 6> kDefaultHeaders{{
    {"User-Agent: ", "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0)\r\n", false},
    {"Accept: ", "Accept: text/html, application/xhtml+xml, */*\r\n", false},
    {"Accept-Encoding: ", "Accept-Encoding: identity\r\n", false},
    {"Accept-Language: ", "Accept-Language: zh-cn\r\n", false},
    {"Content-Type:", "Content-Type: application/x-www-form-urlencoded\r\n", true},
    {"Cache-Control: ", "Cache-Control: no-cache\r\n", false},
}};

constexpr std::array<const wchar_t*, 8> kVerbs{L"GET", L"POST", L"HEAD", L"PUT",
                                               L"OPTIONS", L"DELETE", L"TRACE", L"CONNECT"};

bool ContainsIgnoringCase(const Text& text, const Text& part) {
  return FindTextCase(text, part, 0, true) != Text::npos;
}

}  // namespace

const wchar_t* HttpVerb(std::int32_t method) noexcept {
  return method >= 0 && method < static_cast<std::int32_t>(kVerbs.size()) ? kVerbs[static_cast<std::size_t>(method)]
                                                                          : kVerbs[0];
}

Text ProxyName(const Text& proxy, bool secure) {
  if (proxy.empty() || secure) return proxy;
  return "http=" + proxy;
}

UniqueInternet OpenSession(const Text& proxy, bool secure) {
  const Bytes proxyName = TextToWide(ProxyName(proxy, secure));
  const DWORD access = proxy.empty() ? WINHTTP_ACCESS_TYPE_NO_PROXY : WINHTTP_ACCESS_TYPE_NAMED_PROXY;
  return UniqueInternet(::WinHttpOpen(nullptr, access, WideOrNull(proxyName), WINHTTP_NO_PROXY_BYPASS, 0));
}

int TimeoutMilliseconds(std::int32_t timeoutSeconds) noexcept {
  // Above this the product no longer fits an int; such a wait is forever anyway.
  constexpr std::int32_t kLongestSeconds = 2147483;
  if (timeoutSeconds < 1) return 30000;
  return (timeoutSeconds > kLongestSeconds ? kLongestSeconds : timeoutSeconds) * 1000;
}

bool SetRequestTimeouts(HINTERNET handle, std::int32_t timeoutSeconds) noexcept {
  const int t = TimeoutMilliseconds(timeoutSeconds);
  // The wait for the response headers has a time-out of its own, which some
  // WinHTTP versions (Wine's) do not take from the receive time-out: without
  // it a slow server would keep the caller waiting past the time-out asked for.
  DWORD responseTimeout = static_cast<DWORD>(t);
  return ::WinHttpSetTimeouts(handle, t, t, t, t) &&
         ::WinHttpSetOption(handle, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &responseTimeout, sizeof responseTimeout);
}

Text BuildRequestHeaders(const Text& extraHeaders, std::int32_t method, const Text& cookiesIn,
                         bool addDefaultHeaders, bool normaliseHeaders) {
  Text block = extraHeaders.empty() ? Text() : extraHeaders + "\r\n";
  if (addDefaultHeaders) {
    for (const DefaultHeader& header : kDefaultHeaders) {
      if (header.postOnly && method != kPostMethod) continue;
      if (!ContainsIgnoringCase(block, header.searchText)) block += header.line;
    }
  }
  if (normaliseHeaders) block = NormaliseHeaderBlock(block);
  // WinHTTP keeps connections alive itself; a second Connection line would
  // only be sent twice.
  if (FindText(block, "Connection") != Text::npos && GetHeaderValue(block, "Connection") == "keep-alive") {
    block = ReplaceAllText(block, "Connection: keep-alive\r\n", "");
  }
  if (!cookiesIn.empty() && !ContainsIgnoringCase(block, "Cookie:")) {
    block += ContainsIgnoringCase(cookiesIn, "Cookie:") ? "\r\n" + cookiesIn + "\r\n"
                                                        : "\r\nCookie: " + cookiesIn + "\r\n";
  }
  return block;
}
