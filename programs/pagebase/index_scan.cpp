#include "programs/pagebase/index_scan.h"

#include <memory>
#include <optional>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "platform/drives.h"
#include "platform/walk_guard.h"
#include "programs/pagebase/index_db_output.h"
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
// Directories the walk may list before their files are read.
constexpr size_t kWalkLead = 8;

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
  return std::string(name.c_str(), Extension(name.c_str()));
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

// What the walk found in one directory: its directory record, its
// subdirectories with what was found in them, and its images and pages,
// each part in walk order with the warnings about paths too long where they
// came. The subdirectories are found in the order of the walk, so that each
// real directory is entered once whatever links lead to it; the files of a
// directory are read on the pool's threads as soon as the walk is done with
// its names, while the walk goes on; the parts are put together in walk
// order at the end.
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
    for (std::vector<Item>* part : {&head, &subdirectories, &files}) {
      for (Item& item : *part) delete item.entry;
    }
  }

  std::string dir;
  std::vector<ListedName> names;  // the listing, until the files are read
  bool scanContents = false;      // /X and /I let the walk below the directory
  std::vector<Item> head;         // the directory record
  std::vector<Item> subdirectories;
  std::vector<Item> files;        // images, then pages
};

class IndexWalk {
 public:
  IndexWalk(const IndexScanOptions& options, const char* start) : options_(options), guard_(start) {}

  // Lists the directory and, in walk order, the tree below it; each
  // directory's files are then read by a task of `pool`.
  void FindDirectories(DirScan* scan, TaskPool* pool);
  // The directory record and the files of one listed directory.
  void ScanFiles(DirScan* scan) const;

 private:
  static bool Fits(const std::string& dir, const std::string& name, size_t extra,
                   std::vector<DirScan::Item>* part);
  void FindSubdirectories(DirScan* scan, TaskPool* pool);
  bool Keep(Entry* entry) const;
  void AddDirectoryRecord(DirScan* scan) const;
  bool ScanContents(const std::string& dir) const;
  void ScanImages(DirScan* scan, std::unordered_set<std::string>* imageBases) const;
  void ScanPages(DirScan* scan, const std::unordered_set<std::string>& imageBases) const;
  static void AddRecord(std::vector<DirScan::Item>* part, const char* name, Entry* entry);

  const IndexScanOptions& options_;
  WalkGuard guard_;  // each real directory is scanned once, however linked
};

// A path past 259 characters cannot be recorded: it is skipped with a
// warning, which takes its place in `part`.
bool IndexWalk::Fits(const std::string& dir, const std::string& name, size_t extra,
                     std::vector<DirScan::Item>* part) {
  std::string path = JoinDirName(dir, name);
  if (path.size() + extra <= kMaxPathLength) return true;
  DirScan::Item item;
  item.name = std::move(path);
  item.warning = true;
  part->push_back(std::move(item));
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

void IndexWalk::AddRecord(std::vector<DirScan::Item>* part, const char* name, Entry* entry) {
  entry->SetHref(nullptr);
  DirScan::Item item;
  item.name = name;
  item.entry = entry;
  part->push_back(std::move(item));
}

void IndexWalk::AddDirectoryRecord(DirScan* scan) const {
  const std::string& dir = scan->dir;
  // The listing answers what "hidden.dir" and the index page lookups would
  // find, without reading the directory again for each missing name.
  if (FindListed(scan->names, "hidden.dir")) return;
  const ListedName* index = FindIndexPageName(scan->names);
  if (!index || !Fits(dir, index->name, 0, &scan->head)) return;
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
  AddRecord(&scan->head, name, entry);
  char thumbnails[kThumbnailFieldSize];
  scan->head.back().folderThumbnails = FolderThumbnailField(dir, scan->names, thumbnails);
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

void IndexWalk::FindDirectories(DirScan* scan, TaskPool* pool) {
  scan->names = ListDirectory(scan->dir);
  scan->scanContents = ScanContents(scan->dir);
  if (scan->scanContents) FindSubdirectories(scan, pool);
  // The walk is done with the directory's names: its files can be read. The
  // walk keeps only a few directories ahead of the readers, so that what it
  // listed (the thumbnails' folders) is still kept when they get to it.
  pool->Add([this, scan] { ScanFiles(scan); });
  pool->HelpWhileBehind(kWalkLead);
}

void IndexWalk::FindSubdirectories(DirScan* scan, TaskPool* pool) {
  for (const ListedName& listed : scan->names) {
    if (!listed.IsDirectory() || listed.IsSkipped(scan->dir)) continue;
    // Room for the separator of the files below it.
    if (!Fits(scan->dir, listed.name, 1, &scan->subdirectories)) continue;
    std::string path = JoinDirName(scan->dir, listed.name);
    if (!guard_.Enter(path.c_str(), listed.attributes)) continue;
    DirScan::Item item;
    item.name = listed.name;
    item.below = std::make_unique<DirScan>(std::move(path));
    DirScan* below = item.below.get();
    scan->subdirectories.push_back(std::move(item));
    FindDirectories(below, pool);
  }
}

void IndexWalk::ScanImages(DirScan* scan, std::unordered_set<std::string>* imageBases) const {
  const std::string& dir = scan->dir;
  // The folder's thumbnails, listed once for all of its images (when it has any).
  std::optional<ThumbnailsListedOnce> thumbnails;
  for (const ListedName& listed : scan->names) {
    const char* name = listed.name.c_str();
    if (listed.IsDirectory() || !IsImageOrUserFile(name) || IsSpecialName(name)) continue;
    // Only the same-named page gives an image keywords: without one the
    // image could not be catalogued.
    if (!HasDescribingPage(listed.name, scan->names) || listed.IsSkipped(dir)) continue;
    if (!Fits(dir, listed.name, 0, &scan->files)) continue;
    if (!thumbnails) thumbnails.emplace(dir);
    Entry* entry = MakeImageEntry(JoinDirName(dir, listed.name).c_str(), true, true);
    MakeThumbnailRelative(entry, dir);
    if (!Keep(entry)) continue;
    AddRecord(&scan->files, name, entry);
    AddImageBases(listed.name, imageBases);
  }
}

void IndexWalk::ScanPages(DirScan* scan, const std::unordered_set<std::string>& imageBases) const {
  const std::string& dir = scan->dir;
  for (const ListedName& listed : scan->names) {
    const char* name = listed.name.c_str();
    // ".html" pages count as well, as "*.htm" finds them through short names.
    if (listed.IsDirectory() || !IsPageName(name) || IsSpecialName(name)) continue;
    if (imageBases.count(PageBase(listed.name)) || listed.IsSkipped(dir)) continue;
    if (!Fits(dir, listed.name, 0, &scan->files)) continue;
    Entry* entry = MakePageEntry(JoinDirName(dir, listed.name).c_str(), nullptr, nullptr);
    if (Keep(entry)) AddRecord(&scan->files, name, entry);
  }
}

// One listing serves the directory record and the scans of the directory's
// contents.
void IndexWalk::ScanFiles(DirScan* scan) const {
  AddDirectoryRecord(scan);
  if (scan->scanContents) {
    std::unordered_set<std::string> imageBases;
    ScanImages(scan, &imageBases);
    ScanPages(scan, imageBases);
  }
  scan->names.clear();
  scan->names.shrink_to_fit();
}

void AppendScan(DirScan* scan, DirEntry* node, DirEntryList* list);

// Puts one part of a directory's scan into the list: records and
// subdirectories as nodes below `node`, warnings reported as they come.
void AppendPart(std::vector<DirScan::Item>* part, DirEntry* node, DirEntryList* list) {
  for (DirScan::Item& item : *part) {
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

// A directory's scan in walk order: its record, the tree below it, its files.
void AppendScan(DirScan* scan, DirEntry* node, DirEntryList* list) {
  AppendPart(&scan->head, node, list);
  AppendPart(&scan->subdirectories, node, list);
  AppendPart(&scan->files, node, list);
}

// Threads besides the caller's that read the files: the work is mostly
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
  IndexWalk walk(options, start);
  // Declared after what its tasks use, so that they end first.
  TaskPool pool(TaskPool::SuitableThreads(kMostWalkThreads));
  walk.FindDirectories(&scan, &pool);
  if (!pool.Wait()) return false;
  AppendScan(&scan, root, list);
  return true;
}
