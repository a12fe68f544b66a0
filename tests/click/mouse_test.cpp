#include "click/mouse.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

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

TEST(SleepMs, NegativeAndZeroReturn) {
  SleepMs(-50);
  SleepMs(0);
  SleepMs(1);
}

}  // namespace
