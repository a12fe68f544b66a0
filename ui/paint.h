#pragma once
// Painting helpers of the widget layer: the palette, fonts and brushes per
// DPI, DPI scaling, flicker-free painting and drawing primitives.

#include <windows.h>

#include "common/handles.h"
#include "common/text.h"
#include "ui/widgets.h"

namespace ui::skin {

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

// Shared fonts, made on first use for each DPI; never null (falls back to the
// stock GUI font).
[[nodiscard]] HFONT Font(FontRole role, int dpi) noexcept;
// Height in pixels of a line of the font (tmHeight).
[[nodiscard]] int LineHeight(FontRole role, int dpi) noexcept;

// Makes the brushes answered to WM_CTLCOLOR*; once, when the layer starts.
void CreateSharedBrushes() noexcept;
// Those brushes: they live as long as the process.
[[nodiscard]] HBRUSH InputBrush(bool enabled) noexcept;

[[nodiscard]] inline int Scale(int value96, int dpi) noexcept { return MulDiv(value96, dpi, 96); }
// The rectangle in pixels; edges are scaled, so neighbours stay neighbours.
[[nodiscard]] RECT ScaleRect(Rect96 rect, int dpi) noexcept;
// The DPI Windows gives the window (96 when the system cannot tell).
[[nodiscard]] int WindowDpi(HWND window) noexcept;

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

}  // namespace ui::skin
