// cat2tag as a user runs it: an index database on standard input, the
// keyword database on standard output.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/testing/test_support.h"
#include "shared/testing/full_output.h"

namespace {

// The program built beside these tests.
const std::string kProgram = std::string(WEFT_BIN_DIR) + "/cat2tag";

const char kHelp[] =
    "CAT2TAG, Index Database to Keyword Database converter, Version 1.01\n\n"
    "This filter utility converts an index database to a keyword database.\n"
    "Input comes from stdin, and output goes to stdout.\n\n"
    "Usage:  CAT2TAG\n";

std::string Record(const std::string& path, const std::string& keywords) {
  return "Title\t" + path + "\tDescription\t" + keywords + "\tinfo\tthumbs\\t.jpg:1,2\t50\t0\t0002";
}

RunResult Convert(const std::string& input, const std::vector<std::string>& args = {}) {
  RunOptions options;
  options.input = input;
  return RunProgram(kProgram, args, options);
}

TEST(Cat2tagTest, NamesEachRecordByItsPage) {
  struct Case {
    const char* name;
    std::string input;
    std::string out;
  } cases[] = {
      {"upper-case image", Record("C:\\PICS\\BOAT.JPG", "Boat, Sea") + "\n",
       "C:\\PICS\\BOAT.HTM\tBoat, Sea\n"},
      {"lower-case image", Record("C:\\pics\\boat.jpg", "Boat") + "\n", "C:\\pics\\boat.htm\tBoat\n"},
      {"index page kept", Record("C:\\pics\\index.htm", "Trip") + "\n", "C:\\pics\\index.htm\tTrip\n"},
      {".html kept", Record("C:\\pics\\Page.HTML", "Trip") + "\n", "C:\\pics\\Page.HTML\tTrip\n"},
      {"no extension", Record("C:\\pics.d\\movie", "Film") + "\n", "C:\\pics.d\\movie.htm\tFilm\n"},
      {"empty keywords", Record("C:\\pics\\boat.jpg", "") + "\n", ""},
      {"fewer than four fields", "Title\tC:\\a.htm\tDescription\n", ""},
      {"four fields, the last one ends the line", "T\tC:\\a.htm\tD\tk", "C:\\a.htm\tk\n"},
      {"CR line ends", Record("C:\\a.jpg", "x") + "\r\n" + Record("C:\\b.jpg", "y") + "\r\n",
       "C:\\a.htm\tx\nC:\\b.htm\ty\n"},
      {"a lone CR ends the line", "T\tC:\\a.htm\tD\tk\rmore\n", "C:\\a.htm\tk\n"},
  };
  for (const auto& c : cases) {
    RunResult result = Convert(c.input);
    EXPECT_EQ(result.exitCode, 0) << c.name;
    EXPECT_EQ(result.out, c.out) << c.name;
    EXPECT_EQ(result.err, "") << c.name;
  }
}

TEST(Cat2tagTest, WholeLinesOfAnyLength) {
  std::string keywords = std::string(10000, 'k') + ", sea";
  std::string path = "C:\\" + std::string(5000, 'd') + "\\a.jpg";
  RunResult result = Convert(Record(path, keywords) + "\n" + Record("C:\\b.jpg", "b") + "\n");
  EXPECT_EQ(result.out, "C:\\" + std::string(5000, 'd') + "\\a.htm\t" + keywords + "\nC:\\b.htm\tb\n");
}

TEST(Cat2tagTest, AnyArgumentShowsTheHelp) {
  for (const char* arg : {"/?", "x"}) {
    RunResult result = Convert(Record("C:\\a.jpg", "x") + "\n", {arg});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, kHelp);
  }
}

TEST(Cat2tagTest, FullDiskIsAnError) {
  RunOptions options;
  options.input = Record("C:\\a.jpg", "x") + "\n";
  RunResult result = RunProgramToFullDisk(kProgram, {}, options);
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_EQ(result.err, "Error:  Can't write to output file.\n");
}

}  // namespace
