// Glyphary on the offscreen platform: paging, the click rules, drawing, and
// how OK and Cancel treat the database file.

#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/file_io.h"
#include "glyphary_dlg.h"
#include "kanji/kanji_glyph.h"
#include "support/scratch_dir.h"

namespace {

using namespace quillan;
using ::testing::HasSubstr;

// Left half of every row set: strokes in the left 8 pixels.
KanjiGlyph LeftHalf() {
  KanjiGlyph glyph{};
  for (int row = 0; row < 12; ++row)
    glyph[size_t(row * 2)] = 0xFF;
  return glyph;
}

class GlypharyTest : public ::testing::Test {
protected:
  void SetUp() override {
    for (size_t i = 0; i < m_store.size(); ++i)
      m_store[i].glyph[0] = uint8_t(i);
    m_store[0] = {0x4E00, LeftHalf()};
    m_store[1] = {0, LeftHalf()};
    m_store[2] = {0x41, LeftHalf()};
    m_store[9984] = {0x6F22, LeftHalf()};
    m_store[9999] = {0x5B57, LeftHalf()};
    ASSERT_TRUE(SaveKanjiStore(m_store, DatabasePath()));
    m_fileBytes = *ReadFileBytes(DatabasePath());
  }

  std::filesystem::path DatabasePath() const { return KanjiStorePath(m_dir.Path()); }
  QString Base() const { return QString::fromStdString(m_dir.Path().string()); }
  std::vector<uint8_t> FileBytes() const {
    auto bytes = ReadFileBytes(DatabasePath());
    return bytes ? *bytes : std::vector<uint8_t>();
  }

  static void Click(CGlypharyDlg &dialog, QPoint point, Qt::MouseButton button) {
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(point), dialog.Grid()->mapToGlobal(QPointF(point)), button,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(dialog.Grid(), &release);
  }
  static QPoint CellCentre(int cell) { return QPoint(cell % 16 * 32 + 16, cell / 16 * 32 + 16); }
  static QPushButton *Button(CGlypharyDlg &dialog, const QString &text) {
    for (QPushButton *button : dialog.findChildren<QPushButton *>()) {
      if (button->text() == text) return button;
    }
    return nullptr;
  }
  static void GoToPage(CGlypharyDlg &dialog, int page) {
    while (dialog.Page() != page)
      dialog.NextPage();
  }

  quillan::testing::CScratchDir m_dir;
  CKanjiStore m_store;
  std::vector<uint8_t> m_fileBytes;
};

TEST_F(GlypharyTest, PagesWrapAtBothEnds) {
  CGlypharyDlg dialog(Base());
  EXPECT_EQ(dialog.Page(), 0);
  EXPECT_EQ(dialog.LoadNote(), "");
  QPushButton *previous = Button(dialog, "<<");
  QPushButton *next = Button(dialog, ">>");
  ASSERT_TRUE(previous && next);
  previous->click();
  EXPECT_EQ(dialog.Page(), 40) << "<< right after start";
  next->click();
  EXPECT_EQ(dialog.Page(), 1) << ">> on page 40";
  previous->click();
  EXPECT_EQ(dialog.Page(), 40) << "<< on page 1";
  previous->click();
  EXPECT_EQ(dialog.Page(), 39);
  next->click();
  next->click();
  EXPECT_EQ(dialog.Page(), 1);
}

TEST_F(GlypharyTest, DrawsTilesCopiedOrOredGlyphsByIdentification) {
  CGlypharyDlg dialog(Base());
  const QRgb window = dialog.palette().color(QPalette::Window).rgb();
  QImage empty = dialog.GridPicture();
  EXPECT_EQ(empty.pixel(100, 100), window) << "page 0 draws nothing";

  dialog.PreviousPage(); // page 40: cell 16 names no record and shows the bare tile
  const QRgb tileInside = dialog.GridPicture().pixel(CellCentre(16) + QPoint(9, 0));
  dialog.NextPage();
  QImage page1 = dialog.GridPicture();
  // Cell 0 (0x4E00, identified) and cell 1 (code 0): left half white; in the
  // right half the tile shows through only for the identified record.
  const QRgb white = qRgb(255, 255, 255), black = qRgb(0, 0, 0);
  EXPECT_EQ(page1.pixel(1 + 3, 1 + 15), white);
  EXPECT_EQ(page1.pixel(1 + 25, 1 + 15), tileInside);
  EXPECT_NE(tileInside, black);
  EXPECT_NE(tileInside, white);
  EXPECT_EQ(page1.pixel(32 + 1 + 3, 1 + 15), white);
  EXPECT_EQ(page1.pixel(32 + 1 + 25, 1 + 15), black) << "code 0 copies the glyph over the tile";
  EXPECT_EQ(page1.pixel(64 + 1 + 25, 1 + 15), black) << "code 0x41 is below 256: copied";
  EXPECT_EQ(page1.pixel(0, 0), window) << "the one-pixel border stays";
  // The enlargement: source column 7 is set, column 8 clear; 30 / 16 puts the
  // edge between enlarged columns 14 and 15.
  EXPECT_EQ(page1.pixel(32 + 1 + 14, 1 + 5), white);
  EXPECT_EQ(page1.pixel(32 + 1 + 15, 1 + 5), black);

  dialog.PreviousPage(); // page 40
  QImage page40 = dialog.GridPicture();
  EXPECT_EQ(page40.pixel(1 + 25, 1 + 15), tileInside) << "record 9984 is identified";
  EXPECT_EQ(page40.pixel(15 * 32 + 1 + 3, 1 + 15), white) << "record 9999 in the first row";
  for (int cell : {16, 17, 255}) {
    QPoint at = CellCentre(cell) + QPoint(9, 0);
    EXPECT_EQ(page40.pixel(at), tileInside) << "cell " << cell << " names no record: an empty tile";
  }
}

TEST_F(GlypharyTest, LeftClickShowsTheCharacterRightClickReplacesIt) {
  CGlypharyDlg dialog(Base());
  int prompts = 0;
  std::optional<QString> answer;
  dialog.SetCharPrompt([&] {
    ++prompts;
    return answer;
  });

  Click(dialog, CellCentre(0), Qt::LeftButton);
  EXPECT_EQ(dialog.CharacterText(), "") << "page 0 shows nothing";
  EXPECT_EQ(dialog.SelectedCell(), 0);
  Click(dialog, CellCentre(0), Qt::RightButton);
  EXPECT_EQ(prompts, 0) << "page 0 names no record";

  dialog.NextPage();
  Click(dialog, CellCentre(0), Qt::LeftButton);
  EXPECT_EQ(dialog.CharacterText(), QString(QChar(0x4E00)));
  Click(dialog, QPoint(2 * 32 + 31, 31), Qt::LeftButton); // the last pixel of cell 2
  EXPECT_EQ(dialog.SelectedCell(), 2);
  EXPECT_EQ(dialog.CharacterText(), "A");

  answer = QString(QChar(0x6F22));
  Click(dialog, CellCentre(1), Qt::RightButton);
  EXPECT_EQ(dialog.Store()[1].code, 0x6F22);
  EXPECT_EQ(dialog.CharacterText(), QString(QChar(0x6F22)));
  answer = QString();
  Click(dialog, CellCentre(0), Qt::RightButton);
  EXPECT_EQ(dialog.Store()[0].code, 0) << "an empty answer sets code 0";
  EXPECT_EQ(dialog.CharacterText(), "");
  answer.reset();
  Click(dialog, CellCentre(1), Qt::RightButton);
  EXPECT_EQ(dialog.Store()[1].code, 0x6F22) << "Cancel changes nothing";
  EXPECT_EQ(prompts, 3);

  dialog.PreviousPage(); // page 40
  answer = QString("x");
  Click(dialog, CellCentre(16), Qt::RightButton);
  EXPECT_EQ(prompts, 3) << "cells below the first row of page 40 name no record";
  Click(dialog, CellCentre(15), Qt::RightButton);
  EXPECT_EQ(dialog.Store()[9999].code, 'x');
  EXPECT_EQ(dialog.SelectedCell(), 15);
}

TEST_F(GlypharyTest, OkRewritesTheFileAndCancelLeavesIt) {
  {
    CGlypharyDlg dialog(Base());
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(FileBytes(), m_fileBytes) << "saving without a change is byte for byte";
  }
  {
    CGlypharyDlg dialog(Base());
    dialog.SetCharPrompt([] { return QString("z"); });
    dialog.SetSaveQuestion([](const QString &) { return CGlypharyDlg::CSaveAnswer::No; });
    dialog.NextPage();
    Click(dialog, CellCentre(1), Qt::RightButton);
    dialog.reject();
    EXPECT_EQ(FileBytes(), m_fileBytes) << "Cancel and No write nothing";
  }
  {
    CGlypharyDlg dialog(Base());
    dialog.SetCharPrompt([] { return QString("z"); });
    dialog.NextPage();
    Click(dialog, CellCentre(1), Qt::RightButton);
    dialog.accept();
    CKanjiStore expected = m_store;
    expected[1].code = 'z';
    EXPECT_EQ(FileBytes(), SerializeKanjiStore(expected));
  }
}

TEST_F(GlypharyTest, CancelAndCloseAskBeforeThrowingChangesAway) {
  using Answer = CGlypharyDlg::CSaveAnswer;
  struct Case {
    Answer answer;
    bool saved, closed;
  } cases[] = {{Answer::Yes, true, true}, {Answer::No, false, true}, {Answer::Cancel, false, false}};
  for (bool viaClose : {false, true})
    for (const Case &c : cases) {
      ASSERT_TRUE(SaveKanjiStore(m_store, DatabasePath()));
      CGlypharyDlg dialog(Base());
      dialog.show();
      QStringList questions;
      dialog.SetSaveQuestion([&](const QString &question) {
        questions << question;
        return c.answer;
      });
      dialog.SetCharPrompt([] { return QString("q"); });
      dialog.NextPage();
      Click(dialog, CellCentre(2), Qt::RightButton);
      if (viaClose)
        dialog.close();
      else
        Button(dialog, "Cancel")->click();
      ASSERT_EQ(questions.size(), 1);
      EXPECT_EQ(questions[0], QStringLiteral("Save the changes to glyphary.db?"));
      EXPECT_EQ(dialog.isVisible(), !c.closed);
      EXPECT_EQ(FileBytes() != m_fileBytes, c.saved);
      if (c.saved) {
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
      }
    }
  // Without a change, or with the change undone, Cancel just leaves.
  CGlypharyDlg dialog(Base());
  dialog.show();
  int asked = 0;
  dialog.SetSaveQuestion([&](const QString &) {
    ++asked;
    return Answer::Cancel;
  });
  uint16_t original = dialog.Store()[2].code;
  dialog.SetCharPrompt([] { return QString("q"); });
  dialog.NextPage();
  Click(dialog, CellCentre(2), Qt::RightButton);
  dialog.SetCharPrompt([original] { return original ? QString(QChar(original)) : QString(); });
  Click(dialog, CellCentre(2), Qt::RightButton);
  dialog.reject();
  EXPECT_EQ(asked, 0);
  EXPECT_FALSE(dialog.isVisible());
}

TEST_F(GlypharyTest, EnterPressesOk) {
  CGlypharyDlg dialog(Base());
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  QTest::keyClick(&dialog, Qt::Key_Return);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_FALSE(dialog.isVisible());
}

TEST_F(GlypharyTest, AsksBeforeOverwritingAFileChangedOnDisk) {
  CGlypharyDlg dialog(Base());
  QStringList questions;
  bool yes = false;
  dialog.SetQuestion([&](const QString &question) {
    questions << question;
    return yes;
  });
  CKanjiStore other = m_store;
  other[5].code = 0x9999; // Quillan saved meanwhile
  ASSERT_TRUE(SaveKanjiStore(other, DatabasePath()));
  const auto theirs = FileBytes();

  dialog.accept();
  ASSERT_EQ(questions.size(), 1);
  EXPECT_THAT(questions[0].toStdString(), HasSubstr("changed on disk"));
  EXPECT_EQ(FileBytes(), theirs) << "declined: their file stays";
  EXPECT_NE(dialog.result(), QDialog::Accepted) << "and Glyphary stays open";

  yes = true;
  dialog.accept();
  EXPECT_EQ(questions.size(), 2);
  EXPECT_EQ(FileBytes(), m_fileBytes);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(GlypharyTest, AFailedSaveKeepsTheDialogOpenAndSaysWhy) {
  CGlypharyDlg dialog(Base());
  QStringList notices;
  dialog.SetNotice([&](const QString &notice) { notices << notice; });
  dialog.SetQuestion([](const QString &) { return true; });
  // The database path becomes a folder that cannot be replaced.
  std::filesystem::remove(DatabasePath());
  std::filesystem::create_directories(DatabasePath() / "inside");
  dialog.accept();
  ASSERT_EQ(notices.size(), 1);
  EXPECT_THAT(notices[0].toStdString(), HasSubstr("not saved"));
  EXPECT_NE(dialog.result(), QDialog::Accepted);
}

TEST(GlypharyWithoutDatabase, StartsEmptySaysSoAndNeverWrites) {
  quillan::testing::CScratchDir dir;
  const QString base = QString::fromStdString(dir.Path().string());
  CGlypharyDlg dialog(base);
  EXPECT_FALSE(dialog.HasDatabase());
  EXPECT_THAT(dialog.LoadNote().toStdString(), HasSubstr("No kanji database"));
  EXPECT_TRUE(dialog.Store() == CKanjiStore());
  QStringList notices;
  dialog.SetNotice([&](const QString &notice) { notices << notice; });

  // Quillan creates the database while Glyphary is open.
  CKanjiStore created;
  created[0].code = 0x4E00;
  ASSERT_TRUE(SaveKanjiStore(created, KanjiStorePath(dir.Path())));
  const auto bytes = *ReadFileBytes(KanjiStorePath(dir.Path()));
  dialog.accept();
  EXPECT_EQ(*ReadFileBytes(KanjiStorePath(dir.Path())), bytes);
  ASSERT_EQ(notices.size(), 1);
  EXPECT_THAT(notices[0].toStdString(), HasSubstr("Nothing was saved"));

  quillan::testing::CScratchDir empty;
  CGlypharyDlg again(QString::fromStdString(empty.Path().string()));
  again.SetNotice([](const QString &) {});
  again.accept();
  EXPECT_FALSE(std::filesystem::exists(KanjiStorePath(empty.Path()))) << "no database is created";
}

TEST(GlypharyDamagedDatabase, LoadsWhatIsThereAndSaysWhatWasFilled) {
  quillan::testing::CScratchDir dir;
  CKanjiStore store;
  store[0] = {0x4E00, LeftHalf()};
  auto bytes = SerializeKanjiStore(store);
  bytes.resize(36 + 30 * 9); // ten records
  std::filesystem::create_directories(KanjiStorePath(dir.Path()).parent_path());
  ASSERT_TRUE(WriteFileAtomic(KanjiStorePath(dir.Path()), bytes));
  CGlypharyDlg dialog(QString::fromStdString(dir.Path().string()));
  EXPECT_TRUE(dialog.HasDatabase());
  EXPECT_THAT(dialog.LoadNote().toStdString(), HasSubstr("records 10 to 9999"));
  EXPECT_EQ(dialog.Store()[0].code, 0x4E00);
}

} // namespace
