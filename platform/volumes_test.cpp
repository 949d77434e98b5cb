#include "platform/volumes.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/testing/test_support.h"

namespace {

TEST(Volumes, DrivesInLetterOrder) {
  TempDrive drive;
  ScopedEnvironment environment;
  drive.MakeDir("d");
  environment.Set("WEFTDRIVES", ("E=" + drive.Host("gone") + ";C=" + drive.Host() + ";D=" + drive.Host("d")).c_str());
  EXPECT_EQ("CDE", GetLogicalDriveLetters());
  EXPECT_EQ(kDriveFixed, GetDriveKind('c'));
  EXPECT_EQ(kDriveFixed, GetDriveKind('D'));
  EXPECT_EQ(kDriveNoRootDir, GetDriveKind('E'));
  EXPECT_EQ(kDriveNoRootDir, GetDriveKind('F'));
}

}  // namespace
