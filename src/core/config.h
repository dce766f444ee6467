#pragma once
// The working folder's settings file, quillan.conf: lines "key = value",
// '#' starts a comment line, blanks around keys and values do not count.
// Settings are optional; a missing file or key gives nothing.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace quillan {

// The value of the first non-empty "key = value" line for key.
std::optional<std::string> ConfigValue(const std::filesystem::path &baseDir, std::string_view key);

// The value as a whole number when it is one; fallback when the key is
// missing or its value is not a number.
long ConfigNumber(const std::filesystem::path &baseDir, std::string_view key, long fallback);

} // namespace quillan
