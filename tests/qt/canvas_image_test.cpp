// The Qt side of the drawing: canvases to images and back (rows of odd
// widths, which Qt pads), and Qt's reading of the program's pictures, which
// must give the very pixels the core's own PNG reader gives.

#include <gtest/gtest.h>

#include <QImage>

#include "app/canvas_image.h"
#include "view/png_codec.h"

namespace quillan {
namespace {

TEST(CanvasImage, RoundTripKeepsEveryPixel) {
  for (auto [w, h] : {std::pair{1, 1}, std::pair{5, 3}, std::pair{480, 380}}) {
    CPixelCanvas canvas(w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        canvas.SetPixel(x, y, {uint8_t(x), uint8_t(y), uint8_t(x * 7 + y)});
    QImage image = ImageFromCanvas(canvas);
    ASSERT_EQ(image.width(), w);
    EXPECT_EQ(image.pixelColor(w - 1, h - 1), QColor(uint8_t(w - 1), uint8_t(h - 1), uint8_t((w - 1) * 7 + h - 1)));
    EXPECT_TRUE(CanvasFromImage(image) == canvas) << w << "x" << h;
    // Other formats come in converted.
    EXPECT_TRUE(CanvasFromImage(image.convertToFormat(QImage::Format_ARGB32)) == canvas) << w << "x" << h;
  }
}

TEST(CanvasImage, QtReadsThePicturesAsTheCoreDoes) {
  CQtPictures qt;
  CQtPictures files(std::filesystem::path(QUILLAN_SOURCE_DIR) / "resources" / "bitmaps");
  for (const CBitmapResource &resource : BitmapResources()) {
    auto ours = DecodePng(EmbeddedPng(resource.m_id));
    ASSERT_TRUE(ours.Ok()) << resource.m_fileName;
    auto theirs = qt.LoadPicture(resource.m_id);
    ASSERT_TRUE(theirs.Ok()) << theirs.Error().Message();
    EXPECT_TRUE(*theirs == *ours) << resource.m_fileName;
    auto fromFile = files.LoadPicture(resource.m_id);
    ASSERT_TRUE(fromFile.Ok()) << fromFile.Error().Message();
    EXPECT_TRUE(*fromFile == *ours) << resource.m_fileName;
  }
  EXPECT_FALSE(qt.LoadPicture(999).Ok());
  EXPECT_FALSE(CQtPictures("/nonexistent").LoadPicture(150).Ok());
}

} // namespace
} // namespace quillan
