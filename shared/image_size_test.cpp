#include "shared/image_size.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/testing/test_support.h"
#include "shared/testing/exif_jpeg.h"

namespace {

using Bytes = std::string;

Bytes Little(unsigned value) { return {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)}; }
Bytes Big(unsigned value) { return {static_cast<char>(value >> 8), static_cast<char>(value & 0xFF)}; }

// A GIF header: signature, logical screen, and for "87a" what follows it.
Bytes Gif(const char* version, unsigned width, unsigned height, unsigned flags = 0,
          unsigned aspect = 0) {
  return Bytes("GIF") + version + Little(width) + Little(height) + static_cast<char>(flags) +
         '\0' + static_cast<char>(aspect);
}
// An image descriptor: separator, left, top, width, height.
Bytes Image(unsigned width, unsigned height, char separator = 0x2C) {
  return separator + Little(5) + Little(7) + Little(width) + Little(height);
}

// A JPEG segment: marker and length (which counts itself), then the body.
Bytes Segment(unsigned marker, const Bytes& body) { return Big(marker) + Big(body.size() + 2) + body; }
Bytes Frame(unsigned marker, unsigned width, unsigned height) {
  return Segment(marker, '\x08' + Big(height) + Big(width) + Bytes("\x03\x01\x22\x00", 4));
}
const Bytes kSoi = Big(0xFFD8);
const Bytes kApp0 = Segment(0xFFE0, Bytes("JFIF\0\1\1\0\0\1\0\1\0\0", 14));

struct SizeCase {
  const char* label;
  Bytes bytes;
  bool ok;
  uint32_t width = 0, height = 0;
};

void CheckSizes(bool (*size)(const char*, uint32_t*, uint32_t*), const std::vector<SizeCase>& cases) {
  TempDrive drive;
  for (const SizeCase& c : cases) {
    drive.Write("image", c.bytes);
    uint32_t width = 0, height = 0;
    bool ok = size("image", &width, &height);
    EXPECT_EQ(ok, c.ok) << c.label;
    if (!ok || !c.ok) continue;
    EXPECT_EQ(width, c.width) << c.label;
    EXPECT_EQ(height, c.height) << c.label;
  }
}

TEST(ImageSize, Gif) {
  const Bytes table4(12, '\x11');    // flags & 7 = 1: 3 x 2^2 bytes
  const Bytes table256(768, '\x22');  // flags & 7 = 7: 3 x 2^8 bytes
  CheckSizes(GifSize, {
      {"89a: the logical screen", Gif("89a", 300, 200) + Image(40, 30), true, 300, 200},
      {"87a: the first image", Gif("87a", 300, 200) + Image(40, 30), true, 40, 30},
      {"87a after a colour table", Gif("87a", 300, 200, 0x81) + table4 + Image(41, 31), true, 41, 31},
      {"87a after a full table", Gif("87a", 9, 9, 0xF7) + table256 + Image(600, 400), true, 600, 400},
      {"87a: the table's size bits without its flag", Gif("87a", 9, 9, 0x07) + Image(42, 32), true, 42, 32},
      {"other versions keep the screen", Gif("90z", 300, 200), true, 300, 200},
      {"aspect 49 is square", Gif("89a", 300, 200, 0, 49), true, 300, 200},
      {"aspect 17 doubles the width", Gif("89a", 300, 200, 0, 17), true, 600, 200},
      {"aspect 1 four times the width", Gif("89a", 65535, 9, 0, 1), true, 262140, 9},
      {"aspect 113 doubles the height", Gif("89a", 300, 200, 0, 113), true, 300, 400},
      {"aspect 255", Gif("89a", 300, 65535, 0, 255), true, 300, 276475},
      {"87a image aspect", Gif("87a", 1, 1, 0, 17) + Image(40, 30), true, 80, 30},
      {"lower-case signature", Bytes("gif89a") + Gif("89a", 1, 1).substr(6), false},
      {"header cut short", Gif("89a", 300, 200).substr(0, 12), false},
      {"87a without an image", Gif("87a", 300, 200), false},
      {"87a image cut short", Gif("87a", 300, 200) + Image(40, 30).substr(0, 8), false},
      {"87a extension first", Gif("87a", 300, 200) + Image(40, 30, 0x21), false},
      {"87a table cut short", Gif("87a", 9, 9, 0xF7) + Bytes(700, '\0'), false},
      {"empty file", "", false},
  });
}

TEST(ImageSize, Jpeg) {
  const Bytes thumbnail = kSoi + Frame(0xFFC0, 160, 120) + Big(0xFFD9);
  CheckSizes(JpegSize, {
      {"baseline", kSoi + kApp0 + Frame(0xFFC0, 640, 480), true, 640, 480},
      {"progressive", kSoi + kApp0 + Frame(0xFFC2, 1024, 768), true, 1024, 768},
      {"lossless", kSoi + Frame(0xFFC3, 7, 5), true, 7, 5},
      {"last frame type", kSoi + Frame(0xFFCF, 1, 65535), true, 1, 65535},
      {"APP1 thumbnail skipped whole", kSoi + Segment(0xFFE1, Bytes("Exif\0\0", 6) + thumbnail) +
                                           Frame(0xFFC0, 3000, 2000), true, 3000, 2000},
      {"DHT, JPG and DAC are no frames",
       kSoi + Segment(0xFFC4, Bytes(20, '\xC0')) + Segment(0xFFC8, "ab") +
           Segment(0xFFCC, "cd") + Frame(0xFFC1, 12, 34), true, 12, 34},
      {"empty segment", kSoi + Segment(0xFFFE, "") + Frame(0xFFC0, 8, 6), true, 8, 6},
      {"not a JPEG", Big(0xFFD9) + Frame(0xFFC0, 8, 6), false},
      {"marker without 0xFF", kSoi + Big(0x00C0) + Frame(0xFFC0, 8, 6), false},
      {"no frame header", kSoi + kApp0 + Big(0xFFD9), false},
      {"segment length 0", kSoi + Big(0xFFE0) + Big(0) + Frame(0xFFC0, 8, 6), false},
      {"segment length 1", kSoi + Big(0xFFE0) + Big(1) + Frame(0xFFC0, 8, 6), false},
      {"segment longer than the file", kSoi + Big(0xFFE0) + Big(0xFFFF) + Frame(0xFFC0, 8, 6), false},
      {"short segment past the end", kSoi + Big(0xFFE0) + Big(100) + "abc", false},
      {"segments across the read blocks",
       kSoi + Segment(0xFFE1, Bytes(3000, 'x')) + Segment(0xFFE2, Bytes(3000, 'y')) +
           Segment(0xFFFE, Bytes(9000, 'z')) + Segment(0xFFE3, Bytes(4094, 'w')) + Frame(0xFFC0, 5, 4),
       true, 5, 4},
      {"frame header cut short", kSoi + Frame(0xFFC0, 640, 480).substr(0, 8), false},
      {"length cut short", kSoi + Big(0xFFE0) + "\x01", false},
      {"only the start", kSoi, false},
      {"empty file", "", false},
  });
}

// The size of a 640 x 480 frame behind the given APP1 bodies, as shown, as
// stored, and its orientation.
struct OrientedCase {
  std::string label;
  std::vector<Bytes> app1;
  int orientation;
};

void CheckOrientations(const std::vector<OrientedCase>& cases) {
  TempDrive drive;
  for (const OrientedCase& c : cases) {
    Bytes file = kSoi + kApp0;
    for (const Bytes& body : c.app1) file += App1Segment(body);
    drive.Write("photo.jpg", file + Frame(0xFFC0, 640, 480) + Big(0xFFD9));
    uint32_t width = 0, height = 0;
    int orientation = 0;
    ASSERT_TRUE(JpegStoredSize("photo.jpg", &width, &height, &orientation)) << c.label;
    EXPECT_EQ(width, 640u) << c.label;
    EXPECT_EQ(height, 480u) << c.label;
    EXPECT_EQ(orientation, c.orientation) << c.label;
    ASSERT_TRUE(JpegSize("photo.jpg", &width, &height)) << c.label;
    bool sideways = c.orientation >= 5;
    EXPECT_EQ(width, sideways ? 480u : 640u) << c.label;
    EXPECT_EQ(height, sideways ? 640u : 480u) << c.label;
    ASSERT_TRUE(ImageSize("photo.jpg", &width, &height)) << c.label;
    EXPECT_EQ(width, sideways ? 480u : 640u) << c.label;
  }
}

TEST(ImageSize, JpegIsSizedAsItsOrientationShowsIt) {
  std::vector<OrientedCase> cases;
  for (bool big : {true, false}) {
    for (int o = 1; o <= 8; ++o) {
      cases.push_back({std::string(big ? "big-endian " : "little-endian ") + std::to_string(o),
                       {ExifBody({{0x0100, 4, 1, 4000}, OrientationEntry(o)}, big)}, o});
    }
  }
  CheckOrientations(cases);
}

TEST(ImageSize, DamagedOrForeignExifKeepsTheStoredSize) {
  const Bytes six = ExifBody({OrientationEntry(6)});
  const Bytes xmp = Bytes("http://ns.adobe.com/xap/1.0/\0", 29) + "<x:xmpmeta/>";
  Bytes badMagic = six;
  badMagic[9] = 43;
  Bytes farDirectory = six;
  farDirectory[13] = 100;  // first directory past the segment's end
  Bytes manyEntries = six;
  manyEntries[15] = 9;  // nine entries claimed, one held
  CheckOrientations({
      {"no EXIF segment", {}, 1},
      {"APP1 too short for its header", {Bytes("Exif", 4)}, 1},
      {"TIFF header cut short", {Bytes("Exif\0\0MM\0*", 10)}, 1},
      {"no byte order", {"Exif" + Bytes(2, '\0') + "XX" + six.substr(8)}, 1},
      {"wrong TIFF magic", {badMagic}, 1},
      {"directory past the end", {farDirectory}, 1},
      {"entries cut short", {manyEntries.substr(0, manyEntries.size() - 6)}, 1},
      {"more entries claimed than held", {manyEntries}, 6},
      {"value 0", {ExifBody({OrientationEntry(0)})}, 1},
      {"value 9", {ExifBody({OrientationEntry(9)})}, 1},
      {"LONG instead of SHORT", {ExifBody({{0x0112, 4, 1, 6}, OrientationEntry(8)})}, 8},
      {"two values", {ExifBody({{0x0112, 3, 2, 6}})}, 1},
      {"pad byte not zero", {Bytes("Exif\0x", 6) + six.substr(6)}, 6},
      {"XMP before EXIF", {xmp, six}, 6},
      {"the first EXIF with the tag decides",
       {ExifBody({{0x0100, 4, 1, 4000}}), six, ExifBody({OrientationEntry(3)})}, 6},
      {"an empty APP1", {""}, 1},
  });
}

TEST(ImageSize, TriesGifThenJpeg) {
  const Bytes png("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\0\x10\0\0\0\x10\x08\x02\0\0\0", 29);
  CheckSizes(ImageSize, {
      {"gif", Gif("89a", 20, 10), true, 20, 10},
      {"jpeg", kSoi + kApp0 + Frame(0xFFC0, 64, 48), true, 64, 48},
      {"jpeg after a long segment", kSoi + Segment(0xFFE1, Bytes(20000, 'e')) + Frame(0xFFC0, 65, 49),
       true, 65, 49},
      {"png", png, false},
      {"a G that starts no GIF", Bytes("GIX89a") + Gif("89a", 20, 10).substr(6), false},
      {"empty file", "", false},
      {"bmp", Bytes("BM\x36\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\x10\0\0\0\x10\0\0\0", 26), false},
  });
  TempDrive drive;
  uint32_t width, height;
  EXPECT_FALSE(ImageSize("missing.jpg", &width, &height));
}

}  // namespace
