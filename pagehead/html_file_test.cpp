#include "pagehead/html_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/testing/test_support.h"

namespace {

// A page as the site's editors and builders leave it, with the things a
// copy must keep byte for byte: a doctype, comments, a script with '<' and
// quotes, a style body, odd quoting in tags and entities in the body.
const char kPage[] =
    "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">\n"
    "<HTML>\n"
    "<HEAD>\n"
    "<TITLE>Beach &amp; Sea</TITLE>\n"
    "<META NAME=\"DESCRIPTION\" CONTENT=\"Evening at the &quot;old&quot;\n   pier\">\n"
    "<META NAME=\"KEYWORDS\" CONTENT=\"beach, sea,  sunset\">\n"
    "<META NAME=\"SORTORDER\" CONTENT=\"12\">\n"
    "<META NAME=\"FORWARD\" CONTENT=\"../index.htm\">\n"
    "<META NAME=\"GENERATOR\" CONTENT='Tessarin'>\n"
    "<!-- <META NAME=\"KEYWORDS\" CONTENT=\"commented\"> <TITLE>no</TITLE> -->\n"
    "<SCRIPT LANGUAGE=\"JavaScript1.1\">\n"
    "<!--\n"
    "if (a < b && c > \"d\") document.write('<TITLE>x</TITLE>');\n"
    "// -->\n"
    "</SCRIPT>\n"
    "<STYLE>P { font: 10pt 'Arial' }</STYLE>\n"
    "</HEAD>\n"
    "<BODY BGCOLOR=\"#FFFFFF\"  onLoad='init(\"a>b\")'>\n"
    "<P ALIGN=center>Text <A HREF='x.htm' TITLE=\"it's\">odd 'quoting</A> &nbsp; here.\n"
    "<META NAME=\"KEYWORDS\" CONTENT=\"after body\">\n"
    "</BODY>\n"
    "</HTML>\n";

// kPage with the head's lines from "<TITLE>" to the FORWARD element and the
// BODY tag replaced.
std::string PageWith(const std::string& head, const std::string& bodyTag) {
  std::string page = kPage;
  size_t from = page.find("<TITLE>");
  size_t to = page.find("<META NAME=\"GENERATOR\"");
  page.replace(from, to - from, head);
  size_t body = page.find("<BODY");
  page.replace(body, page.find('\n', body) - body, bodyTag);
  return page;
}

const char kOldHead[] =
    "<TITLE>Beach &amp; Sea</TITLE>\n"
    "<META NAME=\"DESCRIPTION\" CONTENT=\"Evening at the &quot;old&quot;\n   pier\">\n"
    "<META NAME=\"KEYWORDS\" CONTENT=\"beach, sea,  sunset\">\n"
    "<META NAME=\"SORTORDER\" CONTENT=\"12\">\n"
    "<META NAME=\"FORWARD\" CONTENT=\"../index.htm\">\n";
const char kOldBody[] = "<BODY BGCOLOR=\"#FFFFFF\"  onLoad='init(\"a>b\")'>";

class HTMLFileTest : public ::testing::Test {
 protected:
  // Writes `text` as a.htm and reads it; the read must succeed.
  void Load(const std::string& text, const char* name = "a.htm") {
    drive.Write(name, text);
    ASSERT_TRUE(file.Read(name)) << file.ErrorText();
  }
  TempDrive drive;
  HTMLFile file;
};

TEST(HTMLFileInfo, CollapseSpaces) {
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {
      {"A  \n B", "A B"},
      {"\t lead and trail \r\n", " lead and trail "},
      {"a\x01\x7f" "b", "a b"},
      {"caf\xe9 ol\xe9", "caf\xe9 ol\xe9"},  // bytes above 0x7F are kept
      {"", ""},
  };
  for (const Case& c : cases) {
    char out[64];
    EXPECT_STREQ(c.out, CollapseSpaces(c.in, out)) << c.in;
    std::string inPlace = c.in;
    EXPECT_STREQ(c.out, CollapseSpaces(inPlace.data()));
  }
}

TEST_F(HTMLFileTest, ReadsEveryField) {
  Load(kPage);
  EXPECT_STREQ("Beach & Sea", file.Title());
  EXPECT_STREQ("Evening at the \"old\" pier", file.Description());
  EXPECT_STREQ("beach, sea, sunset", file.Keywords());
  EXPECT_STREQ("12", file.SortOrder());
  EXPECT_STREQ("../index.htm", file.Forward());
  EXPECT_STREQ("BGCOLOR=\"#FFFFFF\" onLoad='init(\"a>b\")'", file.Body());
  for (int field = 0; field < kHeadFieldCount; ++field) {
    EXPECT_TRUE(file.Info().found[field]) << field;
    EXPECT_FALSE(file.Info().changed[field]) << field;
  }
  EXPECT_STREQ("", file.ErrorText());
}

TEST_F(HTMLFileTest, PageWithoutHeadFieldsReadsEmpty) {
  Load("<HTML>\n<P>Just text & more.\n</HTML>\n");
  for (int field = 0; field < kHeadFieldCount; ++field) {
    EXPECT_FALSE(file.Info().found[field]) << field;
    EXPECT_STREQ("", file.Info().Text(static_cast<HeadField>(field))) << field;
  }
  // The getters give an empty text, never null, so setters can take it.
  EXPECT_FALSE(file.Title().IsNull());
}

TEST_F(HTMLFileTest, ReadRules) {
  struct Case {
    const char* page;
    HeadField field;
    const char* value;
  } cases[] = {
      // Tags inside the title are not part of it; white space collapses.
      {"<TITLE>A <B>bold</B>\n  title</TITLE>", kTitle, "A bold title"},
      // A second title is collected only when the first gave no text.
      {"<TITLE></TITLE><TITLE>Second</TITLE>", kTitle, "Second"},
      {"<TITLE>First</TITLE><TITLE>Second</TITLE>", kTitle, "First"},
      // A title left open ends with the head.
      {"<HEAD><TITLE>Open\n</HEAD><BODY>text</BODY>", kTitle, "Open "},
      // So does one left open at the end of the page.
      {"<HEAD><TITLE>Cut &amp;\n  off", kTitle, "Cut & off"},
      {"<title>x &lt;&#65;&gt;</title>", kTitle, "x <A>"},
      {"<META NAME=subject CONTENT=\"Via subject\">", kDescription, "Via subject"},
      {"<meta name=keywords content=\"a &amp; b\">", kKeywords, "a & b"},
      // Sort order and forward URL are not decoded.
      {"<META NAME=SORTORDER CONTENT=\"1234567890\">", kSortOrder, "123456789"},
      {"<META NAME=FORWARD CONTENT=\"a.htm?x=1&amp;y=2\">", kForward, "a.htm?x=1&amp;y=2"},
      // The last element of a name wins; nothing after BODY is read.
      {"<META NAME=KEYWORDS CONTENT=one><META NAME=KEYWORDS CONTENT=two>", kKeywords, "two"},
      {"<BODY><META NAME=KEYWORDS CONTENT=late>", kKeywords, ""},
      {"<META NAME=KEYWORDS>", kKeywords, ""},
      {"<BODY>", kBody, ""},
      {"<BODY\n  text=red\tlink=blue>", kBody, "text=red link=blue"},
      // A BODY tag cut off by the end of the file keeps all it has.
      {"<BODY BGCOLOR=white", kBody, "BGCOLOR=white"},
      {"<BODY ", kBody, ""},
  };
  for (const Case& c : cases) {
    Load(c.page);
    EXPECT_STREQ(c.value, file.Info().Text(c.field)) << c.page;
  }
}


TEST_F(HTMLFileTest, TheHeadsBytesTellItsCodePage) {
  struct Case {
    const char* page;
    CodePage codePage;
  } const cases[] = {
      {"<HEAD><TITLE>Plain</TITLE></HEAD><BODY>", CodePage::kUtf8},
      {"<HEAD><TITLE>Gr\xC3\xBC\xC3\x9F" "e</TITLE></HEAD><BODY>", CodePage::kUtf8},
      {"<HEAD><TITLE>Gr\xFC\xDF" "e</TITLE></HEAD><BODY>", CodePage::kWindows1252},
      // Any byte of the head counts, a comment's too; the body is not read.
      {"<HEAD><!-- \xE9t\xE9 --><TITLE>Plain</TITLE></HEAD><BODY>", CodePage::kWindows1252},
      {"<HEAD><TITLE>Plain</TITLE></HEAD><BODY>caf\xE9", CodePage::kUtf8},
      {"<HEAD><TITLE>Cut \xC3", CodePage::kWindows1252},  // a letter left open at the end
  };
  for (const Case& c : cases) {
    Load(c.page);
    EXPECT_EQ(file.HeadCodePage(), c.codePage) << c.page;
  }
}

TEST_F(HTMLFileTest, TitleHoldsAtMost255Characters) {
  Load("<TITLE>" + std::string(300, 'x') + "</TITLE>");
  EXPECT_EQ(std::string(255, 'x'), std::string(file.Title()));
}

TEST_F(HTMLFileTest, UnchangedPageIsCopiedByteForByte) {
  Load(kPage);
  EXPECT_TRUE(file.SetTitle("Beach & Sea"));  // equal: not a change
  EXPECT_FALSE(file.Info().changed[kTitle]);
  ASSERT_TRUE(file.Write()) << file.ErrorText();
  EXPECT_EQ(kPage, drive.Read("a.htm"));
  EXPECT_EQ(std::vector<std::string>{"a.htm"}, drive.Files());
}

TEST_F(HTMLFileTest, ChangesEveryFieldInPlace) {
  Load(kPage);
  file.SetTitle("Dunes & <Sky>");
  file.SetDescription("Morning  \"new\"");
  file.SetKeywords("dunes, sky");
  file.SetSortOrder("7");
  file.SetForward("other.htm");
  file.SetBody("BGCOLOR=black");
  ASSERT_TRUE(file.Write()) << file.ErrorText();
  EXPECT_EQ(PageWith("<TITLE>Dunes &amp; &lt;Sky&gt;</TITLE>\n"
                     "<META NAME=\"DESCRIPTION\" CONTENT=\"Morning &quot;new&quot;\">\n"
                     "<META NAME=\"KEYWORDS\" CONTENT=\"dunes, sky\">\n"
                     "<META NAME=\"SORTORDER\" CONTENT=\"7\">\n"
                     "<META NAME=\"FORWARD\" CONTENT=\"other.htm\">\n",
                     "<BODY BGCOLOR=black>"),
            drive.Read("a.htm"));
  EXPECT_EQ(std::vector<std::string>{"a.htm"}, drive.Files());
  for (int field = 0; field < kHeadFieldCount; ++field) EXPECT_FALSE(file.Info().changed[field]);

  // What was written reads back as it was set.
  HTMLFile again;
  ASSERT_TRUE(again.Read("a.htm"));
  EXPECT_STREQ("Dunes & <Sky>", again.Title());
  EXPECT_STREQ("Morning \"new\"", again.Description());
  EXPECT_STREQ("BGCOLOR=black", again.Body());
}

TEST_F(HTMLFileTest, EmptiedFieldsLoseTheirElementsAndLines) {
  Load(kPage);
  for (auto set : {&HTMLFile::SetTitle, &HTMLFile::SetDescription, &HTMLFile::SetKeywords,
                   &HTMLFile::SetSortOrder, &HTMLFile::SetForward, &HTMLFile::SetBody})
    (file.*set)("");
  ASSERT_TRUE(file.Write()) << file.ErrorText();
  EXPECT_EQ(PageWith("", "<BODY>"), drive.Read("a.htm"));
}

TEST_F(HTMLFileTest, NewFieldsAreInsertedIntoTheHead) {
  struct Case {
    const char* page;
    const char* written;
  } cases[] = {
      {"<HTML>\n<HEAD>\n</HEAD>\n<BODY>\n</BODY>\n</HTML>\n",
       "<HTML>\n<HEAD>\n<TITLE>T &amp; U</TITLE>\n"
       "<META NAME=\"DESCRIPTION\" CONTENT=\"D &lt;1&gt;\">\n"
       "<META NAME=\"KEYWORDS\" CONTENT=\"k1, k2\">\n"
       "<META NAME=\"SORTORDER\" CONTENT=\"5\">\n"
       "<META NAME=\"FORWARD\" CONTENT='say\"hi\".htm'>\n"
       "</HEAD>\n<BODY>\n</BODY>\n</HTML>\n"},
      // Lower-case tags give lower-case elements; the end of the head may
      // follow other tags on the same line.
      {"<html><head><link rel=stylesheet href=a.css></head><body></body></html>",
       "<html><head>\n<title>T &amp; U</title>\n"
       "<meta name=\"DESCRIPTION\" content=\"D &lt;1&gt;\">\n"
       "<meta name=\"KEYWORDS\" content=\"k1, k2\">\n"
       "<meta name=\"SORTORDER\" content=\"5\">\n"
       "<meta name=\"FORWARD\" content='say\"hi\".htm'>\n"
       "<link rel=stylesheet href=a.css></head><body></body></html>"},
      // The HEAD tag's case serves the title, the tag that ends the head
      // serves the META elements.
      {"<HEAD>\n<TITLE>x</TITLE><meta name=generator content=y>\n</head>\n",
       "<HEAD>\n<TITLE>T &amp; U</TITLE><meta name=generator content=y>\n"
       "<meta name=\"DESCRIPTION\" content=\"D &lt;1&gt;\">\n"
       "<meta name=\"KEYWORDS\" content=\"k1, k2\">\n"
       "<meta name=\"SORTORDER\" content=\"5\">\n"
       "<meta name=\"FORWARD\" content='say\"hi\".htm'>\n"
       "</head>\n"},
  };
  for (const Case& c : cases) {
    Load(c.page);
    file.SetTitle("T & U");
    file.SetDescription("D <1>");
    file.SetKeywords("k1, k2");
    file.SetSortOrder("5");
    file.SetForward("say\"hi\".htm");
    ASSERT_TRUE(file.Write()) << file.ErrorText();
    EXPECT_EQ(c.written, drive.Read("a.htm")) << c.page;
    // A second write finds nothing left to insert.
    ASSERT_TRUE(file.Write()) << file.ErrorText();
    EXPECT_EQ(c.written, drive.Read("a.htm")) << c.page;
  }
}

TEST_F(HTMLFileTest, RewriteRules) {
  struct Case {
    const char* name;
    const char* page;
    HeadField field;
    const char* value;
    const char* written;
  } cases[] = {
      {"lower-case META keeps its attribute names",
       "<head>\n<meta name=\"description\" content='old'>\n</head>", kDescription, "new",
       "<head>\n<meta name=\"description\" content='new'>\n</head>"},
      {"missing CONTENT is added in the tag's case", "<HEAD><META NAME=KEYWORDS></HEAD>",
       kKeywords, "a, b", "<HEAD><META NAME=KEYWORDS CONTENT=\"a, b\"></HEAD>"},
      {"lower-case missing content", "<head><meta name=keywords></head>", kKeywords, "a",
       "<head><meta name=keywords content=a></head>"},
      {"an element inside a line goes without its line feed",
       "<HEAD><TITLE>t</TITLE> <META NAME=DESCRIPTION CONTENT=x> <META NAME=A CONTENT=y>\n</HEAD>",
       kDescription, "", "<HEAD><TITLE>t</TITLE>  <META NAME=A CONTENT=y>\n</HEAD>"},
      {"a line's last element keeps the line feed after the next tag",
       "<HEAD>\n<META NAME=DESCRIPTION CONTENT=x><META NAME=A CONTENT=y>\n</HEAD>", kDescription,
       "", "<HEAD>\n<META NAME=A CONTENT=y>\n</HEAD>"},
      {"emptied title loses its element and line",
       "<HEAD>\n<TITLE>Old\ntitle</TITLE>\n<META NAME=A>\n</HEAD>", kTitle, "",
       "<HEAD>\n<META NAME=A>\n</HEAD>"},
      {"the last of several elements is the one read and rewritten",
       "<HEAD>\n<META NAME=KEYWORDS CONTENT=one>\n<META NAME=subject CONTENT=s>\n"
       "<META NAME=KEYWORDS CONTENT=two>\n</HEAD><BODY><META NAME=KEYWORDS CONTENT=late>",
       kKeywords, "three",
       "<HEAD>\n<META NAME=KEYWORDS CONTENT=one>\n<META NAME=subject CONTENT=s>\n"
       "<META NAME=KEYWORDS CONTENT=three>\n</HEAD><BODY><META NAME=KEYWORDS CONTENT=late>"},
      {"an emptied value takes every element of its name before BODY",
       "<HEAD>\n<META NAME=KEYWORDS CONTENT=one>\n<META NAME=subject CONTENT=s>\n"
       "<META NAME=KEYWORDS CONTENT=two>\n</HEAD><BODY><META NAME=KEYWORDS CONTENT=late>",
       kKeywords, "",
       "<HEAD>\n<META NAME=subject CONTENT=s>\n</HEAD><BODY><META NAME=KEYWORDS CONTENT=late>"},
      {"DESCRIPTION and SUBJECT are one field",
       "<HEAD><META NAME=DESCRIPTION CONTENT=a><META NAME=SUBJECT CONTENT=b></HEAD>",
       kDescription, "c", "<HEAD><META NAME=DESCRIPTION CONTENT=a><META NAME=SUBJECT CONTENT=c></HEAD>"},
      {"a title without a HEAD is still replaced", "<TITLE>Old</TITLE>\n<P>x", kTitle, "New",
       "<TITLE>New</TITLE>\n<P>x"},
      {"an open title is cut off at the end of the head, the body is kept",
       "<HEAD><TITLE>Old\n</HEAD>\n<BODY>\n<P>Body text\n</BODY>", kTitle, "New",
       "<HEAD><TITLE>New</HEAD>\n<BODY>\n<P>Body text\n</BODY>"},
      {"a title open at the end of the page reads back as it was set", "<TITLE>Old\n", kTitle,
       "New & old", "<TITLE>New &amp; old"},
      {"new body attributes replace the whole tag", "<body bgcolor=red text=\"x\">\n", kBody,
       "link=blue", "<body link=blue>\n"},
      {"a BODY tag that ends the head is rewritten too",
       "<HEAD><TITLE>t</TITLE>\n<BODY bgcolor=red>x", kBody, "text=blue",
       "<HEAD><TITLE>t</TITLE>\n<BODY text=blue>x"},
      {"a set and emptied field the page never had needs nothing",
       "<HEAD></HEAD><BODY>", kForward, "", "<HEAD></HEAD><BODY>"},
  };
  for (const Case& c : cases) {
    Load(c.page);
    if (c.field == kForward && !c.value[0]) file.SetForward("was set");
    HTMLFile& f = file;
    switch (c.field) {
      case kTitle: f.SetTitle(c.value); break;
      case kDescription: f.SetDescription(c.value); break;
      case kKeywords: f.SetKeywords(c.value); break;
      case kSortOrder: f.SetSortOrder(c.value); break;
      case kForward: f.SetForward(c.value); break;
      default: f.SetBody(c.value); break;
    }
    EXPECT_TRUE(file.Write()) << c.name << ": " << file.ErrorText();
    EXPECT_EQ(c.written, drive.Read("a.htm")) << c.name;
    // The reader sees what was set.
    ASSERT_TRUE(file.Read("a.htm"));
    EXPECT_STREQ(c.value, file.Info().Text(c.field)) << c.name;
  }
}

TEST_F(HTMLFileTest, SettersCutAndCollapse) {
  file.SetTitle("  many\t\tblanks  ");
  EXPECT_STREQ(" many blanks ", file.Title());
  EXPECT_TRUE(file.Info().changed[kTitle]);
  file.SetSortOrder("1234567890");
  EXPECT_STREQ("123456789", file.SortOrder());
  file.SetForward("a  b");  // sort order, forward and body are not collapsed
  EXPECT_STREQ("a  b", file.Forward());
  file.SetKeywords(std::string(2000, 'k').c_str());
  EXPECT_EQ(1023u, file.Keywords().Length());
  EXPECT_FALSE(file.Info().changed[kBody]);
}

// A value that would not fit whole, as it stands or once encoded, is
// refused with the field and its limit named; the page is not touched.
TEST_F(HTMLFileTest, ValuesThatWouldBeCutAreRefused) {
  const std::string page = "<HEAD>\n<TITLE>x</TITLE>\n<META NAME=KEYWORDS CONTENT=x>\n</HEAD>\n";
  struct Case {
    HeadField field;
    std::string value;
    const char* error;
  } cases[] = {
      {kTitle, std::string(256, 't'), "The title is too long for file \"a.htm\" (at most 255 characters)"},
      {kTitle, std::string(255, '"'), "The title is too long for file \"a.htm\" (at most 1023 characters in HTML)"},
      {kKeywords, std::string(1000, 'k') + ", a&b, a&b, a&b, a&b",
       "The keywords are too long for file \"a.htm\" (at most 1023 characters in HTML)"},
      {kDescription, std::string(512, 'd'), "The description is too long for file \"a.htm\" (at most 511 characters)"},
      {kSortOrder, "1234567890", "The sort order is too long for file \"a.htm\" (at most 9 characters)"},
      {kForward, std::string(600, 'f'), "The forwarding URL is too long for file \"a.htm\" (at most 511 characters)"},
      {kBody, std::string(512, 'b'), "The BODY attributes are too long for file \"a.htm\" (at most 511 characters)"},
  };
  for (const Case& c : cases) {
    Load(page);
    bool (HTMLFile::*setters[])(const char*) = {&HTMLFile::SetTitle,     &HTMLFile::SetDescription,
                                                &HTMLFile::SetKeywords,  &HTMLFile::SetSortOrder,
                                                &HTMLFile::SetForward,   &HTMLFile::SetBody};
    (file.*setters[c.field])(c.value.c_str());
    EXPECT_FALSE(file.Write()) << c.error;
    EXPECT_STREQ(c.error, file.ErrorText());
    EXPECT_EQ(page, drive.Read("a.htm")) << c.error;
    EXPECT_EQ(std::vector<std::string>{"a.htm"}, drive.Files());
  }
  // Exactly at the limits, once collapsed, the values are written whole.
  Load(page);
  file.SetTitle((std::string(253, 't') + "  \n  x").c_str());
  file.SetKeywords((std::string(1015, 'k') + "&amp").c_str());
  ASSERT_TRUE(file.Write()) << file.ErrorText();
  EXPECT_EQ("<HEAD>\n<TITLE>" + std::string(253, 't') + " x</TITLE>\n<META NAME=KEYWORDS CONTENT=\"" +
                std::string(1015, 'k') + "&amp;amp\">\n</HEAD>\n",
            drive.Read("a.htm"));
}

TEST_F(HTMLFileTest, WritesToAnotherName) {
  Load(kPage);
  file.SetSortOrder("99");
  ASSERT_TRUE(file.Write("b.htm")) << file.ErrorText();
  EXPECT_EQ(kPage, drive.Read("a.htm"));
  std::string expected = kPage;
  expected.replace(expected.find("CONTENT=\"12\""), 12, "CONTENT=\"99\"");
  EXPECT_EQ(expected, drive.Read("b.htm"));

  // A name that differs only in letter case is the same page.
  ASSERT_TRUE(file.Read("a.htm"));
  file.SetSortOrder("99");
  ASSERT_TRUE(file.Write("A.HTM")) << file.ErrorText();
  EXPECT_EQ(expected, drive.Read("a.htm"));
  EXPECT_EQ((std::vector<std::string>{"a.htm", "b.htm"}), drive.Files());
}

TEST_F(HTMLFileTest, PagesInOtherFolders) {
  drive.Write("my.pics/notes.htm", "<HEAD></HEAD><BODY>");
  ASSERT_TRUE(file.Read("C:\\my.pics\\notes.htm")) << file.ErrorText();
  file.SetTitle("Notes");
  ASSERT_TRUE(file.Write()) << file.ErrorText();
  EXPECT_EQ("<HEAD>\n<TITLE>Notes</TITLE>\n</HEAD><BODY>", drive.Read("my.pics/notes.htm"));
  EXPECT_EQ(std::vector<std::string>{"my.pics/notes.htm"}, drive.Files());
}

TEST_F(HTMLFileTest, ReadErrors) {
  HTMLFile fresh;
  EXPECT_FALSE(fresh.Read());
  EXPECT_STREQ("No file was specified", fresh.ErrorText());
  EXPECT_FALSE(fresh.Write());
  EXPECT_STREQ("No input file was specified", fresh.ErrorText());

  EXPECT_FALSE(file.Read("missing.htm"));
  EXPECT_STREQ("Can't open file \"missing.htm\"", file.ErrorText());
  drive.MakeDir("folder.htm");
  EXPECT_FALSE(file.Read("folder.htm"));
  EXPECT_STREQ("Can't open file \"folder.htm\"", file.ErrorText());
  // A name too long for any file is not cut to another one.
  std::string longName = std::string(257, 'x') + ".htm";
  EXPECT_FALSE(file.Read(longName.c_str()));
  EXPECT_STREQ(("Can't open file \"" + longName.substr(0, 260) + "\"").c_str(), file.ErrorText());

  // A good read clears the error.
  Load(kPage);
  EXPECT_STREQ("", file.ErrorText());
}

TEST_F(HTMLFileTest, WriteErrorsLeaveThePageAlone) {
  Load(kPage);
  file.SetTitle("New");
  EXPECT_FALSE(file.Write(""));
  EXPECT_STREQ("No output file was specified", file.ErrorText());

  EXPECT_FALSE(file.Write("nowhere/b.htm"));
  EXPECT_STREQ("Can't create file \"nowhere/b.htm\"", file.ErrorText());

  // A read-only page is not replaced; no temporary file stays behind.
  ASSERT_TRUE(file.Read("a.htm"));
  file.SetTitle("New");
  chmod(drive.Host("a.htm").c_str(), 0444);
  EXPECT_FALSE(file.Write());
  EXPECT_STREQ("Can't replace file \"a.htm\"", file.ErrorText());
  EXPECT_EQ(kPage, drive.Read("a.htm"));
  EXPECT_EQ(std::vector<std::string>{"a.htm"}, drive.Files());
  chmod(drive.Host("a.htm").c_str(), 0644);

  // The page went away between reading and writing.
  drive.Write("gone.htm", kPage);
  ASSERT_TRUE(file.Read("gone.htm"));
  file.SetTitle("New");
  unlink(drive.Host("gone.htm").c_str());
  EXPECT_FALSE(file.Write());
  EXPECT_STREQ("Can't open file \"gone.htm\"", file.ErrorText());
  EXPECT_EQ(std::vector<std::string>{"a.htm"}, drive.Files());
}

TEST_F(HTMLFileTest, FieldsWithoutAPlaceAreReported) {
  // The page is written all the same; only the field is missing.
  Load("<P>No head at all\n");
  file.SetDescription("d");
  EXPECT_FALSE(file.Write());
  EXPECT_STREQ("Bad header format in file \"a.htm\"", file.ErrorText());
  EXPECT_EQ("<P>No head at all\n", drive.Read("a.htm"));

  Load("<HEAD></HEAD>\n");
  file.SetBody("bgcolor=red");
  file.SetTitle("t");
  EXPECT_FALSE(file.Write());
  EXPECT_STREQ("Missing <BODY> tag in file \"a.htm\"", file.ErrorText());
  EXPECT_EQ("<HEAD>\n<TITLE>t</TITLE>\n</HEAD>\n", drive.Read("a.htm"));

  // A META tag that cannot grow to hold the value keeps its old text.
  std::string big = "<HEAD><META NAME=KEYWORDS CONTENT=old DATA=\"" + std::string(3900, 'd') +
                    "\"></HEAD><BODY>";
  Load(big);
  file.SetKeywords(std::string(300, 'k').c_str());
  EXPECT_FALSE(file.Write());
  EXPECT_STREQ("Bad header format in file \"a.htm\"", file.ErrorText());
  EXPECT_EQ(big, drive.Read("a.htm"));
}

}  // namespace

namespace {

TEST(HTMLFileDeathTest, SettersAssertTheirText) {
  HTMLFile file;
  EXPECT_DEATH(file.SetTitle(nullptr), "Assertion failed: pTitle");
  EXPECT_DEATH(file.SetDescription(nullptr), "Assertion failed: pDescription");
  EXPECT_DEATH(file.SetKeywords(nullptr), "Assertion failed: pKeywords");
  EXPECT_DEATH(file.SetSortOrder(nullptr), "Assertion failed: pSortOrder");
  EXPECT_DEATH(file.SetForward(nullptr), "Assertion failed: pForward");
  EXPECT_DEATH(file.SetBody(nullptr), "Assertion failed: pBody");
}

}  // namespace

namespace {

// Entities the decoder does not know stay exactly as written: in the field
// that is edited (where they read as themselves) and in every other one.
TEST_F(HTMLFileTest, UnknownEntitiesAreKeptAsWritten) {
  const std::string page =
      "<HEAD>\n<TITLE>Caf&eacute; &copy;</TITLE>\n"
      "<META NAME=\"DESCRIPTION\" CONTENT=\"Cr&#232;me&nbsp;br&#xFB;l&#233;e &amp; tea\">\n"
      "<META NAME=\"KEYWORDS\" CONTENT=\"na&#239;ve, &Aring;land\">\n</HEAD>\n<BODY>\n";
  Load(page);
  EXPECT_STREQ("Caf&eacute; &copy;", file.Title());
  EXPECT_STREQ("Cr&#232;me&nbsp;br&#xFB;l&#233;e & tea", file.Description());
  file.SetTitle((std::string(file.Title()) + " & more").c_str());
  ASSERT_TRUE(file.Write()) << file.ErrorText();
  std::string expected = page;
  expected.replace(expected.find("&copy;</TITLE>"), 6, "&copy; &amp; more");
  EXPECT_EQ(expected, drive.Read("a.htm"));

  ASSERT_TRUE(file.Read("a.htm"));
  file.SetDescription(("New: " + std::string(file.Description())).c_str());
  file.SetKeywords(file.Keywords());  // the same value: nothing to write
  ASSERT_TRUE(file.Write()) << file.ErrorText();
  expected.replace(expected.find("Cr&#232;me"), 0, "New: ");
  EXPECT_EQ(expected, drive.Read("a.htm"));
}

// A page with CR LF line ends keeps them: rewritten, inserted and dropped
// elements alike.
TEST_F(HTMLFileTest, LineEndsOfThePageAreKept) {
  const std::string page =
      "<HTML>\r\n<HEAD>\r\n<TITLE>Old</TITLE>\r\n<META NAME=\"KEYWORDS\" CONTENT=\"a\">\r\n"
      "<META NAME=\"SORTORDER\" CONTENT=\"5\">\r\n</HEAD>\r\n<BODY>\r\nText\r\n</BODY>\r\n</HTML>\r\n";
  Load(page);
  file.SetTitle("New");
  file.SetDescription("Added");
  file.SetKeywords("");
  ASSERT_TRUE(file.Write()) << file.ErrorText();
  EXPECT_EQ(
      "<HTML>\r\n<HEAD>\r\n<TITLE>New</TITLE>\r\n"
      "<META NAME=\"SORTORDER\" CONTENT=\"5\">\r\n<META NAME=\"DESCRIPTION\" CONTENT=\"Added\">\r\n"
      "</HEAD>\r\n<BODY>\r\nText\r\n</BODY>\r\n</HTML>\r\n",
      drive.Read("a.htm"));

  // A head without a title gets one after HEAD, with the page's line end.
  Load("<HEAD>\r\n</HEAD>\r\n<BODY>\r\n");
  file.SetTitle("T");
  ASSERT_TRUE(file.Write()) << file.ErrorText();
  EXPECT_EQ("<HEAD>\r\n<TITLE>T</TITLE>\r\n</HEAD>\r\n<BODY>\r\n", drive.Read("a.htm"));

  // A CR of its own, as old Mac pages have it, is copied as a character.
  Load("<HEAD>\r<TITLE>x</TITLE>\r<META NAME=SORTORDER CONTENT=1>\r</HEAD>\r");
  file.SetSortOrder("");
  ASSERT_TRUE(file.Write()) << file.ErrorText();
  EXPECT_EQ("<HEAD>\r<TITLE>x</TITLE>\r\r</HEAD>\r", drive.Read("a.htm"));
}

// A page that holds a NUL byte (UTF-16 text, say) is refused, before
// anything is written, and stays byte for byte.
TEST_F(HTMLFileTest, PagesWithNulBytesAreRefused) {
  std::string utf16 = "\xFF\xFE";
  for (char c : std::string("<HTML><HEAD><TITLE>T</TITLE></HEAD><BODY>x</BODY></HTML>\r\n")) {
    utf16 += c;
    utf16 += '\0';
  }
  drive.Write("wide.htm", utf16);
  EXPECT_FALSE(file.Read("wide.htm"));
  EXPECT_STREQ("Can't edit file \"wide.htm\" (it holds NUL bytes)", file.ErrorText());

  // Changed under the editor's hands between reading and writing.
  Load(kPage);
  file.SetTitle("New");
  drive.Write("a.htm", utf16);
  EXPECT_FALSE(file.Write());
  EXPECT_STREQ("Can't edit file \"a.htm\" (it holds NUL bytes)", file.ErrorText());
  EXPECT_EQ(utf16, drive.Read("a.htm"));
  EXPECT_EQ((std::vector<std::string>{"a.htm", "wide.htm"}), drive.Files());
}

}  // namespace
