#pragma once
// The parts of the combo box that the rest of the layer calls: its layout,
// which measures the system box, and the drawing of its list items, which
// reaches the container as WM_DRAWITEM / WM_MEASUREITEM.

#include <windows.h>

namespace ui::skin {

void LayoutCombo(HWND combo, const RECT& pixels, int dpi) noexcept;
void DrawComboItem(const DRAWITEMSTRUCT& item) noexcept;
[[nodiscard]] int ComboItemHeight(int dpi) noexcept;

}  // namespace ui::skin
