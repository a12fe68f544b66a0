// Holds global hotkeys so that another program finds them taken:
//   hotkey_holder.exe VK...   registers each virtual-key code (decimal, no
//                             modifiers) on its window "热键占用", then sets the
//                             title to "热键占用:已注册" (or ":失败" when one
//                             could not be had) and runs until WM_CLOSE.
#include <windows.h>

#include <cstdlib>

#include "tests/tools/tool_window.h"

int main(int argc, char** argv) {
  HWND window = tool_window::Create("HotkeyHolder", "热键占用", WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, WS_POPUP, 0, 0,
                                    1, 1);
  if (!window) return 1;
  bool all = true;
  for (int i = 1; i < argc; ++i) {
    all = RegisterHotKey(window, i, 0, static_cast<UINT>(std::atoi(argv[i]))) && all;
  }
  SetWindowTextA(window, all ? "热键占用:已注册" : "热键占用:失败");
  ShowWindow(window, SW_SHOWNA);
  return tool_window::RunMessageLoop();
}
