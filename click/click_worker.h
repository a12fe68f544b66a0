#pragma once
// Runs one ClickJob on a thread of its own: one second after Start, then the
// requested clicks, each due at an absolute deadline so that waits never add
// up. The thread works on a copy of the job and never touches a window
// except by posting finishedMessage to notifyWindow when the run ends by itself.

#include <windows.h>

#include <cstdint>
#include <memory>

#include "click/click_job.h"
#include "common/handles.h"

class ClickWorker {
 public:
  // Starts the run; null when the thread cannot be created. Click k is due
  // 1000 + (k - 1) * interval ms after this call; one interval after the last
  // click, finishedMessage is posted with wParam = serial().
  [[nodiscard]] static std::unique_ptr<ClickWorker> Start(const ClickJob& job, HWND notifyWindow,
                                                          UINT finishedMessage) noexcept;

  // Stops the run at once: when Stop returns no further click begins, a wait
  // in progress is cut short and finishedMessage is never posted. A click
  // whose events are already being sent completes. Does not wait for the thread.
  void Stop() noexcept;

  // Stops the run and lets its thread go; waits briefly for the thread to end.
  ~ClickWorker();
  ClickWorker(const ClickWorker&) = delete;
  ClickWorker& operator=(const ClickWorker&) = delete;

  // Tells this run's finishedMessage apart from an earlier run's.
  [[nodiscard]] std::uint32_t serial() const noexcept;
  [[nodiscard]] HANDLE thread() const noexcept { return thread_.get(); }

 private:
  struct Run;
  struct RunRelease {
    void operator()(Run* run) const noexcept;
  };
  using RunRef = std::unique_ptr<Run, RunRelease>;

  explicit ClickWorker(RunRef run) noexcept;
  static DWORD WINAPI ThreadMain(LPVOID parameter) noexcept;
  // The thread's routine: the whole run, on the thread's own copy of the job.
  static DWORD RunClickJob(Run& run) noexcept;
  // One click, unless the run was stopped; false when it was.
  static bool ClickUnlessStopped(Run& run, std::int32_t x, std::int32_t y) noexcept;

  RunRef run_;  // shared with the thread, which holds its own reference
  UniqueHandle thread_;
};
