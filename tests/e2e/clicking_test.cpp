// Runs of the real program clicking its own test counter on page 1, or a
// window of the test.
#include <vector>

#include "tests/case_name.h"
#include "tests/click/recording_window.h"
#include "tests/e2e/main_window_fixture.h"

namespace {

class ClickingTest : public MainWindowTest {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(Launch());
    target_ = CentreOf("按钮_下一步按钮1");
  }
  void Settings(const Text& interval, const Text& count, const Text& x, const Text& y) const {
    SetTextOf("编辑框_点击间隔", interval);
    SetTextOf("编辑框_设置点击次数", count);
    SetTextOf("编辑框_X", x);
    SetTextOf("编辑框_Y", y);
  }
  POINT target_{};
};

TEST_F(ClickingTest, RunClicksTheGivenCountAtThePointAndReturnsToIdle) {
  Settings("50", "5", IntToText(target_.x), IntToText(target_.y));
  Click("按钮_开关连点");
  // The running look.
  EXPECT_EQ(TextOf("按钮_开关连点"), "停止连点");
  EXPECT_EQ(SendMessageA(Find("选择夹EX1"), TCM_GETCURSEL, 0, 0), 1);
  EXPECT_FALSE(IsWindowEnabled(Find("图片分组框_连点设置")));
  EXPECT_FALSE(IsWindowEnabled(Find("编辑框_点击间隔")));
  EXPECT_FALSE(IsWindowEnabled(Find("按钮_下一步按钮3")));
  EXPECT_TRUE(IsWindowEnabled(Find("按钮_开关连点")));

  ASSERT_TRUE(WaitIdle(20000));
  EXPECT_TRUE(WaitUntil(5000, [&] { return TextOf("编辑框_点击次数") == "5"; })) << TextOf("编辑框_点击次数");
  EXPECT_EQ(SendMessageA(Find("选择夹EX1"), TCM_GETCURSEL, 0, 0), 0);
  EXPECT_TRUE(IsWindowEnabled(Find("图片分组框_连点设置")));
  EXPECT_TRUE(IsWindowEnabled(Find("编辑框_点击间隔")));
  EXPECT_EQ(program_.ReadFile("config.ini"),
            "[设置]\r\n点击间隔=50\r\n点击次数=5\r\n按键=0\r\nX坐标=" + IntToText(target_.x) +
                "\r\nY坐标=" + IntToText(target_.y) + "\r\n");
}

TEST_F(ClickingTest, CountsThatAreNoNumberOrNotPositiveClickNothing) {
  for (const char* count : {"0", "-3", "abc", "2147483648"}) {
    Settings("0", count, IntToText(target_.x), IntToText(target_.y));
    Click("按钮_开关连点");
    ASSERT_TRUE(WaitIdle(20000)) << count;
    EXPECT_EQ(TextOf("编辑框_点击次数"), "") << count;
  }
}

TEST_F(ClickingTest, StopInTheFirstSecondClicksNothingAndSavesAgain) {
  Settings("10", "3", IntToText(target_.x), IntToText(target_.y));
  Click("按钮_开关连点");
  SetTextOf("编辑框_点击间隔", "77");  // typed while running: the stop press saves it
  Click("按钮_开关连点");
  EXPECT_EQ(TextOf("按钮_开关连点"), "开始连点");
  EXPECT_EQ(SendMessageA(Find("选择夹EX1"), TCM_GETCURSEL, 0, 0), 0);
  EXPECT_TRUE(IsWindowEnabled(Find("图片分组框_连点设置")));
  Sleep(2000);  // well past the first click's due time
  EXPECT_EQ(TextOf("编辑框_点击次数"), "");
  EXPECT_EQ(TextOf("按钮_开关连点"), "开始连点");
  EXPECT_NE(program_.ReadFile("config.ini").value_or("").find("点击间隔=77"), Text::npos);
}

TEST_F(ClickingTest, MinusOneFollowsTheCursorOnThatAxisOnly) {
  Settings("20", "3", "-1", IntToText(target_.y));
  SetCursorPos(target_.x, target_.y + 200);
  Click("按钮_开关连点");
  ASSERT_TRUE(WaitIdle(20000));
  EXPECT_TRUE(WaitUntil(5000, [&] { return TextOf("编辑框_点击次数") == "3"; })) << TextOf("编辑框_点击次数");
  POINT cursor{};
  GetCursorPos(&cursor);
  EXPECT_EQ(cursor.x, target_.x);
  EXPECT_EQ(cursor.y, target_.y);
}

TEST_F(ClickingTest, ClearedPositionClicksAtTheCursorAndIsSaved) {
  Settings("20", "2", "", "");
  Click("按钮_下一步按钮3");  // 不设置
  SetCursorPos(target_.x, target_.y);
  Click("按钮_开关连点");
  ASSERT_TRUE(WaitIdle(20000));
  EXPECT_TRUE(WaitUntil(5000, [&] { return TextOf("编辑框_点击次数") == "2"; })) << TextOf("编辑框_点击次数");
  const Text config = program_.ReadFile("config.ini").value_or("");
  EXPECT_NE(config.find("X坐标=-1\r\nY坐标=-1"), Text::npos) << config;
}

// The kind of click comes from the radio buttons and is saved as 按键; a window
// of this test process receives the clicks. Its class takes no double-clicks,
// so a double-click arrives as two plain presses.
struct KindCase {
  const char* name;
  const char* radio;
  const char* savedKey;
  std::vector<UINT> expected;
};

class ClickKindTest : public ClickingTest, public testing::WithParamInterface<KindCase> {};

TEST_P(ClickKindTest, ClickKindComesFromTheRadios) {
  const KindCase& c = GetParam();
  RecordingWindow recorder(700, 500, 200, 120);
  Click(c.radio);
  Settings("20", "2", "800", "560");
  Click("按钮_开关连点");
  ASSERT_TRUE(WaitIdle(20000));
  EXPECT_TRUE(recorder.PumpUntil(5000, [&] { return recorder.ButtonMessages().size() >= c.expected.size(); }));
  recorder.Settle(300);
  EXPECT_EQ(recorder.ButtonMessages(), c.expected);
  EXPECT_NE(program_.ReadFile("config.ini").value_or("").find(Text("按键=") + c.savedKey), Text::npos);
}

const std::vector<UINT> kLeft = {WM_LBUTTONDOWN, WM_LBUTTONUP};
const std::vector<UINT> kRight = {WM_RBUTTONDOWN, WM_RBUTTONUP};

std::vector<UINT> Times(const std::vector<UINT>& pattern, int times) {
  std::vector<UINT> result;
  for (int i = 0; i < times; ++i) result.insert(result.end(), pattern.begin(), pattern.end());
  return result;
}

INSTANTIATE_TEST_SUITE_P(Radios, ClickKindTest,
                         testing::Values(KindCase{"Left", "单选框_SL", "0", Times(kLeft, 2)},
                                         KindCase{"LeftDouble", "单选框_SM", "1", Times(kLeft, 4)},
                                         KindCase{"Right", "单选框_SR", "2", Times(kRight, 2)}),
                         CaseName());

}  // namespace
