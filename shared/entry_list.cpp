#include "shared/entry_list.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "platform/attributes.h"
#include "platform/files.h"
#include "platform/listing.h"
#include "platform/names.h"
#include "shared/chars.h"
#include "shared/paths.h"
#include "shared/report.h"
#include "shared/sitefiles.h"
#include "shared/string.h"
#include "shared/url/url.h"

namespace {

// One scanned name, kept only while a listing is read. For an alias the name
// is the target path.
struct DirEntry {
  String name;
  size_t extensionOffset = 0;  // where the extension starts, or the length
  bool hidden = false;         // hidden attribute, or hidden by a pairing rule
  bool directory = false;
  bool page = false;
  bool image = false;  // not a page, an image extension
  bool alias = false;  // from "symlinks.txt"
};

DirEntry MakeNode(const char* name, bool hidden, bool directory, bool alias) {
  DirEntry node;
  node.name = name;
  node.extensionOffset = static_cast<size_t>(Extension(name) - name);
  node.hidden = hidden;
  node.directory = directory;
  // A directory is never a page or an image, whatever its name looks like.
  node.page = !directory && IsPageName(name);
  node.image = !directory && !node.page && IsImageFile(name);
  node.alias = alias;
  return node;
}

// The name up to its extension, lower-cased: two nodes have the same base
// when their keys are equal.
std::string BaseKey(const DirEntry& node) { return NoCaseKey(node.name, node.extensionOffset); }

// The quick listing tells a node's name and kind without the times and
// sizes that a full listing reads for every entry; the hidden flag is read
// later, for the nodes that can become entries.
void ScanDirectory(std::vector<DirEntry>* nodes) {
  std::vector<NamedEntry> entries;
  if (!ListNames("*", false, &entries)) return;
  for (const NamedEntry& entry : entries) {
    if (entry.name[0] == '.') continue;
    nodes->push_back(MakeNode(entry.name.c_str(), false, entry.directory, false));
  }
}

// False when MakeEntry makes no entry of the node by the flags, whatever its
// hidden flag: directories, pages, images and other files that the flags
// leave out, and the names that are never listed.
bool MayBecomeEntry(const DirEntry& node, int flags) {
  if (node.directory) return (flags & (kListAllDirs | kListIndexedDirs)) != 0;
  if (IsSpecialName(node.name)) return false;
  if (node.page) return (flags & kListPages) != 0;
  if (IsImageOrUserFile(node.name)) return (flags & kListImages) != 0;
  return (flags & kListFiles) != 0;
}

// The hidden flag of the folder's own nodes that the pairing rules left and
// that can become entries: the attribute record is read for no other.
void ReadHiddenFlags(std::vector<DirEntry>* nodes, int flags) {
  for (DirEntry& node : *nodes) {
    if (node.alias || node.hidden || !MayBecomeEntry(node, flags)) continue;
    node.hidden = HasHiddenAttribute(node.name);
  }
}

void ScanAliases(std::vector<DirEntry>* nodes) {
  FILE* stream = OpenFile("symlinks.txt", "r");
  if (!stream) return;
  AliasRecord record;
  while (ReadAliasLine(stream, &record, false) != kAliasEnd) {
    nodes->push_back(MakeNode(record.path, false, (record.attributes & kAttrDirectory) != 0, true));
  }
  fclose(stream);
}

// Hides every node that `isHidden` picks and that has the same base as a
// node (not a directory) that `isOwner` picks. One pass over each side, so a
// large folder costs no comparison of every name with every other.
template <typename Owner, typename Hidden>
void HideByBase(std::vector<DirEntry>* nodes, Owner isOwner, Hidden isHidden) {
  std::unordered_set<std::string> owners;
  for (const DirEntry& node : *nodes) {
    if (!node.directory && isOwner(node)) owners.insert(BaseKey(node));
  }
  if (owners.empty()) return;
  for (DirEntry& node : *nodes) {
    if (isHidden(node) && owners.count(BaseKey(node))) node.hidden = true;
  }
}

// A movie (user extension) hides the same-named image, its poster.
void HideImagesOfUserFiles(std::vector<DirEntry>* nodes) {
  HideByBase(
      nodes, [](const DirEntry& node) { return IsUserFile(node.name); },
      [](const DirEntry& node) { return node.image; });
}

// A page that only describes an image or movie is left out when both kinds
// are listed: the image stands for it.
void HidePagesOfImages(std::vector<DirEntry>* nodes) {
  HideByBase(
      nodes, [](const DirEntry& node) { return IsImageOrUserFile(node.name); },
      [](const DirEntry& node) { return node.page; });
}

int CountVisible(const std::vector<DirEntry>& nodes) {
  int count = 0;
  for (const DirEntry& node : nodes) count += node.hidden ? 0 : 1;
  return count;
}

Entry* MakeNodeEntry(const DirEntry& node, int flags) {
  Entry* entry = MakeEntry(node.name, node.directory, flags);
  if (!entry || !node.alias) return entry;
  entry->kind |= kEntryAlias;
  if (flags & kListAliasDefaultOrder) entry->sortOrder = DefaultSortOrder;
  return entry;
}

const char* TextOrEmpty(const char* text) { return text ? text : ""; }

int CompareBy(const Entry* a, const Entry* b, int (*compareTitles)(const char*, const char*)) {
  if (a->sortOrder != b->sortOrder) return a->sortOrder < b->sortOrder ? -1 : 1;
  char titleA[kSortTitleSize];
  char titleB[kSortTitleSize];
  int order = compareTitles(StripParenthesised(a->title, titleA),
                            StripParenthesised(b->title, titleB));
  if (order != 0) return order;
  return CompareNoCase(TextOrEmpty(a->href), TextOrEmpty(b->href));
}

int SortPlain(const void* a, const void* b) {
  return CompareEntries(*static_cast<Entry* const*>(a), *static_cast<Entry* const*>(b));
}

int SortNatural(const void* a, const void* b) {
  return CompareEntriesNatural(*static_cast<Entry* const*>(a), *static_cast<Entry* const*>(b));
}

// --- Alias list lines -----------------------------------------------------------

// Lines of the alias list: 260 characters; the rest of a longer line is
// dropped so that it cannot pass for a line of its own.
constexpr size_t kAliasLineSize = 261;

bool ReadLine(FILE* stream, char* line, size_t size) {
  size_t length = 0;
  int ch = fgetc(stream);
  if (ch == EOF) return false;
  for (; ch != EOF && ch != '\n'; ch = fgetc(stream)) {
    if (length + 1 < size) line[length++] = static_cast<char>(ch);
  }
  line[length] = '\0';
  return true;
}

void TrimTrailingSpace(char* line) {
  size_t length = strlen(line);
  while (length > 0 && IsSpace(line[length - 1])) line[--length] = '\0';
}

// The next line that is neither empty nor a comment (':' first); false at
// the end of the file.
bool ReadUsableLine(FILE* stream, char* line, size_t size) {
  while (ReadLine(stream, line, size)) {
    TrimTrailingSpace(line);
    if (line[0] && line[0] != ':') return true;
  }
  return false;
}

// A line with '\' is a file path already; any other is a URL.
void LineToPath(const char* line, char* path) {
  if (strchr(line, '\\')) {
    CopyBounded(path, line, kAliasPathSize);
  } else {
    UrlToFile(line, path, kAliasPathSize);
  }
}

// Rooted paths, drives and characters no file name holds.
bool IsIllegalPath(const char* path) {
  return path[0] == '\\' || path[0] == '/' || strpbrk(path, ":<>|") != nullptr;
}

// The directory that a line ending in a separator or an index page names:
// the path without its base name. A bare index page is this directory; a
// root keeps its separator.
void CutToDirectory(char* path) {
  char* base = BaseName(path);
  if (base == path) {
    CopyBounded(path, ".", kAliasPathSize);
    return;
  }
  char* separator = base - 1;
  bool keepSeparator = *separator == ':' || separator == path || separator[-1] == ':';
  *(keepSeparator ? base : separator) = '\0';
}

constexpr char kIllegalPath[] = "Warning:  Bad path in \"symlinks.txt\" file -- illegal path:\n";
constexpr char kMissingDirectory[] =
    "Warning:  Bad path in \"symlinks.txt\" file -- directory or index does not exist:\n";
constexpr char kMissingFile[] = "Warning:  Bad path in \"symlinks.txt\" file -- file does not exist:\n";

// A warning and the line it is about, as read.
void ReportBadPath(const char* warning, const char* line) {
  ReportText(1000, warning);
  Report(0, "            %s\n", line);
}

bool TargetExists(const AliasRecord& record) {
  if (!(record.attributes & kAttrDirectory)) return FileExists(record.path);
  char indexPage[kSitePathSize];
  return FindIndexPage(indexPage, record.path);
}

}  // namespace

// --- Listing --------------------------------------------------------------------

bool EntryList::Read(int flags) {
  Clear();
  std::vector<DirEntry> nodes;
  ScanDirectory(&nodes);
  if (flags & kListAliases) ScanAliases(&nodes);
  HideImagesOfUserFiles(&nodes);
  if ((flags & 0xF) == (kListPages | kListImages)) HidePagesOfImages(&nodes);
  ReadHiddenFlags(&nodes, flags);

  int visible = CountVisible(nodes);
  if (visible == 0) return true;
  Entry** array = new (std::nothrow) Entry*[visible];
  if (!array) return false;
  int made = 0;
  {
    // The folder's thumbnails, listed once for all of its images.
    std::optional<ThumbnailsListedOnce> thumbnails;
    if (flags & kListImagePageThumbs) thumbnails.emplace("");
    for (const DirEntry& node : nodes) {
      if (node.hidden) continue;
      if (Entry* entry = MakeNodeEntry(node, flags)) array[made++] = entry;
    }
  }
  nodes.clear();

  if (!(flags & kListUnsorted)) {
    qsort(array, static_cast<size_t>(made), sizeof array[0],
          (flags & kListNaturalSort) ? SortNatural : SortPlain);
  }
  entries = array;
  count = made;
  return true;
}

void EntryList::Clear() {
  for (int i = count - 1; i >= 0; --i) delete entries[i];
  delete[] entries;
  entries = nullptr;
  count = 0;
}

// --- Sorting --------------------------------------------------------------------

const char* StripParenthesised(const char* title, char* buffer) {
  if (!title) return "";
  if (!strchr(title, '(')) return title;
  CopyBounded(buffer, title, kSortTitleSize);
  char* cut = strchr(buffer, '(');
  if (!cut) return buffer;
  while (cut > buffer && IsSpace(cut[-1])) --cut;
  *cut = '\0';
  return buffer;
}

int CompareEntries(const Entry* a, const Entry* b) { return CompareBy(a, b, CompareNoCase); }

int CompareEntriesNatural(const Entry* a, const Entry* b) {
  return CompareBy(a, b, CompareNatural);
}

// --- Alias list -------------------------------------------------------------------

int ReadAliasLine(FILE* stream, AliasRecord* record, bool check) {
  char line[kAliasLineSize];
  if (!ReadUsableLine(stream, line, sizeof line)) return kAliasEnd;
  LineToPath(line, record->path);

  int result = kAliasRead;
  if (check && IsIllegalPath(record->path)) {
    ReportBadPath(kIllegalPath, line);
    result = kAliasIllegal;
  }
  record->attributes = 0;
  const char* base = BaseName(record->path);
  if (!*base || IsIndexName(base)) {
    record->attributes = kAttrDirectory;
    CutToDirectory(record->path);
  }
  if (!check || TargetExists(*record)) return result;
  bool directory = (record->attributes & kAttrDirectory) != 0;
  ReportBadPath(directory ? kMissingDirectory : kMissingFile, line);
  return kAliasMissing;
}
