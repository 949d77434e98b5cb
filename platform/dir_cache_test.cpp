// Lookups and listings keep the names of directories between calls; every
// change to a directory must still be seen by the next call, whoever made it.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "platform/attributes.h"
#include "platform/dir_cache.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/file_replace.h"
#include "platform/files.h"
#include "platform/listing.h"
#include "platform/names.h"
#include "platform/testing/test_support.h"

namespace {

// Gives a host folder a modification time long past, as an unchanged folder
// of a real tree has: only then are its names kept between calls.
void SetOldTime(const std::string& host) {
  struct timespec times[2] = {{978307200, 0}, {978307200, 0}};  // 2001-01-01
  ASSERT_EQ(utimensat(AT_FDCWD, host.c_str(), times, 0), 0) << host;
}

// Runs `step` in a child process and waits for it.
void InOtherProcess(const std::function<bool()>& step) {
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) _exit(step() ? 0 : 1);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

std::vector<std::string> FindNames(const char* pattern) {
  std::vector<std::string> names;
  FindData data;
  FindState* state = FindFirst(pattern, &data);
  if (!state) return names;
  do {
    names.push_back(data.name);
  } while (FindNext(state, &data));
  FindClose(state);
  return names;
}

std::vector<std::string> QuickNames(const char* pattern) {
  std::vector<std::string> names;
  std::vector<NamedEntry> entries;
  if (!ListNames(pattern, true, &entries)) return names;
  for (const NamedEntry& entry : entries) names.push_back(entry.name);
  return names;
}

// The lookups a change must show: either name in another letter case, and
// both kinds of listing.
void ExpectNames(const TempDrive& drive, const std::vector<std::string>& names,
                 const std::string& label) {
  for (const char* name : {"old.htm", "new.htm"}) {
    std::string path = std::string("C:\\dir\\") + name;
    bool listed = false;
    for (const std::string& kept : names) listed = listed || strcasecmp(kept.c_str(), name) == 0;
    EXPECT_EQ(PathExists(path.c_str()), listed) << label << ": " << name;
    EXPECT_EQ(GetPathKind(path.c_str()), listed ? PathKind::kFile : PathKind::kNone)
        << label << ": " << name;
    FILE* file = OpenFile(path.c_str(), "r");
    EXPECT_EQ(file != nullptr, listed) << label << ": " << name;
    if (file) fclose(file);
  }
  std::vector<std::string> dotted = {".", ".."};
  dotted.insert(dotted.end(), names.begin(), names.end());
  EXPECT_EQ(FindNames("C:\\DIR\\*"), dotted) << label;
  EXPECT_EQ(QuickNames("C:\\DIR\\*"), names) << label;
  std::string host;
  ASSERT_TRUE(HostPath("C:\\DIR\\NEW.HTM", &host));
  bool hasNew = std::find(names.begin(), names.end(), "New.htm") != names.end();
  EXPECT_EQ(host, drive.Host(hasNew ? "dir/New.htm" : "dir/NEW.HTM")) << label;
}

struct ChangeCase {
  const char* label;
  bool otherProcess;
  std::vector<std::string> after;
};

// Makes the change a case names, in this process through the layer or in
// another process through the host's own calls.
std::function<bool()> ChangeOf(const TempDrive& drive, const ChangeCase& c) {
  std::string name = c.label;
  if (name == "created" && c.otherProcess) {
    std::string host = drive.Host("dir/New.htm");
    return [host] { return creat(host.c_str(), 0644) >= 0; };
  }
  if (name == "created") {
    return [] {
      FILE* file = OpenFile("C:\\dir\\New.htm", "w");
      return file && fclose(file) == 0;
    };
  }
  if (name == "renamed" && c.otherProcess) {
    std::string from = drive.Host("dir/Old.htm"), to = drive.Host("dir/New.htm");
    return [from, to] { return rename(from.c_str(), to.c_str()) == 0; };
  }
  if (name == "renamed") return [] { return MoveFile("C:\\dir\\old.htm", "C:\\dir\\New.htm"); };
  if (c.otherProcess) {
    std::string host = drive.Host("dir/Old.htm");
    return [host] { return unlink(host.c_str()) == 0; };
  }
  return [] { return DeleteFile("C:\\DIR\\OLD.HTM"); };
}

const ChangeCase kChangeCases[] = {
    {"created", false, {"New.htm", "Old.htm"}},
    {"created", true, {"New.htm", "Old.htm"}},
    {"renamed", false, {"New.htm"}},
    {"renamed", true, {"New.htm"}},
    {"deleted", false, {}},
    {"deleted", true, {}},
};

// A folder unchanged for long is checked by its times; one changed just now
// is watched. Both must show every change at the next lookup.
TEST(DirCache, LookupsAfterAChangeSeeIt) {
  for (bool settled : {true, false}) {
    for (const ChangeCase& c : kChangeCases) {
      std::string label = std::string(c.label) + (c.otherProcess ? " by another process" : "") +
                          (settled ? " in a settled folder" : " in a recent folder");
      TempDrive drive;
      drive.Write("dir/Old.htm", "x");
      if (settled) SetOldTime(drive.Host("dir"));
      ExpectNames(drive, {"Old.htm"}, label + ", before");
      std::function<bool()> change = ChangeOf(drive, c);
      if (c.otherProcess) {
        InOtherProcess(change);
      } else {
        ASSERT_TRUE(change()) << label;
      }
      ExpectNames(drive, c.after, label);
    }
  }
}

TEST(DirCache, AChangeIsSeenEvenWhenTheFolderTimeIsSetBack) {
  TempDrive drive;
  drive.Write("dir/Old.htm", "x");
  SetOldTime(drive.Host("dir"));
  ExpectNames(drive, {"Old.htm"}, "before");
  InOtherProcess([&] { return creat(drive.Host("dir/New.htm").c_str(), 0644) >= 0; });
  SetOldTime(drive.Host("dir"));
  ExpectNames(drive, {"New.htm", "Old.htm"}, "after");
}

TEST(DirCache, AFolderReplacedByAnotherIsReadAgain) {
  for (bool settled : {true, false}) {
    std::string label = settled ? "settled" : "recent";
    TempDrive drive;
    drive.Write("dir/Old.htm", "x");
    if (settled) SetOldTime(drive.Host("dir"));
    ExpectNames(drive, {"Old.htm"}, label + ", before");
    InOtherProcess([&] {
      return rename(drive.Host("dir").c_str(), drive.Host("gone").c_str()) == 0 &&
             mkdir(drive.Host("dir").c_str(), 0755) == 0 &&
             creat(drive.Host("dir/New.htm").c_str(), 0644) >= 0;
    });
    if (settled) SetOldTime(drive.Host("dir"));
    ExpectNames(drive, {"New.htm"}, label + ", after");
  }
}

TEST(DirCache, ManyFoldersInTurnKeepTheirOwnNames) {
  TempDrive drive;
  // More folders than are kept at once, each looked up twice in turn.
  constexpr int kFolders = 100;
  for (int i = 0; i < kFolders; ++i) {
    std::string folder = "f" + std::to_string(i);
    drive.Write(folder + "/Name" + std::to_string(i) + ".txt", "x");
    SetOldTime(drive.Host(folder));
  }
  for (int round = 0; round < 2; ++round) {
    for (int i = 0; i < kFolders; ++i) {
      std::string index = std::to_string(i);
      std::string host;
      ASSERT_TRUE(HostPath(("C:\\F" + index + "\\NAME" + index + ".TXT").c_str(), &host));
      EXPECT_EQ(host, drive.Host("f" + index + "/Name" + index + ".txt"));
      EXPECT_FALSE(PathExists(("C:\\F" + index + "\\NAME" + std::to_string(i + 1) + ".TXT").c_str()));
    }
  }
}

// The kept names guess which names a folder lacks, so that a lookup asks the
// folder's checked names instead of the path; a guess made stale by another
// program's change must cost that lookup nothing but a call.
TEST(DirCache, KeptNamesGuessWhatAFolderLacks) {
  for (bool settled : {true, false}) {
    std::string label = settled ? "settled" : "recent";
    TempDrive drive;
    drive.Write("dir/Old.htm", "x");
    if (settled) SetOldTime(drive.Host("dir"));
    std::string dir = drive.Host("dir");
    EXPECT_FALSE(weft_host::KeptNamesLack(dir + "/new.htm")) << label << ": not listed yet";
    ExpectNames(drive, {"Old.htm"}, label + ", before");
    EXPECT_TRUE(weft_host::KeptNamesLack(dir + "/new.htm")) << label;
    EXPECT_FALSE(weft_host::KeptNamesLack(dir + "/Old.htm")) << label;
    EXPECT_FALSE(weft_host::KeptNamesLack(dir + "/OLD.HTM")) << label;
    EXPECT_FALSE(weft_host::KeptNamesLack(drive.Host("other/new.htm"))) << label;
    InOtherProcess([&] { return creat(drive.Host("dir/New.htm").c_str(), 0644) >= 0; });
    if (settled) SetOldTime(dir);
    ExpectNames(drive, {"New.htm", "Old.htm"}, label + ", after");
    EXPECT_FALSE(weft_host::KeptNamesLack(dir + "/new.htm")) << label << ", after";
  }
}

// --- The layer's own changes to a recent folder ------------------------------

// Lists a folder both ways and looks up each name in upper case.
void ExpectFolder(const std::string& folder, const std::vector<std::string>& names,
                  const std::string& label) {
  std::string pattern = "C:\\" + folder + "\\*";
  std::vector<std::string> dotted = {".", ".."};
  dotted.insert(dotted.end(), names.begin(), names.end());
  EXPECT_EQ(FindNames(pattern.c_str()), dotted) << label;
  EXPECT_EQ(QuickNames(pattern.c_str()), names) << label;
  for (std::string name : names) {
    for (char& ch : name) ch = static_cast<char>(toupper(static_cast<unsigned char>(ch)));
    EXPECT_TRUE(PathExists(("C:\\" + folder + "\\" + name).c_str())) << label << ": " << name;
  }
}

struct OwnChange {
  const char* label;
  std::vector<std::string> before;  // files of "dir" ("other" holds Far.txt)
  std::function<bool()> change;
  std::vector<std::string> after;
  std::vector<std::string> otherAfter;
};

TEST(DirCache, OwnChangesToARecentFolderAreLearnedWithoutReadingItAgain) {
  const OwnChange cases[] = {
      {"created", {"Old.htm"}, [] {
         FILE* file = OpenFile("C:\\dir\\New.htm", "w");
         return file && fclose(file) == 0;
       }, {"New.htm", "Old.htm"}, {"Far.txt"}},
      {"renamed", {"Old.htm"}, [] { return MoveFile("C:\\dir\\OLD.htm", "C:\\dir\\New.htm"); },
       {"New.htm"}, {"Far.txt"}},
      {"renamed in letter case", {"Old.htm"},
       [] { return MoveFile("C:\\dir\\old.htm", "C:\\dir\\OLD.HTM"); }, {"OLD.HTM"}, {"Far.txt"}},
      {"moved to another folder", {"Old.htm"},
       [] { return MoveFile("C:\\dir\\old.htm", "C:\\other\\Old.htm"); }, {}, {"Far.txt", "Old.htm"}},
      {"moved in from another folder", {"Old.htm"},
       [] { return MoveFile("C:\\other\\far.txt", "C:\\dir\\Far.txt"); }, {"Far.txt", "Old.htm"}, {}},
      {"deleted", {"Old.htm", "x.htm"}, [] { return DeleteFile("C:\\dir\\OLD.HTM"); }, {"x.htm"},
       {"Far.txt"}},
      {"copied", {"Old.htm"}, [] { return CopyFile("C:\\dir\\old.htm", "C:\\dir\\New.htm", true); },
       {"New.htm", "Old.htm"}, {"Far.txt"}},
      {"replaced", {"Old.htm", "x.tmp"}, [] { return ReplaceFile("C:\\dir\\X.TMP", "C:\\dir\\old.htm"); },
       {"Old.htm"}, {"Far.txt"}},
      {"folder made", {"Old.htm"}, [] { return CreateDir("C:\\dir\\Sub"); }, {"Old.htm", "Sub"},
       {"Far.txt"}},
  };
  for (const OwnChange& c : cases) {
    TempDrive drive;
    for (const std::string& name : c.before) drive.Write("dir/" + name, "x");
    drive.Write("other/Far.txt", "x");
    ExpectFolder("dir", c.before, std::string(c.label) + ", before");
    ExpectFolder("other", {"Far.txt"}, std::string(c.label) + ", before");
    weft_host::DirCacheCounts before = weft_host::GetDirCacheCounts();
    ASSERT_TRUE(c.change()) << c.label << ": " << LastErrorText();
    ExpectFolder("dir", c.after, c.label);
    ExpectFolder("other", c.otherAfter, c.label);
    weft_host::DirCacheCounts after = weft_host::GetDirCacheCounts();
    if (!after.watching) continue;  // without watches a recent folder is read each time
    EXPECT_EQ(after.reads, before.reads) << c.label;
    EXPECT_GT(after.learned, before.learned) << c.label;
  }
}

// The names of a watched folder as WithDirNames gives them for `status`.
std::vector<std::string> KeptNames(const std::string& host, const struct stat& status) {
  std::vector<std::string> names;
  EXPECT_TRUE(weft_host::WithDirNames(host, &status, [&](const weft_host::DirNames& kept) {
    for (const weft_host::DirName& entry : kept) names.push_back(entry.name);
  }));
  return names;
}

struct stat StatusOf(const std::string& host) {
  struct stat st = {};
  EXPECT_EQ(stat(host.c_str(), &st), 0) << host;
  return st;
}

// Several threads at work in one folder: a thread whose status of the
// folder was taken before another thread's lookup brought the names up to
// date finds them still good, and a change of the folder's times that no
// report explains has the folder read again soon, not at once.
TEST(DirCache, StatusesOfAWatchedFolderThatComeLateOrUnexplained) {
  TempDrive drive;
  drive.Write("dir/a.htm", "x");
  std::string dir = drive.Host("dir");
  struct stat first = StatusOf(dir);
  EXPECT_EQ(KeptNames(dir, first), (std::vector<std::string>{"a.htm"}));
  if (!weft_host::GetDirCacheCounts().watching) GTEST_SKIP() << "no watches here";
  ASSERT_TRUE(MoveFile("C:\\dir\\a.htm", "C:\\dir\\b.htm"));
  EXPECT_EQ(KeptNames(dir, StatusOf(dir)), (std::vector<std::string>{"b.htm"}));
  uint64_t reads = weft_host::GetDirCacheCounts().reads;
  EXPECT_EQ(KeptNames(dir, first), (std::vector<std::string>{"b.htm"})) << "a late status";
  EXPECT_EQ(weft_host::GetDirCacheCounts().reads, reads) << "a late status";

  // New times without a change of the entries: nothing reports them.
  struct timespec later[2] = {{0, UTIME_OMIT}, {first.st_mtim.tv_sec + 5, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, dir.c_str(), later, 0), 0);
  EXPECT_EQ(KeptNames(dir, StatusOf(dir)), (std::vector<std::string>{"b.htm"}));
  EXPECT_EQ(weft_host::GetDirCacheCounts().reads, reads) << "unexplained, just now";
  usleep(150000);
  EXPECT_EQ(KeptNames(dir, StatusOf(dir)), (std::vector<std::string>{"b.htm"}));
  EXPECT_EQ(weft_host::GetDirCacheCounts().reads, reads + 1) << "unexplained for a while";
}

// A child process shares the parent's watch: what the child reads must not
// be lost to the parent.
TEST(DirCache, AChildProcessLeavesTheParentsReportsAlone) {
  TempDrive drive;
  drive.Write("dir/Old.htm", "x");
  ExpectNames(drive, {"Old.htm"}, "before");
  InOtherProcess([&] {
    return creat(drive.Host("dir/New.htm").c_str(), 0644) >= 0 && PathExists("C:\\dir\\NEW.HTM");
  });
  ExpectNames(drive, {"New.htm", "Old.htm"}, "after");
}

// The number of reports the kernel keeps for a watch before it drops them.
int QueuedReportsLimit() {
  FILE* file = fopen("/proc/sys/fs/inotify/max_queued_events", "r");
  int limit = 16384;
  if (file) {
    if (fscanf(file, "%d", &limit) != 1) limit = 16384;
    fclose(file);
  }
  return limit < 100000 ? limit : 100000;
}

// More changes at once than the kernel keeps reports of: a file renamed to
// and fro (two reports each time), then the folder's last changes.
TEST(DirCache, ChangesBeyondWhatTheWatchKeepsAreAllSeen) {
  TempDrive drive;
  drive.Write("dir/Old.htm", "x");
  ExpectNames(drive, {"Old.htm"}, "before");
  int renames = QueuedReportsLimit() / 2 + 100;
  InOtherProcess([&] {
    std::string a = drive.Host("dir/Old.htm"), b = drive.Host("dir/b");
    for (int i = 0; i < renames; ++i) {
      if (rename(i % 2 ? b.c_str() : a.c_str(), i % 2 ? a.c_str() : b.c_str()) != 0) return false;
    }
    return unlink((renames % 2 ? b : a).c_str()) == 0 &&
           creat(drive.Host("dir/New.htm").c_str(), 0644) >= 0;
  });
  ExpectNames(drive, {"New.htm"}, "after");
}

// --- The kept names -------------------------------------------------------------

std::vector<std::string> Listed(const weft_host::DirNames& names) {
  std::vector<std::string> out;
  for (const weft_host::DirName& entry : names) out.push_back(entry.name);
  return out;
}

std::string Found(const weft_host::DirNames& names, const char* name) {
  const weft_host::DirName* found = names.FindNoCase(name);
  return found ? found->name : "(none)";
}

// Turned off for debugging a lookup (WEFTDIRCACHE=off, read as a process
// starts, and afresh by a child it forks), the cache keeps nothing: every
// lookup reads its folders again. Left on, a settled folder is read once.
TEST(DirCache, SwitchedOffEveryLookupReadsItsFolders) {
  TempDrive drive;
  drive.Write("old/a.txt", "a");
  SetOldTime(drive.Host("old"));
  SetOldTime(drive.Host());
  // A lookup of the name in another letter case reads the folders on its way.
  auto readsOfLookups = [] {
    uint64_t before = weft_host::GetDirCacheCounts().reads;
    for (int i = 0; i < 5; ++i) {
      if (GetAttributes("C:\\OLD\\A.TXT") == kInvalidAttributes) return uint64_t{0};
    }
    return weft_host::GetDirCacheCounts().reads - before;
  };
  ScopedEnvironment environment;
  for (const char* value : {"off", "OFF", "on", ""}) {
    environment.Set("WEFTDIRCACHE", *value ? value : nullptr);
    bool off = std::string(value) == "off" || std::string(value) == "OFF";
    InOtherProcess([&] {
      uint64_t reads = readsOfLookups();
      return off ? reads >= 10 : reads >= 1 && reads <= 2;
    });
  }
}

TEST(KeptNames, FindsNamesWithoutRegardToCaseTheSmallestFirst) {
  weft_host::DirNames names;
  for (const char* name : {"b.htm", "a.JPG", "B.HTM", "B.htm"}) names.Add(name, DT_REG);
  EXPECT_EQ(Listed(names), (std::vector<std::string>{"a.JPG", "B.HTM", "B.htm", "b.htm"}));
  EXPECT_EQ(Found(names, "A.jpg"), "a.JPG");
  EXPECT_EQ(Found(names, "b.HtM"), "B.HTM");
  EXPECT_EQ(Found(names, "b.ht"), "(none)");
  names.Remove("B.HTM");
  EXPECT_EQ(Found(names, "b.htm"), "B.htm");
  names.Remove("b.htm");  // not the first of its kind: the index stays
  EXPECT_EQ(Found(names, "b.htm"), "B.htm");
  names.Remove("B.htm");
  EXPECT_EQ(Found(names, "b.htm"), "(none)");
  names.Add("b.HTM", DT_UNKNOWN);
  EXPECT_EQ(Found(names, "B.HTM"), "b.HTM");
  names.Add("B.HTM", DT_REG);  // comes first now
  EXPECT_EQ(Found(names, "b.htm"), "B.HTM");
  names.Remove("nothing");
  EXPECT_EQ(Listed(names), (std::vector<std::string>{"a.JPG", "B.HTM", "b.HTM"}));
}

TEST(KeptNames, ADirectoryReadWholeKeepsTheSameOrderAndIndex) {
  std::vector<weft_host::DirName> read;
  for (const char* name : {"b.htm", "a.JPG", "B.HTM", "tn_", "B.htm", "A.jpg"}) {
    read.push_back(weft_host::DirName{name, DT_REG});
  }
  weft_host::DirNames names(std::move(read));
  EXPECT_EQ(Listed(names), (std::vector<std::string>{"A.jpg", "a.JPG", "B.HTM", "B.htm", "b.htm", "tn_"}));
  EXPECT_EQ(Found(names, "a.jpg"), "A.jpg");
  EXPECT_EQ(Found(names, "b.HtM"), "B.HTM");
  names.Remove("B.HTM");
  EXPECT_EQ(Found(names, "b.htm"), "B.htm");
  names.Add("B.HT", DT_REG);
  EXPECT_EQ(Found(names, "b.ht"), "B.HT");
  EXPECT_EQ(names.FirstWithPrefix("TN")->name, "tn_");
}

TEST(KeptNames, NamesThatBeginWithAPrefixFollowTheirFirst) {
  weft_host::DirNames names;
  for (const char* name : {"tn_a_jpg.jpg", "TN_A_2_jpg.jpg", "tn_", "tn", "tn_b.jpg", "tn`", "a"}) {
    names.Add(name, DT_REG);
  }
  std::vector<std::string> found;
  for (auto it = names.FirstWithPrefix("TN_A"); it != names.end(); ++it) {
    if (!weft_host::HasUpperPrefix(it->name, "TN_A")) break;
    found.push_back(it->name);
  }
  EXPECT_EQ(found, (std::vector<std::string>{"TN_A_2_jpg.jpg", "tn_a_jpg.jpg"}));
  EXPECT_EQ(names.FirstWithPrefix("")->name, "a");
  EXPECT_EQ(names.FirstWithPrefix("TN_C")->name, "tn`");
  EXPECT_EQ(names.FirstWithPrefix("TN`A"), names.end());
  EXPECT_EQ(names.FirstWithPrefix("TN_")->name, "tn_");
}

// Thousands of names come and go, many of them alike but for case: every
// lookup agrees with the names kept, the smallest in bytes of a kind first,
// through the index's growth and the closing of the gaps names leave.
TEST(KeptNames, ManyChangesAgreeWithTheNamesKept) {
  weft_host::DirNames names;
  std::set<std::string> kept;
  uint32_t seed = 12345;
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u, (seed >> 8) % 4096; };
  auto nameOf = [](uint32_t n) {
    std::string name = "img" + std::to_string(n % 1500) + ".jpg";
    for (size_t i = 0; i < name.size(); ++i) {
      if (n & (1u << (12 + i % 4))) name[i] = static_cast<char>(toupper(name[i]));
    }
    return name;
  };
  auto expected = [&kept](const std::string& name) {
    std::string best = "(none)";
    for (const std::string& k : kept) {
      if (strcasecmp(k.c_str(), name.c_str()) == 0 && (best == "(none)" || k < best)) best = k;
    }
    return best;
  };
  for (int step = 0; step < 20000; ++step) {
    uint32_t n = next() | (next() << 12);
    std::string name = nameOf(n);
    if (n & (1u << 20)) {
      names.Remove(name);
      kept.erase(name);
    } else {
      names.Add(name, DT_REG);
      kept.insert(name);
    }
    if (step % 97 == 0) {
      std::string probe = nameOf(next() | (next() << 12));
      ASSERT_EQ(Found(names, probe.c_str()), expected(probe)) << "step " << step;
    }
  }
  ASSERT_EQ(names.size(), kept.size());
  for (uint32_t n = 0; n < 1500; ++n) {
    std::string probe = "IMG" + std::to_string(n) + ".JPG";
    ASSERT_EQ(Found(names, probe.c_str()), expected(probe)) << probe;
  }
  // The same names read whole give the same index.
  std::vector<weft_host::DirName> read;
  for (const std::string& k : kept) read.push_back(weft_host::DirName{k, DT_REG});
  weft_host::DirNames whole(std::move(read));
  for (uint32_t n = 0; n < 1500; ++n) {
    std::string probe = "img" + std::to_string(n) + ".jpg";
    ASSERT_EQ(Found(whole, probe.c_str()), expected(probe)) << probe;
  }
}

}  // namespace
