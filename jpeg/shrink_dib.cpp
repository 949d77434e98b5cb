#include "jpeg/shrink_dib.h"

#include <cstring>
#include <vector>

#include "platform/assert.h"

namespace {

void AssertBitmap(const BitmapInfoHeader* pSrcDIB) {
  WEFT_ASSERT(pSrcDIB);
  WEFT_ASSERT(pSrcDIB->biPlanes == 1);
  WEFT_ASSERT(pSrcDIB->biBitCount == 24);
  WEFT_ASSERT(pSrcDIB->biCompression == BI_RGB);
}

void AddPixel(int64_t* sum, const uint8_t* pixel, int64_t weight) {
  if (weight == 0) return;
  sum[0] += pixel[0] * weight;
  sum[1] += pixel[1] * weight;
  sum[2] += pixel[2] * weight;
}

// Writes one target row from the sums (each divided by the whole weight).
void EmitRow(uint8_t* row, const std::vector<int64_t>& sums, int64_t totalWeight) {
  for (size_t i = 0; i < sums.size(); ++i) row[i] = static_cast<uint8_t>(sums[i] / totalWeight);
}

}  // namespace

void AddRowToSums(int64_t* sums, int targetWidth, const uint8_t* row, int sourceWidth,
                  int64_t verticalWeight) {
  // Each source pixel covers targetWidth units, each target column
  // sourceWidth units; a pixel that crosses a column boundary splits its
  // weight between the two columns.
  int64_t offset = 0;
  int column = 0;
  for (int x = 0; x < sourceWidth; ++x, row += 3) {
    if (offset + targetWidth < sourceWidth) {
      AddPixel(sums + 3 * column, row, targetWidth * verticalWeight);
      offset += targetWidth;
      continue;
    }
    AddPixel(sums + 3 * column, row, (sourceWidth - offset) * verticalWeight);
    offset = offset + targetWidth - sourceWidth;
    if (++column < targetWidth) AddPixel(sums + 3 * column, row, offset * verticalWeight);
  }
}

BitmapInfoHeader* ShrinkDIB(BitmapInfoHeader* pSrcDIB, int width, int height) {
  AssertBitmap(pSrcDIB);
  int sourceWidth = pSrcDIB->biWidth, sourceHeight = pSrcDIB->biHeight;
  if (sourceWidth < width || sourceHeight < height) return pSrcDIB;
  BitmapInfoHeader* dib =
      NewDIB(width, height, pSrcDIB->biXPelsPerMeter, pSrcDIB->biYPelsPerMeter);
  if (!dib) {
    FreeDIB(pSrcDIB);
    return nullptr;
  }
  // Rows split the same way: each source row covers `height` units, each
  // target row `sourceHeight` units.
  std::vector<int64_t> sums(static_cast<size_t>(width) * 3, 0);
  int64_t totalWeight = static_cast<int64_t>(sourceWidth) * sourceHeight;
  int64_t offset = 0;
  int target = 0;
  for (int y = 0; y < sourceHeight; ++y) {
    const uint8_t* row = DIBRow(pSrcDIB, y);
    if (offset + height < sourceHeight) {
      AddRowToSums(sums.data(), width, row, sourceWidth, height);
      offset += height;
      continue;
    }
    AddRowToSums(sums.data(), width, row, sourceWidth, sourceHeight - offset);
    EmitRow(DIBRow(dib, target), sums, totalWeight);
    std::fill(sums.begin(), sums.end(), 0);
    offset = offset + height - sourceHeight;
    if (++target < height && offset) AddRowToSums(sums.data(), width, row, sourceWidth, offset);
  }
  FreeDIB(pSrcDIB);
  return dib;
}
