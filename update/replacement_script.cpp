#include "update/replacement_script.h"

#include <windows.h>
#include <shellapi.h>

#include "common/exe_files.h"

namespace {

// A name inside double quotes in a batch file: only % is still special.
Text Quoted(const Text& name) {
  Text quoted = "\"";
  for (char c : name) {
    quoted += c;
    if (c == '%') quoted += '%';
  }
  return quoted + "\"";
}

}  // namespace

Text ReplacementScript(const Text& exeDirectory, const Text& exeFileName, int waitSeconds) {
  const Text exe = Quoted(exeFileName);
  const Text lines[] = {
      "@echo off",
      "rem Puts the downloaded update in place of the program once the program has ended.",
      // Plain error-level tests: not every cmd handles && and || alike.
      "cd /d " + Quoted(exeDirectory),
      "if errorlevel 1 goto end",
      "set tries=0",
      ":replace",
      // Windows refuses to replace a running executable; then both files stay.
      // The file's absence tells success: not every cmd sets the error level.
      "move /y " + Quoted(kUpdateFileName) + " " + exe + " >nul 2>nul",
      "if not exist " + Quoted(kUpdateFileName) + " goto started",
      "set /a tries+=1",
      "if %tries% geq " + std::to_string(waitSeconds) + " goto end",
      "ping -n 2 127.0.0.1 >nul 2>nul",
      "goto replace",
      ":started",
      "start \"\" " + exe,
      ":end",
      // Deletes this file and ends before cmd looks for a next line in it.
      "del \"%~f0\" & exit",
  };
  Text script;
  for (const Text& line : lines) script += line + "\r\n";
  return script;
}

bool StartReplacementScript(const Text& exeDirectory, const Text& exeFileName, int waitSeconds) noexcept {
  const Text scriptPath = exeDirectory + "\\" + kReplacementScriptName;
  const Text script = ReplacementScript(exeDirectory, exeFileName, waitSeconds);
  if (!runtime::WriteWholeFile(scriptPath, TextBytes(script))) return false;
  const HINSTANCE started =
      ::ShellExecuteA(nullptr, nullptr, scriptPath.c_str(), nullptr, exeDirectory.c_str(), SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(started) > 32;
}
