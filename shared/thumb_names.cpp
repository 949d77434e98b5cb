#include "shared/thumb_names.h"

#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "platform/assert.h"
#include "shared/paths.h"
#include "shared/string.h"

namespace {

constexpr char kPrefix[] = "tn_";
constexpr size_t kPrefixLength = sizeof kPrefix - 1;
// The thumbs folder and the '\' after it.
constexpr size_t kThumbsDirLength = sizeof kThumbsFolder;

// Length of the directory part of a path, its last '\', '/' or ':' included.
size_t DirPrefixLength(const char* path) { return static_cast<size_t>(BaseName(path) - path); }

// The thumbnail path for one extension, cut before the extension.
char* ThumbPathFor(const char* imagePath, const char* pExt, char* buffer, size_t size) {
  size_t dirLength = DirPrefixLength(imagePath);
  size_t prefixLength = dirLength + kThumbsDirLength;
  if (prefixLength + 8 > size) {
    // No room for even a cut name: the directories, cut, are all that fit.
    snprintf(buffer, size, "%.*s%s\\", static_cast<int>(dirLength), imagePath, kThumbsFolder);
    return buffer;
  }
  memcpy(buffer, imagePath, dirLength);
  memcpy(buffer + dirLength, kThumbsFolder, kThumbsDirLength - 1);
  buffer[prefixLength - 1] = '\\';
  MakeThumbName(BaseName(imagePath), pExt, buffer + prefixLength, size - prefixLength);
  return buffer;
}

bool IsThumbExt(const char* ext) {
  return CompareNoCase(ext, ".jpg") == 0 || CompareNoCase(ext, ".gif") == 0;
}

}  // namespace

char* MakeThumbName(const char* imageName, const char* pExt, char* buffer, size_t size) {
  WEFT_ASSERT(pExt && pExt[0] == '.');
  WEFT_ASSERT(size >= 8);
  size_t extLength = strlen(pExt);
  size_t room = size > extLength + kPrefixLength + 1 ? size - extLength - kPrefixLength - 1 : 0;
  size_t nameLength = strnlen(imageName, room);
  memcpy(buffer, kPrefix, kPrefixLength);
  char* name = buffer + kPrefixLength;
  memcpy(name, imageName, nameLength);
  name[nameLength] = '\0';
  if (char* dot = strrchr(name, '.')) *dot = '_';
  CopyBounded(name + nameLength, pExt, size - kPrefixLength - nameLength);
  return buffer;
}

char* ThumbPath(const char* imagePath, const char* pExt, char* buffer, size_t size) {
  WEFT_ASSERT(pExt == 0 || pExt[0] == '.');
  WEFT_ASSERT(size >= 8);
  if (pExt) return ThumbPathFor(imagePath, pExt, buffer, size);
  for (const char* ext : {".jpg", ".gif"}) {
    if (FileExists(ThumbPathFor(imagePath, ext, buffer, size))) return buffer;
  }
  buffer[0] = '\0';
  return nullptr;
}

size_t ThumbPathLength(const char* imagePath, const char* pExt) {
  return DirPrefixLength(imagePath) + kThumbsDirLength + kPrefixLength + strlen(BaseName(imagePath)) +
         strlen(pExt);
}

char* ThumbToImageName(const char* thumbName, char* buffer, size_t size) {
  if (size == 0) return nullptr;
  buffer[0] = '\0';
  if (strncmp(thumbName, kPrefix, kPrefixLength) != 0) return nullptr;
  const char* ext = strrchr(thumbName, '.');
  if (!ext || ext < thumbName + kPrefixLength || !IsThumbExt(ext)) return nullptr;
  size_t length = static_cast<size_t>(ext - (thumbName + kPrefixLength));
  if (length > size - 1) length = size - 1;
  memcpy(buffer, thumbName + kPrefixLength, length);
  buffer[length] = '\0';
  const char* underscore = strrchr(thumbName, '_');
  if (underscore && underscore >= thumbName + kPrefixLength) {
    size_t place = static_cast<size_t>(underscore - (thumbName + kPrefixLength));
    if (place < size - 1 && place < length) buffer[place] = '.';
  }
  return buffer;
}

std::string ThumbSearchPrefix(const char* imageName) {
  const char* ext = Extension(imageName);
  std::string prefix = kPrefix + std::string(imageName, ext) + "_";
  for (char& c : prefix) {
    if (c == '.') c = '_';
  }
  return prefix;
}
