// archvetw: its command-line split, and the program as a user runs it, with
// the message box answered headless (standard error and a transcript).
#include "programs/archvetw/archvetw.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/attributes.h"
#include "platform/clock.h"
#include "platform/filetime.h"
#include "platform/testing/test_support.h"

namespace {

const std::string kProgram = std::string(WEFT_BIN_DIR) + "/archvetw";
constexpr FileTime kTicksPerHour = 36000000000ULL;
constexpr FileTime kTicksPerDay = 24 * kTicksPerHour;

using Arguments = std::vector<std::string>;

TEST(SplitWindowCommandLineTest, OptionsAndWildcardsEndAtBlanksPathsTakeTheRest) {
  struct Case {
    const char* line;
    Arguments arguments;
  } cases[] = {
      {"", {}},
      {"   ", {}},
      {"/L", {"/L"}},
      {"/L  *.doc   C:\\My Photos", {"/L", "*.doc", "C:\\My Photos"}},
      {"C:\\My Photos C:\\Other", {"C:\\My Photos C:\\Other"}},
      {"-c:512 photos\\*.doc /L", {"-c:512", "photos\\*.doc /L"}},
      {"a*b c d", {"a*b", "c d"}},
      {"photos x", {"photos x"}},
      {"/I:*.doc  ", {"/I:*.doc"}},
      {"my dir\\*.doc", {"my dir\\*.doc"}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitWindowCommandLine(c.line), c.arguments) << c.line;
}

TEST(SplitWindowCommandLineTest, AtMostNineteenArguments) {
  std::string line;
  for (int i = 0; i < 25; ++i) line += "/L ";
  line += "photos";
  Arguments arguments = SplitWindowCommandLine(line.c_str());
  EXPECT_EQ(arguments.size(), 19u);
  EXPECT_EQ(arguments.back(), "/L");
}

class ArchvetwTest : public ::testing::Test {
 protected:
  ArchvetwTest() : now_(FileTimeNow()) {
    AddFile("My Photos/a.doc", 1500, 10, true);
    AddFile("My Photos/b.jpg", 20000, 30, true);
    AddFile("My Photos/sub/c.doc", 100, 3, false);
    drive_.Write("My Photos/sub/new.txt", std::string(10, 'x'));
    std::string path = drive_.Win("My Photos/sub/new.txt");
    FileTime write = SystemToFileTime({2040, 3, 0, 4, 0, 5});
    EXPECT_TRUE(SetFileTimes(path.c_str(), nullptr, nullptr, &write));
    EXPECT_TRUE(SetAttributes(path.c_str(), 0));
    drive_.MakeDir("logs");
  }

  void AddFile(const std::string& relative, size_t size, int daysAgo, bool changed) {
    drive_.Write(relative, std::string(size, 'x'));
    std::string path = drive_.Win(relative);
    FileTime write = now_ - daysAgo * kTicksPerDay - kTicksPerHour;
    ASSERT_TRUE(SetFileTimes(path.c_str(), nullptr, nullptr, &write));
    if (!changed) {
      ASSERT_TRUE(SetAttributes(path.c_str(), 0));
    }
  }

  RunResult Run(const Arguments& args, const std::string& cwd = "") {
    RunOptions options;
    options.cwd = drive_.Host(cwd);
    options.env["TZ"] = "UTC";
    options.env["WEFTDIALOGLOG"] = "C:\\logs\\dialog.log";
    options.unset = {"WEFTDIALOGSCRIPT", "DISPLAY"};
    return RunProgram(kProgram, args, options);
  }

  // One run: the box on standard error, the same box in the transcript.
  void ExpectBox(const Arguments& args, int exitCode, const std::string& caption,
                 const char* icon, const std::string& text, const std::string& cwd = "") {
    RunResult result = Run(args, cwd);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, caption + "\n" + text + "\n");
    EXPECT_EQ(result.exitCode, exitCode);
    EXPECT_EQ(drive_.Read("logs/dialog.log"), "MessageBox \"" + caption + "\" icon=" + icon +
                                                  " buttons=OK\n" + text + "\nAnswer: OK\n");
  }

  TempDrive drive_;
  FileTime now_;
};

const char kNewest[] =
    "\nMost recently modified file:\n"
    "     C:\\My Photos\\sub\\new.txt\n"
    "     Modified:  Sunday, March 4, 2040  12:05 AM";

TEST_F(ArchvetwTest, PathWithBlanksNeedsNoQuotes) {
  ExpectBox({"C:\\My", "Photos"}, 1, "My Photos:  BACKUP NEEDED", "warning",
            "2 files out of 4 total are not backed up (21.0KB).\n"
            "\n"
            "Age of files that are not backed up:\n"
            "     20 days ave, 30 days max\n"
            "\n"
            "21.1KB total in all files (backed up and not backed up).\n" +
                std::string(kNewest));
}

TEST_F(ArchvetwTest, OptionsBeforeThePath) {
  ExpectBox({"/S", "/C:4096", "*.DOC", "/I:*.TXT", "My", "Photos"}, 1,
            "My Photos:  BACKUP NEEDED", "warning",
            "2 files out of 4 total are not backed up (21.0KB).\n"
            "\n"
            "*.DOC:  1 file out of 2 total is not backed up (1.46KB).\n"
            "*.TXT:  All files are backed up.\n"
            "\n"
            "Age of important files that are not backed up:\n"
            "     10 days ave, 10 days max\n"
            "\n"
            "21.1KB total.  32.0KB used with 4096 byte clusters (34.1% slack).\n" +
                std::string(kNewest));
}

TEST_F(ArchvetwTest, NoImportantFileToBackUpGivesTheInformationIcon) {
  ExpectBox({"/I:*.TXT", "C:\\My Photos"}, 1, "My Photos:  BACKUP NEEDED", "information",
            "2 files out of 4 total are not backed up (21.0KB).\n"
            "\n"
            "*.TXT:  All files are backed up.\n"
            "\n"
            "21.1KB total in all files (backed up and not backed up).\n" +
                std::string(kNewest));
}

TEST_F(ArchvetwTest, AllBackedUpInTheCurrentDirectory) {
  for (const char* name : {"My Photos/a.doc", "My Photos/b.jpg"}) {
    ASSERT_TRUE(SetAttributes(drive_.Win(name).c_str(), 0));
  }
  ExpectBox({}, 0, "My Photos:  All files are backed up", "information",
            "All files are backed up.\n"
            "\n"
            "21.1KB total in all files (backed up and not backed up).\n" +
                std::string(kNewest),
            "My Photos");
}

TEST_F(ArchvetwTest, LogFormShowsNothingWhenBackedUp) {
  for (const char* name : {"My Photos/a.doc", "My Photos/b.jpg"}) {
    ASSERT_TRUE(SetAttributes(drive_.Win(name).c_str(), 0));
  }
  RunResult result = Run({"/L", "My Photos"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out + result.err, "");
  EXPECT_FALSE(drive_.Exists("logs/dialog.log"));
}

TEST_F(ArchvetwTest, SecondPathBecomesPartOfTheFirst) {
  drive_.MakeDir("empty");
  // 'C:\My Photos C:\empty' is no directory; its last component names it.
  ExpectBox({"C:\\My Photos", "C:\\empty"}, 0, "empty", "information",
            "No files were found.");
}

}  // namespace
