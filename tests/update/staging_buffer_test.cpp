#include "update/staging_buffer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/handles.h"

namespace {

class StagingBufferTest : public testing::Test {
 protected:
  void SetUp() override {
    char folder[MAX_PATH];
    ASSERT_NE(::GetTempPathA(MAX_PATH, folder), 0u);
    ASSERT_NE(::GetTempFileNameA(folder, "stg", 0, path_), 0u);
    file_.reset(::CreateFileA(path_, GENERIC_WRITE | GENERIC_READ, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(file_.valid());
    ASSERT_TRUE(buffer_.Create());
  }
  void TearDown() override {
    file_.reset();
    ::DeleteFileA(path_);
  }

  // Places the next `size` bytes of the stream 0, 1, 2, ... (mod 256).
  void Stage(DWORD size) {
    BYTE* into = buffer_.Reserve(file_.get(), size);
    ASSERT_NE(into, nullptr);
    for (DWORD i = 0; i < size; ++i) into[i] = static_cast<BYTE>(staged_ + i);
    buffer_.Commit(size);
    staged_ += size;
  }
  DWORD FileSize() const { return ::GetFileSize(file_.get(), nullptr); }

  char path_[MAX_PATH] = {};
  UniqueFile file_;
  StagingBuffer buffer_;
  DWORD staged_ = 0;
};

TEST_F(StagingBufferTest, GathersChunksGrowsForALargeOneAndNeverShrinks) {
  EXPECT_EQ(buffer_.capacity(), StagingBuffer::kInitialCapacity);
  Stage(4000);
  Stage(6000);
  EXPECT_EQ(FileSize(), 0u);  // both fit: nothing written yet
  EXPECT_EQ(buffer_.pending(), 10000u);

  Stage(1000);  // would not fit: the 10000 pending bytes go first
  EXPECT_EQ(FileSize(), 10000u);
  EXPECT_EQ(buffer_.pending(), 1000u);
  EXPECT_EQ(buffer_.capacity(), StagingBuffer::kInitialCapacity);

  Stage(20000);  // larger than the buffer: pending bytes first, then it grows
  EXPECT_EQ(FileSize(), 11000u);
  EXPECT_EQ(buffer_.capacity(), 20000u);

  Stage(100);
  EXPECT_EQ(FileSize(), 31000u);
  EXPECT_EQ(buffer_.capacity(), 20000u);  // small chunks do not shrink it

  ASSERT_TRUE(buffer_.Flush(file_.get()));
  EXPECT_EQ(buffer_.pending(), 0u);
  ASSERT_EQ(FileSize(), staged_);
  std::string content(staged_, '\0');
  DWORD read = 0;
  ASSERT_NE(::SetFilePointer(file_.get(), 0, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER);
  ASSERT_TRUE(::ReadFile(file_.get(), content.data(), staged_, &read, nullptr));
  ASSERT_EQ(read, staged_);
  for (DWORD i = 0; i < staged_; ++i) ASSERT_EQ(static_cast<BYTE>(content[i]), static_cast<BYTE>(i)) << "byte " << i;
}

TEST_F(StagingBufferTest, AFailedWriteIsReported) {
  file_.reset();
  UniqueFile readOnly(::CreateFileA(path_, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(readOnly.valid());
  BYTE* into = buffer_.Reserve(readOnly.get(), 8000);
  ASSERT_NE(into, nullptr);
  std::memset(into, 1, 8000);
  buffer_.Commit(8000);
  EXPECT_EQ(buffer_.Reserve(readOnly.get(), 8000), nullptr);
  EXPECT_FALSE(buffer_.Flush(readOnly.get()));
}

}  // namespace
