#include "shared/relative_path.h"

#include <cstring>
#include <string>

#include "platform/drives.h"
#include "shared/chars.h"
#include "shared/paths.h"

namespace {

bool IsSlash(char c) { return c == '\\' || c == '/'; }

// The full path without its drive and without trailing '\'; false when it
// cannot be made full. `drive` (optional) receives the drive (without its
// ':'). A path rooted on the current drive takes the drive `onDrive` when one
// is given: the drive is dropped anyway, and the current directory need not
// be asked.
bool DrivelessFullPath(const char* path, std::string* out, char (*drive)[kDriveSize] = nullptr,
                       const char* onDrive = nullptr) {
  std::string rooted;
  if (onDrive && *onDrive && IsSlash(path[0]) && !IsSlash(path[1])) {
    rooted = std::string(onDrive) + ":" + path;
    path = rooted.c_str();
  }
  char full[kMaxPath + 1];
  if (!GetFullPath(path, full, sizeof full)) return false;
  char own[kDriveSize];
  *out = SplitDrive(full, drive ? *drive : own);
  while (!out->empty() && out->back() == '\\') out->pop_back();
  return true;
}

size_t ComponentCount(const std::string& text, size_t from) {
  if (from >= text.size()) return 0;
  size_t count = 1;
  for (size_t i = from; i < text.size(); ++i) count += text[i] == '\\';
  return count;
}

}  // namespace

char* RelativeFilePath(const char* from, const char* to, char* buffer, size_t size) {
  if (size == 0) return nullptr;
  *buffer = '\0';
  std::string dir, file;
  char drive[kDriveSize];
  if (!DrivelessFullPath(from, &dir, &drive) || !DrivelessFullPath(to, &file, nullptr, drive)) {
    return nullptr;
  }
  size_t common = 0;
  size_t afterSeparator = 0;  // just past the last '\' of the common part
  while (common < dir.size() && common < file.size() &&
         ToUpper(dir[common]) == ToUpper(file[common])) {
    if (dir[common] == '\\') afterSeparator = common + 1;
    ++common;
  }
  std::string result;
  if (common < dir.size() || (common < file.size() && file[common] != '\\')) {
    for (size_t up = ComponentCount(dir, afterSeparator); up > 0; --up) result += "..\\";
    result += file.substr(afterSeparator);
  } else if (common < file.size()) {
    result = file.substr(common + 1);
  }
  while (!result.empty() && result.back() == '\\') result.pop_back();
  if (result.size() >= size) return nullptr;
  memcpy(buffer, result.c_str(), result.size() + 1);
  return buffer;
}

std::string RelativeToCurrentDir(const char* path) {
  if (!strchr(path, ':') && !IsSlash(path[0])) return path;
  char current[kMaxPath + 1];
  if (!GetCurrentDir(current, sizeof current)) return path;
  char pathDrive[kDriveSize];
  char currentDrive[kDriveSize];
  const char* rest = SplitDrive(path, pathDrive);
  const char* dir = SplitDrive(current, currentDrive);
  if (*pathDrive && *currentDrive && CompareNoCase(pathDrive, currentDrive) != 0) return path;
  if (!IsSlash(rest[0])) return rest;
  size_t common = 0;
  size_t afterSlash = 0;  // just past the last separator of the common part
  while (dir[common] && dir[common] == rest[common]) {
    if (IsSlash(dir[common])) afterSlash = common + 1;
    ++common;
  }
  // The path goes on inside the current directory only past a separator
  // ('\a\b' is not inside '\a\b' for '\a\bc').
  bool inside = common > 0 && !dir[common] &&
                (!rest[common] || IsSlash(rest[common]) || IsSlash(dir[common - 1]));
  if (inside) return rest[common] && IsSlash(rest[common]) ? rest + common + 1 : rest + common;
  std::string result;
  std::string below(dir + afterSlash);
  for (size_t up = ComponentCount(below, 0); up > 0; --up) result += "..\\";
  return result + (rest + afterSlash);
}
