#include "programs/galleria/entry_pieces.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/testing/test_support.h"
#include "programs/galleria/index_run.h"
#include "programs/galleria/index_settings.h"
#include "shared/entry.h"
#include "shared/paths.h"
#include "shared/sitefiles.h"

namespace {

std::string Text(const String& s) { return s.Text() ? s.Text() : ""; }

// A GIF header of the given size (89a: the logical screen gives it).
std::string Gif(int width, int height) {
  std::string gif = "GIF89a";
  for (int v : {width, height}) {
    gif += static_cast<char>(v & 0xFF);
    gif += static_cast<char>(v >> 8);
  }
  gif += std::string("\0\0\0", 3);
  return gif;
}

Entry MakeEntry(int kind, const char* href, const char* fileInfo = nullptr) {
  Entry entry;
  entry.kind = kind;
  entry.SetHref(href);
  entry.SetFileInfo(fileInfo);
  return entry;
}

// Every test runs in C:\site of a fresh drive with an icons directory beside it.
class EntryPiecesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Reset();
    drive.Write("icons/weft.ini", "");
    drive.MakeDir("site");
    drive.Chdir("site");
  }
  void TearDown() override { Reset(); }
  static void Reset() {
    ResetIndexRun();
    ResetSiteFiles();
  }
  // Writes the key icon file and reads it as the run does.
  void KeyIcons(const std::string& lines) {
    drive.Write("icons/keyicons.txt", lines);
    CopyBounded(indexSettings.keyIcons, drive.Win("icons\\keyicons.txt").c_str(),
                sizeof indexSettings.keyIcons);
    ReadKeywordIcons();
  }

  TempDrive drive;
};

TEST_F(EntryPiecesTest, ImgTagWritesOnlyTheSizesAndAttributesGiven) {
  struct Case {
    const char* source;
    unsigned width, height;
    const char* attributes;
    const char* expected;
  } const cases[] = {
      {"a.jpg", 0, 0, nullptr, "<IMG SRC=\"a.jpg\">"},
      {"a.jpg", 100, 0, "", "<IMG SRC=\"a.jpg\" WIDTH=100>"},
      {"a.jpg", 0, 75, nullptr, "<IMG SRC=\"a.jpg\" HEIGHT=75>"},
      {"t/a.jpg", 100, 75, "BORDER=0", "<IMG SRC=\"t/a.jpg\" WIDTH=100 HEIGHT=75 BORDER=0>"},
      {nullptr, 100, 75, "BORDER=0", ""},
      {"", 100, 75, "BORDER=0", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Text(ImgTag(c.source, c.width, c.height, c.attributes)), c.expected) << c.expected;
  }
}

TEST_F(EntryPiecesTest, ImageTagsTakeTheSizeOfTheFileTheyShow) {
  drive.Write("icons/star.gif", Gif(16, 12));
  drive.Write("site/thumbs/tn_a_jpg.jpg", "not an image");
  Entry entry = MakeEntry(kEntryImage, "a.jpg");
  entry.SetThumbnail("thumbs/tn_a_jpg.jpg");
  entry.thumbWidth = 96;
  entry.thumbHeight = 72;

  EXPECT_EQ(Text(EntryThumbTag(&entry, "BORDER=0")),
            "<IMG SRC=\"thumbs/tn_a_jpg.jpg\" WIDTH=96 HEIGHT=72 BORDER=0>");
  EXPECT_EQ(Text(IconTag(drive.Win("icons\\star.gif").c_str(), nullptr)),
            "<IMG SRC=\"../icons/star.gif\" WIDTH=16 HEIGHT=12>");
  EXPECT_EQ(Text(UrlImgTag("../icons/star.gif", "ALIGN=TOP")),
            "<IMG SRC=\"../icons/star.gif\" WIDTH=16 HEIGHT=12 ALIGN=TOP>");
  EXPECT_EQ(Text(SizedImgTag("x.gif", "thumbs\\tn_a_jpg.jpg", nullptr)), "<IMG SRC=\"x.gif\">");
  EXPECT_EQ(Text(SizedImgTag(nullptr, "..\\icons\\star.gif", nullptr)), "");
  EXPECT_EQ(Text(IconTag(nullptr, nullptr)), "");
  Entry bare = MakeEntry(kEntryImage, "b.jpg");
  EXPECT_EQ(Text(EntryThumbTag(&bare, "BORDER=0")), "");
}

TEST_F(EntryPiecesTest, NoThumbIconIsMadeOnceWithTheFirstAttributes) {
  drive.Write("icons/nothumb.gif", Gif(50, 40));
  EXPECT_EQ(Text(NoThumbIcon("BORDER=0")), "<IMG SRC=\"../icons/nothumb.gif\" WIDTH=50 HEIGHT=40 BORDER=0>");
  EXPECT_EQ(Text(NoThumbIcon("ALIGN=LEFT")), "<IMG SRC=\"../icons/nothumb.gif\" WIDTH=50 HEIGHT=40 BORDER=0>");
}

TEST_F(EntryPiecesTest, NoThumbIconIsEmptyWithoutTheIcon) {
  EXPECT_EQ(Text(NoThumbIcon("BORDER=0")), "");
  drive.Write("icons/nothumb.gif", Gif(50, 40));
  EXPECT_EQ(Text(NoThumbIcon("BORDER=0")), "");  // the first answer holds for the run
}

TEST_F(EntryPiecesTest, EntryLinkByKindAndModes) {
  struct Case {
    int kind;
    const char* href;
    const char* fileInfo;
    int slideIndex;
    SlidesMode slides;
    LinkMode links;
    const char* expected;
  } const cases[] = {
      {kEntryFile, "notes.txt", nullptr, -1, SlidesMode::Window, LinkMode::Open,
       "<A HREF=\"notes.txt\">"},
      {kEntryImage, "beach.jpg", nullptr, -1, SlidesMode::Simple, LinkMode::Standard,
       "<A HREF=\"beach.htm\">"},
      {kEntryImage, "PICT0001.JPG", nullptr, -1, SlidesMode::Simple, LinkMode::Open,
       "<A HREF=\"PICT0001.HTM\">"},
      {kEntryImage, "beach.jpg", nullptr, 4, SlidesMode::Frameset, LinkMode::Standard,
       "<A HREF=\"frameset.htm#5\">"},
      {kEntryImage, "beach.jpg", nullptr, 4, SlidesMode::Window, LinkMode::Standard,
       "<A HREF=\"javascript:SlideLink(4)\">"},
      {kEntryImage | kEntryAlias, "../x/b.jpg", nullptr, 0, SlidesMode::Window,
       LinkMode::Standard, "<A HREF=\"javascript:SlideLink(0)\">"},
      {kEntryIndexedDirectory, "rome/index.htm", "3 slides; FRAMESET", -1, SlidesMode::Window,
       LinkMode::Standard, "<A HREF=\"javascript:FramesetLink('rome/index.htm')\">"},
      {kEntryIndexedDirectory, "rome/index.htm", "3 slides; FRAMESET", -1, SlidesMode::Simple,
       LinkMode::Standard, "<A HREF=\"rome/index.htm\">"},
      {kEntryIndexedDirectory, "rome/index.htm", "3 slides; FRAMESET", -1, SlidesMode::Simple,
       LinkMode::Open, "<A HREF=\"javascript:FramesetLink('rome/index.htm')\">"},
      {kEntryIndexedDirectory, "rome/index.htm", "3 slides; frameset", -1, SlidesMode::Window,
       LinkMode::Standard, "<A HREF=\"rome/index.htm\">"},
      {kEntryPage, "story.htm", nullptr, -1, SlidesMode::Window, LinkMode::Open,
       "<A HREF=\"javascript:IndexLink('story.htm')\">"},
      {kEntryDirectory, "misc", nullptr, -1, SlidesMode::Frameset, LinkMode::Standard,
       "<A HREF=\"misc\">"},
  };
  for (const Case& c : cases) {
    indexSettings.slides = c.slides;
    indexSettings.links = c.links;
    Entry entry = MakeEntry(c.kind, c.href, c.fileInfo);
    entry.slideIndex = c.slideIndex;
    EXPECT_EQ(Text(EntryLink(&entry)), c.expected) << c.expected;
  }
}

TEST_F(EntryPiecesTest, EntryLinkWithInnerTextCloses) {
  Entry entry = MakeEntry(kEntryPage, "story.htm");
  EXPECT_EQ(Text(EntryLink(&entry, "Story")), "<A HREF=\"story.htm\">Story</A>");
}

TEST_F(EntryPiecesTest, ShortTitleCutsOnlyASequenceNumber) {
  struct Case {
    const char* title;
    const char* expected;
  } const cases[] = {
      {"Rome (3 of 12)", "Rome"},  {"Rome (2004)", "Rome (2004)"},
      {"Rome   (1 of 2)", "Rome"}, {"Rome (2004) day 1 of 2", "Rome"},
      {"One of us (x)", "One of us (x)"}, {"(1 of 2)", ""},
      {"Rome", "Rome"},           {nullptr, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Text(ShortTitle(c.title)), c.expected) << (c.title ? c.title : "(null)");
  }
}

TEST_F(EntryPiecesTest, InfoTextJoinsDescriptionAndFileInfo) {
  struct Case {
    const char* description;
    const char* fileInfo;
    bool small;
    bool weblinks;
    const char* expected;
  } const cases[] = {
      {"Sun & sea", "12 slides, 3KB; {1, 2, 3}", false, false, "Sun &amp; sea [12 slides, 3KB]"},
      {"Sun & sea", "12 slides, 3KB; {1, 2, 3}", true, false,
       "Sun &amp; sea&nbsp; <SMALL>[12 slides, 3KB]</SMALL>"},
      {nullptr, "12 slides", false, false, "[12 slides]"},
      {nullptr, "12 slides", true, false, "<SMALL>[12 slides]</SMALL>"},
      {"<b>", nullptr, true, false, "&lt;b&gt;"},
      {"Sea", "; {1, 2}", false, false, "Sea"},
      {nullptr, nullptr, true, false, ""},
      {"See www.x.org", nullptr, false, false, "See www.x.org"},
  };
  for (const Case& c : cases) {
    indexSettings.weblinks = c.weblinks;
    Entry entry = MakeEntry(kEntryPage, "a.htm", c.fileInfo);
    entry.SetDescription(c.description);
    EXPECT_EQ(Text(InfoText(&entry, c.small)), c.expected) << c.expected;
  }
}

TEST_F(EntryPiecesTest, InfoTextLinksAddressesWithWeblinks) {
  indexSettings.weblinks = true;
  Entry entry = MakeEntry(kEntryPage, "a.htm");
  entry.SetDescription("See www.x.org");
  std::string text = Text(InfoText(&entry, false));
  EXPECT_NE(text.find("<A HREF="), std::string::npos) << text;
  EXPECT_EQ(text.rfind("See ", 0), 0u) << text;
}

// --- Key icons -------------------------------------------------------------------

constexpr const char* kIconLines =
    "star\tbeach\tA <beach>\n"
    ":favourite\tsunset\n"
    "heart.gif\t\tstar.gif & favourite\tLoved\n"
    "missing\tbeach\tNot there\n"
    "star\n"
    "heart.gif\ttown\n";

TEST_F(EntryPiecesTest, KeyIconLinesWithoutQueryOrIconAreSkipped) {
  drive.Write("icons/star.gif", Gif(16, 12));
  drive.Write("icons/heart.gif", Gif(8, 8));
  KeyIcons(kIconLines);
  std::vector<std::string> names;
  for (const KeywordIcon* icon = KeywordIcons(); icon; icon = icon->next) {
    const char* name = icon->name.Text();
    names.push_back(name[0] == ':' ? name : BaseName(name));
  }
  EXPECT_EQ(names, (std::vector<std::string>{"star.gif", ":favourite", "heart.gif", "heart.gif"}));
  const KeywordIcon* star = KeywordIcons();
  EXPECT_EQ(Text(star->url), "../icons/star.gif");
  EXPECT_EQ(star->width, 16);
  EXPECT_EQ(star->height, 12);
  EXPECT_EQ(Text(star->text), "A &lt;beach&gt;");
  EXPECT_EQ(Text(star->name), drive.Win("icons\\star.gif"));  // a full path
}

TEST_F(EntryPiecesTest, KeyIconTagsFollowTheQueriesInFileOrder) {
  drive.Write("icons/star.gif", Gif(16, 12));
  drive.Write("icons/heart.gif", Gif(8, 8));
  KeyIcons(kIconLines);
  const std::string star = "<IMG SRC=\"../icons/star.gif\" WIDTH=16 HEIGHT=12 TITLE=\"A &lt;beach&gt;\">";
  const std::string heart = "<IMG SRC=\"../icons/heart.gif\" WIDTH=8 HEIGHT=8 TITLE=\"Loved\">";
  const std::string order = "<IMG SRC=\"../icons/heart.gif\" WIDTH=8 HEIGHT=8>";
  struct Case {
    const char* keywords;
    bool leading;
    std::string expected;
  } const cases[] = {
      {"beach", true, " " + star},
      {"beach", false, star},
      {" _beach", false, star},  // hidden keywords take part
      {"beach, sunset", false, star + " " + heart},
      {"sunset", false, ""},  // favourite without the star
      {"town, _beach", false, star + " " + order},
      {"", false, ""},
      {nullptr, true, ""},
  };
  for (const Case& c : cases) {
    Entry entry = MakeEntry(kEntryImage, "a.jpg");
    entry.SetKeywords(c.keywords);
    EXPECT_EQ(Text(KeywordIconTags(&entry, c.leading)), c.expected)
        << (c.keywords ? c.keywords : "(none)");
    if (c.keywords) {
      EXPECT_STREQ(entry.keywords, c.keywords);  // restored
    } else {
      EXPECT_EQ(entry.keywords, nullptr);
    }
  }
}

TEST_F(EntryPiecesTest, KeyIconTooltipsBySetting) {
  drive.Write("icons/star.gif", Gif(16, 12));
  KeyIcons("star\tbeach\tSea\nstar\tbeach\n");
  struct Case {
    TooltipMode mode;
    const char* expected;
  } const cases[] = {
      {TooltipMode::None, "<IMG SRC=\"../icons/star.gif\" WIDTH=16 HEIGHT=12>"},
      {TooltipMode::Alt, "<IMG SRC=\"../icons/star.gif\" WIDTH=16 HEIGHT=12 ALT=\"Sea\">"},
      {TooltipMode::Title, "<IMG SRC=\"../icons/star.gif\" WIDTH=16 HEIGHT=12 TITLE=\"Sea\">"},
      {TooltipMode::Both,
       "<IMG SRC=\"../icons/star.gif\" WIDTH=16 HEIGHT=12 ALT=\"Sea\" TITLE=\"Sea\">"},
  };
  for (const Case& c : cases) {
    indexSettings.tooltips = c.mode;
    Entry entry = MakeEntry(kEntryImage, "a.jpg");
    entry.SetKeywords("beach");
    // The second line has no tooltip text: its tag is always bare.
    EXPECT_EQ(Text(KeywordIconTags(&entry, false)),
              std::string(c.expected) + " <IMG SRC=\"../icons/star.gif\" WIDTH=16 HEIGHT=12>");
  }
}

TEST_F(EntryPiecesTest, InfoTextEndsWithTheKeyIcons) {
  drive.Write("icons/star.gif", Gif(16, 12));
  KeyIcons("star\tbeach\n");
  Entry entry = MakeEntry(kEntryImage, "a.jpg", "2 slides; {1}");
  entry.SetKeywords("beach");
  EXPECT_EQ(Text(InfoText(&entry, false)),
            "[2 slides] <IMG SRC=\"../icons/star.gif\" WIDTH=16 HEIGHT=12>");
}

// The page's text carries letters beyond ASCII as references; the script
// form keeps the description's bytes for the script escapes.
TEST_F(EntryPiecesTest, InfoTextLettersBeyondAscii) {
  drive.Write("icons/star.gif", Gif(16, 12));
  KeyIcons("star\tbeach\tM\xC3\xA5s & Sj\xC3\xB6\n");
  indexSettings.tooltips = TooltipMode::Alt;
  Entry entry = MakeEntry(kEntryImage, "a.jpg", "2 slides; {1}");
  entry.SetKeywords("beach");
  entry.SetDescription("Cr\xC3\xA8me <br\xC3\xBBl\xC3\xA9" "e>");
  const std::string icon = " <IMG SRC=\"../icons/star.gif\" WIDTH=16 HEIGHT=12 ALT=\"M&#229;s &amp; Sj&#246;\">";
  EXPECT_EQ(Text(InfoText(&entry, false)),
            "Cr&#232;me &lt;br&#251;l&#233;e&gt; [2 slides]" + icon);
  EXPECT_EQ(Text(ScriptInfoText(&entry)),
            "Cr\xC3\xA8me &lt;br\xC3\xBBl\xC3\xA9" "e&gt; [2 slides]" + icon);
}

TEST_F(EntryPiecesTest, KeyIconFileMissingOrLinesTooLong) {
  drive.Write("icons/star.gif", Gif(16, 12));
  strcpy(indexSettings.keyIcons, "C:\\icons\\none.txt");
  ReadKeywordIcons();
  EXPECT_EQ(KeywordIcons(), nullptr);
  // A line of more than 255 characters is cut there; its rest is no new line.
  KeyIcons("star\t" + std::string(260, 'x') + "\tbeach\nstar\tbeach\n");
  int count = 0;
  for (const KeywordIcon* icon = KeywordIcons(); icon; icon = icon->next) ++count;
  EXPECT_EQ(count, 2);
  Entry entry = MakeEntry(kEntryImage, "a.jpg");
  entry.SetKeywords("beach");
  EXPECT_EQ(Text(KeywordIconTags(&entry, false)),
            "<IMG SRC=\"../icons/star.gif\" WIDTH=16 HEIGHT=12>");
}

// --- Summary ----------------------------------------------------------------------

TEST_F(EntryPiecesTest, SizeTextTable) {
  struct Case {
    double bytes;
    const char* expected;
  } const cases[] = {
      {0, ", 0 bytes"},         {500, ", 500 bytes"},    {999, ", 999 bytes"},
      {1000, ", 1.0KB"},        {5000, ", 4.9KB"},       {10188, ", 9.9KB"},
      {10189, ", 10KB"},        {20000, ", 20KB"},       {2000000, ", 1.9MB"},
      {50e6, ", 48MB"},         {5e9, ", 4.7GB"},        {2e12, ", 1863GB"},
  };
  for (const Case& c : cases) EXPECT_EQ(Text(SizeText(c.bytes)), c.expected) << c.bytes;
}

TEST_F(EntryPiecesTest, SlideCountsSumsTheEntries) {
  struct Case {
    std::vector<std::pair<int, const char*>> entries;  // kind, FILEINFO
    const char* expected;
  } const cases[] = {
      {{{kEntryImage, "x; {1000}"}, {kEntryImage, "x; {3000}"}, {kEntryIndexedDirectory, nullptr}},
       "2 slides in 1 set, 3.9KB; {2000, 0, 0, 2, 0, 2, 1}"},
      {{{kEntryImage, "1 slide; {500, 640, 480, 1, 1, 1, 0}"}},
       "1 slide, 500 bytes; {500, 640, 480, 1, 1, 1, 0}"},
      {{{kEntryIndexedDirectory, "3 slides; {1000, 100, 50, 3, 3, 3, 1}"},
        {kEntryImage, "x; {2000, 200, 100, 1, 1, 1, 0}"}},
       "4 slides in 1 set, 4.9KB; {1250, 125, 63, 4, 4, 4, 1}"},
      {{{kEntryDirectory, nullptr}, {kEntryIndexedDirectory, "no tail"}}, "2 sets"},
      {{{kEntryIndexedDirectory, nullptr}, {kEntryImage, "no tail"}}, "1 set"},
      {{{kEntryImage, "no tail"}, {kEntryImage, "x; {1000}"}}, ""},
      {{}, "0 slides, 0 bytes; {0, 0, 0, 0, 0, 0, 0}"},
      {{{kEntryDirectory, nullptr}, {kEntryDirectory, nullptr}},
       "0 slides in 2 sets, 0 bytes; {0, 0, 0, 0, 0, 0, 2}"},
  };
  for (const Case& c : cases) {
    std::vector<Entry> entries;
    for (const auto& [kind, info] : c.entries) entries.push_back(MakeEntry(kind, "x", info));
    std::vector<Entry*> pointers;
    for (Entry& e : entries) pointers.push_back(&e);
    EXPECT_EQ(Text(SlideCounts(pointers.data(), static_cast<int>(pointers.size()))), c.expected)
        << c.expected;
  }
}

// --- Parent and ancestors ----------------------------------------------------------

class ParentEntriesTest : public EntryPiecesTest {
 protected:
  void SetUp() override {
    EntryPiecesTest::SetUp();
    drive.Write("top/index.htm", "<HTML><HEAD><TITLE>Top page</TITLE></HEAD></HTML>");
    drive.Write("top/photos/index.htm", "<HTML><HEAD><TITLE>Photos</TITLE></HEAD></HTML>");
    drive.Write("top/secret/hidden.dir", "");
    drive.Write("top/secret/index.htm", "<HTML><HEAD><TITLE>Secret</TITLE></HEAD></HTML>");
    drive.MakeDir("top/mid/here");
    drive.Chdir("top/mid/here");
  }
  void TearDown() override {
    for (Entry* e : found) delete e;
    EntryPiecesTest::TearDown();
  }
  // "title -> href" of each entry found.
  std::vector<std::string> Parents(int room, const char* list) {
    Entry* entries[10] = {};
    int count = ParentEntries(entries, room, list);
    std::vector<std::string> result;
    for (int i = 0; i < count; ++i) {
      found.push_back(entries[i]);
      result.push_back(std::string(entries[i]->title) + " -> " + entries[i]->href);
    }
    return result;
  }
  std::vector<Entry*> found;
};

TEST_F(ParentEntriesTest, ParentWithoutIndexPageGetsALinkToIt) {
  EXPECT_EQ(Parents(10, nullptr), (std::vector<std::string>{"mid -> ../index.htm"}));
}

TEST_F(ParentEntriesTest, ListedAncestorsFollowTheParent) {
  EXPECT_EQ(Parents(10, " Mid , photos,,nowhere, secret,top"),
            (std::vector<std::string>{"mid -> ../index.htm", "Photos -> ../../photos/index.htm",
                                      "secret -> ../../secret/index.htm",
                                      "Top page -> ../../../top/index.htm"}));
  EXPECT_EQ(Parents(2, "photos, secret"),
            (std::vector<std::string>{"mid -> ../index.htm", "Photos -> ../../photos/index.htm"}));
}

TEST_F(ParentEntriesTest, ParentWithIndexPageIsReadFromIt) {
  drive.Chdir("top/photos");
  EXPECT_EQ(Parents(10, nullptr), (std::vector<std::string>{"Top page -> ../index.htm"}));
}

TEST_F(ParentEntriesTest, NoParentAtTheDriveRoot) {
  drive.Chdir("");
  EXPECT_EQ(Parents(10, "top"), std::vector<std::string>{});
  EXPECT_EQ(FindAncestorEntry("nowhere"), nullptr);
}

TEST_F(EntryPiecesTest, TrimBlanksTable) {
  struct Case {
    const char* text;
    const char* expected;
  } const cases[] = {
      {"  a b \t", "a b"}, {"\n\r\v\fa", "a"}, {"a", "a"}, {"   ", ""}, {"", ""},
  };
  for (const Case& c : cases) {
    std::string copy = c.text;
    EXPECT_STREQ(TrimSpacesInPlace(copy.data()), c.expected);
  }
  EXPECT_EQ(TrimSpacesInPlace(nullptr), nullptr);
}

}  // namespace
