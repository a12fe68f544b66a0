// The edit box: the system EDIT class for typing, selection and the standard
// messages, inside a rounded frame of ours drawn in the non-client area, which
// also centres the single line vertically.
#include <algorithm>

#include "ui/classes.h"
#include "ui/control.h"

namespace ui {
namespace {

using namespace skin;

constexpr int kRadius96 = 4;
constexpr int kPaddingX96 = 6;

constexpr BaseProcedure CallEdit = CallSystemClass<Kind::Edit>;

void CalcClient(const ControlState& state, RECT& rect) noexcept {
  const int border = Scale(1, state.dpi);
  const int height = rect.bottom - rect.top;
  const int line = LineHeight(state.font, state.dpi);
  const int padY = std::max(border, (height - line) / 2);
  const int padX = std::min(Scale(kPaddingX96, state.dpi), std::max<int>(border, (rect.right - rect.left) / 4));
  rect.left += padX;
  rect.right -= padX;
  rect.top += padY;
  rect.bottom -= padY;
  if (rect.right < rect.left) rect.right = rect.left;
  if (rect.bottom < rect.top) rect.bottom = rect.top;
}

void PaintFrame(HWND edit, const ControlState& state) noexcept {
  if (!IsWindowVisible(edit)) return;
  WindowDc dc(edit, true);
  if (!dc.get()) return;
  RECT window{};
  GetWindowRect(edit, &window);
  RECT client{};
  GetClientRect(edit, &client);
  MapWindowPoints(edit, nullptr, reinterpret_cast<POINT*>(&client), 2);
  OffsetRect(&client, -window.left, -window.top);
  OffsetRect(&window, -window.left, -window.top);
  ExcludeClipRect(dc.get(), client.left, client.top, client.right, client.bottom);
  const bool enabled = IsWindowEnabled(edit) != FALSE;
  COLORREF border = color::kInputBorder;
  if (!enabled) {
    border = color::kDisabledFill;
  } else if (GetFocus() == edit) {
    border = color::kAccent;
  } else if (state.hover) {
    border = color::kInputBorderHover;
  }
  FillRectColor(dc.get(), window, BackgroundBehind(edit));
  RoundRectColor(dc.get(), window, Scale(kRadius96, state.dpi), enabled ? color::kWhite : color::kInputDisabled,
                 border);
}

LRESULT HandleEdit(HWND window, ControlState& state, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  switch (message) {
    case WM_NCCALCSIZE: {
      RECT* rect = wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0] : reinterpret_cast<RECT*>(lParam);
      if (rect) CalcClient(state, *rect);
      return 0;
    }
    case WM_NCPAINT: PaintFrame(window, state); return 0;
    case WM_NCHITTEST: {
      // The padding belongs to the box: clicks there place the caret too.
      const LRESULT hit = CallEdit(window, message, wParam, lParam);
      return hit == HTNOWHERE || hit == HTBORDER ? HTCLIENT : hit;
    }
    case WM_ENABLE: {
      if (FollowEnable(window, wParam)) return 0;
      const LRESULT done = CallEdit(window, message, wParam, lParam);
      InvalidateRect(window, nullptr, TRUE);
      PaintFrame(window, state);
      return done;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
      const LRESULT done = CallEdit(window, message, wParam, lParam);
      PaintFrame(window, state);
      return done;
    }
    case WM_MOUSEMOVE:
      if (TrackHover(window, state)) PaintFrame(window, state);
      break;
    case WM_MOUSELEAVE:
      if (EndHover(state)) PaintFrame(window, state);
      break;
    default: break;
  }
  return CallEdit(window, message, wParam, lParam);
}

}  // namespace

bool skin::RegisterEditClass() noexcept {
  return RegisterSuperclassOf<Kind::Edit, HandleEdit>("EDIT", kEditClass);
}

HWND CreateEdit(HWND parent, const char* formName, int id, Rect96 rect, const Text& text) noexcept {
  return CreateControl(kEditClass, WS_TABSTOP | ES_AUTOHSCROLL | ES_LEFT, 0, parent, formName, id, rect,
                       text.c_str(), FontRole::Body);
}

}  // namespace ui
