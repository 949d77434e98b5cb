#include "shared/line_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
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

// --- Going back to a line by its position ------------------------------------

// A binary stream holding the text.
FILE* StreamOf(const std::string& text) {
  FILE* stream = tmpfile();
  fwrite(text.data(), 1, text.size(), stream);
  rewind(stream);
  return stream;
}

std::vector<std::pair<long, std::string>> AllLines(LineReader& lines) {
  std::vector<std::pair<long, std::string>> all;
  while (lines.Next()) all.emplace_back(static_cast<long>(lines.Position()), lines.Text());
  return all;
}

TEST(LineReaderPositionTest, LinesAndTheirPositions) {
  using Lines = std::vector<std::pair<long, std::string>>;
  struct Case {
    std::string text;
    Lines expected;
  } const cases[] = {
      {"", {}},
      {"a\nbc\n", {{0, "a"}, {2, "bc"}}},
      {"a\r\nbc", {{0, "a"}, {3, "bc"}}},  // CR before LF goes; last line without feed
      {"\n\nx\n", {{0, ""}, {1, ""}, {2, "x"}}},
      {"a\rb\n", {{0, "a\rb"}}},  // a CR elsewhere stays
  };
  for (const Case& c : cases) {
    FILE* stream = StreamOf(c.text);
    LineReader lines(stream);
    EXPECT_EQ(AllLines(lines), c.expected) << c.text;
    EXPECT_FALSE(lines.Next());
    fclose(stream);
  }
}

TEST(LineReaderPositionTest, LongLinesAcrossReadsKeepTheirPositions) {
  std::string longLine(200000, 'x');
  std::string text = "first\n" + longLine + "\nlast\n";
  FILE* stream = StreamOf(text);
  LineReader lines(stream, 64 * 1024);  // reads shorter than the long line
  auto all = AllLines(lines);
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ(all[1].first, 6);
  EXPECT_EQ(all[1].second, longLine);
  EXPECT_EQ(all[2].first, static_cast<long>(7 + longLine.size()));
  EXPECT_EQ(all[2].second, "last");
  fclose(stream);
}

TEST(LineReaderPositionTest, GoesBackOnlyToTheStartOfALine) {
  FILE* stream = StreamOf("one\r\ntwo\nthree\n");
  LineReader lines(stream);
  AllLines(lines);
  ASSERT_TRUE(lines.SeekLine(5));
  ASSERT_TRUE(lines.Next());
  EXPECT_EQ(std::string(lines.Text()), "two");
  EXPECT_EQ(lines.Position(), 5);
  ASSERT_TRUE(lines.Next());
  EXPECT_EQ(std::string(lines.Text()), "three");
  // Inside a line, before the start or past the end: refused.
  for (long position : {1L, 4L, 7L, -1L, 100L}) {
    EXPECT_FALSE(lines.SeekLine(position)) << position;
  }
  ASSERT_TRUE(lines.Rewind());
  ASSERT_TRUE(lines.Next());
  EXPECT_EQ(std::string(lines.Text()), "one");
  // The end of the file is a line start with no line after it.
  ASSERT_TRUE(lines.SeekLine(15));
  EXPECT_FALSE(lines.Next());
  fclose(stream);
}

}  // namespace
