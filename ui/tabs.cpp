// The tab container: a row of page headers and the controls of the current
// page. Pages are shown by showing their controls and hiding the others.
#include "ui/classes.h"
#include "ui/container.h"
#include "ui/control.h"

#include <windowsx.h>
#include <commctrl.h>

#include <algorithm>

namespace ui {
namespace {

using namespace skin;

constexpr int kHeaderHeight96 = 36;
constexpr int kHeaderLeft96 = 6;
constexpr int kMinTabWidth96 = 84;
constexpr int kTabPadding96 = 16;

int PageCount(const ControlState& state) noexcept { return static_cast<int>(state.pages.size()); }

RECT HeaderRect(HWND tabs, const ControlState& state, int page) noexcept {
  const int dpi = state.dpi;
  WindowDc dc(tabs, false);
  int left = Scale(kHeaderLeft96, dpi);
  for (int i = 0; i < PageCount(state); ++i) {
    int width = Scale(kMinTabWidth96, dpi);
    if (dc.get()) {
      const SIZE text = MeasureText(dc.get(), state.pages[static_cast<size_t>(i)].c_str(), Font(FontRole::Tab, dpi));
      width = std::max(width, static_cast<int>(text.cx) + 2 * Scale(kTabPadding96, dpi));
    }
    if (i == page) return RECT{left, 0, left + width, Scale(kHeaderHeight96, dpi)};
    left += width;
  }
  return RECT{};
}

int PageAt(HWND tabs, const ControlState& state, POINT point) noexcept {
  for (int i = 0; i < PageCount(state); ++i) {
    const RECT rect = HeaderRect(tabs, state, i);
    if (PtInRect(&rect, point)) return i;
  }
  return -1;
}

void InvalidateHeaders(HWND tabs, const ControlState& state) noexcept {
  RECT header{};
  GetClientRect(tabs, &header);
  header.bottom = Scale(kHeaderHeight96, state.dpi);
  InvalidateRect(tabs, &header, FALSE);
}

// Hides the controls of every other page first, so two pages never show at once.
void ShowCurrentPage(const ControlState& state) noexcept {
  for (const PageEntry& entry : state.pageEntries) {
    if (entry.page != state.currentPage && IsWindow(entry.control)) ShowWindow(entry.control, SW_HIDE);
  }
  for (const PageEntry& entry : state.pageEntries) {
    if (entry.page == state.currentPage && IsWindow(entry.control)) ShowWindow(entry.control, SW_SHOWNA);
  }
}

LRESULT SelectPage(HWND tabs, ControlState& state, WPARAM page) noexcept {
  const int index = static_cast<int>(page);
  if (index < 0 || index >= PageCount(state)) return -1;
  const int previous = state.currentPage;
  state.currentPage = index;
  ShowCurrentPage(state);
  InvalidateHeaders(tabs, state);
  return previous;
}

void Notify(HWND tabs, UINT code) noexcept {
  NMHDR header{};
  header.hwndFrom = tabs;
  header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(tabs));
  header.code = code;
  SendMessageA(GetParent(tabs), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

void Paint(HWND tabs, const ControlState& state) noexcept {
  PaintBuffer paint(tabs);
  HDC dc = paint.dc();
  const RECT& client = paint.rect();
  const int dpi = state.dpi;
  const bool enabled = IsWindowEnabled(tabs) != FALSE;
  FillRectColor(dc, client, color::kWindow);
  const int headerHeight = Scale(kHeaderHeight96, dpi);
  FillRectColor(dc, RECT{client.left, headerHeight - Scale(1, dpi), client.right, headerHeight}, color::kSeparator);
  HFONT font = Font(FontRole::Tab, dpi);
  for (int i = 0; i < PageCount(state); ++i) {
    const RECT rect = HeaderRect(tabs, state, i);
    const Text& name = state.pages[static_cast<size_t>(i)];
    const bool current = i == state.currentPage;
    COLORREF textColor = current ? color::kAccent : (i == state.hotPage ? color::kHeading : color::kMutedText);
    if (!enabled) textColor = color::kDisabledText;
    DrawTextIn(dc, name.c_str(), static_cast<int>(name.size()), rect, font, textColor,
               DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    if (current) {
      const SIZE text = MeasureText(dc, name.c_str(), font);
      const int cx = (rect.left + rect.right) / 2;
      const int half = static_cast<int>(text.cx) / 2 + Scale(4, dpi);
      const RECT bar{cx - half, headerHeight - Scale(3, dpi), cx + half, headerHeight};
      RoundRectColor(dc, bar, Scale(1, dpi), enabled ? color::kAccent : color::kDisabledText,
                     enabled ? color::kAccent : color::kDisabledText);
    }
  }
}

LRESULT HandleTabs(HWND window, ControlState& state, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  LRESULT result = 0;
  if (HandleContainerMessage(window, message, wParam, lParam, result)) return result;
  switch (message) {
    case TCM_GETITEMCOUNT: return PageCount(state);
    case TCM_GETCURSEL: return PageCount(state) ? state.currentPage : -1;
    case TCM_SETCURSEL: return SelectPage(window, state, wParam);
    case WM_LBUTTONDOWN: {
      const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      const int page = PageAt(window, state, point);
      if (page >= 0 && page != state.currentPage) {
        SelectPage(window, state, static_cast<WPARAM>(page));
        Notify(window, TCN_SELCHANGE);
      }
      return 0;
    }
    case WM_MOUSEMOVE: {
      const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      TrackHover(window, state);
      const int page = PageAt(window, state, point);
      if (page != state.hotPage) {
        state.hotPage = page;
        InvalidateHeaders(window, state);
      }
      return 0;
    }
    case WM_MOUSELEAVE:
      EndHover(state);
      if (state.hotPage != -1) {
        state.hotPage = -1;
        InvalidateHeaders(window, state);
      }
      return 0;
    default: break;
  }
  return SelfDrawnDefault<Paint>(window, state, message, wParam, lParam);
}

}  // namespace

bool skin::RegisterTabsClass() noexcept {
  return RegisterOwnClass(kTabsClass, ControlProcedure<Kind::Tabs, HandleTabs>, Kind::Tabs, CS_HREDRAW | CS_VREDRAW, IDC_ARROW);
}

HWND CreateTabs(HWND parent, const char* formName, int id, Rect96 rect,
                std::initializer_list<const char*> pages) noexcept {
  HWND tabs = CreateControl(kTabsClass, WS_CLIPCHILDREN | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT, parent,
                            formName, id, rect, "", FontRole::Tab);
  ControlState* state = StateOf(tabs);
  if (!state) return tabs;
  try {
    for (const char* page : pages) state->pages.emplace_back(page ? page : "");
  } catch (...) {
    DestroyWindow(tabs);
    return nullptr;
  }
  state->currentPage = 0;
  InvalidateRect(tabs, nullptr, FALSE);
  return tabs;
}

RECT TabHeaderRect(HWND tabs, int page) noexcept {
  const ControlState* state = StateOf(tabs);
  if (!state || state->kind != Kind::Tabs || page < 0 || page >= PageCount(*state)) return RECT{};
  return HeaderRect(tabs, *state, page);
}

void AssignToPage(HWND tabs, int page, HWND control) noexcept {
  ControlState* state = StateOf(tabs);
  if (!state || state->kind != Kind::Tabs || !control || GetParent(control) != tabs) return;
  bool known = false;
  for (PageEntry& entry : state->pageEntries) {
    if (entry.control == control) {
      entry.page = page;
      known = true;
    }
  }
  if (!known) {
    try {
      state->pageEntries.push_back(PageEntry{control, page});
    } catch (...) {
      return;
    }
  }
  ShowWindow(control, page == state->currentPage ? SW_SHOWNA : SW_HIDE);
}

}  // namespace ui
