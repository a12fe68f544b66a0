// A second start of the real program while the first one runs.
#include "tests/e2e/main_window_fixture.h"

namespace {

using SecondInstanceTest = MainWindowTest;

TEST_F(SecondInstanceTest, ActivatesTheFirstAndEndsWithoutTouchingAnything) {
  const Text config = "[设置]\r\n点击次数=0\r\n";
  ASSERT_NO_FATAL_FAILURE(Launch(config));
  const DWORD first = program_.processId();
  const HANDLE firstProcess = program_.process();
  HANDLE firstCopy = nullptr;
  DuplicateHandle(GetCurrentProcess(), firstProcess, GetCurrentProcess(), &firstCopy, 0, FALSE,
                  DUPLICATE_SAME_ACCESS);
  UniqueHandle firstHandle(firstCopy);
  ShowWindow(frame_, SW_MINIMIZE);
  ASSERT_TRUE(WaitUntil(5000, [&] { return IsIconic(frame_) != FALSE; }));

  ASSERT_TRUE(program_.Start());
  EXPECT_EQ(program_.WaitForExit(10000), 0u);
  EXPECT_TRUE(WaitUntil(5000, [&] { return IsIconic(frame_) == FALSE; })) << "first instance not restored";
  EXPECT_EQ(WaitForSingleObject(firstHandle.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_EQ(program_.ReadFile("config.ini"), config);

  // The first instance still owns its hotkeys.
  PressKey("F2");
  (void)first;
  ASSERT_TRUE(WaitUntil(10000, [&] { return TextOf("按钮_开关连点") == "停止连点"; }));
  ASSERT_TRUE(WaitIdle(10000));
}

TEST_F(SecondInstanceTest, NeverShowsAWindowOfItsOwn) {
  ASSERT_NO_FATAL_FAILURE(Launch());
  const DWORD first = program_.processId();
  ASSERT_TRUE(program_.Start());
  const DWORD second = program_.processId();
  // Watched closely until it has ended: any visible top-level window counts.
  HWND seen = nullptr;
  Text seenClass;
  const ULONGLONG deadline = GetTickCount64() + 10000;
  while (WaitForSingleObject(program_.process(), 0) == WAIT_TIMEOUT && GetTickCount64() < deadline) {
    if (!seen && (seen = FindTopWindowOf(second, nullptr)) != nullptr) seenClass = WindowClass(seen);
  }
  EXPECT_EQ(program_.WaitForExit(0), 0u);
  EXPECT_EQ(seen, nullptr) << "a window of class " << seenClass;
  EXPECT_NE(FindTopWindowOf(first, ui::kFrameClass), nullptr) << "the first instance must still show its window";
}

TEST_F(SecondInstanceTest, AfterTheFirstEndedANewStartRunsAsFirst) {
  ASSERT_NO_FATAL_FAILURE(Launch());
  Close();
  ASSERT_TRUE(program_.Start());
  HWND window = program_.WaitForWindow(20000, ui::kFrameClass);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(program_.WaitForExit(1000), std::nullopt);
  PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(program_.WaitForExit(20000), 0u);
}

}  // namespace
