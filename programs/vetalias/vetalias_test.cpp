// vetalias as a user runs it: in a gallery directory of a temporary drive,
// with the log named by WEFTLOG.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "platform/testing/test_support.h"

namespace {

// The program built beside these tests.
const std::string kProgram = std::string(WEFT_BIN_DIR) + "/vetalias";
const char kDashes[] = "----------------------------------------\n";
const char kHelp[] =
    "VETALIAS, version 1.01\n"
    "Checks the \"symlinks.txt\" file for invalid links.  For each invalid link,\n"
    "an error message is printed to stderr and logged to the Tessarin log file.\n"
    "\n"
    "VETALIAS\n";

class VetaliasTest : public ::testing::Test {
 protected:
  VetaliasTest() {
    drive_.Write("site/trips/index.htm", "<TITLE>Trips</TITLE>");
    drive_.Write("site/pics/a.jpg", "jpeg");
    drive_.MakeDir("site/here");
    drive_.MakeDir("logs");
  }

  // The site is drive C:; the rest of the host is D:, where the program's
  // own file (and so the log title) is found.
  RunOptions Options(const char* log) const {
    RunOptions options;
    options.cwd = drive_.Host("site/here");
    options.env["WEFTDRIVES"] = "C=" + drive_.Host() + ";D=/";
    options.env["WEFTLOG"] = log;
    return options;
  }
  RunResult Run(const std::vector<std::string>& args = {}) {
    return RunProgram(kProgram, args, Options("C:\\logs\\weft.log"));
  }

  // The log with its run headers' date lines checked for their ctime form
  // and replaced by "<date>".
  std::string Log() const {
    std::string log = drive_.Read("logs/weft.log");
    static const std::regex date(
        "\n[A-Z][a-z]{2} [A-Z][a-z]{2} [ 0-9][0-9] [0-9]{2}:[0-9]{2}:[0-9]{2} [0-9]{4}\n");
    return std::regex_replace(log, date, "\n<date>\n");
  }

  TempDrive drive_;
};

TEST_F(VetaliasTest, NoAliasListNoOutput) {
  RunResult result = Run();
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "");
  EXPECT_FALSE(drive_.Exists("logs/weft.log"));
}

TEST_F(VetaliasTest, GoodListNoOutput) {
  drive_.Write("site/here/symlinks.txt",
               ": made by hand\n../trips/index.htm\n..\\pics\\a.jpg\n\n../trips/\n");
  RunResult result = Run();
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "");
  EXPECT_FALSE(drive_.Exists("logs/weft.log"));
}

TEST_F(VetaliasTest, BadLinesAreWarnedAndLogged) {
  drive_.Write("logs/weft.log", "earlier run\n");
  drive_.Write("site/here/symlinks.txt",
               "../trips/index.htm\n"
               "../gone/index.htm\n"
               "..\\pics\\a.jpg\r\n"
               "C:\\site\\pics\\a.jpg   \n"
               "../pics/missing.jpg\n");
  RunResult result = Run();
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err,
            "Warning:  Bad path in \"symlinks.txt\" file -- directory or index does not exist:\n"
            "            ../gone/index.htm\n"
            "Warning:  Bad path in \"symlinks.txt\" file -- illegal path:\n"
            "            C:\\site\\pics\\a.jpg\n"
            "Warning:  Bad path in \"symlinks.txt\" file -- file does not exist:\n"
            "            ../pics/missing.jpg\n");
  const std::string run = std::string(kDashes) +
                          "vetalias\n"
                          "<date>\n"
                          "C:\\site\\here\n"
                          "\n"
                          "1000:  Warning:  Bad path in \"symlinks.txt\" file -- directory or index "
                          "does not exist:\n"
                          "                   ../gone/index.htm\n"
                          "1000:  Warning:  Bad path in \"symlinks.txt\" file -- illegal path:\n"
                          "                   C:\\site\\pics\\a.jpg\n"
                          "1000:  Warning:  Bad path in \"symlinks.txt\" file -- file does not exist:\n"
                          "                   ../pics/missing.jpg\n";
  EXPECT_EQ(Log(), "earlier run\n" + run);

  // A second run appends its own header and messages.
  EXPECT_EQ(Run().exitCode, 1);
  EXPECT_EQ(Log(), "earlier run\n" + run + run);
}

TEST_F(VetaliasTest, AnyArgumentPrintsHelp) {
  drive_.Write("site/here/symlinks.txt", "../gone.jpg\n");
  for (const char* argument : {"/?", "x", "-h"}) {
    RunResult result = Run({argument});
    EXPECT_EQ(result.exitCode, 0) << argument;
    EXPECT_EQ(result.out, kHelp) << argument;
    EXPECT_EQ(result.err, "") << argument;
  }
  EXPECT_FALSE(drive_.Exists("logs/weft.log"));
}

TEST_F(VetaliasTest, UnopenableLogStillWarns) {
  drive_.Write("site/here/symlinks.txt", "../gone.jpg\n");
  RunResult result = RunProgram(kProgram, {}, Options("C:\\nowhere\\weft.log"));
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err,
            "Error:  Can't open log file \"C:\\nowhere\\weft.log\".\n"
            "Warning:  Bad path in \"symlinks.txt\" file -- file does not exist:\n"
            "            ../gone.jpg\n");
}

}  // namespace
