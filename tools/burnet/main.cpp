// Burnet: the TK7 disc image and cue sheet from a folder. Without arguments
// it shows its window; with --folder and --iso it builds without one.

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <QApplication>

#include "quillan_version.h"
#include "tools/burnet/burnet_cli.h"
#include "tools/burnet/burnet_dlg.h"

int main(int argc, char **argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  for (const std::string &arg : args) {
    if (arg == "--version") {
      std::printf("burnet %s\n", quillan::kVersion);
      return 0;
    }
  }
  if (burnet::WantsCommandLine(args)) {
    std::error_code error;
    return burnet::RunCommandLine(args, std::filesystem::current_path(error), stdout, stderr);
  }
  QApplication app(argc, argv);
  burnet::CBurnetDlg dialog;
  dialog.exec();
  return 0;
}
