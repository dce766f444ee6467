#include "app/quillan_app.h"

#include <cstdio>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QWindow>

#include "app/qt_paths.h"
#include "app/quillan_window.h"
#include "workbench/quillan_dlg.h"

namespace quillan {

namespace {

constexpr const char *kUsage = "usage: quillan [SCRIPT]\n"
                               "  Starts Quillan, the TK7 translation workbench, in the current folder (the\n"
                               "  working folder) and opens SCRIPT (a script file x5*.bin) when one is named.\n";

} // namespace

CQuillanApp::CQuillanApp() = default;
CQuillanApp::~CQuillanApp() = default;

bool CQuillanApp::ParseCommandLine(const QStringList &arguments) {
  m_script.reset();
  m_exitCode = 0;
  QStringList scripts;
  bool options = true;
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    const QString &argument = arguments[i];
    if (options && argument == QLatin1String("--")) {
      options = false;
    } else if (options && (argument == QLatin1String("-h") || argument == QLatin1String("--help"))) {
      std::fputs(kUsage, stdout);
      return false;
    } else if (options && argument.startsWith(QLatin1Char('-')) && argument.size() > 1) {
      std::fprintf(stderr, "quillan: unknown option %s\n%s", qPrintable(argument), kUsage);
      m_exitCode = 2;
      return false;
    } else {
      scripts.append(argument);
    }
  }
  if (scripts.size() > 1) {
    std::fprintf(stderr, "quillan: only one script can be opened at start\n%s", kUsage);
    m_exitCode = 2;
    return false;
  }
  if (!scripts.isEmpty()) m_script = QStringToPath(scripts.front());
  return true;
}

bool CQuillanApp::InitInstance(const QStringList &arguments) {
  if (!ParseCommandLine(arguments)) return false;
  std::error_code error;
  std::filesystem::path baseDir = std::filesystem::current_path(error);
  m_window = std::make_unique<CQuillanWindow>();
  m_window->show();
  // The first start's questions are centred over the window, which must be
  // placed on the screen by then.
  if (QWindow *handle = m_window->windowHandle()) {
    QElapsedTimer waited;
    waited.start();
    while (!handle->isExposed() && waited.elapsed() < 1000)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  if (!m_window->Initialize(baseDir)) {
    m_window->EndDialog();
    return false;
  }
  if (m_script) m_window->Dialog().OpenScriptPath(*m_script);
  return true;
}

int CQuillanApp::Run(QApplication &application) {
  if (!InitInstance(application.arguments())) return m_exitCode;
  return application.exec();
}

} // namespace quillan
