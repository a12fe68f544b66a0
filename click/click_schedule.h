#pragma once
// When the clicks of a run are due. Click 1 is due a fixed delay after the
// start, and every later click one interval after the one before, counted on
// one schedule so that waits never add up. A click that ends later than half
// an interval after it was due re-anchors the schedule: the clicks it missed
// are not replayed, the next one is due one interval after it. So no two
// clicks come closer than half the interval, and a run that is never late
// keeps its schedule to the tick.
//
// A click takes a moment to send. What the quickest earlier click of the run
// took counts as that moment, not as lateness; the first click has no earlier
// one, so all of its time counts (under Wine its first cursor move can take
// longer than a short interval).
//
// Times are ticks of one counter (QueryPerformanceCounter); plain arithmetic,
// no clock of its own.

#include <cstdint>

class ClickSchedule {
 public:
  ClickSchedule(std::int64_t startTicks, std::int64_t ticksPerSecond, std::int64_t firstDelayMs,
                std::int64_t intervalMs) noexcept;

  // When the next click is due.
  [[nodiscard]] std::int64_t NextDue() const noexcept;

  // The next click began at beganTicks and was done at doneTicks.
  void Clicked(std::int64_t beganTicks, std::int64_t doneTicks) noexcept;

  // How many times the schedule was re-anchored so far.
  [[nodiscard]] std::int64_t reanchors() const noexcept { return reanchors_; }

 private:
  [[nodiscard]] std::int64_t Ticks(std::int64_t ms) const noexcept;

  std::int64_t anchorTicks_;
  std::int64_t ticksPerSecond_;
  std::int64_t intervalMs_;
  std::int64_t offsetMs_;           // of the next click from the anchor
  std::int64_t quickestClick_ = -1;  // ticks the quickest click so far took; -1 before the first
  std::int64_t reanchors_ = 0;
};
