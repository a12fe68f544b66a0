#pragma once
// config.ini beside the executable: the program's only persistent state.
// Every read and every write goes to the file at once; values are kept
// exactly as typed.

#include "common/text.h"

// The directory of the executable followed by "\config.ini".
[[nodiscard]] Text SettingsPath();

// The value of section/key, or defaultValue when the file, section or key is
// missing. Leading characters 1 to 32 of the path, section and key are
// skipped; when one of them is then empty the result is empty. A value longer
// than the 10240-byte buffer comes back cut to fit.
[[nodiscard]] Text ReadSetting(const Text& section, const Text& key, const Text& defaultValue);

// Writes section/key = value; a failed write is not reported.
void WriteSetting(const Text& section, const Text& key, const Text& value) noexcept;

// Section and key names, and the defaults of the keys.
namespace settings {
inline constexpr const char* kClickSection = "设置";
inline constexpr const char* kIntervalKey = "点击间隔";
inline constexpr const char* kCountKey = "点击次数";
inline constexpr const char* kButtonKey = "按键";
inline constexpr const char* kXKey = "X坐标";
inline constexpr const char* kYKey = "Y坐标";
inline constexpr const char* kHotkeySection = "快捷键";
inline constexpr const char* kToggleKey = "操作热键";

inline constexpr const char* kDefaultInterval = "1000";
inline constexpr const char* kDefaultCount = "100000";
inline constexpr const char* kDefaultButton = "0";
inline constexpr const char* kDefaultCoordinate = "-1";
inline constexpr const char* kDefaultToggleKey = "113";
}  // namespace settings
