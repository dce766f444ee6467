// quillan [SCRIPT]: the translation workbench's main window.

#include <cstring>

#include <QApplication>

#include "app/quillan_app.h"

int main(int argc, char **argv) {
  quillan::CQuillanApp quillan;
  // The help needs no display; the rest is read once Qt took its own options.
  for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
    if (std::strcmp(argv[i], "-h") == 0 || std::strcmp(argv[i], "--help") == 0) {
      quillan.ParseCommandLine({QStringLiteral("quillan"), QStringLiteral("--help")});
      return 0;
    }
  }
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Quillan"));
  return quillan.Run(application);
}
