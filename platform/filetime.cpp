// Windows file times (100 ns units since 1601-01-01 UTC): file times on disk,
// Unix and local-time conversions and the broken-down form.
#include "platform/filetime.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>

#include <cerrno>
#include <string>

#include "platform/attributes.h"
#include "platform/drives_host.h"
#include "platform/errors_host.h"
#include "platform/filetime_host.h"
#include "platform/listing.h"

namespace {

constexpr int64_t kUnitsPerSecond = 10000000;
constexpr int64_t kSecondsFrom1601To1970 = 11644473600LL;
constexpr int64_t kUnitsPerDay = 86400 * kUnitsPerSecond;
constexpr int64_t kDaysFrom1601To1970 = 134774;

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
int64_t DaysFromCivil(int64_t year, int month, int day) {
  year -= month <= 2;
  int64_t era = (year >= 0 ? year : year - 399) / 400;
  int64_t yearOfEra = year - era * 400;
  int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

void CivilFromDays(int64_t days, int* year, int* month, int* day) {
  days += 719468;
  int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  int64_t dayOfEra = days - era * 146097;
  int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  int64_t mp = (5 * dayOfYear + 2) / 153;
  *day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
  *month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  *year = static_cast<int>(yearOfEra + era * 400 + (*month <= 2));
}

bool IsLeap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeap(year) ? 29 : days[month - 1];
}

struct timespec ToTimespec(FileTime time) {
  struct timespec ts;
  ts.tv_sec = static_cast<time_t>(FileTimeToUnix(time));
  int64_t rest = static_cast<int64_t>(time) -
                 (static_cast<int64_t>(ts.tv_sec) + kSecondsFrom1601To1970) * kUnitsPerSecond;
  ts.tv_nsec = static_cast<long>(rest * 100);
  return ts;
}

// Offset of local time from UTC at the given moment, in seconds.
int64_t LocalOffset(time_t when) {
  tzset();
  struct tm local;
  if (!localtime_r(&when, &local)) return 0;
  return local.tm_gmtoff;
}

}  // namespace

namespace weft_host {

FileTime ToFileTime(const struct timespec& time) {
  return UnixToFileTime(time.tv_sec, time.tv_nsec);
}

}  // namespace weft_host

FileTime UnixToFileTime(int64_t seconds, int64_t nanoseconds) {
  int64_t units = (seconds + kSecondsFrom1601To1970) * kUnitsPerSecond + nanoseconds / 100;
  return units < 0 ? 0 : static_cast<FileTime>(units);
}

int64_t FileTimeToUnix(FileTime time) {
  return static_cast<int64_t>(time / kUnitsPerSecond) - kSecondsFrom1601To1970;
}

FileTime FileTimeToLocal(FileTime utc) {
  int64_t offset = LocalOffset(static_cast<time_t>(FileTimeToUnix(utc)));
  int64_t local = static_cast<int64_t>(utc) + offset * kUnitsPerSecond;
  return local < 0 ? 0 : static_cast<FileTime>(local);
}

FileTime LocalToFileTime(FileTime local) {
  SystemTime parts = FileTimeToSystem(local);
  struct tm tm = {};
  tm.tm_year = parts.year - 1900;
  tm.tm_mon = parts.month - 1;
  tm.tm_mday = parts.day;
  tm.tm_hour = parts.hour;
  tm.tm_min = parts.minute;
  tm.tm_sec = parts.second;
  tm.tm_isdst = -1;
  tzset();
  time_t utc = mktime(&tm);
  FileTime fraction = local % kUnitsPerSecond;
  return UnixToFileTime(utc) + fraction;
}

SystemTime FileTimeToSystem(FileTime time) {
  SystemTime out;
  int64_t days = static_cast<int64_t>(time / kUnitsPerDay);
  int64_t rest = static_cast<int64_t>(time % kUnitsPerDay);
  CivilFromDays(days - kDaysFrom1601To1970, &out.year, &out.month, &out.day);
  out.dayOfWeek = static_cast<int>((days + 1) % 7);  // 1601-01-01 was a Monday
  out.hour = static_cast<int>(rest / (3600 * kUnitsPerSecond));
  out.minute = static_cast<int>(rest / (60 * kUnitsPerSecond) % 60);
  out.second = static_cast<int>(rest / kUnitsPerSecond % 60);
  out.milliseconds = static_cast<int>(rest / 10000 % 1000);
  return out;
}

FileTime SystemToFileTime(const SystemTime& time) {
  if (time.year < 1601 || time.year > 30827 || time.month < 1 || time.month > 12 ||
      time.day < 1 || time.day > DaysInMonth(time.year, time.month) || time.hour < 0 ||
      time.hour > 23 || time.minute < 0 || time.minute > 59 || time.second < 0 ||
      time.second > 59 || time.milliseconds < 0 || time.milliseconds > 999) {
    weft_host::SetError("The parameter is incorrect.");
    return 0;
  }
  int64_t days = DaysFromCivil(time.year, time.month, time.day) + kDaysFrom1601To1970;
  int64_t seconds = days * 86400 + time.hour * 3600 + time.minute * 60 + time.second;
  return static_cast<FileTime>(seconds * kUnitsPerSecond + time.milliseconds * 10000LL);
}

bool GetFileTimes(const char* path, FileTime* creation, FileTime* access, FileTime* write) {
  FindData data;
  if (!GetFileInfo(path, &data)) return false;
  if (creation) *creation = data.creationTime;
  if (access) *access = data.accessTime;
  if (write) *write = data.writeTime;
  return true;
}

// The host keeps no settable creation time, so a creation time is accepted
// and left as it is.
bool SetFileTimes(const char* path, const FileTime* creation, const FileTime* access,
                  const FileTime* write) {
  (void)creation;
  std::string host;
  if (!weft_host::HostOfPath(path, &host)) return false;
  struct timespec times[2];
  times[0].tv_nsec = UTIME_OMIT;
  times[1].tv_nsec = UTIME_OMIT;
  if (access) times[0] = ToTimespec(*access);
  if (write) times[1] = ToTimespec(*write);
  if (utimensat(AT_FDCWD, host.c_str(), times, 0) != 0) {
    weft_host::SetErrno(errno);
    return false;
  }
  return true;
}
