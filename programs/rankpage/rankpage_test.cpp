// rankpage as a user runs it: a sort list in a folder mapped as drive C:.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "platform/testing/test_support.h"
#include "programs/rankpage/sort_list.h"

namespace {

const char kHelp[] =
    "RANKPAGE, Automatic HTML File Sort Order Setter, Version 1.02.\n\n"
    "Takes a sorted list of file names and assigns an incremental sort order number\n"
    "to each HTML file in the list.  Errors are logged to the Tessarin log file.\n\n"
    "RANKPAGE [sortfile]\n\n"
    "  sortfile      Name of the file which contains the pre-sorted list of file\n"
    "                names.\n\n"
    "Each line of the sortfile is in the following format:\n\n"
    "  [[sortorder][,increment]:][filename][//comment]\n\n"
    "Where,\n"
    "  sortorder     The sort order value to be assigned to the next file.\n"
    "  increment     The amount by which the sort order will be incremented after\n"
    "                assigning it to each subsequent file (default = 1).\n"
    "  filename      The name of the file to be assigned the next sort order value.\n"
    "                If this is not an HTML file, the HTML file with the same base\n"
    "                name will be used.\n"
    "  comment       A comment.\n";

// A skeleton page after rankpage gave it a sort order.
std::string Numbered(const std::string& number) {
  return "<HEAD>\n<META NAME=\"SORTORDER\" CONTENT=\"" + number + "\">\n</HEAD>\n<BODY>\n</BODY>\n";
}

class RankpageTest : public ::testing::Test {
 protected:
  RunResult Run(const std::vector<std::string>& args, RunOptions options = {}) {
    if (!options.env.count("WEFTLOG")) options.unset.push_back("WEFTLOG");
    return RunProgram(std::string(WEFT_BIN_DIR) + "/rankpage", args, options);
  }
  // The file's identity and time: a page written anew gets a new one.
  std::string Stamp(const std::string& relative) {
    struct stat st;
    if (stat(drive.Host(relative).c_str(), &st) != 0) return "missing";
    return std::to_string(st.st_ino) + ":" + std::to_string(st.st_mtim.tv_nsec) + ":" +
           std::to_string(st.st_mtim.tv_sec);
  }
  TempDrive drive;
};

TEST(SortLine, Prefixes) {
  struct Case {
    const char* line;
    int number, increment;  // the state before
    const char* name;
    int numberAfter, incrementAfter;
  } cases[] = {
      {"a.jpg", 1, 1, "a.jpg", 1, 1},
      {"10,5:", 1, 1, "", 10, 5},
      {"+100:x.htm", 7, 1, "x.htm", 107, 1},
      {"-3: y.htm  \t", 7, 2, "y.htm", 4, 2},
      {",3:z.htm", 7, 1, "z.htm", 7, 3},
      {" 12 :a b.htm // note", 1, 1, "a b.htm", 1, 1},  // a blank first: the number stays
      {"12abc,x:a", 1, 4, "a", 12, 0},
      {"//all fruit", 5, 1, "", 5, 1},
      {"", 5, 1, "", 5, 1},
      {"C:\\pics\\a.jpg", 5, 1, "\\pics\\a.jpg", 5, 1},
      {"99999999999:a", 1, 1, "a", 2147483647, 1},
      {"+-4:a", 10, 1, "a", 6, 1},
  };
  for (const Case& c : cases) {
    SortListState state{c.number, c.increment};
    std::string line = c.line;
    EXPECT_STREQ(c.name, ParseSortLine(line.data(), &state)) << c.line;
    EXPECT_EQ(c.numberAfter, state.number) << c.line;
    EXPECT_EQ(c.incrementAfter, state.increment) << c.line;
  }
}

TEST_F(RankpageTest, Help) {
  for (const std::vector<std::string>& args : {std::vector<std::string>{}, {"/?"}}) {
    RunResult r = Run(args);
    EXPECT_EQ(0, r.exitCode);
    EXPECT_EQ(kHelp, r.out);
    EXPECT_EQ("", r.err);
  }
}

TEST_F(RankpageTest, NumbersImagePagesAndCreatesMissingOnes) {
  drive.Write("a.jpg", "jpeg");
  drive.Write("b.jpg", "jpeg");
  drive.Write("IMG1.JPG", "jpeg");
  drive.Write("list.txt", "a.jpg\nb.jpg\nIMG1.JPG");  // no line end after the last
  RunResult r = Run({"list.txt"});
  EXPECT_EQ(0, r.exitCode);
  EXPECT_EQ("  1: a.jpg\n  2: b.jpg\n  3: IMG1.JPG\n", r.out);
  EXPECT_EQ("", r.err);
  EXPECT_EQ(Numbered("1"), drive.Read("a.htm"));
  EXPECT_EQ(Numbered("2"), drive.Read("b.htm"));
  EXPECT_EQ(Numbered("3"), drive.Read("IMG1.HTM"));

  // A second run finds every page numbered and writes none.
  std::string before = Stamp("a.htm") + Stamp("b.htm") + Stamp("IMG1.HTM");
  r = Run({"list.txt"});
  EXPECT_EQ(0, r.exitCode);
  EXPECT_EQ("", r.out);
  EXPECT_EQ(before, Stamp("a.htm") + Stamp("b.htm") + Stamp("IMG1.HTM"));
  EXPECT_EQ((std::vector<std::string>{"IMG1.HTM", "IMG1.JPG", "a.htm", "a.jpg", "b.htm", "b.jpg",
                                      "list.txt"}),
            drive.Files());
}

TEST_F(RankpageTest, PrefixesCommentsAndFolders) {
  const char* page =
      "<HTML><HEAD>\n<!-- keep -->\n<TITLE>W</TITLE>\n<META NAME=SORTORDER CONTENT='3'>\n"
      "<SCRIPT>if (a<b) x='</HEAD>';</SCRIPT>\n</HEAD>\n<BODY onLoad=\"f('>')\">\n</BODY></HTML>\n";
  drive.Write("w.htm", page);
  for (const char* name : {"x.htm", "y.htm", "z.htm", "pics/a.jpg", "my.pics/notes"})
    drive.Write(name, "<HEAD>\n</HEAD>\n<BODY>\n</BODY>\n");
  drive.Write("list.txt",
              "10,5:\n"
              "x.htm\n"
              "y.htm   // second\n"
              "\n"
              "//all fruit\n"
              "+100:z.htm\n"
              "-3:  w.htm\n"
              "C:\\pics\\a.jpg\n"
              "my.pics\\notes\n");
  RunResult r = Run({"list.txt"});
  EXPECT_EQ(0, r.exitCode);
  EXPECT_EQ(" 10: x.htm\n 15: y.htm\n120: z.htm\n122: w.htm\n127: \\pics\\a.jpg\n132: my.pics\\notes\n",
            r.out);
  EXPECT_EQ("", r.err);
  EXPECT_EQ(Numbered("10"), drive.Read("x.htm"));
  EXPECT_EQ(Numbered("120"), drive.Read("z.htm"));
  std::string numbered = page;
  numbered.replace(numbered.find("'3'"), 3, "'122'");
  EXPECT_EQ(numbered, drive.Read("w.htm"));
  EXPECT_EQ(Numbered("127"), drive.Read("pics/a.htm"));
  EXPECT_EQ(Numbered("132"), drive.Read("my.pics/notes.htm"));
  EXPECT_FALSE(drive.Exists("my.htm"));
}

// A number longer than the 9 characters a sort order holds is refused with
// a warning, never stored cut to another number.
TEST_F(RankpageTest, LongNumbersAreRefused) {
  const std::string page = "<HEAD>\n</HEAD>\n<BODY>\n</BODY>\n";
  drive.Write("big.htm", page);
  drive.Write("list.txt", "1234567890:big.htm\n123456789:fits.htm\n");
  drive.Write("fits.htm", page);
  RunResult r = Run({"list.txt"});
  EXPECT_EQ(1, r.exitCode);
  EXPECT_EQ("123456789: fits.htm\n", r.out);
  EXPECT_EQ("Warning:  The sort order is too long for file \"big.htm\" (at most 9 characters).\n", r.err);
  EXPECT_EQ(page, drive.Read("big.htm"));
  EXPECT_EQ(Numbered("123456789"), drive.Read("fits.htm"));
}

TEST_F(RankpageTest, MissingFilesAreWarnedAboutAndSkipped) {
  drive.Write("a.htm", "<HEAD></HEAD><BODY>");
  drive.Write("list.txt", "nope.jpg\na.htm\n");
  RunOptions options;
  options.env["WEFTLOG"] = "C:\\weft.log";
  // The program file on a drive of its own gives the log its title.
  options.env["WEFTDRIVES"] = "C=" + drive.Host() + ";D=" + WEFT_BIN_DIR;
  RunResult r = Run({"list.txt"}, options);
  EXPECT_EQ(1, r.exitCode);
  EXPECT_EQ("  1: a.htm\n", r.out);
  EXPECT_EQ("Warning:  File \"nope.jpg\" does not exist.\n", r.err);
  EXPECT_FALSE(drive.Exists("nope.htm"));
  std::string log = drive.Read("weft.log");
  EXPECT_NE(std::string::npos, log.find("\nrankpage\n")) << log;
  EXPECT_NE(std::string::npos, log.find("1000:  Warning:  File \"nope.jpg\" does not exist.\n"))
      << log;
}

TEST_F(RankpageTest, MissingList) {
  RunResult r = Run({"nolist.txt"});
  EXPECT_EQ(2, r.exitCode);
  EXPECT_EQ("", r.out);
  EXPECT_EQ("Can't open file \"nolist.txt\".\n", r.err);
  EXPECT_EQ(std::vector<std::string>{}, drive.Files());
}

TEST_F(RankpageTest, PagesThatCannotBeReadOrWritten) {
  drive.Write("d.jpg", "jpeg");
  drive.MakeDir("d.htm");  // exists, cannot be read: not replaced by a skeleton
  drive.Write("r.htm", "<HEAD></HEAD><BODY>");
  chmod(drive.Host("r.htm").c_str(), 0444);
  drive.Write("n.htm", "<P>no head\n");
  drive.Write("ok.htm", "<HEAD></HEAD><BODY>");
  drive.Write("list.txt", "d.jpg\nr.htm\nn.htm\nok.htm\n");
  RunResult r = Run({"list.txt"});
  EXPECT_EQ(2, r.exitCode);
  // Each of them uses up its number.
  EXPECT_EQ("  4: ok.htm\n", r.out);
  EXPECT_EQ(
      "Error:  Can't open file \"d.htm\".\n"
      "Warning:  Can't replace file \"r.htm\".\n"
      "Warning:  Bad header format in file \"n.htm\".\n",
      r.err);
  EXPECT_EQ("<HEAD></HEAD><BODY>", drive.Read("r.htm"));
  EXPECT_EQ("<P>no head\n", drive.Read("n.htm"));
  EXPECT_EQ("<HEAD>\n<META NAME=\"SORTORDER\" CONTENT=\"4\">\n</HEAD><BODY>", drive.Read("ok.htm"));
  EXPECT_EQ((std::vector<std::string>{"d.jpg", "list.txt", "n.htm", "ok.htm", "r.htm"}),
            drive.Files());
  chmod(drive.Host("r.htm").c_str(), 0644);
}

}  // namespace
