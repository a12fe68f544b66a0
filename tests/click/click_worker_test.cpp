#include "click/click_worker.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "tests/case_name.h"
#include "tests/click/recording_window.h"

namespace {

constexpr UINT kFinished = WM_APP + 7;
// The first click comes a second after the start; leave room for a slow host.
constexpr DWORD kRunTimeoutMs = 20000;

ClickJob JobAt(const char* x, const char* y, const char* count, const char* interval = "0",
               std::int32_t buttonCode = 0) {
  ClickJob job;
  job.xText = x;
  job.yText = y;
  job.countText = count;
  job.intervalText = interval;
  job.buttonCode = buttonCode;
  return job;
}

std::vector<UINT> Repeat(const std::vector<UINT>& pattern, int times) {
  std::vector<UINT> result;
  for (int i = 0; i < times; ++i) result.insert(result.end(), pattern.begin(), pattern.end());
  return result;
}

std::vector<WPARAM> FinishedSerials(const RecordingWindow& recorder) {
  std::vector<WPARAM> serials;
  for (const RecordedMessage& m : recorder.Of(kFinished)) serials.push_back(m.wParam);
  std::sort(serials.begin(), serials.end());
  return serials;
}

class ClickWorkerTest : public testing::Test {
 protected:
  // Covers the screen's left edge, where a clamped X lands.
  RecordingWindow recorder_{0, 150, 240, 120};
};

struct RunCase {
  const char* name;
  ClickJob job;
  std::vector<UINT> expected;
};

class ClickWorkerRunTest : public ClickWorkerTest, public testing::WithParamInterface<RunCase> {};

TEST_P(ClickWorkerRunTest, ClicksCountTimesThenReportsFinished) {
  const RunCase& c = GetParam();
  SetCursorPos(700, 700);
  std::unique_ptr<ClickWorker> worker = ClickWorker::Start(c.job, recorder_.handle(), kFinished);
  ASSERT_NE(worker, nullptr);

  ASSERT_TRUE(recorder_.PumpUntil(kRunTimeoutMs, [&] { return !recorder_.Of(kFinished).empty(); }));
  recorder_.Settle(300);
  EXPECT_EQ(recorder_.ButtonMessages(), c.expected);
  for (const RecordedMessage& m : recorder_.messages()) {
    if (m.message == kFinished) continue;
    EXPECT_EQ(m.screenPoint.x, 100);
    EXPECT_EQ(m.screenPoint.y, 200);
  }
  EXPECT_EQ(FinishedSerials(recorder_), std::vector<WPARAM>{worker->serial()});
  EXPECT_EQ(WaitForSingleObject(worker->thread(), 5000), WAIT_OBJECT_0);
}

const std::vector<UINT> kLeft = {WM_LBUTTONDOWN, WM_LBUTTONUP};
const std::vector<UINT> kRight = {WM_RBUTTONDOWN, WM_RBUTTONUP};

INSTANTIATE_TEST_SUITE_P(
    Jobs, ClickWorkerRunTest,
    testing::Values(RunCase{"ThreeLeftClicksBackToBack", JobAt("100", "200", "3"), Repeat(kLeft, 3)},
                    RunCase{"PacedByTimer", JobAt("100", "200", "3", "15"), Repeat(kLeft, 3)},
                    RunCase{"DoubleClickNegativeInterval", JobAt("100", "200", "2", "-5", 1), Repeat(kLeft, 4)},
                    RunCase{"RightClickTextInterval", JobAt("100", "200", "2", "abc", 2), Repeat(kRight, 2)},
                    RunCase{"CountReadUpToFirstNonDigit", JobAt("100", "200", "1e3"), Repeat(kLeft, 1)}),
    CaseName());

// Runs that click nothing still end with the message; stopped or destroyed
// ones never send it. They run side by side to share the one-second start.
TEST_F(ClickWorkerTest, RunsWithoutClicksFinishAndStoppedRunsStaySilent) {
  const HWND window = recorder_.handle();
  std::vector<std::unique_ptr<ClickWorker>> finishing;
  for (const ClickJob& job : {JobAt("100", "200", "0"), JobAt("100", "200", "abc"),
                              JobAt("100", "200", "2147483648"), JobAt("100", "200", "-3"),
                              JobAt("100", "200", "3", "0", 9), JobAt("100", "200", "2", "0", -1)}) {
    finishing.push_back(ClickWorker::Start(job, window, kFinished));
    ASSERT_NE(finishing.back(), nullptr);
  }
  std::unique_ptr<ClickWorker> stopped = ClickWorker::Start(JobAt("100", "200", "5"), window, kFinished);
  std::unique_ptr<ClickWorker> destroyed = ClickWorker::Start(JobAt("100", "200", "5"), window, kFinished);
  ASSERT_NE(stopped, nullptr);
  ASSERT_NE(destroyed, nullptr);
  stopped->Stop();
  destroyed.reset();

  ASSERT_TRUE(recorder_.PumpUntil(kRunTimeoutMs, [&] { return recorder_.Of(kFinished).size() >= finishing.size(); }));
  recorder_.Settle(400);
  EXPECT_TRUE(recorder_.ButtonMessages().empty());
  std::vector<WPARAM> expected;
  for (const auto& worker : finishing) expected.push_back(worker->serial());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(FinishedSerials(recorder_), expected);
  EXPECT_EQ(WaitForSingleObject(stopped->thread(), 5000), WAIT_OBJECT_0);
}

TEST_F(ClickWorkerTest, StopCutsALongWaitShort) {
  std::unique_ptr<ClickWorker> worker =
      ClickWorker::Start(JobAt("100", "200", "3", "600000"), recorder_.handle(), kFinished);
  ASSERT_NE(worker, nullptr);
  ASSERT_TRUE(recorder_.PumpUntil(kRunTimeoutMs, [&] { return recorder_.Of(WM_LBUTTONUP).size() == 1; }));

  worker->Stop();
  // The next click is ten minutes away; only the stop event can end the thread now.
  EXPECT_EQ(WaitForSingleObject(worker->thread(), 10000), WAIT_OBJECT_0);
  recorder_.Settle(200);
  EXPECT_EQ(recorder_.ButtonMessages(), kLeft);
  EXPECT_TRUE(recorder_.Of(kFinished).empty());
}

// A click routine that only notes when each click began, and blocks once.
namespace stall {
constexpr int kMaxClicks = 64;
std::int64_t g_began[kMaxClicks];
volatile LONG g_clicks = 0;
LONG g_stallAt = 0;  // the click that blocks, counted from 1
DWORD g_stallMs = 0;

std::int64_t Now() {
  LARGE_INTEGER counter{};
  QueryPerformanceCounter(&counter);
  return counter.QuadPart;
}

void NoteClick(std::int32_t, std::int32_t, ClickKind) noexcept {
  const LONG k = InterlockedIncrement(&g_clicks);
  if (k <= kMaxClicks) g_began[k - 1] = Now();
  if (k == g_stallAt) Sleep(g_stallMs);
}
}  // namespace stall

// A click that blocks for 300 ms in a run at 20 ms: the run goes on at its
// interval from the late click instead of sending the missed ones at once,
// and still clicks exactly as often as asked.
TEST_F(ClickWorkerTest, AStallIsFollowedByTheIntervalNotABurst) {
  constexpr int kCount = 15;
  constexpr int kStallAt = 5;
  constexpr double kIntervalMs = 20;
  stall::g_clicks = 0;
  stall::g_stallAt = kStallAt;
  stall::g_stallMs = 300;
  std::unique_ptr<ClickWorker> worker =
      ClickWorker::Start(JobAt("100", "200", "15", "20"), recorder_.handle(), kFinished, 0, stall::NoteClick);
  ASSERT_NE(worker, nullptr);
  ASSERT_TRUE(recorder_.PumpUntil(kRunTimeoutMs, [&] { return !recorder_.Of(kFinished).empty(); }));
  EXPECT_TRUE(worker->finished());
  ASSERT_EQ(stall::g_clicks, kCount);

  LARGE_INTEGER frequency{};
  QueryPerformanceFrequency(&frequency);
  std::vector<double> gaps;  // gaps[i]: from click i + 1 to click i + 2, in ms
  for (int i = 1; i < kCount; ++i) {
    gaps.push_back(static_cast<double>(stall::g_began[i] - stall::g_began[i - 1]) * 1000.0 /
                   static_cast<double>(frequency.QuadPart));
  }
  // Never two clicks closer than half the interval (the old schedule sent the
  // clicks missed during the stall back to back).
  for (std::size_t i = 0; i < gaps.size(); ++i) EXPECT_GE(gaps[i], kIntervalMs / 2) << "after click " << i + 1;
  // The click after the stall comes an interval after the stalled one ended.
  EXPECT_GE(gaps[kStallAt - 1], 300 + kIntervalMs);
  // From there the run keeps its interval.
  std::vector<double> after(gaps.begin() + kStallAt, gaps.end());
  std::sort(after.begin(), after.end());
  EXPECT_NEAR(after[after.size() / 2], kIntervalMs, kIntervalMs / 4);
}

struct FollowCase {
  const char* name;
  const char* xText;
  const char* yText;
  POINT cursorBefore;
  POINT expected;
};

class ClickWorkerFollowTest : public ClickWorkerTest, public testing::WithParamInterface<FollowCase> {};

TEST_P(ClickWorkerFollowTest, MinusOneFollowsTheCursorOnThatAxisOnly) {
  const FollowCase& c = GetParam();
  ASSERT_TRUE(SetCursorPos(c.cursorBefore.x, c.cursorBefore.y));
  std::unique_ptr<ClickWorker> worker =
      ClickWorker::Start(JobAt(c.xText, c.yText, "2"), recorder_.handle(), kFinished);
  ASSERT_NE(worker, nullptr);

  ASSERT_TRUE(recorder_.PumpUntil(kRunTimeoutMs, [&] { return !recorder_.Of(kFinished).empty(); }));
  recorder_.Settle(300);
  POINT cursor{};
  ASSERT_TRUE(GetCursorPos(&cursor));
  EXPECT_EQ(cursor.x, c.expected.x);
  EXPECT_EQ(cursor.y, c.expected.y);
  const std::vector<RecordedMessage> downs = recorder_.Of(WM_LBUTTONDOWN);
  ASSERT_EQ(downs.size(), 2u);
  for (const RecordedMessage& m : downs) {
    EXPECT_EQ(m.screenPoint.x, c.expected.x);
    EXPECT_EQ(m.screenPoint.y, c.expected.y);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Axes, ClickWorkerFollowTest,
    testing::Values(FollowCase{"XFollows", "-1", "190", {130, 400}, {130, 190}},
                    FollowCase{"YFollows", "120", "-1", {700, 180}, {120, 180}},
                    // Only the exact text is the marker; " -1" is the number -1, clamped to the screen.
                    FollowCase{"BlankBeforeMarkerIsANumber", " -1", "190", {130, 400}, {0, 190}}),
    CaseName());

}  // namespace
