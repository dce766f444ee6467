// The pixel canvas (rectangle copies with clipping, XOR, OR, the one-bit
// enlargement) and the PNG reader and writer, including pictures written by
// hand in the colour types other programs produce.

#include <gtest/gtest.h>

#include <zlib.h>

#include "view/pixel_canvas.h"
#include "view/png_codec.h"

namespace quillan {
namespace {

// A picture whose every pixel is distinct: (x, y, x ^ y).
CPixelCanvas Numbered(int w, int h) {
  CPixelCanvas c(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      c.SetPixel(x, y, {uint8_t(x), uint8_t(y), uint8_t(x ^ y)});
  return c;
}

TEST(PixelCanvas, CopiesAreClippedToBothPictures) {
  const CPixelCanvas source = Numbered(20, 10);
  struct CCase {
    const char *m_what;
    CRect m_from;
    int m_dx, m_dy;
  } cases[] = {
      {"inside", {2, 3, 5, 4}, 1, 1},
      {"past the target's right and bottom", {0, 0, 10, 10}, 12, 6},
      {"before the target's origin", {0, 0, 8, 8}, -3, -5},
      {"before the source's origin", {-4, -2, 8, 8}, 0, 0},
      {"past the source's end", {15, 5, 10, 10}, 0, 0},
      {"wholly outside", {0, 0, 5, 5}, 40, 40},
  };
  for (const CCase &c : cases) {
    CPixelCanvas target(16, 12, {7, 7, 7});
    target.CopyRect(source, c.m_from, c.m_dx, c.m_dy);
    for (int y = 0; y < 12; ++y)
      for (int x = 0; x < 16; ++x) {
        int sx = x - c.m_dx + c.m_from.m_x, sy = y - c.m_dy + c.m_from.m_y;
        bool inRect = x >= c.m_dx && y >= c.m_dy && x < c.m_dx + c.m_from.m_width && y < c.m_dy + c.m_from.m_height;
        bool inSource = sx >= 0 && sy >= 0 && sx < 20 && sy < 10;
        CRgb expected = inRect && inSource ? source.Pixel(sx, sy) : CRgb{7, 7, 7};
        ASSERT_EQ(target.Pixel(x, y), expected) << c.m_what << " at " << x << "," << y;
      }
  }
}

TEST(PixelCanvas, XorTwiceRestoresAndOrOnlyAddsBits) {
  const CPixelCanvas source = Numbered(8, 8);
  CPixelCanvas target = Numbered(8, 8);
  target.Fill({0, 0, 8, 8}, {0x0F, 0xF0, 0x55});
  const CPixelCanvas before = target;
  target.CopyRect(source, {0, 0, 8, 8}, 0, 0, CRasterOp::Xor);
  EXPECT_EQ(target.Pixel(3, 5), (CRgb{0x0F ^ 3, 0xF0 ^ 5, 0x55 ^ 6}));
  target.CopyRect(source, {0, 0, 8, 8}, 0, 0, CRasterOp::Xor);
  EXPECT_TRUE(target == before);
  target.CopyRect(source, {0, 0, 8, 8}, 0, 0, CRasterOp::Or);
  EXPECT_EQ(target.Pixel(3, 5), (CRgb{0x0F | 3, 0xF0 | 5, 0x55 | 6}));
  // Within one picture, overlapping copies move the pixels as they were.
  CPixelCanvas self = Numbered(8, 8);
  self.CopyRect(self, {0, 0, 6, 6}, 2, 2);
  EXPECT_EQ(self.Pixel(7, 7), (CRgb{5, 5, 0}));
  EXPECT_EQ(self.Pixel(2, 2), (CRgb{0, 0, 0}));
}

TEST(PixelCanvas, OneBitEnlargementFillsTheNearestSourcePixels) {
  // Column c of the 16 x 12 bitmap covers the x with x * 16 / 30 == c; for
  // the last column that is x 29 alone, for the first x 0 and 1. Row r
  // covers y * 12 / 30 == r: the first row y 0-2, the last y 28 and 29.
  std::array<uint8_t, 24> glyph{};
  glyph[0] = 0x80;  // (0, 0)
  glyph[23] = 0x01; // (15, 11)
  CPixelCanvas c(32, 32, {9, 9, 9});
  c.StretchOneBit(glyph, 1, 1, CRasterOp::Copy);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 30; ++x) {
      bool white = (x <= 1 && y <= 2) || (x == 29 && y >= 28);
      ASSERT_EQ(c.Pixel(1 + x, 1 + y), white ? kWhite : kBlack) << x << "," << y;
    }
  EXPECT_EQ(c.Pixel(0, 0), (CRgb{9, 9, 9}));
  EXPECT_EQ(c.Pixel(31, 31), (CRgb{9, 9, 9}));
  // Or: only the white pixels reach the picture.
  CPixelCanvas o(32, 32, {9, 9, 9});
  o.StretchOneBit(glyph, 1, 1, CRasterOp::Or);
  EXPECT_EQ(o.Pixel(1, 1), kWhite);
  EXPECT_EQ(o.Pixel(5, 5), (CRgb{9, 9, 9}));
  // Partly outside the picture: clipped, no crash.
  CPixelCanvas small(10, 10);
  small.StretchOneBit(glyph, -20, -20, CRasterOp::Copy);
  EXPECT_EQ(small.Pixel(9, 9), kWhite); // (29, 29) of the enlargement
}

// PNG chunks written by hand, for pictures in colour types our writer does
// not produce.
std::vector<uint8_t> HandPng(uint32_t w, uint32_t h, uint8_t depth, uint8_t type, const std::vector<uint8_t> &raw,
                             const std::vector<uint8_t> &palette = {}, uint8_t interlace = 0) {
  std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  auto chunk = [&](const char *name, const std::vector<uint8_t> &data) {
    for (int s = 24; s >= 0; s -= 8)
      out.push_back(uint8_t(data.size() >> s));
    size_t start = out.size();
    out.insert(out.end(), name, name + 4);
    out.insert(out.end(), data.begin(), data.end());
    uLong crc = crc32(0, out.data() + start, uInt(out.size() - start));
    for (int s = 24; s >= 0; s -= 8)
      out.push_back(uint8_t(crc >> s));
  };
  std::vector<uint8_t> header;
  for (uint32_t v : {w, h})
    for (int s = 24; s >= 0; s -= 8)
      header.push_back(uint8_t(v >> s));
  header.insert(header.end(), {depth, type, 0, 0, interlace});
  chunk("IHDR", header);
  if (!palette.empty()) chunk("PLTE", palette);
  uLongf size = compressBound(uLong(raw.size()));
  std::vector<uint8_t> packed(size);
  compress(packed.data(), &size, raw.data(), uLong(raw.size()));
  packed.resize(size);
  chunk("IDAT", packed);
  chunk("IEND", {});
  return out;
}

TEST(Png, WrittenPicturesReadBackExactly) {
  for (auto [w, h] : {std::pair{1, 1}, std::pair{3, 7}, std::pair{512, 513}}) {
    CPixelCanvas picture = Numbered(w, h);
    auto back = DecodePng(EncodePng(picture));
    ASSERT_TRUE(back.Ok()) << back.Error().Message();
    EXPECT_TRUE(*back == picture) << w << "x" << h;
  }
}

TEST(Png, ReadsTheOtherColourTypes) {
  struct CCase {
    const char *m_what;
    std::vector<uint8_t> m_png;
    std::vector<CRgb> m_pixels; // of a 2 x 2 picture, row by row
  } cases[] = {
      {"1-bit palette, Sub-filtered row",
       HandPng(2, 2, 1, 3, {0, 0x40, 1, 0x80}, {10, 20, 30, 40, 50, 60}),
       {{10, 20, 30}, {40, 50, 60}, {40, 50, 60}, {10, 20, 30}}},
      {"8-bit grey with alpha",
       HandPng(2, 2, 8, 4, {0, 0, 255, 200, 9, 2, 100, 1, 5, 0}),
       {{0, 0, 0}, {200, 200, 200}, {100, 100, 100}, {205, 205, 205}}},
      {"4-bit grey",
       HandPng(2, 2, 4, 0, {0, 0xF0, 0, 0x5A}),
       {{255, 255, 255}, {0, 0, 0}, {85, 85, 85}, {170, 170, 170}}},
      {"RGBA, Up and Paeth filters",
       HandPng(2, 2, 8, 6, {2, 1, 2, 3, 0, 4, 5, 6, 0, 4, 1, 1, 1, 0, 1, 1, 1, 0}),
       {{1, 2, 3}, {4, 5, 6}, {2, 3, 4}, {5, 6, 7}}},
  };
  for (const CCase &c : cases) {
    auto picture = DecodePng(c.m_png);
    ASSERT_TRUE(picture.Ok()) << c.m_what << ": " << picture.Error().Message();
    ASSERT_EQ(picture->Width(), 2);
    for (int i = 0; i < 4; ++i)
      EXPECT_EQ(picture->Pixel(i % 2, i / 2), c.m_pixels[size_t(i)]) << c.m_what << " " << i;
  }
}

TEST(Png, RefusesBrokenFilesWithAReason) {
  std::vector<uint8_t> good = EncodePng(Numbered(4, 4));
  auto with = [&](auto change) {
    std::vector<uint8_t> bytes = good;
    change(bytes);
    return bytes;
  };
  struct CCase {
    const char *m_what;
    std::vector<uint8_t> m_bytes;
    const char *m_reason;
  } cases[] = {
      {"empty", {}, "not a PNG file"},
      {"cut in a chunk", with([](auto &b) { b.resize(40); }), "bad PNG: "},
      {"checksum", with([](auto &b) { b[20] ^= 1; }), "CRC error"},
      {"zero width", HandPng(0, 1, 8, 2, {0}), "bad PNG: "},
      {"huge", HandPng(100000, 100000, 8, 2, {0}), "picture size"},
      {"data short", HandPng(2, 2, 8, 2, {0, 1, 2, 3, 4, 5, 6}), "Not enough image data"},
      {"bad filter", HandPng(1, 1, 8, 2, {7, 1, 2, 3}), "filter"},
      {"palette missing", HandPng(1, 1, 8, 3, {0, 0}), "PLTE"},
  };
  for (const CCase &c : cases) {
    auto picture = DecodePng(c.m_bytes);
    ASSERT_FALSE(picture.Ok()) << c.m_what;
    EXPECT_NE(picture.Error().Message().find(c.m_reason), std::string::npos)
        << c.m_what << ": " << picture.Error().Message();
  }
  // What the library reads beyond the old hand-written reader: interlaced
  // and 16-bit pictures.
  auto interlaced = DecodePng(HandPng(1, 1, 8, 2, {0, 1, 2, 3}, {}, 1));
  ASSERT_TRUE(interlaced.Ok()) << interlaced.Error().Message();
  EXPECT_EQ(interlaced->Pixel(0, 0), (CRgb{1, 2, 3}));
  auto deep = DecodePng(HandPng(1, 1, 16, 2, {0, 0xFF, 0xFF, 0, 0, 0xFF, 0xFF}));
  ASSERT_TRUE(deep.Ok()) << deep.Error().Message();
  EXPECT_EQ(deep->Pixel(0, 0), (CRgb{255, 0, 255}));
}

} // namespace
} // namespace quillan
