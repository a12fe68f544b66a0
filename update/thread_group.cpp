#include "update/thread_group.h"

#include <memory>
#include <new>

struct ThreadGroup::Launched {
  ThreadGroup* group;
  LPTHREAD_START_ROUTINE routine;
  void* argument;
};

ThreadGroup::ThreadGroup() noexcept : idle_(::CreateEventW(nullptr, TRUE, TRUE, nullptr)) {}

ThreadGroup::~ThreadGroup() { (void)WaitIdle(); }

bool ThreadGroup::Launch(LPTHREAD_START_ROUTINE routine, void* argument) noexcept {
  std::unique_ptr<Launched> launched(new (std::nothrow) Launched{this, routine, argument});
  if (!launched || !idle_) return false;
  {
    LockHolder held(lock_);
    if (running_++ == 0) ::ResetEvent(idle_.get());
  }
  UniqueHandle thread(::CreateThread(nullptr, 0, &ThreadGroup::Run, launched.get(), 0, nullptr));
  if (!thread) {
    Finished();
    return false;
  }
  (void)launched.release();  // the thread frees it
  return true;
}

bool ThreadGroup::WaitIdle(DWORD timeoutMs) noexcept {
  if (!idle_) return true;
  if (::WaitForSingleObject(idle_.get(), timeoutMs) != WAIT_OBJECT_0) return false;
  // The last thread signals while it holds the lock: once we hold it too, that
  // thread is done with this object.
  LockHolder held(lock_);
  return true;
}

DWORD WINAPI ThreadGroup::Run(void* launched) noexcept {
  const std::unique_ptr<Launched> own(static_cast<Launched*>(launched));
  const DWORD result = own->routine(own->argument);
  own->group->Finished();
  return result;
}

void ThreadGroup::Finished() noexcept {
  LockHolder held(lock_);
  if (--running_ == 0) ::SetEvent(idle_.get());
}
