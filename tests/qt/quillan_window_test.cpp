// Quillan's main window on the offscreen platform, started on a copy of the
// demo workspace: menus, typing with real key events, buttons, the scroll
// bar and spins, the amount dialogs, closing, the clipboard and the program's
// start-up.

#include <filesystem>
#include <unistd.h>
#include <fstream>

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include "app/amount_dialogs.h"
#include "app/canvas_image.h"
#include "app/font_viewer_window.h"
#include "app/pane_widget.h"
#include "app/qt_platform.h"
#include "app/quillan_app.h"
#include "app/quillan_window.h"
#include "app/spin_arrows.h"
#include "core/file_io.h"
#include "workbench/quillan_dlg.h"
#include "modal_script.h"
#include "tiny_http_server.h"
#include "view/menu_table.h"
#include "view/pane_renderer.h"

namespace quillan {
namespace {

namespace fs = std::filesystem;
using testing::CModalScript;

std::vector<uint16_t> Elements(const std::string &text) {
  std::vector<uint16_t> elements(text.begin(), text.end());
  elements.push_back(0);
  return elements;
}

class CWindowTest : public ::testing::Test {
protected:
  void SetUp() override {
    const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
    m_dir = fs::temp_directory_path() / (std::string("quillan-window-") + info->name() + "-" + std::to_string(::getpid()));
    fs::remove_all(m_dir);
    fs::copy(fs::path(QUILLAN_SOURCE_DIR) / "examples" / "demo", m_dir, fs::copy_options::recursive);
    std::ofstream(m_dir / "data" / "names.txt") << "Hero\r\nRival && Co\r\n";

    m_window = std::make_unique<CQuillanWindow>();
    m_window->show();
    QString notice;
    {
      CModalScript script;
      script.Answer(QMessageBox::Ok, &notice); // the first start builds the kanji database
      ASSERT_TRUE(m_window->Initialize(m_dir));
    }
    EXPECT_TRUE(notice.startsWith(QStringLiteral("Creating Database"))) << notice.toStdString();
    m_window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_window.get()));
  }

  void TearDown() override {
    if (m_window) {
      m_window->EndDialog();
      m_window.reset();
    }
    fs::remove_all(m_dir);
  }

  CQuillanDlg &Dlg() { return m_window->Dialog(); }
  CPaneWidget *Pane() { return m_window->Pane(); }

  void OpenDemo() {
    ASSERT_TRUE(Dlg().OpenScriptPath(m_dir / "x5DEMO.bin"));
    ASSERT_TRUE(Pane()->hasFocus());
    ASSERT_FALSE(Dlg().m_focusLost);
  }

  // Goes to a line of the first page and empties its text.
  void StartOnEmptyLine() {
    Dlg().OnVScroll(CScrollRequest::ThumbTrack, 100);
    ASSERT_EQ(Dlg().m_currentLine, 100);
    Dlg().LoadedCurrent().clear();
    Dlg().PlaceCursorAtEnd();
  }

  fs::path m_dir;
  std::unique_ptr<CQuillanWindow> m_window;
};

// The menu bar against the table it is built from: same captions, same ids,
// same nesting, and the name items labelled from data/names.txt.
void ExpectMenu(const QList<QAction *> &actions, const std::vector<CMenuEntry> &entries, const std::string &where) {
  ASSERT_EQ(size_t(actions.size()), entries.size()) << where;
  for (size_t i = 0; i < entries.size(); ++i) {
    const CMenuEntry &entry = entries[i];
    QAction *action = actions[qsizetype(i)];
    std::string path = where + "/" + entry.m_caption;
    EXPECT_EQ(action->text().toStdString(), entry.m_caption) << path;
    if (action->menu()) {
      ExpectMenu(action->menu()->actions(), entry.m_entries, path);
    } else {
      EXPECT_TRUE(entry.m_entries.empty()) << path;
      EXPECT_EQ(action->data().toInt(), entry.m_id) << path;
    }
  }
}

TEST_F(CWindowTest, MenusFollowTheTableAndTheOpenEnablesTheFileItems) {
  std::vector<CMenuEntry> table = MainMenu(Dlg().NameLabels());
  QList<QAction *> bar = m_window->menuBar()->actions();
  ASSERT_EQ(bar.size(), 12); // the ten of the table, View with the project panels, Help with the about box
  ExpectMenu(bar.mid(0, 10), table, "");
  EXPECT_EQ(bar[10]->text(), QStringLiteral("&View"));
  EXPECT_EQ(bar[11]->text(), QStringLiteral("&Help"));

  EXPECT_EQ(m_window->Action(NameItemIds()[0])->text(), QStringLiteral("Hero"));
  EXPECT_EQ(m_window->Action(NameItemIds()[1])->text(), QStringLiteral("Rival && Co"));
  EXPECT_EQ(m_window->Action(NameItemIds()[2])->text(), QStringLiteral("Name 3"));
  EXPECT_EQ(m_window->Action(kIdOpenJapaneseText)->shortcut(), QKeySequence(QKeySequence::Open));
  EXPECT_EQ(m_window->Action(kIdSaveEnglishText)->shortcut(), QKeySequence(QKeySequence::Save));

  const int openEnabled[] = {kIdSaveEnglishText, kIdCompress, kIdCompressAll, kIdChangeFont};
  for (int id : openEnabled)
    EXPECT_FALSE(m_window->Action(id)->isEnabled()) << id;
  EXPECT_TRUE(m_window->Action(kIdOpenJapaneseText)->isEnabled());
  OpenDemo();
  for (int id : openEnabled)
    EXPECT_TRUE(m_window->Action(id)->isEnabled()) << id;
  EXPECT_EQ(m_window->windowTitle(), QString::fromStdString(Dlg().WindowTitle()));
}

TEST_F(CWindowTest, TheStatusShowsPageAndLineSoonAfterStart) {
  QTest::qWait(30);
  EXPECT_EQ(m_window->StatusLabel()->text(), QStringLiteral("Page: 0\nLine: 1"));
}

TEST_F(CWindowTest, KeyEventsAreTypedIntoTheEnglishTextAtOnce) {
  OpenDemo();
  StartOnEmptyLine();
  int line = Dlg().m_currentLine;

  QTest::keyClicks(Pane(), QStringLiteral("Hi there"));
  // Each press was handled as it came, not at the next tick of the timer.
  EXPECT_EQ(Dlg().CurrentEnglish(), Elements("Hi there"));
  QTest::keyClick(Pane(), Qt::Key_Backspace);
  // Shift+1 as a US keyboard sends it.
  QTest::keyPress(Pane(), Qt::Key_Shift);
  QKeyEvent press(QEvent::KeyPress, Qt::Key_Exclam, Qt::ShiftModifier, QStringLiteral("!"));
  QKeyEvent release(QEvent::KeyRelease, Qt::Key_Exclam, Qt::ShiftModifier, QStringLiteral("!"));
  QCoreApplication::sendEvent(Pane(), &press);
  QCoreApplication::sendEvent(Pane(), &release);
  QTest::keyRelease(Pane(), Qt::Key_Shift, Qt::ShiftModifier);
  QTest::qWait(40); // ticks of the timer type nothing more
  EXPECT_EQ(Dlg().CurrentEnglish(), Elements("Hi ther!"));
  EXPECT_TRUE(Dlg().m_modified);
  EXPECT_TRUE(m_window->windowTitle().contains(QLatin1Char('*')));

  // Enter goes to the next line; Up and Left move the cursor back.
  QTest::keyClick(Pane(), Qt::Key_Return);
  EXPECT_EQ(Dlg().m_currentLine, line + 1);
  EXPECT_EQ(m_window->LineScrollBar()->value(), line + 1);
  QTest::keyClick(Pane(), Qt::Key_Up);
  QTest::keyClick(Pane(), Qt::Key_Return);
  EXPECT_EQ(Dlg().m_currentLine, line + 2);
}

TEST_F(CWindowTest, ThePanesShowTheRenderedPictureAndClicksFindTheirCells) {
  OpenDemo();
  StartOnEmptyLine();
  QTest::keyClicks(Pane(), QStringLiteral("abcdef"));
  QImage shown = Pane()->Image();
  ASSERT_EQ(shown.size(), QSize(480, 380));
  EXPECT_EQ(shown, ImageFromCanvas(Dlg().m_renderer->Canvas()));

  // A click on the third cell of the English pane puts the cursor there.
  QTest::mouseClick(Pane(), Qt::LeftButton, Qt::NoModifier, QPoint(2 * 32 + 16, 220 + 16));
  EXPECT_EQ(Dlg().m_cursorOffset, 2);
  QTest::keyClick(Pane(), Qt::Key_X);
  EXPECT_EQ(Dlg().CurrentEnglish(), Elements("abxcdef"));

  // A right click on a kanji of the Japanese pane identifies it.
  int line = -1, cell = -1;
  uint16_t kanji = 0;
  for (int l = 0; l < Dlg().m_linesOnPage && cell < 0; ++l) {
    const uint16_t *entry = Dlg().DecodeEntry(0, l);
    for (int i = 0; i < 75 && entry[i] != 0; ++i) {
      if (entry[i] >= 0x100 && entry[i] < 0x800) {
        line = l, cell = i, kanji = entry[i];
        break;
      }
    }
  }
  ASSERT_GE(cell, 0) << "the demo's first page shows no kanji";
  Dlg().OnVScroll(CScrollRequest::ThumbTrack, line);
  CModalScript script;
  script.Then([](QWidget *modal) {
    auto *field = modal->findChild<QLineEdit *>();
    ASSERT_NE(field, nullptr);
    QKeyEvent typed(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString::fromUtf16(u"\u5B57\u5B57"));
    QCoreApplication::sendEvent(field, &typed); // one character fits
    EXPECT_EQ(field->text(), QString::fromUtf16(u"\u5B57"));
    qobject_cast<QDialog *>(modal)->accept();
  });
  QTest::mouseClick(Pane(), Qt::RightButton, Qt::NoModifier, QPoint(cell % 15 * 32 + 16, 20 + cell / 15 * 32 + 16));
  EXPECT_EQ(Dlg().CodeBook()[size_t(kanji - 0x100)], 0x5B57);
}

TEST_F(CWindowTest, AHeldKeyActsOnceAndOverlappingKeysEachOnce) {
  OpenDemo();
  StartOnEmptyLine();
  QTest::keyPress(Pane(), Qt::Key_S, Qt::NoModifier);
  QKeyEvent repeat(QEvent::KeyPress, Qt::Key_S, Qt::NoModifier, QStringLiteral("s"), true);
  for (int i = 0; i < 5; ++i)
    QCoreApplication::sendEvent(Pane(), &repeat);
  QTest::keyPress(Pane(), Qt::Key_A, Qt::NoModifier); // a has the lower scan code
  QTest::keyRelease(Pane(), Qt::Key_A, Qt::NoModifier);
  QTest::qWait(30);
  QTest::keyRelease(Pane(), Qt::Key_S, Qt::NoModifier);
  QTest::qWait(30);
  EXPECT_EQ(Dlg().CurrentEnglish(), Elements("sa"));
}

TEST_F(CWindowTest, KeysTypedElsewhereOrBeforeAScriptAreNotKept) {
  QTest::keyClicks(Pane(), QStringLiteral("lost"));
  QTest::qWait(30);
  OpenDemo();
  StartOnEmptyLine();
  QTest::qWait(30);
  EXPECT_TRUE(Dlg().CurrentEnglish().empty());
  QTest::keyClicks(Pane(), QStringLiteral("kept"));
  EXPECT_EQ(Dlg().CurrentEnglish(), Elements("kept"));
}

TEST_F(CWindowTest, PageButtonsChangePageAndKeepTheKeyboardOnThePanes) {
  OpenDemo();
  ASSERT_EQ(Dlg().m_pageCount, 3);
  Dlg().OnVScroll(CScrollRequest::ThumbTrack, 200);
  QTest::mouseClick(m_window->Button(kIdNextPage), Qt::LeftButton);
  EXPECT_EQ(Dlg().m_currentPage, 1);
  EXPECT_EQ(Dlg().m_currentLine, 200);
  QTest::mouseClick(m_window->Button(kIdLastPage), Qt::LeftButton);
  EXPECT_EQ(Dlg().m_currentPage, 2);
  EXPECT_EQ(Dlg().m_currentLine, Dlg().m_linesOnLastPage - 1); // clamped to the short last page
  EXPECT_EQ(m_window->LineScrollBar()->maximum(), Dlg().m_linesOnLastPage - 1);
  EXPECT_EQ(m_window->LineScrollBar()->value(), Dlg().m_currentLine);
  QTest::qWait(30);
  EXPECT_EQ(m_window->StatusLabel()->text(), QStringLiteral("Page: 2\nLine: %1").arg(Dlg().m_linesOnLastPage));
  EXPECT_TRUE(Pane()->hasFocus());
  QTest::mouseClick(m_window->Button(kIdFirstPage), Qt::LeftButton);
  EXPECT_EQ(Dlg().m_currentPage, 0);
}

TEST_F(CWindowTest, TheScrollBarMovesOneLinePerStepAndSpinsDoNotSwallowIt) {
  OpenDemo();
  QScrollBar *bar = m_window->LineScrollBar();
  EXPECT_EQ(bar->maximum(), 255);
  bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(Dlg().m_currentLine, 2);
  EXPECT_EQ(bar->value(), 2);
  bar->triggerAction(QAbstractSlider::SliderToMaximum);
  EXPECT_EQ(Dlg().m_currentLine, 255);
  bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
  EXPECT_EQ(bar->value(), 254);
  // Page steps: the bar has no page size, so the line stays.
  bar->triggerAction(QAbstractSlider::SliderPageStepSub);
  EXPECT_EQ(Dlg().m_currentLine, 254);
  EXPECT_EQ(bar->value(), 254);

  // A text of 100 elements: one step down the English spin scrolls one row,
  // and the scroll bar still answers the very next step.
  Dlg().LoadedCurrent().assign(100, 'x');
  Dlg().LoadedCurrent().push_back(0);
  Dlg().m_viewTopRow = 0;
  Dlg().m_cursorOffset = 0;
  m_window->Spin(kIdEnglishSpin)->DownButton()->click();
  EXPECT_EQ(Dlg().m_viewTopRow, 1);
  bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
  EXPECT_EQ(Dlg().m_currentLine, 253);
}

TEST_F(CWindowTest, TheAmountDialogsStoreOnlyBytesTheGameKeeps) {
  OpenDemo();
  StartOnEmptyLine();
  auto setFields = [](std::vector<QString> values) {
    return [values](QWidget *modal) {
      auto *dialog = qobject_cast<CAmountDlg *>(modal);
      ASSERT_NE(dialog, nullptr);
      for (size_t i = 0; i < values.size(); ++i)
        dialog->Field(int(i))->setText(values[i]);
      dialog->accept();
    };
  };
  {
    CModalScript script;
    script.Then(setFields({QStringLiteral("254")}));
    m_window->Action(kIdTilt)->trigger();
  }
  {
    CModalScript script;
    script.Then(setFields({QStringLiteral("255")}));
    m_window->Action(kIdZoom)->trigger();
  }
  {
    CModalScript script;
    script.Then(setFields({QStringLiteral("2"), QStringLiteral("7")}));
    m_window->Action(kIdTab)->trigger();
  }
  EXPECT_EQ(Dlg().CurrentEnglish(), (std::vector<uint16_t>{0x0B, 255, 0x0C, 255, 0x0E, 1, 7, 0}));
}

TEST_F(CWindowTest, TheChartInsertsTheCodeOfTheCellDoubleClicked) {
  OpenDemo();
  StartOnEmptyLine();
  CModalScript script;
  script.Then([](QWidget *chart) {
    QPoint cell(3 * 32 + 10, 14 * 32 + 10);
    QTest::mouseDClick(chart, Qt::LeftButton, Qt::NoModifier, cell);
  });
  m_window->Action(kIdTextCharacters)->trigger();
  EXPECT_EQ(Dlg().CurrentEnglish(), (std::vector<uint16_t>{0xE3, 0}));
}

std::string ReadAll(const fs::path &path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST_F(CWindowTest, CtrlSSavesThePageAndTheCompressCommandsWriteScripts) {
  OpenDemo();
  StartOnEmptyLine();
  QTest::keyClicks(Pane(), QStringLiteral("Saved words"));
  fs::path chunk = m_dir / "Scripts" / "PATCHED INFO" / "DEMO" / "x5DEMO0.tk7";
  // A chunk file holds each element as 00 and its byte, a string ends in 00 00.
  std::string saved;
  for (char c : std::string("Saved words"))
    saved += {'\0', c};
  saved += std::string(2, '\0');
  ASSERT_EQ(ReadAll(chunk).find(saved), std::string::npos);
  QTest::keyClick(Pane(), Qt::Key_S, Qt::ControlModifier);
  EXPECT_NE(ReadAll(chunk).find(saved), std::string::npos);
  EXPECT_FALSE(Dlg().m_modified);
  EXPECT_FALSE(m_window->windowTitle().contains(QLatin1Char('*')));
  // The S of the shortcut was not typed.
  EXPECT_EQ(Dlg().CurrentEnglish(), Elements("Saved words"));

  QString compressed;
  {
    CModalScript script;
    script.Answer(QMessageBox::Ok, &compressed);
    m_window->Action(kIdCompress)->trigger();
  }
  EXPECT_TRUE(fs::exists(m_dir / "compress" / "X5DEMO.bin")) << compressed.toStdString();

  // Compress All works on another thread behind a progress dialog; the
  // window's ticks keep away from the document meanwhile.
  QString summary;
  {
    CModalScript script;
    script.Answer(QMessageBox::Ok, &summary);
    m_window->Action(kIdCompressAll)->trigger();
  }
  EXPECT_FALSE(summary.isEmpty());
  m_window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(m_window.get()));
  QTest::keyClick(Pane(), Qt::Key_Period);
  EXPECT_EQ(Dlg().CurrentEnglish(), Elements("Saved words."));
}

TEST_F(CWindowTest, CtrlZUndoesTypingAndCtrlYRedoesItBeforeTheSave) {
  OpenDemo();
  StartOnEmptyLine();
  QTest::keyClicks(Pane(), QStringLiteral("Kept"));
  QTest::keyClick(Pane(), Qt::Key_Left);
  QTest::keyClicks(Pane(), QStringLiteral("ing"));
  ASSERT_EQ(Dlg().CurrentEnglish(), Elements("Kepingt"));
  EXPECT_EQ(m_window->Action(kIdUndo)->text(), QStringLiteral("&Undo Typing"));
  EXPECT_TRUE(m_window->Action(kIdUndo)->isEnabled());

  QTest::keyClick(Pane(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Dlg().CurrentEnglish(), Elements("Kept")) << "the Z of the shortcut is not typed";
  QTest::keyClick(Pane(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_TRUE(Dlg().CurrentEnglish().empty());
  EXPECT_EQ(m_window->Action(kIdRedo)->text(), QStringLiteral("&Redo Typing"));
  QTest::keyClick(Pane(), Qt::Key_Y, Qt::ControlModifier);
  QTest::keyClick(Pane(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(Dlg().CurrentEnglish(), Elements("Kepingt"));
  EXPECT_FALSE(m_window->Action(kIdRedo)->isEnabled());

  QTest::keyClick(Pane(), Qt::Key_Z, Qt::ControlModifier);
  QTest::keyClick(Pane(), Qt::Key_S, Qt::ControlModifier);
  fs::path chunk = m_dir / "Scripts" / "PATCHED INFO" / "DEMO" / "x5DEMO0.tk7";
  EXPECT_NE(ReadAll(chunk).find(std::string("\0K\0e\0p\0t\0\0", 10)), std::string::npos);
  EXPECT_EQ(ReadAll(chunk).find(std::string("\0K\0e\0p\0i", 8)), std::string::npos);
  EXPECT_FALSE(m_window->windowTitle().contains(QLatin1Char('*')));
  QTest::keyClick(Pane(), Qt::Key_Y, Qt::ControlModifier); // past the save point
  EXPECT_TRUE(m_window->windowTitle().contains(QLatin1Char('*')));
  QTest::keyClick(Pane(), Qt::Key_Z, Qt::ControlModifier); // back to it
  EXPECT_FALSE(m_window->windowTitle().contains(QLatin1Char('*')));
}

TEST_F(CWindowTest, ClosingAsksToSaveUnsavedTextAndEscapeToo) {
  OpenDemo();
  StartOnEmptyLine();
  QTest::keyClicks(Pane(), QStringLiteral("unsaved"));
  QString question;
  {
    CModalScript script;
    script.Answer(QMessageBox::Cancel, &question);
    m_window->close();
  }
  EXPECT_EQ(question, QStringLiteral("File not saved.  Save it now?"));
  EXPECT_TRUE(m_window->isVisible());
  EXPECT_EQ(Dlg().CurrentEnglish(), Elements("unsaved"));
  // Typing goes on after the cancelled close (the offscreen platform has no
  // window manager to hand the activation back).
  m_window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(m_window.get()));
  QTest::keyClick(Pane(), Qt::Key_X);
  EXPECT_EQ(Dlg().CurrentEnglish(), Elements("unsavedx"));

  {
    CModalScript script;
    script.Answer(QMessageBox::No, &question);
    QTest::keyClick(Pane(), Qt::Key_Escape);
  }
  EXPECT_FALSE(m_window->isVisible());
}

TEST_F(CWindowTest, EnterDoesNotCloseAndAnUnmodifiedWindowClosesWithoutAsking) {
  OpenDemo();
  QTest::keyClick(Pane(), Qt::Key_Return);
  EXPECT_TRUE(m_window->isVisible());
  Dlg().m_modified = 0;
  m_window->close();
  EXPECT_FALSE(m_window->isVisible());
}

TEST_F(CWindowTest, TheClipboardRoundTripsUnicodeText) {
  std::u16string text = u"\u65E5\u672C\u8A9E and Latin";
  m_window->Platform().SetClipboardText(text);
  EXPECT_EQ(m_window->Platform().ClipboardText(), text);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromStdU16String(text));
}

TEST_F(CWindowTest, TheExchangeButtonsUseTheRealClipboardAndTheTranslationService) {
  OpenDemo();
  StartOnEmptyLine();
  QTest::mouseClick(m_window->Button(kIdCopyJapToClipboard), Qt::LeftButton);
  std::u16string japanese = Dlg().m_japaneseText.substr(0, Dlg().m_japaneseText.find(u'\0'));
  ASSERT_FALSE(japanese.empty());
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromStdU16String(japanese));
  EXPECT_TRUE(Pane()->hasFocus());

  QGuiApplication::clipboard()->setText(QStringLiteral("Pasted"));
  QTest::mouseClick(m_window->Button(kIdPasteEngToBoard), Qt::LeftButton);
  std::vector<uint16_t> pasted = Dlg().CurrentEnglish();
  ASSERT_GE(pasted.size(), 7u);
  EXPECT_EQ(std::vector<uint16_t>(pasted.begin(), pasted.begin() + 6),
            (std::vector<uint16_t>{'P', 'a', 's', 't', 'e', 'd'}));

  testing::CTinyServer server([](const QByteArray &) { return testing::Response(200, "OK", "Translated"); });
  std::string url = server.Url("");
  std::ofstream(m_dir / "quillan.conf") << "translate-host = " << url.substr(std::string("http://").size()) << "\n";
  QTest::mouseClick(m_window->Button(kIdGoogleTranslate), Qt::LeftButton);
  std::vector<uint16_t> translated = Dlg().CurrentEnglish();
  ASSERT_GE(translated.size(), 10u);
  EXPECT_EQ(std::vector<uint16_t>(translated.begin(), translated.begin() + 10),
            (std::vector<uint16_t>{'T', 'r', 'a', 'n', 's', 'l', 'a', 't', 'e', 'd'}));
  EXPECT_TRUE(server.Received().startsWith("GET /translate.php?text=%")) << server.Received().toStdString();
  EXPECT_TRUE(Pane()->hasFocus());
}

TEST_F(CWindowTest, TranslationRepliesAndFailuresFromARealServer) {
  OpenDemo();
  StartOnEmptyLine();
  struct Case {
    int status;
    QByteArray body;
    std::vector<uint16_t> text; // the English text after the request
    bool message;               // a failure is told
  } cases[] = {
      {200, "OK", {'O', 'K', 0}, false},
      {200, QByteArray("abc\0ef", 6), {'a', 'b', 'c', 0, 0}, false},
      {404, "Not Found", {'a', 'b', 'c', 0, 0}, true},
  };
  for (const Case &c : cases) {
    testing::CTinyServer server([&](const QByteArray &) { return testing::Response(c.status, "Whatever", c.body); });
    std::ofstream(m_dir / "quillan.conf") << "translate-host = " << server.Url("").substr(7) << "\n";
    QString told;
    {
      CModalScript script;
      if (c.message) script.Answer(QMessageBox::Ok, &told);
      QTest::mouseClick(m_window->Button(kIdGoogleTranslate), Qt::LeftButton);
    }
    EXPECT_EQ(Dlg().CurrentEnglish(), c.text) << c.status;
    EXPECT_EQ(told.contains(QStringLiteral("404")), c.message) << told.toStdString();
  }
}

TEST_F(CWindowTest, ChangeFontEditsTheFontOfTheOpenScript) {
  OpenDemo(); // a 48-byte header: tk7-2.fon
  fs::path font = m_dir / "data" / "tk7-2.fon";
  std::vector<uint8_t> before = *ReadFileBytes(font);
  {
    CModalScript script;
    script.Then([](QWidget *modal) {
      auto *viewer = qobject_cast<CFontViewerWindow *>(modal);
      ASSERT_NE(viewer, nullptr);
      QTest::mouseClick(viewer->NextButton(), Qt::LeftButton);
      QTest::mouseClick(viewer->GlyphView(), Qt::LeftButton, {}, QPoint(210, 60));
      viewer->accept();
    });
    m_window->Action(kIdChangeFont)->trigger();
  }
  std::vector<uint8_t> expected = before;
  expected[26 + 5] ^= 0x80; // glyph 1, ninth pixel of row 2
  EXPECT_EQ(*ReadFileBytes(font), expected);
}

TEST(QuillanAppTest, OpensTheScriptNamedOnTheCommandLineInTheCurrentFolder) {
  fs::path dir = fs::temp_directory_path() / ("quillan-app-start-" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::copy(fs::path(QUILLAN_SOURCE_DIR) / "examples" / "demo", dir, fs::copy_options::recursive);
  fs::path previous = fs::current_path();
  fs::current_path(dir);
  {
    CQuillanApp app;
    CModalScript script;
    script.Answer(QMessageBox::Ok); // the new kanji database
    ASSERT_TRUE(app.InitInstance({QStringLiteral("quillan"), QStringLiteral("x5DEMO.bin")}));
    CQuillanWindow *window = app.MainWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->Dialog().m_fileOpen);
    EXPECT_TRUE(window->windowTitle().contains(QStringLiteral("x5DEMO.bin"))) << window->windowTitle().toStdString();
    EXPECT_TRUE(fs::equivalent(window->Dialog().m_baseDir, dir));
    window->EndDialog();
  }
  struct CCase {
    QStringList m_arguments;
    bool m_starts;
    int m_exitCode;
  } cases[] = {
      {{QStringLiteral("quillan"), QStringLiteral("a.bin"), QStringLiteral("b.bin")}, false, 2},
      {{QStringLiteral("quillan"), QStringLiteral("--frobnicate")}, false, 2},
      {{QStringLiteral("quillan"), QStringLiteral("--help")}, false, 0},
      {{QStringLiteral("quillan"), QStringLiteral("--"), QStringLiteral("-odd.bin")}, true, 0},
      {{QStringLiteral("quillan")}, true, 0},
  };
  for (const CCase &c : cases) {
    CQuillanApp app;
    EXPECT_EQ(app.ParseCommandLine(c.m_arguments), c.m_starts) << c.m_arguments.join(' ').toStdString();
    EXPECT_EQ(app.ExitCode(), c.m_exitCode) << c.m_arguments.join(' ').toStdString();
    EXPECT_EQ(app.MainWindow(), nullptr);
  }
  fs::current_path(previous);
  fs::remove_all(dir);
}

} // namespace
} // namespace quillan
