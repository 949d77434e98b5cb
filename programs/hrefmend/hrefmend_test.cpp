// hrefmend as a user runs it: a page in a directory of a site on a
// temporary drive C:, the index database above it, the report on standard
// output and the page rewritten in place.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/attributes.h"
#include "platform/files.h"
#include "platform/testing/test_support.h"
#include "shared/testing/full_output.h"

namespace {

const std::string kProgram = std::string(WEFT_BIN_DIR) + "/hrefmend";

const char kHelp[] =
    "HREFMEND, HTML Link Fixer, Version 1.01\n\n"
    "Fixes broken relative local anchor links in an HTML file.\n\n"
    "Usage:  HREFMEND filename\n\n"
    "filename    The name of the HTML file to be fixed.\n\n"
    "Only links contained within <A> and <AREA> tags are checked and fixed.\n"
    "Global and absolute local links are not checked.\n"
    "The file is not modified unless it has at least one fixable link.\n\n"
    "An index database file (\"index.db\") must be located in a parent directory.\n"
    "The index database must contain the correct path for each broken link.\n"
    "The index database can be built using the PAGEBASE utility.\n\n"
    "A broken link is resolved by finding a link with the same file name in the\n"
    "index database.  If more than one link with the same file name is found, then\n"
    "the path name is used to find the closest match.  If more than one match is\n"
    "found (or if no match is found), then the link is not fixed.\n\n"
    "Exit Codes:\n"
    "  0 = success, all broken links were fixed\n"
    "  1 = one or more broken links could not be fixed\n"
    "  2 = an unrecoverable error occurred\n"
    "  3 = output file could not be renamed, user intervention required\n";

const char kNoChanges[] = "No changes were made to the file.\n";

// One index database line with the title and path; the other fields as
// pagebase writes them.
std::string DbLine(const std::string& title, const std::string& path) {
  return title + "\t" + path + "\tdescription\tSea\t\t\t50\t0\t0001\n";
}

class HrefmendTest : public ::testing::Test {
 protected:
  HrefmendTest() {
    drive_.MakeDir("site/pages");
    drive_.Write("site/pages/here.htm", "<TITLE>Here</TITLE>");
    drive_.Write("site/pages/sub/there.htm", "<TITLE>There</TITLE>");
  }

  void Page(const std::string& text) const { drive_.Write("site/pages/page.htm", text); }
  std::string PageText() const { return drive_.Read("site/pages/page.htm"); }
  void Db(const std::string& lines) const { drive_.Write("site/index.db", lines); }

  RunOptions Options() const {
    RunOptions options;
    options.cwd = drive_.Host("site/pages");
    return options;
  }
  RunResult Run(const std::vector<std::string>& args = {"page.htm"}) const {
    return RunProgram(kProgram, args, Options());
  }
  // The page directory holds nothing but what the test made.
  void ExpectNoTempFile() const {
    EXPECT_FALSE(drive_.Exists("site/pages/page.$$$"));
  }

  TempDrive drive_;
};

TEST_F(HrefmendTest, HelpWithoutAFileName) {
  for (std::vector<std::string> args : {std::vector<std::string>{}, {"/?"}, {"-x", "page.htm"}}) {
    RunResult result = Run(args);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, kHelp);
    EXPECT_EQ(result.err, "");
  }
}

TEST_F(HrefmendTest, CommandLineErrors) {
  struct Case {
    const char* name;
    const char* err;
  } cases[] = {
      {"sub\\page.htm", "Command line error:  Path names are not currently supported.\n"},
      {"sub/page.htm", "Command line error:  Path names are not currently supported.\n"},
      {"C:page.htm", "Command line error:  Path names are not currently supported.\n"},
      {"nope.htm", "Error:  Can't open file \"nope.htm\".\n"},
      {"sub", "Error:  Can't open file \"sub\".\n"},
  };
  for (const Case& c : cases) {
    RunResult result = Run({c.name});
    EXPECT_EQ(result.exitCode, 2) << c.name;
    EXPECT_EQ(result.out, "") << c.name;
    EXPECT_EQ(result.err, c.err) << c.name;
  }
}

TEST_F(HrefmendTest, LinksThatAreNotCheckedLeaveThePageAlone) {
  // Working links without TITLE, links with a scheme, a drive or a rooted
  // path, links within the page, other tags and an HREF too long to be a
  // path: none needs the database, none is changed.
  const std::string page =
      "<HTML><BODY>\r\n<A HREF=\"here.htm\">x</A> <a href='sub/there.htm#p'>y</a>\r\n"
      "<A HREF=\"http://host/gone.htm\">h</A><A HREF=\"mailto:a@b\">m</A>"
      "<A HREF=\"C:/gone.htm\">c</A><A HREF=\"/gone.htm\">r</A>\n"
      "<A HREF=\"#top\" TITLE=\"Top\">t</A><A NAME=\"top\"><IMG SRC=\"gone.jpg\">"
      "<LINK HREF=\"gone.css\"><A HREF=\"" +
      std::string(261, 'g') + "\">long</A>\n</BODY></HTML>";
  Page(page);
  RunResult result = Run();
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, kNoChanges);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(PageText(), page);
  ExpectNoTempFile();
}

TEST_F(HrefmendTest, BrokenLinkIsRepairedFromTheDatabase) {
  Db(DbLine("Sea Beach", "C:\\site\\new\\beach.htm") + DbLine("Boat", "C:\\site\\new\\boat.htm"));
  drive_.Write("site/new/beach.htm", "<TITLE>Sea Beach</TITLE>");
  Page("<HTML><!-- <a href=\"x\"> -->\r\n<BODY>\r\n<P><a class=big href=\"../old/beach.htm#top\">"
       "Beach</a>\r\n<SCRIPT>if (a<b) x();</SCRIPT><A HREF=here.htm>h</A>\r\n</BODY></HTML>");
  RunResult result = Run();
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out,
            "The following links were fixed:\n"
            "   ..\\old\\beach.htm --> ..\\new\\beach.htm\n"
            "\n"
            "The following titles were fixed:\n"
            "    --> Sea Beach\n");
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(PageText(),
            "<HTML><!-- <a href=\"x\"> -->\r\n<BODY>\r\n<P><a class=big href=\"../new/beach.htm#top\""
            " TITLE=\"Sea Beach\">Beach</a>\r\n<SCRIPT>if (a<b) x();</SCRIPT><A HREF=here.htm>h</A>"
            "\r\n</BODY></HTML>");
  ExpectNoTempFile();
}

TEST_F(HrefmendTest, TitlesAndPathsDecideAndTiesAreReported) {
  Db(DbLine("Beach", "C:\\site\\a\\beach.htm") + DbLine("Beach", "C:\\site\\b\\beach.htm") +
     DbLine("Boat", "C:\\site\\a\\boat.htm") + DbLine("Boat", "C:\\site\\b\\boat.htm") +
     DbLine("Trip", "C:\\site\\trip\\index.htm") + "a line without tab\n" +
     // An untitled record is no title match for an untitled link.
     DbLine("", "C:\\site\\z\\other.htm"));
  Page("<A HREF=\"../old/beach.htm\" TITLE=Beach>1</A>\n"
       "<AREA HREF=\"../x/b/boat.htm\" TITLE=\"Boat\">\n"
       "<A HREF=\"gone.htm\">3</A><A HREF=\"gone.htm?q=1\">4</A><A HREF=\"gone.htm\">5</A>\n"
       "<A HREF=\"trip.htm\" TITLE=\"trip\">6</A>\n");
  RunResult result = Run();
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.out,
            "The following links were fixed:\n"
            "   ..\\x\\b\\boat.htm --> ..\\b\\boat.htm\n"
            "   trip.htm --> ..\\trip\\index.htm\n"
            "\n"
            "The following titles were fixed:\n"
            "   trip --> Trip\n"
            "\n"
            "The following links could not be fixed because no match could be found for them\n"
            "in the index database:\n"
            "   gone.htm\n"
            "\n"
            "The following links could not be fixed because the index database contains more\n"
            "than one match for these links:\n"
            "   ..\\old\\beach.htm (multiple title matches)\n"
            "   ..\\old\\beach.htm (multiple path matches, level 1)\n");
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(PageText(),
            "<A HREF=\"../old/beach.htm\" TITLE=Beach>1</A>\n"
            "<AREA HREF=\"../b/boat.htm\" TITLE=\"Boat\">\n"
            "<A HREF=\"gone.htm\">3</A><A HREF=\"gone.htm?q=1\">4</A><A HREF=\"gone.htm\">5</A>\n"
            "<A HREF=\"../trip/index.htm\" TITLE=\"Trip\">6</A>\n");
}

TEST_F(HrefmendTest, EveryLinkToARepairedTargetCounts) {
  Db(DbLine("Beach", "C:\\site\\new\\beach.htm"));
  Page("<A HREF=\"beach.htm\">1</A><A HREF=\"beach.htm#a\">2</A><A HREF=\"beach.htm\">3</A>");
  RunResult result = Run();
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out,
            "The following links were fixed:\n"
            "   beach.htm --> ..\\new\\beach.htm\n"
            "\n"
            "The following titles were fixed:\n"
            "    --> Beach\n");
  EXPECT_EQ(PageText(),
            "<A HREF=\"../new/beach.htm\" TITLE=Beach>1</A>"
            "<A HREF=\"../new/beach.htm#a\" TITLE=Beach>2</A>"
            "<A HREF=\"../new/beach.htm\" TITLE=Beach>3</A>");
}

TEST_F(HrefmendTest, WorkingLinksKeepTheirTargetAndGetTheirTitle) {
  // The database knows here.htm by its current title (in other letter
  // case), and holds other pages whose titles are those of the working links
  // to sub/there.htm and index.htm, which have no records of their own.
  drive_.Write("site/pages/index.htm", "<TITLE>Pages</TITLE>");
  Db(DbLine("Here and now", "c:\\SITE\\pages\\HERE.htm") + DbLine("there", "C:\\site\\else\\x.htm") +
     DbLine("Pages", "C:\\site\\other\\index.htm") + DbLine("Lost", "C:\\site\\new\\lost.htm"));
  Page("<A HREF=\"here.htm\" TITLE=\"Old\">h</A><A HREF=\"sub/there.htm\" TITLE=\"There\">t</A>"
       "<A HREF=\"index.htm\" TITLE=\"Pages\">i</A><A HREF=\"lost.htm\" TITLE=\"Lost\">l</A>"
       "<A HREF=\"here.htm#a\" TITLE=\"Here and now\">h2</A><A HREF=\"here.htm#b\" TITLE=\"Older\">h3</A>");
  RunResult result = Run();
  EXPECT_EQ(result.exitCode, 0);
  // Only TITLE attributes that change are written and counted; the same
  // title in a link to a working target never redirects it.
  EXPECT_EQ(result.out,
            "The following links were fixed:\n"
            "   lost.htm --> ..\\new\\lost.htm\n"
            "\n"
            "The following titles were fixed:\n"
            "   Old --> Here and now\n");
  EXPECT_EQ(PageText(),
            "<A HREF=\"here.htm\" TITLE=\"Here and now\">h</A>"
            "<A HREF=\"sub/there.htm\" TITLE=\"There\">t</A>"
            "<A HREF=\"index.htm\" TITLE=\"Pages\">i</A>"
            "<A HREF=\"../new/lost.htm\" TITLE=\"Lost\">l</A>"
            "<A HREF=\"here.htm#a\" TITLE=\"Here and now\">h2</A>"
            "<A HREF=\"here.htm#b\" TITLE=\"Here and now\">h3</A>");
}

// The index database files a slide page under its image's path; a link that
// named a slide page is repaired to the slide page beside the image's new
// place, never to the bare image.
TEST_F(HrefmendTest, SlidePageLinksAreRepairedToTheSlidePage) {
  drive_.Write("site/new/shell.jpg", "jpeg");
  drive_.Write("site/new/shell.htm", "<TITLE>Shell</TITLE>");
  drive_.Write("site/new/CRAB.JPG", "jpeg");
  drive_.Write("site/new/CRAB.HTM", "<TITLE>Crab</TITLE>");
  drive_.Write("site/new/gone.jpg", "jpeg");  // its slide page was not made
  Db(DbLine("Shell", "C:\\site\\new\\shell.jpg") + DbLine("Crab", "C:\\site\\new\\CRAB.JPG") +
     DbLine("Gone", "C:\\site\\new\\gone.jpg"));
  Page("<A HREF=\"../old/shell.htm\" TITLE=\"Shell\">1</A>\n"
       "<A HREF=\"../old/crab.htm\">2</A>\n"
       "<A HREF=\"../old/gone.htm\" TITLE=\"Gone\">3</A>\n"
       "<A HREF=\"../old/shell.jpg\">4</A>\n"
       "<A HREF=\"../new/shell.htm\" TITLE=\"Old shell\">5</A>\n");
  RunResult result = Run();
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.out,
            "The following links were fixed:\n"
            "   ..\\old\\shell.htm --> ..\\new\\shell.htm\n"
            "   ..\\old\\crab.htm --> ..\\new\\CRAB.HTM\n"
            "   ..\\old\\shell.jpg --> ..\\new\\shell.jpg\n"
            "\n"
            "The following titles were fixed:\n"
            "    --> Crab\n"
            "    --> Shell\n"
            "   Old shell --> Shell\n"
            "\n"
            "The following links could not be fixed because no match could be found for them\n"
            "in the index database:\n"
            "   ..\\old\\gone.htm\n");
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(PageText(),
            "<A HREF=\"../new/shell.htm\" TITLE=\"Shell\">1</A>\n"
            "<A HREF=\"../new/CRAB.HTM\" TITLE=Crab>2</A>\n"
            "<A HREF=\"../old/gone.htm\" TITLE=\"Gone\">3</A>\n"
            "<A HREF=\"../new/shell.jpg\" TITLE=Shell>4</A>\n"
            "<A HREF=\"../new/shell.htm\" TITLE=\"Shell\">5</A>\n");
}

TEST_F(HrefmendTest, LongNamesTakeTwoReportLines) {
  const std::string dir(40, 'd');
  Db(DbLine("T", "C:\\site\\" + dir + "\\beach-with-a-long-name.htm"));
  Page("<A HREF=\"beach-with-a-long-name.htm\">x</A>");
  RunResult result = Run();
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out,
            "The following links were fixed:\n"
            "   beach-with-a-long-name.htm -->\n"
            "      ..\\" + dir + "\\beach-with-a-long-name.htm\n"
            "\n"
            "The following titles were fixed:\n"
            "    --> T\n");
}

TEST_F(HrefmendTest, DatabaseIsFoundAboveAndRecordsElsewhereAreNoMatch) {
  // The database two levels up; a record on another drive cannot be reached
  // by a relative link.
  drive_.Write("index.db", DbLine("Beach", "D:\\site\\beach.htm") + DbLine("Sea", "C:\\sea.htm"));
  Page("<A HREF=\"beach.htm\" TITLE=\"Beach\">b</A><A HREF=\"sea.htm\">s</A>");
  RunResult result = Run();
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.out,
            "The following links were fixed:\n"
            "   sea.htm --> ..\\..\\sea.htm\n"
            "\n"
            "The following titles were fixed:\n"
            "    --> Sea\n"
            "\n"
            "The following links could not be fixed because no match could be found for them\n"
            "in the index database:\n"
            "   beach.htm\n");
  EXPECT_EQ(PageText(), "<A HREF=\"beach.htm\" TITLE=\"Beach\">b</A>"
                        "<A HREF=\"../../sea.htm\" TITLE=Sea>s</A>");
}

TEST_F(HrefmendTest, MissingDatabaseIsAnError) {
  Page("<A HREF=\"gone.htm\">x</A>");
  RunResult result = Run();
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "Error:  Can't open index database.\n");
  EXPECT_EQ(PageText(), "<A HREF=\"gone.htm\">x</A>");
}

TEST_F(HrefmendTest, PageThatCannotBeReplacedStaysAsItWas) {
  Db(DbLine("Beach", "C:\\site\\new\\beach.htm"));
  const std::string page = "<A HREF=\"beach.htm\">x</A>";
  Page(page);
  // A directory in the way of the temporary file.
  drive_.MakeDir("site/pages/page.$$$");
  RunResult result = Run();
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "Error:  Can't create output file \"page.$$$\".\n");
  EXPECT_EQ(PageText(), page);

  RemoveDir(drive_.Win("site\\pages\\page.$$$").c_str());
  ASSERT_TRUE(SetAttributes(drive_.Win("site\\pages\\page.htm").c_str(), kAttrReadOnly));
  result = Run();
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "Error:  Can't delete file \"page.htm\".\n");
  EXPECT_EQ(PageText(), page);
  ExpectNoTempFile();
}

TEST_F(HrefmendTest, TagTooLongForTheRepairKeepsItsLink) {
  Db(DbLine("Beach", "C:\\site\\new\\beach.htm"));
  const std::string longTag = "<A HREF=\"beach.htm\" CLASS=\"" + std::string(1000, 'c') + "\">x</A>";
  Page(longTag + "<A HREF=\"beach.htm\">y</A>");
  RunResult result = Run();
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(PageText(), longTag + "<A HREF=\"../new/beach.htm\" TITLE=Beach>y</A>");
}

TEST_F(HrefmendTest, FullDiskIsAnError) {
  Db(DbLine("Beach", "C:\\site\\new\\beach.htm"));
  Page("<A HREF=\"beach.htm\">x</A>");
  RunResult result = RunProgramToFullDisk(kProgram, {"page.htm"}, Options());
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_EQ(result.err, "Error:  Can't write to standard output.\n");
  EXPECT_EQ(PageText(), "<A HREF=\"../new/beach.htm\" TITLE=Beach>x</A>");
}

}  // namespace
