#include "ui/paint.h"

#include <cstring>
#include <utility>

namespace ui::skin {
namespace {

struct FontEntry {
  FontRole role;
  int dpi;
  UniqueGdiObject<HFONT> font;
  int lineHeight;
};
// A handful of roles times the DPIs the window has met.
constexpr int kFontCacheSize = 32;
FontEntry g_fonts[kFontCacheSize];
int g_fontCount = 0;

UniqueGdiObject<HBRUSH> g_inputBrush;
UniqueGdiObject<HBRUSH> g_inputDisabledBrush;

struct FontStyle {
  int pixels96;
  int weight;
};

FontStyle StyleOf(FontRole role) noexcept {
  switch (role) {
    case FontRole::Heading: return {15, FW_BOLD};
    case FontRole::Tab: return {13, FW_NORMAL};
    case FontRole::Caption: return {13, FW_NORMAL};
    case FontRole::Body:
    case FontRole::Count: break;
  }
  return {12, FW_NORMAL};
}

FontEntry* FindFont(FontRole role, int dpi) noexcept {
  for (int i = 0; i < g_fontCount; ++i) {
    if (g_fonts[i].role == role && g_fonts[i].dpi == dpi) return &g_fonts[i];
  }
  if (g_fontCount == kFontCacheSize) return nullptr;
  const FontStyle style = StyleOf(role);
  UniqueGdiObject<HFONT> font(CreateFontA(-Scale(style.pixels96, dpi), 0, 0, 0, style.weight, FALSE, FALSE,
                                          FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                          CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_DONTCARE, kFontFace));
  if (!font) return nullptr;
  int lineHeight = Scale(style.pixels96 + 4, dpi);
  {
    WindowDc screen(nullptr, false);
    if (screen.get()) {
      SelectScope select(screen.get(), font.get());
      TEXTMETRICA metrics{};
      if (GetTextMetricsA(screen.get(), &metrics)) lineHeight = metrics.tmHeight;
    }
  }
  FontEntry& entry = g_fonts[g_fontCount++];
  entry.role = role;
  entry.dpi = dpi;
  entry.font = std::move(font);
  entry.lineHeight = lineHeight;
  return &entry;
}

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);

GetDpiForWindowFunction DpiForWindowFunction() noexcept {
  static const GetDpiForWindowFunction function = [] {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    FARPROC address = user32 ? GetProcAddress(user32, "GetDpiForWindow") : nullptr;
    // Through void(*)(): the one function type every other may be cast from.
    return reinterpret_cast<GetDpiForWindowFunction>(reinterpret_cast<void (*)()>(address));
  }();
  return function;
}

}  // namespace

HFONT Font(FontRole role, int dpi) noexcept {
  if (FontEntry* entry = FindFont(role, dpi)) return entry->font.get();
  return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

int LineHeight(FontRole role, int dpi) noexcept {
  if (FontEntry* entry = FindFont(role, dpi)) return entry->lineHeight;
  return Scale(StyleOf(role).pixels96 + 4, dpi);
}

void CreateSharedBrushes() noexcept {
  if (!g_inputBrush) g_inputBrush.reset(CreateSolidBrush(color::kWhite));
  if (!g_inputDisabledBrush) g_inputDisabledBrush.reset(CreateSolidBrush(color::kInputDisabled));
}

HBRUSH InputBrush(bool enabled) noexcept {
  const UniqueGdiObject<HBRUSH>& brush = enabled ? g_inputBrush : g_inputDisabledBrush;
  return brush ? brush.get() : static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
}

RECT ScaleRect(Rect96 rect, int dpi) noexcept {
  return RECT{Scale(rect.x, dpi), Scale(rect.y, dpi), Scale(rect.x + rect.width, dpi),
              Scale(rect.y + rect.height, dpi)};
}

int WindowDpi(HWND window) noexcept {
  if (GetDpiForWindowFunction function = DpiForWindowFunction(); function && window) {
    const UINT dpi = function(window);
    if (dpi) return static_cast<int>(dpi);
  }
  WindowDc screen(nullptr, false);
  const int dpi = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
  return dpi > 0 ? dpi : 96;
}

void ReadWindowText(HWND window, TextBuffer& buffer) noexcept {
  buffer.length = GetWindowTextA(window, buffer.text, sizeof buffer.text);
  if (buffer.length < 0) buffer.length = 0;
  buffer.text[buffer.length] = '\0';
}

PaintBuffer::PaintBuffer(HWND window) noexcept : window_(window) {
  BeginPaint(window, &paint_);
  GetClientRect(window, &client_);
  if (!paint_.hdc || client_.right <= 0 || client_.bottom <= 0) return;
  memory_.reset(CreateCompatibleDC(paint_.hdc));
  if (!memory_) return;
  bitmap_.reset(CreateCompatibleBitmap(paint_.hdc, client_.right, client_.bottom));
  if (!bitmap_) {
    memory_.reset();
    return;
  }
  oldBitmap_ = SelectObject(memory_.get(), bitmap_.get());
}

PaintBuffer::~PaintBuffer() {
  if (memory_) {
    BitBlt(paint_.hdc, 0, 0, client_.right, client_.bottom, memory_.get(), 0, 0, SRCCOPY);
    SelectObject(memory_.get(), oldBitmap_);
  }
  memory_.reset();
  bitmap_.reset();
  EndPaint(window_, &paint_);
}

void FillRectColor(HDC dc, const RECT& rect, COLORREF color) noexcept {
  const COLORREF old = SetDCBrushColor(dc, color);
  FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  SetDCBrushColor(dc, old);
}

void RoundRectColor(HDC dc, const RECT& rect, int radius, COLORREF fill, COLORREF border) noexcept {
  SelectScope pen(dc, GetStockObject(DC_PEN));
  SelectScope brush(dc, GetStockObject(DC_BRUSH));
  SetDCPenColor(dc, border);
  SetDCBrushColor(dc, fill);
  RoundRect(dc, rect.left, rect.top, rect.right, rect.bottom, radius * 2, radius * 2);
}

void EllipseColor(HDC dc, const RECT& rect, COLORREF fill, COLORREF border) noexcept {
  SelectScope pen(dc, GetStockObject(DC_PEN));
  SelectScope brush(dc, GetStockObject(DC_BRUSH));
  SetDCPenColor(dc, border);
  SetDCBrushColor(dc, fill);
  Ellipse(dc, rect.left, rect.top, rect.right, rect.bottom);
}

void LineColor(HDC dc, int x1, int y1, int x2, int y2, int width, COLORREF color) noexcept {
  UniqueGdiObject<HPEN> pen(CreatePen(PS_SOLID, width, color));
  if (!pen) return;
  SelectScope select(dc, pen.get());
  MoveToEx(dc, x1, y1, nullptr);
  LineTo(dc, x2, y2);
}

void DrawTextIn(HDC dc, const char* text, int length, RECT rect, HFONT font, COLORREF color, UINT format) noexcept {
  SelectScope select(dc, font);
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  const COLORREF oldColor = SetTextColor(dc, color);
  DrawTextA(dc, text, length, &rect, format | DT_NOPREFIX);
  SetTextColor(dc, oldColor);
  SetBkMode(dc, oldMode);
}

SIZE MeasureText(HDC dc, const char* text, HFONT font) noexcept {
  SelectScope select(dc, font);
  SIZE size{};
  GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &size);
  return size;
}

}  // namespace ui::skin
