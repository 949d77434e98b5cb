// Test helpers: the EXIF segment that phones and cameras put into a JPEG to
// say how its frame is turned, and JPEG bytes that carry one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One entry of an EXIF directory: tag, type, count and the 4-byte value
// field (a SHORT value sits in its first two bytes).
struct ExifEntry {
  uint32_t tag, type, count, value;
};

// Bytes of a 16- or 32-bit value in the given order.
inline std::string ExifBytes(uint32_t value, int size, bool bigEndian) {
  std::string bytes;
  for (int i = 0; i < size; ++i) {
    int shift = bigEndian ? 8 * (size - 1 - i) : 8 * i;
    bytes += static_cast<char>((value >> shift) & 0xFF);
  }
  return bytes;
}

// The body of an APP1 segment: "Exif", two zero bytes, a TIFF header in the
// given byte order whose first directory holds `entries`.
inline std::string ExifBody(const std::vector<ExifEntry>& entries, bool bigEndian = true) {
  std::string tiff = bigEndian ? "MM" : "II";
  tiff += ExifBytes(42, 2, bigEndian) + ExifBytes(8, 4, bigEndian);
  tiff += ExifBytes(static_cast<uint32_t>(entries.size()), 2, bigEndian);
  for (const ExifEntry& e : entries) {
    tiff += ExifBytes(e.tag, 2, bigEndian) + ExifBytes(e.type, 2, bigEndian) +
            ExifBytes(e.count, 4, bigEndian);
    // A SHORT value is left-justified in its field, whatever the byte order.
    tiff += e.type == 3 ? ExifBytes(e.value, 2, bigEndian) + std::string(2, '\0')
                        : ExifBytes(e.value, 4, bigEndian);
  }
  tiff += ExifBytes(0, 4, bigEndian);  // no next directory
  return std::string("Exif\0\0", 6) + tiff;
}

// The Orientation entry as cameras write it: tag 0x0112, SHORT, one value.
inline ExifEntry OrientationEntry(int orientation) {
  return {0x0112, 3, 1, static_cast<uint32_t>(orientation)};
}

// A whole APP1 segment: marker, length (counting itself) and body.
inline std::string App1Segment(const std::string& body) {
  return ExifBytes(0xFFE1, 2, true) + ExifBytes(static_cast<uint32_t>(body.size() + 2), 2, true) +
         body;
}

// JPEG bytes with an EXIF segment of the orientation put right after the
// start-of-image marker, where cameras put it, between a width and a
// resolution-unit entry as in real files.
inline std::string WithOrientation(const std::string& jpeg, int orientation, bool bigEndian = true) {
  std::string body =
      ExifBody({{0x0100, 4, 1, 4000}, OrientationEntry(orientation), {0x0128, 3, 1, 2}}, bigEndian);
  return jpeg.substr(0, 2) + App1Segment(body) + jpeg.substr(2);
}

// The headers of a baseline JPEG of width x height with no image data: what
// the size readers look at, in place of a whole photograph.
inline std::string JpegFrameOf(unsigned width, unsigned height) {
  std::string frame = ExifBytes(0xFFC0, 2, true) + ExifBytes(17, 2, true) + '\x08' +
                      ExifBytes(height, 2, true) + ExifBytes(width, 2, true) + '\x03' +
                      std::string("\x01\x22\x00\x02\x11\x01\x03\x11\x01", 9);
  return ExifBytes(0xFFD8, 2, true) + frame + ExifBytes(0xFFD9, 2, true);
}
