// archvet as a user runs it: trees of a temporary drive with known sizes,
// ages and archive attributes; local time is UTC.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/attributes.h"
#include "platform/clock.h"
#include "platform/filetime.h"
#include "platform/testing/test_support.h"
#include "shared/testing/full_output.h"

namespace {

const std::string kProgram = std::string(WEFT_BIN_DIR) + "/archvet";
constexpr FileTime kTicksPerHour = 36000000000ULL;
constexpr FileTime kTicksPerDay = 24 * kTicksPerHour;

const char kHelp[] =
    "Checks if one or more directories need to be backed up.  Scans each directory\n"
    "and all its subdirectories for files that are not archived (archive attr set).\n"
    "Reports the number of unarchived files and additional statistical information.\n"
    "\n"
    "ARCHVET [/C:size] [/L | /S] [/M:size] [/I:filespec [/I:filespec [...]]]\n"
    "       [/U:filespec [/U:filespec [...]]] [path [path [path [...]]]]\n"
    "\n"
    " /C:size    Specifies the size of a disk allocation unit (cluster), in bytes.\n"
    " /L         Formats the output in a multi-line format suitable for log files.\n"
    "            If no files need backing up, no output will be generated.\n"
    " /S         Formats the output in a single-line format suitable for log files.\n"
    "            If no files need backing up, no output will be generated.\n"
    "            Prints the column headings if no path parameters are specified.\n"
    " /M:size    Specifies the minimum size of an \"important\" file, in bytes.\n"
    " /I:fspec   Specifies a filespec which defines \"important\" files.\n"
    "            Additional information will be printed for each important filespec.\n"
    "            Type ARCHVET /! for additional information.\n"
    " /U:fspec   Specifies a filespec which defines \"unimportant\" files.\n"
    "            This negates the effect of the /I option for the specified files.\n"
    "            Type ARCHVET /! for additional information.\n"
    " path       The starting directory of the search tree (default = current).\n"
    "\n"
    "Returns exit code 0 if all files are backed up, or 1 if backup is needed.\n";

const char kConfigHelp[] =
    "ARCHVET looks for a file called \"ARCHVET.INI\" in the directory of the first\n"
    "path parameter and in all its parent directories.  That file can list\n"
    "important and unimportant filespecs in the following format:\n"
    "\n"
    "  [Important Files]\n"
    "  filespec\n"
    "  filespec\n"
    "  ...\n"
    "\n"
    "  [Unimportant Files]\n"
    "  [path\\]filespec\n"
    "  [path\\]filespec\n"
    "  ...\n"
    "\n"
    "Each filespec has the following form:\n"
    "\n"
    "  [*][text][*][.[*][text][*]]\n"
    "\n"
    "where '*' stands for zero or more characters.  A filespec without an extension\n"
    "has an implicit extension of \".*\".  The path of an unimportant filespec is an\n"
    "\"ends with\" comparison with the directory of each file, so \"TEMP\\*.*\"\n"
    "matches the files of every directory called TEMP.\n";

const char kHeadings[] =
    " NOT ARCHIVED\n"
    " Last Modified\n"
    "   (Days Ago)                        ---- IMPORTANT ----\n"
    " Imp. All  Wgt.                      NOT ARCHIVED  TOTAL   NOT ARCHIVED   TOTAL\n"
    " Max. Max. Ave.  Directory Name      Files  Bytes  Files   Files  Bytes   Bytes\n"
    " ---- ---- ----  ------------------  -----  -----  -----   -----  -----   -----\n";

const char kFrame[] = "================================================================\n";

// The newest file of every tree: written on Sunday, March 4, 2040 at 00:05.
const char kNewestLines[] =
    "\nMost recently modified file:\n"
    "   C:\\photos\\sub\\new.txt\n"
    "   Modified:  Sunday, March 4, 2040  12:05 AM\n";

class ArchvetTest : public ::testing::Test {
 protected:
  ArchvetTest() : now_(FileTimeNow()) {
    AddFile("photos/a.doc", 1500, 10, true);
    AddFile("photos/b.jpg", 20000, 30, true);
    AddFile("photos/sub/c.doc", 100, 3, false);
    AddNewest("photos/sub/new.txt", 10, {2040, 3, 0, 4, 0, 5});
  }

  // A file last written `daysAgo` days and one hour ago; backed up (archive
  // attribute cleared) unless `changed`.
  void AddFile(const std::string& relative, size_t size, int daysAgo, bool changed) {
    FileTime write = now_ - daysAgo * kTicksPerDay - kTicksPerHour;
    Stamp(relative, size, write, changed);
  }
  // A backed-up file written later than any file was made.
  void AddNewest(const std::string& relative, size_t size, const SystemTime& time) {
    Stamp(relative, size, SystemToFileTime(time), false);
  }
  void Stamp(const std::string& relative, size_t size, FileTime write, bool changed) {
    drive_.Write(relative, std::string(size, 'x'));
    std::string path = drive_.Win(relative);
    ASSERT_TRUE(SetFileTimes(path.c_str(), nullptr, nullptr, &write));
    if (!changed) {
      ASSERT_TRUE(SetAttributes(path.c_str(), 0));
    }
  }

  RunResult Run(const std::vector<std::string>& args, const std::string& cwd = "") {
    RunOptions options;
    options.cwd = drive_.Host(cwd);
    options.env["TZ"] = "UTC";
    return RunProgram(kProgram, args, options);
  }

  void ExpectRun(const std::vector<std::string>& args, int exitCode, const std::string& out,
                 const std::string& err = "", const std::string& cwd = "") {
    RunResult result = Run(args, cwd);
    EXPECT_EQ(result.out, out);
    EXPECT_EQ(result.err, err);
    EXPECT_EQ(result.exitCode, exitCode);
  }

  TempDrive drive_;
  FileTime now_;
};

TEST_F(ArchvetTest, HelpTextsOnlyAsTheFirstArgument) {
  ExpectRun({"/?"}, 0, kHelp);
  ExpectRun({"/!"}, 0, kConfigHelp);
  ExpectRun({"/?", "photos"}, 0, kHelp);
  // Elsewhere, or spelled otherwise, they are options without effect.
  RunResult result = Run({"-?", "photos", "/?"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.out.substr(0, 20), "2 files out of 4 tot");
}

TEST_F(ArchvetTest, CurrentDirectoryWithoutConfiguration) {
  // The configuration file is read only for a directory given by name.
  drive_.Write("archvet.ini", "[Important Files]\n*.DOC\n");
  ExpectRun({}, 1,
            "2 files out of 4 total are not backed up (21.0KB).\n"
            "\n"
            "Age of files that are not backed up:\n"
            "   20 days ave, 30 days max\n"
            "\n"
            "21.1KB total in all files (backed up and not backed up).\n" +
                std::string(kNewestLines),
            "", "photos");
}

TEST_F(ArchvetTest, ImportantCategoriesAndClusters) {
  ExpectRun({"/I:*.DOC", "-c4096", "/I*.TXT", "/I:*.PNG", "/X", "photos"}, 1,
            "2 files out of 4 total are not backed up (21.0KB).\n"
            "\n"
            "*.DOC:  1 file out of 2 total is not backed up (1.46KB).\n"
            "*.TXT:  All files are backed up.\n"
            "\n"
            "Age of important files that are not backed up:\n"
            "   10 days ave, 10 days max\n"
            "\n"
            "21.1KB total.  32.0KB used with 4096 byte clusters (34.1% slack).\n" +
                std::string(kNewestLines));
}

TEST_F(ArchvetTest, ConfigurationOfAParentAndOptionsBeforeIt) {
  drive_.Write("archvet.ini",
               "[Important Files]\n*.JPG\n*.DOC\n[Unimportant Files]\nSUB\\*.*\n");
  // *.TXT comes from the command line before the configuration file is read;
  // /M acts on the whole walk. The second directory reads no further file:
  // its *.INI would count that 93-byte file itself.
  drive_.Write("other/archvet.ini",
               "[Important Files]\n*.INI\n[Notes]\n" + std::string(60, 'x') + "\n");
  AddFile("other/x.doc", 5, 40, true);
  ExpectRun({"*.TXT", "/M:50", "photos", "other"}, 1,
            "4 files out of 6 total are not backed up (21.1KB).\n"
            "\n"
            "*.JPG:  1 file out of 1 total is not backed up (19.5KB).\n"
            "*.DOC:  1 file out of 1 total is not backed up (1.46KB).\n"
            "\n"
            "Age of important files that are not backed up:\n"
            "   20 days ave, 30 days max\n"
            "\n"
            "21.2KB total in all files (backed up and not backed up).\n" +
                std::string(kNewestLines));
}

TEST_F(ArchvetTest, AllBackedUp) {
  for (const char* name : {"photos/a.doc", "photos/b.jpg"}) {
    ASSERT_TRUE(SetAttributes(drive_.Win(name).c_str(), 0));
  }
  std::string report =
      "All files are backed up.\n"
      "\n"
      "21.1KB total in all files (backed up and not backed up).\n" +
      std::string(kNewestLines);
  // Important categories are listed only when a backup is needed.
  ExpectRun({"/I:*.DOC", "photos"}, 0, report);
  ExpectRun({"/L", "photos"}, 0, "");
  ExpectRun({"/S", "photos"}, 0, "");
}

TEST_F(ArchvetTest, LogFormWithOneFileToBackUp) {
  AddFile("one/x.doc", 10, 5, true);
  Stamp("one/y.txt", 10, SystemToFileTime({2040, 3, 0, 4, 12, 30}), false);
  ExpectRun({"/L", "one"}, 1,
            std::string(kFrame) +
                "one\n"
                "\n"
                "1 file out of 2 total is not backed up (10 bytes).\n"
                "\n"
                "Age of files that are not backed up:\n"
                "   5 days ave, 5 days max\n"
                "\n"
                "20 bytes total in all files (backed up and not backed up).\n"
                "\n"
                "Most recently modified file:\n"
                "   C:\\one\\y.txt\n"
                "   Modified:  Sunday, March 4, 2040  12:30 PM\n"
                "\n");
}

TEST_F(ArchvetTest, SingleLineForm) {
  ExpectRun({"/S"}, 1, kHeadings);
  ExpectRun({"/S", "/I:*.DOC", "photos"}, 0,
            "   10   30   10  photos                  1 1.46KB      2       2 21.0KB  21.1KB\n");
  // Without important files every age column but the second is empty.
  ExpectRun({"/S", "photos"}, 0,
            "    -   30   20  photos                  0      0      0       2 21.0KB  21.1KB\n");
}

// A report that never reached its log file must not pass for one that did.
TEST_F(ArchvetTest, FullDiskIsAnError) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"/I:*.DOC", "photos"}, {"/L", "photos"}, {"/S", "photos"}, {"/S"}}) {
    RunOptions options;
    options.cwd = drive_.Host();
    options.env["TZ"] = "UTC";
    RunResult result = RunProgramToFullDisk(kProgram, args, options);
    EXPECT_EQ(result.err, "Error:  Can't write to output file.\n") << args.back();
    EXPECT_EQ(result.exitCode, 2) << args.back();
  }
}

TEST_F(ArchvetTest, NoFilesFound) {
  drive_.MakeDir("empty");
  ExpectRun({"empty"}, 0, "", "No files were found.\n");
  ExpectRun({"missing"}, 0, "", "No files were found.\n");
  ExpectRun({"/L", "empty"}, 0, "");
  // A path on no drive is not the current directory.
  ExpectRun({"Q:\\photos"}, 0, "", "No files were found.\n", "photos");
}

TEST_F(ArchvetTest, EmptyFilesWithClustersHaveNoSlack) {
  AddFile("zero/a.doc", 0, 2, true);
  Stamp("zero/b.doc", 0, SystemToFileTime({2040, 1, 0, 1, 0, 0}), false);
  ExpectRun({"/C:512", "zero"}, 1,
            "1 file out of 2 total is not backed up (0 bytes).\n"
            "\n"
            "Age of files that are not backed up:\n"
            "   2 days ave, 2 days max\n"
            "\n"
            "0 bytes total.  0 bytes used with 512 byte clusters (0.0% slack).\n"
            "\n"
            "Most recently modified file:\n"
            "   C:\\zero\\b.doc\n"
            "   Modified:  Sunday, January 1, 2040  12:00 AM\n");
}

TEST_F(ArchvetTest, NamesTextKeepsWhatFitsAndAllAreChecked) {
  std::vector<std::string> args = {"/L"};
  for (char letter : {'a', 'b', 'c'}) {
    std::string name(100, letter);
    AddFile(name + "/x.doc", 1, 1, true);
    args.push_back(name);
  }
  Stamp(std::string(100, 'c') + "/new.doc", 1, SystemToFileTime({2040, 1, 0, 1, 9, 41}),
        false);
  ExpectRun(args, 1,
            std::string(kFrame) + std::string(100, 'a') + ", " + std::string(100, 'b') +
                "\n"
                "\n"
                "3 files out of 4 total are not backed up (3 bytes).\n"
                "\n"
                "Age of files that are not backed up:\n"
                "   1 days ave, 1 days max\n"
                "\n"
                "4 bytes total in all files (backed up and not backed up).\n"
                "\n"
                "Most recently modified file:\n"
                "   C:\\" + std::string(100, 'c') + "\\new.doc\n"
                "   Modified:  Sunday, January 1, 2040  9:41 AM\n"
                "\n");
}

}  // namespace

namespace {

// Two links in a loop and two out of the tree to one folder: the walk ends,
// and every file is counted once.
TEST_F(ArchvetTest, LinkedDirectoriesAreCountedOnce) {
  AddFile("outside/o.txt", 100, 5, true);
  drive_.Link("photos/sub/loop", "..");
  drive_.Link("photos/sub/again", "../..");
  drive_.Link("photos/out", "../outside");
  drive_.Link("photos/zout", "../outside");
  drive_.Link("outside/back", "../photos");
  RunResult result = Run({"photos"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.out.substr(0, result.out.find('\n')),
            "3 files out of 5 total are not backed up (21.1KB).");
}

}  // namespace
