#include "click/click_worker.h"

#include <mmsystem.h>

#include <new>
#include <utility>

#include "click/click_schedule.h"

namespace {

// Not yet in every SDK's headers; Windows 10 1803 and later honour it.
constexpr DWORD kHighResolutionTimer = 0x00000002;

// How long a destroyed worker waits for its thread; the thread never waits
// on anything but its own stop event and timer, so it ends at once.
constexpr DWORD kThreadExitWaitMs = 2000;

constexpr std::int64_t kInitialDelayMs = 1000;

// Timer waits end up to a millisecond late (Wine rounds its time-outs up to
// whole milliseconds), so the last stretch before a deadline is spun on the
// performance counter instead; never more than this much.
constexpr std::int64_t kSpinMicroseconds = 900;

std::int64_t PerformanceFrequency() noexcept {
  LARGE_INTEGER frequency{};
  QueryPerformanceFrequency(&frequency);
  return frequency.QuadPart > 0 ? frequency.QuadPart : 1;
}

std::int64_t Now() noexcept {
  LARGE_INTEGER counter{};
  QueryPerformanceCounter(&counter);
  return counter.QuadPart;
}

// Splits the product so that it cannot overflow for any clamped value.
std::int64_t Scale(std::int64_t value, std::int64_t from, std::int64_t to) noexcept {
  return value / from * to + value % from * to / from;
}

volatile LONG g_lastSerial = 0;

// Holds the 1 ms system timer period while a run on a plain waitable timer lasts.
class TimerPeriod {
 public:
  TimerPeriod() noexcept = default;
  ~TimerPeriod() {
    if (active_) timeEndPeriod(1);
  }
  TimerPeriod(const TimerPeriod&) = delete;
  TimerPeriod& operator=(const TimerPeriod&) = delete;
  void Begin() noexcept { active_ = timeBeginPeriod(1) == TIMERR_NOERROR; }

 private:
  bool active_ = false;
};

// Waits for moments on the performance counter, cut short by the stop event.
class Pacer {
 public:
  explicit Pacer(HANDLE stopEvent) noexcept
      : stopEvent_(stopEvent),
        frequency_(PerformanceFrequency()),
        spinTicks_(Scale(kSpinMicroseconds, 1'000'000, frequency_)) {
    timer_.reset(CreateWaitableTimerExW(nullptr, nullptr, kHighResolutionTimer, TIMER_ALL_ACCESS));
    if (!timer_) {
      timer_.reset(CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS));
      period_.Begin();
    }
  }

  [[nodiscard]] std::int64_t frequency() const noexcept { return frequency_; }

  // False when the stop event ended the wait.
  [[nodiscard]] bool WaitUntil(std::int64_t deadline) noexcept {
    for (;;) {
      const std::int64_t remaining = deadline - Now();
      if (remaining <= 0) return true;
      if (remaining <= spinTicks_) {
        while (Now() < deadline) SwitchToThread();  // hands the processor on if anyone needs it
        return true;
      }
      if (!WaitAtMost(remaining - spinTicks_)) return false;
    }
  }

 private:
  bool WaitAtMost(std::int64_t ticks) noexcept {
    LARGE_INTEGER due{};
    due.QuadPart = -Scale(ticks, frequency_, 10'000'000);  // relative, in 100 ns units
    if (due.QuadPart == 0) due.QuadPart = -1;
    if (timer_ && SetWaitableTimer(timer_.get(), &due, 0, nullptr, nullptr, FALSE)) {
      const HANDLE handles[2] = {stopEvent_, timer_.get()};
      const DWORD woken = WaitForMultipleObjects(2, handles, FALSE, INFINITE);
      if (woken == WAIT_OBJECT_0 + 1) return true;
      if (woken == WAIT_OBJECT_0) return false;
    }
    // No timer: the stop event's own time-out, rounded up to whole milliseconds.
    std::int64_t ms = Scale(ticks, frequency_, 1000) + 1;
    if (ms >= INFINITE) ms = INFINITE - 1;
    return WaitForSingleObject(stopEvent_, static_cast<DWORD>(ms)) != WAIT_OBJECT_0;
  }

  HANDLE stopEvent_;
  std::int64_t frequency_;
  std::int64_t spinTicks_;
  UniqueHandle timer_;
  TimerPeriod period_;
};

}  // namespace

struct ClickWorker::Run {
  ClickJob job;
  ClickRoutine click = SimulateClick;
  HWND notifyWindow = nullptr;
  UINT finishedMessage = 0;
  std::uint32_t serial = 0;
  std::int64_t startTicks = 0;
  UniqueHandle stopEvent;
  // Makes "not stopped, so click (or post)" one step against Stop.
  SRWLOCK lock = SRWLOCK_INIT;
  bool stopped = false;
  volatile LONG finished = 0;  // 1 once the run has ended by itself
  volatile LONG references = 1;
};

void ClickWorker::RunRelease::operator()(Run* run) const noexcept {
  if (InterlockedDecrement(&run->references) == 0) delete run;
}

namespace {

class LockedRun {
 public:
  explicit LockedRun(SRWLOCK& lock) noexcept : lock_(lock) { AcquireSRWLockExclusive(&lock_); }
  ~LockedRun() { ReleaseSRWLockExclusive(&lock_); }
  LockedRun(const LockedRun&) = delete;
  LockedRun& operator=(const LockedRun&) = delete;

 private:
  SRWLOCK& lock_;
};

}  // namespace

DWORD WINAPI ClickWorker::ThreadMain(LPVOID parameter) noexcept {
  RunRef run(static_cast<Run*>(parameter));
  return RunClickJob(*run);
}

bool ClickWorker::ClickUnlessStopped(Run& run, std::int32_t x, std::int32_t y) noexcept {
  const LockedRun locked(run.lock);
  if (run.stopped) return false;
  switch (run.job.buttonCode) {
    case 0: run.click(x, y, kLeftClick); break;
    case 1: run.click(x, y, kLeftDoubleClick); break;
    case 2: run.click(x, y, kRightClick); break;
    default: break;  // clicks nothing, but the run keeps its pace
  }
  return true;
}

DWORD ClickWorker::RunClickJob(Run& run) noexcept {
  Pacer pacer(run.stopEvent.get());
  const ClickJob& job = run.job;
  const std::int64_t count = TextToInt(job.countText);
  const std::int32_t typedInterval = TextToInt(job.intervalText);
  const std::int64_t interval = typedInterval < 0 ? 0 : typedInterval;
  const bool followX = job.xText == "-1";
  const bool followY = job.yText == "-1";
  const std::int32_t fixedX = TextToInt(job.xText);
  const std::int32_t fixedY = TextToInt(job.yText);
  ClickSchedule schedule(run.startTicks, pacer.frequency(), kInitialDelayMs, interval);

  if (!pacer.WaitUntil(schedule.NextDue())) return 0;
  for (std::int64_t k = 1; k <= count; ++k) {
    if (k > 1) {
      if (interval > 0) {
        if (!pacer.WaitUntil(schedule.NextDue())) return 0;
      } else {
        SwitchToThread();  // as fast as the system takes the events, but share the processor
      }
    }
    const std::int64_t began = Now();
    const std::int32_t x = followX ? CursorX() : fixedX;
    const std::int32_t y = followY ? CursorY() : fixedY;
    if (!ClickUnlessStopped(run, x, y)) return 0;
    schedule.Clicked(began, Now());
  }
  // The idle look returns one interval after the last click.
  if (count > 0 && interval > 0 && !pacer.WaitUntil(schedule.NextDue())) return 0;

  const LockedRun locked(run.lock);
  if (run.stopped) return 0;
  InterlockedExchange(&run.finished, 1);
  PostMessageA(run.notifyWindow, run.finishedMessage, run.serial, 0);
  return 0;
}

ClickWorker::ClickWorker(RunRef run) noexcept : run_(std::move(run)) {}

std::int64_t ClickWorker::Ticks() noexcept { return Now(); }

std::unique_ptr<ClickWorker> ClickWorker::Start(const ClickJob& job, HWND notifyWindow, UINT finishedMessage,
                                                std::int64_t pressedTicks, ClickRoutine click) noexcept {
  const std::int64_t startTicks = pressedTicks != 0 ? pressedTicks : Now();
  std::unique_ptr<ClickWorker> worker;
  try {
    RunRef run(new Run);
    run->job = job;
    run->click = click ? click : SimulateClick;
    run->notifyWindow = notifyWindow;
    run->finishedMessage = finishedMessage;
    run->serial = static_cast<std::uint32_t>(InterlockedIncrement(&g_lastSerial));
    run->startTicks = startTicks;
    run->stopEvent.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!run->stopEvent) return nullptr;
    // Made before the thread exists, so that nothing can fail once it runs.
    worker.reset(new ClickWorker(std::move(run)));
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  Run* shared = worker->run_.get();
  InterlockedIncrement(&shared->references);  // the thread's reference
  worker->thread_.reset(CreateThread(nullptr, 0, &ThreadMain, shared, 0, nullptr));
  if (!worker->thread_) {
    InterlockedDecrement(&shared->references);
    return nullptr;
  }
  return worker;
}

void ClickWorker::Stop() noexcept {
  const LockedRun locked(run_->lock);
  run_->stopped = true;
  SetEvent(run_->stopEvent.get());
}

ClickWorker::~ClickWorker() {
  if (!run_) return;
  Stop();
  if (thread_) WaitForSingleObject(thread_.get(), kThreadExitWaitMs);
}

std::uint32_t ClickWorker::serial() const noexcept { return run_->serial; }

bool ClickWorker::finished() const noexcept {
  return InterlockedCompareExchange(&run_->finished, 1, 1) == 1;
}
