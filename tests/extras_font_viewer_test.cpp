// The font editor on real font files: the bytes a click, a ".fxt" load and a
// failed write leave in the file, the drawn glyph against the pixel a click
// toggles, stepping with wrap-around, and Change Font from the main dialog.

#include <filesystem>
#include <fstream>

#include "core/file_io.h"
#include "extras/font_viewer.h"
#include "support/dialog_fixture.h"
#include "support/fake_platform.h"
#include "support/scratch_dir.h"

namespace quillan {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;
using testing::CFakePlatform;
using testing::CScratchDir;

// A font of 224 records whose bytes are all different from their
// neighbours, so a change in the wrong place shows.
Bytes PatternFont(int kind) {
  Bytes font(size_t(224 * (kind == 36 ? 30 : 26)));
  for (size_t i = 0; i < font.size(); ++i)
    font[i] = uint8_t(i * 37 + 11);
  return font;
}

class FontViewer : public ::testing::Test {
protected:
  // Writes the font of a kind into the scratch folder and opens the editor on it.
  CFontViewerDlg &Open(int kind, Bytes font = {}) {
    if (font.empty()) font = PatternFont(kind);
    m_font = font;
    fs::create_directories(m_dir.Path() / "data");
    EXPECT_TRUE(WriteFileAtomic(m_dir.Path() / "data" / (kind == 36 ? "tk7-1.fon" : "tk7-2.fon"), font).Ok());
    m_viewer = std::make_unique<CFontViewerDlg>(m_platform, m_dir.Path(), kind);
    EXPECT_TRUE(m_viewer->Open().Ok());
    return *m_viewer;
  }
  Bytes FileBytes() { return *ReadFileBytes(m_viewer->FontPath()); }
  fs::path Fxt(const std::string &text) {
    fs::path path = m_dir.Path() / "glyph.fxt";
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }

  CScratchDir m_dir;
  CFakePlatform m_platform;
  std::unique_ptr<CFontViewerDlg> m_viewer;
  Bytes m_font; // the font as written before the editor opened
};

TEST_F(FontViewer, AClickTogglesOneBitOfTheCurrentRecordInTheFile) {
  struct Case {
    int kind, glyph, x, y;
    size_t byte; // in the record
    uint8_t bit;
  } cases[] = {
      {48, 0, 210, 60, 5, 0x80},     // ninth pixel of row 2
      {48, 2, 0, 0, 0, 0x80},        // a later glyph's record
      {48, 223, 399, 324, 25, 0x01}, // last pixel of the last row of the last glyph
      {36, 0, 199, 374, 28, 0x01},   // eighth pixel of row 14
      {36, 5, 200, 25, 3, 0x80},
  };
  for (const Case &c : cases) {
    CFontViewerDlg &viewer = Open(c.kind);
    for (int i = 0; i < c.glyph; ++i)
      viewer.OnNextGlyph();
    EXPECT_TRUE(viewer.OnLButtonDown(c.x, c.y));
    Bytes expected = m_font;
    expected[size_t(c.glyph * viewer.RecordSize()) + c.byte] ^= c.bit;
    EXPECT_EQ(FileBytes(), expected) << "kind " << c.kind << " click " << c.x << "," << c.y;
    EXPECT_TRUE(viewer.OnLButtonDown(c.x, c.y));
    EXPECT_EQ(FileBytes(), m_font) << "a second click puts the pixel back";
  }
}

TEST_F(FontViewer, ClicksOutsideTheGlyphChangeNothing) {
  struct Case {
    int kind, x, y;
  } cases[] = {{48, 100, 325}, {48, 100, 349}, {36, 100, 375}, {36, 400, 10}, {48, -1, 10}, {36, 10, -30}};
  for (const Case &c : cases) {
    CFontViewerDlg &viewer = Open(c.kind);
    EXPECT_FALSE(viewer.OnLButtonDown(c.x, c.y)) << c.kind << " " << c.x << "," << c.y;
    EXPECT_EQ(FileBytes(), m_font);
  }
}

// Both kinds draw 25 x 25 squares, so in every row the click lands on the
// pixel the pointer is over, the lower rows of the 16 x 15 kind included.
TEST_F(FontViewer, TheDrawnPixelUnderThePointerIsThePixelToggled) {
  for (int kind : {36, 48}) {
    CFontViewerDlg &viewer = Open(kind, Bytes(size_t(224 * (kind == 36 ? 30 : 26)), 0));
    CPixelCanvas blank = viewer.Paint();
    ASSERT_EQ(blank.Width(), 400);
    ASSERT_EQ(blank.Height(), kind == 36 ? 375 : 325);
    for (int row = 0; row < viewer.Rows(); ++row) {
      int x = 25 * (row % 16) + 12, y = 25 * row + 24; // the lowest line of the drawn square
      ASSERT_TRUE(viewer.OnLButtonDown(x, y));
      CPixelCanvas drawn = viewer.Paint();
      EXPECT_EQ(drawn.Pixel(x, y), kWhite) << "kind " << kind << " row " << row;
      EXPECT_EQ(drawn.Pixel(x, y + 1 < drawn.Height() ? y + 1 : y - 25), kBlack) << "kind " << kind << " row " << row;
      ASSERT_TRUE(viewer.OnLButtonDown(x, y));
    }
    EXPECT_EQ(viewer.Paint(), blank);
  }
}

TEST_F(FontViewer, StepsWrapAroundAndThePaintFollowsTheGlyph) {
  Bytes font(224 * 26, 0);
  font[223 * 26] = 0x80;   // glyph 223: top-left pixel
  font[1 * 26 + 1] = 0x01; // glyph 1: top-right pixel
  CFontViewerDlg &viewer = Open(48, font);
  EXPECT_EQ(viewer.GlyphIndex(), 0);
  viewer.OnPreviousGlyph();
  EXPECT_EQ(viewer.GlyphIndex(), 223);
  EXPECT_EQ(viewer.Paint().Pixel(0, 0), kWhite);
  EXPECT_EQ(viewer.Paint().Pixel(399, 0), kBlack);
  viewer.OnNextGlyph();
  EXPECT_EQ(viewer.GlyphIndex(), 0);
  viewer.OnNextGlyph();
  EXPECT_EQ(viewer.GlyphIndex(), 1);
  EXPECT_EQ(viewer.Paint().Pixel(0, 0), kBlack);
  EXPECT_EQ(viewer.Paint().Pixel(399, 24), kWhite);
}

TEST_F(FontViewer, LoadFontSetsTheLeftHalvesOfRowsOneOnward) {
  // 112 ones among letters, spaces and line ends; the digits after them are ignored.
  std::string ones;
  for (int row = 0; row < 14; ++row)
    ones += "row 11111111\r\n";
  ones += "00000000";
  for (int kind : {36, 48}) {
    CFontViewerDlg &viewer = Open(kind);
    viewer.OnNextGlyph();
    m_platform.m_openFiles.push_back(Fxt(ones));
    EXPECT_TRUE(viewer.OnLoadFont());
    EXPECT_EQ(m_platform.m_openFileRequests.back(),
              std::make_pair(std::string("fxt"), std::string("Moravel font edit (*.fxt)|*.fxt|All Files (*.*)|*.*||")));
    Bytes expected = m_font;
    size_t start = size_t(viewer.RecordSize());
    for (int row = 1; row < viewer.Rows(); ++row)
      expected[start + size_t(2 * row)] = 0xFF;
    EXPECT_EQ(FileBytes(), expected) << "kind " << kind << ": row 0, right halves and other glyphs stay";
  }

  // A short file: the digits it has, the rest clear.
  CFontViewerDlg &viewer = Open(36);
  m_platform.m_openFiles.push_back(Fxt("1 0 1 00000\n00000001"));
  EXPECT_TRUE(viewer.OnLoadFont());
  Bytes expected = m_font;
  expected[2] = 0xA0;
  expected[4] = 0x01;
  for (size_t row = 3; row < 15; ++row)
    expected[2 * row] = 0;
  EXPECT_EQ(FileBytes(), expected);
}

TEST_F(FontViewer, LoadFontCancelledOrUnreadableChangesNothing) {
  CFontViewerDlg &viewer = Open(48);
  m_platform.m_openFiles.push_back(std::nullopt);
  EXPECT_FALSE(viewer.OnLoadFont());
  EXPECT_TRUE(m_platform.m_messages.empty());
  m_platform.m_openFiles.push_back(m_dir.Path() / "missing.fxt");
  EXPECT_FALSE(viewer.OnLoadFont());
  ASSERT_EQ(m_platform.m_messages.size(), 1u);
  EXPECT_EQ(m_platform.m_messages[0].m_text.rfind("Error opening file\n", 0), 0u);
  EXPECT_NE(m_platform.m_messages[0].m_text.find("missing.fxt"), std::string::npos);
  EXPECT_EQ(FileBytes(), m_font);
}

TEST_F(FontViewer, AFailedWriteIsReportedAndTheGlyphStaysAsItWas) {
  CFontViewerDlg &viewer = Open(36);
  Bytes before = viewer.Record();
  fs::path path = viewer.FontPath();
  fs::remove(path);
  fs::create_directory(path); // the font can no longer be replaced
  EXPECT_FALSE(viewer.OnLButtonDown(0, 0));
  ASSERT_EQ(m_platform.m_messages.size(), 1u);
  EXPECT_NE(m_platform.m_messages[0].m_text.find("tk7-1.fon"), std::string::npos) << m_platform.m_messages[0].m_text;
  EXPECT_EQ(viewer.Record(), before);
}

TEST_F(FontViewer, AShortFontReadsClearPastItsEndAndGrowsOnlyWhenWritten) {
  CFontViewerDlg &viewer = Open(48, Bytes(30, 0xFF)); // one record and 4 bytes of the next
  viewer.OnNextGlyph();
  EXPECT_EQ(viewer.Record(),
            Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  viewer.OnNextGlyph();
  EXPECT_EQ(FileBytes().size(), 30u);
  EXPECT_TRUE(viewer.OnLButtonDown(0, 0));
  Bytes grown = FileBytes();
  ASSERT_EQ(grown.size(), 3u * 26u);
  EXPECT_EQ(grown[52], 0x80);
}

TEST_F(FontViewer, OpenRefusesAMissingFontOrAScriptWithoutOne) {
  CFontViewerDlg missing(m_platform, m_dir.Path(), 48);
  CStatus opened = missing.Open();
  ASSERT_FALSE(opened.Ok());
  EXPECT_NE(opened.Error().Message().find("tk7-2.fon"), std::string::npos);
  CFontViewerDlg none(m_platform, m_dir.Path(), 0);
  EXPECT_FALSE(none.Open().Ok());
}

class ChangeFont : public testing::CDialogTest {};

TEST_F(ChangeFont, EditsTheFontOfTheOpenScriptAndNeedsAScript) {
  m_dlg->OnCommand(kIdChangeFont);
  EXPECT_EQ(m_platform.m_fontViewerRuns, 0) << "no script open";
  EXPECT_TRUE(m_platform.m_messages.empty());

  OpenScript({4}); // a 48-byte header
  fs::path font = m_dir / "data" / "tk7-2.fon";
  m_dlg->OnCommand(kIdChangeFont);
  EXPECT_EQ(m_platform.m_fontViewerRuns, 0) << "no font file: no editor";
  ASSERT_EQ(m_platform.m_messages.size(), 1u);
  EXPECT_NE(m_platform.m_messages[0].m_text.find("tk7-2.fon"), std::string::npos);

  ASSERT_TRUE(WriteFileAtomic(font, Bytes(224 * 26, 0)).Ok());
  m_platform.m_fontViewerUser = [](CFontViewerDlg &viewer) {
    EXPECT_EQ(viewer.FontKind(), 48);
    viewer.OnPreviousGlyph();
    EXPECT_TRUE(viewer.OnLButtonDown(210, 60));
  };
  m_dlg->OnCommand(kIdChangeFont);
  EXPECT_EQ(m_platform.m_fontViewerRuns, 1);
  Bytes expected(224 * 26, 0);
  expected[223 * 26 + 5] = 0x80;
  EXPECT_EQ(*ReadFileBytes(font), expected);
  EXPECT_FALSE(m_dlg->m_modified) << "the font is saved already; the text is untouched";
}

} // namespace
} // namespace quillan
