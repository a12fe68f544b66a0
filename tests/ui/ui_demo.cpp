// A window with one of each control of the widget layer, laid out like the
// first pages of the program, for driving the layer from another process and
// for looking at the skin.
//   --page N   opens on page N
// Buttons: "开始连点" switches to page 1, disables the settings group and
// reads "停止连点" (a second press restores all three); "每秒点" writes 1000
// into the interval box; "左键单击" counts its presses in the label
// "标签_计数"; "清零" resets that count.
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <cstring>

#include "common/text.h"
#include "ui/widgets.h"

namespace {

enum : int {
  kTabs = 100, kVersion, kTagline, kGroup, kIcon, kTitle, kIntervalLabel, kInterval, kPerSecond, kCountLabel,
  kCount, kHundredThousand, kKindLabel, kLeft, kDouble, kRight, kPositionLabel, kX, kY, kClearPosition, kToggle,
  kTestGroup, kTestIcon, kTestTitle, kCounter, kReset, kTestClick, kHotkeyGroup, kHotkeyIcon, kHotkeyTitle,
  kHotkeyLabel, kHotkey, kSave, kAboutGroup, kAboutIcon, kAboutTitle, kAboutVersion,
};

class DemoWindow final : public ui::FrameWindow {
 public:
  int startPage = 0;

 protected:
  void OnCreate() noexcept override {
    HWND window = hwnd();
    ui::SetFormName(window, "窗口EX1");
    tabs_ = ui::CreateTabs(window, "选择夹EX1", kTabs, {5, 31, 490, 300}, {"基本连点", "辅助工具", "快捷键", "关于我们"});
    Page(0, ui::CreateLabel(tabs_, "标签EX1", kVersion, {4, 44, 304, 26}, "飞梭助手 1.0"));
    Page(0, ui::CreateLabel(tabs_, "标签EX2", kTagline, {4, 73, 304, 19}, "简洁的鼠标连点器"));
    group_ = Page(0, ui::CreateGroup(tabs_, "图片分组框_连点设置", kGroup, {5, 103, 480, 146}));
    ui::CreatePicture(group_, "图片_已开启_图标3", kIcon, {10, 18, 25, 22}, ui::Icon::Settings);
    ui::CreateLabel(group_, "标签_概况_已开启_标题8", kTitle, {36, 18, 108, 26}, "连点设置");
    ui::CreateLabel(group_, "标签_概况_已开启_标题3", kIntervalLabel, {16, 64, 85, 18}, "点击间隔(MS):");
    interval_ = ui::CreateEdit(group_, "编辑框_点击间隔", kInterval, {104, 56, 72, 32}, "500");
    ui::CreateButton(group_, "按钮_下一步按钮4", kPerSecond, {181, 56, 86, 31}, "每秒点");
    ui::CreateLabel(group_, "标签_概况_已开启_标题1", kCountLabel, {16, 98, 61, 18}, "点击次数:");
    ui::CreateEdit(group_, "编辑框_设置点击次数", kCount, {104, 90, 72, 32}, "");
    ui::CreateButton(group_, "按钮_下一步按钮14", kHundredThousand, {181, 90, 86, 32}, "十万次");
    ui::CreateLabel(group_, "标签_概况_已开启_标题2", kKindLabel, {280, 63, 37, 18}, "按键:");
    ui::CreateRadio(group_, "单选框_SL", kLeft, {317, 65, 56, 16}, "左键", true);
    ui::CreateRadio(group_, "单选框_SM", kDouble, {371, 65, 56, 16}, "左双", false);
    ui::CreateRadio(group_, "单选框_SR", kRight, {424, 65, 56, 16}, "右键", false);
    ui::CreateLabel(group_, "标签_概况_已开启_标题9", kPositionLabel, {280, 97, 45, 18}, "位置：");
    ui::CreateEdit(group_, "编辑框_X", kX, {319, 89, 46, 32}, "-1");
    ui::CreateEdit(group_, "编辑框_Y", kY, {368, 89, 46, 32}, "1024");
    ui::CreateButton(group_, "按钮_下一步按钮3", kClearPosition, {417, 89, 57, 31}, "不设置");
    toggle_ = Page(0, ui::CreateButton(tabs_, "按钮_开关连点", kToggle, {5, 256, 481, 41}, "开始连点"));

    HWND test = Page(1, ui::CreateGroup(tabs_, "图片分组框_概况_已开启1", kTestGroup, {5, 46, 481, 58}));
    ui::CreatePicture(test, "图片_已开启_图标1", kTestIcon, {10, 18, 25, 22}, ui::Icon::Pointer);
    ui::CreateLabel(test, "标签_概况_已开启_标题5", kTestTitle, {36, 18, 108, 26}, "鼠标点击测试");
    counter_ = ui::CreateLabel(test, "标签_计数", kCounter, {158, 22, 136, 18}, "已点击 0 次");
    ui::CreateButton(test, "按钮_下一步按钮2", kReset, {301, 14, 70, 33}, "清零");
    ui::CreateButton(test, "按钮_下一步按钮1", kTestClick, {376, 14, 94, 33}, "左键单击");

    HWND hotkey = Page(2, ui::CreateGroup(tabs_, "图片分组框_概况_已开启3", kHotkeyGroup, {4, 45, 481, 113}));
    ui::CreatePicture(hotkey, "图片_已开启_图标4", kHotkeyIcon, {10, 18, 25, 22}, ui::Icon::Keyboard);
    ui::CreateLabel(hotkey, "标签_鼠标坐标记录1", kHotkeyTitle, {36, 18, 108, 26}, "快捷键设置");
    ui::CreateLabel(hotkey, "标签_概况_已开启_标题21", kHotkeyLabel, {38, 66, 125, 18}, "连点 开始/结束:");
    ui::CreateCombo(hotkey, "组合框EX3", kHotkey, {137, 59, 144, 32},
                    {"F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10", "F11", "F12"}, 1);
    ui::CreateButton(hotkey, "按钮_下一步按钮15", kSave, {366, 59, 94, 33}, "保存");

    HWND about = Page(3, ui::CreateGroup(tabs_, "图片分组框_连点设置1", kAboutGroup, {5, 44, 480, 146}));
    ui::CreatePicture(about, "图片_已开启_图标5", kAboutIcon, {10, 18, 25, 22}, ui::Icon::Info);
    ui::CreateLabel(about, "标签_概况_已开启_标题25", kAboutTitle, {36, 18, 108, 26}, "关于我们");
    ui::CreatePicture(about, "图片_准星", kAboutIcon, {150, 18, 25, 22}, ui::Icon::Crosshair);
    ui::CreateLabel(about, "标签EX3", kAboutVersion, {8, 47, 304, 26}, "飞梭助手 1.0");
    SendMessageA(tabs_, TCM_SETCURSEL, static_cast<WPARAM>(startPage), 0);
  }

  void OnCommand(int controlId, int notifyCode, HWND) noexcept override {
    if (notifyCode != BN_CLICKED) return;
    switch (controlId) {
      case kPerSecond: ui::SetText(interval_, "1000"); break;
      case kTestClick: SetCount(count_ + 1); break;
      case kReset: SetCount(0); break;
      case kToggle: {
        const bool running = ui::GetText(toggle_) == "停止连点";
        SendMessageA(tabs_, TCM_SETCURSEL, running ? 0 : 1, 0);
        EnableWindow(group_, running ? TRUE : FALSE);
        ui::SetText(toggle_, running ? "开始连点" : "停止连点");
        break;
      }
      default: break;
    }
  }

  void OnDestroy() noexcept override { PostQuitMessage(0); }

 private:
  HWND Page(int page, HWND control) noexcept {
    ui::AssignToPage(tabs_, page, control);
    return control;
  }

  void SetCount(int count) noexcept {
    count_ = count;
    char text[64];
    wsprintfA(text, "已点击 %d 次", count);
    ui::SetText(counter_, text);
  }

  HWND tabs_ = nullptr;
  HWND group_ = nullptr;
  HWND interval_ = nullptr;
  HWND toggle_ = nullptr;
  HWND counter_ = nullptr;
  int count_ = 0;
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  if (!ui::Initialize(instance)) return 2;
  DemoWindow window;
  if (const char* page = std::strstr(commandLine, "--page ")) window.startPage = std::atoi(page + 7);
  if (!window.Create("飞梭助手", {50, 50, 500, 338})) return 3;
  ShowWindow(window.hwnd(), SW_SHOW);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (IsDialogMessageA(window.hwnd(), &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}
