#pragma once
// The project beside the main window: the Project panel (every script of the
// working folder with its progress, pages when expanded), Find in Project
// (Ctrl+Shift+F) and the Checks panel (the findings of the open script, the
// current entry's also in the status bar). Each is a dock widget shown from
// the View menu.
//
// The index is built on a thread of its own when the window starts, with its
// progress in the status bar; until it is ready the panels say so. After
// every handler of the dialog the panels look at the document: a change of
// the current entry re-checks that entry at once, a save or another script
// brings the index up to date and re-checks the open script.

#include <atomic>
#include <filesystem>
#include <memory>
#include <thread>
#include <vector>

#include <QObject>
#include <QString>

#include "workbench/project_index.h"
#include "workbench/project_search.h"
#include "workbench/translation_checks.h"

class QAction;
class QCheckBox;
class QComboBox;
class QDockWidget;
class QLabel;
class QLineEdit;
class QMenuBar;
class QModelIndex;
class QTableView;
class QTreeWidget;
class QTreeWidgetItem;

namespace quillan {

class CQuillanWindow;
class CHitsModel;
class CFindingsModel;

class CProjectPanels : public QObject {
  Q_OBJECT

public:
  explicit CProjectPanels(CQuillanWindow &window);
  ~CProjectPanels() override;

  // Starts indexing the scripts of the working folder.
  void Start(const std::filesystem::path &baseDir);
  // The View menu's items (before `before`, the Help menu).
  void AddMenu(QMenuBar *bar, QAction *before);
  // After each handler of the dialog.
  void AfterHandler();

  // For the tests and the menus.
  bool Ready() const { return m_index != nullptr; }
  const CProjectIndex *Index() const { return m_index.get(); }
  QDockWidget *ProjectDock() const { return m_projectDock; }
  QDockWidget *FindDock() const { return m_findDock; }
  QDockWidget *ChecksDock() const { return m_checksDock; }
  QTreeWidget *ProjectTree() const { return m_projectTree; }
  QLineEdit *FindText() const { return m_findText; }
  QComboBox *FindField() const { return m_findField; }
  QCheckBox *FindRegex() const { return m_findRegex; }
  QCheckBox *FindCase() const { return m_findCase; }
  QTableView *HitsView() const { return m_hitsView; }
  QLabel *FindStatus() const { return m_findStatus; }
  QTableView *ChecksView() const { return m_checksView; }
  QAction *FindAction() const { return m_findAction; }
  const std::vector<CFinding> &Findings() const;
  const std::vector<CFinding> &CurrentFindings() const { return m_currentFindings; }

  // The commands behind the panels' buttons and double-clicks.
  void ShowFind();
  void RunFind();
  void OpenHit(int row);
  void OpenFinding(int row);
  void OpenProjectItem(QTreeWidgetItem *item);

private:
  void BuildDocks();
  void IndexReady(std::shared_ptr<CProjectIndex> index, QString failure);
  void FillProjectTree();
  void UpdateProjectRow(int script);
  int OpenScriptIndex() const;
  void SyncOpenScript();
  void RecheckScript();
  void RecheckCurrentEntry();
  void ShowCurrentFindings();
  void GoTo(int script, int page, int line);

  CQuillanWindow &m_window;
  std::shared_ptr<CProjectIndex> m_index;
  std::unique_ptr<CProjectChecker> m_checker;
  std::thread m_builder;
  std::atomic<bool> m_cancel{false};

  QDockWidget *m_projectDock = nullptr;
  QDockWidget *m_findDock = nullptr;
  QDockWidget *m_checksDock = nullptr;
  QTreeWidget *m_projectTree = nullptr;
  QLineEdit *m_findText = nullptr;
  QComboBox *m_findField = nullptr;
  QCheckBox *m_findRegex = nullptr;
  QCheckBox *m_findCase = nullptr;
  QLabel *m_findStatus = nullptr;
  QTableView *m_hitsView = nullptr;
  QTableView *m_checksView = nullptr;
  QLabel *m_checksStatus = nullptr;
  QAction *m_findAction = nullptr;
  CHitsModel *m_hits = nullptr;
  CFindingsModel *m_findings = nullptr;

  // What the document showed after the last handler.
  std::string m_seenScript;
  bool m_seenModified = false;
  int m_seenPage = -1, m_seenLine = -1;
  EnglishString m_seenText;
  CScriptCheckData m_checkData;
  std::vector<CFinding> m_currentFindings;
};

} // namespace quillan
