// The picture-box group: a white rounded panel holding other controls. It is
// enabled and disabled as a whole, with all its children.
#include "ui/classes.h"
#include "ui/container.h"
#include "ui/control.h"

namespace ui {
namespace {

using namespace skin;

constexpr int kRadius96 = 8;

void EnableChildren(HWND group, bool enable) noexcept {
  for (HWND child = GetWindow(group, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    EnableWindow(child, enable ? TRUE : FALSE);
  }
}

void Paint(HWND group, const ControlState& state) noexcept {
  PaintBuffer paint(group);
  HDC dc = paint.dc();
  const RECT& client = paint.rect();
  FillRectColor(dc, client, BackgroundBehind(group));
  // The bottom-right edge of RoundRect is exclusive: the border stays inside.
  RoundRectColor(dc, client, Scale(kRadius96, state.dpi), color::kPanel, color::kPanelBorder);
}

LRESULT HandleGroup(HWND window, ControlState& state, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  LRESULT result = 0;
  if (HandleContainerMessage(window, message, wParam, lParam, result)) return result;
  switch (message) {
    case WM_ENABLE:
      // EnableWindow on the group lands here too; a WM_ENABLE sent from
      // outside first makes the group itself follow.
      if (FollowEnable(window, wParam)) return 0;
      EnableChildren(window, wParam != 0);
      InvalidateRect(window, nullptr, FALSE);
      return 0;
    default: break;
  }
  return SelfDrawnDefault<Paint>(window, state, message, wParam, lParam);
}

}  // namespace

bool skin::RegisterGroupClass() noexcept {
  return RegisterOwnClass(kGroupClass, ControlProcedure<Kind::Group, HandleGroup>, Kind::Group, CS_HREDRAW | CS_VREDRAW, IDC_ARROW);
}

HWND CreateGroup(HWND parent, const char* formName, int id, Rect96 rect) noexcept {
  return CreateControl(kGroupClass, WS_CLIPCHILDREN | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT, parent, formName, id,
                       rect, "", FontRole::Body);
}

}  // namespace ui
