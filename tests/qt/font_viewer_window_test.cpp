// The font editor's window on the offscreen platform: real mouse clicks on
// the glyph and the buttons, checked in the font file and on the screen.

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "app/font_viewer_window.h"
#include "core/file_io.h"
#include "extras/font_viewer.h"
#include "support/fake_platform.h"
#include "support/scratch_dir.h"

namespace quillan {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(FontViewerWindowTest, ClicksToggleThePixelUnderThePointerAndButtonsStep) {
  for (int kind : {36, 48}) {
    testing::CScratchDir dir;
    testing::CFakePlatform platform;
    std::filesystem::create_directories(dir.Path() / "data");
    int record = kind == 36 ? 30 : 26;
    Bytes font(size_t(224 * record), 0);
    std::filesystem::path path = dir.Path() / "data" / (kind == 36 ? "tk7-1.fon" : "tk7-2.fon");
    ASSERT_TRUE(WriteFileAtomic(path, font).Ok());
    CFontViewerDlg dialog(platform, dir.Path(), kind);
    ASSERT_TRUE(dialog.Open().Ok());

    CFontViewerWindow window(dialog);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("copy"));
    EXPECT_EQ(window.GlyphView()->size(), QSize(400, kind == 36 ? 375 : 325));

    QTest::mouseClick(window.PreviousButton(), Qt::LeftButton);
    EXPECT_EQ(window.GlyphLabel()->text(), QStringLiteral("Glyph 223"));
    QPoint lowestRow(210, 25 * (dialog.Rows() - 1) + 20);
    QTest::mouseClick(window.GlyphView(), Qt::LeftButton, {}, lowestRow);
    font[size_t(223 * record + 2 * (dialog.Rows() - 1) + 1)] = 0x80;
    EXPECT_EQ(*ReadFileBytes(path), font) << "kind " << kind;
    QImage shown = window.GlyphView()->grab().toImage();
    EXPECT_EQ(shown.pixelColor(lowestRow), QColor(Qt::white)) << "the pixel clicked is the pixel drawn";
    EXPECT_EQ(shown.pixelColor(lowestRow - QPoint(25, 0)), QColor(Qt::black));

    QTest::mouseClick(window.NextButton(), Qt::LeftButton);
    EXPECT_EQ(window.GlyphLabel()->text(), QStringLiteral("Glyph 0"));
    EXPECT_EQ(window.GlyphView()->grab().toImage().pixelColor(lowestRow), QColor(Qt::black));
  }
}

} // namespace
} // namespace quillan
