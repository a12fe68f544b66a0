// Stands in for a new version of the program in the update tests: writes
// "started.txt" beside itself, holding its own file name, and ends.
#include <windows.h>

#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return 1;
  char* name = std::strrchr(path, '\\');
  if (!name) return 1;
  ++name;
  char marker[MAX_PATH];
  const std::size_t folderLength = static_cast<std::size_t>(name - path);
  std::memcpy(marker, path, folderLength);
  std::strcpy(marker + folderLength, "started.txt");
  HANDLE file = CreateFileA(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  const BOOL wrote = WriteFile(file, name, static_cast<DWORD>(std::strlen(name)), &written, nullptr);
  CloseHandle(file);
  return wrote ? 0 : 1;
}
