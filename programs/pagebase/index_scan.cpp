#include "programs/pagebase/index_scan.h"

#include <memory>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "platform/files.h"
#include "programs/pagebase/index_output.h"
#include "programs/pagebase/progress.h"
#include "shared/dir_names.h"
#include "shared/entry_factory.h"
#include "shared/index_db.h"
#include "shared/keywords.h"
#include "shared/paths.h"
#include "shared/relative_path.h"
#include "shared/report.h"
#include "shared/sitefiles.h"
#include "shared/task_pool.h"
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

// What the walk found in one directory, in walk order: its records, the
// warnings about paths too long, and its subdirectories with what was found
// in them. Directories are scanned side by side; their parts are put
// together in walk order afterwards.
struct DirScan {
  struct Item {
    std::string name;                // record or subdirectory name; the path of a warning
    Entry* entry = nullptr;          // a record's entry
    std::string folderThumbnails;    // a directory record's thumbnail field
    std::unique_ptr<DirScan> below;  // a subdirectory's scan
    bool warning = false;
  };

  explicit DirScan(std::string path) : dir(std::move(path)) {}
  ~DirScan() {
    for (Item& item : items) delete item.entry;
  }

  std::string dir;
  std::vector<Item> items;
};

class IndexWalk {
 public:
  IndexWalk(const IndexScanOptions& options, TaskPool* pool) : options_(options), pool_(pool) {}

  // Scans one directory; its subdirectories become tasks of their own.
  void Scan(DirScan* scan);

 private:
  bool Fits(DirScan* scan, const std::string& name, size_t extra) const;
  bool Keep(Entry* entry) const;
  void AddDirectoryRecord(DirScan* scan, const std::vector<ListedName>& names);
  bool ScanContents(const std::string& dir) const;
  void ScanSubdirectories(DirScan* scan, const std::vector<ListedName>& names);
  void ScanImages(DirScan* scan, const std::vector<ListedName>& names,
                  std::unordered_set<std::string>* imageBases);
  void ScanPages(DirScan* scan, const std::vector<ListedName>& names,
                 const std::unordered_set<std::string>& imageBases);
  void AddRecord(DirScan* scan, const char* name, Entry* entry);

  const IndexScanOptions& options_;
  TaskPool* pool_;
};

// A path past 259 characters cannot be recorded: it is skipped with a warning.
bool IndexWalk::Fits(DirScan* scan, const std::string& name, size_t extra) const {
  std::string path = JoinDirName(scan->dir, name);
  if (path.size() + extra <= kMaxPathLength) return true;
  DirScan::Item item;
  item.name = std::move(path);
  item.warning = true;
  scan->items.push_back(std::move(item));
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

void IndexWalk::AddRecord(DirScan* scan, const char* name, Entry* entry) {
  entry->SetHref(nullptr);
  DirScan::Item item;
  item.name = name;
  item.entry = entry;
  scan->items.push_back(std::move(item));
}

void IndexWalk::AddDirectoryRecord(DirScan* scan, const std::vector<ListedName>& names) {
  const std::string& dir = scan->dir;
  // The listing answers what "hidden.dir" and the index page lookups would
  // find, without reading the directory again for each missing name.
  if (FindListed(names, "hidden.dir")) return;
  const ListedName* index = FindIndexPageName(names);
  if (!index || !Fits(scan, index->name, 0)) return;
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
  AddRecord(scan, name, entry);
  char thumbnails[kThumbnailFieldSize];
  scan->items.back().folderThumbnails = FolderThumbnailField(dir, names, thumbnails);
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

void IndexWalk::ScanSubdirectories(DirScan* scan, const std::vector<ListedName>& names) {
  for (const ListedName& listed : names) {
    if (!listed.IsDirectory() || listed.IsSkipped(scan->dir)) continue;
    // Room for the separator of the files below it.
    if (!Fits(scan, listed.name, 1)) continue;
    DirScan::Item item;
    item.name = listed.name;
    item.below = std::make_unique<DirScan>(JoinDirName(scan->dir, listed.name));
    DirScan* below = item.below.get();
    scan->items.push_back(std::move(item));
    pool_->Add([this, below] { Scan(below); });
  }
}

void IndexWalk::ScanImages(DirScan* scan, const std::vector<ListedName>& names,
                           std::unordered_set<std::string>* imageBases) {
  const std::string& dir = scan->dir;
  for (const ListedName& listed : names) {
    const char* name = listed.name.c_str();
    if (listed.IsDirectory() || !IsImageOrUserFile(name) || IsSpecialName(name)) continue;
    // Only the same-named page gives an image keywords: without one the
    // image could not be catalogued.
    if (!HasDescribingPage(listed.name, names) || listed.IsSkipped(dir)) continue;
    if (!Fits(scan, listed.name, 0)) continue;
    Entry* entry = MakeImageEntry(JoinDirName(dir, listed.name).c_str(), true, true);
    MakeThumbnailRelative(entry, dir);
    if (!Keep(entry)) continue;
    AddRecord(scan, name, entry);
    AddImageBases(listed.name, imageBases);
  }
}

void IndexWalk::ScanPages(DirScan* scan, const std::vector<ListedName>& names,
                          const std::unordered_set<std::string>& imageBases) {
  const std::string& dir = scan->dir;
  for (const ListedName& listed : names) {
    const char* name = listed.name.c_str();
    // ".html" pages count as well, as "*.htm" finds them through short names.
    if (listed.IsDirectory() || !IsPageName(name) || IsSpecialName(name)) continue;
    if (imageBases.count(PageBase(listed.name)) || listed.IsSkipped(dir)) continue;
    if (!Fits(scan, listed.name, 0)) continue;
    Entry* entry = MakePageEntry(JoinDirName(dir, listed.name).c_str(), nullptr, nullptr);
    if (Keep(entry)) AddRecord(scan, name, entry);
  }
}

// One listing serves the directory record and the three scans of the
// directory's contents.
void IndexWalk::Scan(DirScan* scan) {
  std::vector<ListedName> names = ListDirectory(scan->dir);
  AddDirectoryRecord(scan, names);
  if (!ScanContents(scan->dir)) return;
  ScanSubdirectories(scan, names);
  std::unordered_set<std::string> imageBases;
  ScanImages(scan, names, &imageBases);
  ScanPages(scan, names, imageBases);
}

// Puts a directory's scan into the list in walk order: records and
// subdirectories as nodes below `node`, warnings reported as they come.
void AppendScan(DirScan* scan, DirEntry* node, DirEntryList* list) {
  for (DirScan::Item& item : scan->items) {
    if (item.warning) {
      EndProgressLine();
      Report(1000, "Warning:  Path longer than %zu characters skipped:\n", kMaxPathLength);
      Report(0, "            %s\n", item.name.c_str());
    } else if (item.below) {
      AppendScan(item.below.get(), list->Append(item.name.c_str(), nullptr, node), list);
    } else {
      const std::string& thumbnails = item.folderThumbnails;
      list->Append(item.name.c_str(), item.entry, node,
                   IsIndexName(item.name.c_str()) ? thumbnails.c_str() : nullptr);
      item.entry = nullptr;  // the list owns it now
    }
  }
}

// Threads besides the caller's that read the tree: its work is mostly
// waiting on the file system, one file after another.
constexpr size_t kMostWalkThreads = 3;

}  // namespace

bool KeepKeywords(const char* keywords, const IndexScanOptions& options, String* visible) {
  *visible = VisibleKeywords(keywords);
  if (visible->IsNull()) return false;
  if (options.keyExpression.IsNull()) return true;
  const char* cursor = options.keyExpression.Text();
  return EvalKeywordExpression(visible->Text(), cursor);
}

bool ScanIndexTree(const char* start, const IndexScanOptions& options, DirEntryList* list) {
  if (!start || !*start) return true;
  DirEntry* root = list->Append(start, nullptr, nullptr);
  DirScan scan(start);
  TaskPool pool(TaskPool::SuitableThreads(kMostWalkThreads));
  IndexWalk walk(options, &pool);
  pool.Add([&walk, &scan] { walk.Scan(&scan); });
  if (!pool.Wait()) return false;
  AppendScan(&scan, root, list);
  return true;
}
