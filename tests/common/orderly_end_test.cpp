// Asking for an orderly end from below the application. Each case ends a
// process of its own.
#include <gtest/gtest.h>

#include "common/orderly_end.h"

namespace {

void EndWithCodePlus100(UINT exitCode) noexcept { ExitProcess(exitCode + 100); }

void EndThatReturns(UINT) noexcept {}

TEST(OrderlyEndDeathTest, WithoutAnInstalledEndTheProcessExitsWithTheCode) {
  EXPECT_EXIT(runtime::RequestOrderlyEnd(7), testing::ExitedWithCode(7), "");
}

TEST(OrderlyEndDeathTest, GoesThroughTheInstalledEnd) {
  EXPECT_EXIT(
      {
        runtime::SetOrderlyEnd(EndWithCodePlus100);
        runtime::RequestOrderlyEnd(7);
      },
      testing::ExitedWithCode(107), "");
}

TEST(OrderlyEndDeathTest, AnEndThatReturnsStillEndsTheProcess) {
  EXPECT_EXIT(
      {
        runtime::SetOrderlyEnd(EndThatReturns);
        runtime::RequestOrderlyEnd(5);
      },
      testing::ExitedWithCode(5), "");
}

}  // namespace
