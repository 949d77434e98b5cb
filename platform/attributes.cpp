// Windows file attributes over POSIX files. Read-only comes from the owner's
// write permission; hidden from a leading dot or the attribute record; the
// archive bit from a stamp (size and modification time) in the record, which
// lives in the extended attribute user.weft.attrib.
#include "platform/attributes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/xattr.h>

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/attributes_host.h"
#include "platform/dir_cache.h"
#include "platform/drives_host.h"
#include "platform/errors_host.h"
#include "platform/filetime.h"
#include "platform/filetime_host.h"

namespace weft_host {
namespace {

constexpr const char* kRecordName = "user.weft.attrib";

// The stored record: the hidden flag and the archive stamp.
struct Record {
  bool hidden = false;
  bool hasStamp = false;
  uint64_t size = 0;
  int64_t seconds = 0;
  int64_t nanoseconds = 0;
};

Record ReadRecord(const std::string& host) {
  Record record;
  char text[128];
  ssize_t n = getxattr(CallPath(host), kRecordName, text, sizeof text - 1);
  if (n <= 0) return record;
  text[n] = '\0';
  record.hidden = strstr(text, "hidden") != nullptr;
  const char* stamp = strstr(text, "stamp=");
  if (stamp && sscanf(stamp, "stamp=%" SCNu64 ":%" SCNd64 ".%" SCNd64, &record.size,
                      &record.seconds, &record.nanoseconds) == 3) {
    record.hasStamp = true;
  }
  return record;
}

std::string RecordText(const Record& record) {
  std::string text;
  if (record.hidden) text = "hidden";
  if (record.hasStamp) {
    char stamp[80];
    snprintf(stamp, sizeof stamp, "stamp=%" PRIu64 ":%" PRId64 ".%09" PRId64, record.size,
             record.seconds, record.nanoseconds);
    if (!text.empty()) text += ' ';
    text += stamp;
  }
  return text;
}

// Stores the record, or removes it when it says nothing.
bool WriteRecord(const std::string& host, const Record& record) {
  std::string text = RecordText(record);
  if (text.empty()) {
    if (removexattr(host.c_str(), kRecordName) == 0 || errno == ENODATA || errno == ENOTSUP) {
      return true;
    }
    SetErrno(errno);
    return false;
  }
  if (setxattr(host.c_str(), kRecordName, text.data(), text.size(), 0) == 0) return true;
  if (errno == ENOTSUP) {
    SetError("The file system here keeps no file attributes (hidden, archive): " + host);
  } else {
    SetErrno(errno);
  }
  return false;
}

bool IsDotName(const std::string& name) {
  return !name.empty() && name[0] == '.' && name != "." && name != "..";
}

bool StampMatches(const Record& record, const struct stat& st) {
  return record.hasStamp && record.size == static_cast<uint64_t>(st.st_size) &&
         record.seconds == st.st_mtim.tv_sec && record.nanoseconds == st.st_mtim.tv_nsec;
}

std::string LastComponent(const std::string& host) {
  size_t slash = host.rfind('/');
  return slash == std::string::npos ? host : host.substr(slash + 1);
}

FileTime BirthOrModified(const struct statx& sx, const struct stat& st) {
  if (!(sx.stx_mask & STATX_BTIME)) return ToFileTime(st.st_mtim);
  struct timespec birth = {static_cast<time_t>(sx.stx_btime.tv_sec),
                           static_cast<long>(sx.stx_btime.tv_nsec)};
  return ToFileTime(birth);
}

FileTime CreationTime(const std::string& host, const struct stat& st) {
  struct statx sx;
  if (statx(AT_FDCWD, host.c_str(), 0, STATX_BTIME, &sx) == 0) return BirthOrModified(sx, st);
  return ToFileTime(st.st_mtim);
}

struct timespec TimeOf(const struct statx_timestamp& time) {
  return {static_cast<time_t>(time.tv_sec), static_cast<long>(time.tv_nsec)};
}

// The stat fields of a statx answer.
void StatFromStatx(const struct statx& sx, struct stat* st) {
  *st = {};
  st->st_dev = makedev(sx.stx_dev_major, sx.stx_dev_minor);
  st->st_ino = sx.stx_ino;
  st->st_mode = sx.stx_mode;
  st->st_nlink = sx.stx_nlink;
  st->st_uid = sx.stx_uid;
  st->st_gid = sx.stx_gid;
  st->st_rdev = makedev(sx.stx_rdev_major, sx.stx_rdev_minor);
  st->st_size = static_cast<off_t>(sx.stx_size);
  st->st_blksize = static_cast<blksize_t>(sx.stx_blksize);
  st->st_blocks = static_cast<blkcnt_t>(sx.stx_blocks);
  st->st_atim = TimeOf(sx.stx_atime);
  st->st_mtim = TimeOf(sx.stx_mtime);
  st->st_ctim = TimeOf(sx.stx_ctime);
}

// Attributes of a host file already stat'ed; `name` is the name shown (for
// the dot rule).
uint32_t AttributesOf(const std::string& host, const struct stat& st, const std::string& name) {
  Record record = ReadRecord(host);
  uint32_t attributes = 0;
  if (S_ISDIR(st.st_mode)) attributes |= kAttrDirectory;
  if (!(st.st_mode & S_IWUSR)) attributes |= kAttrReadOnly;
  if (IsDotName(name) || record.hidden) attributes |= kAttrHidden;
  if (!S_ISDIR(st.st_mode) && !StampMatches(record, st)) attributes |= kAttrArchive;
  return attributes ? attributes : kAttrNormal;
}

}  // namespace

void FillFindData(const std::string& host, const struct stat& st, const std::string& name,
                  FindData* data) {
  FillFindData(host, st, CreationTime(host, st), name, data);
}

void FillFindData(const std::string& host, const struct stat& st, FileTime creation,
                  const std::string& name, FindData* data) {
  data->attributes = AttributesOf(host, st, name);
  data->size = S_ISDIR(st.st_mode) ? 0 : static_cast<uint64_t>(st.st_size);
  data->creationTime = creation;
  data->accessTime = ToFileTime(st.st_atim);
  data->writeTime = ToFileTime(st.st_mtim);
  size_t length = name.size() < sizeof data->name - 1 ? name.size() : sizeof data->name - 1;
  memcpy(data->name, name.data(), length);
  data->name[length] = '\0';
}

bool StatWithCreation(const std::string& host, struct stat* st, FileTime* creation) {
  struct statx sx;
  if (statx(AT_FDCWD, host.c_str(), 0, STATX_BASIC_STATS | STATX_BTIME, &sx) != 0) {
    if (errno != ENOSYS) return false;
    if (stat(host.c_str(), st) != 0) return false;
    *creation = ToFileTime(st->st_mtim);
    return true;
  }
  StatFromStatx(sx, st);
  *creation = BirthOrModified(sx, *st);
  return true;
}

bool HasHiddenRecord(const std::string& host) { return ReadRecord(host).hidden; }

bool ReadHiddenRecord(const std::string& host, bool* hidden) {
  char text[128];
  ssize_t n = getxattr(CallPath(host), kRecordName, text, sizeof text - 1);
  if (n < 0 && (errno == ENOENT || errno == ENOTDIR)) return false;
  text[n > 0 ? n : 0] = '\0';
  *hidden = strstr(text, "hidden") != nullptr;
  return true;
}

void CopyHiddenFlag(const std::string& from, const std::string& to) {
  Record record;
  record.hidden = ReadRecord(from).hidden;
  if (record.hidden) WriteRecord(to, record);
}

}  // namespace weft_host

using namespace weft_host;

namespace {

// An existing file or directory: its host path, status and the name shown
// for it (empty for a drive root, which the dot rule never hides).
bool ResolveExisting(const char* path, std::string* host, struct stat* st, std::string* name) {
  WinPath resolved;
  bool found = false;
  if (!ResolvePath(path, &resolved) || !HostOf(resolved, host, &found, st)) return false;
  // A name that its folder's kept names lack, and the folder's checked
  // names did not hold either, is simply not there.
  if (!found && KeptNamesLack(*host)) {
    SetErrno(ENOENT);
    return false;
  }
  // The lookup's own status serves unless it is that of a symbolic link; a
  // failed stat gives the reason of the failure.
  if ((!found || S_ISLNK(st->st_mode)) && stat(host->c_str(), st) != 0) {
    SetErrno(errno);
    return false;
  }
  *name = resolved.parts.empty() ? std::string() : LastComponent(*host);
  return true;
}

}  // namespace

uint32_t GetAttributes(const char* path) {
  std::string host, name;
  struct stat st;
  if (!ResolveExisting(path, &host, &st, &name)) return kInvalidAttributes;
  return AttributesOf(host, st, name);
}

bool SetAttributes(const char* path, uint32_t attributes) {
  std::string host, name;
  struct stat st;
  if (!ResolveExisting(path, &host, &st, &name)) return false;
  Record record = ReadRecord(host);
  record.hidden = (attributes & kAttrHidden) && !IsDotName(name);
  if (S_ISREG(st.st_mode)) {
    record.hasStamp = !(attributes & kAttrArchive);
    record.size = static_cast<uint64_t>(st.st_size);
    record.seconds = st.st_mtim.tv_sec;
    record.nanoseconds = st.st_mtim.tv_nsec;
  }
  // The record can only be written while the owner may write the file.
  mode_t mode = st.st_mode & 07777;
  if (!(mode & S_IWUSR)) chmod(host.c_str(), mode | S_IWUSR);
  bool stored = WriteRecord(host, record);
  mode_t wanted = (attributes & kAttrReadOnly) ? mode & ~(S_IWUSR | S_IWGRP | S_IWOTH) : mode | S_IWUSR;
  if (!stored) wanted = mode;
  if (chmod(host.c_str(), wanted) != 0) {
    SetErrno(errno);
    return false;
  }
  return stored;
}

bool PathExists(const char* path) {
  std::string host, name;
  struct stat st;
  return ResolveExisting(path, &host, &st, &name);
}

bool GetFileInfo(const char* path, FindData* data) {
  std::string host, name;
  struct stat st;
  if (!ResolveExisting(path, &host, &st, &name)) return false;
  FillFindData(host, st, name, data);
  return true;
}
