#include "programs/tagscan/keyword_tree.h"

#include <string>
#include <utility>
#include <vector>

#include "platform/drives.h"
#include "platform/walk_guard.h"
#include "programs/tagscan/keyword_parser.h"
#include "shared/dir_names.h"
#include "shared/index_db.h"
#include "shared/keywords.h"
#include "shared/paths.h"
#include "shared/sitefiles.h"
#include "shared/task_pool.h"

namespace {

// Paths are at most this long (the 260-byte buffers of the walk).
constexpr size_t kMaxPathLength = kMaxPath - 1;

// One step of the walk's output, in walk order: a page whose line is
// written when it has keywords, or a path too long, warned about.
struct PageStep {
  std::string path;
  bool warning = false;
  bool read = false;     // the keywords below are the page's
  std::string keywords;  // as read from the page head (empty: none)
};

// Finds, in walk order, the pages whose lines the database gets; their heads
// are then read side by side, and the lines written in walk order.
class KeywordWalk {
 public:
  KeywordWalk(const KeywordScanOptions& options, const char* start)
      : options_(options), guard_(start) {}

  // Adds the steps of the directory (a full path) and of the tree below it.
  void Walk(std::string dir);
  std::vector<PageStep>& Steps() { return steps_; }

 private:
  bool Fits(const std::string& dir, const std::string& name, size_t extra);
  bool ScanContents(const std::string& dir) const;
  void AddPage(const std::string& path);

  const KeywordScanOptions& options_;
  WalkGuard guard_;  // each real directory is walked once, however linked
  std::vector<PageStep> steps_;
};

// A path past 259 characters cannot be opened: it is skipped with a warning.
bool KeywordWalk::Fits(const std::string& dir, const std::string& name, size_t extra) {
  if (dir.size() + name.size() + extra <= kMaxPathLength) return true;
  PageStep step;
  step.path = dir + name;
  step.warning = true;
  steps_.push_back(std::move(step));
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

void KeywordWalk::AddPage(const std::string& path) {
  PageStep step;
  step.path = path;
  steps_.push_back(std::move(step));
}

// The page's keywords into its step.
void ReadStep(PageStep* step) {
  char keywords[kPageKeywordsSize];
  if (ReadPageKeywords(step->path.c_str(), keywords, sizeof keywords)) step->keywords = keywords;
  step->read = true;
}

void KeywordWalk::Walk(std::string dir) {
  if (dir.empty() || dir.back() != '\\') dir += '\\';
  std::vector<ListedName> names = ListDirectory(dir);
  const ListedName* index = FindIndexPageName(names);
  if (index && !Fits(dir, index->name, 0)) index = nullptr;
  if (!index && !options_.allDirectories) return;
  if (index) {
    AddPage(dir + index->name);
    // Whether the walk goes on below a private index page: its head now.
    if (options_.checkPrivate) {
      ReadStep(&steps_.back());
      if (HasKeyword(steps_.back().keywords.c_str(), "__private")) return;
    }
  }
  if (!ScanContents(dir)) return;
  for (const ListedName& listed : names) {
    // Only the entries walked or read need their hidden flag.
    bool page = !listed.IsDirectory() && IsPageName(listed.name.c_str()) &&
                !(index && CompareNoCase(listed.name.c_str(), index->name.c_str()) == 0);
    if ((!listed.IsDirectory() && !page) || listed.IsSkipped(dir)) continue;
    if (listed.IsDirectory()) {
      if (Fits(dir, listed.name, 1) && guard_.Enter((dir + listed.name).c_str(), listed.attributes)) {
        Walk(dir + listed.name);
      }
    } else if (Fits(dir, listed.name, 0)) {
      AddPage(dir + listed.name);
    }
  }
}

// Writes a page's line when it has keywords (only the visible ones with /N).
void WriteStep(const PageStep& step, const KeywordScanOptions& options, FILE* out,
               KeywordScanResult* result) {
  if (step.keywords.empty()) return;
  const char* keywords = step.keywords.c_str();
  String written = options.visibleOnly ? VisibleKeywords(keywords) : String(keywords);
  if (written.IsNull() || !*written.Text()) return;
  if (WriteKeywordLine(out, step.path.c_str(), written)) {
    ++result->linesWritten;
  } else {
    result->writeFailed = true;
  }
}

// Threads besides the caller's that read the page heads: the work is mostly
// waiting on the file system, one file after another.
constexpr size_t kMostReadingThreads = 3;

}  // namespace

bool ScanKeywordTree(const char* directory, const KeywordScanOptions& options, FILE* out,
                     KeywordScanResult* result) {
  KeywordWalk walk(options, directory);
  walk.Walk(directory);
  std::vector<PageStep>& steps = walk.Steps();
  TaskPool pool(TaskPool::SuitableThreads(kMostReadingThreads));
  for (PageStep& step : steps) {
    if (!step.warning && !step.read) pool.Add([&step] { ReadStep(&step); });
  }
  if (!pool.Wait()) return false;
  for (const PageStep& step : steps) {
    if (step.warning) {
      fprintf(stderr, "Warning:  Path longer than %zu characters skipped:\n            %s\n",
              kMaxPathLength, step.path.c_str());
      ++result->pathsSkipped;
      continue;
    }
    WriteStep(step, options, out, result);
    if (result->writeFailed) break;
  }
  return true;
}
