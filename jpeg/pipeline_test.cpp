// The pipeline end to end on JPEG files made in a scratch folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "jpeg/make_thumb.h"
#include "jpeg/orient_dib.h"
#include "jpeg/read_jpeg.h"
#include "jpeg/testing/dib_fixtures.h"
#include "jpeg/write_jpeg.h"
#include "shared/testing/exif_jpeg.h"

namespace {

// A smooth picture whose area averages are easy to predict: red grows to
// the right, green downwards, blue is constant.
Rgb Ramp(int x, int y, int width, int height) {
  return {x * 255 / (width - 1), y * 255 / (height - 1), 128};
}

void ExpectNear(Rgb actual, Rgb expected, int tolerance, const std::string& where) {
  EXPECT_NEAR(actual.r, expected.r, tolerance) << where;
  EXPECT_NEAR(actual.g, expected.g, tolerance) << where;
  EXPECT_NEAR(actual.b, expected.b, tolerance) << where;
}

// Pixel (x, y) counted from the top row of a bottom-up bitmap.
Rgb TopDownPixel(const BitmapInfoHeader* dib, int x, int y) {
  return PixelAt(dib, x, dib->biHeight - 1 - y);
}

class Pipeline : public ::testing::Test {
 protected:
  void Ramp400x300() {
    WriteTestJpeg("ramp.jpg", 400, 300, 3, [](int x, int y) { return Ramp(x, y, 400, 300); });
  }
  ScratchFolder drive;
};

TEST_F(Pipeline, ThumbnailOfARampKeepsItsValuesAndOrientation) {
  Ramp400x300();
  for (bool fast : {true, false}) {
    BitmapInfoHeader* thumb = MakeThumbDIB("ramp.jpg", 100, 100, fast, 0);
    ASSERT_NE(thumb, nullptr);
    EXPECT_EQ(thumb->biWidth, 100);
    EXPECT_EQ(thumb->biHeight, 75);
    for (int y = 0; y < 75; y += 7) {
      for (int x = 0; x < 100; x += 9) {
        // Each thumbnail pixel averages a 4 x 4 block of the source.
        Rgb expected = Ramp(4 * x + 2, 4 * y + 2, 400, 300);
        ExpectNear(TopDownPixel(thumb, x, y), expected, 4,
                   "fast " + std::to_string(fast) + " at " + std::to_string(x) + "," + std::to_string(y));
      }
    }
    FreeDIB(thumb);
  }
}

TEST_F(Pipeline, WrittenThumbnailReadsBackTopRowFirst) {
  Ramp400x300();
  BitmapInfoHeader* thumb = MakeThumbDIB("ramp.jpg", 100, 100, true, 0);
  ASSERT_TRUE(WriteThumbDIB(thumb, "tn_ramp_jpg.jpg", 90));
  int width = 0, height = 0;
  int32_t xPels = -1, yPels = -1;
  auto* rows = static_cast<uint8_t*>(
      ReadJpegDIB("tn_ramp_jpg.jpg", 0, &width, &height, &xPels, &yPels, false, 1, 0, 0));
  ASSERT_NE(rows, nullptr);
  EXPECT_EQ(width, 100);
  EXPECT_EQ(height, 75);
  EXPECT_EQ(xPels, 0);
  for (int y : {0, 37, 74}) {
    for (int x : {0, 50, 99}) {
      const uint8_t* p = rows + (y * 100 + x) * 3;
      ExpectNear({p[0], p[1], p[2]}, TopDownPixel(thumb, x, y), 6,
                 std::to_string(x) + "," + std::to_string(y));
    }
  }
  free(rows);
  FreeDIB(thumb);
}

TEST_F(Pipeline, SizesAndDecoderScaling) {
  struct Case {
    int width, height;
    bool fast;
    int decodedWidth, decodedHeight, thumbWidth, thumbHeight;
  };
  const Case cases[] = {
      {80, 60, true, 80, 60, 80, 60},        // fits: kept as decoded
      {1600, 1200, true, 200, 150, 100, 75}, // decoded at 1/8
      {1600, 1200, false, 1600, 1200, 100, 75},
      {300, 400, true, 150, 200, 75, 100},   // decoded at 1/2
      {400, 400, true, 200, 200, 100, 100},
  };
  for (const Case& c : cases) {
    WriteTestJpeg("a.jpg", c.width, c.height, 3, [](int, int) { return Rgb{90, 180, 30}; });
    unsigned target = c.fast ? 200 : 0;
    BitmapInfoHeader* decoded = LoadJpegDIB("a.jpg", target, target);
    ASSERT_NE(decoded, nullptr);
    EXPECT_EQ(decoded->biWidth, c.decodedWidth) << c.width << "x" << c.height;
    EXPECT_EQ(decoded->biHeight, c.decodedHeight) << c.width << "x" << c.height;
    FreeDIB(decoded);
    BitmapInfoHeader* thumb = MakeThumbDIB("a.jpg", 100, 100, c.fast, 0);
    ASSERT_NE(thumb, nullptr);
    EXPECT_EQ(thumb->biWidth, c.thumbWidth) << c.width << "x" << c.height;
    EXPECT_EQ(thumb->biHeight, c.thumbHeight) << c.width << "x" << c.height;
    ExpectNear(PixelAt(thumb, thumb->biWidth / 2, thumb->biHeight / 2), {90, 180, 30}, 3, "uniform");
    FreeDIB(thumb);
  }
}

TEST_F(Pipeline, ImageThatFitsIsNotSharpened) {
  // A sharp edge that sharpening would overshoot; it comes back as decoded.
  WriteTestJpeg("edge.jpg", 80, 60, 3, [](int x, int) { return x < 40 ? Rgb{60, 60, 60} : Rgb{200, 200, 200}; });
  BitmapInfoHeader* decoded = LoadJpegDIB("edge.jpg", 200, 200);
  BitmapInfoHeader* thumb = MakeThumbDIB("edge.jpg", 100, 100, true, 100);
  ASSERT_NE(thumb, nullptr);
  EXPECT_EQ(RowsOf(thumb), RowsOf(decoded));
  FreeDIB(decoded);
  FreeDIB(thumb);
}

TEST_F(Pipeline, ResolutionFromTheJfifDensity) {
  struct Case {
    int unit, density;
    int32_t pelsPerMeter;
  };
  for (Case c : {Case{1, 72, 2808}, Case{2, 40, 4000}, Case{0, 1, 0}}) {
    WriteTestJpeg("d.jpg", 16, 16, 3, [](int, int) { return Rgb{1, 2, 3}; }, 95, c.unit, c.density);
    BitmapInfoHeader* dib = LoadJpegDIB("d.jpg", 0, 0);
    ASSERT_NE(dib, nullptr);
    EXPECT_EQ(dib->biXPelsPerMeter, c.pelsPerMeter) << c.unit;
    EXPECT_EQ(dib->biYPelsPerMeter, c.pelsPerMeter) << c.unit;
    EXPECT_EQ(dib->biSizeImage, 48u * 16);
    FreeDIB(dib);
  }
}

// Markers that the decoder skips reach past its input buffer.
TEST_F(Pipeline, LongMarkersAreSkippedAcrossBufferRefills) {
  WriteTestJpeg("meta.jpg", 64, 48, 3, [](int, int) { return Rgb{30, 140, 250}; }, 95, 0, 0, 300000);
  testing::internal::CaptureStderr();
  BitmapInfoHeader* dib = LoadJpegDIB("meta.jpg", 0, 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");  // no corrupt-data warning
  ASSERT_NE(dib, nullptr);
  EXPECT_EQ(dib->biWidth, 64);
  EXPECT_EQ(dib->biHeight, 48);
  ExpectNear(PixelAt(dib, 32, 24), {30, 140, 250}, 3, "centre");
  FreeDIB(dib);
}

TEST_F(Pipeline, GrayscaleImagesComeOutAsRgb) {
  WriteTestJpeg("gray.jpg", 400, 200, 1, [](int x, int) { return Rgb{x < 200 ? 40 : 220, 0, 0}; });
  BitmapInfoHeader* thumb = MakeThumbDIB("gray.jpg", 100, 100, true, 0);
  ASSERT_NE(thumb, nullptr);
  EXPECT_EQ(thumb->biWidth, 100);
  EXPECT_EQ(thumb->biHeight, 50);
  ExpectNear(PixelAt(thumb, 20, 25), {40, 40, 40}, 3, "left");
  ExpectNear(PixelAt(thumb, 80, 25), {220, 220, 220}, 3, "right");
  FreeDIB(thumb);
}

TEST_F(Pipeline, UnreadableImagesGiveNoBitmapAndTheLibraryMessage) {
  WriteTestJpeg("cmyk.jpg", 64, 64, 4, [](int, int) { return Rgb{10, 20, 30}; });
  WriteTestJpeg("whole.jpg", 256, 256, 3, [](int x, int y) { return Rgb{x, y, (x * y) % 256}; });
  std::string whole = drive.Read("whole.jpg");
  drive.Write("cut.jpg", whole.substr(0, whole.size() / 2));
  drive.Write("headonly.jpg", whole.substr(0, 100));
  drive.Write("text.jpg", "GIF89a is what this really is");
  drive.Write("empty.jpg", "");
  struct Case {
    const char* name;
    const char* message;
  };
  const Case cases[] = {
      {"cmyk.jpg", "Unsupported color conversion request\n"},
      {"cut.jpg", "Premature end of JPEG file\n"},
      {"headonly.jpg", "Premature end of JPEG file\n"},
      {"text.jpg", "Not a JPEG file: starts with 0x47 0x49\n"},
      {"empty.jpg", "Empty input file\n"},
      {"missing.jpg", ""},
  };
  for (const Case& c : cases) {
    testing::internal::CaptureStderr();
    BitmapInfoHeader* dib = MakeThumbDIB(c.name, 100, 100, true, 0);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(dib, nullptr) << c.name;
    EXPECT_EQ(err, c.message) << c.name;
    FreeDIB(dib);
  }
}

TEST_F(Pipeline, ImagesOverThePixelLimitAreRefusedBeforeDecoding) {
  EXPECT_EQ(MaxImagePixels(), 100000000u);
  WriteTestJpeg("fits.jpg", 100, 50, 3, [](int x, int y) { return Ramp(x, y, 100, 50); });
  WriteTestJpeg("over.jpg", 101, 50, 3, [](int x, int y) { return Ramp(x, y, 101, 50); });
  SetMaxImagePixels(5000);
  struct Case {
    const char* name;
    bool fast;
    bool read;
    const char* message;
  } cases[] = {
      {"fits.jpg", true, true, ""},
      {"fits.jpg", false, true, ""},
      {"over.jpg", true, false, "Image of 101 x 50 pixels is over the limit of 5000 pixels\n"},
      {"over.jpg", false, false, "Image of 101 x 50 pixels is over the limit of 5000 pixels\n"},
  };
  for (const Case& c : cases) {
    testing::internal::CaptureStderr();
    BitmapInfoHeader* dib = MakeThumbDIB(c.name, 40, 40, c.fast, 0);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(dib != nullptr, c.read) << c.name << " fast " << c.fast;
    EXPECT_EQ(err, c.message) << c.name << " fast " << c.fast;
    FreeDIB(dib);
  }
  SetMaxImagePixels(kDefaultMaxImagePixels);
}

// A stored frame of four coloured quarters: red top left, green top right,
// blue bottom left, white bottom right.
const Rgb kRed{220, 30, 30}, kGreen{30, 200, 40}, kBlue{30, 40, 210}, kWhite{250, 250, 250};
Rgb Quarter(int x, int y, int width, int height) {
  bool left = x < width / 2, top = y < height / 2;
  return top ? (left ? kRed : kGreen) : (left ? kBlue : kWhite);
}

// The corners of the picture a viewer shows for each orientation of that
// frame: top left, top right, bottom left, bottom right.
struct ShownCorners {
  int orientation;
  Rgb topLeft, topRight, bottomLeft, bottomRight;
};
const ShownCorners kShownCorners[] = {
    {1, kRed, kGreen, kBlue, kWhite},  {2, kGreen, kRed, kWhite, kBlue},
    {3, kWhite, kBlue, kGreen, kRed},  {4, kBlue, kWhite, kRed, kGreen},
    {5, kRed, kBlue, kGreen, kWhite},  {6, kBlue, kRed, kWhite, kGreen},
    {7, kWhite, kGreen, kBlue, kRed},  {8, kGreen, kWhite, kRed, kBlue},
};

void ExpectCorners(const BitmapInfoHeader* thumb, const ShownCorners& c, const std::string& where) {
  int right = thumb->biWidth - 3, bottom = thumb->biHeight - 3;
  ExpectNear(TopDownPixel(thumb, 2, 2), c.topLeft, 40, where + " top left");
  ExpectNear(TopDownPixel(thumb, right, 2), c.topRight, 40, where + " top right");
  ExpectNear(TopDownPixel(thumb, 2, bottom), c.bottomLeft, 40, where + " bottom left");
  ExpectNear(TopDownPixel(thumb, right, bottom), c.bottomRight, 40, where + " bottom right");
}

TEST_F(Pipeline, OrientedPhotographsComeOutUpright) {
  WriteTestJpeg("stored.jpg", 400, 300, 3, [](int x, int y) { return Quarter(x, y, 400, 300); });
  const std::string stored = drive.Read("stored.jpg");
  for (const ShownCorners& c : kShownCorners) {
    for (bool bigEndian : {true, false}) {
      drive.Write("photo.jpg", WithOrientation(stored, c.orientation, bigEndian));
      for (bool fast : {true, false}) {
        std::string where = "orientation " + std::to_string(c.orientation) +
                            (bigEndian ? " MM" : " II") + (fast ? " fast" : "");
        // Shown 400 x 300 or, on its side, 300 x 400; fitted into 120 x 90.
        BitmapInfoHeader* thumb = MakeThumbDIB("photo.jpg", 120, 90, fast, 0);
        ASSERT_NE(thumb, nullptr) << where;
        EXPECT_EQ(thumb->biWidth, c.orientation >= 5 ? 67 : 120) << where;
        EXPECT_EQ(thumb->biHeight, 90) << where;
        ExpectCorners(thumb, c, where);
        FreeDIB(thumb);
      }
    }
  }
}

TEST_F(Pipeline, OrientedPhotographThatFitsIsOnlyTurned) {
  WriteTestJpeg("small.jpg", 60, 40, 3, [](int x, int y) { return Quarter(x, y, 60, 40); });
  drive.Write("small6.jpg", WithOrientation(drive.Read("small.jpg"), 6));
  BitmapInfoHeader* thumb = MakeThumbDIB("small6.jpg", 50, 100, true, 100);
  ASSERT_NE(thumb, nullptr);
  BitmapInfoHeader* turned = OrientDIB(LoadJpegDIB("small.jpg", 0, 0), 6);
  EXPECT_EQ(thumb->biWidth, 40);
  EXPECT_EQ(thumb->biHeight, 60);
  EXPECT_EQ(RowsOf(thumb), RowsOf(turned));
  FreeDIB(thumb);
  FreeDIB(turned);
}

TEST_F(Pipeline, PhotographShownAsStoredGivesTheSameThumbnail) {
  WriteTestJpeg("plain.jpg", 400, 300, 3, [](int x, int y) { return Ramp(x, y, 400, 300); });
  const std::string plain = drive.Read("plain.jpg");
  drive.Write("one.jpg", WithOrientation(plain, 1, false));
  drive.Write("damaged.jpg", plain.substr(0, 2) + App1Segment(std::string("Exif\0\0MM\0*\0\0\0\xFF", 14)) +
                                 plain.substr(2));
  drive.Write("nine.jpg", WithOrientation(plain, 9));
  for (bool fast : {true, false}) {
    BitmapInfoHeader* expected = MakeThumbDIB("plain.jpg", 100, 100, fast, 0);
    ASSERT_NE(expected, nullptr);
    for (const char* name : {"one.jpg", "damaged.jpg", "nine.jpg"}) {
      BitmapInfoHeader* thumb = MakeThumbDIB(name, 100, 100, fast, 0);
      ASSERT_NE(thumb, nullptr) << name;
      EXPECT_EQ(RowsOf(thumb), RowsOf(expected)) << name << " fast " << fast;
      FreeDIB(thumb);
    }
    FreeDIB(expected);
  }
}

TEST_F(Pipeline, WriteFailsWithoutLeavingAFile) {
  BitmapInfoHeader* dib = MakeDIB(4, 4, [](int, int) { return Rgb{0, 0, 0}; });
  EXPECT_FALSE(WriteThumbDIB(dib, "nowhere\\tn_a_jpg.jpg", 75));
  EXPECT_FALSE(drive.Exists("nowhere"));
  FreeDIB(dib);
}

}  // namespace
