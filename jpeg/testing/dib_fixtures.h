// Test helpers for the image pipeline: small bitmaps from pixel lists and
// JPEG files written straight through the library (RGB, grayscale, CMYK).
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "jpeg/dib.h"

struct Rgb {
  int r, g, b;
  bool operator==(const Rgb&) const = default;
};

// For the life of the object: a fresh temporary folder as the current
// directory, so the pipeline can be given plain relative file names.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  std::string Host(const std::string& name) const;  // host path of a file in it
  void Write(const std::string& name, const std::string& content) const;
  std::string Read(const std::string& name) const;
  bool Exists(const std::string& name) const;

 private:
  std::filesystem::path folder_;
  std::filesystem::path oldCwd_;
};

// A bitmap of width x height whose pixel (x, y), y counted in memory order
// (bottom-up), is pixel(x, y).
BitmapInfoHeader* MakeDIB(int width, int height, const std::function<Rgb(int x, int y)>& pixel);
// A bitmap from rows of channel values in memory order, 3 values per pixel.
BitmapInfoHeader* DIBFromRows(const std::vector<std::vector<int>>& rows);
// The channel values of each row in memory order (pad bytes left out).
std::vector<std::vector<int>> RowsOf(const BitmapInfoHeader* dib);
Rgb PixelAt(const BitmapInfoHeader* dib, int x, int y);

// Writes a JPEG (path as the pipeline takes it) through the library. `components` is 1
// (grayscale: the red channel of pixel), 3 (RGB) or 4 (CMYK); (x, y) counted
// from the top row. A density unit other than 0 is stored with the density;
// `markerBytes` of APP9 markers (65533 bytes each at most) go before the
// image data.
void WriteTestJpeg(const std::string& path, int width, int height, int components,
                   const std::function<Rgb(int x, int y)>& pixel, int quality = 95,
                   int densityUnit = 0, int density = 0, size_t markerBytes = 0);
