#pragma once
// Starts a Windows program in a fresh folder of its own, so that the files it
// writes beside itself (config.ini and the like) land there, and cleans up
// every process it started, and the folder, however the test ends.

#include <windows.h>

#include <optional>
#include <vector>

#include "common/handles.h"
#include "common/text.h"

// The Windows path of a file that the build put at a Linux path.
Text WindowsPathOf(const Text& unixPath);

class ProgramUnderTest {
 public:
  // Copies sourceExe into a new folder under %TEMP%, as exeName when given.
  explicit ProgramUnderTest(const Text& sourceExe, const Text& exeName = {});
  ~ProgramUnderTest();
  ProgramUnderTest(const ProgramUnderTest&) = delete;
  ProgramUnderTest& operator=(const ProgramUnderTest&) = delete;

  [[nodiscard]] const Text& folder() const { return folder_; }
  [[nodiscard]] const Text& exePath() const { return exePath_; }
  [[nodiscard]] Text PathOf(const Text& fileName) const { return folder_ + "\\" + fileName; }

  // Files beside the program.
  [[nodiscard]] bool WriteFile(const Text& fileName, const Text& contents) const;
  [[nodiscard]] std::optional<Text> ReadFile(const Text& fileName) const;
  [[nodiscard]] bool FileExists(const Text& fileName) const;

  // Starts one more process of the program; every process started is kept in
  // a job that is killed at the end. Returns false when it cannot start.
  [[nodiscard]] bool Start(const Text& arguments = {});
  [[nodiscard]] DWORD processId() const { return processId_; }
  [[nodiscard]] HANDLE process() const { return process_.get(); }

  // The first visible top-level window of the last started process, of the
  // given class when one is named; null when none appears in time.
  [[nodiscard]] HWND WaitForWindow(DWORD timeoutMs, const char* className = nullptr) const;

  // The exit code of the last started process, or nothing if it is still
  // running after timeoutMs.
  [[nodiscard]] std::optional<DWORD> WaitForExit(DWORD timeoutMs) const;

  // Ends every process of the job now.
  void KillAll();

 private:
  Text folder_;
  Text exePath_;
  UniqueHandle job_;
  UniqueHandle process_;
  DWORD processId_ = 0;
  std::vector<UniqueHandle> started_;
};

// Starts a program of the Linux host (such as xdotool) with Wine's
// environment. Wine gives no handle to wait on: callers wait for its effect.
[[nodiscard]] bool StartHostCommand(const Text& unixCommandLine);

// The first visible top-level window of the process with this class.
[[nodiscard]] HWND FindTopWindowOf(DWORD processId, const char* className);

// Window helpers for driving a program from outside.
[[nodiscard]] Text WindowText(HWND window);
[[nodiscard]] Text WindowClass(HWND window);
// The first descendant of parent of the class (any when null) with this text.
[[nodiscard]] HWND FindDescendant(HWND parent, const char* className, const Text& text);
// Waits until predicate() holds, pumping this thread's messages; false on time-out.
template <typename Predicate>
[[nodiscard]] bool WaitUntil(DWORD timeoutMs, Predicate predicate) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    if (predicate()) return true;
    if (GetTickCount64() >= deadline) return false;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    Sleep(10);
  }
}
