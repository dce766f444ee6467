#include "icon_art.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace quillan::artgen {

namespace {

struct CTileColours {
  CRgb m_fill, m_frame, m_ink;
};

CTileColours ColoursOf(CIconKind kind) {
  switch (kind) {
  case CIconKind::Quillan:
    return {{24, 40, 128}, {104, 136, 216}, kWhite};
  case CIconKind::Glyphary:
    return {{20, 96, 56}, {104, 184, 128}, kWhite};
  case CIconKind::Burnet:
    break;
  }
  return {{136, 28, 28}, {216, 112, 96}, kWhite};
}

// The tile: its fill and, from 32 pixels up, a lighter frame.
CPixelCanvas DrawTile(const CTileColours &colours, int size) {
  CPixelCanvas tile(size, size, colours.m_frame);
  const int frame = size >= 32 ? std::max(1, size / 32) : 0;
  tile.Fill({frame, frame, size - 2 * frame, size - 2 * frame}, colours.m_fill);
  return tile;
}

// The glyph enlarged by a whole factor (so every stroke keeps one width),
// centred on the tile.
void DrawGlyph(CPixelCanvas &tile, const CBitGlyph &glyph, CRgb ink) {
  const int size = tile.Width();
  const int scale = std::max(1, size * 13 / 16 / 16);
  const int x0 = (size - glyph.m_width * scale) / 2, y0 = (size - 16 * scale) / 2;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < glyph.m_width; ++x)
      if (glyph.Pixel(x, y)) tile.Fill({x0 + x * scale, y0 + y * scale, scale, scale}, ink);
}

CRgb Mix(CRgb a, CRgb b, double t) {
  auto channel = [t](uint8_t p, uint8_t q) { return uint8_t(std::lround(p + (q - p) * t)); };
  return {channel(a.m_r, b.m_r), channel(a.m_g, b.m_g), channel(a.m_b, b.m_b)};
}

// A compact disc seen from above, 4 x 4 samples a pixel so that its edges
// stay round at every size: silver with a sheen that turns with the angle, a
// darker clamping ring and the hole showing the tile.
void DrawDisc(CPixelCanvas &tile, CRgb fill) {
  const int size = tile.Width();
  const double centre = size / 2.0, outer = size * 0.43, ring = size * 0.19, hole = size * 0.09;
  constexpr int kSamples = 4;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      double r = 0, g = 0, b = 0;
      for (int sy = 0; sy < kSamples; ++sy) {
        for (int sx = 0; sx < kSamples; ++sx) {
          const double dx = x + (sx + 0.5) / kSamples - centre, dy = y + (sy + 0.5) / kSamples - centre;
          const double distance = std::hypot(dx, dy);
          CRgb colour = tile.Pixel(x, y);
          if (distance < hole) {
            colour = fill;
          } else if (distance < ring) {
            colour = {150, 150, 160};
          } else if (distance < outer) {
            const double sheen = 0.5 + 0.5 * std::cos(2 * std::atan2(dy, dx) - 0.8);
            colour = Mix({176, 180, 196}, {244, 240, 226}, sheen);
          }
          r += colour.m_r, g += colour.m_g, b += colour.m_b;
        }
      }
      constexpr double kCount = kSamples * kSamples;
      tile.SetPixel(
          x, y, {uint8_t(std::lround(r / kCount)), uint8_t(std::lround(g / kCount)), uint8_t(std::lround(b / kCount))});
    }
  }
}

} // namespace

CPixelCanvas DrawIcon(const CUnifont &font, CIconKind kind, int size) {
  const CTileColours colours = ColoursOf(kind);
  CPixelCanvas tile = DrawTile(colours, size);
  if (kind == CIconKind::Burnet) {
    DrawDisc(tile, colours.m_fill);
    return tile;
  }
  const char32_t character = kind == CIconKind::Quillan ? U'\u8a33' : U'\u5b57'; // translate, character
  auto glyph = font.Glyph(character);
  if (!glyph) throw std::runtime_error("the font has no glyph for an icon's kanji");
  DrawGlyph(tile, *glyph, colours.m_ink);
  return tile;
}

} // namespace quillan::artgen
