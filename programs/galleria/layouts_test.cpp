#include "programs/galleria/layouts.h"

#include <gtest/gtest.h>

#include <string>

#include "programs/galleria/testing/page_fixture.h"

namespace {

using namespace page_fixture;

// The pieces of the gallery fixture as the layouts write them.
const std::string kRomeLink = "<A HREF=\"rome/index.htm\">";
const std::string kRomeThumb = "<IMG SRC=\"rome/thumb.jpg\" WIDTH=80 HEIGHT=60>";
const std::string kBeachLink = "<A HREF=\"beach.htm\">";
const std::string kBeachThumb = "<IMG SRC=\"thumbs/tn_beach_jpg.jpg\" WIDTH=100 HEIGHT=75>";
const std::string kRomeSimple =
    kRomeLink + "Rome</A> - Eternal city <SMALL>[12 slides, 1.2MB]</SMALL>";
const std::string kParisSimple = "<A HREF=\"paris\">Paris</A>";
const std::string kBeachSimple = kBeachLink + "Beach</A> - Sand &amp; sea";
const std::string kNotesSimple = "<A HREF=\"notes.htm\">Notes</A>";

class LayoutTest : public PageTest {
 protected:
  Entries gallery{GalleryEntries()};
  Capture out;
};

TEST_F(LayoutTest, SimpleListing) {
  EXPECT_EQ(WriteSimpleListing(out.File(), gallery.Array(), 4, "Sets", 0x3F, false, nullptr, false),
            4);
  EXPECT_EQ(out.Text(), "<H3>Sets</H3>\n" + kRomeSimple + "<BR>\n" + kParisSimple + "<BR>\n" +
                            kBeachSimple + "<BR>\n" + kNotesSimple + "\n");
}

TEST_F(LayoutTest, SimpleListingWithFormatAndNonBreakingBlanks) {
  EXPECT_EQ(WriteSimpleListing(out.File(), gallery.Array(), 4, nullptr, 0x0F, true,
                               "<?A>${title}</A> {(${desc})}", true),
            2);
  EXPECT_EQ(out.Text(), kBeachLink + "Beach</A>&nbsp;(Sand&nbsp;&amp;&nbsp;sea)<BR>\n" +
                            kNotesSimple + "&nbsp;");  // the literal blank stays
}

TEST_F(LayoutTest, BulletListing) {
  EXPECT_EQ(WriteBulletListing(out.File(), gallery.Array(), 4, nullptr, 0x0F, true, "", false), 2);
  EXPECT_EQ(out.Text(), "<UL>\n<LI>" + kBeachSimple + "\n<LI>" + kNotesSimple + "\n</UL>");
}

TEST_F(LayoutTest, ThumbnailListingSkipsEntriesWithoutPictures) {
  EXPECT_EQ(WriteThumbnailListing(out.File(), gallery.Array(), 4, "Pictures", 0x3F, false, nullptr),
            2);
  EXPECT_EQ(out.Text(), "<CENTER>\n<H3>Pictures</H3>\n" + kRomeLink + kRomeThumb + "</A>\n" +
                            kBeachLink + kBeachThumb + "</A>\n</CENTER>\n");
}

TEST_F(LayoutTest, ThumbnailListingOfNothingWritesNothing) {
  EXPECT_EQ(WriteThumbnailListing(out.File(), gallery.Array(), 4, "H", 0x11, false, nullptr), 0);
  EXPECT_EQ(out.Text(), "");  // Paris and Notes have no thumbnail
}

TEST_F(LayoutTest, ListTableWithThumbnails) {
  EXPECT_EQ(WriteListTable(out.File(), gallery.Array(), 4, nullptr, 0x3F, false, true), 4);
  EXPECT_EQ(out.Text(),
            "<TABLE BORDER=0>\n"
            "<TR VALIGN=BOTTOM><TD>" + kRomeLink + kRomeThumb + "</A></TD><TD>" + kRomeLink +
                "Rome</A></TD><TD WIDTH=16>&nbsp;</TD><TD>Eternal city [12 slides, 1.2MB]</TD>"
                "</TR>\n"
                "<TR VALIGN=BOTTOM><TD></TD><TD><A HREF=\"paris\">Paris</A></TD></TR>\n"
                "<TR VALIGN=BOTTOM><TD>" + kBeachLink + kBeachThumb + "</A></TD><TD>" +
                kBeachLink + "Beach</A></TD><TD WIDTH=16>&nbsp;</TD><TD>Sand &amp; sea</TD>"
                "</TR>\n"
                "<TR VALIGN=BOTTOM><TD></TD><TD><A HREF=\"notes.htm\">Notes</A></TD></TR>\n"
                "</TABLE>\n");
}

TEST_F(LayoutTest, ListTableWithoutThumbnailsInline) {
  // Thumbnails are asked for, but no listed entry has one.
  EXPECT_EQ(WriteListTable(out.File(), gallery.Array(), 4, "H", 0x11, true, true), 2);
  EXPECT_EQ(out.Text(),
            "<H3>H</H3>\n<TABLE BORDER=0 CELLSPACING=0 CELLPADDING=0>\n"
            "<TR VALIGN=TOP><TD><A HREF=\"paris\">Paris</A></TD></TR>\n"
            "<TR VALIGN=TOP><TD><A HREF=\"notes.htm\">Notes</A></TD></TR>\n</TABLE>");
}

TEST_F(LayoutTest, CompactListing) {
  EXPECT_EQ(WriteCompactListing(out.File(), gallery.Array(), 4, nullptr, 0x3F, false, 3, 0), 4);
  EXPECT_EQ(out.Text(),
            "<CENTER>\n<TABLE BORDER>\n<TR ALIGN=CENTER VALIGN=BOTTOM>\n"
            "<TD>" + kRomeLink + kRomeThumb + "<BR>Rome</A></TD>\n"
            "<TD><A HREF=\"paris\">Paris</A></TD>\n"
            "<TD>" + kBeachLink + kBeachThumb + "<BR>Beach</A></TD>\n"
            "</TR>\n<TR ALIGN=CENTER VALIGN=BOTTOM>\n"
            "<TD><A HREF=\"notes.htm\">Notes</A></TD>\n"
            "</TR>\n</TABLE>\n</CENTER>\n");
}

TEST_F(LayoutTest, CompactListingInlineWithWidthAndSixColumns) {
  EXPECT_EQ(WriteCompactListing(out.File(), gallery.Array(), 4, "H", 0x0F, true, 0, 90), 2);
  EXPECT_EQ(out.Text(),
            "<H3>H</H3>\n<TABLE BORDER>\n<TR ALIGN=CENTER VALIGN=BOTTOM>\n"
            "<TD WIDTH=90>" + kBeachLink + kBeachThumb + "<BR>Beach</A></TD>\n"
            "<TD WIDTH=90><A HREF=\"notes.htm\">Notes</A></TD>\n</TR>\n</TABLE>");
}

TEST_F(LayoutTest, ColumnListingWithThumbnails) {
  EXPECT_EQ(WriteColumnListing(out.File(), gallery.Array(), 4, nullptr, 0x30, false, 0, 120), 2);
  EXPECT_EQ(out.Text(),
            "<TABLE>\n<TR>\n"
            "<TD>" + kRomeLink + kRomeThumb + "</A></TD>\n<TD WIDTH=120>" + kRomeLink +
                "Rome</A><BR><SMALL>Eternal city [12 slides, 1.2MB]</SMALL></TD>\n"
                "<TD WIDTH=16></TD>\n"
                "<TD></TD>\n<TD WIDTH=120><A HREF=\"paris\">Paris</A></TD>\n"
                "</TR>\n</TABLE>\n");
}

TEST_F(LayoutTest, ColumnListingWithoutThumbnails) {
  EXPECT_EQ(WriteColumnListing(out.File(), gallery.Array(), 4, nullptr, 0x10, true, 1, 120), 1);
  EXPECT_EQ(out.Text(),
            "<TABLE>\n<TR>\n<TD WIDTH=120><A HREF=\"paris\">Paris</A></TD>\n</TR>\n</TABLE>");
}

TEST_F(LayoutTest, FormatTableWithEverySetting) {
  TableFormat table;
  table.format = "${title}<?TAB>${order}";
  table.columns = 3;
  table.iPadding = 4;
  table.hPadding = 8;
  table.vPadding = 6;
  table.columnWidth1 = 100;
  table.columnWidth2 = 50;
  table.rowAttributes = "VALIGN=TOP";
  table.cellAttributes = "ALIGN=LEFT";
  EXPECT_EQ(WriteFormatTable(out.File(), gallery.Array(), 4, "All", 0x3F, false, table), 4);
  const std::string split = "</TD>\n<TD WIDTH=4></TD>\n<TD WIDTH=50 ALIGN=LEFT>";
  auto cell = [&](const char* title) {
    return "<TD WIDTH=100 ALIGN=LEFT>" + std::string(title) + split + "50</TD>\n";
  };
  EXPECT_EQ(out.Text(),
            "<CENTER>\n<H3>All</H3>\n<TABLE BORDER=0 CELLPADDING=0 CELLSPACING=0>\n"
            "<TR VALIGN=TOP>\n" + cell("Rome") + "<TD WIDTH=8></TD>\n" + cell("Paris") +
                "<TD WIDTH=8></TD>\n" + cell("Beach") +
                "</TR>\n<TR><TD HEIGHT=6></TD></TR>\n<TR VALIGN=TOP>\n" + cell("Notes") +
                "</TR>\n</TABLE>\n</CENTER>\n");
}

TEST_F(LayoutTest, FormatTableSevenEntriesInThreeColumnsLeavesNoEmptyCells) {
  Entries seven;
  for (const char* name : {"a", "b", "c", "d", "e", "f", "g"}) {
    seven.Add({kEntryPage, name, name});
  }
  TableFormat table;
  table.format = "${title}";
  table.columns = 3;
  table.tableAttributes = "";  // an empty text stays empty
  EXPECT_EQ(WriteFormatTable(out.File(), seven.Array(), 7, "", 0x3F, true, table), 7);
  EXPECT_EQ(out.Text(),
            "<TABLE>\n<TR>\n<TD>a</TD>\n<TD>b</TD>\n<TD>c</TD>\n"
            "</TR>\n<TR>\n<TD>d</TD>\n<TD>e</TD>\n<TD>f</TD>\n"
            "</TR>\n<TR>\n<TD>g</TD>\n</TR>\n</TABLE>");
}

TEST_F(LayoutTest, FormatTableHoldsLongCellAttributesWhole) {
  std::string attributes(255, 'x');
  TableFormat table;
  table.format = "${title}<?TAB>${title}";
  table.cellAttributes = attributes.c_str();
  EXPECT_EQ(WriteFormatTable(out.File(), gallery.Array(), 4, nullptr, 0x01, true, table), 1);
  EXPECT_EQ(out.Text(),
            "<TABLE BORDER=0 CELLPADDING=0 CELLSPACING=0>\n<TR>\n<TD " + attributes +
                ">Notes</TD>\n<TD " + attributes + ">Notes</TD>\n</TR>\n</TABLE>");
}

TEST_F(LayoutTest, RowTablesOnePerRowOnlyTheFirstHeaded) {
  TableFormat table;
  table.format = "${title}";
  table.columns = 2;
  table.vPadding = 9;  // not used between row tables
  EXPECT_EQ(WriteRowTables(out.File(), gallery.Array(), 4, "H", 0x3F, true, table, nullptr), 4);
  const std::string open = "<TABLE BORDER=0 CELLPADDING=0 CELLSPACING=0>\n<TR>\n";
  EXPECT_EQ(out.Text(), "<H3>H</H3>\n" + open + "<TD>Rome</TD>\n<TD>Paris</TD>\n</TR>\n</TABLE>" +
                            "\n<P>\n" + open + "<TD>Beach</TD>\n<TD>Notes</TD>\n</TR>\n</TABLE>");
}

TEST_F(LayoutTest, RowTablesPassOverGroupsOutsideTheMask) {
  TableFormat table;
  table.format = "${title}";
  table.columns = 2;
  EXPECT_EQ(WriteRowTables(out.File(), gallery.Array(), 4, nullptr, 0x30, true, table, "<HR>"), 2);
  EXPECT_EQ(out.Text(),
            "<TABLE BORDER=0 CELLPADDING=0 CELLSPACING=0>\n<TR>\n<TD>Rome</TD>\n<TD>Paris</TD>\n"
            "</TR>\n</TABLE>");
}

TEST_F(LayoutTest, NbspOutsideTagsOnly) {
  EXPECT_EQ(Text(NbspOutsideTags("a b<IMG SRC=x ALT=y> c")), "a&nbsp;b<IMG SRC=x ALT=y>&nbsp;c");
  EXPECT_EQ(Text(NbspOutsideTags(nullptr)), "");
}

// Which layout WriteListing chooses, told by how its output begins.
struct ChoiceCase {
  std::vector<std::pair<const char*, const char*>> keys;
  int mask;
  const char* begins;
};

TEST_F(LayoutTest, ListingSectionChoosesTheLayout) {
  const ChoiceCase cases[] = {
      {{}, 0x30, "<TABLE>\n<TR>\n"},                      // auto: thumbnails and descriptions
      {{}, 0x0F, "<TABLE BORDER=0>\n"},                  // section 1 is a list
      {{{"format2", "auto"}}, 0x01, "<TABLE BORDER=0 CELLSPACING"},  // auto, no thumbnail
      {{{"format2", "auto"}}, 0x06, "<TABLE>\n"},        // beach has a description
      {{{"format", "compact"}}, 0x30, "<TABLE BORDER>\n"},
      {{{"format2", "compact"}}, 0x0F, "<TABLE BORDER>\n"},
      {{{"format2", "compact"}}, 0x30, "<TABLE>\n<TR>\n"},  // directories keep section 0
      {{{"format", "column"}}, 0x30, "<TABLE>\n<TR>\n"},
      {{{"format", "list"}}, 0x30, "<TABLE BORDER=0>\n"},
      {{{"format", "${title}"}}, 0x30, "<TABLE BORDER=0 CELLPADDING=0 CELLSPACING=0>\n<TR>\n<TD>Rome"},
      {{{"layout", "simple"}}, 0x30, "<A HREF=\"rome/index.htm\">Rome</A> - "},
      {{{"layout", "bullet"}}, 0x30, "<UL>\n"},
      {{{"format", "thumbnail"}}, 0x30, "<A HREF=\"rome/index.htm\"><IMG"},
      {{{"tables", "no"}, {"format", "compact"}}, 0x30, "<UL>\n"},
      {{{"format", "thumbnail"}, {"thumbnails", "no"}}, 0x30, "<TABLE BORDER=0 CELLSPACING"},
      {{{"format", "thumbnail"}, {"thumbnails", "no"}, {"tables", "no"}}, 0x30, "<UL>\n"},
      {{{"thumbnails", "no"}}, 0x30, "<TABLE BORDER=0 CELLSPACING"},
  };
  for (const ChoiceCase& c : cases) {
    ResetIndexSettings();
    std::string keys;
    for (const auto& [key, value] : c.keys) {
      IndexOptionKey(key, value);
      keys += std::string(key) + "=" + value + " ";
    }
    Capture capture;
    EXPECT_GT(WriteListing(capture.File(), gallery.Array(), 4, nullptr, c.mask, true), 0) << keys;
    EXPECT_EQ(capture.Text().rfind(c.begins, 0), 0u) << keys << "\n" << capture.Text();
  }
}

TEST_F(LayoutTest, AutoFormatWithThumbnailsButNoDescriptionsIsTheCompactGrid) {
  Entries entries({{kEntryImage, "a.jpg", "A", "t/a.jpg", 10, 10},
                   {kEntryImage, "b.jpg", "B"}});
  EXPECT_EQ(WriteListing(out.File(), entries.Array(), 2, nullptr, 0x3F, false), 2);
  EXPECT_EQ(out.Text(),
            "<CENTER>\n<TABLE BORDER>\n<TR ALIGN=CENTER VALIGN=BOTTOM>\n"
            "<TD><A HREF=\"a.htm\"><IMG SRC=\"t/a.jpg\" WIDTH=10 HEIGHT=10><BR>A</A></TD>\n"
            "<TD><A HREF=\"b.htm\">B</A></TD>\n</TR>\n</TABLE>\n</CENTER>\n");
}

TEST_F(LayoutTest, NothingIsWrittenForAnEmptyMask) {
  for (const char* format : {"auto", "list", "column", "compact", "${title}"}) {
    ResetIndexSettings();
    IndexOptionKey("format", format);
    Capture capture;
    EXPECT_EQ(WriteListing(capture.File(), gallery.Array(), 4, "H", 0x08, false), 0) << format;
    EXPECT_EQ(capture.Text(), "") << format;
  }
}

// The index page's listings: directories, then files headed "Singles" only
// after a directory listing; with combine one listing of everything.
TEST_F(LayoutTest, IndexListingsPutTheFilesAfterTheDirectories) {
  const std::string dirs = kRomeSimple + "<BR>\n" + kParisSimple + "\n";
  const std::string files = kBeachSimple + "<BR>\n" + kNotesSimple + "\n";
  struct Case {
    bool combine;
    int first;  // the entries from this one of the gallery
    std::string text;
  } const cases[] = {
      {false, 0, dirs + "<H3>Singles</H3>\n" + files},
      {false, 2, files},
      {true, 0, kRomeSimple + "<BR>\n" + kParisSimple + "<BR>\n" + files},
  };
  for (const Case& c : cases) {
    IndexOptionKey("layout", "simple");
    IndexOptionKey("layout2", "simple");
    indexSettings.combine = c.combine;
    Capture capture;
    WriteIndexListings(capture.File(), gallery.Array() + c.first, 4 - c.first);
    EXPECT_EQ(capture.Text(), c.text) << c.combine << " " << c.first;
  }
}

}  // namespace
