// Path kinds, name listings, the link test and short names over the lookups
// and the directory cache.
#include "platform/names.h"

#include <dirent.h>
#include <sys/stat.h>

#include "platform/attributes_host.h"
#include "platform/dir_cache.h"
#include "platform/drives_host.h"
#include "platform/host_io.h"
#include "platform/errors.h"
#include "platform/errors_host.h"
#include "platform/listing_host.h"

using namespace weft_host;

namespace {

// The lookup of a path with the status of what it names.
bool StatPath(const char* path, std::string* host, struct stat* st) {
  WinPath resolved;
  bool found = false;
  if (!ResolvePath(path, &resolved) || !HostOf(resolved, host, &found, st)) return false;
  if (found && (!S_ISLNK(st->st_mode) || stat(host->c_str(), st) == 0)) return true;
  SetError(kErrorFileNotFound);
  return false;
}

// Whether an entry is a directory: from its d_type when that says, else
// from its status. False when it is a symbolic link that leads nowhere.
bool EntryKind(const std::string& host, const DirName& entry, bool* directory) {
  if (entry.type != DT_UNKNOWN && entry.type != DT_LNK) {
    *directory = entry.type == DT_DIR;
    return true;
  }
  struct stat st;
  if (stat(host.c_str(), &st) != 0) return false;
  *directory = S_ISDIR(st.st_mode);
  return true;
}

bool IsDotName(const std::string& name) { return !name.empty() && name[0] == '.'; }

}  // namespace

PathKind GetPathKind(const char* path) {
  std::string host;
  struct stat st;
  if (!StatPath(path, &host, &st)) return PathKind::kNone;
  return S_ISDIR(st.st_mode) ? PathKind::kDirectory : PathKind::kFile;
}

bool HasHiddenAttribute(const char* path) {
  WinPath resolved;
  std::string host;
  bool hidden = false;
  if (!ResolvePath(path, &resolved) || !ExactHostOf(resolved, &host)) return false;
  if (ReadHiddenRecord(host, &hidden)) return hidden;
  // Not there as written: the names are looked up without regard to case.
  return HostOf(resolved, &host) && ReadHiddenRecord(host, &hidden) && hidden;
}

bool ListNames(const char* pattern, bool withHidden, std::vector<NamedEntry>* entries) {
  entries->clear();
  if (!pattern || !*pattern) return false;
  std::string folder, last;
  SplitPattern(pattern, &folder, &last);
  std::string host;
  struct stat st;
  if (!StatPath(folder.c_str(), &host, &st)) return false;
  NamePattern wanted(last.c_str());
  std::vector<DirName> matched;
  bool listed = WithDirNames(host, &st, [&](const DirNames& names) {
    for (const DirName* entry : MatchingNames(names, wanted)) matched.push_back(*entry);
  });
  if (!listed) return false;
  std::string path = host == "/" ? "" : host;
  path += '/';
  size_t folderLength = path.size();
  // The names come in listing order already.
  for (DirName& entry : matched) {
    path.resize(folderLength);
    path += entry.name;
    NamedEntry named;
    if (!EntryKind(path, entry, &named.directory)) continue;
    named.link = IsLinkEntry(path, entry.type);
    named.hidden = withHidden && (IsDotName(entry.name) || HasHiddenRecord(path));
    named.name = std::move(entry.name);
    entries->push_back(std::move(named));
  }
  return true;
}

size_t GetShortPath(const char* path, char* buffer, size_t size) {
  WinPath resolved;
  std::string host;
  bool found = false;
  if (!ResolvePath(path, &resolved) || !HostOf(resolved, &host, &found)) return 0;
  struct stat st;
  if (!found || stat(host.c_str(), &st) != 0) {
    SetError(kErrorFileNotFound);
    return 0;
  }
  // Each name as stored: the host path below the drive's folder.
  Drive drive;
  FindDrive(resolved.drive, &drive);
  std::string below = host.size() > drive.folder.size() ? host.substr(drive.folder.size() + 1) : "";
  WinPath stored;
  stored.drive = resolved.drive;
  size_t start = 0;
  while (start < below.size()) {
    size_t end = below.find('/', start);
    if (end == std::string::npos) end = below.size();
    stored.parts.push_back(below.substr(start, end - start));
    start = end + 1;
  }
  return CopyPathOut(WinPathText(stored, false), buffer, size);
}

bool IsReparsePoint(const char* path) {
  WinPath resolved;
  std::string host;
  if (!ResolvePath(path, &resolved) || !HostOf(resolved, &host)) return false;
  struct stat st;
  return lstat(host.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}
