// Starting programs and command lines in child processes, every one of them
// from a plan made here (child_start.h). A command line, and a batch file
// started directly, run in the suite's command interpreter, the program
// weftcmd beside this one, which hands its whole error level back through a
// channel of its own: an exit status holds only 8 bits, and the
// interpreter's levels (9009) are wider.
#include "platform/process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <set>

#include "platform/ascii_case.h"
#include "platform/child_start.h"
#include "platform/clock.h"
#include "platform/drives.h"
#include "platform/env.h"
#include "platform/env_host.h"
#include "platform/errors_host.h"
#include "platform/host_io.h"
#include "platform/program_search.h"
#include "platform/program_search_host.h"

namespace {

// The suite's command interpreter, found beside this process's program.
constexpr char kInterpreter[] = "weftcmd";

// The exit code of a wait status: the code, or 128 + the signal that ended it.
int ExitCode(int status) {
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return kCannotStart;
}

// Milliseconds left until `deadline` (never negative); -1 without one.
int Remaining(int64_t deadline) {
  if (deadline < 0) return -1;
  int64_t left = deadline - ElapsedMs();
  return left > 0 ? static_cast<int>(left) : 0;
}

// Reads what the report pipe holds now; false once it has ended.
bool ReadReport(int fd, std::string* text) {
  char buffer[256];
  ssize_t n = read(fd, buffer, sizeof buffer);
  if (n < 0) return errno == EINTR;
  text->append(buffer, static_cast<size_t>(n));
  return n > 0;
}

// Waits up to `milliseconds` (-1: for ever) for the child's end; true with
// its wait status when it ended.
bool WaitExit(pid_t pid, int milliseconds, int* status) {
  if (milliseconds < 0) {
    while (waitpid(pid, status, 0) < 0) {
      if (errno != EINTR) return false;
    }
    return true;
  }
  int pidfd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
  int64_t deadline = ElapsedMs() + milliseconds;
  bool ended = false;
  for (;;) {
    pid_t done = waitpid(pid, status, WNOHANG);
    if (done == pid) ended = true;
    if (ended || (done < 0 && errno != EINTR)) break;
    int left = Remaining(deadline);
    if (left == 0) break;
    if (pidfd >= 0) {
      pollfd wait{pidfd, POLLIN, 0};
      poll(&wait, 1, left);
    } else {
      timespec pause{0, 5 * 1000000};
      nanosleep(&pause, nullptr);
    }
  }
  if (pidfd >= 0) close(pidfd);
  return ended;
}

// The process groups of the programs started with a limit, while they run.
// Never destroyed: a thread may still wait for its program while the
// process ends.
struct LimitedGroups {
  std::mutex mutex;
  std::set<pid_t> groups;
  bool ending = false;  // EndLimitedPrograms has run: the caller is stopping
};

LimitedGroups& Limited() {
  static LimitedGroups* limited = new LimitedGroups;
  return *limited;
}

// A program is tracked only once it runs, and it may run a while before its
// starter gets here; when the caller began stopping in between, the program
// is ended here, so that none outlives the stop.
void TrackLimited(pid_t pid, bool running) {
  std::lock_guard<std::mutex> lock(Limited().mutex);
  if (!running) {
    Limited().groups.erase(pid);
  } else if (Limited().ending) {
    kill(-pid, SIGKILL);
    kill(pid, SIGKILL);
  } else {
    Limited().groups.insert(pid);
  }
}

// Ends the child and everything it started (its process group).
void KillChild(pid_t pid) {
  kill(-pid, SIGKILL);
  kill(pid, SIGKILL);
  int status;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
}

// Waits for the child, reading what it reports on `report` (-1: nothing) up
// to the report's end; with a time limit the child is ended once the time is
// up. Gives 0 with its wait status, kTimedOut, or kCannotStart when it
// cannot be waited for.
int AwaitChild(pid_t pid, int report, int timeLimitMs, std::string* message, int* status) {
  int64_t deadline = timeLimitMs > 0 ? ElapsedMs() + timeLimitMs : -1;
  for (bool open = report >= 0; open;) {
    pollfd wait{report, POLLIN, 0};
    int ready = poll(&wait, 1, Remaining(deadline));
    if (ready == 0) {
      KillChild(pid);
      return kTimedOut;
    }
    if (ready > 0) open = ReadReport(report, message);
  }
  if (WaitExit(pid, Remaining(deadline), status)) return 0;
  if (deadline < 0) return kCannotStart;
  KillChild(pid);
  return kTimedOut;
}

// An error level as the interpreter hands it back: a decimal number.
bool ParseLevel(const std::string& text, int* level) {
  if (text.empty()) return false;
  char* end = nullptr;
  long value = strtol(text.c_str(), &end, 10);
  if (*end != '\0') return false;
  *level = static_cast<int>(value);
  return true;
}

// Starts the plan's child and waits for it within the options' time limit.
// With `reportsLevel`, the child is the command interpreter, given a channel
// on which it hands back its whole error level.
int RunPlan(weft_host::ChildPlan plan, const ProcessOptions& options, bool reportsLevel) {
  int channel[2] = {-1, -1};
  if (reportsLevel) {
    if (pipe2(channel, O_CLOEXEC) != 0) {
      weft_host::SetErrno(errno);
      return kCannotStart;
    }
    plan.channel = channel[1];
    plan.AddOwnVariable(weft_host::kErrorLevelVariable, std::to_string(weft_host::kChannelDescriptor));
  }
  // A child that writes to this process's standard output comes after what
  // this process wrote there.
  if (plan.output.empty()) fflush(nullptr);
  pid_t pid = weft_host::StartChild(&plan);
  if (channel[1] >= 0) close(channel[1]);
  if (pid < 0) {
    if (channel[0] >= 0) close(channel[0]);
    return kCannotStart;
  }
  if (plan.newGroup) TrackLimited(pid, true);
  std::string level;
  int status = 0;
  int waited = AwaitChild(pid, channel[0], options.timeLimitMs, &level, &status);
  if (channel[0] >= 0) close(channel[0]);
  if (plan.newGroup) TrackLimited(pid, false);
  if (waited != 0) return waited;
  if (weft_host::OutputPassedLimit(plan)) return kOutputTooLarge;
  int code = 0;
  return ParseLevel(level, &code) ? code : ExitCode(status);
}

bool IsBuiltInInterpreter(const char* comspec) {
  if (!comspec || !*comspec) return true;
  std::string base = std::string(comspec).substr(NameStart(comspec));
  return SameNoCase(base, "cmd.exe") || SameNoCase(base, "command.com") ||
         SameNoCase(base, "cmd") || SameNoCase(base, "command");
}

std::vector<std::string> Joined(const std::string& first, const std::vector<std::string>& rest) {
  std::vector<std::string> all = {first};
  all.insert(all.end(), rest.begin(), rest.end());
  return all;
}

// Runs the found program with `argv` (its name first) as the options say.
int RunFound(const ProgramFile& file, const std::vector<std::string>& argv, const ProcessOptions& options,
             bool reportsLevel) {
  weft_host::ChildPlan plan;
  if (!weft_host::PlanChild(options, &plan)) return kCannotStart;
  plan.program = file.host;
  plan.shown = file.path.empty() ? file.host : file.path;
  plan.argv = argv;
  return RunPlan(std::move(plan), options, reportsLevel);
}

// Runs the suite's interpreter with `args`; its environment, folder, output
// and limits are the options', and it sees no command line of the caller's.
int RunInterpreter(const std::vector<std::string>& args, const ProcessOptions& options) {
  ProgramFile interpreter;
  if (!weft_host::LocateSuiteProgram(kInterpreter, &interpreter)) return kCannotStart;
  ProcessOptions own = options;
  own.commandLine.clear();
  return RunFound(interpreter, Joined(interpreter.host, args), own, true);
}

// A batch file runs in the interpreter as "weftcmd FILE ARGS" would: by its
// full Windows path, which the interpreter finds again.
int RunBatchFile(const ProgramFile& file, const std::vector<std::string>& args,
                 const ProcessOptions& options) {
  // One that cannot be read cannot start, before any interpreter runs.
  std::string text;
  if (!ReadProgramFile(file, &text)) return kCannotStart;
  if (file.path.empty()) {
    weft_host::SetError("Can't start \"" + file.host + "\": a batch file runs from a mapped drive only.");
    return kCannotStart;
  }
  return RunInterpreter(Joined(file.path, args), options);
}

// The channel on which this process, the interpreter, hands back its error
// level (TakeErrorLevelChannel); -1 when it has none.
int levelChannel = -1;

}  // namespace

void EndLimitedPrograms() {
  std::lock_guard<std::mutex> lock(Limited().mutex);
  Limited().ending = true;
  for (pid_t group : Limited().groups) kill(-group, SIGKILL);
}

int RunProgramFile(const ProgramFile& file, const std::string& name, const std::vector<std::string>& args,
                   const ProcessOptions& options) {
  if (file.batch) return RunBatchFile(file, args, options);
  return RunFound(file, Joined(name, args), options, false);
}

int RunProgramDirect(const char* program, const std::vector<std::string>& args,
                     const ProcessOptions& options) {
  std::string name = program ? program : "";
  ProgramFile file;
  if (!LocateProgram(name, &file)) {
    weft_host::SetError("The system cannot find the file specified: " + name);
    return kCannotStart;
  }
  return RunProgramFile(file, name, args, options);
}

int RunCommandLine(const char* commandLine, const ProcessOptions& options) {
  std::string line = commandLine ? commandLine : "";
  const char* comspec = GetEnv("COMSPEC");
  if (!IsBuiltInInterpreter(comspec)) {
    // The interpreter sees "<itself> /c <line>", as the C runtime builds it.
    ProcessOptions withLine = options;
    withLine.commandLine = CommandLineWord(comspec) + " /c " + line;
    return RunProgramDirect(comspec, {"/c", line}, withLine);
  }
  return RunInterpreter({"/c", line}, options);
}

void TakeErrorLevelChannel() {
  std::string handed;
  if (!weft_host::TakeOwnVariable(weft_host::kErrorLevelVariable, &handed)) return;
  int fd = atoi(handed.c_str());
  if (fd < 0 || fcntl(fd, F_SETFD, FD_CLOEXEC) != 0) return;
  levelChannel = fd;
}

void HandBackErrorLevel(int level) {
  if (levelChannel < 0) return;
  fflush(nullptr);
  weft_host::WriteAll(levelChannel, std::to_string(level));
  close(levelChannel);
  levelChannel = -1;
}

int CurrentProcessId() { return static_cast<int>(getpid()); }

bool ProcessIsRunning(int pid) {
  if (pid <= 0) return false;
  if (kill(pid, 0) != 0 && errno != EPERM) return false;
  // The state follows the name in parentheses, which may itself hold ')'.
  FILE* file = fopen(("/proc/" + std::to_string(pid) + "/stat").c_str(), "re");
  if (!file) return true;
  char text[512];
  size_t length = fread(text, 1, sizeof text - 1, file);
  fclose(file);
  text[length] = 0;
  const char* close = strrchr(text, ')');
  char state = close && close[1] == ' ' ? close[2] : 0;
  return state != 'Z' && state != 'X';
}
