// Starting programs and command lines in child processes.
#include "platform/process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <mutex>
#include <set>

#include "platform/ascii_case.h"
#include "platform/attributes.h"
#include "platform/batch_interpreter.h"
#include "platform/clock.h"
#include "platform/drives.h"
#include "platform/env.h"
#include "platform/errors.h"
#include "platform/errors_host.h"
#include "platform/host_io.h"
#include "platform/program_search.h"

namespace {

// Sets the child's environment, working directory and output (whose host
// path goes to `outputHost`). Returns an error text, empty on success.
std::string PrepareChild(const ProcessOptions& options, std::string* outputHost) {
  for (const std::string& entry : options.environment) {
    size_t equals = entry.find('=', 1);
    if (equals == std::string::npos) continue;
    std::string name = entry.substr(0, equals);
    std::string value = entry.substr(equals + 1);
    SetEnv(name.c_str(), value.empty() ? nullptr : value.c_str());
  }
  if (!options.workingDir.empty() && !SetCurrentDir(options.workingDir.c_str())) {
    return std::string("Can't set the working directory: ") + LastErrorText();
  }
  if (options.outputFile.empty()) return "";
  if (!HostPath(options.outputFile.c_str(), outputHost)) return LastErrorText();
  int fd = open(outputHost->c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return std::string("Can't create the output file: ") + strerror(errno);
  dup2(fd, 1);
  close(fd);
  return "";
}

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

// Waits for the child while reading its report; with a time limit the child
// is ended once the time is up. Gives 0 with its wait status, kTimedOut, or
// kCannotStart when it cannot be waited for.
int AwaitChild(pid_t pid, int report, int timeLimitMs, std::string* message, int* status) {
  int64_t deadline = timeLimitMs > 0 ? ElapsedMs() + timeLimitMs : -1;
  for (bool open = true; open;) {
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

// In the child: the limits hold for it and for everything it starts.
void ApplyLimits(const ProcessOptions& options) {
  if (options.timeLimitMs > 0 || options.outputLimit > 0) setpgid(0, 0);
  if (options.outputLimit == 0) return;
  // One byte more than the limit may be written, so that a file longer than
  // the limit shows that the limit was passed.
  rlim_t bytes = static_cast<rlim_t>(options.outputLimit + 1);
  rlimit size{bytes, bytes};
  setrlimit(RLIMIT_FSIZE, &size);
}

// In the child: the caller's descriptors (its sockets, its files) stay with
// the caller; only the standard streams and the report pipe are kept.
void CloseInherited(int report) {
  if (report > 3) close_range(3, static_cast<unsigned>(report - 1), 0);
  close_range(static_cast<unsigned>(report + 1), ~0U, 0);
}

// True when the output file passed the limit: the limit of the file size
// lets one byte more be written than the limit allows.
bool OutputPassedLimit(const ProcessOptions& options, const std::string& outputHost) {
  struct stat st;
  return options.outputLimit > 0 && !outputHost.empty() && stat(outputHost.c_str(), &st) == 0 &&
         static_cast<uint64_t>(st.st_size) > options.outputLimit;
}

// The result of a child from its wait status and its report. A report may
// begin with "O", the host path of the output file, and a newline.
int ChildResult(const ProcessOptions& options, int status, std::string message) {
  std::string outputHost;
  if (!message.empty() && message[0] == 'O') {
    size_t end = message.find('\n');
    outputHost = message.substr(1, end == std::string::npos ? std::string::npos : end - 1);
    message = end == std::string::npos ? "" : message.substr(end + 1);
  }
  if (OutputPassedLimit(options, outputHost)) return kOutputTooLarge;
  if (message.empty()) return ExitCode(status);
  if (message[0] == 'C') return atoi(message.c_str() + 1);
  weft_host::SetError(message.substr(1));
  return kCannotStart;
}

// --- Programs started without a copy of this process -------------------------------
//
// A program that needs nothing done in a child before it runs (no batch
// file, no command line handed over) is started by a child that shares this
// process's memory until it becomes the program, as posix_spawn does, rather
// than by a fork, which copies it: forks of a process with many threads are
// slow and take turns, which a server running CGI programs for many clients
// at once would feel. Unlike posix_spawn, the child sets the output limit
// itself, so the program never runs a moment without it.

// The index of variable `name` in `env`: the exact name first, then one that
// differs in letter case (as SetEnv finds it); -1 when none.
int FindVariable(const std::vector<std::string>& env, const std::string& name) {
  int other = -1;
  for (size_t i = 0; i < env.size(); ++i) {
    size_t equals = env[i].find('=');
    if (equals != name.size()) continue;
    std::string stored = env[i].substr(0, equals);
    if (stored == name) return static_cast<int>(i);
    if (other < 0 && SameNoCase(stored, name)) other = static_cast<int>(i);
  }
  return other;
}

// This process's environment with the options' variables set or removed and
// no command line of its own handed on.
std::vector<std::string> ChildEnvironment(const ProcessOptions& options) {
  std::vector<std::string> env;
  for (char** entry = environ; *entry; ++entry) env.push_back(*entry);
  std::vector<std::string> changes = options.environment;
  changes.push_back(std::string(weft_host::kCommandLineVariable) + "=");
  for (const std::string& change : changes) {
    size_t equals = change.find('=', 1);
    if (equals == std::string::npos) continue;
    int at = FindVariable(env, change.substr(0, equals));
    bool remove = equals + 1 == change.size();
    if (at >= 0 && remove) env.erase(env.begin() + at);
    else if (at >= 0) env[at] = env[at].substr(0, equals + 1) + change.substr(equals + 1);
    else if (!remove) env.push_back(change);
  }
  return env;
}

// The host path of the working folder and of the output file as the program
// in that folder would name it. False (with the error) when either cannot be.
bool ChildPaths(const ProcessOptions& options, std::string* folder, std::string* output) {
  std::string base = options.workingDir.empty() ? "" : GetFullPathString(options.workingDir.c_str());
  if (!options.workingDir.empty()) {
    uint32_t attributes = base.empty() ? kInvalidAttributes : GetAttributes(base.c_str());
    if (attributes == kInvalidAttributes || !(attributes & kAttrDirectory) ||
        !HostPath(base.c_str(), folder)) {
      weft_host::SetError(std::string("Can't set the working directory: ") + options.workingDir);
      return false;
    }
  }
  if (options.outputFile.empty()) return true;
  std::string path = options.outputFile;
  bool drive = path.size() >= 2 && path[1] == ':';
  bool rooted = !path.empty() && (path[0] == '\\' || path[0] == '/');
  if (!base.empty() && !drive) path = rooted ? base.substr(0, 2) + path : base + "\\" + path;
  return HostPath(path.c_str(), output);
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (std::string& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

// All the child needs, made before it exists: between its start and the
// program it runs only system calls, in its own stack.
struct SpawnPlan {
  const char* host = nullptr;
  char* const* argv = nullptr;
  char* const* envp = nullptr;
  const char* folder = nullptr;  // null: the caller's
  const char* output = nullptr;  // null: the caller's standard output
  bool newGroup = false;
  uint64_t outputLimit = 0;
  uint64_t mask = 0;             // the caller's signal mask, for the program
  int error = 0;                 // set by the child when it cannot start the program
};

// The kernel's form of a signal action and of a resource limit.
struct KernelSignalAction {
  void (*handler)(int);
  unsigned long flags;
  void (*restorer)();
  uint64_t mask;
};
struct KernelLimit {
  uint64_t current, maximum;
};

// The child: it shares the caller's memory, so it must not call the C
// library's functions (locks, allocation, interceptors) nor let a handler of
// the caller run: every signal stays blocked until the program runs, and
// each handled one (and SIGPIPE and SIGXFSZ, which a server ignores) goes
// back to its default.
[[noreturn]] __attribute__((no_sanitize("address", "undefined"))) void SpawnFailed(SpawnPlan* plan) {
  plan->error = errno;
  syscall(SYS_exit, 127);
  __builtin_unreachable();
}

__attribute__((no_sanitize("address", "undefined"))) int SpawnChild(void* argument) {
  SpawnPlan* plan = static_cast<SpawnPlan*>(argument);
  for (int number = 1; number < 65; ++number) {
    if (number == SIGKILL || number == SIGSTOP) continue;
    KernelSignalAction old{};
    if (syscall(SYS_rt_sigaction, number, nullptr, &old, 8) != 0) continue;
    bool handled = old.handler != SIG_IGN && old.handler != SIG_DFL;
    if (!handled && number != SIGPIPE && number != SIGXFSZ) continue;
    KernelSignalAction standard{};
    syscall(SYS_rt_sigaction, number, &standard, nullptr, 8);
  }
  if (plan->newGroup && syscall(SYS_setpgid, 0, 0) != 0) SpawnFailed(plan);
  if (plan->outputLimit > 0) {
    // One byte more than the limit may be written, so that a file longer
    // than the limit shows that the limit was passed.
    KernelLimit limit{plan->outputLimit + 1, plan->outputLimit + 1};
    if (syscall(SYS_prlimit64, 0, RLIMIT_FSIZE, &limit, nullptr) != 0) SpawnFailed(plan);
  }
  if (plan->folder && syscall(SYS_chdir, plan->folder) != 0) SpawnFailed(plan);
  if (plan->output) {
    long fd = syscall(SYS_openat, AT_FDCWD, plan->output, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0 || syscall(SYS_dup2, fd, 1) < 0) SpawnFailed(plan);
    syscall(SYS_close, fd);
  }
  // The caller's descriptors (its sockets, its files) stay with the caller.
  syscall(SYS_close_range, 3, ~0U, 0);
  syscall(SYS_rt_sigprocmask, SIG_SETMASK, &plan->mask, nullptr, 8);
  syscall(SYS_execve, plan->host, plan->argv, plan->envp);
  SpawnFailed(plan);
}

// Starts the program; its pid, or -1 with the error set.
pid_t SpawnProgram(const std::string& host, std::vector<std::string> argv,
                   const ProcessOptions& options, const std::string& folder,
                   const std::string& output) {
  std::vector<std::string> env = ChildEnvironment(options);
  std::vector<char*> argPointers = Pointers(argv);
  std::vector<char*> envPointers = Pointers(env);
  SpawnPlan plan;
  plan.host = host.c_str();
  plan.argv = argPointers.data();
  plan.envp = envPointers.data();
  plan.folder = folder.empty() ? nullptr : folder.c_str();
  plan.output = output.empty() ? nullptr : output.c_str();
  plan.newGroup = options.timeLimitMs > 0 || options.outputLimit > 0;
  plan.outputLimit = options.outputLimit;
  std::vector<char> stack(64 * 1024);
  uintptr_t top = reinterpret_cast<uintptr_t>(stack.data() + stack.size()) & ~uintptr_t{15};
  uint64_t all = ~uint64_t{0};
  syscall(SYS_rt_sigprocmask, SIG_BLOCK, &all, &plan.mask, 8);
  // The caller waits until the child has become the program or failed.
  pid_t pid = clone(SpawnChild, reinterpret_cast<void*>(top), CLONE_VM | CLONE_VFORK | SIGCHLD, &plan);
  int cloneError = errno;
  syscall(SYS_rt_sigprocmask, SIG_SETMASK, &plan.mask, nullptr, 8);
  if (pid > 0 && plan.error != 0) {
    int status;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    pid = -1;
  }
  if (pid > 0) return pid;
  int error = plan.error ? plan.error : cloneError;
  weft_host::SetError(std::string("Can't start \"") + host + "\": " + strerror(error));
  return -1;
}

// Runs a program without a child copy of this process: started, given its
// output limit, and waited for within its time limit.
int RunSpawned(const std::string& host, const std::string& name, const std::vector<std::string>& args,
               const ProcessOptions& options) {
  std::string folder, output;
  if (!ChildPaths(options, &folder, &output)) return kCannotStart;
  std::vector<std::string> argv = {name};
  argv.insert(argv.end(), args.begin(), args.end());
  pid_t pid = SpawnProgram(host, argv, options, folder, output);
  if (pid < 0) return kCannotStart;
  bool limited = options.timeLimitMs > 0 || options.outputLimit > 0;
  if (limited) TrackLimited(pid, true);
  int status = 0;
  bool ended = WaitExit(pid, options.timeLimitMs > 0 ? options.timeLimitMs : -1, &status);
  if (!ended && options.timeLimitMs > 0) KillChild(pid);
  if (limited) TrackLimited(pid, false);
  if (!ended) return options.timeLimitMs > 0 ? kTimedOut : kCannotStart;
  if (OutputPassedLimit(options, output)) return kOutputTooLarge;
  return ExitCode(status);
}

// Forks; the child prepares itself and then runs `work`, which either execs
// (returning an error text when that fails) or does the job itself and exits.
// The child reports through a close-on-exec pipe: with an output limit "O",
// its output file's host path and a newline; then "E" and the text of a
// failure before the job starts, or "C" and the exit code of a job it ran.
int Spawn(const ProcessOptions& options, const std::function<std::string(int)>& work) {
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) {
    weft_host::SetErrno(errno);
    return kCannotStart;
  }
  fflush(nullptr);
  pid_t pid = fork();
  if (pid < 0) {
    weft_host::SetErrno(errno);
    close(report[0]);
    close(report[1]);
    return kCannotStart;
  }
  if (pid == 0) {
    close(report[0]);
    ApplyLimits(options);
    std::string outputHost;
    std::string error = PrepareChild(options, &outputHost);
    CloseInherited(report[1]);
    if (options.outputLimit > 0 && !outputHost.empty()) weft_host::WriteAll(report[1], "O" + outputHost + "\n");
    if (error.empty()) error = work(report[1]);
    weft_host::WriteAll(report[1], "E" + (error.empty() ? std::string("failed") : error));
    _exit(127);
  }
  // Set here as well, so that the group exists before any kill.
  bool limited = options.timeLimitMs > 0 || options.outputLimit > 0;
  if (limited) {
    setpgid(pid, pid);
    TrackLimited(pid, true);
  }
  close(report[1]);
  std::string message;
  int status = 0;
  int waited = AwaitChild(pid, report[0], options.timeLimitMs, &message, &status);
  close(report[0]);
  if (limited) TrackLimited(pid, false);
  if (waited != 0) return waited;
  return ChildResult(options, status, message);
}

// Runs the interpreter in the child and ends the child with its result. The
// whole code goes back through the report pipe too, since an exit status holds
// only 8 bits and the interpreter's own codes (9009) are larger.
[[noreturn]] void FinishInterpreter(int report, const std::function<int()>& run) {
  int code = run();
  fflush(nullptr);
  weft_host::WriteAll(report, "C" + std::to_string(code));
  _exit(code & 0xFF);
}

bool IsBuiltInInterpreter(const char* comspec) {
  if (!comspec || !*comspec) return true;
  std::string base = std::string(comspec).substr(NameStart(comspec));
  return SameNoCase(base, "cmd.exe") || SameNoCase(base, "command.com") ||
         SameNoCase(base, "cmd") || SameNoCase(base, "command");
}

// Hands the started program the command line it is to see, or makes sure it
// inherits no stale one. Runs in the child.
void HandCommandLine(const std::string& line) {
  if (line.empty()) {
    unsetenv(weft_host::kCommandLineVariable);
    return;
  }
  std::string value = std::to_string(getpid()) + ":" + line;
  setenv(weft_host::kCommandLineVariable, value.c_str(), 1);
}

}  // namespace

void EndLimitedPrograms() {
  std::lock_guard<std::mutex> lock(Limited().mutex);
  Limited().ending = true;
  for (pid_t group : Limited().groups) kill(-group, SIGKILL);
}

namespace weft_host {

int RunProgramFile(const ProgramFile& file, const std::string& name,
                   const std::vector<std::string>& args, const ProcessOptions& options) {
  if (file.batch) {
    std::string text;
    if (!ReadProgramFile(file, &text)) {
      SetErrno(errno);
      return kCannotStart;
    }
    return Spawn(options, [&](int report) -> std::string {
      HandCommandLine("");
      FinishInterpreter(report, [&] { return weft_batch::RunBatchText(text, name, args); });
    });
  }
  if (options.commandLine.empty()) return RunSpawned(file.host, name, args, options);
  return Spawn(options, [&](int) -> std::string {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(name.c_str()));
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    signal(SIGPIPE, SIG_DFL);
    HandCommandLine(options.commandLine);
    execv(file.host.c_str(), argv.data());
    std::string shown = file.path.empty() ? file.host : file.path;
    return std::string("Can't start \"") + shown + "\": " + strerror(errno);
  });
}

}  // namespace weft_host

int RunProgramDirect(const char* program, const std::vector<std::string>& args,
                     const ProcessOptions& options) {
  std::string name = program ? program : "";
  weft_host::ProgramFile file;
  if (!weft_host::LocateProgram(name, &file)) {
    weft_host::SetError("The system cannot find the file specified: " + name);
    return kCannotStart;
  }
  return weft_host::RunProgramFile(file, name, args, options);
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
  return Spawn(options, [&](int report) -> std::string {
    HandCommandLine("");
    FinishInterpreter(report, [&] { return weft_batch::RunLine(line); });
  });
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
