#pragma once
// Short-lived threads that each run one routine and are not waited for one by
// one: their owner waits until none of them runs any more, so that nothing a
// routine uses is destroyed under it.

#include <windows.h>

#include "common/handles.h"
#include "update/critical_section_lock.h"

class ThreadGroup {
 public:
  ThreadGroup() noexcept;
  // Waits for every routine still running.
  ~ThreadGroup();
  ThreadGroup(const ThreadGroup&) = delete;
  ThreadGroup& operator=(const ThreadGroup&) = delete;

  // Runs routine(argument) on a new thread. False when no thread could be made.
  [[nodiscard]] bool Launch(LPTHREAD_START_ROUTINE routine, void* argument) noexcept;
  // True when no routine runs any more; false when one still ran at the timeout.
  [[nodiscard]] bool WaitIdle(DWORD timeoutMs = INFINITE) noexcept;

 private:
  struct Launched;
  static DWORD WINAPI Run(void* launched) noexcept;
  void Finished() noexcept;

  CriticalSectionLock lock_;
  UniqueHandle idle_;  // manual-reset, signalled while running_ is 0
  int running_ = 0;
};
