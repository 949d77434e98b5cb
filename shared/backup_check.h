// The backup check engine of archvet and archvetw: filespec categories of
// "important" files, the tree walk that counts files still carrying the
// archive attribute, and the search for "archvet.ini" in parent directories.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/filetime.h"
#include "platform/listing.h"

// How one part of a filespec is compared (numbers as stored).
enum MatchKind : int32_t {
  kMatchExact = 0,
  kMatchContains = 1,
  kMatchBeginsWith = 2,
  kMatchEndsWith = 3,
  kMatchDirEndsWith = 4,  // directory part only: a whole last run of components
};

// One filespec: "[dir\][*][text][*][.[*][text][*]]", compared without regard
// to letter case. Kept for the whole run.
class FileSpec {
 public:
  explicit FileSpec(const char* text);
  FileSpec(const FileSpec&) = delete;
  FileSpec& operator=(const FileSpec&) = delete;

  // The filespec as the user wrote it.
  const char* Text() const { return text_.c_str(); }
  // True when `path` (a bare name or a full path) is selected.
  bool Matches(const char* path) const;

  // Upper-cases `text` in place and cuts it at its last '\' (directory part
  // before it) and the name's last '.' (extension part behind it).
  static void SplitPath(char* text, char** dir, char** name, char** ext);
  // Steps `part` past a leading '*', cuts it at the next '*' and returns
  // its kind.
  static MatchKind ParseWildcard(char*& part);
  // `candidate` against the first `length` characters of `pattern` (an empty
  // pattern matches anything).
  static bool MatchPart(const char* pattern, int32_t length, const char* candidate,
                        MatchKind kind);

  // The parts as parsed (for checks).
  const char* DirPart() const { return dir_; }
  const char* NamePart() const { return name_; }
  const char* ExtPart() const { return ext_; }
  MatchKind NameKind() const { return nameKind_; }
  MatchKind ExtKind() const { return extKind_; }

 private:
  std::string text_;
  std::unique_ptr<char[]> work_;  // upper-cased copy, cut into the parts
  char* dir_ = nullptr;
  int32_t dirLength_ = 0;
  char* name_ = nullptr;
  MatchKind nameKind_ = kMatchExact;
  int32_t nameLength_ = 0;
  char* ext_ = nullptr;
  int32_t extLength_ = 0;
  MatchKind extKind_ = kMatchExact;
};

// The totals of one category; category 0 is "all files" and has no filespec.
struct BackupCategory {
  const FileSpec* spec = nullptr;
  int32_t fileCount = 0;
  double totalBytes = 0;
  double allocatedBytes = 0;        // sizes rounded up to whole clusters
  int32_t notArchivedCount = 0;
  double notArchivedBytes = 0;
  double notArchivedAllocated = 0;  // in whole clusters too
  FileTime newestTime = 0;     // latest creation or last-write time seen
  std::string newestName;      // full path of the file that set it
  double maxAge = 0;           // days, of the not-archived files
  double sumAges = 0;
};

constexpr int kMaxBackupCategories = 16;  // category 0 and 15 important filespecs
constexpr int kMaxIgnoreSpecs = 50;
constexpr size_t kWalkPathSize = 512;     // the walk's path buffer
constexpr size_t kSizeTextSize = 32;      // FormatSize's buffer

// Everything one run counts and the options that steer the counting.
struct BackupState {
  BackupCategory categories[kMaxBackupCategories];
  int categoryCount = 1;
  std::unique_ptr<FileSpec> importantSpecs[kMaxBackupCategories];  // [0] unused
  std::unique_ptr<FileSpec> ignoreSpecs[kMaxIgnoreSpecs];
  int ignoreCount = 0;
  int32_t clusterSize = 1;
  double minImportantSize = 0;
  double currentDays = 0;  // 0: read at the first walk
  FindData findData;       // shared by the walk at every depth

  // A new important category; false (and nothing added) when 16 exist.
  bool AddImportant(const char* text);
  // A new unimportant filespec; false (and nothing added) when 50 exist.
  bool AddIgnore(const char* text);
  // Values below 1 are stored as 1.
  void SetClusterSize(int32_t size);
  // True when category 0 has files that are not backed up.
  bool BackupNeeded() const { return categories[0].notArchivedCount > 0; }
};

// "999 bytes", "0.98KB", "10.0KB", "100KB", ... "12GB" into `buffer` of
// kSizeTextSize; " bytes" only below 1000 and with `appendBytes`. Returns it.
char* FormatSize(double bytes, char* buffer, bool appendBytes);

// A file time in days (100-ns ticks divided by the ticks of one day).
double FileTimeToDays(FileTime time);

// Walks the directory in `path` (a buffer of kWalkPathSize holding a full
// path) and all its subdirectories, adding every file to the categories that
// select it. The buffer is written beyond the path during the walk and holds
// the path again afterwards.
void ScanBackupTree(char* path, BackupState* state);

// Finds "archvet.ini" in `startDir` or a parent and adds its important and
// unimportant filespecs.
void ReadBackupConfig(const char* startDir, BackupState* state);

// Looks for `name` in the full path of `start` and in each parent up to the
// root; returns `buffer` holding the first path found, or null.
char* FindFileUpwards(const char* start, const char* name, char* buffer, size_t size);
