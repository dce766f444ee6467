#pragma once
// "Select a CD drive": where the game's files come from. The list shows the
// mounted optical discs (a disc in a drive, or a disc image mounted through
// a loop device) and the optical drives that hold no mounted disc, greyed,
// so the user sees them and knows to mount the disc. "Choose Folder..." takes
// any folder instead: a copy of the disc on the hard disk, or an image
// mounted somewhere else. A double click or Enter on a disc, or OK with a
// disc selected, chooses it; OK stays disabled until there is a choice, so
// the dialog never ends with OK and an empty result.

#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

#include <QDialog>

#include "cdimage/drive_list.h"

class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace quillan {

class CDriveSelectDlg : public QDialog {
  Q_OBJECT

public:
  using CDriveLister = std::function<std::vector<COpticalDrive>()>;
  using CFolderChooser = std::function<QString(QWidget *parent)>;

  // lister gives the drives (the machine's by default); chooser asks for a
  // folder (a folder dialog by default).
  explicit CDriveSelectDlg(QWidget *parent = nullptr, CDriveLister lister = ListOpticalDrives,
                           CFolderChooser chooser = {});

  // The chosen disc folder; empty until one is chosen.
  const std::filesystem::path &Root() const { return m_root; }

  // Lists the drives again (after a disc was put in and mounted).
  void Refresh();

  // Runs the dialog; the chosen folder, or nothing when it was cancelled.
  static std::optional<std::filesystem::path> Choose(QWidget *parent);

  QListWidget *DriveList() const { return m_list; }
  QPushButton *OkButton() const { return m_ok; }
  QPushButton *FolderButton() const { return m_folder; }
  QPushButton *RefreshButton() const { return m_refresh; }

private:
  void Take(QListWidgetItem *item);
  void ChooseFolder();
  void UpdateButtons();

  CDriveLister m_lister;
  CFolderChooser m_chooser;
  std::filesystem::path m_root;
  QListWidget *m_list = nullptr;
  QLabel *m_hint = nullptr;
  QPushButton *m_ok = nullptr;
  QPushButton *m_folder = nullptr;
  QPushButton *m_refresh = nullptr;
};

} // namespace quillan
