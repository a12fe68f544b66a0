// Times WebRequest against a local server (bench/net/run.sh starts it).
//   net_bench.exe <url> <count> [bare]
// fetches url count times, one call after the other, after two untimed calls
// that load what the first call of a process loads, and prints "RESULT count
// failures bytes seconds". Every call is a complete WebRequest: its own
// session, connection and request, the default headers, the read loop and the
// charset check. With "bare" each call is instead the least that any WinHTTP
// client does for the same exchange (open, connect, request, send, receive,
// read the body into memory, close): what WinHTTP itself allows here.
#include <windows.h>
#include <winhttp.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "net/text_encoding.h"
#include "net/web_request.h"
#include "net/winhttp_handle.h"

namespace {

double Seconds(std::int64_t ticks) {
  LARGE_INTEGER frequency{};
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(ticks) / static_cast<double>(frequency.QuadPart);
}

std::int64_t Now() {
  LARGE_INTEGER counter{};
  QueryPerformanceCounter(&counter);
  return counter.QuadPart;
}

// A plain GET whose body is kept in memory; false when any step fails.
bool BareFetch(const Bytes& wideUrl, std::uint64_t& bytes) {
  URL_COMPONENTS parts{};
  parts.dwStructSize = sizeof parts;
  parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength = static_cast<DWORD>(-1);
  if (!WinHttpCrackUrl(WideOrNull(wideUrl), 0, 0, &parts)) return false;
  const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
  const std::wstring path(parts.lpszUrlPath, parts.dwUrlPathLength + parts.dwExtraInfoLength);
  const UniqueInternet session(WinHttpOpen(nullptr, WINHTTP_ACCESS_TYPE_NO_PROXY, nullptr, nullptr, 0));
  const UniqueInternet connection(WinHttpConnect(session.get(), host.c_str(), parts.nPort, 0));
  const UniqueInternet request(
      WinHttpOpenRequest(connection.get(), L"GET", path.c_str(), nullptr, nullptr, nullptr, 0));
  if (!request || !WinHttpSendRequest(request.get(), nullptr, 0, nullptr, 0, 0, 0) ||
      !WinHttpReceiveResponse(request.get(), nullptr)) {
    return false;
  }
  std::string body;
  for (;;) {
    DWORD available = 0;
    if (!WinHttpQueryDataAvailable(request.get(), &available) || available == 0) break;
    const std::size_t before = body.size();
    body.resize(before + available);
    DWORD read = 0;
    if (!WinHttpReadData(request.get(), &body[before], available, &read)) return false;
    body.resize(before + read);
  }
  bytes += body.size();
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: net_bench <url> <count> [bare]\n");
    return 2;
  }
  const Text url = argv[1];
  const int count = std::atoi(argv[2]);
  const bool bare = argc > 3 && std::strcmp(argv[3], "bare") == 0;
  const Bytes wideUrl = TextToWide(url);
  int failures = 0;
  std::uint64_t bytes = 0;
  const auto fetch = [&] {
    if (bare) {
      if (!BareFetch(wideUrl, bytes)) ++failures;
      return;
    }
    // As the program calls it: the URL, and the status to count failures.
    Text status;
    const Text body = WebRequest(url, {.statusOrError = &status});
    if (status != "200 OK") ++failures;
    bytes += body.size();
  };
  for (int i = 0; i < 2; ++i) fetch();
  failures = 0;
  bytes = 0;
  const std::int64_t start = Now();
  for (int i = 0; i < count; ++i) fetch();
  const double seconds = Seconds(Now() - start);
  std::printf("RESULT %d %d %llu %.6f\n", count, failures, static_cast<unsigned long long>(bytes), seconds);
  return failures == 0 ? 0 : 1;
}
