// The temporary drive of the program tests stands for a user's fresh site:
// what the user's own environment says about their drives must not reach
// the programs under test.
#include "platform/testing/test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

// A user who follows the manual keeps a log of every rebuild in their
// shell's environment; the tests run from that shell.
TEST(TempDriveTest, TheUsersLogIsSetAsideForTheLifeOfTheDrive) {
  ScopedEnvironment user;
  user.Set("WEFTLOG", "P:\\rebuild.log");
  {
    TempDrive drive;
    EXPECT_EQ(getenv("WEFTLOG"), nullptr);
  }
  ASSERT_NE(getenv("WEFTLOG"), nullptr);
  EXPECT_STREQ(getenv("WEFTLOG"), "P:\\rebuild.log");
}

// A program that reports a warning in the drive says only that, and writes
// no log: not even one of the drive's own that happens to have the name the
// user's log has.
TEST(TempDriveTest, AProgramInTheDriveWritesNoLog) {
  ScopedEnvironment user;
  user.Set("WEFTLOG", "C:\\rebuild.log");
  TempDrive drive;
  drive.Write("symlinks.txt", "../nowhere/x.htm\n");
  RunResult result = RunProgram("vetalias", {});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err,
            "Warning:  Bad path in \"symlinks.txt\" file -- file does not exist:\n"
            "            ../nowhere/x.htm\n");
  EXPECT_FALSE(drive.Exists("rebuild.log"));
}

}  // namespace
