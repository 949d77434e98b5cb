// The link fixer's comparisons: which links are checked, how titles score
// and how deep two paths agree.
#include "programs/hrefmend/link_fixer.h"

#include <gtest/gtest.h>

namespace {

TEST(LinkFixerTest, RelativeLinks) {
  struct Case {
    const char* link;
    bool relative;
  } cases[] = {
      {"beach.htm", true},     {"../old/beach.htm#top", true}, {"#top", true},
      {"", true},              {"/abs/x.htm", false},         {"http://x/y.htm", false},
      {"mailto:a@b", false},   {"C:/x.htm", false},           {"c:x.htm", false},
      {"ftp2://x/y", true},    {":x.htm", true},              {"\\x.htm", true},
  };
  for (const Case& c : cases) EXPECT_EQ(IsRelativeLink(c.link), c.relative) << c.link;
}

TEST(LinkFixerTest, TitleScores) {
  struct Case {
    const char* link;
    const char* db;
    int score;
  } cases[] = {
      {"Beach", "Beach", 2}, {"beach", "BEACH", 1}, {"Beach", "Beaches", 0},
      {"", "", 0},           {"", "Beach", 0},      {"Beach", "", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(TitleScore(c.link, c.db), c.score) << c.link << "|" << c.db;
}

TEST(LinkFixerTest, PathLevels) {
  const std::string long63(63, 'x');
  struct Case {
    std::string a;
    std::string b;
    int level;
  } cases[] = {
      {"C:\\site\\new\\beach.htm", "..\\old\\beach.htm", 1},
      {"C:\\site\\b\\boat.htm", "..\\x\\b\\boat.htm", 2},
      {"C:\\site\\B\\Boat.HTM", "b/boat.htm", 2},
      {"C:\\site\\new\\beach.htm", "beach.html", 0},
      {"C:\\a\\b.htm", "C:\\a\\b.htm", 4},
      {"C:\\site\\trip\\index.htm", "..\\trip\\", 0},
      // Empty components count: the ones before a leading or after a trailing separator.
      {"", "", 1},
      {"\\a", "/A", 2},
      {"x:y", "z\\y", 1},
      {"a\\", "b\\", 1},
      {"a\\", "a", 0},
      // Components agree when their first 63 characters do.
      {"C:\\d\\" + long63 + "a.htm", "e\\" + long63 + "b.htm", 1},
  };
  for (const Case& c : cases) EXPECT_EQ(PathLevel(c.a, c.b), c.level) << c.a << "|" << c.b;
}

}  // namespace
