#include <gtest/gtest.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/attributes.h"
#include "platform/errors.h"
#include "platform/file_replace.h"
#include "platform/files.h"
#include "platform/files_host.h"
#include "platform/filetime.h"
#include "platform/listing.h"
#include "platform/testing/test_support.h"

namespace {

std::string ReadStream(FILE* file) {
  std::string text;
  int c;
  while ((c = fgetc(file)) != EOF) text += static_cast<char>(c);
  return text;
}

struct TextModeCase {
  const char* content;
  const char* text;  // as read in text mode
};

const TextModeCase kTextModeCases[] = {
    {"a\r\nb\r\n", "a\nb\n"},
    {"a\rb\r", "a\rb\r"},  // a CR that is not before an LF stays
    {"a\r\r\nb", "a\r\nb"},
    {"\r\n\r\n", "\n\n"},
    {"plain\n", "plain\n"},
    {"", ""},
};

TEST(TextMode, ReadingDropsCarriageReturnBeforeLineFeed) {
  TempDrive drive;
  for (const auto& c : kTextModeCases) {
    drive.Write("t.txt", c.content);
    for (const char* mode : {"r", "rt"}) {
      FILE* file = OpenFile("C:\\t.txt", mode);
      ASSERT_NE(file, nullptr);
      EXPECT_EQ(ReadStream(file), c.text) << c.content;
      fclose(file);
    }
    FILE* file = OpenFile("C:\\t.txt", "rb");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(ReadStream(file), c.content);
    fclose(file);
  }
}

TEST(TextMode, TellAndSeekCountTheCharactersRead) {
  TempDrive drive;
  drive.Write("t.txt", "ab\r\ncd\r\nef");
  FILE* file = OpenFile("C:\\t.txt", "r");
  ASSERT_NE(file, nullptr);
  char line[16];
  ASSERT_NE(fgets(line, sizeof line, file), nullptr);
  EXPECT_STREQ(line, "ab\n");
  long afterFirst = ftell(file);
  EXPECT_EQ(afterFirst, 3);
  ASSERT_NE(fgets(line, sizeof line, file), nullptr);
  EXPECT_STREQ(line, "cd\n");
  ASSERT_EQ(fseek(file, afterFirst, SEEK_SET), 0);
  ASSERT_NE(fgets(line, sizeof line, file), nullptr);
  EXPECT_STREQ(line, "cd\n");
  ASSERT_EQ(fseek(file, 0, SEEK_END), 0);
  EXPECT_EQ(ftell(file), 8);
  ASSERT_EQ(fseek(file, -2, SEEK_CUR), 0);
  EXPECT_EQ(ReadStream(file), "ef");
  rewind(file);
  EXPECT_EQ(ReadStream(file), "ab\ncd\nef");
  EXPECT_EQ(fputc('x', file), EOF);  // a reading stream takes no writes
  fclose(file);
}

TEST(TextMode, LongTextReadsAndSeeksPastTheStreamBuffer) {
  TempDrive drive;
  std::string content, text;
  for (int line = 0; line < 300; ++line) {
    std::string words = "line " + std::to_string(line) + " of the text";
    content += words + "\r\n";
    text += words + "\n";
  }
  drive.Write("long.txt", content);
  FILE* file = OpenFile("C:\\long.txt", "r");
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(ReadStream(file), text);
  for (long position : {0L, 511L, 512L, 513L, 2000L, static_cast<long>(text.size())}) {
    ASSERT_EQ(fseek(file, position, SEEK_SET), 0) << position;
    EXPECT_EQ(ftell(file), position);
    EXPECT_EQ(ReadStream(file), text.substr(static_cast<size_t>(position))) << position;
  }
  fclose(file);
}

TEST(TextMode, WritingNeverAddsCarriageReturn) {
  TempDrive drive;
  for (const char* mode : {"w", "wt", "wb"}) {
    FILE* file = OpenFile("C:\\out.txt", mode);
    ASSERT_NE(file, nullptr);
    fputs("a\nb\r\n", file);
    fclose(file);
    EXPECT_EQ(drive.Read("out.txt"), "a\nb\r\n") << mode;
  }
  FILE* file = OpenFile("C:\\out.txt", "a");
  ASSERT_NE(file, nullptr);
  fputs("c\n", file);
  fclose(file);
  EXPECT_EQ(drive.Read("out.txt"), "a\nb\r\nc\n");
}

TEST(OpenFile, RefusesDirectoriesAndSpecialFilesWithoutBlocking) {
  TempDrive drive;
  drive.MakeDir("dir");
  ASSERT_EQ(mkfifo(drive.Host("pipe").c_str(), 0666), 0);
  for (const char* mode : {"r", "rb", "w", "a", "r+"}) {
    EXPECT_EQ(OpenFile("C:\\dir", mode), nullptr) << mode;
    EXPECT_EQ(OpenFile("C:\\pipe", mode), nullptr) << mode;
  }
  std::string text;
  EXPECT_FALSE(ReadWholeFile("C:\\pipe", &text));
  EXPECT_FALSE(ReadWholeFile("C:\\dir", &text));
  EXPECT_FALSE(CopyFile("C:\\pipe", "C:\\copy", false));
  EXPECT_FALSE(DeleteFile("C:\\dir"));
  EXPECT_TRUE(PathExists("C:\\dir"));
  EXPECT_EQ(OpenFile("C:\\missing.txt", "r"), nullptr);
  EXPECT_EQ(OpenFile("C:\\nodir\\new.txt", "w"), nullptr);
  EXPECT_EQ(OpenFile("Q:\\x.txt", "w"), nullptr);
  EXPECT_EQ(OpenFile("C:\\x.txt", "z"), nullptr);
  EXPECT_EQ(OpenFile("C:\\bad?name", "w"), nullptr);
  EXPECT_EQ(drive.Files(), std::vector<std::string>{"pipe"});
}

TEST(Files, TextLinesSplitAtLineFeeds) {
  using Lines = std::vector<std::string>;
  struct Case {
    const char* text;
    Lines lines;
  } cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\n", {"a"}},
      {"a\r\n\nb\r", {"a", "", "b"}},
      {"a\rb\n\n", {"a\rb", ""}},
  };
  for (const Case& c : cases) EXPECT_EQ(TextLines(c.text), c.lines) << c.text;
}

TEST(Files, ReadWholeFileIsBinary) {
  TempDrive drive;
  std::string content("a\r\nb\0c", 6);
  drive.Write("bin", content);
  std::string text;
  ASSERT_TRUE(ReadWholeFile("C:\\BIN", &text));
  EXPECT_EQ(text, content);
  EXPECT_FALSE(ReadWholeFile("C:\\none", &text));
}

// Content of `size` bytes with every byte value.
std::string Bytes(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 256) & 0xFF);
  return bytes;
}

TEST(Files, WholeFilesOfEverySizeAreReadToTheEnd) {
  TempDrive drive;
  for (size_t size : {0, 1, 511, 512, 4096, 65535, 65536, 65537, 200000}) {
    std::string content = Bytes(size);
    drive.Write("f.bin", content);
    std::string text;
    ASSERT_TRUE(ReadWholeFile("C:\\f.bin", &text)) << size;
    EXPECT_EQ(text, content) << size;
    FILE* file = OpenFile("C:\\f.bin", "rb");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(ReadStream(file), content) << size;
    fclose(file);
  }
}

TEST(Files, FilesWhoseSizeSaysNothingAreReadToTheEnd) {
  // Kernel files report a size of 0 (or a page) whatever they hold.
  TempDrive drive;
  std::string drives = std::string(getenv("WEFTDRIVES")) + ";P=/proc";
  setenv("WEFTDRIVES", drives.c_str(), 1);
  std::string text;
  ASSERT_TRUE(ReadWholeFile("P:\\self\\status", &text));
  EXPECT_NE(text.find("Name:"), std::string::npos);
  EXPECT_EQ(text.back(), '\n');
  FILE* file = OpenFile("P:\\self\\status", "r");
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(ReadStream(file).substr(0, 5), "Name:");
  fclose(file);
}

TEST(Files, BinaryReadingSeeksAndTellsPastItsBuffer) {
  TempDrive drive;
  const std::string content = Bytes(20000);
  drive.Write("f.bin", content);
  FILE* file = OpenFile("C:\\f.bin", "rb");
  ASSERT_NE(file, nullptr);
  char block[6000];
  ASSERT_EQ(fread(block, 1, 10, file), 10u);
  EXPECT_EQ(std::string(block, 10), content.substr(0, 10));
  EXPECT_EQ(ftell(file), 10);
  ASSERT_EQ(fseek(file, 5000, SEEK_CUR), 0);
  EXPECT_EQ(ftell(file), 5010);
  ASSERT_EQ(fread(block, 1, sizeof block, file), sizeof block);
  EXPECT_EQ(std::string(block, sizeof block), content.substr(5010, sizeof block));
  EXPECT_EQ(fgetc(file), static_cast<unsigned char>(content[11010]));
  EXPECT_EQ(ungetc('x', file), 'x');
  EXPECT_EQ(fgetc(file), 'x');
  ASSERT_EQ(fseek(file, -3, SEEK_END), 0);
  EXPECT_EQ(ftell(file), 19997);
  EXPECT_EQ(ReadStream(file), content.substr(19997));
  EXPECT_TRUE(feof(file));
  EXPECT_FALSE(ferror(file));
  EXPECT_EQ(ftell(file), 20000);
  ASSERT_EQ(fseek(file, 100, SEEK_SET), 0);
  EXPECT_EQ(fgetc(file), static_cast<unsigned char>(content[100]));
  EXPECT_EQ(ftell(file), 101);
  ASSERT_EQ(fseek(file, 0, SEEK_END), 0);
  EXPECT_EQ(ftell(file), 20000);
  ASSERT_EQ(fseek(file, 100, SEEK_SET), 0);
  EXPECT_EQ(fputc('x', file), EOF);  // a reading stream takes no writes
  EXPECT_EQ(fclose(file), 0);
}

TEST(Files, DeleteCreateAndRemoveDirectories) {
  TempDrive drive;
  drive.Write("a.txt", "x");
  EXPECT_TRUE(DeleteFile("C:\\A.TXT"));
  EXPECT_FALSE(drive.Exists("a.txt"));
  EXPECT_FALSE(DeleteFile("C:\\a.txt"));
  EXPECT_TRUE(CreateDir("C:\\New"));
  EXPECT_FALSE(CreateDir("C:\\NEW"));
  EXPECT_FALSE(CreateDir("C:\\none\\sub"));
  drive.Write("New/f", "x");
  EXPECT_FALSE(RemoveDir("C:\\new"));
  EXPECT_STREQ(LastErrorText(), "The directory is not empty.");
  EXPECT_FALSE(RemoveDir("C:\\new\\f"));
  EXPECT_TRUE(DeleteFile("C:\\new\\F"));
  EXPECT_TRUE(RemoveDir("C:\\new"));
  EXPECT_FALSE(drive.Exists("New"));
}

TEST(MoveFile, RefusesAnExistingTargetUnlessAskedToReplace) {
  TempDrive drive;
  drive.Write("from.txt", "new");
  drive.Write("To.txt", "old");
  EXPECT_FALSE(MoveFile("C:\\from.txt", "C:\\to.txt"));
  EXPECT_STREQ(LastErrorText(), "Cannot create a file when that file already exists.");
  EXPECT_EQ(drive.Read("from.txt"), "new");
  EXPECT_EQ(drive.Read("To.txt"), "old");
  ASSERT_TRUE(MoveFile("C:\\from.txt", "C:\\to.txt", true));
  EXPECT_EQ(drive.Files(), std::vector<std::string>{"To.txt"});
  EXPECT_EQ(drive.Read("To.txt"), "new");
  EXPECT_FALSE(MoveFile("C:\\from.txt", "C:\\other.txt"));
}

TEST(MoveFile, RenamesAndMovesDirectories) {
  TempDrive drive;
  drive.Write("a/x.htm", "x");
  drive.MakeDir("b");
  ASSERT_TRUE(MoveFile("C:\\a\\x.htm", "C:\\b\\y.htm"));
  EXPECT_EQ(drive.Files(), std::vector<std::string>{"b/y.htm"});
  ASSERT_TRUE(MoveFile("C:\\b\\Y.HTM", "C:\\b\\Y.HTM"));
  // A change of letter case only renames the file.
  ASSERT_TRUE(MoveFile("C:\\b\\y.htm", "C:\\B\\Y.HTM"));
  EXPECT_EQ(drive.Files(), std::vector<std::string>{"b/Y.HTM"});
  EXPECT_FALSE(MoveFile("C:\\b", "C:\\a"));
  EXPECT_FALSE(MoveFile("C:\\b", "C:\\a", true));
  ASSERT_TRUE(MoveFile("C:\\b", "C:\\c"));
  EXPECT_EQ(drive.Files(), std::vector<std::string>{"c/Y.HTM"});
}

TEST(CopyFile, CopiesAndHonoursFailIfExists) {
  TempDrive drive;
  drive.Write("a.txt", "data");
  drive.Write("b.txt", "old");
  FileTime write = UnixToFileTime(1200000000);
  ASSERT_TRUE(SetFileTimes("C:\\a.txt", nullptr, nullptr, &write));
  EXPECT_FALSE(CopyFile("C:\\a.txt", "C:\\B.TXT", true));
  EXPECT_EQ(drive.Read("b.txt"), "old");
  ASSERT_TRUE(CopyFile("C:\\a.txt", "C:\\B.TXT", false));
  EXPECT_EQ(drive.Read("b.txt"), "data");
  ASSERT_TRUE(CopyFile("C:\\a.txt", "C:\\c.txt", true));
  EXPECT_EQ(drive.Files(), (std::vector<std::string>{"a.txt", "b.txt", "c.txt"}));
  FileTime copied = 0;
  ASSERT_TRUE(GetFileTimes("C:\\c.txt", nullptr, nullptr, &copied));
  EXPECT_EQ(copied, write);
  EXPECT_FALSE(CopyFile("C:\\a.txt", "C:\\A.txt", false));
  EXPECT_EQ(drive.Read("a.txt"), "data");
  EXPECT_FALSE(CopyFile("C:\\none.txt", "C:\\d.txt", false));
}

void WriteHostFile(const std::string& path, const std::string& text) {
  FILE* file = fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr) << path;
  fputs(text.c_str(), file);
  fclose(file);
}

bool HostExists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

// A second drive on another device, when this machine has one to offer.
class OtherDevice : public ::testing::Test {
 protected:
  void SetUp() override {
    char folder[] = "/dev/shm/weftdev.XXXXXX";
    if (!mkdtemp(folder)) GTEST_SKIP() << "no second device";
    other_ = folder;
    struct stat a, b;
    if (stat(drive_.Host().c_str(), &a) != 0 || stat(other_.c_str(), &b) != 0 || a.st_dev == b.st_dev) {
      GTEST_SKIP() << "no second device";
    }
    setenv("WEFTDRIVES", ("C=" + drive_.Host() + ";D=" + other_).c_str(), 1);
  }
  void TearDown() override {
    if (other_.empty()) return;
    for (const char* name : {"/moved.txt", "/target.txt", "/d"}) {
      unlink((other_ + name).c_str());
      rmdir((other_ + name).c_str());
    }
    rmdir(other_.c_str());
  }
  std::string OtherRead(const std::string& name) {
    std::string text;
    ReadWholeFile(("D:\\" + name).c_str(), &text);
    return text;
  }
  TempDrive drive_;
  std::string other_;
};

TEST_F(OtherDevice, MoveAndReplaceCopyThenRemove) {
  drive_.Write("a.txt", "moved");
  FileTime write = UnixToFileTime(1300000000);
  ASSERT_TRUE(SetFileTimes("C:\\a.txt", nullptr, nullptr, &write));
  ASSERT_TRUE(MoveFile("C:\\a.txt", "D:\\moved.txt"));
  EXPECT_FALSE(drive_.Exists("a.txt"));
  EXPECT_EQ(OtherRead("moved.txt"), "moved");
  FileTime moved = 0;
  ASSERT_TRUE(GetFileTimes("D:\\moved.txt", nullptr, nullptr, &moved));
  EXPECT_EQ(moved, write);

  drive_.Write("b.txt", "again");
  EXPECT_FALSE(MoveFile("C:\\b.txt", "D:\\moved.txt"));
  EXPECT_TRUE(drive_.Exists("b.txt"));
  ASSERT_TRUE(MoveFile("C:\\b.txt", "D:\\moved.txt", true));
  EXPECT_EQ(OtherRead("moved.txt"), "again");

  FILE* file = OpenFile("D:\\target.txt", "w");
  ASSERT_NE(file, nullptr);
  fputs("old", file);
  fclose(file);
  drive_.Write("t.tmp", "new");
  ASSERT_TRUE(ReplaceFile("C:\\t.tmp", "D:\\target.txt"));
  EXPECT_EQ(OtherRead("target.txt"), "new");
  EXPECT_FALSE(drive_.Exists("t.tmp"));

  // Directories are not carried across devices.
  drive_.MakeDir("d");
  EXPECT_FALSE(MoveFile("C:\\d", "D:\\d"));
  EXPECT_TRUE(drive_.Exists("d"));
  // No copy is left behind beside the targets.
  std::vector<std::string> names;
  FindData data;
  FindState* state = FindFirst("D:\\*", &data);
  ASSERT_NE(state, nullptr);
  do names.push_back(data.name);
  while (FindNext(state, &data));
  FindClose(state);
  EXPECT_EQ(names, (std::vector<std::string>{"moved.txt", "target.txt"}));
}

// The copy written beside a target on another device is a temporary file
// like the others: one that a killed run left is removed by the next copy
// to the same place, one that another program is writing is never touched.
TEST_F(OtherDevice, LeftoverCopiesAreRemovedByTheNextCopy) {
  const std::string target = other_ + "/target.txt";
  const std::string copy = weft_host::CopyFileFor(target);
  EXPECT_EQ(copy.substr(0, other_.size() + 12), other_ + "/.weft-copy-");
  EXPECT_EQ(copy, weft_host::CopyFileFor(target));
  EXPECT_NE(copy, weft_host::CopyFileFor(other_ + "/moved.txt"));

  WriteHostFile(copy, "half a copy of a killed run");
  drive_.Write("a.txt", "new");
  ASSERT_TRUE(MoveFile("C:\\a.txt", "D:\\target.txt"));
  EXPECT_EQ(OtherRead("target.txt"), "new");
  EXPECT_FALSE(HostExists(copy));

  // Held by a running program: the copy is refused and the file stays.
  WriteHostFile(copy, "being written");
  int held = open(copy.c_str(), O_RDONLY);
  ASSERT_GE(held, 0);
  ASSERT_EQ(flock(held, LOCK_EX), 0);
  drive_.Write("b.txt", "newer");
  EXPECT_FALSE(CopyFile("C:\\b.txt", "D:\\target.txt", false));
  EXPECT_STREQ(LastErrorText(),
               "The process cannot access the file because it is being used by another process.");
  EXPECT_EQ(OtherRead("target.txt"), "new");
  EXPECT_EQ(ReadHostFile(copy), "being written");
  close(held);
  ASSERT_TRUE(CopyFile("C:\\b.txt", "D:\\target.txt", false));
  EXPECT_EQ(OtherRead("target.txt"), "newer");
  EXPECT_FALSE(HostExists(copy));
}

TEST(MakeTempFile, CreatesFreshEmptyFiles) {
  TempDrive drive;
  drive.MakeDir("work");
  std::string first, second;
  ASSERT_TRUE(MakeTempFile("C:\\work", "gal", &first));
  ASSERT_TRUE(MakeTempFile("C:\\work\\", "gal", &second));
  EXPECT_NE(first, second);
  EXPECT_EQ(first.substr(0, 11), "C:\\work\\gal");
  EXPECT_EQ(first.size(), 19u);
  EXPECT_EQ(first.substr(15), ".tmp");
  EXPECT_EQ(second.substr(0, 11), "C:\\work\\gal");
  FindData data;
  ASSERT_TRUE(GetFileInfo(first.c_str(), &data));
  EXPECT_EQ(data.size, 0u);
  EXPECT_EQ(drive.Files("work").size(), 2u);
  EXPECT_FALSE(MakeTempFile("C:\\missing", "gal", &first));
}

}  // namespace
