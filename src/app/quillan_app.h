#pragma once
// The application: "quillan [SCRIPT]" starts the main window in the current
// folder (the working folder of every path the program uses) and, with a
// script named, opens it at once.

#include <filesystem>
#include <memory>
#include <optional>

#include <QStringList>

class QApplication;

namespace quillan {

class CQuillanWindow;

class CQuillanApp {
public:
  CQuillanApp();
  ~CQuillanApp();

  // Reads the command line (without Qt's own options). False when the
  // program should end at once, with ExitCode.
  bool ParseCommandLine(const QStringList &arguments);
  // Reads the command line, shows the window and starts the dialog; false
  // when the program should end at once.
  bool InitInstance(const QStringList &arguments);
  // InitInstance, then the event loop until the window closes.
  int Run(QApplication &application);

  int ExitCode() const { return m_exitCode; }
  CQuillanWindow *MainWindow() const { return m_window.get(); }

private:
  std::unique_ptr<CQuillanWindow> m_window;
  std::optional<std::filesystem::path> m_script;
  int m_exitCode = 0;
};

} // namespace quillan
