// The page of a dropped item, copied URLs and the status texts of the
// drop-target editors.
#include "pagehead/dropped_page.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/env.h"
#include "platform/testing/test_support.h"

namespace {

TEST(ClipboardUrlToPathTest, FileAndLoopbackUrls) {
  struct Case {
    const char* text;
    const char* base;
    const char* path;
  } cases[] = {
      {"file:///C:/pics/a.htm", "", "C:\\pics\\a.htm"},
      {"FILE:///C:/pics/a.htm", "", ""},
      {"http://127.0.0.1/pics/a%20b.htm", "", "\\pics\\a b.htm"},
      {"http://127.0.0.1/pics/a.htm", "D:\\site", "D:\\site\\pics\\a.htm"},
      {"http://127.0.0.1/pics/a.htm", "D:\\site\\", "D:\\site\\pics\\a.htm"},
      {"http://127.0.0.1:80/a.htm", "", ""},
      {"http://example.com/a.htm", "", ""},
  };
  for (const Case& c : cases) {
    String path = ClipboardUrlToPath(c.text, c.base);
    EXPECT_STREQ(path.Text() ? path.Text() : "", c.path) << c.text;
  }
}

TEST(IndexFileNameTest, TheFirstIndexPageThatExists) {
  TempDrive drive;
  drive.MakeDir("none");
  drive.Write("two/welcome.htm", "");
  drive.Write("two/INDEX.HTML", "");
  EXPECT_STREQ(IndexFileName("C:\\none").Text(), "C:\\none\\index.htm");
  EXPECT_STREQ(IndexFileName("C:\\two").Text(), "C:\\two\\index.html");
  std::string deep = "C:\\" + std::string(260, 'd');
  EXPECT_EQ(strlen(IndexFileName(deep.c_str()).Text()), 259u);
}

class LoadFileTest : public ::testing::Test {
 protected:
  LoadFileTest() {
    SetEnv("WEFTDIALOGSCRIPT", nullptr);
    SetEnv("DISPLAY", nullptr);
  }
  TempDrive drive_;
  HTMLFile file_;
};

TEST_F(LoadFileTest, FoldersImagesAndPagesFindTheirPage) {
  drive_.Write("a.htm", "<HEAD><TITLE>A</TITLE></HEAD>");
  drive_.Write("Beach.JPG", "jpeg");
  drive_.MakeDir("folder");
  struct Case {
    const char* item;
    const char* page;  // relative to the drive
    const char* title;
  } cases[] = {
      {"C:\\a.htm", "a.htm", "A"},
      {"C:\\Beach.JPG", "Beach.htm", ""},
      {"C:\\folder", "folder/index.htm", ""},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(LoadFile(file_, c.item)) << c.item;
    EXPECT_STREQ(file_.Title().Text(), c.title) << c.item;
    EXPECT_TRUE(drive_.Exists(c.page)) << c.item;
  }
  EXPECT_EQ(drive_.Read("Beach.htm"), "<HEAD>\n</HEAD>\n<BODY>\n</BODY>\n");
}

TEST_F(LoadFileTest, APageThatCannotBeMadeShowsTheReadErrorBox) {
  testing::internal::CaptureStderr();
  EXPECT_FALSE(LoadFile(file_, "C:\\missing\\a.jpg"));
  EXPECT_EQ(testing::internal::GetCapturedStderr().rfind("File Read Error\n", 0), 0u);
}

TEST(DropStatusTextTest, CountsAndTheLoadedText) {
  EXPECT_EQ(DropStatusText(-1, "File loaded"), "File loaded");
  EXPECT_EQ(DropStatusText(0, "x"), "No files were modified");
  EXPECT_EQ(DropStatusText(1, "x"), "1 file was modified");
  EXPECT_EQ(DropStatusText(12, "x"), "12 files were modified");
}

}  // namespace
