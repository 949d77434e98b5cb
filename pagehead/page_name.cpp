#include "pagehead/page_name.h"

#include <cstdio>
#include <cstring>

#include "platform/files.h"
#include "shared/chars.h"
#include "shared/paths.h"

namespace {

// The page name as two pieces: the first `keep` characters of the path and
// an ending (empty when the path already names a page).
struct PagePieces {
  size_t keep;
  const char* ending;
};

PagePieces SplitPageName(const char* path) {
  const char* ext = Extension(path);
  if (CompareNoCase(ext, ".htm") == 0 || CompareNoCase(ext, ".html") == 0) return {strlen(path), ""};
  return {static_cast<size_t>(ext - path), IsUpperCaseName(path) ? ".HTM" : ".htm"};
}

}  // namespace

bool IsUpperCaseName(const char* path) {
  for (const char* c = BaseName(path); *c; ++c) {
    if (IsLower(*c)) return false;
  }
  return true;
}

size_t PageNameLength(const char* path) {
  PagePieces pieces = SplitPageName(path);
  return pieces.keep + strlen(pieces.ending) + 1;
}

char* PageName(const char* path, char* buffer, size_t size) {
  if (size == 0) return buffer;
  PagePieces pieces = SplitPageName(path);
  size_t keep = pieces.keep < size - 1 ? pieces.keep : size - 1;
  memmove(buffer, path, keep);
  CopyBounded(buffer + keep, pieces.ending, size - keep);
  return buffer;
}

String PageNameString(const char* path) {
  return FilledString(path, [&] { return PageNameLength(path); },
                      [&](char* buffer, size_t size) { PageName(path, buffer, size); });
}

bool CreateMissingPage(const char* page, bool* created) {
  if (created) *created = false;
  if (FileExists(page)) return true;
  FILE* file = OpenFile(page, "w");
  if (!file) return false;
  if (created) *created = true;
  bool written = fputs(kPageSkeleton, file) >= 0;
  bool closed = fclose(file) == 0;
  return written && closed;
}
