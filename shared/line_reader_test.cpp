#include "shared/line_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// The lines a reader gives for a stream holding text.
std::vector<std::string> Lines(const std::string& text) {
  FILE* stream = tmpfile();
  fwrite(text.data(), 1, text.size(), stream);
  rewind(stream);
  std::vector<std::string> lines;
  LineReader reader(stream);
  while (reader.Next()) {
    EXPECT_EQ(reader.Number(), static_cast<long>(lines.size()) + 1);
    EXPECT_EQ(reader.Text()[reader.Length()], '\0');
    lines.emplace_back(reader.Text(), reader.Length());
  }
  EXPECT_FALSE(reader.Failed());
  fclose(stream);
  return lines;
}

using Strings = std::vector<std::string>;

TEST(LineReaderTest, SplitsAtLineFeeds) {
  EXPECT_EQ(Lines(""), Strings{});
  EXPECT_EQ(Lines("a\n\nb\n"), (Strings{"a", "", "b"}));
  EXPECT_EQ(Lines("last without feed"), Strings{"last without feed"});
  EXPECT_EQ(Lines("\n"), Strings{""});
}

TEST(LineReaderTest, DropsOnlyTheCarriageReturnBeforeALineFeed) {
  EXPECT_EQ(Lines("a\r\nb\rc\r\n\r"), (Strings{"a", "b\rc", "\r"}));
}

TEST(LineReaderTest, KeepsZeroBytesInTheLength) {
  EXPECT_EQ(Lines(std::string("a\0b\nc", 5)), (Strings{std::string("a\0b", 3), "c"}));
}

TEST(LineReaderTest, LinesLongerThanItsBuffer) {
  // Lines around and far past the read chunk, so lines cross refills.
  std::string a(65535, 'a'), b(300000, 'b'), c(70000, 'c');
  EXPECT_EQ(Lines(a + "\n" + b + "\r\n" + c), (Strings{a, b, c}));
  Strings many;
  std::string text;
  for (int i = 0; i < 20000; ++i) {
    many.push_back(std::string(i % 37, 'x') + std::to_string(i));
    text += many.back() + "\n";
  }
  EXPECT_EQ(Lines(text), many);
}

}  // namespace
