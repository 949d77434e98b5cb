#include "jpeg/make_thumb.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "jpeg/read_jpeg.h"
#include "jpeg/sharpen_dib.h"
#include "jpeg/shrink_dib.h"

namespace {

// Twice a maximum side, the decoder's target in fast mode.
unsigned DecoderTarget(unsigned side) {
  return static_cast<unsigned>(std::min<uint64_t>(2ull * side, UINT_MAX));
}

int AtLeastOne(uint64_t side) { return static_cast<int>(std::max<uint64_t>(side, 1)); }

}  // namespace

ThumbSize FitThumbSize(int width, int height, unsigned maxWidth, unsigned maxHeight) {
  uint64_t w = static_cast<uint64_t>(width), h = static_cast<uint64_t>(height);
  if (uint64_t{maxWidth} * h < uint64_t{maxHeight} * w) {
    return {AtLeastOne(maxWidth), AtLeastOne(maxWidth * h / w)};
  }
  return {AtLeastOne(maxHeight * w / h), AtLeastOne(maxHeight)};
}

int EffectiveSharpness(int sharpness) {
  if (sharpness <= 0) return 10;
  return std::min(sharpness, 100);
}

BitmapInfoHeader* MakeThumbDIB(const char* path, unsigned maxWidth, unsigned maxHeight, bool fast,
                               int sharpness) {
  BitmapInfoHeader* dib = fast ? LoadJpegDIB(path, DecoderTarget(maxWidth), DecoderTarget(maxHeight))
                               : LoadJpegDIB(path, 0, 0);
  if (!dib) return nullptr;
  sharpness = EffectiveSharpness(sharpness);
  unsigned width = static_cast<unsigned>(dib->biWidth), height = static_cast<unsigned>(dib->biHeight);
  if (maxHeight >= height && maxWidth >= width) return dib;
  ThumbSize size = FitThumbSize(dib->biWidth, dib->biHeight, maxWidth, maxHeight);
  dib = ShrinkDIB(dib, size.width, size.height);
  return dib ? SharpenDIB(dib, sharpness) : nullptr;
}
