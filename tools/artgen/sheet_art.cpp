#include "sheet_art.h"

#include <array>
#include <string>

#include "core/text_rules.h"
#include "tiny_fonts.h"
#include "view/artwork.h"

namespace quillan::artgen {

namespace {

constexpr CRgb kLabelInk{72, 72, 72};
constexpr CRgb kShadow{0, 0, 0};

// The captions of the control codes: up to two lines of up to five capitals
// ('v' is a small arrow). Codes without a caption show their number only.
std::array<const char *, 2> Caption(int v) {
  switch (v) {
  case 0x00:
    return {"END", "TALK"};
  case 0x01:
    return {"BUBL", "ENDv"};
  case 0x02:
    return {"BUBL", "END"};
  case 0x03:
    return {"LINE", "END"};
  case 0x04:
    return {"PAUSE", ""};
  case 0x08:
    return {"COLOR", ""};
  case 0x09:
    return {"FONT", "STYLE"};
  case 0x0A:
    return {"FONT", "SIZE"};
  case 0x0B:
    return {"TILT", ""};
  case 0x0C:
    return {"ZOOM", ""};
  case 0x0E:
    return {"TAB", ""};
  case 0x0F:
    return {"OTHER", "FX"};
  default:
    break;
  }
  return {"", ""};
}

// The voicing marks as they sit in their own cells: the voiced mark inside
// the 12 x 10 rectangle at (7, 11) of its cell, the semi-voiced mark inside
// the 12 x 12 rectangle at (8, 7), each with its shadow, so that the
// renderer can lift them into the corner of the kana before them.
constexpr std::array<const char *, 5> kVoicedMark = {
    "##....##..", "###...###.", ".###...###", "..##....##", "...#.....#",
};
constexpr int kVoicedMarkX = 7, kVoicedMarkY = 12;
constexpr std::array<const char *, 10> kSemiVoicedMark = {
    "...####...", ".########.", ".##....##.", "##......##", "##......##",
    "##......##", "##......##", ".##....##.", ".########.", "...####...",
};
constexpr int kSemiVoicedMarkX = 9, kSemiVoicedMarkY = 8;

template <size_t N> void DrawPicture(CPixelCanvas &c, const std::array<const char *, N> &rows, int x, int y, CRgb ink) {
  for (int pass = 0; pass < 2; ++pass)
    for (size_t row = 0; row < N; ++row)
      for (int col = 0; rows[row][col]; ++col)
        if (rows[row][col] == '#') {
          if (pass == 0)
            c.SetPixel(x + col + 1, y + int(row) + 1, kShadow);
          else
            c.SetPixel(x + col, y + int(row), ink);
        }
}

// A Unifont glyph in a cell at (cx, cy): half-width glyphs doubled, full-width
// ones enlarged by one and a half, each with a black shadow one pixel down
// and right.
void DrawGlyph(CPixelCanvas &c, const CBitGlyph &glyph, int cx, int cy, CRgb ink) {
  for (int pass = 0; pass < 2; ++pass) {
    CRgb colour = pass == 0 ? kShadow : ink;
    int shift = pass == 0 ? 1 : 0;
    if (glyph.m_width == 8) {
      for (int y = 1; y < 16; ++y)
        for (int x = 0; x < 8; ++x)
          if (glyph.Pixel(x, y)) c.Fill({cx + 8 + 2 * x + shift, cy + 2 * y - 1 + shift, 2, 2}, colour);
    } else {
      for (int dy = 0; dy < 24; ++dy)
        for (int dx = 0; dx < 24; ++dx)
          if (glyph.Pixel(dx * 2 / 3, dy * 2 / 3)) c.SetPixel(cx + 3 + dx + shift, cy + 6 + dy + shift, colour);
    }
  }
}

void DrawGridRing(CPixelCanvas &c, int cx, int cy, CRgb colour) {
  c.Fill({cx, cy, kCellSize, 1}, colour);
  c.Fill({cx, cy + kCellSize - 1, kCellSize, 1}, colour);
  c.Fill({cx, cy, 1, kCellSize}, colour);
  c.Fill({cx + kCellSize - 1, cy, 1, kCellSize}, colour);
}

std::string Hex2(int v) {
  static const char kDigits[] = "0123456789ABCDEF";
  return {kDigits[v >> 4], kDigits[v & 15]};
}

void DrawTextCell(CPixelCanvas &c, const CUnifont &font, int v, int cx, int cy, CRgb ink) {
  if (v < 0x20) {
    std::string first = "SLOT", second = std::to_string(v - 0x0F); // the memory slots 1-16
    if (v < 0x10) {
      auto caption = Caption(v);
      first = caption[0];
      second = caption[1];
    }
    int y = 10;
    for (const std::string &line : {first, second}) {
      if (!line.empty()) {
        int x = cx + (kCellSize - CaptionTextWidth(line)) / 2;
        DrawCaptionText(c, line, x + 1, cy + y + 1, kShadow);
        DrawCaptionText(c, line, x, cy + y, ink);
      }
      y += 9;
    }
    return;
  }
  if (v == 0xDE) return DrawPicture(c, kVoicedMark, cx + kVoicedMarkX, cy + kVoicedMarkY, ink);
  if (v == 0xDF) return DrawPicture(c, kSemiVoicedMark, cx + kSemiVoicedMarkX, cy + kSemiVoicedMarkY, ink);
  if (auto glyph = GlyphOfCode(font, v)) DrawGlyph(c, *glyph, cx, cy, ink);
}

} // namespace

std::optional<CBitGlyph> GlyphOfCode(const CUnifont &font, int v) {
  if (v <= 0x20 || v > 0xFF || v == 0x7F) return std::nullopt;
  if (v == 0xDE) return font.Glyph(0x309B);
  if (v == 0xDF) return font.Glyph(0x309C);
  char16_t c = OneByteToText(uint16_t(v), 0);
  if (c == u' ') return std::nullopt;
  return font.Glyph(c);
}

CPixelCanvas DrawFontSheet(const CUnifont &font, CRgb ink, bool blueControlRows, int height) {
  CPixelCanvas c(kSheetSide, height, kSheetGrey);
  for (int v = 0; v < 256; ++v) {
    int cx = kCellSize * (v % 16), cy = kCellSize * (v / 16);
    DrawGridRing(c, cx, cy, blueControlRows && v < 0x20 ? kGridBlue : kGridRed);
    DrawSmallDigits(c, Hex2(v), cx + 2, cy + 2, 1, kLabelInk);
    DrawTextCell(c, font, v, cx, cy, ink);
  }
  return c;
}

CPixelCanvas DrawNumberSheet() {
  CPixelCanvas c(kSheetSide, kSheetSide, kSheetGrey);
  for (int v = 0; v < 256; ++v) {
    int cx = kCellSize * (v % 16), cy = kCellSize * (v / 16);
    DrawGridRing(c, cx, cy, kGridRed);
    std::string text = std::to_string(v);
    int x = cx + (kCellSize - SmallDigitsWidth(text, 2)) / 2;
    DrawSmallDigits(c, text, x + 1, cy + 12, 2, kShadow);
    DrawSmallDigits(c, text, x, cy + 11, 2, kNumberInk);
  }
  return c;
}

CPixelCanvas DrawPaneBackground() {
  CPixelCanvas c(kPaneWidth, kPaneHeight, kSheetGrey);
  for (int row = 0; row < 5; ++row)
    for (int col = 0; col < 15; ++col)
      DrawGridRing(c, kCellSize * col, kCellSize * row, kGridRed);
  return c;
}

CPixelCanvas DrawBlueSheet(const CUnifont &font) {
  CPixelCanvas c(256, 480, kBlack);
  for (int i = 0; i < 8 * 15; ++i)
    if (auto glyph = GlyphOfCode(font, 0x20 + i))
      DrawGlyph(c, *glyph, kCellSize * (i % 8), kCellSize * (i / 8), {0, 0, 255});
  return c;
}

} // namespace quillan::artgen
