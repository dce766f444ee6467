#pragma once
// Runs quillan-cli the way other tools do: in a working folder, capturing
// standard output, standard error and the exit status.

#include <filesystem>
#include <string>
#include <vector>

namespace quillan::testing {

struct CCliRun {
  int m_status = -1;
  std::string m_out, m_err;
};

// `arguments` is shell text (quote paths with spaces yourself).
CCliRun RunCli(const std::string &cli, const std::string &arguments, const std::filesystem::path &workdir);

// The lines of a text, without their line ends.
std::vector<std::string> Lines(const std::string &text);

} // namespace quillan::testing
