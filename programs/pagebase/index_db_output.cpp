#include "programs/pagebase/index_db_output.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/names.h"
#include "programs/pagebase/progress.h"
#include "shared/chars.h"
#include "shared/dir_names.h"
#include "shared/image_size.h"
#include "shared/index_db.h"
#include "shared/line_reader.h"
#include "shared/paths.h"
#include "shared/report.h"
#include "shared/sitefiles.h"
#include "shared/string.h"

namespace {

const char* TitleOf(const DirEntry* node) {
  return node->entry && node->entry->title ? node->entry->title : "";
}

int ComparePaths(const char* a, const char* b) {
  int order = CompareNoCase(a, b);
  return order ? order : strcmp(a, b);
}

int CompareRecordPaths(const DirEntry* a, const DirEntry* b) {
  char pathA[kRecordPathSize], pathB[kRecordPathSize];
  return ComparePaths(RecordPath(a, pathA, sizeof pathA), RecordPath(b, pathB, sizeof pathB));
}

// Appends one thumbnail item "name:width,height" after a ';'. An item is
// left out when its name and 12 characters do not fit the space left.
void AppendThumbnailItem(char* buffer, const char* name, long width, long height) {
  size_t used = strlen(buffer);
  size_t left = kThumbnailFieldSize - used;
  if (strlen(name) + 12 >= left) return;
  int written = snprintf(buffer + used, left, "%s%s:%ld,%ld", used ? ";" : "", name, width, height);
  if (written < 0 || static_cast<size_t>(written) >= left) buffer[used] = '\0';
}

bool IsFile(const char* path) { return GetPathKind(path) == PathKind::kFile; }

// Appends the item of the folder thumbnail `name` in `dir`, with its size.
void AppendFolderThumbnail(const std::string& dir, const char* name, char* buffer) {
  std::string path = JoinDirName(dir, name);
  uint32_t width = 0, height = 0;
  if (!ImageSize(path.c_str(), &width, &height)) width = height = 0;
  AppendThumbnailItem(buffer, name, width, height);
}

// The folder thumbnails beside a directory record's index page.
void FolderThumbnailItems(const char* recordPath, char* buffer) {
  char dir[kRecordPathSize];
  DirPart(recordPath, dir, sizeof dir);
  for (const char* const* name = FolderThumbNames(); *name; ++name) {
    if (IsFile(JoinDirName(dir, *name).c_str())) AppendFolderThumbnail(dir, *name, buffer);
  }
}

bool WriteRecord(const DirEntry* node, FILE* out) {
  const Entry* entry = node->entry;
  char path[kRecordPathSize];
  char thumbnails[kThumbnailFieldSize];
  RecordPath(node, path, sizeof path);
  IndexRecord record;
  record.title = entry->title;
  record.path = path;
  record.description = entry->description;
  record.keywords = entry->keywords;
  record.fileInfo = entry->fileInfo;
  record.thumbnails = ThumbnailField(node, path, thumbnails);
  record.sortOrder = entry->sortOrder;
  record.alias = entry->alias;
  record.kind = entry->kind;
  return WriteIndexRecord(out, record);
}

// --- Merge -------------------------------------------------------------------

// One old database line: title, path and the rest, split at the first two TABs.
struct OldLine {
  const char* title = nullptr;
  const char* path = nullptr;
  const char* rest = nullptr;
  const char* baseName = nullptr;
};

bool IsBlank(const char* text, size_t length) {
  for (size_t i = 0; i < length; ++i) {
    if (!IsSpace(text[i])) return false;
  }
  return true;
}

class OldDatabase {
 public:
  OldDatabase(FILE* in, const char* start, MergeCounts* counts);

  // Reads up to the next line that stays: blank, damaged and overlong lines
  // are warned about and skipped, lines of the scanned tree are dropped.
  // False at the end of the input.
  bool ReadKept();
  const OldLine& Line() const { return line_; }

 private:
  bool Split(char* text, size_t length);
  bool InScannedTree(const char* path) const;
  void Skip(const char* what);

  LineReader reader_;
  std::string prefix_;  // the start path without its trailing '\'
  MergeCounts* counts_;
  OldLine line_;
};

OldDatabase::OldDatabase(FILE* in, const char* start, MergeCounts* counts)
    : reader_(in), prefix_(start), counts_(counts) {
  while (!prefix_.empty() && prefix_.back() == '\\') prefix_.pop_back();
}

void OldDatabase::Skip(const char* what) {
  EndProgressLine();
  Report(1000, "Warning:  Line %ld of the input database is %s; it was skipped.\n", reader_.Number(),
         what);
  ++counts_->skipped;
}

bool OldDatabase::Split(char* text, size_t length) {
  if (IsBlank(text, length)) {
    Skip("blank");
    return false;
  }
  char* pathTab = strchr(text, '\t');
  char* restTab = pathTab ? strchr(pathTab + 1, '\t') : nullptr;
  if (!restTab) {
    Skip("damaged (fewer than three fields)");
    return false;
  }
  *pathTab = '\0';
  *restTab = '\0';
  line_.title = text;
  line_.path = pathTab + 1;
  line_.rest = restTab + 1;
  line_.baseName = BaseName(line_.path);
  return true;
}

// Only the scanned start directory's own records are replaced: the same
// folders on another drive are another tree.
bool OldDatabase::InScannedTree(const char* path) const {
  if (CompareNoCaseN(path, prefix_.c_str(), prefix_.size()) != 0) return false;
  char next = path[prefix_.size()];
  return next == '\\' || next == '\0';
}

bool OldDatabase::ReadKept() {
  while (reader_.Next()) {
    if (!Split(reader_.Text(), reader_.Length())) continue;
    if (!InScannedTree(line_.path)) return true;
    ++counts_->deleted;
  }
  counts_->readFailed = reader_.Failed();
  return false;
}

bool WriteOldLine(const OldLine& line, FILE* out) {
  return fprintf(out, "%s\t%s\t%s\n", line.title, line.path, line.rest) >= 0;
}

// The database order between a new record and an old line: title, then
// name. The path takes no part, so an old line stays before every new record
// that sorts equal to it.
int CompareWithOldLine(const DirEntry* node, const OldLine& line) {
  int order = CompareNoCase(TitleOf(node), line.title);
  if (order) return order;
  return CompareNoCase(node->name, line.baseName);
}

}  // namespace

std::vector<DirEntry*> CollectRecords(const DirEntryList& list) {
  std::vector<DirEntry*> records;
  records.reserve(static_cast<size_t>(list.count));
  for (DirEntry* node = list.head; node; node = node->next) {
    if (node->entry) records.push_back(node);
  }
  return records;
}

int CompareIndexRecords(const DirEntry* a, const DirEntry* b) {
  int order = CompareNoCase(TitleOf(a), TitleOf(b));
  if (order) return order;
  order = CompareNoCase(a->name, b->name);
  if (order) return order;
  // The last key makes the order complete, so every run writes the same file.
  return CompareRecordPaths(a, b);
}

void SortIndex(std::vector<DirEntry*>* records) {
  // Each title lower-cased once: most records differ in their titles, which
  // then compare as plain bytes, as CompareNoCase would order them.
  struct Keyed {
    std::string title;
    DirEntry* node;
  };
  std::vector<Keyed> keyed;
  keyed.reserve(records->size());
  for (DirEntry* node : *records) keyed.push_back({NoCaseKey(TitleOf(node)), node});
  std::sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
    int order = a.title.compare(b.title);
    return order ? order < 0 : CompareIndexRecords(a.node, b.node) < 0;
  });
  for (size_t i = 0; i < keyed.size(); ++i) (*records)[i] = keyed[i].node;
}

char* FolderThumbnailField(const std::string& dir, const std::vector<ListedName>& names,
                           char* buffer) {
  *buffer = '\0';
  for (const char* const* name = FolderThumbNames(); *name; ++name) {
    const ListedName* listed = FindListed(names, *name);
    if (listed && !listed->IsDirectory()) AppendFolderThumbnail(dir, *name, buffer);
  }
  return buffer;
}

char* ThumbnailField(const DirEntry* node, const char* recordPath, char* buffer) {
  *buffer = '\0';
  if (node->folderThumbnails) return CopyBounded(buffer, node->folderThumbnails, kThumbnailFieldSize);
  if (IsIndexName(recordPath)) {
    FolderThumbnailItems(recordPath, buffer);
    return buffer;
  }
  const Entry* entry = node->entry;
  if (entry && entry->thumbnail && *entry->thumbnail) {
    AppendThumbnailItem(buffer, entry->thumbnail, entry->thumbWidth, entry->thumbHeight);
  }
  return buffer;
}

bool WriteIndex(const std::vector<DirEntry*>& records, FILE* out, long* written) {
  *written = 0;
  for (const DirEntry* node : records) {
    if (!WriteRecord(node, out)) return false;
    ++*written;
  }
  return true;
}

bool MergeIndex(const std::vector<DirEntry*>& records, const char* start, FILE* in, FILE* out,
                MergeCounts* counts) {
  OldDatabase old(in, start, counts);
  bool held = old.ReadKept();
  size_t next = 0;
  while (held || next < records.size()) {
    if (held && (next == records.size() || CompareWithOldLine(records[next], old.Line()) >= 0)) {
      // On a tie the old line goes first.
      if (!WriteOldLine(old.Line(), out)) return false;
      held = old.ReadKept();
      continue;
    }
    if (!WriteRecord(records[next++], out)) return false;
    ++counts->added;
  }
  return true;
}
