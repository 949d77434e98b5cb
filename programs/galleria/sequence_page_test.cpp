#include "programs/galleria/sequence_page.h"

#include <gtest/gtest.h>

#include <string>

#include "programs/galleria/testing/page_fixture.h"

namespace {

using namespace page_fixture;

class SequencePageTest : public PageTest {};

TEST_F(SequencePageTest, FramesetWithTheSlidePagesOfTheImages) {
  File("index.htm",
       "<HTML><HEAD><TITLE>Coast walk</TITLE>\n"
       "<META NAME=\"DESCRIPTION\" CONTENT=\"Three days\">\n</HEAD></HTML>\n");
  Entries entries({
      {kEntryImage, "PIC.JPG", "Pic", nullptr, 0, 0, nullptr, "1 slide; {1000}"},
      {kEntryImage, "beach.jpg", "Beach", nullptr, 0, 0, nullptr, "1 slide; {3000}"},
      // Only images are listed in this mode; anything else is left out.
      {kEntryIndexedDirectory, "rome/index.htm", "Rome"},
      {kEntryImage, "Cliff%20top.png", "Cliff top"},
  });
  ASSERT_EQ(WriteSequencePage(entries.Array(), entries.Count()), 0);
  EXPECT_FALSE(Exists("index.new"));
  EXPECT_EQ(Read("index.htm"),
            "<HTML>\n<HEAD>\n<TITLE>Coast walk</TITLE>\n"
            "<META NAME=\"GENERATOR\" CONTENT=\"" + std::string(VersionBanner()) + "\">\n"
            "<META NAME=\"DESCRIPTION\" CONTENT=\"Three days\">\n"
            "<META NAME=\"FILEINFO\" CONTENT=\"2 slides in 1 set, 3.9KB; {2000, 0, 0, 2, 0, 2, 1}; "
            "FRAMESET\">\n"
            "<META HTTP-EQUIV=\"Content-Script-Type\" CONTENT=\"text/javascript\">\n"
            "\n<SCRIPT LANGUAGE=\"JavaScript1.1\">\n<!--\n"
            "basePath = location.href;\n"
            "i = basePath.lastIndexOf('/');\n"
            "j = basePath.lastIndexOf('\\\\');\n"
            "if (j > i) i = j;\n"
            "basePath = basePath.substring(0, i+1);\n"
            "startPage = parseInt(location.hash.substring(1,9));\n"
            "if (isNaN(startPage)) startPage = 1;\n"
            "backLink = document.referrer;\n"
            "\npages=3\n"
            "page=new Array(pages);\n"
            "page[0]=\"PIC.HTM\";\n"
            "page[1]=\"beach.htm\";\n"
            "page[2]=\"Cliff%20top.htm\";\n"
            "// -->\n</SCRIPT>\n"
            "</HEAD>\n\n"
            "<FRAMESET COLS=\"100,*\" onLoad=\"if (contentStale) "
            "parent.inputFrame.displayCurrentPage()\">\n"
            "  <FRAME SRC=\"../icons/controls.htm\" NAME=\"inputFrame\">\n"
            "  <FRAME SRC=\"javascript:'<BODY></BODY>'\" NAME=\"contentFrame\">\n"
            "</FRAMESET>\n"
            "</HTML>\n");
  // The slide numbers of the entries stay as they were.
  EXPECT_EQ(entries[0]->slideIndex, -1);
}

TEST_F(SequencePageTest, WithoutIconsDirectoryNothingIsWritten) {
  drive.Write("other/weft.ini", "");
  drive.Chdir("other");
  drive.Write("other/index.htm", "old");
  Entries entries({{kEntryImage, "a.jpg", "A"}});
  EXPECT_EQ(WriteSequencePage(entries.Array(), entries.Count()), 1);
  EXPECT_EQ(MaxSeverity, 3);
  EXPECT_EQ(drive.Read("other/index.htm"), "old");
  EXPECT_FALSE(drive.Exists("other/index.new"));
}

TEST_F(SequencePageTest, CgiModeWritesTheFramesetToStandardOutput) {
  cgiMode = true;
  Entries entries({{kEntryImage, "a.jpg", "A"}});
  testing::internal::CaptureStdout();
  EXPECT_EQ(WriteSequencePage(entries.Array(), entries.Count()), 0);
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(out.rfind("Content-type:  text/html\n\n<HTML>\n<HEAD>\n", 0), 0u) << out;
  EXPECT_NE(out.find("page[0]=\"a.htm\";\n"), std::string::npos);
  EXPECT_FALSE(Exists("index.new"));
  EXPECT_FALSE(Exists("index.htm"));
}

}  // namespace
