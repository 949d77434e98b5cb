// The clock over the host's real-time clock, with a fixed time for tests.
#include "platform/clock.h"

#include <time.h>

#include <atomic>

namespace {

std::atomic<bool> clockFixed{false};
std::atomic<FileTime> fixedTime{0};

}  // namespace

FileTime FileTimeNow() {
  if (clockFixed) return fixedTime;
  struct timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  return UnixToFileTime(now.tv_sec, now.tv_nsec);
}

int64_t UnixTimeNow() { return FileTimeToUnix(FileTimeNow()); }

void FixClock(FileTime time) {
  fixedTime = time;
  clockFixed = true;
}

void ReleaseClock() { clockFixed = false; }
