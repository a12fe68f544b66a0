#include "ui/control.h"

#include <memory>
#include <new>

#include "ui/combo.h"
#include "ui/form_name.h"

namespace ui::skin {
namespace {

HINSTANCE g_instance = nullptr;
ATOM g_atoms[static_cast<int>(Kind::Count)] = {};
int g_stateOffset[static_cast<int>(Kind::Count)] = {};
WNDPROC g_systemProcedures[static_cast<int>(Kind::Count)] = {};

BOOL CALLBACK LayoutProc(HWND window, LPARAM dpi) noexcept {
  if (StateOf(window)) Layout(window, static_cast<int>(dpi));
  return TRUE;
}

}  // namespace

void SetInstance(HINSTANCE instance) noexcept { g_instance = instance; }

HINSTANCE Instance() noexcept { return g_instance; }

Kind KindOf(HWND window) noexcept {
  if (!window) return Kind::None;
  const ATOM atom = static_cast<ATOM>(GetClassWord(window, GCW_ATOM));
  if (!atom) return Kind::None;
  for (int i = 1; i < static_cast<int>(Kind::Count); ++i) {
    if (g_atoms[i] == atom) return static_cast<Kind>(i);
  }
  return Kind::None;
}

ControlState* StateOf(HWND window) noexcept {
  const Kind kind = KindOf(window);
  if (kind == Kind::None || kind == Kind::Frame) return nullptr;
  return reinterpret_cast<ControlState*>(GetWindowLongPtrA(window, g_stateOffset[static_cast<int>(kind)]));
}

int DpiOf(HWND window) noexcept {
  if (const ControlState* state = StateOf(window)) return state->dpi;
  return WindowDpi(window);
}

bool RegisterOwnClass(const char* name, WNDPROC procedure, Kind kind, UINT style, LPCSTR cursor) noexcept {
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = style;
  windowClass.lpfnWndProc = procedure;
  windowClass.cbWndExtra = sizeof(LONG_PTR);
  windowClass.hInstance = g_instance;
  windowClass.hCursor = LoadCursorA(nullptr, cursor);
  windowClass.lpszClassName = name;
  const ATOM atom = RegisterClassExA(&windowClass);
  if (!atom) return false;
  g_atoms[static_cast<int>(kind)] = atom;
  g_stateOffset[static_cast<int>(kind)] = 0;
  return true;
}

WNDPROC SystemProcedure(Kind kind) noexcept { return g_systemProcedures[static_cast<int>(kind)]; }

bool RegisterSuperclass(const char* systemClass, const char* name, WNDPROC procedure, Kind kind) noexcept {
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  if (!GetClassInfoExA(nullptr, systemClass, &windowClass)) return false;
  g_systemProcedures[static_cast<int>(kind)] = windowClass.lpfnWndProc;
  const int offset = windowClass.cbWndExtra;
  windowClass.cbWndExtra += sizeof(LONG_PTR);
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = g_instance;
  windowClass.lpszClassName = name;
  windowClass.lpszMenuName = nullptr;
  windowClass.hbrBackground = nullptr;
  // Our own frame is painted around the control; the parent's clipping would
  // let the system paint over it.
  windowClass.style &= ~(CS_PARENTDC | CS_GLOBALCLASS);
  const ATOM atom = RegisterClassExA(&windowClass);
  if (!atom) return false;
  g_atoms[static_cast<int>(kind)] = atom;
  g_stateOffset[static_cast<int>(kind)] = offset;
  return true;
}

void RecordFrameClass(ATOM atom) noexcept { g_atoms[static_cast<int>(Kind::Frame)] = atom; }

bool AttachState(HWND window, Kind kind, LPARAM createStruct) noexcept {
  std::unique_ptr<ControlState> state(new (std::nothrow) ControlState{});
  if (!state) return false;
  state->kind = kind;
  const auto* create = reinterpret_cast<const CREATESTRUCTA*>(createStruct);
  if (create && create->lpCreateParams) {
    const auto* info = static_cast<const CreateInfo*>(create->lpCreateParams);
    state->rect = info->rect;
    state->dpi = info->dpi;
    state->font = info->font;
  } else {
    state->dpi = WindowDpi(create ? create->hwndParent : nullptr);
  }
  SetWindowLongPtrA(window, g_stateOffset[static_cast<int>(kind)], reinterpret_cast<LONG_PTR>(state.release()));
  return true;
}

void DetachState(HWND window) noexcept {
  RemoveFormName(window);
  const Kind kind = KindOf(window);
  if (kind == Kind::None || kind == Kind::Frame) return;
  const int offset = g_stateOffset[static_cast<int>(kind)];
  std::unique_ptr<ControlState> state(reinterpret_cast<ControlState*>(GetWindowLongPtrA(window, offset)));
  SetWindowLongPtrA(window, offset, 0);
}

bool FollowEnable(HWND window, WPARAM enable) noexcept {
  const bool wanted = enable != 0;
  if ((IsWindowEnabled(window) != FALSE) == wanted) return false;
  EnableWindow(window, wanted ? TRUE : FALSE);
  return true;
}

bool TrackHover(HWND window, ControlState& state) noexcept {
  if (!state.trackingLeave) {
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof track;
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = window;
    state.trackingLeave = TrackMouseEvent(&track) != FALSE;
  }
  if (state.hover) return false;
  state.hover = true;
  return true;
}

bool EndHover(ControlState& state) noexcept {
  state.trackingLeave = false;
  if (!state.hover) return false;
  state.hover = false;
  return true;
}

HWND CreateControl(const char* className, DWORD style, DWORD exStyle, HWND parent, const char* formName, int id,
                   Rect96 rect, const char* text, FontRole font) noexcept {
  if (!parent) return nullptr;
  CreateInfo info{rect, DpiOf(parent), font};
  const RECT pixels = ScaleRect(rect, info.dpi);
  HWND window = CreateWindowExA(exStyle, className, text ? text : "", WS_CHILD | WS_VISIBLE | style, pixels.left,
                                pixels.top, pixels.right - pixels.left, pixels.bottom - pixels.top, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), g_instance, &info);
  if (!window) return nullptr;
  SetFormName(window, formName);
  Layout(window, info.dpi);
  return window;
}

void Layout(HWND control, int dpi) noexcept {
  ControlState* state = StateOf(control);
  if (!state) return;
  state->dpi = dpi;
  const RECT pixels = ScaleRect(state->rect, dpi);
  if (state->kind == Kind::Combo) {
    LayoutCombo(control, pixels, dpi);
  } else {
    if (state->kind == Kind::Edit) {
      SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(Font(state->font, dpi)), FALSE);
      const int margin = Scale(1, dpi);
      SendMessageA(control, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(margin, margin));
    }
    // FRAMECHANGED: the edit box's inner padding depends on the DPI.
    SetWindowPos(control, nullptr, pixels.left, pixels.top, pixels.right - pixels.left, pixels.bottom - pixels.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  }
  InvalidateRect(control, nullptr, TRUE);
}

void LayoutDescendants(HWND root, int dpi) noexcept {
  EnumChildWindows(root, LayoutProc, static_cast<LPARAM>(dpi));
}

COLORREF BackgroundBehind(HWND control) noexcept {
  return KindOf(GetParent(control)) == Kind::Group ? color::kPanel : color::kWindow;
}

}  // namespace ui::skin
