#include "shared/entry_list.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "platform/attributes.h"
#include "platform/env.h"
#include "platform/files.h"
#include "platform/testing/test_support.h"
#include "shared/report.h"
#include "shared/sitefiles.h"

namespace {

// Every test lists C:\site\here of a fresh drive, with the site tables as a
// program starts and no log file.
class ListingTest : public ::testing::Test {
 protected:
  ListingTest() {
    ResetSiteFiles();
    ResetReportForTests();
    SetEnv("WEFTLOG", nullptr);
    DefaultSortOrder = 50;
    drive_.MakeDir("site/here");
    drive_.Chdir("site/here");
  }
  ~ListingTest() override {
    ResetSiteFiles();
    ResetReportForTests();
    DefaultSortOrder = 50;
  }

  void Write(const std::string& name, const std::string& content = "") const {
    drive_.Write("site/here/" + name, content);
  }
  static std::string Page(const std::string& title, int sortOrder = 50) {
    std::string page = "<HEAD><TITLE>" + title + "</TITLE>";
    if (sortOrder != 50) page += "<META NAME=SORTORDER CONTENT=" + std::to_string(sortOrder) + ">";
    return page + "</HEAD>";
  }

  // The hrefs of a listing, in order.
  static std::vector<std::string> Hrefs(int flags) {
    EntryList list;
    EXPECT_TRUE(list.Read(flags));
    std::vector<std::string> hrefs;
    for (int i = 0; i < list.Count(); ++i) hrefs.push_back(list[i]->href);
    return hrefs;
  }

  TempDrive drive_;
};

using Names = std::vector<std::string>;

// --- Hiding and pairing -----------------------------------------------------------

TEST_F(ListingTest, HidingAndPairingRules) {
  AddUserExt("mpg");
  Write("a.htm", Page("A"));
  Write("a.JPG");
  Write("b.jpg");
  Write("b.mpg");
  Write("c.txt");
  Write(".secret.htm", Page("dot"));
  Write("index.htm", Page("Index"));
  Write("thumb.jpg");
  struct Case {
    int flags;
    Names hrefs;
  };
  const Case cases[] = {
      {kListPages | kListImages, {"a.JPG", "b.mpg"}},
      {kListPages | kListImages | kListFiles, {"a.htm", "a.JPG", "b.mpg", "c.txt"}},
      {kListPages, {"a.htm"}},
      {kListImages, {"a.JPG", "b.mpg"}},
      {kListFiles, {"c.txt"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Hrefs(c.flags), c.hrefs) << "flags " << c.flags;
}

TEST_F(ListingTest, HiddenAttributeHidesWhateverTheFlags) {
  Write("shown.htm", Page("Shown"));
  Write("kept.htm", Page("Kept"));
  if (!SetAttributes("kept.htm", kAttrHidden)) GTEST_SKIP() << "no attribute records here";
  EXPECT_EQ(Hrefs(0xFF), Names{"shown.htm"});
  // Every kind of entry, and a hidden image that still hides its page.
  Write("seen.jpg");
  Write("pic.jpg");
  Write("pic.htm", Page("Pic"));
  Write("b.mpg");
  Write("c.txt");
  Write("d.txt");
  drive_.Write("site/here/trip/index.htm", Page("Trip"));
  drive_.Write("site/here/away/index.htm", Page("Away"));
  AddUserExt("mpg");
  for (const char* name : {"pic.jpg", "b.mpg", "d.txt", "away"}) {
    ASSERT_TRUE(SetAttributes(name, kAttrHidden)) << name;
  }
  EXPECT_EQ(Hrefs(0xFF), (Names{"c.txt", "pic.htm", "seen.jpg", "shown.htm", "trip/index.htm"}));
  EXPECT_EQ(Hrefs(kListPages | kListImages), (Names{"seen.jpg", "shown.htm"}));
  EXPECT_EQ(Hrefs(kListImages | kListAllDirs), (Names{"seen.jpg", "trip/index.htm"}));
  EXPECT_EQ(Hrefs(kListFiles), Names{"c.txt"});
}

TEST_F(ListingTest, DirectoriesByFlags) {
  drive_.Write("site/here/trip/index.htm", Page("Trip"));
  drive_.MakeDir("site/here/bare");
  drive_.Write("site/here/quiet/index.htm", Page("Quiet"));
  drive_.Write("site/here/quiet/hidden.dir", "");
  drive_.MakeDir("site/here/.git");
  // A directory is never taken for an image or page by its name.
  drive_.MakeDir("site/here/x.jpg");
  Write("x.avi");
  AddUserExt("avi");
  EXPECT_EQ(Hrefs(kListIndexedDirs), Names{"trip/index.htm"});
  EXPECT_EQ(Hrefs(kListAllDirs), (Names{"bare", "trip/index.htm", "x.jpg"}));
  EXPECT_EQ(Hrefs(kListAllDirs | kListImages), (Names{"bare", "trip/index.htm", "x.avi", "x.jpg"}));
}

TEST_F(ListingTest, EmptyListingIsASuccess) {
  Write("only.txt");
  EntryList list;
  EXPECT_TRUE(list.Read(kListPages | kListImages));
  EXPECT_EQ(list.Count(), 0);
  Write("p.htm", Page("P"));
  EXPECT_TRUE(list.Read(kListPages));
  EXPECT_EQ(list.Count(), 1);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.entries, nullptr);
}

// --- Aliases ------------------------------------------------------------------------

TEST_F(ListingTest, AliasesFromTheAliasList) {
  drive_.Write("site/trips/index.htm", Page("Trips", 5));
  drive_.Write("site/pics/x.jpg", "");
  drive_.Write("site/pics/x.htm", Page("Ex", 7));
  drive_.Write("site/news/index.htm", Page("News"));
  Write("own.htm", Page("Own"));
  Write("symlinks.txt",
        ": aliases of this gallery\n"
        "../trips/index.htm\n"
        "\n"
        "..\\pics\\x.jpg   \n"
        "../news/\n");
  EntryList list;
  ASSERT_TRUE(list.Read(kListPages | kListImages | kListIndexedDirs | kListAliases |
                        kListImagePages | kListUnsorted));
  ASSERT_EQ(list.Count(), 4);
  EXPECT_STREQ(list[0]->href, "own.htm");
  EXPECT_EQ(list[0]->kind, kEntryPage);
  EXPECT_STREQ(list[1]->href, "../trips/index.htm");
  EXPECT_EQ(list[1]->kind, kEntryIndexedDirectory | kEntryAlias);
  EXPECT_EQ(list[1]->sortOrder, 5);
  EXPECT_STREQ(list[2]->href, "../pics/x.jpg");
  EXPECT_STREQ(list[2]->title, "Ex");
  EXPECT_EQ(list[2]->kind, kEntryImage | kEntryAlias);
  EXPECT_EQ(list[2]->sortOrder, 7);
  EXPECT_STREQ(list[3]->href, "../news/index.htm");

  // Without the alias flag the list is ignored; with 0x800 aliases take the
  // default sort order.
  EXPECT_EQ(Hrefs(kListPages | kListIndexedDirs), Names{"own.htm"});
  DefaultSortOrder = 60;
  ASSERT_TRUE(list.Read(kListPages | kListImages | kListIndexedDirs | kListAliases |
                        kListImagePages | kListAliasDefaultOrder));
  ASSERT_EQ(list.Count(), 4);
  // Equal sort orders now: the titles decide (Ex, News, Own, Trips).
  const Names sorted = {"../pics/x.jpg", "../news/index.htm", "own.htm", "../trips/index.htm"};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(list[i]->href, sorted[i]);
    EXPECT_EQ(list[i]->sortOrder, 60) << list[i]->href;
  }
}

TEST_F(ListingTest, AliasPairingAndMissingList) {
  EXPECT_EQ(Hrefs(0xFFF & ~kListUnsorted), Names{});
  drive_.Write("site/movies/clip.avi", "");
  drive_.Write("site/movies/clip.jpg", "");
  AddUserExt("avi");
  Write("symlinks.txt", "../movies/clip.jpg\n../movies/clip.avi\n");
  EXPECT_EQ(Hrefs(kListImages | kListAliases), Names{"../movies/clip.avi"});
}

// --- Sorting --------------------------------------------------------------------------

TEST_F(ListingTest, SortModes) {
  Write("w2.htm", Page("Walk (2)"));
  Write("w1.htm", Page("Walk"));
  Write("d10.htm", Page("Day 10"));
  Write("d9.htm", Page("day 9"));
  Write("first.htm", Page("Zebra", 1));
  Write("last.htm", Page("Aardvark", 90));
  EXPECT_EQ(Hrefs(kListPages),
            (Names{"first.htm", "d10.htm", "d9.htm", "w1.htm", "w2.htm", "last.htm"}));
  EXPECT_EQ(Hrefs(kListPages | kListNaturalSort),
            (Names{"first.htm", "d9.htm", "d10.htm", "w1.htm", "w2.htm", "last.htm"}));
  // Unsorted: the order of the directory scan.
  EXPECT_EQ(Hrefs(kListPages | kListUnsorted),
            (Names{"d10.htm", "d9.htm", "first.htm", "last.htm", "w1.htm", "w2.htm"}));
}

TEST_F(ListingTest, CompareEntries) {
  Entry low, high;
  low.sortOrder = INT_MIN;
  high.sortOrder = INT_MAX;
  // Far-apart sort orders must not wrap around.
  EXPECT_LT(CompareEntries(&low, &high), 0);
  EXPECT_GT(CompareEntries(&high, &low), 0);
  EXPECT_LT(CompareEntriesNatural(&low, &high), 0);

  Entry a, b;
  a.SetTitle("Birds (2)");
  b.SetTitle("birds  (10)");
  a.SetHref("b.htm");
  b.SetHref("A.htm");
  EXPECT_GT(CompareEntries(&a, &b), 0);  // equal titles: the href decides
  EXPECT_GT(CompareEntriesNatural(&a, &b), 0);
  b.SetHref("b.HTM");
  EXPECT_EQ(CompareEntries(&a, &b), 0);
  Entry bare;  // no title, no href
  EXPECT_LT(CompareEntries(&bare, &a), 0);
  EXPECT_EQ(CompareEntries(&bare, &bare), 0);
}

TEST_F(ListingTest, StripParenthesised) {
  struct Case {
    const char* title;
    const char* stripped;
  };
  const Case cases[] = {
      {"Birds", "Birds"},
      {"Birds (2)", "Birds"},
      {"Birds \t (10) more (x)", "Birds"},
      {"(intro) film", ""},
      {"a(b", "a"},
      {"", ""},
      {nullptr, ""},
  };
  for (const Case& c : cases) {
    char buffer[kSortTitleSize];
    EXPECT_STREQ(StripParenthesised(c.title, buffer), c.stripped) << (c.title ? c.title : "null");
  }
  const char* plain = "No brackets";
  char buffer[kSortTitleSize];
  EXPECT_EQ(StripParenthesised(plain, buffer), plain);
  // A copy is cut to 255 characters.
  std::string longTitle(300, 'x');
  longTitle += " (2)";
  EXPECT_EQ(std::string(StripParenthesised(longTitle.c_str(), buffer)), std::string(255, 'x'));
}

// --- Alias list lines ------------------------------------------------------------------

// Reads an alias list text with ReadAliasLine to its end.
struct AliasLine {
  int result;
  uint32_t attributes;
  std::string path;
};

std::vector<AliasLine> ReadAliasText(const TempDrive& drive, const std::string& text, bool check) {
  drive.Write("site/here/list.txt", text);
  FILE* stream = OpenFile("list.txt", "r");
  EXPECT_TRUE(stream);
  std::vector<AliasLine> lines;
  if (!stream) return lines;
  AliasRecord record;
  for (int result; (result = ReadAliasLine(stream, &record, check)) != kAliasEnd;) {
    lines.push_back({result, record.attributes, record.path});
    if (lines.size() > 100) break;
  }
  fclose(stream);
  return lines;
}

bool operator==(const AliasLine& a, const AliasLine& b) {
  return a.result == b.result && a.attributes == b.attributes && a.path == b.path;
}

void PrintTo(const AliasLine& line, std::ostream* out) {
  *out << "{" << line.result << ", " << line.attributes << ", \"" << line.path << "\"}";
}

TEST_F(ListingTest, AliasLinesWithoutChecks) {
  const std::string text =
      ":comment\n"
      "../trips/index.htm\r\n"
      "..\\pics\\x%20y.jpg\n"
      "../pics/x%20y.jpg\n"
      "   \n"
      "../news/\n"
      "index.htm\n"
      "Welcome.html\n"
      "sub/\n"
      "\\index.htm\n"
      "c:\\index.htm\n"
      "c:index.htm\n"
      "C:/pics/a.jpg\n";
  const std::vector<AliasLine> expected = {
      {1, 0x10, "..\\trips"},   {1, 0, "..\\pics\\x%20y.jpg"}, {1, 0, "..\\pics\\x y.jpg"},
      {1, 0x10, "..\\news"},    {1, 0x10, "."},                {1, 0x10, "."},
      {1, 0x10, "sub"},         {1, 0x10, "\\"},               {1, 0x10, "c:\\"},
      {1, 0x10, "c:"},          {1, 0, "C:\\pics\\a.jpg"},
  };
  testing::internal::CaptureStderr();
  EXPECT_EQ(ReadAliasText(drive_, text, false), expected);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST_F(ListingTest, AliasLinesLongAndCut) {
  // A line longer than 260 characters is cut there; its rest is no line.
  std::string longLine = "../" + std::string(300, 'p') + ".jpg";
  std::vector<AliasLine> lines = ReadAliasText(drive_, longLine + "\nnext.jpg", false);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].path, "..\\" + std::string(256, 'p'));
  EXPECT_EQ(lines[1].path, "next.jpg");
}

TEST_F(ListingTest, AliasLinesWithChecks) {
  drive_.Write("site/trips/index.htm", "");
  drive_.Write("site/pics/a.jpg", "");
  drive_.MakeDir("site/bare");
  const std::string text =
      "../trips/\n"
      "../pics/a.jpg\n"
      "../bare/index.htm\n"
      "../pics/gone.jpg  \t\n"
      "C:\\site\\pics\\a.jpg\n"
      "/site/trips/index.htm\n"
      "<x>.jpg\n";
  const std::vector<AliasLine> expected = {
      {1, 0x10, "..\\trips"},          {1, 0, "..\\pics\\a.jpg"},  {-2, 0x10, "..\\bare"},
      {-2, 0, "..\\pics\\gone.jpg"},   {-1, 0, "C:\\site\\pics\\a.jpg"},
      {-1, 0x10, "\\site\\trips"},     {-2, 0, "<x>.jpg"},
  };
  testing::internal::CaptureStderr();
  EXPECT_EQ(ReadAliasText(drive_, text, true), expected);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Warning:  Bad path in \"symlinks.txt\" file -- directory or index does not exist:\n"
            "            ../bare/index.htm\n"
            "Warning:  Bad path in \"symlinks.txt\" file -- file does not exist:\n"
            "            ../pics/gone.jpg\n"
            "Warning:  Bad path in \"symlinks.txt\" file -- illegal path:\n"
            "            C:\\site\\pics\\a.jpg\n"
            "Warning:  Bad path in \"symlinks.txt\" file -- illegal path:\n"
            "            /site/trips/index.htm\n"
            "Warning:  Bad path in \"symlinks.txt\" file -- illegal path:\n"
            "            <x>.jpg\n"
            "Warning:  Bad path in \"symlinks.txt\" file -- file does not exist:\n"
            "            <x>.jpg\n");
  EXPECT_EQ(MaxSeverity, 1);
}

}  // namespace
