// The program's entry: sets up the process, shows the main window and runs
// the message loop until the window is closed.
#include <windows.h>

#include "app/main_window.h"
#include "app/runtime.h"
#include "common/orderly_end.h"
#include "common/text.h"
#include "update/download_tasks.h"

namespace {

// Runs once on every orderly end, on the window thread.
void EndRoutine() noexcept { FreeDownloadTaskRegistry(); }

// The manifest asks for per-monitor DPI awareness; this covers a host that
// ignores the manifest's setting.
void BecomeDpiAware() noexcept {
  using SetContext = BOOL(WINAPI*)(HANDLE);
  HMODULE user32 = GetModuleHandleA("user32.dll");
  if (!user32) return;
  auto setContext = reinterpret_cast<SetContext>(
      reinterpret_cast<void*>(GetProcAddress(user32, "SetProcessDpiAwarenessContext")));
  if (setContext) setContext(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4)));  // per monitor v2
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  BecomeDpiAware();
  if (!ui::Initialize(instance)) return 1;
  CreateDownloadTaskRegistry();
  runtime::SetEndRoutine(EndRoutine);
  runtime::SetOrderlyEnd(runtime::EndProgram);
  ProcessCodePage = 936;

  static MainWindow window;  // lives until the process ends
  if (!window.Create("飞梭助手", MainWindow::kScreenRect)) return 1;
  runtime::SetWindowThread(window.hwnd());
  window.OnWindowCreated();  // shows the window when this is the only instance
  runtime::RunMessageLoop();
  return 0;
}
