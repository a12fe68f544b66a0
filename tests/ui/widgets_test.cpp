// The widget layer in this process: each control driven by its standard
// messages, inside a real frame window on the test display.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "ui/widgets.h"

#include <ostream>

// Rectangles compare and print by their edges.
inline bool operator==(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline void PrintTo(const RECT& r, std::ostream* out) {
  *out << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

namespace {

class RecordingFrame final : public ui::FrameWindow {
 public:
  struct Command {
    int id;
    int code;
    HWND control;
  };
  std::vector<Command> commands;
  std::vector<UINT> notifications;
  bool destroyed = false;

  [[nodiscard]] int CountOf(int id, int code) const {
    int count = 0;
    for (const Command& command : commands) count += command.id == id && command.code == code;
    return count;
  }

 protected:
  void OnCommand(int controlId, int notifyCode, HWND control) noexcept override {
    commands.push_back({controlId, notifyCode, control});
  }
  void OnDestroy() noexcept override { destroyed = true; }
  bool OnMessage(UINT message, WPARAM, LPARAM lParam, LRESULT& result) noexcept override {
    if (message != WM_NOTIFY) return false;
    notifications.push_back(reinterpret_cast<const NMHDR*>(lParam)->code);
    result = 0;
    return true;
  }
};

void Pump() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

// The rectangle of a control in the client coordinates of its parent.
RECT RectInParent(HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

RECT Expected(ui::Rect96 rect) { return RECT{rect.x, rect.y, rect.x + rect.width, rect.y + rect.height}; }

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

LPARAM ClientPoint(int x, int y) { return MAKELPARAM(x, y); }

void ClickAt(HWND window, int x, int y) {
  SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(x, y));
  SendMessageA(window, WM_LBUTTONUP, 0, ClientPoint(x, y));
}

class WidgetsTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(ui::Initialize(GetModuleHandleA(nullptr))); }

  void SetUp() override {
    ASSERT_TRUE(frame_.Create("测试窗口", {40, 40, 500, 338}));
    ShowWindow(frame_.hwnd(), SW_SHOWNOACTIVATE);
    UpdateWindow(frame_.hwnd());
  }
  void TearDown() override {
    if (frame_.hwnd()) DestroyWindow(frame_.hwnd());
  }

  HWND frame() const { return frame_.hwnd(); }
  HWND Tabs(std::initializer_list<const char*> pages = {"基本连点", "辅助工具", "快捷键"}) {
    return ui::CreateTabs(frame(), "选择夹EX1", 100, {5, 31, 490, 300}, pages);
  }

  RecordingFrame frame_;
};

// Each kind of control keeps its class name and texts, Chinese included.
struct TextCase {
  const char* name;
  const char* className;
  std::function<HWND(HWND parent)> create;
};

const TextCase kTextCases[] = {
    {"Label", ui::kLabelClass,
     [](HWND p) { return ui::CreateLabel(p, "标签", 1, {4, 44, 304, 26}, "标签"); }},
    {"Button", ui::kButtonClass,
     [](HWND p) { return ui::CreateButton(p, "按钮", 1, {5, 256, 481, 41}, "开始连点"); }},
    {"Radio", ui::kRadioClass,
     [](HWND p) { return ui::CreateRadio(p, "单选框", 1, {317, 65, 56, 16}, "左键", true); }},
    {"Edit", ui::kEditClass, [](HWND p) { return ui::CreateEdit(p, "编辑框", 1, {104, 56, 72, 32}, "1000"); }},
    {"Group", ui::kGroupClass, [](HWND p) { return ui::CreateGroup(p, "分组", 1, {5, 103, 480, 146}); }},
    {"Picture", ui::kPictureClass,
     [](HWND p) { return ui::CreatePicture(p, "图片", 1, {10, 18, 25, 22}, ui::Icon::Info); }},
    {"Tabs", ui::kTabsClass, [](HWND p) { return ui::CreateTabs(p, "选择夹", 1, {5, 31, 490, 300}, {"一"}); }},
};

// One process for the whole table: every Wine start costs seconds.
TEST_F(WidgetsTest, EveryKindKeepsItsClassNameAndTexts) {
  for (const TextCase& kind : kTextCases) {
    SCOPED_TRACE(kind.name);
    HWND control = kind.create(frame());
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(ClassOf(control), kind.className);
    for (const Text& text : {Text("点击间隔(MS): 1000"), Text(""), Text("F5记录坐标 abc")}) {
      ui::SetText(control, text);
      EXPECT_EQ(ui::GetText(control), text);
      EXPECT_EQ(SendMessageA(control, WM_GETTEXTLENGTH, 0, 0), static_cast<LRESULT>(text.size()));
    }
    // Plain WM_SETTEXT, as another process sends it.
    const char* sent = "飞梭助手 1.0";
    SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(sent));
    char buffer[64] = {};
    EXPECT_EQ(SendMessageA(control, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer)),
              static_cast<LRESULT>(strlen(sent)));
    EXPECT_STREQ(buffer, sent);
  }
}

TEST_F(WidgetsTest, InitialTextsAreTheCreationTexts) {
  EXPECT_EQ(ui::GetText(ui::CreateLabel(frame(), "", 1, {0, 40, 100, 20}, "简洁的鼠标连点器")), "简洁的鼠标连点器");
  EXPECT_EQ(ui::GetText(ui::CreateEdit(frame(), "", 2, {0, 60, 100, 32}, "-1")), "-1");
  EXPECT_EQ(ui::GetText(ui::CreateButton(frame(), "", 3, {0, 100, 100, 32}, "不设置")), "不设置");
  EXPECT_EQ(ui::GetText(frame()), "测试窗口");
}

TEST_F(WidgetsTest, LabelRepaintsWhenItsTextChanges) {
  HWND label = ui::CreateLabel(frame(), "", 1, {4, 44, 304, 26}, "飞梭助手 1.0");
  UpdateWindow(frame());
  ASSERT_FALSE(GetUpdateRect(label, nullptr, FALSE));
  SendMessageA(label, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("飞梭助手 2.0"));
  EXPECT_TRUE(GetUpdateRect(label, nullptr, FALSE));
}

TEST_F(WidgetsTest, ClicksReachTheFrameThroughGroupInsideTabs) {
  HWND tabs = Tabs();
  HWND group = ui::CreateGroup(tabs, "分组", 10, {5, 103, 480, 146});
  HWND button = ui::CreateButton(group, "按钮", 42, {181, 56, 86, 31}, "每秒点");
  ASSERT_NE(button, nullptr);
  ui::AssignToPage(tabs, 0, group);

  SendMessageA(button, BM_CLICK, 0, 0);
  ASSERT_EQ(frame_.commands.size(), 1u);
  EXPECT_EQ(frame_.commands[0].id, 42);
  EXPECT_EQ(frame_.commands[0].code, BN_CLICKED);
  EXPECT_EQ(frame_.commands[0].control, button);

  ClickAt(button, 10, 10);
  EXPECT_EQ(frame_.CountOf(42, BN_CLICKED), 2);
  // Released outside the button: no click.
  SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(10, 10));
  SendMessageA(button, WM_LBUTTONUP, 0, ClientPoint(-20, 10));
  EXPECT_EQ(frame_.CountOf(42, BN_CLICKED), 2);

  HWND edit = ui::CreateEdit(group, "编辑框", 43, {104, 56, 72, 32}, "");
  ui::SetText(edit, "1000");
  EXPECT_EQ(frame_.CountOf(43, EN_CHANGE), 1);
}

TEST_F(WidgetsTest, DisabledButtonIgnoresClicks) {
  HWND button = ui::CreateButton(frame(), "", 7, {10, 40, 80, 30}, "保存");
  EnableWindow(button, FALSE);
  SendMessageA(button, BM_CLICK, 0, 0);
  EXPECT_EQ(frame_.CountOf(7, BN_CLICKED), 0);
  EnableWindow(button, TRUE);
  SendMessageA(button, BM_CLICK, 0, 0);
  EXPECT_EQ(frame_.CountOf(7, BN_CLICKED), 1);
}

TEST_F(WidgetsTest, TypedCharactersReachTheEditBox) {
  HWND edit = ui::CreateEdit(frame(), "", 1, {10, 40, 120, 32}, "");
  SetFocus(edit);
  for (char c : Text("12")) SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
  EXPECT_EQ(ui::GetText(edit), "12");
  SendMessageA(edit, WM_CHAR, VK_BACK, 1);
  EXPECT_EQ(ui::GetText(edit), "1");
}

class RadioTest : public WidgetsTest {
 protected:
  void SetUp() override {
    WidgetsTest::SetUp();
    group_ = ui::CreateGroup(frame(), "", 10, {5, 40, 480, 100});
    left_ = ui::CreateRadio(group_, "单选框_SL", 11, {317, 65, 56, 16}, "左键", true);
    double_ = ui::CreateRadio(group_, "单选框_SM", 12, {371, 65, 56, 16}, "左双", false);
    right_ = ui::CreateRadio(group_, "单选框_SR", 13, {424, 65, 56, 16}, "右键", false);
    other_ = ui::CreateRadio(frame(), "", 14, {10, 200, 56, 16}, "其他", true);
  }
  std::vector<LRESULT> Checks() const {
    std::vector<LRESULT> checks;
    for (HWND radio : {left_, double_, right_, other_}) checks.push_back(SendMessageA(radio, BM_GETCHECK, 0, 0));
    return checks;
  }
  HWND group_ = nullptr, left_ = nullptr, double_ = nullptr, right_ = nullptr, other_ = nullptr;
};

using CheckStates = std::vector<LRESULT>;

TEST_F(RadioTest, OneCheckedPerParent) {
  EXPECT_EQ(Checks(), (CheckStates{BST_CHECKED, BST_UNCHECKED, BST_UNCHECKED, BST_CHECKED}));

  SendMessageA(double_, BM_CLICK, 0, 0);
  EXPECT_EQ(Checks(), (CheckStates{BST_UNCHECKED, BST_CHECKED, BST_UNCHECKED, BST_CHECKED}));
  EXPECT_EQ(frame_.CountOf(12, BN_CLICKED), 1);

  ui::SelectRadio(right_);
  EXPECT_EQ(Checks(), (CheckStates{BST_UNCHECKED, BST_UNCHECKED, BST_CHECKED, BST_CHECKED}));

  ClickAt(left_, 5, 5);
  EXPECT_EQ(Checks(), (CheckStates{BST_CHECKED, BST_UNCHECKED, BST_UNCHECKED, BST_CHECKED}));
  EXPECT_EQ(frame_.CountOf(11, BN_CLICKED), 1);

  SendMessageA(right_, BM_SETCHECK, BST_CHECKED, 0);
  EXPECT_EQ(Checks(), (CheckStates{BST_UNCHECKED, BST_UNCHECKED, BST_CHECKED, BST_CHECKED}));
  SendMessageA(right_, BM_SETCHECK, BST_UNCHECKED, 0);
  EXPECT_EQ(Checks(), (CheckStates{BST_UNCHECKED, BST_UNCHECKED, BST_UNCHECKED, BST_CHECKED}));
}

TEST_F(WidgetsTest, ComboSelectionAndItems) {
  HWND combo = ui::CreateCombo(frame(), "组合框EX3", 20, {137, 59, 144, 32},
                               {"F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10", "F11", "F12"}, -1);
  ASSERT_NE(combo, nullptr);
  EXPECT_EQ(ClassOf(combo), ui::kComboClass);
  EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 12);
  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), CB_ERR);
  EXPECT_EQ(ui::GetText(combo), "");

  EXPECT_EQ(SendMessageA(combo, CB_SETCURSEL, 4, 0), 4);
  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 4);
  EXPECT_EQ(ui::GetText(combo), "F5");
  char item[16] = {};
  EXPECT_EQ(SendMessageA(combo, CB_GETLBTEXT, 11, reinterpret_cast<LPARAM>(item)), 3);
  EXPECT_STREQ(item, "F12");

  // The keyboard moves the selection and tells the frame.
  SetFocus(combo);
  SendMessageA(combo, WM_KEYDOWN, VK_DOWN, 1);
  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 5);
  EXPECT_EQ(frame_.CountOf(20, CBN_SELCHANGE), 1);

  // The list drops down and closes again.
  SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
  EXPECT_TRUE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetComboBoxInfo(combo, &info));
  EXPECT_TRUE(IsWindowVisible(info.hwndList));
  SendMessageA(combo, CB_SHOWDROPDOWN, FALSE, 0);
  EXPECT_FALSE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));

  HWND chinese = ui::CreateCombo(frame(), "", 21, {137, 120, 144, 32}, {"左键", "左双", "右键"}, 2);
  EXPECT_EQ(SendMessageA(chinese, CB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(ui::GetText(chinese), "右键");
}

TEST_F(WidgetsTest, PagesShowOnlyTheirControls) {
  HWND tabs = Tabs();
  EXPECT_EQ(ClassOf(tabs), ui::kTabsClass);
  HWND label = ui::CreateLabel(tabs, "", 1, {4, 44, 304, 26}, "第一页");
  HWND button = ui::CreateButton(tabs, "", 2, {5, 256, 481, 41}, "第二页");
  HWND group = ui::CreateGroup(tabs, "", 3, {5, 46, 481, 58});
  HWND inGroup = ui::CreateEdit(group, "", 4, {10, 10, 50, 32}, "");
  HWND third = ui::CreateLabel(tabs, "", 5, {4, 44, 304, 26}, "第三页");
  ui::AssignToPage(tabs, 0, label);
  ui::AssignToPage(tabs, 1, button);
  ui::AssignToPage(tabs, 1, group);
  ui::AssignToPage(tabs, 2, third);
  const auto visible = [&] {
    return std::vector<bool>{IsWindowVisible(label) != FALSE, IsWindowVisible(button) != FALSE,
                             IsWindowVisible(inGroup) != FALSE, IsWindowVisible(third) != FALSE};
  };
  EXPECT_EQ(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(SendMessageA(tabs, TCM_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(visible(), (std::vector<bool>{true, false, false, false}));

  EXPECT_EQ(SendMessageA(tabs, TCM_SETCURSEL, 1, 0), 0);
  EXPECT_EQ(SendMessageA(tabs, TCM_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(visible(), (std::vector<bool>{false, true, true, false}));

  EXPECT_EQ(SendMessageA(tabs, TCM_SETCURSEL, 3, 0), -1);
  EXPECT_EQ(SendMessageA(tabs, TCM_SETCURSEL, static_cast<WPARAM>(-1), 0), -1);
  EXPECT_EQ(SendMessageA(tabs, TCM_GETCURSEL, 0, 0), 1);

  // A click on a header selects its page and tells the frame.
  RECT header = ui::TabHeaderRect(tabs, 3);
  EXPECT_TRUE(IsRectEmpty(&header)) << "no such page";
  header = ui::TabHeaderRect(tabs, 2);
  ASSERT_FALSE(IsRectEmpty(&header));
  ClickAt(tabs, (header.left + header.right) / 2, (header.top + header.bottom) / 2);
  EXPECT_EQ(SendMessageA(tabs, TCM_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(visible(), (std::vector<bool>{false, false, false, true}));
  EXPECT_EQ(frame_.notifications, (std::vector<UINT>{TCN_SELCHANGE}));

  // Headers stay usable while page controls are disabled.
  EnableWindow(group, FALSE);
  header = ui::TabHeaderRect(tabs, 0);
  ASSERT_FALSE(IsRectEmpty(&header));
  ClickAt(tabs, (header.left + header.right) / 2, (header.top + header.bottom) / 2);
  EXPECT_EQ(SendMessageA(tabs, TCM_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(visible(), (std::vector<bool>{true, false, false, false}));
}

class GroupEnableTest : public WidgetsTest {
 protected:
  void SetUp() override {
    WidgetsTest::SetUp();
    HWND tabs = Tabs();
    group_ = ui::CreateGroup(tabs, "图片分组框_连点设置", 10, {5, 103, 480, 146});
    ui::AssignToPage(tabs, 0, group_);
    children_ = {
        ui::CreatePicture(group_, "", 11, {10, 18, 25, 22}, ui::Icon::Settings),
        ui::CreateLabel(group_, "", 12, {36, 18, 108, 26}, "连点设置"),
        ui::CreateEdit(group_, "", 13, {104, 56, 72, 32}, "1000"),
        ui::CreateButton(group_, "", 14, {181, 56, 86, 31}, "每秒点"),
        ui::CreateRadio(group_, "", 15, {317, 65, 56, 16}, "左键", true),
        ui::CreateCombo(group_, "", 16, {137, 59, 144, 32}, {"F1", "F2"}, 0),
    };
    inner_ = ui::CreateGroup(group_, "", 17, {200, 100, 200, 40});
    children_.push_back(inner_);
    children_.push_back(ui::CreateButton(inner_, "", 18, {5, 5, 60, 30}, "内层"));
  }
  std::vector<bool> Enabled() const {
    std::vector<bool> enabled;
    for (HWND child : children_) enabled.push_back(IsWindowEnabled(child) != FALSE);
    return enabled;
  }
  HWND group_ = nullptr;
  HWND inner_ = nullptr;
  std::vector<HWND> children_;
};

TEST_F(GroupEnableTest, DisablingTheGroupDisablesEveryChild) {
  const std::vector<bool> all(children_.size(), true), none(children_.size(), false);
  EXPECT_EQ(Enabled(), all);
  EnableWindow(group_, FALSE);
  EXPECT_FALSE(IsWindowEnabled(group_));
  EXPECT_EQ(Enabled(), none);
  SendMessageA(children_[3], BM_CLICK, 0, 0);
  EXPECT_EQ(frame_.CountOf(14, BN_CLICKED), 0);
  EnableWindow(group_, TRUE);
  EXPECT_EQ(Enabled(), all);
  SendMessageA(children_[3], BM_CLICK, 0, 0);
  EXPECT_EQ(frame_.CountOf(14, BN_CLICKED), 1);
}

TEST_F(GroupEnableTest, WmEnableSentFromOutsideActsLikeEnableWindow) {
  SendMessageA(group_, WM_ENABLE, FALSE, 0);
  EXPECT_FALSE(IsWindowEnabled(group_));
  EXPECT_EQ(Enabled(), std::vector<bool>(children_.size(), false));
  SendMessageA(group_, WM_ENABLE, TRUE, 0);
  EXPECT_TRUE(IsWindowEnabled(group_));
  EXPECT_EQ(Enabled(), std::vector<bool>(children_.size(), true));
  // Any single control follows a WM_ENABLE too.
  SendMessageA(children_[2], WM_ENABLE, FALSE, 0);
  EXPECT_FALSE(IsWindowEnabled(children_[2]));
}

// Rectangles are relative to the client area of the container, exact at 96 DPI.
struct PlaceCase {
  const char* name;
  ui::Rect96 rect;
  std::function<HWND(HWND parent, ui::Rect96 rect)> create;
};

const PlaceCase kPlaceCases[] = {
    {"Label", {36, 18, 108, 26}, [](HWND p, ui::Rect96 r) { return ui::CreateLabel(p, "", 1, r, "连点设置"); }},
    {"Picture", {10, 18, 25, 22}, [](HWND p, ui::Rect96 r) { return ui::CreatePicture(p, "", 1, r, ui::Icon::Pointer); }},
    {"Button", {417, 89, 57, 31}, [](HWND p, ui::Rect96 r) { return ui::CreateButton(p, "", 1, r, "不设置"); }},
    {"Radio", {371, 65, 56, 16}, [](HWND p, ui::Rect96 r) { return ui::CreateRadio(p, "", 1, r, "左双", false); }},
    {"Edit", {319, 89, 46, 32}, [](HWND p, ui::Rect96 r) { return ui::CreateEdit(p, "", 1, r, ""); }},
    {"Combo", {137, 59, 144, 32},
     [](HWND p, ui::Rect96 r) { return ui::CreateCombo(p, "", 1, r, {"F1", "F2", "F3"}, 1); }},
    {"Group", {5, 46, 481, 58}, [](HWND p, ui::Rect96 r) { return ui::CreateGroup(p, "", 1, r); }},
};

TEST_F(WidgetsTest, EveryKindIsPlacedExactlyAt96DpiInEveryContainer) {
  HWND tabs = Tabs();
  HWND group = ui::CreateGroup(tabs, "", 2, {5, 103, 480, 146});
  EXPECT_EQ(RectInParent(tabs), Expected({5, 31, 490, 300}));
  EXPECT_EQ(RectInParent(group), Expected({5, 103, 480, 146}));
  for (const PlaceCase& kind : kPlaceCases) {
    SCOPED_TRACE(kind.name);
    for (HWND container : {frame(), tabs, group}) {
      HWND control = kind.create(container, kind.rect);
      ASSERT_NE(control, nullptr);
      EXPECT_EQ(RectInParent(control), Expected(kind.rect)) << ClassOf(container);
    }
  }
}

TEST_F(WidgetsTest, DpiChangeLaysOutAgainFromThe96DpiRectangles) {
  HWND tabs = Tabs();
  HWND group = ui::CreateGroup(tabs, "", 2, {5, 103, 480, 146});
  HWND picture = ui::CreatePicture(group, "", 3, {10, 18, 25, 22}, ui::Icon::Settings);
  HWND combo = ui::CreateCombo(group, "", 4, {137, 59, 144, 32}, {"F1", "F2"}, 0);
  RECT suggested{60, 60, 60 + 750, 60 + 507};
  SendMessageA(frame(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  RECT window{};
  GetWindowRect(frame(), &window);
  EXPECT_EQ(window, suggested);
  EXPECT_EQ(RectInParent(tabs), (RECT{8, 47, 743, 497}));
  EXPECT_EQ(RectInParent(picture), (RECT{15, 27, 53, 60}));
  EXPECT_EQ(RectInParent(combo), (RECT{206, 89, 422, 137}));

  suggested = RECT{40, 40, 540, 378};
  SendMessageA(frame(), WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(RectInParent(group), Expected({5, 103, 480, 146}));
  EXPECT_EQ(RectInParent(picture), Expected({10, 18, 25, 22}));
  EXPECT_EQ(RectInParent(combo), Expected({137, 59, 144, 32}));
}

TEST_F(WidgetsTest, FormNamesAreFoundInTheWholeTree) {
  HWND tabs = Tabs();
  HWND group = ui::CreateGroup(tabs, "图片分组框_连点设置", 2, {5, 103, 480, 146});
  HWND edit = ui::CreateEdit(group, "编辑框_点击间隔", 3, {104, 56, 72, 32}, "1000");
  HWND unnamed = ui::CreateLabel(group, "", 4, {16, 64, 85, 18}, "点击间隔(MS):");
  ui::SetFormName(frame(), "窗口EX1");

  EXPECT_EQ(ui::FormNameOf(edit), "编辑框_点击间隔");
  EXPECT_EQ(ui::FormNameOf(unnamed), "");
  EXPECT_EQ(ui::FindByFormName(frame(), "编辑框_点击间隔"), edit);
  EXPECT_EQ(ui::FindByFormName(frame(), "选择夹EX1"), tabs);
  EXPECT_EQ(ui::FindByFormName(frame(), "窗口EX1"), frame());
  EXPECT_EQ(ui::FindByFormName(group, "选择夹EX1"), nullptr);
  EXPECT_EQ(ui::FindByFormName(frame(), "编辑框_不存在"), nullptr);

  // The property holds a global atom of the name.
  const auto atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(GetPropA(edit, ui::kFormNameProperty)));
  char name[64] = {};
  ASSERT_NE(atom, 0);
  GlobalGetAtomNameA(atom, name, sizeof name);
  EXPECT_STREQ(name, "编辑框_点击间隔");

  // Destroying the control deletes the atom with it.
  HWND temporary = ui::CreateButton(group, "按钮_只用一次的名字", 5, {1, 1, 10, 10}, "");
  ASSERT_NE(GlobalFindAtomA("按钮_只用一次的名字"), 0);
  DestroyWindow(temporary);
  EXPECT_EQ(GlobalFindAtomA("按钮_只用一次的名字"), 0);
}

TEST_F(WidgetsTest, FrameIsBorderlessWithItsOwnTitleBar) {
  EXPECT_EQ(ClassOf(frame()), ui::kFrameClass);
  const LONG_PTR style = GetWindowLongPtrA(frame(), GWL_STYLE);
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_FALSE(style & WS_CAPTION);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  RECT window{};
  GetWindowRect(frame(), &window);
  EXPECT_EQ(window, (RECT{40, 40, 540, 378}));

  const auto hitTest = [&](int x, int y) {
    return SendMessageA(frame(), WM_NCHITTEST, 0, MAKELPARAM(window.left + x, window.top + y));
  };
  EXPECT_EQ(hitTest(100, 10), HTCAPTION);
  EXPECT_EQ(hitTest(5, ui::FrameWindow::kTitleBarHeight96 - 1), HTCAPTION);
  EXPECT_EQ(hitTest(100, ui::FrameWindow::kTitleBarHeight96 + 5), HTCLIENT);
  EXPECT_EQ(hitTest(500 - 10, 10), HTCLIENT);  // the close button
}

TEST_F(WidgetsTest, TitleBarButtonsMinimiseAndClose) {
  constexpr int kButton = ui::FrameWindow::kTitleButtonWidth96;
  ClickAt(frame(), 500 - kButton - kButton / 2, 15);
  EXPECT_TRUE(IsIconic(frame()));
  ShowWindow(frame(), SW_RESTORE);
  EXPECT_FALSE(IsIconic(frame()));

  HWND window = frame();
  ClickAt(window, 500 - kButton / 2, 15);
  Pump();
  EXPECT_FALSE(IsWindow(window));
  EXPECT_TRUE(frame_.destroyed);
  EXPECT_EQ(frame_.hwnd(), nullptr);
}

}  // namespace
