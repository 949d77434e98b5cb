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
