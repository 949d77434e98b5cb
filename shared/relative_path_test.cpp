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

}  // namespace
