// Drive letters over host folders, full Windows paths, the current directory
// and host lookups without regard to letter case.
#include "platform/drives.h"

#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/ascii_case.h"
#include "platform/dir_cache.h"
#include "platform/drives_host.h"
#include "platform/errors.h"
#include "platform/errors_host.h"
#include "platform/host_io.h"
#include "platform/text_pieces.h"

namespace weft_host {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }
bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Host path with '//' collapsed and no trailing '/'; "" for the root.
std::string NormalizeHostFolder(const std::string& folder) {
  std::string out;
  for (char c : folder) {
    if (c == '/' && !out.empty() && out.back() == '/') continue;
    out += c;
  }
  while (!out.empty() && out.back() == '/') out.pop_back();
  return out;
}

std::vector<Drive> ParseDrives(const std::string& value) {
  std::vector<Drive> drives;
  for (std::string entry : SplitAt(value, ";")) {
    while (!entry.empty() && (entry[0] == ' ' || entry[0] == '\t')) entry.erase(0, 1);
    if (entry.size() < 3 || !IsAsciiLetter(entry[0]) || entry[1] != '=' || entry[2] != '/') continue;
    Drive drive;
    drive.letter = UpperAscii(entry[0]);
    drive.folder = NormalizeHostFolder(entry.substr(2));
    char real[PATH_MAX];
    drive.realFolder = realpath(entry.c_str() + 2, real) ? NormalizeHostFolder(real) : drive.folder;
    drives.push_back(drive);
  }
  return drives;
}

// Cache of the parsed drive map, keyed by the variable's value.
struct DriveCache {
  bool valid = false;
  std::string value;
  std::vector<Drive> drives;
};

// The value of WEFTDRIVES in force ("C=/" when it is unset or empty).
const char* DrivesText() {
  const char* value = getenv("WEFTDRIVES");
  return value && *value ? value : "C=/";
}

// The drives named by WEFTDRIVES now, parsed again only when its value
// changes. The table stays valid until the next call.
const std::vector<Drive>& DriveTable() {
  thread_local DriveCache cache;
  const char* text = DrivesText();
  if (!cache.valid || cache.value != text) {
    cache.drives = ParseDrives(text);
    cache.value = text;
    cache.valid = true;
  }
  return cache.drives;
}

// The mapped drive with this letter (either case), or null; valid until the
// next DriveTable call.
const Drive* MappedDrive(char letter) {
  for (const Drive& drive : DriveTable()) {
    if (drive.letter == UpperAscii(letter)) return &drive;
  }
  return nullptr;
}

// The part of `host` below `folder`, or false when `folder` is no prefix of it
// (whole components only).
bool BelowFolder(const std::string& host, const std::string& folder, std::string* rest) {
  if (host.compare(0, folder.size(), folder) != 0) return false;
  if (host.size() > folder.size() && host[folder.size()] != '/') return false;
  *rest = host.substr(folder.size());
  return true;
}

// The host's current directory as the system last told it, and the Windows
// path it is under the drive map of `drives` (the WEFTDRIVES text it was
// made with). The process changes it only through SetCurrentDir, which
// forgets it; threads share it.
struct CurrentDirCache {
  std::mutex mutex;
  bool known = false;
  std::string host;
  bool winKnown = false;
  std::string drives;
  WinPath win;
};

CurrentDirCache& TheCurrentDir() {
  static CurrentDirCache* cache = new CurrentDirCache;  // threads may use it while the process ends
  return *cache;
}

// False (errno set) when the system cannot tell it (a deleted directory).
bool HostCurrentDir(std::string* host) {
  CurrentDirCache& cache = TheCurrentDir();
  std::lock_guard<std::mutex> lock(cache.mutex);
  if (!cache.known) {
    char* cwd = getcwd(nullptr, 0);
    if (!cwd) return false;
    cache.host = cwd;
    cache.known = true;
    cache.winKnown = false;
    free(cwd);
  }
  *host = cache.host;
  return true;
}

// Absolute, lexically clean host path ('.' and '..' resolved, no '//').
std::string CleanHostPath(const std::string& host) {
  std::string absolute = host;
  if (absolute.empty() || absolute[0] != '/') {
    std::string cwd;
    HostCurrentDir(&cwd);
    absolute = cwd + "/" + absolute;
  }
  std::vector<std::string> parts;
  for (const std::string& part : SplitAt(absolute, "/")) {
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    parts.push_back(part);
  }
  std::string out;
  for (const auto& part : parts) out += "/" + part;
  return out;
}

// The Windows path of a host path: the drive whose folder is its longest prefix.
bool HostToWin(const std::string& hostPath, WinPath* out) {
  std::string host = CleanHostPath(hostPath);
  const std::vector<Drive>& drives = DriveTable();
  int best = -1;
  size_t bestLength = 0;
  std::string bestRest;
  for (size_t i = 0; i < drives.size(); ++i) {
    for (const std::string* folder : {&drives[i].folder, &drives[i].realFolder}) {
      std::string rest;
      if (!BelowFolder(host, *folder, &rest)) continue;
      if (best >= 0 && folder->size() <= bestLength) continue;
      best = static_cast<int>(i);
      bestLength = folder->size();
      bestRest = rest;
    }
  }
  if (best < 0) {
    SetError("The path is on no mapped drive: " + host);
    return false;
  }
  out->drive = drives[best].letter;
  out->parts.clear();
  out->trailingSeparator = false;
  size_t start = 1;
  while (start < bestRest.size()) {
    size_t end = bestRest.find('/', start);
    if (end == std::string::npos) end = bestRest.size();
    out->parts.push_back(bestRest.substr(start, end - start));
    start = end + 1;
  }
  return true;
}

// Every relative path starts from the current directory: its Windows path is
// made once for the drive map in force, not again for each path.
bool CurrentWinPath(WinPath* out) {
  CurrentDirCache& cache = TheCurrentDir();
  const char* drives = DrivesText();
  {
    std::lock_guard<std::mutex> lock(cache.mutex);
    if (cache.known && cache.winKnown && cache.drives == drives) {
      *out = cache.win;
      return true;
    }
  }
  std::string host;
  if (!HostCurrentDir(&host)) {
    SetErrno(errno);
    return false;
  }
  if (!HostToWin(host, out)) return false;
  std::lock_guard<std::mutex> lock(cache.mutex);
  if (cache.known && cache.host == host) {
    cache.win = *out;
    cache.drives = drives;
    cache.winKnown = true;
  }
  return true;
}

// A byte Windows allows in a name: none of \ / : * ? " < > | and none below 32.
bool IsWindowsChar(unsigned char c) {
  switch (c) {
    case '\\': case '/': case ':': case '*': case '?': case '"': case '<': case '>': case '|':
      return false;
    default:
      return c >= 32;
  }
}

bool IsWildcardName(const std::string& name) {
  for (char c : name) {
    if (c == '*' || c == '?') continue;
    if (!IsWindowsChar(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

// Applies the components of `rest` to `out`.
bool AddComponents(const char* rest, WinPath* out, NameCheck check) {
  for (const char* p = rest; *p;) {
    const char* end = p;
    while (*end && !IsSeparator(*end)) ++end;
    std::string part(p, end);
    bool last = !*end || !end[1];  // no component starts after this one
    p = *end ? end + 1 : end;
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!out->parts.empty()) out->parts.pop_back();
      continue;
    }
    bool valid = check == NameCheck::kNone || IsWindowsName(part) ||
                 (check == NameCheck::kPattern && last && IsWildcardName(part));
    if (!valid) {
      SetError("The filename, directory name, or volume label syntax is incorrect.");
      return false;
    }
    out->parts.push_back(std::move(part));
  }
  size_t length = strlen(rest);
  out->trailingSeparator = length > 0 && IsSeparator(rest[length - 1]);
  return true;
}

// The length of WinPathText(path).
size_t WinPathTextLength(const WinPath& path) {
  size_t length = 3;  // "X:\"
  for (size_t i = 0; i < path.parts.size(); ++i) length += (i ? 1 : 0) + path.parts[i].size();
  if (path.trailingSeparator && !path.parts.empty()) ++length;
  return length;
}

// Case-insensitive match for `name` among the entries of host folder `dir`;
// the smallest by bytes when several differ only in case. `known` as for
// WithDirNames.
bool FindNoCase(const std::string& dir, const std::string& name, std::string* match,
                const struct stat* known = nullptr) {
  bool found = false;
  WithDirNames(dir, known, [&](const DirNames& names) {
    const DirName* entry = names.FindNoCase(name);
    found = entry != nullptr;
    if (found) *match = entry->name;
  });
  return found;
}

bool LstatHost(const std::string& host, struct stat* st) {
  return lstat(host.empty() ? "/" : CallPath(host), st) == 0;
}

}  // namespace

std::vector<Drive> CurrentDrives() { return DriveTable(); }

bool FindDrive(char letter, Drive* drive) {
  const Drive* mapped = MappedDrive(letter);
  if (mapped) *drive = *mapped;
  return mapped != nullptr;
}

bool IsWindowsName(const std::string& name) {
  for (unsigned char c : name) {
    if (!IsWindowsChar(c)) return false;
  }
  return true;
}

bool ResolvePath(const char* path, WinPath* out, NameCheck check) {
  if (!path || !*path) {
    SetError(kErrorPathNotFound);
    return false;
  }
  WinPath result;
  const char* rest = path;
  if (IsAsciiLetter(path[0]) && path[1] == ':') {
    result.drive = UpperAscii(path[0]);
    rest = path + 2;
    if (!MappedDrive(result.drive)) {
      SetError(std::string("The system cannot find the drive specified: ") + result.drive + ":");
      return false;
    }
    WinPath current;
    if (!IsSeparator(*rest) && CurrentWinPath(&current) && current.drive == result.drive) {
      result.parts = current.parts;
    }
  } else {
    WinPath current;
    if (!CurrentWinPath(&current)) return false;
    result.drive = current.drive;
    if (!IsSeparator(*rest)) result.parts = current.parts;
  }
  if (!AddComponents(rest, &result, check)) return false;
  if (WinPathTextLength(result) > static_cast<size_t>(kMaxPath)) {
    SetError(kErrorFilenameTooLong);
    return false;
  }
  *out = std::move(result);
  return true;
}

std::string WinPathText(const WinPath& path, bool withTrailing) {
  std::string text(1, path.drive);
  text += ":\\";
  for (size_t i = 0; i < path.parts.size(); ++i) {
    if (i) text += '\\';
    text += path.parts[i];
  }
  if (withTrailing && path.trailingSeparator && !path.parts.empty()) text += '\\';
  return text;
}

bool ExactHostOf(const WinPath& path, std::string* host, std::vector<size_t>* ends) {
  const Drive* drive = MappedDrive(path.drive);
  if (!drive) {
    SetError(std::string("The system cannot find the drive specified: ") + path.drive + ":");
    return false;
  }
  std::string& exact = *host;
  exact = drive->folder;
  size_t length = exact.size();
  for (const std::string& part : path.parts) length += 1 + part.size();
  exact.reserve(length);
  if (ends) {
    ends->clear();
    ends->reserve(path.parts.size() + 1);
    ends->push_back(exact.size());
  }
  for (const std::string& part : path.parts) {
    exact += '/';
    exact += part;
    if (ends) ends->push_back(exact.size());
  }
  if (exact.empty()) exact = "/";
  return true;
}

namespace {

// A host lookup under way: the host path found so far and what is known of it.
struct HostLookup {
  std::string current;      // "" stands for the root
  struct stat st;           // see haveStatus
  bool exists = false;      // every component so far is there
  bool haveStatus = false;  // st is the status of `current` itself
};

// The longest leading part of the path as written that exists. The whole
// path is tried first, since most lookups name one that exists as written
// and one call answers them; then ever shorter prefixes. A name that the
// kept names of its folder lack is not asked for: the folder's checked names
// answer for it. Returns how many components the prefix holds; the lookup
// gets it and its status, or `exists` false (and the whole path as written)
// when not even the drive's folder is there.
size_t FindWrittenPrefix(const std::string& exact, const std::vector<size_t>& ends, size_t parts,
                         bool writtenMissing, HostLookup* lookup) {
  size_t known = parts;
  if (!writtenMissing && parts > 0) writtenMissing = KeptNamesLack(exact);
  lookup->exists = !(writtenMissing && parts > 0) && LstatHost(exact, &lookup->st);
  while (!lookup->exists && known > 0) {
    lookup->current.assign(exact, 0, ends[--known]);
    lookup->exists = LstatHost(lookup->current, &lookup->st);
  }
  lookup->current.assign(exact, 0, lookup->exists ? ends[known] : exact.size());
  lookup->haveStatus = lookup->exists;
  return known;
}

// Adds one component to the lookup: as written when it is there, else the
// name in the folder that matches it without regard to case. The first
// component after the written prefix is known to be missing as written, and
// the lookup then holds its folder's status, which the listing can use.
bool AddComponent(const std::string& part, bool firstAfterPrefix, HostLookup* lookup) {
  std::string next = lookup->current + "/" + part;
  lookup->haveStatus = !firstAfterPrefix && LstatHost(next, &lookup->st);
  if (lookup->haveStatus) {
    lookup->current = std::move(next);
    return true;
  }
  std::string match;
  bool folderStatus = firstAfterPrefix && !S_ISLNK(lookup->st.st_mode);
  if (!FindNoCase(lookup->current, part, &match, folderStatus ? &lookup->st : nullptr)) return false;
  lookup->current += "/" + match;
  return true;
}

// Follows the components after the written prefix; from the first that is
// not there on, the rest of the path stays as written.
void FollowComponents(const WinPath& path, const std::string& exact,
                      const std::vector<size_t>& ends, size_t known, HostLookup* lookup) {
  for (size_t i = known; lookup->exists && i < path.parts.size(); ++i) {
    if (AddComponent(path.parts[i], i == known, lookup)) continue;
    lookup->exists = false;
    lookup->current.append("/").append(path.parts[i]).append(exact, ends[i + 1], std::string::npos);
  }
}

// The status of the path found, for a caller that asks for it: looked up
// once more only when the last component was found by its folder's listing.
// False when the path is not there (any more).
bool TakeStatus(HostLookup* lookup, struct stat* status) {
  if (lookup->exists && !lookup->haveStatus) lookup->exists = LstatHost(lookup->current, &lookup->st);
  if (lookup->exists) *status = lookup->st;
  return lookup->exists;
}

}  // namespace

bool HostOf(const WinPath& path, std::string* host, bool* found, struct stat* status,
            bool writtenMissing) {
  std::string exact;
  std::vector<size_t> ends;
  if (!ExactHostOf(path, &exact, &ends)) return false;
  if (exact == "/") exact.clear();
  HostLookup lookup;
  size_t known = FindWrittenPrefix(exact, ends, path.parts.size(), writtenMissing, &lookup);
  FollowComponents(path, exact, ends, known, &lookup);
  if (status) TakeStatus(&lookup, status);
  if (found) *found = lookup.exists;
  *host = lookup.current.empty() ? std::string("/") : std::move(lookup.current);
  return true;
}

bool HostOfPath(const char* path, std::string* host) {
  WinPath resolved;
  return ResolvePath(path, &resolved) && HostOf(resolved, host);
}

}  // namespace weft_host

using namespace weft_host;

size_t GetFullPath(const char* path, char* buffer, size_t size) {
  WinPath resolved;
  if (!ResolvePath(path, &resolved, NameCheck::kNone)) return 0;
  return CopyPathOut(WinPathText(resolved), buffer, size);
}

size_t NameStart(const std::string& path) {
  size_t cut = path.find_last_of("\\/:");
  return cut == std::string::npos ? 0 : cut + 1;
}

std::string GetFullPathString(const char* path) {
  WinPath resolved;
  if (!ResolvePath(path, &resolved, NameCheck::kNone)) return std::string();
  return WinPathText(resolved);
}

size_t GetCurrentDir(char* buffer, size_t size) {
  WinPath current;
  if (!CurrentWinPath(&current)) return 0;
  return CopyPathOut(WinPathText(current), buffer, size);
}

bool SetCurrentDir(const char* path) {
  std::string host;
  if (!HostOfPath(path, &host)) return false;
  struct stat st;
  if (stat(host.c_str(), &st) != 0) {
    SetError(kErrorPathNotFound);
    return false;
  }
  if (!S_ISDIR(st.st_mode)) {
    SetError("The directory name is invalid.");
    return false;
  }
  // Changed and forgotten in one step: no other thread can take the old
  // directory as the current one in between, which would leave it kept.
  CurrentDirCache& cache = TheCurrentDir();
  std::lock_guard<std::mutex> lock(cache.mutex);
  cache.known = false;
  if (chdir(host.c_str()) != 0) {
    SetErrno(errno);
    return false;
  }
  return true;
}

namespace weft_host {

const char* CallPath(const std::string& host) {
  CurrentDirCache& cache = TheCurrentDir();
  std::lock_guard<std::mutex> lock(cache.mutex);
  const std::string& cwd = cache.host;
  // Not below the root alone: there the walk is the same.
  if (!cache.known || cwd.size() < 2 || host.compare(0, cwd.size(), cwd) != 0) return host.c_str();
  if (host.size() == cwd.size()) return ".";
  if (host.size() == cwd.size() + 1 || host[cwd.size()] != '/') return host.c_str();
  return host.c_str() + cwd.size() + 1;
}

}  // namespace weft_host

void ForgetCurrentDir() {
  CurrentDirCache& cache = TheCurrentDir();
  std::lock_guard<std::mutex> lock(cache.mutex);
  cache.known = false;
}

bool HostPath(const char* path, std::string* host) { return HostOfPath(path, host); }

bool IsHostRoot(const char* path) {
  std::string host;
  if (!path || !HostOfPath(path, &host)) return false;
  char real[PATH_MAX];
  return realpath(host.c_str(), real) && strcmp(real, "/") == 0;
}

bool WindowsPath(const char* hostPath, std::string* path) {
  if (!hostPath) return false;
  WinPath resolved;
  if (!HostToWin(hostPath, &resolved)) return false;
  *path = WinPathText(resolved);
  return true;
}
