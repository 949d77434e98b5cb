#include "jpeg/write_jpeg.h"

#include <cstdio>

#include "jpeg/jpeg_error.h"
#include "platform/files.h"

namespace {

struct Encoding {
  FILE* file = nullptr;
  const uint8_t* pixels = nullptr;
  size_t stride = 0;
  bool bottomUp = true;
};

void WriteRows(jpeg_compress_struct& cinfo, const Encoding& e) {
  size_t height = cinfo.image_height;
  while (cinfo.next_scanline < cinfo.image_height) {
    size_t y = cinfo.next_scanline;
    size_t row = e.bottomUp ? height - 1 - y : y;
    JSAMPROW rows[1] = {const_cast<JSAMPLE*>(e.pixels + row * e.stride)};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
}

// Runs the library into the open file; false after a library error.
bool Encode(jpeg_compress_struct& cinfo, JpegErrorManager& errors, const Encoding& e, int width,
            int height, int quality) {
  if (setjmp(errors.jump)) return false;
  jpeg_stdio_dest(&cinfo, e.file);
  cinfo.image_width = static_cast<JDIMENSION>(width);
  cinfo.image_height = static_cast<JDIMENSION>(height);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  WriteRows(cinfo, e);
  jpeg_finish_compress(&cinfo);
  return true;
}

}  // namespace

bool WriteJpegDIB(const char* path, const uint8_t* pixels, int width, int height, bool bottomUp,
                  size_t rowAlignment, int quality) {
  if (width < 1 || height < 1) return false;
  jpeg_compress_struct cinfo;
  JpegErrorManager errors;
  cinfo.err = InitJpegErrors(&errors);
  jpeg_create_compress(&cinfo);
  Encoding e{.file = OpenFile(path, "wb"),
             .pixels = pixels,
             .stride = RowStride(static_cast<size_t>(width), rowAlignment),
             .bottomUp = bottomUp};
  if (!e.file) {
    jpeg_destroy_compress(&cinfo);
    return false;
  }
  bool done = Encode(cinfo, errors, e, width, height, quality);
  jpeg_destroy_compress(&cinfo);
  if (fclose(e.file) != 0) done = false;
  if (!done) DeleteFile(path);
  return done;
}

bool WriteThumbDIB(const BitmapInfoHeader* dib, const char* path, int quality) {
  return WriteJpegDIB(path, DIBPixels(dib), dib->biWidth, dib->biHeight, true, 4, quality);
}
