#include "cmdline/cmdline.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/testing/test_support.h"

namespace {

using Args = std::vector<std::string>;

const std::string kMark(1, kSwitchMark);

struct SplitCase {
  const char* line;
  int flags;
  const char* switches;
  Args args;
  bool complete;
};

// Words, quotes and switch marks, without wildcards.
const SplitCase kSplitCases[] = {
    {"", 0, "/", {}, true},
    {"prog", 0, "/", {"prog"}, true},
    {"/bin/prog a  b\tc", 0, "/", {"/bin/prog", "a", "b", "c"}, true},
    {"prog /dil -x", 0, "/", {"prog", kMark + "dil", "-x"}, true},
    {"prog /a -b", 0, "/-", {"prog", kMark + "a", kMark + "b"}, true},
    {"prog a/b", 0, "/", {"prog", "a/b"}, true},
    {"prog \"my file.msg\" x", 0, "/", {"prog", "my file.msg", "x"}, true},
    {"prog a\"b c\"d", 0, "/", {"prog", "ab cd"}, true},
    {"prog \"\" x", 0, "/", {"prog", "", "x"}, true},
    {"prog \"/Y\"", 0, "/", {"prog", "/Y"}, true},
    {"prog \"/N:a b\"", 0, "/", {"prog", "/N:a b"}, true},
    {"prog /\"N:a b\"", 0, "/", {"prog", kMark + "N:a b"}, true},
    {"prog \"a b", 0, "/", {"prog", "a b"}, false},
    {"prog \"a\"\"b\"", 0, "/", {"prog", "ab"}, true},
    {"prog \"a\"\"b\"", kArgDoubledQuote, "/", {"prog", "a\"b"}, true},
    {"prog \"a\"\" b\"", kArgDoubledQuote, "/", {"prog", "a\" b"}, true},
    {"prog \"a b\"", kArgKeepQuotes, "/", {"prog", "\"a b\""}, true},
    // A program's own start-up rules: backslashes escape quotes two by two,
    // only blanks and tabs separate.
    {"prog \\\"a b", kArgProgramArgv, "/", {"prog", "\"a", "b"}, true},
    {"prog a\\\\\"b c\"", kArgProgramArgv, "/", {"prog", "a\\b c"}, true},
    {"prog a\\b\\\\c d\\", kArgProgramArgv, "/", {"prog", "a\\b\\\\c", "d\\"}, true},
    {"prog \"a \\\"q\\\" b\"", kArgProgramArgv, "/", {"prog", "a \"q\" b"}, true},
    {"prog \"a\"\\\\\"b\"", kArgProgramArgv, "/", {"prog", "a\\b"}, true},
    {"prog a\nb\vc", kArgProgramArgv, "/", {"prog", "a\nb\vc"}, true},
    {"prog a\nb", 0, "/", {"prog", "a", "b"}, true},
    {"prog \"a \"\"q\"\" b\"", kArgProgramArgv | kArgDoubledQuote, "/", {"prog", "a \"q\" b"}, true},
    {"prog \\\\\"a", kArgProgramArgv, "/", {"prog", "\\a"}, false},
};

TEST(SplitCommandLine, WordsQuotesAndSwitches) {
  for (const SplitCase& c : kSplitCases) {
    Args args;
    EXPECT_EQ(SplitCommandLine(c.line, c.flags, c.switches, &args), c.complete) << c.line;
    EXPECT_EQ(args, c.args) << c.line << " flags " << c.flags;
  }
}

TEST(SplitCommandLine, UnmatchedQuoteIsFatalWhenAsked) {
  Args args;
  ArgumentStop stop;
  EXPECT_FALSE(SplitCommandLine("prog \"a", kArgFatalErrors, "/", &args, &stop));
  EXPECT_TRUE(stop.stopped);
  EXPECT_EQ(stop.message, "Unmatched \"\n");
  EXPECT_EQ(stop.status, 1);
}

// The words after the program's name, split by taglist's rules; `complete`:
// whether the quotes are expected to match.
std::vector<CommandWord> WordsAfterName(const char* line, bool complete) {
  std::vector<CommandWord> words;
  EXPECT_EQ(SplitCommandWords(line, kArgDoubledQuote, "/-", &words), complete) << line;
  if (!words.empty()) words.erase(words.begin());
  return words;
}

// Words with their switch characters, as taglist reads them: a quote opened
// right after a closing one stands for a quote.
TEST(SplitCommandWords, WordsKeepTheirSwitchCharacter) {
  struct Case {
    const char* line;
    std::vector<std::string> words;
    std::vector<bool> options;
  } cases[] = {
      {"taglist", {}, {}},
      {"\"C:\\my bin\\taglist\" /I", {"/I"}, {true}},
      {"taglist  a\tb ", {"a", "b"}, {false, false}},
      {"taglist \"a b\" -x", {"a b", "-x"}, {false, true}},
      {"taglist \"a \"\"q\"\" b\"", {"a \"q\" b"}, {false}},
      {"taglist a\"\"b", {"ab"}, {false}},
      {"taglist \"\"\"\"", {"\""}, {false}},
      {"taglist \"/I\"", {"/I"}, {false}},
      {"taglist x\"y z\"w", {"xy zw"}, {false}},
      {"taglist \"\"", {""}, {false}},
  };
  for (const Case& c : cases) {
    std::vector<CommandWord> words = WordsAfterName(c.line, true);
    ASSERT_EQ(words.size(), c.words.size()) << c.line;
    for (size_t i = 0; i < words.size(); ++i) {
      EXPECT_EQ(words[i].text, c.words[i]) << c.line;
      EXPECT_EQ(words[i].isOption, c.options[i]) << c.line;
    }
  }
  for (const char* line : {"taglist \"a", "taglist a\"\"\"", "taglist \"a\" \"b c"}) {
    WordsAfterName(line, false);
  }
}

class Wildcards : public ::testing::Test {
 protected:
  void SetUp() override {
    drive.Write("b.MSG", "b");
    drive.Write("a.msg", "a");
    drive.Write("notes.txt", "n");
    drive.Write(".hidden.msg", "h");
    drive.MakeDir("dir.msg");
    drive.Write("sub dir/x.msg", "x");
    drive.MakeDir("only");
    drive.MakeDir("only/d.msg");
    drive.Write("only/.h.msg", "h");
  }
  Args Split(const std::string& words, int flags) {
    Args args;
    SplitCommandLine(("prog " + words).c_str(), flags, "/", &args);
    args.erase(args.begin());
    return args;
  }
  TempDrive drive;
};

TEST_F(Wildcards, PatternsStandForTheirFilesInListingOrder) {
  struct Case {
    const char* words;
    int flags;
    Args args;
  } cases[] = {
      {"*.msg", 0x21, {"a.msg", "b.MSG"}},
      {"?.MSG notes.txt", 0x21, {"a.msg", "b.MSG", "notes.txt"}},
      {"\"sub dir\\*.msg\"", 0x21, {"sub dir\\x.msg"}},
      {"\"C:/sub dir/*\"", 0x21, {"C:/sub dir/x.msg"}},
      {"C:*.txt", 0x21, {"C:notes.txt"}},
      // A quoted word is a pattern only when every word is expanded.
      {"\"*.msg\"", 0x10, {"*.msg"}},
      {"*.msg", 0x10, {"a.msg", "b.MSG"}},
      {"*.msg", 0, {"*.msg"}},
      // Directories and hidden files are no match; the pattern stays.
      {"only\\*.msg", 0x21, {"only\\*.msg"}},
      {"*.none", 0x21, {"*.none"}},
      {"*.none x", 0x61, {"x"}},
      // A switch is never expanded.
      {"/*", 0x21, {kMark + "*"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Split(c.words, c.flags), c.args) << c.words;
  }
}

TEST_F(Wildcards, HelpQuestionIsNeverAPattern) {
  drive.Write("x", "");
  Args args;
  EXPECT_EQ(ExpandWildcards(&args, "/?", 0x21), 1);
  EXPECT_EQ(ExpandWildcards(&args, "*.none", 0x40), 0);
  EXPECT_EQ(ExpandWildcards(&args, "?", 0x21), 1);
  EXPECT_EQ(args, (Args{"/?", "x"}));
}

TEST_F(Wildcards, NoMatchIsFatalWhenAsked) {
  Args args;
  ArgumentStop stop;
  EXPECT_EQ(ExpandWildcards(&args, "*.none", 0x02, &stop), 0);
  EXPECT_TRUE(stop.stopped);
  EXPECT_EQ(stop.message, "File not found - *.none\n");
  EXPECT_EQ(stop.status, 0);
  EXPECT_EQ(args, Args{});
}

TEST_F(Wildcards, PathsOf260CharactersOrMore) {
  std::string dir(200, 'd');
  std::string longName(59, 'n');  // 200 + 1 + 59 = 260
  drive.Write(dir + "/" + longName, "");
  drive.Write(dir + "/short", "");
  EXPECT_EQ(Split(dir + "\\*", 0x20), (Args{dir + "\\short"}));
  Args args;
  ArgumentStop stop;
  ExpandWildcards(&args, dir + "\\*", 0x21, &stop);
  EXPECT_TRUE(stop.stopped);
  EXPECT_EQ(stop.message, "Path too long\n");
  EXPECT_EQ(stop.status, 1);
}

}  // namespace
