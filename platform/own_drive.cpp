// Drives of its own for host folders that no drive of WEFTDRIVES holds.
#include "platform/own_drive.h"

#include <limits.h>
#include <stdlib.h>

#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/ascii_case.h"
#include "platform/drives.h"
#include "platform/drives_host.h"
#include "platform/env.h"

using namespace weft_host;

namespace {

// The drives this process made: each letter with its host folder, so that
// a letter the map later gives to another folder no longer counts.
struct OwnDrives {
  std::mutex mutex;
  std::vector<std::pair<char, std::string>> drives;
};

OwnDrives& Own() {
  static OwnDrives own;
  return own;
}

// A letter no drive uses: `preferred` when free, else the last free one.
char FreeDriveLetter(char preferred) {
  Drive drive;
  if (preferred && !FindDrive(preferred, &drive)) return preferred;
  for (char letter = 'Z'; letter >= 'D'; --letter) {
    if (!FindDrive(letter, &drive)) return letter;
  }
  return 0;
}

std::string WithoutTrailingSlash(std::string folder) {
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

}  // namespace

std::string MapFolderAsDrive(const std::string& host, char preferred) {
  if (host.empty() || host[0] != '/' || host.find(';') != std::string::npos) return "";
  std::lock_guard<std::mutex> lock(Own().mutex);
  char letter = FreeDriveLetter(UpperAscii(preferred));
  if (!letter) return "";
  const char* drives = getenv("WEFTDRIVES");
  std::string value = drives && *drives ? drives : "C=/";
  value += std::string(";") + letter + "=" + host;
  if (!SetEnv("WEFTDRIVES", value.c_str())) return "";
  Own().drives.emplace_back(letter, WithoutTrailingSlash(host));
  return std::string(1, letter) + ":\\";
}

std::string WindowsPathOnAnyDrive(const std::string& host) {
  std::string path;
  if (WindowsPath(host.c_str(), &path)) return path;
  size_t slash = host.rfind('/');
  if (slash == std::string::npos || slash == 0) return "";  // the host's root gets no drive
  std::string name = host.substr(slash + 1);
  if (name.empty() || !IsWindowsName(name)) return "";
  char real[PATH_MAX];
  if (!realpath(host.substr(0, slash).c_str(), real)) return "";
  std::string folder = real;
  if (folder == "/") return "";
  // The folder may be mapped already under its real name.
  if (WindowsPath((folder + "/" + name).c_str(), &path)) return path;
  std::string root = MapFolderAsDrive(folder, 0);
  return root.empty() ? "" : root + name;
}

bool IsDriveOfItsOwn(char letter) {
  Drive drive;
  if (!FindDrive(letter, &drive)) return false;
  std::lock_guard<std::mutex> lock(Own().mutex);
  for (const auto& [own, folder] : Own().drives) {
    if (own == drive.letter && folder == drive.folder) return true;
  }
  return false;
}
