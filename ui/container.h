#pragma once
// Message routing of the layer's containers (frame, tab container, group):
// they answer for the looks of their child controls and pass notifications up
// to the frame.

#include <windows.h>

namespace ui::skin {

// WM_CTLCOLOR*, WM_DRAWITEM and WM_MEASUREITEM of the layer's controls, for any
// container. False when the message is not about one of them.
[[nodiscard]] bool HandleChildSkinMessage(HWND container, UINT message, WPARAM wParam, LPARAM lParam,
                                          LRESULT& result) noexcept;
// The same, and WM_COMMAND / WM_NOTIFY passed on to the container's parent;
// for tab containers and groups.
[[nodiscard]] bool HandleContainerMessage(HWND container, UINT message, WPARAM wParam, LPARAM lParam,
                                          LRESULT& result) noexcept;

}  // namespace ui::skin
