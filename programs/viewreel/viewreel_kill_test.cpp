// viewreel killed (kill -9) at every moment where it changes a file: each
// slide is the old page or the new one, never missing, so the title,
// description, keywords and text a user gave a slide are never lost.
#include <gtest/gtest.h>

#include <string>

#include "platform/testing/kill_points.h"
#include "platform/testing/test_support.h"
#include "programs/viewreel/testing/slide_fixture.h"

namespace {

std::string Slide(const std::string& title, const std::string& text) {
  return "<HTML>\n<HEAD>\n<TITLE>" + title + "</TITLE>\n"
         "<META NAME=\"DESCRIPTION\" CONTENT=\"What " + title + " shows\">\n"
         "<META NAME=\"KEYWORDS\" CONTENT=\"sea, " + title + "\">\n</HEAD>\n<BODY>\n"
         "<!-- BEGIN TEXT -->\n" + text + "\n<!-- END TEXT -->\n</BODY>\n</HTML>\n";
}

TEST(ViewreelKilled, EverySlideIsOldOrNew) {
  TempDrive drive;
  auto setUp = [&] {
    drive.MakeDir("site/icons");
    drive.Write("site/pics/a.gif", GifOf(640, 480));
    drive.Write("site/pics/b.gif", GifOf(800, 600));
    drive.Write("site/pics/c.gif", GifOf(300, 200));
    drive.Write("site/pics/a.htm", Slide("Harbour", "The boats came in at dawn."));
    drive.Write("site/pics/b.htm", Slide("Lighthouse", "Built in 1850."));
  };
  RewriteRun run;
  run.program = ProgramPath("viewreel");
  run.args = {"/F"};
  run.options.cwd = drive.Host("site/pics");
  run.options.unset = {"WEFTLOG"};
  run.folder = "site/pics";
  run.temporary = {"temp.$$$"};
  int points = 0;
  EXPECT_EQ(CheckKilledRewrites(drive, run, setUp, 150, &points), "");
  EXPECT_GE(points, 10);
}

}  // namespace
