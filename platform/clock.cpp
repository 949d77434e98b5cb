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

int64_t ElapsedMs() {
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

void FixClock(FileTime time) {
  fixedTime = time;
  clockFixed = true;
}

void ReleaseClock() { clockFixed = false; }
