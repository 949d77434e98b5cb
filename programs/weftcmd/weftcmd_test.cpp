// weftcmd as a user runs it: from a Linux shell with /C, a batch file or
// lines on standard input, and from a batch file of its own.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/testing/test_support.h"
#include "shared/testing/full_output.h"

namespace {

const std::string kProgram = std::string(WEFT_BIN_DIR) + "/weftcmd";

class Weftcmd : public ::testing::Test {
 protected:
  RunResult Run(const std::vector<std::string>& args, const std::string& input = "") {
    RunOptions options;
    options.input = input;
    options.unset = {"COMSPEC"};
    return RunProgram(kProgram, args, options);
  }
  TempDrive drive_;
};

struct Case {
  std::vector<std::string> args;
  const char* input;
  const char* out;
  const char* err;
  int exitCode;
};

TEST_F(Weftcmd, LinesFilesAndStandardInput) {
  drive_.Write("args.bat", "@echo [%0] [%1] [%2] [%3]\r\n@exit /b 4\r\n");
  const Case cases[] = {
      {{"/C", "echo a & echo b"}, "", "a\nb\n", "", 0},
      {{"/c", "echo", "x", "&&", "exit", "3"}, "", "x\n", "", 3},
      {{"/C", "copy \"a b.txt\" c.txt"}, "", "        0 file(s) copied.\n",
       "The system cannot find the file specified.\n", 1},
      // 9009 does not fit an exit status; its low byte does.
      {{"/C", "nothing-here"}, "", "",
       "'nothing-here' is not recognized as an internal or external command,\noperable program or batch file.\n",
       9009 & 0xFF},
      {{"/C", "exit 256"}, "", "", "", 1},
      {{"args.bat", "a b", "\"q\"", "x\"y z\""}, "", "[args.bat] [\"a b\"] [\"q\"] [x\"y z\"]\n", "", 4},
      {{"ARGS"}, "", "[ARGS] [] [] []\n", "", 4},
      {{"missing.bat"}, "", "", "The batch file cannot be found.\n", 1},
      {{}, "echo one\r\nset X=2\necho %X% %NOPE%\nexit 5\necho never\n", "one\n2 %NOPE%\n", "", 5},
      {{}, "echo last", "last\n", "", 0},
  };
  for (const Case& c : cases) {
    RunResult result = Run(c.args, c.input);
    std::string shown = c.args.empty() ? "(stdin)" : c.args[0];
    EXPECT_EQ(result.out, c.out) << shown;
    EXPECT_EQ(result.err, c.err) << shown;
    EXPECT_EQ(result.exitCode, c.exitCode) << shown;
  }
}

TEST_F(Weftcmd, HelpOnASwitchItDoesNotKnow) {
  for (const char* arg : {"/?", "/x"}) {
    RunResult result = Run({arg});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out.substr(0, 52), "WEFTCMD, Tessarin Command Interpreter, Version 1.00\n");
    EXPECT_NE(result.out.find("Usage:  WEFTCMD [/C line | batchfile [arguments]]\n"), std::string::npos);
  }
}

// Started from a batch file, weftcmd takes the line's own text after /C:
// quotes around the whole line come off, and what they protected runs.
TEST_F(Weftcmd, FromABatchFileTheLineAsWritten) {
  drive_.Write("outer.bat",
               "@echo off\n"
               "weftcmd /C \"echo a & echo b\" & echo c\n"
               "call weftcmd inner \"x y\"\n"
               "weftcmd /C \"echo \"q\" > q.txt\"\n"
               "type q.txt\n");
  drive_.Write("inner.bat", "@echo [%1]\n");
  RunResult result = Run({"outer.bat"});
  EXPECT_EQ(result.out, "a\nb\nc\n[\"x y\"]\n\"q\"\n");
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.exitCode, 0);
}

// Overwrite questions take their answers from standard input.
TEST_F(Weftcmd, QuestionsAnsweredFromStandardInput) {
  drive_.Write("a.txt", "new");
  drive_.Write("b.txt", "old");
  RunResult result = Run({"/C", "copy a.txt b.txt"}, "n");
  EXPECT_EQ(result.out, "Overwrite b.txt? (Yes/No/All): No\n        0 file(s) copied.\n");
  EXPECT_EQ(drive_.Read("b.txt"), "old");
  // On the lines of standard input the answer is the next line.
  result = Run({}, "copy a.txt b.txt\ny\ntype b.txt\n");
  EXPECT_EQ(result.out, "Overwrite b.txt? (Yes/No/All): Yes\n        1 file(s) copied.\nnew");
}

// Output written through a redirection that does not reach its file (on a
// full disk) is no success: the command says so on the error output it had
// before and sets error level 1.
TEST_F(Weftcmd, FailedWritesThroughARedirectionAreErrors) {
  drive_.Write("a.txt", std::string(100000, 'a'));
  drive_.MakeDir("disk");
  drive_.Write("b.bat", "@echo off\necho x > D:\\full\nif errorlevel 1 echo level %ERRORLEVEL%\n");
  const char kFull[] = "There is not enough space on the disk.\n";
  const Case cases[] = {
      {{"/C", "echo hello > D:\\full"}, "", "", kFull, 1},
      {{"/C", "echo.>>D:\\full"}, "", "", kFull, 1},
      {{"/C", "type a.txt > D:\\full"}, "", "", kFull, 1},
      {{"/C", "copy a.txt c.txt > D:\\full"}, "", "", kFull, 1},
      {{"/C", "set > D:\\full"}, "", "", kFull, 1},
      {{"/C", "cd > D:\\full"}, "", "", kFull, 1},
      {{"/C", "type none.txt 2> D:\\full"}, "", "", kFull, 1},
      {{"/C", "type a.txt > D:\\full 2>&1"}, "", "", kFull, 1},
      {{"/C", "echo x > D:\\full || echo failed & echo after"}, "", "failed\nafter\n", kFull, 1},
      {{"/C", "echo x > D:\\full && echo not this"}, "", "", kFull, 1},
      {{"b.bat"}, "", "level 1\n", kFull, 1},
      {{"/C", "echo fine > ok.txt"}, "", "", "", 0},
  };
  for (const Case& c : cases) {
    RunOptions options;
    options.unset = {"COMSPEC"};
    options.env["WEFTDRIVES"] = "C=" + drive_.Host() + ";D=" + drive_.Host("disk");
    RunResult result = RunProgramOnFullDrive(kProgram, c.args, drive_.Host("disk"), options);
    if (result.exitCode == kNoFullDrive) GTEST_SKIP() << "no full disk can be mounted here";
    EXPECT_EQ(result.out, c.out) << c.args.back();
    EXPECT_EQ(result.err, c.err) << c.args.back();
    EXPECT_EQ(result.exitCode, c.exitCode) << c.args.back();
  }
  EXPECT_EQ(drive_.Read("c.txt"), drive_.Read("a.txt"));
  EXPECT_EQ(drive_.Read("ok.txt"), "fine\n");
}

}  // namespace
