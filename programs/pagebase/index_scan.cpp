#include "programs/pagebase/index_scan.h"

#include <string>
#include <unordered_set>
#include <vector>

#include "platform/files.h"
#include "platform/walk_guard.h"
#include "programs/pagebase/progress.h"
#include "shared/dir_names.h"
#include "shared/entry_factory.h"
#include "shared/index_db.h"
#include "shared/keywords.h"
#include "shared/paths.h"
#include "shared/relative_path.h"
#include "shared/report.h"
#include "shared/sitefiles.h"
#include "shared/url/url.h"

namespace {

// Paths are at most this long (the 260-byte buffers of the records).
constexpr size_t kMaxPathLength = kMaxPath - 1;
// A directory record is named by its index page, at most 31 characters.
constexpr size_t kIndexNameSize = 32;

// The names an image node stands for: its name cut before each '.' and
// whole. A page whose name up to its extension is one of them is the
// image's describing page, already read into the image's record.
void AddImageBases(const std::string& name, std::unordered_set<std::string>* bases) {
  for (size_t dot = name.find('.'); dot != std::string::npos; dot = name.find('.', dot + 1)) {
    bases->insert(name.substr(0, dot));
  }
  bases->insert(name);
}

std::string PageBase(const std::string& name) {
  size_t dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

// The image's same-named ".htm" page is listed beside it.
bool HasDescribingPage(const std::string& image, const std::vector<ListedName>& names) {
  String page = ChangeExtensionString(image.c_str(), ".htm");
  const ListedName* listed = FindListed(names, page);
  return listed && !listed->IsDirectory();
}

// The entry's thumbnail URL becomes a path relative to the record's directory.
void MakeThumbnailRelative(Entry* entry, const std::string& dir) {
  if (!entry->thumbnail || !*entry->thumbnail) return;
  String file = UrlToFileString(entry->thumbnail);
  char relative[kMaxPath];
  entry->SetThumbnail(RelativeFilePath(dir.c_str(), file, relative, sizeof relative));
}

class IndexWalk {
 public:
  IndexWalk(const IndexScanOptions& options, DirEntryList* list, const char* start)
      : options_(options), list_(list), guard_(start) {}

  void Scan(const std::string& dir, DirEntry* node);

 private:
  bool Fits(const std::string& dir, const std::string& name, size_t extra) const;
  bool Keep(Entry* entry) const;
  void AddDirectoryRecord(const std::string& dir, DirEntry* node,
                          const std::vector<ListedName>& names);
  bool ScanContents(const std::string& dir) const;
  void ScanSubdirectories(const std::string& dir, DirEntry* node,
                          const std::vector<ListedName>& names);
  void ScanImages(const std::string& dir, DirEntry* node, const std::vector<ListedName>& names,
                  std::unordered_set<std::string>* imageBases);
  void ScanPages(const std::string& dir, DirEntry* node, const std::vector<ListedName>& names,
                 const std::unordered_set<std::string>& imageBases);
  void AddRecord(const char* name, Entry* entry, DirEntry* parent);

  const IndexScanOptions& options_;
  DirEntryList* list_;
  WalkGuard guard_;  // each real directory is scanned once, however linked
};

// A path past 259 characters cannot be recorded: it is skipped with a warning.
bool IndexWalk::Fits(const std::string& dir, const std::string& name, size_t extra) const {
  std::string path = JoinDirName(dir, name);
  if (path.size() + extra <= kMaxPathLength) return true;
  EndProgressLine();
  Report(1000, "Warning:  Path longer than %zu characters skipped:\n", kMaxPathLength);
  Report(0, "            %s\n", path.c_str());
  return false;
}

// Keeps an entry with visible keywords (which replace its keywords) that is
// no alias; deletes any other.
bool IndexWalk::Keep(Entry* entry) const {
  String visible;
  if (entry->alias == 0 && KeepKeywords(entry->keywords, options_, &visible)) {
    entry->SetKeywords(visible);
    return true;
  }
  delete entry;
  return false;
}

void IndexWalk::AddRecord(const char* name, Entry* entry, DirEntry* parent) {
  entry->SetHref(nullptr);
  list_->Append(name, entry, parent);
}

void IndexWalk::AddDirectoryRecord(const std::string& dir, DirEntry* node,
                                   const std::vector<ListedName>& names) {
  // The listing answers what "hidden.dir" and the index page lookups would
  // find, without reading the directory again for each missing name.
  if (FindListed(names, "hidden.dir")) return;
  const ListedName* index = FindIndexPageName(names);
  if (!index || !Fits(dir, index->name, 0)) return;
  Entry* entry = MakeDirectoryEntry(dir.c_str(), false);
  if (!entry) return;
  // The alias mark of an index page is kept: such a directory stands for
  // another one.
  String visible;
  if (!KeepKeywords(entry->keywords, options_, &visible)) {
    delete entry;
    return;
  }
  entry->SetKeywords(visible);
  char name[kIndexNameSize];
  UrlToFile(BaseName(entry->href ? entry->href : ""), name, sizeof name);
  MakeThumbnailRelative(entry, dir);
  AddRecord(name, entry, node);
}

// /X wins over /I: the contents of a directory are scanned only when it
// holds no /X file and, with /I, holds the /I file.
bool IndexWalk::ScanContents(const std::string& dir) const {
  const String& exclude = options_.excludeFile;
  const String& include = options_.includeFile;
  if (!exclude.IsNull() && FileExists(JoinDirName(dir, exclude.Text()).c_str())) return false;
  if (!include.IsNull() && !FileExists(JoinDirName(dir, include.Text()).c_str())) return false;
  return true;
}

void IndexWalk::ScanSubdirectories(const std::string& dir, DirEntry* node,
                                   const std::vector<ListedName>& names) {
  for (const ListedName& listed : names) {
    if (!listed.IsDirectory() || listed.IsSkipped()) continue;
    // Room for the separator of the files below it.
    if (!Fits(dir, listed.name, 1)) continue;
    std::string path = JoinDirName(dir, listed.name);
    if (!guard_.Enter(path.c_str(), listed.attributes)) continue;
    DirEntry* subdirectory = list_->Append(listed.name.c_str(), nullptr, node);
    Scan(path, subdirectory);
  }
}

void IndexWalk::ScanImages(const std::string& dir, DirEntry* node,
                           const std::vector<ListedName>& names,
                           std::unordered_set<std::string>* imageBases) {
  for (const ListedName& listed : names) {
    const char* name = listed.name.c_str();
    if (listed.IsDirectory() || listed.IsSkipped()) continue;
    if (!IsImageOrUserFile(name) || IsSpecialName(name)) continue;
    // Only the same-named page gives an image keywords: without one the
    // image could not be catalogued.
    if (!HasDescribingPage(listed.name, names) || !Fits(dir, listed.name, 0)) continue;
    Entry* entry = MakeImageEntry(JoinDirName(dir, listed.name).c_str(), true, true);
    MakeThumbnailRelative(entry, dir);
    if (!Keep(entry)) continue;
    AddRecord(name, entry, node);
    AddImageBases(listed.name, imageBases);
  }
}

void IndexWalk::ScanPages(const std::string& dir, DirEntry* node,
                          const std::vector<ListedName>& names,
                          const std::unordered_set<std::string>& imageBases) {
  for (const ListedName& listed : names) {
    const char* name = listed.name.c_str();
    if (listed.IsDirectory() || listed.IsSkipped()) continue;
    // ".html" pages count as well, as "*.htm" finds them through short names.
    if (!IsPageName(name) || IsSpecialName(name)) continue;
    if (imageBases.count(PageBase(listed.name)) || !Fits(dir, listed.name, 0)) continue;
    Entry* entry = MakePageEntry(JoinDirName(dir, listed.name).c_str(), nullptr, nullptr);
    if (Keep(entry)) AddRecord(name, entry, node);
  }
}

// One listing serves the directory record and the three scans of the
// directory's contents.
void IndexWalk::Scan(const std::string& dir, DirEntry* node) {
  std::vector<ListedName> names = ListDirectory(dir);
  AddDirectoryRecord(dir, node, names);
  if (!ScanContents(dir)) return;
  ScanSubdirectories(dir, node, names);
  std::unordered_set<std::string> imageBases;
  ScanImages(dir, node, names, &imageBases);
  ScanPages(dir, node, names, imageBases);
}

}  // namespace

bool KeepKeywords(const char* keywords, const IndexScanOptions& options, String* visible) {
  *visible = VisibleKeywords(keywords);
  if (visible->IsNull()) return false;
  if (options.keyExpression.IsNull()) return true;
  const char* cursor = options.keyExpression.Text();
  return EvalKeywordExpression(visible->Text(), cursor);
}

void ScanIndexTree(const char* start, const IndexScanOptions& options, DirEntryList* list) {
  if (!start || !*start) return;
  DirEntry* root = list->Append(start, nullptr, nullptr);
  IndexWalk(options, list, start).Scan(start, root);
}
