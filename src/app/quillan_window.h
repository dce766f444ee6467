#pragma once
// Quillan's main window. It owns the main dialog (the document and every
// handler, platform-free) and the Qt platform the dialog talks through, lays
// out the panes and controls, builds the menu bar from the menu table and
// forwards every menu command, button, click, key, timer tick, focus change
// and close request to the dialog.
//
// Keys reach the dialog's keyboard reader through a queue (CKeyboardSource):
// each key press is handled at once, so the pane repaints without waiting
// for the next tick of the 10 ms timer, and no press is lost or doubled.

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <QMainWindow>

#include "app/keyboard_source.h"

class QLabel;
class QPushButton;
class QScrollBar;
class QTimer;
class QVBoxLayout;

namespace quillan {

class CPaneWidget;
class CPixelCanvas;
class CProjectPanels;
class CQtPlatform;
class CQuillanDlg;
class CSpinArrows;
class CSuggestionsDock;
struct CMenuEntry;

class CQuillanWindow : public QMainWindow {
  Q_OBJECT

public:
  explicit CQuillanWindow(QWidget *parent = nullptr);
  ~CQuillanWindow() override;

  // Starts the dialog in the working folder and builds the menus (whose
  // name items come from the working folder). False when the window cannot
  // work.
  bool Initialize(const std::filesystem::path &baseDir);

  CQuillanDlg &Dialog() { return *m_dlg; }
  CQtPlatform &Platform() { return *m_platform; }
  CKeyboardSource &Keys() { return m_keys; }

  // The controls, by their ids (menu items, buttons, spins, scroll bar).
  QAction *Action(int id) const;
  QPushButton *Button(int id) const;
  CSpinArrows *Spin(int id) const;
  QScrollBar *LineScrollBar() const { return m_scrollBar; }
  QLabel *StatusLabel() const { return m_status; }
  CPaneWidget *Pane() const { return m_pane; }
  CSuggestionsDock *Suggestions() const { return m_suggestions; }
  // Fills the Suggestions panel for the current entry when it is shown and
  // the entry or its text changed since the last time.
  void RefreshSuggestions(bool force = false);
  // Ctrl+1 ... Ctrl+9.
  void TakeSuggestion(int number);

  // Services for the platform.
  void StartTimer(int id, int milliseconds);
  void PresentCanvas(const CPixelCanvas &canvas);
  void SetScrollRange(int minimum, int maximum);
  void SetScrollPos(int position);
  int ScrollPos() const { return m_scrollPos; }
  void EnableMenuItem(int id, bool enabled);
  void SetMenuItemText(int id, const std::string &text);
  void FocusPane();
  void EndDialog();
  // While a job runs on another thread the dialog's members are the job's:
  // no tick, key or command reaches the dialog meanwhile.
  void SetJobRunning(bool running);

  // Runs a menu command or button of the dialog.
  void Command(int id);
  // The panes' enlargement (View > Zoom In / Zoom Out), 1 to kMaxZoom; the
  // window takes the size that goes with it. Kept between runs.
  static constexpr int kMaxZoom = 6;
  int ZoomFactor() const;
  void SetZoomFactor(int zoom);
  // The first start's factor: the largest whose window (extra: the size of
  // everything but the panes at factor 1) fits into 80 % of the screen.
  static int StartZoom(QSize extra, QSize available);

  // Runs a handler of the dialog that comes from outside (a network reply)
  // once no other handler or job is running; dropped when the window ends.
  void RunWhenFree(std::function<void()> handler);
  // Runs another handler of the dialog the same way (not while a job runs).
  void RunHandler(const std::function<void()> &handler);
  // The Project, Find in Project and Checks panels.
  CProjectPanels &Project() { return *m_project; }

protected:
  void closeEvent(QCloseEvent *event) override;

private:
  // Keeps count of the dialog's handlers running, so that a close request
  // that arrives inside one (from a nested event loop) waits for its end.
  class CHandlerScope;

  void BuildLayout();
  void BuildMenus();
  void RestoreSettings();
  void SaveSettings();
  void AddMenuEntries(QWidget *menu, const std::vector<CMenuEntry> &entries);
  bool CanForward() const;
  void RunEditTicks();
  void OnKeyPressed(QKeyEvent *event);
  void OnKeyReleased(QKeyEvent *event);
  void OnButtonReleased(Qt::MouseButton button, QPoint point);
  void OnFocusChanged(bool focused);
  void OnScrollAction(int action);
  void OnSpin(int control, int step);

  std::unique_ptr<CQtPlatform> m_platform;
  std::unique_ptr<CQuillanDlg> m_dlg;
  CKeyboardSource m_keys;
  std::unique_ptr<CProjectPanels> m_project;

  CPaneWidget *m_pane = nullptr;
  CSuggestionsDock *m_suggestions = nullptr;
  std::string m_suggestionsKey; // the entry and text the panel shows
  QScrollBar *m_scrollBar = nullptr;
  QLabel *m_status = nullptr;
  QVBoxLayout *m_outer = nullptr; // holds the row; keeps the window as wide as the menu bar
  std::map<int, QPushButton *> m_buttons;
  std::map<int, CSpinArrows *> m_spins;
  std::map<int, QAction *> m_actions;
  std::map<int, bool> m_menuEnabled; // states set before the menus existed
  std::map<int, std::string> m_menuText;
  std::map<int, QTimer *> m_timers;
  QAction *m_zoomIn = nullptr;
  QAction *m_zoomOut = nullptr;

  int m_scrollPos = 0;
  int m_handlerDepth = 0;
  bool m_initialized = false;
  bool m_inEditTick = false;
  bool m_jobRunning = false;
  bool m_closePending = false;
  bool m_escapeDown = false;
  bool m_settingsSaved = false;
  bool m_ending = false;
};

} // namespace quillan
