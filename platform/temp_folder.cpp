// The folder for temporary files: always an absolute folder that this
// process and the programs it starts can write, never the current folder.
#include "platform/temp_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/attributes.h"
#include "platform/drives.h"
#include "platform/env.h"
#include "platform/own_drive.h"

namespace {

// The full Windows path of `path` when it names a folder this process may
// write; empty otherwise.
std::string WritableFolder(const char* path) {
  if (!path || !*path) return "";
  std::string full = GetFullPathString(path);
  std::string host;
  if (full.empty() || !HostPath(full.c_str(), &host)) return "";
  uint32_t attributes = GetAttributes(full.c_str());
  if (attributes == kInvalidAttributes || !(attributes & kAttrDirectory)) return "";
  return access(host.c_str(), W_OK | X_OK) == 0 ? full : "";
}

// True when `host` is an absolute host path that names a folder this
// process may write.
bool WritableHostFolder(const char* host) {
  struct stat st;
  if (!host || host[0] != '/' || stat(host, &st) != 0 || !S_ISDIR(st.st_mode)) return false;
  return access(host, W_OK | X_OK) == 0;
}

// The host's own temporary folder: TMPDIR when it is an absolute folder,
// else "/tmp".
std::string HostTempFolder() {
  const char* value = getenv("TMPDIR");
  if (value && value[0] == '/' && access(value, W_OK | X_OK) == 0) return value;
  return "/tmp";
}

// A host folder as a Windows path: through the drive map, else on a drive
// of its own.
std::string ShownHostFolder(const std::string& host) {
  std::string folder;
  if (WindowsPath(host.c_str(), &folder)) return folder;
  return MapFolderAsDrive(host, 'T');
}

// The folder a TEMP or TMP value names: a value that begins with '/' is a
// host folder, as a Linux shell sets it; any other is a Windows path.
std::string FolderOfVariable(const char* value) {
  if (!value || value[0] != '/') return WritableFolder(value);
  return WritableHostFolder(value) ? ShownHostFolder(value) : "";
}

}  // namespace

std::string GetTempFolder() {
  for (const char* name : {"TEMP", "TMP"}) {
    std::string folder = FolderOfVariable(GetEnv(name));
    if (!folder.empty()) return folder;
  }
  return ShownHostFolder(HostTempFolder());
}
