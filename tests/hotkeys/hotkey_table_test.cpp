#include "hotkeys/hotkey_table.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

// Keys nobody else is likely to hold.
constexpr UINT kModifiers = MOD_CONTROL | MOD_ALT | MOD_SHIFT;
constexpr LRESULT kOwnResult = 0x5A5A;
constexpr LRESULT kHandlerResult = 77;

struct Delivered {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  bool operator==(const Delivered&) const = default;
};

std::vector<Delivered> g_ownProcedure;  // what reached the window's own procedure
std::vector<Delivered> g_handler;       // what reached the hotkey handler

LRESULT CALLBACK OwnProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  if (message == WM_HOTKEY || message == WM_APP + 5) {
    g_ownProcedure.push_back({window, message, wParam, lParam});
    return kOwnResult;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK Handler(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  g_handler.push_back({window, message, wParam, lParam});
  return kHandlerResult;
}

HWND MakeWindow() {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = &OwnProcedure;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "HotkeyTableTestWindow";
  RegisterClassA(&windowClass);
  return CreateWindowExA(0, windowClass.lpszClassName, "hotkeys", WS_OVERLAPPED, 0, 0, 100, 100, nullptr,
                         nullptr, windowClass.hInstance, nullptr);
}

LPARAM HotkeyLParam(UINT vk) { return MAKELPARAM(kModifiers, vk); }

class HotkeyTableTest : public testing::Test {
 protected:
  void SetUp() override {
    g_ownProcedure.clear();
    g_handler.clear();
    ASSERT_NE(window_, nullptr);
    ASSERT_NE(other_, nullptr);
  }
  void TearDown() override {
    ClearHotkeys(window_);
    for (int id : otherIds_) UnregisterHotKey(other_, id);
    DestroyWindow(window_);
    DestroyWindow(other_);
  }

  HotkeyTable* Table() const { return static_cast<HotkeyTable*>(GetPropA(window_, "HOTKEYLIST")); }
  std::vector<std::int32_t> Ids() const {
    std::vector<std::int32_t> ids;
    if (const HotkeyTable* table = Table())
      for (std::int32_t i = 0; i < table->count; ++i) ids.push_back(table->entries[i].id);
    return ids;
  }
  LONG_PTR Procedure() const { return GetWindowLongPtrA(window_, GWLP_WNDPROC); }
  // Whether the other window can take the key, i.e. nobody holds it; keeps it if so.
  bool OtherCanTake(UINT vk) {
    const int id = 500 + static_cast<int>(otherIds_.size());
    if (!RegisterHotKey(other_, id, kModifiers, vk)) return false;
    otherIds_.push_back(id);
    return true;
  }

  HWND window_ = MakeWindow();
  HWND other_ = MakeWindow();
  std::vector<int> otherIds_;
};

TEST_F(HotkeyTableTest, ReAddingAnIdKeepsOneEntryWithTheSecondKey) {
  ASSERT_TRUE(AddHotkey(window_, kModifiers, VK_F13, &Handler, 7));
  ASSERT_TRUE(AddHotkey(window_, kModifiers, VK_F14, &Handler, 7));
  EXPECT_EQ(Ids(), std::vector<std::int32_t>{7});
  EXPECT_TRUE(OtherCanTake(VK_F13));
  EXPECT_FALSE(OtherCanTake(VK_F14));
}

TEST_F(HotkeyTableTest, TakenKeyFailsAndTheEarlierHotkeyOfTheIdIsGone) {
  ASSERT_TRUE(OtherCanTake(VK_F15));
  ASSERT_TRUE(AddHotkey(window_, kModifiers, VK_F16, &Handler, 7));
  ASSERT_TRUE(AddHotkey(window_, kModifiers, VK_F17, &Handler, 8));

  EXPECT_FALSE(AddHotkey(window_, kModifiers, VK_F15, &Handler, 7));
  EXPECT_EQ(Ids(), std::vector<std::int32_t>{8});
  EXPECT_TRUE(OtherCanTake(VK_F16));
  EXPECT_FALSE(OtherCanTake(VK_F17));
}

TEST_F(HotkeyTableTest, IdZeroIsRefused) {
  EXPECT_FALSE(AddHotkey(window_, kModifiers, VK_F18, &Handler, 0));
  EXPECT_EQ(Table(), nullptr);
  EXPECT_TRUE(OtherCanTake(VK_F18));
  EXPECT_FALSE(RemoveHotkey(window_, 0));
}

TEST_F(HotkeyTableTest, RemovingTheMiddleKeepsOrderAndTheThirdStillDispatches) {
  ASSERT_TRUE(AddHotkey(window_, kModifiers, VK_F17, &Handler, 1));
  ASSERT_TRUE(AddHotkey(window_, kModifiers, VK_F18, &Handler, 2));
  ASSERT_TRUE(AddHotkey(window_, kModifiers, VK_F19, &Handler, 3));
  EXPECT_EQ(Ids(), (std::vector<std::int32_t>{1, 2, 3}));

  EXPECT_TRUE(RemoveHotkey(window_, 2));
  EXPECT_EQ(Ids(), (std::vector<std::int32_t>{1, 3}));
  EXPECT_TRUE(OtherCanTake(VK_F18));

  EXPECT_EQ(SendMessageA(window_, WM_HOTKEY, 3, HotkeyLParam(VK_F19)), kHandlerResult);
  EXPECT_EQ(SendMessageA(window_, WM_HOTKEY, 1, HotkeyLParam(VK_F17)), kHandlerResult);
  EXPECT_EQ(g_handler, (std::vector<Delivered>{{window_, WM_HOTKEY, 3, HotkeyLParam(VK_F19)},
                                               {window_, WM_HOTKEY, 1, HotkeyLParam(VK_F17)}}));
  EXPECT_TRUE(g_ownProcedure.empty());
}

TEST_F(HotkeyTableTest, RemovingAnUnknownIdChangesNothing) {
  ASSERT_TRUE(AddHotkey(window_, kModifiers, VK_F20, &Handler, 1));
  ASSERT_TRUE(AddHotkey(window_, kModifiers, VK_F21, &Handler, 2));
  EXPECT_FALSE(RemoveHotkey(window_, 9));
  EXPECT_EQ(Ids(), (std::vector<std::int32_t>{1, 2}));
  EXPECT_FALSE(OtherCanTake(VK_F20));
  EXPECT_FALSE(OtherCanTake(VK_F21));
  EXPECT_FALSE(RemoveHotkey(other_, 1));  // another window has no table
}

TEST_F(HotkeyTableTest, UnknownIdsAndOtherMessagesReachTheOwnProcedureUnchanged) {
  ASSERT_TRUE(AddHotkey(window_, kModifiers, VK_F22, &Handler, 4));

  EXPECT_EQ(SendMessageA(window_, WM_HOTKEY, 12345, HotkeyLParam(VK_F23)), kOwnResult);
  EXPECT_EQ(SendMessageA(window_, WM_APP + 5, 4, 99), kOwnResult);
  EXPECT_EQ(g_ownProcedure, (std::vector<Delivered>{{window_, WM_HOTKEY, 12345, HotkeyLParam(VK_F23)},
                                                     {window_, WM_APP + 5, 4, 99}}));
  EXPECT_TRUE(g_handler.empty());
}

TEST_F(HotkeyTableTest, LastRemovalRestoresTheWindowAndAddingAgainSubclassesIt) {
  const LONG_PTR own = Procedure();
  ASSERT_EQ(own, reinterpret_cast<LONG_PTR>(&OwnProcedure));

  ASSERT_TRUE(AddHotkey(window_, kModifiers, VK_F23, &Handler, 5));
  ASSERT_TRUE(AddHotkey(window_, kModifiers, VK_F24, &Handler, 6));
  EXPECT_EQ(Procedure(), reinterpret_cast<LONG_PTR>(&HotkeyWindowProc));
  ASSERT_NE(Table(), nullptr);
  EXPECT_EQ(reinterpret_cast<LONG_PTR>(Table()->savedProcedure), own);

  EXPECT_TRUE(RemoveHotkey(window_, 5));
  EXPECT_EQ(Procedure(), reinterpret_cast<LONG_PTR>(&HotkeyWindowProc));
  EXPECT_TRUE(RemoveHotkey(window_, 6));
  EXPECT_EQ(Table(), nullptr);
  EXPECT_EQ(Procedure(), own);
  EXPECT_FALSE(RemoveHotkey(window_, 6));

  ASSERT_TRUE(AddHotkey(window_, kModifiers, VK_F24, &Handler, 6));
  EXPECT_EQ(Procedure(), reinterpret_cast<LONG_PTR>(&HotkeyWindowProc));
  ASSERT_NE(Table(), nullptr);
  EXPECT_EQ(reinterpret_cast<LONG_PTR>(Table()->savedProcedure), own);
  EXPECT_EQ(SendMessageA(window_, WM_HOTKEY, 6, HotkeyLParam(VK_F24)), kHandlerResult);
  EXPECT_EQ(g_handler.size(), 1u);
}

TEST_F(HotkeyTableTest, ClearHotkeysUnregistersEverythingAndRestoresTheWindow) {
  const LONG_PTR own = Procedure();
  for (std::int32_t id : {1, 2, 3})
    ASSERT_TRUE(AddHotkey(window_, kModifiers, VK_F13 + static_cast<UINT>(id), &Handler, id));

  ClearHotkeys(window_);
  EXPECT_EQ(Table(), nullptr);
  EXPECT_EQ(Procedure(), own);
  for (UINT vk : {VK_F14, VK_F15, VK_F16}) EXPECT_TRUE(OtherCanTake(vk)) << vk;
  EXPECT_EQ(SendMessageA(window_, WM_HOTKEY, 1, 0), kOwnResult);
  ClearHotkeys(window_);  // nothing left: a no-op
}

}  // namespace
