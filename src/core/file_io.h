#pragma once
// Thin file layer: whole files in and out. Writing is atomic: the bytes go to
// a temporary file beside the target, which then replaces it, so a crash or a
// full disk never leaves a half-written file behind.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/result.h"

namespace quillan {

// An open C stream, closed when the pointer goes (for reads and for writes
// whose errors do not matter; a write that must succeed checks fclose).
struct CFileCloser {
  void operator()(std::FILE *file) const {
    if (file) std::fclose(file);
  }
};
using CFilePtr = std::unique_ptr<std::FILE, CFileCloser>;

// The most ReadFileBytes takes: more than any file of the workbench holds.
inline constexpr size_t kReadLimit = size_t(256) << 20;

// A regular file whole; refuses folders, devices and pipes, and a file larger
// than kReadLimit.
CResult<std::vector<uint8_t>> ReadFileBytes(const std::filesystem::path &path);
// At most limit + 1 bytes of a regular file, so that the caller can refuse a
// file longer than limit without reading it all.
CResult<std::vector<uint8_t>> ReadFileBytesUpTo(const std::filesystem::path &path, size_t limit);
// A file that may be missing: nothing when there is no file of that name,
// an error when one exists but cannot be read (permissions, a folder in its
// place), otherwise its bytes.
CResult<std::optional<std::vector<uint8_t>>> ReadFileIfPresent(const std::filesystem::path &path);

// Writes through a temporary file beside the target (created exclusively,
// synced before it replaces the target, the folder synced after). The
// replaced file's mode is kept; a symbolic link stays and its target is
// replaced; temporary files an earlier crash left of the same file go.
CStatus WriteFileAtomic(const std::filesystem::path &path, std::span<const uint8_t> bytes);
CStatus WriteFileAtomic(const std::filesystem::path &path, std::string_view text);

// The path as UTF-8 text for messages.
std::string PathText(const std::filesystem::path &path);

} // namespace quillan
