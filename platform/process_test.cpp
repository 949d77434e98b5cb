#include "platform/process.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <string>
#include <vector>

#include "platform/attributes.h"
#include "platform/drives.h"
#include "platform/env.h"
#include "platform/errors.h"
#include "platform/testing/test_support.h"

namespace {

// A temporary drive C: with a PATH of C:\bin, no COMSPEC, and a script
// "show" that prints its arguments, its folder and the variable SHOWN, one a
// line, and exits with the code in the variable CODE (0 when unset).
class Processes : public ::testing::Test {
 protected:
  void SetUp() override {
    Keep("PATH", "C:\\bin");
    Keep("COMSPEC", nullptr);
    drive_.MakeDir("bin");
    WriteScript("bin/show",
                "#!/bin/sh\nfor a in \"$@\"; do echo \"[$a]\"; done\npwd\necho \"SHOWN=$SHOWN\"\n"
                "exit ${CODE:-0}\n");
  }
  void Keep(const std::string& name, const char* value) { environment_.Set(name, value); }
  void WriteScript(const std::string& relative, const std::string& text) {
    drive_.Write(relative, text);
    chmod(drive_.Host(relative).c_str(), 0755);
  }
  // Runs a command line with standard output in C:\out.txt; gives that text.
  std::string Run(const std::string& line, int* code, ProcessOptions options = {}) {
    options.outputFile = "C:\\out.txt";
    *code = RunCommandLine(line.c_str(), options);
    return drive_.Read("out.txt");
  }
  TempDrive drive_;
  ScopedEnvironment environment_;  // put back before the drive goes
};

TEST_F(Processes, FindProgramSearchesCurrentFolderThenPathWithExtensions) {
  drive_.Write("bin/tool", "x");
  drive_.Write("bin/run.bat", "x");
  drive_.Write("bin/both.exe", "x");
  drive_.Write("bin/both", "x");
  drive_.MakeDir("bin/folder");
  drive_.MakeDir("cur");
  drive_.Write("cur/local.exe", "x");
  drive_.Write("cur/tool.bat", "x");
  drive_.Chdir("cur");
  struct Case {
    const char* name;
    const char* found;  // null: not found
  } cases[] = {
      {"tool", "C:\\cur\\tool.bat"},    // the current folder comes before PATH
      {"tool.exe", "C:\\bin\\tool"},   // the bare file answers for ".exe"
      {"run", "C:\\bin\\run.bat"},
      {"RUN.BAT", "C:\\bin\\RUN.BAT"},  // letter case ignored
      {"local", "C:\\cur\\local.exe"},
      {"both", "C:\\bin\\both"},        // the name as given first
      {"both.exe", "C:\\bin\\both.exe"},
      {"show.exe", "C:\\bin\\show"},    // a built program has no extension
      {"C:\\bin\\tool", "C:\\bin\\tool"},
      {"..\\bin\\run", "C:\\bin\\run.bat"},
      {"folder", nullptr},              // a directory is no program
      {"missing", nullptr},
      {"cur\\local", nullptr},          // a folder part is not searched in PATH
      {"", nullptr},
  };
  for (const Case& c : cases) {
    std::string path;
    bool found = FindProgram(c.name, &path);
    EXPECT_EQ(found, c.found != nullptr) << c.name;
    if (c.found && found) {
      EXPECT_EQ(path, c.found) << c.name;
    }
  }
}

// PATH as a Linux shell has it: host folders separated by ':', also mixed
// with Windows paths separated by ';'. A host folder on no mapped drive is
// searched as well; its programs have no Windows path.
TEST_F(Processes, PathWithHostFolders) {
  char outside[] = "/tmp/weftpath.XXXXXX";
  ASSERT_NE(mkdtemp(outside), nullptr);
  std::string tool = std::string(outside) + "/HostTool";
  FILE* file = fopen(tool.c_str(), "w");
  ASSERT_NE(file, nullptr);
  fputs("#!/bin/sh\necho \"host [$1]\"\n", file);
  fclose(file);
  chmod(tool.c_str(), 0755);
  struct Case {
    std::string path;
    const char* name;
    const char* found;  // FindProgram's answer; null: none
    bool runs;          // RunProgramDirect starts it
  } cases[] = {
      {"/nowhere:" + drive_.Host("bin") + ":/usr/bin", "show", "C:\\bin\\show", true},
      {"C:\\nowhere;/nowhere:" + drive_.Host("bin"), "SHOW.exe", "C:\\bin\\SHOW", true},
      {"/nowhere:C:\\bin", "show", "C:\\bin\\show", true},
      {std::string("/nowhere:") + outside, "hosttool", nullptr, true},
      {"/nowhere", "show", nullptr, false},
  };
  for (const Case& c : cases) {
    Keep("PATH", c.path.c_str());
    std::string path;
    EXPECT_EQ(FindProgram(c.name, &path), c.found != nullptr) << c.path;
    if (c.found) {
      EXPECT_EQ(path, c.found) << c.path;
    }
    ProcessOptions options;
    options.outputFile = "C:\\out.txt";
    int code = RunProgramDirect(c.name, {"x"}, options);
    EXPECT_EQ(code, c.runs ? 0 : kCannotStart) << c.path;
  }
  EXPECT_EQ(drive_.Read("out.txt"), "host [x]\n");
  Keep("PATH", outside);
  int code = 0;
  EXPECT_EQ(Run("hosttool \"a b\"", &code), "host [a b]\n");
  unlink(tool.c_str());
  rmdir(outside);
}

// The folder of the running program is searched last, so the suite's
// programs find each other without a PATH entry.
TEST_F(Processes, OwnFolderIsSearchedLast) {
  Keep("PATH", "");
  int code = 0;
  Run("weftplatform_tests --gtest_filter=NoSuchTest", &code);
  EXPECT_EQ(code, 0);
}

// A program started by the interpreter is handed the command's own text,
// for its process only: "<its process id>:<line>".
TEST_F(Processes, ProgramsSeeTheLineAsWritten) {
  WriteScript("bin/line", "#!/bin/sh\necho \"$WEFTCMDLINE\"\necho \"$$\"\n");
  int code = 0;
  ProcessOptions options;
  options.environment = {"SHOWN=Sea"};
  std::string out = Run("line  \"<A HREF=\"\"%SHOWN%.htm\"\">\"  x^&y", &code, options);
  size_t colon = out.find(':');
  size_t newline = out.find('\n');
  ASSERT_NE(colon, std::string::npos);
  EXPECT_EQ(out.substr(colon + 1, newline - colon - 1), "line  \"<A HREF=\"\"Sea.htm\"\">\"  x&y");
  EXPECT_EQ(out.substr(0, colon) + "\n", out.substr(newline + 1));
}

TEST(CommandLineWord, OneWordWithItsOwnQuotes) {
  struct Case {
    const char* argument;
    const char* word;
  } cases[] = {
      {"plain", "plain"},
      {"C:\\dir\\", "C:\\dir\\"},
      {"\"a b\"", "\"a b\""},                     // already one word
      {"\"<A HREF=\"\"x\"\">\"", "\"<A HREF=\"\"x\"\">\""},
      {"a\"b", "a\"b"},                            // its own quote, left for the reader
      {"two words", "\"two words\""},
      {"<A HREF=\"%K%.htm\">%K%</A>\\n", "\"<A HREF=\"\"%K%.htm\"\">%K%</A>\\n\""},
      {"", "\"\""},
      {"tab\there", "\"tab\there\""},
  };
  for (const Case& c : cases) EXPECT_EQ(CommandLineWord(c.argument), c.word) << c.argument;
}

TEST_F(Processes, RunProgramDirectPassesArgumentsLiterally) {
  drive_.MakeDir("work");
  ProcessOptions options;
  options.workingDir = "C:\\work";
  options.environment = {"SHOWN=yes", "CODE=7"};
  options.outputFile = "C:\\out.txt";
  int code = RunProgramDirect("show", {"a b", "\"q\"", "x&del y", "%PATH%", ">z"}, options);
  EXPECT_EQ(code, 7);
  EXPECT_EQ(drive_.Read("out.txt"),
            "[a b]\n[\"q\"]\n[x&del y]\n[%PATH%]\n[>z]\n" + drive_.Host("work") + "\nSHOWN=yes\n");
  EXPECT_FALSE(drive_.Exists("z"));
  EXPECT_EQ(GetEnv("SHOWN"), nullptr);  // the caller's environment is untouched
}

TEST_F(Processes, RunProgramDirectFailures) {
  EXPECT_EQ(RunProgramDirect("missing", {}), kCannotStart);
  EXPECT_NE(std::string(LastErrorText()), "");
  ProcessOptions options;
  options.workingDir = "C:\\nowhere";
  EXPECT_EQ(RunProgramDirect("show", {}, options), kCannotStart);
  drive_.Write("bin/plain", "not a program");  // no execute permission
  EXPECT_EQ(RunProgramDirect("plain", {}), kCannotStart);
}

TEST_F(Processes, BatchInterpreterCommands) {
  drive_.MakeDir("sub");
  drive_.MakeDir("d/x");
  Keep("WEFTDRIVES", ("C=" + drive_.Host() + ";D=" + drive_.Host("d")).c_str());
  drive_.Write("three.bat", "@exit /b 3\n");
  drive_.Write("args.bat", "@echo off\r\necho %0,%1,%2,%3\r\n");
  drive_.Write("last.bat", "@echo off\ncall three.bat\n");
  struct Case {
    const char* batch;  // written as C:\t.bat and run as "t.bat"
    const char* out;
    int code;
  } cases[] = {
      {"@echo off\necho hello  world\n", "hello  world\n", 0},
      {"@echo off\necho.\necho\n", "\nECHO is off.\n", 0},
      {"echo hi\n", "\nC:\\>echo hi\nhi\n", 0},
      {"@echo hi\n", "hi\n", 0},
      {"@echo off\nrem echo no\n:label\necho yes\n", "yes\n", 0},
      {"@echo off\nset V=one two\necho [%V%] [%v%]\nset V=\necho [%V%]\n", "[one two] [one two]\n[]\n",
       0},
      {"@echo off\necho 100%% [%NOPE%] %FROM%\n", "100% [] outside\n", 0},
      {"@echo off\ncall args.bat a \"b c\"\n", "args.bat,a,\"b c\",\n", 0},
      {"@echo off\ncd sub\ncd\nchdir ..\ncd\ncd nope\n", "C:\\sub\nC:\\\n", 1},
      {"@echo off\ncd D:\\x\ncd\nD:\ncd\ncd /d C:\\sub\ncd\n", "C:\\\nD:\\x\nC:\\sub\n", 0},
      {"@echo off\nif exist sub echo yes\nif not exist nope echo no\nif exist nope echo bad\n",
       "yes\nno\n", 0},
      {"@echo off\ncall three.bat\nif errorlevel 3 echo three\nif errorlevel 4 echo four\n"
       "if not errorlevel 4 echo below\n",
       "three\nbelow\n", 3},
      {"@echo off\nif \"%FROM%\"==\"outside\" echo same\n", "same\n", 0},
      {"@echo off\ncall last.bat\n", "", 3},
      {"@echo off\nthree.bat\necho not reached\n", "", 3},
      {"@echo off\necho one>a.txt\necho two >> a.txt\ntype-it\n", "", 9009},
      {"@echo off\necho a & echo b\n", "a\nb\n", 0},
      {"@echo off\nshow \"a b\" c >sub\\s.txt\necho done\n", "done\n", 0},
      {"@echo off\nexit 5\necho not reached\n", "", 5},
      // A value's '<', '>', '|', '&' and quotes are text, never syntax.
      {"@echo off\necho %SYNTAX%\nset COPY=%SYNTAX%\necho [%COPY%]>syn.txt\n"
       "if \"%SYNTAX%\"==\"%COPY%\" echo same %COPY%\nif exist b.txt echo leaked\n",
       "a>b.txt & c|d \"e\nsame a>b.txt & c|d \"e\n", 0},
  };
  for (const Case& c : cases) {
    drive_.Write("t.bat", c.batch);
    int code = 0;
    ProcessOptions options;
    options.environment = {"FROM=outside", "SYNTAX=a>b.txt & c|d \"e"};
    EXPECT_EQ(Run("t.bat", &code, options), c.out) << c.batch;
    EXPECT_EQ(code, c.code) << c.batch;
  }
  EXPECT_EQ(drive_.Read("a.txt"), "one\ntwo\n");
  EXPECT_EQ(drive_.Read("syn.txt"), "[a>b.txt & c|d \"e]\n");
  EXPECT_FALSE(drive_.Exists("b.txt"));
  EXPECT_EQ(drive_.Read("sub/s.txt"), "[a b]\n[c]\n" + drive_.Host() + "\nSHOWN=\n");
}

TEST_F(Processes, CommandLines) {
  int code = 0;
  ProcessOptions options;
  options.environment = {"SHOWN=on", "CODE=4"};
  EXPECT_EQ(Run("echo [%NOPE%] [%SHOWN%] 50%", &code, options), "[%NOPE%] [on] 50%\n");
  EXPECT_EQ(code, 0);
  EXPECT_EQ(Run("show \"a \"\"b\"\"\" c\\d >>x.txt", &code, options), "");
  EXPECT_EQ(code, 4);
  EXPECT_EQ(drive_.Read("x.txt"), "[a \"b\"]\n[c\\d]\n" + drive_.Host() + "\nSHOWN=on\n");
  EXPECT_EQ(Run("nothing-here", &code), "");
  EXPECT_EQ(code, 9009);
  // set and cd in the interpreter change only its own process.
  EXPECT_EQ(Run("set WEFTINNER=1", &code), "");
  EXPECT_EQ(GetEnv("WEFTINNER"), nullptr);
  drive_.MakeDir("sub");
  Run("cd sub", &code);
  EXPECT_EQ(code, 0);
  char cwd[300];
  GetCurrentDir(cwd, sizeof cwd);
  EXPECT_STREQ(cwd, "C:\\");
}

// The interpreter runs in a program of its own, and its whole error level
// comes back, also one wider than an exit status, from a command line and
// from a batch file started directly; the channel it comes back on is seen
// by no variable listing and no program the interpreter starts.
TEST_F(Processes, WholeErrorLevelsComeBackFromTheInterpreter) {
  WriteScript("bin/level", "#!/bin/sh\necho \"[$WEFTCMDLEVEL]\"\n");
  drive_.Write("wide.bat", "@exit /b 300\r\n");
  drive_.Write("nine.bat", "@echo off\r\nnothing-here 2>nul\r\n");
  struct Case {
    const char* line;
    int code;
  } cases[] = {
      {"exit 256", 256}, {"exit 9009", 9009}, {"wide.bat", 300}, {"nine", 9009}, {"exit 3", 3}, {"echo x", 0},
  };
  for (const Case& c : cases) {
    int code = -99;
    Run(c.line, &code);
    EXPECT_EQ(code, c.code) << c.line;
  }
  ProcessOptions limited;
  limited.timeLimitMs = 30000;
  limited.outputFile = "C:\\out.txt";
  EXPECT_EQ(RunProgramDirect("wide.bat", {}, limited), 300);
  EXPECT_EQ(RunProgramDirect("nine.bat", {}), 9009);
  int code = 0;
  EXPECT_EQ(Run("level", &code), "[]\n");
  std::string listed = Run("set", &code);
  EXPECT_EQ(listed.find("WEFTCMD"), std::string::npos) << listed;
  EXPECT_NE(listed.find("PATH=C:\\bin\n"), std::string::npos) << listed;
}

TEST_F(Processes, OtherComspecGetsSlashC) {
  WriteScript("bin/myshell", "#!/bin/sh\nfor a in \"$@\"; do echo \"[$a]\"; done\nexit 2\n");
  Keep("COMSPEC", "C:\\bin\\myshell");
  int code = 0;
  EXPECT_EQ(Run("echo %x% > y", &code), "[/c]\n[echo %x% > y]\n");
  EXPECT_EQ(code, 2);
  Keep("COMSPEC", "C:\\WINDOWS\\SYSTEM32\\CMD.EXE");
  EXPECT_EQ(Run("echo built in", &code), "built in\n");
}

// A program that passes its time limit is ended with everything it started;
// one that writes past the output limit is ended too; one within both limits
// runs as usual.
TEST_F(Processes, TimeAndOutputLimits) {
  WriteScript("bin/hang", "#!/bin/sh\n/bin/sleep 30 &\necho $! >\"$PIDFILE\"\nwait\n");
  WriteScript("bin/flood", "#!/bin/sh\n/usr/bin/head -c \"$BYTES\" /dev/zero\n");
  drive_.Write("waits.bat", "@echo off\r\necho started\r\nhang\r\necho not reached\r\n");
  drive_.Write("floods.bat", "@echo off\r\nflood\r\necho after\r\n");
  drive_.Write("talk.bat", "@echo off\r\necho 123456789\r\necho 123456789\r\n");
  struct Case {
    const char* program;
    int timeLimitMs;
    uint64_t outputLimit;
    const char* bytes;
    int result;
  } cases[] = {
      {"hang", 300, 0, "0", kTimedOut},
      {"waits.bat", 300, 1000, "0", kTimedOut},
      {"flood", 0, 1000, "100000", kOutputTooLarge},
      {"flood", 0, 1000, "1000", 0},
      {"floods.bat", 30000, 1000, "5000", kOutputTooLarge},
      {"talk.bat", 0, 19, "0", kOutputTooLarge},
      {"talk.bat", 30000, 20, "0", 0},
  };
  for (const Case& c : cases) {
    std::string label = std::string(c.program) + " " + c.bytes;
    drive_.Write("pid.txt", "");
    ProcessOptions options;
    options.timeLimitMs = c.timeLimitMs;
    options.outputLimit = c.outputLimit;
    options.outputFile = "C:\\out.txt";
    options.environment = {"PIDFILE=" + drive_.Host("pid.txt"), std::string("BYTES=") + c.bytes};
    EXPECT_EQ(RunProgramDirect(c.program, {}, options), c.result) << label;
    if (c.outputLimit > 0) {
      EXPECT_LE(drive_.Read("out.txt").size(), c.outputLimit + 1) << label;
    }
    std::string pid = drive_.Read("pid.txt");
    if (!pid.empty()) {
      // The program the script started in the background is gone as well.
      EXPECT_TRUE(ProcessEnded(atoi(pid.c_str()))) << label;
    }
  }
}

// A command line or batch file starts whatever the caller's other threads
// are doing: they hold the layer's own locks (the drive map, the directory
// names, the environment) and the memory allocator's at every moment, and a
// start that ran the layer's code in a copy of the caller could find one of
// them held for ever. Each run must end on its own, well within its time.
TEST_F(Processes, CommandLinesStartWhileOtherThreadsHoldTheLayersLocks) {
  drive_.Write("quick.bat", "@echo off\r\necho quick %1\r\n");
  std::atomic<bool> stop{false};
  std::vector<std::thread> busy;
  for (int i = 0; i < 4; ++i) {
    busy.emplace_back([&stop, i] {
      std::string path = "C:\\bin\\show" + std::to_string(i);
      while (!stop) {
        GetFullPathString(path.c_str());
        GetAttributes("C:\\bin\\show");
        GetEnv("PATH");
        std::vector<std::string> pieces;
        for (size_t size = 8; size <= 4096; size *= 2) pieces.emplace_back(size, 'x');
      }
    });
  }
  int failures = 0;
  for (int run = 0; run < 150 && failures == 0; ++run) {
    ProcessOptions options;
    options.timeLimitMs = 15000;
    int code = -99;
    std::string out = Run(run % 2 ? "quick.bat " + std::to_string(run) : "echo quick " + std::to_string(run),
                          &code, options);
    if (code != 0 || out != "quick " + std::to_string(run) + "\n") {
      ++failures;
      ADD_FAILURE() << "run " << run << ": code " << code << ", output [" << out << "]";
    }
  }
  stop = true;
  for (std::thread& thread : busy) thread.join();
}

// A caller that stops while it waits ends its limited programs at once.
TEST_F(Processes, EndLimitedProgramsEndsThemWithWhatTheyStarted) {
  WriteScript("bin/hang", "#!/bin/sh\n/bin/sleep 30 &\necho $! >\"$PIDFILE\"\nwait\n");
  ProcessOptions options;
  options.timeLimitMs = 15000;
  options.environment = {"PIDFILE=" + drive_.Host("pid.txt")};
  std::atomic<int> result{0};
  std::thread waiter([&] { result = RunProgramDirect("hang", {}, options); });
  for (int i = 0; i < 1000 && drive_.Read("pid.txt").empty(); ++i) usleep(10000);
  int pid = atoi(drive_.Read("pid.txt").c_str());
  ASSERT_GT(pid, 0);
  EndLimitedPrograms();
  waiter.join();
  EXPECT_EQ(result, 128 + SIGKILL);
  EXPECT_TRUE(ProcessEnded(pid));
}

// A started program holds none of the caller's descriptors (such as its
// sockets) but the standard streams.
TEST_F(Processes, StartedProgramsInheritOnlyTheStandardStreams) {
  WriteScript("bin/fds", "#!/bin/sh\nexec /bin/ls /proc/self/fd\n");
  int open[2];
  ASSERT_EQ(pipe(open), 0);
  ProcessOptions options;
  options.outputFile = "C:\\out.txt";
  EXPECT_EQ(RunProgramDirect("fds", {}, options), 0);
  EXPECT_EQ(drive_.Read("out.txt"), "0\n1\n2\n3\n");
  close(open[0]);
  close(open[1]);
}

// What a file named after a process tells: its owner still runs, or has
// ended (collected or not).
TEST(ProcessIsRunning, TellsRunningFromEndedProcesses) {
  EXPECT_TRUE(ProcessIsRunning(CurrentProcessId()));
  EXPECT_TRUE(ProcessIsRunning(1));  // the first process, whoever owns it
  EXPECT_FALSE(ProcessIsRunning(0));
  EXPECT_FALSE(ProcessIsRunning(-5));
  pid_t child = fork();
  if (child == 0) _exit(0);
  ASSERT_GT(child, 0);
  // Ended but not yet collected.
  for (int i = 0; i < 500 && ProcessIsRunning(child); ++i) usleep(10000);
  EXPECT_FALSE(ProcessIsRunning(child));
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_FALSE(ProcessIsRunning(child));
}

}  // namespace
