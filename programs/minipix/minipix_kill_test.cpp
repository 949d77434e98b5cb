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

// Two stale thumbnails to replace, the others to make, one orphan to delete.
void SetUpGallery(const TempDrive& drive) {
  drive.MakeDir("gallery/thumbs");
  const char* names[] = {"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg", "f.jpg"};
  uint8_t red = 200;
  for (const char* name : names) WriteImage(drive, name, red -= 30);
  drive.Write("gallery/thumbs/tn_a_jpg.jpg", "an old thumbnail of a");
  drive.Write("gallery/thumbs/tn_b_jpg.jpg", "an old thumbnail of b");
  drive.Write("gallery/thumbs/tn_gone_jpg.jpg", "an orphan");
  FileTime old = UnixToFileTime(1000000000);
  for (const char* name : {"thumbs/tn_a_jpg.jpg", "thumbs/tn_b_jpg.jpg"}) {
    ASSERT_TRUE(SetFileTimes(drive.Win("gallery/" + std::string(name)).c_str(), nullptr, nullptr, &old));
  }
}

// On one worker and on several (each with its own temporary file).
TEST(MinipixKilled, EveryThumbnailIsOldOrNew) {
  const struct {
    const char* workers;
    std::vector<std::string> temporary;
  } cases[] = {
      {"1", {"thumbs/temp.$$$"}},
      {"3", {"thumbs/temp.$$$", "thumbs/temp1.$$$", "thumbs/temp2.$$$"}},
  };
  for (const auto& c : cases) {
    TempDrive drive;
    RewriteRun run;
    run.program = ProgramPath("minipix");
    run.options.cwd = drive.Host("gallery");
    run.options.env["NUMBER_OF_PROCESSORS"] = c.workers;
    run.folder = "gallery";
    run.temporary = c.temporary;
    int points = 0;
    EXPECT_EQ(CheckKilledRewrites(drive, run, [&] { SetUpGallery(drive); }, 120, &points), "")
        << c.workers << " workers";
    EXPECT_GE(points, 20) << c.workers << " workers";
  }
}

}  // namespace
