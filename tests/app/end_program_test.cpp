// The orderly end on the window thread: an end asked for on another thread is
// handed over and runs the end routine there; a hand-over message that nobody
// asked for ends nothing. Each case ends a process of its own.
#include <gtest/gtest.h>

#include "app/runtime.h"
#include "common/start_thread.h"

namespace {

constexpr UINT kStartWorker = WM_APP + 1;
DWORD g_windowThread = 0;
UINT g_workerExitCode = 0;

// The end routine tells by its own exit code where it ran: 17 on the window
// thread, 99 elsewhere.
void EndRoutine() noexcept { ExitProcess(GetCurrentThreadId() == g_windowThread ? 17 : 99); }

DWORD WINAPI Worker(void*) noexcept { runtime::EndProgram(g_workerExitCode); }

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  if (message == runtime::kEndRequestMessage) {
    runtime::HandleEndRequest();
    return 0;
  }
  if (message == kStartWorker) {
    UniqueHandle thread = runtime::StartThread(Worker, nullptr);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// The window thread of a small program: forged hand-overs first, then a real
// end asked for by a worker thread.
[[noreturn]] void RunWindowThread(bool withEndRoutine) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "EndProgramTest";
  RegisterClassA(&windowClass);
  HWND window = CreateWindowExA(0, "EndProgramTest", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  g_windowThread = GetCurrentThreadId();
  if (withEndRoutine) runtime::SetEndRoutine(EndRoutine);
  runtime::SetWindowThread(window);
  for (WPARAM code : {0u, 3u, 42u}) PostMessageA(window, runtime::kEndRequestMessage, code, 0);
  PostMessageA(window, kStartWorker, 0, 0);
  runtime::RunMessageLoop();
  ExitProcess(55);  // the loop never ends by itself here
}

TEST(EndProgramDeathTest, AnEndFromAnotherThreadRunsTheEndRoutineOnTheWindowThread) {
  g_workerExitCode = 7;
  EXPECT_EXIT(RunWindowThread(true), testing::ExitedWithCode(17), "");
}

TEST(EndProgramDeathTest, AnEndFromAnotherThreadExitsWithItsCode) {
  g_workerExitCode = 7;
  EXPECT_EXIT(RunWindowThread(false), testing::ExitedWithCode(7), "");
}

}  // namespace
