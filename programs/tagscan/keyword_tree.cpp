#include "programs/tagscan/keyword_tree.h"

#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/walk_guard.h"
#include "programs/tagscan/keyword_parser.h"
#include "shared/dir_names.h"
#include "shared/index_db.h"
#include "shared/keywords.h"
#include "shared/paths.h"
#include "shared/sitefiles.h"

namespace {

// Paths are at most this long (the 260-byte buffers of the walk).
constexpr size_t kMaxPathLength = kMaxPath - 1;

class KeywordWalk {
 public:
  KeywordWalk(const KeywordScanOptions& options, FILE* out, KeywordScanResult* result,
              const char* start)
      : options_(options), out_(out), result_(result), guard_(start) {}

  // Writes the lines of the directory (a full path) and of the tree below it.
  void Walk(std::string dir);

 private:
  bool Fits(const std::string& dir, const std::string& name, size_t extra);
  bool ScanContents(const std::string& dir) const;
  void WritePage(const std::string& dir, const std::string& name);

  const KeywordScanOptions& options_;
  FILE* out_;
  KeywordScanResult* result_;
  WalkGuard guard_;  // each real directory is walked once, however linked
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
    // Only the entries walked or read need their hidden flag.
    bool page = !listed.IsDirectory() && IsPageName(listed.name.c_str()) &&
                !(index && CompareNoCase(listed.name.c_str(), index->name.c_str()) == 0);
    if ((!listed.IsDirectory() && !page) || listed.IsSkipped(dir)) continue;
    if (listed.IsDirectory()) {
      if (Fits(dir, listed.name, 1) && guard_.Enter((dir + listed.name).c_str(), listed.attributes)) {
        Walk(dir + listed.name);
      }
    } else {
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
  KeywordWalk(options, out, result, directory).Walk(directory);
}
