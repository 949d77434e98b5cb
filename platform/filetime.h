// Windows file times (100 ns units since 1601-01-01 UTC): the times of files
// on disk, Unix and local-time conversions and the broken-down form.
#pragma once

#include <cstdint>

// Windows file time: 100-nanosecond intervals since 1601-01-01 UTC.
using FileTime = uint64_t;

// Broken-down time, as Windows' SYSTEMTIME (month 1..12, dayOfWeek 0 = Sunday).
struct SystemTime {
  int year = 0, month = 0, dayOfWeek = 0, day = 0;
  int hour = 0, minute = 0, second = 0, milliseconds = 0;
};

// Null pointers leave a time unread or unchanged.
bool GetFileTimes(const char* path, FileTime* creation, FileTime* access, FileTime* write);
bool SetFileTimes(const char* path, const FileTime* creation, const FileTime* access,
                  const FileTime* write);

FileTime UnixToFileTime(int64_t seconds, int64_t nanoseconds = 0);
int64_t FileTimeToUnix(FileTime time);  // whole seconds
// UTC <-> local time by the host's time zone (the TZ variable applies).
FileTime FileTimeToLocal(FileTime utc);
FileTime LocalToFileTime(FileTime local);
SystemTime FileTimeToSystem(FileTime time);
FileTime SystemToFileTime(const SystemTime& time);
