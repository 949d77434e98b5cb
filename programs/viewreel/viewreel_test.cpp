// The slide builder run as a user runs it, in a site on a temporary drive.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/attributes.h"
#include "platform/files.h"
#include "platform/filetime.h"
#include "platform/testing/test_support.h"
#include "programs/viewreel/testing/slide_fixture.h"
#include "shared/testing/exif_jpeg.h"
#include "shared/testing/long_heads.h"

namespace {

class ViewreelTest : public testing::Test {
 protected:
  ViewreelTest() {
    drive.MakeDir("site/icons");
    drive.MakeDir("site/pics");
  }

  RunResult Run(const std::vector<std::string>& args) const {
    RunOptions options;
    options.cwd = drive.Host("site/pics");
    options.unset = {"WEFTLOG"};
    return RunProgram(std::string(WEFT_BIN_DIR) + "/viewreel", args, options);
  }
  void Write(const std::string& name, const std::string& content) const {
    drive.Write("site/pics/" + name, content);
  }
  std::string Read(const std::string& name) const { return drive.Read("site/pics/" + name); }
  bool Exists(const std::string& name) const { return drive.Exists("site/pics/" + name); }
  std::vector<std::string> Files() const { return drive.Files("site/pics"); }
  void Config(const std::string& lines) const { drive.Write("site/icons/weft.ini", lines); }

  FileTime WriteTime(const std::string& name) const {
    FileTime time = 0;
    GetFileTimes(drive.Win("site/pics/" + name).c_str(), nullptr, nullptr, &time);
    return time;
  }

  TempDrive drive;
};

// The part of a page between two texts.
std::string Between(const std::string& page, const std::string& from, const std::string& to) {
  size_t start = page.find(from);
  if (start == std::string::npos) return "<no " + from + ">";
  start += from.size();
  return page.substr(start, page.find(to, start) - start);
}

std::string Picture(const std::string& page) { return Between(page, "<CENTER>\n", "<B>"); }

const char kHelp[] =
    "VIEWREEL, Tessarin Slide Builder, Version 2.10\n"
    "\n"
    "Builds an HTML slide file for each image file in the current directory.\n"
    "The build parameters are read from the standard configuration files.\n"
    "Read the Tessarin documentation for more information.\n"
    "\n"
    "VIEWREEL [/B] [/D] [/F] [/H | /H:homefile] [/M] [/N] [/R | /RS | /RI]\n"
    "         [/S:width,height | /S:height[%]] [/T | /T:title] [/U] [/V]\n"
    "\n"
    "  /B              Use button icons instead of text links if available.\n"
    "  /D              Delete text files after integration into HTML files.\n"
    "  /F              Create a forwarding index file called \"index.htm\".\n"
    "  /H              Home link is \"index.htm\" (default = first file).\n"
    "  /H:homefile     Home link is \"homefile\" (default = first file).\n"
    "  /M              Suppress page numbering in title.\n"
    "  /N              Disable automatic text file conversion.\n"
    "  /R[S|I]         Generates frame files (Netscape 2.0, Internet Explorer 4.0).\n"
    "                   S = generate frameset only;  I = generate slide files only.\n"
    "  /S:width,height Scales image to fit in \"width\" and \"height\" pixels.\n"
    "  /S:height[%]    Scales image to \"height\" (% = percent of window height).\n"
    "  /T              Title for slides is index title (default = image file name).\n"
    "  /T:title        Title for slides is \"title\" (use \"_\" for spaces).\n"
    "  /U              Update slides only if necessary (works only with \"/R\").\n"
    "  /V              Verbose mode.\n";

// --- Command line ------------------------------------------------------------------

TEST_F(ViewreelTest, UnknownOptionShowsTheHelpEvenAfterValidOnes) {
  Write("a.gif", GifOf(10, 10));
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"/S:640,480", "/Q"}, {"/?"}, {"-"}, {"/B", "/"}}) {
    RunResult result = Run(args);
    EXPECT_EQ(result.exitCode, 0) << args.back();
    EXPECT_EQ(result.out, kHelp) << args.back();
    EXPECT_EQ(result.err, "");
  }
  EXPECT_EQ(Files(), std::vector<std::string>{"a.gif"});
}

TEST_F(ViewreelTest, ArgumentWithoutSlashIsRefused) {
  Write("a.gif", GifOf(10, 10));
  RunResult result = Run({"/V", "pics", "/Q"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err,
            "Error:  Illegal command line parameter \"pics\".\n        Program aborted.\n");
  EXPECT_EQ(Files(), std::vector<std::string>{"a.gif"});
}

TEST_F(ViewreelTest, OptionLettersAndValuesTakeEverySpelling) {
  Write("a.gif", GifOf(200, 150));
  ASSERT_EQ(Run({"/S:640,480"}).exitCode, 0);
  std::string expected = Read("a.htm");
  EXPECT_NE(expected.find("WIDTH=\"400\" HEIGHT=\"300\""), std::string::npos);
  for (const char* spelling : {"/s:640,480", "/S640,480", "-s640,480"}) {
    DeleteFile(drive.Win("site/pics/a.htm").c_str());
    ASSERT_EQ(Run({spelling}).exitCode, 0) << spelling;
    EXPECT_EQ(Read("a.htm"), expected) << spelling;
  }
}

// --- Options against the configuration --------------------------------------------

TEST_F(ViewreelTest, ConfigurationKeyWinsOverTheOption) {
  Write("a.gif", GifOf(350, 250));
  Run({"/S:640,480"});
  EXPECT_EQ(Picture(Read("a.htm")),
            "<IMG BORDER=2 VSPACE=3 WIDTH=\"350\" HEIGHT=\"250\" SRC=\"a.gif\"><BR>\n");

  Config("scale=800,600\n");
  Run({"/S:640,480"});
  EXPECT_EQ(Picture(Read("a.htm")),
            "<A HREF=\"a.gif\"><IMG BORDER=2 VSPACE=3 WIDTH=\"700\" HEIGHT=\"500\" "
            "SRC=\"a.gif\"></A><BR>\n");

  // A height beside the box: the box still decides.
  Config("scale=800,600\nscale=400\n");
  Run({});
  EXPECT_NE(Picture(Read("a.htm")).find("WIDTH=\"700\""), std::string::npos);
  Config("scale=400\n");
  Run({});
  EXPECT_EQ(Picture(Read("a.htm")),
            "<A HREF=\"a.gif\"><IMG BORDER=2 VSPACE=3 HEIGHT=\"400\" SRC=\"a.gif\"></A><BR>\n");
}

// A photograph whose EXIF orientation shows it on its side is sized as
// shown, in the picture's tag, the scaling and the FILEINFO, in every mode.
TEST_F(ViewreelTest, OrientedPhotographsAreSizedAsShown) {
  for (int o = 1; o <= 8; ++o) {
    Write("o" + std::to_string(o) + ".jpg", WithOrientation(JpegFrameOf(1600, 1200), o, o > 4));
  }
  Config("scale=800,600\n");
  ASSERT_EQ(Run({}).exitCode, 0);
  for (int o = 1; o <= 8; ++o) {
    std::string name = "o" + std::to_string(o);
    std::string page = Read(name + ".htm");
    bool sideways = o >= 5;
    std::string size = sideways ? "WIDTH=\"400\" HEIGHT=\"533\"" : "WIDTH=\"800\" HEIGHT=\"600\"";
    std::string picture = "<BR>\n<A HREF=\"" + name + ".jpg\"><IMG BORDER=2 VSPACE=3 " + size +
                          " SRC=\"" + name + ".jpg\"></A><BR>\n";
    EXPECT_NE(Picture(page).find(picture), std::string::npos) << name << "\n" << page;
    EXPECT_NE(page.find(sideways ? "(scaled to 33% " : "(scaled to 50% "), std::string::npos) << name;
    std::string info = sideways ? "1200&times;1600, 1KB; {" : "1600&times;1200, 1KB; {";
    EXPECT_NE(page.find("<META NAME=\"FILEINFO\" CONTENT=\"" + info), std::string::npos) << name;
    EXPECT_NE(page.find(sideways ? ", 1200, 1600}" : ", 1600, 1200}"), std::string::npos) << name;
  }
  Config("slides=frameset\n");
  ASSERT_EQ(Run({}).exitCode, 0);
  EXPECT_NE(Read("o1.htm").find("writeImgTag(self,'o1.jpg',1600,1200);"), std::string::npos);
  EXPECT_NE(Read("o6.htm").find("writeImgTag(self,'o6.jpg',1200,1600);"), std::string::npos);
  EXPECT_NE(Read("o8.htm").find("writeImgTag(self,'o8.jpg',1200,1600);"), std::string::npos);
}

// Names and titles with letters beyond ASCII (UTF-8 on the disk) read right
// in the slide's body whatever charset a browser guesses; the page head keeps
// the bytes the editors wrote, and a windows-1252 title stays as it is.
TEST_F(ViewreelTest, LettersBeyondAsciiAreReferencesInTheSlide) {
  Write("Caf\xC3\xA9.jpg", JpegFrameOf(40, 30));
  Write("Caf\xC3\xA9.htm",
        "<HTML>\n<HEAD>\n<TITLE>\xC3\x85sa &amp; Bo</TITLE>\n"
        "<META NAME=\"DESCRIPTION\" CONTENT=\"Cr\xC3\xA8me br\xC3\xBBl\xC3\xA9" "e\">\n</HEAD>\n</HTML>\n");
  Write("old.jpg", JpegFrameOf(40, 30));
  Write("old.htm", "<HTML>\n<HEAD>\n<TITLE>Caf\xE9</TITLE>\n</HEAD>\n</HTML>\n");
  Write("na\xC3\xAFve.jpg", JpegFrameOf(40, 30));
  ASSERT_EQ(Run({}).exitCode, 0);
  std::string cafe = Read("Caf\xC3\xA9.htm");
  EXPECT_NE(cafe.find("<TITLE>\xC3\x85sa &amp; Bo (3 of 3)</TITLE>\n"), std::string::npos) << cafe;
  EXPECT_NE(cafe.find("CONTENT=\"Cr\xC3\xA8me br\xC3\xBBl\xC3\xA9" "e\""), std::string::npos) << cafe;
  EXPECT_NE(cafe.find("SRC=\"Caf%C3%A9.jpg\""), std::string::npos) << cafe;
  EXPECT_NE(cafe.find("<B>&#197;sa &amp; Bo</B> <SMALL>[Caf&#233;.jpg]</SMALL>"), std::string::npos)
      << cafe;
  EXPECT_NE(cafe.find("<CENTER>\nCr&#232;me br&#251;l&#233;e\n</CENTER>"), std::string::npos) << cafe;
  std::string old = Read("old.htm");
  EXPECT_NE(old.find("<TITLE>Caf\xE9 (1 of 3)</TITLE>"), std::string::npos) << old;
  EXPECT_NE(old.find("<B>Caf\xE9</B> <SMALL>[old.jpg]</SMALL>"), std::string::npos) << old;
  // A picture without a page is titled by its file name.
  std::string naive = Read("na\xC3\xAFve.htm");
  EXPECT_NE(naive.find("<TITLE>na\xC3\xAFve.jpg (2 of 3)</TITLE>"), std::string::npos) << naive;
  EXPECT_NE(naive.find("<B>na&#239;ve.jpg</B><BR>\n"), std::string::npos) << naive;
  EXPECT_NE(naive.find("HREF=\"Caf%C3%A9.htm\""), std::string::npos) << naive;
}

TEST_F(ViewreelTest, FrameModeFollowsTheSlidesAndJavascriptKeys) {
  Write("a.gif", GifOf(10, 10));
  Config("javascript=no\n");
  ASSERT_EQ(Run({"/R"}).exitCode, 0);
  EXPECT_FALSE(Exists("frameset.htm"));
  EXPECT_EQ(Read("a.htm").find("SCRIPT"), std::string::npos);

  DeleteFile(drive.Win("site/pics/a.htm").c_str());
  Config("slides=Frameset\n");
  ASSERT_EQ(Run({}).exitCode, 0);
  EXPECT_TRUE(Exists("frameset.htm"));
  EXPECT_NE(Read("a.htm").find("parent.inputFrame.writeImgTag"), std::string::npos);

  // "window": frame slides without a frameset.
  DeleteFile(drive.Win("site/pics/frameset.htm").c_str());
  Config("slides=window\n");
  ASSERT_EQ(Run({}).exitCode, 0);
  EXPECT_FALSE(Exists("frameset.htm"));
  EXPECT_NE(Read("a.htm").find("parent.inputFrame.writeImgTag"), std::string::npos);
}

TEST_F(ViewreelTest, FramesetOnlyAndSlidesOnly) {
  Write("a.gif", GifOf(10, 10));
  Run({"/RS"});
  EXPECT_EQ(Files(), (std::vector<std::string>{"a.gif", "frameset.htm"}));
  DeleteFile(drive.Win("site/pics/frameset.htm").c_str());
  Run({"/RI"});
  EXPECT_EQ(Files(), (std::vector<std::string>{"a.gif", "a.htm"}));
}

TEST_F(ViewreelTest, FramesetErrorLeavesTheSlidesToBeWritten) {
  ASSERT_TRUE(RemoveDir(drive.Win("site/icons").c_str()));
  Write("a.gif", GifOf(10, 10));
  RunResult result = Run({"/R"});
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_EQ(result.err,
            "Error:  Can't find the icons directory.  Frameset file was not written.\n");
  EXPECT_EQ(Files(), (std::vector<std::string>{"a.gif", "a.htm"}));
}

TEST_F(ViewreelTest, DirectoryWithoutImagesSaysSo) {
  Write("notes.txt", "x");
  RunResult result = Run({"/V2"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, "No image files were found.\n");
  EXPECT_EQ(Run({"/V"}).out, "");
}

// --- Up to date ---------------------------------------------------------------------

TEST_F(ViewreelTest, UpdateOnlyIfNecessarySkipsUnchangedSlides) {
  Write("a.gif", GifOf(10, 10));
  Write("b.gif", GifOf(20, 10));
  RunResult first = Run({"/R", "/U", "/V2"});
  EXPECT_EQ(first.exitCode, 0);
  EXPECT_EQ(first.out, "a.htm:\n  Creating \"a.htm\"\nb.htm:\n  Creating \"b.htm\"\n");
  std::string a = Read("a.htm"), b = Read("b.htm");
  FileTime aTime = WriteTime("a.htm"), bTime = WriteTime("b.htm");

  RunResult second = Run({"/R", "/U", "/V2"});
  EXPECT_EQ(second.exitCode, 0);
  EXPECT_EQ(second.out,
            "a.htm:\n  File is already up to date.\nb.htm:\n  File is already up to date.\n");
  EXPECT_EQ(Read("a.htm"), a);
  EXPECT_EQ(WriteTime("a.htm"), aTime);
  EXPECT_EQ(WriteTime("b.htm"), bTime);

  // A hand edit gives the slide a new date: it is written again.
  FileTime edited = aTime + 60 * 10000000ull;
  SetFileTimes(drive.Win("site/pics/a.htm").c_str(), nullptr, nullptr, &edited);
  RunResult third = Run({"/R", "/U", "/V2"});
  EXPECT_EQ(third.out,
            "a.htm:\n  Updating existing file.\nb.htm:\n  File is already up to date.\n");
  EXPECT_EQ(WriteTime("b.htm"), bTime);

  // Without /U, or outside the frame mode, every slide is written.
  EXPECT_EQ(Run({"/R", "/V"}).out,
            "a.htm:\n  Updating existing file.\nb.htm:\n  Updating existing file.\n");
  EXPECT_EQ(Run({"/U", "/V"}).out,
            "a.htm:\n  Updating existing file.\nb.htm:\n  Updating existing file.\n");
}

// --- Alias slides --------------------------------------------------------------------

class AliasTest : public ViewreelTest {
 protected:
  AliasTest() {
    drive.Write("site/trips/index.htm", "<HTML><HEAD><TITLE>Trips</TITLE></HEAD></HTML>");
    drive.Write("site/trips/x.jpg", GifOf(30, 20));
    drive.Write("site/trips/x.htm",
                "<HTML><HEAD><TITLE>Apple</TITLE></HEAD><BODY>\n"
                "<!-- BEGIN TEXT -->About the apple<!-- END TEXT -->\n</BODY></HTML>\n");
    drive.Write("site/trips/y.jpg", GifOf(30, 20));
    Write("m.gif", GifOf(10, 10));
    Write("symlinks.txt", "../trips/x.jpg\n: a comment\n../trips/y.jpg\n");
  }
};

TEST_F(AliasTest, AliasEntriesGetNumberedSlidesWhereverTheyStand) {
  RunResult result = Run({"/V", "/F"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out,
            "Deleting alias files...  0 files deleted.\n"
            "..\\trips\\x.htm:\n"
            "  Creating \"$000001$.htm\" from \"..\\trips\\x.htm\"\n"
            "  Using existing text in HTML file.\n"
            "m.htm:\n"
            "  Creating \"m.htm\"\n"
            "..\\trips\\y.htm:\n"
            "  Creating \"$000002$.htm\" from \"..\\trips\\y.htm\"\n");
  EXPECT_EQ(Files(), (std::vector<std::string>{"$000001$.htm", "$000002$.htm", "index.htm",
                                                "m.gif", "m.htm", "symlinks.txt"}));
  std::string first = Read("$000001$.htm");
  EXPECT_NE(first.find("<TITLE>Apple (1 of 3)</TITLE>\n"), std::string::npos);
  EXPECT_NE(first.find("<META NAME=\"ALIAS\" CONTENT=\"../trips/x.htm\">\n"), std::string::npos);
  EXPECT_EQ(Between(first, "</CENTER>\n", "</BODY>"),
            "<!-- BEGIN TEXT -->About the apple<!-- END TEXT -->\n");
  EXPECT_EQ(Between(first, "<SMALL>1 of 3</SMALL>\n", "</CENTER>"),
            "<P>Main set is <A HREF=\"../trips/index.htm\">Trips</A>\n");
  EXPECT_NE(first.find("<IMG BORDER=2 VSPACE=3 SRC=\"../trips/x.jpg\">"), std::string::npos);

  // The first slide is the home; the forwarding index leads to the first
  // image of this directory.
  std::string middle = Read("m.htm");
  EXPECT_EQ(Between(middle, "<CENTER>\n", "<BR>\n"),
            "&lt;&lt;&nbsp; <A HREF=\"$000001$.htm\">Prev</A>&nbsp; &nbsp;|&nbsp; &nbsp;"
            "<A HREF=\"$000001$.htm\">Home</A>&nbsp; &nbsp;|&nbsp; &nbsp;"
            "<A HREF=\"$000002$.htm\">Next</A> &nbsp;&gt;&gt;");
  EXPECT_NE(Read("index.htm").find("<META NAME=\"FORWARD\" CONTENT=\"m.gif\">"),
            std::string::npos);
}

TEST_F(AliasTest, OldAliasSlidesAreDeletedBeforeTheNewOnes) {
  ASSERT_EQ(Run({}).exitCode, 0);
  Write("$000009$.htm", "<HTML><HEAD><META NAME=\"ALIAS\"></HEAD></HTML>");
  Write("own.htm", "<HTML><HEAD><TITLE>Mine</TITLE></HEAD></HTML>");
  Write("symlinks.txt", "../trips/y.jpg\n");
  RunResult result = Run({"/V"});
  EXPECT_EQ(result.out.substr(0, result.out.find('\n') + 1),
            "Deleting alias files...  3 files deleted.\n");
  EXPECT_EQ(Files(), (std::vector<std::string>{"$000001$.htm", "m.gif", "m.htm", "own.htm",
                                                "symlinks.txt"}));
  EXPECT_NE(Read("$000001$.htm").find("CONTENT=\"../trips/y.htm\""), std::string::npos);

  // Without an alias list the pages stay.
  DeleteFile(drive.Win("site/pics/symlinks.txt").c_str());
  Run({"/V"});
  EXPECT_TRUE(Exists("$000001$.htm"));
}

TEST_F(AliasTest, FrameModeWritesNoAliasSlides) {
  ASSERT_EQ(Run({"/R"}).exitCode, 0);
  EXPECT_EQ(Files(), (std::vector<std::string>{"frameset.htm", "m.gif", "m.htm", "symlinks.txt"}));
  std::string frameset = Read("frameset.htm");
  EXPECT_EQ(Between(frameset, "pages=", "// -->"),
            "3\npage=new Array(pages);\n"
            "page[0]=\"../trips/x.htm\"\npage[1]=\"m.htm\"\npage[2]=\"../trips/y.htm\"\n");
}

// --- Names that are taken ---------------------------------------------------------

TEST_F(ViewreelTest, SlideThatWouldReplaceAnotherPageIsSkipped) {
  Write("a.gif", GifOf(10, 10));
  Write("a.jpg", GifOf(20, 20));
  Write("index.png", "png");
  Write("index.htm", "<HTML><HEAD><TITLE>Mine</TITLE></HEAD></HTML>");
  RunResult result = Run({});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err,
            "Warning:  Slide for \"a.jpg\" would replace the slide \"a.htm\" of \"a.gif\".  "
            "Slide was not written.\n"
            "Warning:  Slide for \"index.png\" would replace \"index.htm\".  "
            "Slide was not written.\n");
  EXPECT_EQ(Read("index.htm"), "<HTML><HEAD><TITLE>Mine</TITLE></HEAD></HTML>");
  // The slide left is a sequence of one.
  std::string page = Read("a.htm");
  EXPECT_NE(page.find("<TITLE>a.gif (1 of 1)</TITLE>"), std::string::npos);
  EXPECT_NE(page.find("SRC=\"a.gif\""), std::string::npos);

  Write("frameset.jpg", GifOf(5, 5));
  result = Run({"/R"});
  EXPECT_NE(result.err.find("Warning:  Slide for \"frameset.jpg\" would replace "
                            "\"frameset.htm\".  Slide was not written.\n"),
            std::string::npos);
  EXPECT_NE(Read("frameset.htm").find("<FRAMESET"), std::string::npos);
}

// --- Buttons and failures --------------------------------------------------------------

TEST_F(ViewreelTest, ButtonsNeedAllFiveIcons) {
  Write("a.gif", GifOf(10, 10));
  Write("b.gif", GifOf(10, 10));
  for (const char* icon : {"prev", "next", "home", "noprev"}) {
    drive.Write(std::string("site/icons/") + icon + ".gif", GifOf(8, 8));
  }
  RunResult result = Run({"/B", "/H:My_Home.html"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err, "Warning:  Button icons were not found -- using text links.\n");
  EXPECT_NE(Read("a.htm").find("<A HREF=\"My_Home.htm\">Home</A>"), std::string::npos);

  drive.Write("site/icons/nonext.gif", GifOf(8, 8));
  result = Run({"/B", "/H"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(Between(Read("b.htm"), "<CENTER>\n", "\n"),
            "<A HREF=\"a.htm\"><IMG BORDER=0 SRC=\"../icons/prev.gif\"></A>"
            "&nbsp; &nbsp; &nbsp; &nbsp;"
            "<A HREF=\"index.htm\"><IMG BORDER=0 SRC=\"../icons/home.gif\"></A>"
            "&nbsp; &nbsp; &nbsp; &nbsp;<IMG SRC=\"../icons/nonext.gif\"><BR>");
}

TEST_F(ViewreelTest, TitleOptionNamesEverySlide) {
  Write("a.gif", GifOf(10, 10));
  Write("index.htm", "<HTML><HEAD><TITLE>Harbour</TITLE></HEAD></HTML>");
  Run({"/T:Old_Town", "/M"});
  EXPECT_NE(Read("a.htm").find("<TITLE>Old Town</TITLE>"), std::string::npos);
  Run({"/T"});
  EXPECT_NE(Read("a.htm").find("<TITLE>Harbour (1 of 1)</TITLE>"), std::string::npos);
  EXPECT_NE(Read("a.htm").find("<B>Harbour</B> <SMALL>[a.gif]</SMALL>"), std::string::npos);
}

// A rebuild never shortens a head field: what the page-head editors wrote,
// what a user typed by hand beyond their limits, and a value of a megabyte
// all come back as they were written.
TEST_F(ViewreelTest, RebuiltSlidesKeepLongHeadFieldsWhole) {
  for (const char* icon : {"prev", "next", "home", "noprev", "nonext"}) {
    drive.Write(std::string("site/icons/") + icon + ".gif", GifOf(8, 8));
  }
  struct Case {
    const char* image;
    std::string title, description, keywords;
    std::string slideTitle;  // as the rebuilt slide writes it
  };
  const std::string editorTitle(250, 't');
  const std::string handTitle = "Harbour " + std::string(300, 'h');
  const Case cases[] = {
      {"a.gif", "Harbour", DescriptionOf(500), KeywordListOf(1000), "Harbour (2 of 4)"},
      {"b.gif", editorTitle, DescriptionOf(600), KeywordListOf(40), editorTitle},
      {"c.gif", handTitle, DescriptionOf(1 << 20), KeywordListOf(3000), handTitle},
      {"d.gif", "Dock", DescriptionOf(40), KeywordListOf(40), "Dock (1 of 4)"},
  };
  for (const Case& c : cases) {
    Write(c.image, GifOf(64, 48));
    Write(std::string(c.image, 1) + ".htm",
          "<HTML>\n<HEAD>\n<TITLE>" + c.title + "</TITLE>\n<META NAME=\"DESCRIPTION\" CONTENT=\"" +
              c.description + "\">\n<META NAME=\"KEYWORDS\" CONTENT=\"" + c.keywords +
              "\">\n</HEAD>\n<BODY>\n<!-- BEGIN TEXT -->\nOurs.\n<!-- END TEXT -->\n</BODY>\n</HTML>\n");
  }
  for (int run = 0; run < 2; ++run) {
    RunResult result = Run({"/B", "/H"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    for (const Case& c : cases) {
      std::string slide = Read(std::string(c.image, 1) + ".htm");
      EXPECT_EQ(HeadFieldOf(slide, "TITLE"), c.slideTitle) << c.image << " run " << run;
      EXPECT_EQ(HeadFieldOf(slide, "DESCRIPTION"), c.description) << c.image << " run " << run;
      EXPECT_EQ(HeadFieldOf(slide, "KEYWORDS"), c.keywords) << c.image << " run " << run;
      EXPECT_NE(slide.find("<!-- BEGIN TEXT -->\nOurs.\n<!-- END TEXT -->"), std::string::npos);
    }
  }

  // The road of a user who gives a slide its head with the editor.
  const std::string description = DescriptionOf(450);
  const std::string keywords = KeywordListOf(898);
  RunOptions options;
  options.cwd = drive.Host("site/pics");
  ASSERT_EQ(RunProgram("infoed", {"d.htm", "/D:" + description}, options).exitCode, 0);
  ASSERT_EQ(RunProgram("infoed", {"d.htm", "/K:" + keywords}, options).exitCode, 0);
  std::string edited = Read("d.htm");
  ASSERT_EQ(Run({"/B", "/H"}).exitCode, 0);
  std::string slide = Read("d.htm");
  EXPECT_EQ(HeadFieldOf(slide, "DESCRIPTION"), HeadFieldOf(edited, "DESCRIPTION"));
  EXPECT_EQ(HeadFieldOf(slide, "KEYWORDS"), HeadFieldOf(edited, "KEYWORDS"));
  EXPECT_EQ(HeadFieldOf(slide, "KEYWORDS").size(), 898u);
}

TEST_F(ViewreelTest, OldSlideThatCannotBeReplacedEndsTheRun) {
  Write("a.gif", GifOf(10, 10));
  Write("b.gif", GifOf(10, 10));
  const std::string old = "<HTML><HEAD><TITLE>Alpha</TITLE></HEAD></HTML>";
  Write("a.htm", old);
  ASSERT_TRUE(SetAttributes(drive.Win("site/pics/a.htm").c_str(), kAttrReadOnly));
  RunResult result = Run({});
  EXPECT_EQ(result.exitCode, 3);
  EXPECT_EQ(result.err,
            "\nError:  Can't delete the old slide file (\"a.htm\").\n        Program aborted.\n");
  EXPECT_EQ(Read("a.htm"), old);
  EXPECT_EQ(Files(), (std::vector<std::string>{"a.gif", "a.htm", "b.gif"}));
}

// The "defaultorder" key is the order that a slide head leaves unwritten; a
// number beyond int means the same order as the same text in a page head.
TEST_F(ViewreelTest, DefaultOrderKeyDecidesWhichSlideHeadsKeepTheirOrder) {
  struct Case {
    const char* config;
    const char* pageOrder;
    const char* line;  // the SORTORDER line of the rebuilt slide, "" for none
  } const cases[] = {
      {"", "10", "<META NAME=\"SORTORDER\" CONTENT=\"10\">\n"},
      {"defaultorder=10\n", "10", ""},
      {"defaultorder= 10x\n", "50", "<META NAME=\"SORTORDER\" CONTENT=\"50\">\n"},
      {"defaultorder=3000000000\n", "3000000000", ""},
  };
  Write("a.gif", GifOf(16, 16));
  for (const Case& c : cases) {
    Config(c.config);
    Write("a.htm", std::string("<HTML>\n<HEAD>\n<TITLE>A</TITLE>\n<META NAME=\"SORTORDER\" "
                               "CONTENT=\"") + c.pageOrder + "\">\n</HEAD>\n</HTML>\n");
    ASSERT_EQ(Run({}).exitCode, 0) << c.config;
    std::string slide = Read("a.htm");
    size_t at = slide.find("<META NAME=\"SORTORDER\"");
    std::string line =
        at == std::string::npos ? "" : slide.substr(at, slide.find('\n', at) + 1 - at);
    EXPECT_EQ(line, c.line) << c.config << slide;
  }
}

}  // namespace

namespace {

// A rebuilt slide keeps the entities of its head as they were written:
// named ones the suite does not decode and references beyond 126 alike.
TEST_F(ViewreelTest, RebuiltSlidesKeepTheirEntities) {
  Write("a.gif", GifOf(16, 16));
  Write("a.htm",
        "<HTML>\n<HEAD>\n<TITLE>Caf&eacute; Cr&#232;me &amp; tea</TITLE>\n"
        "<META NAME=\"DESCRIPTION\" CONTENT=\"br&#xFB;l&#233;e &copy;\">\n"
        "<META NAME=\"KEYWORDS\" CONTENT=\"na&#239;ve\">\n</HEAD>\n<BODY>\n</BODY>\n</HTML>\n");
  ASSERT_EQ(Run({}).exitCode, 0);
  std::string slide = Read("a.htm");
  EXPECT_NE(slide.find("<TITLE>Caf&eacute; Cr&#232;me &amp; tea (1 of 1)</TITLE>"), std::string::npos) << slide;
  EXPECT_NE(slide.find("CONTENT=\"br&#xFB;l&#233;e &copy;\""), std::string::npos) << slide;
  EXPECT_NE(slide.find("CONTENT=\"na&#239;ve\""), std::string::npos) << slide;
}

}  // namespace
