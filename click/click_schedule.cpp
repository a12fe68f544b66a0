#include "click/click_schedule.h"

namespace {

// Offsets further than this (about 31 years) are as good as never; it keeps
// every product below within 64 bits.
constexpr std::int64_t kMaxOffsetMs = 1'000'000'000'000LL;

std::int64_t ClampMs(std::int64_t ms) noexcept {
  if (ms < 0) return 0;
  return ms > kMaxOffsetMs ? kMaxOffsetMs : ms;
}

}  // namespace

ClickSchedule::ClickSchedule(std::int64_t startTicks, std::int64_t ticksPerSecond, std::int64_t firstDelayMs,
                             std::int64_t intervalMs) noexcept
    : anchorTicks_(startTicks),
      ticksPerSecond_(ticksPerSecond > 0 ? ticksPerSecond : 1),
      intervalMs_(ClampMs(intervalMs)),
      offsetMs_(ClampMs(firstDelayMs)) {}

std::int64_t ClickSchedule::Ticks(std::int64_t ms) const noexcept {
  // Split so that the product cannot overflow for any clamped value.
  return ms / 1000 * ticksPerSecond_ + ms % 1000 * ticksPerSecond_ / 1000;
}

std::int64_t ClickSchedule::NextDue() const noexcept { return anchorTicks_ + Ticks(offsetMs_); }

void ClickSchedule::Clicked(std::int64_t beganTicks, std::int64_t doneTicks) noexcept {
  const std::int64_t took = doneTicks > beganTicks ? doneTicks - beganTicks : 0;
  // The click as if it had taken the usual moment to send.
  const std::int64_t sendingTime = quickestClick_ < 0 ? 0 : (took < quickestClick_ ? took : quickestClick_);
  const std::int64_t clickedTicks = doneTicks - sendingTime;
  if (quickestClick_ < 0 || took < quickestClick_) quickestClick_ = took;

  const std::int64_t lateness = clickedTicks - NextDue();
  // Twice the lateness against the interval: exact for odd tick counts too.
  if (lateness > 0 && 2 * lateness > Ticks(intervalMs_)) {
    anchorTicks_ = clickedTicks;
    offsetMs_ = intervalMs_;
    ++reanchors_;
    return;
  }
  offsetMs_ = ClampMs(offsetMs_ + intervalMs_);
}
