// infobulk as a user runs it: scripted drops and clipboard copies on pages in
// a folder mapped as drive C:, with the transcript and the pages compared.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/testing/test_support.h"

namespace {

const char kPage[] =
    "<HEAD>\n<TITLE>Old</TITLE>\n"
    "<META NAME=\"KEYWORDS\" CONTENT=\"sea\">\n"
    "<META NAME=\"SORTORDER\" CONTENT=\"12\">\n"
    "</HEAD>\n<BODY>\n</BODY>\n";

const char kStart[] = "Dialog \"HTML Multi-File Info Editor 1.43\"\n";

class InfobulkTest : public ::testing::Test {
 protected:
  RunResult Run(const std::vector<std::string>& args, const std::string& script) {
    return RunDialogScript(drive, "infobulk", args, script);
  }
  std::string Log() { return drive.Read("log.txt"); }
  TempDrive drive;
};

TEST_F(InfobulkTest, OnePageOnEmptyFieldsFillsThem) {
  drive.Write("a.htm", kPage);
  EXPECT_EQ(Run({}, "timer\ndrop C:\\a.htm\nshow\ntimer\nclick 1\n").exitCode, 0);
  EXPECT_EQ(Log(), std::string(kStart) +
                       "> timer\nCaption: Drop HTML Files Here to Modify File Information\n"
                       "> drop C:\\a.htm\nCaption: a.htm\nCaption: File loaded\n"
                       "> show\n  101: Old\n  103: 12\n  102: \n  105: sea\n  1: Close\n"
                       "  106: &Clear\n"
                       "> timer\nCaption: Drop HTML Files Here to Modify File Information\n"
                       "> click 1\nEndDialog 0\n");
  EXPECT_EQ(drive.Read("a.htm"), kPage);

  Run({"/k"}, "drop C:\\a.htm\nshow\n");
  EXPECT_NE(Log().find("Caption: Keywords loaded\n> show\n  101: \n  103: \n  102: \n  105: sea\n"),
            std::string::npos) << Log();
}

TEST_F(InfobulkTest, TwoPagesOnEmptyFieldsChangeNothing) {
  drive.Write("a.htm", kPage);
  drive.Write("b.htm", kPage);
  Run({}, "drop C:\\a.htm|C:\\b.htm\n");
  EXPECT_EQ(Log(), std::string(kStart) +
                       "> drop C:\\a.htm|C:\\b.htm\nCaption: a.htm\nCaption: b.htm\n"
                       "Caption: No files were modified\nEndDialog 0\n");
}

TEST_F(InfobulkTest, FieldsApplyToEveryDroppedItem) {
  drive.Write("a.htm", kPage);
  drive.Write("Beach.JPG", "jpeg");
  drive.MakeDir("folder");
  Run({}, "set 101 %FILENAME%\nset 103 0\nset 105 +sun\ndrop C:\\a.htm|C:\\Beach.JPG|C:\\folder\n");
  EXPECT_NE(Log().find("Caption: 3 files were modified\n"), std::string::npos) << Log();
  EXPECT_EQ(drive.Read("a.htm"),
            "<HEAD>\n<TITLE>a.htm</TITLE>\n"
            "<META NAME=\"KEYWORDS\" CONTENT=\"sea, sun\">\n"
            "</HEAD>\n<BODY>\n</BODY>\n");
  EXPECT_EQ(drive.Read("Beach.htm"),
            "<HEAD>\n<TITLE>Beach.JPG</TITLE>\n<META NAME=\"KEYWORDS\" CONTENT=\"sun\">\n"
            "</HEAD>\n<BODY>\n</BODY>\n");
  EXPECT_EQ(drive.Read("folder/index.htm"),
            "<HEAD>\n<TITLE>folder</TITLE>\n<META NAME=\"KEYWORDS\" CONTENT=\"sun\">\n"
            "</HEAD>\n<BODY>\n</BODY>\n");
}

TEST_F(InfobulkTest, AnUnchangedKeywordListWritesNothing) {
  drive.Write("a.htm", kPage);
  drive.Write("b.htm", kPage);
  Run({}, "set 105 +SEA\ndrop C:\\a.htm|C:\\b.htm\nclick 106\nshow\n");
  EXPECT_NE(Log().find("Caption: No files were modified\n> click 106\n> show\n  101: \n  103: \n"
                       "  102: \n  105: \n"),
            std::string::npos) << Log();
  EXPECT_EQ(drive.Read("a.htm"), kPage);
}

TEST_F(InfobulkTest, AClipboardUrlAsksBeforeChangingThePage) {
  drive.Write("pics/a.htm", kPage);
  Run({"/W"}, "set 103 5\nanswer No\nclipboard file:///C:/pics/a.htm\nanswer Yes\n"
              "clipboard http://127.0.0.1/pics/a.htm\nclipboard not a url\n");
  EXPECT_EQ(Log(), std::string(kStart) +
                       "> set 103 5\n> answer No\n> clipboard file:///C:/pics/a.htm\n"
                       "Caption: a.htm\n"
                       "MessageBox \"INFOBULK\" icon=question buttons=Yes No topmost foreground\n"
                       "Modify file information for file\n\"C:\\pics\\a.htm\"?\nAnswer: No\n"
                       "Caption: No files were modified\n"
                       "> answer Yes\n> clipboard http://127.0.0.1/pics/a.htm\n"
                       "Caption: a.htm\n"
                       "MessageBox \"INFOBULK\" icon=question buttons=Yes No topmost foreground\n"
                       "Modify file information for file\n\"\\pics\\a.htm\"?\nAnswer: Yes\n"
                       "Caption: 1 file was modified\n"
                       "> clipboard not a url\nEndDialog 0\n");
  EXPECT_EQ(drive.Read("pics/a.htm"),
            "<HEAD>\n<TITLE>Old</TITLE>\n"
            "<META NAME=\"KEYWORDS\" CONTENT=\"sea\">\n"
            "<META NAME=\"SORTORDER\" CONTENT=\"5\">\n"
            "</HEAD>\n<BODY>\n</BODY>\n");
}

// A head in windows-1252 and the same head in UTF-8.
const char kLatinPage[] =
    "<HEAD>\n<TITLE>Gr\xFC\xDF" "e</TITLE>\n<META NAME=\"KEYWORDS\" CONTENT=\"M\xFC" "ll\">\n"
    "</HEAD>\n<BODY>\n</BODY>\n";
const char kUtf8Page[] =
    "<HEAD>\n<TITLE>Gr\xC3\xBC\xC3\x9F" "e</TITLE>\n<META NAME=\"KEYWORDS\" CONTENT=\"M\xC3\xBC" "ll\">\n"
    "</HEAD>\n<BODY>\n</BODY>\n";

TEST_F(InfobulkTest, EachPageKeepsItsCodePage) {
  // Fields filled from a windows-1252 page show its letters; given to a
  // UTF-8 page they arrive in UTF-8.
  drive.Write("latin.htm", kLatinPage);
  drive.Write("plain.htm", kPage);
  Run({}, "drop C:\\latin.htm\nshow\nset 103 \ndrop C:\\plain.htm\n");
  EXPECT_NE(Log().find("> show\n  101: Gr\xC3\xBC\xC3\x9F" "e\n  103: \n  102: \n  105: M\xC3\xBC" "ll\n"),
            std::string::npos) << Log();
  EXPECT_EQ(drive.Read("latin.htm"), kLatinPage);
  EXPECT_EQ(drive.Read("plain.htm"),
            "<HEAD>\n<TITLE>Gr\xC3\xBC\xC3\x9F" "e</TITLE>\n"
            "<META NAME=\"KEYWORDS\" CONTENT=\"sea, M\xC3\xBC" "ll\">\n"
            "<META NAME=\"SORTORDER\" CONTENT=\"12\">\n</HEAD>\n<BODY>\n</BODY>\n");

  // Typed letters join each page's own: one byte in windows-1252, two in
  // UTF-8.
  drive.Write("utf8.htm", kUtf8Page);
  drive.Write("log.txt", "");
  Run({}, "set 101 + f\xC3\xBCr\nset 105 +Stra\xC3\x9F" "e\ndrop C:\\latin.htm|C:\\utf8.htm\n");
  EXPECT_NE(Log().find("Caption: 2 files were modified\n"), std::string::npos) << Log();
  EXPECT_EQ(drive.Read("latin.htm"),
            "<HEAD>\n<TITLE>Gr\xFC\xDF" "e f\xFCr</TITLE>\n"
            "<META NAME=\"KEYWORDS\" CONTENT=\"M\xFC" "ll, Stra\xDF" "e\">\n</HEAD>\n<BODY>\n</BODY>\n");
  EXPECT_EQ(drive.Read("utf8.htm"),
            "<HEAD>\n<TITLE>Gr\xC3\xBC\xC3\x9F" "e f\xC3\xBCr</TITLE>\n"
            "<META NAME=\"KEYWORDS\" CONTENT=\"M\xC3\xBC" "ll, Stra\xC3\x9F" "e\">\n"
            "</HEAD>\n<BODY>\n</BODY>\n");
}

TEST_F(InfobulkTest, AWindows1252PageGetsNoLetterItCannotHold) {
  drive.Write("latin.htm", kLatinPage);
  drive.Write("utf8.htm", kUtf8Page);
  Run({}, "set 101 + Erd\xC5\x91s\ndrop C:\\latin.htm|C:\\utf8.htm\n");
  EXPECT_EQ(Log(), std::string(kStart) +
                       "> set 101 + Erd\xC5\x91s\n> drop C:\\latin.htm|C:\\utf8.htm\n"
                       "Caption: latin.htm\n"
                       "MessageBox \"File Write Error\" icon=error buttons=OK\n"
                       "The letter \"\xC5\x91\" cannot be stored in file \"C:\\latin.htm\": its head is "
                       "in the windows-1252 code page, which has no such letter\nAnswer: OK\n"
                       "Caption: utf8.htm\nCaption: 1 file was modified\nEndDialog 0\n");
  EXPECT_EQ(drive.Read("latin.htm"), kLatinPage);
  EXPECT_EQ(drive.Read("utf8.htm"),
            "<HEAD>\n<TITLE>Gr\xC3\xBC\xC3\x9F" "e Erd\xC5\x91s</TITLE>\n"
            "<META NAME=\"KEYWORDS\" CONTENT=\"M\xC3\xBC" "ll\">\n</HEAD>\n<BODY>\n</BODY>\n");
}

TEST_F(InfobulkTest, HelpRequestsNameTheTopicOfTheControl) {
  Run({}, "help 101\nhelp 106\nhelp 0\nhelp -1\n");
  EXPECT_EQ(Log(), std::string(kStart) +
                       "> help 101\nHelp infobulk.hlp topic 101\n"
                       "> help 106\nHelp infobulk.hlp topic 106\n"
                       "> help 0\nHelp infobulk.hlp topic 100\n"
                       "> help -1\nHelp infobulk.hlp topic 0\n"
                       "EndDialog 0\n");
}

TEST(InfobulkNoDisplay, WithoutDisplayOrScriptTheDialogCannotBeShown) {
  TempDrive drive;
  RunOptions options;
  options.unset = {"WEFTDIALOGSCRIPT", "DISPLAY"};
  RunResult result = RunProgram(std::string(WEFT_BIN_DIR) + "/infobulk", {}, options);
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err, "HTML Multi-File Info Editor 1.43: no display to show the dialog on\n");
}

}  // namespace
