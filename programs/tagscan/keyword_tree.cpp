#include "programs/tagscan/keyword_tree.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/files.h"
#include "programs/tagscan/keyword_parser.h"
#include "shared/index_db.h"
#include "shared/keywords.h"
#include "shared/paths.h"
#include "shared/sitefiles.h"

namespace {

// Paths are at most this long (the 260-byte buffers of the walk).
constexpr size_t kMaxPathLength = kMaxPath - 1;

// The index page of a directory: the first of these names that exists.
const char* const kIndexPageNames[] = {"index.htm", "index.html", "welcome.htm", "Welcome.html"};

struct ListedName {
  std::string name;
  uint32_t attributes = 0;
};

// The directory's entries in listing order, without hidden ones and names
// that begin with '.'.
std::vector<ListedName> ListDirectory(const std::string& dir) {
  std::vector<ListedName> names;
  std::string pattern = dir + "*";
  FindData data;
  FindState* state = FindFirst(pattern.c_str(), &data);
  if (!state) return names;
  do {
    if (data.name[0] == '.' || (data.attributes & kAttrHidden)) continue;
    names.push_back({data.name, data.attributes});
  } while (FindNext(state, &data));
  FindClose(state);
  return names;
}

// The listed name that a lookup of `wanted` finds: the exact name first,
// then one that differs in letter case only. Null when there is none.
const ListedName* FindListed(const std::vector<ListedName>& names, const char* wanted) {
  const ListedName* caseless = nullptr;
  for (const ListedName& listed : names) {
    if (listed.name == wanted) return &listed;
    if (!caseless && CompareNoCase(listed.name.c_str(), wanted) == 0) caseless = &listed;
  }
  return caseless;
}

const ListedName* FindIndexPageName(const std::vector<ListedName>& names) {
  for (const char* candidate : kIndexPageNames) {
    const ListedName* found = FindListed(names, candidate);
    if (found) return found;
  }
  return nullptr;
}

class KeywordWalk {
 public:
  KeywordWalk(const KeywordScanOptions& options, FILE* out, KeywordScanResult* result)
      : options_(options), out_(out), result_(result) {}

  // Writes the lines of the directory (a full path) and of the tree below it.
  void Walk(std::string dir);

 private:
  bool Fits(const std::string& dir, const std::string& name, size_t extra);
  bool ScanContents(const std::string& dir) const;
  void WritePage(const std::string& dir, const std::string& name);

  const KeywordScanOptions& options_;
  FILE* out_;
  KeywordScanResult* result_;
};

// A path past 259 characters cannot be opened: it is skipped with a warning.
bool KeywordWalk::Fits(const std::string& dir, const std::string& name, size_t extra) {
  if (dir.size() + name.size() + extra <= kMaxPathLength) return true;
  fprintf(stderr, "Warning:  Path longer than %zu characters skipped:\n            %s%s\n",
          kMaxPathLength, dir.c_str(), name.c_str());
  ++result_->pathsSkipped;
  return false;
}

// /I and /X decide whether the files and subdirectories are scanned.
bool KeywordWalk::ScanContents(const std::string& dir) const {
  const String& include = options_.includeFile;
  const String& exclude = options_.excludeFile;
  if (!include.IsNull() && !FileExists((dir + include.Text()).c_str())) return false;
  if (!exclude.IsNull() && FileExists((dir + exclude.Text()).c_str())) return false;
  return true;
}

void KeywordWalk::WritePage(const std::string& dir, const std::string& name) {
  if (Fits(dir, name, 0)) WriteKeywordRecord((dir + name).c_str(), false, options_, out_, result_);
}

void KeywordWalk::Walk(std::string dir) {
  if (dir.empty() || dir.back() != '\\') dir += '\\';
  std::vector<ListedName> names = ListDirectory(dir);
  const ListedName* index = FindIndexPageName(names);
  if (index && !Fits(dir, index->name, 0)) index = nullptr;
  if (!index && !options_.allDirectories) return;
  if (index) {
    bool isPrivate = WriteKeywordRecord((dir + index->name).c_str(), options_.checkPrivate,
                                        options_, out_, result_);
    if (isPrivate) return;
  }
  if (!ScanContents(dir)) return;
  for (const ListedName& listed : names) {
    if (result_->writeFailed) return;
    if (listed.attributes & kAttrDirectory) {
      if (Fits(dir, listed.name, 1)) Walk(dir + listed.name);
    } else if (IsPageName(listed.name.c_str()) &&
               !(index && CompareNoCase(listed.name.c_str(), index->name.c_str()) == 0)) {
      WritePage(dir, listed.name);
    }
  }
}

}  // namespace

bool WriteKeywordRecord(const char* path, bool checkPrivate, const KeywordScanOptions& options,
                        FILE* out, KeywordScanResult* result) {
  char keywords[kPageKeywordsSize];
  if (!ReadPageKeywords(path, keywords, sizeof keywords)) return false;
  bool isPrivate = checkPrivate && HasKeyword(keywords, "__private");
  String written = options.visibleOnly ? VisibleKeywords(keywords) : String(keywords);
  if (written.IsNull() || !*written.Text()) return isPrivate;
  if (WriteKeywordLine(out, path, written)) {
    ++result->linesWritten;
  } else {
    result->writeFailed = true;
  }
  return isPrivate;
}

void ScanKeywordTree(const char* directory, const KeywordScanOptions& options, FILE* out,
                     KeywordScanResult* result) {
  KeywordWalk(options, out, result).Walk(directory);
}
