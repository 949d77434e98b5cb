#include "programs/galleria/navigation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "programs/galleria/testing/page_fixture.h"

namespace {

using namespace page_fixture;

const std::string kPrev = "<IMG SRC=\"../icons/prev.gif\" WIDTH=20 HEIGHT=10 BORDER=0 ALIGN=TOP>";
const std::string kNoPrev =
    "<IMG SRC=\"../icons/noprev.gif\" WIDTH=21 HEIGHT=10 BORDER=0 ALIGN=TOP>";
const std::string kNext = "<IMG SRC=\"../icons/next.gif\" WIDTH=22 HEIGHT=10 BORDER=0 ALIGN=TOP>";
const std::string kNoNext =
    "<IMG SRC=\"../icons/nonext.gif\" WIDTH=23 HEIGHT=10 BORDER=0 ALIGN=TOP>";

class NavigationTest : public PageTest {
 protected:
  void PagingIcons() {
    Icon("prev.gif", 20, 10);
    Icon("noprev.gif", 21, 10);
    Icon("next.gif", 22, 10);
    Icon("nonext.gif", 23, 10);
  }
  // Page `page` of a listing of `total` entries, 10 per page.
  static void OnPage(int page, int total) {
    pagingState.first = (page - 1) * 10;
    pagingState.pageSize = 10;
    pagingState.total = total;
  }
  template <typename Write>
  std::string Written(Write write, bool expectWritten = true) {
    Capture out;
    EXPECT_EQ(write(out.File()), expectWritten);
    return out.Text();
  }
};

TEST_F(NavigationTest, CurrentPageAndPageCount) {
  struct Case {
    int first, size, total, current, count;
  } const cases[] = {
      {0, 0, 25, 1, 1}, {0, 10, 25, 1, 3}, {10, 10, 25, 2, 3},
      {20, 10, 25, 3, 3}, {0, 10, 10, 1, 1}, {0, 10, 0, 1, 0},
      {-5, 10, 25, 1, 3}, {0, -10, 25, 1, 1},
  };
  for (const Case& c : cases) {
    pagingState.first = c.first;
    pagingState.pageSize = c.size;
    pagingState.total = c.total;
    EXPECT_EQ(CurrentPage(), c.current) << c.first << "/" << c.size;
    EXPECT_EQ(PageCount(), c.count) << c.total << "/" << c.size;
  }
}

TEST_F(NavigationTest, PreviousAndNextLinksByPage) {
  PagingIcons();
  auto prev = [](FILE* f) { return WritePrevLink(f, nullptr, nullptr, nullptr); };
  auto next = [](FILE* f) { return WriteNextLink(f, nullptr, nullptr, nullptr); };
  OnPage(1, 25);
  EXPECT_EQ(Written(prev), kNoPrev);
  EXPECT_EQ(Written(next), "<A HREF=\"index2.htm\">" + kNext + "</A>");
  OnPage(2, 25);
  EXPECT_EQ(Written(prev), "<A HREF=\"index.htm\">" + kPrev + "</A>");
  EXPECT_EQ(Written(next), "<A HREF=\"index3.htm\">" + kNext + "</A>");
  OnPage(3, 25);
  EXPECT_EQ(Written(prev), "<A HREF=\"index2.htm\">" + kPrev + "</A>");
  EXPECT_EQ(Written(next), kNoNext);
}

TEST_F(NavigationTest, StepLinksNeedBothIcons) {
  Icon("prev.gif", 20, 10);
  Icon("my prev.gif", 5, 5);
  OnPage(2, 25);
  // An icon without one for the first page writes nothing.
  EXPECT_EQ(Written([&](FILE* f) {
              return WritePrevLink(f, drive.Win("site\\icons\\my prev.gif").c_str(), nullptr, "");
            }, false),
            "");
  // The default "noprev" icon is missing.
  EXPECT_EQ(Written([](FILE* f) { return WritePrevLink(f, nullptr, nullptr, nullptr); }, false),
            "");
  std::string own = drive.Win("site\\icons\\my prev.gif");
  EXPECT_EQ(Written([&](FILE* f) { return WritePrevLink(f, nullptr, own.c_str(), "HSPACE=1"); }),
            "<A HREF=\"index.htm\"><IMG SRC=\"../icons/prev.gif\" WIDTH=20 HEIGHT=10 "
            "HSPACE=1></A>");
}

TEST_F(NavigationTest, BackModeReplacesTheHistoryEntry) {
  PagingIcons();
  indexSettings.backlink = BacklinkMode::Back;
  OnPage(1, 25);
  EXPECT_EQ(Written([](FILE* f) { return WriteNextLink(f, nullptr, nullptr, nullptr); }),
            "<A HREF=\"javascript:window.location.replace('index2.htm'); void(0)\">" + kNext +
                "</A>");
}

TEST_F(NavigationTest, CgiLinksCarryFirstAndCount) {
  PagingIcons();
  pagingState.cgiBaseUrl = "galleria.exe?config=x";
  pagingState.first = 20;
  pagingState.pageSize = 20;
  pagingState.total = 100;
  EXPECT_EQ(Written([](FILE* f) { return WriteNextLink(f, nullptr, nullptr, nullptr); }),
            "<A HREF=\"galleria.exe?config=x&amp;first=40&amp;count=20\">" + kNext + "</A>");
  EXPECT_EQ(Written([](FILE* f) { return WritePrevLink(f, nullptr, nullptr, nullptr); }),
            "<A HREF=\"galleria.exe?config=x&amp;first=0&amp;count=20\">" + kPrev + "</A>");
}

TEST_F(NavigationTest, PageLinks) {
  OnPage(2, 25);
  EXPECT_EQ(Written([](FILE* f) { return WritePageLinks(f, "<P>", "</P>"); }),
            "<P><STRONG>Pages:</STRONG>&nbsp;"
            "\n <STRONG><A HREF=\"index.htm\">[<< Prev]</A></STRONG>&nbsp;&nbsp;"
            "\n <A HREF=\"index.htm\">1</A>"
            "\n <STRONG>2</STRONG>"
            "\n <A HREF=\"index3.htm\">3</A>"
            "&nbsp;&nbsp;\n <STRONG><A HREF=\"index3.htm\">[Next >>]</A></STRONG></P>");
  OnPage(1, 25);
  // No prefix or suffix text writes nothing in their place.
  EXPECT_EQ(Written([](FILE* f) { return WritePageLinks(f, nullptr, nullptr); }),
            "<STRONG>Pages:</STRONG>&nbsp;"
            "\n <STRONG>1</STRONG>"
            "\n <A HREF=\"index2.htm\">2</A>"
            "\n <A HREF=\"index3.htm\">3</A>"
            "&nbsp;&nbsp;\n <STRONG><A HREF=\"index2.htm\">[Next >>]</A></STRONG>");
}

TEST_F(NavigationTest, CgiPageLinks) {
  pagingState.cgiBaseUrl = "g.exe?query=a";
  pagingState.first = 20;
  pagingState.pageSize = 10;
  pagingState.total = 30;
  EXPECT_EQ(Written([](FILE* f) { return WritePageLinks(f, "", ""); }),
            "<STRONG>Result Pages:</STRONG>&nbsp;"
            "\n <STRONG><A HREF=\"g.exe?query=a&amp;first=10&amp;count=10\">[<< Prev]</A>"
            "</STRONG>&nbsp;&nbsp;"
            "\n <A HREF=\"g.exe?query=a&amp;first=0&amp;count=10\">1</A>"
            "\n <A HREF=\"g.exe?query=a&amp;first=10&amp;count=10\">2</A>"
            "\n <STRONG>3</STRONG>");
}

TEST_F(NavigationTest, NoPageLinksWithoutPaging) {
  PagingIcons();
  EXPECT_EQ(Written([](FILE* f) { return WritePageLinks(f, "x", "y"); }, false), "");
  OnPage(1, 10);
  EXPECT_EQ(Written([](FILE* f) { return WritePageLinks(f, "x", "y"); }, false), "");
  indexSettings.backlink = BacklinkMode::Back;
  EXPECT_EQ(Written([](FILE* f) { return WriteNavBar(f, nullptr, false); }),
            "<A HREF=\"javascript:window.history.back()\">Back</A>\n");
}

TEST_F(NavigationTest, BackLinkForms) {
  struct Case {
    BacklinkMode mode;
    const char* expected;
  } const cases[] = {
      {BacklinkMode::Custom, "<A HREF=\"../start.htm\">Back</A>"},
      {BacklinkMode::Back, "<A HREF=\"javascript:window.history.back()\">Back</A>"},
      {BacklinkMode::Close,
       "<FORM>\n<INPUT TYPE=\"button\" VALUE=\"  Close  \" onClick=\"window.close()\">\n</FORM>"},
      {BacklinkMode::Parent, "Back to\n<A HREF=\"../index.htm\">site</A>"},
  };
  for (const Case& c : cases) {
    indexSettings.backlink = c.mode;
    CopyBounded(indexSettings.backlinkText, "../start.htm", sizeof indexSettings.backlinkText);
    EXPECT_EQ(Written([](FILE* f) { return WriteBackLink(f, nullptr, nullptr, nullptr); }),
              c.expected);
  }
  indexSettings.backlink = BacklinkMode::None;
  EXPECT_EQ(Written([](FILE* f) { return WriteBackLink(f, nullptr, nullptr, nullptr); }, false),
            "");
}

TEST_F(NavigationTest, BackLinkIconsFallBackToHome) {
  Icon("home.gif", 30, 20);
  const std::string home = "<IMG SRC=\"../icons/home.gif\" WIDTH=30 HEIGHT=20 BORDER=0 ALIGN=TOP>";
  EXPECT_EQ(Written([](FILE* f) { return WriteHistoryBackLink(f, nullptr, nullptr); }),
            "<A HREF=\"javascript:window.history.back()\">" + home + "</A>");
  EXPECT_EQ(Written([](FILE* f) { return WriteCloseLink(f, nullptr, nullptr); }),
            "<A HREF=\"javascript:void(0)\" onClick=\"window.close()\">" + home + "</A>");
  Icon("close.gif", 9, 9);
  EXPECT_EQ(Written([](FILE* f) { return WriteCloseLink(f, nullptr, "HSPACE=8"); }),
            "<A HREF=\"javascript:void(0)\" onClick=\"window.close()\">"
            "<IMG SRC=\"../icons/close.gif\" WIDTH=9 HEIGHT=9 HSPACE=8></A>");
  CopyBounded(indexSettings.backlinkText, "/", sizeof indexSettings.backlinkText);
  EXPECT_EQ(Written([](FILE* f) { return WriteUrlBackLink(f, nullptr, nullptr); }),
            "<A HREF=\"/\">" + home + "</A>");
}

TEST_F(NavigationTest, SmartBackLinkScript) {
  std::string script = Written([](FILE* f) { return WriteSmartBackLink(f, nullptr, nullptr); });
  EXPECT_EQ(script.rfind("<SCRIPT LANGUAGE=\"JavaScript1.1\">\n<!--\nlevel = 0;\n", 0), 0u);
  EXPECT_NE(script.find("\n  if (i > j + 1) level--;\n"), std::string::npos);
  const std::string end =
      "    backlink = document.cookie.substring(i, j);\n  }\n}\n"
      "document.writeln('<A HREF=\"' + backlink + '\">Back to Parent<\\/A>');\n"
      "// -->\n</SCRIPT>";
  ASSERT_GE(script.size(), end.size());
  EXPECT_EQ(script.substr(script.size() - end.size()), end);
  EXPECT_EQ(std::count(script.begin(), script.end(), '\n'), 25);
}

TEST_F(NavigationTest, SmartBackLinkIconCannotEndItsScript) {
  Icon("back.gif", 30, 20);
  std::string script =
      Written([](FILE* f) { return WriteSmartBackLink(f, nullptr, "ALT=\"</SCRIPT>\""); });
  const std::string end =
      "document.writeln('<A HREF=\"' + backlink + '\">"
      "<IMG SRC=\"../icons/back.gif\" WIDTH=30 HEIGHT=20 ALT=\"<\\/SCRIPT>\"><\\/A>');\n"
      "// -->\n</SCRIPT>";
  ASSERT_GE(script.size(), end.size());
  EXPECT_EQ(script.substr(script.size() - end.size()), end);
}

TEST_F(NavigationTest, SmartBackLinkNotAtADriveRoot) {
  drive.Chdir("");
  EXPECT_EQ(Written([](FILE* f) { return WriteSmartBackLink(f, nullptr, nullptr); }, false), "");
}

TEST_F(NavigationTest, NavBarOfAPagedIndex) {
  PagingIcons();
  indexSettings.backlink = BacklinkMode::Back;
  OnPage(2, 25);
  const std::string prev = "<IMG SRC=\"../icons/prev.gif\" WIDTH=20 HEIGHT=10 BORDER=0 ALIGN=TOP HSPACE=8>";
  const std::string next = "<IMG SRC=\"../icons/next.gif\" WIDTH=22 HEIGHT=10 BORDER=0 ALIGN=TOP HSPACE=8>";
  EXPECT_EQ(Written([](FILE* f) { return WriteNavBar(f, nullptr, true); }),
            "<CENTER>\n"
            "<A HREF=\"javascript:window.location.replace('index.htm'); void(0)\">" + prev +
                "</A>\n"
                "<A HREF=\"javascript:window.history.back()\">Back</A>\n"
                "<A HREF=\"javascript:window.location.replace('index3.htm'); void(0)\">" + next +
                "</A>\n"
                "</CENTER>\n");
}

TEST_F(NavigationTest, BacklinkNoneSuppressesTheWholeBar) {
  PagingIcons();
  indexSettings.backlink = BacklinkMode::None;
  OnPage(2, 25);
  EXPECT_EQ(Written([](FILE* f) { return WriteNavBar(f, nullptr, true); }, false), "");
}

}  // namespace
