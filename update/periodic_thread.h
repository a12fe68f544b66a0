#pragma once
// A thread that runs a routine after a first delay and then at a fixed
// interval until it is woken. The direct variant runs the routine on the
// periodic thread itself, so runs never overlap and a slow run delays the
// next one; the spawning variant starts a new thread for every run, so a run
// that outlasts the interval overlaps the next one.
//
// Start, Stop and the other operations belong to the owner's thread. The
// periodic thread sleeps alertably: Stop queues a do-nothing asynchronous
// procedure call that ends the sleep. The owner alone holds the thread
// handle and closes it once the thread has ended, so no handle is ever used
// after it was closed.

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "common/handles.h"
#include "update/thread_group.h"

class PeriodicThread {
 public:
  static constexpr DWORD kDefaultStopTimeoutMs = 1000;
  // Results of Stop besides 0 (ended), WAIT_TIMEOUT and a GetLastError value.
  static constexpr std::int32_t kNotRunning = -1;
  static constexpr std::int32_t kResumeFailed = -2;

  PeriodicThread() noexcept = default;
  // Wakes a running thread and waits until it and every run it started have
  // ended: no routine of ours outlives its owner.
  ~PeriodicThread();
  PeriodicThread(const PeriodicThread&) = delete;
  PeriodicThread& operator=(const PeriodicThread&) = delete;

  // Starts the thread and returns its handle (owned by this object). While a
  // thread runs, returns that thread's handle and changes nothing. Null when
  // no thread could be made.
  HANDLE Start(LPTHREAD_START_ROUTINE routine, std::int32_t intervalMs, std::int32_t firstDelayMs, void* argument,
               bool direct = false) noexcept;
  // Wakes the thread. Returns kNotRunning when there is none; the GetLastError
  // value when the wake cannot be queued; kResumeFailed when a suspended
  // thread cannot be resumed; 0 at once with noWait; else 0 when the thread,
  // and for the spawning variant every run it started, ended within timeoutMs
  // (the thread is then forgotten, so a later Start starts afresh), or
  // WAIT_TIMEOUT (258) when something still ran; nothing is killed.
  std::int32_t Stop(DWORD timeoutMs = kDefaultStopTimeoutMs, bool noWait = false) noexcept;
  // Suspends a running thread that is not suspended yet: 1 when it tried, else 0.
  std::int32_t Suspend() noexcept;
  // Resumes a thread suspended by Suspend: 1 when that worked, else 0.
  std::int32_t Resume() noexcept;
  // Ends the thread without killing it (a thread killed in the middle of a
  // run could hold the heap or loader lock for ever): wakes it and waits until
  // it has ended. 1 when a thread was ended, 0 when there was none.
  std::int32_t Terminate() noexcept;
  // Takes effect from the thread's next sleep on.
  void SetInterval(std::int32_t intervalMs) noexcept;

  // The running thread, or null.
  [[nodiscard]] HANDLE Thread() const noexcept { return thread_.get(); }

 private:
  DWORD RunDirect() noexcept;
  DWORD RunSpawning() noexcept;
  DWORD Run(bool direct) noexcept;
  // True when a Stop ended (or had already asked to end) the sleep.
  [[nodiscard]] bool SleepUntilWoken(std::int32_t ms) noexcept;
  static void NTAPI Wake(ULONG_PTR) noexcept;

  LPTHREAD_START_ROUTINE routine_ = nullptr;
  void* argument_ = nullptr;
  std::atomic<std::int32_t> intervalMs_{0};
  std::int32_t firstDelayMs_ = 0;
  UniqueHandle thread_;
  // Besides the wake call: a run of the direct variant may itself sleep
  // alertably and so swallow the wake meant for our sleep.
  std::atomic<bool> stopRequested_{false};
  std::int32_t suspendState_ = 0;  // 1 while suspended by Suspend
  ThreadGroup runs_;               // the spawning variant's runs
};
