#include "view/pane_renderer.h"

#include <algorithm>

#include "core/constants.h"
#include "core/text_rules.h"

namespace quillan {

namespace {

constexpr uint16_t kVoicedMark = 0xDE;
constexpr uint16_t kSemiVoicedMark = 0xDF;
constexpr uint16_t kColourCode = 0x08;
constexpr uint16_t kTabCode = 0x0E;
constexpr uint16_t kMarkerGlyph = 0x3F; // '?': the face of the marker cell
constexpr int kDefaultColour = 8;
constexpr int kArgumentColour = -1;    // the next cell is a code's (last) argument
constexpr int kTabArgumentColour = -2; // the next two cells are the tab's arguments

// The codes whose following element is drawn as a number.
bool TakesOneArgument(uint16_t lo) { return (lo >= 8 && lo <= 12) || lo == 15 || lo == 16; }

bool LargeEnough(const CPixelCanvas &picture, int width, int height) {
  return picture.Width() >= width && picture.Height() >= height;
}

} // namespace

CRect SheetGlyphRect(uint16_t v) {
  int cx = kCellSize * (v % 16), cy = kCellSize * (v / 16);
  if (v == kVoicedMark) return {cx + 7, cy + 11, 12, 10};
  if (v == kSemiVoicedMark) return {cx + 8, cy + 7, 12, 12};
  return {cx, cy, kCellSize, kCellSize};
}

int SheetGlyphOffsetX(uint16_t v) { return v == kVoicedMark || v == kSemiVoicedMark ? 19 : 0; }
int SheetGlyphOffsetY(uint16_t v) { return v == kVoicedMark || v == kSemiVoicedMark ? 1 : 0; }

CPaneRenderer::CPaneRenderer()
    : m_wordList(size_t(kWordBuffers)), m_canvas(kClientWidth, kClientHeight, kClientBackground) {
  m_drawLog.reserve(2 * kVisibleCells);
}

CStatus CPaneRenderer::LoadFontSheets(CPictureSource &source) {
  auto load = [&](int id, CPixelCanvas &into) -> CStatus {
    auto picture = source.LoadPicture(id);
    if (!picture) return CError(std::string(kBitmapError) + ": " + picture.Error().Message());
    if (!LargeEnough(*picture, id == kUnusedSheetId ? 256 : kSheetSide, id == kUnusedSheetId ? 480 : kSheetSide))
      return CError(std::string(kBitmapError) + ": bitmap " + std::to_string(id) + " is too small");
    into = std::move(picture.Value());
    return CStatus::Success();
  };
  for (int i = 0; i < kColorSheetCount; ++i)
    if (CStatus status = load(kFirstColorSheetId + i, m_colorSheets[size_t(i)]); !status) return status;
  if (CStatus status = load(kUnusedSheetId, m_unusedSheet); !status) return status;
  // The number sheet is not checked: without it the argument cells take
  // whichever sheet was used last.
  auto numbers = source.LoadPicture(kNumberSheetId);
  if (numbers && LargeEnough(*numbers, kSheetSide, kSheetSide)) m_numberSheet = std::move(numbers.Value());
  return CStatus::Success();
}

CStatus CPaneRenderer::LoadPaneBackground(CPictureSource &source) {
  auto picture = source.LoadPicture(kPaneBackgroundId);
  if (!picture) return CError(std::string(kPaneBitmapError) + ": " + picture.Error().Message());
  if (!LargeEnough(*picture, kPaneWidth, kPaneHeight))
    return CError(std::string(kPaneBitmapError) + ": bitmap 143 is too small");
  m_paneBackground = std::move(picture.Value());
  return CStatus::Success();
}

CStatus CPaneRenderer::PaintPanes(CTranslationDocument &doc) {
  if (doc.m_closing) return CStatus::Success();
  m_drawLog.clear();
  m_rowError = false;
  ClearPanes(doc);

  doc.m_japaneseEntry.fill(0);
  if (doc.m_fileOpen) {
    const uint16_t *entry = doc.DecodeEntry(doc.m_currentPage, doc.m_currentLine);
    std::copy(entry, entry + kEntryCapacity, doc.m_japaneseEntry.begin());
  }

  // The Japanese pane: low and high bytes up to the entry's terminator.
  m_japaneseDisplay.fill(0);
  m_japaneseHighBytes.fill(0);
  doc.m_japaneseText = JapaneseEntryText(doc.m_japaneseEntry, doc.CodeBook());
  for (size_t i = 0; i < size_t(kEntryCapacity); ++i) {
    uint16_t g = doc.m_japaneseEntry[i];
    m_japaneseDisplay[i] = g & 0xFF;
    m_japaneseHighBytes[i] = g >> 8;
    if (EndsEntry(g)) break;
  }
  doc.m_textColor = kDefaultColour;
  DrawPane(doc, 0, kJapanesePaneY, m_japaneseDisplay, m_japaneseHighBytes, doc.m_japaneseTopRow);

  // The English pane: a string without elements leaves the empty grid.
  size_t index = size_t(doc.m_currentPage) * kLinesPerPage + size_t(doc.m_currentLine);
  bool valid = doc.m_currentPage >= 0 && doc.m_currentLine >= 0 && index < doc.EnglishStrings().size();
  if (valid && !doc.EnglishStrings()[index].empty()) {
    const EnglishString &s = doc.EnglishStrings()[index];
    m_englishDisplay.fill(0);
    m_englishHighBytes.fill(0);
    std::copy_n(s.begin(), std::min(s.size(), size_t(kEntryCapacity)), m_englishDisplay.begin());
    DrawPane(doc, 0, kEnglishPaneY, m_englishDisplay, m_englishHighBytes, doc.m_viewTopRow);
  }

  doc.m_repaintJapanese = 0;
  if (m_rowError) return CError(kTpStringError);
  return CStatus::Success();
}

void CPaneRenderer::ClearPanes(const CTranslationDocument &doc) {
  CRect whole{0, 0, kPaneWidth, kPaneHeight};
  if (doc.m_repaintJapanese) m_canvas.CopyRect(m_paneBackground, whole, 0, kJapanesePaneY);
  m_canvas.CopyRect(m_paneBackground, whole, 0, kEnglishPaneY);
}

void CPaneRenderer::DrawPane(CTranslationDocument &doc, int x0, int y0, const std::array<uint16_t, kEntryCapacity> &low,
                             const std::array<uint16_t, kEntryCapacity> &high, int topRow) {
  // Layout: the words (each ending with the space after it) one after the
  // other, 15 cells to a row; the spaces of the low bytes split both planes.
  auto write = [&](int plane, size_t cell, uint16_t value) {
    if (cell / kRowWidth >= size_t(kTpStringRows)) {
      m_rowError = true;
      return;
    }
    tpString[size_t(plane)][cell] = value;
  };
  for (int plane = 0; plane < 2; ++plane) {
    const auto &buffer = plane == 0 ? low : high;
    // Only the first m_wordsUsed sequences ever hold elements.
    for (size_t word = 0; word < m_wordsUsed; ++word)
      m_wordList[word].clear();
    size_t w = 0;
    for (size_t i = 0; i < size_t(kEntryCapacity); ++i) {
      m_wordList[w].push_back(buffer[i]);
      if (low[i] == 0x20) ++w;
    }
    m_wordsUsed = std::max(m_wordsUsed, w + 1);
    size_t cell = 0;
    for (size_t word = 0; word <= w; ++word)
      for (uint16_t element : m_wordList[word])
        write(plane, cell++, element);
    for (size_t k = 0; k < size_t(kTpStringRows) - w; ++k) {
      write(0, cell + k, 0);
      write(1, cell + k, 0);
    }
  }

  // Drawing, with the colour state. After a code's arguments the colour in
  // force before the code comes back; a colour code's argument becomes the
  // colour from the cell after it.
  doc.m_textColor = kDefaultColour;
  int remembered = 0;
  int colourBeforeArguments = kDefaultColour;
  for (int r = 0; r < kVisibleCells / kRowWidth; ++r) {
    int row = topRow + r;
    bool inGrid = row >= 0 && row < kTpStringRows;
    if (!inGrid) m_rowError = true;
    for (int c = 0; c < kRowWidth; ++c) {
      size_t cell = size_t(row) * kRowWidth + size_t(c);
      uint16_t lo = inGrid ? tpString[0][cell] : 0;
      uint16_t hi = inGrid ? tpString[1][cell] : 0;
      int x = x0 + kCellSize * c, y = y0 + kCellSize * r;
      bool argument = doc.m_textColor < 0;

      if (doc.m_colorPending && doc.m_textColor != kTabArgumentColour) {
        if (doc.m_textColor == kArgumentColour && hi == 0) {
          remembered = lo;
        } else {
          doc.m_colorPending = 0;
          doc.m_textColor = remembered % 16;
        }
      }
      if (lo == kColourCode && hi == 0 && !argument) doc.m_colorPending = 1;

      if (hi != 0)
        DrawKanjiGlyph(doc, uint16_t(hi * 256 + lo), x, y);
      else
        DrawSheetGlyph(doc, lo, x, y);

      if (doc.m_textColor == kTabArgumentColour) {
        doc.m_textColor = kArgumentColour;
      } else if (doc.m_textColor < 0) {
        doc.m_textColor = colourBeforeArguments;
      } else if (hi == 0 && (lo == kTabCode || TakesOneArgument(lo))) {
        colourBeforeArguments = doc.m_textColor;
        doc.m_textColor = lo == kTabCode ? kTabArgumentColour : kArgumentColour;
      }
    }
  }
}

void CPaneRenderer::SelectSheet(int k) {
  if (k >= 0 && k <= kNumberSheetIndex && !Sheet(k).Empty()) m_selectedSheet = k;
}

void CPaneRenderer::Log(const CDrawnCell &cell) {
  if (m_logging) m_drawLog.push_back(cell);
}

void CPaneRenderer::DrawSheetGlyph(const CTranslationDocument &doc, uint16_t v, int x, int y) {
  int s = doc.m_textColor;
  if (s >= 1 && s <= 14)
    SelectSheet(s - 1);
  else if (s == 15)
    SelectSheet(0);
  else if (s == kArgumentColour || s == kTabArgumentColour)
    SelectSheet(kNumberSheetIndex);
  // Colour value 0 selects nothing: the sheet of the glyph before stays.
  const CPixelCanvas &sheet = Sheet(m_selectedSheet);

  if (v > 0xFF) {
    // No sheet has a cell for it: the '?' cell, inverted inside its border.
    CRect from = SheetGlyphRect(kMarkerGlyph);
    m_canvas.CopyRect(sheet, from, x, y);
    m_canvas.Invert({x + 1, y + 1, kCellSize - 2, kCellSize - 2});
    Log({x, y, CCellSource::WideElement, m_selectedSheet, from, CRasterOp::Copy, v});
    return;
  }
  CRect from = SheetGlyphRect(v);
  m_canvas.CopyRect(sheet, from, x + SheetGlyphOffsetX(v), y + SheetGlyphOffsetY(v));
  Log({x, y, CCellSource::Sheet, m_selectedSheet, from, CRasterOp::Copy, v});
}

void CPaneRenderer::DrawKanjiGlyph(const CTranslationDocument &doc, uint16_t g, int x, int y) {
  KanjiGlyph glyph;
  glyph.fill(0xFF);
  if (const CScriptFile *script = doc.Script()) glyph = script->KanjiGlyphOf(g);
  size_t entry = size_t(g) - 0x100;
  bool identified = g >= 0x100 && entry < doc.CodeBook().size() && doc.CodeBook()[entry] >= 256;
  CRasterOp op = identified ? CRasterOp::Or : CRasterOp::Copy;
  m_canvas.StretchOneBit(glyph, x + 1, y + 1, op);
  Log({x, y, CCellSource::Kanji, -1, {}, op, g});
}

void CPaneRenderer::XorCursorGlyph(const CTranslationDocument &doc, int x, int y, uint16_t v) {
  int s = doc.m_textColor;
  int k = m_selectedSheet;
  if (s == kArgumentColour || s == kTabArgumentColour || s == 15)
    k = kNumberSheetIndex;
  else if (s >= 0 && s <= 14)
    k = s;
  if (Sheet(k).Empty()) k = m_selectedSheet;
  uint16_t shown = v > 0xFF ? kMarkerGlyph : v;
  m_canvas.CopyRect(Sheet(k), SheetGlyphRect(shown), x + SheetGlyphOffsetX(shown), y + SheetGlyphOffsetY(shown),
                    CRasterOp::Xor);
}

} // namespace quillan
