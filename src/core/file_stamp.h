#pragma once
// What a file held when it was read: whether it existed, its length and a
// hash of its bytes. A save compares the stamp taken at the read with the
// file's stamp now, to find files another program changed meanwhile.

#include <cstdint>
#include <filesystem>
#include <span>

namespace quillan {

struct CFileStamp {
  bool m_exists = false;
  uint64_t m_size = 0;
  uint64_t m_hash = 0;
  bool operator==(const CFileStamp &) const = default;
};

CFileStamp StampOfBytes(std::span<const uint8_t> bytes);
// The stamp of the file now; a file that cannot be read counts as missing.
CFileStamp StampOfFile(const std::filesystem::path &path);

} // namespace quillan
