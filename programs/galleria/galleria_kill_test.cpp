// galleria killed (kill -9) at every moment where it changes a file: each
// index page is the old one or the new one, never missing, so the heading a
// user wrote into the page is never lost.
#include <gtest/gtest.h>

#include <string>

#include "platform/testing/kill_points.h"
#include "platform/testing/test_support.h"

namespace {

std::string Page(const std::string& title) {
  return "<HTML>\n<HEAD>\n<TITLE>" + title + "</TITLE>\n</HEAD>\n<BODY>\n</BODY>\n</HTML>\n";
}

TEST(GalleriaKilled, EveryIndexPageIsOldOrNew) {
  TempDrive drive;
  auto setUp = [&] {
    drive.Write("site/icons/weft.ini", "pagesize=2\n");
    for (const char* name : {"a", "b", "c", "d", "e"}) drive.Write("site/trip/" + std::string(name) + ".htm", Page(name));
    drive.Write("site/trip/index.htm",
                "<HTML><HEAD><TITLE>Our trip</TITLE></HEAD>\n<BODY TEXT=NAVY>\n"
                "<!-- BEGIN HEADING -->\n<H1>Summer 2004, as we wrote it</H1>\n<!-- END HEADING -->\n"
                "</BODY>\n");
    drive.Write("site/trip/index2.htm", "an old second page");
    drive.Write("site/trip/index4.htm", "a stale page");
  };
  RewriteRun run;
  run.program = ProgramPath("galleria");
  run.options.cwd = drive.Host("site/trip");
  run.options.unset = {"WEFTLOG"};
  run.folder = "site/trip";
  run.temporary = {"index.new"};
  int points = 0;
  EXPECT_EQ(CheckKilledRewrites(drive, run, setUp, 150, &points), "");
  EXPECT_GE(points, 6);
}

}  // namespace
