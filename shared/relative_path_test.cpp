#include "shared/relative_path.h"

#include <gtest/gtest.h>

#include "platform/testing/test_support.h"

namespace {

TEST(RelativeFilePathTest, FromADirectoryToAFile) {
  TempDrive drive;
  drive.MakeDir("a/b");
  drive.Chdir("a/b");
  struct Case {
    const char* from;
    const char* to;
    const char* relative;
  } cases[] = {
      {"C:\\a\\b\\c", "C:\\a\\x\\y.htm", "..\\..\\x\\y.htm"},
      {"C:\\a", "C:\\a\\thumbs\\t.jpg", "thumbs\\t.jpg"},
      {"C:\\a\\", "C:\\A\\Thumbs\\t.jpg", "Thumbs\\t.jpg"},
      {"C:\\a", "C:\\a", ""},
      {"C:\\a\\b", "C:\\a\\bc\\x.htm", "..\\bc\\x.htm"},
      {"C:\\a\\bc", "C:\\a\\b", "..\\b"},
      {"C:\\", "C:\\x\\y.htm", "x\\y.htm"},
      {"C:\\a\\b", "\\a\\t.jpg", "..\\t.jpg"},
      {"C:\\a\\b", "/a/x/../t.jpg", "..\\t.jpg"},
      {"..", "\\a\\t.jpg", "t.jpg"},
      {"..", "t.jpg", "b\\t.jpg"},
  };
  for (const Case& c : cases) {
    char buffer[260] = "old";
    EXPECT_STREQ(RelativeFilePath(c.from, c.to, buffer, sizeof buffer), c.relative) << c.from << " " << c.to;
  }
  char small[4];
  EXPECT_EQ(RelativeFilePath("C:\\a", "C:\\a\\long.htm", small, sizeof small), nullptr);
  EXPECT_STREQ(small, "");
}

TEST(RelativeToCurrentDirTest, FromTheCurrentDirectory) {
  TempDrive drive;
  drive.MakeDir("a/b");
  drive.MakeDir("Site/news");
  struct Case {
    const char* cwd;
    const char* path;
    const char* relative;
  } cases[] = {
      {"a/b", "C:\\a\\c\\x.htm", "..\\c\\x.htm"},
      {"a/b", "C:\\a\\b\\d\\y.htm", "d\\y.htm"},
      {"a/b", "\\a\\b\\d\\y.htm", "d\\y.htm"},
      {"a/b", "D:\\z.htm", "D:\\z.htm"},
      {"a/b", "d:\\z.htm", "d:\\z.htm"},
      {"a/b", "c\\x.htm", "c\\x.htm"},
      {"a/b", "C:x\\y", "x\\y"},
      {"a/b", "C:\\a\\b", ""},
      {"a/b", "C:\\a\\b\\", ""},
      {"a/b", "C:\\a\\b\\trip\\", "trip\\"},
      {"a/b", "C:\\a\\bc\\x.htm", "..\\bc\\x.htm"},
      {"a/b", "C:\\x.htm", "..\\..\\x.htm"},
      {"a/b", "c:\\a\\c\\x.htm", "..\\c\\x.htm"},
      // Directory names compare exactly.
      {"Site/news", "C:\\site\\trip\\x.htm", "..\\..\\site\\trip\\x.htm"},
      {"", "C:\\a\\x.htm", "a\\x.htm"},
  };
  for (const Case& c : cases) {
    drive.Chdir(c.cwd);
    EXPECT_EQ(RelativeToCurrentDir(c.path), c.relative) << c.cwd << " " << c.path;
  }
}

}  // namespace
