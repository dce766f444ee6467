#pragma once
// Bounds-checked access to the bytes of a file held in memory. Every format
// reader of the project goes through this class; nothing indexes raw file
// bytes directly. Also the big-endian writes of the formats we produce.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace quillan {

class CByteReader {
public:
  CByteReader() = default;
  explicit CByteReader(std::span<const uint8_t> bytes) : m_bytes(bytes) {}

  size_t Size() const { return m_bytes.size(); }
  std::span<const uint8_t> Bytes() const { return m_bytes; }

  bool Contains(size_t offset, size_t count = 1) const {
    return offset <= m_bytes.size() && count <= m_bytes.size() - offset;
  }

  std::optional<uint8_t> U8(size_t offset) const {
    if (!Contains(offset)) return std::nullopt;
    return m_bytes[offset];
  }

  // The byte at offset, or fill when the offset lies past the end (the value
  // a byte-wise stream read past the end of a file leaves in a byte).
  uint8_t U8Or(size_t offset, uint8_t fill) const { return offset < m_bytes.size() ? m_bytes[offset] : fill; }

  std::optional<uint32_t> BE32(size_t offset) const {
    if (!Contains(offset, 4)) return std::nullopt;
    return (uint32_t(m_bytes[offset]) << 24) | (uint32_t(m_bytes[offset + 1]) << 16) |
           (uint32_t(m_bytes[offset + 2]) << 8) | uint32_t(m_bytes[offset + 3]);
  }

  std::optional<std::span<const uint8_t>> Slice(size_t offset, size_t count) const {
    if (!Contains(offset, count)) return std::nullopt;
    return m_bytes.subspan(offset, count);
  }

private:
  std::span<const uint8_t> m_bytes;
};

// Big-endian writes for the formats the project produces: into bytes the
// caller has already sized, and at the end of a growing buffer.
inline void PutBE32(std::span<uint8_t> bytes, size_t offset, uint32_t value) {
  for (size_t i = 0; i < 4; ++i)
    bytes[offset + i] = uint8_t(value >> (24 - 8 * i));
}

inline void AppendBE32(std::vector<uint8_t> &bytes, uint32_t value) {
  bytes.resize(bytes.size() + 4);
  PutBE32(bytes, bytes.size() - 4, value);
}

// "0x0012ab" style formatting used in error messages.
std::string HexOffset(uint64_t value);

} // namespace quillan
