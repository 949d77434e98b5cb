#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "platform/attributes.h"
#include "platform/errors.h"
#include "platform/file_replace.h"
#include "platform/files.h"
#include "platform/filetime.h"
#include "platform/listing.h"
#include "platform/testing/test_support.h"

namespace {

TEST(Attributes, DirectoryMissingAndPlainFile) {
  TempDrive drive;
  drive.Write("dir/file.txt", "x");
  EXPECT_EQ(GetAttributes("C:\\dir"), kAttrDirectory);
  EXPECT_EQ(GetAttributes("C:\\"), kAttrDirectory);
  EXPECT_EQ(GetAttributes("C:\\DIR\\FILE.TXT"), kAttrArchive);
  EXPECT_EQ(GetAttributes("C:\\dir\\none"), kInvalidAttributes);
  EXPECT_EQ(GetAttributes("Q:\\dir"), kInvalidAttributes);
  EXPECT_TRUE(PathExists("C:\\dir"));
  EXPECT_FALSE(PathExists("C:\\dir\\none"));
}

TEST(Attributes, HiddenByLeadingDotOrByRecord) {
  TempDrive drive;
  drive.Write(".profile", "x");
  drive.Write("plain.txt", "x");
  drive.MakeDir(".dir");
  EXPECT_EQ(GetAttributes("C:\\.profile"), kAttrHidden | kAttrArchive);
  EXPECT_EQ(GetAttributes("C:\\.dir"), kAttrHidden | kAttrDirectory);
  EXPECT_EQ(GetAttributes("C:\\.dir\\."), kAttrHidden | kAttrDirectory);
  // Clearing hidden on a dot name leaves the dot rule in force.
  ASSERT_TRUE(SetAttributes("C:\\.profile", kAttrArchive));
  EXPECT_EQ(GetAttributes("C:\\.profile"), kAttrHidden | kAttrArchive);

  ASSERT_TRUE(SetAttributes("C:\\plain.txt", kAttrHidden | kAttrArchive));
  EXPECT_EQ(GetAttributes("C:\\plain.txt"), kAttrHidden | kAttrArchive);
  FindData data;
  FindState* state = FindFirst("C:\\plain.*", &data);
  ASSERT_NE(state, nullptr);
  EXPECT_EQ(data.attributes, kAttrHidden | kAttrArchive);
  FindClose(state);
  ASSERT_TRUE(SetAttributes("C:\\plain.txt", kAttrArchive));
  EXPECT_EQ(GetAttributes("C:\\plain.txt"), kAttrArchive);

  ASSERT_TRUE(SetAttributes("C:\\.dir", kAttrHidden | kAttrDirectory));
  drive.MakeDir("shown");
  ASSERT_TRUE(SetAttributes("C:\\shown", kAttrHidden));
  EXPECT_EQ(GetAttributes("C:\\shown"), kAttrHidden | kAttrDirectory);
}

TEST(Attributes, DriveRootIsNeverHiddenByItsHostName) {
  TempDrive drive;
  drive.MakeDir(".site/.inner");
  setenv("WEFTDRIVES", ("C=" + drive.Host(".site")).c_str(), 1);
  EXPECT_EQ(GetAttributes("C:\\"), kAttrDirectory);
  EXPECT_EQ(GetAttributes("C:\\.inner"), kAttrDirectory | kAttrHidden);
}

TEST(Attributes, ReadOnlyFromOwnerWritePermission) {
  TempDrive drive;
  drive.Write("locked.txt", "keep");
  drive.Write("other.txt", "other");
  ASSERT_TRUE(SetAttributes("C:\\locked.txt", kAttrReadOnly | kAttrArchive));
  EXPECT_EQ(GetAttributes("C:\\locked.txt"), kAttrReadOnly | kAttrArchive);
  struct stat st;
  ASSERT_EQ(stat(drive.Host("locked.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & S_IWUSR, 0u);

  // Whatever the process may do on the host, a read-only file stays as it is.
  for (const char* mode : {"w", "wb", "a", "r+", "w+"}) {
    EXPECT_EQ(OpenFile("C:\\locked.txt", mode), nullptr) << mode;
  }
  EXPECT_FALSE(DeleteFile("C:\\locked.txt"));
  EXPECT_STREQ(LastErrorText(), "Access is denied.");
  EXPECT_FALSE(MoveFile("C:\\other.txt", "C:\\locked.txt", true));
  EXPECT_FALSE(CopyFile("C:\\other.txt", "C:\\locked.txt", false));
  EXPECT_FALSE(ReplaceFile("C:\\other.txt", "C:\\locked.txt"));
  EXPECT_EQ(drive.Read("locked.txt"), "keep");
  EXPECT_EQ(drive.Read("other.txt"), "other");
  FILE* file = OpenFile("C:\\locked.txt", "r");
  ASSERT_NE(file, nullptr);
  fclose(file);

  ASSERT_TRUE(SetAttributes("C:\\locked.txt", kAttrArchive));
  EXPECT_EQ(GetAttributes("C:\\locked.txt"), kAttrArchive);
  EXPECT_TRUE(DeleteFile("C:\\locked.txt"));

  chmod(drive.Host("other.txt").c_str(), 0444);
  EXPECT_EQ(GetAttributes("C:\\other.txt"), kAttrReadOnly | kAttrArchive);
}

TEST(Attributes, ArchiveSetUntilClearedAndAgainAfterAChange) {
  TempDrive drive;
  drive.Write("page.htm", "one");
  EXPECT_EQ(GetAttributes("C:\\page.htm"), kAttrArchive);
  ASSERT_TRUE(SetAttributes("C:\\page.htm", kAttrNormal));
  EXPECT_EQ(GetAttributes("C:\\page.htm"), kAttrNormal);
  ASSERT_TRUE(SetAttributes("C:\\page.htm", kAttrReadOnly));
  EXPECT_EQ(GetAttributes("C:\\page.htm"), kAttrReadOnly);
  ASSERT_TRUE(SetAttributes("C:\\page.htm", 0));
  EXPECT_EQ(GetAttributes("C:\\page.htm"), kAttrNormal);

  // A write changes the size: archive again.
  FILE* file = OpenFile("C:\\page.htm", "a");
  ASSERT_NE(file, nullptr);
  fputs(" two", file);
  fclose(file);
  EXPECT_EQ(GetAttributes("C:\\page.htm"), kAttrArchive);

  // A new modification time alone also counts as a change.
  ASSERT_TRUE(SetAttributes("C:\\page.htm", kAttrNormal));
  FileTime later = UnixToFileTime(2000000000);
  ASSERT_TRUE(SetFileTimes("C:\\page.htm", nullptr, nullptr, &later));
  EXPECT_EQ(GetAttributes("C:\\page.htm"), kAttrArchive);

  // Setting the bit drops the stamp; the hidden flag is kept apart from it.
  ASSERT_TRUE(SetAttributes("C:\\page.htm", kAttrHidden));
  EXPECT_EQ(GetAttributes("C:\\page.htm"), kAttrHidden);
  ASSERT_TRUE(SetAttributes("C:\\page.htm", kAttrHidden | kAttrArchive));
  EXPECT_EQ(GetAttributes("C:\\page.htm"), kAttrHidden | kAttrArchive);
  EXPECT_FALSE(SetAttributes("C:\\missing.htm", kAttrArchive));
}

// Runs `checks` in a child with its own mount namespace and a file system
// without extended attributes mounted at `folder`. Returns the child's exit
// code, or -1 when such a mount cannot be made here.
int OnFileSystemWithoutRecords(const std::string& folder, int (*checks)()) {
  pid_t pid = fork();
  if (pid == 0) {
    if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        mount("none", folder.c_str(), "ramfs", 0, nullptr) != 0) {
      _exit(77);
    }
    _exit(checks());
  }
  int status = 0;
  waitpid(pid, &status, 0);
  if (!WIFEXITED(status)) return 128;
  return WEXITSTATUS(status) == 77 ? -1 : WEXITSTATUS(status);
}

int CheckWithoutRecords() {
  int failures = 0;
  auto check = [&failures](bool ok, const char* what) {
    if (!ok) {
      fprintf(stderr, "failed: %s\n", what);
      ++failures;
    }
  };
  FILE* file = OpenFile("C:\\plain\\a.txt", "w");
  check(file != nullptr, "create a file");
  if (file) fclose(file);
  file = OpenFile("C:\\plain\\.dot", "w");
  if (file) fclose(file);
  check(GetAttributes("C:\\plain\\a.txt") == kAttrArchive, "archive always set");
  check(GetAttributes("C:\\plain\\.dot") == (kAttrHidden | kAttrArchive), "hidden by the dot rule");
  check(!SetAttributes("C:\\plain\\a.txt", kAttrHidden | kAttrArchive), "hidden cannot be stored");
  check(std::string(LastErrorText()).find("attributes") != std::string::npos, "clear error text");
  check(!SetAttributes("C:\\plain\\a.txt", kAttrNormal), "a cleared archive cannot be stored");
  check(GetAttributes("C:\\plain\\a.txt") == kAttrArchive, "nothing changed by a failed call");
  check(SetAttributes("C:\\plain\\a.txt", kAttrArchive | kAttrReadOnly), "read-only needs no record");
  check(GetAttributes("C:\\plain\\a.txt") == (kAttrArchive | kAttrReadOnly), "read-only set");
  check(SetAttributes("C:\\plain\\.dot", kAttrHidden | kAttrArchive), "hidden dot name needs no record");
  return failures;
}

TEST(Attributes, FileSystemWithoutExtendedAttributes) {
  TempDrive drive;
  drive.MakeDir("plain");
  int result = OnFileSystemWithoutRecords(drive.Host("plain"), CheckWithoutRecords);
  if (result < 0) GTEST_SKIP() << "no ramfs mount possible here";
  EXPECT_EQ(result, 0);
}

}  // namespace
