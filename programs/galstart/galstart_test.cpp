// galstart as a user runs it: a placeholder file in a folder of drive C:.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "platform/testing/test_support.h"

namespace {

using Files = std::vector<std::string>;

// Without a desktop or a script, the error box prints its caption and text.
RunResult RunGalstart(const std::vector<std::string>& args) {
  RunOptions options;
  options.unset = {"DISPLAY", "WEFTDIALOGSCRIPT"};
  return RunProgram(std::string(WEFT_BIN_DIR) + "/galstart", args, options);
}

TEST(Galstart, ReplacesThePlaceholderByTheBatchFile) {
  struct Case {
    std::vector<std::string> args;
    const char* placeholder;  // relative to the drive; deleted
    const char* batchFile;    // relative to the drive
    const char* content;
    size_t files;             // files on the drive afterwards (4 before)
  } cases[] = {
      {{"/galleria", "C:\\site\\trip\\New.txt"}, "site/trip/New.txt", "site/trip/refolio.bat",
       "@galleria\n", 3},
      {{"/galleria /S", "C:\\site\\trip\\New.txt", "ignored"}, "site/trip/New.txt",
       "site/trip/refolio.bat", "@galleria /S\n", 3},
      {{"/viewreel", "", "site/trip/New.txt"}, "site/trip/New.txt", "site/trip/refolio.bat",
       "@viewreel\n", 3},
      {{"/x", "site\\New.txt"}, "site/New.txt", "site/refolio.bat", "@x\n", 4},
      {{"/x", "New.txt"}, "New.txt", "refolio.bat", "@x\n", 4},
      {{"/x", "C:New.txt"}, "New.txt", "refolio.bat", "@x\n", 4},
      {{"/x", "site\\Missing.txt"}, "site/Missing.txt", "site/refolio.bat", "@x\n", 5},
  };
  for (const Case& c : cases) {
    TempDrive drive;
    drive.Write("site/trip/New.txt", "");
    drive.Write("site/New.txt", "");
    drive.Write("New.txt", "");
    drive.Write("site/trip/refolio.bat", "@old\n");
    RunResult result = RunGalstart(c.args);
    EXPECT_EQ(result.exitCode, 0) << c.args[1];
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "");
    EXPECT_FALSE(drive.Exists(c.placeholder)) << c.args[1];
    EXPECT_EQ(drive.Read(c.batchFile), c.content) << c.args[1];
    EXPECT_EQ(drive.Files().size(), c.files) << c.args[1];
  }
}

TEST(Galstart, Errors) {
  struct Case {
    std::vector<std::string> args;
    const char* err;
  } cases[] = {
      {{}, "Error\nRequired command line switch is missing\n"},
      {{"/"}, "Error\nRequired command line switch is missing\n"},
      {{"galleria", "New.txt"}, "Error\nRequired command line switch is missing\n"},
      {{"/galleria"}, "Error\nRequired command line file path is missing\n"},
      {{"/galleria", ""}, "Error\nRequired command line file path is missing\n"},
      {{"/galleria", "", ""}, "Error\nRequired command line file path is missing\n"},
      {{"/galleria", "C:\\nowhere\\New.txt"}, "Error\nCan't create file \"C:\\nowhere\\refolio.bat\"\n"},
  };
  for (const Case& c : cases) {
    TempDrive drive;
    drive.Write("New.txt", "");
    RunResult result = RunGalstart(c.args);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, c.err);
    EXPECT_EQ(drive.Files(), Files{"New.txt"});
  }
}

// The batch file is written first; the placeholder goes only after that
// succeeded, and an older batch file stays when the new one cannot be put in
// its place.
TEST(Galstart, ThePlaceholderStaysWhenTheBatchCannotBeWritten) {
  TempDrive drive;
  drive.Write("site/New.txt", "");
  drive.Write("site/refolio.bat", "@old\n");
  chmod(drive.Host("site/refolio.bat").c_str(), 0444);
  RunResult result = RunGalstart({"/galleria", "C:\\site\\New.txt"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err, "Error\nCan't create file \"C:\\site\\refolio.bat\"\n");
  EXPECT_EQ(drive.Files(), (Files{"site/New.txt", "site/refolio.bat"}));
  EXPECT_EQ(drive.Read("site/refolio.bat"), "@old\n");

  drive.MakeDir("dir/refolio.bat");
  drive.Write("dir/New.txt", "");
  result = RunGalstart({"/galleria", "C:\\dir\\New.txt"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(drive.Files("dir"), Files{"New.txt"});
}

// A write that cannot go through (the file size limit ends galstart at its
// first byte, as a full disk or a kill would stop it) leaves the older batch
// file and the placeholder; the next run finishes the job.
TEST(Galstart, AnInterruptedWriteLeavesTheOldBatchAndThePlaceholder) {
  TempDrive drive;
  drive.Write("site/New.txt", "");
  drive.Write("site/refolio.bat", "@old\n");
  std::string galstart = std::string(WEFT_BIN_DIR) + "/galstart";
  RunResult result = RunProgram("/bin/sh", {"-c", "ulimit -f 0; exec \"$0\" \"$@\"", galstart, "/galleria & foldsig",
                                            "C:\\site\\New.txt"});
  EXPECT_NE(result.exitCode, 0);
  EXPECT_EQ(drive.Read("site/refolio.bat"), "@old\n");
  EXPECT_TRUE(drive.Exists("site/New.txt"));
  result = RunGalstart({"/galleria & foldsig", "C:\\site\\New.txt"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(drive.Files(), Files{"site/refolio.bat"});
  EXPECT_EQ(drive.Read("site/refolio.bat"), "@galleria & foldsig\n");
}

// A placeholder that is the batch file itself is replaced, not deleted.
TEST(Galstart, APlaceholderNamedLikeTheBatchFile) {
  TempDrive drive;
  drive.Write("site/Refolio.BAT", "@old\n");
  RunResult result = RunGalstart({"/galleria & foldsig", "C:\\site\\REFOLIO.bat"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(drive.Files(), Files{"site/Refolio.BAT"});
  EXPECT_EQ(drive.Read("site/Refolio.BAT"), "@galleria & foldsig\n");
}

TEST(Galstart, AnOverlongBatchNameIsRefusedAndTheMessageCut) {
  TempDrive drive;
  std::string folder = "C:\\" + std::string(290, 'd');
  RunResult result = RunGalstart({"/galleria", folder + "\\New.txt"});
  EXPECT_EQ(result.exitCode, 1);
  std::string message = "Can't create file \"" + folder + "\\refolio.bat\"";
  EXPECT_EQ(result.err, "Error\n" + message.substr(0, 255) + "\n");
  EXPECT_EQ(drive.Files(), Files{});
}

// With the dialog layer's transcript on, the error is seen to be a message
// box titled "Error" with an OK button.
TEST(Galstart, ErrorIsAMessageBox) {
  TempDrive drive;
  RunOptions options;
  options.env["WEFTDIALOGLOG"] = drive.Win("boxes.log");
  options.env["WEFTDIALOGSCRIPT"] = drive.Win("answers.txt");
  drive.Write("answers.txt", "OK\n");
  RunResult result = RunProgram(std::string(WEFT_BIN_DIR) + "/galstart", {"/galleria"}, options);
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(drive.Read("boxes.log"),
            "MessageBox \"Error\" icon=none buttons=OK\n"
            "Required command line file path is missing\nAnswer: OK\n");
}

}  // namespace
