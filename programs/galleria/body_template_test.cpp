#include "programs/galleria/body_template.h"

#include <gtest/gtest.h>

#include <string>

#include "programs/galleria/testing/page_fixture.h"

namespace {

using namespace page_fixture;

const std::vector<EntrySpec> kDirectoriesOnly = {
    {kEntryIndexedDirectory, "rome/index.htm", "Rome", "rome/t.jpg", 8, 8},
    {kEntryDirectory, "paris", "Paris"},
};
const std::vector<EntrySpec> kFilesOnly = {
    {kEntryImage, "beach.jpg", "Beach"},
    {kEntryPage, "notes.htm", "Notes"},
};

class TemplateTest : public PageTest {
 protected:
  // The body that the template text gives for the page entry and entries.
  std::string Run(const std::string& text, const std::vector<EntrySpec>& specs = GalleryEntries()) {
    File("page.tpl", text);
    Entries entries(specs);
    Capture out;
    EXPECT_TRUE(OpenTemplate("page.tpl", out.File(), page.get(), entries.Array(), entries.Count()));
    return out.Text();
  }
  void Describe() { page->SetDescription("About <this>"); }

  std::unique_ptr<Entry> page = MakeTestEntry({kEntryIndexedDirectory, "index.htm", "Gallery"});
};

TEST_F(TemplateTest, TextIsCopiedAndValuesOfThePageEntryReplaceTags) {
  Describe();
  EXPECT_EQ(Run("<H1>${title}</H1>\n[${desc}] ${nothing}${-- note --}\nend\n"),
            "<H1>Gallery</H1>\n[About &lt;this&gt;] end\n");
}

TEST_F(TemplateTest, ConditionTags) {
  struct Case {
    const char* text;
    bool description;
    bool thumbnail;
    const char* expected;
  } const cases[] = {
      {"${if thumb not}no thumb${endif}", false, false, "no thumb"},
      {"${if thumb not}no thumb${endif}", false, true, ""},
      {"${if desc}D${else}none${endif}", true, false, "D"},
      {"${if desc}D${else}none${endif}", false, false, "none"},
      {"${if desc}\nD\n${endif}\nafter\n", true, false, "D\nafter\n"},
      {"${if desc not}${if thumb}x${else}y${endif}${else}z${endif}", false, false, "y"},
      {"${if desc not}${if thumb}x${else}y${endif}${else}z${endif}", true, true, "z"},
      {"${if multiPage}M${endif}", false, false, ""},
      {"${if query=\"TITLE = 'Gallery'\"}Q${endif}", false, false, "Q"},
      {"${if query=\"TITLE = 'Other'\"}Q${endif}", false, false, ""},
      {"${endif}${else}hidden${endif}shown", false, false, "shown"},
  };
  for (const Case& c : cases) {
    page->SetDescription(c.description ? "d" : nullptr);
    page->SetThumbnail(c.thumbnail ? "t.jpg" : nullptr);
    EXPECT_EQ(Run(c.text), c.expected) << c.text;
  }
}

TEST_F(TemplateTest, LinkConditionsLookAtTheListedEntries) {
  const char* text = "${if fileLinks}files${else}no files${endif}|"
                     "${if dirLinks thumbLinks}thumbs${endif}|"
                     "${if filetype=all}any${endif}";
  EXPECT_EQ(Run(text, kDirectoriesOnly), "no files|thumbs|any");
  EXPECT_EQ(Run(text, kFilesOnly), "files||any");
  EXPECT_EQ(Run(text, {}), "no files||");
}

TEST_F(TemplateTest, DirectiveChainWritesExactlyOneBranch) {
  const char* text = "#if dirLinks\nA\n#elif fileLinks\nB\n#else\nC\n#endif\nend\n";
  EXPECT_EQ(Run(text, GalleryEntries()), "A\nend\n");
  EXPECT_EQ(Run(text, kFilesOnly), "B\nend\n");
  EXPECT_EQ(Run(text, {}), "C\nend\n");
}

TEST_F(TemplateTest, DirectiveConditionsOverTheIndexInformation) {
  File("backgnd.gif", Gif(1, 1));
  File("index.htm", "<BODY>\n<!-- BEGIN NOTE -->x<!-- END NOTE -->\n");
  EXPECT_EQ(Run("#if file backgnd.gif\nF\n#endif\n"
                "#if -f missing.gif\nM\n#endif\n"
                "#if \"section <!-- BEGIN NOTE -->\"\nS\n#endif\n"
                "#if \"section <!-- BEGIN OTHER -->\"\nO\n#endif\n"
                "#if TITLE = 'Gallery' & thumbDirLinks = 1 & dirLinks = 2\nT\n#endif\n"
                "#if pages\nP\n#endif\n"),
            "F\nS\nT\n");
}

TEST_F(TemplateTest, NestedIncludesReturnToTheFileThatIncludedThem) {
  File("b.txt", "B1\n#include c.txt\nB2\n");
  File("c.txt", "C\n");
  EXPECT_EQ(Run("A1\n#include b.txt\nA2\n#include c.txt\nA3\n"), "A1\nB1\nC\nB2\nA2\nC\nA3\n");
}

TEST_F(TemplateTest, IncludesFromTheIconsDirectory) {
  drive.Write("site/icons/foot.htm", "icons foot\n");
  drive.Write("site/icons/sub/part.htm", "never\n");
  EXPECT_EQ(Run("#include foot.htm\n#include sub\\part.htm\n#include nowhere.htm\nend\n"),
            "icons foot\nend\n");
}

TEST_F(TemplateTest, IncludesDeeperThanTenEndTheTemplateWithAnError) {
  // f1 includes f2 includes ... f12; each writes its number around the
  // include. Ten nested includes are read; the eleventh ends the template
  // and gives the page up.
  for (int i = 1; i <= 12; ++i) {
    File("f" + std::to_string(i) + ".txt",
         std::to_string(i) + "<\n#include f" + std::to_string(i + 1) + ".txt\n>" +
             std::to_string(i) + "\n");
  }
  std::string expected;
  for (int i = 1; i <= 10; ++i) expected += std::to_string(i) + "<\n";
  testing::internal::CaptureStderr();
  EXPECT_EQ(Run("#include f1.txt\nafter\n"), expected);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Error:  Template includes are nested more than 10 deep (\"f11.txt\").\n");
  EXPECT_EQ(MaxSeverity, 3);
  EXPECT_TRUE(OutputAbandoned);
}

TEST_F(TemplateTest, MoreThanAThousandIncludesEndTheTemplateWithAnError) {
  // Each level includes the next eight times and l4 the leaf once: the
  // 1001st include (an l4, depth first) ends the template.
  for (int level = 1; level <= 3; ++level) {
    std::string text;
    for (int i = 0; i < 8; ++i) text += "#include l" + std::to_string(level + 1) + ".txt\n";
    File("l" + std::to_string(level) + ".txt", text);
  }
  File("l4.txt", "#include leaf.txt\n");
  File("leaf.txt", "x\n");
  testing::internal::CaptureStderr();
  std::string body = Run("#include l1.txt\nafter\n");
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Error:  Template includes more than 1000 files (\"l4.txt\").\n");
  EXPECT_EQ(body.find("after"), std::string::npos);
  EXPECT_EQ(MaxSeverity, 3);
  EXPECT_TRUE(OutputAbandoned);
}

TEST_F(TemplateTest, AThousandIncludesAreRead) {
  std::string text;
  std::string expected;
  for (int i = 0; i < 1000; ++i) {
    text += "#include leaf.txt\n";
    expected += "x\n";
  }
  File("leaf.txt", "x\n");
  EXPECT_EQ(Run(text + "end\n"), expected + "end\n");
  EXPECT_EQ(MaxSeverity, 0);
  EXPECT_FALSE(OutputAbandoned);
}

TEST_F(TemplateTest, IncludesAndLogsInsideFalseBranchesDoNothing) {
  File("b.txt", "B\n");
  testing::internal::CaptureStderr();
  EXPECT_EQ(Run("#if dirLinks\n#include b.txt\n#log shown\n#else\n#include b.txt\n#log hidden\n"
                "#endif\n"),
            "B\n");
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("shown"), std::string::npos);
  EXPECT_EQ(err.find("hidden"), std::string::npos);
  EXPECT_EQ(MaxSeverity, 1);
}

TEST_F(TemplateTest, LogIsAWarning) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(Run("#log Template of ${title} in use\n"), "");
  EXPECT_NE(testing::internal::GetCapturedStderr().find("Template of ${title} in use\n"),
            std::string::npos);
  EXPECT_EQ(MaxSeverity, 1);
}

TEST_F(TemplateTest, ListTags) {
  const std::vector<EntrySpec> specs = {{kEntryImage, "a.jpg", "A", "t/a.jpg", 4, 3},
                                        {kEntryPage, "b.htm", "B b"}};
  const std::string a = "<A HREF=\"a.htm\">";
  const std::string thumb = "<IMG SRC=\"t/a.jpg\" WIDTH=4 HEIGHT=3>";
  struct Case {
    const char* text;
    std::string expected;
  } const cases[] = {
      {"${list}", "<UL>\n<LI>" + a + "A</A>\n<LI><A HREF=\"b.htm\">B b</A>\n</UL>"},
      {"${list type=thumb}", a + thumb + "</A>"},
      {"${list type=thumbnails heading=Pictures}", "<H3>Pictures</H3>\n" + a + thumb + "</A>"},
      {"${list type=simple nowrap}", a + "A</A><BR>\n<A HREF=\"b.htm\">B&nbsp;b</A>"},
      {"${list type=simple format='${title}!' filetype=dir}", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(Run(c.text, specs), c.expected) << c.text;
}

TEST_F(TemplateTest, TableTagColumns) {
  const std::vector<EntrySpec> specs = {{kEntryPage, "a.htm", "A"}, {kEntryPage, "b.htm", "B"},
                                        {kEntryPage, "c.htm", "C"}};
  const char* text = "${table format='${title}' columns=-3 hPadding=0 vPadding=0}";
  const std::string open = "<TABLE BORDER=0 CELLPADDING=0 CELLSPACING=0>\n<TR>\n";
  EXPECT_EQ(Run(text, specs), open + "<TD>A</TD>\n<TD>B</TD>\n<TD>C</TD>\n</TR>\n</TABLE>");
  listingSections[0].columns = 2;  // a configured value wins over a negative one
  EXPECT_EQ(Run(text, specs),
            open + "<TD>A</TD>\n<TD>B</TD>\n</TR>\n<TR>\n<TD>C</TD>\n</TR>\n</TABLE>");
  EXPECT_EQ(Run("${table format='${title}' columns=0 hPadding=0 vPadding=0 "
                "attr='BORDER=1' tr=VALIGN=TOP td=ALIGN=RIGHT}", specs),
            "<TABLE BORDER=1>\n<TR VALIGN=TOP>\n<TD ALIGN=RIGHT>A</TD>\n<TD ALIGN=RIGHT>B</TD>\n"
            "</TR>\n<TR VALIGN=TOP>\n<TD ALIGN=RIGHT>C</TD>\n</TR>\n</TABLE>");
}

TEST_F(TemplateTest, TableWithoutFormatAndRowTables) {
  const std::vector<EntrySpec> specs = {{kEntryPage, "a.htm", "A"}, {kEntryPage, "b.htm", "B"}};
  EXPECT_EQ(Run("${table}", specs),
            "<TABLE BORDER=0 CELLSPACING=0 CELLPADDING=0>\n"
            "<TR VALIGN=TOP><TD><A HREF=\"a.htm\">A</A></TD></TR>\n"
            "<TR VALIGN=TOP><TD><A HREF=\"b.htm\">B</A></TD></TR>\n</TABLE>");
  const std::string table = "<TABLE BORDER=0 CELLPADDING=0 CELLSPACING=0>\n<TR>\n";
  EXPECT_EQ(Run("${rowtables format='${title}' columns=1 vspacer=<HR>}", specs),
            table + "<TD>A</TD>\n</TR>\n</TABLE>\n<HR>" + table + "<TD>B</TD>\n</TR>\n</TABLE>");
  EXPECT_EQ(Run("${rowtables columns=1}", specs), "");
}

TEST_F(TemplateTest, IndexTagHeadsTheFilesOnlyAfterDirectories) {
  const std::vector<EntrySpec> files = {{kEntryPage, "b.htm", "B"}};
  const std::string list =
      "<TABLE BORDER=0 CELLSPACING=0 CELLPADDING=0>\n"
      "<TR VALIGN=TOP><TD><A HREF=\"b.htm\">B</A></TD></TR>\n</TABLE>\n";
  EXPECT_EQ(Run("${index}\nend", files), list + "end");
  std::vector<EntrySpec> both = {{kEntryDirectory, "d", "D"}, {kEntryPage, "b.htm", "B"}};
  std::string text = Run("${index}\n", both);
  EXPECT_NE(text.find("<H3>Singles</H3>\n" + list), std::string::npos) << text;
  indexSettings.combine = true;
  EXPECT_EQ(Run("${index}\n", both).find("Singles"), std::string::npos);
}

TEST_F(TemplateTest, IconNamesAreTurnedIntoUrlsOnce) {
  Icon("my icon.gif", 12, 6);
  const std::string img = "<IMG SRC=\"../icons/my%20icon.gif\" WIDTH=12 HEIGHT=6";
  EXPECT_EQ(Run("${icon src=my%20icon.gif}"), img + ">");
  EXPECT_EQ(Run("${icon icon=my%20icon.gif attr=BORDER=0}"), img + " BORDER=0>");
  EXPECT_EQ(Run("${img icon=my%20icon.gif}"), img + ">");
  EXPECT_EQ(Run("${icon src=missing.gif}${icon}"), "");
  EXPECT_EQ(Run("${iconDir}"), "../icons");
  indexSettings.backlink = BacklinkMode::Back;
  EXPECT_EQ(Run("${back icon=my%20icon.gif}"),
            "<A HREF=\"javascript:window.history.back()\">" + img + " BORDER=0 ALIGN=TOP></A>");
  pagingState.pageSize = 10;
  pagingState.total = 25;
  EXPECT_EQ(Run("${prev src=my%20icon.gif src0=my%20icon.gif}"), img + " BORDER=0 ALIGN=TOP>");
  EXPECT_EQ(Run("${next src=my%20icon.gif src0=my%20icon.gif}"),
            "<A HREF=\"javascript:window.location.replace('index2.htm'); void(0)\">" + img +
                " BORDER=0 ALIGN=TOP></A>");
  EXPECT_EQ(Run("${prev src=my%20icon.gif}"), "");  // no icon for the first page
}

TEST_F(TemplateTest, TemplateUrls) {
  Icon("star.gif", 1, 1);
  File("local.gif", Gif(1, 1));
  struct Case {
    const char* name;
    const char* url;
  } const cases[] = {
      {"", ""}, {"./local.gif", "local.gif"}, {"sub/pic.gif", "sub/pic.gif"},
      {"star.gif", "../icons/star.gif"}, {"star", "../icons/star.gif"}, {"none.gif", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(Text(TemplateUrl(c.name)), c.url) << c.name;
  EXPECT_TRUE(TemplateUrl(nullptr).IsNull());
}

TEST_F(TemplateTest, PageNumbersAndPageLinks) {
  EXPECT_EQ(Run("${page}/${pages}${pageLinks}"), "/");
  pagingState.first = 10;
  pagingState.pageSize = 10;
  pagingState.total = 25;
  EXPECT_EQ(Run("${page}/${pages}"), "2/3");
  std::string links = Run("${pageLinks}");
  EXPECT_EQ(links.rfind("<STRONG>Pages:</STRONG>&nbsp;\n", 0), 0u) << links;
  EXPECT_EQ(links.find("(null)"), std::string::npos) << links;
  EXPECT_EQ(links.substr(links.size() - 9), "</STRONG>");
  EXPECT_EQ(Run("${pageLinks heading=<P> suffix=</P>}").substr(0, 3), "<P>");
}

TEST_F(TemplateTest, SectionsOfTheOldPage) {
  File("index.htm",
       "<BODY>\n<!-- BEGIN HEADING -->Mine<!-- END HEADING -->\n<!-- BEGIN A -->a<!-- END A -->");
  EXPECT_EQ(Run("${section}\n|"), "<!-- BEGIN HEADING -->Mine<!-- END HEADING -->\n|");
  EXPECT_EQ(Run("${section heading='<!-- BEGIN A -->' end='<!-- END A -->' tr=!}"
                "${section heading='<!-- BEGIN A -->' end='<!-- END A -->' tr=!}"
                "${section heading='<!-- BEGIN Z -->'}"),
            "<!-- BEGIN A -->a<!-- END A -->!<!-- BEGIN A -->a<!-- END A -->!");
}

TEST_F(TemplateTest, SlideLinkOpensOnlyWithAnImage) {
  EXPECT_EQ(Run("${slideLink}x${/slideLink}${/slideLink}", kDirectoriesOnly), "x");
  EXPECT_EQ(Run("${slideLink}x${/slideLink}${/slideLink}", kFilesOnly),
            "<A HREF=\"beach.htm\">x</A>");
}

TEST_F(TemplateTest, MissingTemplateIsAnError) {
  Capture out;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(OpenTemplate("none.tpl", out.File(), page.get(), nullptr, 0));
  EXPECT_NE(testing::internal::GetCapturedStderr().find(
                "Error:  Can't open template file \"none.tpl\".\n"),
            std::string::npos);
  EXPECT_EQ(MaxSeverity, 2);
  EXPECT_EQ(out.Text(), "");
}

}  // namespace
