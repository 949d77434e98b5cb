// The packed bitmap that travels between the thumbnail steps: a Windows
// bitmap information header followed by 24-bit RGB rows, in one heap block.
#pragma once

#include <cstddef>
#include <cstdint>

// BITMAPINFOHEADER, 40 bytes, little-endian as stored.
struct BitmapInfoHeader {
  uint32_t biSize;
  int32_t biWidth;
  int32_t biHeight;  // positive: rows stored bottom-up
  uint16_t biPlanes;
  uint16_t biBitCount;
  uint32_t biCompression;
  uint32_t biSizeImage;
  int32_t biXPelsPerMeter;
  int32_t biYPelsPerMeter;
  uint32_t biClrUsed;
  uint32_t biClrImportant;
};
static_assert(sizeof(BitmapInfoHeader) == 40, "the header is 40 bytes");

constexpr uint32_t BI_RGB = 0;

// Bytes per row of `width` 24-bit pixels rounded up to a multiple of
// `alignment` (4 for bitmaps); 0 when it does not fit a size_t.
size_t RowStride(size_t width, size_t alignment = 4);

// A new bitmap of width x height (both at least 1) with its header filled
// (bottom-up, 24 bits, BI_RGB, the given resolution); pixels not cleared.
// Null when the size is out of range or memory runs out.
BitmapInfoHeader* NewDIB(int width, int height, int32_t xPelsPerMeter = 0,
                         int32_t yPelsPerMeter = 0);
void FreeDIB(BitmapInfoHeader* dib);

// Fills the header of a bitmap of width x height as NewDIB does (the image
// size from RowStride).
void FillDIBHeader(BitmapInfoHeader* dib, int width, int height, int32_t xPelsPerMeter,
                   int32_t yPelsPerMeter);

// The pixel rows that follow the header.
uint8_t* DIBPixels(BitmapInfoHeader* dib);
const uint8_t* DIBPixels(const BitmapInfoHeader* dib);
// Row `y` in memory order (0 is the bottom image row of a bottom-up bitmap).
uint8_t* DIBRow(BitmapInfoHeader* dib, int y);
const uint8_t* DIBRow(const BitmapInfoHeader* dib, int y);
