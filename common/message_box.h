#pragma once
// The program's message box: task-modal, answered with a button index.

#include <windows.h>

#include "common/text.h"

namespace runtime {

inline constexpr const char* kDefaultCaption = "信息：";

// Button indexes that ShowMessage answers with.
inline constexpr int kButtonOk = 0;
inline constexpr int kButtonCancel = 1;

// A message box, task-modal unless the style asks for system-modal, with no
// owner window unless one is given (which it then disables); it waits until
// the user closes it. The result is the index of the pressed button: OK 0,
// Cancel 1 (Abort 2, Retry 3, Ignore 4, Yes 5, No 6), -1 when the box could
// not be shown.
int ShowMessage(const Text& text, UINT style = MB_OK, const Text& caption = kDefaultCaption,
                HWND owner = nullptr) noexcept;

}  // namespace runtime
