#pragma once
// PNG files of pictures: writing (8-bit RGB) and reading (non-interlaced,
// 8-bit grey, grey with alpha, RGB, RGBA and palette pictures, palette and
// grey also at 1, 2 and 4 bits). Alpha is dropped. Enough for the artwork
// the program ships and for pictures it writes itself.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/result.h"
#include "view/pixel_canvas.h"

namespace quillan {

// Pictures wider or taller than this are refused by the reader.
inline constexpr int kMaxPngSide = 8192;

std::vector<uint8_t> EncodePng(const CPixelCanvas &picture);

// Reads a PNG; the error says what is wrong ("not a PNG file", "truncated
// chunk", ...). Chunk checksums are verified.
CResult<CPixelCanvas> DecodePng(std::span<const uint8_t> bytes);

} // namespace quillan
