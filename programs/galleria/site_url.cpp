#include "programs/galleria/site_url.h"

#include <string>

#include "platform/drives.h"
#include "programs/galleria/index_run.h"
#include "programs/galleria/index_settings.h"
#include "shared/paths.h"
#include "shared/relative_path.h"
#include "shared/url/url.h"

namespace {

// Room for a relative path between two full paths: the "..\" steps of the
// deeper one and the rest of the other.
constexpr size_t kRelativeSize = 1024;

// The first URL map entry that holds the path, or null. The entries are
// full paths: the path is compared in its full form too.
const UrlMapEntry* MapEntryFor(const char* given) {
  if (indexSettings.urlMapCount == 0) return nullptr;
  std::string full = GetFullPathString(given);
  const char* path = full.empty() ? given : full.c_str();
  for (int i = 0; i < indexSettings.urlMapCount; ++i) {
    const UrlMapEntry& entry = indexSettings.urlMap[i];
    if (CompareNoCaseN(path, entry.localPath, static_cast<size_t>(entry.localLength)) == 0) {
      return &entry;
    }
  }
  return nullptr;
}

// The path relative to dir as a URL. A path that cannot be made full is
// converted as it was given.
String RelativeUrl(const char* dir, const char* path, bool driveTest) {
  char relative[kRelativeSize];
  const char* text = RelativePath(dir, path, relative, sizeof relative, driveTest);
  if (!text) text = *relative ? relative : path;
  return FileToUrlString(text);
}

}  // namespace

String PathToUrl(const char* path) {
  if (!path) return String();
  const char* baseDir = indexSettings.startDir;
  const char* baseUrl = indexSettings.startUrl;
  if (const UrlMapEntry* entry = MapEntryFor(path)) {
    baseDir = entry->localPath;
    baseUrl = entry->url;
  }
  if (!*baseDir) return RelativeUrl(".", path, true);
  String relative = RelativeUrl(baseDir, path, false);
  return Concat6(baseUrl, "/", relative.Text());
}

String IconsFrameUrl(const char* path) {
  if (cgiMode) return PathToUrl(path);
  return FileToUrlString(RelativeToCurrentDir(path).c_str());
}
