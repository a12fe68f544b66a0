#pragma once
// Cursor position, synthetic mouse clicks and sleeping. Stateless; any thread.

#include <cstdint>

// 0 left click, 1 left double-click, 2 right click, 3 right double-click;
// any other value is a left click.
using ClickKind = std::int32_t;
inline constexpr ClickKind kLeftClick = 0;
inline constexpr ClickKind kLeftDoubleClick = 1;
inline constexpr ClickKind kRightClick = 2;
inline constexpr ClickKind kRightDoubleClick = 3;

// The cursor's screen position, asked anew on every call; 0 when unknown.
[[nodiscard]] std::int32_t CursorX() noexcept;
[[nodiscard]] std::int32_t CursorY() noexcept;

// Puts the cursor on (x, y) and sends the button events of the kind there,
// back to back. The events act at the point the cursor was set to.
void SimulateClick(std::int32_t x, std::int32_t y, ClickKind kind) noexcept;

// Sleep(ms); a negative ms only yields the rest of the time slice.
void SleepMs(std::int32_t ms) noexcept;
