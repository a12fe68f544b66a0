// The real program, started under Wine in a folder of its own.
#include <gtest/gtest.h>

#include "tests/e2e/program_under_test.h"

namespace {

const Text kApp = WindowsPathOf(APP_EXE);

TEST(AppStart, RunsUnderWineAndEndsWithCodeZero) {
  ProgramUnderTest program(kApp);
  ASSERT_TRUE(program.Start());
  EXPECT_EQ(program.WaitForExit(20000), 0u);
  EXPECT_FALSE(program.FileExists("config.ini"));
}

}  // namespace
