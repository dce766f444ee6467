#include "glyph_fonts.h"

#include <bit>

#include "sheet_art.h"

namespace quillan::artgen {

namespace {

constexpr int kOneByteRecords = 224; // codes 0x20-0xFF
constexpr int kKanjiRecords = 10000;
constexpr char32_t kFirstKanji = 0x4E00;

void AppendRows(std::vector<uint8_t> &out, const std::vector<uint16_t> &rows) {
  for (uint16_t row : rows) {
    out.push_back(uint8_t(row >> 8));
    out.push_back(uint8_t(row));
  }
}

// The glyph in height rows. Half-width glyphs are centred in the 16 columns
// and keep a common baseline: their top rows are cut (the little ink there
// merged into the first row kept). Full-width glyphs are reduced.
std::vector<uint16_t> FitGlyph(const CBitGlyph &glyph, size_t height) {
  std::vector<uint16_t> rows(glyph.m_rows.begin(), glyph.m_rows.end());
  if (glyph.m_width == 8) {
    for (uint16_t &row : rows)
      row = uint16_t(row >> 4);
    size_t cut = rows.size() - height;
    for (size_t i = 0; i < cut; ++i)
      rows[cut] |= rows[i];
    return std::vector<uint16_t>(rows.begin() + std::ptrdiff_t(cut), rows.end());
  }
  // Full-width glyphs: an empty last row goes first.
  while (rows.size() > height && rows.back() == 0)
    rows.pop_back();
  return ReduceRows(rows, height);
}

} // namespace

std::vector<uint16_t> ReduceRows(std::vector<uint16_t> rows, size_t count) {
  while (rows.size() > count) {
    // Cost: the pixels that differ; among equal costs the longest run of
    // equal rows gives up a row first, so that runs shrink evenly.
    size_t best = 0;
    long bestCost = 1L << 30;
    for (size_t i = 0; i + 1 < rows.size(); ++i) {
      size_t first = i, last = i + 1;
      while (first > 0 && rows[first - 1] == rows[i])
        --first;
      while (last + 1 < rows.size() && rows[last + 1] == rows[i + 1])
        ++last;
      long run = rows[i] == rows[i + 1] ? long(last - first + 1) : 0;
      long cost = std::popcount(unsigned(rows[i] ^ rows[i + 1])) * 100L - run;
      if (cost < bestCost) {
        bestCost = cost;
        best = i;
      }
    }
    rows[best] |= rows[best + 1];
    rows.erase(rows.begin() + std::ptrdiff_t(best) + 1);
  }
  rows.resize(count);
  return rows;
}

std::vector<uint8_t> MakeOneByteFont(const CUnifont &font, int height) {
  std::vector<uint8_t> out;
  for (int n = 0; n < kOneByteRecords; ++n) {
    auto glyph = GlyphOfCode(font, 0x20 + n);
    AppendRows(out, glyph ? FitGlyph(*glyph, size_t(height)) : std::vector<uint16_t>(size_t(height), 0));
  }
  return out;
}

std::vector<uint8_t> MakeKanjiSeed(const CUnifont &font) {
  std::vector<uint8_t> out;
  for (int n = 0; n < kKanjiRecords; ++n) {
    auto glyph = font.Glyph(kFirstKanji + char32_t(n));
    if (!glyph || glyph->m_width != 16) {
      out.insert(out.end(), 24, 0xFF);
      continue;
    }
    AppendRows(out, ReduceRows(std::vector<uint16_t>(glyph->m_rows.begin(), glyph->m_rows.end()), 12));
  }
  return out;
}

} // namespace quillan::artgen
