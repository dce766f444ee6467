// quillan [SCRIPT]: the translation workbench's main window.

#include <QApplication>

#include "app/quillan_app.h"

int main(int argc, char **argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Quillan"));
  quillan::CQuillanApp quillan;
  return quillan.Run(application);
}
