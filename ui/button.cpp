// The push button: an accent-coloured rounded face with white text.
#include "ui/classes.h"
#include "ui/control.h"
#include "ui/pressable.h"


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

bool skin::RegisterButtonClass() noexcept {
  return RegisterOwnClass(kButtonClass, ControlProcedure<Kind::Button, HandleButton>, Kind::Button, CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, IDC_HAND);
}

HWND CreateButton(HWND parent, const char* formName, int id, Rect96 rect, const Text& caption) noexcept {
  const FontRole font = rect.height >= kLargeHeight96 ? FontRole::Heading : FontRole::Body;
  return CreateControl(kButtonClass, WS_TABSTOP, 0, parent, formName, id, rect, caption.c_str(), font);
}

}  // namespace ui
