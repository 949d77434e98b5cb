// manivet: the lines of "FILELIST.TXT", and the program as a user runs it
// on a directory of a temporary drive.
#include "programs/manivet/manivet.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/attributes.h"
#include "platform/files.h"
#include "platform/testing/test_support.h"
#include "programs/manivet/testing/bom_list.h"
#include "shared/testing/full_output.h"

namespace {

const std::string kProgram = std::string(WEFT_BIN_DIR) + "/manivet";

const char kHelp[] =
    "MANIVET, Directory Bill Of Materials Checker, Version 1.00\n"
    "\n"
    "Compares the contents of the specified directory to the Bill Of Materials file\n"
    "called \"FILELIST.TXT\" in that same directory.  Displays all differences.\n"
    "\n"
    "MANIVET [/P] [/S] [/V] directory\n"
    "\n"
    "  /P    Print a Bill Of Materials.\n"
    "  /S    Don't check file sizes.\n"
    "  /V    Verbose mode.\n"
    "\n"
    "Each line of \"FILELIST.TXT\" lists one file as follows:\n"
    "\n"
    "  filename [tab|spaces filesize] [// comment]\n"
    "\n"
    "You can generate a sorted Bill Of Materials file by typing the following:\n"
    "\n"
    "  MANIVET /P | SORT >FILELIST.TXT\n"
    "\n"
    "Returns exit status 0 if matches, or 1 if differences were found.\n";

const char kMatches[] = "The directory matches the Bill Of Materials.\n";

TEST(BillOfMaterialsLineTest, NamesAndSizes) {
  struct Case {
    const char* line;
    bool names;
    const char* name;
    int32_t size;
  } cases[] = {
      {"PHOTO.JPG  1234\n", true, "PHOTO.JPG", 1234},
      {"PHOTO.JPG 1234\n", true, "PHOTO.JPG 1234", -1},
      {"PHOTO.JPG\t1234\n", true, "PHOTO.JPG", 1234},
      {"PHOTO.JPG\t   77  \n", true, "PHOTO.JPG", 77},
      {"PHOTO.JPG     88 // size\n", true, "PHOTO.JPG", 88},
      {"PHOTO.JPG  // no size\n", true, "PHOTO.JPG", -1},
      {"PHOTO.JPG\tabc\n", true, "PHOTO.JPG", -1},
      {"PHOTO.JPG\n", true, "PHOTO.JPG", -1},
      {"My File.txt  12", true, "My File.txt", 12},
      {" Trailing.txt \t 9x\n", true, "Trailing.txt", 9},
      {"BIG.ISO  3000000000\n", true, "BIG.ISO", -1294967296},
      {"C:\\dir\\x.txt  5\n", true, "C", -1},
      {"a\\b  5\n", true, "a", -1},
      // Two leading blanks indent the line as the help text shows it.
      {"  PHOTO.JPG  1234\n", true, "PHOTO.JPG", 1234},
      {"// comment\n", false, "", 0},
      {"\n", false, "", 0},
      {"", false, "", 0},
      {"\t\n", false, "", 0},
      // Blanks alone, before a comment or not, name no file.
      {"   \n", false, "", 0},
      {"  // indented comment\n", false, "", 0},
      {" \t // comment\n", false, "", 0},
  };
  for (const Case& c : cases) {
    char line[260];
    strcpy(line, c.line);
    const char* name = nullptr;
    int32_t size = 0;
    ASSERT_EQ(ParseBillOfMaterialsLine(line, &name, &size), c.names) << c.line;
    if (!c.names) continue;
    EXPECT_STREQ(name, c.name) << c.line;
    EXPECT_EQ(size, c.size) << c.line;
  }
}

TEST(BillOfMaterialsLineTest, RecordsKeepFileOrder) {
  new BOMFile("first", 1);
  new BOMFile("second", -1);
  BOMFile* first = FirstBOMFile();
  ASSERT_NE(first, nullptr);
  EXPECT_STREQ(first->name, "first");
  ASSERT_NE(first->next, nullptr);
  EXPECT_STREQ(first->next->name, "second");
  EXPECT_EQ(first->next->size, -1);
  EXPECT_EQ(first->next->next, nullptr);
}

class ManivetTest : public ::testing::Test {
 protected:
  ManivetTest() {
    drive_.Write("kit/PHOTO.JPG", std::string(1234, 'x'));
    drive_.Write("kit/readme.txt", "hello");
    drive_.Write("kit/.hidden", "h");
    drive_.Write("kit/marked.dat", "m");
    EXPECT_TRUE(SetAttributes(drive_.Win("kit/marked.dat").c_str(), kAttrHidden));
    drive_.MakeDir("kit/docs");
  }

  RunResult Run(const std::vector<std::string>& args, const std::string& cwd = "kit") {
    RunOptions options;
    options.cwd = drive_.Host(cwd);
    return RunProgram(kProgram, args, options);
  }

  void ExpectRun(const std::vector<std::string>& args, int exitCode, const std::string& out,
                 const std::string& err = "", const std::string& cwd = "kit") {
    RunResult result = Run(args, cwd);
    EXPECT_EQ(result.out, out);
    EXPECT_EQ(result.err, err);
    EXPECT_EQ(result.exitCode, exitCode);
  }

  TempDrive drive_;
};

TEST_F(ManivetTest, HelpOnAnOtherOptionLetter) {
  ExpectRun({"/X"}, 0, kHelp);
  ExpectRun({"/P", "-?", "missing"}, 0, kHelp);
  ExpectRun({"/"}, 0, kHelp);
}

TEST_F(ManivetTest, PrintListsVisibleFilesButNotTheList) {
  drive_.Write("kit/filelist.txt", "anything\n");
  ExpectRun({"/P"}, 0, "PHOTO.JPG\t1234\nreadme.txt\t5\n");
  ExpectRun({"-p", "C:\\kit"}, 0, "PHOTO.JPG\t1234\nreadme.txt\t5\n", "", "");
}

TEST_F(ManivetTest, MatchingList) {
  drive_.Write("kit/FILELIST.TXT",
               "// the kit\n"
               "\n"
               "photo.jpg  1234\n"
               "README.TXT\t5  // greeting\n"
               "  docs  // a listed directory is present\n"
               "marked.dat  99\n"
               ".hidden\n");
  ExpectRun({}, 0, kMatches);
  ExpectRun({"kit"}, 0, kMatches, "", "");
}

TEST_F(ManivetTest, EmptyDirectoryAndEmptyList) {
  drive_.Write("bare/FILELIST.TXT", "");
  ExpectRun({"C:\\bare"}, 0, kMatches);
}

TEST_F(ManivetTest, AllThreeDifferences) {
  drive_.Write("kit/extra.bin", "12");
  drive_.Write("kit/FILELIST.TXT",
               "PHOTO.JPG  1000\n"
               "gone.txt  3\n"
               "readme.txt  6\n"
               "lost.doc\n"
               "readme.txt  5\n");
  std::string differences =
      "The following files are missing from the directory:\n"
      "  gone.txt\n"
      "  lost.doc\n"
      "\n"
      "The following files are not in the Bill Of Materials:\n"
      "  extra.bin\n";
  // The first record of a name decides its size.
  ExpectRun({}, 1,
            differences +
                "\n"
                "The following files have the wrong size:\n"
                "  PHOTO.JPG\n"
                "  readme.txt\n");
  ExpectRun({"/S"}, 1, differences);
}

TEST_F(ManivetTest, VerboseHeadingThenAnEmptyLine) {
  drive_.Write("kit/FILELIST.TXT", "PHOTO.JPG  1234\nreadme.txt  5\n");
  drive_.Write("kit/new.txt", "");
  ExpectRun({"/v"}, 1,
            "Checking Bill Of Materials for directory\n"
            "  C:\\kit\n"
            "\n"
            "The following files are not in the Bill Of Materials:\n"
            "  new.txt\n");
  ASSERT_TRUE(DeleteFile(drive_.Win("kit/new.txt").c_str()));
  ExpectRun({"/V"}, 0,
            "Checking Bill Of Materials for directory\n"
            "  C:\\kit\n"
            "\n" +
                std::string(kMatches));
}

TEST_F(ManivetTest, LongCommentIsNoFileName) {
  drive_.Write("kit/FILELIST.TXT",
               "PHOTO.JPG  1234  // " + std::string(400, 'c') + "\nreadme.txt  5\n");
  ExpectRun({}, 0, kMatches);
}

TEST_F(ManivetTest, LaterDirectoryReplacesAnEarlierOne) {
  drive_.Write("bare/FILELIST.TXT", "");
  ExpectRun({"missing", "C:\\bare"}, 0, kMatches);
}

TEST_F(ManivetTest, Errors) {
  ExpectRun({"missing"}, 1, "", "Error:  Can't open directory \"missing\".\n");
  ExpectRun({"/P", "C:\\kit\\readme.txt"}, 1, "",
            "Error:  Can't open directory \"C:\\kit\\readme.txt\".\n");
  ExpectRun({}, 1, "", "Error:  Can't open \"FILELIST.TXT\".\n");
}

// A list that never reached the disk must not pass for one that did.
TEST_F(ManivetTest, FullDiskIsAnError) {
  drive_.Write("kit/FILELIST.TXT", "PHOTO.JPG  1234\nreadme.txt  5\n");
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"/P"}, {}, {"/V"}}) {
    RunOptions options;
    options.cwd = drive_.Host("kit");
    RunResult result = RunProgramToFullDisk(kProgram, args, options);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "Error:  Can't write to output file.\n");
    EXPECT_EQ(result.exitCode, 1);
  }
}

}  // namespace
