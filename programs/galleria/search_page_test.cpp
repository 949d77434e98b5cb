#include "programs/galleria/search_page.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/files.h"
#include "programs/galleria/testing/page_fixture.h"

namespace {

using namespace page_fixture;

class SearchPageTest : public PageTest {
 protected:
  void SetUp() override {
    PageTest::SetUp();
    drive.Write("site/icons/search.htm", "<HTML></HTML>\n");
  }
  // The page built from the entries ("" when it failed).
  std::string Build(const std::vector<EntrySpec>& specs) {
    Entries entries(specs);
    if (WriteSearchPage(entries.Array(), entries.Count()) != 0) return "";
    return Read("index.htm");
  }
  // The script data of the page: from bodyOptions to the end of the script.
  std::string Data(const std::vector<EntrySpec>& specs) {
    std::string page = Build(specs);
    size_t start = page.find("bodyOptions=");
    size_t end = page.find("// -->");
    if (start == std::string::npos || end == std::string::npos) return page;
    return page.substr(start, end - start);
  }
};

TEST_F(SearchPageTest, FramesetWithLinksSlidesAndKeywords) {
  File("index.htm",
       "<HTML><HEAD><TITLE>Coast walk</TITLE>\n"
       "<META NAME=\"DESCRIPTION\" CONTENT=\"Three \\ days\">\n"
       "<META NAME=\"KEYWORDS\" CONTENT=\"Coast\">\n</HEAD></HTML>\n");
  std::string page = Build({
      {kEntryIndexedDirectory, "rome/index.htm", "Rome", "rome/thumb.jpg", 80, 60,
       "Eternal city", "12 slides; {100000, 640, 480, 12, 12, 12, 0}", "sea, Boat"},
      {kEntryPage, "notes.htm", "Say \"hi\"", nullptr, 0, 0, "C:\\temp \"quoted\"", nullptr,
       "_private, notes"},
      {kEntryImage, "PIC.JPG", "Pic", "thumbs/tn_PIC_JPG.jpg", 96, 72, nullptr, nullptr,
       "boat, Anchor"},
      {kEntryImage, "pic.jpg", "pic", nullptr, 0, 0, nullptr, nullptr, "_hidden"},
  });
  EXPECT_FALSE(Exists("index.new"));
  EXPECT_EQ(page,
            "<HTML>\n<HEAD>\n<TITLE>Coast walk</TITLE>\n"
            "<META NAME=\"GENERATOR\" CONTENT=\"" + std::string(VersionBanner()) + "\">\n"
            "<META NAME=\"DESCRIPTION\" CONTENT=\"Three \\ days\">\n"
            "<META NAME=\"FILEINFO\" CONTENT=\"12 slides in 1 set, 1.1MB; "
            "{100000, 640, 480, 12, 12, 12, 1}\">\n"
            "<META NAME=\"KEYWORDS\" CONTENT=\"Coast\">\n"
            "<META HTTP-EQUIV=\"Content-Script-Type\" CONTENT=\"text/javascript\">\n"
            "\n<SCRIPT LANGUAGE=\"JavaScript1.1\">\n<!--\n\n"
            "function HLink(title, href, thumbnail, width, height, description, keywords) {\n"
            "  this.title=title;\n"
            "  this.href=href;\n"
            "  this.thumbnail=thumbnail;\n"
            "  this.width=width;\n"
            "  this.height=height;\n"
            "  this.description=description;\n"
            "  this.keywords=keywords;\n"
            "}\n\n"
            "function Slide(title, href, description, keywords) {\n"
            "  this.title=title;\n"
            "  this.href=href;\n"
            "  this.description=description;\n"
            "  this.keywords=keywords;\n"
            "}\n\n"
            "bodyOptions=\"\";\n"
            "indexDescription=\"Three \\\\ days\";\n"
            "indexThumbnail=\"\";\n"
            "backLink=\"../index.htm\";\n"
            "\nhlinks=2;\n"
            "hlink=new Array(hlinks);\n"
            "hlink[0]=new HLink(\"Rome\", \"rome/index.htm\", \"rome/thumb.jpg\", 0, 0, "
            "\"Eternal city [12 slides]\", \",sea,Boat,\");\n"
            "hlink[1]=new HLink(\"Say &quot;hi&quot;\", \"notes.htm\", \"\", 0, 0, "
            "\"C:\\\\temp &quot;quoted&quot;\", \",notes,\");\n"
            "\nslides=2;\n"
            "slide=new Array(slides);\n"
            "slide[0]=new Slide(\"Pic\", \"PIC.HTM\", \"\", \",boat,Anchor,\");\n"
            "slide[1]=new Slide(\"pic\", \"pic.htm\", \"\", \"\");\n"
            "\npages=0;\n"
            "page=new Array(slides);\n"
            "\nkeyword=new Array(\"Anchor\", \"Boat\", \"notes\", \"sea\");\n"
            "\n// -->\n</SCRIPT>\n"
            "</HEAD>\n\n"
            "<FRAMESET ROWS=\"60,*\">\n"
            "  <FRAME SRC=\"../icons/search.htm\" NAME=\"searchFrame\" SCROLLING=NO>\n"
            "  <FRAME SRC=\"javascript:'<BODY></BODY>'\" NAME=\"contentFrame\">\n"
            "</FRAMESET>\n"
            "</HTML>\n");
}

TEST_F(SearchPageTest, OnlyImagesGiveNoLinkArray) {
  EXPECT_EQ(Data({{kEntryImage, "a.jpg", "A"}, {kEntryImage, "b.gif", "B"}}),
            "bodyOptions=\"\";\n"
            "indexDescription=\"\";\n"
            "indexThumbnail=\"\";\n"
            "backLink=\"../index.htm\";\n"
            "\nhlinks=0;\n"
            "\nslides=2;\n"
            "slide=new Array(slides);\n"
            "slide[0]=new Slide(\"A\", \"a.htm\", \"\", \"\");\n"
            "slide[1]=new Slide(\"B\", \"b.htm\", \"\", \"\");\n"
            "\npages=0;\n"
            "page=new Array(slides);\n\n");
}

TEST_F(SearchPageTest, EmptyListing) {
  EXPECT_EQ(Data({}),
            "bodyOptions=\"\";\n"
            "indexDescription=\"\";\n"
            "indexThumbnail=\"\";\n"
            "backLink=\"../index.htm\";\n"
            "\nhlinks=0;\n"
            "\nslides=0;\n"
            "\npages=0;\n\n");
}

TEST_F(SearchPageTest, BodyOptionsAndBackLinkBySetting) {
  struct Case {
    const char* body;
    BacklinkMode backlink;
    const char* backlinkText;
    const char* expected;
  } const cases[] = {
      {"none", BacklinkMode::Parent, "", "bodyOptions=\"\";\nbackLink=\"../index.htm\";\n"},
      {"NONE", BacklinkMode::Keywords, "", "bodyOptions=\"\";\nbackLink=\"../index.htm\";\n"},
      {"TEXT=\"red\"", BacklinkMode::Smart, "",
       "bodyOptions=\" TEXT=\\\"red\\\"\";\nbackLink=\"../index.htm\";\n"},
      {"", BacklinkMode::Custom, "/photos/index.htm",
       "bodyOptions=\"\";\nbackLink=\"/photos/index.htm\";\n"},
      {"", BacklinkMode::Back, "", "bodyOptions=\"\";\nbackLink=\"\";\n"},
      {"", BacklinkMode::None, "", "bodyOptions=\"\";\n"},
      {"", BacklinkMode::Close, "", "bodyOptions=\"\";\n"},
  };
  for (const Case& c : cases) {
    CopyBounded(indexSettings.bodyAttributes, c.body, sizeof indexSettings.bodyAttributes);
    indexSettings.backlink = c.backlink;
    CopyBounded(indexSettings.backlinkText, c.backlinkText, sizeof indexSettings.backlinkText);
    std::string data = Data({});
    size_t description = data.find("indexDescription");
    size_t back = data.find("backLink");
    size_t end = data.find("\nhlinks");
    std::string lines = data.substr(0, description);
    if (back != std::string::npos) lines += data.substr(back, end - back);
    EXPECT_EQ(lines, c.expected) << c.body;
  }
}

TEST_F(SearchPageTest, AtTheDriveRootThereIsNoParentToLinkBack) {
  drive.Write("icons/search.htm", "");
  drive.Chdir("");
  Entries entries;
  ASSERT_EQ(WriteSearchPage(entries.Array(), 0), 0);
  std::string page = drive.Read("index.htm");
  EXPECT_EQ(page.find("backLink"), std::string::npos);
  EXPECT_NE(page.find("indexThumbnail=\"\";\n\nhlinks=0;\n"), std::string::npos) << page;
}

TEST_F(SearchPageTest, TheKeywordArrayKeepsAHundredKeywords) {
  std::string many;
  for (int i = 100; i >= 0; --i) many += "k" + std::to_string(1000 + i) + ", ";
  std::string page = Build({{kEntryPage, "a.htm", "A", nullptr, 0, 0, nullptr, nullptr,
                             many.c_str()}});
  size_t start = page.find("keyword=new Array(");
  ASSERT_NE(start, std::string::npos);
  std::string array = page.substr(start, page.find(");\n", start) - start);
  // Collected in list order (k1100 down to k1001), then sorted: k1000 is the 101st.
  EXPECT_EQ(array.find("\"k1000\""), std::string::npos);
  EXPECT_EQ(array.rfind("keyword=new Array(\"k1001\", \"k1002\", ", 0), 0u);
  EXPECT_EQ(array.substr(array.size() - 9), ", \"k1100\"");
}

TEST_F(SearchPageTest, WithoutSearchPageInTheIconsDirectoryNothingIsWritten) {
  DeleteFile("C:\\site\\icons\\search.htm");
  File("index.htm", "old");
  Entries entries({{kEntryPage, "a.htm", "A"}});
  EXPECT_EQ(WriteSearchPage(entries.Array(), entries.Count()), 1);
  EXPECT_EQ(MaxSeverity, 3);
  EXPECT_EQ(Read("index.htm"), "old");
  EXPECT_FALSE(Exists("index.new"));
}

TEST(SearchPagePieces, KeywordText) {
  struct KeywordCase {
    const char* keywords;
    const char* expected;
  } const keywords[] = {
      {"sea, boat", ",sea,boat,"},
      {" sea ,, _private,boat ", ",sea,boat,"},
      {"_a, _b", ""},
      {"", ""},
      {nullptr, ""},
  };
  for (const KeywordCase& c : keywords) {
    EXPECT_EQ(Text(KeywordText(c.keywords, ",")), c.expected) << (c.keywords ? c.keywords : "null");
  }
}

}  // namespace
