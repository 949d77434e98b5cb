#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/attributes.h"
#include "platform/drives.h"
#include "platform/drives_host.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/testing/test_support.h"

namespace {

struct FullPathCase {
  const char* path;
  const char* expected;  // "" when the call must fail
};

// Current directory C:\sub\dir for every case.
const FullPathCase kFullPathCases[] = {
    {"x.htm", "C:\\sub\\dir\\x.htm"},
    {".\\x", "C:\\sub\\dir\\x"},
    {"..\\x", "C:\\sub\\x"},
    {"..\\..\\..\\..\\x", "C:\\x"},
    {"C:\\..\\..", "C:\\"},
    {"\\x\\y", "C:\\x\\y"},
    {"/x/y", "C:\\x\\y"},
    {"a/b\\c", "C:\\sub\\dir\\a\\b\\c"},
    {"a//b", "C:\\sub\\dir\\a\\b"},
    {"C:x", "C:\\sub\\dir\\x"},
    {"c:\\a", "C:\\a"},
    {"C:\\a\\.\\b\\..\\c", "C:\\a\\c"},
    {"C:\\a\\", "C:\\a\\"},
    {"C:\\a\\.", "C:\\a"},
    {"C:\\", "C:\\"},
    {"C:", "C:\\sub\\dir"},
    {".", "C:\\sub\\dir"},
    {"..", "C:\\sub"},
    {"*.htm", "C:\\sub\\dir\\*.htm"},
    {"D:\\x", ""},
    {"q:x", ""},
    {"", ""},
};

TEST(FullPath, ResolvesAgainstCurrentDirectory) {
  TempDrive drive;
  drive.MakeDir("sub/dir");
  drive.Chdir("sub/dir");
  for (const auto& c : kFullPathCases) {
    char buffer[kMaxPath + 1];
    size_t length = GetFullPath(c.path, buffer, sizeof buffer);
    EXPECT_EQ(std::string(length ? buffer : ""), c.expected) << c.path;
    EXPECT_EQ(length, strlen(c.expected)) << c.path;
    EXPECT_EQ(GetFullPathString(c.path), c.expected) << c.path;
  }
}

TEST(FullPath, FailsPast260Characters) {
  TempDrive drive;
  std::string fits = "C:\\" + std::string(257, 'a');  // 260 characters
  std::string over = fits + "b";
  char buffer[400];
  EXPECT_EQ(GetFullPath(fits.c_str(), buffer, sizeof buffer), 260u);
  EXPECT_EQ(GetFullPath(over.c_str(), buffer, sizeof buffer), 0u);
  EXPECT_STRNE(LastErrorText(), "");
  // A long text whose '..' brings it back within the limit is fine.
  std::string back = "C:\\" + std::string(250, 'a') + "\\" + std::string(20, 'b') + "\\..\\c";
  EXPECT_EQ(GetFullPathString(back.c_str()), "C:\\" + std::string(250, 'a') + "\\c");
}

TEST(FullPath, FailsWhenBufferIsTooSmall) {
  TempDrive drive;
  char buffer[6] = "xxxxx";
  EXPECT_EQ(GetFullPath("C:\\abc", buffer, sizeof buffer), 0u);
  EXPECT_EQ(GetFullPath("C:\\ab", buffer, sizeof buffer), 5u);
  EXPECT_STREQ(buffer, "C:\\ab");
}

TEST(Drives, DriveRelativePathOnAnotherDriveStartsAtItsRoot) {
  TempDrive drive;
  drive.MakeDir("c/sub");
  drive.MakeDir("d/photos");
  setenv("WEFTDRIVES", ("C=" + drive.Host("c") + ";d=" + drive.Host("d")).c_str(), 1);
  drive.Chdir("c/sub");
  EXPECT_EQ(GetFullPathString("D:x"), "D:\\x");
  EXPECT_EQ(GetFullPathString("C:x"), "C:\\sub\\x");
  EXPECT_EQ(GetFullPathString("\\x"), "C:\\x");
  drive.Chdir("d/photos");
  EXPECT_EQ(GetFullPathString("\\x"), "D:\\x");
  EXPECT_EQ(GetFullPathString("D:x"), "D:\\photos\\x");
  EXPECT_EQ(GetFullPathString("C:x"), "C:\\x");
}

TEST(Drives, HostPathShownOnDriveWithLongestPrefix) {
  TempDrive drive;
  drive.MakeDir("photos/2001");
  const std::string root = drive.Host();
  setenv("WEFTDRIVES", ("C=" + root + ";D=" + root + "/photos/").c_str(), 1);
  struct Case {
    std::string host;
    const char* expected;
  } cases[] = {
      {root + "/photos/2001", "D:\\2001"},
      {root + "/photos", "D:\\"},
      {root + "/photosx/a", "C:\\photosx\\a"},
      {root + "/a//b/./c/../d", "C:\\a\\b\\d"},
      {root, "C:\\"},
      {"/", ""},
      {"/usr/bin", ""},
  };
  for (const auto& c : cases) {
    std::string path;
    bool ok = WindowsPath(c.host.c_str(), &path);
    EXPECT_EQ(ok, *c.expected != '\0') << c.host;
    if (ok) {
      EXPECT_EQ(path, c.expected) << c.host;
    }
  }
  std::string host;
  ASSERT_TRUE(HostPath("D:\\2001\\x.jpg", &host));
  EXPECT_EQ(host, root + "/photos/2001/x.jpg");
  EXPECT_FALSE(HostPath("E:\\x", &host));
}

TEST(Drives, MapIsReadOnEveryCall) {
  TempDrive drive;
  drive.MakeDir("one");
  drive.MakeDir("two");
  std::string path;
  setenv("WEFTDRIVES", ("C=" + drive.Host("one")).c_str(), 1);
  ASSERT_TRUE(WindowsPath(drive.Host("one/x").c_str(), &path));
  EXPECT_EQ(path, "C:\\x");
  EXPECT_FALSE(WindowsPath(drive.Host("two/x").c_str(), &path));
  setenv("WEFTDRIVES", ("C=" + drive.Host("two")).c_str(), 1);
  ASSERT_TRUE(WindowsPath(drive.Host("two/x").c_str(), &path));
  EXPECT_EQ(path, "C:\\x");
  unsetenv("WEFTDRIVES");
  ASSERT_TRUE(WindowsPath("/usr/lib", &path));
  EXPECT_EQ(path, "C:\\usr\\lib");
  EXPECT_EQ(GetFullPathString("\\etc"), "C:\\etc");
}

// The host's root, however a drive reaches it: mapped as "/", through a
// symbolic link, or by '..' in the drive's folder.
TEST(Drives, TellsWhichPathsAreTheHostRoot) {
  TempDrive drive;
  drive.MakeDir("site/photos");
  drive.Link("to-root", "/");
  setenv("WEFTDRIVES", ("C=/;D=" + drive.Host("site") + ";E=" + drive.Host("to-root") + ";F=" +
                        drive.Host("site") + "/../../../../../../../..").c_str(), 1);
  struct Case {
    const char* path;
    bool root;
  } cases[] = {
      {"C:\\", true},   {"C:\\.", true},      {"C:\\tmp\\..", true},
      {"C:\\tmp", false}, {"D:\\", false},    {"D:\\photos", false}, {"D:\\..", false},
      {"E:\\", true},   {"E:\\tmp", false},   {"F:\\", true},        {"Q:\\", false},
      {"", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsHostRoot(c.path), c.root) << c.path;
}

TEST(Drives, CurrentDirectoryOnNoDriveFailsRelativePaths) {
  TempDrive drive;
  drive.MakeDir("mapped");
  setenv("WEFTDRIVES", ("C=" + drive.Host("mapped")).c_str(), 1);
  char buffer[kMaxPath + 1];
  EXPECT_EQ(GetCurrentDir(buffer, sizeof buffer), 0u);
  EXPECT_EQ(GetFullPathString("x"), "");
  EXPECT_EQ(GetFullPathString("\\x"), "");
  EXPECT_EQ(GetFullPathString("C:\\x"), "C:\\x");
  EXPECT_EQ(GetFullPathString("C:x"), "C:\\x");
  EXPECT_FALSE(PathExists("x"));
}

TEST(CurrentDir, SetAndGetThroughTheDriveMap) {
  TempDrive drive;
  drive.MakeDir("Site/Pics");
  drive.Write("file.txt", "x");
  char buffer[kMaxPath + 1];
  ASSERT_EQ(GetCurrentDir(buffer, sizeof buffer), 3u);
  EXPECT_STREQ(buffer, "C:\\");
  ASSERT_TRUE(SetCurrentDir("site\\PICS"));
  GetCurrentDir(buffer, sizeof buffer);
  EXPECT_STREQ(buffer, "C:\\Site\\Pics");
  char* host = getcwd(nullptr, 0);
  EXPECT_EQ(std::string(host), drive.Host("Site/Pics"));
  free(host);
  ASSERT_TRUE(SetCurrentDir(".."));
  GetCurrentDir(buffer, sizeof buffer);
  EXPECT_STREQ(buffer, "C:\\Site");
  EXPECT_FALSE(SetCurrentDir("C:\\missing"));
  EXPECT_FALSE(SetCurrentDir("C:\\file.txt"));
  EXPECT_FALSE(SetCurrentDir("Q:\\"));
  GetCurrentDir(buffer, sizeof buffer);
  EXPECT_STREQ(buffer, "C:\\Site");
}

// The layer keeps the current directory it was told: relative paths resolve
// against it without asking the system each time, and a change made behind
// its back counts once it is told to forget.
TEST(CurrentDir, KeptUntilSetOrForgotten) {
  TempDrive drive;
  drive.MakeDir("one");
  drive.MakeDir("two");
  ASSERT_TRUE(SetCurrentDir("one"));
  EXPECT_EQ(GetFullPathString("a.txt"), "C:\\one\\a.txt");
  ASSERT_EQ(chdir(drive.Host("two").c_str()), 0);
  EXPECT_EQ(GetFullPathString("a.txt"), "C:\\one\\a.txt");
  ForgetCurrentDir();
  EXPECT_EQ(GetFullPathString("a.txt"), "C:\\two\\a.txt");
  ASSERT_TRUE(SetCurrentDir("..\\one"));
  EXPECT_EQ(GetFullPathString("..\\b.txt"), "C:\\b.txt");
  drive.Write("one/x.txt", "x");
  EXPECT_TRUE(PathExists("x.txt"));
}

// System calls name a file below the current directory from there, and
// every other file by its whole path; a folder whose name merely begins
// with the current one's is another folder.
TEST(CurrentDir, CallPathsBelowItAreRelative) {
  TempDrive drive;
  drive.MakeDir("site/album");
  drive.MakeDir("site/album2");
  drive.Write("site/album/a.htm", "a");
  drive.Write("site/album2/b.htm", "b");
  ASSERT_TRUE(SetCurrentDir("site\\album"));
  ASSERT_EQ(GetFullPathString("x"), "C:\\site\\album\\x");  // the layer knows it now
  const std::string album = drive.Host("site/album");
  struct Case {
    std::string host;
    std::string call;
  } cases[] = {
      {album + "/a.htm", "a.htm"},
      {album + "/thumbs/t.jpg", "thumbs/t.jpg"},
      {album, "."},
      {album + "/", album + "/"},
      {drive.Host("site/album2/b.htm"), drive.Host("site/album2/b.htm")},
      {drive.Host("site"), drive.Host("site")},
      {"/etc/hosts", "/etc/hosts"},
  };
  for (const Case& c : cases) EXPECT_EQ(std::string(weft_host::CallPath(c.host)), c.call) << c.host;
  // Until the layer knows the directory again after a change, whole paths.
  ASSERT_TRUE(SetCurrentDir("..\\album2"));
  const std::string b = drive.Host("site/album2/b.htm");
  EXPECT_EQ(std::string(weft_host::CallPath(b)), b);
  EXPECT_TRUE(PathExists("b.htm"));
  EXPECT_EQ(std::string(weft_host::CallPath(b)), "b.htm");
  EXPECT_FALSE(PathExists("a.htm"));
  EXPECT_TRUE(PathExists("..\\album\\a.htm"));
}

TEST(LetterCase, LookupTriesExactNameFirstThenIgnoresCase) {
  TempDrive drive;
  drive.Write("Dir/Sub/File.HTM", "x");
  drive.Write("both/a.txt", "lower");
  drive.Write("both/A.TXT", "upper");
  struct Case {
    const char* path;
    const char* host;  // relative to the drive
  } cases[] = {
      {"C:\\dir\\SUB\\file.htm", "Dir/Sub/File.HTM"},
      {"C:\\Dir\\Sub\\File.HTM", "Dir/Sub/File.HTM"},
      {"c:/DIR/sub", "Dir/Sub"},
      {"C:\\DIR\\new\\x.htm", "Dir/new/x.htm"},
      {"C:\\missing\\Sub", "missing/Sub"},
      {"C:\\both\\a.txt", "both/a.txt"},
      {"C:\\both\\A.TXT", "both/A.TXT"},
      {"C:\\both\\a.TXT", "both/A.TXT"},  // the smaller of two by bytes
  };
  for (const auto& c : cases) {
    std::string host;
    ASSERT_TRUE(HostPath(c.path, &host)) << c.path;
    EXPECT_EQ(host, drive.Host(c.host)) << c.path;
  }
  std::string host;
  EXPECT_FALSE(HostPath("C:\\bad|name", &host));
  EXPECT_FALSE(HostPath("C:\\a*", &host));
}

TEST(LetterCase, CreatingAFileReusesTheExistingName) {
  TempDrive drive;
  drive.Write("Pages/Index.HTM", "old");
  FILE* file = OpenFile("C:\\PAGES\\index.htm", "w");
  ASSERT_NE(file, nullptr);
  fputs("new", file);
  fclose(file);
  EXPECT_EQ(drive.Files(), std::vector<std::string>{"Pages/Index.HTM"});
  EXPECT_EQ(drive.Read("Pages/Index.HTM"), "new");
  EXPECT_FALSE(CreateDir("C:\\pages"));
  EXPECT_TRUE(PathExists("c:\\pages\\INDEX.HTM"));
}

}  // namespace
