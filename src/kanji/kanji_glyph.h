#pragma once
// Pixels of a kanji bitmap: 16 x 12, 2 bytes per row, top row first, most
// significant bit leftmost; a set bit is a stroke. On screen a glyph is
// enlarged without smoothing to 30 x 30 pixels.

#include "kanji/kanji_store.h"

namespace quillan {

inline constexpr int kKanjiGlyphWidth = 16;
inline constexpr int kKanjiGlyphHeight = 12;
inline constexpr int kEnlargedGlyphSize = 30;

// Pixel (x, y) of the 16 x 12 bitmap; x 0-15, y 0-11.
inline bool KanjiGlyphPixel(const KanjiGlyph &glyph, int x, int y) {
  return (glyph[size_t(y * 2 + x / 8)] >> (7 - x % 8)) & 1;
}

// The source pixel each pixel of the 30 x 30 enlargement repeats.
inline int EnlargedToSourceX(int x) { return x * kKanjiGlyphWidth / kEnlargedGlyphSize; }
inline int EnlargedToSourceY(int y) { return y * kKanjiGlyphHeight / kEnlargedGlyphSize; }

// Pixel (x, y) of the 30 x 30 enlargement; x and y 0-29.
inline bool EnlargedGlyphPixel(const KanjiGlyph &glyph, int x, int y) {
  return KanjiGlyphPixel(glyph, EnlargedToSourceX(x), EnlargedToSourceY(y));
}

} // namespace quillan
