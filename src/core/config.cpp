#include "core/config.h"

#include <charconv>
#include <fstream>

namespace quillan {

namespace {

std::string Trim(std::string_view s) {
  size_t a = s.find_first_not_of(" \t\r"), b = s.find_last_not_of(" \t\r");
  return a == std::string_view::npos ? std::string() : std::string(s.substr(a, b - a + 1));
}

} // namespace

std::optional<std::string> ConfigValue(const std::filesystem::path &baseDir, std::string_view key) {
  std::ifstream in(baseDir / "quillan.conf");
  std::string line;
  while (std::getline(in, line)) {
    line = Trim(line);
    if (line.empty() || line[0] == '#') continue;
    auto eq = line.find('=');
    if (eq == std::string::npos || Trim(std::string_view(line).substr(0, eq)) != key) continue;
    std::string v = Trim(std::string_view(line).substr(eq + 1));
    if (!v.empty()) return v;
  }
  return std::nullopt;
}

long ConfigNumber(const std::filesystem::path &baseDir, std::string_view key, long fallback) {
  auto text = ConfigValue(baseDir, key);
  if (!text) return fallback;
  long n = 0;
  auto [end, ec] = std::from_chars(text->data(), text->data() + text->size(), n);
  if (ec != std::errc() || end != text->data() + text->size()) return fallback;
  return n;
}

} // namespace quillan
