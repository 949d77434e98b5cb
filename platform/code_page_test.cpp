#include "platform/code_page.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/code_page_host.h"

namespace {

TEST(CodePage, WellFormedUtf8IsToldFromOtherBytes) {
  struct Case {
    const char* text;
    bool utf8;
  } const cases[] = {
      {"", true},
      {"plain ASCII", true},
      {"f\xC3\xBCr", true},              // für
      {"\xE2\x82\xAC 5", true},          // the euro sign
      {"\xF0\x9F\x98\x80", true},        // a letter beyond the first plane
      {"f\xFCr", false},                 // windows-1252
      {"Gr\xFC\xDF f\xC3\xBCr", false},  // both at once
      {"\xC3", false},                   // a letter left open
      {"\x80", false},                   // a stray continuation byte
      {"\xC0\xAF", false},               // an overlong '/'
      {"\xE0\x80\xAF", false},           // overlong too
      {"\xED\xA0\x80", false},           // a surrogate
      {"\xF4\x90\x80\x80", false},       // beyond U+10FFFF
      {"\xF5\x80\x80\x80", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsUtf8(c.text), c.utf8) << c.text;
}

TEST(CodePage, WholeLettersAreNeverCut) {
  const std::string e = "\xC3\xA9";  // é
  std::string many;
  for (int i = 0; i < 150; ++i) many += e;
  EXPECT_EQ(WholeLettersWithin(many, 255), 254u);
  EXPECT_EQ(WholeLettersWithin(many, 1), 0u);
  EXPECT_EQ(WholeLettersWithin("ab\xE2\x82\xAC", 4), 2u);
  EXPECT_EQ(WholeLettersWithin("ab\xE2\x82\xAC", 5), 5u);
  EXPECT_EQ(WholeLettersWithin("a\xFC\xFC", 2), 2u);  // lone bytes are letters of their own
  EXPECT_EQ(Utf8LetterLength("\xC3" "A", 0), 1u);
}

TEST(CodePage, Windows1252AndUtf8ConvertBothWays) {
  struct Case {
    const char* windows1252;
    const char* utf8;
  } const cases[] = {
      {"plain", "plain"},
      {"Gr\xFC\xDF" "e", "Gr\xC3\xBC\xC3\x9F" "e"},
      {"\x80 \x8A\x9F", "\xE2\x82\xAC \xC5\xA0\xC5\xB8"},  // €, Š, Ÿ
      {"\x81\x8D\x8F\x90\x9D", "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"},  // unassigned
      {"\xA0\xFF", "\xC2\xA0\xC3\xBF"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Windows1252ToUtf8(c.windows1252), c.utf8) << c.windows1252;
    std::string back;
    EXPECT_TRUE(Utf8ToWindows1252(c.utf8, &back)) << c.utf8;
    EXPECT_EQ(back, c.windows1252);
  }
  // Every byte comes back as it was.
  std::string all;
  for (int byte = 1; byte < 256; ++byte) all += static_cast<char>(byte);
  std::string back;
  EXPECT_TRUE(Utf8ToWindows1252(Windows1252ToUtf8(all), &back));
  EXPECT_EQ(back, all);
}

TEST(CodePage, ALetterWithoutAWindows1252FormIsNamed) {
  struct Case {
    const char* utf8;
    const char* missing;
  } const cases[] = {
      {"Erd\xC5\x91s", "\xC5\x91"},         // ő
      {"ab\xE2\x80\xA8", "\xE2\x80\xA8"},   // a line separator
      {"\xC2\x80", "\xC2\x80"},             // the control character where € stands
      {"\xF0\x9F\x98\x80!", "\xF0\x9F\x98\x80"},
  };
  for (const Case& c : cases) {
    std::string out = "untouched", missing;
    EXPECT_FALSE(Utf8ToWindows1252(c.utf8, &out, &missing)) << c.utf8;
    EXPECT_EQ(missing, c.missing);
    EXPECT_EQ(out, "untouched");
  }
}

TEST(CodePage, LengthsCountTheBytesOfTheCodePage) {
  EXPECT_EQ(LengthIn("f\xC3\xBCr", CodePage::kUtf8), 4u);
  EXPECT_EQ(LengthIn("f\xC3\xBCr", CodePage::kWindows1252), 3u);
  EXPECT_EQ(LengthIn("\xE2\x82\xAC", CodePage::kWindows1252), 1u);
  EXPECT_EQ(ToUtf8("f\xFCr", CodePage::kUtf8), "f\xFCr");
  EXPECT_EQ(ToUtf8("f\xFCr", CodePage::kWindows1252), "f\xC3\xBCr");
  std::string out;
  EXPECT_TRUE(FromUtf8("f\xC3\xBCr", CodePage::kUtf8, &out));
  EXPECT_EQ(out, "f\xC3\xBCr");
}

}  // namespace
