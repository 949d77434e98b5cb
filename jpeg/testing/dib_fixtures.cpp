#include "jpeg/testing/dib_fixtures.h"

#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include <jpeglib.h>

#include "platform/drives.h"
#include "platform/files.h"

ScratchFolder::ScratchFolder() {
  std::random_device random;
  std::filesystem::path base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::filesystem::path candidate = base / ("weftjpeg." + std::to_string(random()));
    if (std::filesystem::create_directory(candidate)) {
      folder_ = candidate;
      break;
    }
  }
  if (folder_.empty()) throw std::runtime_error("no scratch folder");
  oldCwd_ = std::filesystem::current_path();
  std::filesystem::current_path(folder_);
  ForgetCurrentDir();
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::current_path(oldCwd_, ignored);
  ForgetCurrentDir();
  std::filesystem::remove_all(folder_, ignored);
}

std::string ScratchFolder::Host(const std::string& name) const { return (folder_ / name).string(); }

void ScratchFolder::Write(const std::string& name, const std::string& content) const {
  std::ofstream(Host(name), std::ios::binary | std::ios::trunc) << content;
}

std::string ScratchFolder::Read(const std::string& name) const {
  std::ifstream file(Host(name), std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

bool ScratchFolder::Exists(const std::string& name) const {
  return std::filesystem::exists(folder_ / name);
}

BitmapInfoHeader* MakeDIB(int width, int height, const std::function<Rgb(int x, int y)>& pixel) {
  BitmapInfoHeader* dib = NewDIB(width, height);
  for (int y = 0; y < height; ++y) {
    uint8_t* row = DIBRow(dib, y);
    for (int x = 0; x < width; ++x) {
      Rgb p = pixel(x, y);
      row[3 * x] = static_cast<uint8_t>(p.r);
      row[3 * x + 1] = static_cast<uint8_t>(p.g);
      row[3 * x + 2] = static_cast<uint8_t>(p.b);
    }
  }
  return dib;
}

BitmapInfoHeader* DIBFromRows(const std::vector<std::vector<int>>& rows) {
  int width = static_cast<int>(rows[0].size() / 3);
  return MakeDIB(width, static_cast<int>(rows.size()), [&](int x, int y) {
    const auto& row = rows[static_cast<size_t>(y)];
    size_t i = static_cast<size_t>(3 * x);
    return Rgb{row[i], row[i + 1], row[i + 2]};
  });
}

Rgb PixelAt(const BitmapInfoHeader* dib, int x, int y) {
  const uint8_t* p = DIBRow(dib, y) + 3 * x;
  return {p[0], p[1], p[2]};
}

std::vector<std::vector<int>> RowsOf(const BitmapInfoHeader* dib) {
  std::vector<std::vector<int>> rows;
  for (int y = 0; y < dib->biHeight; ++y) {
    const uint8_t* row = DIBRow(dib, y);
    rows.emplace_back(row, row + 3 * dib->biWidth);
  }
  return rows;
}

namespace {

void FillRow(std::vector<JSAMPLE>& row, int y, int width, int components,
             const std::function<Rgb(int x, int y)>& pixel) {
  for (int x = 0; x < width; ++x) {
    Rgb p = pixel(x, y);
    JSAMPLE* out = row.data() + x * components;
    if (components == 1) {
      out[0] = static_cast<JSAMPLE>(p.r);
    } else if (components == 3) {
      out[0] = static_cast<JSAMPLE>(p.r);
      out[1] = static_cast<JSAMPLE>(p.g);
      out[2] = static_cast<JSAMPLE>(p.b);
    } else {
      out[0] = static_cast<JSAMPLE>(p.r);
      out[1] = static_cast<JSAMPLE>(p.g);
      out[2] = static_cast<JSAMPLE>(p.b);
      out[3] = 0;
    }
  }
}

}  // namespace

void WriteTestJpeg(const std::string& path, int width, int height, int components,
                   const std::function<Rgb(int x, int y)>& pixel, int quality, int densityUnit,
                   int density, size_t markerBytes) {
  FILE* file = OpenFile(path.c_str(), "wb");
  if (!file) throw std::runtime_error("cannot create " + path);
  jpeg_compress_struct cinfo;
  jpeg_error_mgr errors;
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_compress(&cinfo);
  jpeg_stdio_dest(&cinfo, file);
  cinfo.image_width = static_cast<JDIMENSION>(width);
  cinfo.image_height = static_cast<JDIMENSION>(height);
  cinfo.input_components = components;
  cinfo.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB : JCS_CMYK;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  if (densityUnit) {
    cinfo.density_unit = static_cast<UINT8>(densityUnit);
    cinfo.X_density = static_cast<UINT16>(density);
    cinfo.Y_density = static_cast<UINT16>(density);
  }
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<JOCTET> marker(65533, 0x5A);
  for (size_t left = markerBytes; left > 0;) {
    size_t length = left < marker.size() ? left : marker.size();
    jpeg_write_marker(&cinfo, JPEG_APP0 + 9, marker.data(), static_cast<unsigned>(length));
    left -= length;
  }
  std::vector<JSAMPLE> row(static_cast<size_t>(width * components));
  while (cinfo.next_scanline < cinfo.image_height) {
    FillRow(row, static_cast<int>(cinfo.next_scanline), width, components, pixel);
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  fclose(file);
}
