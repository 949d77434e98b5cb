#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "platform/clock.h"
#include "platform/filetime.h"
#include "platform/testing/test_support.h"

namespace {

// Sets TZ for one test and restores it after.
class TimeZone : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* tz = getenv("TZ");
    had_ = tz != nullptr;
    if (tz) saved_ = tz;
  }
  void TearDown() override {
    if (had_) setenv("TZ", saved_.c_str(), 1);
    else unsetenv("TZ");
    tzset();
  }
  void Use(const char* tz) {
    setenv("TZ", tz, 1);
    tzset();
  }
  bool had_ = false;
  std::string saved_;
};

struct SystemCase {
  SystemTime time;
  FileTime fileTime;
};

const SystemCase kSystemCases[] = {
    {{1601, 1, 1, 1, 0, 0, 0, 0}, 0},  // a Monday
    {{1970, 1, 4, 1, 0, 0, 0, 0}, 116444736000000000ULL},
    {{2000, 2, 2, 29, 12, 30, 45, 123}, 125963010451230000ULL},
    {{2024, 12, 2, 31, 23, 59, 59, 999}, 133801631999990000ULL},
};

TEST(FileTimes, SystemTimeRoundTrip) {
  for (const auto& c : kSystemCases) {
    EXPECT_EQ(SystemToFileTime(c.time), c.fileTime) << c.time.year;
    SystemTime back = FileTimeToSystem(c.fileTime);
    EXPECT_EQ(back.year, c.time.year);
    EXPECT_EQ(back.month, c.time.month);
    EXPECT_EQ(back.dayOfWeek, c.time.dayOfWeek);
    EXPECT_EQ(back.day, c.time.day);
    EXPECT_EQ(back.hour, c.time.hour);
    EXPECT_EQ(back.minute, c.time.minute);
    EXPECT_EQ(back.second, c.time.second);
    EXPECT_EQ(back.milliseconds, c.time.milliseconds);
  }
  EXPECT_EQ(SystemToFileTime({2023, 2, 0, 29, 0, 0, 0, 0}), 0u);  // no such day
  EXPECT_EQ(SystemToFileTime({2023, 13, 0, 1, 0, 0, 0, 0}), 0u);
}

TEST(FileTimes, UnixConversions) {
  EXPECT_EQ(UnixToFileTime(0), 116444736000000000ULL);
  EXPECT_EQ(UnixToFileTime(1, 999999999), 116444736000000000ULL + 19999999);
  EXPECT_EQ(FileTimeToUnix(UnixToFileTime(1700000000, 5)), 1700000000);
  EXPECT_EQ(FileTimeToUnix(UnixToFileTime(-86400)), -86400);
  FileTime now = FileTimeNow();
  EXPECT_LE(FileTimeToUnix(now) - time(nullptr), 1);
  EXPECT_GE(FileTimeToUnix(now) - time(nullptr), -1);
}

TEST_F(TimeZone, LocalTimeFollowsTheZoneAndItsDaylightRule) {
  Use("CET-1CEST,M3.5.0,M10.5.0/3");
  FileTime winter = SystemToFileTime({2021, 1, 0, 15, 12, 0, 0, 250});
  FileTime summer = SystemToFileTime({2021, 7, 0, 15, 12, 0, 0, 0});
  SystemTime local = FileTimeToSystem(FileTimeToLocal(winter));
  EXPECT_EQ(local.hour, 13);
  EXPECT_EQ(local.milliseconds, 250);
  EXPECT_EQ(FileTimeToSystem(FileTimeToLocal(summer)).hour, 14);
  EXPECT_EQ(LocalToFileTime(FileTimeToLocal(winter)), winter);
  EXPECT_EQ(LocalToFileTime(FileTimeToLocal(summer)), summer);
  Use("UTC0");
  EXPECT_EQ(FileTimeToLocal(summer), summer);
  EXPECT_EQ(LocalToFileTime(summer), summer);
}

TEST(FileTimes, SetAndGetOnDisk) {
  TempDrive drive;
  drive.Write("f.txt", "x");
  FileTime access = UnixToFileTime(1100000000, 100);
  FileTime write = UnixToFileTime(1200000000, 300);
  ASSERT_TRUE(SetFileTimes("C:\\F.TXT", nullptr, &access, &write));
  FileTime gotAccess = 0, gotWrite = 0, creation = 0;
  ASSERT_TRUE(GetFileTimes("C:\\f.txt", &creation, &gotAccess, &gotWrite));
  EXPECT_EQ(gotAccess, access);
  EXPECT_EQ(gotWrite, write);
  EXPECT_NE(creation, 0u);
  // A null time is left as it was.
  FileTime later = UnixToFileTime(1300000000);
  ASSERT_TRUE(SetFileTimes("C:\\f.txt", &later, nullptr, &later));
  ASSERT_TRUE(GetFileTimes("C:\\f.txt", nullptr, &gotAccess, &gotWrite));
  EXPECT_EQ(gotAccess, access);
  EXPECT_EQ(gotWrite, later);
  EXPECT_FALSE(GetFileTimes("C:\\none", nullptr, nullptr, &gotWrite));
  EXPECT_FALSE(SetFileTimes("C:\\none", nullptr, nullptr, &later));
}

}  // namespace
