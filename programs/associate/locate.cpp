#include "programs/associate/locate.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/attributes.h"
#include "platform/names.h"
#include "platform/registry.h"
#include "platform/search_path.h"
#include "platform/volumes.h"
#include "shared/string.h"

namespace {

// Programs are searched down to this many directory levels.
constexpr int kSearchDepth = 99;

bool IsDots(const char* name) { return !strcmp(name, ".") || !strcmp(name, ".."); }

bool EndsWithSeparator(const char* path) {
  size_t length = strlen(path);
  return length > 0 && (path[length - 1] == '\\' || path[length - 1] == '/');
}

bool IsFile(const char* path) {
  uint32_t attributes = GetAttributes(path);
  return attributes != kInvalidAttributes && !(attributes & kAttrDirectory);
}

}  // namespace

int DirectoryTraverser::Traverse(const char* start, int depth) {
  if (!CopyIfFits(path_, start, sizeof path_)) return 0;
  return Recurse(depth);
}

int DirectoryTraverser::Recurse(int depth) {
  int result = VisitAfterChildren() ? 0 : Visit();
  if (result == 0 && depth > 0) result = VisitSubdirectories(depth);
  if (result == 0 && VisitAfterChildren()) result = Visit();
  return result;
}

// Recurses into each subdirectory of path_ and leaves path_ as it was.
int DirectoryTraverser::VisitSubdirectories(int depth) {
  size_t length = strlen(path_);
  size_t nameStart = EndsWithSeparator(path_) ? length : length + 1;
  if (nameStart + 1 > static_cast<size_t>(kMaxPath)) return 0;
  path_[length] = '\\';
  strcpy(path_ + nameStart, "*");
  int result = 0;
  FindState* state = FindFirst(path_, &findData_);
  for (bool more = state != nullptr; more && result == 0; more = FindNext(state, &findData_)) {
    if (!(findData_.attributes & kAttrDirectory) || IsDots(findData_.name)) continue;
    if (!CopyIfFits(path_ + nameStart, findData_.name, sizeof path_ - nameStart)) continue;
    // A linked directory may lead back above itself; the walk passes it by.
    if (IsReparsePoint(path_)) continue;
    result = Recurse(depth - 1);
  }
  if (state) FindClose(state);
  path_[length] = '\0';
  return result;
}

int FindFileTraverser::Visit() {
  std::string candidate = path();
  if (!EndsWithSeparator(path())) candidate += '\\';
  candidate += name_;
  if (candidate.size() > static_cast<size_t>(kMaxPath) || !IsFile(candidate.c_str())) return 0;
  // A found path the caller cannot hold whole is passed over, never cut.
  return CopyIfFits(name_, candidate.c_str(), size_) ? 1 : 0;
}

bool FindFileInTree(const char* start, int depth, char* name, size_t size) {
  FindFileTraverser traverser(name, size);
  return traverser.Traverse(start, depth) != 0;
}

bool GetProgramFilesDir(char* buffer, size_t size) {
  RegistryKey key;
  std::string data;
  return OpenRegistryKey(RegistryRootKey(RegistryRoot::kLocalMachine),
                         "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", &key) &&
         QueryRegistryValue(key, "ProgramFilesDir", &data) && !data.empty() &&
         CopyIfFits(buffer, data.c_str(), size);
}

bool LocateCommand(char* name, size_t size) {
  if (!*name) return false;
  if (strpbrk(name, "\\/")) return IsFile(name);
  if (!strchr(name, '.')) {
    std::string withExtension = std::string(name) + ".exe";
    if (!CopyIfFits(name, withExtension.c_str(), size)) return false;
  }
  char found[kMaxPath + 1];
  // A path that does not fit the caller's buffer whole is no path to it.
  if (SearchProgramPath(name, found, sizeof found)) return CopyIfFits(name, found, size);
  char programFiles[kMaxPath + 1];
  if (GetProgramFilesDir(programFiles, sizeof programFiles) &&
      FindFileInTree(programFiles, kSearchDepth, name, size)) {
    return true;
  }
  for (char letter : GetLogicalDriveLetters()) {
    if (GetDriveKind(letter) != kDriveFixed) continue;
    printf("Searching for \"%s\" on drive %c...\n", name, letter);
    fflush(stdout);
    const char root[] = {letter, ':', '\\', '\0'};
    if (FindFileInTree(root, kSearchDepth, name, size)) return true;
  }
  return false;
}
