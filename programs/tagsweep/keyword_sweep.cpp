#include "programs/tagsweep/keyword_sweep.h"

#include <memory>

#include "platform/walk_guard.h"
#include "shared/dir_names.h"
#include "shared/entry_factory.h"
#include "shared/keywords.h"
#include "shared/paths.h"
#include "shared/relative_path.h"
#include "shared/sitefiles.h"

namespace {

// A slide page stands for the image of its name, when there is one.
std::string ImageOrPage(const std::string& page) {
  for (const char* ext : {".jpg", ".gif", ".jpeg"}) {
    String image = ChangeExtensionString(page.c_str(), ext);
    if (FileExists(image)) return image.Text();
  }
  return page;
}

bool PageHasKeyword(const std::string& path, const char* keyword) {
  std::unique_ptr<Entry> entry(MakePageEntry(path.c_str()));
  return entry && HasListKeyword(entry->keywords, keyword);
}

}  // namespace

bool HasListKeyword(const char* list, const char* keyword) {
  return list && keyword && *keyword && HasKeyword(list, keyword);
}

bool SweepLine(const std::string& pagePath, std::string* line) {
  bool isIndex = IsIndexName(pagePath.c_str());
  // A directory stands for its index page, with its trailing '\'.
  std::string target = isIndex ? pagePath.substr(0, BaseName(pagePath.c_str()) - pagePath.c_str())
                               : pagePath;
  std::string relative = RelativeToCurrentDir(target.c_str());
  if (relative.empty() || relative[0] != '.') return false;
  *line = isIndex ? relative : ImageOrPage(relative);
  return true;
}

namespace {

bool SweepDirectory(const std::string& dir, const char* keyword, FILE* out, WalkGuard* guard) {
  for (const ListedName& listed : ListDirectory(dir)) {
    // Only the entries walked or read need their hidden flag.
    if (!listed.IsDirectory() && !IsPageName(listed.name.c_str())) continue;
    if (listed.IsSkipped(dir)) continue;
    std::string path = JoinDirName(dir, listed.name);
    if (listed.IsDirectory()) {
      if (guard->Enter(path.c_str(), listed.attributes) && !SweepDirectory(path, keyword, out, guard)) {
        return false;
      }
      continue;
    }
    std::string line;
    if (!PageHasKeyword(path, keyword)) continue;
    if (SweepLine(path, &line) && fprintf(out, "%s\n", line.c_str()) < 0) return false;
  }
  return true;
}

}  // namespace

bool SweepTree(const std::string& dir, const char* keyword, FILE* out) {
  // Each real directory is swept once, however it is linked.
  WalkGuard guard(dir.c_str());
  return SweepDirectory(dir, keyword, out, &guard);
}
