// postpage as a user runs it: slide files in a folder mapped as drive C:.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/attributes.h"
#include "platform/testing/test_support.h"

namespace {

const char kHelp[] =
    "POSTPAGE, Format Newsgroup Header, Version 1.04\n\n"
    "Formats the header of a newsgroup message which is contained as preformatted\n"
    "text in an HTML slide file.  If the slide file does not contain a preformatted\n"
    "newsgroup message, the slide file will not be modified.\n\n"
    "Usage:  postpage <slide file> [<slide file> [<slide file> [...]]]\n\n"
    "  <slide file>    The name of an HTML slide file that was created by the\n"
    "                  \"viewreel\" utility (may have wildcards).\n\n"
    "Exit Codes:\n"
    "  0   Success.  All files were processed -- no errors occurred.\n"
    "  1   An error occurred in one or more files.  All files were processed.\n"
    "  2   An unrecoverable error occurred which caused the program to abort.\n"
    "      Some files were not processed.\n";

const char kNews[] =
    "<HTML><BODY>\n<IMG SRC=\"a.jpg\">\n<PRE>\nFrom: Ann &lt;ann@host&gt;\nSubject: Apples\n"
    "\nRipe now.\n</PRE>\n</BODY></HTML>\n";
const char kFormatted[] =
    "<HTML><BODY>\n<IMG SRC=\"a.jpg\">\n<!-- BEGIN TEXT -->\n<P>\n"
    "<TABLE BORDER=0 CELLSPACING=0 CELLPADDING=0>\n"
    "<TR VALIGN=TOP><TD ALIGN=RIGHT><STRONG>Subject:&nbsp;&nbsp;</STRONG></TD>"
    "<TD><STRONG>Apples</STRONG></TD></TR>\n"
    "<TR><TD>&nbsp;</TD></TR>\n"
    "<TR VALIGN=TOP><TD ALIGN=RIGHT><STRONG>From:&nbsp;&nbsp;</STRONG></TD>"
    "<TD>Ann &lt;ann@host&gt;</TD></TR>\n"
    "</TABLE>\n<PRE>\n\nRipe now.\n</PRE>\n<!-- END TEXT -->\n</BODY></HTML>\n";
const char kMarked[] =
    "<HTML><BODY>\n<!-- BEGIN TEXT -->\n<PRE>\nFrom: a\n</PRE>\n<!-- END TEXT -->\n</BODY></HTML>\n";
const char kProse[] = "<HTML><BODY>\n<PRE>\nDear all, the apples are ripe.\n</PRE>\n</BODY></HTML>\n";

std::string WithCrLf(std::string text) {
  for (size_t at = 0; (at = text.find('\n', at)) != std::string::npos; at += 2) text.insert(at, "\r");
  return text;
}

class PostpageTest : public ::testing::Test {
 protected:
  RunResult Run(const std::vector<std::string>& args) {
    return RunProgram(std::string(WEFT_BIN_DIR) + "/postpage", args);
  }
  TempDrive drive;
};

TEST_F(PostpageTest, HelpWithoutFilesOrWithAnOptionFirst) {
  drive.Write("a.htm", kNews);
  for (std::vector<std::string> args : {std::vector<std::string>{}, {"/?"}, {"-x", "a.htm"}, {"/"}}) {
    RunResult r = Run(args);
    EXPECT_EQ(0, r.exitCode);
    EXPECT_EQ(kHelp, r.out);
    EXPECT_EQ("", r.err);
  }
  EXPECT_EQ(kNews, drive.Read("a.htm"));
}

TEST_F(PostpageTest, FormatsNewsSlidesAndLeavesTheOthers) {
  drive.Write("a.htm", kNews);
  drive.Write("b.htm", kMarked);
  drive.Write("c.htm", kProse);
  drive.Write("d.htm", WithCrLf(kNews));
  RunResult r = Run({"a.htm", "b.htm", "c.htm", "d.htm"});
  EXPECT_EQ(0, r.exitCode);
  EXPECT_EQ("a.htm\nd.htm\n", r.out);
  EXPECT_EQ("", r.err);
  EXPECT_EQ(kFormatted, drive.Read("a.htm"));
  EXPECT_EQ(kMarked, drive.Read("b.htm"));
  EXPECT_EQ(kProse, drive.Read("c.htm"));
  EXPECT_EQ(kFormatted, drive.Read("d.htm"));  // read as text: line feeds alone
  EXPECT_EQ((std::vector<std::string>{"a.htm", "b.htm", "c.htm", "d.htm"}), drive.Files());

  // Formatted once, a slide is left alone by later runs.
  r = Run({"a.htm"});
  EXPECT_EQ(0, r.exitCode);
  EXPECT_EQ("", r.out);
  EXPECT_EQ(kFormatted, drive.Read("a.htm"));
}

TEST_F(PostpageTest, WildcardsStandForTheMatchingFiles) {
  drive.Write("B.HTM", kNews);
  drive.Write("a.htm", kNews);
  drive.Write("c.htm", kProse);
  drive.Write("sub/x.htm", kNews);
  RunResult r = Run({"*.htm", "sub\\*.htm", "*.xyz"});
  EXPECT_EQ(1, r.exitCode);
  EXPECT_EQ("a.htm\nB.HTM\nsub\\x.htm\nCan't open file \"*.xyz\".\n", r.out);
  EXPECT_EQ("", r.err);
  EXPECT_EQ(kFormatted, drive.Read("a.htm"));
  EXPECT_EQ(kFormatted, drive.Read("B.HTM"));
  EXPECT_EQ(kFormatted, drive.Read("sub/x.htm"));
  EXPECT_EQ(kProse, drive.Read("c.htm"));
}

TEST_F(PostpageTest, AFileThatCannotBeOpenedCostsOnlyItself) {
  drive.Write("b.htm", kNews);
  drive.MakeDir("dir.htm");
  RunResult r = Run({"missing.htm", "dir.htm", "b.htm"});
  EXPECT_EQ(1, r.exitCode);
  EXPECT_EQ("Can't open file \"missing.htm\".\nCan't open file \"dir.htm\".\nb.htm\n", r.out);
  EXPECT_EQ("", r.err);
  EXPECT_EQ(kFormatted, drive.Read("b.htm"));
}

TEST_F(PostpageTest, TheNewTextIsWrittenBesideTheSlide) {
  // A file of that name in the current folder is not the slide's business.
  drive.Write("TEMP.$$$", "keep");
  drive.Write("pics/a.htm", kNews);
  drive.Write("other/b.htm", kNews);
  drive.Chdir("other");
  RunResult r = Run({"C:\\pics\\a.htm", "..\\other\\b.htm"});
  drive.Chdir("");
  EXPECT_EQ(0, r.exitCode);
  EXPECT_EQ("C:\\pics\\a.htm\n..\\other\\b.htm\n", r.out);
  EXPECT_EQ(kFormatted, drive.Read("pics/a.htm"));
  EXPECT_EQ(kFormatted, drive.Read("other/b.htm"));
  EXPECT_EQ((std::vector<std::string>{"TEMP.$$$", "other/b.htm", "pics/a.htm"}), drive.Files());
  EXPECT_EQ("keep", drive.Read("TEMP.$$$"));
}

TEST_F(PostpageTest, AReadOnlySlideStopsTheRunWithItsOutputKept) {
  drive.Write("a.htm", kNews);
  drive.Write("b.htm", kNews);
  ASSERT_TRUE(SetAttributes(drive.Win("a.htm").c_str(), kAttrReadOnly));
  RunResult r = Run({"a.htm", "b.htm"});
  EXPECT_EQ(2, r.exitCode);
  EXPECT_EQ("", r.out);
  EXPECT_EQ("Unable to replace file \"a.htm\".\nOutput is in temporary file \"TEMP.$$$\".\n", r.err);
  EXPECT_EQ(kNews, drive.Read("a.htm"));
  EXPECT_EQ(kFormatted, drive.Read("TEMP.$$$"));
  EXPECT_EQ(kNews, drive.Read("b.htm"));
}

TEST_F(PostpageTest, NoTemporaryFileStopsTheRun) {
  drive.Write("a.htm", kNews);
  drive.Write("sub/b.htm", kNews);
  drive.MakeDir("sub/TEMP.$$$");
  RunResult r = Run({"sub\\b.htm", "a.htm"});
  EXPECT_EQ(2, r.exitCode);
  EXPECT_EQ("", r.out);
  EXPECT_EQ("Can't create temporary file \"sub\\TEMP.$$$\".\n", r.err);
  EXPECT_EQ(kNews, drive.Read("sub/b.htm"));
  EXPECT_EQ(kNews, drive.Read("a.htm"));
}

TEST_F(PostpageTest, ASlideNamedLikeTheTemporaryFileIsNotOverwritten) {
  drive.Write("temp.$$$", kNews);
  RunResult r = Run({"TEMP.$$$"});
  EXPECT_EQ(2, r.exitCode);
  EXPECT_EQ("Can't create temporary file \"TEMP.$$$\".\n", r.err);
  EXPECT_EQ(kNews, drive.Read("temp.$$$"));
}

}  // namespace
