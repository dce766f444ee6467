#pragma once
// Burnet without its window, for scripts:
//   burnet --folder F --iso I [--builder PROGRAM]
// builds as the OK button does and prints one line per event on standard
// output ("step NAME TEXT", "note TEXT", "wrote PATH"). Exit status 0 on
// success, 1 on failure with one line "burnet: ..." on standard error.

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace burnet {

// True when the arguments ask for the command-line mode (any of --folder,
// --iso, --builder, --help).
bool WantsCommandLine(const std::vector<std::string> &args);

int RunCommandLine(const std::vector<std::string> &args, const std::filesystem::path &baseDir, std::FILE *out,
                   std::FILE *err);

} // namespace burnet
