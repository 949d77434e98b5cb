// tagpick as a user runs it: a keyword list and pages in a folder mapped as
// drive C:, the dialog driven by a script, the transcript and the pages
// compared exactly.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/testing/test_support.h"

namespace {

// Headings (unindented) over keywords, descriptions, operation lines.
const char kList[] =
    "# The gallery's keywords\n"
    "Places\tWhere it was\n"
    " Beach\tSand\\nand sea\n"
    "\tWaves too\n"
    " Sea\n"
    " Mountain\n"
    "People\n"
    " Ann\n"
    "?beach,+sea\n"
    "?mountain,!ann,+hiking\n";

const char kPage[] =
    "<HEAD>\n<TITLE>A</TITLE>\n"
    "<META NAME=\"KEYWORDS\" CONTENT=\"sun, BEACH\">\n"
    "</HEAD>\n<BODY>\n</BODY>\n";

const char kStart[] = "Dialog \"Keyword List Creator 1.34\"\n";

class TagpickTest : public ::testing::Test {
 protected:
  RunResult Run(const std::vector<std::string>& args, const std::string& script) {
    return RunDialogScript(drive, "tagpick", args, script);
  }
  std::string Log() { return drive.Read("log.txt"); }
  // The transcript from the first step on (after the start-up layout).
  std::string Steps() {
    std::string log = Log();
    size_t first = log.find("\n> ");
    return first == std::string::npos ? "" : log.substr(first + 1);
  }
  TempDrive drive;
};

TEST_F(TagpickTest, StartLaysOutTheListAndShowsThePromptAfterTheTimer) {
  drive.Write("tagpick.txt", "Beach\nSunset\n");
  RunResult result = Run({}, "show\ntimer\nclick 2\n");
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out + result.err, "");
  // Fixed metrics: 6 pixels a character, 5 on average, 13 a line. The
  // window is as wide as its longest caption, the drop prompt, needs (45
  // characters and 60 pixels of title bar), wider than the short list.
  EXPECT_EQ(Log(), std::string(kStart) +
                       "Minimum 330x134\n"
                       "Column width 101: 63\n"
                       "Window 330x134\n"
                       "Move 101: 12,13 220x81\n"
                       "Move 2: 241,10 75x23\n"
                       "Move 102: 241,42 75x23\n"
                       "Move 1: 241,75 75x23\n"
                       "> show\n"
                       "  101:\n    [ ]  Beach \n    [ ]  Sunset \n"
                       "  2: Close\n  102: C&lear\n  1: &Copy\n"
                       "> timer\nCaption: Drop HTML Files Here to Add Selected Keywords\n"
                       "> click 2\nEndDialog 0\n");
}

TEST_F(TagpickTest, ALongListKeepsTheDialogSizeAndScrolls) {
  std::string list;
  for (int i = 0; i < 60; ++i) list += "keyword" + std::to_string(i) + "\n";
  drive.Write("many.txt", list);
  Run({"many.txt"}, "");
  EXPECT_EQ(Log(), std::string(kStart) +
                       "Minimum 330x134\nColumn width 101: 81\nEndDialog 0\n");
}

TEST_F(TagpickTest, AWideListWidensTheWindowBeyondTheCaptions) {
  drive.Write("tagpick.txt", std::string(60, 'k') + "\nSea\n");
  Run({}, "");
  // The entry " kkk...k " is 62 characters: 372 pixels, 6 of frames, 102
  // of buttons and 8 of window frame.
  EXPECT_EQ(Log(), std::string(kStart) +
                       "Minimum 330x134\nColumn width 101: 387\nWindow 488x134\n"
                       "Move 101: 12,13 378x81\n"
                       "Move 2: 399,10 75x23\nMove 102: 399,42 75x23\nMove 1: 399,75 75x23\n"
                       "EndDialog 0\n");
}

TEST_F(TagpickTest, ResizingMovesTheListAndButtons) {
  drive.Write("tagpick.txt", "Beach\nSunset\n");
  Run({}, "resize 400 300\nresize 50 50\n");
  EXPECT_EQ(Steps(), "> resize 400 300\n"
                     "Move 101: 12,13 298x274\n"
                     "Move 2: 319,10 75x23\nMove 102: 319,42 75x23\nMove 1: 319,75 75x23\n"
                     "> resize 50 50\n"  // no smaller than the captions allow
                     "Move 101: 12,13 220x81\n"
                     "Move 2: 241,10 75x23\nMove 102: 241,42 75x23\nMove 1: 241,75 75x23\n"
                     "EndDialog 0\n");
}

TEST_F(TagpickTest, HeadingsCannotStaySelectedOperationLinesSelectMore) {
  drive.Write("tagpick.txt", kList);
  Run({}, "select 101 0\nselect 101 1\nshow\nunselect 101 2\nclick 1\nclick 102\nshow\n");
  EXPECT_EQ(Steps(),
            "> select 101 0\n> select 101 1\n> show\n"
            "  101:\n    [ ]  Places \n    [x]   Beach \n    [x]   Sea \n    [ ]   Mountain \n"
            "    [ ]  People \n    [ ]   Ann \n"
            "  2: Close\n  102: C&lear\n  1: &Copy\n"
            "> unselect 101 2\n> click 1\n> click 102\n> show\n"
            "  101:\n    [ ]  Places \n    [ ]   Beach \n    [ ]   Sea \n    [ ]   Mountain \n"
            "    [ ]  People \n    [ ]   Ann \n"
            "  2: Close\n  102: C&lear\n  1: &Copy\n"
            "EndDialog 0\n");
}

TEST_F(TagpickTest, WithoutIndentedKeywordsEveryEntryIsSelectable) {
  drive.Write("tagpick.txt", "Places\nBeach\n");
  Run({}, "select 101 0\nshow\n");
  EXPECT_NE(Log().find("    [x]  Places \n"), std::string::npos) << Log();
}

TEST_F(TagpickTest, DroppedPagesGetTheSelectedKeywords) {
  drive.Write("tagpick.txt", kList);
  drive.Write("a.htm", kPage);
  drive.Write("b.htm", "<HEAD>\n<TITLE>B</TITLE>\n</HEAD>\n<BODY>\n</BODY>\n");
  drive.Write("pics/Dune.JPG", "jpeg");
  Run({}, "select 101 1\ndrop C:\\a.htm|C:\\b.htm|C:\\pics\\Dune.JPG\ntimer\n");
  EXPECT_EQ(Steps(), "> select 101 1\n"
                     "> drop C:\\a.htm|C:\\b.htm|C:\\pics\\Dune.JPG\n"
                     "Caption: a.htm\nCaption: b.htm\nCaption: Dune.JPG\n"
                     "Caption: 3 files were modified\n"
                     "> timer\nCaption: Drop HTML Files Here to Add Selected Keywords\n"
                     "EndDialog 0\n");
  EXPECT_EQ(drive.Read("a.htm"),
            "<HEAD>\n<TITLE>A</TITLE>\n"
            "<META NAME=\"KEYWORDS\" CONTENT=\"sun, BEACH, Sea\">\n"
            "</HEAD>\n<BODY>\n</BODY>\n");
  EXPECT_EQ(drive.Read("b.htm"),
            "<HEAD>\n<TITLE>B</TITLE>\n<META NAME=\"KEYWORDS\" CONTENT=\"Beach, Sea\">\n"
            "</HEAD>\n<BODY>\n</BODY>\n");
  EXPECT_EQ(drive.Read("pics/Dune.htm"),
            "<HEAD>\n<META NAME=\"KEYWORDS\" CONTENT=\"Beach, Sea\">\n</HEAD>\n<BODY>\n</BODY>\n");
}

TEST_F(TagpickTest, ListsAndPagesKeepTheirCodePages) {
  // A windows-1252 list shows its letters; its keywords go to each page in
  // the page's own code page, and a page's keywords select the entries
  // whatever its code page.
  drive.Write("tagpick.txt", "M\xFC" "ll\tAbf\xE4" "lle\nSee\n");
  drive.Write("latin.htm", "<HEAD>\n<TITLE>L\xE4nd</TITLE>\n</HEAD>\n<BODY>\n</BODY>\n");
  drive.Write("utf8.htm", "<HEAD>\n<TITLE>B</TITLE>\n</HEAD>\n<BODY>\n</BODY>\n");
  Run({}, "show\nrightclick 101 0\nselect 101 0\ndrop C:\\latin.htm|C:\\utf8.htm\n"
          "click 102\ndrop C:\\latin.htm\nshow\n");
  EXPECT_EQ(Steps(),
            "> show\n  101:\n    [ ]  M\xC3\xBC" "ll \n    [ ]  See \n  2: Close\n  102: C&lear\n  1: &Copy\n"
            "> rightclick 101 0\nTip 101 0: Abf\xC3\xA4" "lle\n"
            "> select 101 0\nTip hidden\n"
            "> drop C:\\latin.htm|C:\\utf8.htm\nCaption: latin.htm\nCaption: utf8.htm\n"
            "Caption: 2 files were modified\n"
            "> click 102\n> drop C:\\latin.htm\nCaption: latin.htm\nCaption: Keywords loaded\n> show\n"
            "  101:\n    [x]  M\xC3\xBC" "ll \n    [ ]  See \n  2: Close\n  102: C&lear\n  1: &Copy\n"
            "EndDialog 0\n");
  EXPECT_EQ(drive.Read("latin.htm"),
            "<HEAD>\n<TITLE>L\xE4nd</TITLE>\n<META NAME=\"KEYWORDS\" CONTENT=\"M\xFC" "ll\">\n"
            "</HEAD>\n<BODY>\n</BODY>\n");
  EXPECT_EQ(drive.Read("utf8.htm"),
            "<HEAD>\n<TITLE>B</TITLE>\n<META NAME=\"KEYWORDS\" CONTENT=\"M\xC3\xBC" "ll\">\n"
            "</HEAD>\n<BODY>\n</BODY>\n");
}

TEST_F(TagpickTest, AWindows1252PageGetsNoKeywordItCannotHold) {
  const char kLatin[] = "<HEAD>\n<TITLE>L\xE4nd</TITLE>\n</HEAD>\n<BODY>\n</BODY>\n";
  drive.Write("tagpick.txt", "Erd\xC5\x91s\n");
  drive.Write("latin.htm", kLatin);
  Run({}, "select 101 0\ndrop C:\\latin.htm\n");
  EXPECT_EQ(Steps(), "> select 101 0\n> drop C:\\latin.htm\nCaption: latin.htm\n"
                     "MessageBox \"File Write Error\" icon=error buttons=OK\n"
                     "The letter \"\xC5\x91\" cannot be stored in file \"C:\\latin.htm\": its head is in "
                     "the windows-1252 code page, which has no such letter\nAnswer: OK\n"
                     "Caption: No files were modified\nEndDialog 0\n");
  EXPECT_EQ(drive.Read("latin.htm"), kLatin);
}

TEST_F(TagpickTest, APageThatHasTheKeywordsAlreadyIsLeftAlone) {
  drive.Write("tagpick.txt", "Beach\nSun\n");
  drive.Write("a.htm", kPage);
  Run({}, "select 101 0\nselect 101 1\ndrop C:\\a.htm\n");
  EXPECT_NE(Log().find("Caption: a.htm\nCaption: No files were modified\n"), std::string::npos)
      << Log();
  EXPECT_EQ(drive.Read("a.htm"), kPage);
}

TEST_F(TagpickTest, OnePageDroppedWithNothingSelectedShowsItsKeywords) {
  drive.Write("tagpick.txt", kList);
  drive.Write("a.htm", kPage);
  drive.Write("b.htm", kPage);
  Run({}, "drop C:\\a.htm\nshow\nclick 102\ndrop C:\\a.htm|C:\\b.htm\nshow\n");
  EXPECT_EQ(Steps(),
            "> drop C:\\a.htm\nCaption: a.htm\nCaption: Keywords loaded\n> show\n"
            "  101:\n    [ ]  Places \n    [x]   Beach \n    [ ]   Sea \n    [ ]   Mountain \n"
            "    [ ]  People \n    [ ]   Ann \n"
            "  2: Close\n  102: C&lear\n  1: &Copy\n"
            "> click 102\n"
            "> drop C:\\a.htm|C:\\b.htm\nCaption: a.htm\nCaption: b.htm\n"
            "Caption: No files were modified\n> show\n"
            "  101:\n    [ ]  Places \n    [ ]   Beach \n    [ ]   Sea \n    [ ]   Mountain \n"
            "    [ ]  People \n    [ ]   Ann \n"
            "  2: Close\n  102: C&lear\n  1: &Copy\n"
            "EndDialog 0\n");
  EXPECT_EQ(drive.Read("a.htm"), kPage);
  EXPECT_EQ(drive.Read("b.htm"), kPage);
}

TEST_F(TagpickTest, ACopiedUrlAsksBeforeAddingTheKeywords) {
  drive.Write("tagpick.txt", kList);
  drive.Write("site/pics/a.htm", kPage);
  drive.Write("site/pics/b.htm", kPage);
  Run({"/Wc:\\site"},
      "clipboard http://127.0.0.1/pics/a.htm\nshow\nclick 102\nselect 101 3\n"
      "answer No\nclipboard file:///C:/site/pics/a.htm\n"
      "answer Yes\nclipboard http://127.0.0.1/pics/b.htm\nclipboard file:///C:/nowhere.htm\n");
  EXPECT_EQ(Steps(),
            "> clipboard http://127.0.0.1/pics/a.htm\nCaption: Keywords loaded\n> show\n"
            "  101:\n    [ ]  Places \n    [x]   Beach \n    [ ]   Sea \n    [ ]   Mountain \n"
            "    [ ]  People \n    [ ]   Ann \n"
            "  2: Close\n  102: C&lear\n  1: &Copy\n"
            "> click 102\n> select 101 3\n> answer No\n"
            "> clipboard file:///C:/site/pics/a.htm\n"
            "MessageBox \"TAGPICK\" icon=question buttons=Yes No topmost foreground\n"
            "Add selected keywords to file\n\"C:\\site\\pics\\a.htm\"?\nAnswer: No\n"
            "Foreground 0x100\nCaption: No files were modified\n"
            "> answer Yes\n> clipboard http://127.0.0.1/pics/b.htm\n"
            "MessageBox \"TAGPICK\" icon=question buttons=Yes No topmost foreground\n"
            "Add selected keywords to file\n\"c:\\site\\pics\\b.htm\"?\nAnswer: Yes\n"
            "Foreground 0x100\nCaption: 1 file was modified\n"
            "> clipboard file:///C:/nowhere.htm\n"
            "EndDialog 0\n");
  EXPECT_EQ(drive.Read("site/pics/a.htm"), kPage);
  EXPECT_EQ(drive.Read("site/pics/b.htm"),
            "<HEAD>\n<TITLE>A</TITLE>\n"
            "<META NAME=\"KEYWORDS\" CONTENT=\"sun, BEACH, Mountain, hiking\">\n"
            "</HEAD>\n<BODY>\n</BODY>\n");
}

TEST_F(TagpickTest, WithoutTheClipboardOptionCopiesAreIgnored) {
  drive.Write("tagpick.txt", kList);
  drive.Write("a.htm", kPage);
  Run({}, "clipboard file:///C:/a.htm\n");
  EXPECT_EQ(Steps(), "> clipboard file:///C:/a.htm\nEndDialog 0\n");
}

TEST_F(TagpickTest, ARightClickShowsTheDescriptionAsATip) {
  drive.Write("list.txt", kList);
  drive.Write("more.txt", " Mountain\tHigh\\tsteep\n Beach\tNot this one\n");
  Run({"list.txt", "more.txt"},
      "rightclick 101 1\nrightclick 101 1\nrightclick 101 5\nrightclick 101 3\nselect 101 5\n"
      "rightclick 101 0\n");
  EXPECT_EQ(Steps(), "> rightclick 101 1\nTip 101 1: Sand\\nand sea\\nWaves too\n"
                     "> rightclick 101 1\nTip hidden\n"
                     "> rightclick 101 5\n"
                     "> rightclick 101 3\nTip 101 3: High\\tsteep\n"
                     "> select 101 5\nTip hidden\n"
                     "> rightclick 101 0\nTip 101 0: Where it was\n"
                     "EndDialog 0\n");
}

TEST_F(TagpickTest, NoKeywordsNoDialog) {
  struct Case {
    std::vector<std::string> args;
    const char* list;  // written as list.txt; null: none
    std::string log;
  } cases[] = {
      {{"missing.txt"}, nullptr,
       "MessageBox \"Error\" icon=warning buttons=OK\nCan't open keyword list file.\nAnswer: OK\n"},
      {{}, nullptr,
       "MessageBox \"Error\" icon=warning buttons=OK\nCan't open keyword list file.\nAnswer: OK\n"},
      {{"list.txt"}, "# nothing\n?a,+b\n\tdescription\n", ""},
      {{"/W", "list.txt"}, "\n", ""},
  };
  for (const Case& c : cases) {
    if (c.list) drive.Write("list.txt", c.list);
    RunResult result = Run(c.args, "click 2\n");
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out + result.err, "");
    EXPECT_EQ(Log(), c.log);
  }
}

TEST(TagpickNoDisplay, WithoutDisplayOrScriptTheDialogCannotBeShown) {
  TempDrive drive;
  drive.Write("tagpick.txt", "Beach\n");
  RunOptions options;
  options.unset = {"WEFTDIALOGSCRIPT", "DISPLAY"};
  RunResult result = RunProgram(std::string(WEFT_BIN_DIR) + "/tagpick", {}, options);
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err, "Keyword List Creator 1.34: no display to show the dialog on\n");
}

}  // namespace
