#pragma once
// Runs one ClickJob on a thread of its own: one second after Start, then the
// requested clicks on a ClickSchedule, so that waits never add up and a late
// click never brings the ones it delayed in a burst. The thread works on a
// copy of the job and never touches a window except by posting
// finishedMessage to notifyWindow when the run ends by itself.

#include <windows.h>

#include <cstdint>
#include <memory>

#include "click/click_job.h"
#include "click/mouse.h"
#include "common/handles.h"

class ClickWorker {
 public:
  // How a run clicks: SimulateClick, or a stand-in.
  using ClickRoutine = void (*)(std::int32_t x, std::int32_t y, ClickKind kind) noexcept;

  // Now, on the counter that runs are timed by (QueryPerformanceCounter).
  [[nodiscard]] static std::int64_t Ticks() noexcept;

  // Starts the run; null when the thread cannot be created. Click 1 is due
  // 1000 ms after pressedTicks (the press that asked for the run; 0: this
  // call) and each later one an interval after the one before
  // (ClickSchedule); one interval after the last click the run has
  // finished() and posts finishedMessage with wParam = serial().
  [[nodiscard]] static std::unique_ptr<ClickWorker> Start(const ClickJob& job, HWND notifyWindow,
                                                          UINT finishedMessage, std::int64_t pressedTicks = 0,
                                                          ClickRoutine click = SimulateClick) noexcept;

  // Stops the run at once: when Stop returns no further click begins, a wait
  // in progress is cut short and finishedMessage is never posted. A click
  // whose events are already being sent completes. Does not wait for the thread.
  void Stop() noexcept;

  // Stops the run and lets its thread go; waits briefly for the thread to end.
  ~ClickWorker();
  ClickWorker(const ClickWorker&) = delete;
  ClickWorker& operator=(const ClickWorker&) = delete;

  // Tells this run's finishedMessage apart from an earlier run's. The message
  // proves nothing (anyone can post it): finished() does.
  [[nodiscard]] std::uint32_t serial() const noexcept;
  // True once the run has ended by itself, never for a stopped one.
  [[nodiscard]] bool finished() const noexcept;
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
