// Pixel sizes of GIF and JPEG images, read from their headers without
// decoding, for the WIDTH and HEIGHT of image tags.
#pragma once

#include <cstdint>

// GifSize, or else JpegSize. The outputs are meaningful only on success.
bool ImageSize(const char* path, uint32_t* width, uint32_t* height);
// The size of a GIF (the first image's for "87a"), corrected to square pixels.
bool GifSize(const char* path, uint32_t* width, uint32_t* height);
// The size in a JPEG's first frame header.
bool JpegSize(const char* path, uint32_t* width, uint32_t* height);
