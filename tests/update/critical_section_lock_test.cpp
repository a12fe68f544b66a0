#include "update/critical_section_lock.h"

#include <gtest/gtest.h>

#include <array>

#include "common/handles.h"

namespace {

struct Shared {
  CriticalSectionLock lock;
  int counter = 0;
  bool entered = false;
};

DWORD WINAPI AddUnderLock(void* parameter) noexcept {
  auto& shared = *static_cast<Shared*>(parameter);
  for (int i = 0; i < 2000; ++i) {
    LockHolder held(shared.lock);
    const int seen = shared.counter;
    ::Sleep(0);  // invites another thread into the window a missing lock leaves open
    shared.counter = seen + 1;
  }
  return 0;
}

DWORD WINAPI TryFromOtherThread(void* parameter) noexcept {
  auto& shared = *static_cast<Shared*>(parameter);
  shared.entered = shared.lock.TryEnter();
  if (shared.entered) shared.lock.Leave();
  return 0;
}

bool TryEnterOnOtherThread(Shared& shared) {
  UniqueHandle thread(::CreateThread(nullptr, 0, &TryFromOtherThread, &shared, 0, nullptr));
  EXPECT_TRUE(thread.valid());
  ::WaitForSingleObject(thread.get(), INFINITE);
  return shared.entered;
}

TEST(CriticalSectionLock, KeepsOtherThreadsOutUntilLeft) {
  Shared shared;
  shared.lock.Enter();
  EXPECT_FALSE(TryEnterOnOtherThread(shared));
  // The owner may enter again; it must leave as often.
  ASSERT_TRUE(shared.lock.TryEnter());
  shared.lock.Leave();
  EXPECT_FALSE(TryEnterOnOtherThread(shared));
  shared.lock.Leave();
  EXPECT_TRUE(TryEnterOnOtherThread(shared));
}

TEST(CriticalSectionLock, SerialisesReadModifyWrite) {
  Shared shared;
  std::array<UniqueHandle, 4> threads;
  for (auto& thread : threads) {
    thread.reset(::CreateThread(nullptr, 0, &AddUnderLock, &shared, 0, nullptr));
    ASSERT_TRUE(thread.valid());
  }
  for (auto& thread : threads) ::WaitForSingleObject(thread.get(), INFINITE);
  EXPECT_EQ(shared.counter, 4 * 2000);
}

}  // namespace
