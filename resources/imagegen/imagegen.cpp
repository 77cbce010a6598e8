// Draws the program icon and the tick and cross pictures and writes them as the files the
// program embeds, so the product build needs no image tools.
// Usage: imagegen OUTDIR  ->  OUTDIR/sondrel.ico, OUTDIR/tick.gif and OUTDIR/cross.gif (32
// pixels), OUTDIR/tickN.gif and OUTDIR/crossN.gif (N pixels) for each larger size
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

struct Rgb {
  uint8_t r, g, b;
};

struct Point {
  double x, y;
};

// An indexed picture with its palette.
struct Image {
  int width, height;
  std::vector<Rgb> palette;
  std::vector<uint8_t> pixels;
  Image(int w, int h, std::vector<Rgb> colours, uint8_t background)
      : width(w), height(h), palette(std::move(colours)), pixels(size_t(w) * h, background) {}
  uint8_t At(int x, int y) const { return pixels[size_t(y) * width + x]; }
  void Set(int x, int y, uint8_t index) { pixels[size_t(y) * width + x] = index; }
};

// Which pixels a shape covers, sampled at pixel centres (no antialiasing).
class Mask {
 public:
  Mask(int w, int h, const std::function<bool(double, double)>& inside)
      : width_(w), height_(h), bits_(size_t(w) * h) {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) bits_[size_t(y) * w + x] = inside(x + 0.5, y + 0.5);
  }
  bool At(int x, int y) const {
    return x >= 0 && y >= 0 && x < width_ && y < height_ && bits_[size_t(y) * width_ + x];
  }
  // True for covered pixels with an uncovered 4-neighbour: the one-pixel outline.
  bool Edge(int x, int y) const {
    return At(x, y) && !(At(x - 1, y) && At(x + 1, y) && At(x, y - 1) && At(x, y + 1));
  }
  // The shape without its outline.
  Mask Eroded() const {
    return Mask(width_, height_,
                [&](double x, double y) { return At(int(x), int(y)) && !Edge(int(x), int(y)); });
  }
  Mask Shifted(int dx, int dy) const {
    return Mask(width_, height_, [&](double x, double y) { return At(int(x) - dx, int(y) - dy); });
  }

 private:
  int width_, height_;
  std::vector<bool> bits_;
};

bool InPolygon(const std::vector<Point>& poly, double x, double y) {
  bool in = false;
  for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
    const Point a = poly[i], b = poly[j];
    if ((a.y > y) != (b.y > y) && x < a.x + (y - a.y) * (b.x - a.x) / (b.y - a.y)) in = !in;
  }
  return in;
}

// ---- Tick and cross ---------------------------------------------------------------------

// The classic 16-colour Windows palette; silver is the transparent background.
const std::vector<Rgb> kVgaPalette = {
    {0, 0, 0},     {128, 0, 0},     {0, 128, 0},     {128, 128, 0},  {0, 0, 128}, {128, 0, 128},
    {0, 128, 128}, {192, 192, 192}, {128, 128, 128}, {255, 0, 0},    {0, 255, 0}, {255, 255, 0},
    {0, 0, 255},   {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};
constexpr uint8_t kBlack = 0, kMaroon = 1, kGreen = 2, kNavy = 4, kSilver = 7, kGrey = 8, kRed = 9,
                  kLime = 10;

// The marks are designed on a 32-pixel square, their size at 96 dpi, and drawn afresh for the
// common display scalings: 100, 125, 150, 175, 200, 250, 300 and 400 %. For any other the
// program shrinks the next larger one, by at most a quarter.
constexpr int kDesignSide = 32;
constexpr int kMarkSides[] = {32, 40, 48, 56, 64, 80, 96, 128};

// A length of the design, in whole pixels at `side`; never thinner than one pixel.
int Scaled(double design_pixels, int side) {
  return std::max(1, int(std::lround(design_pixels * side / kDesignSide)));
}

// The design's polygons at `side`, sampled at pixel centres. Many centres fall exactly on an
// edge; nudged right and a little less down, each such centre lands on the side the 32-pixel
// drawing puts it, not on whichever side the scaled arithmetic's rounding happens to give.
Mask Shape(const std::vector<std::vector<Point>>& polygons, int side) {
  constexpr double kNudgeX = 2e-4, kNudgeY = 1e-4;
  const double scale = double(kDesignSide) / side;
  return Mask(side, side, [&](double x, double y) {
    return std::any_of(polygons.begin(), polygons.end(), [&](const std::vector<Point>& polygon) {
      return InPolygon(polygon, (x + kNudgeX) * scale, (y + kNudgeY) * scale);
    });
  });
}

// Paints a mark: grey shadow below and right, an edge, and a light band just inside the edges
// that face the upper left, as if lit from there. Edge and band are one pixel wide at 32 and
// grow with the size, like the shadow's offset.
Image Mark(int side, const Mask& shape, uint8_t edge, uint8_t fill, uint8_t highlight) {
  Image image(side, side, kVgaPalette, kSilver);
  const int line = Scaled(1, side), offset = Scaled(2, side);
  Mask inside = shape;
  for (int i = 0; i < line; ++i) inside = inside.Eroded();
  const auto on_edge = [&](int x, int y) { return shape.At(x, y) && !inside.At(x, y); };
  const auto lit = [&](int x, int y) {
    for (int k = 1; k <= line; ++k)
      if (on_edge(x - k, y - k) || on_edge(x, y - k)) return true;
    return false;
  };
  const Mask shadow = shape.Shifted(offset, offset);
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) {
      if (on_edge(x, y))
        image.Set(x, y, edge);
      else if (inside.At(x, y))
        image.Set(x, y, lit(x, y) ? highlight : fill);
      else if (shadow.At(x, y))
        image.Set(x, y, kGrey);
    }
  return image;
}

// The corners that point right are cut back one pixel of the design: the 32-pixel drawing,
// sampled at pixel centres, never reaches them, and the larger ones keep its proportions.
Image Tick(int side) {
  const std::vector<Point> outline = {{3, 16}, {7, 12},  {12, 17}, {24, 5},
                                      {27, 8}, {27, 10}, {12, 25}};
  return Mark(side, Shape({outline}, side), kNavy, kGreen, kLime);
}

Image Cross(int side) {
  // Two bars with square ends, 45 degrees either way, cut back at the right like the tick.
  const std::vector<Point> down = {{7, 3}, {26, 22}, {26, 24}, {23, 27}, {3, 7}};
  const std::vector<Point> up = {{3, 23}, {23, 3}, {26, 6}, {26, 8}, {7, 27}};
  return Mark(side, Shape({down, up}, side), kBlack, kMaroon, kRed);
}

// ---- Program icon -------------------------------------------------------------------------

enum IconColour : uint8_t {
  kClear,  // also black; transparent where the AND mask says so
  kRim,
  kAmberDeep,
  kAmberShade,
  kAmber,
  kAmberLight,
  kAmberGlint,
  kSteelDark,
  kSteelMid,
  kSteel,
  kSteelLight,
  kWhite,
  kHandleDark,
  kHandle,
  kHandleLight,
  kHandleGlint,
};

const std::vector<Rgb> kIconPalette = {
    {0, 0, 0},       {72, 40, 0},     {152, 88, 0},    {204, 128, 8},
    {244, 172, 28},  {255, 206, 96},  {255, 236, 168}, {56, 56, 64},
    {120, 120, 132}, {176, 176, 188}, {224, 224, 232}, {255, 255, 255},
    {112, 0, 0},     {192, 24, 16},   {240, 80, 56},   {255, 168, 144}};

constexpr double kPlateLow = 2, kPlateHigh = 46, kCorner = 6;

bool InPlate(double x, double y) {
  const double cx = std::clamp(x, kPlateLow + kCorner, kPlateHigh - kCorner);
  const double cy = std::clamp(y, kPlateLow + kCorner, kPlateHigh - kCorner);
  return x > kPlateLow && y > kPlateLow && x < kPlateHigh && y < kPlateHigh &&
         std::hypot(x - cx, y - cy) <= kCorner;
}

// Screwdriver coordinates: u runs along the tool from the handle end, v across it, positive
// towards the upper left where the light comes from.
constexpr Point kHandleEnd = {8.5, 39.5}, kTip = {39.5, 8.5};
constexpr double kHandleLength = 17, kFerruleLength = 3;

struct ToolPoint {
  double u, v;
};

double ToolLength() { return std::hypot(kTip.x - kHandleEnd.x, kTip.y - kHandleEnd.y); }

ToolPoint ToTool(double x, double y) {
  const double len = ToolLength();
  const double dx = (kTip.x - kHandleEnd.x) / len, dy = (kTip.y - kHandleEnd.y) / len;
  const double px = x - kHandleEnd.x, py = y - kHandleEnd.y;
  return {px * dx + py * dy, px * dy - py * dx};
}

// Half-width of the tool at u; negative outside it.
double ToolRadius(double u) {
  const double length = ToolLength();
  if (u < 0 || u > length) return -1;
  if (u < kHandleLength) return std::min(4.6, 3.4 + u);  // handle with a chamfered end
  if (u < kHandleLength + kFerruleLength) return 2.8;
  if (u > length - 4) return 1.7 - 0.15 * (u - (length - 4));  // the blade narrows
  return 1.7;
}

bool InTool(double x, double y) {
  const ToolPoint p = ToTool(x, y);
  return std::abs(p.v) <= ToolRadius(p.u);
}

// Colour of a point on the tool: shaded across its width, steel or red by part.
uint8_t ToolColour(double x, double y, bool edge) {
  const ToolPoint p = ToTool(x, y);
  const bool handle = p.u < kHandleLength;
  if (edge) return handle ? kClear : kSteelDark;
  const double across = p.v / ToolRadius(p.u);  // -1 .. 1
  if (handle) {
    if (std::fmod(p.u, 4.0) < 1.0 && p.u > 3 && across < 0.55) return kHandleDark;  // grip rings
    return across > 0.5    ? kHandleGlint
           : across > 0    ? kHandleLight
           : across > -0.5 ? kHandle
                           : kHandleDark;
  }
  return across > 0.3 ? kSteelLight : across > -0.3 ? kSteel : kSteelMid;
}

struct Screw {
  Point centre;
  double slot_angle;
};
constexpr double kScrewRadius = 4.6;
const Screw kScrews[] = {{{12, 12}, 0.5}, {{36, 36}, -0.9}};

// Colour of a pixel on a screw head: a slot with a bright lower lip, shaded as a dome.
uint8_t ScrewColour(const Screw& screw, double x, double y, bool edge) {
  const double dx = x - screw.centre.x, dy = y - screw.centre.y;
  if (edge) return kSteelDark;
  const double along = dx * std::cos(screw.slot_angle) + dy * std::sin(screw.slot_angle);
  const double across = -dx * std::sin(screw.slot_angle) + dy * std::cos(screw.slot_angle);
  if (std::abs(across) < 0.6 && std::abs(along) < kScrewRadius - 1) return kSteelDark;
  if (across >= 0.6 && across < 1.6 && std::abs(along) < kScrewRadius - 1.5) return kWhite;
  const double light = -(dx + dy) / (kScrewRadius * std::sqrt(2.0));  // 1 at upper left
  return light > 0.35 ? kSteelLight : light > -0.25 ? kSteel : kSteelMid;
}

Image ProgramIcon() {
  Image image(48, 48, kIconPalette, kClear);
  image.palette.resize(256, Rgb{0, 0, 0});
  const Mask plate(48, 48, InPlate);
  const Mask tool(48, 48, InTool);
  const Mask tool_shadow = tool.Shifted(2, 2);
  std::vector<Mask> screws, screw_shadows;
  for (const Screw& s : kScrews) {
    screws.emplace_back(48, 48, [&](double x, double y) {
      return std::hypot(x - s.centre.x, y - s.centre.y) <= kScrewRadius;
    });
    screw_shadows.push_back(screws.back().Shifted(1, 1));
  }
  const Mask bevel_outer = plate.Eroded(), bevel_inner = bevel_outer.Eroded();

  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 48; ++x) {
      if (!plate.At(x, y)) continue;
      const bool lit = x + y < 47;  // the bevel's upper-left half catches the light
      uint8_t c = kAmber;
      if (plate.Edge(x, y))
        c = kRim;
      else if (bevel_outer.Edge(x, y))
        c = lit ? kAmberGlint : kAmberDeep;
      else if (bevel_inner.Edge(x, y))
        c = lit ? kAmberLight : kAmberShade;
      for (size_t i = 0; i < screws.size(); ++i) {
        if (screws[i].At(x, y))
          c = ScrewColour(kScrews[i], x + 0.5, y + 0.5, screws[i].Edge(x, y));
        else if (screw_shadows[i].At(x, y))
          c = kAmberShade;
      }
      if (tool.At(x, y))
        c = ToolColour(x + 0.5, y + 0.5, tool.Edge(x, y));
      else if (tool_shadow.At(x, y))
        c = kAmberShade;
      image.Set(x, y, c);
    }
  return image;
}

// ---- File formats -------------------------------------------------------------------------

class Writer {
 public:
  void U8(int v) { data.push_back(uint8_t(v)); }
  void U16(int v) { U8(v & 0xFF), U8((v >> 8) & 0xFF); }
  void U32(uint32_t v) { U16(int(v & 0xFFFF)), U16(int(v >> 16)); }
  void Text(const char* s) {
    while (*s) U8(*s++);
  }
  Bytes data;
};

// Packs variable-width codes least significant bit first, as GIF wants.
class BitPacker {
 public:
  void Put(int code, int width) {
    buffer_ |= uint32_t(code) << bits_;
    bits_ += width;
    for (; bits_ >= 8; bits_ -= 8, buffer_ >>= 8) out_.push_back(uint8_t(buffer_ & 0xFF));
  }
  Bytes Finish() {
    if (bits_ > 0) out_.push_back(uint8_t(buffer_ & 0xFF));
    return std::move(out_);
  }

 private:
  Bytes out_;
  uint32_t buffer_ = 0;
  int bits_ = 0;
};

// GIF LZW: codes grow from min_code_size + 1 bits up to 12; the table restarts with a clear
// code one entry before it is full, which every decoder accepts.
Bytes LzwEncode(const std::vector<uint8_t>& pixels, int min_code_size) {
  const int clear = 1 << min_code_size, end = clear + 1;
  constexpr int kMaxBits = 12, kLastCode = (1 << kMaxBits) - 1;
  std::unordered_map<uint32_t, int> table;  // (prefix code << 8 | pixel) -> code
  int width = min_code_size + 1, next = end + 1;
  BitPacker out;
  out.Put(clear, width);
  int prefix = -1;
  for (uint8_t pixel : pixels) {
    if (prefix < 0) {
      prefix = pixel;
      continue;
    }
    const uint32_t key = uint32_t(prefix) << 8 | pixel;
    if (const auto found = table.find(key); found != table.end()) {
      prefix = found->second;
      continue;
    }
    out.Put(prefix, width);
    if (next == kLastCode) {
      out.Put(clear, width);
      table.clear();
      width = min_code_size + 1;
      next = end + 1;
    } else {
      table.emplace(key, next);
      if (next == (1 << width) && width < kMaxBits) ++width;
      ++next;
    }
    prefix = pixel;
  }
  if (prefix >= 0) out.Put(prefix, width);
  // The decoder adds a table entry on reading that last code, which may widen the end code.
  if (next == (1 << width) && width < kMaxBits) ++width;
  out.Put(end, width);
  return out.Finish();
}

Bytes Gif(const Image& image, uint8_t transparent) {
  constexpr int kCodeSize = 4;  // 16 colours
  Writer w;
  w.Text("GIF89a");
  w.U16(image.width), w.U16(image.height);
  w.U8(0x80 | (kCodeSize - 1) << 4 | (kCodeSize - 1)), w.U8(transparent), w.U8(0);
  for (int i = 0; i < 1 << kCodeSize; ++i)
    w.U8(image.palette[i].r), w.U8(image.palette[i].g), w.U8(image.palette[i].b);
  w.U8(0x21), w.U8(0xF9), w.U8(4), w.U8(0x01), w.U16(0), w.U8(transparent), w.U8(0);
  w.U8(0x2C), w.U16(0), w.U16(0), w.U16(image.width), w.U16(image.height), w.U8(0);
  w.U8(kCodeSize);
  const Bytes codes = LzwEncode(image.pixels, kCodeSize);
  for (size_t at = 0; at < codes.size(); at += 255) {
    const size_t n = std::min<size_t>(255, codes.size() - at);
    w.U8(int(n));
    w.data.insert(w.data.end(), codes.begin() + at, codes.begin() + at + n);
  }
  w.U8(0), w.U8(0x3B);
  return w.data;
}

// An icon holding one 8-bit image; pixels of index 0 outside `opaque` are transparent.
Bytes Ico(const Image& image, const Mask& opaque) {
  const int w = image.width, h = image.height;
  const int xor_row = (w + 3) / 4 * 4, and_row = (w + 31) / 32 * 4;
  const uint32_t bitmap = uint32_t(xor_row * h + and_row * h);
  const uint32_t size = 40 + 256 * 4 + bitmap;
  Writer b;
  b.U16(0), b.U16(1), b.U16(1);                            // icon directory, one image
  b.U8(w), b.U8(h), b.U8(0), b.U8(0), b.U16(1), b.U16(8);  // 256 colours
  b.U32(size), b.U32(6 + 16);
  b.U32(40), b.U32(uint32_t(w)), b.U32(uint32_t(h * 2));  // height covers both masks
  b.U16(1), b.U16(8), b.U32(0), b.U32(bitmap), b.U32(0), b.U32(0), b.U32(0), b.U32(0);
  for (int i = 0; i < 256; ++i) {
    const Rgb c = image.palette[size_t(i)];
    b.U8(c.b), b.U8(c.g), b.U8(c.r), b.U8(0);
  }
  for (int y = h - 1; y >= 0; --y)
    for (int x = 0; x < xor_row; ++x) b.U8(x < w && opaque.At(x, y) ? image.At(x, y) : 0);
  for (int y = h - 1; y >= 0; --y)
    for (int byte = 0; byte < and_row; ++byte) {
      int bits = 0;
      for (int bit = 0; bit < 8; ++bit) {
        const int x = byte * 8 + bit;
        if (x >= w || !opaque.At(x, y)) bits |= 0x80 >> bit;
      }
      b.U8(bits);
    }
  return b.data;
}

bool Write(const std::string& path, const Bytes& bytes) {
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  if (!file) std::fprintf(stderr, "imagegen: cannot write %s\n", path.c_str());
  return bool(file);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: imagegen OUTDIR\n");
    return 2;
  }
  const std::string dir = argv[1];
  bool ok = Write(dir + "/sondrel.ico", Ico(ProgramIcon(), Mask(48, 48, InPlate)));
  for (const int side : kMarkSides) {
    // The 96-dpi pictures keep their plain names.
    const std::string suffix = side == kDesignSide ? "" : std::to_string(side);
    ok = ok && Write(dir + "/tick" + suffix + ".gif", Gif(Tick(side), kSilver)) &&
         Write(dir + "/cross" + suffix + ".gif", Gif(Cross(side), kSilver));
  }
  return ok ? 0 : 1;
}
