#include "jpeg/orient_dib.h"

#include <gtest/gtest.h>

#include <string>

#include "jpeg/testing/dib_fixtures.h"

namespace {

// The stored frame, 3 x 2 pixels, each a letter seen from the top:
//   a b c
//   d e f
const char kStored[] = "abcdef";

Rgb LetterColour(char letter) { return {10 * (letter - 'a' + 1), 200 - letter, 7}; }

BitmapInfoHeader* StoredFrame() {
  // MakeDIB counts rows in memory order, bottom row first.
  return MakeDIB(3, 2, [](int x, int y) { return LetterColour(kStored[(1 - y) * 3 + x]); });
}

// The letters of a bitmap from its top row, rows separated by '/'.
std::string Letters(const BitmapInfoHeader* dib) {
  std::string text;
  for (int y = dib->biHeight - 1; y >= 0; --y) {
    if (!text.empty()) text += '/';
    for (int x = 0; x < dib->biWidth; ++x) {
      Rgb p = PixelAt(dib, x, y);
      text += static_cast<char>('a' + p.r / 10 - 1);
    }
  }
  return text;
}

TEST(OrientDIB, ShowsEachOrientationUpright) {
  // What a viewer shows of the frame for each EXIF orientation.
  const struct {
    int orientation;
    const char* shown;
  } cases[] = {
      {1, "abc/def"},          // as stored
      {2, "cba/fed"},          // mirrored left to right
      {3, "fed/cba"},          // upside down
      {4, "def/abc"},          // mirrored top to bottom
      {5, "ad/be/cf"},         // mirrored along the diagonal from the top left
      {6, "da/eb/fc"},         // turned clockwise
      {7, "fc/eb/da"},         // mirrored along the other diagonal
      {8, "cf/be/ad"},         // turned anticlockwise
      {0, "abc/def"},          // out of range: as stored
      {9, "abc/def"},
  };
  for (const auto& c : cases) {
    BitmapInfoHeader* dib = StoredFrame();
    dib->biXPelsPerMeter = 2835;
    dib->biYPelsPerMeter = 1417;
    BitmapInfoHeader* shown = OrientDIB(dib, c.orientation);
    ASSERT_NE(shown, nullptr) << c.orientation;
    EXPECT_EQ(Letters(shown), c.shown) << c.orientation;
    bool sideways = c.orientation >= 5 && c.orientation <= 8;
    EXPECT_EQ(shown->biXPelsPerMeter, sideways ? 1417 : 2835) << c.orientation;
    EXPECT_EQ(shown->biYPelsPerMeter, sideways ? 2835 : 1417) << c.orientation;
    EXPECT_EQ(shown->biSizeImage, RowStride(shown->biWidth) * shown->biHeight) << c.orientation;
    EXPECT_EQ(PixelAt(shown, 0, shown->biHeight - 1), LetterColour(c.shown[0])) << c.orientation;
    FreeDIB(shown);
  }
}

TEST(OrientDIB, OneAndTwoPixelPictures) {
  BitmapInfoHeader* one = MakeDIB(1, 1, [](int, int) { return Rgb{9, 8, 7}; });
  one = OrientDIB(one, 6);
  ASSERT_NE(one, nullptr);
  EXPECT_EQ(one->biWidth, 1);
  EXPECT_EQ(PixelAt(one, 0, 0), (Rgb{9, 8, 7}));
  FreeDIB(one);
  BitmapInfoHeader* row = MakeDIB(2, 1, [](int x, int) { return Rgb{x, 0, 0}; });
  row = OrientDIB(row, 8);
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(row->biWidth, 1);
  EXPECT_EQ(row->biHeight, 2);
  // Turned anticlockwise, the right end of the row is on top.
  EXPECT_EQ(PixelAt(row, 0, 1), (Rgb{1, 0, 0}));
  EXPECT_EQ(PixelAt(row, 0, 0), (Rgb{0, 0, 0}));
  FreeDIB(row);
}

}  // namespace
