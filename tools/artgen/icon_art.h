#pragma once
// The icons of the menu entries: a square tile for each of the three window
// programs, drawn for every size the icon theme asks for.

#include <string_view>

#include "unifont.h"
#include "view/pixel_canvas.h"

namespace quillan::artgen {

enum class CIconKind { Quillan, Glyphary, Burnet };

struct CIconSpec {
  CIconKind m_kind;
  std::string_view m_name; // the program's name, the icon's file name
};

inline constexpr CIconSpec kIcons[] = {
    {CIconKind::Quillan, "quillan"}, {CIconKind::Glyphary, "glyphary"}, {CIconKind::Burnet, "burnet"}};
inline constexpr int kIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

// A size x size picture: Quillan's kanji for "translate" on the blue of the
// game's text window, Glyphary's kanji for "character" on green, Burnet's
// disc on red.
CPixelCanvas DrawIcon(const CUnifont &font, CIconKind kind, int size);

} // namespace quillan::artgen
