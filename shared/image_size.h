// Pixel sizes of GIF and JPEG images, read from their headers without
// decoding, for the WIDTH and HEIGHT of image tags. A JPEG from a camera or
// a phone may carry an EXIF orientation, which browsers apply: its size is
// given as the picture is shown.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// GifSize, or else JpegSize. The outputs are meaningful only on success.
bool ImageSize(const char* path, uint32_t* width, uint32_t* height);
// The same for an image open as `file` (binary, at its start), for a caller
// that reads more of the file than its header.
bool ImageSizeOf(FILE* file, uint32_t* width, uint32_t* height);
// The size of a GIF (the first image's for "87a"), corrected to square pixels.
bool GifSize(const char* path, uint32_t* width, uint32_t* height);
// The size of a JPEG as it is shown: its first frame header's, with width and
// height swapped when its orientation turns it on its side (5 to 8).
bool JpegSize(const char* path, uint32_t* width, uint32_t* height);

// EXIF orientations: 1 is the frame as stored; 2 to 8 mirror it, turn it,
// or both, before it is shown.
constexpr int kOrientationAsStored = 1;
// True for the orientations 5 to 8, which show the frame on its side.
bool SwapsSides(int orientation);

// The size in a JPEG's first frame header, as stored, and the orientation
// that the first EXIF segment before it with an Orientation tag gives
// (kOrientationAsStored when there is none; a damaged segment is passed by).
bool JpegStoredSize(const char* path, uint32_t* width, uint32_t* height, int* orientation);

// The Orientation (1 to 8) of an APP1 segment's body ("Exif", a zero and a
// pad byte, then a TIFF header in either byte order and its first
// directory): the first entry of the tag that is one SHORT value decides,
// and a value out of range reads as 1. 0 when the body is no EXIF segment,
// is cut short, or has no such entry.
int ExifOrientation(const unsigned char* body, size_t size);
