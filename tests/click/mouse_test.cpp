#include "click/mouse.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "common/handles.h"
#include "tests/case_name.h"
#include "tests/click/recording_window.h"

namespace {

struct ClickCase {
  const char* name;
  ClickKind kind;
  std::vector<UINT> expected;
};

const std::vector<UINT> kLeft = {WM_LBUTTONDOWN, WM_LBUTTONUP};
const std::vector<UINT> kLeftTwice = {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP};
const std::vector<UINT> kRight = {WM_RBUTTONDOWN, WM_RBUTTONUP};
const std::vector<UINT> kRightTwice = {WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP};

class SimulateClickTest : public testing::TestWithParam<ClickCase> {};

TEST_P(SimulateClickTest, MovesCursorAndSendsButtonsInOrder) {
  const ClickCase& c = GetParam();
  // The class has no CS_DBLCLKS, so a double-click arrives as two plain pairs.
  RecordingWindow recorder(40, 150, 200, 120);
  SetCursorPos(600, 600);

  SimulateClick(100, 200, c.kind);

  POINT cursor{};
  ASSERT_TRUE(GetCursorPos(&cursor));
  EXPECT_EQ(cursor.x, 100);
  EXPECT_EQ(cursor.y, 200);
  EXPECT_EQ(CursorX(), 100);
  EXPECT_EQ(CursorY(), 200);
  ASSERT_TRUE(recorder.PumpUntil(5000, [&] { return recorder.ButtonMessages().size() >= c.expected.size(); }));
  recorder.Settle(200);
  EXPECT_EQ(recorder.ButtonMessages(), c.expected);
  for (const RecordedMessage& m : recorder.messages()) {
    EXPECT_EQ(m.screenPoint.x, 100);
    EXPECT_EQ(m.screenPoint.y, 200);
  }
}

INSTANTIATE_TEST_SUITE_P(Kinds, SimulateClickTest,
                         testing::Values(ClickCase{"Left", kLeftClick, kLeft},
                                         ClickCase{"LeftDouble", kLeftDoubleClick, kLeftTwice},
                                         ClickCase{"Right", kRightClick, kRight},
                                         ClickCase{"RightDouble", kRightDoubleClick, kRightTwice},
                                         ClickCase{"OtherKindIsLeft", 5, kLeft},
                                         ClickCase{"NegativeKindIsLeft", -1, kLeft}),
                         CaseName());

TEST(CursorPosition, FollowsSetCursorPos) {
  ASSERT_TRUE(SetCursorPos(321, 234));
  EXPECT_EQ(CursorX(), 321);
  EXPECT_EQ(CursorY(), 234);
}

// Sleeps on a thread of its own, so that a wait that never ends fails the
// test instead of hanging it: the milliseconds it took, or -1 after 5 s (the
// thread is then left to the end of the process).
double TimedSleep(std::int32_t ms) {
  struct Sleeper {
    static DWORD WINAPI Run(void* ms) noexcept {
      SleepMs(static_cast<std::int32_t>(reinterpret_cast<INT_PTR>(ms)));
      return 0;
    }
  };
  LARGE_INTEGER frequency{}, start{}, end{};
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  UniqueHandle thread(CreateThread(nullptr, 0, &Sleeper::Run, reinterpret_cast<void*>(static_cast<INT_PTR>(ms)), 0,
                                   nullptr));
  if (!thread || WaitForSingleObject(thread.get(), 5000) != WAIT_OBJECT_0) return -1;
  QueryPerformanceCounter(&end);
  return static_cast<double>(end.QuadPart - start.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

TEST(SleepMs, NegativeAndZeroReturnAtOncePositiveWaits) {
  // A negative time must not turn into an unsigned wait of weeks.
  for (const std::int32_t ms : {-50, -1, 0, static_cast<std::int32_t>(0x80000000)}) {
    const double took = TimedSleep(ms);
    EXPECT_GE(took, 0.0) << ms << " never returned";
  }
  EXPECT_GE(TimedSleep(40), 39.0);
}

}  // namespace
