#include "tests/click/recording_window.h"

#include <windowsx.h>

namespace {

constexpr char kClassName[] = "ClickTestRecorder";

bool IsButtonMessage(UINT message) {
  return message == WM_LBUTTONDOWN || message == WM_LBUTTONUP || message == WM_RBUTTONDOWN ||
         message == WM_RBUTTONUP || message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDBLCLK;
}

}  // namespace

RecordingWindow::RecordingWindow(int x, int y, int width, int height) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = &Procedure;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = kClassName;
  windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
  RegisterClassA(&windowClass);  // fails harmlessly when already registered
  window_ = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kClassName, "recorder", WS_POPUP, x, y,
                            width, height, nullptr, nullptr, windowClass.hInstance, nullptr);
  SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowPos(window_, HWND_TOPMOST, x, y, width, height, SWP_SHOWWINDOW | SWP_NOACTIVATE);
  UpdateWindow(window_);
  Settle(100);
  messages_.clear();
}

RecordingWindow::~RecordingWindow() {
  if (window_) DestroyWindow(window_);
}

std::vector<UINT> RecordingWindow::ButtonMessages() const {
  std::vector<UINT> result;
  for (const RecordedMessage& m : messages_)
    if (IsButtonMessage(m.message)) result.push_back(m.message);
  return result;
}

std::vector<RecordedMessage> RecordingWindow::Of(UINT message) const {
  std::vector<RecordedMessage> result;
  for (const RecordedMessage& m : messages_)
    if (m.message == message) result.push_back(m);
  return result;
}

void RecordingWindow::Pump() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

LRESULT CALLBACK RecordingWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  auto* self = reinterpret_cast<RecordingWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self != nullptr && (IsButtonMessage(message) || (message >= WM_APP && message < 0xC000))) {
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (IsButtonMessage(message)) ClientToScreen(window, &point);
    try {
      self->messages_.push_back(RecordedMessage{message, wParam, point});
    } catch (...) {
    }
    return 0;
  }
  if (message == WM_MOUSEACTIVATE) return MA_NOACTIVATE;
  return DefWindowProcA(window, message, wParam, lParam);
}
