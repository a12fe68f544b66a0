// The real program under Wine, driven from outside by messages: its window,
// its controls, its small buttons and its settings file.
#include <commctrl.h>
#include <gtest/gtest.h>

#include "tests/case_name.h"
#include "tests/e2e/main_window_fixture.h"
#include "ui/widgets.h"

namespace {

// How the window form must come out, written down independently of the
// program's own layout table.
struct Expected {
  const char* formName;
  const char* className;
  const char* container;  // form name of the parent
  int page;               // page of the tab container the control shows on
  RECT rect;              // left, top, right, bottom in the parent's client area
  const char* text;
};

constexpr RECT R(int x, int y, int w, int h) { return RECT{x, y, x + w, y + h}; }

const Expected kForm[] = {
    {"选择夹EX1", ui::kTabsClass, "", -1, R(5, 31, 490, 300), ""},
    {"标签EX1", ui::kLabelClass, "选择夹EX1", 0, R(4, 44, 304, 26), "飞梭助手 1.0"},
    {"标签EX2", ui::kLabelClass, "选择夹EX1", 0, R(4, 73, 304, 19), "简洁的鼠标连点器"},
    {"图片分组框_连点设置", ui::kGroupClass, "选择夹EX1", 0, R(5, 103, 480, 146), ""},
    {"图片_已开启_图标3", ui::kPictureClass, "图片分组框_连点设置", 0, R(10, 18, 25, 22), ""},
    {"标签_概况_已开启_标题8", ui::kLabelClass, "图片分组框_连点设置", 0, R(36, 18, 108, 26), "连点设置"},
    {"标签_概况_已开启_标题3", ui::kLabelClass, "图片分组框_连点设置", 0, R(16, 64, 85, 18), "点击间隔(MS):"},
    {"编辑框_点击间隔", ui::kEditClass, "图片分组框_连点设置", 0, R(104, 56, 72, 32), "1000"},
    {"按钮_下一步按钮4", ui::kButtonClass, "图片分组框_连点设置", 0, R(181, 56, 86, 31), "每秒点"},
    {"标签_概况_已开启_标题1", ui::kLabelClass, "图片分组框_连点设置", 0, R(16, 98, 61, 18), "点击次数:"},
    {"编辑框_设置点击次数", ui::kEditClass, "图片分组框_连点设置", 0, R(104, 90, 72, 32), "100000"},
    {"按钮_下一步按钮14", ui::kButtonClass, "图片分组框_连点设置", 0, R(181, 90, 86, 32), "十万次"},
    {"标签_概况_已开启_标题2", ui::kLabelClass, "图片分组框_连点设置", 0, R(280, 63, 37, 18), "按键:"},
    {"单选框_SL", ui::kRadioClass, "图片分组框_连点设置", 0, R(317, 65, 56, 16), "左键"},
    {"单选框_SM", ui::kRadioClass, "图片分组框_连点设置", 0, R(371, 65, 56, 16), "左双"},
    {"单选框_SR", ui::kRadioClass, "图片分组框_连点设置", 0, R(424, 65, 56, 16), "右键"},
    {"标签_概况_已开启_标题9", ui::kLabelClass, "图片分组框_连点设置", 0, R(280, 97, 45, 18), "位置："},
    {"编辑框_X", ui::kEditClass, "图片分组框_连点设置", 0, R(319, 89, 46, 32), "-1"},
    {"编辑框_Y", ui::kEditClass, "图片分组框_连点设置", 0, R(368, 89, 46, 32), "-1"},
    {"按钮_下一步按钮3", ui::kButtonClass, "图片分组框_连点设置", 0, R(417, 89, 57, 31), "不设置"},
    {"按钮_开关连点", ui::kButtonClass, "选择夹EX1", 0, R(5, 256, 481, 41), "开始连点"},
    {"图片分组框_概况_已开启1", ui::kGroupClass, "选择夹EX1", 1, R(5, 46, 481, 58), ""},
    {"图片_已开启_图标1", ui::kPictureClass, "图片分组框_概况_已开启1", 1, R(10, 18, 25, 22), ""},
    {"标签_概况_已开启_标题5", ui::kLabelClass, "图片分组框_概况_已开启1", 1, R(36, 18, 108, 26), "鼠标点击测试"},
    {"标签_概况_已开启_标题4", ui::kLabelClass, "图片分组框_概况_已开启1", 1, R(158, 22, 61, 18), "点击次数:"},
    {"编辑框_点击次数", ui::kEditClass, "图片分组框_概况_已开启1", 1, R(222, 14, 72, 32), ""},
    {"按钮_下一步按钮2", ui::kButtonClass, "图片分组框_概况_已开启1", 1, R(301, 14, 70, 33), "清零"},
    {"按钮_下一步按钮1", ui::kButtonClass, "图片分组框_概况_已开启1", 1, R(376, 14, 94, 33), "左键单击"},
    {"图片分组框_概况_已开启2", ui::kGroupClass, "选择夹EX1", 1, R(5, 111, 481, 58), ""},
    {"图片_已开启_图标2", ui::kPictureClass, "图片分组框_概况_已开启2", 1, R(10, 18, 25, 22), ""},
    {"标签_鼠标坐标记录", ui::kLabelClass, "图片分组框_概况_已开启2", 1, R(36, 18, 108, 26), "F5记录坐标"},
    {"标签_概况_已开启_标题10", ui::kLabelClass, "图片分组框_概况_已开启2", 1, R(158, 22, 21, 18), "X:"},
    {"编辑框_监视X", ui::kEditClass, "图片分组框_概况_已开启2", 1, R(177, 14, 72, 32), ""},
    {"标签_概况_已开启_标题14", ui::kLabelClass, "图片分组框_概况_已开启2", 1, R(259, 22, 21, 18), "Y:"},
    {"编辑框_监视Y", ui::kEditClass, "图片分组框_概况_已开启2", 1, R(278, 14, 72, 32), ""},
    {"按钮_下一步按钮5", ui::kButtonClass, "图片分组框_概况_已开启2", 1, R(376, 14, 94, 33), "同步设置"},
    {"图片分组框_概况_已开启3", ui::kGroupClass, "选择夹EX1", 2, R(4, 45, 481, 113), ""},
    {"图片_已开启_图标4", ui::kPictureClass, "图片分组框_概况_已开启3", 2, R(10, 18, 25, 22), ""},
    {"标签_鼠标坐标记录1", ui::kLabelClass, "图片分组框_概况_已开启3", 2, R(36, 18, 108, 26), "快捷键设置"},
    {"标签_概况_已开启_标题21", ui::kLabelClass, "图片分组框_概况_已开启3", 2, R(38, 66, 125, 18), "连点 开始/结束:"},
    {"组合框EX3", ui::kComboClass, "图片分组框_概况_已开启3", 2, R(137, 59, 144, 32), "F2"},
    {"按钮_下一步按钮15", ui::kButtonClass, "图片分组框_概况_已开启3", 2, R(366, 59, 94, 33), "保存"},
    {"图片分组框_连点设置1", ui::kGroupClass, "选择夹EX1", 3, R(5, 44, 480, 146), ""},
    {"图片_已开启_图标5", ui::kPictureClass, "图片分组框_连点设置1", 3, R(10, 18, 25, 22), ""},
    {"标签_概况_已开启_标题25", ui::kLabelClass, "图片分组框_连点设置1", 3, R(36, 18, 108, 26), "关于我们"},
    {"标签EX3", ui::kLabelClass, "图片分组框_连点设置1", 3, R(8, 47, 304, 26), "飞梭助手 1.0"},
    {"标签EX4", ui::kLabelClass, "图片分组框_连点设置1", 3, R(8, 76, 304, 19), "简洁的鼠标连点器"},
    {"按钮_下一步按钮17", ui::kButtonClass, "图片分组框_连点设置1", 3, R(11, 106, 102, 32), "检测更新"},
    {"按钮_下一步按钮16", ui::kButtonClass, "图片分组框_连点设置1", 3, R(120, 106, 102, 32), "项目主页"},
};

TEST_F(MainWindowTest, FormMatchesTheLayoutAt96Dpi) {
  ASSERT_NO_FATAL_FAILURE(Launch());
  EXPECT_EQ(WindowText(frame_), "飞梭助手");
  RECT frameRect{};
  GetWindowRect(frame_, &frameRect);
  EXPECT_EQ(frameRect.left, 50);
  EXPECT_EQ(frameRect.top, 50);
  EXPECT_EQ(frameRect.right - frameRect.left, 500);
  EXPECT_EQ(frameRect.bottom - frameRect.top, 338);

  for (const Expected& e : kForm) {
    SCOPED_TRACE(e.formName);
    HWND control = Find(e.formName);
    if (!control) continue;
    EXPECT_EQ(WindowClass(control), e.className);
    HWND parent = GetParent(control);
    if (*e.container) {
      EXPECT_EQ(ui::FormNameOf(parent), e.container);
    } else {
      EXPECT_EQ(parent, frame_);
    }
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
    if (e.className == Text(ui::kComboClass)) {
      // A drop-down list's own height is set by its font; its place and width are fixed.
      EXPECT_EQ(rect.left, e.rect.left);
      EXPECT_EQ(rect.top, e.rect.top);
      EXPECT_EQ(rect.right, e.rect.right);
    } else {
      EXPECT_EQ(rect.left, e.rect.left);
      EXPECT_EQ(rect.top, e.rect.top);
      EXPECT_EQ(rect.right, e.rect.right);
      EXPECT_EQ(rect.bottom, e.rect.bottom);
    }
    EXPECT_EQ(WindowText(control), e.text);
  }
  EXPECT_TRUE(Checked("单选框_SL"));
  EXPECT_FALSE(Checked("单选框_SM"));
  EXPECT_FALSE(Checked("单选框_SR"));
  HWND combo = Find("组合框EX3");
  EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 12);
  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 1);
  // Wine hands CB_GETLBTEXT across processes in UTF-16 only.
  wchar_t item[16] = {};
  SendMessageW(combo, CB_GETLBTEXT, 11, reinterpret_cast<LPARAM>(item));
  EXPECT_EQ(std::wstring(item), L"F12");
}

TEST_F(MainWindowTest, PagesShowOnlyTheirOwnControls) {
  ASSERT_NO_FATAL_FAILURE(Launch());
  HWND tabs = Find("选择夹EX1");
  EXPECT_EQ(SendMessageA(tabs, TCM_GETCURSEL, 0, 0), 0);
  for (int page = 0; page < 4; ++page) {
    SendMessageA(tabs, TCM_SETCURSEL, page, 0);
    EXPECT_EQ(SendMessageA(tabs, TCM_GETCURSEL, 0, 0), page);
    for (const Expected& e : kForm) {
      if (e.page < 0) continue;
      EXPECT_EQ(IsWindowVisible(Find(e.formName)) != FALSE, e.page == page)
          << e.formName << " on page " << page;
    }
  }
}

TEST_F(MainWindowTest, SmallButtonsSetTheirFields) {
  ASSERT_NO_FATAL_FAILURE(Launch());
  SetTextOf("编辑框_点击间隔", "5");
  Click("按钮_下一步按钮4");
  EXPECT_EQ(TextOf("编辑框_点击间隔"), "1000");

  SetTextOf("编辑框_设置点击次数", "");
  Click("按钮_下一步按钮14");
  EXPECT_EQ(TextOf("编辑框_设置点击次数"), "100000");

  SetTextOf("编辑框_X", "10");
  SetTextOf("编辑框_Y", "20");
  Click("按钮_下一步按钮3");
  EXPECT_EQ(TextOf("编辑框_X"), "-1");
  EXPECT_EQ(TextOf("编辑框_Y"), "-1");

  SetTextOf("编辑框_监视X", "300");
  SetTextOf("编辑框_监视Y", "－5");
  Click("按钮_下一步按钮5");
  EXPECT_EQ(TextOf("编辑框_X"), "300");
  EXPECT_EQ(TextOf("编辑框_Y"), "－5");
  SetTextOf("编辑框_监视X", "");
  SetTextOf("编辑框_监视Y", "");
  Click("按钮_下一步按钮5");
  EXPECT_EQ(TextOf("编辑框_X"), "");
  EXPECT_EQ(TextOf("编辑框_Y"), "");

  // None of them writes the settings file.
  EXPECT_FALSE(program_.FileExists("config.ini"));
}

TEST_F(MainWindowTest, TestCounterCountsAndWraps) {
  ASSERT_NO_FATAL_FAILURE(Launch());
  struct Step {
    Text before;
    Text after;
  };
  const Step steps[] = {{"", "1"}, {"abc", "1"}, {"41", "42"}, {"４１", "42"},
                        {"2147483647", "2147483648"}, {"2147483648", "-2147483647"}};
  for (const Step& step : steps) {
    SetTextOf("编辑框_点击次数", step.before);
    Click("按钮_下一步按钮1");
    EXPECT_EQ(TextOf("编辑框_点击次数"), step.after) << "from '" << step.before << "'";
  }
  Click("按钮_下一步按钮2");
  EXPECT_EQ(TextOf("编辑框_点击次数"), "0");
}

TEST_F(MainWindowTest, StartAndCloseCreatesNoSettingsFileAndExitsWithZero) {
  ASSERT_NO_FATAL_FAILURE(Launch());
  EXPECT_EQ(TextOf("编辑框_点击间隔"), "1000");
  EXPECT_EQ(TextOf("编辑框_设置点击次数"), "100000");
  EXPECT_EQ(TextOf("编辑框_X"), "-1");
  EXPECT_EQ(TextOf("编辑框_Y"), "-1");
  Close();
  EXPECT_FALSE(program_.FileExists("config.ini"));
}

// A config.ini as users leave it, and what the window must show.
struct ConfigCase {
  const char* name;
  Text contents;
  Text interval;
  Text count;
  Text x;
  Text y;
  const char* checkedRadio;
  int hotkeySelection;
};

class StoredSettingsTest : public MainWindowTest, public testing::WithParamInterface<ConfigCase> {};

TEST_P(StoredSettingsTest, LoadsAndLeavesTheFileAlone) {
  const ConfigCase& c = GetParam();
  ASSERT_NO_FATAL_FAILURE(Launch(c.contents));
  ASSERT_TRUE(WaitUntil(10000, [&] { return TextOf("编辑框_Y") == c.y; })) << TextOf("编辑框_Y");
  EXPECT_EQ(TextOf("编辑框_点击间隔"), c.interval);
  EXPECT_EQ(TextOf("编辑框_设置点击次数"), c.count);
  EXPECT_EQ(TextOf("编辑框_X"), c.x);
  for (const char* radio : {"单选框_SL", "单选框_SM", "单选框_SR"}) {
    EXPECT_EQ(Checked(radio), Text(radio) == c.checkedRadio) << radio;
  }
  EXPECT_EQ(SendMessageA(Find("组合框EX3"), CB_GETCURSEL, 0, 0), c.hotkeySelection);
  Close();
  EXPECT_EQ(program_.ReadFile("config.ini"), c.contents);
}

const Text kLong(20000, '9');

INSTANTIATE_TEST_SUITE_P(
    Configs, StoredSettingsTest,
    testing::Values(
        ConfigCase{"all_values",
                   "[设置]\r\n点击间隔=50\r\n点击次数=5\r\n按键=2\r\nX坐标=640\r\nY坐标=480\r\n"
                   "[快捷键]\r\n操作热键=119\r\n", "50", "5", "640", "480", "单选框_SR", 7},
        ConfigCase{"double_click", "[设置]\r\n按键=1\r\n", "1000", "100000", "-1", "-1", "单选框_SM", 1},
        ConfigCase{"empty_value_full_width_and_odd_button",
                   "[设置]\r\n点击间隔=\r\n点击次数=１２３\r\n按键=7\r\nX坐标=abc\r\nY坐标= 7 \r\n", "", "１２３",
                   "abc", "7", "单选框_SL", 1},
        ConfigCase{"unknown_keys_and_sections",
                   "[其他]\r\n点击间隔=1\r\n[设置]\r\n颜色=红\r\nY坐标=9\r\n", "1000", "100000", "-1", "9",
                   "单选框_SL", 1},
        ConfigCase{"empty_file", "", "1000", "100000", "-1", "-1", "单选框_SL", 1},
        ConfigCase{"binary_file", Text("\xff\xfe\x00\x13\x80garbage\x00\x01\x02", 15), "1000", "100000",
                   "-1", "-1", "单选框_SL", 1},
        ConfigCase{"value_of_20000_bytes", "[设置]\r\nX坐标=" + kLong + "\r\nY坐标=1\r\n", "1000",
                   "100000", Text(10239, '9'), "1", "单选框_SL", 1},
        ConfigCase{"hotkey_not_a_number", "[快捷键]\r\n操作热键=F3\r\n", "1000", "100000", "-1", "-1",
                   "单选框_SL", -1}),
    CaseName());

// While another program holds config.ini open without sharing, the writes of a
// start press are lost without a word; the run uses the controls, and the next
// press writes again.
TEST_F(MainWindowTest, WritesToALockedSettingsFileAreLostSilently) {
  const Text config = "[设置]\r\n点击次数=0\r\n";
  ASSERT_NO_FATAL_FAILURE(Launch(config));
  SetTextOf("编辑框_点击间隔", "77");
  {
    UniqueFile lock(CreateFileA(program_.PathOf("config.ini").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(lock.valid());
    Click("按钮_开关连点");
    EXPECT_EQ(TextOf("按钮_开关连点"), "停止连点");
    ASSERT_TRUE(WaitIdle(10000));  // a count of 0 clicks nothing
    EXPECT_EQ(WaitForMessageBox(300), nullptr);
  }
  EXPECT_EQ(program_.ReadFile("config.ini"), config);

  Click("按钮_开关连点");
  ASSERT_TRUE(WaitIdle(10000));
  EXPECT_EQ(program_.ReadFile("config.ini"),
            "[设置]\r\n点击次数=0\r\n点击间隔=77\r\n按键=0\r\nX坐标=-1\r\nY坐标=-1\r\n");
  Close();
}

}  // namespace
