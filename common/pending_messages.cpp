#include "common/pending_messages.h"

#include <windows.h>

namespace runtime {

void ProcessPendingMessages() noexcept {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
    if (message.message == WM_QUIT) return;  // stays queued for the loop
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) return;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

}  // namespace runtime
