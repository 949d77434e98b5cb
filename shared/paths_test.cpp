#include "shared/paths.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/drives.h"
#include "platform/env.h"
#include "platform/testing/test_support.h"

TEST(Paths, ExtensionAndBaseName) {
  struct Case { const char* path; const char* extension; const char* base; };
  const Case cases[] = {
      {"readme", "", "readme"},
      {"a.tar.gz", ".gz", "a.tar.gz"},
      // Only the base name has an extension: a dot in a folder name is none.
      {"a.b\\c", "", "c"},
      {"a.b/c", "", "c"},
      {"c:x.y", ".y", "x.y"},
      {"x.y:z", "", "z"},
      {"d.e\\f.g\\h.htm", ".htm", "h.htm"},
      {"dir.d\\", "", ""},
      {"c:file", "", "file"},
      {"dir/", "", ""},
      {"c:\\web\\x.htm", ".htm", "x.htm"},
      {"d/e:f\\g", "", "g"},
      {"", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_STREQ(Extension(c.path), c.extension) << c.path;
    EXPECT_STREQ(BaseName(c.path), c.base) << c.path;
  }
  const char* readme = "readme";
  EXPECT_EQ(Extension(readme), readme + 6);  // the terminating zero itself
}

TEST(Paths, DirPart) {
  struct Case { const char* path; const char* dir; };
  const Case cases[] = {
      {"c:\\dir\\file", "c:\\dir"}, {"c:\\file", "c:\\"},   {"\\file", "\\"},
      {"file", ""},                 {"dir\\", "dir"},        {"\\srv", "\\"},
      {"c:file", "c:"},             {"a\\file", "a\\"},      {"c:\\a\\\\b", "c:\\a\\\\"},
      {"x/y/z.htm", "x/y"},         {"//srv", "//"},          {"", ""},
  };
  for (const Case& c : cases) {
    char buffer[64];
    EXPECT_EQ(DirPart(c.path, buffer, sizeof buffer), buffer);
    EXPECT_STREQ(buffer, c.dir) << c.path;
  }
}

TEST(Paths, DirPartStaysWithinItsBuffer) {
  char buffer[8];
  memset(buffer, 'z', sizeof buffer);
  DirPart("c:\\abcdefgh\\file", buffer, 6);
  EXPECT_STREQ(buffer, "c:\\ab");
  EXPECT_EQ(buffer[6], 'z');
  buffer[0] = 'q';
  DirPart("c:\\a\\b", buffer, 0);
  EXPECT_EQ(buffer[0], 'q');
}

TEST(Paths, SplitDrive) {
  char drive[kDriveSize];
  const char* path = "c:\\web";
  EXPECT_EQ(SplitDrive(path, drive), path + 2);
  EXPECT_STREQ(drive, "c");
  const char* plain = "\\web\\x";
  EXPECT_EQ(SplitDrive(plain, drive), plain);
  EXPECT_STREQ(drive, "");
  const char* twice = "ab:c:d";
  EXPECT_EQ(SplitDrive(twice, drive), twice + 3);
  EXPECT_STREQ(drive, "ab");
  std::string longDrive = std::string(40, 'x') + ":rest";
  EXPECT_STREQ(SplitDrive(longDrive.c_str(), drive), "rest");
  EXPECT_EQ(std::string(drive), std::string(31, 'x'));
}

TEST(Paths, ChangeExtension) {
  struct Case { const char* path; const char* ext; const char* result; };
  const Case cases[] = {
      {"PICT0001.JPG", ".htm", "PICT0001.HTM"},
      {"Pict.jpg", ".htm", "Pict.htm"},
      {"PICT0001.jpg", ".htm", "PICT0001.htm"},
      {"0001.JPG", ".htm", "0001.HTM"},
      {"c:\\my.photos\\readme", ".htm", "c:\\my.photos\\readme.htm"},
      {"C:\\MY.PHOTOS\\README", ".htm", "C:\\MY.PHOTOS\\README.HTM"},
      {"c:\\pics\\IMG_7.JPG", ".htm", "c:\\pics\\IMG_7.HTM"},
      {"a.tar.gz", ".zip", "a.tar.zip"},
      {"beach.jpg", "", "beach"},
      {"dir.d/x", ".htm", "dir.d/x.htm"},
      {"c:\\web\\Page.HTML", ".jpg", "c:\\web\\Page.jpg"},
  };
  for (const Case& c : cases) {
    char buffer[64];
    strcpy(buffer, c.path);
    EXPECT_EQ(ChangeExtension(buffer, c.ext, sizeof buffer), buffer);
    EXPECT_STREQ(buffer, c.result) << c.path << " + " << c.ext;
    EXPECT_STREQ(ChangeExtensionString(c.path, c.ext).Text(), c.result);
  }
}

TEST(Paths, ChangeExtensionStaysWithinSize) {
  char buffer[16];
  memset(buffer, 'z', sizeof buffer);
  strcpy(buffer, "abc.j");
  ChangeExtension(buffer, ".html", 7);
  EXPECT_STREQ(buffer, "abc.ht");
  EXPECT_EQ(buffer[7], 'z');
  strcpy(buffer, "ABCDEF");
  ChangeExtension(buffer, ".htm", 8);
  EXPECT_STREQ(buffer, "ABCDEF.");

  EXPECT_TRUE(ChangeExtensionString(nullptr, ".htm").IsNull());
  std::string longName = std::string(300, 'a') + ".jpg";
  String changed = ChangeExtensionString(longName.c_str(), ".htm");
  EXPECT_EQ(changed.Length(), 259u);  // cut to the String's 260 bytes
  EXPECT_EQ(std::string(changed.Text()), std::string(259, 'a'));
}

TEST(Paths, Existence) {
  TempDrive drive;
  drive.MakeDir("site/sub");
  drive.Write("site/page.htm", "<html>");
  struct Case { const char* path; bool dir; bool exists; };
  const Case cases[] = {
      {"C:\\site", true, true},          {"C:\\SITE\\Sub", true, true},
      {"site\\sub", true, true},         {"C:\\site\\page.htm", false, true},
      {"C:\\site\\PAGE.HTM", false, true}, {"C:\\site\\none.htm", false, false},
      {"C:\\none", false, false},         {"Q:\\unmapped", false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DirExists(c.path), c.dir) << c.path;
    EXPECT_EQ(FileExists(c.path), c.exists) << c.path;
  }
}

TEST(Paths, RelativePathOnOneDrive) {
  TempDrive drive;
  drive.MakeDir("a/b");
  drive.Chdir("a");
  struct Case { const char* from; const char* to; const char* result; };
  const Case cases[] = {
      {"c:\\a\\b", "c:\\a\\c\\x.htm", "..\\c\\x.htm"},
      {"c:\\a", "c:\\a\\b\\x.htm", "b\\x.htm"},
      {"c:\\a", "c:\\a", ""},
      {"C:\\A\\", "c:\\a\\B\\", "B"},
      {"c:\\a\\b\\c", "c:\\x.htm", "..\\..\\..\\x.htm"},
      {"c:\\ab", "c:\\a\\x", "..\\a\\x"},
      {"c:\\a", "c:\\ab", "..\\ab"},
      {"c:\\a\\bc", "c:\\a\\b", "..\\b"},
      {"c:\\", "c:\\a\\b", "a\\b"},
      {"c:\\", "c:\\", ""},
      {"c:\\a\\b", "c:\\", "..\\.."},
      {"c:\\a", "c:\\", ".."},
      {".", "b\\x.htm", "b\\x.htm"},
      {"b", "x.htm", "..\\x.htm"},
      {"c:\\a\\.\\b\\..", "c:\\a\\b", "b"},
  };
  for (const Case& c : cases) {
    char buffer[kMaxPath + 1];
    EXPECT_EQ(RelativePath(c.from, c.to, buffer, sizeof buffer, true), buffer)
        << c.from << " -> " << c.to;
    EXPECT_STREQ(buffer, c.result) << c.from << " -> " << c.to;
  }
}

TEST(Paths, RelativePathAcrossDrives) {
  TempDrive drive;
  drive.MakeDir("d");
  ASSERT_TRUE(SetEnv("WEFTDRIVES", ("C=" + drive.Host() + ";D=" + drive.Host("d")).c_str()));
  char buffer[kMaxPath + 1];
  EXPECT_EQ(RelativePath("C:\\a\\b", "D:\\a\\c\\x.htm", buffer, sizeof buffer, true), nullptr);
  EXPECT_STREQ(buffer, "D:\\a\\c\\x.htm");
  EXPECT_EQ(RelativePath("C:\\a", "D:\\", buffer, sizeof buffer, true), nullptr);
  EXPECT_STREQ(buffer, "D:\\");
  char small[8];
  memset(small, 'z', sizeof small);
  EXPECT_EQ(RelativePath("C:\\a", "D:\\far\\away.htm", small, 5, true), nullptr);
  EXPECT_STREQ(small, "D:\\f");
  EXPECT_EQ(small[5], 'z');
  EXPECT_EQ(RelativePath("c:\\a\\b", "d:\\a\\c\\x.htm", buffer, sizeof buffer, false), buffer);
  EXPECT_STREQ(buffer, "..\\c\\x.htm");
  // A path that cannot be made full refuses with an empty buffer.
  EXPECT_EQ(RelativePath("q:\\a", "c:\\a\\x", buffer, sizeof buffer, false), nullptr);
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(RelativePath("c:\\a", "q:\\a\\x", buffer, sizeof buffer, true), nullptr);
  EXPECT_STREQ(buffer, "");
}

TEST(Paths, RelativePathStaysWithinItsBuffer) {
  TempDrive drive;
  char buffer[16];
  memset(buffer, 'z', sizeof buffer);
  EXPECT_EQ(RelativePath("c:\\a\\b\\c\\d\\e", "c:\\x\\y.htm", buffer, 10, true), buffer);
  EXPECT_STREQ(buffer, "..\\..\\..");  // cut to 9 characters, trailing '\' dropped
  EXPECT_EQ(buffer[10], 'z');
  memset(buffer, 'z', sizeof buffer);
  EXPECT_EQ(RelativePath("c:\\a", "c:\\a\\longer\\name.htm", buffer, 8, true), buffer);
  EXPECT_STREQ(buffer, "longer");
  EXPECT_EQ(buffer[8], 'z');
  buffer[0] = 'q';
  EXPECT_EQ(RelativePath("c:\\a", "c:\\a\\b", buffer, 0, true), nullptr);
  EXPECT_EQ(buffer[0], 'q');
}
