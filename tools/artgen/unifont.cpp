#include "unifont.h"

#include <zlib.h>

#include <stdexcept>

namespace quillan::artgen {

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

} // namespace

CUnifont::CUnifont(const std::string &path) {
  gzFile file = gzopen(path.c_str(), "rb");
  if (!file) throw std::runtime_error("cannot open " + path);
  char buffer[256];
  while (gzgets(file, buffer, sizeof buffer)) {
    std::string line(buffer);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
      line.pop_back();
    size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    char32_t code = char32_t(std::stoul(line.substr(0, colon), nullptr, 16));
    std::string digits = line.substr(colon + 1);
    if (digits.size() != 32 && digits.size() != 64) continue;
    CBitGlyph glyph;
    glyph.m_width = digits.size() == 32 ? 8 : 16;
    size_t perRow = digits.size() / 16;
    for (size_t row = 0; row < 16; ++row) {
      uint32_t value = 0;
      for (size_t i = 0; i < perRow; ++i)
        value = value << 4 | uint32_t(HexValue(digits[row * perRow + i]));
      glyph.m_rows[row] = uint16_t(glyph.m_width == 8 ? value << 8 : value);
    }
    m_glyphs[code] = glyph;
  }
  gzclose(file);
  if (m_glyphs.empty()) throw std::runtime_error(path + " holds no glyphs");
}

std::optional<CBitGlyph> CUnifont::Glyph(char32_t c) const {
  auto it = m_glyphs.find(c);
  if (it == m_glyphs.end()) return std::nullopt;
  return it->second;
}

} // namespace quillan::artgen
