#include "core/file_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>

namespace quillan {

std::string PathText(const std::filesystem::path &path) {
  auto text = path.u8string();
  return std::string(text.begin(), text.end());
}

namespace {

std::string SystemError() { return std::strerror(errno); }

} // namespace

CResult<std::vector<uint8_t>> ReadFileBytes(const std::filesystem::path &path) {
  CFilePtr file(std::fopen(path.c_str(), "rb"));
  if (!file) return MakeError(PathText(path) + ": cannot open: " + SystemError());
  std::vector<uint8_t> bytes;
  uint8_t buffer[65536];
  for (;;) {
    size_t got = std::fread(buffer, 1, sizeof buffer, file.get());
    bytes.insert(bytes.end(), buffer, buffer + got);
    if (got < sizeof buffer) break;
  }
  if (std::ferror(file.get())) return MakeError(PathText(path) + ": read error: " + SystemError());
  return bytes;
}

CStatus WriteFileAtomic(const std::filesystem::path &path, std::span<const uint8_t> bytes) {
  std::random_device random;
  auto temp = path;
  temp += ".tmp" + std::to_string(random() % 1000000);
  {
    CFilePtr file(std::fopen(temp.c_str(), "wb"));
    if (!file) return MakeError(PathText(path) + ": cannot create: " + SystemError());
    bool good = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
    good = std::fflush(file.get()) == 0 && good;
    std::FILE *raw = file.release();
    good = std::fclose(raw) == 0 && good;
    if (!good) {
      std::string why = SystemError();
      std::error_code ignored;
      std::filesystem::remove(temp, ignored);
      return MakeError(PathText(path) + ": write failed: " + why);
    }
  }
  std::error_code error;
  std::filesystem::rename(temp, path, error);
  if (error) {
    std::error_code ignored;
    std::filesystem::remove(temp, ignored);
    return MakeError(PathText(path) + ": cannot replace: " + error.message());
  }
  return CStatus::Success();
}

CStatus WriteFileAtomic(const std::filesystem::path &path, std::string_view text) {
  return WriteFileAtomic(path, std::span<const uint8_t>(reinterpret_cast<const uint8_t *>(text.data()), text.size()));
}

} // namespace quillan
