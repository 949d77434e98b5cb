#include "jpeg/sharpen_dib.h"

#include <gtest/gtest.h>

#include "jpeg/testing/dib_fixtures.h"

namespace {

struct ValueCase {
  int centre, neighbourSum, sharpness, expected;
};

TEST(SharpenValue, KernelStrengthFollowsSharpness) {
  const ValueCase cases[] = {
      {100, 880, 1, 99},    // k = 100: (109 c - n) / 101
      {100, 880, 10, 92},   // k = 10: (19 c - n) / 11
      {100, 880, 33, 80},   // k = 3
      {100, 880, 34, 73},   // k = 2 from 34 ...
      {100, 880, 50, 73},   // ... to 50
      {100, 880, 51, 60},   // k = 1 from 51 on
      {100, 880, 100, 60},
      {50, 401, 10, 49},    // 549 / 11 truncates
      {10, 80, 100, 10},    // flat neighbourhood keeps its value
      {200, 800, 100, 255}, // clamped high
      {0, 2040, 100, 0},    // clamped low
      {255, 0, 1, 255},
  };
  for (const ValueCase& c : cases) {
    EXPECT_EQ(SharpenValue(c.centre, c.neighbourSum, c.sharpness), c.expected)
        << c.centre << " " << c.neighbourSum << " " << c.sharpness;
  }
}

TEST(SharpenDIB, SharpensInnerPixelsFromTheSourceOnly) {
  // Red row in the middle: 0 10 20 0; green 0; blue 255 everywhere.
  BitmapInfoHeader* source = DIBFromRows({
      {0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 255},
      {0, 0, 255, 10, 0, 255, 20, 0, 255, 0, 0, 255},
      {0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 255},
  });
  source->biXPelsPerMeter = 3900;
  BitmapInfoHeader* dib = SharpenDIB(source, 100);
  // (1,1): (10 * 10 - 20) / 2; (2,1): (10 * 20 - 10) / 2, from the source's 10.
  EXPECT_EQ(RowsOf(dib), (std::vector<std::vector<int>>{
                             {0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 255},
                             {0, 0, 255, 40, 0, 255, 95, 0, 255, 0, 0, 255},
                             {0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 255},
                         }));
  EXPECT_EQ(dib->biXPelsPerMeter, 3900);
  EXPECT_EQ(dib->biWidth, 4);
  EXPECT_EQ(dib->biHeight, 3);
  FreeDIB(dib);
}

TEST(SharpenDIB, BordersAndThinBitmapsStayUnchanged) {
  struct Size {
    int width, height;
  };
  auto noise = [](int x, int y) { return Rgb{(x * 37 + y * 91) % 256, (x * y * 13) % 256, (x + y) % 2 * 255}; };
  for (Size size : {Size{1, 1}, Size{2, 5}, Size{5, 2}, Size{1, 4}, Size{6, 5}}) {
    BitmapInfoHeader* dib = SharpenDIB(MakeDIB(size.width, size.height, noise), 1);
    for (int y = 0; y < size.height; ++y) {
      for (int x = 0; x < size.width; ++x) {
        bool border = x == 0 || y == 0 || x == size.width - 1 || y == size.height - 1;
        if (border) {
          EXPECT_EQ(PixelAt(dib, x, y), noise(x, y)) << x << "," << y;
        }
      }
    }
    FreeDIB(dib);
  }
}

TEST(SharpenDIB, UniformStaysUniform) {
  for (int sharpness : {1, 10, 34, 100}) {
    BitmapInfoHeader* dib = SharpenDIB(MakeDIB(9, 7, [](int, int) { return Rgb{77, 0, 255}; }), sharpness);
    for (int y = 0; y < 7; ++y) {
      for (int x = 0; x < 9; ++x) ASSERT_EQ(PixelAt(dib, x, y), (Rgb{77, 0, 255})) << sharpness;
    }
    FreeDIB(dib);
  }
}

}  // namespace
