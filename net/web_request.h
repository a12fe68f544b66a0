#pragma once
// One complete HTTP or HTTPS exchange over WinHTTP, synchronous on the calling
// thread. Each call opens and closes its own session, connection and request;
// nothing carries over from one call to the next.

#include <cstdint>

#include "common/text.h"

// Everything but the URL: arguments 2 to 21 of the request, in that order, so
// that designated initialisers read in it. An argument left at its default
// behaves as omitted; the three flags that default to true are true unless
// set false. Outputs are the caller's variables: a null pointer means the
// caller does not want that output.
struct WebRequestArguments {
  // 0 GET, 1 POST, 2 HEAD, 3 PUT, 4 OPTIONS, 5 DELETE, 6 TRACE, 7 CONNECT;
  // any other number is GET.
  std::int32_t method = 0;
  // Sent as its bytes when bodyBytes is empty.
  Text bodyText{};
  // In/out: cookies to send, as "a=1; b=2" or as a whole "Cookie: ..." line;
  // replaced by the merged cookies when merging runs.
  Text* cookiesIn = nullptr;
  // Out: the cookies the response sets, appended to what the variable holds.
  Text* cookiesOut = nullptr;
  // Request header lines separated by CR LF.
  Text extraHeaders{};
  // Out: the raw response headers, status line first, CR LF separated.
  Text* responseHeaders = nullptr;
  // WinHTTP does not follow redirects.
  bool noRedirect = false;
  // Pre-emptive Basic credentials for the server; used when both are given.
  Text serverUser{};
  Text serverPassword{};
  // "host:port"; empty means no proxy.
  Text proxy{};
  // Pre-emptive Basic credentials for the proxy; used when both are given.
  Text proxyUser{};
  Text proxyPassword{};
  // Resolve, connect, send and receive time-outs; below 1 means 30 seconds.
  std::int32_t timeoutSeconds = 0;
  // Out: the value of a "Location: " response header.
  Text* location = nullptr;
  // Out: the status code and reason ("200 OK"), or a numbered error text.
  Text* statusOrError = nullptr;
  // Out: the response body exactly as received.
  Bytes* responseBytes = nullptr;
  // Merge *cookiesIn into the cookies the response sets.
  bool mergeCookies = true;
  // Add the browser-like default headers that extraHeaders lacks.
  bool addDefaultHeaders = true;
  // The request body as raw bytes; wins over bodyText.
  Bytes bodyBytes{};
  // Rewrite the header block into canonical form before sending.
  bool normaliseHeaders = true;
};

// The error texts written to statusOrError.
namespace web_request_error {
inline constexpr const char* kNoWinHttp = "700 当前系统不支持WinHttp服务!";
inline constexpr const char* kBadUrl = "701 解析URL地址失败!";
inline constexpr const char* kNoSession = "702 创建WinHttp会话失败!";
inline constexpr const char* kNoConnection = "703 创建WinHttp连接失败!";
inline constexpr const char* kNoRequest = "704 创建WinHttp请求失败!";
inline constexpr const char* kTimeouts = "705 设置超时时间失败!";
inline constexpr const char* kCredentials = "707 设置代理凭证失败!";
inline constexpr const char* kCertificateFlags = "忽略错误/证书错误  失败！";
inline constexpr const char* kCookieFeature = "708 禁止自动设置Cookies失败!";
inline constexpr const char* kRedirects = "709 重定向设置失败!";
inline constexpr const char* kHeaders = "710 设置协议头失败!";
inline constexpr const char* kSend = "711 发送请求失败!";
inline constexpr const char* kNoResponse = "712 服务器未响应!";
inline constexpr const char* kRead = "713 读取数据失败!";
}  // namespace web_request_error

// Returns the body up to its first zero byte, re-decoded when an HTML meta tag
// in its first 1024 bytes names a character set other than gbk or gb2312; the
// empty Text when the exchange failed (statusOrError tells why). An error
// status such as 404 is no failure: its body is returned.
[[nodiscard]] Text WebRequest(const Text& url, const WebRequestArguments& arguments = {});
