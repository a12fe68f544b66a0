#pragma once
// The one plain window of a small test program: a class of its own, a window
// whose destruction ends the message loop, and that loop.
#include <windows.h>

namespace tool_window {

inline LRESULT CALLBACK QuitOnDestroy(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// Registers className and creates its window, not yet shown; null on failure.
inline HWND Create(const char* className, const char* title, DWORD exStyle, DWORD style, int x, int y, int width,
                   int height) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = QuitOnDestroy;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = className;
  windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
  RegisterClassA(&windowClass);
  return CreateWindowExA(exStyle, className, title, style, x, y, width, height, nullptr, nullptr,
                         windowClass.hInstance, nullptr);
}

// Until WM_QUIT; its exit code.
inline int RunMessageLoop() {
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace tool_window
