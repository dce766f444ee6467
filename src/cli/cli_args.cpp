#include "cli/cli_args.h"

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <system_error>

namespace quillan::cli {

bool CParsedArgs::Has(const std::string &name) const {
  return std::any_of(m_options.begin(), m_options.end(), [&](auto &o) { return o.first == name; });
}

std::optional<std::string> CParsedArgs::Value(const std::string &name) const {
  for (auto it = m_options.rbegin(); it != m_options.rend(); ++it)
    if (it->first == name) return it->second;
  return std::nullopt;
}

CParsedArgs ParseArgs(const std::vector<std::string> &args, const std::vector<std::string> &flags,
                      const std::vector<std::string> &valued) {
  CParsedArgs parsed;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string &arg = args[i];
    if (arg == "--") {
      parsed.m_positional.insert(parsed.m_positional.end(), args.begin() + std::ptrdiff_t(i) + 1, args.end());
      break;
    }
    if (arg.size() < 2 || arg[0] != '-') {
      parsed.m_positional.push_back(arg);
      continue;
    }
    std::string name = arg, value;
    bool inlineValue = false;
    if (auto eq = arg.find('='); eq != std::string::npos) {
      name = arg.substr(0, eq);
      value = arg.substr(eq + 1);
      inlineValue = true;
    }
    if (std::find(flags.begin(), flags.end(), name) != flags.end() && !inlineValue) {
      parsed.m_options.emplace_back(name, "");
    } else if (std::find(valued.begin(), valued.end(), name) != valued.end()) {
      if (!inlineValue) {
        if (i + 1 >= args.size()) {
          parsed.m_error = "option " + name + " needs a value";
          return parsed;
        }
        value = args[++i];
      }
      parsed.m_options.emplace_back(name, value);
    } else {
      parsed.m_error = "unknown option " + arg;
      return parsed;
    }
  }
  return parsed;
}

std::string WorkDirError(const CParsedArgs &parsed) {
  auto dir = parsed.Value("--workdir");
  if (!dir) return {};
  std::error_code error;
  if (std::filesystem::is_directory(*dir, error)) return {};
  if (std::filesystem::exists(*dir, error)) return "--workdir " + OneLineName(*dir) + " is not a folder";
  return "--workdir " + OneLineName(*dir) + " does not exist";
}

std::string OneLineName(const std::string &name) {
  if (name.find_first_of("\n\r\t") == std::string::npos) return name;
  std::string out;
  for (char c : name) {
    if (c == '\n')
      out += "\\n";
    else if (c == '\r')
      out += "\\r";
    else if (c == '\t')
      out += "\\t";
    else if (c == '\\')
      out += "\\\\";
    else
      out += c;
  }
  return out;
}

} // namespace quillan::cli
