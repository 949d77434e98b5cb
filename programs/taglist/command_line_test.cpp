// taglist's word splitter and format escapes.
#include "programs/taglist/command_line.h"

#include <gtest/gtest.h>

namespace {

TEST(CommandLineTest, SplitsWordsByItsQuotingRules) {
  struct Case {
    const char* line;
    std::vector<std::string> words;
    std::vector<bool> options;
  } cases[] = {
      {"taglist", {}, {}},
      {"\"C:\\my bin\\taglist\" /I", {"/I"}, {true}},
      {"taglist  a\tb ", {"a", "b"}, {false, false}},
      {"taglist \"a b\" -x", {"a b", "-x"}, {false, true}},
      {"taglist \"a \"\"q\"\" b\"", {"a \"q\" b"}, {false}},
      {"taglist a\"\"b", {"ab"}, {false}},
      {"taglist \"\"\"\"", {"\""}, {false}},
      {"taglist \"/I\"", {"/I"}, {false}},
      {"taglist x\"y z\"w", {"xy zw"}, {false}},
      {"taglist \"\"", {""}, {false}},
  };
  for (const Case& c : cases) {
    std::vector<CommandWord> words;
    ASSERT_TRUE(SplitCommandLine(c.line, &words)) << c.line;
    ASSERT_EQ(words.size(), c.words.size()) << c.line;
    for (size_t i = 0; i < words.size(); ++i) {
      EXPECT_EQ(words[i].text, c.words[i]) << c.line;
      EXPECT_EQ(words[i].isOption, c.options[i]) << c.line;
    }
  }
  std::vector<CommandWord> words;
  for (const char* line : {"taglist \"a", "taglist a\"\"\"", "taglist \"a\" \"b c"}) {
    EXPECT_FALSE(SplitCommandLine(line, &words)) << line;
  }
}

TEST(CommandLineTest, Escapes) {
  struct Case {
    const char* format;
    const char* text;
  } cases[] = {
      {"a\\qb\\q", "a\"b\""},
      {"\\x", "\\x"},
      {"\\a\\b\\f\\g\\i\\l\\n\\r\\t\\v", "\a\b\f>|<\n\r\t\v"},
      {"\\\\n", "\\n"},
      {"end\\", "end\\"},
      {"%KEYWORD%\\n", "%KEYWORD%\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(ApplyEscapes(c.format), c.text) << c.format;
}

}  // namespace
