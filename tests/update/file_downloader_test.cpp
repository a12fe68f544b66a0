#include "update/file_downloader.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <algorithm>
#include <map>
#include <vector>

#include "common/handles.h"
#include "tests/update/download_server.h"
#include "update/critical_section_lock.h"

namespace {

using update_test::ClosedPort;
using update_test::DownloadServer;
using Kind = DownloadEventKind;

constexpr DWORD kFinishLimitMs = 20000;

// An event as the callback saw it, with where and when.
struct SeenEvent {
  Kind kind;
  std::int64_t totalSize, received, remaining;
  float fraction, speed;
  std::int32_t elapsedMs;
  Text targetPath;
  bool succeeded;
  DWORD threadId;
  DWORD tick;
};

// Every event of every downloader, by task id. The callback is a plain
// routine, so the log is process-wide.
class EventLog {
 public:
  static void Record(const DownloadEventRecord& r) noexcept {
    LockHolder held(Lock());
    Events()[r.taskId].push_back({r.kind, r.totalSize, r.received, r.remaining, r.fraction, r.speed, r.elapsedMs,
                                  Text(r.targetPath), r.succeeded, ::GetCurrentThreadId(), ::GetTickCount()});
  }
  static std::vector<SeenEvent> Of(std::int32_t taskId) {
    LockHolder held(Lock());
    return Events()[taskId];
  }
  static std::vector<SeenEvent> OfKind(std::int32_t taskId, Kind kind) {
    std::vector<SeenEvent> all = Of(taskId);
    std::vector<SeenEvent> picked;
    std::copy_if(all.begin(), all.end(), std::back_inserter(picked), [kind](const SeenEvent& e) { return e.kind == kind; });
    return picked;
  }
  // True once an event of that kind has arrived; false after five seconds.
  static bool WaitFor(std::int32_t taskId, Kind kind) {
    for (int i = 0; i < 500; ++i) {
      if (!OfKind(taskId, kind).empty()) return true;
      ::Sleep(10);
    }
    return false;
  }

 private:
  static CriticalSectionLock& Lock() {
    static CriticalSectionLock lock;
    return lock;
  }
  static std::map<std::int32_t, std::vector<SeenEvent>>& Events() {
    static std::map<std::int32_t, std::vector<SeenEvent>> events;
    return events;
  }
};

// Byte i of every body the server sends is i % 251.
Text ExpectedBody(std::size_t size) {
  Text body(size, '\0');
  for (std::size_t i = 0; i < size; ++i) body[i] = static_cast<char>(i % 251);
  return body;
}

int ThreadsOfThisProcess() {
  UniqueSnapshot snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  int count = 0;
  for (BOOL more = ::Thread32First(snapshot.get(), &entry); more; more = ::Thread32Next(snapshot.get(), &entry)) {
    if (entry.th32OwnerProcessID == ::GetCurrentProcessId()) ++count;
  }
  return count;
}

class FileDownloaderTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.started());
    char folder[MAX_PATH];
    ASSERT_NE(::GetTempPathA(MAX_PATH, folder), 0u);
    target_ = Text(folder) + "download-" + std::to_string(::GetCurrentProcessId()) + ".bin";
    ::DeleteFileA(target_.c_str());
  }
  void TearDown() override { ::DeleteFileA(target_.c_str()); }

  // Downloads with the event log as callback and waits for the end.
  DownloadResult Download(const Text& url, std::int32_t taskId) {
    FileDownloader downloader;
    UniqueHandle finished(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
    if (!downloader.Start(url, target_, &EventLog::Record, taskId, finished.get())) return DownloadResult::None;
    EXPECT_EQ(::WaitForSingleObject(finished.get(), kFinishLimitMs), WAIT_OBJECT_0);
    downloader.Stop();
    return downloader.Result();
  }

  bool TargetExists() const { return ::GetFileAttributesA(target_.c_str()) != INVALID_FILE_ATTRIBUTES; }
  Text ReadTarget() const {
    UniqueFile file(::CreateFileA(target_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return "(no file)";
    Text content(::GetFileSize(file.get(), nullptr), '\0');
    DWORD read = 0;
    if (!content.empty()) ::ReadFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &read, nullptr);
    return content;
  }
  void WriteTarget(const Text& content) const {
    UniqueFile file(::CreateFileA(target_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    ASSERT_TRUE(::WriteFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr));
  }

  // Checks what every finished transfer shows: Finished once and last, with
  // the outcome, and Failed exactly when it failed.
  static void ExpectEnding(std::int32_t taskId, bool succeeded) {
    const std::vector<SeenEvent> events = EventLog::Of(taskId);
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().kind, Kind::Finished);
    EXPECT_EQ(events.back().succeeded, succeeded);
    EXPECT_EQ(EventLog::OfKind(taskId, Kind::Finished).size(), 1u);
    EXPECT_EQ(EventLog::OfKind(taskId, Kind::Failed).size(), succeeded ? 0u : 1u);
  }

  DownloadServer server_;
  Text target_;
};

struct CompleteCase {
  const char* name;
  const char* options;
  std::size_t size;
  bool sendsLength;
};

class CompleteDownload : public FileDownloaderTest, public testing::WithParamInterface<CompleteCase> {};

TEST_P(CompleteDownload, WritesTheWholeBodyAndReportsIt) {
  const CompleteCase& c = GetParam();
  // An older, longer file is replaced, not overwritten in front of its tail.
  WriteTarget(Text(c.size + 5000, 'Z'));
  ASSERT_EQ(Download(server_.BodyUrl(c.options), 1), DownloadResult::Succeeded);
  EXPECT_TRUE(ReadTarget() == ExpectedBody(c.size)) << "the target differs from the body";
  ExpectEnding(1, true);
  EXPECT_EQ(EventLog::OfKind(1, Kind::Started).size(), 1u);
  const SeenEvent finished = EventLog::Of(1).back();
  EXPECT_EQ(finished.received, static_cast<std::int64_t>(c.size));
  EXPECT_EQ(finished.remaining, 0);
  EXPECT_EQ(finished.targetPath, target_);
  for (const SeenEvent& e : EventLog::Of(1)) {
    EXPECT_EQ(e.totalSize, c.sendsLength ? static_cast<std::int64_t>(c.size) : 0);
    if (!c.sendsLength) {
      EXPECT_EQ(e.remaining, 0);
      EXPECT_EQ(e.fraction, 0.0f);
    }
  }
  if (c.sendsLength) {
    EXPECT_FLOAT_EQ(finished.fraction, 1.0f);
  }
  EXPECT_GT(finished.speed, 0.0f);
}

INSTANTIATE_TEST_SUITE_P(
    Bodies, CompleteDownload,
    testing::Values(CompleteCase{"WithContentLength", "size=300000", 300000, true},
                    CompleteCase{"WithoutContentLength", "size=300000&chunked=1", 300000, false},
                    // Sent in two writes of 512 KiB each: chunks far larger than the staging buffer.
                    CompleteCase{"LargeWrites", "size=1048576&piece=524288", 1048576, true},
                    CompleteCase{"OneByte", "size=1", 1, true}),
    [](const testing::TestParamInfo<CompleteCase>& body) { return body.param.name; });

struct FailureCase {
  const char* name;
  const char* options;  // null: an address whose port refuses connections
  bool bodyStarted;     // whether the body began, so Started came
};

class FailedDownload : public FileDownloaderTest, public testing::WithParamInterface<FailureCase> {};

TEST_P(FailedDownload, EndsAsFailedAndLeavesNoFileOfItsOwn) {
  const FailureCase& c = GetParam();
  ClosedPort closed;
  const Text url =
      c.options ? server_.BodyUrl(c.options) : "http://127.0.0.1:" + std::to_string(closed.port()) + "/body?size=10";
  ASSERT_EQ(Download(url, 2), DownloadResult::Failed);
  EXPECT_FALSE(TargetExists());
  ExpectEnding(2, false);
  EXPECT_EQ(EventLog::OfKind(2, Kind::Started).size(), c.bodyStarted ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, FailedDownload,
    testing::Values(FailureCase{"NotFoundPage", "status=404", false},
                    FailureCase{"ServerError", "status=500", false},
                    FailureCase{"EmptyBody", "size=0", false},
                    FailureCase{"BodyCutShort", "size=100000&cut=40000", true},
                    FailureCase{"ServerStopsMidTransfer", "size=300000&piece=4096&delay=20&die=60000", true},
                    FailureCase{"ClosedPort", nullptr, false}),
    [](const testing::TestParamInfo<FailureCase>& failure) { return failure.param.name; });

TEST_F(FileDownloaderTest, AFailureBeforeTheTargetIsOpenedLeavesAnOlderFileAlone) {
  WriteTarget("older file");
  ASSERT_EQ(Download(server_.BodyUrl("status=404"), 3), DownloadResult::Failed);
  EXPECT_EQ(ReadTarget(), "older file");
}

TEST_F(FileDownloaderTest, RefusesAddressesItCannotFetchWithoutStartingAnything) {
  const struct {
    Text url;
    Text target;
  } cases[] = {{"", target_},
               {server_.BodyUrl("size=10"), ""},
               {"ftp://127.0.0.1/file.bin", target_},
               {"file:///C:/windows/win.ini", target_},
               {"not an address", target_},
               {"http://", target_}};
  for (const auto& c : cases) {
    SCOPED_TRACE("address \"" + c.url + "\", target \"" + c.target + "\"");
    FileDownloader downloader;
    UniqueHandle finished(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
    EXPECT_EQ(downloader.Start(c.url, c.target, &EventLog::Record, 4, finished.get()), nullptr);
    EXPECT_EQ(downloader.Result(), DownloadResult::None);
    downloader.Stop();  // nothing to stop
    EXPECT_EQ(::WaitForSingleObject(finished.get(), 200), static_cast<DWORD>(WAIT_TIMEOUT));
  }
  EXPECT_TRUE(EventLog::Of(4).empty());
  EXPECT_FALSE(TargetExists());
}

TEST_F(FileDownloaderTest, ReportsProgressAboutTwiceASecondOnThreadsOfTheirOwn) {
  // 40 KiB in 2 KiB pieces every 100 ms: about two seconds.
  constexpr std::int64_t kSize = 40960;
  ASSERT_EQ(Download(server_.BodyUrl("size=40960&piece=2048&delay=100"), 5), DownloadResult::Succeeded);
  ExpectEnding(5, true);
  const std::vector<SeenEvent> progress = EventLog::OfKind(5, Kind::Progress);
  ASSERT_GE(progress.size(), 3u);
  const SeenEvent started = EventLog::OfKind(5, Kind::Started).front();
  const SeenEvent finished = EventLog::Of(5).back();

  EXPECT_NEAR(progress.front().elapsedMs, FileDownloader::kFirstProgressMs, 200);
  for (std::size_t i = 0; i < progress.size(); ++i) {
    const SeenEvent& e = progress[i];
    SCOPED_TRACE("progress event " + std::to_string(i));
    EXPECT_NE(e.threadId, finished.threadId);  // not the transfer thread
    EXPECT_EQ(e.totalSize, kSize);
    EXPECT_GT(e.received, 0);
    EXPECT_LE(e.received, kSize);
    EXPECT_EQ(e.remaining, kSize - e.received);
    EXPECT_NEAR(e.fraction, static_cast<double>(e.received) / kSize, 1e-6);
    // About 20 KiB/s are sent; the bounds only catch a wrong unit or scale.
    EXPECT_GT(e.speed, 5.0f);
    EXPECT_LT(e.speed, 80.0f);
    if (i > 0) {
      EXPECT_GE(e.received, progress[i - 1].received);
      EXPECT_GE(e.elapsedMs, progress[i - 1].elapsedMs);
      const DWORD gap = e.tick - progress[i - 1].tick;
      EXPECT_GT(gap, 300u);
      EXPECT_LT(gap, 800u);
    }
  }
  EXPECT_NE(started.threadId, finished.threadId);
  EXPECT_LE(started.elapsedMs, progress.front().elapsedMs);
  EXPECT_GE(finished.elapsedMs, progress.back().elapsedMs);
  EXPECT_EQ(finished.received, kSize);
}

TEST_F(FileDownloaderTest, WithoutACallbackRunsNoTickerButSignalsTheEnd) {
  const int threadsBefore = ThreadsOfThisProcess();
  FileDownloader downloader;
  UniqueHandle finished(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
  ASSERT_NE(downloader.Start(server_.BodyUrl("size=20480&piece=2048&delay=100"), target_, nullptr, 6, finished.get()),
            nullptr);
  ::Sleep(700);  // past the first tick a ticker would make
  EXPECT_EQ(ThreadsOfThisProcess(), threadsBefore + 1);  // the transfer thread alone
  ASSERT_EQ(::WaitForSingleObject(finished.get(), kFinishLimitMs), WAIT_OBJECT_0);
  downloader.Stop();
  EXPECT_EQ(downloader.Result(), DownloadResult::Succeeded);
  EXPECT_TRUE(ReadTarget() == ExpectedBody(20480));
  EXPECT_TRUE(EventLog::Of(6).empty());
}

TEST_F(FileDownloaderTest, StopDuringASlowBodyEndsItPromptlyAsFailed) {
  FileDownloader downloader;
  UniqueHandle finished(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
  // 1 MiB at 1 KiB per 50 ms would take almost a minute.
  ASSERT_NE(downloader.Start(server_.BodyUrl("size=1048576&piece=1024&delay=50"), target_, &EventLog::Record, 7,
                             finished.get()),
            nullptr);
  ASSERT_TRUE(EventLog::WaitFor(7, Kind::Progress));
  const DWORD before = ::GetTickCount();
  downloader.Stop();
  EXPECT_LT(::GetTickCount() - before, 2000u);
  EXPECT_EQ(downloader.Result(), DownloadResult::Failed);
  EXPECT_EQ(::WaitForSingleObject(finished.get(), 0), WAIT_OBJECT_0);
  ExpectEnding(7, false);
  EXPECT_FALSE(TargetExists());
}

TEST_F(FileDownloaderTest, StopBeforeTheAnswerEndsTheTransferAsFailed) {
  FileDownloader downloader;
  UniqueHandle finished(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
  ASSERT_NE(downloader.Start(server_.BodyUrl("size=5000&wait=500"), target_, &EventLog::Record, 13, finished.get()),
            nullptr);
  ::Sleep(100);
  downloader.Stop();
  EXPECT_EQ(downloader.Result(), DownloadResult::Failed);
  EXPECT_EQ(::WaitForSingleObject(finished.get(), 0), WAIT_OBJECT_0);
  ExpectEnding(13, false);
  EXPECT_TRUE(EventLog::OfKind(13, Kind::Started).empty());
  EXPECT_FALSE(TargetExists());
}

TEST_F(FileDownloaderTest, StopAfterTheEndDoesNothing) {
  FileDownloader downloader;
  UniqueHandle finished(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
  ASSERT_NE(downloader.Start(server_.BodyUrl("size=5000"), target_, &EventLog::Record, 8, finished.get()), nullptr);
  ASSERT_EQ(::WaitForSingleObject(finished.get(), kFinishLimitMs), WAIT_OBJECT_0);
  const std::size_t events = EventLog::Of(8).size();
  downloader.Stop();
  downloader.Stop();
  EXPECT_EQ(EventLog::Of(8).size(), events);
  EXPECT_EQ(downloader.Result(), DownloadResult::Succeeded);
  EXPECT_TRUE(ReadTarget() == ExpectedBody(5000));
}

TEST_F(FileDownloaderTest, ASecondDownloaderOfTheSameTargetFailsAndSparesTheFirst) {
  FileDownloader first;
  FileDownloader second;
  UniqueHandle firstFinished(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
  UniqueHandle secondFinished(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
  ASSERT_NE(first.Start(server_.BodyUrl("size=30000&piece=2048&delay=100"), target_, &EventLog::Record, 9,
                        firstFinished.get()),
            nullptr);
  ASSERT_TRUE(EventLog::WaitFor(9, Kind::Started));  // the first holds the file now
  ASSERT_NE(second.Start(server_.BodyUrl("size=1000"), target_, &EventLog::Record, 10, secondFinished.get()), nullptr);
  ASSERT_EQ(::WaitForSingleObject(secondFinished.get(), kFinishLimitMs), WAIT_OBJECT_0);
  EXPECT_EQ(second.Result(), DownloadResult::Failed);
  ExpectEnding(10, false);
  ASSERT_EQ(::WaitForSingleObject(firstFinished.get(), kFinishLimitMs), WAIT_OBJECT_0);
  EXPECT_EQ(first.Result(), DownloadResult::Succeeded);
  ExpectEnding(9, true);
  EXPECT_TRUE(ReadTarget() == ExpectedBody(30000));
}

TEST_F(FileDownloaderTest, OneDownloaderCanFetchAgainAfterItsTransferEnded) {
  FileDownloader downloader;
  UniqueHandle finished(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
  ASSERT_NE(downloader.Start(server_.BodyUrl("status=404"), target_, &EventLog::Record, 11, finished.get()), nullptr);
  ASSERT_EQ(::WaitForSingleObject(finished.get(), kFinishLimitMs), WAIT_OBJECT_0);
  EXPECT_EQ(downloader.Result(), DownloadResult::Failed);
  ASSERT_NE(downloader.Start(server_.BodyUrl("size=7000"), target_, &EventLog::Record, 12, finished.get()), nullptr);
  ASSERT_EQ(::WaitForSingleObject(finished.get(), kFinishLimitMs), WAIT_OBJECT_0);
  downloader.Stop();
  EXPECT_EQ(downloader.Result(), DownloadResult::Succeeded);
  EXPECT_TRUE(ReadTarget() == ExpectedBody(7000));
  ExpectEnding(12, true);
}

}  // namespace
