#pragma once
// Small helpers for the subcommands' argument lists.

#include <optional>
#include <string>
#include <vector>

namespace quillan::cli {

// Splits args into options ("--name value" for the names in valued, "--flag"
// otherwise) and positional arguments. Returns an error text for an unknown
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

} // namespace quillan::cli
