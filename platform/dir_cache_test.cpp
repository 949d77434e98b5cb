// Lookups and listings keep the names of directories between calls; every
// change to a directory must still be seen by the next call, whoever made it.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "platform/files.h"
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

TEST(DirCache, LookupsAfterAChangeSeeIt) {
  const ChangeCase cases[] = {
      {"created", false, {"New.htm", "Old.htm"}},
      {"created", true, {"New.htm", "Old.htm"}},
      {"renamed", false, {"New.htm"}},
      {"renamed", true, {"New.htm"}},
      {"deleted", false, {}},
      {"deleted", true, {}},
  };
  for (const ChangeCase& c : cases) {
    std::string label = std::string(c.label) + (c.otherProcess ? " by another process" : "");
    TempDrive drive;
    drive.Write("dir/Old.htm", "x");
    SetOldTime(drive.Host("dir"));
    ExpectNames(drive, {"Old.htm"}, label + ", before");
    std::string name = c.label;
    std::function<bool()> change;
    if (name == "created" && c.otherProcess) {
      std::string host = drive.Host("dir/New.htm");
      change = [host] { return creat(host.c_str(), 0644) >= 0; };
    } else if (name == "created") {
      change = [] {
        FILE* file = OpenFile("C:\\dir\\New.htm", "w");
        return file && fclose(file) == 0;
      };
    } else if (name == "renamed" && c.otherProcess) {
      std::string from = drive.Host("dir/Old.htm"), to = drive.Host("dir/New.htm");
      change = [from, to] { return rename(from.c_str(), to.c_str()) == 0; };
    } else if (name == "renamed") {
      change = [] { return MoveFile("C:\\dir\\old.htm", "C:\\dir\\New.htm"); };
    } else if (c.otherProcess) {
      std::string host = drive.Host("dir/Old.htm");
      change = [host] { return unlink(host.c_str()) == 0; };
    } else {
      change = [] { return DeleteFile("C:\\DIR\\OLD.HTM"); };
    }
    if (c.otherProcess) {
      InOtherProcess(change);
    } else {
      ASSERT_TRUE(change()) << label;
    }
    ExpectNames(drive, c.after, label);
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
  TempDrive drive;
  drive.Write("dir/Old.htm", "x");
  SetOldTime(drive.Host("dir"));
  ExpectNames(drive, {"Old.htm"}, "before");
  InOtherProcess([&] {
    return rename(drive.Host("dir").c_str(), drive.Host("gone").c_str()) == 0 &&
           mkdir(drive.Host("dir").c_str(), 0755) == 0 &&
           creat(drive.Host("dir/New.htm").c_str(), 0644) >= 0;
  });
  SetOldTime(drive.Host("dir"));
  ExpectNames(drive, {"New.htm"}, "after");
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

}  // namespace
