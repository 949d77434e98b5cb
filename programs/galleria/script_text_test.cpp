#include "programs/galleria/script_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Text(const String& s) { return s.Text() ? s.Text() : ""; }

TEST(ScriptText, QuoteEscapePutsABackslashBeforeTheGivenCharacters) {
  struct Case {
    const char* text;
    const char* characters;
    const char* expected;
  } const cases[] = {
      {"say \"hi\"", "\"", "say \\\"hi\\\""},
      {"a\\b \"c\"", "\"\\", "a\\\\b \\\"c\\\""},
      {"plain", "\"", "plain"},
      {"", "\"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Text(QuoteEscape(c.text, c.characters)), c.expected) << c.text;
  }
  EXPECT_TRUE(QuoteEscape(nullptr, "\"").IsNull());
}

TEST(ScriptText, NoTextCanEndItsStringOrTheScriptBlock) {
  struct Case {
    const char* text;
    const char* expected;
  } const cases[] = {
      {"</script><script>alert(1)</script>", "<\\/script><script>alert(1)<\\/script>"},
      {"</SCRIPT >", "<\\/SCRIPT >"},
      {"a < b / c </", "a < b / c <\\/"},
      {"<</", "<<\\/"},
      {"/x", "/x"},
      {"say \"hi\" \\", "say \\\"hi\\\" \\\\"},
      {"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Text(ScriptText(c.text)), c.expected) << c.text;
  }
  EXPECT_TRUE(ScriptText(nullptr).IsNull());
}

TEST(ScriptText, LettersBeyondAsciiAsUnicodeEscapes) {
  struct Case {
    const char* text;
    const char* expected;
  } const cases[] = {
      {"Caf\xC3\xA9.jpg", "Caf\\u00E9.jpg"},
      {"\xC3\x85sa \"\xE2\x82\xAC\"", "\\u00C5sa \\\"\\u20AC\\\""},
      {"\xF0\x9F\x98\x80!", "\\uD83D\\uDE00!"},        // a surrogate pair
      {"\xF4\x8F\xBF\xBF", "\\uDBFF\\uDFFF"},
      {"Caf\xE9 \xC3( \xED\xA0\x80", "Caf\xE9 \xC3( \xED\xA0\x80"},  // no valid sequence
      {"&#233; </", "&#233; <\\/"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Text(ScriptText(c.text)), c.expected) << c.text;
  }
  // The other escapes leave the bytes as they are.
  EXPECT_EQ(Text(QuoteEscape("\xC3\xA9\"", "\"")), "\xC3\xA9\\\"");
  EXPECT_EQ(Text(EndTagsEscaped("\xC3\xA9</")), "\xC3\xA9<\\/");
}

TEST(ScriptText, EndTagsEscapedChangesNothingElse) {
  EXPECT_EQ(Text(EndTagsEscaped("<IMG ALT=\"a</b>\" SRC='x\\y'></A>")),
            "<IMG ALT=\"a<\\/b>\" SRC='x\\y'><\\/A>");
  EXPECT_EQ(Text(EndTagsEscaped("plain")), "plain");
  EXPECT_TRUE(EndTagsEscaped(nullptr).IsNull());
}

}  // namespace
