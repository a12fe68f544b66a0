#pragma once
// The real program under Wine with its main window found, and the ways a test
// drives it from outside: by form name, by messages and by real key presses.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <optional>

#include "tests/e2e/program_under_test.h"
#include "tests/e2e/version_service.h"
#include "ui/widgets.h"

// The running program with its window found.
class MainWindowTest : public testing::Test {
 protected:
  // The program ends at start-up unless its version service marks it
  // supported: whatever an earlier test served, the service's own manifest
  // is served again.
  MainWindowTest() { version_service::RestoreDefaults(); }

  // Starts the program (with config.ini holding `config`, when given) and
  // waits until the start-up load has filled the click settings.
  void Launch(const std::optional<Text>& config = std::nullopt) {
    if (config) {
      ASSERT_TRUE(program_.WriteFile("config.ini", *config));
    }
    ASSERT_TRUE(program_.Start());
    frame_ = program_.WaitForWindow(20000, ui::kFrameClass);
    ASSERT_NE(frame_, nullptr) << "no main window";
    // The load replaces the X field's empty start text; every stored value
    // reaches the window in one step.
    ASSERT_TRUE(WaitUntil(10000, [&] { return !WindowText(Find("编辑框_X")).empty(); }));
  }

  HWND Find(const char* formName) const {
    HWND control = ui::FindByFormName(frame_, formName);
    EXPECT_NE(control, nullptr) << formName;
    return control;
  }
  Text TextOf(const char* formName) const { return WindowText(Find(formName)); }
  void SetTextOf(const char* formName, const Text& text) const {
    SendMessageA(Find(formName), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  void Click(const char* formName) const { SendMessageA(Find(formName), BM_CLICK, 0, 0); }
  bool Checked(const char* formName) const {
    return SendMessageA(Find(formName), BM_GETCHECK, 0, 0) == BST_CHECKED;
  }
  void Close() {
    PostMessageA(frame_, WM_CLOSE, 0, 0);
    EXPECT_EQ(program_.WaitForExit(20000), 0u);
  }

  // Until the start/stop button shows the idle caption again.
  [[nodiscard]] bool WaitIdle(DWORD timeoutMs) const {
    return WaitUntil(timeoutMs, [&] { return TextOf("按钮_开关连点") == "开始连点"; });
  }
  // The centre of a control in screen coordinates.
  POINT CentreOf(const char* formName) const {
    RECT rect{};
    GetWindowRect(Find(formName), &rect);
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  }
  // A real key press through the X display, with the pointer over the window
  // so that Wine has the focus for it.
  void PressKey(const char* keyName) const {
    RECT rect{};
    GetWindowRect(frame_, &rect);
    SetCursorPos(rect.left + 250, rect.top + 15);
    ASSERT_TRUE(StartHostCommand(Text("/usr/bin/xdotool key ") + keyName));
  }
  // A message box of the program, waited for; null when none appears.
  [[nodiscard]] HWND WaitForMessageBox(DWORD timeoutMs) const {
    HWND box = nullptr;
    (void)WaitUntil(timeoutMs, [&] {
      box = FindTopWindowOf(program_.processId(), "#32770");
      return box != nullptr;
    });
    return box;
  }

  ProgramUnderTest program_{WindowsPathOf(APP_EXE)};
  HWND frame_ = nullptr;
};

