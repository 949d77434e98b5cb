// The parts of the backup report that both checkers share: the names text
// of the directories and the date line of the newest file.
#include "shared/backup_report.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ModifiedTextTest, TwelveHourClockAndNames) {
  struct Case {
    SystemTime time;
    const char* text;
  } cases[] = {
      {{2040, 1, 0, 1, 0, 5}, "Modified:  Sunday, January 1, 2040  12:05 AM"},
      {{2040, 3, 0, 4, 12, 30}, "Modified:  Sunday, March 4, 2040  12:30 PM"},
      {{2039, 12, 6, 31, 23, 59}, "Modified:  Saturday, December 31, 2039  11:59 PM"},
      {{2040, 7, 3, 4, 11, 0}, "Modified:  Wednesday, July 4, 2040  11:00 AM"},
      {{2040, 2, 1, 13, 13, 7}, "Modified:  Monday, February 13, 2040  1:07 PM"},
  };
  for (const Case& c : cases) EXPECT_EQ(ModifiedText(c.time), c.text);
}

TEST(AddDirectoryNameTest, LastComponentsWhileTheyFit) {
  BackupRun run;
  AddDirectoryName("C:\\work\\photos", &run);
  EXPECT_STREQ(run.names, "photos");
  AddDirectoryName("C:\\", &run);
  EXPECT_STREQ(run.names, "photos, C:\\");
  AddDirectoryName("C:\\work\\", &run);
  EXPECT_STREQ(run.names, "photos, C:\\, C:\\work\\");
  // 21 characters so far: a name fits while 21 + length + 32 stays below 256.
  std::string fits(202, 'a');
  std::string tooLong(203, 'b');
  AddDirectoryName(("C:\\" + tooLong).c_str(), &run);
  EXPECT_STREQ(run.names, "photos, C:\\, C:\\work\\");
  AddDirectoryName(("C:\\" + fits).c_str(), &run);
  EXPECT_EQ(std::string(run.names), "photos, C:\\, C:\\work\\, " + fits);
  AddDirectoryName("C:\\x", &run);
  EXPECT_EQ(std::string(run.names), "photos, C:\\, C:\\work\\, " + fits);
}

}  // namespace
