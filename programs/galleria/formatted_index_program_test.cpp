// The built galleria run on a gallery folder, as a user runs it.
#include <gtest/gtest.h>

#include <string>

#include "platform/testing/test_support.h"
#include "shared/testing/exif_jpeg.h"
#include "shared/testing/long_heads.h"

namespace {

// A JPEG header with a frame of the given size (all that size readers need).
std::string Jpeg(int width, int height) {
  std::string jpeg = "\xFF\xD8\xFF\xC0";
  jpeg += std::string("\x00\x11\x08", 3);
  for (int v : {height, width}) {
    jpeg += static_cast<char>(v >> 8);
    jpeg += static_cast<char>(v & 0xFF);
  }
  jpeg += std::string("\x03\x01\x22\x00\x02\x11\x01\x03\x11\x01\xFF\xD9", 12);
  return jpeg;
}

const char kHead[] =
    "<HTML>\n<HEAD>\n<TITLE>Our trip</TITLE>\n"
    "<META NAME=\"GENERATOR\" CONTENT=\"Tessarin Index Builder, v2.10 by Dunmarrow\">\n"
    "<META NAME=\"FILEINFO\" CONTENT=\"0 slides in 1 set, 0 bytes; {0, 0, 0, 0, 0, 0, 1}\">\n"
    "</HEAD>\n\n"
    "<BODY TEXT=NAVY>\n"
    "<CENTER>\nBack to\n<A HREF=\"../index.htm\">site</A>\n</CENTER>\n\n\n"
    "<!-- BEGIN HEADING -->\n<H1>Summer 2004</H1>\n<!-- END HEADING -->\n"
    "\n<P>\n";

std::string Page(const std::string& title, const std::string& description = "") {
  std::string head = "<HTML>\n<HEAD>\n<TITLE>" + title + "</TITLE>\n";
  if (!description.empty()) {
    head += "<META NAME=\"DESCRIPTION\" CONTENT=\"" + description + "\">\n";
  }
  return head + "</HEAD>\n<BODY>\n</BODY>\n</HTML>\n";
}

// C:\site\icons (empty) and the gallery C:\site\trip: a page, an image with
// its slide page and thumbnail, a subfolder with an index page and one
// without.
class GalleriaProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    drive.MakeDir("site/icons");
    drive.Write("site/trip/about.htm", Page("About the trip", "Two weeks & more"));
    drive.Write("site/trip/beach.jpg", Jpeg(640, 480));
    drive.Write("site/trip/beach.htm", Page("Beach"));
    drive.Write("site/trip/thumbs/tn_beach_jpg.jpg", Jpeg(96, 72));
    drive.Write("site/trip/rome/index.htm", Page("Rome"));
    drive.Write("site/trip/rome/thumb.jpg", Jpeg(64, 48));
    drive.MakeDir("site/trip/misc");
  }
  RunResult Galleria(const std::vector<std::string>& args = {}) {
    RunOptions options;
    options.cwd = drive.Host("site/trip");
    options.unset = {"WEFTLOG"};
    return RunProgram("galleria", args, options);
  }
  std::string Index(const std::string& name = "index.htm") {
    return drive.Read("site/trip/" + name);
  }

  TempDrive drive;
};

TEST_F(GalleriaProgramTest, BuildsACompleteIndexPage) {
  RunResult run = Galleria();
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "");
  EXPECT_FALSE(drive.Exists("site/trip/index.new"));
  EXPECT_EQ(Index(),
            "<HTML>\n<HEAD>\n<TITLE>trip</TITLE>\n"
            "<META NAME=\"GENERATOR\" CONTENT=\"Tessarin Index Builder, v2.10 by Dunmarrow\">\n"
            "<META NAME=\"FILEINFO\" CONTENT=\"0 slides in 1 set, 0 bytes; {0, 0, 0, 0, 0, 0, 1}\">\n"
            "</HEAD>\n\n"
            "<BODY>\n"
            "<CENTER>\nBack to\n<A HREF=\"../index.htm\">site</A>\n</CENTER>\n\n\n"
            "<HR>\n<CENTER>\n<BIG><BIG><BIG><B>trip</B></BIG></BIG></BIG>\n</CENTER>\n<HR>\n"
            "\n<P>\n"
            "<CENTER>\n<TABLE BORDER>\n<TR ALIGN=CENTER VALIGN=BOTTOM>\n"
            "<TD><A HREF=\"rome/index.htm\"><IMG SRC=\"rome/thumb.jpg\" WIDTH=64 HEIGHT=48><BR>"
            "Rome</A></TD>\n</TR>\n</TABLE>\n</CENTER>\n"
            "<H3>Singles</H3>\n<TABLE BORDER=0 CELLSPACING=0 CELLPADDING=0>\n"
            "<TR VALIGN=TOP><TD><A HREF=\"about.htm\">About the trip</A></TD>"
            "<TD WIDTH=16>&nbsp;</TD><TD>Two weeks &amp; more</TD></TR>\n"
            "<TR VALIGN=TOP><TD><A HREF=\"beach.htm\">Beach</A></TD></TR>\n"
            "</TABLE>\n</BODY>\n</HTML>\n");
}

TEST_F(GalleriaProgramTest, SlidePagesListTheImagesWithTheirThumbnails) {
  drive.Write("site/icons/weft.ini", "slides=simple\nformat2=column\n");
  RunResult run = Galleria();
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.err, "");
  std::string page = Index();
  size_t singles = page.find("<H3>Singles</H3>\n");
  ASSERT_NE(singles, std::string::npos) << page;
  EXPECT_EQ(page.substr(singles),
            "<H3>Singles</H3>\n<TABLE>\n<TR>\n"
            "<TD></TD>\n<TD><A HREF=\"about.htm\">About the trip</A><BR><SMALL>Two weeks &amp; "
            "more</SMALL></TD>\n"
            "<TD WIDTH=16></TD>\n"
            "<TD><A HREF=\"beach.htm\"><IMG SRC=\"thumbs/tn_beach_jpg.jpg\" WIDTH=96 HEIGHT=72>"
            "</A></TD>\n<TD><A HREF=\"beach.htm\">Beach</A></TD>\n"
            "</TR>\n</TABLE>\n</BODY>\n</HTML>\n");
}

TEST_F(GalleriaProgramTest, PagedRebuildKeepsTheHandWrittenHeading) {
  drive.Write("site/icons/weft.ini", "pagesize=2\n");
  drive.Write("site/trip/index.htm",
              "<HTML><HEAD><TITLE>Our trip</TITLE></HEAD>\n<BODY TEXT=NAVY>\n"
              "<!-- BEGIN HEADING -->\n<H1>Summer 2004</H1>\n<!-- END HEADING -->\n</BODY>\n");
  drive.Write("site/trip/index3.htm", "stale");
  drive.Write("site/trip/index4.htm", "stale");
  drive.Write("site/trip/index6.htm", "not reached");
  RunResult run = Galleria();
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(Index(),
            std::string(kHead) +
                "<TABLE BORDER=0 CELLSPACING=0 CELLPADDING=0>\n"
                "<TR VALIGN=TOP><TD><A HREF=\"about.htm\">About the trip</A></TD>"
                "<TD WIDTH=16>&nbsp;</TD><TD>Two weeks &amp; more</TD></TR>\n"
                "<TR VALIGN=TOP><TD><A HREF=\"beach.htm\">Beach</A></TD></TR>\n</TABLE>\n"
                "<P>\n<HR>\n<STRONG>Pages:</STRONG>&nbsp;\n <STRONG>1</STRONG>\n"
                " <A HREF=\"index2.htm\">2</A>&nbsp;&nbsp;\n"
                " <STRONG><A HREF=\"index2.htm\">[Next >>]</A></STRONG>\n<P>\n"
                "</BODY>\n</HTML>\n");
  // The second page takes the BODY tag and heading from the first.
  EXPECT_EQ(Index("index2.htm"),
            std::string(kHead) +
                "<CENTER>\n<TABLE BORDER>\n<TR ALIGN=CENTER VALIGN=BOTTOM>\n"
                "<TD><A HREF=\"rome/index.htm\"><IMG SRC=\"rome/thumb.jpg\" WIDTH=64 HEIGHT=48>"
                "<BR>Rome</A></TD>\n</TR>\n</TABLE>\n</CENTER>\n"
                "<P>\n<HR>\n<STRONG>Pages:</STRONG>&nbsp;\n"
                " <STRONG><A HREF=\"index.htm\">[<< Prev]</A></STRONG>&nbsp;&nbsp;\n"
                " <A HREF=\"index.htm\">1</A>\n <STRONG>2</STRONG>\n<P>\n"
                "</BODY>\n</HTML>\n");
  EXPECT_FALSE(drive.Exists("site/trip/index3.htm"));
  EXPECT_FALSE(drive.Exists("site/trip/index4.htm"));
  EXPECT_TRUE(drive.Exists("site/trip/index6.htm"));
}

// A rebuild repeats the old page's head whole, however long its fields:
// what the page-head editors take, what a user typed by hand beyond that,
// and a description of a megabyte.
TEST_F(GalleriaProgramTest, RebuildKeepsLongHeadFieldsWhole) {
  struct Case {
    std::string title, description, keywords;
  };
  const Case cases[] = {
      {"Our trip", DescriptionOf(500), KeywordListOf(1000)},
      {"Our trip", DescriptionOf(600), KeywordListOf(1023)},
      {"Our trip " + std::string(300, 't'), DescriptionOf(1 << 20), KeywordListOf(5000)},
  };
  for (const Case& c : cases) {
    drive.Write("site/trip/index.htm",
                "<HTML>\n<HEAD>\n<TITLE>" + c.title + "</TITLE>\n<META NAME=\"DESCRIPTION\" CONTENT=\"" +
                    c.description + "\">\n<META NAME=\"KEYWORDS\" CONTENT=\"" + c.keywords +
                    "\">\n</HEAD>\n<BODY>\n</BODY>\n</HTML>\n");
    for (int run = 0; run < 2; ++run) {
      RunResult result = Galleria();
      EXPECT_EQ(result.exitCode, 0) << result.err;
      std::string page = Index();
      EXPECT_EQ(HeadFieldOf(page, "TITLE"), c.title) << run;
      EXPECT_EQ(HeadFieldOf(page, "DESCRIPTION"), c.description) << run;
      EXPECT_EQ(HeadFieldOf(page, "KEYWORDS"), c.keywords) << run;
    }
  }
}

TEST_F(GalleriaProgramTest, LargestPageSizeGivesOnePage) {
  RunResult unpaged = Galleria();
  ASSERT_EQ(unpaged.exitCode, 0);
  std::string single = Index();
  drive.Write("site/icons/weft.ini", "pagesize=2147483647\n");
  RunResult run = Galleria();
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(Index(), single);
  EXPECT_FALSE(drive.Exists("site/trip/index2.htm"));
}

TEST_F(GalleriaProgramTest, TemplateFromTheIconsDirectory) {
  drive.Write("site/icons/weft.ini", "template=gallery.tpl\n");
  drive.Write("site/icons/gallery.tpl",
              "<BODY>\n<H1>${title}</H1>\n"
              "#if dirLinks\n${table format='${title}' filetype=dir}\n#endif\n"
              "#include foot.htm\n</BODY>\n");
  drive.Write("site/icons/foot.htm", "<HR>Footer\n");
  RunResult run = Galleria();
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.err, "");
  std::string page = Index();
  EXPECT_EQ(page.substr(page.find("</HEAD>")),
            "</HEAD>\n\n<BODY>\n<H1>trip</H1>\n"
            "<TABLE BORDER=0 CELLPADDING=0 CELLSPACING=0>\n<TR>\n<TD>Rome</TD>\n</TR>\n</TABLE>\n"
            "<HR>Footer\n</BODY>\n</HTML>\n");
}

// The configuration names paths relative to the folder being indexed; they
// match the icons directory, which the program keeps as a full path.
TEST_F(GalleriaProgramTest, RelativeUrlMapEntryMatchesTheIcons) {
  drive.Write("site/icons/weft.ini",
              "template=gallery.tpl\nmap=..\\icons; http://cdn.example/icons/\n");
  drive.Write("site/icons/gallery.tpl", "<BODY>\n${icon src=star.gif}\n${icon src=./beach.jpg}\n</BODY>\n");
  drive.Write("site/icons/star.gif", std::string("GIF89a\x10\x00\x08\x00", 10));
  RunResult run = Galleria();
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.err, "");
  std::string page = Index();
  EXPECT_EQ(page.substr(page.find("</HEAD>")),
            "</HEAD>\n\n<BODY>\n<IMG SRC=\"http://cdn.example/icons/star.gif\">\n"
            "<IMG SRC=\"beach.jpg\" WIDTH=640 HEIGHT=480>\n</BODY>\n</HTML>\n");
}

// Template images take their size from the file that their URL names: an
// icon whose URL goes through a map entry has no such file and so no size.
// The navigation tags size their icons from the icon's own file.
TEST_F(GalleriaProgramTest, TemplateImagesAreSizedByTheFileTheirUrlNames) {
  drive.Write("site/icons/back.gif", std::string("GIF89a\x10\x00\x08\x00\x00\x00\x00", 13));
  const std::string map = "map=..\\icons; /ic\n";
  struct Case {
    std::string weftIni;
    const char* tag;
    const char* expected;
  } const cases[] = {
      {"", "${icon src=back.gif}", "<IMG SRC=\"../icons/back.gif\" WIDTH=16 HEIGHT=8>"},
      {map, "${icon src=back.gif}", "<IMG SRC=\"/ic/back.gif\">"},
      {map, "${icon icon=back.gif attr=BORDER=0}", "<IMG SRC=\"/ic/back.gif\" BORDER=0>"},
      {map, "${img icon=back.gif}", "<IMG SRC=\"/ic/back.gif\">"},
      {map, "${img src=/ic/back.gif}", "<IMG SRC=\"/ic/back.gif\">"},
      {map, "${img src=../icons/back.gif}", "<IMG SRC=\"../icons/back.gif\" WIDTH=16 HEIGHT=8>"},
      {map, "${icon src=./beach.jpg}", "<IMG SRC=\"beach.jpg\" WIDTH=640 HEIGHT=480>"},
      {map + "backlink=back\n", "${back icon=back.gif}",
       "<A HREF=\"javascript:window.history.back()\">"
       "<IMG SRC=\"/ic/back.gif\" WIDTH=16 HEIGHT=8 BORDER=0 ALIGN=TOP></A>"},
  };
  for (const Case& c : cases) {
    drive.Write("site/icons/weft.ini", "template=gallery.tpl\n" + c.weftIni);
    drive.Write("site/icons/gallery.tpl", std::string("<BODY>\n") + c.tag + "\n</BODY>\n");
    RunResult run = Galleria();
    EXPECT_EQ(run.exitCode, 0) << c.tag;
    EXPECT_EQ(run.err, "") << c.tag;
    std::string page = Index();
    EXPECT_EQ(page.substr(page.find("</HEAD>")),
              std::string("</HEAD>\n\n<BODY>\n") + c.expected + "\n</BODY>\n</HTML>\n")
        << c.weftIni << c.tag;
  }
}

TEST_F(GalleriaProgramTest, MissingTemplateIsNamedAsConfigured) {
  for (const char* name : {"none.tpl", "..\\icons\\gone.tpl"}) {
    drive.Write("site/icons/weft.ini", std::string("template=") + name + "\n");
    RunResult run = Galleria();
    EXPECT_EQ(run.exitCode, 2) << name;
    EXPECT_EQ(run.err, std::string("Error:  Can't open template file \"") + name + "\".\n");
    // The page is built with the built-in layout instead.
    EXPECT_NE(Index().find("<H3>Singles</H3>"), std::string::npos) << name;
  }
}

TEST_F(GalleriaProgramTest, SelfIncludingTemplateEndsWithAnErrorAndKeepsTheOldPage) {
  drive.Write("site/icons/weft.ini", "template=gallery.tpl\n");
  drive.Write("site/icons/gallery.tpl", "<BODY>\n#include loop.htm\n</BODY>\n");
  std::string loop;
  for (int i = 0; i < 8; ++i) loop += "#include loop.htm\n";
  drive.Write("site/icons/loop.htm", loop);
  drive.Write("site/trip/index.htm", "old page\n");
  RunResult run = Galleria();
  EXPECT_EQ(run.exitCode, 3);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err,
            "Error:  Template includes are nested more than 10 deep (\"loop.htm\").\n"
            "        Program aborted -- no changes were made.\n");
  EXPECT_EQ(Index(), "old page\n");
  EXPECT_FALSE(drive.Exists("site/trip/index.new"));
}

// A folder of today's photographs: a phone portrait whose EXIF orientation
// shows it on its side, with a thumbnail tagged the same way, named and
// titled with letters beyond ASCII (UTF-8 on the disk). The listing sizes
// the pictures as shown and writes the letters as references; the search
// page's script strings hold them as \u escapes; the page head keeps the
// bytes the editors wrote.
TEST_F(GalleriaProgramTest, PhotographsOfTodayReadAndShowRight) {
  drive.Write("site/trip/index.htm", Page("Sommar p\xC3\xA5 \xC3\x85land"));
  drive.Write("site/trip/Caf\xC3\xA9.jpg", WithOrientation(Jpeg(640, 480), 6));
  drive.Write("site/trip/Caf\xC3\xA9.htm", Page("\xC3\x85sa", "Cr\xC3\xA8me & Caf\xE9"));
  drive.Write("site/trip/thumbs/tn_Caf\xC3\xA9_jpg.jpg", WithOrientation(Jpeg(96, 72), 6, false));
  drive.Write("site/icons/weft.ini", "slides=simple\nformat2=list\nheading=title\n");
  RunResult run = Galleria();
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.err, "");
  std::string page = Index();
  EXPECT_NE(page.find("<TITLE>Sommar p\xC3\xA5 \xC3\x85land</TITLE>\n"), std::string::npos) << page;
  EXPECT_NE(page.find("<H1 ALIGN=CENTER>Sommar p&#229; &#197;land</H1>"), std::string::npos) << page;
  EXPECT_NE(page.find("<TR VALIGN=BOTTOM><TD><A HREF=\"Caf%C3%A9.htm\">"
                      "<IMG SRC=\"thumbs/tn_Caf%C3%A9_jpg.jpg\" WIDTH=72 HEIGHT=96></A></TD>"
                      "<TD><A HREF=\"Caf%C3%A9.htm\">&#197;sa</A></TD>"
                      "<TD WIDTH=16>&nbsp;</TD><TD>Cr&#232;me &amp; Caf\xE9</TD></TR>\n"),
            std::string::npos)
      << page;

  drive.Write("site/icons/weft.ini", "index=searchable\nslides=window\n");
  drive.Write("site/icons/search.htm", "");
  drive.Write("site/icons/slides.htm", "");
  run = Galleria();
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.err, "");
  page = Index();
  EXPECT_NE(page.find("slide[1]=new Slide(\"\\u00C5sa\", \"Caf%C3%A9.htm\", "
                      "\"Cr\\u00E8me &amp; Caf\xE9\", \"\");\n"),
            std::string::npos)
      << page;
}

}  // namespace
