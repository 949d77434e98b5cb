#include "shared/backup_check.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/attributes.h"
#include "platform/clock.h"
#include "platform/drives.h"
#include "platform/files.h"
#include "platform/walk_guard.h"
#include "shared/chars.h"
#include "shared/paths.h"
#include "shared/string.h"

namespace {

constexpr const char* kConfigName = "archvet.ini";
constexpr int kConfigLineLength = 260;

bool EndsWith(const char* candidate, size_t candidateLength, const char* pattern,
              size_t length) {
  return candidateLength >= length &&
         memcmp(candidate + candidateLength - length, pattern, length) == 0;
}

}  // namespace

// --- FileSpec ----------------------------------------------------------------

FileSpec::FileSpec(const char* text) : text_(text), work_(CopyText(text)) {
  SplitPath(work_.get(), &dir_, &name_, &ext_);
  nameKind_ = ParseWildcard(name_);
  extKind_ = ParseWildcard(ext_);
  dirLength_ = static_cast<int32_t>(strlen(dir_));
  nameLength_ = static_cast<int32_t>(strlen(name_));
  extLength_ = static_cast<int32_t>(strlen(ext_));
}

void FileSpec::SplitPath(char* text, char** dir, char** name, char** ext) {
  UpperCase(text);
  char* slash = strrchr(text, '\\');
  if (slash) {
    *slash = '\0';
    *dir = text;
    *name = slash + 1;
  } else {
    *dir = text + strlen(text);
    *name = text;
  }
  char* dot = strrchr(*name, '.');
  if (dot) {
    *dot = '\0';
    *ext = dot + 1;
  } else {
    *ext = *name + strlen(*name);
  }
}

MatchKind FileSpec::ParseWildcard(char*& part) {
  bool leading = *part == '*';
  if (leading) ++part;
  char* star = strchr(part, '*');
  if (star) *star = '\0';
  if (leading) return star ? kMatchContains : kMatchEndsWith;
  return star ? kMatchBeginsWith : kMatchExact;
}

bool FileSpec::MatchPart(const char* pattern, int32_t length, const char* candidate,
                         MatchKind kind) {
  if (length <= 0) return true;
  size_t size = static_cast<size_t>(length);
  size_t candidateLength = strlen(candidate);
  switch (kind) {
    case kMatchExact:
      return candidateLength == size && memcmp(candidate, pattern, size) == 0;
    case kMatchContains: {
      std::string needle(pattern, size);
      return strstr(candidate, needle.c_str()) != nullptr;
    }
    case kMatchBeginsWith:
      return strncmp(candidate, pattern, size) == 0;
    case kMatchEndsWith:
      return EndsWith(candidate, candidateLength, pattern, size);
    case kMatchDirEndsWith:
      if (candidateLength == size) return memcmp(candidate, pattern, size) == 0;
      return candidateLength > size && EndsWith(candidate, candidateLength, pattern, size) &&
             (pattern[0] == '\\' || candidate[candidateLength - size - 1] == '\\');
  }
  return false;
}

bool FileSpec::Matches(const char* path) const {
  char copy[kMaxPath];
  CopyBounded(copy, path, sizeof copy);
  char* dir;
  char* name;
  char* ext;
  SplitPath(copy, &dir, &name, &ext);
  return MatchPart(name_, nameLength_, name, nameKind_) &&
         MatchPart(ext_, extLength_, ext, extKind_) &&
         MatchPart(dir_, dirLength_, dir, kMatchDirEndsWith);
}

// --- BackupState ---------------------------------------------------------------

bool BackupState::AddImportant(const char* text) {
  if (categoryCount >= kMaxBackupCategories) return false;
  importantSpecs[categoryCount] = std::make_unique<FileSpec>(text);
  categories[categoryCount].spec = importantSpecs[categoryCount].get();
  ++categoryCount;
  return true;
}

bool BackupState::AddIgnore(const char* text) {
  if (ignoreCount >= kMaxIgnoreSpecs) return false;
  ignoreSpecs[ignoreCount++] = std::make_unique<FileSpec>(text);
  return true;
}

void BackupState::SetClusterSize(int32_t size) { clusterSize = size < 1 ? 1 : size; }

// --- Sizes and times -------------------------------------------------------------

namespace {

struct SizeRow {
  double divisor;
  double threshold;  // 0: the last row, taken without dividing
  const char* format;
};

constexpr SizeRow kSizeRows[] = {
    {1, 1000, "%1.0f"},     {1024, 9.95, "%1.2fKB"}, {1, 99.5, "%1.1fKB"},
    {1, 1000, "%1.0fKB"},   {1024, 9.95, "%1.2fMB"}, {1, 99.5, "%1.1fMB"},
    {1, 1000, "%1.0fMB"},   {1024, 9.95, "%1.2fGB"}, {1, 99.5, "%1.1fGB"},
    {1, 0, "%1.0fGB"},
};

}  // namespace

char* FormatSize(double bytes, char* buffer, bool appendBytes) {
  size_t row = 0;
  while (kSizeRows[row].threshold != 0) {
    bytes /= kSizeRows[row].divisor;
    if (bytes < kSizeRows[row].threshold) break;
    ++row;
  }
  int length = snprintf(buffer, kSizeTextSize, kSizeRows[row].format, bytes);
  if (row == 0 && appendBytes && length >= 0) {
    snprintf(buffer + length, kSizeTextSize - static_cast<size_t>(length), " bytes");
  }
  return buffer;
}

double FileTimeToDays(FileTime time) {
  double high = static_cast<double>(time >> 32);
  double low = static_cast<double>(time & 0xFFFFFFFFu);
  return (high * 4294967296.0 + low) * 1.1574074074074074e-12;
}

// --- The walk --------------------------------------------------------------------

namespace {

bool IsDotEntry(const char* name) {
  return strcmp(name, ".") == 0 || strcmp(name, "..") == 0;
}

bool IsIgnored(const char* path, const BackupState& state) {
  for (int i = 0; i < state.ignoreCount; ++i) {
    if (state.ignoreSpecs[i]->Matches(path)) return true;
  }
  return false;
}

void NoteNewest(FileTime time, const char* path, BackupCategory* category) {
  if (time <= category->newestTime) return;
  category->newestTime = time;
  category->newestName = path;
}

// Adds the file in the shared find record, whose full path is `path`.
void CountFile(const char* path, BackupState* state) {
  const FindData& found = state->findData;
  double size = static_cast<double>(found.size >> 32) * 4294967296.0 +
                static_cast<double>(found.size & 0xFFFFFFFFu);
  double allocated = std::ceil(size / state->clusterSize) * state->clusterSize;
  for (int i = 0; i < state->categoryCount; ++i) {
    BackupCategory& category = state->categories[i];
    if (category.spec && !category.spec->Matches(found.name)) continue;
    if (i != 0 && (size < state->minImportantSize || IsIgnored(path, *state))) continue;
    ++category.fileCount;
    category.totalBytes += size;
    category.allocatedBytes += allocated;
    if (found.attributes & kAttrArchive) {
      double age = state->currentDays - FileTimeToDays(found.writeTime);
      category.sumAges += age;
      if (age > category.maxAge) category.maxAge = age;
      ++category.notArchivedCount;
      category.notArchivedBytes += size;
      category.notArchivedAllocated += allocated;
    }
    NoteNewest(found.creationTime, path, &category);
    NoteNewest(found.writeTime, path, &category);
  }
}

}  // namespace

namespace {

void ScanBackupDirectory(char* path, BackupState* state, WalkGuard* guard) {
  size_t given = strlen(path);
  size_t nameStart = given;
  // Room for a separator, "*" and the terminator; a deeper path is no
  // directory the platform could list anyway.
  if (nameStart + 3 > kWalkPathSize) return;
  if (nameStart > 0 && path[nameStart - 1] != '\\') path[nameStart++] = '\\';
  strcpy(path + nameStart, "*");
  FindState* search = FindFirst(path, &state->findData);
  if (search) {
    do {
      const char* name = state->findData.name;
      if (IsDotEntry(name)) continue;
      size_t length = strlen(name);
      if (nameStart + length + 1 > kWalkPathSize) continue;
      memcpy(path + nameStart, name, length + 1);
      if (state->findData.attributes & kAttrDirectory) {
        if (guard->Enter(path, state->findData.attributes)) ScanBackupDirectory(path, state, guard);
      } else {
        CountFile(path, state);
      }
    } while (FindNext(search, &state->findData));
    FindClose(search);
  }
  path[given] = '\0';
}

}  // namespace

void ScanBackupTree(char* path, BackupState* state) {
  if (state->currentDays == 0) state->currentDays = FileTimeToDays(FileTimeNow());
  // Each real directory is counted once, however it is linked.
  WalkGuard guard(path);
  ScanBackupDirectory(path, state, &guard);
}

// --- archvet.ini -----------------------------------------------------------------

namespace {

bool IsSlash(char c) { return c == '\\' || c == '/'; }

// Where the root separator of a full path stands ('C:\' and '\\server\'
// forms), or -1 when there is none.
long RootSeparator(const char* path) {
  const char* colon = strchr(path, ':');
  const char* root = colon ? colon + 1 : path;
  if (IsSlash(root[0]) && IsSlash(root[1])) {
    root += 2;
    while (*root && !IsSlash(*root)) ++root;
  }
  return IsSlash(*root) ? root - path : -1;
}

// Position just behind the last '\', '/' or ':' before `end`.
size_t BehindLastSeparator(const char* text, size_t end) {
  while (end > 0 && !IsSlash(text[end - 1]) && text[end - 1] != ':') --end;
  return end;
}

enum class ConfigMode { kNone, kImportant, kIgnore };

// Reads one line of at most kConfigLineLength characters; the rest of a
// longer line is dropped so that it never reads as a filespec of its own.
bool ReadConfigLine(FILE* stream, char (&line)[kConfigLineLength + 2]) {
  if (!fgets(line, sizeof line, stream)) return false;
  if (!strchr(line, '\n') && strlen(line) > kConfigLineLength) {
    line[kConfigLineLength] = '\0';
    int c;
    while ((c = fgetc(stream)) != EOF && c != '\n') {
    }
  }
  return true;
}

// The line without the characters of code 32 or less at either end.
char* TrimConfigLine(char* line) {
  size_t length = strlen(line);
  while (length > 0 && static_cast<unsigned char>(line[length - 1]) <= 32) --length;
  line[length] = '\0';
  while (*line && static_cast<unsigned char>(*line) <= 32) ++line;
  return line;
}

ConfigMode SectionMode(const char* header) {
  if (CompareNoCase(header, "[Important Files]") == 0) return ConfigMode::kImportant;
  if (CompareNoCase(header, "[Ignore Files]") == 0 ||
      CompareNoCase(header, "[Unimportant Files]") == 0) {
    return ConfigMode::kIgnore;
  }
  return ConfigMode::kNone;
}

}  // namespace

char* FindFileUpwards(const char* start, const char* name, char* buffer, size_t size) {
  size_t nameLength = strlen(name);
  if (size < nameLength + 2) return nullptr;
  size_t room = size - (nameLength + 1);
  size_t length = GetFullPath(start, buffer, room);
  if (length == 0 || length + 1 > room) return nullptr;
  long root = RootSeparator(buffer);
  if (root < 0) return nullptr;
  if (!IsSlash(buffer[length - 1])) buffer[length++] = '\\';
  size_t namePos = length;
  for (;;) {
    memcpy(buffer + namePos, name, nameLength + 1);
    if (FileExists(buffer)) return buffer;
    if (namePos <= static_cast<size_t>(root) + 1) return nullptr;
    buffer[namePos - 1] = '\0';
    namePos = BehindLastSeparator(buffer, namePos - 1);
  }
}

void ReadBackupConfig(const char* startDir, BackupState* state) {
  char path[kMaxPath + 1];
  if (!FindFileUpwards(startDir, kConfigName, path, sizeof path)) return;
  FILE* stream = OpenFile(path, "r");
  if (!stream) return;
  ConfigMode mode = ConfigMode::kNone;
  char buffer[kConfigLineLength + 2];
  while (ReadConfigLine(stream, buffer)) {
    char* line = TrimConfigLine(buffer);
    if (!*line) continue;
    if (*line == '[') {
      mode = SectionMode(line);
    } else if (mode == ConfigMode::kImportant) {
      state->AddImportant(line);
    } else if (mode == ConfigMode::kIgnore) {
      state->AddIgnore(line);
    }
  }
  fclose(stream);
}
