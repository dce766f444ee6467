#include "core/file_stamp.h"

#include <system_error>

#include "core/file_io.h"

namespace quillan {

CFileStamp StampOfBytes(std::span<const uint8_t> bytes) {
  uint64_t hash = 1469598103934665603ull; // FNV-1a
  for (uint8_t byte : bytes)
    hash = (hash ^ byte) * 1099511628211ull;
  return {true, bytes.size(), hash};
}

CFileStamp StampOfFile(const std::filesystem::path &path) {
  std::error_code error;
  if (!std::filesystem::exists(path, error)) return {};
  auto bytes = ReadFileBytes(path);
  if (!bytes) return {};
  return StampOfBytes(*bytes);
}

} // namespace quillan
