#include "jpeg/make_thumb.h"

#include <gtest/gtest.h>

#include "jpeg/read_jpeg.h"

namespace {

struct FitCase {
  int width, height;
  unsigned maxWidth, maxHeight;
  int expectedWidth, expectedHeight;
};

TEST(FitThumbSize, KeepsTheAspectRatio) {
  const FitCase cases[] = {
      {400, 300, 100, 100, 100, 75},
      {300, 400, 100, 100, 75, 100},
      {400, 400, 100, 100, 100, 100},  // tie fits the height
      {200, 150, 100, 100, 100, 75},
      {333, 100, 100, 100, 100, 30},   // 30.03 truncates
      {1000, 3, 100, 100, 100, 1},     // 0.3 becomes 1
      {3, 1000, 100, 100, 1, 100},
      {640, 480, 160, 90, 120, 90},
      {640, 480, 0, 0, 1, 1},
  };
  for (const FitCase& c : cases) {
    ThumbSize size = FitThumbSize(c.width, c.height, c.maxWidth, c.maxHeight);
    EXPECT_EQ(size.width, c.expectedWidth) << c.width << "x" << c.height;
    EXPECT_EQ(size.height, c.expectedHeight) << c.width << "x" << c.height;
  }
}

TEST(FitThumbSize, LargeMaximaDoNotOverflow) {
  ThumbSize size = FitThumbSize(60000, 40000, 4000000000u, 90000u);
  EXPECT_EQ(size.width, 135000);
  EXPECT_EQ(size.height, 90000);
}

struct DenomCase {
  unsigned width, height, targetWidth, targetHeight, denom;
};

TEST(DecoderScaleDenom, HalvesUntilTheTargetsHold) {
  const DenomCase cases[] = {
      {1600, 1200, 200, 200, 8},   // 400 x 300 is still larger than 200 x 200
      {3000, 2000, 200, 200, 16},  // the decoder takes 16 as 8
      {400, 300, 200, 200, 2},
      {401, 300, 200, 200, 2},     // 401 / 2 truncates to 200, which fits
      {402, 300, 200, 200, 4},
      {160, 120, 200, 200, 1},
      {100000, 10, 200, 200, 16},
      {1600, 1200, 0, 200, 1},     // no scaling without both targets
      {1600, 1200, 200, 0, 1},
  };
  for (const DenomCase& c : cases) {
    EXPECT_EQ(DecoderScaleDenom(c.width, c.height, c.targetWidth, c.targetHeight), c.denom)
        << c.width << "x" << c.height << " for " << c.targetWidth << "x" << c.targetHeight;
  }
}

TEST(EffectiveSharpness, DefaultsAndLimits) {
  const int cases[][2] = {{0, 10}, {-5, 10}, {1, 1}, {55, 55}, {100, 100}, {101, 100}, {100000, 100}};
  for (const auto& c : cases) EXPECT_EQ(EffectiveSharpness(c[0]), c[1]) << c[0];
}

}  // namespace
