// The layer's start-up: the shared brushes and every window class.
#include <windows.h>
#include <commctrl.h>

#include "ui/classes.h"
#include "ui/control.h"
#include "ui/paint.h"
#include "ui/widgets.h"

namespace ui {

bool Initialize(HINSTANCE instance) noexcept {
  static bool initialized = false;
  if (initialized) return true;
  skin::SetInstance(instance);

  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_STANDARD_CLASSES;
  InitCommonControlsEx(&controls);
  skin::CreateSharedBrushes();

  if (!FrameWindow::RegisterFrameClass() || !skin::RegisterTabsClass() || !skin::RegisterGroupClass() ||
      !skin::RegisterPictureClass() || !skin::RegisterLabelClass() || !skin::RegisterButtonClass() ||
      !skin::RegisterRadioClass() || !skin::RegisterEditClass() || !skin::RegisterComboClass()) {
    return false;
  }
  initialized = true;
  return true;
}

}  // namespace ui
