// Any process on the desktop can post to the program's windows. Messages that
// look like the program's own hand-overs, or that carry a pointer, must change
// nothing when someone else sends them.
#include <commctrl.h>

#include <iterator>

#include "tests/e2e/main_window_fixture.h"

namespace {

// Messages with a parameter that the program would trust if it took it at
// face value: addresses where a pointer could be expected, and serials that a
// click run might carry.
constexpr LPARAM kForgedAddresses[] = {0, 1, 0x10000, 0x7fff0000, static_cast<LPARAM>(0xdeadbeef), -1};
constexpr WPARAM kForgedSerials = 12;

class ForgedMessagesTest : public MainWindowTest {
 protected:
  // Every serial from 0 up, each with another address.
  void PostToFrame(UINT message) const {
    for (WPARAM serial = 0; serial <= kForgedSerials; ++serial) {
      PostMessageA(frame_, message, serial, kForgedAddresses[serial % std::size(kForgedAddresses)]);
    }
  }
  // The whole WM_APP range the program could use for itself, in batches that
  // its queue can hold; false as soon as the program no longer answers.
  [[nodiscard]] bool PostWholeAppRange() const {
    for (UINT message = WM_APP; message < WM_APP + 0x400; ++message) {
      PostToFrame(message);
      if ((message + 1) % 256 == 0 && !Drain()) return false;
    }
    return Drain();
  }
  // A box of the program's own.
  [[nodiscard]] bool AnyBoxShown() const { return FindTopWindowOf(program_.processId(), "#32770") != nullptr; }
  // Lets the program handle everything posted so far, known by a selection
  // posted after it (in 编辑框_点击间隔, whose text has at least three
  // characters) showing up; false when the program no longer answers (it
  // ended, or hangs behind a crash).
  [[nodiscard]] bool Drain() const {
    static int drains = 0;
    const int mark = ++drains % 3;
    HWND edit = Find("编辑框_点击间隔");
    PostMessageA(edit, EM_SETSEL, static_cast<WPARAM>(mark), mark + 1);
    const ULONGLONG deadline = GetTickCount64() + 10000;
    for (;;) {
      DWORD_PTR selection = 0;
      if (!SendMessageTimeoutA(edit, EM_GETSEL, 0, 0, SMTO_ABORTIFHUNG, 5000, &selection)) return false;
      if (LOWORD(selection) == mark && HIWORD(selection) == mark + 1) return true;
      if (GetTickCount64() > deadline) return false;
      Sleep(10);
    }
  }
};

TEST_F(ForgedMessagesTest, LeaveARunningRunRunningAndTheControlsAsTheyWere) {
  ASSERT_NO_FATAL_FAILURE(Launch());
  const POINT counter = CentreOf("按钮_下一步按钮1");
  SetTextOf("编辑框_点击间隔", "100");
  SetTextOf("编辑框_设置点击次数", "100000");
  SetTextOf("编辑框_X", IntToText(counter.x));
  SetTextOf("编辑框_Y", IntToText(counter.y));
  Click("按钮_开关连点");
  ASSERT_EQ(TextOf("按钮_开关连点"), "停止连点");
  ASSERT_TRUE(WaitUntil(10000, [&] { return !TextOf("编辑框_点击次数").empty(); })) << "the run never clicked";

  // A program that crashed hangs behind Wine's crash box and answers nothing.
  ASSERT_TRUE(PostWholeAppRange()) << "the program ended or crashed";
  // Pointers that only the program's own thread may hand over.
  for (LPARAM address : kForgedAddresses) PostMessageA(Find("选择夹EX1"), TCM_GETITEMRECT, 0, address);
  for (UINT message : {WM_DRAWITEM, WM_MEASUREITEM, WM_NOTIFY}) PostToFrame(message);
  ASSERT_TRUE(Drain()) << "the program ended or crashed";

  ASSERT_EQ(program_.WaitForExit(0), std::nullopt) << "the program ended";
  ASSERT_FALSE(AnyBoxShown()) << "the program complained";
  EXPECT_EQ(TextOf("按钮_开关连点"), "停止连点");
  EXPECT_EQ(SendMessageA(Find("选择夹EX1"), TCM_GETCURSEL, 0, 0), 1);
  EXPECT_FALSE(IsWindowEnabled(Find("图片分组框_连点设置")));
  EXPECT_EQ(TextOf("编辑框_点击间隔"), "100");
  EXPECT_EQ(TextOf("编辑框_设置点击次数"), "100000");
  EXPECT_EQ(TextOf("编辑框_X"), IntToText(counter.x));
  EXPECT_EQ(TextOf("编辑框_Y"), IntToText(counter.y));
  EXPECT_TRUE(Checked("单选框_SL"));
  // Still clicking.
  const std::int32_t before = TextToInt(TextOf("编辑框_点击次数"));
  EXPECT_TRUE(WaitUntil(5000, [&] { return TextToInt(TextOf("编辑框_点击次数")) > before; }));

  Click("按钮_开关连点");
  EXPECT_EQ(TextOf("按钮_开关连点"), "开始连点");
  Close();
}

TEST_F(ForgedMessagesTest, LeaveAnIdleWindowAlone) {
  ASSERT_NO_FATAL_FAILURE(Launch());
  SendMessageA(Find("选择夹EX1"), TCM_SETCURSEL, 2, 0);
  ASSERT_TRUE(PostWholeAppRange()) << "the program ended or crashed";

  ASSERT_EQ(program_.WaitForExit(0), std::nullopt) << "the program ended";
  ASSERT_FALSE(AnyBoxShown()) << "the program complained";
  EXPECT_EQ(SendMessageA(Find("选择夹EX1"), TCM_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(TextOf("按钮_开关连点"), "开始连点");
  EXPECT_EQ(TextOf("编辑框_点击间隔"), "1000");
  EXPECT_EQ(TextOf("编辑框_设置点击次数"), "100000");
  EXPECT_EQ(TextOf("编辑框_X"), "-1");
  EXPECT_EQ(TextOf("编辑框_Y"), "-1");
  Close();
}

}  // namespace
