// The clock: the current time as the programs see it. Tests can stop it at
// a moment of their choice, so that dated output is the same on every run.
#pragma once

#include <cstdint>

#include "platform/filetime.h"

// The current time (UTC) as a Windows file time, or the fixed time while
// one is set.
FileTime FileTimeNow();
// The same moment in whole seconds since 1970-01-01 UTC, as time() gives it.
int64_t UnixTimeNow();

// Milliseconds of a clock that only goes forward, from no fixed moment, for
// deadlines and time limits; fixing the clock leaves it running.
int64_t ElapsedMs();

// For tests: the clock stands at `time` until ReleaseClock.
void FixClock(FileTime time);
void ReleaseClock();
