#pragma once
// A value handed from one thread to another through an object both know: the
// giver puts it in and posts a message that carries nothing; the taker takes
// whatever is there. A message forged by another process finds nothing to
// take. A newer value replaces one not yet taken.

#include <windows.h>

#include <memory>

template <typename T>
class HandOver {
 public:
  HandOver() noexcept = default;
  ~HandOver() { delete Exchange(nullptr); }
  HandOver(const HandOver&) = delete;
  HandOver& operator=(const HandOver&) = delete;

  void Put(std::unique_ptr<T> value) noexcept { std::unique_ptr<T> replaced(Exchange(value.release())); }
  // Empty when nothing was put in since the last Take.
  [[nodiscard]] std::unique_ptr<T> Take() noexcept { return std::unique_ptr<T>(Exchange(nullptr)); }

 private:
  T* Exchange(T* value) noexcept {
    return static_cast<T*>(InterlockedExchangePointer(reinterpret_cast<void* volatile*>(&slot_), value));
  }

  T* volatile slot_ = nullptr;
};
