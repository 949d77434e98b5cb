// Makes a folder of camera-sized test JPEGs for the thumbnail benchmark with
// the project's own encoder: smooth colour fields, some mid-frequency
// texture and sensor-like noise, so the files compress like photographs.
//
//   make_test_jpegs FOLDER COUNT [WIDTH HEIGHT QUALITY NOISE]
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "jpeg/dib.h"
#include "jpeg/write_jpeg.h"

namespace {

struct Random {
  uint64_t state;
  uint32_t Next() {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return static_cast<uint32_t>(state >> 11);
  }
};

uint8_t Clamp(double v) { return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); }

void Paint(BitmapInfoHeader* dib, int index, int noise) {
  Random random{0x9E3779B97F4A7C15ull * static_cast<uint64_t>(index + 1)};
  int width = dib->biWidth, height = dib->biHeight;
  double phase = index * 0.7;
  for (int y = 0; y < height; ++y) {
    uint8_t* row = DIBRow(dib, y);
    double fy = static_cast<double>(y) / height;
    for (int x = 0; x < width; ++x) {
      double fx = static_cast<double>(x) / width;
      double sky = 60 + 120 * fy + 40 * std::sin(6.0 * fx + phase);
      double texture = 25 * std::sin(x * 0.21 + phase) * std::cos(y * 0.17 - phase);
      int grain = noise ? static_cast<int>(random.Next() % (2 * noise + 1)) - noise : 0;
      row[3 * x] = Clamp(sky + texture + grain);
      row[3 * x + 1] = Clamp(90 + 100 * fx + texture * 0.6 + grain);
      row[3 * x + 2] = Clamp(200 - 110 * fy - texture * 0.4 + grain);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    fprintf(stderr, "usage: make_test_jpegs FOLDER COUNT [WIDTH HEIGHT QUALITY NOISE]\n");
    return 2;
  }
  std::string folder = argv[1];
  int count = atoi(argv[2]);
  int width = argc > 3 ? atoi(argv[3]) : 3000;
  int height = argc > 4 ? atoi(argv[4]) : 2000;
  int quality = argc > 5 ? atoi(argv[5]) : 90;
  int noise = argc > 6 ? atoi(argv[6]) : 8;
  BitmapInfoHeader* dib = NewDIB(width, height);
  if (!dib) {
    fprintf(stderr, "cannot allocate %dx%d\n", width, height);
    return 1;
  }
  for (int i = 0; i < count; ++i) {
    Paint(dib, i, noise);
    char name[64];
    snprintf(name, sizeof name, "\\img%04d.jpg", i + 1);
    std::string path = folder + name;
    if (!WriteThumbDIB(dib, path.c_str(), quality)) {
      fprintf(stderr, "cannot write %s\n", path.c_str());
      FreeDIB(dib);
      return 1;
    }
  }
  FreeDIB(dib);
  return 0;
}
