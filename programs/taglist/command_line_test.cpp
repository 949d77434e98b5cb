// taglist's format escapes.
#include "programs/taglist/command_line.h"

#include <gtest/gtest.h>

namespace {

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
