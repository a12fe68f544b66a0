// The picture box: a small icon drawn with GDI, so no resources are needed.
#include <algorithm>

#include "ui/classes.h"
#include "ui/control.h"

namespace ui {
namespace {

using namespace skin;

// Icons are drawn in a square of this size (96 DPI), centred in the box.
constexpr int kIconSize96 = 18;

void DrawGear(HDC dc, int cx, int cy, int size, COLORREF ink, COLORREF paper, int dpi) noexcept {
  const int teeth = size / 2;
  const int tooth = std::max(2, Scale(3, dpi));
  // Eight teeth: the axes and the diagonals.
  const int d = teeth * 7 / 10;
  LineColor(dc, cx - teeth, cy, cx + teeth, cy, tooth, ink);
  LineColor(dc, cx, cy - teeth, cx, cy + teeth, tooth, ink);
  LineColor(dc, cx - d, cy - d, cx + d, cy + d, tooth, ink);
  LineColor(dc, cx - d, cy + d, cx + d, cy - d, tooth, ink);
  const int body = size * 7 / 20;
  EllipseColor(dc, RECT{cx - body, cy - body, cx + body + 1, cy + body + 1}, ink, ink);
  const int hole = std::max(2, size / 7);
  EllipseColor(dc, RECT{cx - hole, cy - hole, cx + hole + 1, cy + hole + 1}, paper, paper);
}

void DrawPointer(HDC dc, const RECT& box, COLORREF ink) noexcept {
  const int w = box.right - box.left;
  const int h = box.bottom - box.top;
  auto at = [&](int px, int py) { return POINT{box.left + w * px / 20, box.top + h * py / 20}; };
  const POINT arrow[] = {at(4, 1), at(4, 17), at(8, 13), at(11, 19), at(14, 18), at(11, 12), at(16, 12)};
  SelectScope pen(dc, GetStockObject(DC_PEN));
  SelectScope brush(dc, GetStockObject(DC_BRUSH));
  SetDCPenColor(dc, ink);
  SetDCBrushColor(dc, ink);
  Polygon(dc, arrow, static_cast<int>(sizeof arrow / sizeof arrow[0]));
}

void DrawCrosshair(HDC dc, int cx, int cy, int size, COLORREF ink, COLORREF paper, int dpi) noexcept {
  const int radius = size * 7 / 20;
  const int pen = std::max(1, Scale(2, dpi));
  UniqueGdiObject<HPEN> ring(CreatePen(PS_SOLID, pen, ink));
  if (ring) {
    SelectScope selectPen(dc, ring.get());
    SelectScope selectBrush(dc, GetStockObject(DC_BRUSH));
    SetDCBrushColor(dc, paper);
    Ellipse(dc, cx - radius, cy - radius, cx + radius + 1, cy + radius + 1);
  }
  const int arm = size / 2;
  LineColor(dc, cx - arm, cy, cx - radius / 3, cy, pen, ink);
  LineColor(dc, cx + radius / 3 + 1, cy, cx + arm + 1, cy, pen, ink);
  LineColor(dc, cx, cy - arm, cx, cy - radius / 3, pen, ink);
  LineColor(dc, cx, cy + radius / 3 + 1, cx, cy + arm + 1, pen, ink);
  const int dot = std::max(1, size / 10);
  EllipseColor(dc, RECT{cx - dot, cy - dot, cx + dot + 1, cy + dot + 1}, ink, ink);
}

void DrawKeyboard(HDC dc, const RECT& box, COLORREF ink, COLORREF paper, int dpi) noexcept {
  const int w = box.right - box.left;
  const int h = box.bottom - box.top;
  const RECT body{box.left, box.top + h * 4 / 20, box.right, box.top + h * 17 / 20};
  RoundRectColor(dc, body, Scale(3, dpi), ink, ink);
  const int key = std::max(2, w / 9);
  const int gap = std::max(1, (w - 2 * Scale(2, dpi) - 4 * key) / 5);
  const int rowTop = body.top + Scale(3, dpi);
  for (int row = 0; row < 2; ++row) {
    for (int column = 0; column < 4; ++column) {
      const int left = body.left + Scale(2, dpi) + gap + column * (key + gap);
      const int top = rowTop + row * (key + gap);
      FillRectColor(dc, RECT{left, top, left + key, top + key}, paper);
    }
  }
  const int spaceTop = rowTop + 2 * (key + gap);
  FillRectColor(dc, RECT{body.left + w / 4, spaceTop, body.right - w / 4, std::min<int>(spaceTop + key, body.bottom - 1)},
                paper);
}

void DrawInfo(HDC dc, int cx, int cy, int size, COLORREF ink, COLORREF paper, int dpi) noexcept {
  const int radius = size / 2;
  EllipseColor(dc, RECT{cx - radius, cy - radius, cx + radius + 1, cy + radius + 1}, ink, ink);
  const int stem = std::max(2, Scale(2, dpi));
  const int dot = std::max(2, Scale(2, dpi));
  FillRectColor(dc, RECT{cx - dot / 2, cy - radius / 2 - dot, cx - dot / 2 + dot, cy - radius / 2}, paper);
  FillRectColor(dc, RECT{cx - stem / 2, cy - radius / 5, cx - stem / 2 + stem, cy + radius / 2 + 1}, paper);
}

void DrawIcon(HDC dc, const RECT& box, Icon icon, bool enabled, COLORREF paper, int dpi) noexcept {
  const COLORREF ink = enabled ? color::kAccent : color::kDisabledText;
  const int size = std::min({Scale(kIconSize96, dpi), static_cast<int>(box.right - box.left),
                             static_cast<int>(box.bottom - box.top)});
  const int cx = (box.left + box.right) / 2;
  const int cy = (box.top + box.bottom) / 2;
  const RECT square{cx - size / 2, cy - size / 2, cx - size / 2 + size, cy - size / 2 + size};
  switch (icon) {
    case Icon::Settings: DrawGear(dc, cx, cy, size, ink, paper, dpi); break;
    case Icon::Pointer: DrawPointer(dc, square, ink); break;
    case Icon::Crosshair: DrawCrosshair(dc, cx, cy, size, ink, paper, dpi); break;
    case Icon::Keyboard: DrawKeyboard(dc, square, ink, paper, dpi); break;
    case Icon::Info: DrawInfo(dc, cx, cy, size, ink, paper, dpi); break;
  }
}

void Paint(HWND picture, const ControlState& state) noexcept {
  PaintBuffer paint(picture);
  const COLORREF paper = BackgroundBehind(picture);
  FillRectColor(paint.dc(), paint.rect(), paper);
  DrawIcon(paint.dc(), paint.rect(), state.icon, IsWindowEnabled(picture) != FALSE, paper, state.dpi);
}
}  // namespace

bool skin::RegisterPictureClass() noexcept {
  return RegisterOwnClass(kPictureClass, ControlProcedure<Kind::Picture, SelfDrawnDefault<Paint>>, Kind::Picture, CS_HREDRAW | CS_VREDRAW, IDC_ARROW);
}

HWND CreatePicture(HWND parent, const char* formName, int id, Rect96 rect, Icon icon) noexcept {
  HWND picture = CreateControl(kPictureClass, 0, 0, parent, formName, id, rect, "", FontRole::Body);
  if (ControlState* state = StateOf(picture)) {
    state->icon = icon;
    InvalidateRect(picture, nullptr, FALSE);
  }
  return picture;
}

}  // namespace ui
