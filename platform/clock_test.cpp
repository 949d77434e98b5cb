// The clock for deadlines goes on while the clock of the programs stands.
#include "platform/clock.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace {

TEST(Clock, ElapsedTimeRunsWhileTheClockIsFixed) {
  FixClock(UnixToFileTime(1000000000));
  int64_t start = ElapsedMs();
  usleep(20000);
  EXPECT_GE(ElapsedMs() - start, 20);
  EXPECT_EQ(UnixTimeNow(), 1000000000);
  ReleaseClock();
}

}  // namespace
