// The pane renderer on synthetic sheets: every pixel of sheet k, cell v tells
// k and v, so a drawn cell shows where it was copied from; the draw log says
// the same in words. Scripts come from the test script builder.

#include <gtest/gtest.h>

#include <map>

#include "core/document.h"
#include "support/script_builder.h"
#include "view/pane_renderer.h"

namespace quillan {
namespace {

using testing::BuildScript;
using testing::CKanjiBitmap;
using testing::CScriptSpec;

// Sheet k: red channel 10 * k + 5, green the cell's code, blue the position
// inside the cell; the pane background is a flat colour of its own.
constexpr CRgb kBackground{1, 2, 3};

CPixelCanvas SyntheticSheet(int k) {
  CPixelCanvas sheet(512, 512);
  for (int y = 0; y < 512; ++y)
    for (int x = 0; x < 512; ++x)
      sheet.SetPixel(x, y,
                     {uint8_t(10 * k + 5), uint8_t(16 * (y / 32) + x / 32), uint8_t((x % 32) * 8 + (y % 32) / 4)});
  return sheet;
}

class CSyntheticPictures : public CPictureSource {
public:
  std::map<int, bool> m_missing;
  CResult<CPixelCanvas> LoadPicture(int id) override {
    if (m_missing[id]) return MakeError("no such bitmap");
    if (id >= 150 && id <= 164) return SyntheticSheet(id - 150);
    if (id == 148) return SyntheticSheet(15);
    if (id == 143) return CPixelCanvas(480, 160, kBackground);
    if (id == 168) return CPixelCanvas(256, 480);
    return MakeError("unknown bitmap");
  }
};

// The sheet index a drawn sheet pixel came from.
int SheetOf(CRgb pixel) { return (pixel.m_r - 5) / 10; }

class CRendererTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(m_renderer.LoadFontSheets(m_pictures).Ok());
    ASSERT_TRUE(m_renderer.LoadPaneBackground(m_pictures).Ok());
    m_renderer.EnableDrawLog(true);
  }

  // Opens a script of one page holding the given entries.
  void OpenScript(std::vector<testing::CEntryCodes> entries, std::vector<CKanjiBitmap> glyphs = {}) {
    CScriptSpec spec;
    spec.m_pages.push_back(std::move(entries));
    spec.m_kanjiGlyphs = std::move(glyphs);
    auto built = BuildScript(spec);
    auto script = CScriptFile::FromBytes(built.m_bytes, "x5TEST.bin");
    ASSERT_TRUE(script.Ok()) << script.Error().Message();
    m_doc.m_scriptFile = std::move(script.Value());
    m_doc.m_fileOpen = 1;
    m_doc.m_pageCount = 1;
  }

  std::vector<CDrawnCell> PaneCells(int paneY) const {
    std::vector<CDrawnCell> cells;
    for (const CDrawnCell &cell : m_renderer.DrawLog())
      if (cell.m_y >= paneY && cell.m_y < paneY + 160) cells.push_back(cell);
    return cells;
  }

  // The sheets of the first n English cells.
  std::vector<int> EnglishSheets(const EnglishString &text, size_t n) {
    m_doc.LoadedCurrent() = text;
    EXPECT_TRUE(m_renderer.PaintPanes(m_doc).Ok());
    auto cells = PaneCells(kEnglishPaneY);
    std::vector<int> sheets;
    for (size_t i = 0; i < n && i < cells.size(); ++i)
      sheets.push_back(cells[i].m_sheet);
    return sheets;
  }

  CSyntheticPictures m_pictures;
  CPaneRenderer m_renderer;
  CTranslationDocument m_doc;
};

TEST_F(CRendererTest, ColourCodesAndArgumentsChooseTheSheets) {
  constexpr int kNumbers = 15;
  struct CCase {
    const char *m_what;
    EnglishString m_text;
    std::vector<int> m_sheets;
  } cases[] = {
      {"colour 3: code white, argument a number, then sheet 2", {'A', 8, 3, 'B', 'C'}, {7, 7, kNumbers, 2, 2}},
      {"colour 15 selects sheet 0", {8, 15, 'B'}, {7, kNumbers, 0}},
      {"colour 16 is value 0: the sheet of the glyph before stays",
       {8, 16, 'B', 'C'},
       {7, kNumbers, kNumbers, kNumbers}},
      {"colour 1 selects sheet 0, colour 14 sheet 13", {8, 1, 'B', 8, 14, 'C'}, {7, kNumbers, 0, 0, kNumbers, 13}},
      {"tab: two numbers, then the colour again", {14, 5, 7, 'X'}, {7, kNumbers, kNumbers, 7}},
      {"codes 9-12, 15 and 16 show one number",
       {9, 1, 10, 2, 11, 3, 12, 4, 15, 5, 16, 6, 'Z'},
       {7, kNumbers, 7, kNumbers, 7, kNumbers, 7, kNumbers, 7, kNumbers, 7, kNumbers, 7}},
      {"code 13 and codes 17-31 take no argument", {13, 'A', 17, 'B', 31, 'C'}, {7, 7, 7, 7, 7, 7}},
      {"an argument keeps the colour that was in force",
       {8, 3, 'A', 9, 1, 'B', 14, 2, 2, 'C'},
       {7, kNumbers, 2, 2, kNumbers, 2, 2, kNumbers, kNumbers, 2}},
      {"an argument of value 8 is no colour code", {11, 8, 'X', 'Y'}, {7, kNumbers, 7, 7}},
      {"a colour code as a colour's argument", {8, 8, 'X'}, {7, kNumbers, 7}},
  };
  for (const CCase &c : cases) {
    m_doc.m_colorPending = 0;
    EXPECT_EQ(EnglishSheets(c.m_text, c.m_sheets.size()), c.m_sheets) << c.m_what;
    EXPECT_EQ(m_doc.m_colorPending, 0) << c.m_what;
  }
}

TEST_F(CRendererTest, SheetCellsLandWhereTheLogSays) {
  m_doc.LoadedCurrent() = {'A', 8, 3, 'B', 0};
  ASSERT_TRUE(m_renderer.PaintPanes(m_doc).Ok());
  auto cells = PaneCells(kEnglishPaneY);
  ASSERT_EQ(cells.size(), 75u);
  // B: cell 0x42 of sheet 2, at column 3 of row 0.
  EXPECT_EQ(cells[3], (CDrawnCell{96, 220, CCellSource::Sheet, 2, {64, 128, 32, 32}, CRasterOp::Copy, 'B'}));
  // The pixels say the same: sheet 2, cell 0x42, copied whole.
  const CPixelCanvas &canvas = m_renderer.Canvas();
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x)
      ASSERT_EQ(canvas.Pixel(96 + x, 220 + y), SyntheticSheet(2).Pixel(64 + x, 128 + y));
  // The argument: the number sheet's cell 3.
  EXPECT_EQ(SheetOf(canvas.Pixel(64 + 5, 220 + 5)), 15);
  EXPECT_EQ(canvas.Pixel(64 + 5, 220 + 5).m_g, 3);
  // Past the text: code 0 of the last colour.
  EXPECT_EQ(cells[74].m_code, 0);
  EXPECT_EQ(cells[74].m_sheet, 2);
}

TEST_F(CRendererTest, PendingColourCarriesIntoTheNextPaneDrawn) {
  // A colour code in the last visible cell: its argument is not shown, and the
  // next pane drawn (the Japanese pane of the next paint) starts in colour 0,
  // that is, with the sheet of the last glyph drawn.
  EnglishString text = {8, 3};
  text.insert(text.end(), 72, 'A');
  text.push_back(8);
  text.push_back(5);
  m_doc.LoadedCurrent() = text;
  ASSERT_TRUE(m_renderer.PaintPanes(m_doc).Ok());
  EXPECT_EQ(m_doc.m_colorPending, 1);
  EXPECT_EQ(PaneCells(kEnglishPaneY)[74].m_sheet, 2);
  m_doc.LoadedCurrent().clear();
  ASSERT_TRUE(m_renderer.PaintPanes(m_doc).Ok());
  auto japanese = PaneCells(kJapanesePaneY);
  EXPECT_EQ(m_doc.m_colorPending, 0);
  EXPECT_EQ(m_doc.m_textColor, 0);
  for (const CDrawnCell &cell : japanese)
    ASSERT_EQ(cell.m_sheet, 2);
}

TEST_F(CRendererTest, EnglishPaneRowsAndEmptyStrings) {
  // Without elements: the empty grid, nothing drawn.
  m_doc.LoadedCurrent().clear();
  ASSERT_TRUE(m_renderer.PaintPanes(m_doc).Ok());
  EXPECT_TRUE(PaneCells(kEnglishPaneY).empty());
  EXPECT_EQ(m_renderer.Canvas().Pixel(100, 300), kBackground);
  // Only the terminator: code 0 in all 75 cells.
  m_doc.LoadedCurrent() = {0};
  ASSERT_TRUE(m_renderer.PaintPanes(m_doc).Ok());
  auto cells = PaneCells(kEnglishPaneY);
  ASSERT_EQ(cells.size(), 75u);
  for (const CDrawnCell &cell : cells)
    EXPECT_EQ(cell.m_code, 0);
  // Scrolled to row 2: elements 30 to 104; past 600 elements nothing is laid out.
  EnglishString long_(700);
  for (size_t i = 0; i < long_.size(); ++i)
    long_[i] = uint16_t(0x21 + i % 90);
  m_doc.LoadedCurrent() = long_;
  m_doc.m_viewTopRow = 2;
  ASSERT_TRUE(m_renderer.PaintPanes(m_doc).Ok());
  cells = PaneCells(kEnglishPaneY);
  for (size_t i = 0; i < 75; ++i)
    ASSERT_EQ(cells[i].m_code, long_[30 + i]) << i;
  m_doc.m_viewTopRow = 38;
  ASSERT_TRUE(m_renderer.PaintPanes(m_doc).Ok());
  cells = PaneCells(kEnglishPaneY);
  EXPECT_EQ(cells[29].m_code, long_[599]);
  EXPECT_EQ(cells[30].m_code, 0);
}

TEST_F(CRendererTest, RowsOutsideTheGridAreReportedNotRead) {
  m_doc.LoadedCurrent() = {'A', 0};
  for (int top : {1020, 5000, -1}) {
    m_doc.m_viewTopRow = top;
    CStatus status = m_renderer.PaintPanes(m_doc);
    ASSERT_FALSE(status.Ok()) << top;
    EXPECT_EQ(status.Error().Message(), "Error with tpString");
    auto cells = PaneCells(kEnglishPaneY);
    ASSERT_EQ(cells.size(), 75u);
    EXPECT_EQ(cells.back().m_code, 0);
  }
  m_doc.m_viewTopRow = 1019; // rows 1019-1023: the last rows of the grid
  EXPECT_TRUE(m_renderer.PaintPanes(m_doc).Ok());
}

TEST_F(CRendererTest, WideEnglishElementsGetAMarkerCell) {
  m_doc.LoadedCurrent() = {0xFF80, 'A', 0x1234, 0};
  ASSERT_TRUE(m_renderer.PaintPanes(m_doc).Ok());
  auto cells = PaneCells(kEnglishPaneY);
  EXPECT_EQ(cells[0].m_source, CCellSource::WideElement);
  EXPECT_EQ(cells[0].m_from, (CRect{15 * 32, 3 * 32, 32, 32})); // the '?' cell
  EXPECT_EQ(cells[1].m_source, CCellSource::Sheet);
  EXPECT_EQ(cells[2].m_source, CCellSource::WideElement);
  // Inside its border the cell is the '?' cell inverted; the border is not.
  CPixelCanvas sheet = SyntheticSheet(7);
  CRgb inside = m_renderer.Canvas().Pixel(5, 225), source = sheet.Pixel(15 * 32 + 5, 3 * 32 + 5);
  EXPECT_EQ(inside, (CRgb{uint8_t(~source.m_r), uint8_t(~source.m_g), uint8_t(~source.m_b)}));
  EXPECT_EQ(m_renderer.Canvas().Pixel(0, 220), sheet.Pixel(15 * 32, 3 * 32));
}

TEST_F(CRendererTest, VoicingMarkIsLiftedIntoTheTopRightOfItsCell) {
  OpenScript({{0x96, 0xDE, 0x96, 0xDF, 0x0000}});
  ASSERT_TRUE(m_renderer.PaintPanes(m_doc).Ok());
  EXPECT_EQ(m_doc.m_japaneseText, u"\u304C\u304D");
  auto cells = PaneCells(kJapanesePaneY);
  EXPECT_EQ(cells[1].m_from, (CRect{14 * 32 + 7, 13 * 32 + 11, 12, 10}));
  EXPECT_EQ(cells[3].m_from, (CRect{15 * 32 + 8, 13 * 32 + 7, 12, 12}));
  const CPixelCanvas &canvas = m_renderer.Canvas();
  CPixelCanvas sheet = SyntheticSheet(7);
  // The mark's rectangle sits at (x + 19, y + 1) of the second cell ...
  EXPECT_EQ(canvas.Pixel(32 + 19, 21), sheet.Pixel(14 * 32 + 7, 13 * 32 + 11));
  EXPECT_EQ(canvas.Pixel(32 + 30, 30), sheet.Pixel(14 * 32 + 18, 13 * 32 + 20));
  EXPECT_EQ(canvas.Pixel(96 + 30, 32), sheet.Pixel(15 * 32 + 19, 13 * 32 + 18));
  // ... and the rest of the cell keeps the pane.
  EXPECT_EQ(canvas.Pixel(32 + 18, 21), kBackground);
  EXPECT_EQ(canvas.Pixel(32 + 19, 31), kBackground);
  EXPECT_EQ(canvas.Pixel(96 + 30, 33), kBackground);
}

TEST_F(CRendererTest, JapaneseEntryIsCopiedUpToItsTerminator) {
  // 0x0800 ends the entry and is itself drawn (as a kanji-sized square, its
  // glyph lying past the end of the file); the cells after it show code 0.
  OpenScript({{'A', 0x0800}, {0x0100, 'C', 0x0000}});
  ASSERT_TRUE(m_renderer.PaintPanes(m_doc).Ok());
  auto cells = PaneCells(kJapanesePaneY);
  EXPECT_EQ(cells[0].m_code, 'A');
  EXPECT_EQ(cells[1].m_source, CCellSource::Kanji);
  EXPECT_EQ(cells[1].m_code, 0x0800);
  EXPECT_EQ(cells[2].m_code, 0);
  EXPECT_EQ(m_renderer.Canvas().Pixel(32 + 15, 20 + 15), kWhite);
  EXPECT_EQ(m_doc.m_japaneseText, std::u16string(u"A") + u'\0');
  // A kanji whose low byte is 0 does not end the entry.
  m_doc.m_currentLine = 1;
  ASSERT_TRUE(m_renderer.PaintPanes(m_doc).Ok());
  cells = PaneCells(kJapanesePaneY);
  EXPECT_EQ(cells[0].m_code, 0x0100);
  EXPECT_EQ(cells[1].m_code, 'C');
}

// A glyph with single set pixels in the corners and one in the middle; their
// enlargements, worked out by hand: column c covers x with x * 16 / 30 == c,
// row r covers y with y * 12 / 30 == r.
CKanjiBitmap CornerGlyph() {
  CKanjiBitmap glyph{};
  auto set = [&](int x, int y) { glyph[size_t(2 * y + x / 8)] |= uint8_t(0x80 >> (x % 8)); };
  set(0, 0);
  set(15, 0);
  set(0, 11);
  set(15, 11);
  set(8, 6);
  return glyph;
}

bool CornerGlyphWhite(int x, int y) {
  struct CBlock {
    int m_x0, m_x1, m_y0, m_y1;
  } blocks[] = {
      {0, 1, 0, 2},     // (0, 0): x 0-1, y 0-2
      {29, 29, 0, 2},   // (15, 0): x 29 only
      {0, 1, 28, 29},   // (0, 11): y 28-29
      {29, 29, 28, 29}, // (15, 11)
      {15, 16, 15, 17}, // (8, 6): x 15-16, y 15-17
  };
  for (const CBlock &b : blocks)
    if (x >= b.m_x0 && x <= b.m_x1 && y >= b.m_y0 && y <= b.m_y1) return true;
  return false;
}

TEST_F(CRendererTest, KanjiAreEnlargedAndCopiedOrOredByTheCodeBook) {
  OpenScript({{0x0100, 0x0101, 0x0000}}, {CornerGlyph(), CornerGlyph()});
  m_doc.LoadedCodeBook()[0] = 0x20;   // 0x100 unidentified: white on black
  m_doc.LoadedCodeBook()[1] = 0x65E5; // 0x101 identified: white on the pane
  ASSERT_TRUE(m_renderer.PaintPanes(m_doc).Ok());
  auto cells = PaneCells(kJapanesePaneY);
  EXPECT_EQ(cells[0].m_op, CRasterOp::Copy);
  EXPECT_EQ(cells[1].m_op, CRasterOp::Or);
  const CPixelCanvas &canvas = m_renderer.Canvas();
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 30; ++x) {
      bool white = CornerGlyphWhite(x, y);
      ASSERT_EQ(canvas.Pixel(1 + x, 21 + y), white ? kWhite : kBlack) << x << "," << y;
      // OR: white strokes, the background (1, 2, 3) between them.
      ASSERT_EQ(canvas.Pixel(33 + x, 21 + y), white ? kWhite : kBackground) << x << "," << y;
    }
  // The cell's one-pixel border is left as it was.
  EXPECT_EQ(canvas.Pixel(0, 20), kBackground);
  EXPECT_EQ(canvas.Pixel(31, 51), kBackground);
}

TEST_F(CRendererTest, KanjiPastTheCodeBookAndTheFileAreSafe) {
  // Codes of 0x900 and more have no code book entry; their glyph lies past
  // the end of the file and reads as 0xFF: a white square.
  OpenScript({{0x0901, 0xFFFF, 0x07FF, 0x0000}});
  ASSERT_TRUE(m_renderer.PaintPanes(m_doc).Ok());
  auto cells = PaneCells(kJapanesePaneY);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(cells[size_t(i)].m_source, CCellSource::Kanji);
    EXPECT_EQ(cells[size_t(i)].m_op, CRasterOp::Copy);
    EXPECT_EQ(m_renderer.Canvas().Pixel(32 * i + 10, 30), kWhite);
  }
}

TEST_F(CRendererTest, CursorXorTwiceRestoresTheCanvas) {
  m_doc.LoadedCurrent() = {'A', 8, 3, 'B', 0xFF80, 0};
  ASSERT_TRUE(m_renderer.PaintPanes(m_doc).Ok());
  const CPixelCanvas before = m_renderer.Canvas();
  struct CCase {
    int m_x, m_y;
    uint16_t m_v;
  } cases[] = {{0, 220, 'A'}, {32, 220, 0xDE}, {64, 220, 0xDF}, {448, 348, 0xFF80},
               {0, 188, 0},   {470, 370, 'Q'}, {-10, -10, 'Q'}};
  for (const CCase &c : cases) {
    m_renderer.XorCursorGlyph(m_doc, c.m_x, c.m_y, c.m_v);
    if (c.m_x >= 0) {
      EXPECT_FALSE(m_renderer.Canvas() == before) << c.m_x << "," << c.m_y;
    }
    m_renderer.XorCursorGlyph(m_doc, c.m_x, c.m_y, c.m_v);
    EXPECT_TRUE(m_renderer.Canvas() == before) << c.m_x << "," << c.m_y;
  }
}

TEST_F(CRendererTest, CursorXorUsesTheSheetOfTheColourThePaintEndedIn) {
  struct CCase {
    EnglishString m_text;
    int m_sheet; // the colour value itself selects the sheet here
  } cases[] = {{{'A', 0}, 8}, {{8, 4, 'A', 0}, 4}, {{8, 15, 'A', 0}, 15}};
  for (const CCase &c : cases) {
    m_doc.LoadedCurrent() = c.m_text;
    ASSERT_TRUE(m_renderer.PaintPanes(m_doc).Ok());
    CRgb before = m_renderer.Canvas().Pixel(5, 225);
    m_renderer.XorCursorGlyph(m_doc, 0, 220, 'A');
    CRgb source = SyntheticSheet(c.m_sheet).Pixel(32 + 5, 4 * 32 + 5);
    EXPECT_EQ(
        m_renderer.Canvas().Pixel(5, 225),
        (CRgb{uint8_t(before.m_r ^ source.m_r), uint8_t(before.m_g ^ source.m_g), uint8_t(before.m_b ^ source.m_b)}));
  }
}

TEST_F(CRendererTest, PaintStateAndFlags) {
  // While the window closes nothing happens.
  m_doc.m_closing = 1;
  m_doc.m_japaneseText = u"kept";
  ASSERT_TRUE(m_renderer.PaintPanes(m_doc).Ok());
  EXPECT_TRUE(m_renderer.DrawLog().empty());
  EXPECT_EQ(m_doc.m_japaneseText, u"kept");
  EXPECT_EQ(m_doc.m_repaintJapanese, 1);
  // Before a file is open every Japanese cell is code 0; the flag is cleared.
  m_doc.m_closing = 0;
  ASSERT_TRUE(m_renderer.PaintPanes(m_doc).Ok());
  auto cells = PaneCells(kJapanesePaneY);
  ASSERT_EQ(cells.size(), 75u);
  for (const CDrawnCell &cell : cells)
    EXPECT_EQ(cell.m_code, 0);
  EXPECT_EQ(m_doc.m_repaintJapanese, 0);
  EXPECT_TRUE(m_doc.m_japaneseText.empty());
  // Without the flag the Japanese pane's background is not copied again.
  CPixelCanvas scribble(1, 1, {9, 9, 9});
  m_renderer.Canvas().CopyRect(scribble, {0, 0, 1, 1}, 5, 25);
  m_renderer.ClearPanes(m_doc);
  EXPECT_EQ(m_renderer.Canvas().Pixel(5, 25), (CRgb{9, 9, 9}));
  m_doc.m_repaintJapanese = 1;
  m_renderer.ClearPanes(m_doc);
  EXPECT_EQ(m_renderer.Canvas().Pixel(5, 25), kBackground);
}

TEST(RendererLoading, MissingPicturesFailWithTheFixedMessages) {
  struct CCase {
    int m_missing;
    bool m_sheetsOk, m_paneOk;
    const char *m_message;
  } cases[] = {{150, false, true, "Error getting bitmap"},
               {164, false, true, "Error getting bitmap"},
               {168, false, true, "Error getting bitmap"},
               {148, true, true, ""},
               {143, true, false, "error"}};
  for (const CCase &c : cases) {
    CSyntheticPictures pictures;
    pictures.m_missing[c.m_missing] = true;
    CPaneRenderer renderer;
    CStatus sheets = renderer.LoadFontSheets(pictures);
    CStatus pane = renderer.LoadPaneBackground(pictures);
    EXPECT_EQ(sheets.Ok(), c.m_sheetsOk) << c.m_missing;
    EXPECT_EQ(pane.Ok(), c.m_paneOk) << c.m_missing;
    const CStatus &failed = sheets.Ok() ? pane : sheets;
    if (!failed.Ok()) {
      EXPECT_EQ(failed.Error().Message().rfind(c.m_message, 0), 0u) << failed.Error().Message();
    }
  }
}

TEST(RendererLoading, WithoutTheNumberSheetArgumentsTakeTheSheetUsedLast) {
  CSyntheticPictures pictures;
  pictures.m_missing[148] = true;
  CPaneRenderer renderer;
  ASSERT_TRUE(renderer.LoadFontSheets(pictures).Ok());
  ASSERT_TRUE(renderer.LoadPaneBackground(pictures).Ok());
  renderer.EnableDrawLog(true);
  CTranslationDocument doc;
  doc.LoadedCurrent() = {8, 3, 'A', 0};
  ASSERT_TRUE(renderer.PaintPanes(doc).Ok());
  const auto &log = renderer.DrawLog();
  EXPECT_EQ(log[76].m_sheet, 7); // the argument, from the white sheet of the code before
  EXPECT_EQ(log[77].m_sheet, 2);
}

} // namespace
} // namespace quillan
