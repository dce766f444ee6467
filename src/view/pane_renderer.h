#pragma once
// Drawing the two panes the way the game draws its text: the Japanese entry
// at (0, 20) and the English text at (0, 220) of the client area, 15 x 5
// cells of 32 x 32 each. One-byte codes are copied from the font sheet of the
// current colour, control codes show their captioned cells, their arguments
// come from the number sheet, kanji are the script's own 16 x 12 bitmaps
// enlarged to 30 x 30 (white on black while unidentified, white on the pane
// once the code book has a character for them).
//
// The renderer draws into its own canvas of the client area (480 x 380),
// which the window puts on screen after each paint and each cursor blink.
// Every drawn cell can be recorded (EnableDrawLog), so that tests can ask
// which sheet and which source rectangle a cell came from.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/document.h"
#include "core/result.h"
#include "view/artwork.h"
#include "view/pixel_canvas.h"

namespace quillan {

inline constexpr int kTpStringRows = 1024;
inline constexpr int kWordBuffers = 10240;
inline constexpr int kJapanesePaneY = 20;
inline constexpr int kEnglishPaneY = 220;
inline constexpr int kClientWidth = 480;
inline constexpr int kClientHeight = 380;
inline constexpr CRgb kClientBackground{240, 240, 240}; // the window's face between the panes

inline constexpr const char *kTpStringError = "Error with tpString";
inline constexpr const char *kBitmapError = "Error getting bitmap";
inline constexpr const char *kPaneBitmapError = "error";

// What one drawn cell came from.
enum class CCellSource {
  Sheet,       // a rectangle of a font sheet (m_sheet 0-14) or of the number sheet (15)
  Kanji,       // the enlarged bitmap of a kanji
  WideElement, // the marker of an English element of 0x100 or more
};

struct CDrawnCell {
  int m_x = 0, m_y = 0; // where in the client area
  CCellSource m_source = CCellSource::Sheet;
  int m_sheet = -1; // Sheet and WideElement: the sheet copied from
  CRect m_from;     // Sheet and WideElement: the rectangle of that sheet
  CRasterOp m_op = CRasterOp::Copy;
  uint16_t m_code = 0; // the element or kanji code drawn
  friend bool operator==(const CDrawnCell &, const CDrawnCell &) = default;
};

class CPaneRenderer {
public:
  CPaneRenderer();

  // Start-up: the fifteen colour sheets (150-164), the blue sheet (168) and
  // the number sheet (148), then the empty pane (143). A colour sheet or the
  // blue sheet that cannot be had fails with "Error getting bitmap", the pane
  // with "error"; the window then ends. A missing number sheet is not an
  // error: argument cells are then drawn from whichever sheet was last used.
  CStatus LoadFontSheets(CPictureSource &source);
  CStatus LoadPaneBackground(CPictureSource &source);

  // The paint: decodes the current entry again, rebuilds m_japaneseText,
  // lays out and draws both panes. Does nothing while the window closes.
  // Fails with "Error with tpString" when a row outside the row grid was
  // asked for (the cells concerned are drawn as code 0).
  CStatus PaintPanes(CTranslationDocument &doc);

  // The steps of the paint.
  void ClearPanes(const CTranslationDocument &doc);
  void DrawPane(CTranslationDocument &doc, int x0, int y0, const std::array<uint16_t, kEntryCapacity> &low,
                const std::array<uint16_t, kEntryCapacity> &high, int topRow);
  void DrawSheetGlyph(const CTranslationDocument &doc, uint16_t v, int x, int y);
  void DrawKanjiGlyph(const CTranslationDocument &doc, uint16_t g, int x, int y);

  // Inverts the glyph of element v at (x, y) of the client area with the
  // sheet of the colour the last paint ended in; a second call restores it.
  void XorCursorGlyph(const CTranslationDocument &doc, int x, int y, uint16_t v);

  // The client area as drawn.
  const CPixelCanvas &Canvas() const { return m_canvas; }
  CPixelCanvas &Canvas() { return m_canvas; }

  // Recording of drawn cells, off by default; each paint starts a new record.
  void EnableDrawLog(bool on) { m_logging = on; }
  const std::vector<CDrawnCell> &DrawLog() const { return m_drawLog; }

  // The row grid: two planes (low and high bytes) of 1024 rows of 15.
  std::array<std::array<uint16_t, kTpStringRows * kRowWidth>, 2> tpString{};
  std::vector<std::vector<uint16_t>> m_wordList;
  std::array<uint16_t, kEntryCapacity> m_japaneseDisplay{};
  std::array<uint16_t, kEntryCapacity> m_japaneseHighBytes{};
  std::array<uint16_t, kEntryCapacity> m_englishDisplay{};
  std::array<uint16_t, kEntryCapacity> m_englishHighBytes{};
  std::array<CPixelCanvas, kColorSheetCount> m_colorSheets;
  CPixelCanvas m_numberSheet;
  CPixelCanvas m_unusedSheet; // resource 168, loaded but never drawn
  CPixelCanvas m_paneBackground;

private:
  // The sheet of index k (0-14 colour sheets, 15 the number sheet).
  const CPixelCanvas &Sheet(int k) const { return k == kNumberSheetIndex ? m_numberSheet : m_colorSheets[size_t(k)]; }
  // Selects sheet k for the following copies, unless it was not loaded.
  void SelectSheet(int k);
  void Log(const CDrawnCell &cell);

  CPixelCanvas m_canvas;
  int m_selectedSheet = 7; // the sheet of the last glyph drawn
  bool m_logging = false;
  size_t m_wordsUsed = kWordBuffers; // sequences of m_wordList that may hold elements
  bool m_rowError = false;
  std::vector<CDrawnCell> m_drawLog;
};

// The source rectangle of element v's glyph in a sheet: the cell, or for the
// voicing marks 0xDE and 0xDF the small rectangle that holds the mark.
CRect SheetGlyphRect(uint16_t v);
// Where a glyph copied from that rectangle lands, relative to its cell.
int SheetGlyphOffsetX(uint16_t v);
int SheetGlyphOffsetY(uint16_t v);

} // namespace quillan
