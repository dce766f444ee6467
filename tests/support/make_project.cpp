// quillan-make-project DIR [SCRIPTS [PAGES]]: writes a generated project of a
// whole game's size (87 scripts of 16 pages by default) with English chunk
// files and fonts into DIR, for trying status, search and check at scale.

#include <cstdio>
#include <cstdlib>
#include <exception>

#include "support/project_fixture.h"

int main(int argc, char **argv) {
  if (argc < 2 || argc > 4) {
    std::fprintf(stderr, "usage: quillan-make-project DIR [SCRIPTS [PAGES]]\n");
    return 2;
  }
  int scripts = argc > 2 ? std::atoi(argv[2]) : 87;
  int pages = argc > 3 ? std::atoi(argv[3]) : 16;
  if (scripts < 1 || scripts > 100 || pages < 1 || pages > 32) {
    std::fprintf(stderr, "quillan-make-project: 1-100 scripts of 1-32 pages\n");
    return 2;
  }
  try {
    quillan::testing::WriteGeneratedProject(argv[1], scripts, pages);
  } catch (const std::exception &error) {
    std::fprintf(stderr, "quillan-make-project: %s\n", error.what());
    return 1;
  }
  return 0;
}
