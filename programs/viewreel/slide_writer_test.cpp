#include "programs/viewreel/slide_writer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/version.h"
#include "programs/viewreel/slide_settings.h"
#include "programs/viewreel/testing/slide_fixture.h"

// The slide heads name the program by its version block.
WEFT_PROGRAM_VERSION("VIEWREEL", "Tessarin Slide Builder", "2.10", nullptr);

namespace {

constexpr char kGenerator[] =
    "<META NAME=\"GENERATOR\" CONTENT=\"Tessarin Slide Builder, v2.10 by Dunmarrow\">\n";

// The request for a slide of an image in the current directory.
SlideRequest LocalSlide(const char* image, const char* page) {
  SlideRequest request;
  request.naturalPage = page;
  request.outputName = page;
  request.imageFile = image;
  request.home = page;
  return request;
}

// The FILEINFO date of a file's write time: "MM/DD/YY hh:mm:ss".
std::string DateOf(const char* path) {
  FileTime write = 0;
  EXPECT_TRUE(GetFileTimes(path, nullptr, nullptr, &write));
  SystemTime time = FileTimeToSystem(FileTimeToLocal(write));
  char text[32];
  snprintf(text, sizeof text, "%02d/%02d/%02d %02d:%02d:%02d", time.month, time.day,
           time.year % 100, time.hour, time.minute, time.second);
  return text;
}

// What the page holds between two markers (the first after `from`).
std::string Between(const std::string& page, const std::string& from, const std::string& to) {
  size_t start = page.find(from);
  if (start == std::string::npos) return "<no " + from + ">";
  start += from.size();
  size_t end = page.find(to, start);
  return page.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

// --- Golden pages --------------------------------------------------------------

TEST_F(SlideTest, PlainSlideReplacesTheOldPageAndRenumbersItsTitle) {
  Write("a.gif", GifOf(16, 12));
  Write("a.htm",
        "<HTML><HEAD><TITLE>Sunset ( 7 of 12)</TITLE>\n"
        "<META NAME=\"DESCRIPTION\" CONTENT=\"Red &amp; gold\"></HEAD>\n"
        "<BODY BGCOLOR=\"#FFFFFF\">old</BODY></HTML>\n");
  SlideRequest request = LocalSlide("a.gif", "a.htm");
  request.next = "b.htm";
  request.home = "index.htm";
  request.count = 3;
  EXPECT_EQ(WriteSlide(request), kSlideWritten);
  EXPECT_EQ(Read("a.htm"),
            std::string("<HTML>\n<HEAD>\n<TITLE>Sunset (1 of 3)</TITLE>\n") + kGenerator +
                "<META NAME=\"DESCRIPTION\" CONTENT=\"Red &amp; gold\">\n"
                "<META NAME=\"FILEINFO\" CONTENT=\"16&times;12, 1KB; {13, 16, 12}\">\n"
                "</HEAD>\n\n"
                "<BODY BGCOLOR=\"#FFFFFF\">\n"
                "<CENTER>\n"
                "<FONT COLOR=GRAY>&lt;&lt;&nbsp; Prev</FONT>&nbsp; &nbsp;|&nbsp; &nbsp;"
                "<A HREF=\"index.htm\">Home</A>&nbsp; &nbsp;|&nbsp; &nbsp;"
                "<A HREF=\"b.htm\">Next</A> &nbsp;&gt;&gt;<BR>\n"
                "<A HREF=\"b.htm\"><IMG BORDER=2 VSPACE=3 SRC=\"a.gif\"></A><BR>\n"
                "<B>Sunset</B> <SMALL>[a.gif]</SMALL><BR>\n"
                "<SMALL>1 of 3</SMALL>\n"
                "</CENTER>\n"
                "<P>\n<CENTER>\nRed &amp; gold\n</CENTER>\n"
                "</BODY>\n</HTML>\n");
  EXPECT_FALSE(Exists("temp.$$$"));
}

TEST_F(SlideTest, ScaledSlidesFitTheBox) {
  slideSettings.scaleWidth = 640;
  slideSettings.scaleHeight = 480;
  struct Case {
    unsigned width, height;
    const char* picture;
    const char* note;
  } cases[] = {
      {200, 150, "<A HREF=\"p.gif\"><IMG BORDER=2 VSPACE=3 WIDTH=\"400\" HEIGHT=\"300\" "
                 "SRC=\"p.gif\"></A><BR>\n",
       "<BR>\n<SMALL>(scaled to 200% of actual size -- click image for unscaled image)</SMALL>"},
      {2000, 1500, "<A HREF=\"p.gif\"><IMG BORDER=2 VSPACE=3 WIDTH=\"500\" HEIGHT=\"375\" "
                   "SRC=\"p.gif\"></A><BR>\n",
       "<BR>\n<SMALL>(scaled to 25% of actual size -- click image for unscaled image)</SMALL>"},
      {640, 480, "<IMG BORDER=2 VSPACE=3 WIDTH=\"640\" HEIGHT=\"480\" SRC=\"p.gif\"><BR>\n", ""},
      {0, 0, "<IMG BORDER=2 VSPACE=3 SRC=\"p.gif\"><BR>\n", ""},
  };
  for (const Case& c : cases) {
    Write("p.gif", c.width ? GifOf(c.width, c.height) : "not an image");
    ASSERT_EQ(WriteSlide(LocalSlide("p.gif", "p.htm")), kSlideWritten);
    std::string page = Read("p.htm");
    EXPECT_EQ(Between(page, "<CENTER>\n", "<B>"), c.picture) << c.width;
    EXPECT_EQ(Between(page, "<B>p.gif</B>", "\n</CENTER>"), c.note) << c.width;
  }
}

TEST_F(SlideTest, HeightTextIsWrittenAsGivenAndTheBoxWinsOverIt) {
  Write("p.gif", GifOf(200, 150));
  slideSettings.scaleHeightText = "80%";
  WriteSlide(LocalSlide("p.gif", "p.htm"));
  EXPECT_EQ(Between(Read("p.htm"), "<CENTER>\n", "<B>"),
            "<A HREF=\"p.gif\"><IMG BORDER=2 VSPACE=3 HEIGHT=\"80%\" SRC=\"p.gif\"></A><BR>\n");
  slideSettings.scaleWidth = 100;
  slideSettings.scaleHeight = 100;
  WriteSlide(LocalSlide("p.gif", "p.htm"));
  EXPECT_EQ(Between(Read("p.htm"), "<CENTER>\n", "<B>"),
            "<A HREF=\"p.gif\"><IMG BORDER=2 VSPACE=3 WIDTH=\"100\" HEIGHT=\"75\" "
            "SRC=\"p.gif\"></A><BR>\n");
}

TEST_F(SlideTest, FrameSlideIsDrawnByTheControlsFrameAndCarriesItsDate) {
  drive.Write("site/mark.txt", "");
  slideSettings.frames = true;
  slideSettings.markerFile = "mark.txt";
  slideSettings.slideIndexLinks = true;
  slideSettings.hasSlideBody = true;
  slideSettings.slideBody = "MARGINWIDTH=0";
  Write("a.gif", GifOf(16, 12));
  Write("a.htm", "<HTML><HEAD><TITLE>Sunset</TITLE>"
                 "<META NAME=\"KEYWORDS\" CONTENT=\"sea\"></HEAD><BODY></BODY></HTML>");
  SlideRequest request = LocalSlide("a.gif", "a.htm");
  request.count = 2;
  request.next = "b.htm";
  request.indexLinks = true;
  ASSERT_EQ(WriteSlide(request), kSlideWritten);
  EXPECT_EQ(Read("a.htm"),
            std::string("<HTML>\n<HEAD>\n<TITLE>Sunset</TITLE>\n") + kGenerator +
                "<META NAME=\"FILEINFO\" CONTENT=\"16&times;12, 1KB; {13, 16, 12}; 4 " +
                DateOf("a.htm") + " M1 L\">\n" +
                "<META NAME=\"KEYWORDS\" CONTENT=\"sea\">\n"
                "<META HTTP-EQUIV=\"Content-Script-Type\" CONTENT=\"text/javascript\">\n"
                "</HEAD>\n\n"
                "<BODY MARGINWIDTH=0>\n"
                "<CENTER>\n"
                "<A HREF=\"index.htm\" TARGET=\"_top\"><SCRIPT LANGUAGE=\"JavaScript1.1\">\n"
                "<!--\n"
                "markerDepth=1;\n"
                "if (parent.inputFrameLoaded) {\n"
                "  parent.inputFrame.writeImgTag(self,'a.gif',16,12,0,0);\n"
                "  parent.contentStale=false;\n"
                "}\n"
                "else {\n"
                "  document.write('<IMG SRC=\"a.gif\">');\n"
                "  parent.contentStale=true;\n"
                "}\n"
                "// -->\n"
                "</SCRIPT><NOSCRIPT><IMG SRC=\"a.gif\"></NOSCRIPT></A>\n"
                "<BR>\n"
                "<B>Sunset</B> <SMALL>[a.gif]</SMALL>\n"
                "<SCRIPT LANGUAGE=\"JavaScript1.1\">\n"
                "<!--\n"
                "if (parent.inputFrameLoaded)\n"
                "  parent.inputFrame.writeImgScale(self);\n"
                "// -->\n"
                "</SCRIPT>\n"
                "</CENTER>\n"
                "</BODY>\n</HTML>\n");
}

TEST_F(SlideTest, MovieWithPosterOpensThroughTheMovieScript) {
  drive.Write("site/icons/movie.js", "function MovieLink(u) { return true; }\n");
  Write("clip.mpg", "MPEG!");
  Write("clip.jpg", GifOf(40, 30));
  ASSERT_EQ(WriteSlide(LocalSlide("clip.mpg", "clip.htm")), kSlideWritten);
  const std::string link =
      "<A HREF=\"clip.mpg\" onClick=\"return typeof MovieLink == 'function' ? "
      "MovieLink('clip.mpg') : true;\">";
  EXPECT_EQ(Read("clip.htm"),
            std::string("<HTML>\n<HEAD>\n<TITLE>clip.mpg (1 of 1)</TITLE>\n") + kGenerator +
                "<META NAME=\"FILEINFO\" CONTENT=\"1KB; {5}\">\n"
                "<SCRIPT LANGUAGE=\"JavaScript1.1\" SRC=\"../icons/movie.js\"></SCRIPT>\n"
                "</HEAD>\n\n"
                "<BODY>\n"
                "<CENTER>\n"
                "<P>\n"
                "<TABLE BORDER=0 CELLPADDING=0 CELLSPACING=0 ALIGN=CENTER>\n"
                "<TR>\n"
                "  <TH><BIG>This&nbsp;is&nbsp;a&nbsp;Movie&nbsp;File.&nbsp;\n"
                "      Click&nbsp;the&nbsp;image&nbsp;below&nbsp;to&nbsp;view&nbsp;the&nbsp;"
                "movie.</BIG></TD>\n"
                "</TR>\n"
                "</TABLE>\n"
                "<P>\n" +
                link + "<IMG SRC=\"clip.jpg\" WIDTH=40 HEIGHT=30 BORDER=0></A>\n"
                "<P>\n" +
                link + "<B>clip.mpg</B></A>\n"
                "</CENTER>\n"
                "</BODY>\n</HTML>\n");
}

TEST_F(SlideTest, MovieWithoutPosterUsesTheIconsOrTheGrayTable) {
  Write("clip.mpg", "MPEG!");
  std::string page;
  WriteSlide(LocalSlide("clip.mpg", "clip.htm"));
  page = Read("clip.htm");
  EXPECT_EQ(Between(page, "<TR>\n", "</TR>"),
            "  <TH><BIG>This&nbsp;is&nbsp;a&nbsp;Movie&nbsp;File.&nbsp;\n"
            "      Click&nbsp;the&nbsp;image&nbsp;below&nbsp;to&nbsp;view&nbsp;the&nbsp;"
            "movie.</BIG></TD>\n");
  EXPECT_EQ(Between(page, "</TABLE>\n<P>\n", "<P>\n<A"),
            "<TABLE BORDER=4 CELLPADDING=40 BGCOLOR=GRAY>\n<TR><TH><A HREF=\"clip.mpg\">"
            "<FONT SIZE=6 COLOR=WHITE>Click Here<BR>To View</FONT></A></TH></TR>\n</TABLE>\n");

  // Icons: one made for the movie's extension before the general one; a
  // missing second side icon repeats the first.
  drive.Write("site/icons/smovie1_mpg.gif", GifOf(8, 8));
  drive.Write("site/icons/smovie1.gif", GifOf(9, 9));
  drive.Write("site/icons/smovie.gif", GifOf(50, 40));
  slideSettings.frames = true;
  WriteSlide(LocalSlide("clip.mpg", "clip.htm"));
  page = Read("clip.htm");
  EXPECT_EQ(Between(page, "<TR>\n", "</TR>"),
            "  <TD><IMG SRC=\"../icons/smovie1_mpg.gif\"></TD>\n"
            "  <TD WIDTH=16>&nbsp;</TD>\n"
            "  <TH><BIG>This&nbsp;is&nbsp;a&nbsp;Movie&nbsp;File.&nbsp;\n"
            "      Click&nbsp;the&nbsp;image&nbsp;below&nbsp;to&nbsp;view&nbsp;the&nbsp;"
            "movie.</BIG></TD>\n"
            "  <TD WIDTH=16>&nbsp;</TD>\n"
            "  <TD><IMG SRC=\"../icons/smovie1_mpg.gif\"></TD>\n");
  EXPECT_NE(page.find("<A HREF=\"clip.mpg\"><IMG SRC=\"../icons/smovie.gif\" WIDTH=50 HEIGHT=40 "
                      "BORDER=0></A>\n"),
            std::string::npos);
  // The icons directory's depth goes into the frame mode's FILEINFO.
  EXPECT_NE(page.find("; 4 " + DateOf("clip.htm") + " 1\">"), std::string::npos) << page;
}

// --- Navigation ------------------------------------------------------------------

TEST_F(SlideTest, ButtonsLinkTheHomePageAsGiven) {
  slideSettings.icons.prev = "../icons/prev.gif";
  slideSettings.icons.next = "../icons/next.gif";
  slideSettings.icons.home = "../icons/home.gif";
  slideSettings.icons.noPrev = "../icons/noprev.gif";
  slideSettings.icons.noNext = "../icons/nonext.gif";
  Write("b.gif", GifOf(1, 1));
  SlideRequest request = LocalSlide("b.gif", "b.htm");
  request.buttons = true;
  request.previous = "a.htm";
  request.home = "my%20home.htm";
  request.number = 2;
  request.count = 2;
  WriteSlide(request);
  EXPECT_EQ(Between(Read("b.htm"), "<CENTER>\n", "\n"),
            "<A HREF=\"a.htm\"><IMG BORDER=0 SRC=\"../icons/prev.gif\"></A>"
            "&nbsp; &nbsp; &nbsp; &nbsp;"
            "<A HREF=\"my%20home.htm\"><IMG BORDER=0 SRC=\"../icons/home.gif\"></A>"
            "&nbsp; &nbsp; &nbsp; &nbsp;<IMG SRC=\"../icons/nonext.gif\"><BR>");
}

TEST_F(SlideTest, SingleSlideThatIsItsOwnHomeHasNoNavigation) {
  Write("my pic.gif", GifOf(1, 1));
  SlideRequest request = LocalSlide("my pic.gif", "my pic.htm");
  request.home = "my%20pic.htm";
  WriteSlide(request);
  EXPECT_EQ(Between(Read("my pic.htm"), "<CENTER>\n", "\n"),
            "<IMG BORDER=2 VSPACE=3 SRC=\"my%20pic.gif\"><BR>");

  request.home = "index.htm";
  WriteSlide(request);
  EXPECT_EQ(Between(Read("my pic.htm"), "<CENTER>\n", "\n"), "<A HREF=\"index.htm\">Home</A><BR>");
}

// --- Text block -------------------------------------------------------------------

TEST_F(SlideTest, TextBlockComesFromTheFirstSourceThatHasOne) {
  const std::string head = "<HTML><HEAD><TITLE>T</TITLE>"
                           "<META NAME=\"DESCRIPTION\" CONTENT=\"Sky &lt;blue&gt;\"></HEAD>";
  struct Case {
    const char* name;
    std::string page;  // empty: no old page
    const char* txt;   // null: no ".txt" file
    bool textConversion;
    const char* block;
  } cases[] = {
      {"marked text wins over the .txt file",
       head + "<BODY>x <!-- BEGIN TEXT -->\n<B>Kept</B> as is\n<!-- END TEXT --> y</BODY>",
       "ignored", true, "<!-- BEGIN TEXT -->\n<B>Kept</B> as is\n<!-- END TEXT -->\n"},
      {"preformatted text of the page",
       head + "<BODY><PRE>\nline & <b>\n</PRE></BODY>", "ignored", true,
       "<PRE>\nline & <b>\n</PRE>\n"},
      {"the .txt file, escaped", head + "<BODY></BODY>", "a & b <c>\r\nd\n", true,
       "<PRE>\na &amp; b &lt;c&gt;\nd\n</PRE>\n"},
      {"the description without conversion", head + "<BODY></BODY>", "ignored", false,
       "<P>\n<CENTER>\nSky &lt;blue&gt;\n</CENTER>\n"},
      {"the description", head + "<BODY></BODY>", nullptr, true,
       "<P>\n<CENTER>\nSky &lt;blue&gt;\n</CENTER>\n"},
      {"nothing", "", nullptr, true, ""},
  };
  for (const Case& c : cases) {
    Write("p.gif", GifOf(1, 1));
    if (!c.page.empty()) Write("p.htm", c.page);
    if (c.txt) Write("p.txt", c.txt);
    SlideRequest request = LocalSlide("p.gif", "p.htm");
    request.textConversion = c.textConversion;
    ASSERT_EQ(WriteSlide(request), kSlideWritten) << c.name;
    EXPECT_EQ(Between(Read("p.htm"), "</CENTER>\n", "</BODY>"), c.block) << c.name;
    DeleteFile("p.htm");
    DeleteFile("p.txt");
  }
}

TEST_F(SlideTest, UsedTextFileIsDeletedOnlyWhenAsked) {
  Write("p.gif", GifOf(1, 1));
  Write("p.txt", "words\n");
  WriteSlide(LocalSlide("p.gif", "p.htm"));
  EXPECT_TRUE(Exists("p.txt"));
  DeleteFile("p.htm");
  slideSettings.deleteTextFiles = true;
  WriteSlide(LocalSlide("p.gif", "p.htm"));
  EXPECT_FALSE(Exists("p.txt"));
  EXPECT_NE(Read("p.htm").find("<PRE>\nwords\n</PRE>\n"), std::string::npos);
}

// --- Up-to-date test ----------------------------------------------------------------

TEST_F(SlideTest, FrameSlideIsKeptWhileNothingChanged) {
  slideSettings.frames = true;
  slideSettings.updateOnlyIfNecessary = true;
  Write("a.gif", GifOf(16, 12));
  ASSERT_EQ(WriteSlide(LocalSlide("a.gif", "a.htm")), kSlideWritten);

  // The slide's write time is the instant its FILEINFO holds.
  FileTime written = 0;
  ASSERT_TRUE(GetFileTimes("a.htm", nullptr, nullptr, &written));
  EXPECT_EQ(SlideTime(written), written);
  EXPECT_EQ(WriteSlide(LocalSlide("a.gif", "a.htm")), kSlideUpToDate);

  // A hand edit changes the date.
  FileTime edited = written + 10 * 10000000ull;
  SetFileTimes("a.htm", nullptr, nullptr, &edited);
  EXPECT_EQ(WriteSlide(LocalSlide("a.gif", "a.htm")), kSlideWritten);
  EXPECT_EQ(WriteSlide(LocalSlide("a.gif", "a.htm")), kSlideUpToDate);

  // So do a new BODY and a changed image.
  slideSettings.hasSlideBody = true;
  slideSettings.slideBody = "BGCOLOR=RED";
  EXPECT_EQ(WriteSlide(LocalSlide("a.gif", "a.htm")), kSlideWritten);
  EXPECT_EQ(WriteSlide(LocalSlide("a.gif", "a.htm")), kSlideUpToDate);
  Write("a.gif", GifOf(17, 12));
  EXPECT_EQ(WriteSlide(LocalSlide("a.gif", "a.htm")), kSlideWritten);

  // Outside the frame mode a slide is always written.
  slideSettings.frames = false;
  EXPECT_EQ(WriteSlide(LocalSlide("a.gif", "a.htm")), kSlideWritten);
}

// --- Pieces ----------------------------------------------------------------------

TEST(SlideTitle, OnlyTheSuitesOwnPageNumberIsCut) {
  struct Case {
    const char* title;
    const char* cut;
  } cases[] = {
      {"Sunset ( 7 of 12)", "Sunset"},
      {"Sunset (7 of 12)", "Sunset"},
      {"Sunset  (  7 of 120)", "Sunset"},
      {"Walk (1 of 2) (3 of 4)", "Walk (1 of 2)"},
      {"Lake (view of the shore)", "Lake (view of the shore)"},
      {"Birds (2)", "Birds (2)"},
      {"A (1 of 2) later", "A (1 of 2) later"},
      {"(7 of 12)", "(7 of 12)"},
      {"Odd (7 of )", "Odd (7 of )"},
      {"", ""},
  };
  for (const Case& c : cases) {
    std::string title = c.title;
    CutPageNumber(title.data());
    EXPECT_STREQ(title.c_str(), c.cut) << c.title;
  }
}

TEST(SlideTitle, NumberedTitleFitsItsBuffer) {
  EXPECT_STREQ(NumberedTitle("Sunset", 7, 12), "Sunset ( 7 of 12)");
  EXPECT_STREQ(NumberedTitle("x", 3, 5), "x (3 of 5)");
  EXPECT_STREQ(NumberedTitle("x", 7, 120), "x (  7 of 120)");
  // A title is numbered while the whole fits in 255 characters; a longer
  // one is never cut for its number, so a rebuild gives it back whole.
  struct Case {
    size_t length;
    int number, count;
    const char* group;
  } cases[] = {
      {240, 1234, 5000, " (1234 of 5000)"},
      {244, 7, 12, " ( 7 of 12)"},
      {245, 7, 12, ""},
      {255, 1, 2, ""},
      {300, 1234, 5000, ""},
  };
  for (const Case& c : cases) {
    std::string title(c.length, 'w');
    String numbered = NumberedTitle(title.c_str(), c.number, c.count);
    EXPECT_EQ(std::string(numbered.Text()), title + c.group) << c.length;
    std::string back(numbered.Text());
    CutPageNumber(back.data());
    EXPECT_EQ(std::string(back.c_str()), title) << c.length;
  }
}

TEST(ScaleToFit, TakesTheFirstFactorThatFits) {
  struct Case {
    uint32_t width, height, boxWidth, boxHeight;
    int percent;
    uint32_t newWidth, newHeight;
  } cases[] = {
      {200, 150, 640, 480, 200, 400, 300},  {640, 480, 640, 480, 100, 640, 480},
      {1000, 700, 640, 480, 50, 500, 350},  {1800, 1400, 640, 480, 33, 600, 466},
      {2000, 1500, 640, 480, 25, 500, 375}, {5000, 5000, 640, 480, 25, 1250, 1250},
      {0, 150, 640, 480, 100, 0, 150},      {200, 150, 0, 480, 100, 200, 150},
  };
  for (const Case& c : cases) {
    uint32_t width = c.width, height = c.height;
    EXPECT_EQ(ScaleToFit(&width, &height, c.boxWidth, c.boxHeight), c.percent) << c.width;
    EXPECT_EQ(width, c.newWidth) << c.width;
    EXPECT_EQ(height, c.newHeight) << c.width;
  }
}

TEST_F(SlideTest, FileInfoTextGivesSizeAndPixels) {
  ImageFacts facts;
  EXPECT_TRUE(FileInfoText(0, facts, false).IsNull());
  facts.size = 2048;
  EXPECT_STREQ(FileInfoText(0, facts, false), "2KB; {2048}");
  facts.size = 1025;
  facts.width = 10;
  facts.height = 20;
  EXPECT_STREQ(FileInfoText(0, facts, false), "10&times;20, 2KB; {1025, 10, 20}");
  // The date belongs to the frame mode only.
  FileTime date = SlideTime(FileTimeNow());
  facts.iconsDepth = 2;
  EXPECT_STREQ(FileInfoText(date, facts, true), "10&times;20, 2KB; {1025, 10, 20}");
  slideSettings.frames = true;
  SystemTime time = FileTimeToSystem(FileTimeToLocal(date));
  char expected[96];
  snprintf(expected, sizeof expected, "10&times;20, 2KB; {1025, 10, 20}; 4 %02d/%02d/%02d %02d:%02d:%02d 2",
           time.month, time.day, time.year % 100, time.hour, time.minute, time.second);
  EXPECT_STREQ(FileInfoText(date, facts, true), expected);
}

TEST_F(SlideTest, MarkerDepthCountsTheLevelsUp) {
  slideSettings.markerFile = "mark.htm";
  drive.Write("mark.htm", "");
  EXPECT_EQ(MarkerDepth(), 2);
  drive.Write("site/mark.htm", "");
  EXPECT_EQ(MarkerDepth(), 2);  // kept for the run
  ResetSlideSettings();
  slideSettings.markerFile = "mark.htm";
  EXPECT_EQ(MarkerDepth(), 1);
  ResetSlideSettings();
  slideSettings.markerFile = "absent.htm";
  EXPECT_EQ(MarkerDepth(), -1);
  ResetSlideSettings();
  EXPECT_EQ(MarkerDepth(), -1);
}

TEST_F(SlideTest, ForwardIndexSendsTheVisitorOn) {
  Write("index.htm", "<HTML><HEAD><TITLE>My Pics</TITLE>"
                     "<META NAME=\"DESCRIPTION\" CONTENT=\"Old &amp; new\"></HEAD></HTML>");
  WriteForwardIndex("a.gif", nullptr);
  EXPECT_EQ(Read("index.htm"),
            std::string("<HTML>\n<HEAD>\n<TITLE>My Pics</TITLE>\n") + kGenerator +
                "<META NAME=\"DESCRIPTION\" CONTENT=\"Old &amp; new\">\n"
                "<META NAME=\"FORWARD\" CONTENT=\"a.gif\">\n"
                "</HEAD>\n\n"
                "<BODY>\n"
                "<H1 ALIGN=CENTER>My Pics</H1>\n"
                "<CENTER>\n"
                "<P>Old &amp; new\n"
                "<P>Click <A HREF=\"a.gif\">Here</A> to view the first picture.\n"
                "</CENTER>\n"
                "</BODY>\n</HTML>\n");
  WriteForwardIndex("frameset.htm", "Tom & Jerry");
  std::string page = Read("index.htm");
  EXPECT_NE(page.find("<TITLE>Tom &amp; Jerry</TITLE>\n"), std::string::npos);
  EXPECT_NE(page.find("<H1 ALIGN=CENTER>Tom &amp; Jerry</H1>\n"), std::string::npos);
  EXPECT_NE(page.find("<META NAME=\"FORWARD\" CONTENT=\"frameset.htm\">\n"), std::string::npos);
}

}  // namespace
