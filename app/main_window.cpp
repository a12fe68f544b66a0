#include "app/main_window.h"

#include <shellapi.h>

#include <commctrl.h>

#include <new>

#include "app/runtime.h"
#include "click/mouse.h"
#include "common/message_box.h"
#include "common/start_thread.h"
#include "hotkeys/hotkey_table.h"
#include "instance/instance_guard.h"
#include "settings/settings_file.h"
#include "update/version_check.h"

namespace {

enum class Kind { Group, Picture, Label, Button, Radio, Edit, Combo };

// Where a control lives: a page of the tab container, or a group.
struct FormEntry {
  MainWindow::ControlId id;
  Kind kind;
  const char* formName;
  int page;                         // page of the tab container
  MainWindow::ControlId container;  // kTabs, or the group that holds it
  ui::Rect96 rect;                  // relative to the container
  const char* text;
  ui::Icon icon;
};

using M = MainWindow;
constexpr ui::Icon kNoIcon = ui::Icon::Settings;

// The window form, page by page, in creation order (containers first).
constexpr FormEntry kLayout[] = {
    // Page 0, "基本连点"
    {M::kVersionLabel, Kind::Label, "标签EX1", 0, M::kTabs, {4, 44, 304, 26}, "飞梭助手 1.0", kNoIcon},
    {M::kTaglineLabel, Kind::Label, "标签EX2", 0, M::kTabs, {4, 73, 304, 19}, "简洁的鼠标连点器", kNoIcon},
    {M::kSettingsGroup, Kind::Group, "图片分组框_连点设置", 0, M::kTabs, {5, 103, 480, 146}, "", kNoIcon},
    {M::kSettingsIcon, Kind::Picture, "图片_已开启_图标3", 0, M::kSettingsGroup, {10, 18, 25, 22}, "", ui::Icon::Settings},
    {M::kSettingsTitle, Kind::Label, "标签_概况_已开启_标题8", 0, M::kSettingsGroup, {36, 18, 108, 26}, "连点设置", kNoIcon},
    {M::kIntervalLabel, Kind::Label, "标签_概况_已开启_标题3", 0, M::kSettingsGroup, {16, 64, 85, 18}, "点击间隔(MS):", kNoIcon},
    {M::kIntervalEdit, Kind::Edit, "编辑框_点击间隔", 0, M::kSettingsGroup, {104, 56, 72, 32}, "1000", kNoIcon},
    {M::kPerSecondButton, Kind::Button, "按钮_下一步按钮4", 0, M::kSettingsGroup, {181, 56, 86, 31}, "每秒点", kNoIcon},
    {M::kCountLabel, Kind::Label, "标签_概况_已开启_标题1", 0, M::kSettingsGroup, {16, 98, 61, 18}, "点击次数:", kNoIcon},
    {M::kCountEdit, Kind::Edit, "编辑框_设置点击次数", 0, M::kSettingsGroup, {104, 90, 72, 32}, "", kNoIcon},
    {M::kHundredThousandButton, Kind::Button, "按钮_下一步按钮14", 0, M::kSettingsGroup, {181, 90, 86, 32}, "十万次", kNoIcon},
    {M::kButtonLabel, Kind::Label, "标签_概况_已开启_标题2", 0, M::kSettingsGroup, {280, 63, 37, 18}, "按键:", kNoIcon},
    {M::kLeftRadio, Kind::Radio, "单选框_SL", 0, M::kSettingsGroup, {317, 65, 56, 16}, "左键", kNoIcon},
    {M::kDoubleRadio, Kind::Radio, "单选框_SM", 0, M::kSettingsGroup, {371, 65, 56, 16}, "左双", kNoIcon},
    {M::kRightRadio, Kind::Radio, "单选框_SR", 0, M::kSettingsGroup, {424, 65, 56, 16}, "右键", kNoIcon},
    {M::kPositionLabel, Kind::Label, "标签_概况_已开启_标题9", 0, M::kSettingsGroup, {280, 97, 45, 18}, "位置：", kNoIcon},
    {M::kXEdit, Kind::Edit, "编辑框_X", 0, M::kSettingsGroup, {319, 89, 46, 32}, "", kNoIcon},
    {M::kYEdit, Kind::Edit, "编辑框_Y", 0, M::kSettingsGroup, {368, 89, 46, 32}, "", kNoIcon},
    {M::kClearPositionButton, Kind::Button, "按钮_下一步按钮3", 0, M::kSettingsGroup, {417, 89, 57, 31}, "不设置", kNoIcon},
    {M::kToggleButton, Kind::Button, "按钮_开关连点", 0, M::kTabs, {5, 256, 481, 41}, "开始连点", kNoIcon},
    // Page 1, "辅助工具"
    {M::kTestGroup, Kind::Group, "图片分组框_概况_已开启1", 1, M::kTabs, {5, 46, 481, 58}, "", kNoIcon},
    {M::kTestIcon, Kind::Picture, "图片_已开启_图标1", 1, M::kTestGroup, {10, 18, 25, 22}, "", ui::Icon::Pointer},
    {M::kTestTitle, Kind::Label, "标签_概况_已开启_标题5", 1, M::kTestGroup, {36, 18, 108, 26}, "鼠标点击测试", kNoIcon},
    {M::kTestCountLabel, Kind::Label, "标签_概况_已开启_标题4", 1, M::kTestGroup, {158, 22, 61, 18}, "点击次数:", kNoIcon},
    {M::kTestCountEdit, Kind::Edit, "编辑框_点击次数", 1, M::kTestGroup, {222, 14, 72, 32}, "", kNoIcon},
    {M::kResetTestButton, Kind::Button, "按钮_下一步按钮2", 1, M::kTestGroup, {301, 14, 70, 33}, "清零", kNoIcon},
    {M::kTestClickButton, Kind::Button, "按钮_下一步按钮1", 1, M::kTestGroup, {376, 14, 94, 33}, "左键单击", kNoIcon},
    {M::kRecorderGroup, Kind::Group, "图片分组框_概况_已开启2", 1, M::kTabs, {5, 111, 481, 58}, "", kNoIcon},
    {M::kRecorderIcon, Kind::Picture, "图片_已开启_图标2", 1, M::kRecorderGroup, {10, 18, 25, 22}, "", ui::Icon::Crosshair},
    {M::kRecorderTitle, Kind::Label, "标签_鼠标坐标记录", 1, M::kRecorderGroup, {36, 18, 108, 26}, "F5记录坐标", kNoIcon},
    {M::kRecordXLabel, Kind::Label, "标签_概况_已开启_标题10", 1, M::kRecorderGroup, {158, 22, 21, 18}, "X:", kNoIcon},
    {M::kRecordXEdit, Kind::Edit, "编辑框_监视X", 1, M::kRecorderGroup, {177, 14, 72, 32}, "", kNoIcon},
    {M::kRecordYLabel, Kind::Label, "标签_概况_已开启_标题14", 1, M::kRecorderGroup, {259, 22, 21, 18}, "Y:", kNoIcon},
    {M::kRecordYEdit, Kind::Edit, "编辑框_监视Y", 1, M::kRecorderGroup, {278, 14, 72, 32}, "", kNoIcon},
    {M::kSyncPositionButton, Kind::Button, "按钮_下一步按钮5", 1, M::kRecorderGroup, {376, 14, 94, 33}, "同步设置", kNoIcon},
    // Page 2, "快捷键"
    {M::kHotkeyGroup, Kind::Group, "图片分组框_概况_已开启3", 2, M::kTabs, {4, 45, 481, 113}, "", kNoIcon},
    {M::kHotkeyIcon, Kind::Picture, "图片_已开启_图标4", 2, M::kHotkeyGroup, {10, 18, 25, 22}, "", ui::Icon::Keyboard},
    {M::kHotkeyTitle, Kind::Label, "标签_鼠标坐标记录1", 2, M::kHotkeyGroup, {36, 18, 108, 26}, "快捷键设置", kNoIcon},
    {M::kHotkeyLabel, Kind::Label, "标签_概况_已开启_标题21", 2, M::kHotkeyGroup, {38, 66, 125, 18}, "连点 开始/结束:", kNoIcon},
    {M::kHotkeyCombo, Kind::Combo, "组合框EX3", 2, M::kHotkeyGroup, {137, 59, 144, 32}, "", kNoIcon},
    {M::kSaveHotkeyButton, Kind::Button, "按钮_下一步按钮15", 2, M::kHotkeyGroup, {366, 59, 94, 33}, "保存", kNoIcon},
    // Page 3, "关于我们"
    {M::kAboutGroup, Kind::Group, "图片分组框_连点设置1", 3, M::kTabs, {5, 44, 480, 146}, "", kNoIcon},
    {M::kAboutIcon, Kind::Picture, "图片_已开启_图标5", 3, M::kAboutGroup, {10, 18, 25, 22}, "", ui::Icon::Info},
    {M::kAboutTitle, Kind::Label, "标签_概况_已开启_标题25", 3, M::kAboutGroup, {36, 18, 108, 26}, "关于我们", kNoIcon},
    {M::kAboutVersionLabel, Kind::Label, "标签EX3", 3, M::kAboutGroup, {8, 47, 304, 26}, "飞梭助手 1.0", kNoIcon},
    {M::kAboutTaglineLabel, Kind::Label, "标签EX4", 3, M::kAboutGroup, {8, 76, 304, 19}, "简洁的鼠标连点器", kNoIcon},
    {M::kCheckUpdateButton, Kind::Button, "按钮_下一步按钮17", 3, M::kAboutGroup, {11, 106, 102, 32}, "检测更新", kNoIcon},
    {M::kHomepageButton, Kind::Button, "按钮_下一步按钮16", 3, M::kAboutGroup, {120, 106, 102, 32}, "项目主页", kNoIcon},
};

constexpr ui::Rect96 kTabsRect{5, 31, 490, 300};

}  // namespace

MainWindow* MainWindow::instance_ = nullptr;

// The start/stop button's caption while a run goes on; any other caption is idle.
constexpr const char* kRunningCaption = "停止连点";
constexpr const char* kIdleCaption = "开始连点";

// The event that marks the running instance.
constexpr const char* kInstanceEventName = "Ucd_Pvlzw_PBZOKYJMFOJZLEQKULLQ11H6D972";

Text ToggleHotkeyTakenMessage(std::int32_t vk) {
  return "坐标记录热键F" + RealToText(static_cast<double>(vk) - 111.0) +
         "被占用，快捷键开关连点将无法使用，可以前往快捷键设置修改";
}

void OpenAddress(const Text& address) noexcept {
  ShellExecuteA(nullptr, "open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void MainWindow::CreateControls() noexcept {
  HWND tabs = ui::CreateTabs(hwnd(), "选择夹EX1", kTabs, kTabsRect,
                             {"基本连点", "辅助工具", "快捷键", "关于我们"});
  controls_[0] = tabs;
  for (const FormEntry& entry : kLayout) {
    HWND parent = Control(entry.container);
    HWND control = nullptr;
    switch (entry.kind) {
      case Kind::Group: control = ui::CreateGroup(parent, entry.formName, entry.id, entry.rect); break;
      case Kind::Picture:
        control = ui::CreatePicture(parent, entry.formName, entry.id, entry.rect, entry.icon);
        break;
      case Kind::Label: control = ui::CreateLabel(parent, entry.formName, entry.id, entry.rect, entry.text); break;
      case Kind::Button: control = ui::CreateButton(parent, entry.formName, entry.id, entry.rect, entry.text); break;
      case Kind::Radio:
        control = ui::CreateRadio(parent, entry.formName, entry.id, entry.rect, entry.text, entry.id == kLeftRadio);
        break;
      case Kind::Edit: control = ui::CreateEdit(parent, entry.formName, entry.id, entry.rect, entry.text); break;
      case Kind::Combo:
        control = ui::CreateCombo(parent, entry.formName, entry.id, entry.rect,
                                  {"F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10", "F11", "F12"}, -1);
        break;
    }
    controls_[entry.id - kTabs] = control;
    if (entry.container == kTabs) ui::AssignToPage(tabs, entry.page, control);
  }
}

void MainWindow::OnCreate() noexcept {
  instance_ = this;
  ui::SetFormName(hwnd(), kFormName);
  CreateControls();
}

// Runs once the window and all its controls exist.
void MainWindow::OnWindowCreated() noexcept {
  // The start-up thread's handle is not kept: it runs alongside the window.
  UniqueHandle startup = runtime::StartThread(StartupThread, this);

  // A second instance ends here, before it shows, registers or writes anything.
  Text instanceName = kInstanceEventName;
  InstanceGuard(instanceName, false, nullptr, 0, true, nullptr);
  ShowWindow(hwnd(), SW_SHOW);
  UpdateWindow(hwnd());

  ToggleHotkeyVk = TextToInt(ReadSetting(settings::kHotkeySection, settings::kToggleKey,
                                         settings::kDefaultToggleKey));
  if (!AddHotkey(hwnd(), 0, kRecordHotkeyVk, OnHotkey, RecordHotkeyId)) {
    runtime::ShowMessage("坐标记录热键F5被占用，坐标记录功能将无法使用");
  }
  if (!AddHotkey(hwnd(), 0, static_cast<UINT>(ToggleHotkeyVk), OnHotkey, ToggleHotkeyId)) {
    runtime::ShowMessage(ToggleHotkeyTakenMessage(ToggleHotkeyVk));
  }
  SendMessageA(Control(kHotkeyCombo), CB_SETCURSEL, static_cast<WPARAM>(ToggleHotkeyVk - 112), 0);
}

void MainWindow::SaveClickSettings() noexcept {
  using namespace settings;
  clickJob_.intervalText = ui::GetText(Control(kIntervalEdit));
  clickJob_.countText = ui::GetText(Control(kCountEdit));
  WriteSetting(kClickSection, kIntervalKey, ui::GetText(Control(kIntervalEdit)));
  WriteSetting(kClickSection, kCountKey, ui::GetText(Control(kCountEdit)));
  auto checked = [this](ControlId radio) {
    return SendMessageA(Control(radio), BM_GETCHECK, 0, 0) == BST_CHECKED;
  };
  if (checked(kLeftRadio)) {
    clickJob_.buttonCode = 0;
  } else if (checked(kDoubleRadio)) {
    clickJob_.buttonCode = 1;
  } else if (checked(kRightRadio)) {
    clickJob_.buttonCode = 2;
  }
  WriteSetting(kClickSection, kButtonKey, IntToText(clickJob_.buttonCode));
  WriteSetting(kClickSection, kXKey, ui::GetText(Control(kXEdit)));
  WriteSetting(kClickSection, kYKey, ui::GetText(Control(kYEdit)));
  clickJob_.xText = ui::GetText(Control(kXEdit));
  clickJob_.yText = ui::GetText(Control(kYEdit));
}

void MainWindow::ToggleClicking() noexcept {
  // The first click is due a second after the press, however long saving takes.
  const std::int64_t pressed = ClickWorker::Ticks();
  SaveClickSettings();
  if (ui::GetText(Control(kToggleButton)) == kRunningCaption) {
    SendMessageA(Control(kTabs), TCM_SETCURSEL, 0, 0);
    if (worker_) worker_->Stop();
    ui::SetText(Control(kToggleButton), kIdleCaption);
    EnableWindow(Control(kSettingsGroup), TRUE);
    return;
  }
  SendMessageA(Control(kTabs), TCM_SETCURSEL, 1, 0);
  worker_ = ClickWorker::Start(clickJob_, hwnd(), kClickFinishedMessage, pressed);
  ui::SetText(Control(kToggleButton), kRunningCaption);
  EnableWindow(Control(kSettingsGroup), FALSE);
}

void MainWindow::ShowIdleLook() noexcept {
  SendMessageA(Control(kTabs), TCM_SETCURSEL, 0, 0);
  ui::SetText(Control(kToggleButton), kIdleCaption);
  EnableWindow(Control(kSettingsGroup), TRUE);
}

void MainWindow::RecordCursor() noexcept {
  ui::SetText(Control(kRecordXEdit), IntToText(CursorX()));
  ui::SetText(Control(kRecordYEdit), IntToText(CursorY()));
}

LRESULT CALLBACK MainWindow::OnHotkey(HWND, UINT, WPARAM wParam, LPARAM) noexcept {
  if (!instance_) return 0;
  if (static_cast<std::int32_t>(wParam) == RecordHotkeyId) {
    instance_->RecordCursor();
  } else if (static_cast<std::int32_t>(wParam) == ToggleHotkeyId) {
    instance_->ToggleClicking();
  }
  return 0;
}

void MainWindow::SaveHotkey() noexcept {
  const auto index = static_cast<std::int32_t>(SendMessageA(Control(kHotkeyCombo), CB_GETCURSEL, 0, 0));
  const std::int32_t vk = index + 112;
  WriteSetting(settings::kHotkeySection, settings::kToggleKey, IntToText(vk));
  (void)RemoveHotkey(hwnd(), ToggleHotkeyId);
  if (!AddHotkey(hwnd(), 0, static_cast<UINT>(vk), OnHotkey, ToggleHotkeyId)) {
    runtime::ShowMessage(ToggleHotkeyTakenMessage(vk));
  }
}

DWORD WINAPI MainWindow::StartupThread(void* self) noexcept {
  auto* window = static_cast<MainWindow*>(self);
  window->LoadSettings();
  CheckForUpdate(ProductKey, AppVersion, window->hwnd(), true);
  CheckSupported(ProductKey, window->hwnd());  // ends the program unless supported
  return 0;
}

// The check waits for the service and then for the user: on a thread of its
// own, the window stays responsive meanwhile. One check at a time.
void MainWindow::StartUpdateCheck() noexcept {
  if (InterlockedCompareExchange(&updateCheckRunning_, 1, 0) != 0) return;
  UniqueHandle thread = runtime::StartThread(UpdateCheckThread, this);
  if (!thread) InterlockedExchange(&updateCheckRunning_, 0);
}

DWORD WINAPI MainWindow::UpdateCheckThread(void* self) noexcept {
  auto* window = static_cast<MainWindow*>(self);
  CheckForUpdate(ProductKey, AppVersion, window->hwnd(), false);
  InterlockedExchange(&window->updateCheckRunning_, 0);
  return 0;
}

void MainWindow::LoadSettings() noexcept {
  using namespace settings;
  std::unique_ptr<LoadedSettings> loaded;
  try {
    loaded = std::make_unique<LoadedSettings>();
    loaded->interval = ReadSetting(kClickSection, kIntervalKey, kDefaultInterval);
    loaded->count = ReadSetting(kClickSection, kCountKey, kDefaultCount);
    loaded->button = ReadSetting(kClickSection, kButtonKey, kDefaultButton);
    loaded->x = ReadSetting(kClickSection, kXKey, kDefaultCoordinate);
    loaded->y = ReadSetting(kClickSection, kYKey, kDefaultCoordinate);
  } catch (const std::bad_alloc&) {
    return;  // the window keeps the texts it opened with
  }
  // The controls belong to the window thread: it applies what was read.
  loadedSettings_.Put(std::move(loaded));
  PostMessageA(hwnd(), kSettingsLoadedMessage, 0, 0);
}

void MainWindow::ApplyLoadedSettings(const LoadedSettings& loaded) noexcept {
  const Text versionCaption = "飞梭助手 " + AppVersion;
  ui::SetText(Control(kVersionLabel), versionCaption);
  ui::SetText(Control(kAboutVersionLabel), versionCaption);
  ui::SetText(Control(kIntervalEdit), loaded.interval);
  ui::SetText(Control(kCountEdit), loaded.count);
  clickJob_.intervalText = ui::GetText(Control(kIntervalEdit));
  clickJob_.countText = ui::GetText(Control(kCountEdit));
  clickJob_.buttonCode = TextToInt(loaded.button);
  switch (clickJob_.buttonCode) {
    case 0: ui::SelectRadio(Control(kLeftRadio)); break;
    case 1: ui::SelectRadio(Control(kDoubleRadio)); break;
    case 2: ui::SelectRadio(Control(kRightRadio)); break;
    default: break;  // the radios stay as the window opened
  }
  ui::SetText(Control(kXEdit), loaded.x);
  ui::SetText(Control(kYEdit), loaded.y);
  clickJob_.xText = ui::GetText(Control(kXEdit));
  clickJob_.yText = ui::GetText(Control(kYEdit));
}

void MainWindow::OnCommand(int controlId, int notifyCode, HWND) noexcept {
  if (notifyCode != BN_CLICKED) return;
  switch (controlId) {
    case kPerSecondButton: ui::SetText(Control(kIntervalEdit), "1000"); break;
    case kHundredThousandButton: ui::SetText(Control(kCountEdit), "100000"); break;
    case kClearPositionButton:
      ui::SetText(Control(kYEdit), "-1");
      ui::SetText(Control(kXEdit), "-1");
      break;
    case kResetTestButton: ui::SetText(Control(kTestCountEdit), "0"); break;
    case kTestClickButton: {
      const double next = static_cast<double>(TextToInt(ui::GetText(Control(kTestCountEdit)))) + 1.0;
      ui::SetText(Control(kTestCountEdit), RealToText(next));
      break;
    }
    case kSyncPositionButton:
      ui::SetText(Control(kXEdit), ui::GetText(Control(kRecordXEdit)));
      ui::SetText(Control(kYEdit), ui::GetText(Control(kRecordYEdit)));
      break;
    case kCheckUpdateButton: StartUpdateCheck(); break;
    case kHomepageButton: OpenAddress(HomepageAddress); break;
    case kToggleButton: ToggleClicking(); break;
    case kSaveHotkeyButton: SaveHotkey(); break;
    default: break;
  }
}

bool MainWindow::OnMessage(UINT message, WPARAM, LPARAM, LRESULT& result) noexcept {
  switch (message) {
    case kSettingsLoadedMessage:
      if (const std::unique_ptr<LoadedSettings> loaded = loadedSettings_.Take()) ApplyLoadedSettings(*loaded);
      result = 0;
      return true;
    case kClickFinishedMessage:
      // Only the current run, once it has really ended by itself, restores
      // the idle look; a stopped run never finishes.
      if (worker_ && worker_->finished() && ui::GetText(Control(kToggleButton)) == kRunningCaption) ShowIdleLook();
      result = 0;
      return true;
    case runtime::kEndRequestMessage:
      runtime::HandleEndRequest();
      result = 0;
      return true;
    default:
      return false;
  }
}

void MainWindow::OnDestroy() noexcept {
  ClearHotkeys(hwnd());
  PostQuitMessage(0);
}
