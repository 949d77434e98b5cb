// Dated names: the date of a file time, the two-digit year, the "-#" ending
// and the name itself.
#include "programs/dateren/date_rename.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/env.h"

namespace {

FileTime Utc(int year, int month, int day, int hour = 12, int minute = 0, int second = 0) {
  SystemTime time;
  time.year = year;
  time.month = month;
  time.day = day;
  time.hour = hour;
  time.minute = minute;
  time.second = second;
  return SystemToFileTime(time);
}

// Sets the time zone for one test and puts the old one back.
class TimeZone {
 public:
  explicit TimeZone(const char* zone) {
    const char* old = GetEnv("TZ");
    hadOld_ = old != nullptr;
    if (old) old_ = old;
    SetEnv("TZ", zone);
  }
  ~TimeZone() { SetEnv("TZ", hadOld_ ? old_.c_str() : nullptr); }

 private:
  std::string old_;
  bool hadOld_ = false;
};

TEST(DosDate, LocalDateOfTheFileTime) {
  struct Case {
    const char* zone;
    FileTime time;
    bool valid;
    int year, month, day, digits;
  } cases[] = {
      {"UTC", Utc(1999, 7, 4), true, 1999, 7, 4, 99},
      {"UTC", Utc(2003, 1, 2), true, 2003, 1, 2, 3},
      {"UTC", Utc(1980, 1, 1, 0, 0, 0), true, 1980, 1, 1, 80},
      {"UTC", Utc(2107, 12, 31, 23, 59, 59), true, 2107, 12, 31, 7},
      {"UTC", Utc(1979, 12, 31, 23, 59, 59), false, 0, 0, 0, 0},
      {"UTC", Utc(2108, 1, 1, 0, 0, 0), false, 0, 0, 0, 0},
      {"EST5", Utc(2000, 1, 1, 3), true, 1999, 12, 31, 99},  // the local date counts
      {"EST5", Utc(1980, 1, 1, 3), false, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    TimeZone zone(c.zone);
    DosDate date;
    ASSERT_EQ(c.valid, ToDosDate(c.time, &date)) << c.year << " " << c.zone;
    if (!c.valid) continue;
    EXPECT_EQ(c.year, date.year);
    EXPECT_EQ(c.month, date.month);
    EXPECT_EQ(c.day, date.day);
    EXPECT_EQ(c.digits, YearDigits(date));
  }
}

TEST(DatedName, DashDigitEndingGoes) {
  struct Case {
    const char* base;
    const char* undashed;
  } cases[] = {
      {"pic-2", "pic"},   {"a-1", "a"},         {"-1", "-1"},        {"pic-22", "pic-22"},
      {"pic-", "pic-"},   {"pic2", "pic2"},     {"pic-x", "pic-x"},  {"sub\\p-9", "sub\\p"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(c.undashed, UndashedBase(c.base)) << c.base;
}

TEST(DatedName, DateBeforeTheExtension) {
  EXPECT_EQ("pic(990704).jpg", DatedName("pic", 99, 7, 4, ".jpg"));
  EXPECT_EQ("C:\\a\\PIC(030102).JPEG", DatedName("C:\\a\\PIC", 3, 1, 2, ".JPEG"));
  EXPECT_EQ("x(801231).htm", DatedName("x", 80, 12, 31, ".htm"));
}

TEST(ProgramName, BaseNameWithoutExtensionUpperCased) {
  struct Case {
    const char* argv0;
    const char* name;
  } cases[] = {
      {"/usr/bin/dateren", "DATEREN"},
      {"C:\\TOOLS\\DateRen.exe", "DATEREN"},
      {"dr.x.exe", "DR.X"},
      {"", "DATEREN"},
      {nullptr, "DATEREN"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.name, ProgramName(c.argv0));
}

}  // namespace
