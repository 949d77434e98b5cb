// The SearchPath folders over the drive map.
#include "platform/search_path.h"

#include <string>
#include <vector>

#include "platform/attributes.h"
#include "platform/drives.h"
#include "platform/drives_host.h"
#include "platform/host_io.h"
#include "platform/env.h"
#include "platform/errors.h"
#include "platform/errors_host.h"
#include "platform/text_pieces.h"

using namespace weft_host;

namespace {

std::string Join(const std::string& dir, const char* name) {
  if (dir.empty()) return name;
  char last = dir.back();
  return dir + (last == '\\' || last == '/' || last == ':' ? "" : "\\") + name;
}

// The folder of a full path, cut at its last '\'.
std::string FolderOf(const std::string& path) {
  size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::vector<std::string> SearchFolders() {
  std::vector<std::string> folders;
  // The program's folder only on a drive of the map: what is found here is
  // written down (a registry command) for runs that lack this process's own
  // drives.
  char program[kMaxPath + 1];
  if (GetMappedProgramFile(program, sizeof program)) folders.push_back(FolderOf(program));
  folders.push_back(".");
  const char* root = GetEnv("SystemRoot");
  if (!root || !*root) root = GetEnv("windir");
  std::string windows = root && *root ? root : "C:\\WINDOWS";
  folders.push_back(windows + "\\SYSTEM32");
  folders.push_back(windows + "\\SYSTEM");
  folders.push_back(windows);
  const char* path = GetEnv("PATH");
  std::string list = path ? path : "";
  for (const std::string& folder : SplitAt(list, ";")) {
    if (!folder.empty()) folders.push_back(folder);
  }
  return folders;
}

bool IsRegularFile(const std::string& path) {
  uint32_t attributes = GetAttributes(path.c_str());
  return attributes != kInvalidAttributes && !(attributes & kAttrDirectory);
}

}  // namespace

size_t SearchProgramPath(const char* name, char* buffer, size_t size) {
  if (!name || !*name) return 0;
  for (const std::string& folder : SearchFolders()) {
    std::string candidate = Join(folder, name);
    if (!IsRegularFile(candidate)) continue;
    std::string full = GetFullPathString(candidate.c_str());
    if (!full.empty()) return CopyPathOut(full, buffer, size);
  }
  SetError(kErrorFileNotFound);
  return 0;
}
