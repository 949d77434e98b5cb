#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/assert.h"
#include "platform/env.h"

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

TEST(Assertion, PrintsTheMessageAndExitsWithCodeThree) {
  EXPECT_EXIT(WEFT_ASSERT(1 + 1 == 3), ::testing::ExitedWithCode(3),
              "^Assertion failed: 1 \\+ 1 == 3, file .*env_test\\.cpp, line [0-9]+\n$");
  WEFT_ASSERT(1 + 1 == 2);
}

}  // namespace
