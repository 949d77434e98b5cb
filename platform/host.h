// Helpers shared by the platform sources only, over host paths and POSIX
// types, grouped by the module that defines them. Code outside platform/
// uses the modules' own headers (files.h, env.h, ...) instead.
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/filetime.h"
#include "platform/listing.h"

namespace weft_host {

// --- Errors (errors.cpp) ---------------------------------------------------

// Records the failure of a call (errors.h): a Windows code with its text; a
// text of its own (one with details such as a path), whose code is
// kErrorGenFailure; or an errno value as the Windows code it stands for.
void SetError(long code);
void SetError(const std::string& text);
void SetErrno(int error);

// --- Drives and paths (drives.cpp) -----------------------------------------

// One WEFTDRIVES entry: the letter (upper case) and its host folder without
// a trailing '/' ("" stands for the host root "/").
struct Drive {
  char letter = 0;
  std::string folder;
  std::string realFolder;  // the folder with symbolic links resolved
};

// The drives named by WEFTDRIVES now (read on every call; parsed once per value).
std::vector<Drive> CurrentDrives();
// The drive with this letter (either case); false when it is not mapped.
bool FindDrive(char letter, Drive* drive);

// A Windows path taken apart: drive letter and the components below the
// root, with '.' and '..' already resolved.
struct WinPath {
  char drive = 0;
  std::vector<std::string> parts;
  bool trailingSeparator = false;  // the text ended with '\' or '/'
};

// How ResolvePath checks the names: not at all (the text alone, as the
// full-path call works), as names of files, or as a listing pattern whose last
// component may hold '*' and '?'.
enum class NameCheck { kNone, kNames, kPattern };

// Resolves `path` against the current directory and the drive map. Sets the
// last error text and returns false on failure.
bool ResolvePath(const char* path, WinPath* out, NameCheck check = NameCheck::kNames);
// 'X:\a\b' (a trailing '\' kept when `withTrailing` and the path had one).
std::string WinPathText(const WinPath& path, bool withTrailing = true);
// Host path of a resolved path, each component looked up without regard to
// case. `found` (optional) tells whether every component exists; `status`
// (optional) then receives the lstat of the host path. `writtenMissing`: the
// caller has just seen that the path as written is not there, which spares
// asking again.
bool HostOf(const WinPath& path, std::string* host, bool* found = nullptr,
            struct stat* status = nullptr, bool writtenMissing = false);
// Resolve and look up in one step.
bool HostOfPath(const char* path, std::string* host);
// The host path of a resolved path as written, nothing looked up ("/" for
// the host root). `ends` (optional) receives where the drive's folder and
// each component end in it.
bool ExactHostOf(const WinPath& path, std::string* host, std::vector<size_t>* ends = nullptr);

// True when `name` is one Windows could hold (no \ / : * ? " < > | and no
// byte below 32).
bool IsWindowsName(const std::string& name);

// Copies a path that a call returns (a short name, a found file) into the
// caller's `buffer` of `size` and returns its length; one over 260
// characters or one that does not fit fails as a name too long (0).
inline size_t CopyPathOut(const std::string& text, char* buffer, size_t size) {
  if (text.size() > static_cast<size_t>(kMaxPath) || !buffer || text.size() >= size) {
    SetError(kErrorFilenameTooLong);
    return 0;
  }
  memcpy(buffer, text.c_str(), text.size() + 1);
  return text.size();
}

// --- Listing patterns and order (listing.cpp) ------------------------------

// Splits a listing pattern into its folder text (with its separator, or "."
// when there is none) and its last component.
void SplitPattern(const char* pattern, std::string* folder, std::string* last);

// A listing pattern (Windows wildcards), prepared once for matching many names.
class NamePattern {
 public:
  explicit NamePattern(const char* pattern);
  bool Matches(const char* name) const;
  // The upper-cased text that every matching name begins with, letter case
  // ignored ("" for a pattern that begins with a wildcard).
  const std::string& Prefix() const { return prefix_; }

 private:
  std::vector<int> tokens_;
  std::string prefix_;
};

class DirNames;
struct DirName;
// The entries of `names` that `pattern` matches and Windows could hold, in
// listing order.
std::vector<const DirName*> MatchingNames(const DirNames& names, const NamePattern& pattern);

// Listing order: names compared byte by byte after ASCII upper-casing, exact
// bytes breaking ties.
bool NameListedBefore(const char* a, const char* b);

// Whether a directory entry (its host path and d_type) is a symbolic link;
// the link itself is looked at only where the type is unknown.
bool IsLinkEntry(const std::string& host, unsigned char type);

// --- Attributes (attributes.cpp) -------------------------------------------

// Listing data of a host file already stat'ed; `name` is the name shown (for
// the dot rule and FindData::name).
void FillFindData(const std::string& host, const struct stat& st, const std::string& name,
                  FindData* data);
// The same with the creation time already known.
void FillFindData(const std::string& host, const struct stat& st, FileTime creation,
                  const std::string& name, FindData* data);
// stat (symbolic links followed) and the creation time (the modification time
// where the file system keeps none) in one call.
bool StatWithCreation(const std::string& host, struct stat* st, FileTime* creation);

// Gives `to` the hidden flag of `from`'s attribute record (best effort).
void CopyHiddenFlag(const std::string& from, const std::string& to);

// True when the attribute record of host file `host` says hidden.
bool HasHiddenRecord(const std::string& host);
// The same in one call that also tells whether `host` exists: false (and
// `hidden` untouched) when it does not.
bool ReadHiddenRecord(const std::string& host, bool* hidden);

// --- Times (filetime.cpp) --------------------------------------------------

// Host times as Windows file times.
FileTime ToFileTime(const struct timespec& time);

// --- Copying and replacing (files.cpp, file_replace.cpp) -------------------

// Copies the contents and times of host file `from` into a new file beside
// `to` and flushes it, then renames it over `to` in one step (without
// `replace` an existing `to` is never touched): `to` is always either the old
// file or the whole new one. The copy takes `old`'s owner and mode when given,
// else `from`'s mode.
bool CopyIntoPlace(const std::string& from, const std::string& to, bool replace,
                   const struct stat* old = nullptr);
// The file that CopyIntoPlace writes beside `to` before it takes that name:
// one hidden name for each target, claimed like the other temporary files,
// so that the copy a killed run left there is found again, and removed, by
// the next copy to the same place.
std::string CopyFileFor(const std::string& to);
// Temporary files of a rewrite are known by their lock: the program writing
// one holds an flock on it until the file is in place or gone, so that the
// leftover of a killed run can be told from a file still being written.
//
// Removes a file of a temporary name that no running program holds (a link
// of that name goes too, never what it names). False when another program
// is writing it or it is no file.
bool RemoveLeftover(const std::string& host);
// Creates the temporary file `host` anew with `mode`, never over an existing
// one, and locks it; returns its descriptor, and in `lock` the descriptor
// that holds the lock (close it to release). -1 on failure.
int CreateLockedTemp(const std::string& host, int* lock, mode_t mode = 0666);
// True when `fd` is the file whose status is `st`: another program may take
// a temporary name over between its create and its lock, and its file must
// never be put in place for ours.
bool StillOurs(int fd, const struct stat& st);
// Gives the open file `fd` the owner and mode of `old`, never wider: the
// permissions of a group that cannot be carried over are dropped.
void CarryOwnerAndMode(int fd, const struct stat& old);
// The replace step of file_replace.h over host paths: puts the finished file
// `source` in the place of `target` (symbolic links followed, hard links
// kept, mode and owner carried over). The first form takes their lstat
// results (`found`: whether `target` exists).
bool PutInPlace(const std::string& source, const struct stat& st, const std::string& target,
                bool found, const struct stat& targetSt);
bool PutInPlace(const std::string& source, const std::string& target);

}  // namespace weft_host
