// prefixer FILE...: turns label-colon-text lines into ".txn" records.

#include <iostream>
#include <string>
#include <vector>

#include "extras/label_lines.h"

int main(int argc, char **argv) {
  std::vector<std::string> arguments(argv + 1, argv + argc);
  return quillan::RunPrefixer(arguments, std::cerr);
}
