// The thumbnail of one JPEG file: read (downscaled by the decoder in fast
// mode), fit into the maximum size keeping the aspect ratio, shrink, sharpen,
// and turn upright by the picture's EXIF orientation.
#pragma once

#include "jpeg/dib.h"

struct ThumbSize {
  int width;
  int height;
};

// The size that fits width x height into maxWidth x maxHeight keeping the
// aspect ratio (truncating; ties fit the height); each side at least 1.
ThumbSize FitThumbSize(int width, int height, unsigned maxWidth, unsigned maxHeight);

// Sharpness as the pipeline uses it: 0 or negative gives 10, above 100 gives 100.
int EffectiveSharpness(int sharpness);

// The thumbnail bitmap, upright, or null when the image cannot be read. The
// picture as shown fits maxWidth x maxHeight; one that already fits is only
// turned (not shrunk, not sharpened). A picture without an orientation, or
// with orientation 1, comes out exactly as decoded and fitted.
BitmapInfoHeader* MakeThumbDIB(const char* path, unsigned maxWidth, unsigned maxHeight, bool fast,
                               int sharpness);
