#pragma once
// "Change Font": the editor of the game's one-byte English font, the font
// file that the encoder copies into every replacement script. It shows one
// glyph enlarged 25 times, steps through the 224 glyphs with wrap-around,
// toggles a pixel per click and loads the left half of a glyph from a ".fxt"
// text of 0 and 1 digits. Every change is written to the font file at once
// (atomically: the file is replaced as a whole), so there is nothing to save
// and no undo.
//
// The font file of a script's header length:
//   36  data/tk7-1.fon  30-byte records, 16 x 15 pixels
//   48  data/tk7-2.fon  26-byte records, 16 x 13 pixels
// A record holds a row per 2 bytes, top row first; the first byte of a row is
// its left 8 pixels, most significant bit leftmost. Glyph g lies at byte
// g * record size.

#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "core/result.h"
#include "view/pixel_canvas.h"

namespace quillan {

class CPlatform;

class CFontViewerDlg {
public:
  static constexpr int kGlyphCount = 224;
  static constexpr int kColumns = 16;
  static constexpr int kCellSize = 25;                    // window pixels per glyph pixel
  static constexpr int kViewWidth = kColumns * kCellSize; // 400
  static constexpr int kFxtRows = 14;                     // rows a ".fxt" file describes
  static constexpr const char *kFxtFilter = "Moravel font edit (*.fxt)|*.fxt|All Files (*.*)|*.*||";

  CFontViewerDlg(CPlatform &platform, std::filesystem::path baseDir, int fontKind);

  // True for the header lengths that have a font (36 and 48).
  static bool HasFont(int fontKind) { return fontKind == 36 || fontKind == 48; }

  // Reads the font file, which must also be writable; fails, naming the
  // file, when it is missing, unreadable or read-only.
  CStatus Open();

  int FontKind() const { return m_fontKind; }
  int Rows() const { return m_fontKind == 36 ? 15 : 13; }
  int RecordSize() const { return 2 * Rows(); }
  int GlyphIndex() const { return m_glyphIndex; }
  const std::filesystem::path &FontPath() const { return m_fontPath; }
  // Both kinds draw each glyph pixel as a 25 x 25 square, so the row under
  // the pointer is always the row a click toggles: 400 x 375 or 400 x 325.
  int ViewHeight() const { return Rows() * kCellSize; }

  // The current glyph's record (bytes past the end of the file read as 0).
  std::vector<uint8_t> Record() const;
  // The glyph drawn: a set pixel white, a clear one black.
  CPixelCanvas Paint() const;

  // A left click at client point (x, y) of the glyph view: toggles the pixel
  // under it. Returns true when the font changed.
  bool OnLButtonDown(int x, int y);
  void OnPreviousGlyph(); // "/\", wrapping from 0 to 223
  void OnNextGlyph();     // "\/", wrapping from 223 to 0
  // "Load Font": sets the left halves of rows 1-14 (1-12 for the 16 x 13
  // kind) from a ".fxt" file the user chooses. Returns true when the font
  // changed.
  bool OnLoadFont();

  // The first 112 '0' and '1' characters of a ".fxt" text as 14 row bytes,
  // the first digit of a row its most significant bit; missing digits are 0.
  static std::array<uint8_t, kFxtRows> ParseFxt(std::span<const uint8_t> text);

private:
  // Writes the font with the record of the current glyph replaced; on
  // failure the font is left as it was and the user is told.
  bool WriteRecord(const std::vector<uint8_t> &record);

  CPlatform &m_platform;
  std::filesystem::path m_baseDir;
  int m_fontKind;
  std::filesystem::path m_fontPath;
  std::vector<uint8_t> m_font; // the font file as last read or written
  int m_glyphIndex = 0;
};

} // namespace quillan
