#include "jpeg/read_jpeg.h"

#include <cstdio>
#include <cstdlib>

#include "jpeg/jpeg_error.h"
#include "jpeg/jpeg_source.h"
#include "platform/assert.h"
#include "platform/files.h"

namespace {

uint64_t maxImagePixels = kDefaultMaxImagePixels;

int32_t PelsPerMeter(int densityUnit, unsigned density) {
  if (densityUnit == 1) return static_cast<int32_t>(density * 39);
  if (densityUnit == 2) return static_cast<int32_t>(density * 100);
  return 0;
}

// What the decoding step hands back; kept outside the function that calls
// setjmp, so its values stay defined after a jump.
struct Decoding {
  FILE* file = nullptr;
  uint8_t* block = nullptr;
  size_t headerSize = 0;
  size_t stride = 0;
  bool bottomUp = true;
};

// The whole block size for the output dimensions, or 0 when the rows would
// not fit the 32-bit image size of a bitmap.
size_t BlockSize(size_t headerSize, size_t stride, size_t height) {
  if (stride == 0 || height == 0) return 0;
  if (stride > UINT32_MAX / height) return 0;
  return headerSize + stride * height;
}

void ReadRows(jpeg_decompress_struct& cinfo, const Decoding& d) {
  size_t height = cinfo.output_height;
  while (cinfo.output_scanline < cinfo.output_height) {
    size_t y = cinfo.output_scanline;
    size_t row = d.bottomUp ? height - 1 - y : y;
    JSAMPROW rows[1] = {d.block + d.headerSize + row * d.stride};
    jpeg_read_scanlines(&cinfo, rows, 1);
  }
}

// False, with a message in the library's manner, for an image that declares
// more pixels than the limit.
bool SizeAllowed(const jpeg_decompress_struct& cinfo) {
  uint64_t pixels = uint64_t{cinfo.image_width} * cinfo.image_height;
  if (pixels <= maxImagePixels) return true;
  JpegMessage("Image of %u x %u pixels is over the limit of %llu pixels",
              cinfo.image_width, cinfo.image_height, static_cast<unsigned long long>(maxImagePixels));
  return false;
}

// Runs the library over the open file; false after a library error (its
// message printed), for an image over the size limit, or when the block
// cannot be had.
bool Decode(jpeg_decompress_struct& cinfo, JpegErrorManager& errors, Decoding& d,
            size_t rowAlignment, unsigned targetWidth, unsigned targetHeight) {
  if (setjmp(errors.jump)) return false;
  AttachFileSource(&cinfo, d.file);
  jpeg_read_header(&cinfo, TRUE);
  if (!SizeAllowed(cinfo)) return false;
  cinfo.out_color_space = JCS_RGB;
  if (targetWidth && targetHeight) {
    cinfo.scale_num = 1;
    cinfo.scale_denom =
        DecoderScaleDenom(cinfo.image_width, cinfo.image_height, targetWidth, targetHeight);
  }
  jpeg_calc_output_dimensions(&cinfo);
  WEFT_ASSERT(cinfo.out_color_components == 3);
  WEFT_ASSERT(cinfo.output_components == 3);
  d.stride = RowStride(cinfo.output_width, rowAlignment);
  size_t size = BlockSize(d.headerSize, d.stride, cinfo.output_height);
  d.block = size ? static_cast<uint8_t*>(malloc(size)) : nullptr;
  if (!d.block) return false;
  jpeg_start_decompress(&cinfo);
  ReadRows(cinfo, d);
  jpeg_finish_decompress(&cinfo);
  return true;
}

}  // namespace

uint64_t MaxImagePixels() { return maxImagePixels; }

void SetMaxImagePixels(uint64_t pixels) { maxImagePixels = pixels; }

unsigned DecoderScaleDenom(unsigned imageWidth, unsigned imageHeight, unsigned targetWidth,
                           unsigned targetHeight) {
  if (!targetWidth || !targetHeight) return 1;
  unsigned denom = 1;
  while ((imageWidth / denom > targetWidth || imageHeight / denom > targetHeight) && denom <= 8) {
    denom *= 2;
  }
  return denom;
}

void* ReadJpegDIB(const char* path, size_t headerSize, int* width, int* height,
                  int32_t* xPelsPerMeter, int32_t* yPelsPerMeter, bool bottomUp,
                  size_t rowAlignment, unsigned targetWidth, unsigned targetHeight) {
  jpeg_decompress_struct cinfo;
  JpegErrorManager errors;
  cinfo.err = InitJpegErrors(&errors);
  jpeg_create_decompress(&cinfo);
  Decoding d{.file = OpenFile(path, "rb"), .headerSize = headerSize, .bottomUp = bottomUp};
  bool done = d.file && Decode(cinfo, errors, d, rowAlignment, targetWidth, targetHeight);
  if (done) {
    *width = static_cast<int>(cinfo.output_width);
    *height = static_cast<int>(cinfo.output_height);
    *xPelsPerMeter = PelsPerMeter(cinfo.density_unit, cinfo.X_density);
    *yPelsPerMeter = PelsPerMeter(cinfo.density_unit, cinfo.Y_density);
  }
  jpeg_destroy_decompress(&cinfo);
  if (d.file) fclose(d.file);
  if (done) return d.block;
  free(d.block);
  return nullptr;
}

BitmapInfoHeader* LoadJpegDIB(const char* path, unsigned targetWidth, unsigned targetHeight) {
  int width = 0, height = 0;
  int32_t xPels = 0, yPels = 0;
  void* block = ReadJpegDIB(path, sizeof(BitmapInfoHeader), &width, &height, &xPels, &yPels, true,
                            4, targetWidth, targetHeight);
  if (!block) return nullptr;
  auto* dib = static_cast<BitmapInfoHeader*>(block);
  FillDIBHeader(dib, width, height, xPels, yPels);
  return dib;
}
