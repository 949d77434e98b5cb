#include "jpeg/make_thumb.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <utility>

#include "jpeg/orient_dib.h"
#include "jpeg/read_jpeg.h"
#include "jpeg/sharpen_dib.h"
#include "jpeg/shrink_dib.h"
#include "shared/image_size.h"

namespace {

// Twice a maximum side, the decoder's target in fast mode.
unsigned DecoderTarget(unsigned side) {
  return static_cast<unsigned>(std::min<uint64_t>(2ull * side, UINT_MAX));
}

int AtLeastOne(uint64_t side) { return static_cast<int>(std::max<uint64_t>(side, 1)); }

// The orientation the picture is shown in; as stored when its headers
// cannot be read (the decoder then says what is wrong).
int ShownOrientation(const char* path) {
  uint32_t width, height;
  int orientation = kOrientationAsStored;
  if (!JpegStoredSize(path, &width, &height, &orientation)) return kOrientationAsStored;
  return orientation;
}

// Fits, shrinks and sharpens the decoded frame for a box of maxWidth x
// maxHeight given in the frame's own orientation.
BitmapInfoHeader* FitFrame(BitmapInfoHeader* dib, unsigned maxWidth, unsigned maxHeight,
                           int sharpness) {
  unsigned width = static_cast<unsigned>(dib->biWidth), height = static_cast<unsigned>(dib->biHeight);
  if (maxHeight >= height && maxWidth >= width) return dib;
  ThumbSize size = FitThumbSize(dib->biWidth, dib->biHeight, maxWidth, maxHeight);
  dib = ShrinkDIB(dib, size.width, size.height);
  return dib ? SharpenDIB(dib, sharpness) : nullptr;
}

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
  // A picture shown on its side fits the box turned with it; the small
  // thumbnail is turned upright last, so the turn costs next to nothing.
  int orientation = ShownOrientation(path);
  if (SwapsSides(orientation)) std::swap(maxWidth, maxHeight);
  BitmapInfoHeader* dib = fast ? LoadJpegDIB(path, DecoderTarget(maxWidth), DecoderTarget(maxHeight))
                               : LoadJpegDIB(path, 0, 0);
  if (!dib) return nullptr;
  dib = FitFrame(dib, maxWidth, maxHeight, EffectiveSharpness(sharpness));
  return dib ? OrientDIB(dib, orientation) : nullptr;
}
