// The tests are only meaningful in the environment the program runs in: code
// page 936 and a host locale that passes Chinese names through intact.
#include <windows.h>

#include <gtest/gtest.h>

#include "common/handles.h"
#include "common/text.h"

TEST(Environment, ProcessRunsWithCodePage936) {
  ASSERT_EQ(GetACP(), 936u) << "Wine must run with LANG=zh_CN.UTF-8";
}

TEST(Environment, ChineseLiteralsAreCodePage936) {
  const Text zhong = "中";
  ASSERT_EQ(zhong.size(), 2u);
  EXPECT_EQ(static_cast<unsigned char>(zhong[0]), 0xD6);
  EXPECT_EQ(static_cast<unsigned char>(zhong[1]), 0xD0);
}

TEST(Environment, ChineseFileNamesRoundTrip) {
  char folder[MAX_PATH];
  ASSERT_NE(GetTempPathA(MAX_PATH, folder), 0u);
  const Text path = Text(folder) + "环境检查_" + IntToText(static_cast<int>(GetCurrentProcessId())) + ".txt";
  {
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file.valid()) << "error " << GetLastError();
  }
  WIN32_FIND_DATAA found{};
  HANDLE search = FindFirstFileA(path.c_str(), &found);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  FindClose(search);
  EXPECT_EQ(Text(found.cFileName), "环境检查_" + IntToText(static_cast<int>(GetCurrentProcessId())) + ".txt");
  EXPECT_TRUE(DeleteFileA(path.c_str()));
}
