// glyphary [FOLDER]: edits FOLDER/data/glyphary.db (the current folder by
// default).

#include <cstdio>
#include <cstring>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

#include "glyphary_dlg.h"
#include "quillan_version.h"

namespace {

constexpr const char *kUsage = "usage: glyphary [FOLDER]\n"
                               "  Edits the kanji database FOLDER/data/glyphary.db (FOLDER: the current folder\n"
                               "  when not named).\n"
                               "  --choose-folder asks for FOLDER first.\n"
                               "  --version shows the version.\n";

} // namespace

int main(int argc, char **argv) {
  // The help and the version need no display.
  bool chooseFolder = false;
  for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
    if (std::strcmp(argv[i], "-h") == 0 || std::strcmp(argv[i], "--help") == 0) {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("glyphary %s\n", quillan::kVersion);
      return 0;
    }
    if (std::strcmp(argv[i], "--choose-folder") == 0) chooseFolder = true;
  }
  QApplication app(argc, argv);
  QStringList arguments = QApplication::arguments();
  arguments.removeFirst();
  if (chooseFolder) arguments.removeAll(QStringLiteral("--choose-folder"));
  if (!arguments.isEmpty() && arguments.front() == QLatin1String("--")) arguments.removeFirst();
  QString baseDir = arguments.isEmpty() ? QDir::currentPath() : arguments.front();
  if (chooseFolder) {
    baseDir = QFileDialog::getExistingDirectory(nullptr, QStringLiteral("Glyphary: choose the working folder"),
                                                QDir::homePath());
    if (baseDir.isEmpty()) return 0;
  }
  if (!QDir(baseDir).exists()) {
    QMessageBox::critical(nullptr, "Glyphary", "The working folder " + baseDir + " does not exist.");
    return 1;
  }
  CGlypharyDlg dialog(baseDir);
  if (!dialog.LoadNote().isEmpty()) QMessageBox::warning(nullptr, "Glyphary", dialog.LoadNote());
  dialog.exec();
  return 0;
}
