#pragma once
// Small helpers for the subcommands' argument lists.

#include <optional>
#include <string>
#include <vector>

namespace quillan::cli {

// Splits args into options ("--name value" for the names in valued, "--flag"
// otherwise) and positional arguments; "--" ends the options, so that every
// argument after it is positional. Returns an error text for an unknown
// option or a missing value.
struct CParsedArgs {
  std::vector<std::string> m_positional;
  std::vector<std::pair<std::string, std::string>> m_options;
  std::string m_error;

  bool Has(const std::string &name) const;
  std::optional<std::string> Value(const std::string &name) const;
};

CParsedArgs ParseArgs(const std::vector<std::string> &args, const std::vector<std::string> &flags,
                      const std::vector<std::string> &valued);

// The error text for a --workdir that is not an existing folder, or empty
// (also when no --workdir was given).
std::string WorkDirError(const CParsedArgs &parsed);

// A file name for the one-line output formats: a newline, a carriage return
// and a tab are written as \n, \r and \t, a backslash as \\ only when
// something else was escaped, so that ordinary names print as they are.
std::string OneLineName(const std::string &name);

} // namespace quillan::cli
