#include "programs/unpost/unpost_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cmdline/cmdline.h"

namespace {

struct Parsed {
  SwitchResult result;
  UnpostOptions options;
  char bad = 0;
};

Parsed Read(const char* line) {
  std::vector<std::string> args;
  SplitCommandLine(line, 0, "/", &args);
  std::vector<char*> argv;
  for (auto& arg : args) argv.push_back(arg.data());
  Parsed parsed;
  parsed.result = ReadSwitches(static_cast<int>(argv.size()), argv.data(), &parsed.options, &parsed.bad);
  return parsed;
}

std::string Flags(const UnpostOptions& o) {
  std::string flags;
  const std::pair<char, bool> all[] = {{'A', o.keepHeaders}, {'D', o.deleteSource}, {'G', o.debug},
                                       {'I', o.ignoreErrors}, {'K', o.keepBad},    {'L', o.lax},
                                       {'M', o.mimeForm},     {'S', o.strict},     {'V', o.verbose},
                                       {'Y', o.overwrite}};
  for (auto [letter, on] : all) {
    if (on) flags += letter;
  }
  return flags;
}

TEST(Switches, LettersCombineAndNameTakesTheRest) {
  struct Case {
    const char* line;
    SwitchResult result;
    const char* flags;
    const char* name;
    char bad;
  } cases[] = {
      {"unpost /dil a.msg", SwitchResult::kRun, "DIL", "", 0},
      {"unpost a.msg /Y b.msg /g", SwitchResult::kRun, "GY", "", 0},
      {"unpost /N:out.bin", SwitchResult::kRun, "", "out.bin", 0},
      {"unpost /Nout.bin", SwitchResult::kRun, "", "out.bin", 0},
      {"unpost /NY", SwitchResult::kRun, "", "Y", 0},
      {"unpost /AN::x /K", SwitchResult::kRun, "AK", ":x", 0},
      {"unpost /A /M /S /V", SwitchResult::kRun, "AMSV", "", 0},
      {"unpost /x", SwitchResult::kInvalid, "", "", 'x'},
      {"unpost /D /Ax", SwitchResult::kInvalid, "AD", "", 'x'},
      {"unpost /? a.msg", SwitchResult::kHelp, "", "", 0},
      {"unpost /h /x", SwitchResult::kHelp, "", "", 0},  // reading ends after the help word
      {"unpost /?x", SwitchResult::kInvalid, "", "", 'x'},
      {"unpost \"/x\" a.msg", SwitchResult::kRun, "", "", 0},  // quoted: a file name
  };
  for (const auto& c : cases) {
    Parsed parsed = Read(c.line);
    EXPECT_EQ(parsed.result, c.result) << c.line;
    EXPECT_EQ(Flags(parsed.options), c.flags) << c.line;
    EXPECT_EQ(parsed.options.defaultName, c.name) << c.line;
    EXPECT_EQ(parsed.bad, c.bad) << c.line;
  }
}

}  // namespace
