// The project panels of the main window on the offscreen platform, on a copy
// of the demo workspace: the index built in the background, the Project
// panel, Find in Project and the Checks panel with the current entry's
// findings in the status bar.

#include <filesystem>
#include <unistd.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "app/project_panels.h"
#include "app/quillan_window.h"
#include "modal_script.h"
#include "view/menu_table.h"
#include "workbench/quillan_dlg.h"

namespace quillan {
namespace {

namespace fs = std::filesystem;

std::vector<uint16_t> Elements(const std::string &text) {
  std::vector<uint16_t> elements(text.begin(), text.end());
  elements.push_back(0);
  return elements;
}

class CProjectPanelsTest : public ::testing::Test {
protected:
  void SetUp() override {
    m_dir = fs::temp_directory_path() / ("quillan-project-panels-" + std::to_string(::getpid()));
    fs::remove_all(m_dir);
    fs::copy(fs::path(QUILLAN_SOURCE_DIR) / "examples" / "demo", m_dir, fs::copy_options::recursive);
    m_window = std::make_unique<CQuillanWindow>();
    m_window->show();
    {
      testing::CModalScript script;
      script.Answer(QMessageBox::Ok); // the first start builds the kanji database
      ASSERT_TRUE(m_window->Initialize(m_dir));
    }
    m_window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_window.get()));
    // The index is built off the window's thread; the window answers meanwhile.
    for (int i = 0; i < 500 && !Panels().Ready(); ++i)
      QTest::qWait(10);
    ASSERT_TRUE(Panels().Ready());
  }
  void TearDown() override {
    m_window->EndDialog();
    m_window.reset();
    fs::remove_all(m_dir);
  }

  CProjectPanels &Panels() { return m_window->Project(); }
  CQuillanDlg &Dlg() { return m_window->Dialog(); }
  QAction *ViewItem(const QString &text) {
    for (QAction *menu : m_window->menuBar()->actions())
      if (menu->text() == QStringLiteral("&View"))
        for (QAction *item : menu->menu()->actions())
          if (item->text() == text) return item;
    return nullptr;
  }
  int Count(const char *check) {
    return int(std::count_if(Panels().Findings().begin(), Panels().Findings().end(),
                             [&](const CFinding &f) { return std::string(f.m_check) == check; }));
  }

  fs::path m_dir;
  std::unique_ptr<CQuillanWindow> m_window;
};

TEST_F(CProjectPanelsTest, ProjectPanelShowsProgressAndOpensScripts) {
  QAction *project = ViewItem(QStringLiteral("&Project"));
  ASSERT_NE(project, nullptr);
  EXPECT_FALSE(Panels().ProjectDock()->isVisible());
  project->trigger();
  EXPECT_TRUE(Panels().ProjectDock()->isVisible());
  QTreeWidget *tree = Panels().ProjectTree();
  ASSERT_EQ(tree->topLevelItemCount(), 1);
  QTreeWidgetItem *script = tree->topLevelItem(0);
  EXPECT_EQ(script->text(0), QStringLiteral("x5DEMO.bin"));
  EXPECT_EQ(script->text(2), QStringLiteral("3.6% (20 of 552)"));
  ASSERT_EQ(script->childCount(), 3);
  EXPECT_EQ(script->child(0)->text(2), QStringLiteral("7.8% (20 of 256)"));
  EXPECT_EQ(script->child(2)->text(2), QStringLiteral("0.0% (0 of 40)"));

  Panels().OpenProjectItem(script->child(2));
  EXPECT_EQ(Dlg().m_scriptFileName, "x5DEMO.bin");
  EXPECT_EQ(Dlg().m_currentPage, 2);
  EXPECT_EQ(Dlg().m_currentLine, 0);

  // A save brings the panel up to date.
  m_window->RunHandler([&] {
    Dlg().LoadedCurrent() = Elements("Done\x02");
    Dlg().m_modified = 1;
  });
  m_window->Command(kIdSaveEnglishText);
  EXPECT_EQ(script->text(2), QStringLiteral("3.8% (21 of 552)"));
  EXPECT_EQ(script->child(2)->text(2), QStringLiteral("2.5% (1 of 40)"));
}

TEST_F(CProjectPanelsTest, FindInProjectListsHitsAndGoesToThem) {
  QTest::keyClick(m_window.get(), Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_TRUE(Panels().FindDock()->isVisible());
  EXPECT_TRUE(Panels().FindText()->hasFocus());
  Panels().FindText()->setText(QStringLiteral("good night"));
  Panels().FindField()->setCurrentIndex(2); // English
  QTest::keyClick(Panels().FindText(), Qt::Key_Return);
  QTableView *hits = Panels().HitsView();
  ASSERT_GE(hits->model()->rowCount(), 1);
  EXPECT_EQ(hits->model()->index(0, 0).data().toString(), QStringLiteral("x5DEMO.bin"));
  EXPECT_EQ(hits->model()->index(0, 3).data().toString(), QStringLiteral("en"));
  EXPECT_TRUE(hits->model()->index(0, 4).data().toString().contains(QStringLiteral("Good night")));
  int line = hits->model()->index(0, 2).data().toInt() - 1;

  Panels().OpenHit(0); // opens the script, which was not open
  EXPECT_EQ(Dlg().m_scriptFileName, "x5DEMO.bin");
  EXPECT_EQ(Dlg().m_currentPage, 0);
  EXPECT_EQ(Dlg().m_currentLine, line);

  Panels().FindRegex()->setChecked(true);
  Panels().FindText()->setText(QStringLiteral("(unclosed"));
  Panels().RunFind();
  EXPECT_EQ(hits->model()->rowCount(), 0);
  EXPECT_TRUE(Panels().FindStatus()->text().contains(QStringLiteral("not valid")))
      << Panels().FindStatus()->text().toStdString();
}

TEST_F(CProjectPanelsTest, ChecksFollowTheCurrentEntryAndTheSave) {
  ViewItem(QStringLiteral("&Checks"))->trigger();
  ASSERT_TRUE(Panels().ChecksDock()->isVisible());
  EXPECT_EQ(Panels().Findings().size(), 0u) << "no script open";
  m_window->RunHandler([&] { ASSERT_TRUE(Dlg().OpenScriptPath(m_dir / "x5DEMO.bin")); });
  EXPECT_EQ(Count("untranslated"), 532);
  EXPECT_EQ(Count("overflow"), 7);
  EXPECT_EQ(Panels().ChecksView()->model()->rowCount(), 539);

  // An edit of the current entry is checked at once.
  m_window->RunHandler([&] { ASSERT_TRUE(Dlg().GoToEntry(m_dir / "x5DEMO.bin", 0, 30)); });
  ASSERT_EQ(Panels().CurrentFindings().size(), 1u);
  EXPECT_STREQ(Panels().CurrentFindings()[0].m_check, "untranslated");
  EXPECT_TRUE(m_window->statusBar()->currentMessage().contains(QStringLiteral("untranslated")));
  m_window->RunHandler([&] {
    Dlg().LoadedCurrent() = Elements(" Oops");
    Dlg().m_modified = 1;
  });
  ASSERT_EQ(Panels().CurrentFindings().size(), 2u);
  EXPECT_STREQ(Panels().CurrentFindings()[0].m_check, "ending");
  EXPECT_STREQ(Panels().CurrentFindings()[1].m_check, "spaces");
  EXPECT_TRUE(m_window->statusBar()->currentMessage().startsWith(QStringLiteral("error ending: ")))
      << m_window->statusBar()->currentMessage().toStdString();
  EXPECT_EQ(Count("untranslated"), 531);
  EXPECT_EQ(Count("ending"), 1);
  EXPECT_EQ(Count("spaces"), 1);

  // Double-click on a finding goes to its entry.
  int row = -1;
  for (size_t i = 0; i < Panels().Findings().size(); ++i)
    if (std::string(Panels().Findings()[i].m_check) == "overflow") row = int(i);
  ASSERT_GE(row, 0);
  Panels().OpenFinding(row);
  EXPECT_EQ(Dlg().m_currentLine, Panels().Findings()[size_t(row)].m_line);
  EXPECT_STREQ(Panels().CurrentFindings()[0].m_check, "overflow");

  // After the save the index holds the new text.
  m_window->Command(kIdSaveEnglishText);
  EXPECT_EQ(Panels().Index()->Script(0).Progress().m_translated, 21);
  EXPECT_EQ(Count("ending"), 1);
}

} // namespace
} // namespace quillan
