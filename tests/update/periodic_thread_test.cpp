#include "update/periodic_thread.h"

#include <gtest/gtest.h>

#include <atomic>

#include "common/handles.h"

namespace {

// What the runs of a periodic thread did.
struct Runs {
  std::atomic<int> started{0};
  std::atomic<int> inside{0};
  std::atomic<int> mostAtOnce{0};
  DWORD runMs = 0;
  UniqueHandle firstRun{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};

  // Waits until `count` runs have started; false after five seconds.
  bool WaitForRuns(int count) const {
    for (int i = 0; i < 500 && started < count; ++i) ::Sleep(10);
    return started >= count;
  }
};

DWORD WINAPI CountedRun(void* parameter) noexcept {
  auto& runs = *static_cast<Runs*>(parameter);
  const int now = ++runs.inside;
  for (int most = runs.mostAtOnce; now > most && !runs.mostAtOnce.compare_exchange_weak(most, now);) {
  }
  ++runs.started;
  ::SetEvent(runs.firstRun.get());
  if (runs.runMs) ::Sleep(runs.runMs);
  --runs.inside;
  return 0;
}

class PeriodicThreadVariant : public testing::TestWithParam<bool> {
 protected:
  bool direct() const { return GetParam(); }
};

TEST_P(PeriodicThreadVariant, StopBeforeTheFirstTickRunsNothing) {
  Runs runs;
  PeriodicThread periodic;
  ASSERT_NE(periodic.Start(&CountedRun, 10, 2000, &runs, direct()), nullptr);
  ::Sleep(50);
  EXPECT_EQ(periodic.Stop(), 0);
  EXPECT_EQ(periodic.Thread(), nullptr);
  ::Sleep(100);
  EXPECT_EQ(runs.started, 0);
}

TEST_P(PeriodicThreadVariant, StopAfterATickEndsTheThreadAndForgetsIt) {
  Runs runs;
  PeriodicThread periodic;
  ASSERT_NE(periodic.Start(&CountedRun, 50, 0, &runs, direct()), nullptr);
  ASSERT_TRUE(runs.WaitForRuns(2));
  const DWORD before = ::GetTickCount();
  EXPECT_EQ(periodic.Stop(), 0);
  EXPECT_LT(::GetTickCount() - before, 1000u);
  EXPECT_EQ(periodic.Thread(), nullptr);
  EXPECT_EQ(runs.inside, 0);
  const int afterStop = runs.started;
  ::Sleep(150);
  EXPECT_EQ(runs.started, afterStop);
  // Stopped, it is idle again, and a new Start starts afresh.
  EXPECT_EQ(periodic.Stop(), PeriodicThread::kNotRunning);
  ASSERT_NE(periodic.Start(&CountedRun, 50, 0, &runs, direct()), nullptr);
  EXPECT_TRUE(runs.WaitForRuns(afterStop + 1));
}

TEST_P(PeriodicThreadVariant, StartWhileRunningChangesNothing) {
  Runs runs;
  Runs others;
  PeriodicThread periodic;
  const HANDLE thread = periodic.Start(&CountedRun, 20, 0, &runs, direct());
  ASSERT_NE(thread, nullptr);
  EXPECT_EQ(periodic.Start(&CountedRun, 1, 0, &others, !direct()), thread);
  ASSERT_TRUE(runs.WaitForRuns(3));
  EXPECT_EQ(periodic.Stop(), 0);
  EXPECT_EQ(others.started, 0);
}

TEST_P(PeriodicThreadVariant, TerminateEndsTheThreadWithoutKillingIt) {
  Runs runs;
  runs.runMs = 100;
  PeriodicThread periodic;
  EXPECT_EQ(periodic.Terminate(), 0);
  ASSERT_NE(periodic.Start(&CountedRun, 10, 0, &runs, direct()), nullptr);
  ASSERT_EQ(::WaitForSingleObject(runs.firstRun.get(), 5000), WAIT_OBJECT_0);
  EXPECT_EQ(periodic.Terminate(), 1);
  // A run in progress was allowed to finish.
  EXPECT_EQ(runs.inside, 0);
  EXPECT_EQ(periodic.Thread(), nullptr);
}

TEST_P(PeriodicThreadVariant, NoRunOutlivesTheObject) {
  Runs runs;
  runs.runMs = 200;
  {
    PeriodicThread periodic;
    ASSERT_NE(periodic.Start(&CountedRun, 10, 0, &runs, direct()), nullptr);
    ASSERT_EQ(::WaitForSingleObject(runs.firstRun.get(), 5000), WAIT_OBJECT_0);
  }
  EXPECT_EQ(runs.inside, 0);
}

INSTANTIATE_TEST_SUITE_P(Variants, PeriodicThreadVariant, testing::Values(true, false),
                         [](const testing::TestParamInfo<bool>& variant) { return variant.param ? "Direct" : "Spawning"; });

TEST(PeriodicThread, StopWhenIdleReportsNotRunning) {
  PeriodicThread periodic;
  EXPECT_EQ(periodic.Stop(), PeriodicThread::kNotRunning);
  EXPECT_EQ(periodic.Stop(0, true), PeriodicThread::kNotRunning);
}

TEST(PeriodicThread, DirectRunsNeverOverlapButSpawnedRunsDo) {
  for (const bool direct : {true, false}) {
    SCOPED_TRACE(direct ? "direct" : "spawning");
    Runs runs;
    runs.runMs = 40;  // longer than the interval
    PeriodicThread periodic;
    ASSERT_NE(periodic.Start(&CountedRun, 5, 0, &runs, direct), nullptr);
    ASSERT_TRUE(runs.WaitForRuns(5));
    EXPECT_EQ(periodic.Stop(), 0);
    if (direct) {
      EXPECT_EQ(runs.mostAtOnce, 1);
    } else {
      EXPECT_GT(runs.mostAtOnce, 1);
    }
  }
}

TEST(PeriodicThread, StopTimesOutWhileADirectRunIsBusyAndSucceedsLater) {
  Runs runs;
  runs.runMs = 700;
  PeriodicThread periodic;
  ASSERT_NE(periodic.Start(&CountedRun, 10, 0, &runs, true), nullptr);
  ASSERT_EQ(::WaitForSingleObject(runs.firstRun.get(), 5000), WAIT_OBJECT_0);
  EXPECT_EQ(periodic.Stop(100), static_cast<std::int32_t>(WAIT_TIMEOUT));
  EXPECT_NE(periodic.Thread(), nullptr);  // not killed: still there
  EXPECT_EQ(periodic.Stop(), 0);
  EXPECT_EQ(runs.started, 1);
  EXPECT_EQ(periodic.Thread(), nullptr);
}

TEST(PeriodicThread, StopWithoutWaitingLeavesTheEndToTheThread) {
  Runs runs;
  PeriodicThread periodic;
  const HANDLE thread = periodic.Start(&CountedRun, 10, 0, &runs, true);
  ASSERT_NE(thread, nullptr);
  ASSERT_TRUE(runs.WaitForRuns(1));
  EXPECT_EQ(periodic.Stop(0, true), 0);
  EXPECT_EQ(::WaitForSingleObject(thread, 2000), WAIT_OBJECT_0);
  // The ended thread is forgotten by the next Stop or Start.
  EXPECT_EQ(periodic.Stop(), 0);
  EXPECT_EQ(periodic.Thread(), nullptr);
}

TEST(PeriodicThread, SuspendHoldsTheTicksAndResumeLetsThemGoOn) {
  Runs runs;
  PeriodicThread periodic;
  EXPECT_EQ(periodic.Suspend(), 0);
  EXPECT_EQ(periodic.Resume(), 0);
  ASSERT_NE(periodic.Start(&CountedRun, 10, 0, &runs, true), nullptr);
  ASSERT_TRUE(runs.WaitForRuns(1));
  ASSERT_EQ(periodic.Suspend(), 1);
  EXPECT_EQ(periodic.Suspend(), 0);  // already suspended
  const int held = runs.started;
  ::Sleep(150);
  EXPECT_EQ(runs.started, held);
  EXPECT_EQ(periodic.Resume(), 1);
  EXPECT_EQ(periodic.Resume(), 0);  // no longer suspended
  EXPECT_TRUE(runs.WaitForRuns(held + 2));
  // Suspended again, a Stop still ends the thread.
  ASSERT_EQ(periodic.Suspend(), 1);
  EXPECT_EQ(periodic.Stop(), 0);
}

TEST(PeriodicThread, SetIntervalAppliesFromTheNextSleep) {
  Runs runs;
  PeriodicThread periodic;
  ASSERT_NE(periodic.Start(&CountedRun, 10, 0, &runs, true), nullptr);
  ASSERT_TRUE(runs.WaitForRuns(3));
  periodic.SetInterval(60000);
  ::Sleep(50);  // the sleep under way when the interval changed ends
  const int slowed = runs.started;
  ::Sleep(300);
  EXPECT_EQ(runs.started, slowed);
  EXPECT_EQ(periodic.Stop(), 0);  // the long sleep is woken, not waited out
}

}  // namespace
