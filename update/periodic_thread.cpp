#include "update/periodic_thread.h"

#include "update/method_thunk.h"

PeriodicThread::~PeriodicThread() {
  if (thread_) (void)Stop(INFINITE);
}

HANDLE PeriodicThread::Start(LPTHREAD_START_ROUTINE routine, std::int32_t intervalMs, std::int32_t firstDelayMs,
                             void* argument, bool direct) noexcept {
  if (thread_) {
    if (::WaitForSingleObject(thread_.get(), 0) != WAIT_OBJECT_0) return thread_.get();
    thread_.reset();  // ended after a Stop that did not wait for it
  }
  if (!routine) return nullptr;
  routine_ = routine;
  argument_ = argument;
  intervalMs_ = intervalMs;
  firstDelayMs_ = firstDelayMs;
  stopRequested_ = false;
  suspendState_ = 0;
  const LPTHREAD_START_ROUTINE entry = direct ? &MethodThunk<PeriodicThread, &PeriodicThread::RunDirect>
                                              : &MethodThunk<PeriodicThread, &PeriodicThread::RunSpawning>;
  thread_.reset(::CreateThread(nullptr, 0, entry, this, 0, nullptr));
  return thread_.get();
}

std::int32_t PeriodicThread::Stop(DWORD timeoutMs, bool noWait) noexcept {
  if (!thread_) return kNotRunning;
  // A thread that already ended (after a Stop that did not wait) needs no wake.
  if (::WaitForSingleObject(thread_.get(), 0) != WAIT_OBJECT_0) {
    if (!::QueueUserAPC(&PeriodicThread::Wake, thread_.get(), 0)) {
      return static_cast<std::int32_t>(::GetLastError());
    }
    stopRequested_ = true;
    if (suspendState_ == 1) {
      suspendState_ = 0;
      if (::ResumeThread(thread_.get()) == static_cast<DWORD>(-1)) return kResumeFailed;
    }
  }
  if (noWait) return 0;
  const DWORD started = ::GetTickCount();
  if (::WaitForSingleObject(thread_.get(), timeoutMs) != WAIT_OBJECT_0) return WAIT_TIMEOUT;
  thread_.reset();
  const DWORD spent = ::GetTickCount() - started;
  const DWORD left = timeoutMs == INFINITE ? INFINITE : (spent < timeoutMs ? timeoutMs - spent : 0);
  return runs_.WaitIdle(left) ? 0 : WAIT_TIMEOUT;
}

std::int32_t PeriodicThread::Suspend() noexcept {
  if (!thread_ || suspendState_ != 0) return 0;
  suspendState_ = static_cast<std::int32_t>(::SuspendThread(thread_.get()) + 1);
  return 1;
}

std::int32_t PeriodicThread::Resume() noexcept {
  if (!thread_ || suspendState_ != 1) return 0;
  if (::ResumeThread(thread_.get()) == static_cast<DWORD>(-1)) return 0;
  suspendState_ = 0;
  return 1;
}

std::int32_t PeriodicThread::Terminate() noexcept {
  if (!thread_) return 0;
  return Stop(INFINITE) == 0 ? 1 : 0;
}

void PeriodicThread::SetInterval(std::int32_t intervalMs) noexcept { intervalMs_ = intervalMs; }

DWORD PeriodicThread::RunDirect() noexcept { return Run(true); }

DWORD PeriodicThread::RunSpawning() noexcept { return Run(false); }

DWORD PeriodicThread::Run(bool direct) noexcept {
  if (SleepUntilWoken(firstDelayMs_)) return 0;
  for (;;) {
    if (direct) {
      routine_(argument_);
    } else {
      (void)runs_.Launch(routine_, argument_);
    }
    if (SleepUntilWoken(intervalMs_)) return 0;
  }
}

bool PeriodicThread::SleepUntilWoken(std::int32_t ms) noexcept {
  if (stopRequested_) return true;
  const DWORD result = ::SleepEx(ms > 0 ? static_cast<DWORD>(ms) : 0, TRUE);
  return result == WAIT_IO_COMPLETION || stopRequested_;
}

void NTAPI PeriodicThread::Wake(ULONG_PTR) noexcept {}
