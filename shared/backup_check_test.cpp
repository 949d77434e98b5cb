// The backup check engine: size texts, filespec matching, counting a tree by
// categories and the archive attribute, and finding "archvet.ini".
#include "shared/backup_check.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/attributes.h"
#include "platform/testing/test_support.h"

namespace {

constexpr FileTime kTicksPerDay = 864000000000ULL;

TEST(FormatSizeTest, RowsAndThresholds) {
  struct Case {
    double bytes;
    bool appendBytes;
    const char* text;
  } cases[] = {
      {0, true, "0 bytes"},
      {999, true, "999 bytes"},
      {999, false, "999"},
      {1000, true, "0.98KB"},
      {10188, true, "9.95KB"},
      {10189, true, "10.0KB"},
      {101887, false, "99.5KB"},
      {102400, true, "100KB"},
      {1023999, true, "1000KB"},
      {1024000, true, "0.98MB"},
      {5.5 * 1024 * 1024, true, "5.50MB"},
      {3.0 * 1024 * 1024 * 1024, true, "3.00GB"},
      {2048.0 * 1024 * 1024 * 1024, true, "2048GB"},
  };
  for (const Case& c : cases) {
    char buffer[kSizeTextSize];
    EXPECT_STREQ(FormatSize(c.bytes, buffer, c.appendBytes), c.text) << c.bytes;
  }
}

TEST(FormatSizeTest, HugeValueStaysInItsBuffer) {
  char buffer[kSizeTextSize + 8];
  memset(buffer, 'x', sizeof buffer);
  FormatSize(1e300, buffer, true);
  EXPECT_EQ(strlen(buffer), kSizeTextSize - 1);
  EXPECT_EQ(buffer[kSizeTextSize], 'x');
}

TEST(FileTimeToDaysTest, TicksOfOneDay) {
  EXPECT_DOUBLE_EQ(FileTimeToDays(0), 0);
  EXPECT_DOUBLE_EQ(FileTimeToDays(kTicksPerDay), 1);
  EXPECT_NEAR(FileTimeToDays(kTicksPerDay * 150000 + kTicksPerDay / 4), 150000.25, 1e-6);
}

TEST(FileSpecTest, PartsAndKinds) {
  struct Case {
    const char* text;
    const char* dir;
    const char* name;
    MatchKind nameKind;
    const char* ext;
    MatchKind extKind;
  } cases[] = {
      {"*.jpg", "", "", kMatchEndsWith, "JPG", kMatchExact},
      {"*", "", "", kMatchEndsWith, "", kMatchExact},
      {"*.*", "", "", kMatchEndsWith, "", kMatchEndsWith},
      {"readme", "", "README", kMatchExact, "", kMatchExact},
      {"*old*.*", "", "OLD", kMatchContains, "", kMatchEndsWith},
      {"a*b.d*c", "", "A", kMatchBeginsWith, "D", kMatchBeginsWith},
      {"a.tar.gz", "", "A.TAR", kMatchExact, "GZ", kMatchExact},
      {"c:\\work\\temp\\*.doc", "C:\\WORK\\TEMP", "", kMatchEndsWith, "DOC", kMatchExact},
      {"\\temp\\x*", "\\TEMP", "X", kMatchBeginsWith, "", kMatchExact},
  };
  for (const Case& c : cases) {
    FileSpec spec(c.text);
    EXPECT_STREQ(spec.Text(), c.text);
    EXPECT_STREQ(spec.DirPart(), c.dir) << c.text;
    EXPECT_STREQ(spec.NamePart(), c.name) << c.text;
    EXPECT_EQ(spec.NameKind(), c.nameKind) << c.text;
    EXPECT_STREQ(spec.ExtPart(), c.ext) << c.text;
    EXPECT_EQ(spec.ExtKind(), c.extKind) << c.text;
  }
}

TEST(FileSpecTest, Matches) {
  struct Case {
    const char* spec;
    const char* path;
    bool matches;
  } cases[] = {
      {"*.JPG", "photo.jpg", true},
      {"*.JPG", "PHOTO.JPG", true},
      {"*.JPG", "photo.jpeg", false},
      {"*.JPG", "jpg", false},
      {"*", "anything.txt", true},
      {"*", "README", true},
      {"*.*", "README", true},
      {"*.*", "a.b.c", true},
      {"README", "README.TXT", true},
      {"README", "README", true},
      {"README", "README2", false},
      {"*OLD*.*", "MY_OLD_FILE.DOC", true},
      {"*OLD*.*", "MY_NEW_FILE.DOC", false},
      {"IMG*.JPG", "img0001.jpg", true},
      {"IMG*.JPG", "xIMG0001.jpg", false},
      {"*.D*", "x.doc", true},
      {"*.D*", "x.txt", false},
      {"*KUP", "backup", true},
      {"*KUP", "KU", false},
      // Important filespecs see the bare name only: a directory part
      // matches nothing there.
      {"DOCS\\*.DOC", "A.DOC", false},
      // Unimportant filespecs see the full path.
      {"TEMP\\*.*", "C:\\WORK\\TEMP\\X.DOC", true},
      {"TEMP\\*.*", "C:\\WORK\\MYTEMP\\X.DOC", false},
      {"TEMP\\*.*", "C:\\TEMP\\X.DOC", true},
      {"TEMP\\*.*", "C:\\WORK\\TEMP\\SUB\\X.DOC", false},
      {"\\TEMP\\*.*", "C:\\WORK\\TEMP\\X.DOC", true},
      {"\\TEMP\\*.*", "C:\\WORK\\MYTEMP\\X.DOC", false},
      {"C:\\WORK\\*.BAK", "c:\\work\\x.bak", true},
      {"C:\\WORK\\*.BAK", "c:\\work\\x.doc", false},
      {"*.BAK", "C:\\ANY\\WHERE\\x.bak", true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FileSpec(c.spec).Matches(c.path), c.matches) << c.spec << " " << c.path;
  }
}

TEST(FileSpecTest, OverlongPathIsCutNotOverrun) {
  std::string path = "C:\\" + std::string(400, 'a') + ".doc";
  EXPECT_FALSE(FileSpec("*.DOC").Matches(path.c_str()));
  EXPECT_TRUE(FileSpec("A*").Matches(path.c_str()));
}

// --- Counting ------------------------------------------------------------------

// A small tree with known sizes, write times and archive attributes. "Now"
// is fixed at day 150000 so that ages are exact.
class BackupScanTest : public ::testing::Test {
 protected:
  static constexpr double kToday = 150000;

  BackupScanTest() {
    Add("tree/notes.doc", 1000, 10, true);         // age 10
    Add("tree/empty.doc", 0, 4, false);
    Add("tree/photo.jpg", 5000, 30, true);         // age 30
    Add("tree/sub/old.doc", 1, 2, true);           // age 2
    Add("tree/sub/TEMP/scratch.doc", 300, 1, true);  // age 1
    Add("tree/MYTEMP/keep.doc", 4096, 6, true);    // age 6
    state_.currentDays = kToday;
  }

  // A file of `size` bytes last written `daysAgo` days before today, backed
  // up (archive attribute cleared) unless `changed`.
  void Add(const std::string& relative, size_t size, int daysAgo, bool changed) {
    drive_.Write(relative, std::string(size, 'x'));
    std::string path = drive_.Win(relative);
    FileTime write = static_cast<FileTime>(kToday - daysAgo) * kTicksPerDay;
    ASSERT_TRUE(SetFileTimes(path.c_str(), nullptr, nullptr, &write));
    if (!changed) {
      ASSERT_TRUE(SetAttributes(path.c_str(), 0));
    }
  }

  void Scan(BackupState* state) {
    char path[kWalkPathSize];
    strcpy(path, drive_.Win("tree").c_str());
    ScanBackupTree(path, state);
    EXPECT_EQ(std::string(path), drive_.Win("tree"));
  }

  TempDrive drive_;
  BackupState state_;
};

struct Expected {
  int32_t files;
  double total;
  double allocated;
  int32_t notArchived;
  double notArchivedBytes;
  double notArchivedAllocated;
  double maxAge;
  double sumAges;
};

void ExpectCategory(const BackupCategory& category, const Expected& expected,
                    const std::string& label) {
  SCOPED_TRACE(label);
  EXPECT_EQ(category.fileCount, expected.files);
  EXPECT_DOUBLE_EQ(category.totalBytes, expected.total);
  EXPECT_DOUBLE_EQ(category.allocatedBytes, expected.allocated);
  EXPECT_EQ(category.notArchivedCount, expected.notArchived);
  EXPECT_DOUBLE_EQ(category.notArchivedBytes, expected.notArchivedBytes);
  EXPECT_DOUBLE_EQ(category.notArchivedAllocated, expected.notArchivedAllocated);
  EXPECT_NEAR(category.maxAge, expected.maxAge, 1e-6);
  EXPECT_NEAR(category.sumAges, expected.sumAges, 1e-6);
}

TEST_F(BackupScanTest, CountsByCategories) {
  struct Case {
    const char* label;
    std::vector<const char*> important;
    std::vector<const char*> ignore;
    int32_t cluster;
    double minSize;
    std::vector<Expected> categories;
  } cases[] = {
      {"all files only", {}, {}, 1, 0,
       {{6, 10397, 10397, 5, 10397, 10397, 30, 49}}},
      {"clusters round up, 0 bytes take none", {}, {}, 4096, 0,
       {{6, 10397, 4096 * 6, 5, 10397, 4096 * 6, 30, 49}}},
      {"important by name, a file in two categories", {"*.DOC", "*O*"}, {}, 1, 0,
       {{6, 10397, 10397, 5, 10397, 10397, 30, 49},
        {5, 5397, 5397, 4, 5397, 5397, 10, 19},
        {3, 6001, 6001, 3, 6001, 6001, 30, 42}}},
      {"unimportant by directory", {"*.DOC"}, {"TEMP\\*.*"}, 1, 0,
       {{6, 10397, 10397, 5, 10397, 10397, 30, 49},
        {4, 5097, 5097, 3, 5097, 5097, 10, 18}}},
      {"unimportant rooted directory", {"*.DOC"}, {"\\MYTEMP\\*.*", "*.JPG"}, 1, 0,
       {{6, 10397, 10397, 5, 10397, 10397, 30, 49},
        {4, 1301, 1301, 3, 1301, 1301, 10, 13}}},
      {"minimum size", {"*.DOC"}, {}, 1, 1000,
       {{6, 10397, 10397, 5, 10397, 10397, 30, 49},
        {2, 5096, 5096, 2, 5096, 5096, 10, 16}}},
      {"directory part matches no bare name", {"SUB\\*.DOC"}, {}, 1, 0,
       {{6, 10397, 10397, 5, 10397, 10397, 30, 49}, {0, 0, 0, 0, 0, 0, 0, 0}}},
  };
  for (const Case& c : cases) {
    BackupState state;
    state.currentDays = kToday;
    for (const char* spec : c.important) ASSERT_TRUE(state.AddImportant(spec));
    for (const char* spec : c.ignore) ASSERT_TRUE(state.AddIgnore(spec));
    state.SetClusterSize(c.cluster);
    state.minImportantSize = c.minSize;
    Scan(&state);
    ASSERT_EQ(state.categoryCount, static_cast<int>(c.categories.size())) << c.label;
    for (size_t i = 0; i < c.categories.size(); ++i) {
      ExpectCategory(state.categories[i], c.categories[i],
                     std::string(c.label) + ", category " + std::to_string(i));
    }
  }
}

TEST_F(BackupScanTest, OneByteFileTakesAWholeCluster) {
  state_.SetClusterSize(4096);
  state_.AddImportant("OLD.DOC");
  Scan(&state_);
  ExpectCategory(state_.categories[1], {1, 1, 4096, 1, 1, 4096, 2, 2}, "old.doc");
}

TEST_F(BackupScanTest, BackedUpFileCanStillBeTheNewest) {
  // Written in the future, so later than every creation time of the tree.
  FileTime future = static_cast<FileTime>(kToday + 20000) * kTicksPerDay;
  std::string path = drive_.Win("tree/empty.doc");
  ASSERT_TRUE(SetFileTimes(path.c_str(), nullptr, nullptr, &future));
  ASSERT_TRUE(SetAttributes(path.c_str(), 0));
  state_.AddImportant("*.JPG");
  Scan(&state_);
  EXPECT_EQ(state_.categories[0].newestTime, future);
  EXPECT_EQ(state_.categories[0].newestName, path);
  EXPECT_EQ(state_.categories[0].notArchivedCount, 5);
  // The important category never saw that file.
  EXPECT_EQ(state_.categories[1].newestName, drive_.Win("tree/photo.jpg"));
}

TEST_F(BackupScanTest, MissingDirectoryAddsNothing) {
  char path[kWalkPathSize];
  strcpy(path, drive_.Win("gone").c_str());
  ScanBackupTree(path, &state_);
  EXPECT_EQ(state_.categories[0].fileCount, 0);
  EXPECT_EQ(std::string(path), drive_.Win("gone"));
}

TEST_F(BackupScanTest, CurrentTimeIsReadOnce) {
  BackupState state;
  char path[kWalkPathSize];
  strcpy(path, drive_.Win("tree").c_str());
  const FileTime start = UnixToFileTime(1000000000);
  FixedClock clock(start);
  ScanBackupTree(path, &state);
  EXPECT_EQ(state.currentDays, FileTimeToDays(start));
  clock.Set(start + 36'000'000'000);  // an hour later
  ScanBackupTree(path, &state);
  EXPECT_EQ(state.currentDays, FileTimeToDays(start));
  EXPECT_EQ(state.categories[0].fileCount, 12);
}

TEST_F(BackupScanTest, PathNearTheBufferEndIsNotOverrun) {
  char path[kWalkPathSize];
  memset(path, 'a', sizeof path);
  path[0] = 'C';
  path[1] = ':';
  path[2] = '\\';
  path[kWalkPathSize - 2] = '\0';
  ScanBackupTree(path, &state_);
  EXPECT_EQ(strlen(path), kWalkPathSize - 2);
  EXPECT_EQ(state_.categories[0].fileCount, 0);
}

TEST(BackupStateTest, LimitsOfCategoriesAndIgnoreList) {
  BackupState state;
  for (int i = 1; i < kMaxBackupCategories; ++i) EXPECT_TRUE(state.AddImportant("*.X"));
  EXPECT_FALSE(state.AddImportant("*.Y"));
  EXPECT_EQ(state.categoryCount, 16);
  for (int i = 0; i < kMaxIgnoreSpecs; ++i) EXPECT_TRUE(state.AddIgnore("*.X"));
  EXPECT_FALSE(state.AddIgnore("*.Y"));
  EXPECT_EQ(state.ignoreCount, 50);
  state.SetClusterSize(0);
  EXPECT_EQ(state.clusterSize, 1);
  state.SetClusterSize(-5);
  EXPECT_EQ(state.clusterSize, 1);
}

// --- archvet.ini -----------------------------------------------------------------

TEST(FindFileUpwardsTest, StartAndEachParent) {
  TempDrive drive;
  drive.MakeDir("a/b/c");
  char buffer[kMaxPath + 1];
  EXPECT_EQ(FindFileUpwards("C:\\a\\b\\c", "archvet.ini", buffer, sizeof buffer), nullptr);
  drive.Write("archvet.ini", "");
  EXPECT_STREQ(FindFileUpwards("C:\\a\\b\\c", "archvet.ini", buffer, sizeof buffer),
               "C:\\archvet.ini");
  drive.Write("a/ARCHVET.INI", "");
  EXPECT_STREQ(FindFileUpwards("a/b/c/", "archvet.ini", buffer, sizeof buffer),
               "C:\\a\\archvet.ini");
  drive.Write("a/b/c/archvet.ini", "");
  EXPECT_STREQ(FindFileUpwards("C:\\a\\b\\c", "archvet.ini", buffer, sizeof buffer),
               "C:\\a\\b\\c\\archvet.ini");
  EXPECT_STREQ(FindFileUpwards("C:\\", "archvet.ini", buffer, sizeof buffer),
               "C:\\archvet.ini");
}

TEST(FindFileUpwardsTest, NoRoomOrNoDriveFails) {
  TempDrive drive;
  drive.Write("archvet.ini", "");
  char buffer[16];
  EXPECT_EQ(FindFileUpwards("C:\\a", "archvet.ini", buffer, sizeof buffer), nullptr);
  EXPECT_STREQ(FindFileUpwards("C:\\", "archvet.ini", buffer, sizeof buffer),
               "C:\\archvet.ini");
  EXPECT_EQ(FindFileUpwards("C:\\", "archvet.ini", buffer, 14), nullptr);
  char big[kMaxPath + 1];
  EXPECT_EQ(FindFileUpwards("Q:\\data", "archvet.ini", big, sizeof big), nullptr);
}

class BackupConfigTest : public ::testing::Test {
 protected:
  BackupConfigTest() { drive_.MakeDir("work/photos"); }

  std::vector<std::string> Important() const {
    std::vector<std::string> texts;
    for (int i = 1; i < state_.categoryCount; ++i) {
      texts.push_back(state_.categories[i].spec->Text());
    }
    return texts;
  }
  std::vector<std::string> Ignored() const {
    std::vector<std::string> texts;
    for (int i = 0; i < state_.ignoreCount; ++i) texts.push_back(state_.ignoreSpecs[i]->Text());
    return texts;
  }

  TempDrive drive_;
  BackupState state_;
};

TEST_F(BackupConfigTest, SectionsOfTheFileInAParent) {
  drive_.Write("work/archvet.ini",
               "*.TXT\n"
               "[important files]\r\n"
               "  *.DOC  \n"
               "\n"
               "\t*.XLS\n"
               "[Other]\n"
               "*.EXE\n"
               "[Unimportant Files]\n"
               "TEMP\\*.*\n"
               "[Important Files]\n"
               "*.JPG\n"
               "[IGNORE FILES]\n"
               "*.BAK\n");
  ReadBackupConfig(drive_.Win("work/photos").c_str(), &state_);
  EXPECT_EQ(Important(), (std::vector<std::string>{"*.DOC", "*.XLS", "*.JPG"}));
  EXPECT_EQ(Ignored(), (std::vector<std::string>{"TEMP\\*.*", "*.BAK"}));
}

TEST_F(BackupConfigTest, MissingFileAddsNothing) {
  ReadBackupConfig(drive_.Win("work/photos").c_str(), &state_);
  EXPECT_EQ(state_.categoryCount, 1);
  EXPECT_EQ(state_.ignoreCount, 0);
}

TEST_F(BackupConfigTest, LimitsDropFurtherLines) {
  std::string text = "[Important Files]\n";
  for (int i = 0; i < 20; ++i) text += "*." + std::to_string(i) + "\n";
  text += "[Unimportant Files]\n";
  for (int i = 0; i < 60; ++i) text += "*." + std::to_string(i) + "\n";
  drive_.Write("work/archvet.ini", text);
  ReadBackupConfig(drive_.Win("work").c_str(), &state_);
  EXPECT_EQ(state_.categoryCount, 16);
  EXPECT_EQ(Important().back(), "*.14");
  EXPECT_EQ(state_.ignoreCount, 50);
  EXPECT_EQ(Ignored().back(), "*.49");
}

TEST_F(BackupConfigTest, OverlongLineGivesOneCutFilespec) {
  std::string longSpec = "*" + std::string(300, 'A');
  drive_.Write("work/archvet.ini", "[Important Files]\n" + longSpec + "\n*.DOC\n");
  ReadBackupConfig(drive_.Win("work").c_str(), &state_);
  EXPECT_EQ(Important(), (std::vector<std::string>{longSpec.substr(0, 260), "*.DOC"}));
}

}  // namespace
