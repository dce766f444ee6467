#pragma once
// Thin file layer: whole files in and out. Writing is atomic: the bytes go to
// a temporary file beside the target, which then replaces it, so a crash or a
// full disk never leaves a half-written file behind.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
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

CResult<std::vector<uint8_t>> ReadFileBytes(const std::filesystem::path &path);
CStatus WriteFileAtomic(const std::filesystem::path &path, std::span<const uint8_t> bytes);
CStatus WriteFileAtomic(const std::filesystem::path &path, std::string_view text);

// The path as UTF-8 text for messages.
std::string PathText(const std::filesystem::path &path);

} // namespace quillan
