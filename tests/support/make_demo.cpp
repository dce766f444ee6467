// quillan-make-demo DIR: writes the demo working folder (examples/demo) into DIR.

#include <cstdio>
#include <exception>

#include "support/demo_workspace.h"

int main(int argc, char **argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: quillan-make-demo DIR\n");
    return 2;
  }
  try {
    quillan::testing::WriteDemoWorkspace(argv[1]);
  } catch (const std::exception &error) {
    std::fprintf(stderr, "quillan-make-demo: %s\n", error.what());
    return 1;
  }
  return 0;
}
