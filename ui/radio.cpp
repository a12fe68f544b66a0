// The radio button: a round mark and its text. Radio buttons of one parent are
// one group: checking one clears the others.
#include "ui/classes.h"
#include "ui/control.h"
#include "ui/pressable.h"

namespace ui {
namespace {

using namespace skin;

constexpr int kMark96 = 14;
constexpr int kDot96 = 6;
constexpr int kGap96 = 5;

void SetChecked(HWND radio, bool checked) noexcept {
  ControlState* state = StateOf(radio);
  if (!state || state->checked == checked) return;
  state->checked = checked;
  InvalidateRect(radio, nullptr, FALSE);
}

void Check(HWND radio) noexcept {
  HWND parent = GetParent(radio);
  for (HWND sibling = parent ? GetWindow(parent, GW_CHILD) : nullptr; sibling;
       sibling = GetWindow(sibling, GW_HWNDNEXT)) {
    if (sibling != radio && KindOf(sibling) == Kind::Radio) SetChecked(sibling, false);
  }
  SetChecked(radio, true);
}

void ClickRadio(HWND radio) noexcept {
  Check(radio);
  NotifyClicked(radio);
}

void Paint(HWND radio, const ControlState& state) noexcept {
  PaintBuffer paint(radio);
  HDC dc = paint.dc();
  const RECT& client = paint.rect();
  const COLORREF background = BackgroundBehind(radio);
  FillRectColor(dc, client, background);
  const bool enabled = IsWindowEnabled(radio) != FALSE;
  const int mark = Scale(kMark96, state.dpi);
  const int top = (client.bottom - mark) / 2;
  const RECT markRect{client.left, top, client.left + mark, top + mark};
  COLORREF ring = color::kInputBorder;
  if (!enabled) {
    ring = color::kDisabledFill;
  } else if (state.checked) {
    ring = color::kAccent;
  } else if (state.hover) {
    ring = color::kInputBorderHover;
  }
  EllipseColor(dc, markRect, enabled ? color::kWhite : color::kInputDisabled, ring);
  if (state.checked) {
    const int dot = Scale(kDot96, state.dpi);
    const int offset = (mark - dot) / 2;
    const RECT dotRect{markRect.left + offset, markRect.top + offset, markRect.left + offset + dot,
                       markRect.top + offset + dot};
    const COLORREF ink = enabled ? color::kAccent : color::kDisabledText;
    EllipseColor(dc, dotRect, ink, ink);
  }
  TextBuffer text;
  ReadWindowText(radio, text);
  RECT textRect = client;
  textRect.left = markRect.right + Scale(kGap96, state.dpi);
  DrawTextIn(dc, text.text, text.length, textRect, Font(state.font, state.dpi),
             enabled ? color::kText : color::kDisabledText, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
}

LRESULT HandleRadio(HWND window, ControlState& state, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  LRESULT result = 0;
  if (HandlePressable(window, state, message, wParam, lParam, ClickRadio, result)) return result;
  switch (message) {
    case BM_GETCHECK: return state.checked ? BST_CHECKED : BST_UNCHECKED;
    case BM_SETCHECK:
      // Selecting is the group's property: checking one clears the others.
      if (wParam == BST_CHECKED) {
        Check(window);
      } else {
        SetChecked(window, false);
      }
      return 0;
    case WM_GETDLGCODE: return DLGC_BUTTON | DLGC_RADIOBUTTON;
    default: break;
  }
  return SelfDrawnDefault<Paint>(window, state, message, wParam, lParam);
}

}  // namespace

bool skin::RegisterRadioClass() noexcept {
  return RegisterOwnClass(kRadioClass, ControlProcedure<Kind::Radio, HandleRadio>, Kind::Radio, CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, IDC_HAND);
}

HWND CreateRadio(HWND parent, const char* formName, int id, Rect96 rect, const Text& caption, bool checked) noexcept {
  HWND radio = CreateControl(kRadioClass, WS_TABSTOP, 0, parent, formName, id, rect, caption.c_str(), FontRole::Body);
  if (radio && checked) Check(radio);
  return radio;
}

void SelectRadio(HWND radio) noexcept {
  if (KindOf(radio) == Kind::Radio) Check(radio);
}

}  // namespace ui
