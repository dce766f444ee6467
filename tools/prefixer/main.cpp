// prefixer FILE...: turns label-colon-text lines into ".txn" records.

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "extras/label_lines.h"
#include "quillan_version.h"

namespace {

constexpr const char *kUsage = "usage: prefixer FILE...\n"
                               "  Turns each FILE of \"label: text\" lines into the record file named like FILE\n"
                               "  with its last character replaced by n (notes.txt gives notes.txn).\n"
                               "  -- ends the options (for a FILE whose name starts with -).\n"
                               "  --version shows the version.\n";

} // namespace

int main(int argc, char **argv) {
  std::vector<std::string> arguments;
  bool options = true;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (options && argument == "--") {
      options = false;
    } else if (options && (argument == "--help" || argument == "-h")) {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (options && argument == "--version") {
      std::printf("prefixer %s\n", quillan::kVersion);
      return 0;
    } else {
      arguments.push_back(argument);
    }
  }
  return quillan::RunPrefixer(arguments, std::cerr);
}
