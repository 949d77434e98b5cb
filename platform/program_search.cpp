// Finding a program by the Windows search rules: the current folder, each
// PATH entry (Windows paths or the host's folders), then the folder of this
// process's own program file.
#include "platform/program_search.h"

#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/ascii_case.h"
#include "platform/attributes.h"
#include "platform/dir_cache.h"
#include "platform/drives.h"
#include "platform/env.h"
#include "platform/errors_host.h"
#include "platform/files.h"
#include "platform/host_io.h"
#include "platform/process.h"
#include "platform/program_search_host.h"
#include "platform/text_pieces.h"

namespace {

// The extension of the file name, with its dot ("" when none).
std::string ExtensionOf(const std::string& path) {
  std::string base = path.substr(NameStart(path));
  size_t dot = base.rfind('.');
  return dot == std::string::npos ? "" : base.substr(dot);
}

bool IsRegularFile(const std::string& path) {
  uint32_t attributes = GetAttributes(path.c_str());
  return attributes != kInvalidAttributes && !(attributes & kAttrDirectory);
}

// The names tried in one folder for a program name.
std::vector<std::string> Candidates(const std::string& name) {
  std::string extension = ExtensionOf(name);
  if (extension.empty()) return {name, name + ".exe", name + ".bat"};
  if (SameNoCase(extension, ".exe")) return {name, name.substr(0, name.size() - 4)};
  return {name};
}

bool IsBatchName(const std::string& path) {
  std::string extension = ExtensionOf(path);
  return SameNoCase(extension, ".bat") || SameNoCase(extension, ".cmd");
}

// A found file: its full Windows path and the host path behind it.
bool Found(const std::string& windows, ProgramFile* file) {
  file->path = GetFullPathString(windows.c_str());
  if (file->path.empty() || !HostPath(file->path.c_str(), &file->host)) return false;
  file->batch = IsBatchName(file->path);
  return true;
}

bool FindIn(const std::string& folder, const std::string& name, ProgramFile* file) {
  for (const std::string& candidate : Candidates(name)) {
    std::string full = folder.empty() ? candidate : folder + "\\" + candidate;
    if (IsRegularFile(full) && Found(full, file)) return true;
  }
  return false;
}

bool IsHostRegularFile(const std::string& host) {
  struct stat st;
  return stat(host.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The entry of host folder `folder` named `name`: the exact name first, then
// one that differs only in letter case.
bool HostEntry(const std::string& folder, const std::string& name, std::string* host) {
  *host = folder + "/" + name;
  if (IsHostRegularFile(*host)) return true;
  std::vector<std::string> sameNames;
  weft_host::WithDirNames(folder, nullptr, [&](const weft_host::DirNames& names) {
    for (const weft_host::DirName& entry : names) {
      if (entry.name.size() == name.size() && SameNoCase(entry.name, name)) {
        sameNames.push_back(entry.name);
      }
    }
  });
  for (const std::string& same : sameNames) {
    *host = folder + "/" + same;
    if (IsHostRegularFile(*host)) return true;
  }
  return false;
}

// A host folder on no mapped drive: the file has no Windows path.
bool FindInHost(const std::string& folder, const std::string& name, ProgramFile* file) {
  for (const std::string& candidate : Candidates(name)) {
    if (!HostEntry(folder, candidate, &file->host)) continue;
    file->path.clear();
    file->batch = IsBatchName(file->host);
    return true;
  }
  return false;
}

// One place the search looks in: a Windows path, or a host folder that no
// mapped drive shows.
struct SearchFolder {
  std::string windows;
  std::string host;
};

void AddHostFolder(const std::string& host, std::vector<SearchFolder>* folders) {
  std::string windows;
  if (WindowsPath(host.c_str(), &windows)) folders->push_back({windows, ""});
  else folders->push_back({"", host});
}

// A PATH piece in the host's form, "/usr/bin:/bin": split at ':', except the
// colon of a drive letter ("/usr/bin:C:\tools" holds two folders).
void AddHostList(const std::string& list, std::vector<SearchFolder>* folders) {
  std::string entry;
  auto flush = [&] {
    if (entry.empty()) return;
    if (entry[0] == '/') AddHostFolder(entry, folders);
    else folders->push_back({entry, ""});
    entry.clear();
  };
  for (char c : list) {
    bool driveColon = entry.size() == 1 && isalpha(static_cast<unsigned char>(entry[0]));
    if (c == ':' && !driveColon) flush();
    else entry += c;
  }
  flush();
}

// PATH: Windows paths separated by ';'; a piece that begins with '/' is a
// list of host folders separated by ':', as the Linux shell has it.
std::vector<SearchFolder> PathFolders() {
  std::vector<SearchFolder> folders;
  const char* value = GetEnv("PATH");
  std::string list = value ? value : "";
  for (std::string piece : SplitAt(list, ";")) {
    if (piece.size() >= 2 && piece.front() == '"' && piece.back() == '"') {
      piece = piece.substr(1, piece.size() - 2);
    }
    if (piece.empty()) continue;
    if (piece[0] == '/') AddHostList(piece, &folders);
    else folders.push_back({piece, ""});
  }
  return folders;
}

// The host folder of this process's own program file, so that the suite's
// programs find each other without a PATH entry.
std::string OwnHostFolder() {
  char host[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", host, sizeof host - 1);
  if (n <= 0) return "";
  std::string path(host, static_cast<size_t>(n));
  size_t slash = path.rfind('/');
  return slash == std::string::npos || slash == 0 ? "" : path.substr(0, slash);
}

bool FindInFolder(const SearchFolder& folder, const std::string& name, ProgramFile* file) {
  if (!folder.windows.empty()) return FindIn(folder.windows, name, file);
  return FindInHost(folder.host, name, file);
}

bool FindInOwnFolder(const std::string& name, ProgramFile* file) {
  std::string own = OwnHostFolder();
  if (own.empty()) return false;
  std::vector<SearchFolder> folders;
  AddHostFolder(own, &folders);
  return FindInFolder(folders[0], name, file);
}

}  // namespace

bool LocateProgram(const std::string& name, ProgramFile* file) {
  if (name.empty()) return false;
  if (name.find_first_of("\\/:") != std::string::npos) return FindIn("", name, file);
  if (FindIn("", name, file)) return true;
  for (const SearchFolder& folder : PathFolders()) {
    if (FindInFolder(folder, name, file)) return true;
  }
  return FindInOwnFolder(name, file);
}

bool ReadProgramFile(const ProgramFile& file, std::string* text) {
  if (!file.path.empty()) return ReadWholeFile(file.path.c_str(), text);
  return weft_host::ReadWholeHostFile(file.host, text);
}

namespace weft_host {

bool LocateSuiteProgram(const std::string& name, ProgramFile* file) {
  if (FindInOwnFolder(name, file) && !file->batch) return true;
  SetError("The program \"" + name + "\" is not beside this one (" + OwnHostFolder() + ").");
  return false;
}

}  // namespace weft_host

bool FindProgram(const char* name, std::string* path) {
  ProgramFile file;
  if (!LocateProgram(name ? name : "", &file) || file.path.empty()) return false;
  *path = file.path;
  return true;
}
