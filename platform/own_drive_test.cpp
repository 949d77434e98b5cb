// Drives of its own: host files on no mapped drive get a Windows path all
// the same, through a drive letter made for their folder.
#include "platform/own_drive.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "platform/drives.h"
#include "platform/testing/test_support.h"

namespace {

// C: is the drive's folder "c"; "out", "real" and "odd" lie beside it, on no
// drive, and "link" is a symbolic link to "real".
class OwnDrive : public ::testing::Test {
 protected:
  void SetUp() override {
    drive.MakeDir("c");
    drive.Write("out/a.htm", "");
    drive.Write("real/b.htm", "");
    drive.MakeDir("odd");
    drive.Link("link", "real");
    setenv("WEFTDRIVES", map.c_str(), 1);
  }
  std::string Drives() const { return getenv("WEFTDRIVES"); }

  TempDrive drive;
  std::string map = "C=" + drive.Host("c");
};

TEST_F(OwnDrive, HostFilesGetAWindowsPath) {
  const std::string withZ = map + ";Z=" + drive.Host("out");
  const std::string withZY = withZ + ";Y=" + drive.Host("real");
  struct Case {
    std::string host;
    std::string path;    // "" when there is none
    std::string drives;  // WEFTDRIVES after
  } const cases[] = {
      {drive.Host("c/x.htm"), "C:\\x.htm", map},
      {drive.Host("out/a.htm"), "Z:\\a.htm", withZ},
      // The same folder again: its drive is there now.
      {drive.Host("out/new.htm"), "Z:\\new.htm", withZ},
      // A folder behind a link gets its drive under its real name, once.
      {drive.Host("link/b.htm"), "Y:\\b.htm", withZY},
      {drive.Host("real/b.htm"), "Y:\\b.htm", withZY},
      // No folder to map: missing, the host's root, a name Windows cannot hold.
      {drive.Host("gone/a.htm"), "", withZY},
      {"/a.htm", "", withZY},
      {drive.Host("odd/a|b"), "", withZY},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WindowsPathOnAnyDrive(c.host), c.path) << c.host;
    EXPECT_EQ(Drives(), c.drives) << c.host;
  }
}

TEST_F(OwnDrive, LettersAndFoldersThatCannotBeMapped) {
  EXPECT_EQ(MapFolderAsDrive(drive.Host("out"), 'q'), "Q:\\");
  EXPECT_EQ(MapFolderAsDrive(drive.Host("real"), 'Q'), "Z:\\");  // Q: is taken now
  EXPECT_EQ(MapFolderAsDrive("relative/folder", 0), "");
  EXPECT_EQ(MapFolderAsDrive("/semi;colon", 0), "");
  EXPECT_EQ(Drives(), map + ";Q=" + drive.Host("out") + ";Z=" + drive.Host("real"));
  std::string every = "C=" + drive.Host("c");
  for (char letter = 'D'; letter <= 'Z'; ++letter) {
    every += std::string(";") + letter + "=" + drive.Host("c");
  }
  setenv("WEFTDRIVES", every.c_str(), 1);
  EXPECT_EQ(MapFolderAsDrive(drive.Host("out"), 0), "");
}

TEST_F(OwnDrive, OnlyTheDrivesThisProcessMadeAreItsOwn) {
  ASSERT_EQ(MapFolderAsDrive(drive.Host("out"), 0), "Z:\\");
  EXPECT_TRUE(IsDriveOfItsOwn('Z'));
  EXPECT_TRUE(IsDriveOfItsOwn('z'));
  EXPECT_FALSE(IsDriveOfItsOwn('C'));
  EXPECT_FALSE(IsDriveOfItsOwn('Y'));
  // The user's map gives Z: to another folder: it is the user's drive.
  setenv("WEFTDRIVES", (map + ";Z=" + drive.Host("real")).c_str(), 1);
  EXPECT_FALSE(IsDriveOfItsOwn('Z'));
}

}  // namespace
