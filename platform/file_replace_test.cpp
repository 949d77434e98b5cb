#include "platform/file_replace.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/attributes.h"
#include "platform/errors.h"
#include "platform/testing/test_support.h"

namespace {

struct stat StatOf(const std::string& host) {
  struct stat st = {};
  EXPECT_EQ(lstat(host.c_str(), &st), 0) << host;
  return st;
}

// Writes `text` as the new version of `target` through the replace step.
bool Rewrite(const char* temp, const char* target, const char* text) {
  FILE* file = CreateReplacement(temp, "w");
  if (!file) return false;
  fputs(text, file);
  if (fclose(file) != 0) return false;
  return ReplaceFile(temp, target);
}

TEST(ReplaceFile, KeepsTheNewDataUnderTheOldName) {
  TempDrive drive;
  drive.Write("Index.htm", "old");
  drive.Write("index.tmp", "new");
  chmod(drive.Host("Index.htm").c_str(), 0640);
  ASSERT_TRUE(ReplaceFile("C:\\index.tmp", "C:\\INDEX.HTM"));
  EXPECT_EQ(drive.Files(), std::vector<std::string>{"Index.htm"});
  EXPECT_EQ(drive.Read("Index.htm"), "new");
  EXPECT_EQ(StatOf(drive.Host("Index.htm")).st_mode & 07777, 0640u);
  // A missing target is simply created; a missing finished file changes nothing.
  drive.Write("b.tmp", "b");
  ASSERT_TRUE(ReplaceFile("C:\\b.tmp", "C:\\b.htm"));
  EXPECT_EQ(drive.Read("b.htm"), "b");
  EXPECT_FALSE(ReplaceFile("C:\\gone.tmp", "C:\\b.htm"));
  EXPECT_EQ(drive.Read("b.htm"), "b");
}

TEST(ReplaceFile, NeverReplacesReadOnlyFilesOrDirectories) {
  TempDrive drive;
  drive.Write("locked.htm", "keep");
  chmod(drive.Host("locked.htm").c_str(), 0444);
  drive.MakeDir("dir.htm");
  for (const char* target : {"C:\\locked.htm", "C:\\dir.htm"}) {
    drive.Write("t.tmp", "new");
    EXPECT_FALSE(ReplaceFile("C:\\t.tmp", target)) << target;
    EXPECT_STREQ(LastErrorText(), "Access is denied.");
    EXPECT_EQ(drive.Read("t.tmp"), "new");
  }
  EXPECT_EQ(drive.Read("locked.htm"), "keep");
}

// A page reached through a symbolic link: the page it names is replaced, the
// link stays a link, and the page keeps its own mode (the link's 0777 is no
// mode of any file).
TEST(ReplaceFile, FollowsSymbolicLinksAndKeepsThem) {
  TempDrive drive;
  drive.Write("real/page.htm", "old");
  chmod(drive.Host("real/page.htm").c_str(), 0604);
  drive.MakeDir("site");
  ASSERT_EQ(symlink("../real/page.htm", drive.Host("site/page.htm").c_str()), 0);
  ASSERT_TRUE(Rewrite("C:\\site\\TEMP.$$$", "C:\\site\\page.htm", "new"));
  EXPECT_TRUE(S_ISLNK(StatOf(drive.Host("site/page.htm")).st_mode));
  EXPECT_EQ(drive.Read("real/page.htm"), "new");
  EXPECT_EQ(StatOf(drive.Host("real/page.htm")).st_mode & 07777, 0604u);
  EXPECT_EQ(drive.Files(), (std::vector<std::string>{"real/page.htm", "site/page.htm"}));

  // A link that leads nowhere is no file to replace.
  ASSERT_EQ(symlink("missing.htm", drive.Host("site/dangling.htm").c_str()), 0);
  EXPECT_FALSE(Rewrite("C:\\site\\TEMP.$$$", "C:\\site\\dangling.htm", "x"));
  EXPECT_TRUE(S_ISLNK(StatOf(drive.Host("site/dangling.htm")).st_mode));
  EXPECT_FALSE(drive.Exists("site/missing.htm"));
}

// Every name of a hard-linked page shows the new version: the content is
// written into the page's own inode.
TEST(ReplaceFile, HardLinkedFilesKeepAllTheirNames) {
  TempDrive drive;
  drive.Write("a/page.htm", "the old version, longer than the new");
  drive.MakeDir("b");
  ASSERT_EQ(link(drive.Host("a/page.htm").c_str(), drive.Host("b/page.htm").c_str()), 0);
  ino_t inode = StatOf(drive.Host("a/page.htm")).st_ino;
  ASSERT_TRUE(Rewrite("C:\\a\\temp.$$$", "C:\\a\\page.htm", "new"));
  EXPECT_EQ(drive.Read("a/page.htm"), "new");
  EXPECT_EQ(drive.Read("b/page.htm"), "new");
  EXPECT_EQ(StatOf(drive.Host("b/page.htm")).st_ino, inode);
  EXPECT_EQ(StatOf(drive.Host("b/page.htm")).st_nlink, 2u);
  EXPECT_EQ(drive.Files(), (std::vector<std::string>{"a/page.htm", "b/page.htm"}));
}

TEST(ReplaceFile, CarriesOwnerAndHiddenFlag) {
  if (geteuid() != 0) GTEST_SKIP() << "giving a file away needs root";
  TempDrive drive;
  drive.Write("page.htm", "old");
  ASSERT_EQ(chown(drive.Host("page.htm").c_str(), 4321, 4322), 0);
  chmod(drive.Host("page.htm").c_str(), 0660);
  ASSERT_TRUE(SetAttributes("C:\\page.htm", kAttrHidden));
  ASSERT_TRUE(Rewrite("C:\\temp.$$$", "C:\\page.htm", "new"));
  struct stat st = StatOf(drive.Host("page.htm"));
  EXPECT_EQ(st.st_uid, 4321u);
  EXPECT_EQ(st.st_gid, 4322u);
  EXPECT_EQ(st.st_mode & 07777, 0660u);
  EXPECT_TRUE(GetAttributes("C:\\page.htm") & kAttrHidden);
}

// A user who may write a page of another owner and group, but belongs to
// neither: the new page is the user's, and the old group's permissions are
// not handed to the user's own group.
TEST(ReplaceFile, NeverWidensTheModeForAnotherGroup) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
  TempDrive drive;
  drive.Write("page.htm", "old");
  chmod(drive.Host().c_str(), 0777);
  ASSERT_EQ(chown(drive.Host("page.htm").c_str(), 4321, 4322), 0);
  chmod(drive.Host("page.htm").c_str(), 0666);
  pid_t child = fork();
  if (child == 0) {
    bool ok = setgid(65534) == 0 && setuid(65534) == 0 && Rewrite("C:\\temp.$$$", "C:\\page.htm", "new");
    _exit(ok ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_EQ(status, 0);
  EXPECT_EQ(drive.Read("page.htm"), "new");
  struct stat st = StatOf(drive.Host("page.htm"));
  EXPECT_EQ(st.st_uid, 65534u);
  EXPECT_EQ(st.st_mode & 07777, 0606u);
}

TEST(CreateReplacement, ReusesALeftoverAndRefusesOneInUse) {
  TempDrive drive;
  drive.Write("page.htm", "old");
  // What a killed run leaves: a finished or half-written file, even one
  // already given a read-only mode.
  drive.Write("TEMP.$$$", "half");
  chmod(drive.Host("TEMP.$$$").c_str(), 0444);
  ASSERT_TRUE(Rewrite("C:\\temp.$$$", "C:\\page.htm", "new"));
  EXPECT_EQ(drive.Read("page.htm"), "new");
  EXPECT_EQ(drive.Files(), std::vector<std::string>{"page.htm"});

  // Another program writing its new version under the same name.
  drive.Write("temp.$$$", "theirs");
  int theirs = open(drive.Host("temp.$$$").c_str(), O_RDONLY);
  ASSERT_GE(theirs, 0);
  ASSERT_EQ(flock(theirs, LOCK_EX), 0);
  EXPECT_EQ(CreateReplacement("C:\\temp.$$$", "w"), nullptr);
  EXPECT_STREQ(LastErrorText(),
               "The process cannot access the file because it is being used by another process.");
  EXPECT_EQ(drive.Read("temp.$$$"), "theirs");
  close(theirs);

  // A link of the temporary name is removed, never followed.
  DiscardReplacement("C:\\temp.$$$");
  ASSERT_EQ(symlink("page.htm", drive.Host("temp.$$$").c_str()), 0);
  FILE* file = CreateReplacement("C:\\temp.$$$", "wb");
  ASSERT_NE(file, nullptr);
  fclose(file);
  EXPECT_EQ(drive.Read("page.htm"), "new");
  EXPECT_FALSE(S_ISLNK(StatOf(drive.Host("temp.$$$")).st_mode));
  EXPECT_TRUE(DiscardReplacement("C:\\temp.$$$"));
  EXPECT_EQ(drive.Files(), std::vector<std::string>{"page.htm"});
  EXPECT_EQ(CreateReplacement("C:\\temp.$$$", "r"), nullptr);
}

// While this process writes the new version, the name is held: another
// process that wants the same temporary file is turned away.
TEST(CreateReplacement, HoldsTheNameUntilTheReplace) {
  TempDrive drive;
  FILE* file = CreateReplacement("C:\\temp.$$$", "w");
  ASSERT_NE(file, nullptr);
  fputs("mine", file);
  fclose(file);
  pid_t child = fork();
  if (child == 0) _exit(CreateReplacement("C:\\temp.$$$", "w") == nullptr ? 0 : 1);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_EQ(status, 0);
  ASSERT_TRUE(ReplaceFile("C:\\temp.$$$", "C:\\page.htm"));
  EXPECT_EQ(drive.Read("page.htm"), "mine");
}

}  // namespace

namespace {

// Another program that took the temporary name over (between this one's
// create and lock) has its file left alone: it is never put in place for
// this program's new version.
TEST(ReplaceFile, NeverPutsAnotherProgramsFileInPlace) {
  TempDrive drive;
  drive.Write("page.htm", "old");
  FILE* file = CreateReplacement("C:\\temp.$$$", "w");
  ASSERT_NE(file, nullptr);
  fputs("mine", file);
  fclose(file);
  unlink(drive.Host("temp.$$$").c_str());
  drive.Write("temp.$$$", "theirs, half written");
  EXPECT_FALSE(ReplaceFile("C:\\temp.$$$", "C:\\page.htm"));
  EXPECT_STREQ(LastErrorText(),
               "The process cannot access the file because it is being used by another process.");
  EXPECT_EQ(drive.Read("page.htm"), "old");
  EXPECT_EQ(drive.Read("temp.$$$"), "theirs, half written");
}

}  // namespace
