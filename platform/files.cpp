// Opening, reading, deleting, moving, copying and replacing files with the
// rules Windows programs rely on, over POSIX calls.
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <string>

#include "platform/attributes_host.h"
#include "platform/dir_cache.h"
#include "platform/drives_host.h"
#include "platform/errors.h"
#include "platform/errors_host.h"
#include "platform/file_replace_host.h"
#include "platform/files.h"
#include "platform/files_host.h"
#include "platform/host_io.h"

using namespace weft_host;

namespace {

// The parts of an fopen mode that matter here.
struct OpenMode {
  char kind = 0;  // 'r', 'w' or 'a'
  bool update = false;
  bool binary = false;
};

bool ParseMode(const char* mode, OpenMode* out) {
  if (!mode || (mode[0] != 'r' && mode[0] != 'w' && mode[0] != 'a')) return false;
  out->kind = mode[0];
  for (const char* p = mode + 1; *p; ++p) {
    if (*p == '+') out->update = true;
    if (*p == 'b') out->binary = true;
  }
  return true;
}

int OpenFlags(const OpenMode& mode) {
  int access = mode.update ? O_RDWR : (mode.kind == 'r' ? O_RDONLY : O_WRONLY);
  int flags = access | O_NONBLOCK | O_CLOEXEC;
  if (mode.kind == 'w') flags |= O_CREAT | O_TRUNC;
  if (mode.kind == 'a') flags |= O_CREAT | O_APPEND;
  return flags;
}

const char* StreamMode(const OpenMode& mode) {
  if (mode.kind == 'r') return mode.update ? "r+" : "r";
  if (mode.kind == 'w') return mode.update ? "w+" : "w";
  return mode.update ? "a+" : "a";
}

bool IsReadOnly(const struct stat& st) { return !S_ISLNK(st.st_mode) && !(st.st_mode & S_IWUSR); }

// These set the error (errno's, access denied, already exists) and return
// false, for the caller to pass on.
bool FailWithErrno() {
  SetErrno(errno);
  return false;
}

bool AccessDenied() {
  SetError(kErrorAccessDenied);
  return false;
}

bool AlreadyExists() {
  SetError(kErrorAlreadyExists);
  return false;
}

// Refuses what Windows cannot open as a file: directories and anything but a
// regular file.
bool CheckRegular(const struct stat& st) {
  if (S_ISDIR(st.st_mode)) return AccessDenied();
  if (!S_ISREG(st.st_mode)) {
    SetError("The system cannot open the file (not a regular file).");
    return false;
  }
  return true;
}

// Opens a host file without ever blocking on a FIFO or device, and keeps the
// descriptor only when it is a regular file. Returns -1 on failure.
// `status` (optional) receives the open file's status.
int OpenRegular(const std::string& host, int flags, struct stat* status = nullptr) {
  int fd = open(host.c_str(), flags | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd < 0) {
    SetErrno(errno == ENXIO ? EACCES : errno);
    return -1;
  }
  struct stat own;
  struct stat& st = status ? *status : own;
  if (fstat(fd, &st) != 0 || !CheckRegular(st)) {
    close(fd);
    return -1;
  }
  // O_NONBLOCK stays: it has no effect on a regular file.
  return fd;
}

// --- Text-mode reading: the file's text with each CR before an LF dropped,
// served from memory so that tell and seek count the characters the program
// sees.

struct TextStream {
  std::string text;
  size_t position = 0;
  // The stream's buffer: the text is in memory already, so a small one
  // serves, and it comes with the stream instead of an allocation of its own.
  char buffer[512];
};

ssize_t TextRead(void* cookie, char* buffer, size_t size) {
  auto stream = static_cast<TextStream*>(cookie);
  size_t left = stream->text.size() - stream->position;
  size_t n = size < left ? size : left;
  memcpy(buffer, stream->text.data() + stream->position, n);
  stream->position += n;
  return static_cast<ssize_t>(n);
}

int TextSeek(void* cookie, off64_t* offset, int whence) {
  auto stream = static_cast<TextStream*>(cookie);
  off64_t base = whence == SEEK_SET ? 0
                 : whence == SEEK_CUR ? static_cast<off64_t>(stream->position)
                                      : static_cast<off64_t>(stream->text.size());
  off64_t target = base + *offset;
  if (target < 0) {
    errno = EINVAL;
    return -1;
  }
  stream->position = static_cast<size_t>(target) < stream->text.size() ? static_cast<size_t>(target)
                                                                        : stream->text.size();
  *offset = target;
  return 0;
}

int TextClose(void* cookie) {
  delete static_cast<TextStream*>(cookie);
  return 0;
}

// In place: each CR that stands before an LF goes.
void DropCarriageReturns(std::string* text) {
  size_t kept = text->find('\r');
  if (kept == std::string::npos) return;
  for (size_t i = kept; i < text->size(); ++i) {
    char c = (*text)[i];
    if (c == '\r' && i + 1 < text->size() && (*text)[i + 1] == '\n') continue;
    (*text)[kept++] = c;
  }
  text->resize(kept);
}

FILE* OpenTextReader(int fd, off_t size) {
  auto stream = new TextStream;
  bool read = ReadAll(fd, &stream->text, size);
  close(fd);
  if (!read) {
    delete stream;
    return nullptr;
  }
  DropCarriageReturns(&stream->text);
  cookie_io_functions_t functions = {TextRead, nullptr, TextSeek, TextClose};
  FILE* file = fopencookie(stream, "r", functions);
  if (!file) {
    delete stream;
    SetErrno(errno);
    return nullptr;
  }
  setvbuf(file, stream->buffer, _IOFBF, sizeof stream->buffer);
  return file;
}

// --- Binary reading: a stream over the descriptor that carries its own
// buffer, so that opening one costs no calls beyond the open itself.

struct BinaryStream {
  int fd = -1;
  off64_t position = 0;  // of the descriptor, which only this stream moves
  char buffer[4096];
};

ssize_t BinaryRead(void* cookie, char* buffer, size_t size) {
  auto stream = static_cast<BinaryStream*>(cookie);
  for (;;) {
    ssize_t n = read(stream->fd, buffer, size);
    if (n > 0) stream->position += n;
    if (n >= 0 || errno != EINTR) return n;
  }
}

int BinarySeek(void* cookie, off64_t* offset, int whence) {
  auto stream = static_cast<BinaryStream*>(cookie);
  // ftell asks where the descriptor stands, which the stream knows.
  if (whence == SEEK_CUR && *offset == 0) {
    *offset = stream->position;
    return 0;
  }
  off64_t position = lseek64(stream->fd, *offset, whence);
  if (position < 0) return -1;
  stream->position = position;
  *offset = position;
  return 0;
}

int BinaryClose(void* cookie) {
  auto stream = static_cast<BinaryStream*>(cookie);
  int result = close(stream->fd);
  delete stream;
  return result;
}

FILE* OpenBinaryReader(int fd) {
  auto stream = new BinaryStream;
  stream->fd = fd;
  cookie_io_functions_t functions = {BinaryRead, nullptr, BinarySeek, BinaryClose};
  FILE* file = fopencookie(stream, "r", functions);
  if (!file) {
    SetErrno(errno);
    close(fd);
    delete stream;
    return nullptr;
  }
  setvbuf(file, stream->buffer, _IOFBF, sizeof stream->buffer);
  return file;
}

// --- Copying and renaming.

// Renames `from` to `to`; without `replace` an existing `to` is never touched.
bool RenameHost(const std::string& from, const std::string& to, bool replace) {
  int result = replace ? rename(from.c_str(), to.c_str())
                       : renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE);
  if (result != 0 && !replace && (errno == EINVAL || errno == ENOSYS)) {
    struct stat st;
    if (lstat(to.c_str(), &st) == 0) {
      errno = EEXIST;
    } else {
      result = rename(from.c_str(), to.c_str());
    }
  }
  return result == 0;
}

}  // namespace

namespace weft_host {

std::string CopyFileFor(const std::string& to) {
  uint64_t hash = 14695981039346656037ull;  // FNV-1a of the target's name
  for (unsigned char c : to.substr(to.rfind('/') + 1)) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  char name[32];
  snprintf(name, sizeof name, "/.weft-copy-%016llx", static_cast<unsigned long long>(hash));
  return HostParent(to) + name;
}

bool CopyIntoPlace(const std::string& from, const std::string& to, bool replace,
                   const struct stat* old) {
  int in = OpenRegular(from, O_RDONLY);
  if (in < 0) return false;
  struct stat st;
  fstat(in, &st);
  std::string temp = CopyFileFor(to);
  int lock = -1;
  // Private until it is whole: it takes its own mode when it is.
  int out = RemoveLeftover(temp) ? CreateLockedTemp(temp, &lock, 0600) : -1;
  if (out < 0) {
    close(in);
    return false;
  }
  bool ok = CopyAll(in, out);
  close(in);
  if (ok && fsync(out) != 0) {
    SetErrno(errno);
    ok = false;
  }
  struct timespec times[2] = {st.st_atim, st.st_mtim};
  futimens(out, times);
  if (old) CarryOwnerAndMode(out, *old);
  else fchmod(out, st.st_mode & 07777);
  if (close(out) != 0 && ok) {
    SetErrno(errno);
    ok = false;
  }
  if (ok) CopyHiddenFlag(from, temp);
  // Another program may have taken the name over before the lock was ours:
  // its file is neither put in place nor removed.
  struct stat copied;
  bool ours = lstat(temp.c_str(), &copied) == 0 && StillOurs(lock, copied);
  ok = ok && ours;
  if (ok && !RenameHost(temp, to, replace)) {
    if (errno == EEXIST) SetError(kErrorAlreadyExists);
    else SetErrno(errno);
    ok = false;
  }
  if (!ok && ours) unlink(temp.c_str());
  close(lock);
  return ok;
}

}  // namespace weft_host

namespace {

// A resolved target: its host path, whether it exists, its status.
struct Target {
  WinPath path;
  std::string host;
  bool exists = false;
  struct stat st = {};
};

// Looks up a resolved target (`target->path` set).
bool LookUpTarget(Target* target, bool writtenMissing = false) {
  bool found = false;
  if (!HostOf(target->path, &target->host, &found, &target->st, writtenMissing)) return false;
  if (target->path.parts.empty()) return AccessDenied();
  target->exists = found;
  return true;
}

bool ResolveTarget(const char* path, Target* target) {
  return ResolvePath(path, &target->path) && LookUpTarget(target);
}

// Opens a regular file for reading by its path as written: most paths name a
// file that exists just so, and then one status and one open answer them.
// The status comes first, so that nothing but a regular file is ever opened
// (opening a FIFO or a device has effects of its own); a file that changes
// between the two is read to its end all the same. -1 when that does not
// serve; the full lookup then decides (and says why). `missing` tells that
// nothing is there by the name as written, or that the kept names of its
// folder lack it, so that the lookup asks the folder's names, not the path.
int OpenAsWritten(const WinPath& path, struct stat* st, bool* missing) {
  std::string host;
  *missing = false;
  if (path.parts.empty() || !ExactHostOf(path, &host)) return -1;
  if (KeptNamesLack(host)) {
    *missing = true;
    return -1;
  }
  const char* call = CallPath(host);
  if (lstat(call, st) != 0) {
    *missing = errno == ENOENT;
    return -1;
  }
  if (S_ISLNK(st->st_mode) && stat(call, st) != 0) return -1;
  if (!S_ISREG(st->st_mode)) return -1;
  return open(call, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
}

bool ResolveSource(const char* path, std::string* host, struct stat* st) {
  if (!HostOfPath(path, host)) return false;
  if (lstat(host->c_str(), st) != 0) return FailWithErrno();
  return true;
}

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// May an existing target be replaced by a file?
bool CanReplace(const Target& target) {
  if (S_ISDIR(target.st.st_mode) || IsReadOnly(target.st)) return AccessDenied();
  return true;
}

// A move onto the same file under another letter case: the file takes the
// name as written.
bool RenameToWrittenCase(const std::string& source, const Target& target) {
  std::string renamed = HostParent(target.host) + "/" + target.path.parts.back();
  if (renamed == source || rename(source.c_str(), renamed.c_str()) == 0) return true;
  return FailWithErrno();
}

std::atomic<unsigned> tempCounter{0};

// Opens a file by OpenFile's rules: its descriptor, or -1 with the error
// set. `opened` receives the open file's status.
int OpenByRules(const char* path, const OpenMode& parsed, struct stat* opened) {
  Target target;
  if (!ResolvePath(path, &target.path)) return -1;
  bool reading = parsed.kind == 'r' && !parsed.update;
  bool missing = false;
  int fd = reading ? OpenAsWritten(target.path, opened, &missing) : -1;
  if (fd >= 0) return fd;
  if (!LookUpTarget(&target, missing)) return -1;
  if (parsed.kind == 'r' && !target.exists) {
    // Nothing of that name in any letter case: no file to open.
    SetErrno(ENOENT);
    return -1;
  }
  if (target.exists) {
    struct stat st = target.st;
    if (!S_ISLNK(st.st_mode) || stat(target.host.c_str(), &st) == 0) {
      if (!CheckRegular(st)) return -1;
      if ((parsed.kind != 'r' || parsed.update) && IsReadOnly(st)) {
        AccessDenied();
        return -1;
      }
    }
  }
  return OpenRegular(target.host, OpenFlags(parsed), opened);
}

bool ParseModeOrFail(const char* mode, OpenMode* parsed) {
  if (ParseMode(mode, parsed)) return true;
  SetError("The parameter is incorrect.");
  return false;
}

}  // namespace

namespace weft_host {

int OpenFileDescriptor(const char* path, const char* mode) {
  OpenMode parsed;
  struct stat opened;
  return ParseModeOrFail(mode, &parsed) ? OpenByRules(path, parsed, &opened) : -1;
}

}  // namespace weft_host

FILE* OpenFile(const char* path, const char* mode) {
  OpenMode parsed;
  if (!ParseModeOrFail(mode, &parsed)) return nullptr;
  struct stat opened;
  int fd = OpenByRules(path, parsed, &opened);
  if (fd < 0) return nullptr;
  if (parsed.kind == 'r' && !parsed.update) {
    return parsed.binary ? OpenBinaryReader(fd) : OpenTextReader(fd, opened.st_size);
  }
  FILE* file = fdopen(fd, StreamMode(parsed));
  if (!file) {
    SetErrno(errno);
    close(fd);
  }
  return file;
}

FileHandle OpenFileHandle(const char* path, uint64_t* size) {
  std::string host;
  if (!HostOfPath(path, &host)) return kInvalidFile;
  struct stat opened;
  int fd = OpenRegular(host, O_RDONLY, &opened);
  if (fd >= 0) *size = static_cast<uint64_t>(opened.st_size);
  return fd;
}

void CloseFileHandle(FileHandle file) {
  if (file >= 0) close(file);
}

bool ReadFileHandle(FileHandle file, uint64_t offset, char* buffer, size_t size) {
  size_t done = 0;
  while (done < size) {
    ssize_t n = pread(file, buffer + done, size - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

bool ReadWholeFile(const char* path, std::string* text) {
  WinPath resolved;
  std::string host;
  if (!ResolvePath(path, &resolved)) return false;
  struct stat opened;
  bool missing = false, found = false;
  int fd = OpenAsWritten(resolved, &opened, &missing);
  if (fd < 0 && HostOf(resolved, &host, &found, nullptr, missing)) {
    if (!found) {
      SetErrno(ENOENT);
      return false;
    }
    fd = OpenRegular(host, O_RDONLY, &opened);
  }
  if (fd < 0) return false;
  bool ok = ReadAll(fd, text, opened.st_size);
  close(fd);
  return ok;
}

std::vector<std::string> TextLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    if (!lines.back().empty() && lines.back().back() == '\r') lines.back().pop_back();
    start = end + 1;
  }
  return lines;
}

bool DeleteFile(const char* path) {
  std::string host;
  struct stat st;
  if (!ResolveSource(path, &host, &st)) return false;
  if (S_ISDIR(st.st_mode) || IsReadOnly(st)) return AccessDenied();
  if (unlink(host.c_str()) != 0) return FailWithErrno();
  return true;
}

bool CreateDir(const char* path) {
  Target target;
  if (!ResolveTarget(path, &target)) return false;
  if (mkdir(target.host.c_str(), 0777) != 0) {
    if (errno == ENOENT) SetError(kErrorPathNotFound);
    else SetErrno(errno);
    return false;
  }
  return true;
}

bool RemoveDir(const char* path) {
  std::string host;
  struct stat st;
  if (!ResolveSource(path, &host, &st)) return false;
  if (!S_ISDIR(st.st_mode)) {
    SetError("The directory name is invalid.");
    return false;
  }
  if (rmdir(host.c_str()) != 0) {
    SetErrno(errno == EEXIST ? ENOTEMPTY : errno);
    return false;
  }
  return true;
}

namespace {

bool RemoveHostTree(const std::string& host, const std::string& shown, const TreeRefusal& refused) {
  DIR* dir = opendir(host.c_str());
  if (!dir) return false;
  bool ok = true;
  while (dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    std::string child = host + "/" + name;
    std::string childShown = shown + "\\" + name;
    struct stat st;
    if (lstat(child.c_str(), &st) != 0) continue;
    if (S_ISDIR(st.st_mode)) {
      ok = RemoveHostTree(child, childShown, refused) && ok;
    } else if (S_ISREG(st.st_mode) && !(st.st_mode & S_IWUSR)) {
      refused(childShown, "Access is denied.");
      ok = false;
    } else if (unlink(child.c_str()) != 0) {
      refused(childShown, strerror(errno));
      ok = false;
    }
  }
  closedir(dir);
  if (!ok || rmdir(host.c_str()) == 0) return ok;
  SetErrno(errno);
  refused(shown, LastErrorText());
  return false;
}

}  // namespace

bool RemoveTree(const char* path, const TreeRefusal& refused) {
  std::string host;
  if (!HostOfPath(path, &host)) return false;
  return RemoveHostTree(host, GetFullPathString(path), refused);
}

bool MoveFile(const char* from, const char* to, bool replace) {
  std::string source;
  struct stat st;  // the source's: a directory moves only by a rename
  Target target;
  if (!ResolveSource(from, &source, &st) || !ResolveTarget(to, &target)) return false;
  if (target.exists && SameFile(st, target.st)) return RenameToWrittenCase(source, target);
  if (target.exists && !replace) return AlreadyExists();
  if (target.exists && (S_ISDIR(st.st_mode) || !CanReplace(target))) return AccessDenied();
  if (RenameHost(source, target.host, replace)) return true;
  if (errno == EEXIST) return AlreadyExists();
  if (errno != EXDEV || S_ISDIR(st.st_mode)) return FailWithErrno();
  if (!CopyIntoPlace(source, target.host, replace)) return false;
  unlink(source.c_str());
  return true;
}

bool CopyFile(const char* from, const char* to, bool failIfExists) {
  std::string source;
  struct stat st;
  Target target;
  if (!ResolveSource(from, &source, &st) || !ResolveTarget(to, &target)) return false;
  if (target.exists) {
    struct stat sourceStat;
    if (stat(source.c_str(), &sourceStat) == 0 && SameFile(sourceStat, target.st)) {
      SetError(kErrorSharingViolation);
      return false;
    }
    if (failIfExists) {
      SetError(kErrorFileExists);
      return false;
    }
    if (!CanReplace(target)) return false;
  }
  return CopyIntoPlace(source, target.host, !failIfExists);
}

bool MakeTempFile(const char* dir, const char* prefix, std::string* path) {
  std::string folder = dir && *dir ? dir : ".";
  std::string host;
  struct stat st;
  if (!HostOfPath(folder.c_str(), &host)) return false;
  if (stat(host.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    SetError("The directory name is invalid.");
    return false;
  }
  char last = folder.back();
  std::string base = folder + (last == '\\' || last == '/' || last == ':' ? "" : "\\");
  unsigned seed = static_cast<unsigned>(getpid()) * 2654435761u ^ static_cast<unsigned>(time(nullptr));
  for (unsigned attempt = 0; attempt < 0x10000; ++attempt) {
    unsigned number = (seed + tempCounter++) & 0xFFFF;
    char name[16];
    snprintf(name, sizeof name, "%04X.tmp", number);
    std::string candidate = base + (prefix ? prefix : "") + name;
    Target target;
    if (!ResolveTarget(candidate.c_str(), &target)) return false;
    if (target.exists) continue;
    int fd = open(target.host.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0 && errno == EEXIST) continue;
    if (fd < 0) return FailWithErrno();
    close(fd);
    *path = candidate;
    return true;
  }
  SetError(kErrorFileExists);
  return false;
}
