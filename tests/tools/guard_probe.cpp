// A window program that asks the instance guard whether it is the first.
//   --name N          the event name (empty when omitted)
//   --show-message    the guard shows its message box in a later instance
//   --message TEXT    the text of that box (the default text when omitted)
//   --activate        the guard brings the running instance to the front
// As the program does, it creates its window "守卫探针" hidden and calls the
// guard before showing it. When the guard returns, the event name in use is
// written to guard_name.txt beside the exe and the window shows with the title
// "守卫探针:首个"; WM_CLOSE then ends with exit code 0.
#include <windows.h>

#include <cstring>
#include <string>

#include "instance/instance_guard.h"
#include "tests/tools/tool_window.h"

namespace {

void WriteBesideExe(const char* fileName, const std::string& contents) {
  char path[MAX_PATH];
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string target(path, n);
  target = target.substr(0, target.find_last_of('\\') + 1) + fileName;
  HANDLE file = CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr);
  CloseHandle(file);
}

}  // namespace

int main(int argc, char** argv) {
  Text name;
  bool showMessage = false;
  bool activate = false;
  bool messageGiven = false;
  Text message;
  for (int i = 1; i < argc; ++i) {
    if (!strcmp(argv[i], "--name") && i + 1 < argc) name = argv[++i];
    else if (!strcmp(argv[i], "--message") && i + 1 < argc) message = argv[++i], messageGiven = true;
    else if (!strcmp(argv[i], "--show-message")) showMessage = true;
    else if (!strcmp(argv[i], "--activate")) activate = true;
  }

  HWND window = tool_window::Create("GuardProbe", "守卫探针", 0, WS_OVERLAPPEDWINDOW, 120, 120, 320, 160);

  InstanceGuard(name, showMessage, messageGiven ? &message : nullptr, 0, activate);

  WriteBesideExe("guard_name.txt", name);
  SetWindowTextA(window, "守卫探针:首个");
  ShowWindow(window, SW_SHOW);
  return tool_window::RunMessageLoop();
}
