// A small window program for proving the end-to-end fixture.
//   (no arguments)  a window "探针窗口" with an edit box and a button "写文件";
//                   the button writes the edit text to probe.txt beside the exe;
//                   WM_CLOSE ends with exit code 0
//   --exit N        ends at once with exit code N, no window
//   --ignore-close  the window does not close on WM_CLOSE
//   --spawn         also starts a second copy of itself with --ignore-close
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr int kButtonId = 101;
bool g_ignoreClose = false;
HWND g_edit = nullptr;

std::string ExeFolder() {
  char path[MAX_PATH];
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, n);
  return folder.substr(0, folder.find_last_of('\\') + 1);
}

void WriteEditText() {
  char text[256] = {};
  GetWindowTextA(g_edit, text, sizeof text);
  const std::string path = ExeFolder() + "probe.txt";
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, text, static_cast<DWORD>(strlen(text)), &written, nullptr);
  CloseHandle(file);
}

LRESULT CALLBACK ProbeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wParam) == kButtonId && HIWORD(wParam) == BN_CLICKED) WriteEditText();
      return 0;
    case WM_CLOSE:
      if (!g_ignoreClose) DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void SpawnCopy() {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string command = std::string("\"") + path + "\" --ignore-close";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                     &process)) {
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (!strcmp(argv[i], "--exit") && i + 1 < argc) return atoi(argv[i + 1]);
    if (!strcmp(argv[i], "--ignore-close")) g_ignoreClose = true;
    if (!strcmp(argv[i], "--spawn")) SpawnCopy();
  }
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = ProbeProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "ProbeWindow";
  windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
  RegisterClassA(&windowClass);
  HWND window = CreateWindowExA(0, "ProbeWindow", "探针窗口", WS_OVERLAPPEDWINDOW, 100, 100, 320, 160,
                                nullptr, nullptr, windowClass.hInstance, nullptr);
  g_edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 200, 24, window,
                           nullptr, windowClass.hInstance, nullptr);
  CreateWindowExA(0, "BUTTON", "写文件", WS_CHILD | WS_VISIBLE, 10, 44, 100, 28, window,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kButtonId)), windowClass.hInstance, nullptr);
  ShowWindow(window, SW_SHOW);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}
