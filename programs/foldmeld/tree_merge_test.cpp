// The file kinds and the unique-name search of the tree merge.
#include "programs/foldmeld/tree_merge.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/testing/test_support.h"

namespace {

TEST(ClassifyFileTest, KindsByName) {
  struct Case {
    const char* name;
    FileKind kind;
  } cases[] = {
      {"$000123$.htm", kSkipWhenExists}, {"$000123$.HTM", kSkipWhenExists},
      {"$00123$.htm", kAskOnConflict},   {"$00012a$.htm", kAskOnConflict},
      {"$0001234$.htm", kAskOnConflict}, {"x000123$.htm", kAskOnConflict},
      {"pic._md", kNeverTransfer},       {"PIC._MD", kNeverTransfer},
      {"Keywords.KDB", kNeverTransfer},  {"keywords.kdb.old", kAskOnConflict},
      {"INDEX.HTM", kSkipWhenExists},    {"symlinks.txt", kSkipWhenExists},
      {"Frameset.htm", kSkipWhenExists}, {"go.BAT", kSkipWhenExists},
      {"index.html", kAskOnConflict},    {"photo.jpg", kAskOnConflict},
      {"bat", kAskOnConflict},
  };
  for (const Case& c : cases) EXPECT_EQ(c.kind, ClassifyFile(c.name)) << c.name;
}

TEST(MakeUniqueNameTest, NextFreeNumberBeforeTheExtension) {
  TempDrive drive;
  drive.Write("d.x/photo.jpg", "1");
  drive.Write("d.x/photo-2.jpg", "2");
  drive.Write("d.x/plain", "3");
  std::string path = drive.Win("d.x/photo.jpg");
  ASSERT_TRUE(MakeUniqueName(&path, "-"));
  EXPECT_EQ(drive.Win("d.x/photo-3.jpg"), path);
  // A dot in the directory is no extension of the name.
  path = drive.Win("d.x/plain");
  ASSERT_TRUE(MakeUniqueName(&path, "-"));
  EXPECT_EQ(drive.Win("d.x/plain-2"), path);
  // A free name stays as it is.
  path = drive.Win("d.x/new.jpg");
  ASSERT_TRUE(MakeUniqueName(&path, "-"));
  EXPECT_EQ(drive.Win("d.x/new.jpg"), path);
}

TEST(MakeUniqueNameTest, FailsAfterEighteenAndKeepsThePath) {
  TempDrive drive;
  drive.Write("a.jpg", "");
  for (int i = 2; i <= 17; ++i) drive.Write("a-" + std::to_string(i) + ".jpg", "");
  std::string path = drive.Win("a.jpg");
  ASSERT_TRUE(MakeUniqueName(&path, "-"));
  EXPECT_EQ(drive.Win("a-18.jpg"), path);
  drive.Write("a-18.jpg", "");
  path = drive.Win("a.jpg");
  EXPECT_FALSE(MakeUniqueName(&path, "-"));
  EXPECT_EQ(drive.Win("a.jpg"), path);
}

TEST(DirectoryIteratorTest, SkipsDotEntriesAndTellsKinds) {
  TempDrive drive;
  drive.Write("d/b.txt", "");
  drive.MakeDir("d/A");
  drive.Write("d/.h", "");
  DirectoryIterator entries;
  FindData data;
  std::string seen;
  for (bool found = entries.First(&data, drive.Win("d").c_str()); found; found = entries.Next(&data)) {
    seen += std::string(data.name) + (DirectoryIterator::IsDirectory(data) ? "/" : "") +
            (DirectoryIterator::IsHidden(data) ? "(h)" : "") + " ";
  }
  EXPECT_EQ(".h(h) A/ b.txt ", seen);
  EXPECT_FALSE(entries.First(&data, drive.Win("missing").c_str()));
  EXPECT_FALSE(entries.Next(&data));
  EXPECT_FALSE(entries.First(&data, std::string(258, 'x').c_str()));
}

}  // namespace
