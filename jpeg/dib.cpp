#include "jpeg/dib.h"

#include <cstdlib>
#include <limits>

size_t RowStride(size_t width, size_t alignment) {
  if (alignment == 0) alignment = 1;
  constexpr size_t kMax = std::numeric_limits<size_t>::max();
  if (width > (kMax - alignment) / 3) return 0;
  size_t bytes = width * 3;
  return (bytes + alignment - 1) / alignment * alignment;
}

BitmapInfoHeader* NewDIB(int width, int height, int32_t xPelsPerMeter, int32_t yPelsPerMeter) {
  if (width < 1 || height < 1) return nullptr;
  size_t stride = RowStride(static_cast<size_t>(width));
  if (stride == 0 || stride > (UINT32_MAX - sizeof(BitmapInfoHeader)) / static_cast<size_t>(height)) {
    return nullptr;
  }
  size_t imageSize = stride * static_cast<size_t>(height);
  auto* dib = static_cast<BitmapInfoHeader*>(malloc(sizeof(BitmapInfoHeader) + imageSize));
  if (!dib) return nullptr;
  FillDIBHeader(dib, width, height, xPelsPerMeter, yPelsPerMeter);
  return dib;
}

void FillDIBHeader(BitmapInfoHeader* dib, int width, int height, int32_t xPelsPerMeter,
                   int32_t yPelsPerMeter) {
  *dib = BitmapInfoHeader{};
  dib->biSize = sizeof(BitmapInfoHeader);
  dib->biWidth = width;
  dib->biHeight = height;
  dib->biPlanes = 1;
  dib->biBitCount = 24;
  dib->biCompression = BI_RGB;
  dib->biSizeImage =
      static_cast<uint32_t>(RowStride(static_cast<size_t>(width)) * static_cast<size_t>(height));
  dib->biXPelsPerMeter = xPelsPerMeter;
  dib->biYPelsPerMeter = yPelsPerMeter;
}

void FreeDIB(BitmapInfoHeader* dib) { free(dib); }

uint8_t* DIBPixels(BitmapInfoHeader* dib) { return reinterpret_cast<uint8_t*>(dib + 1); }

const uint8_t* DIBPixels(const BitmapInfoHeader* dib) {
  return reinterpret_cast<const uint8_t*>(dib + 1);
}

uint8_t* DIBRow(BitmapInfoHeader* dib, int y) {
  return DIBPixels(dib) + RowStride(static_cast<size_t>(dib->biWidth)) * static_cast<size_t>(y);
}

const uint8_t* DIBRow(const BitmapInfoHeader* dib, int y) {
  return DIBPixels(dib) + RowStride(static_cast<size_t>(dib->biWidth)) * static_cast<size_t>(y);
}
