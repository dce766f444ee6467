#pragma once
// Glyphs of a GNU Unifont .hex file (plain or gzip-compressed): one line
// "XXXX:hexdigits" per code point, 8 or 16 pixels wide and 16 high.

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace quillan::artgen {

// A 16 x 16 one-bit picture; bit 15 of a row is the leftmost pixel. Glyphs
// 8 pixels wide occupy bits 15..8.
struct CBitGlyph {
  int m_width = 16;
  std::array<uint16_t, 16> m_rows{};

  bool Pixel(int x, int y) const { return (m_rows[size_t(y)] >> (15 - x)) & 1; }
};

class CUnifont {
public:
  // Throws std::runtime_error when the file cannot be read.
  explicit CUnifont(const std::string &path);

  std::optional<CBitGlyph> Glyph(char32_t c) const;
  size_t Size() const { return m_glyphs.size(); }

private:
  std::map<char32_t, CBitGlyph> m_glyphs;
};

} // namespace quillan::artgen
