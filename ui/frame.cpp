// The borderless top-level window with its own title bar.
#include <windowsx.h>

#include "ui/container.h"
#include "ui/control.h"
#include "ui/form_name.h"
#include "ui/paint.h"


namespace ui {

bool FrameWindow::RegisterFrameClass() noexcept {
  WNDCLASSEXA frameClass{};
  frameClass.cbSize = sizeof frameClass;
  frameClass.style = CS_DROPSHADOW;
  frameClass.lpfnWndProc = WindowProc;
  frameClass.hInstance = skin::Instance();
  frameClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  frameClass.lpszClassName = kFrameClass;
  const ATOM atom = RegisterClassExA(&frameClass);
  if (!atom) return false;
  skin::RecordFrameClass(atom);
  return true;
}

bool FrameWindow::Create(const Text& caption, Rect96 screenRect) noexcept {
  if (hwnd_) return false;
  // Created at the 96-DPI size first: the monitor it lands on decides the DPI.
  HWND window = CreateWindowExA(WS_EX_APPWINDOW, kFrameClass, caption.c_str(),
                                WS_POPUP | WS_MINIMIZEBOX | WS_SYSMENU | WS_CLIPCHILDREN, screenRect.x, screenRect.y,
                                screenRect.width, screenRect.height, nullptr, nullptr, skin::Instance(), this);
  if (!window) return false;
  dpi_ = skin::WindowDpi(window);
  if (dpi_ != 96) {
    const RECT pixels = skin::ScaleRect(screenRect, dpi_);
    SetWindowPos(window, nullptr, pixels.left, pixels.top, pixels.right - pixels.left, pixels.bottom - pixels.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  OnCreate();
  return true;
}

LRESULT CALLBACK FrameWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  FrameWindow* self = nullptr;
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    self = static_cast<FrameWindow*>(create->lpCreateParams);
    if (self) {
      self->hwnd_ = window;
      SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
  } else {
    self = reinterpret_cast<FrameWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  }
  if (!self) return DefWindowProcA(window, message, wParam, lParam);
  const LRESULT result = self->HandleMessage(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    skin::RemoveFormName(window);
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
  }
  return result;
}

LRESULT FrameWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  switch (message) {
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
      return 0;
    case WM_DESTROY:
      OnDestroy();
      return 0;
    case WM_NCCREATE:
    case WM_NCDESTROY: return DefWindowProcA(hwnd_, message, wParam, lParam);
    default: break;
  }
  LRESULT result = 0;
  if (OnMessage(message, wParam, lParam, result)) return result;
  return HandleLayerMessage(message, wParam, lParam);
}

RECT FrameWindow::TitleButtonRect(TitleButton button) const noexcept {
  RECT client{};
  GetClientRect(hwnd_, &client);
  const int width = skin::Scale(kTitleButtonWidth96, dpi_);
  const int height = skin::Scale(kTitleBarHeight96, dpi_);
  const int border = skin::Scale(1, dpi_);
  const int right = client.right - border - (button == TitleButton::Minimize ? width : 0);
  if (button == TitleButton::None) return RECT{};
  return RECT{right - width, border, right, height};
}

FrameWindow::TitleButton FrameWindow::TitleButtonAt(POINT client) const noexcept {
  for (TitleButton button : {TitleButton::Close, TitleButton::Minimize}) {
    const RECT rect = TitleButtonRect(button);
    if (PtInRect(&rect, client)) return button;
  }
  return TitleButton::None;
}

void FrameWindow::SetHotButton(TitleButton hot, TitleButton pressed) noexcept {
  if (hot == hot_ && pressed == pressed_) return;
  for (TitleButton button : {hot_, pressed_, hot, pressed}) {
    if (button == TitleButton::None) continue;
    const RECT rect = TitleButtonRect(button);
    InvalidateRect(hwnd_, &rect, FALSE);
  }
  hot_ = hot;
  pressed_ = pressed;
}

void FrameWindow::Paint() noexcept {
  using namespace skin;
  PaintBuffer paint(hwnd_);
  HDC dc = paint.dc();
  const RECT& client = paint.rect();
  const int titleHeight = Scale(kTitleBarHeight96, dpi_);

  FillRectColor(dc, client, color::kWindow);
  const RECT bar{client.left, client.top, client.right, titleHeight};
  FillRectColor(dc, bar, color::kTitleBar);
  FillRectColor(dc, RECT{0, titleHeight - Scale(1, dpi_), client.right, titleHeight}, color::kSeparator);

  // The mark: a small accent tile with a white pointer dot.
  const int mark = Scale(16, dpi_);
  const int markLeft = Scale(10, dpi_);
  const int markTop = (titleHeight - mark) / 2;
  const RECT markRect{markLeft, markTop, markLeft + mark, markTop + mark};
  RoundRectColor(dc, markRect, Scale(4, dpi_), color::kAccent, color::kAccent);
  const int dot = Scale(6, dpi_);
  const RECT dotRect{markLeft + (mark - dot) / 2, markTop + (mark - dot) / 2, markLeft + (mark + dot) / 2,
                     markTop + (mark + dot) / 2};
  EllipseColor(dc, dotRect, color::kWhite, color::kWhite);

  TextBuffer caption;
  ReadWindowText(hwnd_, caption);
  const RECT minimize = TitleButtonRect(TitleButton::Minimize);
  const RECT captionRect{markRect.right + Scale(8, dpi_), 0, minimize.left - Scale(4, dpi_), titleHeight};
  DrawTextIn(dc, caption.text, caption.length, captionRect, Font(FontRole::Caption, dpi_), color::kHeading,
             DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS);

  for (TitleButton button : {TitleButton::Minimize, TitleButton::Close}) {
    const RECT rect = TitleButtonRect(button);
    const bool close = button == TitleButton::Close;
    const bool pressed = pressed_ == button && hot_ == button;
    const bool hot = hot_ == button;
    COLORREF glyph = color::kMutedText;
    if (pressed || hot) {
      const COLORREF fill = close ? (pressed ? color::kClosePressed : color::kCloseHover)
                                  : (pressed ? color::kTitleButtonPressed : color::kTitleButtonHover);
      FillRectColor(dc, rect, fill);
      if (close) glyph = color::kWhite;
    }
    const int cx = (rect.left + rect.right) / 2;
    const int cy = (rect.top + rect.bottom) / 2;
    const int half = Scale(5, dpi_);
    const int pen = Scale(1, dpi_);
    if (close) {
      LineColor(dc, cx - half, cy - half, cx + half + 1, cy + half + 1, pen, glyph);
      LineColor(dc, cx + half, cy - half, cx - half - 1, cy + half + 1, pen, glyph);
    } else {
      FillRectColor(dc, RECT{cx - half, cy, cx + half + 1, cy + pen}, glyph);
    }
  }

  // A thin edge around the borderless window.
  SelectScope pen(dc, GetStockObject(DC_PEN));
  SelectScope brush(dc, GetStockObject(NULL_BRUSH));
  SetDCPenColor(dc, color::kFrameBorder);
  Rectangle(dc, client.left, client.top, client.right, client.bottom);
}

LRESULT FrameWindow::HandleLayerMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  LRESULT result = 0;
  if (skin::HandleChildSkinMessage(hwnd_, message, wParam, lParam, result)) return result;
  switch (message) {
    case WM_NCHITTEST: {
      POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      ScreenToClient(hwnd_, &point);
      RECT client{};
      GetClientRect(hwnd_, &client);
      if (!PtInRect(&client, point)) return HTNOWHERE;
      if (point.y < skin::Scale(kTitleBarHeight96, dpi_) && TitleButtonAt(point) == TitleButton::None) {
        return HTCAPTION;
      }
      return HTCLIENT;
    }
    case WM_MOUSEMOVE: {
      const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      if (!trackingLeave_) {
        TRACKMOUSEEVENT track{};
        track.cbSize = sizeof track;
        track.dwFlags = TME_LEAVE;
        track.hwndTrack = hwnd_;
        trackingLeave_ = TrackMouseEvent(&track) != FALSE;
      }
      SetHotButton(TitleButtonAt(point), pressed_);
      return 0;
    }
    case WM_MOUSELEAVE:
      trackingLeave_ = false;
      SetHotButton(TitleButton::None, pressed_);
      return 0;
    case WM_LBUTTONDOWN: {
      const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      const TitleButton button = TitleButtonAt(point);
      if (button != TitleButton::None) {
        SetCapture(hwnd_);
        SetHotButton(button, button);
      }
      return 0;
    }
    case WM_LBUTTONUP: {
      const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      const TitleButton pressed = pressed_;
      const TitleButton under = TitleButtonAt(point);
      if (GetCapture() == hwnd_) ReleaseCapture();
      SetHotButton(under, TitleButton::None);
      if (pressed != TitleButton::None && pressed == under) {
        if (pressed == TitleButton::Close) {
          PostMessageA(hwnd_, WM_CLOSE, 0, 0);
        } else {
          ShowWindow(hwnd_, SW_MINIMIZE);
        }
      }
      return 0;
    }
    case WM_CAPTURECHANGED:
      SetHotButton(hot_, TitleButton::None);
      return 0;
    case WM_SETTEXT: {
      const LRESULT done = DefWindowProcA(hwnd_, message, wParam, lParam);
      RECT bar{};
      GetClientRect(hwnd_, &bar);
      bar.bottom = skin::Scale(kTitleBarHeight96, dpi_);
      InvalidateRect(hwnd_, &bar, FALSE);
      return done;
    }
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: Paint(); return 0;
    case WM_SIZE: InvalidateRect(hwnd_, nullptr, FALSE); break;
    case WM_DPICHANGED: {
      dpi_ = HIWORD(wParam) ? HIWORD(wParam) : 96;
      if (const auto* suggested = reinterpret_cast<const RECT*>(lParam)) {
        SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
      }
      skin::LayoutDescendants(hwnd_, dpi_);
      RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_ERASE);
      return 0;
    }
    default: break;
  }
  return DefWindowProcA(hwnd_, message, wParam, lParam);
}

}  // namespace ui
