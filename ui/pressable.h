#pragma once
// Mouse and keyboard of a push-style control (button, radio button): hover,
// press with capture, click on release inside, Space, and BM_CLICK.

#include <windows.h>

#include "ui/control.h"

namespace ui::skin {

// What a click does; runs when the control is clicked while enabled.
using ClickAction = void (*)(HWND control) noexcept;

// True when the message was one of a pressable control's, with its result.
[[nodiscard]] bool HandlePressable(HWND control, ControlState& state, UINT message, WPARAM wParam, LPARAM lParam,
                                   ClickAction click, LRESULT& result) noexcept;

// WM_COMMAND BN_CLICKED to the control's parent.
void NotifyClicked(HWND control) noexcept;

}  // namespace ui::skin
