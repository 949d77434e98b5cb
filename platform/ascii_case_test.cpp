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

TEST(AsciiCase, LowerAsciiFoldsOnlyAsciiLetters) {
  const char cases[][2] = {{'A', 'a'}, {'Z', 'z'}, {'q', 'q'}, {'@', '@'}, {'[', '['},
                           {'\xC9', '\xC9'}};
  for (const auto& c : cases) EXPECT_EQ(LowerAscii(c[0]), c[1]) << c[0];
}

TEST(AsciiCase, StartsWithNoCase) {
  struct Case {
    const char* text;
    const char* prefix;
    bool starts;
  } const cases[] = {
      {"Host: x", "host:", true}, {"HOST:", "host:", true},  {"Hos", "host:", false},
      {"Ghost:", "host:", false}, {"anything", "", true},    {"", "", true},
      {"\xC9t\xE9", "\xE9", false}, {"Content-Type", "content-", true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(StartsWithNoCase(c.text, c.prefix), c.starts) << c.text << " / " << c.prefix;
  }
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
