// infoedw as a user runs it: scripted dialogs on pages in a folder mapped as
// drive C:, with the transcript and the pages compared exactly.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/testing/test_support.h"

namespace {

const char kPage[] =
    "<HTML>\n<HEAD>\n<TITLE>Old</TITLE>\n"
    "<META NAME=\"DESCRIPTION\" CONTENT=\"Sea view\">\n"
    "<META NAME=\"KEYWORDS\" CONTENT=\"sunset, sea\">\n"
    "</HEAD>\n<BODY>\n</BODY>\n</HTML>\n";

const char kShown[] =
    "  101: Old\n  103: \n  104: \n  102: Sea view\n  105: sunset, sea\n"
    "  1: OK\n  2: Cancel\n  9: Help\n";

class InfoedwTest : public ::testing::Test {
 protected:
  RunResult Run(const std::vector<std::string>& args, const std::string& script) {
    return RunDialogScript(drive, "infoedw", args, script);
  }
  std::string Log() { return drive.Read("log.txt"); }
  TempDrive drive;
};

TEST_F(InfoedwTest, OkStoresTheChangedFieldsOnly) {
  drive.Write("a.htm", kPage);
  RunResult result = Run({"C:\\a.htm"},
                         "show\nset 101 New   title\nset 102 \nset 103 7\nclick 1\n");
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(Log(), std::string("Dialog \"\"\nCaption: a.htm\n> show\n") + kShown +
                       "> set 101 New   title\n> set 102 \n> set 103 7\n> click 1\nEndDialog 1\n");
  EXPECT_EQ(drive.Read("a.htm"),
            "<HTML>\n<HEAD>\n<TITLE>New title</TITLE>\n"
            "<META NAME=\"KEYWORDS\" CONTENT=\"sunset, sea\">\n"
            "<META NAME=\"SORTORDER\" CONTENT=\"7\">\n"
            "</HEAD>\n<BODY>\n</BODY>\n</HTML>\n");
}

TEST_F(InfoedwTest, OkWithoutChangesAndCancelWriteNothing) {
  for (const char* script : {"click 1\n", "set 101 Other\nclick 2\n", "set 101 Other\n"}) {
    drive.Write("a.htm", kPage);
    drive.Write("log.txt", "");
    RunResult result = Run({"a.htm"}, script);
    EXPECT_EQ(result.exitCode, 0) << script;
    EXPECT_EQ(drive.Read("a.htm"), kPage) << script;
    EXPECT_NE(Log().find("EndDialog 0\n"), std::string::npos) << Log();
  }
}

TEST_F(InfoedwTest, AnImageEditsItsPageWhichCancelTakesAwayAgain) {
  drive.Write("photo.jpg", "jpeg");
  EXPECT_EQ(Run({"photo.jpg"}, "set 101 Beach\nclick 2\n").exitCode, 0);
  EXPECT_EQ(drive.Files(), (std::vector<std::string>{"log.txt", "photo.jpg", "script.txt"}));
  EXPECT_EQ(Log(), "Dialog \"\"\nCaption: photo.htm\n> set 101 Beach\n> click 2\nEndDialog 0\n");

  EXPECT_EQ(Run({"PHOTO.JPG"}, "set 101 Beach\nclick 1\n").exitCode, 0);
  EXPECT_EQ(drive.Read("PHOTO.HTM"),
            "<HEAD>\n<TITLE>Beach</TITLE>\n</HEAD>\n<BODY>\n</BODY>\n");
}

TEST_F(InfoedwTest, TypedTextKeepsThePagesCodePage) {
  // A windows-1252 head shows converted, and what is typed is stored in
  // windows-1252 beside the old letters; a UTF-8 head stays UTF-8.
  drive.Write("latin.htm", "<HEAD>\n<TITLE>Gr\xFC\xDF" "e</TITLE>\n</HEAD>\n<BODY>\n</BODY>\n");
  EXPECT_EQ(Run({"latin.htm"}, "show\nset 101 Gr\xC3\xBC\xC3\x9F" "e f\xC3\xBCr\nclick 1\n").exitCode, 0);
  EXPECT_NE(Log().find("  101: Gr\xC3\xBC\xC3\x9F" "e\n"), std::string::npos) << Log();
  EXPECT_EQ(drive.Read("latin.htm"), "<HEAD>\n<TITLE>Gr\xFC\xDF" "e f\xFCr</TITLE>\n</HEAD>\n<BODY>\n</BODY>\n");

  drive.Write("utf8.htm", "<HEAD>\n<TITLE>Gr\xC3\xBC\xC3\x9F" "e</TITLE>\n</HEAD>\n<BODY>\n</BODY>\n");
  EXPECT_EQ(Run({"utf8.htm"}, "set 101 Gr\xC3\xBC\xC3\x9F" "e f\xC3\xBCr\nclick 1\n").exitCode, 0);
  EXPECT_EQ(drive.Read("utf8.htm"),
            "<HEAD>\n<TITLE>Gr\xC3\xBC\xC3\x9F" "e f\xC3\xBCr</TITLE>\n</HEAD>\n<BODY>\n</BODY>\n");
}

TEST_F(InfoedwTest, ALetterWithoutAWindows1252FormIsRefused) {
  drive.Write("latin.htm", "<HEAD>\n<TITLE>Gr\xFC\xDF" "e</TITLE>\n</HEAD>\n<BODY>\n</BODY>\n");
  EXPECT_EQ(Run({"latin.htm"}, "set 101 Erd\xC5\x91s\nclick 1\n").exitCode, 0);
  EXPECT_EQ(Log(), "Dialog \"\"\nCaption: latin.htm\n> set 101 Erd\xC5\x91s\n"
                   "MessageBox \"latin.htm\" icon=warning buttons=OK\n"
                   "The letter \"\xC5\x91\" cannot be typed here: this text is kept in the "
                   "windows-1252 code page, which has no such letter.\nAnswer: OK\n"
                   "> click 1\nEndDialog 1\n");
  EXPECT_EQ(drive.Read("latin.htm"), "<HEAD>\n<TITLE>Erds</TITLE>\n</HEAD>\n<BODY>\n</BODY>\n");
}

TEST_F(InfoedwTest, TypingStopsAtTheLastWholeLetterThatFits) {
  std::string typed, kept;
  for (int i = 0; i < 150; ++i) typed += "\xC3\xA9";  // é
  for (int i = 0; i < 127; ++i) kept += "\xC3\xA9";
  struct Case {
    const char* page;
    std::string title;  // as stored
    bool full;          // typing stopped
  } const cases[] = {
      {"<HEAD>\n<TITLE>x</TITLE>\n</HEAD>\n<BODY>\n</BODY>\n", kept, true},  // 254 bytes of UTF-8
      {"<HEAD>\n<TITLE>\xE9</TITLE>\n</HEAD>\n<BODY>\n</BODY>\n", std::string(150, '\xE9'), false},
  };
  for (const Case& c : cases) {
    drive.Write("a.htm", c.page);
    drive.Write("log.txt", "");
    EXPECT_EQ(Run({"a.htm"}, "set 101 " + typed + "\nclick 1\n").exitCode, 0);
    EXPECT_EQ(drive.Read("a.htm"), "<HEAD>\n<TITLE>" + c.title + "</TITLE>\n</HEAD>\n<BODY>\n</BODY>\n");
    EXPECT_EQ(Log().find("(field 101 is full)\n") != std::string::npos, c.full) << Log();
  }
}

TEST_F(InfoedwTest, ExistingPagesAreNeverTakenAway) {
  drive.Write("a.htm", kPage);
  EXPECT_EQ(Run({"a.htm"}, "click 2\n").exitCode, 0);
  EXPECT_EQ(drive.Read("a.htm"), kPage);
}

TEST_F(InfoedwTest, WithoutAnArgumentNothingRuns) {
  RunResult result = Run({}, "click 1\n");
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(Log(), "");
}

TEST_F(InfoedwTest, AnUnreadablePageEndsWithTheReadErrorBox) {
  drive.MakeDir("dir.htm");
  RunResult result = Run({"dir.htm"}, "click 1\n");
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(Log().rfind("MessageBox \"File Read Error\" icon=error buttons=OK\n", 0), 0u) << Log();
  EXPECT_EQ(Log().find("Dialog"), std::string::npos);
}

TEST_F(InfoedwTest, WithoutDisplayOrScriptNothingIsShownOrLeftBehind) {
  drive.Write("photo.jpg", "jpeg");
  RunOptions options;
  options.unset = {"WEFTDIALOGSCRIPT", "DISPLAY"};
  RunResult result = RunProgram(std::string(WEFT_BIN_DIR) + "/infoedw", {"photo.jpg"}, options);
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err, "INFOEDW: no display to show the dialog on\n");
  EXPECT_EQ(drive.Files(), (std::vector<std::string>{"photo.jpg"}));
}

}  // namespace
