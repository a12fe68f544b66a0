#include "ui/pressable.h"

#include <windowsx.h>

namespace ui {

void skin::NotifyClicked(HWND control) noexcept {
  SendMessageA(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), BN_CLICKED),
               reinterpret_cast<LPARAM>(control));
}

bool skin::HandlePressable(HWND control, ControlState& state, UINT message, WPARAM wParam, LPARAM lParam,
                           ClickAction click, LRESULT& result) noexcept {
  result = 0;
  switch (message) {
    case WM_MOUSEMOVE: {
      bool changed = TrackHover(control, state);
      if (GetCapture() == control) {
        RECT client{};
        GetClientRect(control, &client);
        const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        const bool inside = PtInRect(&client, point) != FALSE;
        if (inside != state.hover) {
          state.hover = inside;
          changed = true;
        }
      }
      if (changed) InvalidateRect(control, nullptr, FALSE);
      return true;
    }
    case WM_MOUSELEAVE:
      if (EndHover(state)) InvalidateRect(control, nullptr, FALSE);
      return true;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (GetFocus() != control) SetFocus(control);
      SetCapture(control);
      state.pressed = true;
      state.hover = true;
      InvalidateRect(control, nullptr, FALSE);
      return true;
    case WM_LBUTTONUP: {
      const bool wasPressed = state.pressed;
      RECT client{};
      GetClientRect(control, &client);
      const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      state.pressed = false;
      if (GetCapture() == control) ReleaseCapture();
      InvalidateRect(control, nullptr, FALSE);
      if (wasPressed && PtInRect(&client, point) && IsWindowEnabled(control)) click(control);
      return true;
    }
    case WM_CAPTURECHANGED:
      if (state.pressed) {
        state.pressed = false;
        InvalidateRect(control, nullptr, FALSE);
      }
      return true;
    case WM_KEYDOWN:
      if (wParam == VK_SPACE && !(lParam & 0x40000000)) {
        state.pressed = true;
        state.hover = true;
        InvalidateRect(control, nullptr, FALSE);
        return true;
      }
      return false;
    case WM_KEYUP:
      if (wParam == VK_SPACE && state.pressed) {
        state.pressed = false;
        InvalidateRect(control, nullptr, FALSE);
        if (IsWindowEnabled(control)) click(control);
        return true;
      }
      return false;
    case BM_CLICK:
      if (IsWindowEnabled(control)) click(control);
      return true;
    case BM_GETSTATE:
      result = (state.checked ? BST_CHECKED : 0) | (state.pressed ? BST_PUSHED : 0) |
               (GetFocus() == control ? BST_FOCUS : 0);
      return true;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      InvalidateRect(control, nullptr, FALSE);
      return true;
    case WM_ENABLE:
      if (FollowEnable(control, wParam)) return true;
      if (!wParam) {
        state.pressed = false;
        state.hover = false;
      }
      InvalidateRect(control, nullptr, FALSE);
      return true;
    case WM_SETTEXT:
      result = DefWindowProcA(control, message, wParam, lParam);
      InvalidateRect(control, nullptr, FALSE);
      return true;
    default: return false;
  }
}

}  // namespace ui
