#include "tests/e2e/program_under_test.h"

#include <algorithm>
#include <atomic>

namespace {

void RemoveTree(const Text& folder) {
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const Text name = entry.cFileName;
      if (name == "." || name == "..") continue;
      const Text path = folder + "\\" + name;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
      }
    } while (FindNextFileA(search, &entry));
    FindClose(search);
  }
  RemoveDirectoryA(folder.c_str());
}

struct WindowSearch {
  DWORD processId;
  const char* className;
  const Text* text;
  HWND found;
};

BOOL CALLBACK VisitTopWindow(HWND window, LPARAM context) noexcept {
  auto* s = reinterpret_cast<WindowSearch*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != s->processId || !IsWindowVisible(window)) return TRUE;
  if (s->className && WindowClass(window) != s->className) return TRUE;
  s->found = window;
  return FALSE;
}

BOOL CALLBACK VisitChildWindow(HWND window, LPARAM context) noexcept {
  auto* s = reinterpret_cast<WindowSearch*>(context);
  if (s->className && WindowClass(window) != s->className) return TRUE;
  if (WindowText(window) != *s->text) return TRUE;
  s->found = window;
  return FALSE;
}

Text BaseName(const Text& path) {
  const auto slash = path.find_last_of("\\/");
  return slash == Text::npos ? path : path.substr(slash + 1);
}

}  // namespace

Text WindowsPathOf(const Text& unixPath) {
  Text path = "Z:" + unixPath;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

ProgramUnderTest::ProgramUnderTest(const Text& sourceExe, const Text& exeName) {
  static std::atomic<int> counter{0};
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  folder_ = Text(temp) + "e2e_" + IntToText(static_cast<std::int32_t>(GetCurrentProcessId())) + "_" +
            IntToText(++counter) + "_" + IntToText(static_cast<std::int32_t>(GetTickCount()));
  CreateDirectoryA(folder_.c_str(), nullptr);
  exePath_ = PathOf(exeName.empty() ? BaseName(sourceExe) : exeName);
  CopyFileA(sourceExe.c_str(), exePath_.c_str(), FALSE);

  job_.reset(CreateJobObjectA(nullptr, nullptr));
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  SetInformationJobObject(job_.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits);
}

ProgramUnderTest::~ProgramUnderTest() {
  KillAll();
  // Files stay locked for a moment after their process has gone.
  for (int attempt = 0; attempt < 50; ++attempt) {
    RemoveTree(folder_);
    if (GetFileAttributesA(folder_.c_str()) == INVALID_FILE_ATTRIBUTES) break;
    Sleep(100);
  }
}

bool ProgramUnderTest::WriteFile(const Text& fileName, const Text& contents) const {
  UniqueFile file(CreateFileA(PathOf(fileName).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  return ::WriteFile(file.get(), contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr) &&
         written == contents.size();
}

std::optional<Text> ProgramUnderTest::ReadFile(const Text& fileName) const {
  UniqueFile file(CreateFileA(PathOf(fileName).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr));
  if (!file) return std::nullopt;
  Text contents;
  char buffer[4096];
  DWORD read = 0;
  while (::ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) {
    contents.append(buffer, read);
  }
  return contents;
}

bool ProgramUnderTest::FileExists(const Text& fileName) const {
  return GetFileAttributesA(PathOf(fileName).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool ProgramUnderTest::Start(const Text& arguments) {
  Text command = "\"" + exePath_ + "\"";
  if (!arguments.empty()) command += " " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  // Suspended until it is in the job, so that nothing it starts escapes.
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                      folder_.c_str(), &startup, &info)) {
    return false;
  }
  UniqueHandle thread(info.hThread);
  UniqueHandle process(info.hProcess);
  AssignProcessToJobObject(job_.get(), process.get());
  ResumeThread(thread.get());
  processId_ = info.dwProcessId;
  HANDLE duplicate = nullptr;
  DuplicateHandle(GetCurrentProcess(), process.get(), GetCurrentProcess(), &duplicate, 0, FALSE,
                  DUPLICATE_SAME_ACCESS);
  started_.emplace_back(duplicate);
  process_ = std::move(process);
  return true;
}

HWND FindTopWindowOf(DWORD processId, const char* className) {
  WindowSearch search{processId, className, nullptr, nullptr};
  EnumWindows(VisitTopWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND ProgramUnderTest::WaitForWindow(DWORD timeoutMs, const char* className) const {
  if (!processId_) return nullptr;
  HWND found = nullptr;
  (void)WaitUntil(timeoutMs, [&] {
    found = FindTopWindowOf(processId_, className);
    return found != nullptr;
  });
  return found;
}

bool StartHostCommand(const Text& unixCommandLine) {
  // Wine runs a Unix executable named by a path on its Z: drive.
  Text command = "Z:" + unixCommandLine;
  const auto end = command.find(' ');
  for (std::size_t i = 0; i < std::min(end, command.size()); ++i) {
    if (command[i] == '/') command[i] = '\\';
  }
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    return false;
  }
  if (info.hThread) CloseHandle(info.hThread);
  if (info.hProcess) CloseHandle(info.hProcess);
  return true;
}

std::optional<DWORD> ProgramUnderTest::WaitForExit(DWORD timeoutMs) const {
  if (!process_) return std::nullopt;
  if (WaitForSingleObject(process_.get(), timeoutMs) != WAIT_OBJECT_0) return std::nullopt;
  DWORD code = 0;
  GetExitCodeProcess(process_.get(), &code);
  return code;
}

void ProgramUnderTest::KillAll() {
  if (job_) TerminateJobObject(job_.get(), 1);
  // The job covers the processes started by the program too; the direct ones
  // are also ended one by one in case the job could not take them.
  for (const UniqueHandle& process : started_) {
    if (WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT) TerminateProcess(process.get(), 1);
    WaitForSingleObject(process.get(), 5000);
  }
}

Text WindowText(HWND window) {
  const LRESULT length = SendMessageA(window, WM_GETTEXTLENGTH, 0, 0);
  Text text(static_cast<std::size_t>(length) + 1, '\0');
  const LRESULT copied = SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(copied));
  return text;
}

Text WindowClass(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

HWND FindDescendant(HWND parent, const char* className, const Text& text) {
  WindowSearch search{0, className, &text, nullptr};
  EnumChildWindows(parent, VisitChildWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}
