#include "app/runtime.h"

#include <algorithm>
#include <vector>


namespace runtime {
namespace {

EndRoutine g_endRoutine = nullptr;
LONG g_endRoutineRan = 0;
DWORD g_windowThreadId = 0;
HWND g_mainWindow = nullptr;

void RunEndRoutineOnce() noexcept {
  if (InterlockedExchange(&g_endRoutineRan, 1) == 0 && g_endRoutine) g_endRoutine();
}

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

bool IsWindowThread() noexcept { return g_windowThreadId == GetCurrentThreadId(); }

}  // namespace

int ShowMessage(const Text& text, UINT style, const Text& caption) noexcept {
  if (!(style & MB_SYSTEMMODAL)) style |= MB_TASKMODAL;
  return ButtonIndex(MessageBoxA(nullptr, text.c_str(), caption.c_str(), style));
}

UniqueHandle StartThread(ThreadRoutine routine, void* parameter) noexcept {
  DWORD threadId = 0;
  return UniqueHandle(CreateThread(nullptr, 0, routine, parameter, 0, &threadId));
}

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
  // The end routine belongs to the window thread; this thread hands the
  // request over and waits for the process to end around it.
  // Posted to the window rather than the thread, so that a modal loop running
  // on the window thread (a message box) dispatches it too.
  if (!g_mainWindow || !PostMessageA(g_mainWindow, kEndRequestMessage, exitCode, 0)) {
    PostThreadMessageA(g_windowThreadId, kEndRequestMessage, exitCode, 0);
  }
  for (;;) Sleep(INFINITE);
}

int RunMessageLoop() noexcept {
  MSG message;
  int result;
  while ((result = GetMessageA(&message, nullptr, 0, 0)) != 0) {
    if (result == -1) break;
    if (message.message == kEndRequestMessage) EndProgram(static_cast<UINT>(message.wParam));
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  RunEndRoutineOnce();
  return result == -1 ? 0 : static_cast<int>(message.wParam);
}

void ProcessPendingMessages() noexcept {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
    if (message.message == WM_QUIT) return;  // stays queued for the loop
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) return;
    if (message.message == kEndRequestMessage) EndProgram(static_cast<UINT>(message.wParam));
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

namespace {

// The full path of the executable, however long.
Text ExePath() {
  std::vector<char> path(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) return Text(path.data(), n);
    path.resize(path.size() * 2);
  }
}

}  // namespace

Text ExeDirectory() {
  const Text path = ExePath();
  const auto slash = path.find_last_of('\\');
  return slash == Text::npos ? Text{} : path.substr(0, slash);
}

Text ExeFileName() {
  const Text path = ExePath();
  const auto slash = path.find_last_of('\\');
  return slash == Text::npos ? path : path.substr(slash + 1);
}

bool WriteWholeFile(const Text& path, const Bytes& data) noexcept {
  UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  return WriteFile(file.get(), DataOrNull(data), static_cast<DWORD>(data.size()), &written, nullptr) &&
         written == data.size();
}

Text ReadIni(const Text& path, const Text& section, const Text& key, const Text& defaultValue,
             DWORD bufferSize) {
  if (bufferSize == 0) return {};
  std::vector<char> buffer(bufferSize, 0);
  const DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(),
                                           buffer.data(), bufferSize, path.c_str());
  return Text(buffer.data(), std::min<DWORD>(n, bufferSize - 1));
}

void WriteIni(const Text& path, const Text& section, const Text& key, const Text& value) noexcept {
  WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path.c_str());
}

}  // namespace runtime
