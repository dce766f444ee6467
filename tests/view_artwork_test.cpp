// The pictures compiled into the program: sizes, the ink of each colour
// sheet, the grid colours, and the voicing marks where the renderer lifts
// them from.

#include <gtest/gtest.h>

#include "view/artwork.h"
#include "view/pane_renderer.h"

namespace quillan {
namespace {

CPixelCanvas Load(int id) {
  CEmbeddedPictures pictures;
  auto picture = pictures.LoadPicture(id);
  EXPECT_TRUE(picture.Ok()) << id << ": " << (picture.Ok() ? "" : picture.Error().Message());
  return picture.Ok() ? std::move(picture.Value()) : CPixelCanvas();
}

int Count(const CPixelCanvas &c, CRect r, CRgb colour) {
  int n = 0;
  for (int y = r.m_y; y < r.m_y + r.m_height; ++y)
    for (int x = r.m_x; x < r.m_x + r.m_width; ++x)
      n += c.Pixel(x, y) == colour;
  return n;
}

CRect CellInterior(int v) { return {32 * (v % 16) + 1, 32 * (v / 16) + 1, 30, 30}; }

TEST(Artwork, EveryPictureHasItsSize) {
  for (const CBitmapResource &resource : BitmapResources()) {
    CPixelCanvas picture = Load(resource.m_id);
    EXPECT_EQ(picture.Width(), resource.m_width) << resource.m_fileName;
    EXPECT_EQ(picture.Height(), resource.m_height) << resource.m_fileName;
  }
  EXPECT_EQ(FindBitmapResource(157)->m_ink, kWhite);
  EXPECT_EQ(FindBitmapResource(999), nullptr);
}

TEST(Artwork, ColourSheetsCarryTheirInkGridAndShadow) {
  for (int i = 0; i < kColorSheetCount; ++i) {
    const CBitmapResource &resource = *FindBitmapResource(kFirstColorSheetId + i);
    CPixelCanvas sheet = Load(resource.m_id);
    ASSERT_FALSE(sheet.Empty());
    // Glyphs and captions in the sheet's ink, with a black shadow (the black
    // sheet's shadow is its ink).
    for (int v : {0x41, 0x7A, 0x96, 0xDD, 0x08}) {
      EXPECT_GT(Count(sheet, CellInterior(v), resource.m_ink), 8) << resource.m_fileName << " cell " << v;
      EXPECT_GT(Count(sheet, CellInterior(v), kBlack), 4) << resource.m_fileName << " cell " << v;
    }
    // A space and the codes past the table are empty grey cells.
    EXPECT_EQ(Count(sheet, {32 * 0 + 1, 32 * 2 + 8, 30, 23}, kSheetGrey), 30 * 23) << resource.m_fileName;
    EXPECT_EQ(Count(sheet, {32 * 14 + 1, 32 * 15 + 8, 30, 23}, kSheetGrey), 30 * 23) << resource.m_fileName;
    // Red grid lines; blue around the control codes except where the ink is blue.
    bool blueInk = resource.m_id == 151 || resource.m_id == 155;
    EXPECT_EQ(sheet.Pixel(32 * 3, 32 * 5 + 10), kGridRed);
    EXPECT_EQ(sheet.Pixel(32 * 3 + 31, 32 * 5 + 10), kGridRed);
    EXPECT_EQ(sheet.Pixel(32 * 5 + 10, 32 * 1 + 31), blueInk ? kGridRed : kGridBlue) << resource.m_fileName;
    if (sheet.Height() == 513) {
      EXPECT_EQ(Count(sheet, {0, 512, 512, 1}, kSheetGrey), 512);
    }
  }
}

TEST(Artwork, VoicingMarksLieInsideTheRectanglesTheRendererLifts) {
  for (int id : {150, 157, 158}) {
    CPixelCanvas sheet = Load(id);
    for (uint16_t v : {uint16_t(0xDE), uint16_t(0xDF)}) {
      CRect lifted = SheetGlyphRect(v);
      int inside = 0;
      // Below the code number in the corner, everything that is not grey
      // lies in the lifted rectangle.
      for (int y = 32 * (v / 16) + 8; y < 32 * (v / 16) + 31; ++y)
        for (int x = 32 * (v % 16) + 1; x < 32 * (v % 16) + 31; ++x) {
          if (sheet.Pixel(x, y) == kSheetGrey) continue;
          bool in =
              x >= lifted.m_x && x < lifted.m_x + lifted.m_width && y >= lifted.m_y && y < lifted.m_y + lifted.m_height;
          EXPECT_TRUE(in) << id << " mark " << v << " pixel " << x << "," << y;
          inside += in;
        }
      EXPECT_GT(inside, 10) << id << " mark " << v;
    }
  }
}

TEST(Artwork, NumberSheetPaneAndChart) {
  CPixelCanvas numbers = Load(kNumberSheetId);
  for (int v : {0, 7, 42, 200, 255})
    EXPECT_GT(Count(numbers, CellInterior(v), kNumberInk), 10) << v;
  // Three digits are wider than one.
  EXPECT_GT(Count(numbers, CellInterior(188), kNumberInk), Count(numbers, CellInterior(1), kNumberInk));

  CPixelCanvas pane = Load(kPaneBackgroundId);
  EXPECT_EQ(pane.Pixel(0, 0), kGridRed);
  EXPECT_EQ(pane.Pixel(31, 10), kGridRed);
  EXPECT_EQ(pane.Pixel(32, 10), kGridRed);
  EXPECT_EQ(pane.Pixel(479, 159), kGridRed);
  EXPECT_EQ(Count(pane, {33, 33, 30, 30}, kSheetGrey), 900);

  CPixelCanvas chart = Load(kChartId);
  EXPECT_TRUE(chart == Load(157)) << "the chart is the white sheet";
}

} // namespace
} // namespace quillan
