// g++ -std=c++17 -O2 resources/tools/MakeBanner.cpp -ljpeg -o /tmp/makebanner && /tmp/makebanner
// resources/banner.jpg
//
// Draws the banner and writes it as the baseline JPEG that the program embeds.
// The window shows only rows 11 to 99 and columns 0 to 311; the instruction
// line, the wait-time caption and the combo box cover x 71..311 y 20..40,
// x 119..223 y 83..99 and x 234..305 y 81..101, so the emblem sits at the left
// and the waves carry the middle band. Every random choice comes from a fixed
// seed, so each run writes the same bytes.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// jpeglib.h uses FILE and size_t without declaring them.
#include <jpeglib.h>

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 130;
constexpr int kSamples = 4;  // per axis, for anti-aliasing
// Quality and grain together set the file at about 40 KB.
constexpr int kQuality = 98;
constexpr double kGrain = 3.5;

struct Colour {
  double r, g, b;
};

constexpr Colour kWhite{255, 255, 255};

Colour Mix(Colour a, Colour b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

double Clamp01(double v) { return std::min(1.0, std::max(0.0, v)); }

double Smooth(double edge0, double edge1, double v) {
  const double t = Clamp01((v - edge0) / (edge1 - edge0));
  return t * t * (3 - 2 * t);
}

// Coverage from a signed distance (negative inside); the supersampling does
// the anti-aliasing, the softness only rounds off the sample grid.
double Cover(double distance, double softness = 0.5) { return Clamp01(0.5 - distance / softness); }

double RoundedBox(double x, double y, double left, double top, double right, double bottom,
                  double radius) {
  const double halfW = (right - left) / 2, halfH = (bottom - top) / 2;
  const double qx = std::fabs(x - (left + right) / 2) - halfW + radius;
  const double qy = std::fabs(y - (top + bottom) / 2) - halfH + radius;
  return std::hypot(std::max(qx, 0.0), std::max(qy, 0.0)) + std::min(std::max(qx, qy), 0.0) -
         radius;
}

double Segment(double x, double y, double ax, double ay, double bx, double by) {
  const double px = x - ax, py = y - ay, dx = bx - ax, dy = by - ay;
  const double t = Clamp01((px * dx + py * dy) / (dx * dx + dy * dy));
  return std::hypot(px - dx * t, py - dy * t);
}

struct Point {
  double x, y;
};

// Distance to a filled triangle, negative inside (corners given clockwise on screen).
double Triangle(double x, double y, Point a, Point b, Point c) {
  const double edges =
      std::min({Segment(x, y, a.x, a.y, b.x, b.y), Segment(x, y, b.x, b.y, c.x, c.y),
                Segment(x, y, c.x, c.y, a.x, a.y)});
  auto side = [x, y](Point p, Point q) {
    return (q.x - p.x) * (y - p.y) - (q.y - p.y) * (x - p.x);
  };
  const bool inside = side(a, b) >= 0 && side(b, c) >= 0 && side(c, a) >= 0;
  return inside ? -edges : edges;
}

// ---- Background ------------------------------------------------------------

double WaveCrest(int layer, double x) {
  const double base[] = {50, 61, 73, 86};
  const double swing[] = {7, 6, 8, 5};
  return base[layer] + swing[layer] * std::sin(x / (46.0 + layer * 11) + layer * 2.1) +
         2.5 * std::sin(x / (17.0 + layer * 3) + layer * 0.7);
}

struct Sparkle {
  double x, y, size, strength;
  bool star;
};

std::vector<Sparkle> MakeSparkles() {
  std::vector<Sparkle> sparkles;
  std::uint32_t state = 20261210;
  auto next = [&state] {
    state = state * 1664525u + 1013904223u;
    return (state >> 8) / 16777216.0;
  };
  for (int i = 0; i < 90; ++i) {
    const bool star = i % 9 == 0;
    const double x = 74 + next() * 246, y = 6 + next() * 100;
    const double size = star ? 3.5 + next() * 2.5 : 0.5 + next() * 1.1;
    const double strength = star ? 0.75 : 0.18 + next() * 0.4;
    sparkles.push_back({x, y, size, strength, star});
  }
  return sparkles;
}

const std::vector<Sparkle> kSparkles = MakeSparkles();

Colour Background(double x, double y) {
  const Colour deep{26, 82, 150}, teal{34, 138, 166}, violet{108, 92, 180};
  const double t = Clamp01(x / kWidth * 0.8 + y / kHeight * 0.2);
  Colour c = t < 0.4 ? Mix(deep, teal, Smooth(0, 0.4, t)) : Mix(teal, violet, Smooth(0.4, 1, t));

  // A soft light from the top left, behind the emblem.
  c = Mix(c, Colour{120, 190, 220},
          0.28 * std::exp(-(std::pow(x - 30, 2) + std::pow(y - 40, 2)) / 2400));

  // Halftone dots that fade in toward the right, as a quiet texture.
  const double pitch = 5;
  const double cx = (std::floor(x / pitch) + 0.5) * pitch,
               cy = (std::floor(y / pitch) + 0.5) * pitch;
  const double dotRadius = 1.25 * Smooth(60, 300, cx) * (0.6 + 0.4 * std::sin(cy / 9 + cx / 23));
  c = Mix(c, kWhite, 0.10 * Cover(std::hypot(x - cx, y - cy) - dotRadius));

  // Layered translucent waves, each with a brighter ribbon along its crest.
  for (int layer = 0; layer < 4; ++layer) {
    const double crest = WaveCrest(layer, x);
    c = Mix(c, Colour{200, 235, 255}, 0.09 * Cover(crest - y, 0.8));
    c = Mix(c, kWhite, (0.4 - layer * 0.06) * Cover(std::fabs(y - crest) - 0.5));
    c = Mix(c, kWhite, 0.10 * std::exp(-std::pow(y - crest, 2) / 8));
  }

  // Deeper toward the bottom, where the picture is never seen.
  c = Mix(c, Colour{16, 36, 80}, Smooth(92, 130, y) * 0.4);

  for (const Sparkle& s : kSparkles) {
    const double dx = std::fabs(x - s.x), dy = std::fabs(y - s.y);
    if (s.star) {
      // Four thin tapering rays and a small glow.
      const double ray = std::min(dy - 0.6 * (1 - dx / s.size), dx - 0.6 * (1 - dy / s.size));
      c = Mix(c, kWhite, s.strength * Cover(ray));
      c = Mix(c, kWhite, 0.35 * std::exp(-(dx * dx + dy * dy) / 3));
    } else {
      c = Mix(c, kWhite, s.strength * Cover(std::hypot(dx, dy) - s.size, 1.2));
    }
  }
  return c;
}

// ---- Emblem: two documents and the arrow that copies one onto the other -----

struct Document {
  double left, top, right, bottom, fold;
  Colour paper, flap, ink;
  int lines;
};

Colour DrawDocument(double x, double y, Colour c, const Document& d) {
  const double cut = ((x - (d.right - d.fold)) - (y - d.top)) / std::sqrt(2.0);
  const double body = std::max(RoundedBox(x, y, d.left, d.top, d.right, d.bottom, 2), cut);
  const double shadow =
      RoundedBox(x, y, d.left + 1.5, d.top + 2.5, d.right + 1.5, d.bottom + 2.5, 3);
  c = Mix(c, Colour{10, 30, 70}, 0.32 * Cover(shadow, 5));
  c = Mix(c, Colour{70, 100, 140}, Cover(body - 0.6));  // thin rim
  c = Mix(c, d.paper, Cover(body + 0.4));
  const double flap = std::max({d.right - d.fold - x, y - (d.top + d.fold), cut});
  c = Mix(c, d.flap, Cover(flap + 0.3));
  for (int i = 0; i < d.lines; ++i) {
    const double lineY = d.top + 11 + i * 5.5;
    const double start = d.left + 5;
    const double end =
        i == d.lines - 1 ? d.left + (d.right - d.left) * 0.5 : d.right - 5 - (i % 2) * 4;
    c = Mix(c, d.ink, Cover(Segment(x, y, start, lineY, end, lineY) - 1.0));
  }
  return c;
}

Point Bezier(Point a, Point control, Point b, double t) {
  const double u = 1 - t;
  return {u * u * a.x + 2 * u * t * control.x + t * t * b.x,
          u * u * a.y + 2 * u * t * control.y + t * t * b.y};
}

Colour Emblem(double x, double y, Colour c) {
  const Document back{10, 18, 38, 54, 8, {222, 234, 248}, {190, 206, 228}, {140, 168, 206}, 5};
  const Document front{27, 36, 57, 77, 9, {255, 255, 255}, {214, 224, 238}, {92, 132, 190}, 6};
  c = DrawDocument(x, y, c, back);
  c = DrawDocument(x, y, c, front);

  // The arrow leaves the back page and curves down onto the front one.
  const Point from{40.5, 24}, control{62, 15}, to{58, 31};
  double path = 1e9;
  Point previous = from;
  for (int i = 1; i <= 32; ++i) {
    const Point p = Bezier(from, control, to, i / 32.0);
    path = std::min(path, Segment(x, y, previous.x, previous.y, p.x, p.y));
    previous = p;
  }
  const double dirX = to.x - control.x, dirY = to.y - control.y;
  const double length = std::hypot(dirX, dirY);
  const double ux = dirX / length, uy = dirY / length;
  const Point tip{to.x + ux * 5.5, to.y + uy * 5.5};
  const Point wingA{to.x - ux * 0.5 + uy * 5, to.y - uy * 0.5 - ux * 5};
  const Point wingB{to.x - ux * 0.5 - uy * 5, to.y - uy * 0.5 + ux * 5};
  const double arrow = std::min(path - 1.7, Triangle(x, y, wingA, tip, wingB));
  c = Mix(c, Colour{10, 30, 70}, 0.3 * Cover(arrow - 1.5, 3));
  c = Mix(c, Colour{176, 96, 18}, Cover(arrow - 0.8));
  c = Mix(c, Mix(Colour{255, 214, 90}, Colour{250, 160, 40}, Smooth(20, 36, y)), Cover(arrow));
  return c;
}

// Small deterministic noise, so that the gradients do not band.
double Grain(int x, int y, int channel) {
  std::uint32_t h = static_cast<std::uint32_t>(x) * 73856093u ^
                    static_cast<std::uint32_t>(y) * 19349663u ^
                    static_cast<std::uint32_t>(channel + 1) * 83492791u;
  h ^= h >> 13;
  h *= 0x5bd1e995u;
  h ^= h >> 15;
  return ((h & 0xFFFF) / 65535.0 - 0.5) * 2 * kGrain;
}

std::vector<unsigned char> Draw() {
  std::vector<unsigned char> rgb(static_cast<std::size_t>(kWidth) * kHeight * 3);
  for (int py = 0; py < kHeight; ++py) {
    for (int px = 0; px < kWidth; ++px) {
      Colour sum{0, 0, 0};
      for (int sy = 0; sy < kSamples; ++sy) {
        for (int sx = 0; sx < kSamples; ++sx) {
          const double x = px + (sx + 0.5) / kSamples;
          const double y = py + (sy + 0.5) / kSamples;
          const Colour c = Emblem(x, y, Background(x, y));
          sum = {sum.r + c.r, sum.g + c.g, sum.b + c.b};
        }
      }
      const double n = kSamples * kSamples;
      const double channels[] = {sum.r / n, sum.g / n, sum.b / n};
      unsigned char* out = &rgb[(static_cast<std::size_t>(py) * kWidth + px) * 3];
      for (int i = 0; i < 3; ++i) {
        const double v = channels[i] + Grain(px, py, i);
        out[i] = static_cast<unsigned char>(std::lround(std::min(255.0, std::max(0.0, v))));
      }
    }
  }
  return rgb;
}

// ---- Application segments ----------------------------------------------------

struct Bytes {
  std::vector<unsigned char> data;
  void U8(unsigned v) { data.push_back(static_cast<unsigned char>(v)); }
  void Le16(unsigned v) {
    U8(v & 0xFF);
    U8(v >> 8);
  }
  void Le32(std::uint32_t v) {
    Le16(v & 0xFFFF);
    Le16(v >> 16);
  }
  void Be16(unsigned v) {
    U8(v >> 8);
    U8(v & 0xFF);
  }
  void Be32(std::uint32_t v) {
    Be16(v >> 16);
    Be16(v & 0xFFFF);
  }
  void Text(const std::string& s) { data.insert(data.end(), s.begin(), s.end()); }
  void Zeros(std::size_t n) { data.insert(data.end(), n, 0); }
  void Append(const Bytes& other) { data.insert(data.end(), other.data.begin(), other.data.end()); }
  void PadTo(std::size_t multiple) {
    while (data.size() % multiple) U8(0);
  }
};

const std::string kSoftware = "f2paste banner generator";

// "Exif\0\0", then a little-endian TIFF header and IFD0; the offsets count
// from the TIFF header.
Bytes Exif() {
  const std::string date = "2026:12:10 12:00:00";
  const std::uint32_t entries = 3;
  const std::uint32_t valuesAt = 8 + 2 + entries * 12 + 4;
  Bytes b;
  b.Text(std::string("Exif\0\0", 6));
  b.Text("II");
  b.Le16(42);
  b.Le32(8);
  b.Le16(entries);
  // Tags in ascending order; a value of four bytes or less sits in the entry.
  b.Le16(0x0112);  // Orientation: rows top to bottom, columns left to right
  b.Le16(3);
  b.Le32(1);
  b.Le16(1);
  b.Le16(0);
  b.Le16(0x0131);  // Software
  b.Le16(2);
  b.Le32(kSoftware.size() + 1);
  b.Le32(valuesAt);
  b.Le16(0x0132);  // DateTime
  b.Le16(2);
  b.Le32(date.size() + 1);
  b.Le32(valuesAt + kSoftware.size() + 1);
  b.Le32(0);  // no IFD1
  b.Text(kSoftware);
  b.U8(0);
  b.Text(date);
  b.U8(0);
  return b;
}

Bytes Xmp() {
  Bytes b;
  b.Text(std::string("http://ns.adobe.com/xap/1.0/\0", 29));
  b.Text(
      "<?xpacket begin=\"\xEF\xBB\xBF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>\n"
      "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">\n"
      " <rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n"
      "  <rdf:Description rdf:about=\"\"\n"
      "    xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\"\n"
      "    xmlns:dc=\"http://purl.org/dc/elements/1.1/\"\n"
      "    xmp:CreatorTool=\"" +
      kSoftware +
      "\"\n"
      "    xmp:CreateDate=\"2026-12-10T12:00:00\">\n"
      "   <dc:title><rdf:Alt><rdf:li xml:lang=\"x-default\">f2paste banner</rdf:li></rdf:Alt>"
      "</dc:title>\n"
      "  </rdf:Description>\n"
      " </rdf:RDF>\n"
      "</x:xmpmeta>\n"
      "<?xpacket end=\"w\"?>");
  return b;
}

// One image resource block: signature, id, empty Pascal name padded to an even
// length, data size, data padded to an even length.
void ImageResource(Bytes& b, unsigned id, const Bytes& content) {
  b.Text("8BIM");
  b.Be16(id);
  b.Be16(0);
  b.Be32(content.data.size());
  b.Append(content);
  b.PadTo(2);
}

Bytes Photoshop() {
  Bytes resolution;  // 72 dpi across and down, shown in inches
  for (int axis = 0; axis < 2; ++axis) {
    resolution.Be32(72u << 16);
    resolution.Be16(1);
    resolution.Be16(1);
  }
  Bytes iptc;  // IPTC application record: version 4, then the object name
  const std::string name = "f2paste banner";
  iptc.Text("\x1C\x02");
  iptc.U8(0);
  iptc.Be16(2);
  iptc.Be16(4);
  iptc.Text("\x1C\x02");
  iptc.U8(5);
  iptc.Be16(name.size());
  iptc.Text(name);

  Bytes b;
  b.Text(std::string("Photoshop 3.0\0", 14));
  ImageResource(b, 0x03ED, resolution);
  ImageResource(b, 0x0404, iptc);
  return b;
}

std::uint32_t S15Fixed16(double v) { return static_cast<std::uint32_t>(std::lround(v * 65536)); }

Bytes XyzTag(double x, double y, double z) {
  Bytes b;
  b.Text("XYZ ");
  b.Zeros(4);
  b.Be32(S15Fixed16(x));
  b.Be32(S15Fixed16(y));
  b.Be32(S15Fixed16(z));
  return b;
}

// A small ICC v2 display profile: sRGB primaries adapted to D50, D65 media
// white, a pure gamma of 2.2 for each channel.
Bytes Icc() {
  Bytes desc;
  const std::string title = "f2paste sRGB";
  desc.Text("desc");
  desc.Zeros(4);
  desc.Be32(title.size() + 1);
  desc.Text(title);
  desc.U8(0);
  desc.Zeros(4 + 4);       // Unicode language and length: none
  desc.Zeros(2 + 1 + 67);  // ScriptCode code, length and its fixed field: none
  Bytes curve;
  curve.Text("curv");
  curve.Zeros(4);
  curve.Be32(1);
  curve.Be16(0x0233);  // u8Fixed8 2.2
  Bytes copyright;
  copyright.Text("text");
  copyright.Zeros(4);
  copyright.Text("No copyright, use freely");
  copyright.U8(0);

  struct Tag {
    const char* signature;
    const Bytes* body;
  };
  const Bytes white = XyzTag(0.9505, 1.0, 1.0891);
  const Bytes red = XyzTag(0.4361, 0.2225, 0.0139);
  const Bytes green = XyzTag(0.3851, 0.7169, 0.0971);
  const Bytes blue = XyzTag(0.1431, 0.0606, 0.7141);
  // The three curves share one element, as profiles commonly do.
  const Tag tags[] = {{"desc", &desc},  {"wtpt", &white}, {"rXYZ", &red},
                      {"gXYZ", &green}, {"bXYZ", &blue},  {"rTRC", &curve},
                      {"gTRC", &curve}, {"bTRC", &curve}, {"cprt", &copyright}};
  const std::size_t count = sizeof tags / sizeof tags[0];

  Bytes table, elements;
  const std::size_t elementsAt = 128 + 4 + count * 12;
  table.Be32(count);
  std::uint32_t curveAt = 0;
  for (const Tag& tag : tags) {
    std::uint32_t at;
    if (tag.body == &curve && curveAt != 0) {
      at = curveAt;
    } else {
      elements.PadTo(4);
      at = static_cast<std::uint32_t>(elementsAt + elements.data.size());
      elements.Append(*tag.body);
      if (tag.body == &curve) curveAt = at;
    }
    table.Text(tag.signature);
    table.Be32(at);
    table.Be32(tag.body->data.size());
  }
  elements.PadTo(4);

  Bytes header;
  header.Be32(elementsAt + elements.data.size());
  header.Zeros(4);          // preferred CMM: none
  header.Be32(0x02100000);  // version 2.1
  header.Text("mntr");
  header.Text("RGB ");
  header.Text("XYZ ");
  for (unsigned part : {2026, 12, 10, 12, 0, 0}) header.Be16(part);
  header.Text("acsp");
  header.Text("MSFT");
  header.Zeros(4 + 4 + 4 + 8);  // flags, device manufacturer, model, attributes
  header.Be32(0);               // perceptual intent
  header.Be32(S15Fixed16(0.9642));
  header.Be32(S15Fixed16(1.0));
  header.Be32(S15Fixed16(0.8249));
  header.Zeros(4);  // creator
  header.Zeros(128 - header.data.size());

  Bytes b;
  b.Text(std::string("ICC_PROFILE\0", 12));
  b.U8(1);  // chunk 1
  b.U8(1);  // of 1
  b.Append(header);
  b.Append(table);
  b.Append(elements);
  return b;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.jpg\n", argv[0]);
    return 2;
  }
  const std::vector<unsigned char> rgb = Draw();

  FILE* out = std::fopen(argv[1], "wb");
  if (!out) {
    std::perror(argv[1]);
    return 1;
  }
  jpeg_compress_struct cinfo;
  jpeg_error_mgr errors;
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_compress(&cinfo);
  jpeg_stdio_dest(&cinfo, out);
  cinfo.image_width = kWidth;
  cinfo.image_height = kHeight;
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, kQuality, TRUE);
  for (int i = 0; i < cinfo.num_components; ++i) {
    cinfo.comp_info[i].h_samp_factor = 1;
    cinfo.comp_info[i].v_samp_factor = 1;
  }
  cinfo.restart_in_rows = 1;
  // Exif pictures carry no JFIF header.
  cinfo.write_JFIF_header = FALSE;
  cinfo.write_Adobe_marker = TRUE;
  jpeg_start_compress(&cinfo, TRUE);

  const Bytes segments[] = {Exif(), Xmp(), Icc(), Photoshop()};
  const int markers[] = {JPEG_APP0 + 1, JPEG_APP0 + 1, JPEG_APP0 + 2, JPEG_APP0 + 13};
  for (int i = 0; i < 4; ++i) {
    jpeg_write_marker(&cinfo, markers[i], segments[i].data.data(), segments[i].data.size());
  }

  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row =
        const_cast<JSAMPROW>(&rgb[static_cast<std::size_t>(cinfo.next_scanline) * kWidth * 3]);
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return std::fclose(out) == 0 ? 0 : 1;
}
