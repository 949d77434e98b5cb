// Encoding 24-bit RGB rows as a baseline JPEG file.
#pragma once

#include <cstddef>
#include <cstdint>

#include "jpeg/dib.h"

// Writes width x height RGB pixels (rows `stride` apart after rounding to
// `rowAlignment`; bottom-up in memory when `bottomUp`) into a new file at
// `path` with the given quality. False when the file cannot be created or
// the library fails; a file it created is removed again then, so no
// half-written file is left. The library's message is on standard error.
bool WriteJpegDIB(const char* path, const uint8_t* pixels, int width, int height, bool bottomUp,
                  size_t rowAlignment, int quality);

// WriteJpegDIB of a bitmap (bottom-up, alignment 4).
bool WriteThumbDIB(const BitmapInfoHeader* dib, const char* path, int quality);
