// When the clicks of a run are due, driven by made-up times: one tick is one
// millisecond unless a case says otherwise.
#include "click/click_schedule.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "tests/case_name.h"

namespace {

// One click: how late it began against its due time, and how long sending it
// took, in ticks.
struct Click {
  std::int64_t late;
  std::int64_t took;
};

struct ScheduleCase {
  const char* name;
  std::int64_t ticksPerSecond;
  std::int64_t intervalMs;
  std::vector<Click> clicks;
  std::vector<std::int64_t> due;  // when each click is due, the start being tick 0
};

class ClickScheduleTest : public testing::TestWithParam<ScheduleCase> {};

TEST_P(ClickScheduleTest, DueTimes) {
  const ScheduleCase& c = GetParam();
  ClickSchedule schedule(0, c.ticksPerSecond, 1000, c.intervalMs);
  std::vector<std::int64_t> due;
  for (const Click& click : c.clicks) {
    due.push_back(schedule.NextDue());
    schedule.Clicked(due.back() + click.late, due.back() + click.late + click.took);
  }
  due.push_back(schedule.NextDue());
  EXPECT_EQ(due, c.due);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, ClickScheduleTest,
    testing::Values(
        ScheduleCase{"OnTimeKeepsTheStartAsAnchor", 1000, 100, {{0, 0}, {0, 0}, {0, 0}}, {1000, 1100, 1200, 1300}},
        // Up to half an interval late: the schedule holds, nothing drifts.
        ScheduleCase{"LateByHalfOrLessKeepsTheSchedule", 1000, 100, {{50, 0}, {1, 0}, {49, 0}, {0, 0}},
                     {1000, 1100, 1200, 1300, 1400}},
        // More than half: the next click is due an interval after the late one.
        ScheduleCase{"LateByMoreThanHalfReanchors", 1000, 100, {{0, 0}, {51, 0}, {0, 0}}, {1000, 1100, 1251, 1351}},
        // A stall while sending: the missed clicks are not replayed one after another.
        ScheduleCase{"StallIsNotCaughtUp", 1000, 20, {{0, 0}, {0, 0}, {0, 500}, {0, 0}, {0, 0}},
                     {1000, 1020, 1040, 1560, 1580, 1600}},
        // The first click's slow first cursor move under Wine counts whole.
        ScheduleCase{"SlowFirstClick", 1000, 10, {{0, 15}, {0, 1}, {0, 1}}, {1000, 1025, 1035, 1045}},
        // Sending takes more than half of a 1 ms interval: only the first
        // click, with nothing to compare, moves the schedule.
        ScheduleCase{"SendingTimeIsNotLateness", 10'000'000, 1, {{0, 6000}, {0, 6000}, {0, 6000}},
                     {10'000'000, 10'016'000, 10'026'000, 10'036'000}},
        // A later click that takes longer than the quickest one: the extra is late.
        ScheduleCase{"SlowLaterClickReanchors", 1000, 10, {{0, 1}, {0, 1}, {0, 9}}, {1000, 1010, 1020, 1038}},
        ScheduleCase{"ZeroIntervalFollowsEachClick", 1000, 0, {{0, 0}, {3, 0}, {0, 0}}, {1000, 1000, 1003, 1003}},
        ScheduleCase{"NegativeIntervalIsZero", 1000, -5, {{0, 0}, {0, 0}}, {1000, 1000, 1000}},
        // An interval of 3 ticks: 1 tick late keeps, 2 re-anchor.
        ScheduleCase{"HalfOfOddTicksKeeps", 3000, 1, {{1, 0}, {0, 0}}, {3000, 3003, 3006}},
        ScheduleCase{"HalfOfOddTicksReanchors", 3000, 1, {{2, 0}, {0, 0}}, {3000, 3005, 3008}},
        ScheduleCase{"TenMegahertzMillisecond", 10'000'000, 1, {{5000, 0}, {5001, 0}, {0, 0}},
                     {10'000'000, 10'010'000, 10'025'001, 10'035'001}}),
    CaseName());

// A fixed pseudo-random sequence.
std::uint32_t Next(std::uint32_t& seed) {
  seed = seed * 1103515245u + 12345u;
  return seed >> 8;
}

// Whatever the lateness and sending times, the next click is due at least
// half an interval after the previous one began, so no two clicks come closer
// than that.
TEST(ClickScheduleProperties, NoTwoClicksCloserThanHalfAnInterval) {
  for (const std::int64_t interval : {1, 2, 7, 10, 100, 1000}) {
    ClickSchedule schedule(123, 10'000, 1000, interval);
    const std::int64_t intervalTicks = interval * 10;
    std::uint32_t seed = 12345;
    for (int k = 0; k < 2000; ++k) {
      const std::int64_t began =
          schedule.NextDue() + Next(seed) % static_cast<std::uint32_t>(3 * intervalTicks + 1);
      schedule.Clicked(began, began + Next(seed) % static_cast<std::uint32_t>(intervalTicks + 1));
      ASSERT_GE(2 * (schedule.NextDue() - began), intervalTicks) << "interval " << interval << " click " << k;
    }
    EXPECT_GT(schedule.reanchors(), 0);
  }
}

// A run whose clicks take the same time to send and begin at most half an
// interval late stays on its first schedule to the tick.
TEST(ClickScheduleProperties, NeverLateMeansNoDrift) {
  ClickSchedule schedule(777, 10'000'000, 1000, 10);
  std::uint32_t seed = 99;
  for (std::int64_t k = 0; k < 100'000; ++k) {
    ASSERT_EQ(schedule.NextDue(), 777 + 10'000'000 + k * 100'000) << "click " << k + 1;
    // The first click's sending time counts as lateness too.
    const std::int64_t began = schedule.NextDue() + (k == 0 ? 0 : Next(seed) % 50'001);
    schedule.Clicked(began, began + 20'000);
  }
  EXPECT_EQ(schedule.reanchors(), 0);
}

TEST(ClickScheduleProperties, HugeValuesDoNotOverflow) {
  ClickSchedule schedule(0, 10'000'000, 1000, 2147483647);
  std::int64_t previous = schedule.NextDue();
  for (int k = 0; k < 1000; ++k) {
    schedule.Clicked(schedule.NextDue(), schedule.NextDue());
    ASSERT_GE(schedule.NextDue(), previous) << k;
    previous = schedule.NextDue();
  }
}

}  // namespace
