// The team parts of the main window on the offscreen platform, on a copy of
// the demo workspace: the View menu's Suggestions panel for a repeated line,
// Ctrl+1 taking its suggestion, and the File menu's PO items.

#include <filesystem>
#include <fstream>

#include <QAction>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <gtest/gtest.h>

#include "app/pane_widget.h"
#include "app/quillan_window.h"
#include "app/suggestions_dock.h"
#include "modal_script.h"
#include "workbench/quillan_dlg.h"
#include "workbench/team_tools.h"
#include "workbench/translation_memory.h"

namespace quillan {
namespace {

namespace fs = std::filesystem;
using testing::CModalScript;

class CTeamWindowTest : public ::testing::Test {
protected:
  void SetUp() override {
    // One folder per test: ctest runs them side by side.
    const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
    m_dir = fs::temp_directory_path() / (std::string("quillan-team-window-") + info->name());
    fs::remove_all(m_dir);
    fs::copy(fs::path(QUILLAN_SOURCE_DIR) / "examples" / "demo", m_dir, fs::copy_options::recursive);
    m_window = std::make_unique<CQuillanWindow>();
    m_window->show();
    ASSERT_TRUE(m_window->Initialize(m_dir)); // the demo brings its kanji database: no question
    m_window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_window.get()));
    ASSERT_TRUE(m_window->Dialog().OpenScriptPath(m_dir / "x5DEMO.bin"));
  }
  void TearDown() override {
    m_window->EndDialog();
    m_window.reset();
    fs::remove_all(m_dir);
  }
  QAction *MenuItem(const QString &menu, const QString &item) {
    for (QAction *top : m_window->menuBar()->actions())
      if (top->text() == menu && top->menu())
        for (QAction *a : top->menu()->actions())
          if (a->text() == item) return a;
    return nullptr;
  }
  fs::path m_dir;
  std::unique_ptr<CQuillanWindow> m_window;
};

TEST_F(CTeamWindowTest, TheSuggestionsPanelOffersATranslatedTwinAndCtrl1TakesIt) {
  CQuillanDlg &dlg = m_window->Dialog();
  // An untranslated line of page 1 with the Japanese text of line 0:0.
  auto first = JapaneseCodes(std::span(dlg.DecodeEntry(0, 0), size_t(kEntryCapacity)));
  int twin = -1;
  for (int line = 0; line < 256 && twin < 0; ++line)
    if (JapaneseCodes(std::span(dlg.DecodeEntry(1, line), size_t(kEntryCapacity))) == first) twin = line;
  ASSERT_GE(twin, 0) << "the demo repeats its sentences";
  dlg.ChangePage(1);
  dlg.m_currentLine = twin;
  dlg.LoadedCurrent().clear();
  dlg.PlaceCursorAtEnd();

  QAction *view = MenuItem(QStringLiteral("&View"), QStringLiteral("&Suggestions"));
  ASSERT_NE(view, nullptr);
  EXPECT_FALSE(m_window->Suggestions()->isVisible());
  view->trigger();
  ASSERT_TRUE(QTest::qWaitFor([&] { return m_window->Suggestions()->isVisible(); }));
  QListWidget *list = m_window->Suggestions()->List();
  ASSERT_TRUE(QTest::qWaitFor([&] { return list->count() > 0 && list->item(0)->text().startsWith("Ctrl+1"); }))
      << (list->count() ? list->item(0)->text().toStdString() : "empty");
  EXPECT_TRUE(list->item(0)->text().contains(QStringLiteral("Hello!")));
  EXPECT_TRUE(list->item(0)->text().contains(QStringLiteral("x5DEMO.bin 0:0")));

  m_window->Pane()->setFocus();
  QTest::keyClick(m_window.get(), Qt::Key_1, Qt::ControlModifier);
  EnglishString expected = dlg.EnglishAt(0, 0);
  EXPECT_EQ(dlg.CurrentEnglish(), expected);
  EXPECT_TRUE(dlg.m_modified);
}

TEST_F(CTeamWindowTest, TheFileMenuHoldsThePoItems) {
  QAction *exportPo = MenuItem(QStringLiteral("&File"), QStringLiteral("Export PO..."));
  QAction *importPo = MenuItem(QStringLiteral("&File"), QStringLiteral("Import PO..."));
  ASSERT_NE(exportPo, nullptr);
  ASSERT_NE(importPo, nullptr);
  EXPECT_EQ(exportPo->data().toInt(), kIdExportPo);
  EXPECT_EQ(importPo->data().toInt(), kIdImportPo);
}

} // namespace
} // namespace quillan
