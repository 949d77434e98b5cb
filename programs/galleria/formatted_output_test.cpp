#include "programs/galleria/formatted_output.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/files.h"
#include "programs/galleria/layouts.h"
#include "programs/galleria/testing/page_fixture.h"
#include "shared/htmltext.h"

namespace {

using namespace page_fixture;

const std::vector<EntrySpec> kSmallListing = {
    {kEntryDirectory, "paris", "Paris"},
    {kEntryPage, "notes.htm", "Notes"},
};

const char kNoScriptBlock[] =
    "<NOSCRIPT>\n"
    "<P><TABLE BORDER=4 WIDTH=\"100%\" BGCOLOR=YELLOW><TR><TD><CENTER>\n"
    "<FONT SIZE=5 COLOR=RED><STRONG>Warning: JavaScript is not available!</STRONG></FONT><BR>\n"
    "<FONT COLOR=BLACK>Please enable JavaScript or use a browser that supports JavaScript to "
    "display this document.</FONT>\n"
    "</CENTER></TD></TR></TABLE></P>\n"
    "</NOSCRIPT>\n\n";

class FormattedOutputTest : public PageTest {
 protected:
  // Builds "index.htm" from the entries; returns WriteSingleIndex's result.
  int Build(const std::vector<EntrySpec>& specs) {
    Entries entries(specs);
    return WriteSingleIndex(entries.Array(), entries.Count());
  }
  // The body of the built page, from "<BODY" on.
  std::string Body() {
    std::string page = Read("index.htm");
    size_t body = page.find("<BODY");
    return body == std::string::npos ? "" : page.substr(body);
  }
  std::string Head(const std::vector<EntrySpec>& specs) {
    Entries entries(specs);
    Entry page;
    Capture out;
    WriteIndexHead(out.File(), &page, entries.Array(), entries.Count());
    return out.Text();
  }
  static bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
  }
};

TEST_F(FormattedOutputTest, SinglePage) {
  Entries entries(kSmallListing);
  std::string fileInfo = Text(SlideCounts(entries.Array(), entries.Count()));
  ASSERT_EQ(WriteSingleIndex(entries.Array(), entries.Count()), 0);
  EXPECT_FALSE(Exists("index.new"));
  EXPECT_EQ(Read("index.htm"),
            "<HTML>\n<HEAD>\n<TITLE>gallery</TITLE>\n"
            "<META NAME=\"GENERATOR\" CONTENT=\"" + std::string(VersionBanner()) + "\">\n"
            "<META NAME=\"FILEINFO\" CONTENT=\"" + fileInfo + "\">\n"
            "</HEAD>\n\n"
            "<BODY>\n"
            "<CENTER>\nBack to\n<A HREF=\"../index.htm\">site</A>\n</CENTER>\n\n\n"
            "<HR>\n<CENTER>\n<BIG><BIG><BIG><B>gallery</B></BIG></BIG></BIG>\n</CENTER>\n<HR>\n"
            "\n<P>\n"
            "<TABLE BORDER=0 CELLSPACING=0 CELLPADDING=0>\n"
            "<TR VALIGN=TOP><TD><A HREF=\"paris\">Paris</A></TD></TR>\n</TABLE>\n"
            "<H3>Singles</H3>\n<TABLE BORDER=0 CELLSPACING=0 CELLPADDING=0>\n"
            "<TR VALIGN=TOP><TD><A HREF=\"notes.htm\">Notes</A></TD></TR>\n</TABLE>\n"
            "</BODY>\n</HTML>\n");
}

TEST_F(FormattedOutputTest, BodyTagAndHeadingCarryOverFromTheOldPage) {
  const std::string heading = "<!-- BEGIN HEADING -->\n<H1>Hand made</H1>\n<!-- END HEADING -->";
  // The BODY tag without attributes (as written by this builder) keeps the heading too.
  File("index.htm", "<HTML><HEAD><TITLE>Mine</TITLE></HEAD>\n<BODY>\n" + heading + "\nold\n");
  ASSERT_EQ(Build(kSmallListing), 0);
  std::string body = Body();
  EXPECT_EQ(body.rfind("<BODY>\n<CENTER>\n", 0), 0u) << body;
  EXPECT_TRUE(Has(body, "</CENTER>\n\n\n" + heading + "\n\n<P>\n")) << body;
  EXPECT_FALSE(Has(body, "old"));
  EXPECT_TRUE(Has(Read("index.htm"), "<TITLE>Mine</TITLE>"));
  // Every rebuild keeps it unchanged.
  std::string first = Read("index.htm");
  ASSERT_EQ(Build(kSmallListing), 0);
  EXPECT_EQ(Read("index.htm"), first);
}

TEST_F(FormattedOutputTest, AttributedBodyTagIsCopied) {
  File("index.htm", "<HTML>\n<BODY BGCOLOR=\"#FFFFFF\"\n TEXT=BLACK>\n<!-- BEGIN HEADING -->H"
                    "<!-- END HEADING -->\n");
  File("backgnd.gif", Gif(1, 1));
  ASSERT_EQ(Build(kSmallListing), 0);
  EXPECT_EQ(Body().rfind("<BODY BGCOLOR=\"#FFFFFF\"\n TEXT=BLACK>\n<CENTER>", 0), 0u) << Body();
  EXPECT_TRUE(Has(Body(), "<!-- BEGIN HEADING -->H<!-- END HEADING -->\n"));
}

TEST_F(FormattedOutputTest, BodyTagBySettingOrBackground) {
  struct Case {
    const char* body;
    const char* background;
    const char* expected;
  } const cases[] = {
      {"", nullptr, "<BODY>\n"},
      {"", "backgnd.gif", "<BODY BACKGROUND=\"backgnd.gif\">\n"},
      {"", "backgnd.jpg", "<BODY BACKGROUND=\"backgnd.jpg\">\n"},
      {"None", "backgnd.gif", "<BODY>\n"},
      {"BGCOLOR=RED", "backgnd.gif", "<BODY BGCOLOR=RED>\n"},
  };
  for (const Case& c : cases) {
    DeleteFile("backgnd.gif");
    DeleteFile("backgnd.jpg");
    DeleteFile("index.htm");
    if (c.background) File(c.background, Gif(1, 1));
    CopyBounded(indexSettings.bodyAttributes, c.body, sizeof indexSettings.bodyAttributes);
    ASSERT_EQ(Build(kSmallListing), 0);
    EXPECT_EQ(Body().rfind(c.expected, 0), 0u) << c.body << " " << Body();
  }
}

TEST_F(FormattedOutputTest, HeadingBySettingAndThumbnail) {
  File("index.htm", "<HTML><HEAD><TITLE>Trip &amp; Co</TITLE>"
                    "<META NAME=\"DESCRIPTION\" CONTENT=\"See www.example.com\"></HEAD>\n");
  File("thumb.gif", Gif(100, 150));
  ASSERT_EQ(Build(kSmallListing), 0);
  EXPECT_TRUE(Has(Body(),
                  "</CENTER>\n\n\n<P>\n<TABLE BORDER=4 WIDTH=\"100%\" BGCOLOR=\"#E0E0E0\">\n"
                  "<TR><TD><FONT COLOR=\"#000000\"><IMG SRC=\"thumb.gif\" WIDTH=100 HEIGHT=150 "
                  "BORDER=2 HSPACE=8 VSPACE=4 ALIGN=LEFT><FONT SIZE=5><B>Trip &amp; Co</B></FONT>"
                  "<BR>\n  See www.example.com</FONT></TD></TR>\n</TABLE>\n\n<P>\n"))
      << Body();

  File("thumb.gif", Gif(100, 200));  // too high for the table
  ASSERT_EQ(Build(kSmallListing), 0);
  EXPECT_TRUE(Has(Body(), "<HR>\n<CENTER>\n<BIG><BIG><BIG><B>Trip &amp; Co</B></BIG></BIG></BIG>"
                          "<BR>\nSee www.example.com\n</CENTER>\n<HR>\n\n<P>\n"))
      << Body();

  indexSettings.heading = HeadingMode::Title;
  ASSERT_EQ(Build(kSmallListing), 0);
  EXPECT_TRUE(Has(Body(), "<H1 ALIGN=CENTER>Trip &amp; Co</H1>\n<P>\n")) << Body();

  indexSettings.heading = HeadingMode::Standard;
  indexSettings.weblinks = true;
  indexSettings.tables = false;
  ASSERT_EQ(Build(kSmallListing), 0);
  EXPECT_TRUE(Has(Body(), "<BR>\n" + Text(LinkUrlsString("See www.example.com")) + "\n</CENTER>"))
      << Body();
}

TEST_F(FormattedOutputTest, CombineMakesOneListing) {
  indexSettings.combine = true;
  indexSettings.backlink = BacklinkMode::None;
  ASSERT_EQ(Build(kSmallListing), 0);
  EXPECT_FALSE(Has(Body(), "Singles"));
  EXPECT_TRUE(Has(Body(), "<HR>\n\n<P>\n<TABLE BORDER=0 CELLSPACING=0 CELLPADDING=0>\n"
                          "<TR VALIGN=TOP><TD><A HREF=\"paris\">Paris</A></TD></TR>\n"
                          "<TR VALIGN=TOP><TD><A HREF=\"notes.htm\">Notes</A></TD></TR>\n"
                          "</TABLE>\n</BODY>\n"))
      << Body();
}

TEST_F(FormattedOutputTest, ScriptWarningWhenThePageNeedsJavaScript) {
  indexSettings.backlink = BacklinkMode::Close;
  ASSERT_EQ(Build(kSmallListing), 0);
  std::string page = Read("index.htm");
  EXPECT_TRUE(Has(page, "<META HTTP-EQUIV=\"Content-Script-Type\" CONTENT=\"text/javascript\">\n"
                        "</HEAD>"));
  EXPECT_TRUE(Has(page, "</FORM>\n</CENTER>\n\n\n" + std::string(kNoScriptBlock) + "<HR>\n"));
}

TEST_F(FormattedOutputTest, UsesScriptByMode) {
  EXPECT_FALSE(UsesScript());
  indexSettings.backlink = BacklinkMode::Smart;
  EXPECT_TRUE(UsesScript());
  indexSettings.backlink = BacklinkMode::Custom;
  EXPECT_FALSE(UsesScript());
  indexSettings.links = LinkMode::Open;
  EXPECT_TRUE(UsesScript());
  indexSettings.links = LinkMode::Standard;
  indexSettings.slides = SlidesMode::Window;
  EXPECT_TRUE(UsesScript());
}

TEST_F(FormattedOutputTest, IndexScriptOnlyWhereLinksNeedIt) {
  const std::vector<EntrySpec> images = {{kEntryImage, "a.jpg", "A"}};
  const std::vector<EntrySpec> pages = {{kEntryPage, "a.htm", "A"}};
  const std::vector<EntrySpec> framesets = {
      {kEntryIndexedDirectory, "d/index.htm", "D", nullptr, 0, 0, nullptr, "2 slides; FRAMESET"}};
  const std::string tag = "<SCRIPT LANGUAGE=\"JavaScript1.1\" SRC=\"../icons/index.js\"></SCRIPT>\n";
  indexSettings.links = LinkMode::Open;
  EXPECT_FALSE(Has(Head(images), tag));
  EXPECT_TRUE(Has(Head(pages), tag));
  EXPECT_TRUE(Has(Head(framesets), tag));
  indexSettings.links = LinkMode::Standard;
  EXPECT_FALSE(Has(Head(pages), tag));
  EXPECT_FALSE(Has(Head(framesets), "SRC="));
  indexSettings.slides = SlidesMode::Window;
  EXPECT_TRUE(Has(Head(framesets), tag));
  EXPECT_TRUE(Has(Head(images), tag));
  EXPECT_FALSE(Has(Head(pages), tag));
}

TEST_F(FormattedOutputTest, SlideWindowArrayNumbersTheImages) {
  indexSettings.slides = SlidesMode::Window;
  Entries entries({{kEntryImage, "a.jpg", "A"}, {kEntryPage, "p.htm", "P"},
                   {kEntryImage, "PIC.JPG", "B"}});
  Entry page;
  Capture out;
  WriteIndexHead(out.File(), &page, entries.Array(), entries.Count());
  std::string head = out.Text();
  EXPECT_TRUE(Has(head,
                  "<META HTTP-EQUIV=\"Content-Script-Type\" CONTENT=\"text/javascript\">\n"
                  "<SCRIPT LANGUAGE=\"JavaScript1.1\" SRC=\"../icons/index.js\"></SCRIPT>\n"
                  "<SCRIPT LANGUAGE=\"JavaScript1.1\">\n<!--\n"
                  "iconDir=\"../icons\";\npages=2;\npage=new Array(pages);\n"
                  "page[0]=\"a.htm\";\npage[1]=\"PIC.HTM\";\n// -->\n</SCRIPT>\n</HEAD>\n\n"))
      << head;
  EXPECT_EQ(entries[0]->slideIndex, 0);
  EXPECT_EQ(entries[1]->slideIndex, -1);
  EXPECT_EQ(entries[2]->slideIndex, 1);
}

TEST_F(FormattedOutputTest, FramesetSlidesAreNumberedWithoutAnArray) {
  indexSettings.slides = SlidesMode::Frameset;
  Entries entries({{kEntryPage, "p.htm", "P"}, {kEntryImage, "a.jpg", "A"}});
  Entry page;
  Capture out;
  WriteIndexHead(out.File(), &page, entries.Array(), entries.Count());
  EXPECT_FALSE(Has(out.Text(), "<SCRIPT"));
  EXPECT_EQ(entries[1]->slideIndex, 0);
}

TEST_F(FormattedOutputTest, SlideWindowNeedsTheIconsDirectory) {
  drive.Chdir("");  // the drive's root has no icons directory above it
  indexSettings.slides = SlidesMode::Window;
  testing::internal::CaptureStderr();
  EXPECT_EQ(Build(kSmallListing), 1);
  EXPECT_TRUE(Has(testing::internal::GetCapturedStderr(),
                  "Error:  Can't find the icons directory.  Index file was not written.\n"));
  EXPECT_FALSE(drive.Exists("index.htm"));
  EXPECT_FALSE(drive.Exists("index.new"));
  EXPECT_EQ(MaxSeverity, 3);
}

TEST_F(FormattedOutputTest, TemplateWritesTheWholeBody) {
  File("body.tpl", "<BODY>\n${title}: ${index}\n</BODY>\n");
  CopyBounded(indexSettings.templatePath, "body.tpl", sizeof indexSettings.templatePath);
  ASSERT_EQ(Build({{kEntryPage, "notes.htm", "Notes"}}), 0);
  EXPECT_EQ(Body(),
            "<BODY>\ngallery: <TABLE BORDER=0 CELLSPACING=0 CELLPADDING=0>\n"
            "<TR VALIGN=TOP><TD><A HREF=\"notes.htm\">Notes</A></TD></TR>\n</TABLE>\n"
            "</BODY>\n</HTML>\n");
}

TEST_F(FormattedOutputTest, PagedIndexWritesEveryPageAndDeletesStaleOnes) {
  File("index.htm", "<HTML><HEAD><META NAME=\"KEYWORDS\" CONTENT=\"travel\"></HEAD>\n");
  for (const char* stale : {"index4.htm", "index5.htm", "index7.htm"}) File(stale, "old");
  Entries entries;
  for (int i = 1; i <= 25; ++i) {
    std::string name = "p" + std::to_string(100 + i);
    std::string href = name + ".htm";
    entries.Add({kEntryPage, href.c_str(), name.c_str(), nullptr, 0, 0, nullptr,
                 "1 slide; {100, 0, 0, 1, 0, 1}"});
  }
  indexSettings.backlink = BacklinkMode::None;
  ASSERT_EQ(WritePagedIndex(entries.Array(), entries.Count(), 10), 0);
  EXPECT_FALSE(Exists("index4.htm"));
  EXPECT_FALSE(Exists("index5.htm"));
  EXPECT_TRUE(Exists("index7.htm"));  // deletion stops at the first missing page
  struct Page {
    const char* name;
    int first, last;
  } const pages[] = {{"index.htm", 1, 10}, {"index2.htm", 11, 20}, {"index3.htm", 21, 25}};
  for (const Page& p : pages) {
    std::string text = Read(p.name);
    for (int i = 1; i <= 25; ++i) {
      bool listed = Has(text, ">p" + std::to_string(100 + i) + "</A>");
      EXPECT_EQ(listed, i >= p.first && i <= p.last) << p.name << " " << i;
    }
    EXPECT_EQ(Has(text, "KEYWORDS"), p.first == 1) << p.name;
    EXPECT_TRUE(Has(text, "25 slides")) << p.name;  // the head covers the whole listing
    EXPECT_TRUE(Has(text, "<P>\n<HR>\n<STRONG>Pages:</STRONG>&nbsp;")) << p.name;
  }
  EXPECT_TRUE(Has(Read("index2.htm"),
                  "\n <A HREF=\"index.htm\">1</A>\n <STRONG>2</STRONG>\n <A HREF=\"index3.htm\">3</A>"
                  "&nbsp;&nbsp;\n <STRONG><A HREF=\"index3.htm\">[Next >>]</A></STRONG>\n<P>\n"
                  "</BODY>\n"));
}

TEST_F(FormattedOutputTest, PagedIndexOfNothingStillWritesTheFirstPage) {
  File("index2.htm", "old");
  ASSERT_EQ(WritePagedIndex(nullptr, 0, 10), 0);
  EXPECT_TRUE(Exists("index.htm"));
  EXPECT_FALSE(Exists("index2.htm"));
  EXPECT_FALSE(Has(Read("index.htm"), "Pages:"));
}

}  // namespace
