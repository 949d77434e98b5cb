// The platform sources' side of drives.h: the drive map, Windows paths taken
// apart and resolved, and the host paths behind them. Platform sources only.
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <string>
#include <vector>

#include "platform/drives.h"

namespace weft_host {

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

// The path to hand a system call for the absolute host path `host`: the part
// below the current directory when `host` lies below it, which spares the
// kernel the walk from the root through every folder above at each call
// (the calls of a folder's files mostly name files of the current folder);
// "." for the current directory itself. Points into `host` or is static. The current directory must stay while the call runs:
// only programs that use files on one thread change it.
const char* CallPath(const std::string& host);

}  // namespace weft_host
