#pragma once
// Internals shared by the controls of the widget layer: the palette, fonts per
// DPI, the per-window state with its 96-DPI rectangle, class registration and
// the painting helpers.

#include <windows.h>

#include <vector>

#include "common/handles.h"
#include "common/text.h"
#include "ui/widgets.h"

namespace ui::skin {

enum class Kind { None, Frame, Tabs, Group, Picture, Label, Button, Radio, Edit, Combo, Count };

namespace color {
inline constexpr COLORREF kWindow = RGB(243, 245, 248);  // frame and page background
inline constexpr COLORREF kTitleBar = RGB(255, 255, 255);
inline constexpr COLORREF kPanel = RGB(255, 255, 255);
inline constexpr COLORREF kPanelBorder = RGB(223, 228, 235);
inline constexpr COLORREF kFrameBorder = RGB(196, 203, 213);
inline constexpr COLORREF kSeparator = RGB(226, 230, 236);
inline constexpr COLORREF kText = RGB(51, 58, 69);
inline constexpr COLORREF kHeading = RGB(30, 36, 46);
inline constexpr COLORREF kMutedText = RGB(107, 116, 129);
inline constexpr COLORREF kDisabledText = RGB(168, 174, 184);
inline constexpr COLORREF kAccent = RGB(58, 123, 213);
inline constexpr COLORREF kAccentHover = RGB(86, 144, 226);
inline constexpr COLORREF kAccentPressed = RGB(40, 98, 180);
inline constexpr COLORREF kAccentSoft = RGB(231, 240, 253);
inline constexpr COLORREF kDisabledFill = RGB(225, 228, 233);
inline constexpr COLORREF kInputBorder = RGB(200, 207, 217);
inline constexpr COLORREF kInputBorderHover = RGB(148, 170, 204);
inline constexpr COLORREF kInputDisabled = RGB(241, 243, 246);
inline constexpr COLORREF kTitleButtonHover = RGB(229, 233, 239);
inline constexpr COLORREF kTitleButtonPressed = RGB(210, 216, 225);
inline constexpr COLORREF kCloseHover = RGB(232, 17, 35);
inline constexpr COLORREF kClosePressed = RGB(190, 20, 35);
inline constexpr COLORREF kWhite = RGB(255, 255, 255);
}  // namespace color

enum class FontRole { Body, Heading, Tab, Caption, Count };

// Shared fonts, made on first use for each DPI; never null after Initialize
// (falls back to the stock GUI font).
[[nodiscard]] HFONT Font(FontRole role, int dpi) noexcept;
// Height in pixels of a line of the font (tmHeight).
[[nodiscard]] int LineHeight(FontRole role, int dpi) noexcept;
// Brushes answered to WM_CTLCOLOR*: they live as long as the process.
[[nodiscard]] HBRUSH InputBrush(bool enabled) noexcept;

[[nodiscard]] inline int Scale(int value96, int dpi) noexcept { return MulDiv(value96, dpi, 96); }
// The rectangle in pixels; edges are scaled, so neighbours stay neighbours.
[[nodiscard]] RECT ScaleRect(Rect96 rect, int dpi) noexcept;
// The DPI Windows gives the window (96 when the system cannot tell).
[[nodiscard]] int WindowDpi(HWND window) noexcept;

struct PageEntry {
  HWND control;
  int page;
};

// What the layer keeps for each control window; owned by the window from
// WM_NCCREATE to WM_NCDESTROY.
struct ControlState {
  Kind kind = Kind::None;
  Rect96 rect{};
  int dpi = 96;
  FontRole font = FontRole::Body;
  bool hover = false;
  bool trackingLeave = false;
  bool pressed = false;
  bool checked = false;
  Icon icon = Icon::Settings;
  // Tab container.
  std::vector<Text> pages;
  int currentPage = 0;
  int hotPage = -1;
  std::vector<PageEntry> pageEntries;
};

// Handed to CreateWindowExA as lpCreateParams; copied into the state at
// WM_NCCREATE so that messages during creation already know the DPI.
struct CreateInfo {
  Rect96 rect;
  int dpi;
  FontRole font;
};

[[nodiscard]] HINSTANCE Instance() noexcept;
[[nodiscard]] Kind KindOf(HWND window) noexcept;
// Null for windows that are not controls of the layer.
[[nodiscard]] ControlState* StateOf(HWND window) noexcept;
// The DPI of a window of the layer: the control's own, else the system's.
[[nodiscard]] int DpiOf(HWND window) noexcept;

// Class registration. A superclass keeps the system class's behaviour: its
// procedure is returned in original, to be called for everything the skin
// leaves alone.
[[nodiscard]] bool RegisterOwnClass(const char* name, WNDPROC procedure, Kind kind, UINT style,
                                    LPCSTR cursor) noexcept;
[[nodiscard]] bool RegisterSuperclass(const char* systemClass, const char* name, WNDPROC procedure,
                                      Kind kind, WNDPROC* original) noexcept;
void RecordFrameClass(ATOM atom) noexcept;

// WM_NCCREATE and WM_NCDESTROY of every control: make and free the state; the
// form name goes with the window.
[[nodiscard]] bool AttachState(HWND window, Kind kind, LPARAM createStruct) noexcept;
void DetachState(HWND window) noexcept;
void RemoveFormName(HWND window) noexcept;

using BaseProcedure = LRESULT (*)(HWND, UINT, WPARAM, LPARAM) noexcept;
using StateProcedure = LRESULT (*)(HWND, ControlState&, UINT, WPARAM, LPARAM) noexcept;
inline LRESULT CallDefault(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  return DefWindowProcA(window, message, wParam, lParam);
}

// The window procedure of one control kind: the control's state is made at
// WM_NCCREATE and freed at WM_NCDESTROY, and every message in between goes to
// the kind's handler; messages without a state go to the base procedure (the
// default one, or the system class's for a superclass).
template <Kind kKind, StateProcedure kHandle, BaseProcedure kBase = CallDefault>
LRESULT CALLBACK ControlProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  if (message == WM_NCCREATE) {
    if (!AttachState(window, kKind, lParam)) return FALSE;
    const LRESULT created = kBase(window, message, wParam, lParam);
    if (!created) DetachState(window);
    return created;
  }
  if (message == WM_NCDESTROY) {
    const LRESULT done = kBase(window, message, wParam, lParam);
    DetachState(window);
    return done;
  }
  ControlState* state = StateOf(window);
  if (!state) return kBase(window, message, wParam, lParam);
  return kHandle(window, *state, message, wParam, lParam);
}

// WM_ENABLE of a control: a WM_ENABLE sent from outside (another process may
// send one) makes the window's own state follow it. True when it did so; the
// nested WM_ENABLE of EnableWindow then does the rest.
[[nodiscard]] bool FollowEnable(HWND window, WPARAM enable) noexcept;

using PaintProcedure = void (*)(HWND, const ControlState&) noexcept;

// The messages a self-drawn control's kind leaves: it repaints when enabled,
// disabled or given a new text, paints without erasing first (the paint
// covers the whole control), and hands the rest to the default procedure.
template <PaintProcedure kPaint>
LRESULT SelfDrawnDefault(HWND window, ControlState& state, UINT message, WPARAM wParam,
                         LPARAM lParam) noexcept {
  switch (message) {
    case WM_ENABLE:
      if (FollowEnable(window, wParam)) return 0;
      InvalidateRect(window, nullptr, FALSE);
      return 0;
    case WM_SETTEXT: {
      const LRESULT done = DefWindowProcA(window, message, wParam, lParam);
      InvalidateRect(window, nullptr, FALSE);
      return done;
    }
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: kPaint(window, state); return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
  }
}

// Hover tracking for WM_MOUSEMOVE / WM_MOUSELEAVE; true when the state changed.
bool TrackHover(HWND window, ControlState& state) noexcept;
bool EndHover(ControlState& state) noexcept;

// Creates a child control of the layer at its 96-DPI rectangle and gives it
// its form name and font. Null on failure.
[[nodiscard]] HWND CreateControl(const char* className, DWORD style, DWORD exStyle, HWND parent,
                                 const char* formName, int id, Rect96 rect, const char* text,
                                 FontRole font) noexcept;
// Puts a control where its 96-DPI rectangle says, at this DPI, with its font.
void Layout(HWND control, int dpi) noexcept;
// Every control below root, after a DPI change.
void LayoutDescendants(HWND root, int dpi) noexcept;

// WM_CTLCOLOR*, WM_DRAWITEM and WM_MEASUREITEM of the layer's controls, for any
// container (frame, tab container, group). False when the message is not about
// one of them.
[[nodiscard]] bool HandleChildSkinMessage(HWND container, UINT message, WPARAM wParam, LPARAM lParam,
                                          LRESULT& result) noexcept;
// The same, and WM_COMMAND / WM_NOTIFY passed on to the container's parent;
// for tab containers and groups.
[[nodiscard]] bool HandleContainerMessage(HWND container, UINT message, WPARAM wParam, LPARAM lParam,
                                          LRESULT& result) noexcept;

// The colour behind a control: panel white inside a group, the window colour
// elsewhere.
[[nodiscard]] COLORREF BackgroundBehind(HWND control) noexcept;

// The window text into a buffer; painting does not allocate.
struct TextBuffer {
  char text[1024];
  int length;
};
void ReadWindowText(HWND window, TextBuffer& buffer) noexcept;

// Painting into a memory bitmap that is copied to the window at the end, so
// nothing flickers. Falls back to the window DC when memory is short.
class PaintBuffer {
 public:
  explicit PaintBuffer(HWND window) noexcept;
  ~PaintBuffer();
  PaintBuffer(const PaintBuffer&) = delete;
  PaintBuffer& operator=(const PaintBuffer&) = delete;
  [[nodiscard]] HDC dc() const noexcept { return memory_ ? memory_.get() : paint_.hdc; }
  [[nodiscard]] const RECT& rect() const noexcept { return client_; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  RECT client_{};
  UniqueMemoryDc memory_;
  UniqueGdiObject<HBITMAP> bitmap_;
  HGDIOBJ oldBitmap_ = nullptr;
};

// A window DC from GetWindowDC / GetDC, released at the end of the scope.
class WindowDc {
 public:
  WindowDc(HWND window, bool wholeWindow) noexcept
      : window_(window), dc_(wholeWindow ? GetWindowDC(window) : GetDC(window)) {}
  ~WindowDc() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  [[nodiscard]] HDC get() const noexcept { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// Restores the DC's previous object at the end of the scope.
class SelectScope {
 public:
  SelectScope(HDC dc, HGDIOBJ object) noexcept : dc_(dc), old_(SelectObject(dc, object)) {}
  ~SelectScope() {
    if (old_) SelectObject(dc_, old_);
  }
  SelectScope(const SelectScope&) = delete;
  SelectScope& operator=(const SelectScope&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// Drawing primitives on the DC pen and brush: no GDI objects are made.
void FillRectColor(HDC dc, const RECT& rect, COLORREF color) noexcept;
void RoundRectColor(HDC dc, const RECT& rect, int radius, COLORREF fill, COLORREF border) noexcept;
void EllipseColor(HDC dc, const RECT& rect, COLORREF fill, COLORREF border) noexcept;
void LineColor(HDC dc, int x1, int y1, int x2, int y2, int width, COLORREF color) noexcept;
void DrawTextIn(HDC dc, const char* text, int length, RECT rect, HFONT font, COLORREF color,
                UINT format) noexcept;
[[nodiscard]] SIZE MeasureText(HDC dc, const char* text, HFONT font) noexcept;

// Mouse and keyboard of a push-style control (button, radio button): hover,
// press with capture, click on release inside, Space, and BM_CLICK. click runs
// when the control is clicked while enabled.
using ClickAction = void (*)(HWND control) noexcept;
[[nodiscard]] bool HandlePressable(HWND control, ControlState& state, UINT message, WPARAM wParam, LPARAM lParam,
                                   ClickAction click, LRESULT& result) noexcept;
// WM_COMMAND BN_CLICKED to the control's parent.
void NotifyClicked(HWND control) noexcept;

// The parts other files supply.
void LayoutCombo(HWND combo, const RECT& pixels, int dpi) noexcept;
void DrawComboItem(const DRAWITEMSTRUCT& item) noexcept;
[[nodiscard]] int ComboItemHeight(int dpi) noexcept;
void DrawIcon(HDC dc, const RECT& box, Icon icon, bool enabled, COLORREF paper, int dpi) noexcept;

[[nodiscard]] bool RegisterTabsClass() noexcept;
[[nodiscard]] bool RegisterGroupClass() noexcept;
[[nodiscard]] bool RegisterPictureClass() noexcept;
[[nodiscard]] bool RegisterLabelClass() noexcept;
[[nodiscard]] bool RegisterButtonClass() noexcept;
[[nodiscard]] bool RegisterRadioClass() noexcept;
[[nodiscard]] bool RegisterEditClass() noexcept;
[[nodiscard]] bool RegisterComboClass() noexcept;

}  // namespace ui::skin
