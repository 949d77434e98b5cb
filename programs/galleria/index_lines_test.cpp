#include "programs/galleria/index_lines.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {

// A binary stream holding the text.
FILE* StreamOf(const std::string& text) {
  FILE* stream = tmpfile();
  fwrite(text.data(), 1, text.size(), stream);
  rewind(stream);
  return stream;
}

std::vector<std::pair<long, std::string>> AllLines(IndexLines& lines) {
  std::vector<std::pair<long, std::string>> all;
  while (lines.Next()) all.emplace_back(static_cast<long>(lines.Position()), lines.Text());
  return all;
}

TEST(IndexLinesTest, LinesAndTheirPositions) {
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
    IndexLines lines(stream);
    EXPECT_EQ(AllLines(lines), c.expected) << c.text;
    EXPECT_FALSE(lines.Next());
    fclose(stream);
  }
}

TEST(IndexLinesTest, LongLinesAcrossReadsKeepTheirPositions) {
  std::string longLine(200000, 'x');
  std::string text = "first\n" + longLine + "\nlast\n";
  FILE* stream = StreamOf(text);
  IndexLines lines(stream);
  auto all = AllLines(lines);
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ(all[1].first, 6);
  EXPECT_EQ(all[1].second, longLine);
  EXPECT_EQ(all[2].first, static_cast<long>(7 + longLine.size()));
  EXPECT_EQ(all[2].second, "last");
  fclose(stream);
}

TEST(IndexLinesTest, GoesBackOnlyToTheStartOfALine) {
  FILE* stream = StreamOf("one\r\ntwo\nthree\n");
  IndexLines lines(stream);
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
