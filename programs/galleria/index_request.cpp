#include "programs/galleria/index_request.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/drives.h"
#include "platform/files.h"
#include "programs/galleria/index_run.h"
#include "programs/galleria/index_settings.h"
#include "programs/galleria/navigation.h"
#include "programs/galleria/result_cache.h"
#include "programs/galleria/site_url.h"
#include "shared/cgi/cgi.h"
#include "shared/chars.h"
#include "shared/entry.h"
#include "shared/index_db.h"
#include "shared/line_reader.h"
#include "shared/paths.h"
#include "shared/query/query.h"
#include "shared/sitefiles.h"
#include "shared/string.h"

namespace {

constexpr int kMaxThumbItems = 10;
// Reads of the database: large enough for a scan, small enough that a return
// to one line from the result cache reads little more than that line.
constexpr size_t kDatabaseReadSize = 64 * 1024;

const char* OrNull(const char* text) { return text && *text ? text : nullptr; }

std::string Argument(const CGIArgs* args, const char* name) {
  const char* value = args ? args->Find(name) : nullptr;
  return value ? value : "";
}

// A decimal argument, `absent` when the request does not carry it; a
// negative value counts as 0, so no window starts before the first result.
int NumberArgument(const CGIArgs* args, const char* name, int absent) {
  const char* value = args ? args->Find(name) : nullptr;
  if (!value) return absent;
  int number = ParseNumber(value);
  return number < 0 ? 0 : number;
}

// --- Thumbnails --------------------------------------------------------------------

struct ThumbItem {
  std::string name;
  int width = 0;
  int height = 0;
};

// "width,height" as "%u,%u" reads it, as far as it goes.
void ReadThumbSize(const char* text, ThumbItem* item) {
  unsigned width = 0, height = 0;
  if (sscanf(text, "%u,%u", &width, &height) < 1) return;
  item->width = width <= INT_MAX ? static_cast<int>(width) : 0;
  item->height = height <= INT_MAX ? static_cast<int>(height) : 0;
}

// The items of a thumbnail list, at most kMaxThumbItems.
int SplitThumbList(const char* list, ThumbItem* items) {
  int count = 0;
  if (!list || !*list) return 0;
  std::string text = list;
  size_t start = 0;
  while (count < kMaxThumbItems) {
    size_t end = text.find(';', start);
    std::string piece = text.substr(start, end == std::string::npos ? end : end - start);
    size_t colon = piece.find(':');
    ThumbItem& item = items[count++];
    item.name = piece.substr(0, colon);
    if (colon != std::string::npos) ReadThumbSize(piece.c_str() + colon + 1, &item);
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return count;
}

// The item to show: a path as the first item, else the one named by the
// earliest folder thumbnail name; null when none fits.
const ThumbItem* PickThumbItem(const ThumbItem* items, int count) {
  if (count == 0) return nullptr;
  if (items[0].name.find('\\') != std::string::npos) return &items[0];
  for (const char* const* name = FolderThumbNames(); *name; ++name) {
    for (int i = 0; i < count; ++i) {
      if (CompareNoCase(items[i].name.c_str(), *name) == 0) return &items[i];
    }
  }
  return nullptr;
}

// --- Results -----------------------------------------------------------------------

// What a record must be to match the request.
struct RecordFilter {
  int kindMask;
  const Query* query;  // null: every record of a wanted kind
};

// The request's window of results: matches numbered first to first + count - 1.
struct ResultWindow {
  Entry** results;
  int first;
  int count;
  int stored = 0;

  bool Wants(int number) const { return number >= first && number - first < count; }
  // A fresh entry from the filled one, with the record's thumbnail.
  void Store(const Entry& filled, const IndexRecord& record) {
    if (stored >= count) return;
    Entry* entry = new Entry(filled);
    char dir[kMaxPath + 1];
    ChooseThumbnail(record.thumbnails, DirPart(record.path, dir, sizeof dir), entry);
    results[stored++] = entry;
  }
  void Clear() {
    for (int i = 0; i < stored; ++i) {
      delete results[i];
      results[i] = nullptr;
    }
    stored = 0;
  }
};

// True when the record matches; the scratch entry is then filled from it.
bool RecordMatches(const RecordFilter& filter, const IndexRecord& record, Entry* scratch) {
  if ((record.kind & filter.kindMask) == 0) return false;
  RecordToEntry(record, scratch);
  return !filter.query || filter.query->Matches(scratch);
}

// Scans the database from its start: numbers the matching records, stores
// those of the window and, when a cache is being built, adds each match's
// position to it. Stops at the first line that is not a record. Returns the
// number of matches.
int ScanIndexDB(LineReader& lines, const RecordFilter& filter, ResultWindow& window,
                CacheWriter* cache) {
  if (!lines.Rewind()) return 0;
  Entry scratch;
  IndexRecord record;
  int total = 0;
  while (total < INT_MAX && ReadIndexRecord(lines, &record)) {
    if (!RecordMatches(filter, record, &scratch)) continue;
    if (cache) cache->Add(lines.Position());
    if (window.Wants(total)) window.Store(scratch, record);
    ++total;
  }
  return total;
}

// Fills the window from the positions of a cache stream. -1 when the cache
// cannot be positioned or names a place that is no line start of the
// database (it no longer fits the database); otherwise the number stored,
// reading up to the end of the positions or the first line that is not a
// record.
int ReadCachedResults(FILE* cache, LineReader& lines, ResultWindow& window) {
  if (!SeekCachePosition(cache, window.first)) return -1;
  Entry scratch;
  IndexRecord record;
  int32_t position = 0;
  while (window.stored < window.count && ReadCachePosition(cache, &position)) {
    if (!lines.SeekLine(position)) return -1;
    if (!ReadIndexRecord(lines, &record)) break;
    RecordToEntry(record, &scratch);
    window.Store(scratch, record);
  }
  return window.stored;
}

// The window from a current cache; false (nothing stored) when there is
// none or it cannot be read.
bool ReadFromCache(const char* cachePath, const char* dbPath, const CacheHeader& key,
                   LineReader& lines, ResultWindow& window, int* total) {
  int32_t stored = 0;
  FILE* cache = OpenCurrentCache(cachePath, dbPath, key, &stored);
  if (!cache) return false;
  int got = ReadCachedResults(cache, lines, window);
  fclose(cache);
  if (got < 0) {
    window.Clear();
    return false;
  }
  *total = stored;
  return true;
}

// The window read again from the shuffled cache file.
bool ReadShuffled(const char* path, LineReader& lines, ResultWindow& window) {
  window.Clear();
  FILE* cache = OpenFile(path, "rb");
  if (!cache) return false;
  bool read = ReadCachedResults(cache, lines, window) >= 0;
  fclose(cache);
  return read;
}

// Scans the database into a new cache for the request (shuffled when the
// setting says so) and puts it in place. False when the shuffled order
// cannot be read back.
bool BuildCache(const char* cachePath, const CacheHeader& key, LineReader& lines,
                const RecordFilter& filter, ResultWindow& window, int* total) {
  CacheWriter writer;
  if (!writer.Begin(cachePath, key)) {
    *total = ScanIndexDB(lines, filter, window, nullptr);
    return true;
  }
  *total = ScanIndexDB(lines, filter, window, &writer);
  if (!writer.Finish()) return true;
  if (indexSettings.shuffle) {
    // A shuffle that failed part-way may have left the positions mixed up:
    // that cache is dropped, and the scan's results stand.
    if (!ShuffleCache(writer.TempPath(), writer.Header())) return true;
    if (!ReadShuffled(writer.TempPath(), lines, window)) {
      window.Clear();
      return false;
    }
  }
  writer.Install();
  return true;
}

// The request's results: from the cache when it answers the request, else
// by a scan (building the cache when there is a cache file and an id).
bool ReadResults(const IndexRequest& request, const char* dbPath, LineReader& lines,
                 const RecordFilter& filter, ResultWindow& window, int* total) {
  const char* cachePath = indexSettings.cacheFile;
  if (!*cachePath || request.id.empty()) {
    *total = ScanIndexDB(lines, filter, window, nullptr);
    return true;
  }
  CacheHeader key = MakeCacheHeader(request.query.c_str(), request.config.c_str(), request.kindMask,
                                    request.id.c_str());
  if (ReadFromCache(cachePath, dbPath, key, lines, window, total)) return true;
  return BuildCache(cachePath, key, lines, filter, window, total);
}

}  // namespace

IndexRequest ParseIndexRequest(const CGIArgs* args, int capacity, int kindMask) {
  IndexRequest request;
  request.first = NumberArgument(args, "first", 0);
  request.count = NumberArgument(args, "count", capacity);
  if (request.count > capacity) request.count = capacity < 0 ? 0 : capacity;
  request.config = Argument(args, "config");
  request.query = Argument(args, "query");
  request.type = Argument(args, "type");
  request.id = Argument(args, "id");
  request.kindMask = kindMask;
  char kind = ToUpper(request.type.empty() ? 0 : request.type[0]);
  if (kind == 'D') request.kindMask &= ~kFileKinds;
  if (kind == 'F') request.kindMask &= ~kDirectoryKinds;
  return request;
}

FILE* FindIndexDB(std::string* path) { return OpenIndexDatabase(indexSettings.indexDb, "rb", path); }

void RecordToEntry(const IndexRecord& record, Entry* entry) {
  entry->SetTitle(OrNull(record.title));
  String href = PathToUrl(record.path);
  entry->SetHref(OrNull(href.Text()));
  entry->SetDescription(OrNull(record.description));
  entry->SetKeywords(OrNull(record.keywords));
  entry->SetFileInfo(OrNull(record.fileInfo));
  entry->SetThumbnail(nullptr);
  entry->thumbWidth = 0;
  entry->thumbHeight = 0;
  entry->sortOrder = record.sortOrder;
  entry->kind = record.kind;
  // The entry stands for a file of another directory, not one listed here.
  entry->alias = 1;
}

void ChooseThumbnail(const char* list, const char* directory, Entry* entry) {
  ThumbItem items[kMaxThumbItems];
  const ThumbItem* chosen = PickThumbItem(items, SplitThumbList(list, items));
  entry->SetThumbnail(nullptr);
  entry->thumbWidth = 0;
  entry->thumbHeight = 0;
  if (!chosen) return;
  std::string path = directory ? directory : "";
  char last = path.empty() ? '\0' : path.back();
  if (last != '\\' && last != '/') path += '\\';
  path += chosen->name;
  String url = PathToUrl(path.c_str());
  entry->SetThumbnail(OrNull(url.Text()));
  entry->thumbWidth = chosen->width;
  entry->thumbHeight = chosen->height;
}

String CgiBaseUrl(const IndexRequest& request) {
  const struct {
    const char* name;
    const std::string& value;
  } pairs[] = {{"config=", request.config},
               {"query=", request.query},
               {"type=", request.type},
               {"id=", request.id}};
  std::string url = indexSettings.cgiUrl;
  url += '?';
  const char* separator = "";
  for (const auto& pair : pairs) {
    if (pair.value.empty()) continue;
    url += separator;
    url += pair.name;
    String encoded = FormEncodeString(pair.value.c_str());
    if (encoded.Text()) url += encoded.Text();
    separator = "&amp;";
  }
  return String(url.c_str());
}

int ReadIndexRequest(const CGIArgs* args, Entry** results, int capacity, int kindMask) {
  std::string dbPath;
  FILE* db = FindIndexDB(&dbPath);
  if (!db) return -1;
  IndexRequest request = ParseIndexRequest(args, capacity, kindMask);
  std::unique_ptr<Query> query;
  if (!request.query.empty()) query = std::make_unique<Query>(request.query.c_str());
  RecordFilter filter{request.kindMask, query.get()};
  ResultWindow window{results, request.first, request.count};
  LineReader lines(db, kDatabaseReadSize);
  int total = 0;
  bool read = ReadResults(request, dbPath.c_str(), lines, filter, window, &total);
  fclose(db);
  if (!read) return -1;
  pagingState.first = request.first;
  pagingState.pageSize = request.count;
  pagingState.total = total;
  pagingState.cgiBaseUrl = CgiBaseUrl(request);
  return window.stored;
}
