#include "shared/sitefiles.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "platform/ascii_case.h"
#include "platform/drives.h"
#include "platform/listing.h"
#include "platform/names.h"
#include "platform/volumes.h"
#include "shared/chars.h"
#include "shared/dir_names.h"
#include "shared/htmltext.h"
#include "shared/paths.h"
#include "shared/string.h"
#include "shared/thumb_names.h"

namespace {

constexpr const char* kIndexNames[] = {"index.htm", "index.html", "welcome.htm", "Welcome.html"};
constexpr const char* kBuiltInSpecialNames[] = {"thumb.jpg",   "thumb.gif",    "backgnd.gif",
                                                "backgnd.jpg", "backgnd.jpeg", "index.gif",
                                                "index.jpg",   "index.jpeg"};
constexpr const char* kBuiltInFolderThumbNames[] = {"thumb.jpg", "thumb.gif"};
constexpr const char* kImageExts[] = {".gif", ".jpg", ".jpeg", ".png"};
constexpr const char* kPageExts[] = {".htm", ".html"};

constexpr size_t kMaxSpecialNames = 20;
constexpr size_t kMaxFolderThumbNames = 10;
constexpr size_t kMaxListedFolderThumbNames = 9;
constexpr size_t kUserExtBytes = 128;
constexpr int kIconsLevels = 8;  // "icons" here and up to seven levels above

// Every process-wide table and switch, so that a reset rebuilds them all.
struct SiteFiles {
  SiteFiles() {
    for (const char* name : kBuiltInSpecialNames) specialNames.push_back(name);
    for (const char* name : kBuiltInFolderThumbNames) folderThumbNames.push_back(name);
    RebuildFolderThumbTable();
  }

  void RebuildFolderThumbTable() {
    size_t i = 0;
    for (const std::string& name : folderThumbNames) folderThumbTable[i++] = name.c_str();
    folderThumbTable[i] = nullptr;
  }

  std::vector<std::string> specialNames;
  std::vector<std::string> folderThumbNames;
  const char* folderThumbTable[kMaxFolderThumbNames + 1] = {};
  // Extensions without dot, each with its terminator, ended by an empty one.
  char userExtensions[kUserExtBytes] = {};
  bool numberedIndexes = false;
  bool folderThumbs = true;
  bool iconsSearched = false;
  int iconsLevel = -1;
  std::string iconsPath;
};

SiteFiles& State() {
  static SiteFiles state;
  return state;
}

// Guards the icons directory search and its result.
std::mutex& IconsSearchMutex() {
  static std::mutex mutex;
  return mutex;
}

template <size_t N>
bool InTable(const char* text, const char* const (&table)[N]) {
  for (const char* entry : table) {
    if (CompareNoCase(text, entry) == 0) return true;
  }
  return false;
}

// dir + "\" + name (no second separator when dir already ends in one) into a
// path buffer; false when it would be cut.
bool JoinPath(char* buffer, const char* dir, const char* name) {
  size_t dirLength = strlen(dir);
  bool separator = dirLength > 0 && (dir[dirLength - 1] == '\\' || dir[dirLength - 1] == '/');
  size_t length = dirLength + (separator ? 0 : 1) + strlen(name);
  if (length >= kSitePathSize) return false;
  memcpy(buffer, dir, dirLength);
  if (!separator) buffer[dirLength++] = '\\';
  strcpy(buffer + dirLength, name);
  return true;
}

// Copies text into a path buffer; false (and nothing copied) when it would be cut.
bool CopyPath(char* buffer, const char* text) {
  size_t length = strlen(text);
  if (length >= kSitePathSize) return false;
  memmove(buffer, text, length + 1);
  return true;
}

// The first of `names` that exists inside dir goes into buffer; otherwise
// buffer holds dir. With `dotAlone`, dir "." gives the bare name.
bool FindFirstIn(char* buffer, const char* dir, const char* const* names, bool dotAlone) {
  char candidate[kSitePathSize];
  for (const char* const* name = names; *name; ++name) {
    bool composed = (dotAlone && strcmp(dir, ".") == 0) ? CopyPath(candidate, *name)
                                                        : JoinPath(candidate, dir, *name);
    if (composed && FileExists(candidate)) {
      strcpy(buffer, candidate);
      return true;
    }
  }
  CopyBounded(buffer, dir, kSitePathSize);
  return false;
}

// "index", zero or more digits, then a page, image or user extension.
bool IsNumberedIndexName(const char* base) {
  if (CompareNoCaseN(base, "index", 5) != 0) return false;
  const char* p = base + 5;
  while (IsDigit(*p)) ++p;
  if (*p != '.') return false;
  return InTable(p, kPageExts) || IsImageExt(p) || IsUserExt(p);
}

void SearchIconsDir(SiteFiles* state) {
  state->iconsSearched = true;
  std::string candidate = "icons";
  for (int level = 0; level < kIconsLevels; ++level, candidate = "..\\" + candidate) {
    if (!DirExists(candidate.c_str())) continue;
    // The full path stays right when the program changes its directory later.
    char full[kMaxPath + 1];
    size_t length = GetFullPath(candidate.c_str(), full, sizeof full);
    state->iconsPath = (length > 0 && length < kSitePathSize) ? full : candidate;
    state->iconsLevel = level;
    return;
  }
}

const char* SkipDot(const char* ext) { return *ext == '.' ? ext + 1 : ext; }

// --- Thumbnails --------------------------------------------------------------

// The thumbnail the search finds among the entries it listed: the first
// image whose name has no further '_' after the prefix.
bool SearchThumbnail(char* buffer, const char* thumbsDir, const std::string& fixed,
                     const std::vector<NamedEntry>& entries) {
  for (const NamedEntry& entry : entries) {
    const char* name = entry.name.c_str();
    if (entry.directory) continue;
    if (strlen(name) < fixed.size() || strchr(name + fixed.size(), '_')) continue;
    if (!IsImageFile(name)) continue;
    if (JoinPath(buffer, thumbsDir, name)) return true;
  }
  return false;
}

// The name the thumbnail builder writes. Only it finds images with several
// dots.
std::string WriterThumbName(const char* base) {
  // Room for "tn_", the whole name, ".jpg" and the terminator.
  std::vector<char> name(strlen(base) + 8);
  return MakeThumbName(base, ".jpg", name.data(), name.size());
}

// Whether the file `name` is among the listed entries (letter case ignored).
bool ListedFile(const std::vector<NamedEntry>& entries, const std::string& name) {
  for (const NamedEntry& entry : entries) {
    if (!entry.directory && SameNoCase(entry.name, name)) return true;
  }
  return false;
}

// The writer's thumbnail, looked for on its own: the search's listing shows
// it only when its name fits the search pattern.
bool WriterThumbnail(char* buffer, const char* thumbsDir, const std::string& name) {
  char candidate[kSitePathSize];
  if (!JoinPath(candidate, thumbsDir, name.c_str())) return false;
  if (GetPathKind(candidate) != PathKind::kFile) return false;
  strcpy(buffer, candidate);
  return true;
}

// --- Titles ------------------------------------------------------------------

// Index just past the bracketed group that opens at text[open], or 0 when a
// '.' or the end comes before the group closes.
size_t GroupEnd(const char* text, size_t open) {
  int depth = 0;
  for (size_t i = open; text[i] && text[i] != '.'; ++i) {
    if (text[i] == '(') ++depth;
    if (text[i] == ')' && --depth == 0) return i + 1;
  }
  return 0;
}

// Removes each closed group " (...)" with the blanks before it; a group at the
// very start of the name stays.
void RemoveBracketedGroups(char* text) {
  size_t length = strlen(text);
  for (size_t at = 1; at < length;) {
    size_t end = text[at] == '(' ? GroupEnd(text, at) : 0;
    if (end == 0) {
      ++at;
      continue;
    }
    size_t start = at;
    while (start > 0 && text[start - 1] == ' ') --start;
    memmove(text + start, text + end, length - end + 1);
    length -= end - start;
    // Go on where the removed text began: the next group may follow at once.
    at = start > 0 ? start : 1;
  }
}


// --- File information ----------------------------------------------------------

// Reads one decimal number after optional white space; false when none is there.
bool ReadNumber(const char** text, int* value) {
  const char* p = *text;
  while (IsSpace(*p)) ++p;
  bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  if (!IsDigit(*p)) return false;
  long long number = 0;
  for (; IsDigit(*p); ++p) {
    if (number <= INT_MAX) number = number * 10 + (*p - '0');
  }
  if (number > INT_MAX) number = INT_MAX;
  *value = static_cast<int>(negative ? -number : number);
  *text = p;
  return true;
}

}  // namespace

// --- Name tests --------------------------------------------------------------

bool IsPageName(const char* name) { return InTable(Extension(name), kPageExts); }

bool IsImageExt(const char* ext) { return InTable(ext, kImageExts); }

bool IsUserExt(const char* ext) {
  ext = SkipDot(ext);
  if (!*ext) return false;
  for (const char* entry = State().userExtensions; *entry; entry += strlen(entry) + 1) {
    if (CompareNoCase(ext, entry) == 0) return true;
  }
  return false;
}

bool IsImageFile(const char* path) { return IsImageExt(Extension(BaseName(path))); }

bool IsUserFile(const char* path) { return IsUserExt(Extension(BaseName(path))); }

bool IsImageOrUserFile(const char* path) { return IsImageFile(path) || IsUserFile(path); }

int AddUserExt(const char* ext) {
  ext = SkipDot(ext);
  size_t length = strlen(ext);
  if (length == 0) return kUserExtRefused;
  if (IsUserExt(ext)) return kUserExtPresent;
  char* list = State().userExtensions;
  size_t used = 0;
  while (list[used]) used += strlen(list + used) + 1;
  // The new entry, its terminator and the list's closing empty entry must fit.
  if (used + length + 2 > kUserExtBytes) return kUserExtRefused;
  memcpy(list + used, ext, length + 1);
  list[used + length + 1] = '\0';
  return kUserExtAdded;
}

bool IsIndexName(const char* path) { return InTable(BaseName(path), kIndexNames); }

bool IsSpecialName(const char* path) {
  const char* base = BaseName(path);
  if (State().numberedIndexes && IsNumberedIndexName(base)) return true;
  if (IsIndexName(base)) return true;
  for (const std::string& name : State().specialNames) {
    if (CompareNoCase(base, name.c_str()) == 0) return true;
  }
  return false;
}

bool AddSpecialName(const char* name) {
  std::vector<std::string>& names = State().specialNames;
  if (names.size() >= kMaxSpecialNames) return false;
  names.push_back(name);
  return true;
}

bool IsHiddenDir(const char* dir) {
  char path[kSitePathSize];
  return JoinPath(path, dir, "hidden.dir") && FileExists(path);
}

bool FindIndexPage(char* buffer, const char* dir) {
  static const char* const names[] = {kIndexNames[0], kIndexNames[1], kIndexNames[2],
                                      kIndexNames[3], nullptr};
  return FindFirstIn(buffer, dir, names, false);
}

bool FindFolderThumb(char* buffer, const char* dir) {
  return FindFirstIn(buffer, dir, FolderThumbNames(), true);
}

void SetFolderThumbNames(const char* list) {
  SiteFiles& state = State();
  state.folderThumbNames.clear();
  const char* p = list ? list : "";
  while (state.folderThumbNames.size() < kMaxListedFolderThumbNames) {
    while (*p == ' ' || *p == '\t') ++p;
    size_t length = strcspn(p, ",;");
    if (length == 0) break;
    state.folderThumbNames.emplace_back(p, length);
    p += length;
    if (*p) ++p;
  }
  state.RebuildFolderThumbTable();
}

void AddFolderThumbName(const char* name) {
  SiteFiles& state = State();
  state.folderThumbNames.insert(state.folderThumbNames.begin(), name);
  if (state.folderThumbNames.size() > kMaxFolderThumbNames) state.folderThumbNames.pop_back();
  state.RebuildFolderThumbTable();
}

const char* const* FolderThumbNames() { return State().folderThumbTable; }

void SetNumberedIndexes(bool on) { State().numberedIndexes = on; }
// For the tests (testing/site_switches.h).
bool NumberedIndexesOn() { return State().numberedIndexes; }
void SetFolderThumbs(bool on) { State().folderThumbs = on; }
bool FolderThumbsOn() { return State().folderThumbs; }

// --- Icons directory ---------------------------------------------------------

int FindIconsDir(char* buffer) {
  // The first caller searches, also when it is a worker among others.
  std::lock_guard<std::mutex> lock(IconsSearchMutex());
  SiteFiles& state = State();
  if (!state.iconsSearched) SearchIconsDir(&state);
  if (state.iconsLevel >= 0 && buffer) CopyBounded(buffer, state.iconsPath.c_str(), kSitePathSize);
  return state.iconsLevel;
}

char* IconsPath(const char* name, char* buffer, bool noTest) {
  char dir[kSitePathSize];
  if (FindIconsDir(dir) < 0 || !JoinPath(buffer, dir, name)) return nullptr;
  if (noTest) return buffer;
  if (!strchr(BaseName(name), '.')) return FindImageFile(buffer, nullptr);
  return FileExists(buffer) ? buffer : nullptr;
}

String IconsPathString(const char* name, bool noTest) {
  char buffer[kSitePathSize];
  return String(IconsPath(name, buffer, noTest));
}

char* FindImageFile(char* buffer, const char* path) {
  if (path && !CopyPath(buffer, path)) return nullptr;
  // A text longer than a path names no file; it is left as it is.
  if (strlen(buffer) >= kSitePathSize) return nullptr;
  char* ext = Extension(BaseName(buffer));
  char oldExt[kSitePathSize];
  strcpy(oldExt, ext);
  size_t stem = ext - buffer;
  for (const char* imageExt : kImageExts) {
    if (stem + strlen(imageExt) >= kSitePathSize) continue;
    strcpy(ext, imageExt);
    if (FileExists(buffer)) return buffer;
  }
  strcpy(ext, oldExt);
  return nullptr;
}

namespace {

thread_local const ThumbnailsListedOnce* activeListing = nullptr;

std::string UpperCased(std::string text) {
  UpperCase(text.data());
  return text;
}

// The names of the thumbs directory that fit the search for `fixed`: from
// this thread's listing of it, else from the directory. False when it cannot
// be listed.
bool ListCandidates(const std::string& thumbsDir, const std::string& fixed,
                    std::vector<NamedEntry>* entries) {
  if (const ThumbnailsListedOnce* listing = ThumbnailsListedOnce::For(thumbsDir)) {
    *entries = listing->Candidates(fixed);
    return true;
  }
  char pattern[kSitePathSize];
  return JoinPath(pattern, thumbsDir.c_str(), (fixed + "*.*").c_str()) &&
         ListNames(pattern, false, entries);
}

}  // namespace

ThumbnailsListedOnce::ThumbnailsListedOnce(const std::string& folder)
    : thumbsDir_(folder.empty() ? kThumbsFolder : JoinDirName(folder, kThumbsFolder)),
      previous_(activeListing) {
  char pattern[kSitePathSize];
  listed_ = JoinPath(pattern, thumbsDir_.c_str(), "*") && ListNames(pattern, false, &entries_);
  byUpperName_.reserve(entries_.size());
  for (size_t i = 0; i < entries_.size(); ++i) byUpperName_.emplace_back(UpperCased(entries_[i].name), i);
  std::sort(byUpperName_.begin(), byUpperName_.end());
  activeListing = this;
}

ThumbnailsListedOnce::~ThumbnailsListedOnce() { activeListing = previous_; }

const ThumbnailsListedOnce* ThumbnailsListedOnce::For(const std::string& thumbsDir) {
  for (const ThumbnailsListedOnce* listing = activeListing; listing; listing = listing->previous_) {
    if (listing->thumbsDir_ == thumbsDir) return listing->listed_ ? listing : nullptr;
  }
  return nullptr;
}

std::vector<NamedEntry> ThumbnailsListedOnce::Candidates(const std::string& prefix) const {
  std::string upper = UpperCased(prefix);
  std::string pattern = prefix + "*.*";
  std::vector<size_t> found;
  auto from = std::lower_bound(byUpperName_.begin(), byUpperName_.end(),
                               std::make_pair(upper, size_t{0}));
  for (auto it = from; it != byUpperName_.end() && it->first.compare(0, upper.size(), upper) == 0; ++it) {
    if (NameMatchesWildcard(entries_[it->second].name.c_str(), pattern.c_str())) found.push_back(it->second);
  }
  std::sort(found.begin(), found.end());
  std::vector<NamedEntry> candidates;
  for (size_t i : found) candidates.push_back(entries_[i]);
  return candidates;
}

char* FindThumbnail(char* buffer, const char* imagePath) {
  const char* base = BaseName(imagePath);
  std::string thumbsDir = std::string(imagePath, base - imagePath) + kThumbsFolder;
  if (thumbsDir.size() >= kSitePathSize) return nullptr;
  std::string fixed = ThumbSearchPrefix(base);
  std::vector<NamedEntry> entries;
  // Only the names and kinds count here: the quick listing reads no times.
  // Listing the thumbs directory shows that it is one; only where it cannot
  // be listed is that asked on its own.
  bool listed = ListCandidates(thumbsDir, fixed, &entries);
  if (listed && SearchThumbnail(buffer, thumbsDir.c_str(), fixed, entries)) return buffer;
  if (!listed && !DirExists(thumbsDir.c_str())) return nullptr;
  std::string writer = WriterThumbName(base);
  // A writer's name that fits the pattern is in the listing when it is there
  // at all: a missing thumbnail costs no call of its own.
  if (listed && NameMatchesWildcard(writer.c_str(), (fixed + "*.*").c_str())) {
    if (!ListedFile(entries, writer) || !JoinPath(buffer, thumbsDir.c_str(), writer.c_str())) {
      return nullptr;
    }
    return buffer;
  }
  if (WriterThumbnail(buffer, thumbsDir.c_str(), writer)) return buffer;
  return nullptr;
}

// --- Display names and titles ------------------------------------------------

bool DirDisplayName(const char* dir, char* buffer, size_t size) {
  if (size == 0) return false;
  char full[kMaxPath + 1];
  bool formed = GetFullPath(dir, full, sizeof full) > 0;
  const char* name = BaseName(dir);
  if (formed) {
    size_t length = strlen(full);
    // "C:\a\" names the directory a; "C:\" keeps its separator and is a root.
    while (length > 3 && (full[length - 1] == '\\' || full[length - 1] == '/')) full[--length] = '\0';
    name = BaseName(full);
  }
  if (formed && !*name) {
    if (!GetCurrentVolumeLabel(buffer, size)) CopyBounded(buffer, "[root]", size);
  } else {
    CopyBounded(buffer, name, size);
  }
  if (*buffer && !HasLowerCase(buffer)) LowerCase(buffer + 1);
  return formed;
}

char* TitleFromFileName(const char* path, char* buffer, size_t size) {
  if (size == 0) return buffer;
  CopyBounded(buffer, path ? BaseName(path) : "", size);
  RemoveBracketedGroups(buffer);
  LowerCase(HasLowerCase(buffer) ? Extension(buffer) : buffer);
  return buffer;
}

String TitleFromFileNameString(const char* path) {
  // A title is never longer than the base name it comes from.
  return FilledString(
      path, [&] { return strlen(BaseName(path)) + 1; },
      [&](char* buffer, size_t size) { TitleFromFileName(path, buffer, size); });
}

char* TitleFromFileNameHtml(const char* path, char* buffer, size_t size) {
  return HtmlEncode(TitleFromFileNameString(path), buffer, size);
}

String TitleFromFileNameHtmlString(const char* path) {
  return HtmlEncodeString(TitleFromFileNameString(path));
}

// --- File information --------------------------------------------------------

bool ParseFileInfo(const char* text, FileInfo* info) {
  const char* tail = text ? strstr(text, "; {") : nullptr;
  if (!tail) return false;
  *info = FileInfo();
  int* fields[] = {&info->averageSize,      &info->averageWidth, &info->averageHeight,
                   &info->sizedCount,       &info->dimensionedCount, &info->count,
                   &info->setCount};
  const char* p = tail + 3;
  for (size_t i = 0; i < sizeof fields / sizeof fields[0]; ++i) {
    if (i > 0) {
      if (*p != ',') break;
      ++p;
    }
    if (!ReadNumber(&p, fields[i])) break;
  }
  if (info->averageSize == 0) info->sizedCount = 0;
  if (info->averageWidth == 0 || info->averageHeight == 0) info->dimensionedCount = 0;
  return true;
}

void ResetSiteFiles() {
  std::lock_guard<std::mutex> lock(IconsSearchMutex());
  SiteFiles& state = State();
  state = SiteFiles();
  state.RebuildFolderThumbTable();  // the copied table pointed into the temporary
}
