#include "view/pixel_canvas.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace quillan {

namespace {

constexpr int kStretchSize = 30;
constexpr int kBitmapWidth = 16;
constexpr int kBitmapHeight = 12;

// Clips a copy of from (in a source of sw x sh) to (dx, dy) (in a target of
// tw x th) so that both rectangles lie inside their pictures.
bool Clip(CRect &from, int &dx, int &dy, int sw, int sh, int tw, int th) {
  auto clipAxis = [](int &s, int &d, int &len, int sLimit, int dLimit) {
    if (s < 0) {
      d -= s;
      len += s;
      s = 0;
    }
    if (d < 0) {
      s -= d;
      len += d;
      d = 0;
    }
    len = std::min({len, sLimit - s, dLimit - d});
  };
  clipAxis(from.m_x, dx, from.m_width, sw, tw);
  clipAxis(from.m_y, dy, from.m_height, sh, th);
  return from.m_width > 0 && from.m_height > 0;
}

} // namespace

int StretchSourceX(int x) { return x * kBitmapWidth / kStretchSize; }
int StretchSourceY(int y) { return y * kBitmapHeight / kStretchSize; }

CPixelCanvas::CPixelCanvas(int width, int height, CRgb fill)
    : m_width(std::max(width, 0)), m_height(std::max(height, 0)), m_bytes(size_t(m_width) * size_t(m_height) * 3) {
  Fill({0, 0, m_width, m_height}, fill);
}

CRgb CPixelCanvas::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= m_width || y >= m_height) return {};
  const uint8_t *p = Row(y) + size_t(x) * 3;
  return {p[0], p[1], p[2]};
}

void CPixelCanvas::SetPixel(int x, int y, CRgb colour) {
  if (x < 0 || y < 0 || x >= m_width || y >= m_height) return;
  uint8_t *p = Row(y) + size_t(x) * 3;
  p[0] = colour.m_r;
  p[1] = colour.m_g;
  p[2] = colour.m_b;
}

void CPixelCanvas::Fill(CRect rect, CRgb colour) {
  int x0 = std::max(rect.m_x, 0), y0 = std::max(rect.m_y, 0);
  int x1 = std::min(rect.m_x + rect.m_width, m_width), y1 = std::min(rect.m_y + rect.m_height, m_height);
  for (int y = y0; y < y1; ++y) {
    uint8_t *p = Row(y) + size_t(x0) * 3;
    for (int x = x0; x < x1; ++x, p += 3) {
      p[0] = colour.m_r;
      p[1] = colour.m_g;
      p[2] = colour.m_b;
    }
  }
}

void CPixelCanvas::Invert(CRect rect) {
  int x0 = std::max(rect.m_x, 0), y0 = std::max(rect.m_y, 0);
  int x1 = std::min(rect.m_x + rect.m_width, m_width), y1 = std::min(rect.m_y + rect.m_height, m_height);
  for (int y = y0; y < y1; ++y) {
    uint8_t *p = Row(y) + size_t(x0) * 3;
    for (int i = 0; i < (x1 - x0) * 3; ++i)
      p[i] = uint8_t(~p[i]);
  }
}

void CPixelCanvas::CopyRect(const CPixelCanvas &source, CRect from, int dx, int dy, CRasterOp op) {
  if (!Clip(from, dx, dy, source.m_width, source.m_height, m_width, m_height)) return;
  size_t bytes = size_t(from.m_width) * 3;
  bool overlapping = &source == this;
  for (int row = 0; row < from.m_height; ++row) {
    // A copy within one picture that moves down runs bottom-up.
    int r = overlapping && dy > from.m_y ? from.m_height - 1 - row : row;
    const uint8_t *s = source.Row(from.m_y + r) + size_t(from.m_x) * 3;
    uint8_t *d = Row(dy + r) + size_t(dx) * 3;
    switch (op) {
    case CRasterOp::Copy:
      std::memmove(d, s, bytes);
      break;
    case CRasterOp::Xor:
      for (size_t i = 0; i < bytes; ++i)
        d[i] ^= s[i];
      break;
    case CRasterOp::Or:
      for (size_t i = 0; i < bytes; ++i)
        d[i] |= s[i];
      break;
    }
  }
}

void CPixelCanvas::StretchOneBit(std::span<const uint8_t, 24> glyph, int dx, int dy, CRasterOp op) {
  static const auto sourceX = [] {
    std::array<int, kStretchSize> t{};
    for (int x = 0; x < kStretchSize; ++x)
      t[size_t(x)] = 15 - StretchSourceX(x);
    return t;
  }();
  int x0 = std::max(0, -dx), x1 = std::min(kStretchSize, m_width - dx);
  for (int y = std::max(0, -dy); y < kStretchSize && dy + y < m_height; ++y) {
    int sy = StretchSourceY(y);
    unsigned bits = unsigned(glyph[size_t(sy * 2)]) << 8 | glyph[size_t(sy * 2 + 1)];
    uint8_t *p = Row(dy + y) + size_t(dx + x0) * 3;
    for (int x = x0; x < x1; ++x, p += 3) {
      uint8_t value = uint8_t(0 - ((bits >> sourceX[size_t(x)]) & 1)); // 255 for a set bit
      if (op == CRasterOp::Copy) {
        p[0] = p[1] = p[2] = value;
      } else if (op == CRasterOp::Or) {
        p[0] |= value, p[1] |= value, p[2] |= value;
      } else {
        p[0] ^= value, p[1] ^= value, p[2] ^= value;
      }
    }
  }
}

} // namespace quillan
