#include "support/cli_runner.h"

#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

namespace quillan::testing {

CCliRun RunCli(const std::string &cli, const std::string &arguments, const std::filesystem::path &workdir) {
  static std::atomic<int> counter{0};
  auto errFile = std::filesystem::temp_directory_path() /
                 ("quillan-cli-err-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
  std::string command = "cd '" + workdir.string() + "' && '" + cli + "' " + arguments + " 2>'" + errFile.string() + "'";
  CCliRun run;
  FILE *pipe = ::popen(command.c_str(), "r");
  if (!pipe) return run;
  std::array<char, 65536> buffer;
  size_t got;
  while ((got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
    run.m_out.append(buffer.data(), got);
  int status = ::pclose(pipe);
  run.m_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::ifstream err(errFile);
  run.m_err.assign(std::istreambuf_iterator<char>(err), std::istreambuf_iterator<char>());
  std::filesystem::remove(errFile);
  return run;
}

std::vector<std::string> Lines(const std::string &text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}

} // namespace quillan::testing
