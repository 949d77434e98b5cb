#include "jpeg/sharpen_dib.h"

#include <cstring>

#include "platform/assert.h"

uint8_t SharpenValue(int centre, int neighbourSum, int sharpness) {
  int k = 100 / sharpness;
  int v = ((k + 9) * centre - neighbourSum) / (k + 1);
  if (v < 0) return 0;
  if (v > 255) return 255;
  return static_cast<uint8_t>(v);
}

namespace {

// Sharpens the inner pixels of one row from the three source rows around it.
void SharpenRow(uint8_t* out, const uint8_t* below, const uint8_t* row, const uint8_t* above,
                int width, int sharpness) {
  for (int i = 3; i < (width - 1) * 3; ++i) {
    int neighbours = below[i - 3] + below[i] + below[i + 3] + row[i - 3] + row[i + 3] +
                     above[i - 3] + above[i] + above[i + 3];
    out[i] = SharpenValue(row[i], neighbours, sharpness);
  }
}

}  // namespace

BitmapInfoHeader* SharpenDIB(BitmapInfoHeader* pSrcDIB, int sharpness) {
  WEFT_ASSERT(pSrcDIB);
  WEFT_ASSERT(pSrcDIB->biPlanes == 1);
  WEFT_ASSERT(pSrcDIB->biBitCount == 24);
  WEFT_ASSERT(pSrcDIB->biCompression == BI_RGB);
  if (sharpness < 1) sharpness = 1;
  int width = pSrcDIB->biWidth, height = pSrcDIB->biHeight;
  BitmapInfoHeader* dib = NewDIB(width, height);
  if (!dib) {
    FreeDIB(pSrcDIB);
    return nullptr;
  }
  *dib = *pSrcDIB;
  size_t stride = RowStride(static_cast<size_t>(width));
  memcpy(DIBPixels(dib), DIBPixels(pSrcDIB), stride * static_cast<size_t>(height));
  for (int y = 1; y < height - 1; ++y) {
    SharpenRow(DIBRow(dib, y), DIBRow(pSrcDIB, y - 1), DIBRow(pSrcDIB, y), DIBRow(pSrcDIB, y + 1),
               width, sharpness);
  }
  FreeDIB(pSrcDIB);
  return dib;
}
