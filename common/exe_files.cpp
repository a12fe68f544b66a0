#include "common/exe_files.h"

#include <windows.h>

#include <vector>

#include "common/handles.h"

namespace runtime {
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
  UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  return WriteFile(file.get(), DataOrNull(data), static_cast<DWORD>(data.size()), &written, nullptr) &&
         written == data.size();
}

}  // namespace runtime
