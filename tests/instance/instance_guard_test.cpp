#include <gtest/gtest.h>

#include "tests/case_name.h"
#include "tests/e2e/program_under_test.h"

#include "instance/instance_guard.h"

namespace {

const Text kGuardProbe = WindowsPathOf(GUARD_PROBE_EXE);
constexpr const char* kFirstTitle = "守卫探针:首个";
// The MD5 of the CP936 bytes of "ibfiy，xwpj，bm", computed independently.
constexpr const char* kDefaultName = "a76440f1b68eb2f235383cc39b85b3b1";

Text UniqueName(const char* prefix) {
  return Text(prefix) + IntToText(static_cast<std::int32_t>(GetCurrentProcessId())) + "_" +
         IntToText(static_cast<std::int32_t>(GetTickCount()));
}

bool EventExists(const Text& name) {
  UniqueHandle event(OpenEventA(SYNCHRONIZE, FALSE, name.c_str()));
  return event.valid();
}

// ---- in this process: the first instance's path ------------------------------

// Called only on the later-instance path, which would otherwise end this
// process with exit code 0 and look like a pass.
std::int32_t CALLBACK FailAsLaterInstance() noexcept {
  ExitProcess(99);
}

FARPROC FailFast() { return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(FailAsLaterInstance)); }

TEST(InstanceGuard, GivenNameIsKeptAndMarksTheInstance) {
  const Text unique = UniqueName("GuardUnit_");
  ASSERT_FALSE(EventExists(unique));
  Text name = unique;
  InstanceGuard(name, false, nullptr, 0, false, FailFast());
  EXPECT_EQ(name, unique);
  EXPECT_TRUE(EventExists(unique));
}

TEST(InstanceGuard, EmptyNameBecomesDefaultDigestAndIsHandedBack) {
  // Were the default event held elsewhere, the guard would end this process.
  ASSERT_FALSE(EventExists(kDefaultName));
  Text name;
  InstanceGuard(name, false, nullptr, 0, false, FailFast());
  EXPECT_EQ(name, kDefaultName);
  EXPECT_EQ(name.size(), 32u);
  EXPECT_TRUE(EventExists(kDefaultName));
}

// ---- routines called by address ----------------------------------------------

int g_calls = 0;

std::int32_t CALLBACK NoArguments() noexcept {
  ++g_calls;
  return 42;
}

std::int32_t CALLBACK ThreeArguments(std::int32_t a, std::int32_t b, std::int32_t c) noexcept {
  ++g_calls;
  return a * 100 + b * 10 + c;
}

// Each argument weighted by its position, so order and count both show.
std::int32_t CALLBACK FifteenArguments(std::int32_t a1, std::int32_t a2, std::int32_t a3, std::int32_t a4,
                                       std::int32_t a5, std::int32_t a6, std::int32_t a7, std::int32_t a8,
                                       std::int32_t a9, std::int32_t a10, std::int32_t a11, std::int32_t a12,
                                       std::int32_t a13, std::int32_t a14, std::int32_t a15) noexcept {
  ++g_calls;
  const std::int32_t values[] = {a1, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11, a12, a13, a14, a15};
  std::int32_t sum = 0;
  for (int i = 0; i < 15; ++i) sum += values[i] * (i + 1);
  return sum;
}

template <typename Routine>
FARPROC AddressOf(Routine routine) {
  return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(routine));
}

class CallRoutineByAddressTest : public testing::Test {
 protected:
  void SetUp() override { g_calls = 0; }
};

TEST_F(CallRoutineByAddressTest, PassesExactlyTheGivenArgumentsInOrder) {
  EXPECT_EQ(CallRoutineByAddress(AddressOf(NoArguments)), 42);
  EXPECT_EQ(CallRoutineByAddress(AddressOf(ThreeArguments), {1, 2, 3}), 123);
  EXPECT_EQ(CallRoutineByAddress(AddressOf(FifteenArguments),
                                 {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, -15}),
            1240 - 2 * 15 * 15);
  EXPECT_EQ(g_calls, 3);
}

TEST_F(CallRoutineByAddressTest, UncallableAddressCallsNothing) {
  EXPECT_EQ(CallRoutineByAddress(nullptr), 0);
  void* freed = VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE);
  ASSERT_NE(freed, nullptr);
  ASSERT_TRUE(VirtualFree(freed, 0, MEM_RELEASE));
  EXPECT_EQ(CallRoutineByAddress(reinterpret_cast<FARPROC>(freed)), 0);
}

TEST_F(CallRoutineByAddressTest, MoreThanFifteenArgumentsCallsNothing) {
  EXPECT_EQ(CallRoutineByAddress(AddressOf(NoArguments), {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}),
            0);
  EXPECT_EQ(g_calls, 0);
}

// ---- window helpers -------------------------------------------------------

TEST(SetWindowTopmost, ShowsWindowInPlaceAndSetsTopmostState) {
  HWND window = CreateWindowExA(0, "STATIC", "置顶测试", WS_POPUP, 30, 40, 120, 60, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  RECT before{};
  GetWindowRect(window, &before);
  SetWindowTopmost(window, true);
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_TRUE(GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
  SetWindowTopmost(window, false);
  EXPECT_FALSE(GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
  RECT after{};
  GetWindowRect(window, &after);
  EXPECT_TRUE(EqualRect(&before, &after));
  DestroyWindow(window);
}

// ---- two processes of one program ------------------------------------------

// Starts the probe and waits until the guard has let it run as the first
// instance; returns its window.
HWND StartFirst(ProgramUnderTest& program, const Text& arguments) {
  if (!program.Start(arguments)) return nullptr;
  HWND window = program.WaitForWindow(10000, "GuardProbe");
  if (!window || !WaitUntil(10000, [&] { return WindowText(window) == kFirstTitle; })) return nullptr;
  return window;
}

TEST(InstanceGuardPrograms, SecondStartRestoresMinimisedFirstAndExits) {
  ProgramUnderTest program(kGuardProbe, "飞梭守卫.exe");
  const Text arguments = "--name " + UniqueName("GuardE2E_") + " --activate";
  HWND first = StartFirst(program, arguments);
  ASSERT_NE(first, nullptr);
  const DWORD firstId = program.processId();
  ShowWindow(first, SW_MINIMIZE);
  ASSERT_TRUE(WaitUntil(5000, [&] { return IsIconic(first) != FALSE; }));

  ASSERT_TRUE(program.Start(arguments));
  EXPECT_EQ(program.WaitForExit(10000), 0u);
  EXPECT_TRUE(WaitUntil(5000, [&] { return IsIconic(first) == FALSE; }));
  DWORD owner = 0;
  GetWindowThreadProcessId(first, &owner);
  EXPECT_EQ(owner, firstId) << "the first instance must still run";
  EXPECT_EQ(WindowText(first), kFirstTitle);
}

TEST(InstanceGuardPrograms, SecondStartLeavesHiddenFirstHiddenAndExits) {
  ProgramUnderTest program(kGuardProbe, "飞梭守卫.exe");
  const Text arguments = "--name " + UniqueName("GuardE2E_") + " --activate";
  HWND first = StartFirst(program, arguments);
  ASSERT_NE(first, nullptr);
  ShowWindow(first, SW_HIDE);
  ASSERT_TRUE(WaitUntil(5000, [&] { return IsWindowVisible(first) == FALSE; }));

  ASSERT_TRUE(program.Start(arguments));
  EXPECT_EQ(program.WaitForExit(10000), 0u);
  EXPECT_FALSE(IsWindowVisible(first));
}

TEST(InstanceGuardPrograms, StartAfterFirstEndedIsFirstAgain) {
  ProgramUnderTest program(kGuardProbe, "飞梭守卫.exe");
  const Text arguments = "--name " + UniqueName("GuardE2E_");
  HWND first = StartFirst(program, arguments);
  ASSERT_NE(first, nullptr);
  PostMessageA(first, WM_CLOSE, 0, 0);
  ASSERT_EQ(program.WaitForExit(10000), 0u);

  EXPECT_NE(StartFirst(program, arguments), nullptr);
  EXPECT_EQ(program.ReadFile("guard_name.txt"), arguments.substr(7));
}

struct MessageCase {
  const char* name;
  const char* arguments;  // after --show-message
  Text shown;
};

class GuardMessageTest : public testing::TestWithParam<MessageCase> {};

TEST_P(GuardMessageTest, SecondStartShowsBoxAndExitsWhenItIsClosed) {
  ProgramUnderTest program(kGuardProbe, "飞梭守卫.exe");
  const Text name = "--name " + UniqueName("GuardBox_");
  ASSERT_NE(StartFirst(program, name), nullptr);

  ASSERT_TRUE(program.Start(name + " --show-message " + GetParam().arguments));
  HWND box = program.WaitForWindow(10000, "#32770");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(WindowText(box), "友情提醒:");
  HWND text = GetDlgItem(box, 0xFFFF);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(WindowText(text), GetParam().shown);
  EXPECT_EQ(program.WaitForExit(0), std::nullopt) << "the guard waits for the box";

  HWND ok = GetDlgItem(box, IDOK);
  ASSERT_NE(ok, nullptr);
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
  EXPECT_EQ(program.WaitForExit(10000), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, GuardMessageTest,
    testing::Values(MessageCase{"omitted_gives_default_text", "", "对不起,该进程已打开!"},
                    MessageCase{"given_text", "--message 另一份已在运行", "另一份已在运行"},
                    MessageCase{"given_empty_text", "--message \"\"", ""}),
    CaseName());

}  // namespace
