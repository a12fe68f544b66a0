#pragma once
// The program's runtime commands: message boxes, the orderly end with its end
// routine, where the executable lives, whole-file writes, INI access and the
// processing of pending window messages.

#include <windows.h>

#include "common/handles.h"
#include "common/text.h"

namespace runtime {

inline constexpr const char* kDefaultCaption = "信息：";

// Button indexes that ShowMessage answers with.
inline constexpr int kButtonOk = 0;
inline constexpr int kButtonCancel = 1;

// A message box with no owner window, task-modal unless the style asks for
// system-modal; it waits until the user closes it. The result is the index of
// the pressed button: OK 0, Cancel 1 (Abort 2, Retry 3, Ignore 4, Yes 5, No 6).
int ShowMessage(const Text& text, UINT style = MB_OK, const Text& caption = kDefaultCaption) noexcept;

// The end routine runs once, on the window thread, on every orderly end: after
// the message loop has ended (RunMessageLoop) or when EndProgram is called.
using EndRoutine = void (*)() noexcept;
void SetEndRoutine(EndRoutine routine) noexcept;

// Marks the calling thread as the window thread and names the window that an
// end requested on another thread is handed to.
void SetWindowThread(HWND mainWindow) noexcept;

// CreateThread with default security and stack, running at once; the thread
// id is not kept. An empty handle when the thread cannot be created.
using ThreadRoutine = DWORD(WINAPI*)(void* parameter);
[[nodiscard]] UniqueHandle StartThread(ThreadRoutine routine, void* parameter) noexcept;

// Posted to the main window to hand it an orderly end (wParam: exit code);
// its window procedure passes it to EndProgram.
inline constexpr UINT kEndRequestMessage = WM_APP + 0x3F0;

// Orderly end: on the window thread, runs the end routine and exits the
// process with exitCode. On another thread the request is handed to the
// window thread, and the calling thread waits there until the process ends.
[[noreturn]] void EndProgram(UINT exitCode = 0) noexcept;

// Runs the message loop of the calling thread until WM_QUIT, then the end
// routine; returns the exit code to give the process.
int RunMessageLoop() noexcept;

// Dispatches every message waiting for the calling thread; a WM_QUIT stays
// queued and ends the processing.
void ProcessPendingMessages() noexcept;

// The directory of the executable without a trailing backslash, and the
// executable's file name alone.
[[nodiscard]] Text ExeDirectory();
[[nodiscard]] Text ExeFileName();

// Replaces the file with exactly these bytes; false when it cannot.
[[nodiscard]] bool WriteWholeFile(const Text& path, const Bytes& data) noexcept;

// The Windows profile functions in their ANSI forms. ReadIni reads at most
// bufferSize - 1 bytes of the value.
[[nodiscard]] Text ReadIni(const Text& path, const Text& section, const Text& key,
                           const Text& defaultValue, DWORD bufferSize);
void WriteIni(const Text& path, const Text& section, const Text& key, const Text& value) noexcept;

}  // namespace runtime
