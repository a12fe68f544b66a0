// The two global hotkeys of the real program, pressed on the X display.
#include "tests/e2e/main_window_fixture.h"

namespace {

using HotkeysTest = MainWindowTest;

TEST_F(HotkeysTest, F5RecordsTheCursorPosition) {
  ASSERT_NO_FATAL_FAILURE(Launch());
  PressKey("F5");
  POINT cursor{};
  GetCursorPos(&cursor);
  ASSERT_TRUE(WaitUntil(10000, [&] { return !TextOf("编辑框_监视X").empty(); }));
  EXPECT_EQ(TextOf("编辑框_监视X"), IntToText(cursor.x));
  EXPECT_EQ(TextOf("编辑框_监视Y"), IntToText(cursor.y));
}

TEST_F(HotkeysTest, StartStopKeyActsLikeTheButton) {
  Launch("[快捷键]\r\n操作热键=118\r\n");  // F7
  EXPECT_EQ(SendMessageA(Find("组合框EX3"), CB_GETCURSEL, 0, 0), 6);
  SetTextOf("编辑框_设置点击次数", "100000");
  SetTextOf("编辑框_X", "-1");
  SetTextOf("编辑框_Y", "-1");
  PressKey("F7");
  ASSERT_TRUE(WaitUntil(10000, [&] { return TextOf("按钮_开关连点") == "停止连点"; }));
  EXPECT_EQ(SendMessageA(Find("选择夹EX1"), TCM_GETCURSEL, 0, 0), 1);
  EXPECT_NE(program_.ReadFile("config.ini").value_or("").find("点击次数=100000"), Text::npos);
  PressKey("F7");  // within the first second: stops before any click
  ASSERT_TRUE(WaitIdle(10000));
  EXPECT_EQ(SendMessageA(Find("选择夹EX1"), TCM_GETCURSEL, 0, 0), 0);
}

TEST_F(HotkeysTest, SavingTheRecorderKeyFailsWithMessageAndStoresIt) {
  ASSERT_NO_FATAL_FAILURE(Launch());
  SendMessageA(Find("组合框EX3"), CB_SETCURSEL, 4, 0);  // F5
  PostMessageA(Find("按钮_下一步按钮15"), BM_CLICK, 0, 0);  // the box blocks its handler
  HWND box = WaitForMessageBox(10000);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(WindowText(box), "信息：");
  EXPECT_NE(FindDescendant(box, nullptr,
                           "坐标记录热键F5被占用，快捷键开关连点将无法使用，可以前往快捷键设置修改"),
            nullptr);
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(WaitUntil(10000, [&] {
    return program_.ReadFile("config.ini").value_or("").find("操作热键=116") != Text::npos;
  }));
}

TEST_F(HotkeysTest, SavedKeyIsRegisteredAtOnce) {
  ASSERT_NO_FATAL_FAILURE(Launch());
  SendMessageA(Find("组合框EX3"), CB_SETCURSEL, 8, 0);  // F9
  Click("按钮_下一步按钮15");
  EXPECT_EQ(program_.ReadFile("config.ini"), "[快捷键]\r\n操作热键=120\r\n");
  SetTextOf("编辑框_设置点击次数", "0");
  PressKey("F9");
  ASSERT_TRUE(WaitUntil(10000, [&] { return TextOf("按钮_开关连点") == "停止连点"; }));
  ASSERT_TRUE(WaitIdle(10000));
}

TEST_F(HotkeysTest, F5TakenByAnotherProgramAtStartIsReportedOnce) {
  ProgramUnderTest holder(WindowsPathOf(HOTKEY_HOLDER_EXE));
  ASSERT_TRUE(holder.Start("116"));
  HWND holderWindow = holder.WaitForWindow(10000, "HotkeyHolder");
  ASSERT_NE(holderWindow, nullptr);
  ASSERT_TRUE(WaitUntil(10000, [&] { return WindowText(holderWindow) == "热键占用:已注册"; }))
      << WindowText(holderWindow);

  ASSERT_TRUE(program_.Start());
  HWND box = WaitForMessageBox(20000);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(WindowText(box), "信息：");
  EXPECT_NE(FindDescendant(box, nullptr, "坐标记录热键F5被占用，坐标记录功能将无法使用"), nullptr);
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  frame_ = program_.WaitForWindow(10000, ui::kFrameClass);
  ASSERT_NE(frame_, nullptr);
  // The start/stop key (F2) was free: no second box, and it works.
  EXPECT_TRUE(WaitUntil(10000, [&] { return SendMessageA(Find("组合框EX3"), CB_GETCURSEL, 0, 0) == 1; }));
  EXPECT_EQ(WaitForMessageBox(500), nullptr);
  SetTextOf("编辑框_设置点击次数", "0");
  PressKey("F2");
  ASSERT_TRUE(WaitUntil(10000, [&] { return TextOf("按钮_开关连点") == "停止连点"; }));
  ASSERT_TRUE(WaitIdle(10000));
  Close();
}

TEST_F(HotkeysTest, TakenStartStopKeyAtStartShowsItsNumber) {
  ASSERT_TRUE(program_.WriteFile("config.ini", "[快捷键]\r\n操作热键=116\r\n"));
  ASSERT_TRUE(program_.Start());
  HWND box = WaitForMessageBox(20000);
  ASSERT_NE(box, nullptr);
  EXPECT_NE(FindDescendant(box, nullptr,
                           "坐标记录热键F5被占用，快捷键开关连点将无法使用，可以前往快捷键设置修改"),
            nullptr);
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  frame_ = program_.WaitForWindow(10000, ui::kFrameClass);
  ASSERT_NE(frame_, nullptr);
  EXPECT_TRUE(WaitUntil(10000, [&] { return SendMessageA(Find("组合框EX3"), CB_GETCURSEL, 0, 0) == 4; }));
  Close();
}

}  // namespace
