#pragma once
// Drawing the program's pictures: the font sheets in each ink colour, the
// number sheet, the empty pane and the blue sheet.

#include <optional>

#include "unifont.h"
#include "view/pixel_canvas.h"

namespace quillan::artgen {

// The Unifont glyph of one-byte code v (0x21-0x7E and the kana of the
// one-byte table; 0xDE and 0xDF the stand-alone voicing marks); nothing for
// the codes that are no character.
std::optional<CBitGlyph> GlyphOfCode(const CUnifont &font, int v);

// A 512 x height font sheet with glyphs in ink; blueControlRows draws the
// grid of the two rows of control codes in blue.
CPixelCanvas DrawFontSheet(const CUnifont &font, CRgb ink, bool blueControlRows, int height);
CPixelCanvas DrawNumberSheet();
CPixelCanvas DrawPaneBackground();
CPixelCanvas DrawBlueSheet(const CUnifont &font);

} // namespace quillan::artgen
