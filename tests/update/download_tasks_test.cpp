// The registry of download tasks: task ids, the end of a task that its
// downloader refused, and records that go away when their task has ended.
// Downloads go to a closed port of 127.0.0.1, so each fails at once; a task
// is held running by its Finished callback until the test lets it go.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>

#include "common/handles.h"
#include "update/download_tasks.h"

namespace {

const Text kClosedPort = "http://127.0.0.1:9/new.exe";

UniqueHandle g_release;  // set: Finished callbacks return
std::atomic<int> g_failed{0};
std::atomic<int> g_finished{0};
std::atomic<int> g_succeeded{0};

void HoldingCallback(const DownloadEventRecord& record) noexcept {
  if (record.kind == DownloadEventKind::Failed) ++g_failed;
  if (record.kind != DownloadEventKind::Finished) return;
  if (record.succeeded) ++g_succeeded;
  ++g_finished;
  WaitForSingleObject(g_release.get(), 10000);
}

bool WaitForCount(std::size_t count) {
  for (int i = 0; i < 500; ++i) {
    if (DownloadTaskCount() == count) return true;
    Sleep(10);
  }
  return false;
}

class DownloadTasksTest : public testing::Test {
 protected:
  DownloadTasksTest() {
    g_release.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    g_failed = g_finished = g_succeeded = 0;
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    target_ = Text(folder) + "download_tasks_test_" + std::to_string(GetCurrentProcessId()) + ".file";
    CreateDownloadTaskRegistry();
  }
  ~DownloadTasksTest() override {
    SetEvent(g_release.get());
    EXPECT_TRUE(WaitForCount(0)) << "a task did not end";
    FreeDownloadTaskRegistry();
    DeleteFileA(target_.c_str());
  }

  Text target_;
};

TEST_F(DownloadTasksTest, TaskIdRunsOnceAtATime) {
  ASSERT_EQ(StartDownloadTask(kClosedPort, target_, HoldingCallback, 5), kTaskStarted);
  EXPECT_EQ(StartDownloadTask(kClosedPort, target_, HoldingCallback, 5), kTaskIdRunning);
  EXPECT_EQ(DownloadTaskCount(), 1u);
  EXPECT_EQ(StartDownloadTask(kClosedPort, target_, HoldingCallback, 6), kTaskStarted);
  EXPECT_EQ(DownloadTaskCount(), 2u);

  SetEvent(g_release.get());
  ASSERT_TRUE(WaitForCount(0));
  // Once ended, the id is free again.
  EXPECT_EQ(StartDownloadTask(kClosedPort, target_, HoldingCallback, 5), kTaskStarted);
}

TEST_F(DownloadTasksTest, TasksWithoutIdAllStart) {
  EXPECT_EQ(StartDownloadTask(kClosedPort, target_, HoldingCallback), kTaskStarted);
  EXPECT_EQ(StartDownloadTask(kClosedPort, target_, HoldingCallback, 0), kTaskStarted);
  EXPECT_EQ(DownloadTaskCount(), 2u);
}

TEST_F(DownloadTasksTest, FailedTransferEndsItsTaskAsFailed) {
  SetEvent(g_release.get());
  ASSERT_EQ(StartDownloadTask(kClosedPort, target_, HoldingCallback, 7), kTaskStarted);
  ASSERT_TRUE(WaitForCount(0));
  EXPECT_EQ(g_finished, 1);
  EXPECT_EQ(g_failed, 1);
  EXPECT_EQ(g_succeeded, 0);
}

// A refused download never signals its end: its task must not wait for it.
TEST_F(DownloadTasksTest, RefusedDownloadEndsItsTaskAndIsReported) {
  SetEvent(g_release.get());
  for (const Text& url : {Text(), Text("ftp://127.0.0.1/new.exe")}) {
    SCOPED_TRACE(url);
    g_failed = g_finished = 0;
    ASSERT_EQ(StartDownloadTask(url, target_, HoldingCallback, 8), kTaskStarted);
    ASSERT_TRUE(WaitForCount(0));
    EXPECT_EQ(g_failed, 1);
    EXPECT_EQ(g_finished, 1);
  }
}

TEST(DownloadTasks, NothingStartsWithoutARegistry) {
  EXPECT_EQ(StartDownloadTask(kClosedPort, "C:\\x.file", nullptr, 1), kTaskNotStarted);
  EXPECT_EQ(DownloadTaskCount(), 0u);
}

}  // namespace
