#include "app/runtime.h"

namespace runtime {
namespace {

EndRoutine g_endRoutine = nullptr;
LONG g_endRoutineRan = 0;
DWORD g_windowThreadId = 0;
HWND g_mainWindow = nullptr;

// An end requested on another thread: 0 none, 1 being filed, 2 filed with its code.
enum : LONG { kNoEndRequest = 0, kEndRequestFiling = 1, kEndRequestFiled = 2 };
LONG g_endRequest = kNoEndRequest;
UINT g_requestedExitCode = 0;

void RunEndRoutineOnce() noexcept {
  if (InterlockedExchange(&g_endRoutineRan, 1) == 0 && g_endRoutine) g_endRoutine();
}

bool IsWindowThread() noexcept { return g_windowThreadId == GetCurrentThreadId(); }

}  // namespace

void SetEndRoutine(EndRoutine routine) noexcept { g_endRoutine = routine; }

void SetWindowThread(HWND mainWindow) noexcept {
  g_windowThreadId = GetCurrentThreadId();
  g_mainWindow = mainWindow;
}

void EndProgram(UINT exitCode) noexcept {
  if (g_windowThreadId == 0 || IsWindowThread()) {
    RunEndRoutineOnce();
    ExitProcess(exitCode);
  }
  // The end routine belongs to the window thread. The first request is filed
  // here and the window told; posted to the window rather than the thread, so
  // that a modal loop on the window thread (a message box) dispatches it too.
  if (InterlockedCompareExchange(&g_endRequest, kEndRequestFiling, kNoEndRequest) == kNoEndRequest) {
    g_requestedExitCode = exitCode;
    InterlockedExchange(&g_endRequest, kEndRequestFiled);
    // A full queue empties; a window that is gone means the loop, and with it
    // the process, is ending anyway.
    while (!PostMessageA(g_mainWindow, kEndRequestMessage, 0, 0) && IsWindow(g_mainWindow)) Sleep(10);
  }
  for (;;) Sleep(INFINITE);
}

void HandleEndRequest() noexcept {
  if (!IsWindowThread()) return;
  if (InterlockedCompareExchange(&g_endRequest, kEndRequestFiled, kEndRequestFiled) == kEndRequestFiled) {
    EndProgram(g_requestedExitCode);
  }
}

int RunMessageLoop() noexcept {
  MSG message;
  int result;
  while ((result = GetMessageA(&message, nullptr, 0, 0)) != 0) {
    if (result == -1) break;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  RunEndRoutineOnce();
  return result == -1 ? 0 : static_cast<int>(message.wParam);
}

}  // namespace runtime
