// The tree merge: command line, questions, the depth-first walk and the
// actions, each carried out directly (with a transfer log) or written as one
// line of the batch file.
#include "programs/foldmeld/tree_merge.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/console.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/file_replace.h"
#include "platform/files.h"
#include "platform/walk_guard.h"
#include "shared/chars.h"
#include "shared/paths.h"
#include "shared/string.h"

namespace {

const char kBatchName[] = "FOLDMEL1.BAT";
const char kBatchTemp[] = "FOLDMEL1.$$$";

// Settings and streams of the one run.
struct MergeRun {
  bool batch = false;
  bool move = false;
  FILE* batchFile = nullptr;
  std::string lastSourceDir;  // directories of the last logged transfer
  std::string lastDestDir;
  bool logged = false;
};

MergeRun run;

// The batch file is written under a temporary name and takes its name
// when the run ends, so that an earlier batch file stays whole until then.
// False when it could not be written.
bool FinishBatchFile() {
  if (run.batchFile == nullptr) return true;
  // A write that failed is told apart from a file that could not be put in
  // place; either way no half batch file is left under the batch file's name.
  bool written = std::fflush(run.batchFile) == 0 && !std::ferror(run.batchFile);
  bool done = CommitReplacement(run.batchFile, written, kBatchTemp, kBatchName);
  run.batchFile = nullptr;
  if (!done) {
    std::fprintf(stderr, written ? "Can't create file \"%s\".\n" : "Error writing to file \"%s\".\n", kBatchName);
  }
  return done;
}

// Ends the run at once; the work done so far stays done and the batch file
// keeps the lines written.
[[noreturn]] void EndRun(int code) {
  FinishBatchFile();
  std::fflush(stdout);
  std::exit(code);
}

// ---- Names --------------------------------------------------------------

bool IsSlidePageName(const char* name) {
  if (std::strlen(name) != 12 || name[0] != '$') return false;
  for (int i = 1; i <= 6; ++i) {
    if (!IsDigit(static_cast<unsigned char>(name[i]))) return false;
  }
  return CompareNoCase(name + 7, "$.htm") == 0;
}

// The directory part of a path: the text before the last separator, keeping
// the separator of a root ("C:\").
std::string DirPartOf(const std::string& path) {
  const char* name = BaseName(path.c_str());
  size_t end = static_cast<size_t>(name - path.c_str());
  if (end == 0) return "";
  bool root = end == 1 || path[end - 1] == ':' || path[end - 2] == ':';
  return path.substr(0, root ? end : end - 1);
}

std::string EntryPath(const std::string& directory, const char* name) {
  std::string path = directory;
  if (!path.empty() && path.back() != '\\' && path.back() != '/') path += '\\';
  return path + name;
}

uint64_t FileSizeOf(const char* path) {
  FindData data;
  if (!GetFileInfo(path, &data) || (data.attributes & kAttrDirectory) != 0) return 0;
  return data.size;
}

bool IsFileThere(const char* path) {
  uint32_t attributes = GetAttributes(path);
  return attributes != kInvalidAttributes && (attributes & kAttrDirectory) == 0;
}

// ---- Questions ----------------------------------------------------------

// The next key that is one of `valid`, after the keys typed ahead are
// dropped. Ctrl+C, and Escape (also the end of redirected input, which
// would otherwise be asked forever), end the run with code 3.
int AskKey(const char* valid) {
  while (KeyWaiting()) ReadKey(true);
  for (;;) {
    int key = ReadKey(true);
    if (key == kKeyCtrlC || key == kKeyEscape) EndRun(3);
    if (key > 0 && key < 128 && std::strchr(valid, key) != nullptr) return ToUpper(key);
  }
}

bool AskYesNo() {
  if (AskKey("YyNn") == 'Y') {
    std::fputs("Yes\n", stderr);
    return true;
  }
  std::fputs("No\n", stderr);
  return false;
}

void AskCopyMove() {
  int key = AskKey("MmCcAa");
  if (key == 'A') EndRun(3);
  run.move = key == 'M';
  std::fputs(run.move ? "Move\n" : "Copy\n", stderr);
}

// True to transfer (maybe under a new name in `destination`), false to skip.
bool AskReplace(std::string* destination) {
  int key = AskKey("YyNnAa");
  if (key == 'Y') {
    std::fputs("Yes\n", stderr);
    return true;
  }
  if (key == 'N') {
    std::fputs("No\n", stderr);
    return false;
  }
  std::fputs("Append Suffix\n", stderr);
  if (!MakeUniqueName(destination, "-")) {
    std::fputs("  Warning:  Couldn't find a unique suffix.\n", stderr);
    return false;
  }
  std::fprintf(stderr, "  New destination file name is \"%s\".\n", destination->c_str());
  return true;
}

// ---- Actions ------------------------------------------------------------

// A path as it goes between the quotes of a batch line: '%' doubled so the
// command processor does not expand it. Paths hold no '"' (checked at start).
std::string BatchText(const std::string& path) {
  std::string text;
  for (char c : path) {
    text += c;
    if (c == '%') text += '%';
  }
  return text;
}

void LogTransfer(const std::string& source, const std::string& destination, bool skipped) {
  std::string sourceDir = DirPartOf(source);
  std::string destDir = DirPartOf(destination);
  if (!run.logged || CompareNoCase(sourceDir.c_str(), run.lastSourceDir.c_str()) != 0 ||
      CompareNoCase(destDir.c_str(), run.lastDestDir.c_str()) != 0) {
    std::printf("%s\n", std::string(79, '-').c_str());
    std::printf("From:  %s\n  To:  %s\n", sourceDir.c_str(), destDir.c_str());
    run.lastSourceDir = sourceDir;
    run.lastDestDir = destDir;
    run.logged = true;
  }
  const char* sourceName = BaseName(source.c_str());
  const char* destName = BaseName(destination.c_str());
  if (skipped) {
    std::printf("\t* %s (skipped)\n", sourceName);
  } else if (CompareNoCase(sourceName, destName) != 0) {
    std::printf("\t  %s ==> %s\n", sourceName, destName);
  } else {
    std::printf("\t  %s\n", sourceName);
  }
}

void MakeDirectory(const std::string& path) {
  if (run.batch) {
    std::fprintf(run.batchFile, "MD \"%s\"\n", BatchText(path).c_str());
    return;
  }
  if (CreateDir(path.c_str())) return;
  std::fprintf(stderr, "\nError:  Can't create directory \"%s\".\n", path.c_str());
  EndRun(1);
}

void NoteSkippedDirectory(const std::string& path, const char* reason) {
  if (run.batch) std::fprintf(run.batchFile, "REM MD \"%s\" (%s)\n", BatchText(path).c_str(), reason);
}

void RemoveSourceDirectory(const std::string& path) {
  if (run.batch) {
    std::fprintf(run.batchFile, "RD \"%s\"\n", BatchText(path).c_str());
    return;
  }
  RemoveDir(path.c_str());
}

void DeleteSourceFile(const std::string& path) {
  if (run.batch) {
    std::fprintf(run.batchFile, "DEL \"%s\"\n", BatchText(path).c_str());
    return;
  }
  DeleteFile(path.c_str());
}

// Transfers one file. `replace` is set only when the user agreed to replace
// an existing destination; otherwise a file found there is never overwritten.
// Both platform calls finish the new file before it takes the name, so a
// failure leaves the old destination and the source as they were.
void TransferFile(const std::string& source, const std::string& destination, bool replace) {
  if (run.batch) {
    std::string from = BatchText(source);
    std::string to = BatchText(destination);
    if (run.move) std::fprintf(run.batchFile, "MOVE /-Y \"%s\" \"%s\"\n", from.c_str(), to.c_str());
    else std::fprintf(run.batchFile, "COPY \"%s\" \"%s\" /-Y\n", from.c_str(), to.c_str());
    return;
  }
  LogTransfer(source, destination, false);
  bool ok = run.move ? MoveFile(source.c_str(), destination.c_str(), replace)
                     : CopyFile(source.c_str(), destination.c_str(), !replace);
  if (ok) return;
  std::fflush(stdout);
  std::fprintf(stderr, "\nError:  Unable to %s \"%s\" to \"%s\".\nProgram aborted.  [Error Code = %ld]\n",
               run.move ? "move" : "copy", source.c_str(), destination.c_str(), LastErrorCode());
  EndRun(1);
}

void SkipFile(const std::string& source, const std::string& destination, const char* reason) {
  if (!run.batch) {
    LogTransfer(source, destination, true);
    return;
  }
  std::string from = BatchText(source);
  std::string to = BatchText(destination);
  if (run.move) {
    std::fprintf(run.batchFile, "REM MOVE /-Y \"%s\" \"%s\" (%s)\n", from.c_str(), to.c_str(), reason);
  } else {
    std::fprintf(run.batchFile, "REM COPY \"%s\" \"%s\" /-Y (%s)\n", from.c_str(), to.c_str(), reason);
  }
}

// ---- The walk -----------------------------------------------------------

// Asks, where needed, whether to go into the destination directory; false
// to leave this level.
bool EnterDestination(const std::string& source, const std::string& destination, int depth,
                      bool exists) {
  if (depth <= 1) {
    if (!exists) {
      std::fprintf(stderr, "\nDirectory \"%s\" does not exist.\n  Create directory and copy? (Y/N) ",
                   destination.c_str());
      if (!AskYesNo()) return false;
      MakeDirectory(destination);
      return true;
    }
    return !(depth == 1 && CompareNoCase(BaseName(destination.c_str()), "icons") == 0);
  }
  if (!exists) {
    MakeDirectory(destination);
    return true;
  }
  std::fprintf(stderr, "\nDirectory \"%s\" already exists.\n  Merge from \"%s\"? (Y/N) ",
               destination.c_str(), source.c_str());
  if (AskYesNo()) return true;
  NoteSkippedDirectory(destination, "user cancelled merge of existing directory");
  return false;
}

// One file of the source. The destination is checked even when its
// directory is new: two source names that differ only in letter case reach
// the same destination file, and the second must not silently replace the
// first.
void MergeFile(const std::string& source, std::string destination) {
  FileKind kind = ClassifyFile(BaseName(source.c_str()));
  if (kind == kNeverTransfer) {
    if (run.move) DeleteSourceFile(source);
    SkipFile(source, destination, "files of this type are never copied");
    return;
  }
  if (!IsFileThere(destination.c_str())) {
    TransferFile(source, destination, false);
    return;
  }
  if (kind == kSkipWhenExists) {
    if (run.move) DeleteSourceFile(source);
    SkipFile(source, destination, "file already exists at destination");
    return;
  }
  std::string original = destination;
  std::fprintf(stderr, "\nFile \"%s\" (%" PRIu64 " bytes) already exists.\n", destination.c_str(),
               FileSizeOf(destination.c_str()));
  std::fprintf(stderr, "  Replace with \"%s\" (%" PRIu64 " bytes)? (Y/N/A) ", source.c_str(),
               FileSizeOf(source.c_str()));
  if (AskReplace(&destination)) {
    TransferFile(source, destination, destination == original);
    return;
  }
  SkipFile(source, destination, "user cancelled copy of existing file");
}

void MergeDir(const std::string& source, const std::string& destination, int depth);

void MergeFiles(const std::string& source, const std::string& destination) {
  DirectoryIterator entries;
  FindData data;
  for (bool found = entries.First(&data, source.c_str()); found; found = entries.Next(&data)) {
    if (!DirectoryIterator::IsFile(data) || DirectoryIterator::IsHidden(data)) continue;
    if (CompareNoCase(data.name, kBatchName) == 0 || CompareNoCase(data.name, kBatchTemp) == 0) continue;
    MergeFile(EntryPath(source, data.name), EntryPath(destination, data.name));
  }
}

// A merge moves and deletes: it never crosses a symbolic link to a
// directory, whose files belong to another tree. The link is left where it
// is and noted as skipped.
void SkipLinkedDirectory(const std::string& source, const std::string& destination) {
  if (run.batch) {
    NoteSkippedDirectory(destination, "symbolic link to a directory not followed");
    return;
  }
  LogTransfer(source, destination, true);
}

void MergeSubdirectories(const std::string& source, const std::string& destination, int depth) {
  DirectoryIterator entries;
  FindData data;
  for (bool found = entries.First(&data, source.c_str()); found; found = entries.Next(&data)) {
    if (!DirectoryIterator::IsDirectory(data) || DirectoryIterator::IsHidden(data)) continue;
    std::string from = EntryPath(source, data.name), to = EntryPath(destination, data.name);
    if (IsDirectoryLink(data.attributes)) {
      SkipLinkedDirectory(from, to);
      continue;
    }
    MergeDir(from, to, depth + 1);
  }
}

void MergeDir(const std::string& source, const std::string& destination, int depth) {
  bool exists = DirExists(destination.c_str());
  if (!EnterDestination(source, destination, depth, exists)) return;
  MergeFiles(source, destination);
  MergeSubdirectories(source, destination, depth);
  if (run.move && depth >= 1) RemoveSourceDirectory(source);
}

// ---- Command line -------------------------------------------------------

void PrintUsage() {
  std::printf("FOLDMELD, Version 1.20\n");
  std::printf("Usage:  FOLDMELD [/C | /M] [/B] sourcepath destpath\n");
  std::printf("/C            Copy files from sourcepath to destpath.\n");
  std::printf("/M            Move files from sourcepath to destpath.\n");
  std::printf("/B            Make a batch file named \"%s\" (don't execute).\n", kBatchName);
  std::printf("sourcepath    Path to the source directory.\n");
  std::printf("destpath      Path to the destination directory.\n");
}

// A full path that a batch line can quote safely; empty when there is none.
std::string FullPathOf(const char* argument) {
  char buffer[kMaxPath + 1];
  if (GetFullPath(argument, buffer, sizeof buffer) == 0) return "";
  for (const char* c = buffer; *c != '\0'; ++c) {
    if (static_cast<unsigned char>(*c) < 32 || std::strchr("\"*?<>|", *c) != nullptr) return "";
  }
  return buffer;
}

// True when `inner` is `outer` or lies below it.
bool IsSameOrInside(const std::string& inner, const std::string& outer) {
  size_t n = outer.size();
  if (inner.size() < n || CompareNoCaseN(inner.c_str(), outer.c_str(), n) != 0) return false;
  return inner.size() == n || outer[n - 1] == '\\' || inner[n] == '\\';
}

struct CommandLine {
  bool usage = true;
  bool copy = false;
  const char* sourceArg = nullptr;
  const char* destArg = nullptr;
};

CommandLine ParseCommandLine(int argc, char** argv) {
  CommandLine line;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (arg[0] == '-' || arg[0] == '/') {
      int letter = ToUpper(static_cast<unsigned char>(arg[1]));
      if (letter == 'B') run.batch = true;
      else if (letter == 'C') line.copy = true;
      else if (letter == 'M') run.move = true;
      else line.usage = true;
    } else if (line.sourceArg == nullptr) {
      line.sourceArg = arg;
    } else if (line.destArg == nullptr) {
      line.destArg = arg;
      line.usage = false;
    }
  }
  return line;
}

// The two paths of the run; false, with the message printed, when they
// cannot be merged safely.
bool CheckPaths(const CommandLine& line, std::string* source, std::string* destination) {
  *source = FullPathOf(line.sourceArg);
  *destination = FullPathOf(line.destArg);
  const char* bad = source->empty() ? line.sourceArg : destination->empty() ? line.destArg : nullptr;
  if (bad != nullptr) {
    std::fprintf(stderr, "\nError:  Invalid path \"%s\".\n", bad);
    return false;
  }
  if (!DirExists(source->c_str())) {
    std::fprintf(stderr, "\nError:  Source directory \"%s\" does not exist.\n", source->c_str());
    return false;
  }
  if (IsSameOrInside(*source, *destination) || IsSameOrInside(*destination, *source)) {
    std::fprintf(stderr, "\nError:  Can't merge \"%s\" into \"%s\": one holds the other.\n",
                 source->c_str(), destination->c_str());
    return false;
  }
  return true;
}

}  // namespace

FileKind ClassifyFile(const char* name) {
  if (IsSlidePageName(name)) return kSkipWhenExists;
  const char* extension = Extension(name);
  if (CompareNoCase(extension, "._md") == 0 || CompareNoCase(name, "keywords.kdb") == 0) {
    return kNeverTransfer;
  }
  for (const char* kept : {"symlinks.txt", "index.htm", "frameset.htm"}) {
    if (CompareNoCase(name, kept) == 0) return kSkipWhenExists;
  }
  if (CompareNoCase(extension, ".bat") == 0) return kSkipWhenExists;
  return kAskOnConflict;
}

bool MakeUniqueName(std::string* path, const char* suffix) {
  const char* extension = Extension(path->c_str());
  size_t stemLength = static_cast<size_t>(extension - path->c_str());
  std::string stem = path->substr(0, stemLength);
  std::string kept = extension;
  std::string candidate = *path;
  for (int number = 2; FileExists(candidate.c_str()); ++number) {
    if (number > 18) return false;
    candidate = stem + suffix + std::to_string(number) + kept;
    if (candidate.size() > static_cast<size_t>(kMaxPath)) return false;
  }
  *path = candidate;
  return true;
}

DirectoryIterator::~DirectoryIterator() { Close(); }

void DirectoryIterator::Close() {
  if (search_ != nullptr) FindClose(search_);
  search_ = nullptr;
}

bool DirectoryIterator::First(FindData* data, const char* directory) {
  Close();
  size_t length = std::strlen(directory);
  if (length > 257) return false;
  std::string pattern = directory;
  if (length > 0 && std::strchr("\\/:", directory[length - 1]) == nullptr) pattern += '\\';
  pattern += '*';
  search_ = FindFirst(pattern.c_str(), data);
  if (search_ == nullptr) return false;
  if (std::strcmp(data->name, ".") != 0 && std::strcmp(data->name, "..") != 0) return true;
  return Next(data);
}

bool DirectoryIterator::Next(FindData* data) {
  if (search_ == nullptr) return false;
  while (FindNext(search_, data)) {
    if (std::strcmp(data->name, ".") != 0 && std::strcmp(data->name, "..") != 0) return true;
  }
  return false;
}

int MergeTrees(int argc, char** argv) {
  CommandLine line = ParseCommandLine(argc, argv);
  if (line.usage) {
    PrintUsage();
    return 0;
  }
  std::string source;
  std::string destination;
  if (!CheckPaths(line, &source, &destination)) return 1;
  if (!line.copy && !run.move) {
    std::fprintf(stderr, "Preparing to transfer files\n  from:  %s\n    to:  %s\n", source.c_str(),
                 destination.c_str());
    std::fputs("Copy, Move, or Abort? [C/M/A] ", stderr);
    AskCopyMove();
    std::fputs("\n", stderr);
  }
  if (run.batch) {
    if (IsReplaceable(kBatchName)) run.batchFile = CreateReplacement(kBatchTemp, "wt");
    if (run.batchFile == nullptr) {
      std::fprintf(stderr, "Can't create file \"%s\".\n", kBatchName);
      return 1;
    }
  }
  MergeDir(source, destination, 0);
  if (run.batch) {
    if (!FinishBatchFile()) return 1;
    std::printf("The batch file \"%s\" has been created.\n", kBatchName);
    std::printf("You must execute the batch file to perform the transfer.\n");
  }
  return 0;
}
