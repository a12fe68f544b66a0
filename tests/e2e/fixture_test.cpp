// The fixture itself, proven on a small window program of ours.
#include <gtest/gtest.h>

#include "tests/e2e/program_under_test.h"

namespace {

const Text kProbe = WindowsPathOf(PROBE_WINDOW_EXE);

bool ProcessAlive(DWORD processId) {
  UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, processId));
  return process && WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT;
}

TEST(ProgramUnderTest, DrivesWindowByMessagesAndReadsItsFiles) {
  ProgramUnderTest program(kProbe, "探针.exe");
  ASSERT_TRUE(program.Start());
  HWND window = program.WaitForWindow(10000, "ProbeWindow");
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(WindowText(window), "探针窗口");

  HWND edit = FindDescendant(window, "Edit", "");
  HWND button = FindDescendant(window, "Button", "写文件");
  ASSERT_NE(edit, nullptr);
  ASSERT_NE(button, nullptr);
  const Text typed = "连点 123";
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed.c_str()));
  SendMessageA(button, BM_CLICK, 0, 0);
  EXPECT_EQ(program.ReadFile("probe.txt"), typed);

  PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.WaitForExit(10000), 0u);
}

TEST(ProgramUnderTest, ReportsExitCodeAndNoWindow) {
  ProgramUnderTest program(kProbe);
  ASSERT_TRUE(program.Start("--exit 7"));
  EXPECT_EQ(program.WaitForExit(10000), 7u);
  EXPECT_EQ(program.WaitForWindow(200), nullptr);
}

TEST(ProgramUnderTest, WaitForExitTimesOutWhileRunning) {
  ProgramUnderTest program(kProbe);
  ASSERT_TRUE(program.Start());
  ASSERT_NE(program.WaitForWindow(10000), nullptr);
  EXPECT_EQ(program.WaitForExit(100), std::nullopt);
}

TEST(ProgramUnderTest, CleanupEndsEveryProcessAndRemovesTheFolder) {
  DWORD direct = 0;
  Text folder;
  std::vector<DWORD> all;
  {
    ProgramUnderTest program(kProbe);
    folder = program.folder();
    ASSERT_TRUE(program.WriteFile("config.ini", "[设置]\r\n"));
    ASSERT_TRUE(program.Start("--ignore-close --spawn"));
    direct = program.processId();
    ASSERT_NE(program.WaitForWindow(10000), nullptr);
    // The copy it started must show up too before the fixture goes away.
    ASSERT_TRUE(WaitUntil(10000, [&] {
      all.clear();
      for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (WindowClass(w) == "ProbeWindow" && IsWindowVisible(w)) all.push_back(owner);
      }
      return all.size() >= 2;
    }));
    PostMessageA(program.WaitForWindow(0), WM_CLOSE, 0, 0);  // ignored by the program
  }
  EXPECT_FALSE(ProcessAlive(direct));
  for (DWORD processId : all) EXPECT_FALSE(ProcessAlive(processId)) << processId;
  EXPECT_EQ(GetFileAttributesA(folder.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(ProgramUnderTest, MissingProgramDoesNotStart) {
  ProgramUnderTest program(WindowsPathOf("/no/such/program.exe"));
  EXPECT_FALSE(program.Start());
  EXPECT_EQ(program.WaitForExit(0), std::nullopt);
}

}  // namespace
