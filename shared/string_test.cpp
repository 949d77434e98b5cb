#include "shared/string.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(String, EmptyForms) {
  String null;
  EXPECT_EQ(null.Text(), nullptr);
  EXPECT_EQ(String(0).Text(), nullptr);
  String empty("");
  ASSERT_NE(empty.Text(), nullptr);
  EXPECT_EQ(empty.Length(), 0u);
  EXPECT_EQ(String(static_cast<const char*>(nullptr)).Text(), nullptr);
  String zeroed(4);
  ASSERT_NE(zeroed.Text(), nullptr);
  EXPECT_EQ(memcmp(zeroed.Text(), "\0\0\0\0", 4), 0);
}

TEST(String, CopiesShareTheBlock) {
  String a("abc");
  String b = a;
  EXPECT_EQ(a.Text(), b.Text());
  EXPECT_EQ(a.Count(), 2);
  b.Text()[0] = 'x';
  EXPECT_STREQ(a.Text(), "xbc");
  a.Release();
  EXPECT_STREQ(b.Text(), "xbc");
  EXPECT_EQ(b.Count(), 1);
}

TEST(String, AssignOwnTextAndInnerText) {
  String a("hello");
  char* before = a.Text();
  a = a.Text();
  EXPECT_EQ(a.Text(), before);
  EXPECT_EQ(a.Count(), 1);
  a = a.Text() + 2;  // points inside the old block
  EXPECT_STREQ(a.Text(), "llo");
  String b("x");
  b = b;
  EXPECT_STREQ(b.Text(), "x");
  EXPECT_EQ(b.Count(), 1);
}

TEST(String, Concat) {
  EXPECT_EQ(Concat(nullptr, nullptr).Text(), nullptr);
  EXPECT_STREQ(Concat("ab", nullptr).Text(), "ab");
  EXPECT_STREQ(Concat(nullptr, "cd").Text(), "cd");
  EXPECT_STREQ(Concat("ab", "cd").Text(), "abcd");
  EXPECT_EQ(Concat6(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr).Text(), nullptr);
  String e = Concat6("", nullptr, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(e.Text(), nullptr);
  EXPECT_STREQ(e.Text(), "");
  EXPECT_STREQ(Concat6("a", nullptr, "b", "c", nullptr, "d").Text(), "abcd");
}

TEST(StringFunctions, FindNoCase) {
  const char* t = "Hello World";
  EXPECT_EQ(FindNoCase(t, "WORLD"), t + 6);
  EXPECT_EQ(FindNoCase(t, ""), t);
  EXPECT_EQ(FindNoCase(t, "xyz"), nullptr);
  EXPECT_EQ(FindNoCase("", ""), FindNoCase("", ""));
}

TEST(StringFunctions, CopyBounded) {
  char buf[8];
  memset(buf, 'z', sizeof buf);
  CopyBounded(buf, "abcd", 4);
  EXPECT_STREQ(buf, "abc");
  CopyBounded(buf, "ab", 4);
  EXPECT_STREQ(buf, "ab");
  buf[0] = 'q';
  CopyBounded(buf, "abc", 0);
  EXPECT_EQ(buf[0], 'q');
}

TEST(StringFunctions, ParseNumber) {
  struct Case {
    const char* text;
    int value;
  } cases[] = {{"42", 42},  {" \t-17z", -17}, {"+8", 8},           {"", 0}, {"x1", 0},
               {"- 1", 0},  {nullptr, 0},     {"-99999999999", -2147483647 - 1}};
  for (const Case& c : cases) EXPECT_EQ(ParseNumber(c.text), c.value) << (c.text ? c.text : "null");
}

TEST(StringFunctions, CopyIfFitsCopiesWholeOrNothing) {
  char buf[4];
  EXPECT_TRUE(CopyIfFits(buf, "abc", sizeof buf));
  EXPECT_STREQ(buf, "abc");
  EXPECT_FALSE(CopyIfFits(buf, "wxyz", sizeof buf));  // no room for the terminator
  EXPECT_STREQ(buf, "abc");
  EXPECT_FALSE(CopyIfFits(buf, "", 0));
}

TEST(StringFunctions, WildcardMatch) {
  struct Case { const char* text; const char* pattern; bool match; };
  const Case cases[] = {
      {"Photo.JPG", "*.jpg", true},   {"abc", "a?", false},      {"abc", "a?c", true},
      {"", "*", true},                {"anything", "*", true},   {"a.htm.htm", "*.htm", false},
      {"banana", "*a", false},        {"abc", "ABC", true},      {"ab", "abc", false},
      {"abc", "a*c", true},           {"abxcd", "a*c*d", true},  {"", "", true},
      {"x", "", false},               {"abc", "*b*", true},      {"a", "?", true},
      {"", "?", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WildcardMatch(c.text, c.pattern), c.match) << c.text << " ~ " << c.pattern;
  }
}

TEST(StringFunctions, CompareNatural) {
  struct Case { const char* a; const char* b; int result; };
  const Case cases[] = {
      {"img2", "img10", -1},  {"a", "ab", -1},       {"a01", "a1", 0},
      {"ABC", "abc", 0},      {"b", "a", 1},         {"", "", 0},
      {"x12345678901", "x12345678902", -1},          {"x99999999999", "x100000000000", -1},
      {"a\xe9", "az", 1},     {"img010b", "img10a", 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CompareNatural(c.a, c.b), c.result) << c.a << " vs " << c.b;
    EXPECT_EQ(CompareNatural(c.b, c.a), -c.result) << c.b << " vs " << c.a;
  }
}

TEST(StringFunctions, CaseFoldedComparisons) {
  // Lower- and upper-casing order '_' differently against the letters.
  struct Case {
    const char* a;
    const char* b;
    int noCase;
    int upperCased;
  } const cases[] = {
      {"abc", "ABC", 0, 0},  {"abc", "abd", -1, -1}, {"ab", "abc", -1, -1},
      {"_a", "Ba", -1, 1},   {"a_", "AZ", -1, 1},     {"\xE9", "\xC9", 1, 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CompareNoCase(c.a, c.b), c.noCase) << c.a << " vs " << c.b;
    EXPECT_EQ(CompareUpperCased(c.a, c.b), c.upperCased) << c.a << " vs " << c.b;
    EXPECT_EQ(CompareUpperCased(c.b, c.a), -c.upperCased) << c.b << " vs " << c.a;
  }
}
