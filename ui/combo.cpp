// The combo box: the system COMBOBOX class as a drop-down list, for the list,
// keyboard and the standard CB_ messages. Owner-drawn items and our own paint
// of the closed box give it the skin.
#include <algorithm>

#include "ui/classes.h"
#include "ui/combo.h"
#include "ui/control.h"

namespace ui {
namespace {

using namespace skin;

constexpr int kRadius96 = 4;
constexpr int kItemHeight96 = 26;
constexpr int kPaddingX96 = 8;
constexpr int kArrowWidth96 = 26;
constexpr int kVisibleItems = 12;

constexpr BaseProcedure CallCombo = CallSystemClass<Kind::Combo>;

// The item's text without allocating; empty when it does not fit.
void ItemText(HWND combo, int index, TextBuffer& buffer) noexcept {
  buffer.length = 0;
  buffer.text[0] = '\0';
  if (index < 0) return;
  const LRESULT length = CallCombo(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length <= 0 || length >= static_cast<LRESULT>(sizeof buffer.text)) return;
  const LRESULT copied =
      CallCombo(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.text));
  buffer.length = copied > 0 ? static_cast<int>(copied) : 0;
  buffer.text[buffer.length] = '\0';
}

void Paint(HWND combo, const ControlState& state) noexcept {
  PaintBuffer paint(combo);
  HDC dc = paint.dc();
  const RECT& client = paint.rect();
  const int dpi = state.dpi;
  FillRectColor(dc, client, BackgroundBehind(combo));
  const bool enabled = IsWindowEnabled(combo) != FALSE;
  const bool dropped = CallCombo(combo, CB_GETDROPPEDSTATE, 0, 0) != FALSE;
  COLORREF border = color::kInputBorder;
  if (!enabled) {
    border = color::kDisabledFill;
  } else if (dropped || GetFocus() == combo) {
    border = color::kAccent;
  } else if (state.hover) {
    border = color::kInputBorderHover;
  }
  RoundRectColor(dc, client, Scale(kRadius96, dpi), enabled ? color::kWhite : color::kInputDisabled, border);

  TextBuffer text;
  ItemText(combo, static_cast<int>(CallCombo(combo, CB_GETCURSEL, 0, 0)), text);
  RECT textRect = client;
  textRect.left += Scale(kPaddingX96, dpi);
  textRect.right -= Scale(kArrowWidth96, dpi);
  DrawTextIn(dc, text.text, text.length, textRect, Font(state.font, dpi),
             enabled ? color::kText : color::kDisabledText, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS);

  // A small chevron pointing down (up while the list is open).
  const int cx = client.right - Scale(kArrowWidth96, dpi) / 2 - Scale(1, dpi);
  const int cy = (client.top + client.bottom) / 2;
  const int half = Scale(4, dpi);
  const int rise = Scale(2, dpi);
  const COLORREF ink = enabled ? (dropped ? color::kAccent : color::kMutedText) : color::kDisabledText;
  const int pen = std::max(1, Scale(2, dpi) * 3 / 4);
  const int tip = dropped ? cy - rise : cy + rise;
  const int wing = dropped ? cy + rise : cy - rise;
  LineColor(dc, cx - half, wing, cx, tip, pen, ink);
  LineColor(dc, cx, tip, cx + half, wing, pen, ink);
}

LRESULT HandleCombo(HWND window, ControlState& state, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  switch (message) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: Paint(window, state); return 0;
    case WM_PRINTCLIENT: return 0;
    case WM_ENABLE:
      if (FollowEnable(window, wParam)) return 0;
      break;
    case WM_MOUSEMOVE:
      if (TrackHover(window, state)) InvalidateRect(window, nullptr, FALSE);
      break;
    case WM_MOUSELEAVE:
      if (EndHover(state)) InvalidateRect(window, nullptr, FALSE);
      break;
    default: break;
  }
  const LRESULT result = CallCombo(window, message, wParam, lParam);
  switch (message) {
    // The system box repaints parts of itself on these; ours is one picture.
    case WM_ENABLE:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_KEYDOWN:
    case WM_CHAR:
    case WM_MOUSEWHEEL:
    case WM_CAPTURECHANGED:
    case WM_SETTEXT:
    case WM_COMMAND:
    case CB_SETCURSEL:
    case CB_SELECTSTRING:
    case CB_SHOWDROPDOWN:
    case CB_RESETCONTENT:
    case CB_DELETESTRING:
      InvalidateRect(window, nullptr, FALSE);
      break;
    default: break;
  }
  return result;
}

}  // namespace

int skin::ComboItemHeight(int dpi) noexcept { return Scale(kItemHeight96, dpi); }

void skin::DrawComboItem(const DRAWITEMSTRUCT& item) noexcept {
  HWND combo = KindOf(item.hwndItem) == Kind::Combo ? item.hwndItem : GetParent(item.hwndItem);
  if (item.itemState & ODS_COMBOBOXEDIT) {
    // The closed box is painted whole by the combo box's own WM_PAINT.
    InvalidateRect(combo, nullptr, FALSE);
    return;
  }
  const int dpi = DpiOf(combo);
  HDC dc = item.hDC;
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  FillRectColor(dc, item.rcItem, selected ? color::kAccentSoft : color::kWhite);
  if (static_cast<int>(item.itemID) < 0) return;
  TextBuffer text;
  ItemText(combo, static_cast<int>(item.itemID), text);
  RECT textRect = item.rcItem;
  textRect.left += Scale(kPaddingX96, dpi);
  DrawTextIn(dc, text.text, text.length, textRect, Font(FontRole::Body, dpi), selected ? color::kAccent : color::kText,
             DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS);
}

void skin::LayoutCombo(HWND combo, const RECT& pixels, int dpi) noexcept {
  ControlState* state = StateOf(combo);
  if (!state) return;
  CallCombo(combo, WM_SETFONT, reinterpret_cast<WPARAM>(Font(state->font, dpi)), FALSE);
  const int itemHeight = ComboItemHeight(dpi);
  CallCombo(combo, CB_SETITEMHEIGHT, 0, itemHeight);
  // For a drop-down list the height given to SetWindowPos includes the list.
  const LRESULT count = CallCombo(combo, CB_GETCOUNT, 0, 0);
  const int items = std::clamp(static_cast<int>(count), 1, kVisibleItems);
  const int listHeight = items * itemHeight + Scale(2, dpi);
  const int wanted = pixels.bottom - pixels.top;
  // The closed box must be exactly as tall as its rectangle: the selection
  // field is that height less whatever frame the system adds, so measure it.
  int field = std::max(1, wanted - Scale(6, dpi));
  for (int pass = 0; pass < 3; ++pass) {
    CallCombo(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
    SetWindowPos(combo, nullptr, pixels.left, pixels.top, pixels.right - pixels.left, wanted + listHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    RECT closed{};
    GetWindowRect(combo, &closed);
    const int error = (closed.bottom - closed.top) - wanted;
    if (error == 0 || field - error < 1) break;
    field -= error;
  }
}

bool skin::RegisterComboClass() noexcept {
  return RegisterSuperclassOf<Kind::Combo, HandleCombo>("COMBOBOX", kComboClass);
}

HWND CreateCombo(HWND parent, const char* formName, int id, Rect96 rect, std::initializer_list<const char*> items,
                 int selection) noexcept {
  HWND combo = CreateControl(kComboClass,
                             WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS, 0,
                             parent, formName, id, rect, "", FontRole::Body);
  if (!combo) return nullptr;
  for (const char* item : items) SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item ? item : ""));
  SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(selection), 0);
  // The list's height follows the number of items.
  Layout(combo, DpiOf(combo));
  return combo;
}

}  // namespace ui
