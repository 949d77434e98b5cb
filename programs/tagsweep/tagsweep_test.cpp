// tagsweep as a user runs it: in a keyword directory of a site on a
// temporary drive C:, the alias list lines on standard output.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/attributes.h"
#include "platform/testing/test_support.h"
#include "programs/tagsweep/keyword_sweep.h"
#include "shared/testing/full_output.h"

namespace {

const std::string kProgram = std::string(WEFT_BIN_DIR) + "/tagsweep";

std::string Page(const std::string& keywords) {
  return "<HTML><HEAD><TITLE>t</TITLE>\n<META NAME=\"KEYWORDS\" CONTENT=\"" + keywords +
         "\"></HEAD><BODY>beach</BODY></HTML>\n";
}

std::string Searching(const std::string& root, const std::string& keyword) {
  return "Searching directory \"" + root + "\" and its\nsubdirectories for HTML files containing "
         "the keyword \"" + keyword + "\"...\n";
}

class TagsweepTest : public ::testing::Test {
 protected:
  TagsweepTest() {
    drive_.Write("site/beach/y.htm", Page("beach"));
    drive_.Write("site/beach/sub/s.htm", Page("beach"));
    drive_.Write("site/trip/x.htm", Page("Sea, beach"));
    drive_.Write("site/trip/z.htm", Page("beach"));
    drive_.Write("site/trip/z.jpg", "image");
    drive_.Write("site/trip/g.htm", Page("beach"));
    drive_.Write("site/trip/g.gif", "image");
    drive_.Write("site/trip/PICT1.HTM", Page("BEACH"));
    drive_.Write("site/trip/PICT1.JPG", "image");
    drive_.Write("site/trip/index.htm", Page("Sea,\n beach"));
    drive_.Write("site/trip/no.htm", Page("beach side, beaches"));
    drive_.Write("site/trip/yes.htm", Page("sea,  Beach  ,"));
    drive_.Write("site/trip/body.htm", "<HTML><HEAD></HEAD><BODY><META NAME=KEYWORDS CONTENT=beach>");
    drive_.Write("site/trip/deep/d.htm", Page("beach"));
    drive_.Write("site/trip/notes.txt", "beach");
    drive_.Write("site/.hidden/h.htm", Page("beach"));
  }
  RunOptions Options(const std::string& cwd) const {
    RunOptions options;
    options.cwd = drive_.Host(cwd);
    return options;
  }
  TempDrive drive_;
};

TEST_F(TagsweepTest, PagesElsewhereWithTheDirectorysKeyword) {
  RunResult result = RunProgram(kProgram, {"ignored"}, Options("site/beach"));
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out,
            "..\\trip\\deep\\d.htm\n"
            "..\\trip\\g.gif\n"
            "..\\trip\\\n"
            "..\\trip\\PICT1.JPG\n"
            "..\\trip\\x.htm\n"
            "..\\trip\\yes.htm\n"
            "..\\trip\\z.jpg\n");
  EXPECT_EQ(result.err, Searching("C:\\site", "beach"));
}

TEST_F(TagsweepTest, AtTheDriveRootNothingMatches) {
  drive_.Write("r.htm", Page("beach"));
  RunResult result = RunProgram(kProgram, {}, Options(""));
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, Searching("C:\\", ""));
}

TEST_F(TagsweepTest, KeywordItems) {
  struct Case {
    const char* list;
    const char* keyword;
    bool has;
  } cases[] = {
      {"Sea, beach", "beach", true}, {" Beach ", "beach", true},  {"beach side", "beach", false},
      {"beaches", "beach", false},   {"a,,beach", "beach", true}, {"", "beach", false},
      {"a, ,b", "", false},          {"_beach", "_BEACH", true},
  };
  for (const Case& c : cases) EXPECT_EQ(HasListKeyword(c.list, c.keyword), c.has) << c.list;
  EXPECT_FALSE(HasListKeyword(nullptr, "beach"));
}

TEST_F(TagsweepTest, FullDiskIsAnError) {
  RunResult result = RunProgramToFullDisk(kProgram, {}, Options("site/beach"));
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_EQ(result.err, Searching("C:\\site", "beach") + "Error:  Can't write to output file.\n");
}

// Pages and folders with the hidden attribute are left out.
TEST_F(TagsweepTest, EntriesWithTheHiddenAttributeAreLeftOut) {
  for (const char* path : {"C:\\site\\trip\\x.htm", "C:\\site\\trip\\deep"}) {
    if (!SetAttributes(path, kAttrHidden)) GTEST_SKIP() << "no attribute records here";
  }
  RunResult result = RunProgram(kProgram, {"ignored"}, Options("site/beach"));
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out.find("deep"), std::string::npos) << result.out;
  EXPECT_EQ(result.out.find("x.htm"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("..\\trip\\g.gif"), std::string::npos) << result.out;
}

}  // namespace

namespace {

// A link loop, a link inside the tree and links out of it: every page is
// read once, the outside ones under the first link that leads there.
TEST_F(TagsweepTest, LinkedDirectoriesAreSweptOnce) {
  drive_.Write("outside/o.htm", Page("beach"));
  drive_.Link("site/trip/loop", "..");
  drive_.Link("site/trip/self", ".");
  drive_.Link("site/zz", "trip");
  drive_.Link("site/out", "../outside");
  drive_.Link("site/zout", "../outside");
  drive_.Link("outside/back", "../site");
  RunResult result = RunProgram(kProgram, {}, Options("site/beach"));
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out,
            "..\\out\\o.htm\n"
            "..\\trip\\deep\\d.htm\n"
            "..\\trip\\g.gif\n"
            "..\\trip\\\n"
            "..\\trip\\PICT1.JPG\n"
            "..\\trip\\x.htm\n"
            "..\\trip\\yes.htm\n"
            "..\\trip\\z.jpg\n");
  EXPECT_EQ(result.err, Searching("C:\\site", "beach"));
}

}  // namespace
