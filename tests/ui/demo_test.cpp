// The widget layer driven from another process, by messages only, as a test
// harness or a user's tool drives the program: a demo window in its own
// process, its controls found by their form names.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "tests/e2e/program_under_test.h"
#include "ui/widgets.h"

namespace {

const Text kDemo = WindowsPathOf(UI_DEMO_EXE);

Text TextOf(HWND window) {
  char buffer[256] = {};
  const LRESULT length = SendMessageA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
  return Text(buffer, static_cast<size_t>(length > 0 ? length : 0));
}

class DemoProgramTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(program_.Start());
    window_ = program_.WaitForWindow(15000, ui::kFrameClass);
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override {
    if (window_ && IsWindow(window_)) {
      PostMessageA(window_, WM_CLOSE, 0, 0);
      EXPECT_EQ(program_.WaitForExit(10000), 0u);
    }
  }
  HWND Control(const char* formName) {
    HWND control = ui::FindByFormName(window_, formName);
    EXPECT_NE(control, nullptr) << formName;
    return control;
  }

  ProgramUnderTest program_{kDemo, "界面演示.exe"};
  HWND window_ = nullptr;
};

TEST_F(DemoProgramTest, TextsAndClicks) {
  EXPECT_EQ(TextOf(window_), "飞梭助手");
  EXPECT_EQ(ui::FindByFormName(window_, "窗口EX1"), window_);
  HWND version = Control("标签EX1");
  EXPECT_EQ(TextOf(version), "飞梭助手 1.0");
  EXPECT_EQ(WindowClass(version), ui::kLabelClass);

  HWND counter = Control("标签_计数");
  HWND click = Control("按钮_下一步按钮1");
  EXPECT_EQ(TextOf(counter), "已点击 0 次");
  SendMessageA(click, BM_CLICK, 0, 0);
  SendMessageA(click, BM_CLICK, 0, 0);
  EXPECT_EQ(TextOf(counter), "已点击 2 次");

  HWND interval = Control("编辑框_点击间隔");
  EXPECT_EQ(TextOf(interval), "500");
  SendMessageA(Control("按钮_下一步按钮4"), BM_CLICK, 0, 0);
  EXPECT_EQ(TextOf(interval), "1000");
  SendMessageA(interval, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("连点 123"));
  EXPECT_EQ(SendMessageA(interval, WM_GETTEXTLENGTH, 0, 0), 8);
  EXPECT_EQ(TextOf(interval), "连点 123");

  SendMessageA(counter, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("外部写入"));
  EXPECT_EQ(TextOf(counter), "外部写入");
}

TEST_F(DemoProgramTest, SelectionsOfRadiosComboAndTabs) {
  HWND left = Control("单选框_SL");
  HWND right = Control("单选框_SR");
  EXPECT_EQ(SendMessageA(left, BM_GETCHECK, 0, 0), BST_CHECKED);
  SendMessageA(right, BM_CLICK, 0, 0);
  EXPECT_EQ(SendMessageA(right, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageA(left, BM_GETCHECK, 0, 0), BST_UNCHECKED);

  HWND combo = Control("组合框EX3");
  EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 12);
  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(SendMessageA(combo, CB_SETCURSEL, 9, 0), 9);
  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 9);
  // The wide form: Wine 8 hands the ANSI form's answer back unconverted
  // between processes, whatever the combo box.
  wchar_t item[16] = {};
  EXPECT_EQ(SendMessageW(combo, CB_GETLBTEXT, 9, reinterpret_cast<LPARAM>(item)), 3);
  EXPECT_STREQ(item, L"F10");
  EXPECT_EQ(TextOf(combo), "F10");

  HWND tabs = Control("选择夹EX1");
  HWND settings = Control("图片分组框_连点设置");
  HWND tools = Control("图片分组框_概况_已开启1");
  EXPECT_EQ(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0), 4);
  EXPECT_TRUE(IsWindowVisible(settings));
  EXPECT_FALSE(IsWindowVisible(tools));
  EXPECT_EQ(SendMessageA(tabs, TCM_SETCURSEL, 1, 0), 0);
  EXPECT_EQ(SendMessageA(tabs, TCM_GETCURSEL, 0, 0), 1);
  EXPECT_FALSE(IsWindowVisible(settings));
  EXPECT_TRUE(IsWindowVisible(tools));
  EXPECT_TRUE(IsWindowVisible(Control("按钮_下一步按钮1")));
  EXPECT_FALSE(IsWindowVisible(Control("按钮_开关连点")));
}

TEST_F(DemoProgramTest, GroupDisabledFromOutsideAndByTheProgram) {
  HWND settings = Control("图片分组框_连点设置");
  HWND interval = Control("编辑框_点击间隔");
  HWND radio = Control("单选框_SM");
  SendMessageA(settings, WM_ENABLE, FALSE, 0);
  EXPECT_FALSE(IsWindowEnabled(settings));
  EXPECT_FALSE(IsWindowEnabled(interval));
  EXPECT_FALSE(IsWindowEnabled(radio));
  SendMessageA(settings, WM_ENABLE, TRUE, 0);
  EXPECT_TRUE(IsWindowEnabled(interval));
  EXPECT_TRUE(IsWindowEnabled(radio));

  // The program's own start/stop: page 1, settings disabled, new caption.
  HWND toggle = Control("按钮_开关连点");
  HWND tabs = Control("选择夹EX1");
  SendMessageA(toggle, BM_CLICK, 0, 0);
  EXPECT_EQ(TextOf(toggle), "停止连点");
  EXPECT_EQ(SendMessageA(tabs, TCM_GETCURSEL, 0, 0), 1);
  EXPECT_FALSE(IsWindowEnabled(interval));
  // The tab headers stay usable: back to page 0 to press stop.
  EXPECT_EQ(SendMessageA(tabs, TCM_SETCURSEL, 0, 0), 1);
  EXPECT_TRUE(IsWindowVisible(toggle));
  SendMessageA(toggle, BM_CLICK, 0, 0);
  EXPECT_EQ(TextOf(toggle), "开始连点");
  EXPECT_TRUE(IsWindowEnabled(interval));
}

}  // namespace
