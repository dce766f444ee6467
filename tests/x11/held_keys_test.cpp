// Held keys on a real X server: the server repeats a key that stays down,
// and not every server's repeats reach Qt marked as such. Holding a letter,
// Delete or Backspace must act exactly once. Run by run_under_xvfb.sh, which
// starts a private Xvfb; the keys are sent with xdotool.

#include <filesystem>
#include <fstream>

#include <QApplication>
#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>

#include "app/pane_widget.h"
#include "app/quillan_window.h"
#include "modal_script.h"
#include "workbench/quillan_dlg.h"

namespace quillan {
namespace {

namespace fs = std::filesystem;
using Elements = std::vector<uint16_t>;

class CHeldKeysTest : public ::testing::Test {
protected:
  void SetUp() override {
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
      GTEST_SKIP() << "needs an X server (run through run_under_xvfb.sh)";
    m_dir = fs::temp_directory_path() / ("quillan-x11-" + std::to_string(QCoreApplication::applicationPid()));
    fs::remove_all(m_dir);
    fs::copy(fs::path(QUILLAN_SOURCE_DIR) / "examples" / "demo", m_dir, fs::copy_options::recursive);
    bool firstStart = !fs::exists(m_dir / "data" / "glyphary.db");
    m_window = std::make_unique<CQuillanWindow>();
    m_window->show();
    {
      testing::CModalScript script;
      if (firstStart) script.Answer(QMessageBox::Ok).Answer(QMessageBox::Ok);
      ASSERT_TRUE(m_window->Initialize(m_dir));
    }
    ASSERT_TRUE(QTest::qWaitForWindowExposed(m_window.get()));
    ASSERT_TRUE(m_window->Dialog().OpenScriptPath(m_dir / "x5DEMO.bin"));
    // No window manager: the pointer over the window and the focus set by hand.
    QPoint centre = m_window->Pane()->mapToGlobal(m_window->Pane()->rect().center());
    Xdo({"mousemove", QString::number(centre.x()), QString::number(centre.y())});
    m_window->activateWindow();
    m_window->Pane()->setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_window.get()));
    QTRY_VERIFY(m_window->Pane()->hasFocus());
    QTRY_VERIFY(!Dlg().m_focusLost);
  }
  void TearDown() override {
    if (m_window) {
      m_window->EndDialog();
      m_window.reset();
    }
    fs::remove_all(m_dir);
  }

  CQuillanDlg &Dlg() { return m_window->Dialog(); }

  static void Xdo(const QStringList &arguments) {
    ASSERT_EQ(QProcess::execute(QStringLiteral("xdotool"), arguments), 0) << arguments.join(' ').toStdString();
  }
  // Holds a key down for a while (the server repeats it meanwhile).
  static void Hold(const QString &key, int milliseconds) {
    Xdo({"keydown", key});
    QTest::qWait(milliseconds);
    Xdo({"keyup", key});
    QTest::qWait(300); // the release and anything still queued
  }
  void SetLine(int line, const Elements &text) {
    Dlg().OnVScroll(CScrollRequest::ThumbTrack, line);
    ASSERT_EQ(Dlg().m_currentLine, line);
    Dlg().LoadedCurrent() = text;
    Dlg().PlaceCursorAtEnd();
  }

  fs::path m_dir;
  std::unique_ptr<CQuillanWindow> m_window;
};

TEST_F(CHeldKeysTest, ALetterDeleteAndBackspaceHeldActOnce) {
  SetLine(100, {});
  Hold(QStringLiteral("x"), 1500);
  EXPECT_EQ(Dlg().CurrentEnglish(), (Elements{'x', 0})) << "a held letter types once";
  Hold(QStringLiteral("x"), 100);
  EXPECT_EQ(Dlg().CurrentEnglish(), (Elements{'x', 'x', 0})) << "pressed again, it types again";

  SetLine(100, {'a', 'b', 'c', 'd', 0});
  Hold(QStringLiteral("BackSpace"), 800);
  EXPECT_EQ(Dlg().CurrentEnglish(), (Elements{'a', 'b', 'c', 0})) << "a held Backspace erases once";

  for (int line = 110; line < 120; ++line)
    SetLine(line, {uint16_t('A' + line - 110), 0});
  SetLine(110, {'A', 0});
  Hold(QStringLiteral("Delete"), 800);
  EXPECT_EQ(Dlg().m_currentLine, 110);
  for (int line = 110; line < 119; ++line)
    EXPECT_EQ(Dlg().EnglishAt(0, line), (Elements{uint16_t('B' + line - 110), 0}))
        << "a held Delete removes one line, line " << line;
}

} // namespace
} // namespace quillan
