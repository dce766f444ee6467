// quillan [SCRIPT]: the translation workbench's main window.

#include <cstdio>
#include <cstring>
#include <vector>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

#include "app/quillan_app.h"
#include "quillan_version.h"

int main(int argc, char **argv) {
  quillan::CQuillanApp quillan;
  // The help and the version need no display; the rest is read once Qt took
  // its own options. --choose-folder (the applications menu's start) asks
  // for the working folder instead of taking the current one.
  std::vector<char *> arguments(argv, argv + argc);
  bool chooseFolder = false;
  for (size_t i = 1; i < arguments.size() && std::strcmp(arguments[i], "--") != 0;) {
    if (std::strcmp(arguments[i], "-h") == 0 || std::strcmp(arguments[i], "--help") == 0) {
      quillan.ParseCommandLine({QStringLiteral("quillan"), QStringLiteral("--help")});
      std::fputs("  --choose-folder asks for the working folder first.\n"
                 "  --version shows the version.\n",
                 stdout);
      return 0;
    }
    if (std::strcmp(arguments[i], "--version") == 0) {
      std::printf("quillan %s\n", quillan::kVersion);
      return 0;
    }
    if (std::strcmp(arguments[i], "--choose-folder") == 0) {
      chooseFolder = true;
      arguments.erase(arguments.begin() + std::ptrdiff_t(i));
    } else {
      ++i;
    }
  }
  int count = int(arguments.size());
  arguments.push_back(nullptr);
  QApplication application(count, arguments.data());
  QApplication::setApplicationName(QStringLiteral("Quillan"));
  if (chooseFolder) {
    const QString folder = QFileDialog::getExistingDirectory(
        nullptr, QStringLiteral("Quillan: choose the working folder"), QDir::homePath());
    if (folder.isEmpty()) return 0;
    if (!QDir::setCurrent(folder)) {
      QMessageBox::critical(nullptr, QStringLiteral("Quillan"),
                            QStringLiteral("Cannot work in the folder %1.").arg(QDir::toNativeSeparators(folder)));
      return 1;
    }
  }
  return quillan.Run(application);
}
