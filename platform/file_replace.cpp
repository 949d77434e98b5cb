// The replace step over POSIX calls: temporary files claimed with a lock so
// that a leftover of a killed run can be told from one still being written,
// fsync before the rename, and symbolic and hard links kept intact.
#include "platform/file_replace.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <mutex>
#include <string>

#include "platform/attributes_host.h"
#include "platform/drives_host.h"
#include "platform/errors.h"
#include "platform/errors_host.h"
#include "platform/file_replace_host.h"
#include "platform/files_host.h"

using namespace weft_host;

namespace {

// The temporary files this process writes: host path -> a descriptor that
// holds the file's lock until the file is put in place or discarded.
struct Claims {
  std::mutex mutex;
  std::map<std::string, int> locks;
};

Claims& TheClaims() {
  static Claims claims;
  return claims;
}

void Release(const std::string& host) {
  Claims& claims = TheClaims();
  std::lock_guard<std::mutex> hold(claims.mutex);
  auto found = claims.locks.find(host);
  if (found == claims.locks.end()) return;
  close(found->second);
  claims.locks.erase(found);
}

void Claim(const std::string& host, int fd) {
  Release(host);
  Claims& claims = TheClaims();
  std::lock_guard<std::mutex> hold(claims.mutex);
  claims.locks[host] = fd;
}

// A descriptor of the claimed temporary file, or -1.
int ClaimedFd(const std::string& host) {
  Claims& claims = TheClaims();
  std::lock_guard<std::mutex> hold(claims.mutex);
  auto found = claims.locks.find(host);
  return found == claims.locks.end() ? -1 : found->second;
}

// Creates the temporary file anew and claims it; -1 on failure.
int CreateLocked(const std::string& host) {
  int lock = -1;
  int fd = CreateLockedTemp(host, &lock);
  if (fd >= 0) Claim(host, lock);
  return fd;
}

bool IsWriteMode(const char* mode) { return mode && mode[0] == 'w'; }

bool IsBinaryMode(const char* mode) {
  for (const char* p = mode; *p; ++p) {
    if (*p == 'b') return true;
  }
  return false;
}

// The host path of a Windows path, each component looked up without regard
// to case; `st` is the lstat of an existing path.
bool LookUp(const char* path, std::string* host, bool* found, struct stat* st) {
  WinPath resolved;
  if (!ResolvePath(path, &resolved) || !HostOf(resolved, host, found, st)) return false;
  if (resolved.parts.empty()) {
    SetError(kErrorAccessDenied);
    return false;
  }
  return true;
}

// The file a replacement is written to: the target itself, or for a symbolic
// link the file the link names. `exists` tells whether there is one.
struct Destination {
  std::string host;
  bool exists = false;
  struct stat st = {};
};

// Fills in the destination of a host path whose lstat is `st` (`found`
// tells whether it exists).
bool ResolveDestination(const std::string& host, bool found, const struct stat& st,
                        Destination* out) {
  out->host = host;
  out->exists = found;
  if (!found) return true;
  out->st = st;
  if (!S_ISLNK(st.st_mode)) return true;
  char* real = realpath(host.c_str(), nullptr);
  if (!real || stat(real, &out->st) != 0) {
    int error = errno;
    free(real);
    SetErrno(error);
    return false;
  }
  out->host = real;
  free(real);
  return true;
}

bool MayReplace(const Destination& destination) {
  if (!destination.exists) return true;
  const struct stat& st = destination.st;
  if (S_ISREG(st.st_mode) && (st.st_mode & S_IWUSR)) return true;
  SetError(kErrorAccessDenied);
  return false;
}

bool WriteFully(int fd, const char* data, size_t size, off_t at) {
  while (size > 0) {
    ssize_t n = pwrite(fd, data, size, at);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      SetErrno(n < 0 ? errno : ENOSPC);
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
    at += n;
  }
  return true;
}

// Writes the finished temporary file into the target's own inode, so that
// every name of a hard-linked file shows the new version. The temporary file
// keeps the whole new version until the target is flushed.
bool WriteInPlace(const std::string& temp, const std::string& target) {
  int in = open(temp.c_str(), O_RDONLY | O_CLOEXEC);
  int out = in < 0 ? -1 : open(target.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
  if (in < 0 || out < 0) {
    SetErrno(errno);
    if (in >= 0) close(in);
    return false;
  }
  // Room for a longer version is taken first, so that a full disk refuses
  // it before a byte of the old one is overwritten.
  struct stat inStatus, outStatus;
  if (fstat(in, &inStatus) == 0 && fstat(out, &outStatus) == 0 && inStatus.st_size > outStatus.st_size &&
      fallocate(out, FALLOC_FL_KEEP_SIZE, 0, inStatus.st_size) != 0 && errno == ENOSPC) {
    SetErrno(errno);
    close(in);
    close(out);
    return false;
  }
  char buffer[65536];
  off_t at = 0;
  bool ok = true;
  for (;;) {
    ssize_t n = read(in, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) SetErrno(errno);
    if (n <= 0) {
      ok = n == 0;
      break;
    }
    if (!WriteFully(out, buffer, static_cast<size_t>(n), at)) {
      ok = false;
      break;
    }
    at += n;
  }
  if (ok && (ftruncate(out, at) != 0 || fsync(out) != 0)) {
    SetErrno(errno);
    ok = false;
  }
  close(in);
  if (close(out) != 0 && ok) {
    SetErrno(errno);
    ok = false;
  }
  return ok;
}

// Most new files already have the old one's owner and mode: nothing to carry.
bool SameOwnerAndMode(const struct stat& a, const struct stat& b) {
  return a.st_uid == b.st_uid && a.st_gid == b.st_gid && (a.st_mode & 07777) == (b.st_mode & 07777);
}

// Flushes the temporary file (the file named `temp`, whose status is `st`)
// and gives it the old file's owner and mode.
bool PrepareTemporary(const std::string& temp, const struct stat& st,
                      const Destination& destination) {
  int fd = ClaimedFd(temp);
  bool own = fd < 0;
  if (!own && !StillOurs(fd, st)) return false;
  if (own) fd = open(temp.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    SetErrno(errno);
    return false;
  }
  bool ok = fsync(fd) == 0;
  if (!ok) SetErrno(errno);
  if (ok && destination.exists && !SameOwnerAndMode(st, destination.st)) {
    CarryOwnerAndMode(fd, destination.st);
  }
  if (own) close(fd);
  if (ok && destination.exists) CopyHiddenFlag(destination.host, temp);
  return ok;
}

// The temporary file is in place (or gone into the target): its name is
// free again.
bool Done(const std::string& temp) {
  Release(temp);
  return true;
}

}  // namespace

namespace weft_host {

bool RemoveLeftover(const std::string& host) {
  int fd = open(CallPath(host), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0 && errno == ENOENT) return true;
  if (fd < 0 && errno != ELOOP) {
    SetErrno(errno);
    return false;
  }
  if (fd >= 0) {
    struct stat st;
    bool busy = fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || flock(fd, LOCK_EX | LOCK_NB) != 0;
    if (busy) {
      close(fd);
      SetError(kErrorSharingViolation);
      return false;
    }
  }
  bool removed = unlink(CallPath(host)) == 0 || errno == ENOENT;
  if (!removed) SetErrno(errno);
  if (fd >= 0) close(fd);
  return removed;
}

int CreateLockedTemp(const std::string& host, int* lock, mode_t mode) {
  int fd = open(CallPath(host), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
  if (fd < 0) {
    if (errno == EEXIST) SetError(kErrorSharingViolation);
    else SetErrno(errno);
    return -1;
  }
  *lock = fcntl(fd, F_DUPFD_CLOEXEC, 0);
  if (*lock < 0 || flock(*lock, LOCK_EX | LOCK_NB) != 0) {
    SetError(kErrorSharingViolation);
    if (*lock >= 0) close(*lock);
    *lock = -1;
    close(fd);
    return -1;
  }
  return fd;
}

bool StillOurs(int fd, const struct stat& st) {
  struct stat own;
  if (fstat(fd, &own) == 0 && own.st_dev == st.st_dev && own.st_ino == st.st_ino) return true;
  SetError(kErrorSharingViolation);
  return false;
}

bool PutInPlace(const std::string& source, const struct stat& st, const std::string& target,
                bool found, const struct stat& targetSt) {
  if (!S_ISREG(st.st_mode)) {
    SetError(kErrorAccessDenied);
    return false;
  }
  Destination destination;
  if (!ResolveDestination(target, found, targetSt, &destination) || !MayReplace(destination)) {
    return false;
  }
  if (destination.exists && destination.st.st_dev == st.st_dev &&
      destination.st.st_ino == st.st_ino) {
    return Done(source);  // the same file under another letter case
  }
  if (!PrepareTemporary(source, st, destination)) return false;
  if (destination.exists && destination.st.st_nlink > 1) {
    if (!WriteInPlace(source, destination.host)) return false;
    unlink(source.c_str());
    return Done(source);
  }
  if (rename(CallPath(source), CallPath(destination.host)) == 0) return Done(source);
  if (errno != EXDEV) {
    SetErrno(errno);
    return false;
  }
  const struct stat* old = destination.exists ? &destination.st : nullptr;
  if (!CopyIntoPlace(source, destination.host, true, old)) return false;
  unlink(source.c_str());
  return Done(source);
}

bool PutInPlace(const std::string& source, const std::string& target) {
  struct stat st, targetSt;
  if (lstat(CallPath(source), &st) != 0) {
    SetErrno(errno);
    return false;
  }
  bool found = lstat(CallPath(target), &targetSt) == 0;
  if (!found && errno != ENOENT) {
    SetErrno(errno);
    return false;
  }
  return PutInPlace(source, st, target, found, targetSt);
}

void CarryOwnerAndMode(int fd, const struct stat& old) {
  bool owner = fchown(fd, old.st_uid, old.st_gid) == 0;
  bool group = owner || fchown(fd, static_cast<uid_t>(-1), old.st_gid) == 0;
  mode_t mode = old.st_mode & (owner ? 07777 : 0777);
  // Without the old group, its permissions would go to another group.
  if (!group) mode &= ~static_cast<mode_t>(S_IRWXG);
  fchmod(fd, mode);
}

}  // namespace weft_host

FILE* CreateReplacement(const char* temp, const char* mode) {
  if (!IsWriteMode(mode)) {
    SetError("The parameter is incorrect.");
    return nullptr;
  }
  std::string host;
  bool found = false;
  struct stat st;
  if (!LookUp(temp, &host, &found, &st)) return nullptr;
  Release(host);
  if (found && !RemoveLeftover(host)) return nullptr;
  int fd = CreateLocked(host);
  if (fd < 0) return nullptr;
  FILE* file = fdopen(fd, IsBinaryMode(mode) ? "wb" : "w");
  if (!file) {
    SetErrno(errno);
    close(fd);
    unlink(host.c_str());
    Release(host);
  }
  return file;
}

bool ReplaceFile(const char* temp, const char* target) {
  std::string source, host;
  bool found = false, targetFound = false;
  struct stat st, targetSt;
  if (!LookUp(temp, &source, &found, &st) || !LookUp(target, &host, &targetFound, &targetSt)) {
    return false;
  }
  if (!found) {
    SetError(kErrorFileNotFound);
    return false;
  }
  return PutInPlace(source, st, host, targetFound, targetSt);
}

bool DiscardReplacement(const char* temp) {
  std::string host;
  bool found = false;
  struct stat st;
  if (!LookUp(temp, &host, &found, &st)) return false;
  bool removed = !found || unlink(host.c_str()) == 0;
  if (!removed) SetErrno(errno);
  Release(host);
  return removed;
}

bool CommitReplacement(FILE* file, bool written, const char* temp, const char* target) {
  written = ferror(file) == 0 && written;
  written = fclose(file) == 0 && written;
  if (written && ReplaceFile(temp, target)) return true;
  DiscardReplacement(temp);
  return false;
}

bool IsReplaceable(const char* target) {
  std::string host;
  bool found = false;
  struct stat st;
  if (!LookUp(target, &host, &found, &st)) return false;
  Destination destination;
  return ResolveDestination(host, found, st, &destination) && MayReplace(destination);
}
