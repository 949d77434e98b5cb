// Decoding a JPEG file into 24-bit RGB rows, with an optional downscale
// inside the decoder so that large photographs are never decoded whole.
#pragma once

#include <cstddef>
#include <cstdint>

#include "jpeg/dib.h"

// The largest image, in pixels, that the decoder takes on. The declared size
// is checked before anything is decoded: a progressive image needs memory
// for the whole image whatever the output size, so a few hundred bytes that
// declare a huge picture could otherwise take gigabytes.
constexpr uint64_t kDefaultMaxImagePixels = 100000000;
uint64_t MaxImagePixels();
void SetMaxImagePixels(uint64_t pixels);

// The decoder's scale denominator (1, 2, 4, 8 or 16; the decoder treats 16
// as 8) for targets of targetWidth x targetHeight; 1 when either target is 0.
unsigned DecoderScaleDenom(unsigned imageWidth, unsigned imageHeight, unsigned targetWidth,
                           unsigned targetHeight);

// Decodes `path` into a new malloc'ed block of headerSize + stride x height
// bytes (the header left to the caller; the stride is width x 3 rounded up to
// `rowAlignment`); rows bottom-up when `bottomUp`. Reports the output size and
// the resolution in pixels per metre. Null when the file cannot be opened,
// when the image declares more than MaxImagePixels() pixels, or when the
// library refuses the image; the reason is then on standard error. Grayscale
// images are converted to RGB.
void* ReadJpegDIB(const char* path, size_t headerSize, int* width, int* height,
                  int32_t* xPelsPerMeter, int32_t* yPelsPerMeter, bool bottomUp,
                  size_t rowAlignment, unsigned targetWidth, unsigned targetHeight);

// ReadJpegDIB into a bottom-up bitmap (alignment 4) with its header filled.
BitmapInfoHeader* LoadJpegDIB(const char* path, unsigned targetWidth, unsigned targetHeight);
