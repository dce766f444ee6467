#pragma once
// PNG files of pictures, through libpng: writing 8-bit RGB, reading every
// kind of PNG the library reads (grey, grey with alpha, RGB, RGBA, palette,
// any bit depth, interlaced or not), given as 8-bit RGB. Alpha is dropped.

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

// Reads a PNG; the error says what is wrong ("not a PNG file", or libpng's
// own message). Checksums of the critical chunks are verified.
CResult<CPixelCanvas> DecodePng(std::span<const uint8_t> bytes);

} // namespace quillan
