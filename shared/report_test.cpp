#include "shared/report.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "platform/env.h"
#include "platform/filetime.h"
#include "platform/testing/test_support.h"
#include "shared/testing/log_title.h"

namespace {

const char kDashes[] = "----------------------------------------\n";

// Each test starts as a fresh run, inside a temporary drive, with WEFTLOG
// naming "C:\logs\weft.log" unless the test changes it.
class ReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetReportForTests();
    drive_.MakeDir("logs");
    SetEnv("WEFTLOG", "C:\\logs\\weft.log");
    testing::internal::CaptureStderr();
  }
  void TearDown() override {
    StopCapture();
    ResetReportForTests();
    SetEnv("WEFTLOG", nullptr);
  }
  std::string StopCapture() {
    if (!capturing_) return "";
    capturing_ = false;
    return testing::internal::GetCapturedStderr();
  }
  std::string Log() const { return drive_.Read("logs/weft.log"); }

  TempDrive drive_;
  bool capturing_ = true;
};

// Splits a run header off the log: dashes, title (when given), date line,
// directory line, empty line. Returns the rest, or "?" when the shape is off.
std::string AfterHeader(const std::string& log, const std::string& title,
                        const std::string& dir) {
  std::string head = kDashes + (title.empty() ? "" : title + "\n");
  if (log.compare(0, head.size(), head) != 0) return "?";
  size_t dateEnd = log.find('\n', head.size());
  if (dateEnd == std::string::npos) return "?";
  std::string date = log.substr(head.size(), dateEnd - head.size());
  static const std::regex ctimeForm(
      "[A-Z][a-z]{2} [A-Z][a-z]{2} [ 0-9][0-9] [0-9]{2}:[0-9]{2}:[0-9]{2} [0-9]{4}");
  if (!std::regex_match(date, ctimeForm)) return "?";
  std::string tail = dir + "\n\n";
  if (log.compare(dateEnd + 1, tail.size(), tail) != 0) return "?";
  return log.substr(dateEnd + 1 + tail.size());
}

}  // namespace

TEST_F(ReportTest, WarningStartsTheRunWithAHeader) {
  SetLogTitle("Gallery rebuild");
  drive_.MakeDir("site");
  drive_.Chdir("site");
  const std::string first = "Warning:  File \"a.htm\" does not exist.\n";
  EXPECT_EQ(Report(1000, "Warning:  File \"%s\" does not exist.\n", "a.htm"),
            static_cast<int>(first.size()));
  Report(0, "            %s %d\n", "line", 7);
  Report(2000, "\n\nError:  Can't read \"%s\".\n", "b.htm");
  ReportText(0, "        Program aborted -- no changes were made.\n");
  EXPECT_EQ(StopCapture(),
            "Warning:  File \"a.htm\" does not exist.\n"
            "            line 7\n"
            "\n\nError:  Can't read \"b.htm\".\n"
            "        Program aborted -- no changes were made.\n");
  EXPECT_EQ(AfterHeader(Log(), "Gallery rebuild", "C:\\site"),
            "1000:  Warning:  File \"a.htm\" does not exist.\n"
            "                   line 7\n"
            "2000:  Error:  Can't read \"b.htm\".\n"
            "               Program aborted -- no changes were made.\n");
  EXPECT_EQ(MaxSeverity, 2);
}

TEST_F(ReportTest, HeaderDateIsTheClocksLocalTime) {
  ScopedEnvironment zone;
  zone.Set("TZ", "UTC0");
  FixedClock clock(UnixToFileTime(1000000000));
  SetLogTitle("dated");
  Report(1000, "Warning:  x\n");
  StopCapture();
  EXPECT_EQ(Log(), std::string(kDashes) + "dated\nSun Sep  9 01:46:40 2001\nC:\\\n\n1000:  Warning:  x\n");
}

TEST_F(ReportTest, FirstMessageOfCodeZeroGivesNoHeader) {
  Report(0, "Reading %s\n", "weft.ini");
  Report(1000, "Warning:  Odd key.\n");
  StopCapture();
  EXPECT_EQ(Log(), "       Reading weft.ini\n1000:  Warning:  Odd key.\n");
  EXPECT_EQ(MaxSeverity, 1);
}

TEST_F(ReportTest, LogIsAppendedAndReopenedOnlyOncePerRun) {
  drive_.Write("logs/weft.log", "earlier run\n");
  SetLogTitle("one");
  Report(3000, "Error:  First.\n");
  ResetReportForTests();  // a second run of some tool
  SetLogTitle("two");
  Report(1000, "Warning:  Second.\n");
  StopCapture();
  std::string log = Log();
  ASSERT_EQ(log.compare(0, 12, "earlier run\n"), 0);
  std::string rest = AfterHeader(log.substr(12), "one", "C:\\");
  ASSERT_EQ(rest.compare(0, 22, "3000:  Error:  First.\n"), 0) << rest;
  EXPECT_EQ(AfterHeader(rest.substr(22), "two", "C:\\"), "1000:  Warning:  Second.\n");
}

TEST_F(ReportTest, TitleIsCutTo32Characters) {
  SetLogTitle("A title that is much longer than thirty-two characters");
  SetLogTitle(nullptr);  // leaves it unchanged
  Report(1000, "Warning:  x\n");
  StopCapture();
  EXPECT_EQ(AfterHeader(Log(), "A title that is much longer than", "C:\\"),
            "1000:  Warning:  x\n");
}

TEST_F(ReportTest, DefaultTitleIsTheProgramName) {
  // Map the host root as D: so that the test program itself lies on a drive.
  SetEnv("WEFTDRIVES", ("C=" + drive_.Host() + ";D=/").c_str());
  Report(2000, "Error:  y\n");
  StopCapture();
  EXPECT_EQ(AfterHeader(Log(), "weftshared_tests", "C:\\"), "2000:  Error:  y\n");
}

TEST_F(ReportTest, NoLogWithoutWeftlog) {
  SetEnv("WEFTLOG", nullptr);
  Report(1000, "Warning:  only here\n");
  EXPECT_EQ(StopCapture(), "Warning:  only here\n");
  EXPECT_EQ(drive_.Files(), std::vector<std::string>{});
  EXPECT_EQ(MaxSeverity, 1);
}

TEST_F(ReportTest, LogThatCannotBeOpenedCostsOneLine) {
  SetEnv("WEFTLOG", "C:\\logs");  // a directory
  Report(1000, "Warning:  a\n");
  Report(1000, "Warning:  b\n");
  EXPECT_EQ(StopCapture(),
            "Error:  Can't open log file \"C:\\logs\".\n"
            "Warning:  a\n"
            "Warning:  b\n");
  EXPECT_EQ(MaxSeverity, 1);
}

TEST_F(ReportTest, NothingIsLoggedAfterCloseLog) {
  Report(0, "one\n");
  CloseLog();
  Report(1000, "Warning:  two\n");
  EXPECT_EQ(StopCapture(), "one\nWarning:  two\n");
  EXPECT_EQ(Log(), "       one\n");
}

TEST_F(ReportTest, MaxSeverityIsTheHighestCodeOverThousand) {
  SetEnv("WEFTLOG", nullptr);
  struct Case { std::vector<int> codes; int severity; };
  const Case cases[] = {
      {{}, 0},
      {{0, 0}, 0},
      {{1000, 0, 1000}, 1},
      {{1000, 1000, 2000}, 2},
      {{3000, 1000, 0}, 3},
      {{1000, 2999}, 2},
      {{999}, 0},
  };
  for (const Case& c : cases) {
    ResetReportForTests();
    for (int code : c.codes) Report(code, "m\n");
    EXPECT_EQ(MaxSeverity, c.severity) << c.codes.size();
  }
}

// --- The site tools' log, installed off the drives ------------------------------

// The built programs lie on no drive of the map (C: is only the temporary
// drive): the run header still names each by its program file.
TEST(SiteToolLog, RunHeaderNamesTheProgramWhereverItLies) {
  struct Case {
    const char* program;
    std::vector<std::string> args;
    const char* file;  // written in C:\site first
    const char* content;
    int exitCode;
    const char* messages;  // the log after its header
  } const cases[] = {
      {"galleria", {}, "../icons/weft.ini", "template=none.tpl\n", 2,
       "2000:  Error:  Can't open template file \"none.tpl\".\n"},
      {"viewreel", {"pics"}, nullptr, nullptr, 1,
       "3000:  Error:  Illegal command line parameter \"pics\".\n"
       "               Program aborted.\n"},
      {"pagebase", {"a", "b"}, nullptr, nullptr, 3,
       "3000:  Error:  Starting directory was specified twice on command line.\n"},
      {"vetalias", {}, "symlinks.txt", "missing.jpg\n", 1,
       "1000:  Warning:  Bad path in \"symlinks.txt\" file -- file does not exist:\n"
       "                   missing.jpg\n"},
      {"rankpage", {"list.txt"}, "list.txt", "nope.htm\n", 1,
       "1000:  Warning:  File \"nope.htm\" does not exist.\n"},
  };
  for (const Case& c : cases) {
    TempDrive drive;
    drive.MakeDir("site");
    if (c.file) drive.Write(std::string("site/") + c.file, c.content);
    RunOptions options;
    options.cwd = drive.Host("site");
    options.env["WEFTLOG"] = "C:\\weft.log";
    RunResult run = RunProgram(c.program, c.args, options);
    EXPECT_EQ(run.exitCode, c.exitCode) << c.program;
    EXPECT_EQ(AfterHeader(drive.Read("weft.log"), c.program, "C:\\site"), c.messages)
        << c.program << "\n" << drive.Read("weft.log");
  }
}
