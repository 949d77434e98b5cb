#include "platform/testing/kill_points.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/ptrace.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <map>
#include <set>
#include <string>

namespace {

// The entry part of the kernel's ptrace_syscall_info (PTRACE_GET_SYSCALL_INFO).
struct SyscallEntry {
  uint8_t op;
  uint8_t pad[3];
  uint32_t arch;
  uint64_t instructionPointer;
  uint64_t stackPointer;
  uint64_t nr;
  uint64_t args[6];
  uint32_t more[2];
};
constexpr uint8_t kSyscallEntry = 1;

bool OpensForWriting(uint64_t flags) { return (flags & (O_WRONLY | O_RDWR | O_CREAT | O_TRUNC)) != 0; }

bool ChangesFiles(const SyscallEntry& call) {
  const uint64_t* a = call.args;
  switch (call.nr) {
#ifdef SYS_open
    case SYS_open: return OpensForWriting(a[1]);
    case SYS_creat:
    case SYS_rename:
    case SYS_unlink:
    case SYS_mkdir:
    case SYS_rmdir:
    case SYS_chmod:
    case SYS_chown:
    case SYS_lchown:
    case SYS_link:
    case SYS_symlink: return true;
#endif
    case SYS_openat: return OpensForWriting(a[2]);
    case SYS_write:
    case SYS_writev:
    case SYS_pwrite64:
    case SYS_pwritev: return a[0] > 2;  // standard output and error change no file
    case SYS_renameat:
    case SYS_renameat2:
    case SYS_unlinkat:
    case SYS_truncate:
    case SYS_ftruncate:
    case SYS_fsync:
    case SYS_fdatasync:
    case SYS_fchmod:
    case SYS_fchmodat:
    case SYS_fchown:
    case SYS_fchownat:
    case SYS_mkdirat:
    case SYS_linkat:
    case SYS_symlinkat:
    case SYS_utimensat:
    case SYS_setxattr:
    case SYS_lsetxattr:
    case SYS_fsetxattr:
    case SYS_removexattr:
    case SYS_lremovexattr:
    case SYS_fremovexattr: return true;
    default: return false;
  }
}

[[noreturn]] void StartTraced(const std::string& path, const std::vector<std::string>& args,
                              const RunOptions& options) {
  int null = open("/dev/null", O_RDWR);
  for (int fd = 0; fd < 3; ++fd) dup2(null, fd);
  PrepareChild(options);
  // The leak checker stops the program with ptrace of its own at its end,
  // which a traced program cannot allow.
  const char* asan = getenv("ASAN_OPTIONS");
  setenv("ASAN_OPTIONS", (std::string(asan ? asan : "") + ":detect_leaks=0").c_str(), 1);
  if (ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) != 0) _exit(125);
  ExecProgram(path, args);
}

// Kills the program and collects the end of each of its threads.
void KillAndReap(pid_t pid) {
  kill(pid, SIGKILL);
  int status = 0;
  for (;;) {
    pid_t got = waitpid(-1, &status, __WALL);
    if (got < 0 || (got == pid && (WIFEXITED(status) || WIFSIGNALED(status)))) return;
  }
}

// Follows every thread of a traced program from one stop to the next.
class TracedThreads {
 public:
  explicit TracedThreads(pid_t pid) : pid_(pid), known_{pid} {}

  // Lets the stopped thread go on to its next system call.
  void Resume() {
    if (stopped_ != 0) ptrace(PTRACE_SYSCALL, stopped_, nullptr, signal_);
    stopped_ = 0;
    signal_ = 0;
  }
  // Waits for the next stop of some thread at a system call's entry or exit;
  // false when the program has ended. Other stops (a new thread's first
  // stop, the start of a thread, signals) are passed through on the way.
  bool NextSyscallStop(pid_t* thread) {
    int status = 0;
    for (;;) {
      pid_t got = waitpid(-1, &status, __WALL);
      if (got < 0) return false;
      if (WIFEXITED(status) || WIFSIGNALED(status)) {
        if (got == pid_) return false;
        known_.erase(got);
        continue;
      }
      stopped_ = got;
      int stop = WSTOPSIG(status);
      if (stop == (SIGTRAP | 0x80) && known_.count(got)) {
        *thread = got;
        return true;
      }
      if (!known_.count(got)) {
        known_.insert(got);  // a new thread's first stop
      } else if (stop != SIGTRAP) {
        signal_ = stop;
      }
      Resume();
    }
  }

 private:
  pid_t pid_;
  std::set<pid_t> known_;
  pid_t stopped_ = 0;
  int signal_ = 0;
};

}  // namespace

KillPointRun RunProgramKilledAt(const std::string& program, const std::vector<std::string>& args,
                                const RunOptions& options, int killAt) {
  KillPointRun run;
  std::string path = ProgramToRun(program);
  pid_t pid = fork();
  if (pid == 0) StartTraced(path, args, options);
  int status = 0;
  // The program stops with SIGTRAP once it has been started.
  if (waitpid(pid, &status, 0) != pid || !WIFSTOPPED(status)) return run;
  run.traced = true;
  // Threads the program starts are traced too: a change made by any of them counts.
  ptrace(PTRACE_SETOPTIONS, pid, nullptr,
         PTRACE_O_TRACESYSGOOD | PTRACE_O_EXITKILL | PTRACE_O_TRACECLONE);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(options.timeoutSeconds);
  TracedThreads threads(pid);
  ptrace(PTRACE_SYSCALL, pid, nullptr, 0);
  pid_t thread = 0;
  while (threads.NextSyscallStop(&thread)) {
    if (std::chrono::steady_clock::now() > deadline) break;
    SyscallEntry call = {};
    bool entry = ptrace(PTRACE_GET_SYSCALL_INFO, thread, sizeof call, &call) > 0 &&
                 call.op == kSyscallEntry;
    if (entry && ChangesFiles(call)) {
      if (run.changes == killAt) {
        run.killed = true;
        break;
      }
      ++run.changes;
    }
    threads.Resume();
  }
  if (run.killed || std::chrono::steady_clock::now() > deadline) KillAndReap(pid);
  return run;
}

FileStates ReadFiles(const TempDrive& drive, const std::string& folder) {
  FileStates states;
  std::string prefix = folder.empty() ? "" : folder + "/";
  for (const std::string& name : drive.Files(folder)) states[name] = drive.Read(prefix + name);
  return states;
}

namespace {

const char kMissing[] = "(missing)";

std::string StateOf(const FileStates& states, const std::string& name) {
  auto found = states.find(name);
  return found == states.end() ? kMissing : found->second;
}

bool IsTemporary(const std::string& name, const std::vector<std::string>& temporary) {
  for (const std::string& temp : temporary) {
    if (name == temp) return true;
  }
  return false;
}

// One line for each file that is neither in its state before nor after.
std::string NeitherOldNorNew(const FileStates& now, const FileStates& before, const FileStates& after,
                             const std::vector<std::string>& temporary, const std::string& when) {
  std::map<std::string, bool> names;
  for (const auto* states : {&now, &before, &after}) {
    for (const auto& [name, content] : *states) names[name] = true;
  }
  std::string faults;
  for (const auto& [name, unused] : names) {
    std::string state = StateOf(now, name);
    if (state == StateOf(before, name) || state == StateOf(after, name)) continue;
    if (state != kMissing && IsTemporary(name, temporary)) continue;
    faults += when + ": " + name + " is " +
              (state == kMissing ? std::string("missing") : "neither old nor new (" +
                                                               std::to_string(state.size()) + " bytes)") +
              "\n";
  }
  return faults;
}

// Removes the files a run made, so that `setUp` can write the old ones.
void RemoveNewFiles(const TempDrive& drive, const std::string& folder, const FileStates& before) {
  std::string prefix = folder.empty() ? "" : folder + "/";
  for (const auto& [name, content] : ReadFiles(drive, folder)) {
    if (!before.count(name)) unlink(drive.Host(prefix + name).c_str());
  }
}

}  // namespace

std::string CheckKilledRewrites(const TempDrive& drive, const RewriteRun& run,
                                const std::function<void()>& setUp, int maxPoints, int* points) {
  *points = 0;
  setUp();
  FileStates before = ReadFiles(drive, run.folder);
  KillPointRun whole = RunProgramKilledAt(run.program, run.args, run.options, 1 << 30);
  if (!whole.traced) return "the program could not be run under ptrace\n";
  FileStates after = ReadFiles(drive, run.folder);
  if (after == before) return "a whole run changed nothing\n";
  int step = whole.changes <= maxPoints ? 1 : (whole.changes + maxPoints - 1) / maxPoints;
  std::string faults;
  for (int killAt = 0; killAt < whole.changes; killAt += step) {
    RemoveNewFiles(drive, run.folder, before);
    setUp();
    RunProgramKilledAt(run.program, run.args, run.options, killAt);
    ++*points;
    std::string when = "killed at change " + std::to_string(killAt);
    faults += NeitherOldNorNew(ReadFiles(drive, run.folder), before, after, run.temporary, when);
    RunProgram(run.program, run.args, run.options);
    if (ReadFiles(drive, run.folder) != after) faults += when + ": the next run left other files\n";
  }
  return faults;
}
