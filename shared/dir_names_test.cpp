#include "shared/dir_names.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/testing/test_support.h"
#include "shared/string.h"

namespace {

// What a lookup finds, read the slow way: the exact name, else the first
// name in the list that differs only in letter case.
const ListedName* LookupByScan(const std::vector<ListedName>& names, const char* wanted) {
  for (const ListedName& listed : names) {
    if (listed.name == wanted) return &listed;
  }
  for (const ListedName& listed : names) {
    if (CompareNoCase(listed.name.c_str(), wanted) == 0) return &listed;
  }
  return nullptr;
}

TEST(DirNames, FindListedFindsWhatALookupFinds) {
  TempDrive drive;
  // Names with the bytes that sort between the capitals and the small
  // letters, and names that differ only in letter case.
  const std::vector<std::string> files = {"a.htm",  "A.HTM", "A.htm",   "b_c.htm", "B[1].htm",
                                          "b.htm",  "_x",    "[y]",     "Index.HTM", "index.html",
                                          "ZZ.jpg", "zz.JPG", "a.htm.bak", "c"};
  for (const std::string& name : files) drive.Write("dir/" + name, "x");
  drive.MakeDir("dir/Sub");
  std::vector<ListedName> names = ListDirectory("C:\\dir");
  ASSERT_EQ(names.size(), files.size() + 1);
  std::vector<std::string> wanted = {"a.HTM",  "a.htm", "A.HTM",  "B_C.HTM", "b[1].HTM", "_X",
                                     "[Y]",    "index.htm", "INDEX.HTML", "zz.jpg", "sub",
                                     "missing", "a.ht", "", "c", "C"};
  for (const std::string& name : files) wanted.push_back(name);
  for (const std::string& name : wanted) {
    EXPECT_EQ(FindListed(names, name.c_str()), LookupByScan(names, name.c_str())) << name;
  }
  const ListedName* index = FindIndexPageName(names);
  ASSERT_NE(index, nullptr);
  EXPECT_EQ(index->name, "Index.HTM");
  EXPECT_TRUE(FindListed(names, "SUB")->IsDirectory());
  EXPECT_EQ(FindListed(names, "a.htm")->name, "a.htm");
  EXPECT_EQ(FindListed(names, "a.Htm")->name, "A.HTM");
}

}  // namespace
