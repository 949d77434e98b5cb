// A child started from a plan: the parent turns the plan into plain
// pointers and numbers, and the child, a clone that shares its memory and
// blocks it until the program runs (as posix_spawn does, without the copy of
// a fork, which a server with many threads would feel), applies them with
// raw system calls on a stack of its own.
#include "platform/child_start.h"

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/attributes.h"
#include "platform/drives.h"
#include "platform/env_host.h"
#include "platform/errors_host.h"

namespace weft_host {
namespace {

// Room in an own variable for the child's process id.
constexpr size_t kIdRoom = 20;

// The host path of the working folder and of the output file as the program
// in that folder would name it. False (with the error) when either cannot be.
bool ChildPaths(const ProcessOptions& options, std::string* folder, std::string* output) {
  std::string base = options.workingDir.empty() ? "" : GetFullPathString(options.workingDir.c_str());
  if (!options.workingDir.empty()) {
    uint32_t attributes = base.empty() ? kInvalidAttributes : GetAttributes(base.c_str());
    if (attributes == kInvalidAttributes || !(attributes & kAttrDirectory) ||
        !HostPath(base.c_str(), folder)) {
      SetError(std::string("Can't set the working directory: ") + options.workingDir);
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

// --- The child's side: only what the kernel does, and this code's own.

// An own variable as the child fills it in.
struct RawOwnVariable {
  size_t index;
  const char* name;
  size_t nameLength;
  char* colon;  // the ':' in the buffer, before which the id goes
};

// The plan as the child reads it.
struct RawPlan {
  const char* program = nullptr;
  char* const* argv = nullptr;
  char** envp = nullptr;
  RawOwnVariable* own = nullptr;
  size_t ownCount = 0;
  const char* folder = nullptr;  // null: the caller's
  const char* output = nullptr;  // null: the caller's standard output
  bool newGroup = false;
  uint64_t outputLimit = 0;
  int channel = -1;
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

// The child shares the caller's memory, so it must not call the C library's
// functions (locks, allocation, interceptors) nor let a handler of the
// caller run: every signal stays blocked until the program runs, and each
// handled one (and SIGPIPE and SIGXFSZ, which a server ignores) goes back to
// its default. Nothing here is instrumented, and bytes are stored one by one
// through a volatile pointer, so that no copy becomes a call.
#define CHILD_SIDE __attribute__((no_sanitize("address", "undefined")))

[[noreturn]] CHILD_SIDE void ChildFailed(RawPlan* plan) {
  plan->error = errno;
  syscall(SYS_exit, 127);
  __builtin_unreachable();
}

CHILD_SIDE void DefaultSignals() {
  for (int number = 1; number < 65; ++number) {
    if (number == SIGKILL || number == SIGSTOP) continue;
    KernelSignalAction old{};
    if (syscall(SYS_rt_sigaction, number, nullptr, &old, 8) != 0) continue;
    bool handled = old.handler != SIG_IGN && old.handler != SIG_DFL;
    if (!handled && number != SIGPIPE && number != SIGXFSZ) continue;
    KernelSignalAction standard{};
    syscall(SYS_rt_sigaction, number, &standard, nullptr, 8);
  }
}

// "NAME=<id>" written just before the ':' of the variable's buffer.
CHILD_SIDE void FillOwnVariable(const RawOwnVariable& variable, long id, char** envp) {
  volatile char* at = variable.colon;
  do {
    *--at = static_cast<char>('0' + id % 10);
    id /= 10;
  } while (id > 0);
  for (size_t i = variable.nameLength; i > 0; --i) *--at = variable.name[i - 1];
  envp[variable.index] = const_cast<char*>(at);
}

// The caller's descriptors (its sockets, its files) stay with the caller,
// but for the channel the plan hands on.
CHILD_SIDE void KeepOnlyTheChannel(RawPlan* plan) {
  if (plan->channel < 0) {
    syscall(SYS_close_range, 3, ~0U, 0);
    return;
  }
  long kept = plan->channel == kChannelDescriptor
                  ? syscall(SYS_fcntl, kChannelDescriptor, F_SETFD, 0)
                  : syscall(SYS_dup3, plan->channel, kChannelDescriptor, 0);
  if (kept < 0) ChildFailed(plan);
  syscall(SYS_close_range, kChannelDescriptor + 1, ~0U, 0);
}

CHILD_SIDE int ChildMain(void* argument) {
  RawPlan* plan = static_cast<RawPlan*>(argument);
  DefaultSignals();
  if (plan->newGroup && syscall(SYS_setpgid, 0, 0) != 0) ChildFailed(plan);
  if (plan->outputLimit > 0) {
    // One byte more than the limit, as OutputPassedLimit tells.
    KernelLimit limit{plan->outputLimit + 1, plan->outputLimit + 1};
    if (syscall(SYS_prlimit64, 0, RLIMIT_FSIZE, &limit, nullptr) != 0) ChildFailed(plan);
  }
  if (plan->folder && syscall(SYS_chdir, plan->folder) != 0) ChildFailed(plan);
  if (plan->output) {
    long fd = syscall(SYS_openat, AT_FDCWD, plan->output, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0 || syscall(SYS_dup2, fd, 1) < 0) ChildFailed(plan);
    syscall(SYS_close, fd);
  }
  KeepOnlyTheChannel(plan);
  long id = syscall(SYS_getpid);
  for (size_t i = 0; i < plan->ownCount; ++i) FillOwnVariable(plan->own[i], id, plan->envp);
  syscall(SYS_rt_sigprocmask, SIG_SETMASK, &plan->mask, nullptr, 8);
  syscall(SYS_execve, plan->program, plan->argv, plan->envp);
  ChildFailed(plan);
}

}  // namespace

void ChildPlan::AddOwnVariable(const std::string& name, const std::string& text) {
  OwnVariable variable;
  variable.index = env.size();
  variable.name = name + "=";
  variable.buffer = std::string(variable.name.size() + kIdRoom, ' ') + ":" + text;
  env.push_back(variable.name);  // in its place until the child points there
  ownVariables.push_back(std::move(variable));
}

bool PlanChild(const ProcessOptions& options, ChildPlan* plan) {
  if (!ChildPaths(options, &plan->folder, &plan->output)) return false;
  std::vector<std::string> changes = options.environment;
  changes.push_back(std::string(kCommandLineVariable) + "=");
  changes.push_back(std::string(kErrorLevelVariable) + "=");
  plan->env = EnvironmentWith(changes);
  if (!options.commandLine.empty()) plan->AddOwnVariable(kCommandLineVariable, options.commandLine);
  plan->newGroup = options.timeLimitMs > 0 || options.outputLimit > 0;
  plan->outputLimit = options.outputLimit;
  return true;
}

int StartChild(ChildPlan* plan) {
  std::vector<char*> argv = Pointers(plan->argv);
  std::vector<char*> envp = Pointers(plan->env);
  std::vector<RawOwnVariable> own;
  for (ChildPlan::OwnVariable& variable : plan->ownVariables) {
    char* colon = variable.buffer.data() + variable.name.size() + kIdRoom;
    own.push_back({variable.index, variable.name.c_str(), variable.name.size(), colon});
  }
  RawPlan raw;
  raw.program = plan->program.c_str();
  raw.argv = argv.data();
  raw.envp = envp.data();
  raw.own = own.data();
  raw.ownCount = own.size();
  raw.folder = plan->folder.empty() ? nullptr : plan->folder.c_str();
  raw.output = plan->output.empty() ? nullptr : plan->output.c_str();
  raw.newGroup = plan->newGroup;
  raw.outputLimit = plan->outputLimit;
  raw.channel = plan->channel;
  std::vector<char> stack(64 * 1024);
  uintptr_t top = reinterpret_cast<uintptr_t>(stack.data() + stack.size()) & ~uintptr_t{15};
  uint64_t all = ~uint64_t{0};
  syscall(SYS_rt_sigprocmask, SIG_BLOCK, &all, &raw.mask, 8);
  pid_t pid = clone(ChildMain, reinterpret_cast<void*>(top), CLONE_VM | CLONE_VFORK | SIGCHLD, &raw);
  int cloneError = errno;
  syscall(SYS_rt_sigprocmask, SIG_SETMASK, &raw.mask, nullptr, 8);
  if (pid > 0 && raw.error != 0) {
    int status;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    pid = -1;
  }
  if (pid > 0) return pid;
  int error = raw.error ? raw.error : cloneError;
  SetError(std::string("Can't start \"") + plan->shown + "\": " + strerror(error));
  return -1;
}

bool OutputPassedLimit(const ChildPlan& plan) {
  struct stat st;
  return plan.outputLimit > 0 && !plan.output.empty() && stat(plan.output.c_str(), &st) == 0 &&
         static_cast<uint64_t>(st.st_size) > plan.outputLimit;
}

}  // namespace weft_host
