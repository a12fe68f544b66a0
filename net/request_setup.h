#pragma once
// What a web request is made of before it is sent: its verb, the proxy name
// given to WinHTTP, its time-outs and its header block.

#include <cstdint>

#include "common/text.h"
#include "net/winhttp_handle.h"

// "GET", "POST", "HEAD", "PUT", "OPTIONS", "DELETE", "TRACE" or "CONNECT" for
// 0 to 7; "GET" for any other number.
[[nodiscard]] const wchar_t* HttpVerb(std::int32_t method) noexcept;

inline constexpr std::int32_t kPostMethod = 1;

// The proxy list for WinHTTP: "http=" + proxy for an http URL (so only http
// goes through it), the proxy unchanged for https; empty for no proxy.
[[nodiscard]] Text ProxyName(const Text& proxy, bool secure);

// A synchronous WinHTTP session without user agent: direct when proxy is
// empty, otherwise through the named proxy as ProxyName gives it.
[[nodiscard]] UniqueInternet OpenSession(const Text& proxy, bool secure);

// Every WinHTTP time-out of a request, in milliseconds: timeoutSeconds
// seconds, or 30 seconds when timeoutSeconds is below 1.
[[nodiscard]] int TimeoutMilliseconds(std::int32_t timeoutSeconds) noexcept;

// Sets the resolve, connect, send and receive time-outs of a WinHTTP session,
// and the wait for the response headers, to TimeoutMilliseconds(timeoutSeconds).
[[nodiscard]] bool SetRequestTimeouts(HINTERNET handle, std::int32_t timeoutSeconds) noexcept;

// The header block to send: extraHeaders, then the browser-like defaults it
// lacks (Content-Type only for POST), optionally in canonical form, without a
// "Connection: keep-alive" line that another line follows, then the cookies
// as a Cookie line when the block has none.
[[nodiscard]] Text BuildRequestHeaders(const Text& extraHeaders, std::int32_t method,
                                       const Text& cookiesIn, bool addDefaultHeaders,
                                       bool normaliseHeaders);
