#pragma once
// Fetches one http or https address into one file with a single WinHTTP GET
// (carrying "Range:bytes=0-") on a transfer thread of its own, and reports
// its course to an optional callback.
//
// Events, when a callback is given: Started when the body begins to arrive,
// Progress about every 495 ms from 500 ms on, Failed when the download fails,
// and Finished exactly once at the very end. Started, Progress and Failed run
// on short-lived threads of their own, so the callback must be safe to run on
// several threads at once; every one of them has returned before Finished,
// which runs on the transfer thread.
//
// Success means: a status from 200 to 299 and a body that arrived whole (as
// long as its Content-Length said, when it sent one) and is written to the
// target, which is truncated when opened. Anything else fails: an error
// status, a connection that cannot be made, a body that is empty, cut short or
// fails to read, a write that fails, or a Stop. A failed download leaves no
// file of its own behind: a target it opened is removed. A target that was
// never opened (for example because the status was an error, or another
// downloader holds it) is left as it was.
//
// How a failure is made known: Start returns null, and starts nothing, when
// the address or the target is empty or the address is not http(s). Every
// transfer that did start ends the same way, however early it fails: Failed
// (with a callback), then Finished with `succeeded` set or not, then the
// caller's finishedEvent is signalled; Result() tells the outcome as well. So
// a caller that waits for finishedEvent after a successful Start never waits
// for ever.
//
// Stop aborts a transfer: it sets a flag that the transfer thread reads
// before each chunk, closes the WinHTTP request so that a call blocked inside
// WinHTTP returns, and waits for the thread. No thread is ever killed. A
// callback must not call Stop, except the one for Finished. (Wine's WinHTTP
// does not return from a receive that is blocked on a silent server when its
// handle is closed; there the receive ends with the server's next bytes or at
// WinHTTP's receive time-out.)
//
// Speed: each Progress event takes a sample, the KiB received since the
// previous sample divided by the seconds that really passed; events report
// the mean of the last 60 samples, or before the first sample the mean rate
// since the body began.

#include <windows.h>
#include <winhttp.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/handles.h"
#include "common/text.h"
#include "net/winhttp_handle.h"
#include "update/critical_section_lock.h"
#include "update/periodic_thread.h"
#include "update/speed_sampler.h"
#include "update/thread_group.h"

enum class DownloadEventKind : std::int32_t { Failed = -1, Started = 1, Progress = 2, Finished = 3 };

struct DownloadEventRecord {
  std::int32_t taskId = 0;
  DownloadEventKind kind = DownloadEventKind::Started;
  std::int64_t totalSize = 0;  // the Content-Length; 0 when the server sent none
  std::int64_t received = 0;
  std::int64_t remaining = 0;  // totalSize - received; 0 when totalSize is 0
  float fraction = 0.0f;       // received / totalSize; 0 when totalSize is 0
  float speed = 0.0f;          // KiB per second (see above); 0 before any byte
  std::int32_t elapsedMs = 0;  // since the body began to arrive; 0 before
  std::string_view targetPath;  // valid during the call
  bool succeeded = false;       // Finished only: the whole body is in the target file
};

using DownloadCallback = void (*)(const DownloadEventRecord& record) noexcept;

enum class DownloadResult { None, Running, Succeeded, Failed };

class FileDownloader {
 public:
  static constexpr std::int32_t kProgressIntervalMs = 495;
  static constexpr std::int32_t kFirstProgressMs = 500;

  FileDownloader() noexcept = default;
  // Stops a transfer that still runs.
  ~FileDownloader();
  FileDownloader(const FileDownloader&) = delete;
  FileDownloader& operator=(const FileDownloader&) = delete;

  // Starts the transfer and returns its thread's handle (owned by this
  // object), or null when it started nothing: an empty address or target, an
  // address that is not http(s), a transfer of this object that still runs, or
  // no thread.
  HANDLE Start(const Text& url, const Text& targetPath, DownloadCallback callback = nullptr, std::int32_t taskId = 0,
               HANDLE finishedEvent = nullptr) noexcept;
  // Aborts a transfer that still runs (which then ends as failed, with its
  // events) and waits for its thread; after the end it only forgets the
  // ended thread and sends nothing.
  void Stop() noexcept;

  [[nodiscard]] DownloadResult Result() const noexcept { return result_; }

 private:
  // The parts of the address that WinHTTP wants.
  struct Address {
    std::wstring host;
    INTERNET_PORT port = 0;
    std::wstring object;  // path and query
    bool secure = false;
  };
  [[nodiscard]] static bool CrackAddress(const Text& url, Address& address);

  DWORD Transfer() noexcept;
  [[nodiscard]] bool Open() noexcept;
  [[nodiscard]] bool OpenTarget() noexcept;
  [[nodiscard]] bool ReceiveBody() noexcept;
  void End(bool succeeded) noexcept;
  void Report(DownloadEventKind kind, bool succeeded = false) noexcept;
  void LaunchReport(DownloadEventKind kind) noexcept;
  DWORD ReportStarted() noexcept;
  DWORD ReportProgress() noexcept;
  DWORD ReportFailed() noexcept;

  // Set by Start before the transfer thread exists, read-only afterwards.
  Address address_;
  Text targetPath_;
  DownloadCallback callback_ = nullptr;
  std::int32_t taskId_ = 0;
  HANDLE finishedEvent_ = nullptr;  // the caller's; not owned

  UniqueHandle transferThread_;
  DWORD transferThreadId_ = 0;
  std::atomic<bool> stopRequested_{false};
  std::atomic<DownloadResult> result_{DownloadResult::None};

  // The transfer thread's. Stop closes request_ (under requestLock_) to abort
  // a blocked call; the transfer works with its copy in activeRequest_.
  UniqueInternet session_;
  UniqueInternet connection_;
  CriticalSectionLock requestLock_;
  UniqueInternet request_;
  HINTERNET activeRequest_ = nullptr;
  DWORD firstAvailable_ = 0;
  UniqueFile file_;

  // Written by the transfer before any event thread starts.
  std::int64_t totalSize_ = 0;
  DWORD startTick_ = 0;
  bool bodyStarted_ = false;

  CriticalSectionLock counterLock_;  // guards the four below
  std::int64_t received_ = 0;
  std::int64_t sampledReceived_ = 0;
  DWORD sampledTick_ = 0;
  bool sampled_ = false;

  SpeedSampler sampler_;
  PeriodicThread ticker_;
  ThreadGroup eventThreads_;
};
