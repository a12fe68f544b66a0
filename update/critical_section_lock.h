#pragma once
// A Windows critical section as an object, and a holder that enters it for
// one scope.

#include <windows.h>

class CriticalSectionLock {
 public:
  CriticalSectionLock() noexcept { ::InitializeCriticalSection(&section_); }
  ~CriticalSectionLock() { ::DeleteCriticalSection(&section_); }
  // Threads wait on the section's address: it never moves or copies.
  CriticalSectionLock(const CriticalSectionLock&) = delete;
  CriticalSectionLock& operator=(const CriticalSectionLock&) = delete;

  void Enter() noexcept { ::EnterCriticalSection(&section_); }
  void Leave() noexcept { ::LeaveCriticalSection(&section_); }
  // True when the section was entered; the caller then owes a Leave.
  [[nodiscard]] bool TryEnter() noexcept { return ::TryEnterCriticalSection(&section_) != FALSE; }

 private:
  CRITICAL_SECTION section_;
};

class [[nodiscard]] LockHolder {
 public:
  explicit LockHolder(CriticalSectionLock& lock) noexcept : lock_(lock) { lock_.Enter(); }
  ~LockHolder() { lock_.Leave(); }
  LockHolder(const LockHolder&) = delete;
  LockHolder& operator=(const LockHolder&) = delete;

 private:
  CriticalSectionLock& lock_;
};
