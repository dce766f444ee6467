#include "app/quillan_app.h"

#include <cstdio>
#include <filesystem>

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>

#include "app/quillan_window.h"
#include "core/quillan_dlg.h"

namespace quillan {

CQuillanApp::CQuillanApp() = default;
CQuillanApp::~CQuillanApp() = default;

bool CQuillanApp::InitInstance(const QStringList &arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("Quillan, the TK7 translation workbench. The working folder is the "
                                                  "current directory."));
  parser.addHelpOption();
  parser.addPositionalArgument(QStringLiteral("script"), QStringLiteral("A script file (x5*.bin) to open at start."),
                               QStringLiteral("[SCRIPT]"));
  if (!parser.parse(arguments)) {
    std::fprintf(stderr, "quillan: %s\n", qPrintable(parser.errorText()));
    m_exitCode = 2;
    return false;
  }
  if (parser.isSet(QStringLiteral("help"))) {
    std::printf("%s", qPrintable(parser.helpText()));
    return false;
  }
  QStringList scripts = parser.positionalArguments();
  if (scripts.size() > 1) {
    std::fprintf(stderr, "quillan: only one script can be opened at start\n");
    m_exitCode = 2;
    return false;
  }

  std::error_code error;
  std::filesystem::path baseDir = std::filesystem::current_path(error);
  m_window = std::make_unique<CQuillanWindow>();
  m_window->show();
  if (!m_window->Initialize(baseDir)) {
    m_window->EndDialog();
    return false;
  }
  if (!scripts.isEmpty())
    m_window->Dialog().OpenScriptPath(std::filesystem::path(QFile::encodeName(scripts.front()).toStdString()));
  return true;
}

int CQuillanApp::Run(QApplication &application) {
  if (!InitInstance(application.arguments())) return m_exitCode;
  return application.exec();
}

} // namespace quillan
