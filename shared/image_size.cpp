#include "shared/image_size.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/files.h"

namespace {

// Reads n bytes; false on a short read.
bool ReadBytes(FILE* file, unsigned char* bytes, size_t n) {
  return fread(bytes, 1, n, file) == n;
}

uint32_t Little16(const unsigned char* p) { return p[0] | (p[1] << 8); }
uint32_t Big16(const unsigned char* p) { return (p[0] << 8) | p[1]; }

// --- EXIF --------------------------------------------------------------------

constexpr uint32_t kApp1 = 0xFFE1;
constexpr uint32_t kOrientationTag = 0x0112;
constexpr uint32_t kShortType = 3;
constexpr size_t kIfdEntrySize = 12;

// The TIFF structure inside an EXIF segment, in its own byte order; every
// read is checked against the end of the segment.
class TiffReader {
 public:
  TiffReader(const unsigned char* data, size_t size, bool bigEndian)
      : data_(data), size_(size), bigEndian_(bigEndian) {}

  bool Has(uint64_t offset, uint64_t count) const { return offset <= size_ && count <= size_ - offset; }
  uint32_t U16(uint64_t offset) const {
    const unsigned char* p = data_ + offset;
    return bigEndian_ ? Big16(p) : Little16(p);
  }
  uint32_t U32(uint64_t offset) const {
    uint32_t first = U16(offset), second = U16(offset + 2);
    return bigEndian_ ? (first << 16) | second : (second << 16) | first;
  }

 private:
  const unsigned char* data_;
  size_t size_;
  bool bigEndian_;
};

// The orientation among the entries of the first directory, 0 when none
// decides. As the browsers read it, the first entry of the tag that is a
// SHORT with one value decides; a value out of range means as stored.
int DirectoryOrientation(const TiffReader& tiff, uint32_t directory) {
  if (!tiff.Has(directory, 2)) return 0;
  uint32_t entries = tiff.U16(directory);
  for (uint32_t i = 0; i < entries; ++i) {
    uint64_t entry = uint64_t{directory} + 2 + uint64_t{i} * kIfdEntrySize;
    if (!tiff.Has(entry, kIfdEntrySize)) return 0;
    if (tiff.U16(entry) != kOrientationTag || tiff.U16(entry + 2) != kShortType ||
        tiff.U32(entry + 4) != 1) {
      continue;
    }
    uint32_t value = tiff.U16(entry + 8);
    return value >= 1 && value <= 8 ? static_cast<int>(value) : kOrientationAsStored;
  }
  return 0;
}

// "Exif", a zero byte and a pad byte open the segment's body.
constexpr size_t kExifHeaderSize = 6;
bool IsExifBody(const unsigned char* body, size_t size) {
  return size >= kExifHeaderSize && memcmp(body, "Exif", 5) == 0;
}

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

// What the headers before a JPEG's first frame tell.
struct JpegHeader {
  uint32_t width = 0, height = 0;
  int orientation = kOrientationAsStored;
  bool oriented = false;  // an EXIF segment's orientation decided
};

// Reads an APP1 segment's body of `size` bytes; the first EXIF segment with
// an orientation gives it. False on a short read.
bool ReadApp1(FILE* file, size_t size, JpegHeader* header) {
  if (header->oriented) return Skip(file, static_cast<long>(size));
  std::vector<unsigned char> body(size);
  if (size && !ReadBytes(file, body.data(), size)) return false;
  int orientation = ExifOrientation(body.data(), size);
  if (orientation) {
    header->orientation = orientation;
    header->oriented = true;
  }
  return true;
}

bool ReadJpegHeader(FILE* file, JpegHeader* header) {
  uint32_t word;
  if (!ReadBig16(file, &word) || word != 0xFFD8) return false;
  for (;;) {
    uint32_t marker, length;
    if (!ReadBig16(file, &marker) || (marker >> 8) != 0xFF) return false;
    if (!ReadBig16(file, &length)) return false;
    if (IsFrameMarker(marker)) {
      unsigned char frame[5];
      if (!ReadBytes(file, frame, sizeof frame)) return false;
      header->height = Big16(frame + 1);
      header->width = Big16(frame + 3);
      return true;
    }
    // The length counts its own two bytes; anything less is a damaged file.
    if (length < 2) return false;
    if (marker == kApp1) {
      if (!ReadApp1(file, length - 2, header)) return false;
    } else if (!Skip(file, static_cast<long>(length) - 2)) {
      return false;
    }
  }
}

bool ReadJpeg(FILE* file, uint32_t* width, uint32_t* height) {
  JpegHeader header;
  if (!ReadJpegHeader(file, &header)) return false;
  bool sideways = SwapsSides(header.orientation);
  *width = sideways ? header.height : header.width;
  *height = sideways ? header.width : header.height;
  return true;
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

bool JpegStoredSize(const char* path, uint32_t* width, uint32_t* height, int* orientation) {
  JpegHeader header;
  auto read = [&header](FILE* file, uint32_t*, uint32_t*) { return ReadJpegHeader(file, &header); };
  bool ok = ReadImageFile(path, read, width, height);
  *width = header.width;
  *height = header.height;
  *orientation = header.orientation;
  return ok;
}

bool SwapsSides(int orientation) { return orientation >= 5 && orientation <= 8; }

int ExifOrientation(const unsigned char* body, size_t size) {
  if (!IsExifBody(body, size)) return 0;
  const unsigned char* tiff = body + kExifHeaderSize;
  size_t tiffSize = size - kExifHeaderSize;
  if (tiffSize < 8) return 0;
  bool bigEndian = memcmp(tiff, "MM", 2) == 0;
  if (!bigEndian && memcmp(tiff, "II", 2) != 0) return 0;
  TiffReader reader(tiff, tiffSize, bigEndian);
  if (reader.U16(2) != 42) return 0;
  return DirectoryOrientation(reader, reader.U32(4));
}

bool ImageSize(const char* path, uint32_t* width, uint32_t* height) {
  FILE* file = OpenFile(path, "rb");
  if (!file) return false;
  bool ok = ImageSizeOf(file, width, height);
  fclose(file);
  return ok;
}

bool ImageSizeOf(FILE* file, uint32_t* width, uint32_t* height) {
  // Only a file that begins as a GIF does can be one; any other is read as
  // a JPEG.
  int first = fgetc(file);
  return first != EOF && ungetc(first, file) != EOF &&
         (first == 'G' ? ReadGif(file, width, height) : ReadJpeg(file, width, height));
}
