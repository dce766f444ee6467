#pragma once
// The project's own small pixel fonts: 3 x 5 digits for the code numbers in
// the cell corners and the number sheet, 5 x 7 capitals for the captions of
// the control codes.

#include <string_view>

#include "view/pixel_canvas.h"

namespace quillan::artgen {

// Draws text at (x, y), each font pixel a scale x scale square. Returns the
// width drawn. Unknown characters draw nothing and take a blank advance.
int DrawSmallDigits(CPixelCanvas &canvas, std::string_view text, int x, int y, int scale, CRgb colour);
int DrawCaptionText(CPixelCanvas &canvas, std::string_view text, int x, int y, CRgb colour);

// Widths the two calls above would draw.
int SmallDigitsWidth(std::string_view text, int scale);
int CaptionTextWidth(std::string_view text);

} // namespace quillan::artgen
