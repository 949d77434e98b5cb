#include "platform/ascii_case.h"

#include <gtest/gtest.h>

namespace {

TEST(AsciiCase, OnlyAsciiLettersFold) {
  EXPECT_EQ(UpperAscii('a'), 'A');
  EXPECT_EQ(UpperAscii('z'), 'Z');
  EXPECT_EQ(UpperAscii('Q'), 'Q');
  EXPECT_EQ(UpperAscii('1'), '1');
  EXPECT_EQ(UpperAscii('\xE9'), '\xE9');
}

TEST(AsciiCase, SameNoCase) {
  struct Case {
    const char* a;
    const char* b;
    bool same;
  } const cases[] = {
      {"", "", true},           {"Software", "SOFTWARE", true}, {"abc", "abd", false},
      {"abc", "ab", false},     {"\xE9t\xE9", "\xE9T\xE9", true}, {"\xE9", "\xC9", false},
  };
  for (const Case& c : cases) EXPECT_EQ(SameNoCase(c.a, c.b), c.same) << c.a << " / " << c.b;
}

}  // namespace
