// Redirected standard handles over dup and dup2; a redirected standard
// stream is replaced, while the command runs, by a stream of its own whose
// writes keep the cause of the first one that failed.
#include "platform/std_handles.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <cerrno>

#include "platform/ascii_case.h"
#include "platform/errors_host.h"
#include "platform/files_host.h"

namespace {

// What a watched stream writes to: the handle, and the cause of the first
// write that failed (a full disk, a device that takes nothing).
struct WriteWatch {
  int handle = 1;
  int error = 0;  // errno of the first failed write; 0 while all went well
};

ssize_t WriteWatched(void* cookie, const char* data, size_t size) {
  auto* watch = static_cast<WriteWatch*>(cookie);
  size_t done = 0;
  while (done < size) {
    ssize_t n = write(watch->handle, data + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (!watch->error) watch->error = n < 0 ? errno : ENOSPC;
      return -1;
    }
    done += static_cast<size_t>(n);
  }
  return static_cast<ssize_t>(size);
}

bool IsNullDevice(const std::string& path) { return SameNoCase(path, "nul") || SameNoCase(path, "nul:"); }

const char* ModeText(StdRedirection::Mode mode) {
  if (mode == StdRedirection::Mode::kRead) return "rb";
  return mode == StdRedirection::Mode::kAppend ? "ab" : "wb";
}

int OpenNullDevice(StdRedirection::Mode mode) {
  int flags = mode == StdRedirection::Mode::kRead ? O_RDONLY : O_WRONLY;
  int fd = open("/dev/null", flags | O_CLOEXEC);
  if (fd < 0) weft_host::SetErrno(errno);
  return fd;
}

}  // namespace

struct StdRedirection::Watched {
  WriteWatch watch;
  FILE** standard = nullptr;  // &stdout or &stderr, which commands write through
  FILE* original = nullptr;
  FILE* file = nullptr;       // the stream in its place; null while not watched
};

StdRedirection::StdRedirection() = default;
StdRedirection::~StdRedirection() { Restore(); }

bool StdRedirection::ToFile(int handle, const std::string& path, Mode mode) {
  int fd = IsNullDevice(path) ? OpenNullDevice(mode)
                              : weft_host::OpenFileDescriptor(path.c_str(), ModeText(mode));
  return fd >= 0 && Redirect(handle, fd);
}

bool StdRedirection::ToHandle(int handle, int other) {
  int fd = dup(other);
  return fd >= 0 && Redirect(handle, fd);
}

// The handle becomes `fd`, which goes; what was written before through the
// standard streams goes out first, where it belongs.
bool StdRedirection::Redirect(int handle, int fd) {
  fflush(nullptr);
  saved_.push_back({handle, dup(handle)});
  dup2(fd, handle);
  close(fd);
  if (handle == 0) clearerr(stdin);
  if (handle == 1 || handle == 2) Watch(handle);
  return true;
}

// The commands' writes to the handle go through a stream that keeps the
// cause of a failed write; stdout stays buffered and stderr unbuffered.
void StdRedirection::Watch(int handle) {
  std::unique_ptr<Watched>& watched = watched_[handle - 1];
  if (watched && watched->file) return;
  watched = std::make_unique<Watched>();
  watched->watch = WriteWatch{handle, 0};
  watched->standard = handle == 1 ? &stdout : &stderr;
  cookie_io_functions_t functions = {nullptr, WriteWatched, nullptr, nullptr};
  watched->file = fopencookie(&watched->watch, "w", functions);
  if (!watched->file) return;
  setvbuf(watched->file, nullptr, handle == 1 ? _IOFBF : _IONBF, 0);
  watched->original = *watched->standard;
  *watched->standard = watched->file;
}

bool StdRedirection::Restore() {
  int error = 0;
  for (std::unique_ptr<Watched>& watched : watched_) {
    if (!watched || !watched->file) continue;
    if (fflush(watched->file) != 0 && !watched->watch.error) watched->watch.error = EIO;
    *watched->standard = watched->original;
    fclose(watched->file);
    watched->file = nullptr;
    if (!error) error = watched->watch.error;
  }
  fflush(nullptr);
  for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
    dup2(it->second, it->first);
    close(it->second);
    if (it->first == 0) clearerr(stdin);
  }
  saved_.clear();
  if (!error) return true;
  weft_host::SetErrno(error);
  return false;
}
