#include "platform/text_pieces.h"

#include <gtest/gtest.h>

namespace {

TEST(TextPieces, SplitAtKeepsEmptyPieces) {
  struct Case {
    const char* text;
    const char* separator;
    std::vector<std::string> pieces;
  } const cases[] = {
      {"", ";", {""}},
      {"a", ";", {"a"}},
      {"a;b", ";", {"a", "b"}},
      {";a;;b;", ";", {"", "a", "", "b", ""}},
      {"Host: x\r\nA: b\r\n", "\r\n", {"Host: x", "A: b", ""}},
      {"a\rb\r\n", "\r\n", {"a\rb", ""}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitAt(c.text, c.separator), c.pieces) << c.text;
}

}  // namespace
