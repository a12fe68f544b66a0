#pragma once
// System-wide hotkeys of a window. The table lives in the window property
// "HOTKEYLIST"; while it has entries the window's procedure is replaced by
// HotkeyWindowProc, which hands each WM_HOTKEY to the handler of its id.
// Every call for a window is made on the thread that owns the window.

#include <windows.h>

#include <cstdint>

// A routine with the window-procedure signature; it receives the WM_HOTKEY.
using HotkeyHandler = LRESULT(CALLBACK*)(HWND, UINT, WPARAM, LPARAM);

struct HotkeyEntry {
  HWND window;
  std::int32_t id;  // dispatch and removal go by this field alone
  HotkeyHandler handler;
};

struct HotkeyTable {
  std::int32_t count;       // entries in use
  WNDPROC savedProcedure;   // the window's procedure before ours; null until installed
  HotkeyEntry* entries;     // at least count entries; null while none was ever added
};

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(HotkeyEntry) == 12, "three 32-bit fields");
#endif

inline constexpr char kHotkeyListProperty[] = "HOTKEYLIST";

// Registers vk with the modifiers (MOD_ flags) under id, replacing any earlier
// hotkey of that id. False when id is 0 or the key is taken; the earlier hotkey
// of the id is gone in that case too.
[[nodiscard]] bool AddHotkey(HWND window, UINT modifiers, UINT vk, HotkeyHandler handler,
                             std::int32_t id) noexcept;

// Unregisters id and drops its entry: the result of UnregisterHotKey, or false
// when the id is not in the table. Removing the last entry restores the
// window's own procedure and removes the property.
[[nodiscard]] bool RemoveHotkey(HWND window, std::int32_t id) noexcept;

// Unregisters every hotkey of the window, restores its procedure and removes
// the table. For the window's destroying handler.
void ClearHotkeys(HWND window) noexcept;

LRESULT CALLBACK HotkeyWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
