// glyphary [FOLDER]: edits FOLDER/data/glyphary.db (the current folder by
// default).

#include <QApplication>
#include <QDir>
#include <QMessageBox>

#include "glyphary_dlg.h"

int main(int argc, char **argv) {
  QApplication app(argc, argv);
  const QStringList arguments = QApplication::arguments();
  const QString baseDir = arguments.size() > 1 ? arguments[1] : QDir::currentPath();
  if (!QDir(baseDir).exists()) {
    QMessageBox::critical(nullptr, "Glyphary", "The working folder " + baseDir + " does not exist.");
    return 1;
  }
  CGlypharyDlg dialog(baseDir);
  if (!dialog.LoadNote().isEmpty()) QMessageBox::warning(nullptr, "Glyphary", dialog.LoadNote());
  dialog.exec();
  return 0;
}
