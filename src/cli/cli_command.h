#pragma once
// quillan-cli's subcommands. Each command lives in its own cmd_*.cpp file and
// registers itself with a static CCliRegistration object.

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace quillan::cli {

struct CCliCommand {
  std::string m_name;
  std::string m_summary; // one line for the command list
  std::string m_usage;   // the whole --help text of the command
  // Runs the command; args exclude the program and command names. Returns the
  // exit status: 0 on success, 1 on failure (after one line on stderr).
  int (*m_run)(const std::vector<std::string> &args);
};

std::vector<CCliCommand> &Commands();

struct CCliRegistration {
  explicit CCliRegistration(CCliCommand command) { Commands().push_back(std::move(command)); }
};

// Prints "quillan-cli: <message>" on stderr and returns 1.
int Fail(std::string_view message);

// True when args hold "--help" or "-h".
bool WantsHelp(const std::vector<std::string> &args);

} // namespace quillan::cli
