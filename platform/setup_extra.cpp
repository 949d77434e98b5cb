// The program search path, drive list, short names and link test over the
// drive map.
#include "platform/setup_extra.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/env.h"
#include "platform/files.h"
#include "platform/host.h"

using namespace weft_host;

namespace {

size_t CopyOut(const std::string& text, char* buffer, size_t size) {
  if (text.size() > static_cast<size_t>(kMaxPath) || !buffer || text.size() >= size) {
    SetError(kErrorFilenameTooLong);
    return 0;
  }
  memcpy(buffer, text.c_str(), text.size() + 1);
  return text.size();
}

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
  char program[kMaxPath + 1];
  if (GetProgramFile(program, sizeof program)) folders.push_back(FolderOf(program));
  folders.push_back(".");
  const char* root = GetEnv("SystemRoot");
  if (!root || !*root) root = GetEnv("windir");
  std::string windows = root && *root ? root : "C:\\WINDOWS";
  folders.push_back(windows + "\\SYSTEM32");
  folders.push_back(windows + "\\SYSTEM");
  folders.push_back(windows);
  const char* path = GetEnv("PATH");
  std::string list = path ? path : "";
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(';', start);
    if (end == std::string::npos) end = list.size();
    if (end > start) folders.push_back(list.substr(start, end - start));
    start = end + 1;
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
    if (!full.empty()) return CopyOut(full, buffer, size);
  }
  SetError(kErrorFileNotFound);
  return 0;
}

std::string GetLogicalDriveLetters() {
  std::string letters;
  for (const Drive& drive : CurrentDrives()) {
    if (letters.find(drive.letter) == std::string::npos) letters += drive.letter;
  }
  std::sort(letters.begin(), letters.end());
  return letters;
}

int GetDriveKind(char letter) {
  Drive drive;
  if (!FindDrive(letter, &drive)) return kDriveNoRootDir;
  struct stat st;
  const std::string folder = drive.folder.empty() ? "/" : drive.folder;
  return stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? kDriveFixed : kDriveNoRootDir;
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
  return CopyOut(WinPathText(stored, false), buffer, size);
}

bool IsReparsePoint(const char* path) {
  WinPath resolved;
  std::string host;
  if (!ResolvePath(path, &resolved) || !HostOf(resolved, &host)) return false;
  struct stat st;
  return lstat(host.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}
