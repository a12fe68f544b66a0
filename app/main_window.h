#pragma once
// The program's only window: four pages of click settings, tools, hotkey
// choice and about, and the handlers of their buttons.

#include <windows.h>

#include <cstdint>
#include <memory>

#include "app/hand_over.h"
#include "click/click_job.h"
#include "click/click_worker.h"
#include "common/text.h"
#include "ui/widgets.h"

// The program's version, shown in the two version labels.
inline const Text AppVersion = "1.0";

// The product's homepage, opened by "项目主页".
inline constexpr const char* HomepageAddress = "https://github.com/feisuo-clicker/feisuo";

// The start/stop hotkey as read from config.ini when the window was created.
inline std::int32_t ToggleHotkeyVk = 0;

// The two global hotkeys: F5 records the cursor, the chosen key starts and stops.
inline constexpr std::int32_t RecordHotkeyId = 1145141;
inline constexpr std::int32_t ToggleHotkeyId = 1145142;
inline constexpr UINT kRecordHotkeyVk = VK_F5;

// Messages that other threads post to the window thread. Any process can post
// them too, so they only say "look": the window trusts what it finds in its
// own objects, never a parameter.
enum : UINT {
  // The start-up load has put what it read into the window's hand-over.
  kSettingsLoadedMessage = WM_APP + 1,
  // From the click worker when its run has ended by itself.
  kClickFinishedMessage = WM_APP + 2,
};

// The message shown when the start/stop key cannot be registered.
[[nodiscard]] Text ToggleHotkeyTakenMessage(std::int32_t vk);

// What the start-up load read from config.ini, applied by the window thread.
struct LoadedSettings {
  Text interval;
  Text count;
  Text button;
  Text x;
  Text y;
};

// Opens an address in the user's default browser.
void OpenAddress(const Text& address) noexcept;

class MainWindow final : public ui::FrameWindow {
 public:
  // Window position and size at 96 DPI.
  static constexpr ui::Rect96 kScreenRect{50, 50, 500, 338};

  // Control ids; the frame receives their WM_COMMAND.
  enum ControlId : int {
    kTabs = 100,
    // page 0
    kVersionLabel, kTaglineLabel, kSettingsGroup, kSettingsIcon, kSettingsTitle,
    kIntervalLabel, kIntervalEdit, kPerSecondButton, kCountLabel, kCountEdit,
    kHundredThousandButton, kButtonLabel, kLeftRadio, kDoubleRadio, kRightRadio,
    kPositionLabel, kXEdit, kYEdit, kClearPositionButton, kToggleButton,
    // page 1
    kTestGroup, kTestIcon, kTestTitle, kTestCountLabel, kTestCountEdit, kResetTestButton,
    kTestClickButton, kRecorderGroup, kRecorderIcon, kRecorderTitle, kRecordXLabel,
    kRecordXEdit, kRecordYLabel, kRecordYEdit, kSyncPositionButton,
    // page 2
    kHotkeyGroup, kHotkeyIcon, kHotkeyTitle, kHotkeyLabel, kHotkeyCombo, kSaveHotkeyButton,
    // page 3
    kAboutGroup, kAboutIcon, kAboutTitle, kAboutVersionLabel, kAboutTaglineLabel,
    kCheckUpdateButton, kHomepageButton,
    kControlIdEnd
  };

  MainWindow() = default;

  // The form name of the window itself.
  static constexpr const char* kFormName = "窗口EX1";

  // The window-created handler: runs once, after the window and all its
  // controls exist, while the window is still hidden. A later instance ends
  // inside it without ever showing a window; the first one shows its window
  // there and goes on to register its hotkeys.
  void OnWindowCreated() noexcept;

  [[nodiscard]] HWND Control(ControlId id) const noexcept { return controls_[id - kTabs]; }
  [[nodiscard]] ClickJob& clickJob() noexcept { return clickJob_; }

  // Starts clicking, or stops it when a run is going; for the start/stop
  // button and the start/stop hotkey.
  void ToggleClicking() noexcept;

  // The handler of both global hotkeys; wParam is the hotkey id.
  static LRESULT CALLBACK OnHotkey(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

  // Reads the settings into the controls and the click job: the start-up
  // load, run on the start-up thread, which hands the values to the window.
  void LoadSettings() noexcept;

 protected:
  void OnCreate() noexcept override;
  void OnCommand(int controlId, int notifyCode, HWND control) noexcept override;
  void OnDestroy() noexcept override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) noexcept override;

 private:
  void CreateControls() noexcept;
  void ApplyLoadedSettings(const LoadedSettings& loaded) noexcept;
  void SaveClickSettings() noexcept;
  void ShowIdleLook() noexcept;
  void RecordCursor() noexcept;
  void SaveHotkey() noexcept;
  static DWORD WINAPI StartupThread(void* self) noexcept;
  // "检测更新": the update check, on a thread of its own.
  void StartUpdateCheck() noexcept;
  static DWORD WINAPI UpdateCheckThread(void* self) noexcept;

  HWND controls_[kControlIdEnd - kTabs] = {};
  ClickJob clickJob_;
  std::unique_ptr<ClickWorker> worker_;  // the most recent run, until the next start
  HandOver<LoadedSettings> loadedSettings_;  // from the start-up thread
  LONG volatile updateCheckRunning_ = 0;     // 1 while the button's check runs
  static MainWindow* instance_;          // for the hotkey handler
};
