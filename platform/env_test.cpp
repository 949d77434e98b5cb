#include <gtest/gtest.h>
#include <limits.h>
#include <stdlib.h>

#include <cstdlib>
#include <string>

#include "platform/assert.h"
#include "platform/drives.h"
#include "platform/env.h"
#include "platform/testing/test_support.h"

namespace {

// Sets variables for one test and removes them after.
class Environment : public ::testing::Test {
 protected:
  void Set(const char* name, const char* value) {
    setenv(name, value, 1);
    names_.push_back(name);
  }
  void TearDown() override {
    for (const auto& name : names_) unsetenv(name.c_str());
  }
  std::vector<std::string> names_;
};

TEST_F(Environment, GetEnvTriesExactNameThenIgnoresCase) {
  Set("WeftTestPath", "mixed");
  EXPECT_STREQ(GetEnv("WeftTestPath"), "mixed");
  EXPECT_STREQ(GetEnv("WEFTTESTPATH"), "mixed");
  EXPECT_STREQ(GetEnv("wefttestpath"), "mixed");
  EXPECT_EQ(GetEnv("WeftTestPat"), nullptr);
  EXPECT_EQ(GetEnv(""), nullptr);
  Set("WEFTTESTPATH", "upper");
  EXPECT_STREQ(GetEnv("WEFTTESTPATH"), "upper");
  EXPECT_STREQ(GetEnv("WeftTestPath"), "mixed");
}

TEST_F(Environment, SetEnvReplacesTheVariableWhateverTheCase) {
  Set("WeftTestVar", "one");
  ASSERT_TRUE(SetEnv("WEFTTESTVAR", "two"));
  EXPECT_STREQ(getenv("WeftTestVar"), "two");
  EXPECT_EQ(getenv("WEFTTESTVAR"), nullptr);
  ASSERT_TRUE(SetEnv("wefttestvar", nullptr));
  EXPECT_EQ(GetEnv("WeftTestVar"), nullptr);
  ASSERT_TRUE(SetEnv("WeftTestNew", "x"));
  names_.push_back("WeftTestNew");
  EXPECT_STREQ(GetEnv("WEFTTESTNEW"), "x");
  EXPECT_FALSE(SetEnv("A=B", "x"));
  EXPECT_FALSE(SetEnv("", "x"));
}

struct ExpandCase {
  const char* text;
  const char* expanded;
};

// With WEFTX=ex, weftEmpty="" and WEFTPCT="%WEFTX%".
const ExpandCase kExpandCases[] = {
    {"%WEFTX%", "ex"},
    {"a%weftx%b", "aexb"},
    {"%WeFtX%%WEFTX%", "exex"},
    {"%WEFTNONE%", "%WEFTNONE%"},
    {"%WEFTNONE%WEFTX%", "%WEFTNONEex"},  // the closing '%' opens the next name
    {"%WEFTNONE%%WEFTX%", "%WEFTNONE%ex"},
    {"100%", "100%"},
    {"%%", "%%"},
    {"50% of %WEFTX%", "50% of ex"},
    {"[%WEFTEMPTY%]", "[]"},
    {"%WEFTPCT%", "%WEFTX%"},  // values are not expanded again
    {"", ""},
    {"plain", "plain"},
};

TEST_F(Environment, ExpansionTable) {
  Set("WEFTX", "ex");
  Set("weftEmpty", "");
  Set("WEFTPCT", "%WEFTX%");
  for (const auto& c : kExpandCases) {
    EXPECT_EQ(ExpandEnvironmentString(c.text), c.expanded) << c.text;
    char buffer[64];
    EXPECT_EQ(ExpandEnvironment(c.text, buffer, sizeof buffer), strlen(c.expanded) + 1) << c.text;
    EXPECT_STREQ(buffer, c.expanded);
  }
}

TEST_F(Environment, ExpansionIntoSmallBufferIsCutAndTerminated) {
  Set("WEFTX", "expanded");
  char buffer[5] = "zzzz";
  EXPECT_EQ(ExpandEnvironment("<%WEFTX%>", buffer, sizeof buffer), 11u);
  EXPECT_STREQ(buffer, "<exp");
  EXPECT_EQ(ExpandEnvironment("<%WEFTX%>", nullptr, 0), 11u);
}

struct QuoteCase {
  const char* argument;
  const char* quoted;
};

const QuoteCase kQuoteCases[] = {
    {"plain", "plain"},
    {"C:\\dir\\file", "C:\\dir\\file"},
    {"", "\"\""},
    {"two words", "\"two words\""},
    {"tab\there", "\"tab\there\""},
    {"say \"hi\"", "\"say \\\"hi\\\"\""},
    {"a\"b", "\"a\\\"b\""},
    {"C:\\dir with space\\", "\"C:\\dir with space\\\\\""},
    {"back\\\\\"quote", "\"back\\\\\\\\\\\"quote\""},
    {"a\\b c", "\"a\\b c\""},
};

TEST(CommandLine, QuotingTable) {
  for (const auto& c : kQuoteCases) EXPECT_EQ(QuoteArgument(c.argument), c.quoted) << c.argument;
}

TEST(CommandLine, RebuiltFromTheArguments) {
  std::string line = GetCommandLineText();
  EXPECT_NE(line.find("weftplatform_tests"), std::string::npos);
  EXPECT_EQ(line, GetCommandLineText());
}

// --- The program's own file ------------------------------------------------------

// The folder of this test program, symbolic links resolved, and its name.
std::string OwnFolder() {
  char real[PATH_MAX];
  std::string exe = realpath("/proc/self/exe", real) ? real : "";
  return exe.substr(0, exe.rfind('/'));
}
const char kOwnName[] = "weftplatform_tests";

std::string ProgramFile() {
  char buffer[kMaxPath + 1];
  return GetProgramFile(buffer, sizeof buffer) ? buffer : "";
}
std::string MappedProgramFile() {
  char buffer[kMaxPath + 1];
  return GetMappedProgramFile(buffer, sizeof buffer) ? buffer : "";
}

TEST(ProgramFile, OnADriveOfTheMap) {
  TempDrive drive;
  struct Case {
    std::string drives;  // WEFTDRIVES; "" unset
    std::string expected;
  } const cases[] = {
      {"", "C:" + OwnFolder() + "/" + kOwnName},
      {"C=" + drive.Host() + ";D=" + OwnFolder(), std::string("D:\\") + kOwnName},
  };
  for (const Case& c : cases) {
    ScopedEnvironment environment;
    environment.Set("WEFTDRIVES", c.drives.empty() ? nullptr : c.drives.c_str());
    std::string expected = c.expected;
    for (char& ch : expected) ch = ch == '/' ? '\\' : ch;
    EXPECT_EQ(ProgramFile(), expected) << c.drives;
    EXPECT_EQ(MappedProgramFile(), expected) << c.drives;
    const char* drives = getenv("WEFTDRIVES");
    EXPECT_EQ(drives ? drives : "", c.drives) << "no drive is added";
  }
}

TEST(ProgramFile, OffTheMapOnADriveOfItsOwn) {
  TempDrive drive;
  std::string map = "C=" + drive.Host();
  std::string expected = std::string("Z:\\") + kOwnName;
  EXPECT_EQ(ProgramFile(), expected);
  EXPECT_EQ(std::string(getenv("WEFTDRIVES")), map + ";Z=" + OwnFolder());
  std::string host;
  ASSERT_TRUE(HostPath(expected.c_str(), &host));
  EXPECT_EQ(host, OwnFolder() + "/" + kOwnName);
  // Asked again, the same drive answers; none is added.
  EXPECT_EQ(ProgramFile(), expected);
  EXPECT_EQ(std::string(getenv("WEFTDRIVES")), map + ";Z=" + OwnFolder());
  // A drive of its own is never one to write down for later runs.
  EXPECT_EQ(MappedProgramFile(), "");

  // With Z: in use, the next free letter from the end.
  drive.MakeDir("z");
  setenv("WEFTDRIVES", (map + ";Z=" + drive.Host("z")).c_str(), 1);
  EXPECT_EQ(ProgramFile(), std::string("Y:\\") + kOwnName);
  EXPECT_EQ(MappedProgramFile(), "");
}

// C:\bin holds a link to this test program and a file of its own; the
// program is run in C:\.
TEST(ProgramFile, AsTheCommandThatStartedItNamesIt) {
  TempDrive drive;
  drive.Link("bin/tool", OwnFolder() + "/" + kOwnName);
  drive.Write("bin/other", "not this program");
  drive.Link("outside/tool", OwnFolder() + "/" + kOwnName);
  setenv("WEFTDRIVES", ("C=" + drive.Host("bin")).c_str(), 1);
  struct Case {
    std::string argv0;
    std::string expected;
  } const cases[] = {
      {drive.Host("bin/tool"), "C:\\tool"},
      {"C:\\tool", "C:\\tool"},
      {"c:/TOOL", "C:\\TOOL"},
      {"\\tool", "C:\\tool"},
      {"./tool", "C:\\tool"},
      {"tool", ""},  // a bare name names no folder
      {drive.Host("bin/other"), ""},
      {"C:\\other", ""},
      {"C:\\missing", ""},
      {"D:\\tool", ""},
      {"", ""},
      // A link on no mapped drive: its folder gets a drive of its own.
      {drive.Host("outside/tool"), "Z:\\tool"},
  };
  for (const Case& c : cases) {
    drive.Chdir("bin");
    EXPECT_EQ(GetStartedProgramFile(c.argv0.c_str()), c.expected) << c.argv0;
  }
  EXPECT_EQ(GetStartedProgramFile(nullptr), "");
}

TEST(Assertion, PrintsTheMessageAndExitsWithCodeThree) {
  EXPECT_EXIT(WEFT_ASSERT(1 + 1 == 3), ::testing::ExitedWithCode(3),
              "^Assertion failed: 1 \\+ 1 == 3, file .*env_test\\.cpp, line [0-9]+\n$");
  WEFT_ASSERT(1 + 1 == 2);
}

}  // namespace
