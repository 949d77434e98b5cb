// The folder for temporary files: always an absolute folder that this
// process and the programs it starts can write, never the current folder.
#include "platform/temp_folder.h"

#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/attributes.h"
#include "platform/drives.h"
#include "platform/env.h"
#include "platform/host.h"
#include "platform/own_drive.h"

using namespace weft_host;

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

// The host's own temporary folder: TMPDIR when it is an absolute folder,
// else "/tmp".
std::string HostTempFolder() {
  const char* value = getenv("TMPDIR");
  if (value && value[0] == '/' && access(value, W_OK | X_OK) == 0) return value;
  return "/tmp";
}

}  // namespace

std::string GetTempFolder() {
  for (const char* name : {"TEMP", "TMP"}) {
    std::string folder = WritableFolder(GetEnv(name));
    if (!folder.empty()) return folder;
  }
  std::string host = HostTempFolder();
  std::string folder;
  if (WindowsPath(host.c_str(), &folder)) return folder;
  return MapFolderAsDrive(host, 'T');
}
