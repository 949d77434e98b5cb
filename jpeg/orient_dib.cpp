#include "jpeg/orient_dib.h"

#include <cstring>

#include "platform/assert.h"

namespace {

struct Point {
  int x, y;
};

// The stored pixel shown at (x, y) of the upright picture, both counted
// from the top left; `width` and `height` are the stored frame's.
Point StoredPoint(int orientation, int x, int y, int width, int height) {
  switch (orientation) {
    case 2: return {width - 1 - x, y};               // mirrored left to right
    case 3: return {width - 1 - x, height - 1 - y};  // upside down
    case 4: return {x, height - 1 - y};              // mirrored top to bottom
    case 5: return {y, x};                           // mirrored along the diagonal
    case 6: return {y, height - 1 - x};              // to be turned clockwise
    case 7: return {width - 1 - y, height - 1 - x};  // mirrored along the other diagonal
    case 8: return {width - 1 - y, x};               // to be turned anticlockwise
    default: return {x, y};
  }
}

// A pixel by its position from the top row of a bottom-up bitmap.
const uint8_t* TopDownPixel(const BitmapInfoHeader* dib, Point p) {
  return DIBRow(dib, dib->biHeight - 1 - p.y) + 3 * p.x;
}

}  // namespace

BitmapInfoHeader* OrientDIB(BitmapInfoHeader* dib, int orientation) {
  WEFT_ASSERT(dib);
  if (orientation < 2 || orientation > 8) return dib;
  bool sideways = orientation >= 5;
  int width = dib->biWidth, height = dib->biHeight;
  int newWidth = sideways ? height : width, newHeight = sideways ? width : height;
  BitmapInfoHeader* upright =
      sideways ? NewDIB(newWidth, newHeight, dib->biYPelsPerMeter, dib->biXPelsPerMeter)
               : NewDIB(newWidth, newHeight, dib->biXPelsPerMeter, dib->biYPelsPerMeter);
  if (!upright) {
    FreeDIB(dib);
    return nullptr;
  }
  for (int y = 0; y < newHeight; ++y) {
    uint8_t* row = DIBRow(upright, newHeight - 1 - y);
    for (int x = 0; x < newWidth; ++x) {
      memcpy(row + 3 * x, TopDownPixel(dib, StoredPoint(orientation, x, y, width, height)), 3);
    }
  }
  FreeDIB(dib);
  return upright;
}
