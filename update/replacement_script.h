#pragma once
// Up.bat: puts a downloaded update in place of the program once the program
// has ended, starts it and deletes itself.

#include "common/text.h"

inline constexpr const char* kUpdateFileName = "Update.file";
inline constexpr const char* kReplacementScriptName = "Up.bat";
// How long the script waits, in one-second steps, for the old executable to
// become replaceable; after that it gives up and both files stay.
inline constexpr int kReplacementWaitSeconds = 30;

// The script's text (code page 936, CR LF lines) for the program file
// exeFileName in exeDirectory (no trailing backslash).
[[nodiscard]] Text ReplacementScript(const Text& exeDirectory, const Text& exeFileName,
                                     int waitSeconds = kReplacementWaitSeconds);

// Writes the script beside the program, replacing an older one, and starts
// it; false when either step fails.
[[nodiscard]] bool StartReplacementScript(const Text& exeDirectory, const Text& exeFileName,
                                          int waitSeconds = kReplacementWaitSeconds) noexcept;
