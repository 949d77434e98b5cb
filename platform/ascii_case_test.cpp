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

TEST(AsciiCase, StartsNoCase) {
  struct Case {
    const char* text;
    const char* prefix;
    bool starts;
  } const cases[] = {
      {"Host: x", "host:", true}, {"HOST:", "host:", true},  {"Hos", "host:", false},
      {"Ghost:", "host:", false}, {"anything", "", true},    {"", "", true},
      {"\xC9t\xE9", "\xE9", false}, {"Content-Type", "content-", true},
      {"PATH=x", "path", true}, {"pa", "PATH", false},         {"Pathext", "PATHX", false},
      {"\xE9t\xE9", "\xE9T", true}, {"\xE9", "\xC9", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(StartsNoCase(c.text, c.prefix), c.starts) << c.text << " / " << c.prefix;
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

// Names in the order Windows lists them: upper-cased ASCII letters, bytes
// beyond ASCII after every ASCII byte, a name before the longer ones it
// begins.
TEST(AsciiCase, CompareNoCase) {
  struct Case {
    const char* a;
    const char* b;
    int order;  // -1, 0 or 1
  } const cases[] = {
      {"abc", "ABC", 0},      {"a", "B", -1},          {"B", "a", 1},
      {"ab", "abc", -1},      {"", "a", -1},           {"", "", 0},
      {"_x", "ax", 1},        {"Zebra", "apple", 1},   // '_' sorts after the upper-cased letters
      {"\xE9", "z", 1},      {"z", "\xC9", -1},      {"a=1", "A_B=2", -1},
  };
  for (const Case& c : cases) {
    int order = CompareNoCase(c.a, c.b);
    EXPECT_EQ((order > 0) - (order < 0), c.order) << c.a << " / " << c.b;
  }
}

}  // namespace
