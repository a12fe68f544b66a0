// Shows one page of the running program's window: select_page.exe N.
// Used by the screenshot script; ends with 0 when the page was selected.
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>

#include "ui/widgets.h"

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const int page = atoi(argv[1]);
  for (int attempt = 0; attempt < 200; ++attempt) {
    if (HWND frame = FindWindowA(ui::kFrameClass, nullptr)) {
      if (HWND tabs = ui::FindByFormName(frame, "选择夹EX1")) {
        SendMessageA(tabs, TCM_SETCURSEL, static_cast<WPARAM>(page), 0);
        RedrawWindow(frame, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        return SendMessageA(tabs, TCM_GETCURSEL, 0, 0) == page ? 0 : 1;
      }
    }
    Sleep(50);
  }
  return 1;
}
