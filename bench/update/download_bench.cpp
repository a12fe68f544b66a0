// Downloads one address into one file and prints a RESULT line for
// bench/update/run.sh:
//   download_bench ours URL FILE     with FileDownloader, progress events on
//   download_bench winhttp URL FILE  a bare synchronous WinHTTP read loop, the
//                                    ceiling that WinHTTP itself allows here
// RESULT <who> <bytes> <seconds> <peak working set KiB> <progress events>
//        <first progress ms> <gap median ms> <gap min ms> <gap max ms>

#include <windows.h>
#include <psapi.h>
#include <winhttp.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/handles.h"
#include "net/winhttp_handle.h"
#include "update/critical_section_lock.h"
#include "update/file_downloader.h"

namespace {

double Now() {
  LARGE_INTEGER frequency, counter;
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

CriticalSectionLock progressLock;
std::vector<double> progressTimes;

void OnEvent(const DownloadEventRecord& record) noexcept {
  if (record.kind != DownloadEventKind::Progress) return;
  LockHolder held(progressLock);
  progressTimes.push_back(Now());
}

// Bytes written, or -1 when the download failed.
long long WithFileDownloader(const char* url, const char* file) {
  FileDownloader downloader;
  UniqueHandle finished(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
  if (!downloader.Start(url, file, &OnEvent, 1, finished.get())) return -1;
  ::WaitForSingleObject(finished.get(), INFINITE);
  downloader.Stop();
  if (downloader.Result() != DownloadResult::Succeeded) return -1;
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExA(file, GetFileExInfoStandard, &data)) return -1;
  return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

long long WithBareWinHttp(const char* url, const char* file) {
  std::wstring wide(url, url + std::strlen(url));
  URL_COMPONENTS parts{};
  parts.dwStructSize = sizeof parts;
  parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength = static_cast<DWORD>(-1);
  if (!::WinHttpCrackUrl(wide.c_str(), 0, 0, &parts)) return -1;
  const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
  const std::wstring object = std::wstring(parts.lpszUrlPath, parts.dwUrlPathLength) +
                              std::wstring(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  UniqueInternet session(::WinHttpOpen(L"bench", WINHTTP_ACCESS_TYPE_NO_PROXY, nullptr, nullptr, 0));
  UniqueInternet connection(::WinHttpConnect(session.get(), host.c_str(), parts.nPort, 0));
  UniqueInternet request(::WinHttpOpenRequest(connection.get(), L"GET", object.c_str(), nullptr, nullptr, nullptr, 0));
  UniqueFile out(::CreateFileA(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  if (!request || !out || !::WinHttpSendRequest(request.get(), nullptr, 0, nullptr, 0, 0, 0) ||
      !::WinHttpReceiveResponse(request.get(), nullptr)) {
    return -1;
  }
  std::vector<char> buffer(65536);
  long long total = 0;
  DWORD read = 0;
  while (::WinHttpReadData(request.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read) && read > 0) {
    DWORD written = 0;
    if (!::WriteFile(out.get(), buffer.data(), read, &written, nullptr) || written != read) return -1;
    total += read;
  }
  return total;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: download_bench ours|winhttp URL FILE\n");
    return 2;
  }
  const bool ours = std::strcmp(argv[1], "ours") == 0;
  const double started = Now();
  const long long bytes = ours ? WithFileDownloader(argv[2], argv[3]) : WithBareWinHttp(argv[2], argv[3]);
  const double seconds = Now() - started;
  if (bytes < 0) {
    std::fprintf(stderr, "download_bench: the download failed\n");
    return 1;
  }
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  ::GetProcessMemoryInfo(::GetCurrentProcess(), &memory, sizeof memory);

  std::vector<double> gaps;
  for (std::size_t i = 1; i < progressTimes.size(); ++i) gaps.push_back((progressTimes[i] - progressTimes[i - 1]) * 1000);
  std::sort(gaps.begin(), gaps.end());
  const double first = progressTimes.empty() ? 0 : (progressTimes.front() - started) * 1000;
  std::printf("RESULT %s %lld %.4f %zu %zu %.0f %.0f %.0f %.0f\n", argv[1], bytes, seconds,
              static_cast<std::size_t>(memory.PeakWorkingSetSize / 1024), progressTimes.size(), first,
              gaps.empty() ? 0 : gaps[gaps.size() / 2], gaps.empty() ? 0 : gaps.front(),
              gaps.empty() ? 0 : gaps.back());
  return 0;
}
