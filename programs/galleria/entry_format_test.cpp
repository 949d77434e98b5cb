#include "programs/galleria/entry_format.h"

#include <gtest/gtest.h>

#include "programs/galleria/testing/page_fixture.h"
#include "shared/htmltext.h"

namespace {

using namespace page_fixture;

class EntryFormatTest : public PageTest {};

struct FormatCase {
  const char* format;
  const char* description;
  const char* fileInfo;
  const char* expected;
};

TEST_F(EntryFormatTest, GroupsVanishWhenTheirValuesAreEmpty) {
  const FormatCase cases[] = {
      {"<?A>${title}</A>{ - ${desc}}", nullptr, nullptr, "<A HREF=\"notes.htm\">Notes</A>"},
      {"<?A>${title}</A>{ - ${desc}}", "a<b", nullptr,
       "<A HREF=\"notes.htm\">Notes</A> - a&lt;b"},
      {"Only literal text", nullptr, nullptr, ""},
      {"{${desc}<?SP>[${info}]}", nullptr, nullptr, ""},
      {"{${desc}<?SP>[${info}]}", nullptr, "3 slides; {1}", "[3 slides]"},
      {"{${desc}<?SP>[${info}]}", "Old", "3 slides", "Old [3 slides]"},
      {"${desc}<?BR>${title}", "Old", nullptr, "Old<BR>Notes"},
      {"${desc}<?BR>${title}", nullptr, nullptr, "Notes"},
      {"${title}<?SP>{${desc}}<?SP>${info}", nullptr, "x", "Notes x"},
      {"${title}}${desc}", "cut off", nullptr, "Notes"},
      {"${unknownname}", nullptr, nullptr, ""},
      {"<?A>${unknownname}</A>", nullptr, nullptr, ""},
      {"$1 & ${title}", nullptr, nullptr, "$1 & Notes"},
      {"${title}<?XY>!", nullptr, nullptr, "Notes!"},
      {"<?a>${TITLE}</A>", nullptr, nullptr, "<A HREF=\"notes.htm\">Notes</A>"},
      {"${title", nullptr, nullptr, ""},
  };
  for (const FormatCase& c : cases) {
    Entries entries({{kEntryPage, "notes.htm", "Notes", nullptr, 0, 0, c.description, c.fileInfo}});
    EXPECT_EQ(Text(ExpandEntryFormat(c.format, entries[0], " ")), c.expected) << c.format;
  }
}

TEST_F(EntryFormatTest, TabBecomesTheCallersSplitTextAndCounts) {
  Entries entries({{kEntryPage, "notes.htm", "Notes"}});
  EXPECT_EQ(Text(ExpandEntryFormat("{${desc}}<?TAB>${title}", entries[0], "</TD><TD>")),
            "</TD><TD>Notes");
  EXPECT_EQ(Text(ExpandEntryFormat("x<?TAB>", entries[0], "|")), "x|");
}

TEST_F(EntryFormatTest, BuiltInFormatsOfTheLayouts) {
  Entries entries(GalleryEntries());
  EXPECT_EQ(Text(ExpandEntryFormat(kSimpleFormat, entries[0], " ")),
            "<A HREF=\"rome/index.htm\">Rome</A> - Eternal city "
            "<SMALL>[12 slides, 1.2MB]</SMALL>");
  EXPECT_EQ(Text(ExpandEntryFormat(kSimpleFormat, entries[1], " ")),
            "<A HREF=\"paris\">Paris</A>");
  EXPECT_EQ(Text(ExpandEntryFormat(kThumbnailFormat, entries[2], " ")),
            "<A HREF=\"beach.htm\"><IMG SRC=\"thumbs/tn_beach_jpg.jpg\" WIDTH=100 HEIGHT=75></A>");
  EXPECT_EQ(Text(ExpandEntryFormat(kThumbnailFormat, entries[3], " ")), "");
  EXPECT_EQ(Text(ExpandEntryFormat(kColumnFormat, entries[0], " ")),
            "<A HREF=\"rome/index.htm\">Rome</A><BR><SMALL>Eternal city [12 slides, 1.2MB]</SMALL>");
  EXPECT_EQ(Text(ExpandEntryFormat(kColumnThumbFormat, entries[1], "|")),
            "|<A HREF=\"paris\">Paris</A>");
}

TEST_F(EntryFormatTest, DescriptionLinksByAttributeOrSetting) {
  Entries entries({{kEntryPage, "p.htm", "P", nullptr, 0, 0, "see www.example.com"}});
  std::string plain = "see www.example.com";
  std::string linked = Text(LinkUrlsString("see www.example.com"));
  ASSERT_NE(plain, linked);
  EXPECT_EQ(Text(ExpandEntryFormat("${desc}", entries[0], " ")), plain);
  EXPECT_EQ(Text(ExpandEntryFormat("${desc links=yes}", entries[0], " ")), linked);
  EXPECT_EQ(Text(ExpandEntryFormat("${desc links}", entries[0], " ")), linked);
  indexSettings.weblinks = true;
  EXPECT_EQ(Text(ExpandEntryFormat("${description}", entries[0], " ")), linked);
  EXPECT_EQ(Text(ExpandEntryFormat("${desc links=no}", entries[0], " ")), plain);
}

TEST_F(EntryFormatTest, EntryVariables) {
  Entries entries({{kEntryImage, "a.jpg", "Tom & Jerry (2 of 5)", "thumbs/a.jpg", 40, 30,
                    nullptr, "4 slides; {1, 2}", "cats, <dogs>"}});
  Entry* entry = entries[0];
  entry->sortOrder = 7;
  EXPECT_EQ(Text(EntryVariable("title", nullptr, entry)), "Tom &amp; Jerry");
  EXPECT_EQ(Text(EntryVariable("Info", nullptr, entry)), "4 slides");
  EXPECT_EQ(Text(EntryVariable("keywords", nullptr, entry)), "cats, &lt;dogs&gt;");
  EXPECT_EQ(Text(EntryVariable("order", nullptr, entry)), "7");
  EXPECT_EQ(Text(EntryVariable("thumb", "BORDER=1", entry)),
            "<IMG SRC=\"thumbs/a.jpg\" WIDTH=40 HEIGHT=30 BORDER=1>");
  EXPECT_EQ(Text(EntryVariable("nothumb", nullptr, entry)),
            "<IMG SRC=\"thumbs/a.jpg\" WIDTH=40 HEIGHT=30>");
  EXPECT_EQ(Text(EntryVariable("desc", nullptr, entry)), "");
  EXPECT_EQ(Text(EntryVariable("icons", nullptr, entry)), "");
  EXPECT_EQ(Text(EntryVariable("whatever", nullptr, entry)), "");
  EXPECT_EQ(Text(ExpandEntryFormat("${thumb attr='HSPACE=2'}", entry, " ")),
            "<IMG SRC=\"thumbs/a.jpg\" WIDTH=40 HEIGHT=30 HSPACE=2>");
}

TEST_F(EntryFormatTest, NoThumbShowsTheIconOfTheIconsDirectory) {
  Icon("nothumb.gif", 32, 24);
  Entries entries({{kEntryPage, "p.htm", "P"}});
  EXPECT_EQ(Text(ExpandEntryFormat(kThumbnailFormat, entries[0], " ")),
            "<A HREF=\"p.htm\"><IMG SRC=\"../icons/nothumb.gif\" WIDTH=32 HEIGHT=24></A>");
}

TEST_F(EntryFormatTest, KeyIconsOfTheEntry) {
  Icon("star.gif", 10, 10);
  drive.Write("site/icons/keyicons.txt", "star\tbest\tFine\n");
  CopyBounded(indexSettings.keyIcons, drive.Win("site\\icons\\keyicons.txt").c_str(),
              sizeof indexSettings.keyIcons);
  ReadKeywordIcons();
  Entries entries({{kEntryPage, "p.htm", "P", nullptr, 0, 0, nullptr, nullptr, "best"}});
  EXPECT_EQ(Text(ExpandEntryFormat("${title}<?SP>${icons}", entries[0], " ")),
            "P <IMG SRC=\"../icons/star.gif\" WIDTH=10 HEIGHT=10 TITLE=\"Fine\">");
}

}  // namespace
