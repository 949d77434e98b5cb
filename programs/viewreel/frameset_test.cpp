#include "programs/viewreel/frameset.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/files.h"
#include "programs/viewreel/testing/slide_fixture.h"
#include "shared/report.h"

namespace {

class FramesetTest : public SlideTest {
 protected:
  void Add(const char* href, int kind) {
    auto entry = std::make_unique<Entry>();
    entry->SetHref(href);
    entry->kind = kind;
    pointers.push_back(entry.get());
    entries.push_back(std::move(entry));
  }
  void WriteAll() { WriteFrameset(pointers.data(), static_cast<int>(pointers.size())); }

  std::vector<std::unique_ptr<Entry>> entries;
  std::vector<Entry*> pointers;
};

TEST_F(FramesetTest, ListsEverySlideBesideTheControls) {
  Write("index.htm", "<HTML><HEAD><TITLE>Sea &amp; Sky</TITLE></HEAD></HTML>");
  Add("a.gif", kEntryImage);
  Add("my%20b.jpg", kEntryImage);
  Add("../trips/x.jpg", kEntryImage | kEntryAlias);
  WriteAll();
  EXPECT_EQ(Read("frameset.htm"),
            "<HTML>\n"
            "<HEAD>\n"
            "<TITLE>Sea &amp; Sky</TITLE>\n"
            "<META HTTP-EQUIV=\"Content-Script-Type\" CONTENT=\"text/javascript\">\n"
            "\n"
            "<SCRIPT LANGUAGE=\"JavaScript1.1\">\n"
            "<!--\n"
            "basePath = location.href;\n"
            "i = basePath.lastIndexOf('/');\n"
            "j = basePath.lastIndexOf('\\\\');\n"
            "if (j > i) i = j;\n"
            "basePath = basePath.substring(0, i+1);\n"
            "startPage = parseInt(location.hash.substring(1,9));\n"
            "if (isNaN(startPage)) startPage = 1;\n"
            "backLink = \"index.htm\";\n"
            "\n"
            "pages=3\n"
            "page=new Array(pages);\n"
            "page[0]=\"a.htm\"\n"
            "page[1]=\"my%20b.htm\"\n"
            "page[2]=\"../trips/x.htm\"\n"
            "// -->\n"
            "</SCRIPT>\n"
            "</HEAD>\n"
            "\n"
            "<FRAMESET COLS=\"100,*\" onLoad=\"if (contentStale) "
            "parent.inputFrame.displayCurrentPage()\">\n"
            "  <FRAME SRC=\"../icons/controls.htm\" NAME=\"inputFrame\">\n"
            "  <FRAME SRC=\"javascript:'<BODY></BODY>'\" NAME=\"contentFrame\">\n"
            "</FRAMESET>\n"
            "</HTML>\n");
  EXPECT_EQ(MaxSeverity, 0);
}

// The frameset is the suite's own page: the folder's title is copied into it
// with its letters beyond ASCII as references, so the window's title reads
// right whatever charset the browser guesses.
TEST_F(FramesetTest, TitleBeyondAsciiIsWrittenAsReferences) {
  Write("index.htm", "<HTML><HEAD><TITLE>\xC3\x85sa &amp; Caf\xE9</TITLE></HEAD></HTML>");
  Add("a.gif", kEntryImage);
  WriteAll();
  EXPECT_NE(Read("frameset.htm").find("<TITLE>&#197;sa &amp; Caf\xE9</TITLE>\n"), std::string::npos);
}

TEST_F(FramesetTest, WithoutIconsDirectoryNothingIsWritten) {
  ASSERT_TRUE(RemoveDir("..\\icons"));
  Add("a.gif", kEntryImage);
  WriteAll();
  EXPECT_FALSE(Exists("frameset.htm"));
  EXPECT_EQ(MaxSeverity, 2);
}

}  // namespace
