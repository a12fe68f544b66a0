#include "common/message_box.h"

namespace runtime {
namespace {

int ButtonIndex(int id) noexcept {
  switch (id) {
    case IDOK: return kButtonOk;
    case IDCANCEL: return kButtonCancel;
    case IDABORT: return 2;
    case IDRETRY: return 3;
    case IDIGNORE: return 4;
    case IDYES: return 5;
    case IDNO: return 6;
    default: return -1;
  }
}

}  // namespace

int ShowMessage(const Text& text, UINT style, const Text& caption, HWND owner) noexcept {
  if (!(style & MB_SYSTEMMODAL)) style |= MB_TASKMODAL;
  return ButtonIndex(MessageBoxA(owner, text.c_str(), caption.c_str(), style));
}

}  // namespace runtime
