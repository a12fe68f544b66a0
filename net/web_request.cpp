#include "net/web_request.h"

#include <algorithm>
#include <optional>

#include "common/pending_messages.h"
#include "net/charset_decoding.h"
#include "net/header_cookies.h"
#include "net/request_setup.h"
#include "net/response_headers.h"
#include "net/text_encoding.h"
#include "net/text_pieces.h"
#include "net/winhttp_handle.h"

namespace {

namespace error = web_request_error;

// Every certificate complaint ignored: unknown CA, wrong usage, wrong name,
// expired.
constexpr DWORD kIgnoredCertificateErrors = SECURITY_FLAG_IGNORE_UNKNOWN_CA | SECURITY_FLAG_IGNORE_CERT_WRONG_USAGE |
                                            SECURITY_FLAG_IGNORE_CERT_CN_INVALID |
                                            SECURITY_FLAG_IGNORE_CERT_DATE_INVALID;
// Read by WinHTTP as WINHTTP_ENABLE_SSL_REVOCATION; setting it leaves the
// automatic cookie handling on, which is what the caller's cookies need.
constexpr DWORD kEnableFeatureValue = 1;

// What the request is made of, taken from the URL.
struct UrlParts {
  Bytes host;        // UTF-16, terminated; empty for no host
  Bytes objectName;  // UTF-16, terminated
  INTERNET_PORT port = 0;
  bool secure = false;
};

// count UTF-16 units as terminated Bytes; no units give the empty array.
Bytes WideUnits(const wchar_t* units, DWORD count) {
  if (!units || count == 0) return {};
  const auto* begin = reinterpret_cast<const std::uint8_t*>(units);
  Bytes wide(begin, begin + count * sizeof(wchar_t));
  wide.insert(wide.end(), {0, 0});
  return wide;
}

// A URL without a path asks for "/" and loses its query, as browsers of the
// time did.
std::optional<UrlParts> CrackUrl(const Text& url) {
  const Bytes wide = TextToWide(url);
  URL_COMPONENTS parts{};
  parts.dwStructSize = sizeof parts;
  parts.dwSchemeLength = parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength =
      static_cast<DWORD>(-1);
  const auto length = static_cast<DWORD>(wide.empty() ? 0 : wide.size() / 2 - 1);
  if (!::WinHttpCrackUrl(WideOrNull(wide), length, 0, &parts)) return std::nullopt;
  UrlParts result;
  result.host = WideUnits(parts.lpszHostName, parts.dwHostNameLength);
  if (parts.dwUrlPathLength < 1) {
    result.objectName = WideUnits(L"/", 1);
  } else {
    result.objectName = WideUnits(parts.lpszUrlPath, parts.dwUrlPathLength + parts.dwExtraInfoLength);
  }
  result.port = parts.nPort;
  result.secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
  return result;
}

// Pre-emptive Basic credentials; nothing to do unless both are given.
bool SetBasicCredentials(HINTERNET request, DWORD target, const Text& user, const Text& password) noexcept {
  if (user.empty() || password.empty()) return true;
  const Bytes wideUser = TextToWide(user);
  const Bytes widePassword = TextToWide(password);
  return ::WinHttpSetCredentials(request, target, WINHTTP_AUTH_SCHEME_BASIC, WideOrNull(wideUser),
                                 WideOrNull(widePassword), nullptr) != FALSE;
}

bool SetDwordOption(HINTERNET handle, DWORD option, DWORD value) noexcept {
  return ::WinHttpSetOption(handle, option, &value, sizeof value) != FALSE;
}

// An empty block has nothing to add; WinHTTP would refuse it as an invalid
// parameter and so fail a request that simply has no headers of its own.
bool AddHeaders(HINTERNET request, const Text& block) {
  const Bytes wide = TextToWide(block);
  if (wide.empty()) return true;
  return ::WinHttpAddRequestHeaders(request, WideOrNull(wide), static_cast<DWORD>(wide.size() / 2 - 1),
                                    WINHTTP_ADDREQ_FLAG_ADD) != FALSE;
}

// A server may announce any length; what is reserved for it is bounded.
constexpr DWORD kLargestReservation = 32u * 1024 * 1024;

// Appends the body to `received` chunk by chunk until the server has sent
// everything; false when a read fails (what came before it is kept). The
// bytes go into a Text so that the result can take them over without a copy.
bool ReadBody(HINTERNET request, Text& received) {
  // Room for the announced length up front saves regrowing a large body.
  DWORD announced = 0;
  DWORD size = sizeof announced;
  if (::WinHttpQueryHeaders(request, WINHTTP_QUERY_CONTENT_LENGTH | WINHTTP_QUERY_FLAG_NUMBER,
                            WINHTTP_HEADER_NAME_BY_INDEX, &announced, &size, WINHTTP_NO_HEADER_INDEX)) {
    received.reserve(std::min<DWORD>(announced, kLargestReservation));
  }
  for (;;) {
    DWORD available = 0;
    if (!::WinHttpQueryDataAvailable(request, &available) || available < 1) return true;
    const std::size_t before = received.size();
    received.resize(before + available);
    DWORD read = 0;
    const bool ok = ::WinHttpReadData(request, &received[before], available, &read) != FALSE;
    received.resize(before + (ok ? read : 0));
    if (!ok) return false;
    if (read == 0) return true;
  }
}

// The raw response headers, status line first; nullopt when they cannot be read.
std::optional<Text> QueryRawHeaders(HINTERNET request) {
  DWORD size = 0;
  (void)::WinHttpQueryHeaders(request, WINHTTP_QUERY_RAW_HEADERS_CRLF, WINHTTP_HEADER_NAME_BY_INDEX,
                              WINHTTP_NO_OUTPUT_BUFFER, &size, WINHTTP_NO_HEADER_INDEX);
  Bytes buffer(size);
  if (!::WinHttpQueryHeaders(request, WINHTTP_QUERY_RAW_HEADERS_CRLF, WINHTTP_HEADER_NAME_BY_INDEX,
                             buffer.empty() ? nullptr : buffer.data(), &size, WINHTTP_NO_HEADER_INDEX)) {
    return std::nullopt;
  }
  buffer.resize(std::min<std::size_t>(size, buffer.size()));
  return WideToText(buffer, static_cast<unsigned>(ProcessCodePage));
}

template <typename T>
void WriteOutput(T* output, const T& value) {
  if (output) *output = value;
}

}  // namespace

Text WebRequest(const Text& url, const WebRequestArguments& a) {
  // Declared in this order so that they close request first, session last.
  UniqueInternet session;
  UniqueInternet connection;
  UniqueInternet request;

  const auto fail = [&](const char* errorText, bool processMessages) {
    WriteOutput<Text>(a.statusOrError, errorText);
    if (processMessages) runtime::ProcessPendingMessages();
    return Text();
  };

  if (!::WinHttpCheckPlatform()) return fail(error::kNoWinHttp, true);
  const std::optional<UrlParts> parts = CrackUrl(url);
  if (!parts) return fail(error::kBadUrl, true);

  session = OpenSession(a.proxy, parts->secure);
  if (!session) return fail(error::kNoSession, true);
  if (!SetRequestTimeouts(session.get(), a.timeoutSeconds)) return fail(error::kTimeouts, true);
  connection.reset(::WinHttpConnect(session.get(), WideOrNull(parts->host), parts->port, 0));
  if (!connection) return fail(error::kNoConnection, true);
  request.reset(::WinHttpOpenRequest(connection.get(), HttpVerb(a.method), WideOrNull(parts->objectName), nullptr,
                                     WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                     parts->secure ? WINHTTP_FLAG_SECURE : 0));
  if (!request) return fail(error::kNoRequest, true);

  if (!SetBasicCredentials(request.get(), WINHTTP_AUTH_TARGET_SERVER, a.serverUser, a.serverPassword) ||
      !SetBasicCredentials(request.get(), WINHTTP_AUTH_TARGET_PROXY, a.proxyUser, a.proxyPassword)) {
    return fail(error::kCredentials, false);
  }
  if (!SetDwordOption(request.get(), WINHTTP_OPTION_SECURITY_FLAGS, kIgnoredCertificateErrors)) {
    return fail(error::kCertificateFlags, false);
  }
  const Text cookiesIn = a.cookiesIn ? *a.cookiesIn : Text();
  const bool cookieFeatureSet =
      cookiesIn.empty() ? SetDwordOption(request.get(), WINHTTP_OPTION_DISABLE_FEATURE, WINHTTP_DISABLE_COOKIES)
                        : SetDwordOption(request.get(), WINHTTP_OPTION_ENABLE_FEATURE, kEnableFeatureValue);
  if (!cookieFeatureSet) return fail(error::kCookieFeature, false);
  if (a.noRedirect && !SetDwordOption(request.get(), WINHTTP_OPTION_DISABLE_FEATURE, WINHTTP_DISABLE_REDIRECTS)) {
    return fail(error::kRedirects, false);
  }

  const Text headers =
      BuildRequestHeaders(a.extraHeaders, a.method, cookiesIn, a.addDefaultHeaders, a.normaliseHeaders);
  if (!AddHeaders(request.get(), headers)) return fail(error::kHeaders, true);

  const bool bytesBody = !a.bodyBytes.empty();
  const void* body = bytesBody ? static_cast<const void*>(a.bodyBytes.data())
                               : static_cast<const void*>(a.bodyText.data());
  const auto bodySize = static_cast<DWORD>(bytesBody ? a.bodyBytes.size() : a.bodyText.size());
  if (!::WinHttpSendRequest(request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, bodySize ? const_cast<void*>(body) : nullptr,
                            bodySize, bodySize, 0)) {
    return fail(error::kSend, true);
  }
  if (!::WinHttpReceiveResponse(request.get(), nullptr)) return fail(error::kNoResponse, true);

  Text received;
  if (!ReadBody(request.get(), received)) WriteOutput<Text>(a.statusOrError, error::kRead);

  const std::optional<Text> rawHeaders = QueryRawHeaders(request.get());
  if (!rawHeaders) return {};
  WriteOutput(a.responseHeaders, *rawHeaders);
  WriteOutput(a.statusOrError, StatusFromRawHeaders(*rawHeaders));

  Text cookiesOut = a.cookiesOut ? *a.cookiesOut : Text();
  std::optional<Text> location;
  for (const Text& line : SplitText(*rawHeaders, "\r\n")) {
    ReadResponseHeaderLine(line, cookiesOut, location);
    runtime::ProcessPendingMessages();
  }
  if (EndsWithText(cookiesOut, "; ")) cookiesOut.resize(cookiesOut.size() - 2);
  if (a.mergeCookies && !cookiesIn.empty()) {
    Text merged = cookiesIn;
    cookiesOut = MergeCookies(merged, cookiesOut);
    WriteOutput(a.cookiesIn, merged);
  }
  WriteOutput(a.cookiesOut, cookiesOut);
  if (location) WriteOutput(a.location, *location);

  if (a.responseBytes) *a.responseBytes = TextBytes(received);
  return RedecodeByMetaCharset(std::move(received));
}
