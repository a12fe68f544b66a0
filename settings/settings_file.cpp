#include "settings/settings_file.h"

#include "common/exe_files.h"
#include "common/ini_file.h"

namespace {

constexpr DWORD kValueBufferSize = 10240;

Text SkipLeadingControls(const Text& text) {
  std::size_t i = 0;
  while (i < text.size() && static_cast<unsigned char>(text[i]) >= 1 &&
         static_cast<unsigned char>(text[i]) <= 32) {
    ++i;
  }
  return text.substr(i);
}

}  // namespace

Text SettingsPath() { return runtime::ExeDirectory() + "\\config.ini"; }

Text ReadSetting(const Text& section, const Text& key, const Text& defaultValue) {
  const Text path = SkipLeadingControls(SettingsPath());
  const Text trimmedSection = SkipLeadingControls(section);
  const Text trimmedKey = SkipLeadingControls(key);
  if (path.empty() || trimmedSection.empty() || trimmedKey.empty()) return {};
  return runtime::ReadIni(path, trimmedSection, trimmedKey, defaultValue, kValueBufferSize);
}

void WriteSetting(const Text& section, const Text& key, const Text& value) noexcept {
  runtime::WriteIni(SettingsPath(), section, key, value);
}
