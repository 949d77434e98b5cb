// The command interpreter as batch files use it: each case is a batch file
// run through RunCommandLine in a folder C:\w of a temporary drive, with its
// standard input, output and error output redirected to files.
#include "batch/batch_interpreter.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/process.h"
#include "platform/testing/test_support.h"

namespace {

struct Outcome {
  std::string out;
  std::string err;
  int code = 0;
};

using Files = std::vector<std::pair<std::string, std::string>>;

// A drive with PATH=C:\bin and "show", a script that prints its arguments
// one a line in brackets; the batch files run in C:\w.
class Interpreter : public ::testing::Test {
 protected:
  void SetUp() override {
    Keep("PATH", "C:\\bin");
    Keep("COMSPEC", nullptr);
    drive_.Write("bin/show", "#!/bin/sh\nfor a in \"$@\"; do echo \"[$a]\"; done\n");
    chmod(drive_.Host("bin/show").c_str(), 0755);
    drive_.MakeDir("w");
  }
  void Keep(const std::string& name, const char* value) { environment_.Set(name, value); }
  Outcome Run(const std::string& batch, const std::string& input = "",
              const std::vector<std::string>& environment = {}) {
    drive_.Write("t.bat", batch);
    drive_.Write("in.txt", input);
    ProcessOptions options;
    options.workingDir = "C:\\w";
    options.environment = environment;
    Outcome outcome;
    outcome.code = RunCommandLine("C:\\t.bat <C:\\in.txt >C:\\out.txt 2>C:\\err.txt", options);
    outcome.out = drive_.Read("out.txt");
    outcome.err = drive_.Read("err.txt");
    return outcome;
  }
  // Everything below C:\w: files with their contents, folders as "name/".
  Files Tree(const std::string& relative = "") {
    Files entries;
    std::string base = drive_.Host("w") + "/";
    DIR* dir = opendir((base + relative).c_str());
    while (dirent* entry = dir ? readdir(dir) : nullptr) {
      std::string name = entry->d_name;
      if (name == "." || name == "..") continue;
      std::string path = relative.empty() ? name : relative + "/" + name;
      struct stat st;
      lstat((base + path).c_str(), &st);
      if (!S_ISDIR(st.st_mode)) {
        entries.push_back({path, drive_.Read("w/" + path)});
        continue;
      }
      entries.push_back({path + "/", ""});
      Files below = Tree(path);
      entries.insert(entries.end(), below.begin(), below.end());
    }
    if (dir) closedir(dir);
    std::sort(entries.begin(), entries.end());
    return entries;
  }
  TempDrive drive_;
  ScopedEnvironment environment_;  // put back before the drive goes
};

const char kNotRecognised[] =
    "'nothing-here' is not recognized as an internal or external command,\n"
    "operable program or batch file.\n";

struct LanguageCase {
  const char* batch;
  const char* input;
  std::string out;
  std::string err;
  int code;
};

TEST_F(Interpreter, OperatorsLabelsExpansionAndErrorLevels) {
  const LanguageCase cases[] = {
      {"@echo off\necho a & echo b\n", "", "a\nb\n", "", 0},
      {"@echo off\nmd x && echo made\nmd x && echo again\nmd x || echo failed\n", "", "made\nfailed\n",
       "A subdirectory or file x already exists.\nA subdirectory or file x already exists.\n", 1},
      // %ERRORLEVEL% is read when its command runs, after the one before it.
      {"@echo off\nnothing-here || echo missing %ERRORLEVEL%\n", "", "missing 9009\n", kNotRecognised, 9009},
      {"@echo off\ngoto two\n:one\necho one\ngoto :eof\n:two\necho two & goto one & echo never\n", "",
       "two\none\n", "", 0},
      {"@echo off\ngoto nowhere\necho never\n", "", "",
       "The system cannot find the batch label specified - nowhere\n", 1},
      {"@echo off\ncall :sub x \"y z\"\necho back %ERRORLEVEL%\ngoto :eof\n:SUB\necho in %0 %1 %2\nexit /b 4\n",
       "", "in :sub x \"y z\"\nback 4\n", "", 4},
      {"@echo off\nset \"Q=a & b\"\necho [%Q%] [%q%]\nset Q=\necho [%Q%]\n", "", "[a & b] [a & b]\n[]\n", "", 0},
      {"@echo off\necho 100%% %0 [%9] [%NOPE%] 50%\n", "", "100% C:\\t.bat [] [] 50\n", "", 0},
      {"@echo off\nif errorlevel 1 echo one\nnothing-here 2>nul\nif errorlevel 9009 echo big\n"
       "if not errorlevel 9010 echo below\nexit /b 0\n",
       "", "big\nbelow\n", "", 0},
      {"@echo off\necho out & nothing-here 2>&1\n", "", std::string("out\n") + kNotRecognised, "",
       9009},
      {"@echo off\necho one>a.txt\necho two >>a.txt\ntype a.txt\ntype a.txt >nul\n", "", "one\ntwo\n", "", 0},
      {"@echo off\nshow \"a b\" c^&d \"e&f\" >s.txt\ntype s.txt\n", "", "[a b]\n[c&d]\n[e&f]\n", "", 0},
      {"echo hi\n@echo off\necho quiet\n", "", "\nC:\\w>echo hi\nhi\nquiet\n", "", 0},
      {"@echo off\necho.\necho\necho. x\ncd..\ncd\necho %CD%\n", "", "\nECHO is off.\n x\nC:\\\nC:\\\n", "", 0},
      {"@echo off\npause\necho after\n", "k", "Press any key to continue . . . \nafter\n", "", 0},
      {"@echo off\nexit 7\necho never\n", "", "", "", 7},
      {"@echo off\nset /a x=1\n", "", "", "The /A and /P switches of set are not supported.\n", 1},
      {"@echo off\necho before\necho a | sort\necho after\n", "", "before\n",
       "'|' (a pipe) is not supported; redirect to a file instead.\n", 1},
      // A batch file that calls itself for ever ends with a message.
      {"@echo off\ncall :again\n:again\ncall :again\n", "", "", "Batch recursion exceeds stack limits.\n", 1},
      {"@echo off\nC:\\t.bat\n", "", "", "Batch recursion exceeds stack limits.\n", 1},
      {"@echo off\nif \"%NOPE%\"==\"\" echo empty\nif not a==b echo differ\nif exist ..\\t.bat echo there\n"
       "if exist *.none echo none\nif exist ..\\*.bat echo batch\n",
       "", "empty\ndiffer\nthere\nbatch\n", "", 0},
  };
  for (const LanguageCase& c : cases) {
    Outcome outcome = Run(c.batch, c.input);
    EXPECT_EQ(outcome.out, c.out) << c.batch;
    EXPECT_EQ(outcome.err, c.err) << c.batch;
    EXPECT_EQ(outcome.code, c.code) << c.batch;
  }
}

// A value holds '>', '&', '|' and quotes: it is written out, compared and
// used as a file name as it stands, and never runs or redirects anything.
TEST_F(Interpreter, ExpandedValuesStayData) {
  const char kValue[] = "x\" & echo injected > pwned.txt & \"x | y < z";
  drive_.Write("w/a&b.txt", "in a&b\n");
  Outcome outcome = Run(
      "@echo off\necho %Q%\nif \"%Q%\"==\"x\" echo same\necho [%Q%]>out1.txt\nset R=%Q%\necho %R%>>out1.txt\n"
      "type \"%F%\"\n",
      "", {std::string("Q=") + kValue, "F=a&b.txt"});
  EXPECT_EQ(outcome.out, std::string(kValue) + "\nin a&b\n");
  EXPECT_EQ(outcome.err, "");
  EXPECT_EQ(drive_.Read("w/out1.txt"), "[" + std::string(kValue) + "]\n" + kValue + "\n");
  EXPECT_FALSE(drive_.Exists("w/pwned.txt"));
}

struct FileCase {
  const char* batch;
  const char* input;
  const char* out;
  const char* err;
  int code;
  Files after;  // C:\w afterwards; before: a.txt "A", b.txt "B", sub\c.txt "C"
};

TEST_F(Interpreter, FileCommands) {
  const Files kBefore = {{"a.txt", "A"}, {"b.txt", "B"}, {"sub/", ""}, {"sub/c.txt", "C"}};
  const FileCase cases[] = {
      {"copy a.txt new.txt", "", "        1 file(s) copied.\n", "", 0,
       {{"a.txt", "A"}, {"b.txt", "B"}, {"new.txt", "A"}, {"sub/", ""}, {"sub/c.txt", "C"}}},
      {"copy *.TXT sub", "", "a.txt\nb.txt\n        2 file(s) copied.\n", "", 0,
       {{"a.txt", "A"}, {"b.txt", "B"}, {"sub/", ""}, {"sub/a.txt", "A"}, {"sub/b.txt", "B"}, {"sub/c.txt", "C"}}},
      {"copy /-Y a.txt b.txt", "n", "Overwrite b.txt? (Yes/No/All): No\n        0 file(s) copied.\n", "", 0, kBefore},
      {"copy a.txt b.txt /-Y", "xy", "Overwrite b.txt? (Yes/No/All): Yes\n        1 file(s) copied.\n", "", 0,
       {{"a.txt", "A"}, {"b.txt", "A"}, {"sub/", ""}, {"sub/c.txt", "C"}}},
      // In a batch file copy overwrites without asking unless told to ask.
      {"copy a.txt b.txt", "", "        1 file(s) copied.\n", "", 0,
       {{"a.txt", "A"}, {"b.txt", "A"}, {"sub/", ""}, {"sub/c.txt", "C"}}},
      {"copy /-Y a.txt b.txt", "", "Overwrite b.txt? (Yes/No/All): No\n        0 file(s) copied.\n", "", 0, kBefore},
      {"copy sub\\c.txt", "", "        1 file(s) copied.\n", "", 0,
       {{"a.txt", "A"}, {"b.txt", "B"}, {"c.txt", "C"}, {"sub/", ""}, {"sub/c.txt", "C"}}},
      {"copy missing.txt x", "", "        0 file(s) copied.\n", "The system cannot find the file specified.\n", 1,
       kBefore},
      {"copy a.txt A.TXT", "", "        0 file(s) copied.\n", "The file cannot be copied onto itself.\n", 1, kBefore},
      {"copy *.txt all.dat", "", "a.txt\nb.txt\n        1 file(s) copied.\n", "", 0,
       {{"a.txt", "A"}, {"all.dat", "AB"}, {"b.txt", "B"}, {"sub/", ""}, {"sub/c.txt", "C"}}},
      {"copy *.txt *.bak", "", "a.txt\nb.txt\n        2 file(s) copied.\n", "", 0,
       {{"a.bak", "A"}, {"a.txt", "A"}, {"b.bak", "B"}, {"b.txt", "B"}, {"sub/", ""}, {"sub/c.txt", "C"}}},
      {"copy /x a.txt b.txt", "", "", "Invalid switch - /x\n", 1, kBefore},
      {"move a.txt sub", "", "        1 file(s) moved.\n", "", 0,
       {{"b.txt", "B"}, {"sub/", ""}, {"sub/a.txt", "A"}, {"sub/c.txt", "C"}}},
      {"move /-Y b.txt sub\\c.txt", "y", "Overwrite sub\\c.txt? (Yes/No/All): Yes\n        1 file(s) moved.\n", "", 0,
       {{"a.txt", "A"}, {"sub/", ""}, {"sub/c.txt", "B"}}},
      {"copy *.txt sub >nul\nmove /-Y *.txt sub", "a",
       "a.txt\nOverwrite sub\\a.txt? (Yes/No/All): All\nb.txt\n        2 file(s) moved.\n", "", 0,
       {{"sub/", ""}, {"sub/a.txt", "A"}, {"sub/b.txt", "B"}, {"sub/c.txt", "C"}}},
      {"move sub other", "", "        1 dir(s) moved.\n", "", 0,
       {{"a.txt", "A"}, {"b.txt", "B"}, {"other/", ""}, {"other/c.txt", "C"}}},
      {"move *.txt one.txt", "", "", "Cannot move multiple files to a single file.\n", 1, kBefore},
      {"del a.txt & del *.TXT", "", "", "", 0, {{"sub/", ""}, {"sub/c.txt", "C"}}},
      {"del nope.txt", "", "", "Could Not Find C:\\w\\nope.txt\n", 1, kBefore},
      {"del sub", "y", "C:\\w\\sub\\*, Are you sure (Y/N)? Yes\n", "", 0,
       {{"a.txt", "A"}, {"b.txt", "B"}, {"sub/", ""}}},
      {"del *", "n", "C:\\w\\*, Are you sure (Y/N)? No\n", "", 0, kBefore},
      {"del /q sub\\*.*", "", "", "", 0, {{"a.txt", "A"}, {"b.txt", "B"}, {"sub/", ""}}},
      {"del /s c.txt", "", "Deleted file - C:\\w\\sub\\c.txt\n", "", 0, {{"a.txt", "A"}, {"b.txt", "B"}, {"sub/", ""}}},
      {"md x\\y\\z \"s p\"", "", "", "", 0,
       {{"a.txt", "A"}, {"b.txt", "B"}, {"s p/", ""}, {"sub/", ""}, {"sub/c.txt", "C"}, {"x/", ""}, {"x/y/", ""},
        {"x/y/z/", ""}}},
      {"mkdir SUB", "", "", "A subdirectory or file SUB already exists.\n", 1, kBefore},
      {"rd sub", "", "", "The directory is not empty.\n", 1, kBefore},
      {"rd /s sub", "n", "sub, Are you sure (Y/N)? No\n", "", 0, kBefore},
      {"rmdir /s /q sub", "", "", "", 0, {{"a.txt", "A"}, {"b.txt", "B"}}},
      {"rd a.txt & rd nope", "", "", "The directory name is invalid.\nThe system cannot find the file specified.\n", 1,
       kBefore},
      {"ren a.txt z.txt", "", "", "", 0, {{"b.txt", "B"}, {"sub/", ""}, {"sub/c.txt", "C"}, {"z.txt", "A"}}},
      {"rename *.txt *.bak", "", "", "", 0, {{"a.bak", "A"}, {"b.bak", "B"}, {"sub/", ""}, {"sub/c.txt", "C"}}},
      {"ren a.txt b.txt", "", "", "A duplicate file name exists, or the file cannot be found.\n", 1, kBefore},
      {"ren a.txt sub\\z.txt", "", "", "The syntax of the command is incorrect.\n", 1, kBefore},
      {"type a.txt b.txt sub\\c.txt", "", "ABC", "", 0, kBefore},
      {"type *.txt", "", "AB", "\na.txt\n\n\n\nb.txt\n\n\n", 0, kBefore},
      {"type nope", "", "", "The system cannot find the file specified.\n", 1, kBefore},
  };
  for (const FileCase& c : cases) {
    drive_.Write("w/a.txt", "A");
    drive_.Write("w/b.txt", "B");
    drive_.Write("w/sub/c.txt", "C");
    Outcome outcome = Run(std::string("@echo off\n") + c.batch + "\n", c.input);
    EXPECT_EQ(outcome.out, c.out) << c.batch;
    EXPECT_EQ(outcome.err, c.err) << c.batch;
    EXPECT_EQ(outcome.code, c.code) << c.batch;
    EXPECT_EQ(Tree(), c.after) << c.batch;
    Run("@echo off\nrd /s /q C:\\w\nmd C:\\w\n");
  }
}

TEST_F(Interpreter, WildcardsFollowTheWindowsRules) {
  drive_.Write("w/noext", "N");
  drive_.Write("w/Photo.JPG", "P");
  drive_.Write("w/.hidden", "H");
  drive_.MakeDir("w/to");
  Outcome outcome = Run("@echo off\ncopy *.* to\ncopy p?oto.jpg to\\one.jpg\n");
  EXPECT_EQ(outcome.out, "noext\nPhoto.JPG\n        2 file(s) copied.\nPhoto.JPG\n        1 file(s) copied.\n");
  EXPECT_EQ(Tree("to"), (Files{{"to/Photo.JPG", "P"}, {"to/noext", "N"}, {"to/one.jpg", "P"}}));
}

TEST_F(Interpreter, OverlongLinesAreRefused) {
  std::string line = "echo " + std::string(8186, 'x');
  Outcome outcome = Run("@echo off\n" + line + "\n" + line + "x & echo ran\necho next\n");
  EXPECT_EQ(outcome.out, line.substr(5) + "\n");
  EXPECT_EQ(outcome.err, "The input line is too long.\n");
  EXPECT_EQ(outcome.code, 1);
}

TEST_F(Interpreter, ReadOnlyFilesNeedForce) {
  drive_.Write("w/ro.txt", "R");
  chmod(drive_.Host("w/ro.txt").c_str(), 0444);
  Outcome outcome = Run(
      "@echo off\necho x >ro.txt\necho y >>ro.txt\ndel ro.txt\nif exist ro.txt type ro.txt\ndel /f ro.txt\n"
      "if not exist ro.txt echo gone\n");
  EXPECT_EQ(outcome.out, "Rgone\n");
  EXPECT_EQ(outcome.err, "Access is denied.\nAccess is denied.\nro.txt\nAccess is denied.\n");
}

// rd /s removes a symbolic link to a folder, never what the link shows.
TEST_F(Interpreter, RemovingATreeNeverFollowsLinks) {
  drive_.Write("keep/precious.txt", "P");
  drive_.Write("w/tree/a/b.txt", "B");
  ASSERT_EQ(symlink(drive_.Host("keep").c_str(), drive_.Host("w/tree/a/link").c_str()), 0);
  ASSERT_EQ(symlink(drive_.Host("keep").c_str(), drive_.Host("w/top").c_str()), 0);
  Outcome outcome = Run("@echo off\nrd /s /q tree\nrd top\n");
  EXPECT_EQ(outcome.err, "");
  EXPECT_EQ(Tree(), Files{});
  EXPECT_EQ(drive_.Read("keep/precious.txt"), "P");
}

// A redirection names a file: a FIFO or a device (but NUL), also through a
// link, is refused at once with a message, so nothing waits for a reader or
// a writer that never comes, nor reads a device without end; the line goes
// on as after any redirection that failed.
TEST_F(Interpreter, RedirectionsRefuseFifosAndDevices) {
  drive_.Write("w/a.txt", "A");
  ASSERT_EQ(mkfifo(drive_.Host("w/pipe").c_str(), 0644), 0);
  drive_.Link("w/to-pipe", "pipe");
  Keep("WEFTDRIVES", ("C=" + drive_.Host() + ";D=/dev").c_str());
  const std::string kRefused = "The system cannot open the file (not a regular file).\n";
  const struct Case {
    const char* line;
    const char* out;
    std::string err;
    int code;
  } cases[] = {
      {"echo x > pipe", "", kRefused, 1},
      {"echo x >> pipe & echo after", "after\n", kRefused, 1},
      {"type a.txt > to-pipe || echo refused", "refused\n", kRefused, 1},
      {"type a.txt < pipe", "", kRefused, 1},
      {"show x 2> pipe", "", kRefused, 1},
      {"echo x > D:\\full", "", kRefused, 1},
      {"type a.txt < D:\\zero", "", kRefused, 1},
      {"echo x > nul & type a.txt < nul", "A", "", 0},
  };
  for (const Case& c : cases) {
    drive_.Write("t.bat", std::string("@echo off\n") + c.line + "\n");
    ProcessOptions options;
    options.workingDir = "C:\\w";
    options.timeLimitMs = 20000;
    int code = RunCommandLine("C:\\t.bat <nul >C:\\out.txt 2>C:\\err.txt", options);
    EXPECT_EQ(code, c.code) << c.line;
    EXPECT_EQ(drive_.Read("out.txt"), c.out) << c.line;
    EXPECT_EQ(drive_.Read("err.txt"), c.err) << c.line;
  }
  EXPECT_EQ(drive_.Read("w/a.txt"), "A");
}

TEST(SplitArguments, WindowsRules) {
  struct Case {
    const char* text;
    std::vector<std::string> args;
  } cases[] = {
      {"", {}},
      {"  a  b\tc ", {"a", "b", "c"}},
      {"\"a b\" c", {"a b", "c"}},
      {"a\"b c\"d", {"ab cd"}},
      {"\\\"a", {"\"a"}},
      {"a\\\\\"b c\"", {"a\\b c"}},
      {"a\\b\\\\c", {"a\\b\\\\c"}},
      {"\"a \"\"q\"\" b\"", {"a \"q\" b"}},
      {"\"\"", {""}},
  };
  for (const Case& c : cases) EXPECT_EQ(weft_batch::SplitArguments(c.text), c.args) << c.text;
}

// Arguments quoted by the C runtime's rules, as a command line hands them to
// a program, come back whole from the program's splitter, however many
// quotes and backslashes they hold.
TEST(SplitArguments, GivesBackRuntimeQuotedArguments) {
  const std::vector<std::string> arguments = {
      "plain", "", "two words", "tab\there", "say \"hi\"", "a\"b", "C:\\dir with space\\",
      "back\\\\\"quote", "a\\b c", "\\\\server\\share", "\"", "\\", "\\\"", "100% & <x>",
  };
  std::string line;
  for (const std::string& argument : arguments) line += (line.empty() ? "" : " ") + QuoteArgument(argument);
  EXPECT_EQ(weft_batch::SplitArguments(line), arguments) << line;
  for (const std::string& argument : arguments) {
    std::vector<std::string> one = {argument};
    EXPECT_EQ(weft_batch::SplitArguments("  " + QuoteArgument(argument) + "\t"), one) << argument;
  }
}

}  // namespace
