// Turning a decoded picture upright by its EXIF orientation, so that a
// thumbnail shows what a browser shows of the photograph itself.
#pragma once

#include "jpeg/dib.h"

// A new bitmap of the picture as the orientation (1 to 8) shows it, the
// stored frame mirrored, turned or both; width and height (and the
// resolutions) swapped for 5 to 8. Frees the input. Orientation 1, or a
// value outside 1 to 8, returns the input unchanged. Null only when memory
// runs out (the input is freed then too).
BitmapInfoHeader* OrientDIB(BitmapInfoHeader* dib, int orientation);
