#pragma once
// The program's life on its window thread: the end routine, the orderly end
// with its hand-over from other threads, and the message loop. The runtime
// commands that every subsystem uses live in common/.

#include <windows.h>

namespace runtime {

// The end routine runs once, on the window thread, on every orderly end: after
// the message loop has ended (RunMessageLoop) or when EndProgram is called.
using EndRoutine = void (*)() noexcept;
void SetEndRoutine(EndRoutine routine) noexcept;

// Marks the calling thread as the window thread and names the window that an
// end requested on another thread is handed to.
void SetWindowThread(HWND mainWindow) noexcept;

// Orderly end: on the window thread, runs the end routine and exits the
// process with exitCode. On another thread the request is handed to the
// window thread, and the calling thread waits there until the process ends.
// Installed as the program's orderly end (common/orderly_end.h).
[[noreturn]] void EndProgram(UINT exitCode = 0) noexcept;

// Posted to the main window to hand it an end requested on another thread. It
// carries nothing: the request itself waits here, so a message that another
// process forges ends nothing.
inline constexpr UINT kEndRequestMessage = WM_APP + 0x3F0;

// For the main window on kEndRequestMessage: ends the program when an end was
// really requested on another thread; otherwise nothing happens.
void HandleEndRequest() noexcept;

// Runs the message loop of the calling thread until WM_QUIT, then the end
// routine; returns the exit code to give the process.
int RunMessageLoop() noexcept;

}  // namespace runtime
