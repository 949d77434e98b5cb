#include "shared/image_size.h"

#include <cstdio>
#include <cstring>

#include "platform/files.h"

namespace {

// Reads n bytes; false on a short read.
bool ReadBytes(FILE* file, unsigned char* bytes, size_t n) {
  return fread(bytes, 1, n, file) == n;
}

uint32_t Little16(const unsigned char* p) { return p[0] | (p[1] << 8); }
uint32_t Big16(const unsigned char* p) { return (p[0] << 8) | p[1]; }

bool ReadBig16(FILE* file, uint32_t* value) {
  unsigned char bytes[2];
  if (!ReadBytes(file, bytes, 2)) return false;
  *value = Big16(bytes);
  return true;
}

// Moves forward by n bytes. A short skip reads through the stream's buffer,
// where a seek would throw the buffer away and read the same block again; a
// skip past the end is noticed by the next read.
bool Skip(FILE* file, long n) {
  constexpr long kReadThrough = 4096;
  if (n < 0 || n > kReadThrough) return fseek(file, n, SEEK_CUR) == 0;
  unsigned char skipped[kReadThrough];
  fread(skipped, 1, static_cast<size_t>(n), file);
  return true;
}

// A "87a" file's first image, after the screen descriptor and the global
// colour table, gives the size.
bool ReadFirstImage(FILE* file, unsigned flags, uint32_t* width, uint32_t* height) {
  if (flags & 0x80) {
    if (!Skip(file, 3L << ((flags & 7) + 1))) return false;
  }
  unsigned char image[9];
  if (!ReadBytes(file, image, sizeof image) || image[0] != 0x2C) return false;
  *width = Little16(image + 5);
  *height = Little16(image + 7);
  return true;
}

// Corrects the size to square pixels by the aspect byte ((a + 15) / 64).
void ApplyAspect(unsigned aspect, uint32_t* width, uint32_t* height) {
  if (aspect == 0) return;
  if (aspect < 49) {
    *width = *width * 64 / (aspect + 15);
  } else {
    *height = (*height * (aspect + 15)) >> 6;
  }
}

bool ReadGif(FILE* file, uint32_t* width, uint32_t* height) {
  unsigned char header[13];
  if (!ReadBytes(file, header, sizeof header) || memcmp(header, "GIF", 3) != 0) return false;
  *width = Little16(header + 6);
  *height = Little16(header + 8);
  if (memcmp(header + 3, "87a", 3) == 0 && !ReadFirstImage(file, header[10], width, height)) {
    return false;
  }
  ApplyAspect(header[12], width, height);
  return true;
}

// Frame headers are 0xFFC0 to 0xFFCF, except DHT (C4), JPG (C8) and DAC (CC).
bool IsFrameMarker(uint32_t marker) {
  return marker >= 0xFFC0 && marker <= 0xFFCF && marker != 0xFFC4 && marker != 0xFFC8 &&
         marker != 0xFFCC;
}

bool ReadJpeg(FILE* file, uint32_t* width, uint32_t* height) {
  uint32_t word;
  if (!ReadBig16(file, &word) || word != 0xFFD8) return false;
  for (;;) {
    uint32_t marker, length;
    if (!ReadBig16(file, &marker) || (marker >> 8) != 0xFF) return false;
    if (!ReadBig16(file, &length)) return false;
    if (IsFrameMarker(marker)) {
      unsigned char frame[5];
      if (!ReadBytes(file, frame, sizeof frame)) return false;
      *height = Big16(frame + 1);
      *width = Big16(frame + 3);
      return true;
    }
    // The length counts its own two bytes; anything less is a damaged file.
    if (length < 2 || !Skip(file, static_cast<long>(length) - 2)) return false;
  }
}

template <typename Reader>
bool ReadImageFile(const char* path, Reader reader, uint32_t* width, uint32_t* height) {
  FILE* file = OpenFile(path, "rb");
  if (!file) return false;
  bool ok = reader(file, width, height);
  fclose(file);
  return ok;
}

}  // namespace

bool GifSize(const char* path, uint32_t* width, uint32_t* height) {
  return ReadImageFile(path, ReadGif, width, height);
}

bool JpegSize(const char* path, uint32_t* width, uint32_t* height) {
  return ReadImageFile(path, ReadJpeg, width, height);
}

bool ImageSize(const char* path, uint32_t* width, uint32_t* height) {
  // One opening serves both readers: only a file that begins as a GIF does
  // can be one; any other is read as a JPEG.
  FILE* file = OpenFile(path, "rb");
  if (!file) return false;
  int first = fgetc(file);
  bool ok = first != EOF && ungetc(first, file) != EOF &&
            (first == 'G' ? ReadGif(file, width, height) : ReadJpeg(file, width, height));
  fclose(file);
  return ok;
}
