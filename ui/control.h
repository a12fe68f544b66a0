#pragma once
// The control classes of the widget layer and what the layer keeps for each
// control window: its kind, its 96-DPI rectangle and its looks. Every kind's
// window procedure is made from ControlProcedure.

#include <windows.h>

#include <vector>

#include "common/text.h"
#include "ui/paint.h"
#include "ui/widgets.h"

namespace ui::skin {

enum class Kind { None, Frame, Tabs, Group, Picture, Label, Button, Radio, Edit, Combo, Count };

struct PageEntry {
  HWND control;
  int page;
};

// What the layer keeps for each control window; owned by the window from
// WM_NCCREATE to WM_NCDESTROY.
struct ControlState {
  Kind kind = Kind::None;
  Rect96 rect{};
  int dpi = 96;
  FontRole font = FontRole::Body;
  bool hover = false;
  bool trackingLeave = false;
  bool pressed = false;
  bool checked = false;
  Icon icon = Icon::Settings;
  // Tab container.
  std::vector<Text> pages;
  int currentPage = 0;
  int hotPage = -1;
  std::vector<PageEntry> pageEntries;
};

// Handed to CreateWindowExA as lpCreateParams; copied into the state at
// WM_NCCREATE so that messages during creation already know the DPI.
struct CreateInfo {
  Rect96 rect;
  int dpi;
  FontRole font;
};

// The module the classes are registered for; set once when the layer starts.
void SetInstance(HINSTANCE instance) noexcept;
[[nodiscard]] HINSTANCE Instance() noexcept;
[[nodiscard]] Kind KindOf(HWND window) noexcept;
// Null for windows that are not controls of the layer.
[[nodiscard]] ControlState* StateOf(HWND window) noexcept;
// The DPI of a window of the layer: the control's own, else the system's.
[[nodiscard]] int DpiOf(HWND window) noexcept;

// Class registration. The frame's class is recorded so that KindOf knows it.
[[nodiscard]] bool RegisterOwnClass(const char* name, WNDPROC procedure, Kind kind, UINT style,
                                    LPCSTR cursor) noexcept;
void RecordFrameClass(ATOM atom) noexcept;

// WM_NCCREATE and WM_NCDESTROY of every control: make and free the state; the
// form name goes with the window.
[[nodiscard]] bool AttachState(HWND window, Kind kind, LPARAM createStruct) noexcept;
void DetachState(HWND window) noexcept;

using BaseProcedure = LRESULT (*)(HWND, UINT, WPARAM, LPARAM) noexcept;
using StateProcedure = LRESULT (*)(HWND, ControlState&, UINT, WPARAM, LPARAM) noexcept;
inline LRESULT CallDefault(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  return DefWindowProcA(window, message, wParam, lParam);
}

// The window procedure of one control kind: the control's state is made at
// WM_NCCREATE and freed at WM_NCDESTROY, and every message in between goes to
// the kind's handler; messages without a state go to the base procedure (the
// default one, or the system class's for a superclass).
template <Kind kKind, StateProcedure kHandle, BaseProcedure kBase = CallDefault>
LRESULT CALLBACK ControlProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  if (message == WM_NCCREATE) {
    if (!AttachState(window, kKind, lParam)) return FALSE;
    const LRESULT created = kBase(window, message, wParam, lParam);
    if (!created) DetachState(window);
    return created;
  }
  if (message == WM_NCDESTROY) {
    const LRESULT done = kBase(window, message, wParam, lParam);
    DetachState(window);
    return done;
  }
  ControlState* state = StateOf(window);
  if (!state) return kBase(window, message, wParam, lParam);
  return kHandle(window, *state, message, wParam, lParam);
}

// A superclass keeps a system class's behaviour (typing, lists, the standard
// messages) under a skin of ours. The system class's procedure, recorded when
// the kind was registered:
[[nodiscard]] WNDPROC SystemProcedure(Kind kind) noexcept;
[[nodiscard]] bool RegisterSuperclass(const char* systemClass, const char* name, WNDPROC procedure,
                                      Kind kind) noexcept;

// The system class's handling of a message, for a superclass kind.
template <Kind kKind>
LRESULT CallSystemClass(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  return CallWindowProcA(SystemProcedure(kKind), window, message, wParam, lParam);
}

// Registers kind kKind as a superclass of systemClass named name: its handler
// sees every message of a control with a state and passes on to the system
// class what it leaves.
template <Kind kKind, StateProcedure kHandle>
[[nodiscard]] bool RegisterSuperclassOf(const char* systemClass, const char* name) noexcept {
  return RegisterSuperclass(systemClass, name, ControlProcedure<kKind, kHandle, CallSystemClass<kKind>>, kKind);
}

// WM_ENABLE of a control: a WM_ENABLE sent from outside (another process may
// send one) makes the window's own state follow it. True when it did so; the
// nested WM_ENABLE of EnableWindow then does the rest.
[[nodiscard]] bool FollowEnable(HWND window, WPARAM enable) noexcept;

using PaintProcedure = void (*)(HWND, const ControlState&) noexcept;

// The messages a self-drawn control's kind leaves: it repaints when enabled,
// disabled or given a new text, paints without erasing first (the paint
// covers the whole control), and hands the rest to the default procedure.
template <PaintProcedure kPaint>
LRESULT SelfDrawnDefault(HWND window, ControlState& state, UINT message, WPARAM wParam,
                         LPARAM lParam) noexcept {
  switch (message) {
    case WM_ENABLE:
      if (FollowEnable(window, wParam)) return 0;
      InvalidateRect(window, nullptr, FALSE);
      return 0;
    case WM_SETTEXT: {
      const LRESULT done = DefWindowProcA(window, message, wParam, lParam);
      InvalidateRect(window, nullptr, FALSE);
      return done;
    }
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: kPaint(window, state); return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
  }
}

// Hover tracking for WM_MOUSEMOVE / WM_MOUSELEAVE; true when the state changed.
bool TrackHover(HWND window, ControlState& state) noexcept;
bool EndHover(ControlState& state) noexcept;

// Creates a child control of the layer at its 96-DPI rectangle and gives it
// its form name and font. Null on failure.
[[nodiscard]] HWND CreateControl(const char* className, DWORD style, DWORD exStyle, HWND parent,
                                 const char* formName, int id, Rect96 rect, const char* text,
                                 FontRole font) noexcept;
// Puts a control where its 96-DPI rectangle says, at this DPI, with its font.
void Layout(HWND control, int dpi) noexcept;
// Every control below root, after a DPI change.
void LayoutDescendants(HWND root, int dpi) noexcept;

// The colour behind a control: panel white inside a group, the window colour
// elsewhere.
[[nodiscard]] COLORREF BackgroundBehind(HWND control) noexcept;

}  // namespace ui::skin
