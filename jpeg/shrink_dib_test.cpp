#include "jpeg/shrink_dib.h"

#include <gtest/gtest.h>

#include <vector>

#include "jpeg/testing/dib_fixtures.h"

namespace {

struct SumCase {
  std::vector<int> row;  // channel values, 3 per pixel
  int targetWidth;
  int64_t verticalWeight;
  std::vector<int64_t> sums;
};

TEST(AddRowToSums, SplitsPixelWeightsAtColumnBoundaries) {
  const SumCase cases[] = {
      // 3 pixels into 2 columns: weights 2 | 1+1 | 2.
      {{10, 20, 30, 40, 50, 60, 70, 80, 90}, 2, 1, {60, 90, 120, 180, 210, 240}},
      // The vertical weight multiplies every contribution.
      {{10, 20, 30, 40, 50, 60, 70, 80, 90}, 2, 3, {180, 270, 360, 540, 630, 720}},
      // 4 pixels into 2 columns: each pixel whole in one column.
      {{1, 2, 3, 5, 6, 7, 9, 10, 11, 13, 14, 15}, 2, 1, {12, 16, 20, 44, 48, 52}},
      // 5 pixels into 3 columns: 3 | 2+1 | 3 | 1+2 | 3 (each column 5 units).
      {{10, 0, 0, 20, 0, 0, 30, 0, 0, 40, 0, 0, 50, 0, 0}, 3, 1, {70, 0, 0, 150, 0, 0, 230, 0, 0}},
      // Same width: every pixel into its own column with weight W.
      {{7, 8, 9, 1, 2, 3}, 2, 1, {14, 16, 18, 2, 4, 6}},
      // Everything into one column.
      {{255, 255, 255, 255, 255, 255, 255, 255, 255}, 1, 2, {1530, 1530, 1530}},
  };
  for (const SumCase& c : cases) {
    std::vector<int64_t> sums(static_cast<size_t>(c.targetWidth) * 3, 0);
    std::vector<uint8_t> row(c.row.begin(), c.row.end());
    AddRowToSums(sums.data(), c.targetWidth, row.data(), static_cast<int>(row.size() / 3),
                 c.verticalWeight);
    EXPECT_EQ(sums, c.sums) << "row of " << row.size() / 3 << " into " << c.targetWidth;
  }
}

struct ShrinkCase {
  const char* name;
  std::vector<std::vector<int>> source;  // rows in memory order
  int width, height;
  std::vector<std::vector<int>> expected;
};

TEST(ShrinkDIB, AveragesAreasWithTruncation) {
  const ShrinkCase cases[] = {
      {"2x2 to 1x1", {{0, 10, 255, 100, 20, 255}, {200, 30, 255, 3, 40, 254}}, 1, 1,
       {{75, 25, 254}}},
      // Rows split 2 | 1+1 | 2 in memory order: (2*r0 + r1) / 3 and (r1 + 2*r2) / 3.
      {"1x3 to 1x2", {{0, 1, 90}, {1, 2, 90}, {0, 0, 0}}, 1, 2,
       {{0, 1, 90}, {0, 0, 30}}},
      {"3x1 to 2x1", {{10, 20, 30, 40, 50, 60, 70, 80, 90}}, 2, 1, {{20, 30, 40, 60, 70, 80}}},
      {"3x3 to 2x2",
       {{9, 0, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 90, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0, 255}},
       2, 2, {{14, 0, 0, 10, 0, 0}, {10, 0, 0, 10, 0, 113}}},
      {"same size keeps pixels", {{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}}, 2, 2,
       {{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}}},
  };
  for (const ShrinkCase& c : cases) {
    BitmapInfoHeader* dib = ShrinkDIB(DIBFromRows(c.source), c.width, c.height);
    ASSERT_NE(dib, nullptr) << c.name;
    EXPECT_EQ(dib->biWidth, c.width) << c.name;
    EXPECT_EQ(dib->biHeight, c.height) << c.name;
    EXPECT_EQ(RowsOf(dib), c.expected) << c.name;
    FreeDIB(dib);
  }
}

TEST(ShrinkDIB, FillsTheNewHeaderAndKeepsTheResolution) {
  BitmapInfoHeader* source = MakeDIB(7, 5, [](int, int) { return Rgb{1, 2, 3}; });
  source->biXPelsPerMeter = 2808;
  source->biYPelsPerMeter = 3900;
  BitmapInfoHeader* dib = ShrinkDIB(source, 3, 2);
  EXPECT_EQ(dib->biSize, 40u);
  EXPECT_EQ(dib->biWidth, 3);
  EXPECT_EQ(dib->biHeight, 2);
  EXPECT_EQ(dib->biPlanes, 1);
  EXPECT_EQ(dib->biBitCount, 24);
  EXPECT_EQ(dib->biCompression, BI_RGB);
  EXPECT_EQ(dib->biSizeImage, 12u * 2);  // 9 bytes a row, padded to 12
  EXPECT_EQ(dib->biXPelsPerMeter, 2808);
  EXPECT_EQ(dib->biYPelsPerMeter, 3900);
  EXPECT_EQ(dib->biClrUsed, 0u);
  EXPECT_EQ(dib->biClrImportant, 0u);
  EXPECT_EQ(RowsOf(dib), (std::vector<std::vector<int>>(2, {1, 2, 3, 1, 2, 3, 1, 2, 3})));
  FreeDIB(dib);
}

TEST(ShrinkDIB, ReturnsASmallerInputUnchanged) {
  BitmapInfoHeader* source = MakeDIB(3, 4, [](int x, int y) { return Rgb{x, y, 0}; });
  EXPECT_EQ(ShrinkDIB(source, 4, 2), source);
  EXPECT_EQ(ShrinkDIB(source, 2, 5), source);
  EXPECT_EQ(source->biWidth, 3);
  FreeDIB(source);
}

TEST(ShrinkDIB, UniformStaysUniformForOddRatios) {
  BitmapInfoHeader* dib = MakeDIB(97, 61, [](int, int) { return Rgb{200, 17, 255}; });
  dib = ShrinkDIB(dib, 13, 11);
  for (int y = 0; y < 11; ++y) {
    for (int x = 0; x < 13; ++x) ASSERT_EQ(PixelAt(dib, x, y), (Rgb{200, 17, 255}));
  }
  FreeDIB(dib);
}

// More than 8,421,504 white pixels into one: the channel sums pass 2^31.
TEST(ShrinkDIB, LargeSourcesDoNotOverflowTheSums) {
  BitmapInfoHeader* dib = MakeDIB(4000, 2200, [](int, int) { return Rgb{255, 255, 128}; });
  dib = ShrinkDIB(dib, 1, 1);
  EXPECT_EQ(PixelAt(dib, 0, 0), (Rgb{255, 255, 128}));
  FreeDIB(dib);
}

}  // namespace
