// tagscan as a user runs it: a gallery tree on a temporary drive C:, the
// keyword database on standard output.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/attributes.h"
#include "platform/testing/test_support.h"
#include "programs/tagscan/keyword_parser.h"
#include "shared/testing/full_output.h"

namespace {

const std::string kProgram = std::string(WEFT_BIN_DIR) + "/tagscan";

const char kHelp[] =
    "TAGSCAN, Make an HTML Keyword Database, Version 1.23\n\n"
    "This utility scans the specified directory and all its subdirectories for HTML\n"
    "files that have keywords.  Each file that contains keywords is printed to\n"
    "standard output in the form \"<pathname><tab><keyword list>\" followed by a\n"
    "newline.  This output can be directed to a file, or piped to another utility\n"
    "such as \"TAGQUERY\".\n\n"
    "TAGSCAN [/A] [/N] [/P] [/I:file | /X:file] [drive | path]\n\n"
    "  /A       Scan all subdirectories, including ones without index files.\n"
    "           If \"/A\" is not specified, then directories that don't contain an\n"
    "           index file will be excluded, and subdirectories will not be scanned.\n"
    "  /N       Do not include hidden keywords in the database.\n"
    "  /P       Exclude directories with the keyword \"__private\" in their index.\n"
    "  /I:file  Include only directories which contain \"file\".\n"
    "  /X:file  Exclude directories which contain \"file\".\n"
    "  drive    The drive to scan (e.g. \"C:\").\n"
    "  path     Path to starting directory of tree to scan (default = current).\n"
    "\n"
    "If a directory is excluded from scanning by using the /P, /I, or /X options,\n"
    "the index file for that directory is still scanned.  All other files and\n"
    "subdirectories in that directory are not scanned.  If the /I and /X files both\n"
    "exist, the /X file takes precidence, and the subdirectory is excluded.\n";

std::string Page(const std::string& keywords) {
  return "<HTML><HEAD><TITLE>t</TITLE>\n<META NAME=\"KEYWORDS\" CONTENT=\"" + keywords +
         "\">\n</HEAD><BODY>text</BODY></HTML>\n";
}

class TagscanTest : public ::testing::Test {
 protected:
  RunResult Run(const std::vector<std::string>& args) { return RunProgram(kProgram, args); }
  void Expect(const std::vector<std::string>& args, const std::string& out, int exitCode = 0) {
    RunResult result = Run(args);
    EXPECT_EQ(result.out, out);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.exitCode, exitCode);
  }
  TempDrive drive_;
};

TEST_F(TagscanTest, WalksInListingOrderBelowIndexPages) {
  drive_.Write("site/index.htm", Page("Home"));
  drive_.Write("site/b.htm", Page("Bee"));
  drive_.Write("site/a/index.html", Page("A dir"));
  drive_.Write("site/a/x.HTML", Page("Upper"));
  drive_.Write("site/c/index.htm", Page("C dir"));
  drive_.Write("site/c/notes.txt", Page("not a page"));
  drive_.Write("site/none.htm", "<HEAD><TITLE>no keywords</TITLE></HEAD>");
  drive_.Write("site/.dot.htm", Page("Dot"));
  drive_.Write("site/noindex/p.htm", Page("Lost"));
  drive_.Write("site/noindex/deep/index.htm", Page("Deeper"));
  Expect({"site"},
         "C:\\site\\index.htm\tHome\n"
         "C:\\site\\a\\index.html\tA dir\n"
         "C:\\site\\a\\x.HTML\tUpper\n"
         "C:\\site\\b.htm\tBee\n"
         "C:\\site\\c\\index.htm\tC dir\n");
  // With /A directories without index page are walked too.
  Expect({"/a", "C:\\site\\noindex"},
         "C:\\site\\noindex\\deep\\index.htm\tDeeper\n"
         "C:\\site\\noindex\\p.htm\tLost\n");
}

TEST_F(TagscanTest, TreeWithoutIndexPages) {
  drive_.Write("p.htm", Page("x"));
  drive_.Write("sub/q.htm", Page("y"));
  Expect({}, "");
  Expect({"C:"}, "");
  Expect({"-A", "C:"}, "C:\\p.htm\tx\nC:\\sub\\q.htm\ty\n");
}

TEST_F(TagscanTest, IndexPageNamesInOrder) {
  drive_.Write("one/index.htm", Page("index"));
  drive_.Write("one/welcome.htm", Page("welcome"));
  drive_.Write("two/Welcome.html", Page("Welcome"));
  drive_.Write("two/page.htm", Page("page"));
  drive_.Write("three/WELCOME.HTM", Page("caps"));
  drive_.Write("three/Welcome.html", Page("later"));
  Expect({"/A"},
         "C:\\one\\index.htm\tindex\n"
         "C:\\one\\welcome.htm\twelcome\n"
         "C:\\three\\WELCOME.HTM\tcaps\n"
         "C:\\three\\Welcome.html\tlater\n"
         "C:\\two\\Welcome.html\tWelcome\n"
         "C:\\two\\page.htm\tpage\n");
}

TEST_F(TagscanTest, HiddenAndPrivateKeywords) {
  drive_.Write("index.htm", Page("Home"));
  drive_.Write("hidden.htm", Page("_a, _b"));
  drive_.Write("mixed.htm", Page("_a, Sea"));
  drive_.Write("private/index.htm", Page("Secret, __private"));
  drive_.Write("private/p.htm", Page("Inside"));
  drive_.Write("private/sub/index.htm", Page("Below"));
  const std::string all =
      "C:\\index.htm\tHome\n"
      "C:\\hidden.htm\t_a, _b\n"
      "C:\\mixed.htm\t_a, Sea\n"
      "C:\\private\\index.htm\tSecret, __private\n"
      "C:\\private\\p.htm\tInside\n"
      "C:\\private\\sub\\index.htm\tBelow\n";
  Expect({"C:"}, all);
  Expect({"/N", "C:"},
         "C:\\index.htm\tHome\n"
         "C:\\mixed.htm\tSea\n"
         "C:\\private\\index.htm\tSecret\n"
         "C:\\private\\p.htm\tInside\n"
         "C:\\private\\sub\\index.htm\tBelow\n");
  Expect({"/p", "C:"},
         "C:\\index.htm\tHome\n"
         "C:\\hidden.htm\t_a, _b\n"
         "C:\\mixed.htm\t_a, Sea\n"
         "C:\\private\\index.htm\tSecret, __private\n");
}

TEST_F(TagscanTest, IncludeAndExcludeFiles) {
  drive_.Write("index.htm", Page("Top"));
  drive_.Write("in/index.htm", Page("In"));
  drive_.Write("in/scan.me", "");
  drive_.Write("in/p.htm", Page("In page"));
  drive_.Write("in/both/index.htm", Page("Both"));
  drive_.Write("in/both/scan.me", "");
  drive_.Write("in/both/skip.me", "");
  drive_.Write("in/both/p.htm", Page("Both page"));
  drive_.Write("out/index.htm", Page("Out"));
  drive_.Write("out/p.htm", Page("Out page"));
  // Index pages are written even where the contents are not scanned.
  Expect({"/I:scan.me", "/Xskip.me", "in"},
         "C:\\in\\index.htm\tIn\n"
         "C:\\in\\both\\index.htm\tBoth\n"
         "C:\\in\\p.htm\tIn page\n");
  Expect({"/X:scan.me"},
         "C:\\index.htm\tTop\n"
         "C:\\in\\index.htm\tIn\n"
         "C:\\out\\index.htm\tOut\n"
         "C:\\out\\p.htm\tOut page\n");
}

TEST_F(TagscanTest, CommandLineErrorsAndHelp) {
  RunResult result = Run({"a", "b"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err, "Error:  Starting directory was specified twice on command line.\n");
  result = Run({"Q:\\photos"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err, "Error:  Illegal path specified on command line.\n");
  for (const char* option : {"/?", "/Z", "-"}) {
    result = Run({"/A", option, "a", "b"});
    EXPECT_EQ(result.exitCode, 0) << option;
    EXPECT_EQ(result.out, kHelp) << option;
  }
}

TEST_F(TagscanTest, OverlongPathsAreSkippedWithAWarning) {
  std::string deep = "d/" + std::string(200, 'a') + "/" + std::string(40, 'b');
  drive_.Write("d/index.htm", Page("Top"));
  drive_.Write(deep + "/index.htm", Page("Fits"));
  drive_.Write(deep + "/" + std::string(20, 'c') + ".htm", Page("Too long"));
  drive_.Write(deep + "/" + std::string(20, 'e') + "/index.htm", Page("Too deep"));
  std::string dir = "C:\\d\\" + std::string(200, 'a') + "\\" + std::string(40, 'b') + "\\";
  RunResult result = Run({"/A", "d"});
  EXPECT_EQ(result.out, "C:\\d\\index.htm\tTop\n" + dir + "index.htm\tFits\n");
  EXPECT_EQ(result.err,
            "Warning:  Path longer than 259 characters skipped:\n            " + dir +
                std::string(20, 'c') + ".htm\n"
                "Warning:  Path longer than 259 characters skipped:\n            " + dir +
                std::string(20, 'e') + "\n");
  EXPECT_EQ(result.exitCode, 1);
}

// The page heads are read side by side; the lines come in walk order: each
// folder's index page, then its entries in listing order, a subfolder's
// lines where the subfolder stands.
TEST_F(TagscanTest, ManyFoldersComeInWalkOrder) {
  std::string expected;
  drive_.Write("site/index.htm", Page("Top"));
  expected += "C:\\site\\index.htm\tTop\n";
  for (char folder = 'a'; folder <= 'l'; ++folder) {
    std::string dir = std::string("site/") + folder;
    std::string winDir = std::string("C:\\site\\") + folder + "\\";
    drive_.Write(dir + "/index.htm", Page(std::string("Index ") + folder));
    drive_.Write(dir + "/m.htm", Page(std::string("M ") + folder));
    drive_.Write(dir + "/deep/index.htm", Page(std::string("Deep ") + folder));
    drive_.Write(dir + "/z.htm", Page(std::string("Z ") + folder));
    expected += winDir + "index.htm\tIndex " + folder + "\n" + winDir + "deep\\index.htm\tDeep " +
                folder + "\n" + winDir + "m.htm\tM " + folder + "\n" + winDir + "z.htm\tZ " + folder +
                "\n";
  }
  Expect({"site"}, expected);
}

TEST_F(TagscanTest, FullDiskIsAnError) {
  drive_.Write("index.htm", Page("Top"));
  RunResult result = RunProgramToFullDisk(kProgram, {"C:"});
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_EQ(result.err, "Error:  Can't write to output file.\n");
}

TEST(ReadPageKeywordsTest, KeywordsOfAHead) {
  struct Case {
    const char* name;
    std::string page;
    std::string keywords;
  } cases[] = {
      {"plain", Page("Beach, Sea"), "Beach, Sea"},
      {"lines joined", "<meta name=keywords content=\"Beach,\n      Sea\">", "Beach, Sea"},
      {"entities decoded", "<META NAME=KEYWORDS CONTENT=\"Fish &amp; Chips\">", "Fish & Chips"},
      {"a later tag replaces", "<meta name=keywords content=a><meta name=keywords content=b>", "b"},
      {"ALIAS right after", "<meta name=keywords content=a><meta name=alias>", ""},
      {"ALIAS with content", "<meta name=keywords content=a><META NAME=\"Alias\" CONTENT=x>", ""},
      {"ALIAS after another tag", "<meta name=keywords content=a><link><meta name=alias>", "a"},
      {"ALIAS first", "<meta name=alias><meta name=keywords content=a>", ""},
      {"other META names", "<meta name=keywords content=a><meta name=description content=d>"
                           "<meta name=alias>", ""},
      {"body ends the head", "<body><meta name=keywords content=a>", ""},
      {"/head ends the head", "</head><meta name=keywords content=a>", ""},
      {"cut to 255", "<meta name=keywords content=\"" + std::string(300, 'k') + "\">",
       std::string(255, 'k')},
  };
  TempDrive drive;
  for (const Case& c : cases) {
    drive.Write("p.htm", c.page);
    char buffer[kPageKeywordsSize];
    EXPECT_EQ(ReadPageKeywords("C:\\p.htm", buffer, sizeof buffer), !c.keywords.empty()) << c.name;
    EXPECT_EQ(buffer, c.keywords) << c.name;
  }
  char buffer[kPageKeywordsSize] = "old";
  EXPECT_FALSE(ReadPageKeywords("C:\\missing.htm", buffer, sizeof buffer));
  EXPECT_STREQ(buffer, "");
}

// Pages and folders with the hidden attribute are left out; the start folder
// given in another letter case finds them all the same.
TEST_F(TagscanTest, EntriesWithTheHiddenAttributeAreLeftOut) {
  drive_.Write("site/index.htm", Page("Home"));
  drive_.Write("site/shown.htm", Page("Sea"));
  drive_.Write("site/secret.htm", Page("Sea"));
  drive_.Write("site/away/index.htm", Page("Away"));
  drive_.Write("site/away/inside.htm", Page("Sea"));
  for (const char* path : {"C:\\site\\secret.htm", "C:\\site\\away"}) {
    if (!SetAttributes(path, kAttrHidden)) GTEST_SKIP() << "no attribute records here";
  }
  Expect({"C:\\SITE"}, "C:\\SITE\\index.htm\tHome\nC:\\SITE\\shown.htm\tSea\n");
}

}  // namespace

namespace {

// A link loop, a link inside the tree and links out of it: every page is
// written once, the outside ones under the first link that leads there.
TEST_F(TagscanTest, LinkedDirectoriesAreWalkedOnce) {
  drive_.Write("site/index.htm", Page("Home"));
  drive_.Write("site/a/index.htm", Page("A dir"));
  drive_.Write("site/a/p.htm", Page("Pea"));
  drive_.Write("outside/index.htm", Page("Far"));
  drive_.Link("site/a/loop", "..");
  drive_.Link("site/b", "a");
  drive_.Link("site/out", "../outside");
  drive_.Link("site/zout", "../outside");
  drive_.Link("outside/back", "../site");
  Expect({"/a", "site"},
         "C:\\site\\index.htm\tHome\n"
         "C:\\site\\a\\index.htm\tA dir\n"
         "C:\\site\\a\\p.htm\tPea\n"
         "C:\\site\\out\\index.htm\tFar\n");
}

}  // namespace
