// The built galleria answering CGI requests from an index database, and
// writing searchable and sequence index pages, as a user runs it.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/testing/test_support.h"
#include "shared/testing/full_output.h"

namespace {

namespace fs = std::filesystem;

const char kGenerator[] =
    "<META NAME=\"GENERATOR\" CONTENT=\"Tessarin Index Builder, v2.10 by Dunmarrow\">\n";

const char kConstructors[] =
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
    "}\n\n";

const char kStartScript[] =
    "basePath = location.href;\n"
    "i = basePath.lastIndexOf('/');\n"
    "j = basePath.lastIndexOf('\\\\');\n"
    "if (j > i) i = j;\n"
    "basePath = basePath.substring(0, i+1);\n"
    "startPage = parseInt(location.hash.substring(1,9));\n"
    "if (isNaN(startPage)) startPage = 1;\n"
    "backLink = document.referrer;\n";

const char kNoScriptBlock[] =
    "<NOSCRIPT>\n"
    "<P><TABLE BORDER=4 WIDTH=\"100%\" BGCOLOR=YELLOW><TR><TD><CENTER>\n"
    "<FONT SIZE=5 COLOR=RED><STRONG>Warning: JavaScript is not available!</STRONG></FONT><BR>\n"
    "<FONT COLOR=BLACK>Please enable JavaScript or use a browser that supports JavaScript to "
    "display this document.</FONT>\n"
    "</CENTER></TD></TR></TABLE></P>\n"
    "</NOSCRIPT>\n\n";

std::string Record(const std::string& title, const std::string& path, const std::string& rest) {
  return title + "\t" + path + "\t" + rest + "\n";
}

const std::string kDatabase =
    Record("Beach", "C:\\site\\trip\\beach.jpg",
           "Sand & sea\tsea, sand\t\tthumbs\\tn_beach_jpg.jpg:96,72\t50\t0\t0002") +
    Record("Harbour", "C:\\site\\trip\\harbour.htm", "\tsea, boat\t\t\t40\t0\t0001") +
    Record("Rome", "C:\\site\\rome\\index.htm", "City\tcity, sea\t\tthumb.jpg:80,60\t50\t0\t0020") +
    Record("Sunset", "C:\\site\\trip\\sunset.jpg", "\tsea\t\t\t50\t0\t0002") +
    Record("Video", "C:\\site\\trip\\video.htm", "\tsea\t\t\t50\t0\t0004");

const char kCgiIni[] =
    "slides=window\n"
    "indexdb=index.db\n"
    "workingdir=C:\\site\n"
    "startdir=C:\\site\n"
    "starturl=/photos\n"
    "cgiurl=/cgi-bin/galleria\n"
    "cachedir=C:\\site\n"
    "[search]\n"
    "index=searchable\n"
    "[sequence]\n"
    "index=sequence\n"
    "[shuffled]\n"
    "shuffle=yes\n";

// A copy of the program in C:\cgi-bin with its "weftcgi.ini", the site in
// C:\site with its icons and index database.
class CgiProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    drive.MakeDir("cgi-bin");
    program = drive.Host("cgi-bin/galleria");
    fs::copy_file(ProgramPath("galleria"), program, fs::copy_options::overwrite_existing);
    drive.Write("cgi-bin/weftcgi.ini", kCgiIni);
    for (const char* name : {"slides.htm", "search.htm", "controls.htm", "index.js"}) {
      drive.Write(std::string("site/icons/") + name, "");
    }
    drive.Write("site/index.db", kDatabase);
  }
  RunResult Request(const std::string& query) {
    RunOptions options;
    options.cwd = drive.Host("cgi-bin");
    options.env = {{"REQUEST_METHOD", "GET"}, {"QUERY_STRING", query}};
    options.unset = {"WEFTLOG", "CONTENT_LENGTH"};
    return RunProgram(program, {}, options);
  }
  // The head of a page of CGI output up to its FILEINFO line.
  static std::string Head(const std::string& fileInfo) {
    return std::string("Content-type:  text/html\n\n<HTML>\n<HEAD>\n<TITLE>site</TITLE>\n") +
           kGenerator + "<META NAME=\"FILEINFO\" CONTENT=\"" + fileInfo + "\">\n" +
           "<META HTTP-EQUIV=\"Content-Script-Type\" CONTENT=\"text/javascript\">\n";
  }
  // The sequence page of the query "sea" (the section [sequence]).
  static std::string SequencePage() {
    return Head("0 slides, 0 bytes; {0, 0, 0, 0, 0, 0, 0}; FRAMESET") +
           "\n<SCRIPT LANGUAGE=\"JavaScript1.1\">\n<!--\n" + kStartScript +
           "\npages=2\n"
           "page=new Array(pages);\n"
           "page[0]=\"/photos/trip/beach.htm\";\n"
           "page[1]=\"/photos/trip/sunset.htm\";\n"
           "// -->\n</SCRIPT>\n"
           "</HEAD>\n\n"
           "<FRAMESET COLS=\"100,*\" onLoad=\"if (contentStale) "
           "parent.inputFrame.displayCurrentPage()\">\n"
           "  <FRAME SRC=\"/photos/icons/controls.htm\" NAME=\"inputFrame\">\n"
           "  <FRAME SRC=\"javascript:'<BODY></BODY>'\" NAME=\"contentFrame\">\n"
           "</FRAMESET>\n"
           "</HTML>\n";
  }
  // A formatted result page: its summary, slide array, listings and page links.
  static std::string ResultPage(const std::string& fileInfo, const std::string& slides,
                                const std::string& listings, const std::string& pageLinks) {
    return Head(fileInfo) +
           "<SCRIPT LANGUAGE=\"JavaScript1.1\" SRC=\"/photos/icons/index.js\"></SCRIPT>\n" +
           "<SCRIPT LANGUAGE=\"JavaScript1.1\">\n<!--\n" + "iconDir=\"/photos/icons\";\n" +
           slides + "// -->\n</SCRIPT>\n" + "</HEAD>\n\n" + "<BODY>\n" +
           "<CENTER>\nBack to\n<A HREF=\"../index.htm\">[root]</A>\n</CENTER>\n\n\n" +
           kNoScriptBlock +
           "<HR>\n<CENTER>\n<BIG><BIG><BIG><B>site</B></BIG></BIG></BIG>\n</CENTER>\n<HR>\n" +
           "\n<P>\n" + listings + "<P>\n<HR>\n" + pageLinks +
           "\n<P>\n" + "</BODY>\n" + "</HTML>\n";
  }
  // The site is left as it was, but for the result cache.
  void ExpectSiteUntouched(bool withCache) {
    std::vector<std::string> files = {"icons/controls.htm", "icons/index.js",
                                      "icons/search.htm", "icons/slides.htm", "index.db"};
    if (withCache) files.insert(files.begin(), "cache.db");
    EXPECT_EQ(drive.Files("site"), files);
  }

  TempDrive drive;
  std::string program;
};

TEST_F(CgiProgramTest, ResultPagesOfAQuery) {
  RunResult first = Request("query=sea&count=2&id=s1");
  EXPECT_EQ(first.exitCode, 0);
  EXPECT_EQ(first.err, "");
  EXPECT_EQ(first.out,
            ResultPage("0 slides, 0 bytes; {0, 0, 0, 0, 0, 0, 0}",
                       "pages=1;\npage=new Array(pages);\npage[0]=\"/photos/trip/beach.htm\";\n",
                       "<TABLE BORDER=0>\n"
                       "<TR VALIGN=BOTTOM><TD><A HREF=\"javascript:SlideLink(0)\"><IMG "
                       "SRC=\"/photos/trip/thumbs/tn_beach_jpg.jpg\" WIDTH=96 HEIGHT=72></A></TD>"
                       "<TD><A HREF=\"javascript:SlideLink(0)\">Beach</A></TD><TD WIDTH=16>&nbsp;"
                       "</TD><TD>Sand &amp; sea</TD></TR>\n"
                       "<TR VALIGN=BOTTOM><TD></TD><TD><A HREF=\"/photos/trip/harbour.htm\">"
                       "Harbour</A></TD></TR>\n"
                       "</TABLE>\n",
                       "<STRONG>Result Pages:</STRONG>&nbsp;\n"
                       " <STRONG>1</STRONG>\n"
                       " <A HREF=\"/cgi-bin/galleria?query=sea&amp;id=s1&amp;first=2&amp;count=2\">"
                       "2</A>&nbsp;&nbsp;\n"
                       " <STRONG><A HREF=\"/cgi-bin/galleria?query=sea&amp;id=s1&amp;first=2&amp;"
                       "count=2\">[Next >>]</A></STRONG>"));
  ExpectSiteUntouched(true);

  RunResult second = Request("query=sea&count=2&id=s1&first=2");
  EXPECT_EQ(second.exitCode, 0);
  EXPECT_EQ(second.err, "");
  EXPECT_EQ(second.out,
            ResultPage("0 slides in 1 set, 0 bytes; {0, 0, 0, 0, 0, 0, 1}",
                       "pages=1;\npage=new Array(pages);\npage[0]=\"/photos/trip/sunset.htm\";\n",
                       "<TABLE>\n<TR>\n"
                       "<TD><A HREF=\"/photos/rome/index.htm\"><IMG SRC=\"/photos/rome/thumb.jpg\" "
                       "WIDTH=80 HEIGHT=60></A></TD>\n"
                       "<TD><A HREF=\"/photos/rome/index.htm\">Rome</A><BR><SMALL>City</SMALL>"
                       "</TD>\n"
                       "</TR>\n</TABLE>\n"
                       "<H3>Singles</H3>\n"
                       "<TABLE BORDER=0 CELLSPACING=0 CELLPADDING=0>\n"
                       "<TR VALIGN=TOP><TD><A HREF=\"javascript:SlideLink(0)\">Sunset</A></TD>"
                       "</TR>\n"
                       "</TABLE>\n",
                       "<STRONG>Result Pages:</STRONG>&nbsp;\n"
                       " <STRONG><A HREF=\"/cgi-bin/galleria?query=sea&amp;id=s1&amp;first=0&amp;"
                       "count=2\">[<< Prev]</A></STRONG>&nbsp;&nbsp;\n"
                       " <A HREF=\"/cgi-bin/galleria?query=sea&amp;id=s1&amp;first=0&amp;count=2\">"
                       "1</A>\n"
                       " <STRONG>2</STRONG>"));
}

TEST_F(CgiProgramTest, RequestTextReachesThePageOnlyFormEncoded) {
  RunResult run = Request("query=sea+%7C+TITLE+%3D+%22%3Cscript%3E%22&count=1&type=f");
  EXPECT_EQ(run.exitCode, 0);
  size_t links = run.out.find("<STRONG>Result Pages:</STRONG>");
  ASSERT_NE(links, std::string::npos) << run.out;
  EXPECT_EQ(run.out.substr(links, run.out.find("\n<P>\n", links) - links),
            "<STRONG>Result Pages:</STRONG>&nbsp;\n"
            " <STRONG>1</STRONG>\n"
            " <A HREF=\"/cgi-bin/galleria?query=sea+%7C+TITLE+%3D+%22%3Cscript%3E%22&amp;type=f"
            "&amp;first=1&amp;count=1\">2</A>\n"
            " <A HREF=\"/cgi-bin/galleria?query=sea+%7C+TITLE+%3D+%22%3Cscript%3E%22&amp;type=f"
            "&amp;first=2&amp;count=1\">3</A>&nbsp;&nbsp;\n"
            " <STRONG><A HREF=\"/cgi-bin/galleria?query=sea+%7C+TITLE+%3D+%22%3Cscript%3E%22&amp;"
            "type=f&amp;first=1&amp;count=1\">[Next >>]</A></STRONG>");
  EXPECT_EQ(run.out.find("<script>"), std::string::npos);
  // Without an id no cache is kept.
  ExpectSiteUntouched(false);
}

TEST_F(CgiProgramTest, SearchablePageOfTheResults) {
  RunResult run = Request("config=search&type=f&query=sea");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out,
            Head("0 slides, 0 bytes; {0, 0, 0, 0, 0, 0, 0}") +
                "\n<SCRIPT LANGUAGE=\"JavaScript1.1\">\n<!--\n\n" + kConstructors +
                "bodyOptions=\"\";\n"
                "indexDescription=\"\";\n"
                "indexThumbnail=\"\";\n"
                "backLink=\"../index.htm\";\n"
                "\nhlinks=1;\n"
                "hlink=new Array(hlinks);\n"
                "hlink[0]=new HLink(\"Harbour\", \"/photos/trip/harbour.htm\", \"\", 0, 0, \"\", "
                "\",sea,boat,\");\n"
                "\nslides=2;\n"
                "slide=new Array(slides);\n"
                "slide[0]=new Slide(\"Beach\", \"/photos/trip/beach.htm\", \"Sand &amp; sea\", "
                "\",sea,sand,\");\n"
                "slide[1]=new Slide(\"Sunset\", \"/photos/trip/sunset.htm\", \"\", \",sea,\");\n"
                "\npages=0;\n"
                "page=new Array(slides);\n"
                "\nkeyword=new Array(\"boat\", \"sand\", \"sea\");\n"
                "\n// -->\n</SCRIPT>\n"
                "</HEAD>\n\n"
                "<FRAMESET ROWS=\"60,*\">\n"
                "  <FRAME SRC=\"/photos/icons/search.htm\" NAME=\"searchFrame\" SCROLLING=NO>\n"
                "  <FRAME SRC=\"javascript:'<BODY></BODY>'\" NAME=\"contentFrame\">\n"
                "</FRAMESET>\n"
                "</HTML>\n");
  ExpectSiteUntouched(false);
}

TEST_F(CgiProgramTest, SequencePageOfTheImages) {
  RunResult run = Request("config=sequence&query=sea");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out, SequencePage());
}

// A folder of the host on no mapped drive, removed with its files after.
class HostFolder {
 public:
  HostFolder() {
    char name[] = "/tmp/weftbin.XXXXXX";
    if (mkdtemp(name)) path_ = name;
  }
  ~HostFolder() {
    std::error_code ignored;
    if (!path_.empty()) fs::remove_all(path_, ignored);
  }
  HostFolder(const HostFolder&) = delete;
  HostFolder& operator=(const HostFolder&) = delete;
  std::string Path(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// However the program is installed, the request in C:\cgi-bin gets its page
// from the settings of its own "weftcgi.ini", and no file is written there.
TEST_F(CgiProgramTest, AnswersWhereverTheProgramIsInstalled) {
  HostFolder bin;  // the program's folder, on no mapped drive
  std::string built = fs::absolute(ProgramPath("galleria")).string();
  // Each case builds on the one before.
  struct Case {
    const char* label;
    std::function<void()> install;
    std::vector<std::string> cgiBin;  // the files of C:\cgi-bin, before and after
  } const cases[] = {
      {"a link in cgi-bin to the built program",
       [&] { fs::create_symlink(built, program); },
       {"galleria", "weftcgi.ini"}},
      {"a copy off the drives with its settings beside it",
       [&] {
         program = bin.Path("galleria");
         fs::copy_file(built, program, fs::copy_options::overwrite_existing);
         fs::copy_file(drive.Host("cgi-bin/weftcgi.ini"), bin.Path("weftcgi.ini"),
                       fs::copy_options::overwrite_existing);
         fs::remove(drive.Host("cgi-bin/weftcgi.ini"));
       },
       {}},
      {"a link in cgi-bin beside its own settings, the real file beside others",
       [&] {
         std::ofstream(bin.Path("weftcgi.ini"), std::ios::trunc) << "slides=simple\n";
         drive.Write("cgi-bin/weftcgi.ini", kCgiIni);
         fs::create_symlink(bin.Path("galleria"), program);
       },
       {"galleria", "weftcgi.ini"}},
  };
  for (const Case& c : cases) {
    fs::remove(drive.Host("cgi-bin/galleria"));
    program = drive.Host("cgi-bin/galleria");
    c.install();
    ASSERT_EQ(drive.Files("cgi-bin"), c.cgiBin) << c.label;
    RunResult run = Request("config=sequence&query=sea");
    EXPECT_EQ(run.exitCode, 0) << c.label;
    EXPECT_EQ(run.err, "") << c.label;
    EXPECT_EQ(run.out, SequencePage()) << c.label;
    EXPECT_EQ(drive.Files("cgi-bin"), c.cgiBin) << c.label;
    ExpectSiteUntouched(false);
  }
}

TEST_F(CgiProgramTest, ShuffledResultsStayInOneOrderAcrossPages) {
  std::vector<std::string> titles;
  for (const char* first : {"0", "1", "2", "3"}) {
    RunResult run = Request(std::string("config=shuffled&id=r1&count=1&first=") + first);
    EXPECT_EQ(run.exitCode, 0);
    for (const char* title : {"Beach", "Harbour", "Rome", "Sunset"}) {
      if (run.out.find(std::string(">") + title + "</A>") != std::string::npos) {
        titles.push_back(title);
      }
    }
  }
  std::sort(titles.begin(), titles.end());
  EXPECT_EQ(titles, (std::vector<std::string>{"Beach", "Harbour", "Rome", "Sunset"}));
}

TEST_F(CgiProgramTest, HugeFirstAndCountArgumentsStayInRange) {
  // Past the last result the page lists nothing; its page arithmetic must
  // not overflow (a count is cut to the 1000 entries a page can hold).
  const std::string base = "\n <A HREF=\"/cgi-bin/galleria?query=sea&amp;first=";
  struct Case {
    const char* query;
    std::string end;
  } cases[] = {
      {"query=sea&count=1&first=2147483647",
       "<P>\n<HR>\n<STRONG>Result Pages:</STRONG>&nbsp;\n"
       " <STRONG><A HREF=\"/cgi-bin/galleria?query=sea&amp;first=2147483645&amp;count=1\">"
       "[<< Prev]</A></STRONG>&nbsp;&nbsp;" +
           base + "0&amp;count=1\">1</A>" + base + "1&amp;count=1\">2</A>" + base +
           "2&amp;count=1\">3</A>" + base + "3&amp;count=1\">4</A>\n<P>\n</BODY>\n</HTML>\n"},
      {"query=sea&count=2&first=99999999999999999999",
       "<P>\n<HR>\n<STRONG>Result Pages:</STRONG>&nbsp;\n"
       " <STRONG><A HREF=\"/cgi-bin/galleria?query=sea&amp;first=2147483644&amp;count=2\">"
       "[<< Prev]</A></STRONG>&nbsp;&nbsp;" +
           base + "0&amp;count=2\">1</A>" + base + "2&amp;count=2\">2</A>\n<P>\n</BODY>\n</HTML>\n"},
      {"query=sea&count=2147483647&first=2147483647", "</BODY>\n</HTML>\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.query);
    RunResult run = Request(c.query);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, "");
    size_t heading = run.out.rfind("</CENTER>\n<HR>\n\n<P>\n");
    ASSERT_NE(heading, std::string::npos);
    EXPECT_EQ(run.out.substr(heading + 20), c.end);
  }
}

TEST_F(CgiProgramTest, PageThatCannotBeWrittenIsAnError) {
  for (const char* query : {"query=sea", "config=search&query=sea", "config=sequence&query=sea"}) {
    RunOptions options;
    options.cwd = drive.Host("cgi-bin");
    options.env = {{"REQUEST_METHOD", "GET"}, {"QUERY_STRING", query}};
    options.unset = {"WEFTLOG", "CONTENT_LENGTH"};
    RunResult run = RunProgramToFullDisk(program, {}, options);
    EXPECT_EQ(run.exitCode, 3) << query;
    EXPECT_EQ(run.err, "Error:  Can't write to output file.\n") << query;
  }
}

TEST_F(CgiProgramTest, MissingDatabaseEndsTheRequest) {
  fs::remove(drive.Host("site/index.db"));
  RunResult run = Request("query=sea");
  EXPECT_EQ(run.exitCode, 3);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "Error:  Can't open index database file.\n");
}

// --- Static searchable and sequence pages --------------------------------------

std::string Page(const std::string& title, const std::string& meta = "") {
  return "<HTML>\n<HEAD>\n<TITLE>" + title + "</TITLE>\n" + meta +
         "</HEAD>\n<BODY>\n</BODY>\n</HTML>\n";
}

std::string Gif(int width, int height) {
  std::string gif = "GIF89a";
  for (int v : {width, height}) {
    gif += static_cast<char>(v & 0xFF);
    gif += static_cast<char>(v >> 8);
  }
  return gif + std::string("\0\0\0", 3);
}

// C:\site\icons and the gallery C:\site\trip: a page, two images (one with
// its slide page and thumbnail), a subfolder with an index page and one
// without.
class FramesetIndexProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    drive.Write("site/icons/search.htm", "");
    drive.Write("site/icons/controls.htm", "");
    drive.Write("site/trip/about.htm",
                Page("About the trip",
                     "<META NAME=\"DESCRIPTION\" CONTENT=\"Two weeks &amp; more\">\n"
                     "<META NAME=\"KEYWORDS\" CONTENT=\"travel, _draft\">\n"));
    drive.Write("site/trip/beach.htm",
                Page("Beach \"north\"", "<META NAME=\"KEYWORDS\" CONTENT=\"sea, Travel\">\n"));
    drive.Write("site/trip/beach.gif", Gif(640, 480));
    drive.Write("site/trip/thumbs/tn_beach_gif.jpg", Gif(96, 72));
    drive.Write("site/trip/PIC.GIF", Gif(640, 480));
    drive.Write("site/trip/rome/index.htm", Page("Rome"));
    drive.MakeDir("site/trip/misc");
  }
  RunResult Galleria(const std::string& weftIni, const std::string& dir = "site/trip") {
    drive.Write("site/icons/weft.ini", weftIni);
    RunOptions options;
    options.cwd = drive.Host(dir);
    options.unset = {"WEFTLOG", "REQUEST_METHOD", "QUERY_STRING"};
    return RunProgram("galleria", {}, options);
  }
  std::string Index() { return drive.Read("site/trip/index.htm"); }

  TempDrive drive;
};

TEST_F(FramesetIndexProgramTest, SearchablePage) {
  RunResult run = Galleria("slides=window\nindex=searchable\n");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "");
  EXPECT_FALSE(drive.Exists("site/trip/index.new"));
  EXPECT_EQ(Index(),
            std::string("<HTML>\n<HEAD>\n<TITLE>trip</TITLE>\n") + kGenerator +
                "<META NAME=\"FILEINFO\" CONTENT=\"0 slides in 1 set, 0 bytes; "
                "{0, 0, 0, 0, 0, 0, 1}\">\n"
                "<META HTTP-EQUIV=\"Content-Script-Type\" CONTENT=\"text/javascript\">\n"
                "\n<SCRIPT LANGUAGE=\"JavaScript1.1\">\n<!--\n\n" + kConstructors +
                "bodyOptions=\"\";\n"
                "indexDescription=\"\";\n"
                "indexThumbnail=\"\";\n"
                "backLink=\"../index.htm\";\n"
                "\nhlinks=2;\n"
                "hlink=new Array(hlinks);\n"
                "hlink[0]=new HLink(\"About the trip\", \"about.htm\", \"\", 0, 0, "
                "\"Two weeks &amp; more\", \",travel,\");\n"
                "hlink[1]=new HLink(\"Rome\", \"rome/index.htm\", \"\", 0, 0, \"\", \"\");\n"
                "\nslides=2;\n"
                "slide=new Array(slides);\n"
                "slide[0]=new Slide(\"Beach &quot;north&quot;\", \"beach.htm\", \"\", "
                "\",sea,Travel,\");\n"
                "slide[1]=new Slide(\"pic.gif\", \"PIC.HTM\", \"\", \"\");\n"
                "\npages=0;\n"
                "page=new Array(slides);\n"
                "\nkeyword=new Array(\"sea\", \"travel\");\n"
                "\n// -->\n</SCRIPT>\n"
                "</HEAD>\n\n"
                "<FRAMESET ROWS=\"60,*\">\n"
                "  <FRAME SRC=\"../icons/search.htm\" NAME=\"searchFrame\" SCROLLING=NO>\n"
                "  <FRAME SRC=\"javascript:'<BODY></BODY>'\" NAME=\"contentFrame\">\n"
                "</FRAMESET>\n"
                "</HTML>\n");
}

TEST_F(FramesetIndexProgramTest, SearchablePageTextsCannotEndItsScript) {
  drive.Write("site/trip/about.htm",
              Page("Ends &lt;/SCRIPT&gt; here",
                   "<META NAME=\"DESCRIPTION\" CONTENT=\"a </script> b\\\">\n"
                   "<META NAME=\"KEYWORDS\" CONTENT=\"&lt;/script&gt;&lt;script&gt;"
                   "alert(1)&lt;/script&gt;, sea\">\n"));
  RunResult run = Galleria("slides=window\nindex=searchable\n");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.err, "");
  std::string page = Index();
  EXPECT_NE(page.find("hlink[0]=new HLink(\"Ends &lt;/SCRIPT&gt; here\", \"about.htm\", \"\", 0, 0, "
                      "\"a &lt;/script&gt; b\\\\\", "
                      "\",<\\/script><script>alert(1)<\\/script>,sea,\");\n"),
            std::string::npos)
      << page;
  EXPECT_NE(page.find("\nkeyword=new Array(\"<\\/script><script>alert(1)<\\/script>\", \"sea\", "
                      "\"Travel\");\n"),
            std::string::npos)
      << page;
  // The page's own closing tag is the only one.
  EXPECT_EQ(page.find("</script>"), std::string::npos);
  EXPECT_EQ(page.find("</SCRIPT>"), page.rfind("</SCRIPT>"));
}

TEST_F(FramesetIndexProgramTest, SequencePageListsOnlyTheImages) {
  RunResult run = Galleria("slides=window\nindex=sequence\n");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(Index(),
            std::string("<HTML>\n<HEAD>\n<TITLE>trip</TITLE>\n") + kGenerator +
                "<META NAME=\"FILEINFO\" CONTENT=\"0 slides, 0 bytes; {0, 0, 0, 0, 0, 0, 0}; "
                "FRAMESET\">\n"
                "<META HTTP-EQUIV=\"Content-Script-Type\" CONTENT=\"text/javascript\">\n"
                "\n<SCRIPT LANGUAGE=\"JavaScript1.1\">\n<!--\n" + kStartScript +
                "\npages=2\n"
                "page=new Array(pages);\n"
                "page[0]=\"beach.htm\";\n"
                "page[1]=\"PIC.HTM\";\n"
                "// -->\n</SCRIPT>\n"
                "</HEAD>\n\n"
                "<FRAMESET COLS=\"100,*\" onLoad=\"if (contentStale) "
                "parent.inputFrame.displayCurrentPage()\">\n"
                "  <FRAME SRC=\"../icons/controls.htm\" NAME=\"inputFrame\">\n"
                "  <FRAME SRC=\"javascript:'<BODY></BODY>'\" NAME=\"contentFrame\">\n"
                "</FRAMESET>\n"
                "</HTML>\n");
}

// The frames load the icons directory's files by URLs relative to the page,
// so that the site works opened from its files and under any web root.
TEST_F(FramesetIndexProgramTest, FrameUrlsAreRelativeToThePagesFolder) {
  struct Case {
    const char* dir;
    const char* index;
    const char* frame;
  } cases[] = {
      {"site", "searchable", "  <FRAME SRC=\"icons/search.htm\" NAME=\"searchFrame\" SCROLLING=NO>\n"},
      {"site", "sequence", "  <FRAME SRC=\"icons/controls.htm\" NAME=\"inputFrame\">\n"},
      {"site/trip/rome", "searchable",
       "  <FRAME SRC=\"../../icons/search.htm\" NAME=\"searchFrame\" SCROLLING=NO>\n"},
      {"site/trip/rome", "sequence", "  <FRAME SRC=\"../../icons/controls.htm\" NAME=\"inputFrame\">\n"},
  };
  for (const Case& c : cases) {
    RunResult run = Galleria(std::string("slides=window\nindex=") + c.index + "\n", c.dir);
    EXPECT_EQ(run.exitCode, 0) << c.dir << " " << c.index;
    EXPECT_EQ(run.err, "") << c.dir << " " << c.index;
    std::string page = drive.Read(std::string(c.dir) + "/index.htm");
    EXPECT_NE(page.find(c.frame), std::string::npos) << c.dir << " " << c.index << "\n" << page;
  }
}

TEST_F(FramesetIndexProgramTest, SearchablePageNeedsItsSearchFrame) {
  fs::remove(drive.Host("site/icons/search.htm"));
  drive.Write("site/trip/index.htm", "old");
  RunResult run = Galleria("slides=window\nindex=searchable\n");
  EXPECT_EQ(run.exitCode, 3);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "Error:  Can't find the icons directory.  Index file was not written.\n");
  EXPECT_EQ(Index(), "old");
  EXPECT_FALSE(drive.Exists("site/trip/index.new"));
}

}  // namespace
