// quillan-cli: the batch work of the workbench from a terminal.

#include <algorithm>
#include <cstdio>

#include "cli/cli_args.h"
#include "cli/cli_command.h"
#include "quillan_version.h"

namespace quillan::cli {

std::vector<CCliCommand> &Commands() {
  static std::vector<CCliCommand> commands;
  return commands;
}

int Fail(std::string_view message) {
  // One line: a newline or tab in a file name is written escaped.
  std::string line = OneLineName(std::string(message));
  std::fprintf(stderr, "quillan-cli: %s\n", line.c_str());
  return 1;
}

bool WantsHelp(const std::vector<std::string> &args) {
  return std::any_of(args.begin(), args.end(), [](const std::string &a) { return a == "--help" || a == "-h"; });
}

} // namespace quillan::cli

namespace {

void PrintOverview(std::FILE *out) {
  auto commands = quillan::cli::Commands();
  std::sort(commands.begin(), commands.end(), [](auto &a, auto &b) { return a.m_name < b.m_name; });
  std::fprintf(out, "usage: quillan-cli COMMAND [ARGS]\n\nCommands:\n");
  for (const auto &command : commands)
    std::fprintf(out, "  %-10s %s\n", command.m_name.c_str(), command.m_summary.c_str());
  std::fprintf(out, "\nquillan-cli COMMAND --help shows the usage of one command, quillan-cli --version\n"
                    "the version.\n");
}

} // namespace

int main(int argc, char **argv) {
  using namespace quillan::cli;
  if (argc < 2) {
    PrintOverview(stderr);
    return 1;
  }
  std::string name = argv[1];
  if (name == "--help" || name == "-h" || name == "help") {
    PrintOverview(stdout);
    return 0;
  }
  if (name == "--version") {
    std::printf("quillan-cli %s\n", quillan::kVersion);
    return 0;
  }
  std::vector<std::string> args(argv + 2, argv + argc);
  for (const auto &command : Commands()) {
    if (command.m_name != name) continue;
    if (WantsHelp(args)) {
      std::fputs(command.m_usage.c_str(), stdout);
      return 0;
    }
    return command.m_run(args);
  }
  return Fail("unknown command '" + name + "' (see quillan-cli --help)");
}
