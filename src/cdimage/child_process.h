#pragma once
// Starting an external program as a child process. The program gets its
// arguments as a list, never through a shell, so paths with spaces, quotes or
// other shell characters reach it unchanged. Its standard output and error
// output are captured; standard input reads from /dev/null.

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/result.h"

namespace quillan {

struct CProcessOptions {
  // Called with each piece of error output as it arrives (progress lines of
  // the program, for example). Runs on the calling thread.
  std::function<void(std::string_view)> m_onErrorOutput;
  // Asked about ten times a second; when it returns false the child and the
  // programs it started are terminated (SIGTERM, then SIGKILL after two
  // seconds) and the result is marked as cancelled. The child runs in a
  // process group of its own, so a Ctrl-C in a terminal reaches only this
  // process, which then cancels.
  std::function<bool()> m_keepRunning;
  // Of each output stream only the last this many bytes are kept.
  size_t m_outputLimit = size_t(1) << 20;
};

struct CProcessResult {
  int m_exitCode = -1; // the exit status when the program ended by itself
  int m_signal = 0;    // the signal that ended it, or 0
  bool m_cancelled = false;
  std::string m_output;      // standard output (its tail, see m_outputLimit)
  std::string m_errorOutput; // error output (its tail)

  bool Succeeded() const { return !m_cancelled && m_signal == 0 && m_exitCode == 0; }
  // "exit status 2", "killed by signal 9 (Killed)", "cancelled".
  std::string Describe() const;
  // The last lines of the error output (or of the output when the error
  // output is empty), at most maxChars characters, for an error message.
  std::string ErrorTail(size_t maxChars = 2000) const;
};

// Runs arguments[0] with the arguments and waits for it. arguments[0] is a
// path, or a bare name looked up in PATH. Fails only when the program cannot
// be started; a program that runs and fails is a result with its status.
CResult<CProcessResult> RunProcess(const std::vector<std::string> &arguments, const CProcessOptions &options = {});

// True for an existing regular file (after symbolic links) that this process
// may execute.
bool IsExecutableFile(const std::filesystem::path &path);

// The first folder of the colon-separated list that holds an executable file
// of that name. Empty entries of the list are skipped.
std::optional<std::filesystem::path> FindOnPath(std::string_view name, std::string_view folderList);

// This process's PATH, or the usual system folders when it has none.
std::string SearchPath();

} // namespace quillan
