// The label: one line of text on the colour of its container. Taller labels
// are headings.
#include "ui/classes.h"
#include "ui/control.h"

namespace ui {
namespace {

using namespace skin;

// A label this tall (96 DPI) or taller is drawn as a heading.
constexpr int kHeadingHeight96 = 24;

void Paint(HWND label, const ControlState& state) noexcept {
  PaintBuffer paint(label);
  HDC dc = paint.dc();
  FillRectColor(dc, paint.rect(), BackgroundBehind(label));
  TextBuffer text;
  ReadWindowText(label, text);
  const bool enabled = IsWindowEnabled(label) != FALSE;
  const bool heading = state.font == FontRole::Heading;
  const COLORREF textColor = !enabled ? color::kDisabledText : (heading ? color::kHeading : color::kText);
  DrawTextIn(dc, text.text, text.length, paint.rect(), Font(state.font, state.dpi), textColor,
             DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS);
}


}  // namespace

bool skin::RegisterLabelClass() noexcept {
  return RegisterOwnClass(kLabelClass, ControlProcedure<Kind::Label, SelfDrawnDefault<Paint>>, Kind::Label, CS_HREDRAW | CS_VREDRAW, IDC_ARROW);
}

HWND CreateLabel(HWND parent, const char* formName, int id, Rect96 rect, const Text& caption) noexcept {
  const FontRole font = rect.height >= kHeadingHeight96 ? FontRole::Heading : FontRole::Body;
  return CreateControl(kLabelClass, 0, 0, parent, formName, id, rect, caption.c_str(), font);
}

}  // namespace ui
