// The runtime commands that every subsystem uses: files beside the exe, the
// message box, pending messages and threads.
#include <gtest/gtest.h>

#include "common/exe_files.h"
#include "common/message_box.h"
#include "common/pending_messages.h"
#include "common/start_thread.h"

namespace {

TEST(Runtime, ExeDirectoryAndFileName) {
  char exe[MAX_PATH];
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  const Text full(exe);
  EXPECT_EQ(runtime::ExeDirectory() + "\\" + runtime::ExeFileName(), full);
  EXPECT_NE(runtime::ExeDirectory().back(), '\\');
  EXPECT_EQ(runtime::ExeFileName().find('\\'), Text::npos);
}

TEST(Runtime, WriteWholeFileReplacesContents) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const Text path = Text(temp) + "整文件_" + IntToText(static_cast<std::int32_t>(GetCurrentProcessId()));
  ASSERT_TRUE(runtime::WriteWholeFile(path, TextBytes("a longer first content")));
  ASSERT_TRUE(runtime::WriteWholeFile(path, Bytes{'o', 0, 'k'}));
  UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(file.valid());
  char buffer[64];
  DWORD read = 0;
  ASSERT_TRUE(ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr));
  EXPECT_EQ(Text(buffer, read), Text("o\0k", 3));
  file.reset();
  ASSERT_TRUE(runtime::WriteWholeFile(path, {}));
  EXPECT_EQ(GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES, true);
  DeleteFileA(path.c_str());
  EXPECT_FALSE(runtime::WriteWholeFile("Z:\\no\\such\\folder\\x.bin", TextBytes("x")));
}

TEST(Runtime, ProcessPendingMessagesDispatchesAndKeepsQuit) {
  PostThreadMessageA(GetCurrentThreadId(), WM_APP + 7, 0, 0);
  PostQuitMessage(3);
  PostThreadMessageA(GetCurrentThreadId(), WM_APP + 8, 0, 0);
  runtime::ProcessPendingMessages();
  MSG message;
  // Both posted messages were taken; only the quit request is left.
  ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(message.wParam, 3u);
  EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
}

// Closes this process's first message box with the given caption by pressing
// a button; boxes of other test processes are left alone.
struct BoxCloser {
  const char* caption;
  int buttonId;
  HWND found = nullptr;

  static BOOL CALLBACK Visit(HWND window, LPARAM context) noexcept {
    auto* self = reinterpret_cast<BoxCloser*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char className[64] = {}, title[64] = {};
    GetClassNameA(window, className, sizeof className);
    GetWindowTextA(window, title, sizeof title);
    if (owner != GetCurrentProcessId() || Text(className) != "#32770" || Text(title) != self->caption) return TRUE;
    self->found = window;
    return FALSE;
  }
  static DWORD WINAPI Run(void* parameter) noexcept {
    auto* self = static_cast<BoxCloser*>(parameter);
    for (int i = 0; i < 500; ++i) {
      EnumWindows(Visit, reinterpret_cast<LPARAM>(self));
      if (self->found) {
        PostMessageA(self->found, WM_COMMAND, MAKEWPARAM(self->buttonId, BN_CLICKED), 0);
        return 0;
      }
      Sleep(20);
    }
    return 1;
  }
};

struct MessageCase {
  UINT style;
  int pressed;
  int expected;
};

class ShowMessageTest : public testing::TestWithParam<MessageCase> {};

TEST_P(ShowMessageTest, AnswersWithButtonIndexAndDefaultCaption) {
  BoxCloser closer{runtime::kDefaultCaption, GetParam().pressed};
  UniqueHandle thread = runtime::StartThread(BoxCloser::Run, &closer);
  ASSERT_TRUE(thread.valid());
  EXPECT_EQ(runtime::ShowMessage("测试消息", GetParam().style), GetParam().expected);
  WaitForSingleObject(thread.get(), 10000);
  DWORD code = 1;
  GetExitCodeThread(thread.get(), &code);
  EXPECT_EQ(code, 0u) << "the box never appeared with the caption 信息：";
}

INSTANTIATE_TEST_SUITE_P(Buttons, ShowMessageTest,
                         testing::Values(MessageCase{MB_OK, IDOK, runtime::kButtonOk},
                                         MessageCase{MB_OKCANCEL, IDCANCEL, runtime::kButtonCancel},
                                         MessageCase{MB_OKCANCEL, IDOK, runtime::kButtonOk}));

TEST(Runtime, StartThreadRunsWithItsParameter) {
  struct Box {
    static DWORD WINAPI Run(void* p) noexcept {
      *static_cast<int*>(p) = 42;
      return 5;
    }
  };
  int value = 0;
  UniqueHandle thread = runtime::StartThread(Box::Run, &value);
  ASSERT_TRUE(thread.valid());
  ASSERT_EQ(WaitForSingleObject(thread.get(), 10000), WAIT_OBJECT_0);
  DWORD code = 0;
  GetExitCodeThread(thread.get(), &code);
  EXPECT_EQ(code, 5u);
  EXPECT_EQ(value, 42);
}

}  // namespace
