#include "shared/paths.h"

#include <cstring>

#include "platform/attributes.h"
#include "platform/drives.h"
#include "platform/names.h"
#include "shared/chars.h"

namespace {

// What ends a directory part: either slash, or the ':' after a drive.
bool IsSeparatorOrColon(char c) { return c == '\\' || c == '/' || c == ':'; }

// Copies the first n characters of text (n < size) and terminates them.
void CopyPrefix(char* buffer, const char* text, size_t n, size_t size) {
  if (size == 0) return;
  if (n >= size) n = size - 1;
  memmove(buffer, text, n);
  buffer[n] = 0;
}

void RemoveTrailingBackslashes(char* text) {
  size_t n = strlen(text);
  while (n > 0 && text[n - 1] == '\\') text[--n] = 0;
}

}  // namespace

bool DirExists(const char* path) {
  if (!path) return false;
  return GetPathKind(path) == PathKind::kDirectory;
}

bool FileExists(const char* path) { return path && PathExists(path); }

const char* BaseName(const char* path) {
  const char* base = path;
  for (const char* p = path; *p; ++p) {
    if (IsSeparatorOrColon(*p)) base = p + 1;
  }
  return base;
}

char* BaseName(char* path) {
  return const_cast<char*>(BaseName(const_cast<const char*>(path)));
}

const char* Extension(const char* path) {
  const char* base = BaseName(path);
  const char* dot = strrchr(base, '.');
  return dot ? dot : base + strlen(base);
}

char* Extension(char* path) {
  return const_cast<char*>(Extension(const_cast<const char*>(path)));
}

char* DirPart(const char* path, char* buffer, size_t size) {
  size_t keep = BaseName(path) - path;
  // The separator before the base name goes, except where it makes a root
  // ('\', 'c:\') or stands after another separator.
  if (keep >= 3 && !IsSeparatorOrColon(path[keep - 2])) --keep;
  CopyPrefix(buffer, path, keep, size);
  return buffer;
}

const char* SplitDrive(const char* path, char (&drive)[kDriveSize]) {
  const char* colon = strchr(path, ':');
  if (!colon) {
    drive[0] = 0;
    return path;
  }
  CopyPrefix(drive, path, colon - path, kDriveSize);
  return colon + 1;
}

namespace {

// Appends text to the buffer's text, bounded by size.
void AppendBounded(char* buffer, const char* text, size_t size) {
  size_t used = strlen(buffer);
  if (used + 1 >= size) return;
  CopyBounded(buffer + used, text, size - used);
}

// "..\" once for each '\' of `from` (from `start` on) that has a character
// after it, then the rest of `to` past the common '\' at `start`.
void BuildUpwardPath(const char* from, const char* to, size_t start, char* buffer,
                     size_t size) {
  buffer[0] = 0;
  for (const char* p = from + start; *p; ++p) {
    if (*p == '\\' && p[1]) AppendBounded(buffer, "..\\", size);
  }
  // A drive root as target has an empty rest: nothing follows the '\'.
  if (start < strlen(to)) AppendBounded(buffer, to + start + 1, size);
}

}  // namespace

char* RelativePath(const char* fromDir, const char* to, char* buffer, size_t size,
                   bool driveTest) {
  if (size == 0) return nullptr;
  buffer[0] = 0;
  char fullFrom[kMaxPath + 1];
  char fullTo[kMaxPath + 1];
  if (!GetFullPath(fromDir, fullFrom, sizeof fullFrom)) return nullptr;
  if (!GetFullPath(to, fullTo, sizeof fullTo)) return nullptr;

  char fromDrive[kDriveSize];
  char toDrive[kDriveSize];
  const char* from = SplitDrive(fullFrom, fromDrive);
  const char* rest = SplitDrive(fullTo, toDrive);
  if (driveTest && fromDrive[0] && toDrive[0] && CompareNoCase(fromDrive, toDrive) != 0) {
    CopyBounded(buffer, fullTo, size);
    return nullptr;
  }
  // The rests end where the full paths do: trimming these trims the rests.
  RemoveTrailingBackslashes(fullFrom);
  RemoveTrailingBackslashes(fullTo);

  size_t i = 0;
  size_t lastBackslash = 0;
  while (from[i] && rest[i] && ToUpper(from[i]) == ToUpper(rest[i])) {
    if (from[i] == '\\') lastBackslash = i;
    ++i;
  }
  if (from[i] || (rest[i] && rest[i] != '\\')) {
    BuildUpwardPath(from, rest, lastBackslash, buffer, size);
  } else if (rest[i] == '\\') {
    CopyBounded(buffer, rest + i + 1, size);
  }
  RemoveTrailingBackslashes(buffer);
  return buffer;
}

char* ChangeExtension(char* buffer, const char* newExt, size_t size) {
  if (size == 0) return buffer;
  char* base = BaseName(buffer);
  char* ext = Extension(base);
  bool hasLower = false;
  for (const char* p = base; *p; ++p) hasLower = hasLower || IsLower(*p);

  size_t offset = ext - buffer;
  if (offset >= size) offset = size - 1;
  CopyBounded(buffer + offset, newExt, size - offset);
  if (hasLower) return buffer;
  for (char* p = buffer + strlen(buffer); p > buffer && !IsSeparatorOrColon(p[-1]) && p[-1] != '.';) {
    --p;
    *p = ToUpper(*p);
  }
  return buffer;
}

String ChangeExtensionString(const char* path, const char* newExt) {
  if (!path) return String();
  String result(kMaxPath);
  CopyBounded(result.Text(), path, kMaxPath);
  ChangeExtension(result.Text(), newExt, kMaxPath);
  return result;
}
