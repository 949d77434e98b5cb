// Path kinds and name listings over the lookups and the directory cache.
#include "platform/names_extra.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <memory>

#include "platform/dir_cache.h"
#include "platform/files.h"
#include "platform/host.h"

using namespace weft_host;

namespace {

// The lookup of a path with the status of what it names.
bool StatPath(const char* path, std::string* host, struct stat* st) {
  WinPath resolved;
  bool found = false;
  if (!ResolvePath(path, &resolved) || !HostOf(resolved, host, &found, st)) return false;
  if (found && (!S_ISLNK(st->st_mode) || stat(host->c_str(), st) == 0)) return true;
  SetError("The system cannot find the file specified.");
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

bool ListNames(const char* pattern, bool withHidden, std::vector<NamedEntry>* entries) {
  entries->clear();
  if (!pattern || !*pattern) return false;
  std::string folder, last;
  SplitPattern(pattern, &folder, &last);
  std::string host;
  struct stat st;
  if (!StatPath(folder.c_str(), &host, &st)) return false;
  std::shared_ptr<const DirNames> names = ReadDirNames(host, &st);
  if (!names) return false;
  NamePattern wanted(last.c_str());
  std::string path = host == "/" ? "" : host;
  path += '/';
  size_t folderLength = path.size();
  for (const DirName& entry : *names) {
    if (!wanted.Matches(entry.name.c_str()) || !IsWindowsName(entry.name)) continue;
    path.resize(folderLength);
    path += entry.name;
    NamedEntry named;
    if (!EntryKind(path, entry, &named.directory)) continue;
    named.name = entry.name;
    named.link = IsLinkEntry(path, entry.type);
    named.hidden = withHidden && (IsDotName(entry.name) || HasHiddenRecord(path));
    entries->push_back(std::move(named));
  }
  std::sort(entries->begin(), entries->end(), [](const NamedEntry& a, const NamedEntry& b) {
    return NameListedBefore(a.name.c_str(), b.name.c_str());
  });
  return true;
}
