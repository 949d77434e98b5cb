#include "programs/foldmap/tree_update.h"

#include <cstdio>
#include <cstring>

#include "platform/ascii_case.h"
#include "platform/attributes.h"
#include "platform/drives.h"
#include "platform/env.h"
#include "platform/listing.h"
#include "platform/process.h"
#include "platform/walk_guard.h"
#include "shared/sitefiles.h"

namespace {

const char kBatchName[] = "refolio.bat";
const char kNoCwd[] = "FOLDMAP Error:  Can't determine the current working directory.\n";

const char* const kHelp[] = {
    "FOLDMAP, Version 1.04",
    "",
    "Each directory has a signature file named \"????????._M?\" which is used",
    "to determine if the directory needs updating.  The signature file name contains",
    "a checksum of the file names and sizes in the directory.  It also indicates the",
    "relative distance (directory levels) to the \"icons\" directory.  If files are",
    "added, deleted, or renamed, or if the directory is moved, the signature file",
    "will no-longer match the directory's signature.",
    "",
    "This program traverses the directory tree, starting at the current directory,",
    "and checks for directories that need updating.  If a directory needs updating,",
    "it is updated by executing the \"refolio.bat\" file in that directory.",
    "Subdirectories are always checked and updated before their parent directories.",
    "A directory will be updated if one or more of the following conditions are met:",
    "",
    "1.  The directory does not have a signature file.",
    "2.  The directory's signature file does not match the directory's signature.",
    "3.  Any element in the directory has a modified date that is more recent than",
    "    the file creation date of the signature file.",
    "4.  Any \"index.htm\" file in a subdirectory has a modified date that is more",
    "    recent than the file creation date of the signature file.",
    "5.  Any of the directory's subdirectories are updated.",
    "",
    "The \"refolio.bat\" script updates its directory's signature file by running",
    "the separate signature utility.",
    "",
    "This program ignores directories that do not contain the file \"refolio.bat\",",
    "but it does process their subdirectories.  It completely ignores hidden files",
    "and subdirectories (doesn't process subdirectories in hidden directories).",
    "",
    "Usage:  FOLDMAP [/A]",
    "",
    " /A   Always executes \"refolio.bat\" in each directory, even if the directory",
    "      has not been modified.  Sets the environment variable \"_MOD\" to \"1\" if",
    "      the directory was modified, or \"0\" if it wasn't modified.",
    "",
    "Returns an exit code of 0 if one or more directories were updated, 1 if no",
    "directories needed to be updated, of 2 if an unrecoverable error occurred.",
};

// The settings and results of one run.
struct Run {
  explicit Run(const char* start) : guard(start) {}
  bool always = false;         // /A
  bool anyUpdated = false;
  bool anyFailed = false;      // a batch file could not be run, or failed
  bool haveHome = false;
  std::string home;            // the directory current before the first batch
  WalkGuard guard;             // each real directory is walked once, however linked
};

bool IsDirectory(const std::string& path) {
  uint32_t attributes = GetAttributes(path.c_str());
  return attributes != kInvalidAttributes && (attributes & kAttrDirectory);
}

bool CurrentDir(std::string* dir) {
  char buffer[kMaxPath + 1];
  if (GetCurrentDir(buffer, sizeof buffer) == 0) return false;
  *dir = buffer;
  return true;
}

bool SetDir(const std::string& dir) {
  if (SetCurrentDir(dir.c_str())) return true;
  fprintf(stderr, "FOLDMAP Error:  Can't set the working directory to \"%s\".\n", dir.c_str());
  return false;
}

// Runs the batch file in the current directory and says when that failed: a
// batch file that ends with a non-zero error level (its last command failed,
// or was not found) has not rebuilt its directory.
bool RunBatchHere(const std::string& dir) {
  int code = RunCommandLine(kBatchName);
  if (code == 0) return true;
  if (code == kCannotStart) {
    fputs("FOLDMAP Error:  Unable to start the command processor.\n", stderr);
  } else {
    fprintf(stderr, "FOLDMAP Error:  \"%s%s\" failed with exit code %d.\n", dir.c_str(), kBatchName, code);
  }
  return false;
}

// Runs the directory's batch file through the command interpreter, from the
// directory itself, and comes back to where the run started, whatever the
// batch file did.
void RunBatch(Run* run, const std::string& dir) {
  printf("FOLDMAP:  Updating \"%s\".\n", dir.c_str());
  fflush(stdout);
  if (!run->haveHome) {
    if (!CurrentDir(&run->home)) {
      fputs(kNoCwd, stderr);
      run->anyFailed = true;
      return;
    }
    run->haveHome = true;
  }
  bool ran = SetDir(dir) && RunBatchHere(dir);
  if (!ran) run->anyFailed = true;
  if (!SetDir(run->home)) run->anyFailed = true;
}

// With /A, the batch runs with _MOD telling whether the directory changed.
void RunBatchWithMod(Run* run, const std::string& dir, bool changed) {
  if (!SetEnv("_MOD", changed ? "1" : "0")) {
    fputs("FOLDMAP Error:  Unable to set environment variable.\n", stderr);
  }
  RunBatch(run, dir);
  SetEnv("_MOD", nullptr);
}

void UpdateTree(Run* run, DirState* state, std::string path, int distance);

// Takes in one counted entry that is no signature file; walks it at once
// when it is a subdirectory.
void CountEntry(Run* run, DirState* state, const std::string& path, const FindData& entry,
                int distance) {
  bool isDir = (entry.attributes & kAttrDirectory) != 0;
  if (!isDir && entry.writeTime > state->newest) state->newest = entry.writeTime;
  if (SameNoCase(entry.name, "index.htm")) state->indexTime = entry.writeTime;
  if (!isDir || !run->guard.Enter((path + entry.name).c_str(), entry.attributes)) return;
  DirState sub;
  UpdateTree(run, &sub, path + entry.name, distance < 0 ? -1 : distance + 1);
  if (sub.updated) state->updated = true;
  if (sub.indexTime > state->newest) state->newest = sub.indexTime;
}

void ListDirectory(Run* run, DirState* state, const std::string& path, int distance) {
  auto signature = [state](const FindData& entry) {
    state->signatureName = entry.name;
    state->signatureTime = entry.writeTime;
  };
  auto counted = [&](const FindData& entry) { CountEntry(run, state, path, entry, distance); };
  ListSignedFolder((path + "*").c_str(), &state->checksum, signature, counted);
}

void UpdateTree(Run* run, DirState* state, std::string path, int distance) {
  if (path.empty() || path.back() != '\\') path += '\\';
  if (distance > 0 && IsDirectory(path + "icons")) {
    fprintf(stderr, "FOLDMAP Warning:  Another icons directory was found at\n");
    fprintf(stderr, "   \"%s\".\n", (path + "icons").c_str());
    distance = 0;
  }
  ListDirectory(run, state, path, distance);
  state->expectedName = ExpectedSignatureName(state->checksum, distance);
  bool changed = state->expectedName != state->signatureName || state->newest > state->signatureTime;
  bool needed = changed || state->updated;
  bool hasBatch = PathExists((path + kBatchName).c_str());
  state->updated = false;
  if (hasBatch && needed) {
    if (run->always) RunBatchWithMod(run, path, true);
    else RunBatch(run, path);
    state->updated = true;
  } else if (hasBatch && run->always) {
    RunBatchWithMod(run, path, false);
  }
  if (state->updated) run->anyUpdated = true;
}

bool IsAlwaysSwitch(const char* arg) {
  return (arg[0] == '/' || arg[0] == '-') && (arg[1] == 'A' || arg[1] == 'a') && arg[2] == '\0';
}

}  // namespace

int RunFoldmap(int argc, char** argv) {
  bool always = false;
  if (argc > 1) {
    if (!IsAlwaysSwitch(argv[1])) {
      for (const char* line : kHelp) printf("%s\n", line);
      return 0;
    }
    always = true;
  }
  std::string start;
  if (!CurrentDir(&start)) {
    fputs(kNoCwd, stderr);
    return 2;
  }
  Run run(start.c_str());
  run.always = always;
  DirState state;
  UpdateTree(&run, &state, start, FindIconsDir());
  // A rebuild that failed is no success, though the walk went on.
  if (run.anyFailed) return 2;
  if (run.anyUpdated || run.always) return 0;
  printf("FOLDMAP:  All directories are up-to-date.\n");
  return 1;
}
