#pragma once
// A picture in plain memory: RGB, 3 bytes a pixel, rows top to bottom. The
// panes are drawn by copying rectangles between such pictures: a plain copy,
// an XOR (the blinking cursor) and an OR (identified kanji over the pane
// background), and by enlarging a one-bit 16 x 12 kanji bitmap to 30 x 30
// without smoothing.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace quillan {

struct CRgb {
  uint8_t m_r = 0, m_g = 0, m_b = 0;
  friend bool operator==(const CRgb &, const CRgb &) = default;
};

inline constexpr CRgb kWhite{255, 255, 255};
inline constexpr CRgb kBlack{0, 0, 0};

// How a copied pixel meets the one already there, channel by channel.
enum class CRasterOp { Copy, Xor, Or };

struct CRect {
  int m_x = 0, m_y = 0, m_width = 0, m_height = 0;
  friend bool operator==(const CRect &, const CRect &) = default;
};

class CPixelCanvas {
public:
  CPixelCanvas() = default;
  CPixelCanvas(int width, int height, CRgb fill = kBlack);

  int Width() const { return m_width; }
  int Height() const { return m_height; }
  bool Empty() const { return m_width == 0 || m_height == 0; }

  CRgb Pixel(int x, int y) const;
  void SetPixel(int x, int y, CRgb colour);
  void Fill(CRect rect, CRgb colour);
  // Inverts every channel of the pixels of rect (an XOR with white).
  void Invert(CRect rect);

  // Copies the w x h rectangle at (sx, sy) of source to (dx, dy), combining
  // with op. Parts of the rectangle outside either picture are left out.
  void CopyRect(const CPixelCanvas &source, CRect from, int dx, int dy, CRasterOp op = CRasterOp::Copy);

  // The 16 x 12 one-bit picture of glyph (2 bytes a row, most significant
  // bit leftmost), enlarged without smoothing to 30 x 30 and put at (dx, dy):
  // a set bit is white, a clear bit black. Copy replaces the square; Or lets
  // the white strokes fall on what the square held.
  void StretchOneBit(std::span<const uint8_t, 24> glyph, int dx, int dy, CRasterOp op);

  // Rows of 3 * Width() bytes, top row first.
  std::span<const uint8_t> Bytes() const { return m_bytes; }
  std::span<uint8_t> Bytes() { return m_bytes; }
  const uint8_t *Row(int y) const { return m_bytes.data() + size_t(y) * size_t(m_width) * 3; }
  uint8_t *Row(int y) { return m_bytes.data() + size_t(y) * size_t(m_width) * 3; }

  friend bool operator==(const CPixelCanvas &, const CPixelCanvas &) = default;

private:
  int m_width = 0;
  int m_height = 0;
  std::vector<uint8_t> m_bytes;
};

// Source column and row of each pixel of the 30 x 30 enlargement.
int StretchSourceX(int x);
int StretchSourceY(int y);

} // namespace quillan
