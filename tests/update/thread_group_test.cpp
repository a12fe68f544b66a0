#include "update/thread_group.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

std::atomic<int> finished{0};

DWORD WINAPI SleepThenCount(void* parameter) noexcept {
  ::Sleep(static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(parameter)));
  ++finished;
  return 0;
}

TEST(ThreadGroup, WaitsForEveryRoutineLaunched) {
  finished = 0;
  ThreadGroup group;
  EXPECT_TRUE(group.WaitIdle(0));
  for (ULONG_PTR ms : {50, 150, 250}) ASSERT_TRUE(group.Launch(&SleepThenCount, reinterpret_cast<void*>(ms)));
  EXPECT_FALSE(group.WaitIdle(0));
  EXPECT_TRUE(group.WaitIdle());
  EXPECT_EQ(finished, 3);
  // Idle again, it takes new routines.
  ASSERT_TRUE(group.Launch(&SleepThenCount, reinterpret_cast<void*>(ULONG_PTR{100})));
  EXPECT_FALSE(group.WaitIdle(0));
  EXPECT_TRUE(group.WaitIdle());
  EXPECT_EQ(finished, 4);
}

TEST(ThreadGroup, DestructionWaitsForRunningRoutines) {
  finished = 0;
  {
    ThreadGroup group;
    ASSERT_TRUE(group.Launch(&SleepThenCount, reinterpret_cast<void*>(ULONG_PTR{200})));
  }
  EXPECT_EQ(finished, 1);
}

}  // namespace
