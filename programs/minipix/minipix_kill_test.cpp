// minipix killed (kill -9) at every moment where it changes a file: each
// thumbnail is the old one or the new one, never missing or half written.
#include <gtest/gtest.h>

#include <string>

#include "jpeg/dib.h"
#include "jpeg/write_jpeg.h"
#include "platform/filetime.h"
#include "platform/testing/kill_points.h"
#include "platform/testing/test_support.h"

namespace {

void WriteImage(const TempDrive& drive, const std::string& name, uint8_t red) {
  BitmapInfoHeader* dib = NewDIB(160, 120);
  uint8_t* p = DIBPixels(dib);
  for (size_t i = 0; i < dib->biSizeImage; i += 3) {
    p[i] = red;
    p[i + 1] = 90;
    p[i + 2] = static_cast<uint8_t>(i % 251);
  }
  ASSERT_TRUE(WriteThumbDIB(dib, drive.Win("gallery/" + name).c_str(), 90));
  FreeDIB(dib);
}

TEST(MinipixKilled, EveryThumbnailIsOldOrNew) {
  TempDrive drive;
  // Two stale thumbnails to replace, one to make, one orphan to delete.
  auto setUp = [&] {
    drive.MakeDir("gallery/thumbs");
    WriteImage(drive, "a.jpg", 200);
    WriteImage(drive, "b.jpg", 100);
    WriteImage(drive, "c.jpg", 50);
    drive.Write("gallery/thumbs/tn_a_jpg.jpg", "an old thumbnail of a");
    drive.Write("gallery/thumbs/tn_b_jpg.jpg", "an old thumbnail of b");
    drive.Write("gallery/thumbs/tn_gone_jpg.jpg", "an orphan");
    FileTime old = UnixToFileTime(1000000000);
    for (const char* name : {"thumbs/tn_a_jpg.jpg", "thumbs/tn_b_jpg.jpg"}) {
      ASSERT_TRUE(SetFileTimes(drive.Win("gallery/" + std::string(name)).c_str(), nullptr, nullptr, &old));
    }
  };
  RewriteRun run;
  run.program = ProgramPath("minipix");
  run.options.cwd = drive.Host("gallery");
  run.folder = "gallery";
  run.temporary = {"thumbs/temp.$$$"};
  int points = 0;
  EXPECT_EQ(CheckKilledRewrites(drive, run, setUp, 120, &points), "");
  EXPECT_GE(points, 10);
}

}  // namespace
