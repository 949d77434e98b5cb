// Path kinds and name listings over the lookups and the directory cache.
#include "platform/names_extra.h"

#include <dirent.h>
#include <sys/stat.h>


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
    named.hidden = withHidden && (IsDotName(entry.name) || HasHiddenRecord(path));
    named.name = std::move(entry.name);
    entries->push_back(std::move(named));
  }
  return true;
}
