#pragma once
// Form names inside the layer: each window's name leaves with the window.

#include <windows.h>

namespace ui::skin {

// Removes the window's form name and deletes its atom; for WM_NCDESTROY.
void RemoveFormName(HWND window) noexcept;

}  // namespace ui::skin
