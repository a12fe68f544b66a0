#include <gtest/gtest.h>

#include "tests/case_name.h"
#include "tests/e2e/program_under_test.h"

#include "instance/window_lookup.h"

namespace {

const Text kProbe = WindowsPathOf(PROBE_WINDOW_EXE);

constexpr UINT kMarkMessage = WM_APP + 17;

// A message posted to this thread that only a message pump would take away.
void PostMark() { ASSERT_TRUE(PostThreadMessageA(GetCurrentThreadId(), kMarkMessage, 0, 0)); }
bool TakeMark() {
  MSG message;
  return PeekMessageA(&message, nullptr, kMarkMessage, kMarkMessage, PM_REMOVE) != FALSE;
}

Text UniqueSuffix() {
  return IntToText(static_cast<std::int32_t>(GetCurrentProcessId())) + "_" +
         IntToText(static_cast<std::int32_t>(GetTickCount()));
}

// ---- names -----------------------------------------------------------------

struct NameCase {
  const char* name;
  Text a;
  Text b;
  bool equalIgnoringCase;
  bool equalExactly;
};

class ExeNamesEqualTest : public testing::TestWithParam<NameCase> {};

TEST_P(ExeNamesEqualTest, FoldsOnlySingleByteLetters) {
  const NameCase& c = GetParam();
  EXPECT_EQ(ExeNamesEqual(c.a, c.b), c.equalIgnoringCase);
  EXPECT_EQ(ExeNamesEqual(c.b, c.a), c.equalIgnoringCase);
  EXPECT_EQ(ExeNamesEqual(c.a, c.b, true), c.equalExactly);
}

INSTANTIATE_TEST_SUITE_P(
    Names, ExeNamesEqualTest,
    testing::Values(
        NameCase{"identical", "feisuo.exe", "feisuo.exe", true, true},
        NameCase{"letter_case", "FeiSuo.EXE", "feisuo.exe", true, false},
        NameCase{"chinese_with_letter_case", "飞梭助手.exe", "飞梭助手.EXE", true, false},
        // 0x81 0x41 and 0x81 0x61 are two different characters whose trail
        // bytes look like 'A' and 'a'.
        NameCase{"trail_byte_is_not_a_letter", "\x81\x41.exe", "\x81\x61.exe", false, false},
        NameCase{"full_width_letters_are_not_folded", "ＡＢ.exe", "ａｂ.exe", false, false},
        NameCase{"neighbours_of_letters_are_not_folded", "[@].exe", "{`}.exe", false, false},
        NameCase{"different_length", "a.exe", "a.exe.exe", false, false},
        NameCase{"both_empty", "", "", true, true}),
    CaseName());

// ---- windows of this process ------------------------------------------------

constexpr wchar_t kClassName[] = L"LookupTestWindow";
int g_marksHandled = 0;

LRESULT CALLBACK LookupTestProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  if (message == kMarkMessage) {
    ++g_marksHandled;
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

class OwnWindows : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = LookupTestProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClassName;
    RegisterClassW(&windowClass);
  }
  void TearDown() override {
    for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) DestroyWindow(*it);
    TakeMark();
    g_marksHandled = 0;
  }
  HWND Create(const wchar_t* title, bool visible, HWND owner = nullptr, DWORD style = WS_OVERLAPPEDWINDOW) {
    HWND window = CreateWindowExW(0, kClassName, title, style | (visible ? WS_VISIBLE : 0), 50, 50, 200, 100,
                                  owner, nullptr, GetModuleHandleW(nullptr), nullptr);
    EXPECT_NE(window, nullptr);
    windows_.push_back(window);
    return window;
  }
  const DWORD self_ = GetCurrentProcessId();
  std::vector<HWND> windows_;
};

TEST_F(OwnWindows, HiddenWindowIsFoundOnlyWhenHiddenOnesCount) {
  HWND hidden = Create(L"隐藏的窗口", false);
  EXPECT_EQ(FindTopWindowOfProcess(self_, Text("隐藏的窗口")), nullptr);
  EXPECT_EQ(FindTopWindowOfProcess(self_, Text("隐藏的窗口"), std::nullopt, std::nullopt, false), hidden);
}

TEST_F(OwnWindows, OwnedPopupBeforeMainWindowIsSkipped) {
  HWND main = Create(L"同名窗口", true);
  HWND popup = Create(L"同名窗口", true, main, WS_POPUP);
  // The pop-up must come first in Z order for the case to mean anything.
  HWND first = FindWindowExA(nullptr, nullptr, nullptr, nullptr);
  while (first && first != popup && first != main) first = FindWindowExA(nullptr, first, nullptr, nullptr);
  ASSERT_EQ(first, popup);
  EXPECT_EQ(FindTopWindowOfProcess(self_, Text("同名窗口")), main);
  EXPECT_EQ(FindTopWindowOfProcess(self_), main);
}

TEST_F(OwnWindows, ZeroTimeoutExaminesNoWindow) {
  Create(L"限时窗口", true);
  PostMark();
  EXPECT_EQ(FindTopWindowOfProcess(self_, std::nullopt, std::nullopt, 0), nullptr);
  EXPECT_TRUE(TakeMark()) << "a window was examined";
}

TEST_F(OwnWindows, NegativeOrOmittedTimeoutHasNoPracticalLimit) {
  HWND window = Create(L"限时窗口", true);
  EXPECT_EQ(FindTopWindowOfProcess(self_, std::nullopt, std::nullopt, -1), window);
  EXPECT_EQ(FindTopWindowOfProcess(self_, std::nullopt, std::nullopt, std::nullopt), window);
  EXPECT_EQ(FindTopWindowOfProcess(self_, std::nullopt, std::nullopt, 60000), window);
}

TEST_F(OwnWindows, WalkDispatchesPendingMessagesAndLeavesQuitQueued) {
  HWND window = Create(L"泵窗口", true);
  ASSERT_TRUE(PostMessageA(window, kMarkMessage, 0, 0));
  EXPECT_EQ(FindTopWindowOfProcess(self_, Text("没有这个标题")), nullptr);
  EXPECT_EQ(g_marksHandled, 1);

  PostQuitMessage(7);
  EXPECT_EQ(FindTopWindowOfProcess(self_, Text("没有这个标题")), nullptr);
  MSG message;
  ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(message.wParam, 7u);
}

TEST_F(OwnWindows, TitleAndClassTexts) {
  HWND window = Create(L"飞梭助手·测试", false);
  EXPECT_EQ(GetWindowTitleText(window), "飞梭助手·测试");
  EXPECT_EQ(GetWindowClassText(window), "LookupTestWindow");
  EXPECT_EQ(GetWindowTitleText(Create(L"", false)), "");
  EXPECT_EQ(GetWindowClassText(nullptr), "");
  EXPECT_EQ(GetWindowTitleText(nullptr), "");
}

struct FilterCase {
  const char* name;
  const wchar_t* windowTitle;
  std::optional<Text> titlePart;
  std::optional<Text> classPart;
  bool found;
};

class FilterTest : public OwnWindows, public testing::WithParamInterface<FilterCase> {};

TEST_P(FilterTest, TitleAndClassParts) {
  const FilterCase& c = GetParam();
  HWND window = Create(c.windowTitle, true);
  EXPECT_EQ(FindTopWindowOfProcess(self_, c.titlePart, c.classPart), c.found ? window : nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Filters, FilterTest,
    testing::Values(
        FilterCase{"no_filter", L"飞梭助手", std::nullopt, std::nullopt, true},
        FilterCase{"class_part", L"飞梭助手", std::nullopt, Text("TestWin"), true},
        FilterCase{"class_part_other_case", L"飞梭助手", std::nullopt, Text("testwin"), false},
        FilterCase{"empty_class_part", L"飞梭助手", std::nullopt, Text(""), true},
        FilterCase{"title_part", L"飞梭助手", Text("助手"), std::nullopt, true},
        FilterCase{"title_part_across_characters", L"飞梭助手", Text("\xC9\xCB"), std::nullopt, false},
        FilterCase{"empty_title_part", L"飞梭助手", Text(""), std::nullopt, true},
        FilterCase{"empty_title_part_empty_title", L"", Text(""), std::nullopt, false},
        FilterCase{"both_parts", L"飞梭助手", Text("飞梭"), Text("Lookup"), true},
        FilterCase{"title_matches_class_does_not", L"飞梭助手", Text("飞梭"), Text("Other"), false},
        FilterCase{"class_matches_title_does_not", L"飞梭助手", Text("连点"), Text("Lookup"), false}),
    CaseName());

// ---- other processes -------------------------------------------------------

TEST_F(OwnWindows, NoSuchExecutableGivesMinusOneWithoutWalking) {
  // A visible window of ours that a walk would have to pass and pump at.
  Create(L"路过的窗口", true);
  PostMark();
  EXPECT_EQ(FindWindowOfExecutable("没有这个程序_" + UniqueSuffix() + ".exe"), NoMatchingProcessWindow());
  EXPECT_TRUE(TakeMark()) << "windows were walked";
  EXPECT_EQ(FindProcessIdByName("没有这个程序_" + UniqueSuffix() + ".exe"), 0u);
}

Text OwnExeName() {
  char path[MAX_PATH];
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  const Text full(path, n);
  return full.substr(full.find_last_of('\\') + 1);
}

// A second instance must find the running one, never its own window.
TEST_F(OwnWindows, ExecutableSearchSkipsTheCaller) {
  HWND own = Create(L"自己的窗口", true);
  ASSERT_EQ(FindTopWindowOfProcess(self_), own);
  EXPECT_NE(FindWindowOfExecutable(OwnExeName()), own);
}

TEST(FindProcessIdByName, CallerIsFoundUnlessExcluded) {
  const Text exeName = OwnExeName();
  const DWORD self = GetCurrentProcessId();
  // Several copies of this test program could run; the caller is one of them.
  EXPECT_NE(FindProcessIdByName(exeName), 0u);
  EXPECT_NE(FindProcessIdByName(exeName, false, self), self);
}

TEST(FindProcessIdByName, LetterCaseMattersOnlyWhenAsked) {
  const Text exeName = "CaseProbe_" + UniqueSuffix() + ".exe";
  ProgramUnderTest program(kProbe, exeName);
  ASSERT_TRUE(program.Start());
  ASSERT_NE(program.WaitForWindow(10000), nullptr);
  Text upper = exeName;
  for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  EXPECT_EQ(FindProcessIdByName(exeName, true), program.processId());
  EXPECT_EQ(FindProcessIdByName(upper), program.processId());
  EXPECT_EQ(FindProcessIdByName(upper, true), 0u);
  EXPECT_EQ(FindProcessIdByName(exeName, false, program.processId()), 0u);
}

TEST(FindWindowOfExecutable, FindsWindowOfProgramWithChineseName) {
  ProgramUnderTest program(kProbe, "飞梭测试.exe");
  ASSERT_TRUE(program.Start());
  HWND window = program.WaitForWindow(10000, "ProbeWindow");
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(FindProcessIdByName("飞梭测试.exe"), program.processId());
  EXPECT_EQ(FindWindowOfExecutable("飞梭测试.exe"), window);
  EXPECT_EQ(FindWindowOfExecutable("飞梭测试.EXE"), window);
  EXPECT_EQ(GetWindowTitleText(window), "探针窗口");
}

TEST(FindWindowOfExecutable, HiddenOnlyWindowGivesNull) {
  ProgramUnderTest program(kProbe, "隐藏探针.exe");
  ASSERT_TRUE(program.Start());
  HWND window = program.WaitForWindow(10000, "ProbeWindow");
  ASSERT_NE(window, nullptr);
  ShowWindow(window, SW_HIDE);
  ASSERT_TRUE(WaitUntil(5000, [&] { return !IsWindowVisible(window); }));
  EXPECT_EQ(FindWindowOfExecutable("隐藏探针.exe"), nullptr);
  EXPECT_EQ(FindTopWindowOfProcess(program.processId(), std::nullopt, std::nullopt, std::nullopt, false), window);
}

}  // namespace
