// Paints the sample gallery's pictures: photo-like JPEG scenes (sky and
// ground gradients, sun, hills, water with reflections, buildings, birds)
// through the project's own encoder, and the small GIF icons of the site kit
// (navigation buttons, the no-thumbnail folder, the movie pictures) with a
// GIF writer of its own.
//
//   make_gallery GALLERY_FOLDER KIT_FOLDER
//
// Run once; its output is kept in the repository.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "jpeg/dib.h"
#include "jpeg/write_jpeg.h"
#include "platform/files.h"

namespace {

struct Rgb {
  double r, g, b;
};

Rgb Mix(Rgb a, Rgb b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

uint8_t Clamp(double v) { return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v + 0.5); }

// Coordinates of shapes are fractions of the picture's width and height, so
// one scene reads the same in landscape and portrait.
enum class Kind { Disc, Oval, Box, Peak, Windows, Bird };

struct Shape {
  Kind kind;
  double x0, y0, x1, y1;  // disc/oval: centre and radii; box/windows: corners; peak: apex, half base
  Rgb colour;
};

struct Scene {
  const char* path;
  int width, height;
  Rgb skyTop, skyLow;
  double horizon;  // fraction of the height where the ground or water starts
  Rgb groundNear, groundFar;
  bool water;  // below the horizon the scene above is mirrored, dimmed
  std::vector<Shape> shapes;
};

// Coverage of one pixel by a shape, 0 to 1, with a one-pixel soft edge.
double Coverage(const Shape& s, double x, double y, double w, double h) {
  auto edge = [](double d) { return d <= -0.5 ? 1.0 : d >= 0.5 ? 0.0 : 0.5 - d; };
  switch (s.kind) {
    case Kind::Disc:
      return edge(std::hypot(x - s.x0 * w, y - s.y0 * h) - s.x1 * w);
    case Kind::Oval: {
      double dx = (x - s.x0 * w) / (s.x1 * w), dy = (y - s.y0 * h) / (s.y1 * h);
      double r = std::sqrt(dx * dx + dy * dy);
      return edge((r - 1) * std::min(s.x1 * w, s.y1 * h));
    }
    case Kind::Box:
    case Kind::Windows: {
      double d = std::max({s.x0 * w - x, x - s.x1 * w, s.y0 * h - y, y - s.y1 * h});
      if (s.kind == Kind::Windows) {
        // Lit windows: small cells on a 14 x 18 pixel grid inside the box.
        double cx = std::fmod(x - s.x0 * w, 14.0), cy = std::fmod(y - s.y0 * h, 18.0);
        if (cx < 4 || cx > 10 || cy < 5 || cy > 13) return 0;
      }
      return edge(d);
    }
    case Kind::Peak: {
      double half = s.x1 * w, top = s.y0 * h, base = s.y1 * h;
      if (y < top) return edge(top - y);
      double spread = half * (y - top) / (base - top);
      return edge(std::max(std::fabs(x - s.x0 * w) - spread, y - base));
    }
    case Kind::Bird: {
      // Two shallow arcs meeting at the centre, like a distant gull.
      double dx = std::fabs(x - s.x0 * w) / (s.x1 * w);
      if (dx > 1) return 0;
      double arc = s.y0 * h - s.x1 * w * 0.35 * std::sin(dx * 3.14159);
      return edge(std::fabs(y - arc) - 1.5);
    }
  }
  return 0;
}

Rgb Background(const Scene& s, double fy) {
  if (fy < s.horizon) return Mix(s.skyTop, s.skyLow, fy / s.horizon);
  return Mix(s.groundFar, s.groundNear, (fy - s.horizon) / (1 - s.horizon));
}

Rgb Pixel(const Scene& s, double x, double y) {
  double w = s.width, h = s.height, fy = y / h;
  double horizonY = s.horizon * h;
  Rgb c = Background(s, fy);
  bool mirrored = s.water && y > horizonY;
  double sy = mirrored ? 2 * horizonY - y : y;
  Rgb above = mirrored ? Background(s, sy / h) : c;
  for (const Shape& shape : s.shapes) {
    double t = Coverage(shape, x, sy, w, h);
    if (t > 0) above = Mix(above, shape.colour, t);
  }
  if (!mirrored) return above;
  double ripple = 6 * std::sin(y * 0.9 + std::sin(x * 0.02) * 3);
  Rgb dimmed = Mix(above, c, 0.45);
  return {dimmed.r + ripple, dimmed.g + ripple, dimmed.b + ripple};
}

bool PaintScene(const Scene& s, const std::string& folder) {
  BitmapInfoHeader* dib = NewDIB(s.width, s.height, 2835, 2835);
  if (!dib) return false;
  uint32_t seed = 12345;
  for (int y = 0; y < s.height; ++y) {
    uint8_t* row = DIBRow(dib, s.height - 1 - y);  // bottom-up rows
    for (int x = 0; x < s.width; ++x) {
      seed = seed * 1664525u + 1013904223u;
      double grain = static_cast<int>(seed >> 29) - 3.5;  // faint sensor noise
      Rgb c = Pixel(s, x + 0.5, y + 0.5);
      row[3 * x] = Clamp(c.r + grain);
      row[3 * x + 1] = Clamp(c.g + grain);
      row[3 * x + 2] = Clamp(c.b + grain);
    }
  }
  std::string path = folder + "/" + s.path;
  bool ok = WriteThumbDIB(dib, path.c_str(), 75);
  FreeDIB(dib);
  if (!ok) fprintf(stderr, "cannot write %s\n", path.c_str());
  return ok;
}

const Rgb kWhite{245, 245, 240}, kDark{30, 32, 40}, kGrey{120, 124, 130};

std::vector<Scene> Scenes() {
  Rgb blueTop{70, 120, 200}, blueLow{180, 210, 240};
  Rgb lake{40, 80, 120}, dusk{250, 150, 80}, night{10, 14, 40}, nightLow{40, 40, 80};
  return {
      {"birds/heron.jpg", 1024, 768, blueTop, blueLow, 0.55, lake, {90, 130, 150}, true,
       {{Kind::Oval, 0.45, 0.38, 0.09, 0.06, kGrey},
        {Kind::Box, 0.515, 0.22, 0.525, 0.36, kGrey},
        {Kind::Oval, 0.53, 0.21, 0.025, 0.018, kGrey},
        {Kind::Box, 0.44, 0.43, 0.446, 0.55, kDark},
        {Kind::Box, 0.46, 0.43, 0.466, 0.55, kDark}}},
      {"birds/finch.jpg", 768, 1024, {40, 90, 40}, {120, 170, 90}, 0.7, {70, 50, 30}, {110, 80, 50}, false,
       {{Kind::Box, 0.1, 0.62, 0.9, 0.645, {90, 60, 35}},
        {Kind::Oval, 0.5, 0.56, 0.11, 0.07, {230, 200, 40}},
        {Kind::Disc, 0.6, 0.5, 0.07, 0, {220, 190, 40}},
        {Kind::Disc, 0.625, 0.49, 0.012, 0, kDark},
        {Kind::Peak, 0.68, 0.49, 0.02, 0.51, {200, 120, 40}}}},
      {"birds/gulls.jpg", 1024, 768, {110, 150, 210}, {210, 225, 240}, 0.75, {70, 110, 150}, {140, 170, 190}, true,
       {{Kind::Bird, 0.3, 0.3, 0.05, 0, kDark},
        {Kind::Bird, 0.42, 0.22, 0.04, 0, kDark},
        {Kind::Bird, 0.6, 0.35, 0.06, 0, kDark},
        {Kind::Bird, 0.72, 0.18, 0.03, 0, kDark}}},
      {"lakes/dawn.jpg", 1024, 768, {60, 50, 110}, dusk, 0.6, {20, 30, 60}, {120, 80, 80}, true,
       {{Kind::Disc, 0.5, 0.56, 0.07, 0, {255, 220, 120}},
        {Kind::Peak, 0.15, 0.45, 0.25, 0.6, {40, 35, 60}},
        {Kind::Peak, 0.85, 0.5, 0.2, 0.6, {50, 40, 70}}}},
      {"lakes/mirror.jpg", 1024, 768, blueTop, blueLow, 0.5, lake, {100, 140, 160}, true,
       {{Kind::Peak, 0.35, 0.18, 0.3, 0.5, {110, 110, 130}},
        {Kind::Peak, 0.35, 0.18, 0.07, 0.25, kWhite},
        {Kind::Peak, 0.7, 0.28, 0.25, 0.5, {90, 100, 110}},
        {Kind::Box, 0, 0.46, 1, 0.5, {50, 90, 50}}}},
      {"lakes/reeds.jpg", 768, 1024, {150, 180, 220}, {230, 230, 220}, 0.45, {50, 70, 60}, {110, 140, 120}, true,
       {{Kind::Box, 0.2, 0.25, 0.215, 0.45, {120, 100, 40}},
        {Kind::Oval, 0.207, 0.24, 0.012, 0.04, {90, 60, 30}},
        {Kind::Box, 0.32, 0.3, 0.333, 0.45, {120, 100, 40}},
        {Kind::Oval, 0.326, 0.29, 0.012, 0.04, {90, 60, 30}},
        {Kind::Box, 0.75, 0.2, 0.765, 0.45, {120, 100, 40}},
        {Kind::Oval, 0.757, 0.19, 0.012, 0.04, {90, 60, 30}}}},
      {"city/towers.jpg", 1024, 768, {90, 140, 210}, {200, 220, 235}, 0.8, {70, 70, 75}, {110, 110, 115}, false,
       {{Kind::Box, 0.08, 0.3, 0.25, 0.8, {150, 140, 130}},
        {Kind::Box, 0.3, 0.12, 0.45, 0.8, {100, 110, 130}},
        {Kind::Windows, 0.31, 0.14, 0.44, 0.78, {210, 220, 235}},
        {Kind::Box, 0.52, 0.4, 0.7, 0.8, {170, 120, 90}},
        {Kind::Box, 0.75, 0.22, 0.92, 0.8, {120, 125, 125}}}},
      {"city/bridge.jpg", 1024, 768, {120, 160, 210}, {220, 225, 230}, 0.62, {40, 70, 100}, {90, 120, 140}, true,
       {{Kind::Box, 0, 0.5, 1, 0.53, {150, 60, 40}},
        {Kind::Box, 0.25, 0.2, 0.28, 0.62, {150, 60, 40}},
        {Kind::Box, 0.72, 0.2, 0.75, 0.62, {150, 60, 40}},
        {Kind::Box, 0.2, 0.2, 0.8, 0.215, {150, 60, 40}}}},
      {"city/night/lights.jpg", 1024, 768, night, nightLow, 0.85, {20, 20, 25}, {35, 35, 40}, false,
       {{Kind::Box, 0.05, 0.35, 0.3, 0.85, {25, 25, 35}},
        {Kind::Windows, 0.06, 0.37, 0.29, 0.84, {250, 210, 120}},
        {Kind::Box, 0.38, 0.2, 0.6, 0.85, {30, 30, 45}},
        {Kind::Windows, 0.39, 0.22, 0.59, 0.84, {240, 230, 170}},
        {Kind::Box, 0.68, 0.45, 0.95, 0.85, {25, 25, 35}},
        {Kind::Windows, 0.69, 0.47, 0.94, 0.84, {250, 190, 100}}}},
      {"city/night/moon.jpg", 768, 1024, night, nightLow, 0.8, {15, 15, 20}, {30, 30, 40}, false,
       {{Kind::Disc, 0.62, 0.22, 0.09, 0, {240, 240, 220}},
        {Kind::Disc, 0.66, 0.2, 0.08, 0, {17, 20, 50}},
        {Kind::Box, 0.1, 0.55, 0.45, 0.8, {20, 20, 30}},
        {Kind::Windows, 0.11, 0.57, 0.44, 0.79, {230, 200, 120}}}},
      // The thumbnail of the movie waves.mp4, made by hand as a site's
      // author makes one for a movie (the thumbnail builder reads JPEGs only).
      {"thumbs/tn_waves_mp4.jpg", 120, 90, {43, 76, 126}, {232, 168, 96}, 0.54, {29, 60, 90}, {60, 90, 120}, true,
       {{Kind::Disc, 0.69, 0.46, 0.07, 0, {248, 224, 160}}}},
  };
}

// ---- GIF icons -------------------------------------------------------------

// Variable-width LZW codes packed LSB first, as GIF stores them.
struct CodeWriter {
  std::vector<uint8_t> bytes;
  uint32_t bits = 0;
  int count = 0;
  void Put(int code, int width) {
    bits |= static_cast<uint32_t>(code) << count;
    count += width;
    while (count >= 8) {
      bytes.push_back(static_cast<uint8_t>(bits));
      bits >>= 8;
      count -= 8;
    }
  }
  void Flush() {
    if (count > 0) bytes.push_back(static_cast<uint8_t>(bits));
    bits = 0;
    count = 0;
  }
};

std::vector<uint8_t> LzwEncode(const std::vector<uint8_t>& pixels, int minCodeSize) {
  const int clear = 1 << minCodeSize, end = clear + 1;
  std::vector<int> table(4096 * 256, -1);  // (prefix code, next byte) -> code
  CodeWriter out;
  int next = end + 1, width = minCodeSize + 1;
  out.Put(clear, width);
  int prefix = pixels[0];
  for (size_t i = 1; i < pixels.size(); ++i) {
    int k = pixels[i];
    int& slot = table[prefix * 256 + k];
    if (slot >= 0) {
      prefix = slot;
      continue;
    }
    out.Put(prefix, width);
    if (next < 4095) {
      slot = next++;
      if (next > (1 << width) && width < 12) ++width;
    } else {
      out.Put(clear, width);
      std::fill(table.begin(), table.end(), -1);
      next = end + 1;
      width = minCodeSize + 1;
    }
    prefix = k;
  }
  out.Put(prefix, width);
  out.Put(end, width);
  out.Flush();
  return out.bytes;
}

void Put16(std::vector<uint8_t>& v, int n) {
  v.push_back(static_cast<uint8_t>(n));
  v.push_back(static_cast<uint8_t>(n >> 8));
}

// A GIF89a of 8 palette colours; colour 0 is transparent.
bool WriteGif(const std::string& path, int w, int h, const std::vector<uint8_t>& pixels,
              const Rgb (&palette)[8]) {
  std::vector<uint8_t> v = {'G', 'I', 'F', '8', '9', 'a'};
  Put16(v, w);
  Put16(v, h);
  v.insert(v.end(), {0xF2, 0, 0});  // global table of 8 colours
  for (const Rgb& c : palette) v.insert(v.end(), {Clamp(c.r), Clamp(c.g), Clamp(c.b)});
  v.insert(v.end(), {0x21, 0xF9, 4, 1, 0, 0, 0, 0});  // transparent colour 0
  v.push_back(0x2C);
  Put16(v, 0);
  Put16(v, 0);
  Put16(v, w);
  Put16(v, h);
  v.push_back(0);
  v.push_back(3);  // minimum code size
  std::vector<uint8_t> data = LzwEncode(pixels, 3);
  for (size_t i = 0; i < data.size(); i += 255) {
    size_t n = std::min<size_t>(255, data.size() - i);
    v.push_back(static_cast<uint8_t>(n));
    v.insert(v.end(), data.begin() + i, data.begin() + i + n);
  }
  v.push_back(0);
  v.push_back(0x3B);
  FILE* f = OpenFile(path.c_str(), "wb");
  if (!f) return false;
  bool ok = fwrite(v.data(), 1, v.size(), f) == v.size();
  return fclose(f) == 0 && ok;
}

// Icon pictures: a rounded button (colour 1, rim 2) with a glyph (colour 3).
enum class Glyph { Left, Right, Home, Up, Close, None };

bool InGlyph(Glyph g, double x, double y) {  // x, y in -1..1
  switch (g) {
    case Glyph::Left: return x > -0.45 && x < 0.45 && std::fabs(y) < 0.5 * (x + 0.45) / 0.9 * 1.2;
    case Glyph::Right: return x > -0.45 && x < 0.45 && std::fabs(y) < 0.5 * (0.45 - x) / 0.9 * 1.2;
    case Glyph::Up: return y > -0.5 && y < 0.4 && std::fabs(x) < 0.6 * (y + 0.5) / 0.9;
    case Glyph::Home:
      return (y > -0.55 && y < -0.05 && std::fabs(x) < 0.6 * (y + 0.55) / 0.5) ||
             (y >= -0.05 && y < 0.5 && std::fabs(x) < 0.38 && !(std::fabs(x) < 0.12 && y > 0.15));
    case Glyph::Close:
      return std::fabs(x) < 0.5 && std::fabs(y) < 0.5 &&
             (std::fabs(x - y) < 0.16 || std::fabs(x + y) < 0.16);
    case Glyph::None: return false;
  }
  return false;
}

bool WriteButton(const std::string& path, Glyph glyph, bool active) {
  const int size = 32;
  Rgb face = active ? Rgb{60, 110, 180} : Rgb{170, 170, 170};
  Rgb palette[8] = {{255, 255, 255}, face, {30, 40, 60}, kWhite, {}, {}, {}, {}};
  std::vector<uint8_t> pixels(size * size);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      double fx = (x + 0.5) / size * 2 - 1, fy = (y + 0.5) / size * 2 - 1;
      double r = std::pow(std::pow(std::fabs(fx), 4) + std::pow(std::fabs(fy), 4), 0.25);
      uint8_t c = r > 0.98 ? 0 : r > 0.86 ? 2 : InGlyph(glyph, fx, fy) ? 3 : 1;
      pixels[y * size + x] = c;
    }
  }
  return WriteGif(path, size, size, pixels, palette);
}

// The picture shown for an entry without a thumbnail: a folder.
bool WriteFolderIcon(const std::string& path) {
  const int w = 64, h = 48;
  Rgb palette[8] = {{255, 255, 255}, {235, 190, 80}, {150, 110, 30}, {250, 215, 120}, {}, {}, {}, {}};
  std::vector<uint8_t> pixels(w * h, 0);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      bool tab = y >= 4 && y < 12 && x >= 6 && x < 28;
      bool body = y >= 10 && y < 44 && x >= 4 && x < 60;
      bool rim = body && (y == 10 || y == 43 || x == 4 || x == 59);
      bool front = y >= 18 && y < 44 && x >= 4 && x < 60;
      uint8_t c = 0;
      if (tab || body) c = 1;
      if (front) c = 3;
      if (rim || (tab && (y == 4 || x == 6 || x == 27))) c = 2;
      pixels[y * w + x] = c;
    }
  }
  return WriteGif(path, w, h, pixels, palette);
}

// A strip of film: dark, with a column of sprocket holes on each side.
bool InFilmHole(int x, int y, int w, int h, int border) {
  bool side = x < border || x >= w - border;
  bool hole = (y % 8) >= 2 && (y % 8) < 6 && (x % border) >= 2 && (x % border) < border - 2;
  return side && hole && y > 1 && y < h - 2;
}

// The movie poster shown when a movie has no picture of its own: a frame of
// film with a play button.
bool WriteMoviePoster(const std::string& path) {
  const int w = 120, h = 90, border = 10;
  Rgb palette[8] = {{255, 255, 255}, {40, 40, 48}, {230, 230, 220}, {60, 110, 180}, kWhite, {}, {}, {}};
  std::vector<uint8_t> pixels(w * h, 1);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      double fx = (x - w / 2.0) / 28, fy = (y - h / 2.0) / 28;
      uint8_t c = 1;
      if (InFilmHole(x, y, w, h, border)) c = 2;
      if (fx * fx + fy * fy < 1) c = 3;
      if (fx > -0.35 && fx < 0.55 && std::fabs(fy) < 0.5 * (0.55 - fx) / 0.9 * 1.2) c = 4;
      pixels[y * w + x] = c;
    }
  }
  return WriteGif(path, w, h, pixels, palette);
}

// The film strip beside the words of a movie slide.
bool WriteFilmStrip(const std::string& path) {
  const int w = 24, h = 64, border = 8;
  Rgb palette[8] = {{255, 255, 255}, {40, 40, 48}, {230, 230, 220}, {90, 120, 160}, {}, {}, {}, {}};
  std::vector<uint8_t> pixels(w * h, 1);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      uint8_t c = 1;
      if (InFilmHole(x, y, w, h, border)) c = 2;
      if (x >= border + 1 && x < w - border - 1 && (y % 16) >= 2 && (y % 16) < 14) c = 3;
      pixels[y * w + x] = c;
    }
  }
  return WriteGif(path, w, h, pixels, palette);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: make_gallery GALLERY_FOLDER KIT_FOLDER\n");
    return 2;
  }
  std::string folder = argv[1];
  bool ok = true;
  for (const Scene& scene : Scenes()) ok = PaintScene(scene, folder) && ok;
  std::string icons = std::string(argv[2]) + "/";
  ok = WriteButton(icons + "prev.gif", Glyph::Left, true) && ok;
  ok = WriteButton(icons + "next.gif", Glyph::Right, true) && ok;
  ok = WriteButton(icons + "noprev.gif", Glyph::Left, false) && ok;
  ok = WriteButton(icons + "nonext.gif", Glyph::Right, false) && ok;
  ok = WriteButton(icons + "home.gif", Glyph::Home, true) && ok;
  ok = WriteButton(icons + "back.gif", Glyph::Up, true) && ok;
  ok = WriteButton(icons + "close.gif", Glyph::Close, true) && ok;
  ok = WriteMoviePoster(icons + "smovie.gif") && ok;
  ok = WriteFilmStrip(icons + "smovie1.gif") && ok;
  ok = WriteFolderIcon(icons + "nothumb.gif") && ok;
  if (!ok) fprintf(stderr, "some pictures were not written\n");
  return ok ? 0 : 1;
}
