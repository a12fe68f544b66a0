// The push button: an accent-coloured rounded face with white text.
#include "ui/skin.h"

#include <windowsx.h>


namespace ui {
namespace {

using namespace skin;

constexpr int kRadius96 = 5;
// Buttons this tall (96 DPI) or taller get the heading font.
constexpr int kLargeHeight96 = 40;

void Paint(HWND button, const ControlState& state) noexcept {
  PaintBuffer paint(button);
  HDC dc = paint.dc();
  const RECT& client = paint.rect();
  FillRectColor(dc, client, BackgroundBehind(button));
  const bool enabled = IsWindowEnabled(button) != FALSE;
  COLORREF face = color::kAccent;
  if (!enabled) {
    face = color::kDisabledFill;
  } else if (state.pressed && state.hover) {
    face = color::kAccentPressed;
  } else if (state.hover || state.pressed) {
    face = color::kAccentHover;
  }
  RoundRectColor(dc, client, Scale(kRadius96, state.dpi), face, face);
  TextBuffer text;
  ReadWindowText(button, text);
  RECT textRect = client;
  if (state.pressed && state.hover) OffsetRect(&textRect, 0, Scale(1, state.dpi));
  DrawTextIn(dc, text.text, text.length, textRect, Font(state.font, state.dpi),
             enabled ? color::kWhite : color::kDisabledText, DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_END_ELLIPSIS);
  if (enabled && GetFocus() == button && (SendMessageA(button, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) == 0) {
    RECT focus = client;
    InflateRect(&focus, -Scale(3, state.dpi), -Scale(3, state.dpi));
    SetTextColor(dc, color::kWhite);
    SetBkColor(dc, face);
    DrawFocusRect(dc, &focus);
  }
}

LRESULT HandleButton(HWND window, ControlState& state, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  LRESULT result = 0;
  if (HandlePressable(window, state, message, wParam, lParam, NotifyClicked, result)) return result;
  switch (message) {
    case WM_GETDLGCODE: return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
    default: break;
  }
  return SelfDrawnDefault<Paint>(window, state, message, wParam, lParam);
}

}  // namespace

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

bool skin::RegisterButtonClass() noexcept {
  return RegisterOwnClass(kButtonClass, ControlProcedure<Kind::Button, HandleButton>, Kind::Button, CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, IDC_HAND);
}

HWND CreateButton(HWND parent, const char* formName, int id, Rect96 rect, const Text& caption) noexcept {
  const FontRole font = rect.height >= kLargeHeight96 ? FontRole::Heading : FontRole::Body;
  return CreateControl(kButtonClass, WS_TABSTOP, 0, parent, formName, id, rect, caption.c_str(), font);
}

}  // namespace ui
