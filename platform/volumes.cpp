// Drive letters, drive types and volume labels over the drive map.
#include "platform/volumes.h"

#include <sys/stat.h>

#include <algorithm>

#include "platform/drives_host.h"

using namespace weft_host;

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

// Drives are host folders mapped by WEFTDRIVES; a folder carries no volume
// label, so there is never one to read.
bool GetCurrentVolumeLabel(char* buffer, size_t size) {
  if (size > 0) buffer[0] = '\0';
  return false;
}
