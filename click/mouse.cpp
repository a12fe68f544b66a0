#include "click/mouse.h"

#include <windows.h>

namespace {

void SendButton(DWORD flags, std::int32_t x, std::int32_t y) noexcept {
  // No MOVE or ABSOLUTE flag: the coordinates move nothing.
  mouse_event(flags, static_cast<DWORD>(x), static_cast<DWORD>(y), 0, 0);
}

void SendPair(DWORD down, DWORD up, std::int32_t x, std::int32_t y) noexcept {
  SendButton(down, x, y);
  SendButton(up, x, y);
}

}  // namespace

std::int32_t CursorX() noexcept {
  POINT point{};
  return GetCursorPos(&point) ? static_cast<std::int32_t>(point.x) : 0;
}

std::int32_t CursorY() noexcept {
  POINT point{};
  return GetCursorPos(&point) ? static_cast<std::int32_t>(point.y) : 0;
}

void SimulateClick(std::int32_t x, std::int32_t y, ClickKind kind) noexcept {
  SetCursorPos(x, y);
  switch (kind) {
    case kLeftDoubleClick:
      SendPair(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, x, y);
      SendPair(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, x, y);
      break;
    case kRightClick:
      SendPair(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, x, y);
      break;
    case kRightDoubleClick:
      SendPair(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, x, y);
      SendPair(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, x, y);
      break;
    default:
      SendPair(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, x, y);
      break;
  }
}

void SleepMs(std::int32_t ms) noexcept { Sleep(ms < 0 ? 0 : static_cast<DWORD>(ms)); }
