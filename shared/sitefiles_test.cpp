#include "shared/sitefiles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/testing/test_support.h"
#include "shared/testing/site_switches.h"

namespace {

// Every test starts from the tables and switches a program starts with.
class SiteFilesTest : public ::testing::Test {
 protected:
  SiteFilesTest() { ResetSiteFiles(); }
  ~SiteFilesTest() override { ResetSiteFiles(); }
};

// A folder name of `length` characters made of 50-character components.
std::string LongDir(size_t length) {
  std::string dir;
  while (dir.size() < length) {
    if (!dir.empty()) dir += '\\';
    dir += std::string(std::min<size_t>(50, length - dir.size()), 'd');
  }
  return dir;
}

std::string HostRelative(std::string path) {
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  return path;
}

std::vector<std::string> Names(const char* const* table) {
  std::vector<std::string> names;
  for (; *table; ++table) names.push_back(*table);
  return names;
}

// --- Name tests --------------------------------------------------------------

TEST_F(SiteFilesTest, NameTests) {
  struct Case {
    const char* name;
    bool page, image, index, special, specialNumbered;
  };
  const Case cases[] = {
      {"Welcome.HTML", true, false, true, true, true},
      {"d.jpg\\index.htm", true, false, true, true, true},
      {"welcome.html", true, false, true, true, true},
      {"index7.htm", true, false, false, false, true},
      {"c:INDEX12.JPEG", false, true, false, false, true},
      {"index.png", false, true, false, false, true},
      {"index.gif", false, true, false, true, true},
      {"BackGnd.jpeg", false, true, false, true, true},
      {"thumb.gif", false, true, false, true, true},
      {"index7x.htm", true, false, false, false, false},
      {"index7.txt", false, false, false, false, false},
      {"index.htm.bak", false, false, false, false, false},
      {"a.b\\c.HTML", true, false, false, false, false},
      {"pages.htm\\readme", false, false, false, false, false},  // extension of the base name
      {"photo.jpg/x", false, false, false, false, false},
      {"pic.PNG", false, true, false, false, false},
      {"pic", false, false, false, false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsImageFile(c.name), c.image) << c.name;
    EXPECT_EQ(IsIndexName(c.name), c.index) << c.name;
    EXPECT_EQ(IsSpecialName(c.name), c.special) << c.name;
  }
  // IsPageName looks at the extension of the whole text.
  EXPECT_TRUE(IsPageName("Welcome.HTML"));
  EXPECT_TRUE(IsPageName("a.b\\c.HTML"));
  EXPECT_FALSE(IsPageName("index.htm.bak"));
  EXPECT_FALSE(IsPageName("pic"));
  SetNumberedIndexes(true);
  EXPECT_TRUE(NumberedIndexesOn());
  for (const Case& c : cases) EXPECT_EQ(IsSpecialName(c.name), c.specialNumbered) << c.name;
}

TEST_F(SiteFilesTest, ImageExtensions) {
  for (const char* ext : {".gif", ".JPG", ".jpeg", ".Png"}) EXPECT_TRUE(IsImageExt(ext)) << ext;
  for (const char* ext : {"jpg", ".bmp", "", ".jp"}) EXPECT_FALSE(IsImageExt(ext)) << ext;
}

TEST_F(SiteFilesTest, UserExtensions) {
  EXPECT_FALSE(IsUserFile("clip.avi"));
  EXPECT_EQ(AddUserExt(".avi"), kUserExtAdded);
  EXPECT_EQ(AddUserExt("AVI"), kUserExtPresent);
  EXPECT_EQ(AddUserExt("mpg"), kUserExtAdded);
  EXPECT_EQ(AddUserExt(""), kUserExtRefused);
  EXPECT_EQ(AddUserExt("."), kUserExtRefused);
  EXPECT_TRUE(IsUserExt(".Avi"));
  EXPECT_TRUE(IsUserExt("MPG"));
  EXPECT_FALSE(IsUserExt(""));
  EXPECT_FALSE(IsUserExt(".av"));
  EXPECT_TRUE(IsUserFile("movies\\clip.AVI"));
  EXPECT_FALSE(IsUserFile("clip.avi\\notes"));
  EXPECT_TRUE(IsImageOrUserFile("clip.mpg"));
  EXPECT_TRUE(IsImageOrUserFile("clip.gif"));
  EXPECT_FALSE(IsImageOrUserFile("clip.txt"));
  // With a user extension, a numbered index name with it is special too.
  SetNumberedIndexes(true);
  EXPECT_TRUE(IsSpecialName("index3.mpg"));
}

TEST_F(SiteFilesTest, UserExtensionsFillTheirBytesExactly) {
  // Twelve entries of nine characters use 120 of the 128 bytes.
  for (int i = 0; i < 12; ++i) {
    std::string ext = "ext0" + std::to_string(10000 + i);
    ASSERT_EQ(AddUserExt(ext.c_str()), kUserExtAdded) << ext;
  }
  // Seven characters would leave no room for the closing empty entry.
  EXPECT_EQ(AddUserExt("sevench"), kUserExtRefused);
  EXPECT_FALSE(IsUserExt("sevench"));
  EXPECT_EQ(AddUserExt("sixchr"), kUserExtAdded);  // 120 + 6 + 2 = 128
  EXPECT_EQ(AddUserExt("x"), kUserExtRefused);
  EXPECT_TRUE(IsUserExt("sixchr"));
  EXPECT_TRUE(IsUserExt("ext010000"));
  EXPECT_TRUE(IsUserExt("ext010011"));
  EXPECT_FALSE(IsUserExt("x"));
}

TEST_F(SiteFilesTest, SpecialNamesHoldTwenty) {
  for (int i = 0; i < 12; ++i) {
    std::string name = "reserved" + std::to_string(i) + ".htm";
    EXPECT_TRUE(AddSpecialName(name.c_str())) << name;
  }
  EXPECT_FALSE(AddSpecialName("one-too-many.htm"));
  EXPECT_TRUE(IsSpecialName("dir\\RESERVED11.HTM"));
  EXPECT_TRUE(IsSpecialName("thumb.jpg"));
  EXPECT_FALSE(IsSpecialName("one-too-many.htm"));
}

// --- Folder thumbnail names ------------------------------------------------------

TEST_F(SiteFilesTest, FolderThumbNameLists) {
  EXPECT_EQ(Names(FolderThumbNames()), (std::vector<std::string>{"thumb.jpg", "thumb.gif"}));
  EXPECT_TRUE(FolderThumbsOn());
  struct Case {
    const char* list;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {" a.jpg; b.gif ,\tc.png", {"a.jpg", "b.gif ", "c.png"}},
      {"a.jpg,, b.jpg", {"a.jpg"}},
      {"a;  ;b", {"a"}},
      {"", {}},
      {"1,2,3,4,5,6,7,8,9,10,11", {"1", "2", "3", "4", "5", "6", "7", "8", "9"}},
  };
  for (const Case& c : cases) {
    SetFolderThumbNames(c.list);
    EXPECT_EQ(Names(FolderThumbNames()), c.names) << c.list;
  }
}

TEST_F(SiteFilesTest, AddedFolderThumbNamesGoFirstAndTheTenthDropsOff) {
  std::vector<std::string> expected = {"thumb.jpg", "thumb.gif"};
  for (int i = 1; i <= 11; ++i) {
    std::string name = "t" + std::to_string(i) + ".jpg";
    AddFolderThumbName(name.c_str());
    expected.insert(expected.begin(), name);
    if (expected.size() > 10) expected.pop_back();
    EXPECT_EQ(Names(FolderThumbNames()), expected) << name;
  }
  EXPECT_EQ(expected.front(), "t11.jpg");
  EXPECT_EQ(expected.back(), "t2.jpg");
}

// --- Lookups in a directory -------------------------------------------------------

TEST_F(SiteFilesTest, IndexPagesFolderThumbsAndHiddenDirs) {
  TempDrive drive;
  drive.Write("a/welcome.htm", "");
  drive.Write("a/INDEX.HTML", "");
  drive.Write("a/thumb.gif", "");
  drive.Write("a/hidden.dir", "");
  drive.Write("thumb.jpg", "");
  drive.MakeDir("b");

  char buffer[kSitePathSize];
  EXPECT_TRUE(FindIndexPage(buffer, "a"));
  EXPECT_STREQ(buffer, "a\\index.html");  // table order, not listing order
  EXPECT_FALSE(FindIndexPage(buffer, "b"));
  EXPECT_STREQ(buffer, "b");
  EXPECT_TRUE(FindIndexPage(buffer, "C:\\a\\"));
  EXPECT_STREQ(buffer, "C:\\a\\index.html");

  EXPECT_TRUE(FindFolderThumb(buffer, "a"));
  EXPECT_STREQ(buffer, "a\\thumb.gif");
  EXPECT_TRUE(FindFolderThumb(buffer, "."));
  EXPECT_STREQ(buffer, "thumb.jpg");
  EXPECT_FALSE(FindFolderThumb(buffer, "b"));
  SetFolderThumbNames("folder.png");
  EXPECT_FALSE(FindFolderThumb(buffer, "a"));

  EXPECT_TRUE(IsHiddenDir("a"));
  EXPECT_TRUE(IsHiddenDir(drive.Win("a").c_str()));
  EXPECT_FALSE(IsHiddenDir("b"));
  EXPECT_FALSE(IsHiddenDir("missing"));
}

TEST_F(SiteFilesTest, PathsThatWouldBeCutAreNotFound) {
  TempDrive drive;
  // Each file below is what dir + "\" + a looked-for name would be when cut
  // to 259 characters ("index.h" for "index.htm"); it must not be taken.
  const std::string indexDir = LongDir(248);     // "C:\" and 248: 251 characters
  drive.Write(HostRelative(indexDir) + "/index.h", "");
  const std::string hiddenDir = LongDir(247);    // 250 characters
  drive.Write(HostRelative(hiddenDir) + "/hidden.d", "");
  drive.Write(HostRelative(hiddenDir) + "/thumb.jp", "");
  char buffer[kSitePathSize];
  EXPECT_FALSE(FindIndexPage(buffer, ("C:\\" + indexDir).c_str()));
  EXPECT_EQ(buffer, "C:\\" + indexDir);
  EXPECT_FALSE(IsHiddenDir(("C:\\" + hiddenDir).c_str()));
  EXPECT_FALSE(FindFolderThumb(buffer, ("C:\\" + hiddenDir).c_str()));
  // Names that fit in 259 characters are found.
  const std::string fitDir = LongDir(246);       // 249 + "\index.htm" = 259
  drive.Write(HostRelative(fitDir) + "/index.htm", "");
  EXPECT_TRUE(FindIndexPage(buffer, ("C:\\" + fitDir).c_str()));
  EXPECT_EQ(strlen(buffer), 259u);
  const std::string fitHidden = LongDir(245);    // 248 + "\hidden.dir" = 259
  drive.Write(HostRelative(fitHidden) + "/hidden.dir", "");
  EXPECT_TRUE(IsHiddenDir(("C:\\" + fitHidden).c_str()));
}

// --- Icons directory ---------------------------------------------------------

TEST_F(SiteFilesTest, IconsDirFoundUpToSevenLevelsAbove) {
  for (int level = 0; level <= 8; ++level) {
    ResetSiteFiles();
    TempDrive drive;
    drive.MakeDir("site/icons");
    std::string dir = "site";
    for (int i = 0; i < level; ++i) dir += "/d" + std::to_string(i);
    drive.MakeDir(dir);
    drive.Chdir(dir);
    char buffer[kSitePathSize] = "unchanged";
    int expected = level <= 7 ? level : -1;
    EXPECT_EQ(FindIconsDir(buffer), expected) << level;
    EXPECT_STREQ(buffer, level <= 7 ? "C:\\site\\icons" : "unchanged") << level;
  }
}

TEST_F(SiteFilesTest, IconsDirSearchedOnce) {
  TempDrive drive;
  drive.MakeDir("a/b");
  drive.Chdir("a/b");
  EXPECT_EQ(FindIconsDir(), -1);
  drive.MakeDir("a/b/icons");
  EXPECT_EQ(FindIconsDir(), -1);  // "not found" is kept
  ResetSiteFiles();
  EXPECT_EQ(FindIconsDir(), 0);
  // A file named icons does not count.
  ResetSiteFiles();
  drive.Chdir("a");
  drive.Write("icons", "");
  EXPECT_EQ(FindIconsDir(), -1);
}

// The first to ask may be one worker among several: they all get the one
// directory found.
TEST_F(SiteFilesTest, IconsDirSearchedOnceAmongWorkerThreads) {
  TempDrive drive;
  drive.MakeDir("site/icons");
  drive.MakeDir("site/a/b");
  drive.Chdir("site/a/b");
  std::vector<std::string> found(8);
  std::vector<int> levels(8);
  std::vector<std::thread> workers;
  for (size_t i = 0; i < found.size(); ++i) {
    workers.emplace_back([&found, &levels, i] {
      char buffer[kSitePathSize] = "";
      levels[i] = FindIconsDir(buffer);
      char path[kSitePathSize] = "";
      found[i] = std::string(buffer) + "|" + (IconsPath("x.gif", path, true) ? path : "(none)");
    });
  }
  for (std::thread& worker : workers) worker.join();
  for (size_t i = 0; i < found.size(); ++i) {
    EXPECT_EQ(levels[i], 2) << i;
    EXPECT_EQ(found[i], "C:\\site\\icons|C:\\site\\icons\\x.gif") << i;
  }
}

TEST_F(SiteFilesTest, IconsPathKeepsPointingAtTheDirectoryFound) {
  TempDrive drive;
  drive.Write("site/icons/logo.jpg", "");
  drive.Write("site/icons/back.gif", "");
  drive.Write("site/icons/back.png", "");
  drive.Write("site/icons/keyicons.txt", "");
  drive.MakeDir("site/photos/trip");
  drive.Chdir("site/photos");
  char buffer[kSitePathSize];
  ASSERT_NE(IconsPath("logo", buffer, false), nullptr);
  EXPECT_STREQ(buffer, "C:\\site\\icons\\logo.jpg");
  drive.Chdir("site/photos/trip");  // the cached path does not move along
  struct Case {
    const char* name;
    bool noTest;
    const char* expected;  // null: none
  };
  const Case cases[] = {
      {"back", false, "C:\\site\\icons\\back.gif"},
      {"logo", false, "C:\\site\\icons\\logo.jpg"},
      {"nothumb", false, nullptr},
      {"keyicons.txt", false, "C:\\site\\icons\\keyicons.txt"},
      {"controls.htm", false, nullptr},
      {"controls.htm", true, "C:\\site\\icons\\controls.htm"},
      {"weft.ini", true, "C:\\site\\icons\\weft.ini"},
  };
  for (const Case& c : cases) {
    const char* result = IconsPath(c.name, buffer, c.noTest);
    if (!c.expected) {
      EXPECT_EQ(result, nullptr) << c.name;
      EXPECT_TRUE(IconsPathString(c.name, c.noTest).IsNull()) << c.name;
      continue;
    }
    ASSERT_NE(result, nullptr) << c.name;
    EXPECT_STREQ(result, c.expected) << c.name;
    EXPECT_STREQ(IconsPathString(c.name, c.noTest).Text(), c.expected) << c.name;
  }
}

TEST_F(SiteFilesTest, IconsPathWithoutIconsDir) {
  TempDrive drive;
  char buffer[kSitePathSize];
  EXPECT_EQ(IconsPath("controls.htm", buffer, true), nullptr);
  EXPECT_TRUE(IconsPathString("controls.htm", true).IsNull());
}

TEST_F(SiteFilesTest, FindImageFileReplacesTheBaseNamesExtension) {
  TempDrive drive;
  drive.Write("my.pics/beach.png", "");
  drive.Write("my.pics/clip.gif", "");
  drive.Write("my.pics/clip.jpg", "");
  drive.Chdir("my.pics");
  struct Case {
    const char* path;
    const char* expected;  // null: none, the buffer keeps the path
  };
  const Case cases[] = {
      {"..\\my.pics\\beach", "..\\my.pics\\beach.png"},
      {"..\\my.pics\\clip.avi", "..\\my.pics\\clip.gif"},
      {"clip", "clip.gif"},
      {"beach.jpg", "beach.png"},
      {"sunset.avi", nullptr},
      {"..\\my.pics", nullptr},
  };
  for (const Case& c : cases) {
    char buffer[kSitePathSize];
    const char* result = FindImageFile(buffer, c.path);
    EXPECT_STREQ(buffer, c.expected ? c.expected : c.path) << c.path;
    EXPECT_EQ(result, c.expected ? buffer : nullptr) << c.path;
  }
  char buffer[kSitePathSize] = "clip.mov";
  EXPECT_EQ(FindImageFile(buffer, nullptr), buffer);
  EXPECT_STREQ(buffer, "clip.gif");
  const std::string tooLong(kSitePathSize, 'x');
  EXPECT_EQ(FindImageFile(buffer, tooLong.c_str()), nullptr);
  // A text already in the buffer that is longer than a path is not found and
  // stays as it was, however long its extension.
  std::string longText = "clip." + std::string(400, 'x');
  std::vector<char> big(longText.begin(), longText.end());
  big.push_back('\0');
  EXPECT_EQ(FindImageFile(big.data(), nullptr), nullptr);
  EXPECT_EQ(std::string(big.data()), longText);
}

// --- Thumbnails --------------------------------------------------------------

TEST_F(SiteFilesTest, FindThumbnail) {
  TempDrive drive;
  drive.Write("thumbs/tn_beach_2_jpg.jpg", "");
  drive.Write("thumbs/tn_beach_jpg.jpg", "");
  drive.Write("thumbs/tn_a.b_jpg.jpg", "");
  drive.Write("thumbs/tn_c_jpg.txt", "");
  drive.Write("thumbs/tn_pic_JPG.gif", "");
  drive.MakeDir("thumbs/tn_d_jpg.jpg");
  drive.Write("thumbs/tn_q_j_g.jpg", "");
  drive.Write("thumbs/TN_R_J_G.JPG", "");
  drive.Write("gallery/thumbs/tn_x_png.jpg", "");
  drive.MakeDir("empty");
  struct Case {
    const char* image;
    const char* expected;  // null: none
  };
  const Case cases[] = {
      {"beach.jpg", "thumbs\\tn_beach_jpg.jpg"},      // not tn_beach_2_jpg.jpg
      {"beach_2.jpg", "thumbs\\tn_beach_2_jpg.jpg"},
      {"a.b.jpg", "thumbs\\tn_a.b_jpg.jpg"},          // the writer's own name
      // The writer's name, which the search passes by ('_' after its prefix),
      // found in the search's listing, named as the writer names it.
      {"q.j_g", "thumbs\\tn_q_j_g.jpg"},
      {"r.j_g", "thumbs\\tn_r_j_g.jpg"},
      {"s.j_g", nullptr},
      {"PIC.JPG", "thumbs\\tn_pic_JPG.gif"},
      {"gallery\\x.png", "gallery\\thumbs\\tn_x_png.jpg"},
      {"C:\\gallery\\x.png", "C:\\gallery\\thumbs\\tn_x_png.jpg"},
      {"c.jpg", nullptr},      // only a non-image matches
      {"d.jpg", nullptr},      // a directory is no thumbnail
      {"sunset.jpg", nullptr},
      {"empty\\beach.jpg", nullptr},  // no thumbs directory
  };
  // The same answers looking each up on its own and from the folders'
  // thumbnails listed once.
  for (bool listedOnce : {false, true}) {
    std::optional<ThumbnailsListedOnce> here, gallery, empty;
    if (listedOnce) {
      here.emplace("");
      gallery.emplace("gallery");
      empty.emplace("empty");
    }
    for (const Case& c : cases) {
      std::string label = std::string(c.image) + (listedOnce ? ", listed once" : "");
      char buffer[kSitePathSize] = "";
      const char* result = FindThumbnail(buffer, c.image);
      if (!c.expected) {
        EXPECT_EQ(result, nullptr) << label;
        continue;
      }
      ASSERT_EQ(result, buffer) << label;
      EXPECT_STREQ(buffer, c.expected) << label;
    }
  }
}

// A folder's thumbnails listed once serve until the listing goes; a
// thumbnail made meanwhile is found after it.
TEST_F(SiteFilesTest, ThumbnailsListedOnceServeWhileTheyLive) {
  TempDrive drive;
  drive.Write("gallery/thumbs/tn_a_jpg.jpg", "");
  char buffer[kSitePathSize];
  {
    ThumbnailsListedOnce thumbnails("gallery");
    drive.Write("gallery/thumbs/tn_b_jpg.jpg", "");
    EXPECT_STREQ(FindThumbnail(buffer, "gallery\\a.jpg"), "gallery\\thumbs\\tn_a_jpg.jpg");
    EXPECT_EQ(FindThumbnail(buffer, "gallery\\b.jpg"), nullptr);
    // Another folder's images are looked up as ever.
    drive.Write("other/thumbs/tn_c_jpg.jpg", "");
    EXPECT_STREQ(FindThumbnail(buffer, "other\\c.jpg"), "other\\thumbs\\tn_c_jpg.jpg");
  }
  EXPECT_STREQ(FindThumbnail(buffer, "gallery\\b.jpg"), "gallery\\thumbs\\tn_b_jpg.jpg");
}

// --- Display names and titles ------------------------------------------------

TEST_F(SiteFilesTest, DirDisplayName) {
  TempDrive drive;
  drive.MakeDir("photos/PHOTOS/My Trip");
  drive.Chdir("photos");
  struct Case {
    const char* dir;
    size_t size;
    const char* expected;
    bool result;
  };
  const Case cases[] = {
      {".", 64, "photos", true},
      {"PHOTOS", 64, "Photos", true},
      {"PHOTOS\\My Trip\\", 64, "My Trip", true},
      {"PHOTOS\\..", 64, "photos", true},
      {"C:\\", 64, "[root]", true},
      {"..", 64, "[root]", true},
      {"PHOTOS", 4, "Pho", true},
      {"Q:\\X\\DATA", 64, "Data", false},  // on no mapped drive
  };
  for (const Case& c : cases) {
    char buffer[64] = "";
    EXPECT_EQ(DirDisplayName(c.dir, buffer, c.size), c.result) << c.dir;
    EXPECT_STREQ(buffer, c.expected) << c.dir;
  }
}

TEST_F(SiteFilesTest, TitleFromFileName) {
  struct Case {
    const char* path;
    const char* title;
  };
  const Case cases[] = {
      {"Sunset (2).JPG", "Sunset.jpg"},
      {"c:\\pics\\BEACH DAY.JPG", "beach day.jpg"},
      {"(intro) film.avi", "(intro) film.avi"},
      {"Trip (Day (2)).jpg", "Trip.jpg"},
      {"x (a.b).jpg", "x (a.b).jpg"},
      {"Trip (1)(2).jpg", "Trip.jpg"},
      {"a  (1)  (2) b.jpg", "a b.jpg"},
      {"open (end.jpg", "open (end.jpg"},
      {"stray ) (x).Gif", "stray ).gif"},
      {"Notes", "Notes"},
      {" (a).jpg", ".jpg"},
      {" (a)", ""},
      {"", ""},
  };
  for (const Case& c : cases) {
    char buffer[64];
    EXPECT_STREQ(TitleFromFileName(c.path, buffer, sizeof buffer), c.title) << c.path;
    EXPECT_STREQ(TitleFromFileNameString(c.path).Text(), c.title) << c.path;
  }
  char small[7];
  EXPECT_STREQ(TitleFromFileName("Sunset (2).JPG", small, sizeof small), "Sunset");
  EXPECT_TRUE(TitleFromFileNameString(nullptr).IsNull());
}

TEST_F(SiteFilesTest, TitleFromFileNameHtml) {
  char buffer[64];
  EXPECT_STREQ(TitleFromFileNameHtml("Tom & Jerry (1).JPG", buffer, sizeof buffer),
               "Tom &amp; Jerry.jpg");
  EXPECT_STREQ(TitleFromFileNameHtmlString("a\\<B>.GIF").Text(), "&lt;b&gt;.gif");
  EXPECT_STREQ(TitleFromFileNameHtml("x&y.gif", buffer, 4), "x&a");
  EXPECT_TRUE(TitleFromFileNameHtmlString(nullptr).IsNull());
}

// --- File information --------------------------------------------------------

TEST_F(SiteFilesTest, ParseFileInfo) {
  struct Case {
    const char* text;
    FileInfo expected;
  };
  const Case cases[] = {
      {"3 items; {0, 640, 480, 5, 5, 9, 1}", {0, 640, 480, 0, 5, 9, 1}},
      {"12 KB; {12}", {12, 0, 0, 1, 0, 1, 0}},
      {"1.2 MB; {1200000,1024, 768}", {1200000, 1024, 768, 1, 1, 1, 0}},
      {"; {100, 640, 0, 3, 3, 12, 2}", {100, 640, 0, 3, 0, 12, 2}},
      {"; {7 ,8}", {7, 0, 0, 1, 0, 1, 0}},          // no blank before a comma
      {"; {5, x, 9}", {5, 0, 0, 1, 0, 1, 0}},       // stops at the first mismatch
      {"; {}", {0, 0, 0, 0, 0, 1, 0}},
      {"; {1, 2, 3, 4, 5, 6, 7, 8}", {1, 2, 3, 4, 5, 6, 7}},
      {"; {99999999999999, 1, 1}", {2147483647, 1, 1, 1, 1, 1, 0}},
  };
  for (const Case& c : cases) {
    FileInfo info;
    info.count = 77;  // overwritten by the start values
    ASSERT_TRUE(ParseFileInfo(c.text, &info)) << c.text;
    const FileInfo& e = c.expected;
    EXPECT_EQ(info.averageSize, e.averageSize) << c.text;
    EXPECT_EQ(info.averageWidth, e.averageWidth) << c.text;
    EXPECT_EQ(info.averageHeight, e.averageHeight) << c.text;
    EXPECT_EQ(info.sizedCount, e.sizedCount) << c.text;
    EXPECT_EQ(info.dimensionedCount, e.dimensionedCount) << c.text;
    EXPECT_EQ(info.count, e.count) << c.text;
    EXPECT_EQ(info.setCount, e.setCount) << c.text;
  }
  FileInfo info;
  info.count = 77;
  EXPECT_FALSE(ParseFileInfo("12 KB {12}", &info));
  EXPECT_FALSE(ParseFileInfo(nullptr, &info));
  EXPECT_EQ(info.count, 77);  // left alone without a tail
}

}  // namespace
