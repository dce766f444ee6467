#pragma once
// The window's "Make CD" command: choose the disc (CDriveSelectDlg), run Make
// CD on a worker thread behind a progress dialog, then tell the user what
// came of it. The window stays responsive throughout.
//
//   RunMakeCdCommand(this, m_baseDir);   // from the menu handler

#include <filesystem>
#include <functional>
#include <optional>

#include <QString>

class QWidget;

namespace quillan {

enum class CMakeCdOutcome { NotStarted, Made, Failed, Cancelled };

struct CMakeCdCommandHooks {
  // Chooses the disc folder; default: CDriveSelectDlg::Choose.
  std::function<std::optional<std::filesystem::path>(QWidget *)> m_chooseDisc;
  // Shows the closing message; default: a message box.
  std::function<void(QWidget *, const QString &text, bool failed)> m_showMessage;
  // The image builder to use instead of looking for one.
  std::optional<std::filesystem::path> m_builder;
};

CMakeCdOutcome RunMakeCdCommand(QWidget *window, const std::filesystem::path &workDir,
                                const CMakeCdCommandHooks &hooks = {});

} // namespace quillan
