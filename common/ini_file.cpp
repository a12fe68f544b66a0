#include "common/ini_file.h"

#include <algorithm>
#include <vector>

namespace runtime {

Text ReadIni(const Text& path, const Text& section, const Text& key, const Text& defaultValue, DWORD bufferSize) {
  if (bufferSize == 0) return {};
  std::vector<char> buffer(bufferSize, 0);
  const DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(), buffer.data(),
                                           bufferSize, path.c_str());
  return Text(buffer.data(), std::min<DWORD>(n, bufferSize - 1));
}

void WriteIni(const Text& path, const Text& section, const Text& key, const Text& value) noexcept {
  WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path.c_str());
}

}  // namespace runtime
