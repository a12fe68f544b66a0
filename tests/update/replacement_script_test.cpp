// The text of Up.bat: what it changes to, what it waits for, what it moves
// where, what it starts, and that names are quoted so that cmd takes them
// literally.
#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <vector>

#include "common/exe_files.h"
#include "common/handles.h"
#include "tests/e2e/program_under_test.h"
#include "update/replacement_script.h"

namespace {

std::vector<Text> Lines(const Text& script) {
  std::vector<Text> lines;
  std::size_t start = 0;
  while (start < script.size()) {
    const std::size_t end = script.find("\r\n", start);
    EXPECT_NE(end, Text::npos) << "every line ends in CR LF";
    if (end == Text::npos) break;
    lines.push_back(script.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

bool HasLine(const std::vector<Text>& lines, const Text& line) {
  for (const Text& each : lines) {
    if (each == line) return true;
  }
  return false;
}

TEST(ReplacementScript, MovesTheUpdateOverTheProgramInItsFolderAndStartsIt) {
  const auto lines = Lines(ReplacementScript("C:\\工具\\飞梭", "飞梭助手.exe"));
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(), "@echo off");
  EXPECT_TRUE(HasLine(lines, "cd /d \"C:\\工具\\飞梭\""));
  EXPECT_TRUE(HasLine(lines, "move /y \"Update.file\" \"飞梭助手.exe\" >nul 2>nul"));
  EXPECT_TRUE(HasLine(lines, "if not exist \"Update.file\" goto started"));
  EXPECT_TRUE(HasLine(lines, "start \"\" \"飞梭助手.exe\""));
  EXPECT_EQ(lines.back(), "del \"%~f0\" & exit");
}

TEST(ReplacementScript, WaitsAboutThirtySecondsAtMostThenKeepsBothFiles) {
  const auto lines = Lines(ReplacementScript("C:\\a", "b.exe"));
  EXPECT_TRUE(HasLine(lines, "if %tries% geq 30 goto end"));
  EXPECT_TRUE(HasLine(lines, "ping -n 2 127.0.0.1 >nul 2>nul"));
  EXPECT_TRUE(HasLine(lines, "goto replace"));
  // Giving up skips the start and only deletes the script.
  const Text script = ReplacementScript("C:\\a", "b.exe");
  EXPECT_LT(script.find("start \"\""), script.find(":end"));
}

TEST(ReplacementScript, KeepsARenamedProgramsNameAndEscapesPercent) {
  const auto lines = Lines(ReplacementScript("C:\\100% 工具 & more", "my clicker %PATH%.exe"));
  EXPECT_TRUE(HasLine(lines, "cd /d \"C:\\100%% 工具 & more\""));
  EXPECT_TRUE(HasLine(lines, "move /y \"Update.file\" \"my clicker %%PATH%%.exe\" >nul 2>nul"));
  EXPECT_TRUE(HasLine(lines, "start \"\" \"my clicker %%PATH%%.exe\""));
}

// The script at work under cmd, in a folder with a Chinese name: the
// program's file holds "old" until the script puts the payload (a small
// program that writes started.txt) over it.
class ReplacementScriptRun : public testing::Test {
 protected:
  ReplacementScriptRun() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    folder_ = Text(temp) + "飞梭 更新 " + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder_.c_str(), nullptr);
  }
  ~ReplacementScriptRun() override {
    for (const char* name : {kExe, "Update.file", "Up.bat", "started.txt"}) DeleteFileA(PathOf(name).c_str());
    RemoveDirectoryA(folder_.c_str());
  }
  void SetUp() override {
    ASSERT_TRUE(runtime::WriteWholeFile(PathOf(kExe), TextBytes("old")));
    ASSERT_TRUE(CopyFileA(WindowsPathOf(UPDATE_PAYLOAD_EXE).c_str(), PathOf("Update.file").c_str(), FALSE));
  }

  Text PathOf(const char* name) const { return folder_ + "\\" + name; }
  bool Exists(const char* name) const { return GetFileAttributesA(PathOf(name).c_str()) != INVALID_FILE_ATTRIBUTES; }
  std::optional<Text> Read(const char* name) const {
    UniqueFile file(CreateFileA(PathOf(name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                nullptr));
    if (!file) return std::nullopt;
    char buffer[256];
    DWORD read = 0;
    if (!ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr)) return std::nullopt;
    return Text(buffer, read);
  }

  static constexpr const char* kExe = "飞梭助手.exe";
  Text folder_;
};

TEST_F(ReplacementScriptRun, PutsTheUpdateInPlaceStartsItAndDeletesItself) {
  ASSERT_TRUE(StartReplacementScript(folder_, kExe));
  // The new version writes its name into started.txt; the script deletes itself.
  EXPECT_TRUE(WaitUntil(20000, [&] { return Read("started.txt") == Text(kExe); }))
      << "the new version did not start under the program's name";
  EXPECT_TRUE(WaitUntil(20000, [&] { return !Exists("Up.bat"); })) << "the script stayed";
  EXPECT_FALSE(Exists("Update.file"));
  EXPECT_NE(Read(kExe), Text("old"));
}

TEST_F(ReplacementScriptRun, GivesUpWhileTheProgramCannotBeReplacedAndKeepsBothFiles) {
  // Held open without sharing, as Windows holds a running executable.
  UniqueFile held(CreateFileA(PathOf(kExe).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(held);
  ASSERT_TRUE(runtime::WriteWholeFile(PathOf("Up.bat"), TextBytes(ReplacementScript(folder_, kExe, 2))));
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  Text command = "cmd.exe /c \"" + PathOf("Up.bat") + "\"";
  ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                             &startup, &process));
  UniqueHandle processHandle(process.hProcess);
  UniqueHandle threadHandle(process.hThread);
  ASSERT_EQ(WaitForSingleObject(process.hProcess, 30000), WAIT_OBJECT_0) << "the wait is not bounded";
  held.reset();
  EXPECT_EQ(Read(kExe), Text("old"));
  EXPECT_TRUE(Exists("Update.file"));
  EXPECT_FALSE(Exists("started.txt"));
  EXPECT_FALSE(Exists("Up.bat"));
}

}  // namespace
