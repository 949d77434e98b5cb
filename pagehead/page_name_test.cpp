#include "pagehead/page_name.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/testing/test_support.h"

namespace {

TEST(PageName, Endings) {
  struct Case {
    const char* path;
    const char* page;
  } cases[] = {
      {"photo.jpg", "photo.htm"},
      {"IMG1.JPG", "IMG1.HTM"},
      {"Pict.JPG", "Pict.htm"},
      {"a.html", "a.html"},
      {"A.HTM", "A.HTM"},
      {"Index.HtMl", "Index.HtMl"},
      {"notes", "notes.htm"},
      {"NOTES", "NOTES.HTM"},
      {"photo.", "photo.htm"},
      {"my.pics\\notes", "my.pics\\notes.htm"},   // a folder's dot is no extension
      {"C:/my.pics/notes.txt", "C:/my.pics/notes.htm"},
      {"c:\\pics\\X1.JPG", "c:\\pics\\X1.HTM"},  // only the last component's case counts
      {"C:\\PICS\\x1.jpg", "C:\\PICS\\x1.htm"},
      {"a.tar.gz", "a.tar.htm"},
  };
  for (const Case& c : cases) {
    EXPECT_STREQ(c.page, PageNameString(c.path)) << c.path;
    EXPECT_EQ(strlen(c.page) + 1, PageNameLength(c.path)) << c.path;
  }
}

TEST(PageName, BoundedBuffer) {
  char buffer[8];
  EXPECT_STREQ("photogr", PageName("photograph.jpg", buffer, sizeof buffer));
  EXPECT_STREQ("ab.htm", PageName("ab.jpg", buffer, sizeof buffer));
  EXPECT_STREQ("abc.ht", PageName("abc.jpg", buffer, 7));
}

TEST(PageName, IsUpperCaseName) {
  EXPECT_TRUE(IsUpperCaseName("C:\\pics\\IMG_1.JPG"));
  EXPECT_FALSE(IsUpperCaseName("C:\\PICS\\img.JPG"));
  EXPECT_TRUE(IsUpperCaseName("c:\\pics\\"));
  EXPECT_TRUE(IsUpperCaseName("a:"));
  EXPECT_TRUE(IsUpperCaseName("CAF\xe9.JPG"));  // only 'a' to 'z' are lower case
}

TEST(PageName, CreateMissingPage) {
  TempDrive drive;
  bool created = false;
  ASSERT_TRUE(CreateMissingPage("new.htm", &created));
  EXPECT_TRUE(created);
  EXPECT_EQ(kPageSkeleton, drive.Read("new.htm"));
  drive.Write("old.htm", "<P>kept");
  ASSERT_TRUE(CreateMissingPage("old.htm", &created));
  EXPECT_FALSE(created);
  EXPECT_EQ("<P>kept", drive.Read("old.htm"));
  drive.MakeDir("dir.htm");
  EXPECT_TRUE(CreateMissingPage("dir.htm"));  // exists: left alone
  EXPECT_FALSE(CreateMissingPage("nowhere\\x.htm"));
}

}  // namespace
