#include "platform/names.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/attributes.h"
#include "platform/drives.h"
#include "platform/listing.h"
#include "platform/testing/test_support.h"

namespace {

TEST(PathKind, FilesDirectoriesAndWhatIsMissing) {
  TempDrive drive;
  drive.Write("Site/Page.HTM", "x");
  drive.MakeDir("Site/Sub");
  ASSERT_EQ(symlink(drive.Host("Site/Sub").c_str(), drive.Host("Site/link").c_str()), 0);
  ASSERT_EQ(symlink(drive.Host("Site/none").c_str(), drive.Host("Site/dangling").c_str()), 0);
  ASSERT_EQ(mkfifo(drive.Host("Site/fifo").c_str(), 0644), 0);
  struct Case {
    const char* path;
    PathKind kind;
  } cases[] = {
      {"C:\\Site\\Page.HTM", PathKind::kFile},
      {"c:\\site\\page.htm", PathKind::kFile},
      {"C:\\SITE\\SUB", PathKind::kDirectory},
      {"C:\\Site\\Sub\\", PathKind::kDirectory},
      {"C:\\", PathKind::kDirectory},
      {"C:\\Site\\link", PathKind::kDirectory},
      {"C:\\Site\\fifo", PathKind::kFile},
      {"C:\\Site\\dangling", PathKind::kNone},
      {"C:\\Site\\missing.htm", PathKind::kNone},
      {"C:\\Missing\\Page.htm", PathKind::kNone},
      {"C:\\Site\\Page.htm\\x", PathKind::kNone},
      {"Q:\\x", PathKind::kNone},
      {"C:\\bad|name", PathKind::kNone},
  };
  for (const Case& c : cases) EXPECT_EQ(GetPathKind(c.path), c.kind) << c.path;
}

struct Listed {
  std::string name;
  bool directory;
  bool hidden;
  bool operator==(const Listed& other) const {
    return name == other.name && directory == other.directory && hidden == other.hidden;
  }
};

void PrintTo(const Listed& listed, std::ostream* out) {
  *out << listed.name << (listed.directory ? " dir" : "") << (listed.hidden ? " hidden" : "");
}

std::vector<Listed> FromFindFirst(const char* pattern) {
  std::vector<Listed> listed;
  FindData data;
  FindState* state = FindFirst(pattern, &data);
  if (!state) return listed;
  do {
    std::string name = data.name;
    if (name == "." || name == "..") continue;
    listed.push_back({name, (data.attributes & kAttrDirectory) != 0,
                      (data.attributes & kAttrHidden) != 0});
  } while (FindNext(state, &data));
  FindClose(state);
  return listed;
}

std::vector<Listed> FromListNames(const char* pattern, bool withHidden) {
  std::vector<Listed> listed;
  std::vector<NamedEntry> entries;
  EXPECT_TRUE(ListNames(pattern, withHidden, &entries)) << pattern;
  for (const NamedEntry& entry : entries) listed.push_back({entry.name, entry.directory, entry.hidden});
  return listed;
}

TEST(ListNames, ListsWhatFindFirstListsInTheSameOrder) {
  TempDrive drive;
  for (const char* name : {"b.htm", "B.HTM", "a.htm", "_x.htm", "Z.jpg", ".profile", "shy.htm",
                           "bad:name.htm", "index.html"}) {
    drive.Write(std::string("site/") + name, "x");
  }
  drive.MakeDir("site/Sub");
  drive.MakeDir("site/.git");
  drive.MakeDir("site/secret");
  ASSERT_TRUE(SetAttributes("C:\\site\\shy.htm", kAttrHidden | kAttrArchive));
  ASSERT_TRUE(SetAttributes("C:\\site\\secret", kAttrHidden));
  ASSERT_EQ(symlink(drive.Host("site/Sub").c_str(), drive.Host("site/linked").c_str()), 0);
  ASSERT_EQ(symlink(drive.Host("site/none").c_str(), drive.Host("site/dangling").c_str()), 0);

  for (const char* pattern : {"C:\\site\\*", "C:\\SITE\\*.htm", "c:/site/?.*", "C:\\site\\s*",
                              "C:\\site\\*.", "C:\\site\\index.htm"}) {
    std::vector<Listed> expected = FromFindFirst(pattern);
    EXPECT_EQ(FromListNames(pattern, true), expected) << pattern;
    for (Listed& listed : expected) listed.hidden = false;
    EXPECT_EQ(FromListNames(pattern, false), expected) << pattern;
  }
  // The fixture shows each rule: order, kinds, hidden names, links, and the
  // names left out.
  std::vector<Listed> all = {{".git", true, true},        {".profile", false, true},
                             {"a.htm", false, false},      {"B.HTM", false, false},
                             {"b.htm", false, false},      {"index.html", false, false},
                             {"linked", true, false},      {"secret", true, true},
                             {"shy.htm", false, true},     {"Sub", true, false},
                             {"Z.jpg", false, false},      {"_x.htm", false, false}};
  EXPECT_EQ(FromListNames("C:\\site\\*", true), all);
}

TEST(ListNames, FailsWhereNoDirectoryCanBeRead) {
  TempDrive drive;
  drive.Write("file.txt", "x");
  std::vector<NamedEntry> entries;
  EXPECT_FALSE(ListNames("C:\\missing\\*", true, &entries));
  EXPECT_FALSE(ListNames("C:\\file.txt\\*", true, &entries));
  EXPECT_FALSE(ListNames("Q:\\*", true, &entries));
  EXPECT_FALSE(ListNames("", true, &entries));
  ASSERT_TRUE(ListNames("C:\\*.none", true, &entries));
  EXPECT_TRUE(entries.empty());
  ASSERT_TRUE(ListNames("*.txt", true, &entries));
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, "file.txt");
}

TEST(ShortPath, IsTheStoredFullPath) {
  TempDrive drive;
  drive.MakeDir("Program Files/Tools");
  drive.Chdir("Program Files");
  struct Case {
    const char* path;
    const char* shortPath;
  } cases[] = {
      {"C:\\PROGRAM FILES\\tools", "C:\\Program Files\\Tools"},
      {"tools\\", "C:\\Program Files\\Tools"},
      {"..", "C:\\"},
      {"C:\\Program Files\\Missing", "(none)"},
  };
  for (const Case& c : cases) {
    char buffer[kMaxPath + 1];
    EXPECT_EQ(c.shortPath, GetShortPath(c.path, buffer, sizeof buffer) ? std::string(buffer) : "(none)")
        << c.path;
  }
  char small[8];
  EXPECT_EQ(0u, GetShortPath("C:\\Program Files", small, sizeof small));
}

TEST(ReparsePoint, LinksAreReparsePoints) {
  TempDrive drive;
  drive.MakeDir("real");
  ASSERT_EQ(0, symlink(drive.Host("real").c_str(), drive.Host("link").c_str()));
  EXPECT_TRUE(IsReparsePoint("C:\\LINK"));
  EXPECT_FALSE(IsReparsePoint("C:\\real"));
  EXPECT_FALSE(IsReparsePoint("C:\\none"));
}

}  // namespace
