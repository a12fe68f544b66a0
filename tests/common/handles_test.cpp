#include <windows.h>

#include <gtest/gtest.h>

#include "common/handles.h"

namespace {

bool IsOpen(HANDLE h) {
  DWORD flags = 0;
  return GetHandleInformation(h, &flags) != 0;
}

TEST(UniqueHandle, ClosesOnDestructionAndReset) {
  HANDLE raw = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  ASSERT_NE(raw, nullptr);
  {
    UniqueHandle event(raw);
    EXPECT_TRUE(IsOpen(raw));
  }
  EXPECT_FALSE(IsOpen(raw));

  UniqueHandle event(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  raw = event.get();
  event.reset();
  EXPECT_FALSE(event.valid());
  EXPECT_FALSE(IsOpen(raw));
}

TEST(UniqueHandle, MoveTransfersOwnership) {
  UniqueHandle first(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  HANDLE raw = first.get();
  UniqueHandle second(std::move(first));
  EXPECT_FALSE(first.valid());
  EXPECT_EQ(second.get(), raw);
  UniqueHandle third;
  third = std::move(second);
  EXPECT_EQ(third.get(), raw);
  EXPECT_TRUE(IsOpen(raw));
  HANDLE released = third.release();
  EXPECT_FALSE(third.valid());
  EXPECT_TRUE(IsOpen(released));
  CloseHandle(released);
}

TEST(UniqueFile, InvalidHandleValueIsEmptyButNullIsNot) {
  UniqueFile missing(CreateFileA("Z:\\no\\such\\folder\\file.txt", GENERIC_READ, 0, nullptr,
                                 OPEN_EXISTING, 0, nullptr));
  EXPECT_FALSE(missing.valid());
  EXPECT_FALSE(UniqueFile().valid());
  // A null kernel handle is "no handle" only for the null-is-empty kinds.
  EXPECT_FALSE(UniqueHandle().valid());
  EXPECT_FALSE(UniqueHandle(nullptr).valid());
}

TEST(UniqueHandle, PutReleasesPreviousHandle) {
  UniqueHandle process;
  HANDLE first = nullptr;
  ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(),
                              process.put(), 0, FALSE, DUPLICATE_SAME_ACCESS));
  first = process.get();
  ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(),
                              process.put(), 0, FALSE, DUPLICATE_SAME_ACCESS));
  EXPECT_FALSE(IsOpen(first) && first != process.get());
  EXPECT_TRUE(IsOpen(process.get()));
}

TEST(HeapBlock, ZeroFilledAndSized) {
  HeapBlock block = HeapBlock::Allocate(64);
  ASSERT_TRUE(block);
  EXPECT_EQ(block.size(), 64u);
  for (std::size_t i = 0; i < block.size(); ++i) ASSERT_EQ(block.bytes()[i], 0) << i;
  HeapBlock moved = std::move(block);
  EXPECT_FALSE(block);
  EXPECT_EQ(moved.size(), 64u);
  EXPECT_TRUE(HeapBlock::Allocate(0));  // a zero-sized request still owns a block
}

TEST(HeapBlock, HugeRequestFailsAsEmpty) {
  HeapBlock block = HeapBlock::Allocate(static_cast<std::size_t>(-1) / 2);
  EXPECT_FALSE(block);
  EXPECT_EQ(block.size(), 0u);
}

}  // namespace
