#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/attributes.h"
#include "platform/errors.h"
#include "platform/filetime.h"
#include "platform/listing.h"
#include "platform/testing/test_support.h"

namespace {

struct WildcardCase {
  const char* name;
  const char* pattern;
  bool matches;
};

const WildcardCase kWildcardCases[] = {
    {"readme", "*.*", true},
    {"a.b.c", "*.*", true},
    {"readme", "*", true},
    {"Index.HTM", "*.htm", true},
    {"index.html", "*.htm", false},  // no short names
    {"a.txt.bak", "*.txt", false},
    {"a.b.txt", "*.txt", true},
    {"readme", "*.", true},
    {"read.me", "*.", false},
    {"abc", "a?c", true},
    {"ac", "a?c", false},
    {"a.c", "a?c", false},
    {"ab", "a?", true},
    {"a", "a?", true},  // '?' also matches nothing at the end of the name
    {"abc", "a?", false},
    {"x.jpg", "?.jpg", true},
    {"xy.jpg", "?.jpg", false},
    {"PICT0001.JPG", "pict*.jpg", true},
    {"pict0001.jpg", "PICT????.JPG", true},
    {"abcabd", "*abd", true},  // needs backtracking past the first "ab"
    {"aaaaaaaaaaaaaaaaaaaaaaaaab", "*a*a*a*a*a*a*a*c", false},
    {"file.htm", "file.htm", true},
    {"FILE.HTM", "file.htm", true},
    {"file.htm", "file.ht", false},
    {"a", "a.*", true},
    {"a.", "a.*", true},
    {"ab.x", "a.*", false},
    {"", "*", true},
};

TEST(Wildcard, WindowsRules) {
  for (const auto& c : kWildcardCases) {
    EXPECT_EQ(NameMatchesWildcard(c.name, c.pattern), c.matches) << c.name << " ~ " << c.pattern;
  }
}

std::vector<std::string> List(const char* pattern) {
  std::vector<std::string> names;
  FindData data;
  FindState* state = FindFirst(pattern, &data);
  if (!state) return names;
  do names.push_back(data.name);
  while (FindNext(state, &data));
  FindClose(state);
  return names;
}

using Names = std::vector<std::string>;

TEST(Listing, OrderIsUpperCasedBytesWithDotsFirstBelowTheRoot) {
  TempDrive drive;
  for (const char* name : {"b.htm", "A.htm", "_x", "a_b", "Zeta", "c.JPG"}) {
    drive.Write(std::string("dir/") + name, "x");
  }
  drive.MakeDir("dir/Sub");
  // '_' (0x5F) sorts after the letters once they are upper case.
  EXPECT_EQ(List("C:\\dir\\*"), (Names{".", "..", "A.htm", "a_b", "b.htm", "c.JPG", "Sub", "Zeta", "_x"}));
  EXPECT_EQ(List("C:\\DIR\\*.*"), (Names{".", "..", "A.htm", "a_b", "b.htm", "c.JPG", "Sub", "Zeta", "_x"}));
  EXPECT_EQ(List("c:/dir/*.htm"), (Names{"A.htm", "b.htm"}));
  EXPECT_EQ(List("C:\\dir\\*.jpg"), (Names{"c.JPG"}));
  EXPECT_EQ(List("C:\\dir\\zeta"), (Names{"Zeta"}));
  EXPECT_EQ(List("C:\\dir\\*.gif"), Names{});
  EXPECT_EQ(List("C:\\missing\\*"), Names{});
  drive.Chdir("dir");
  EXPECT_EQ(List("*.htm"), (Names{"A.htm", "b.htm"}));
  EXPECT_EQ(List("C:*.htm"), (Names{"A.htm", "b.htm"}));
}

TEST(Listing, DriveRootHasNoDotEntries) {
  TempDrive drive;
  drive.Write("a.txt", "x");
  drive.MakeDir("sub");
  EXPECT_EQ(List("C:\\*"), (Names{"a.txt", "sub"}));
  EXPECT_EQ(List("\\*"), (Names{"a.txt", "sub"}));
  drive.Chdir("sub");
  EXPECT_EQ(List("..\\*"), (Names{"a.txt", "sub"}));
  EXPECT_EQ(List("*"), (Names{".", ".."}));
}

TEST(Listing, LeavesOutNamesWindowsCannotHold) {
  TempDrive drive;
  for (const char* name : {"ok.txt", "a:b", "a*b", "q?", "x\"y", "l<t", "g>t", "p|p", "back\\slash",
                           "tab\tname", "cr\rname"}) {
    drive.Write(std::string("d/") + name, "x");
  }
  EXPECT_EQ(List("C:\\d\\*"), (Names{".", "..", "ok.txt"}));
}

TEST(Listing, EntriesCarryAttributesSizeAndTimes) {
  TempDrive drive;
  drive.Write("d/data.bin", "12345");
  drive.Write("d/.hidden", "");
  drive.MakeDir("d/sub");
  ASSERT_TRUE(SetFileTimes("C:\\d\\data.bin", nullptr, nullptr, nullptr));
  FileTime write = UnixToFileTime(1000000000, 500);
  ASSERT_TRUE(SetFileTimes("C:\\d\\data.bin", nullptr, nullptr, &write));
  FindData data;
  FindState* state = FindFirst("C:\\d\\*", &data);
  ASSERT_NE(state, nullptr);
  std::vector<FindData> entries;
  do entries.push_back(data);
  while (FindNext(state, &data));
  FindClose(state);
  ASSERT_EQ(entries.size(), 5u);
  EXPECT_STREQ(entries[0].name, ".");
  EXPECT_EQ(entries[0].attributes & kAttrDirectory, kAttrDirectory);
  EXPECT_EQ(entries[0].attributes & kAttrHidden, 0u);
  EXPECT_STREQ(entries[1].name, "..");
  EXPECT_STREQ(entries[2].name, ".hidden");
  EXPECT_EQ(entries[2].attributes & kAttrHidden, kAttrHidden);
  EXPECT_STREQ(entries[3].name, "data.bin");
  EXPECT_EQ(entries[3].size, 5u);
  EXPECT_EQ(entries[3].writeTime, write);
  EXPECT_EQ(entries[3].attributes, kAttrArchive);
  EXPECT_STREQ(entries[4].name, "sub");
  EXPECT_EQ(entries[4].attributes, kAttrDirectory);
  EXPECT_EQ(entries[4].size, 0u);
}

TEST(Listing, FindNextAfterTheEndStaysAtTheEnd) {
  TempDrive drive;
  drive.Write("one", "");
  FindData data;
  FindState* state = FindFirst("C:\\*", &data);
  ASSERT_NE(state, nullptr);
  EXPECT_FALSE(FindNext(state, &data));
  EXPECT_FALSE(FindNext(state, &data));
  FindClose(state);
  EXPECT_EQ(FindFirst("C:\\nothing*", &data), nullptr);
  EXPECT_STRNE(LastErrorText(), "");
}

}  // namespace
