// Test helper for dateren's tests: a file time at noon (UTC) of a day, as
// the tests give their pictures their dates.
#pragma once

#include "platform/filetime.h"

inline FileTime NoonOf(int year, int month, int day) {
  SystemTime time;
  time.year = year;
  time.month = month;
  time.day = day;
  time.hour = 12;
  return SystemToFileTime(time);
}
