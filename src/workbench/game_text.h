#pragma once
// Reading the game's text as the game lays it out: control codes with their
// arguments, placeholders, glyphs, and the lines and bubbles they make. The
// translation checks and the project index measure Japanese and English text
// the same way through it.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/document.h"

namespace quillan {

inline constexpr uint16_t kBubbleEndArrow = 0x01;
inline constexpr uint16_t kBubbleEnd = 0x02;
inline constexpr uint16_t kLineEnd = 0x03;
inline constexpr uint16_t kPause = 0x04;
// kNameCode (0x11, a name with its number) and kNameCount come from
// core/constants.h.

// The elements of a text before its terminator: an entry's codes up to the
// first code that ends an entry, an English string up to its first element
// whose low byte is 0.
std::span<const uint16_t> JapaneseBody(std::span<const uint16_t> entry);
std::span<const uint16_t> EnglishBody(const EnglishString &text);

// The argument elements that follow the element at i: one for colour, style,
// size, tilt, zoom and other effects, two for a tab, one for a name (0x11
// followed by a number 1-40), none otherwise; never more than the text has.
int ArgumentCount(std::span<const uint16_t> text, size_t i);

// An element that takes a cell of a line: a one-byte glyph 0x20-0xFF or a
// kanji.
constexpr bool IsGlyphElement(uint16_t code) {
  return (code >= 0x20 && code <= 0xFF) || (code >= 0x100 && code <= 0x7FF);
}

// The 0-4 code that ends the text (bubble end with or without arrow, line
// end, pause), or 0 when its last element is none of them.
uint16_t EndingCode(std::span<const uint16_t> body);

// A placeholder the game fills in: a memory slot (0x10, 0x11, 0x12-0x1F) or a
// name (0x11 with its number), as one unit.
struct CPlaceholder {
  uint16_t m_code = 0;
  uint16_t m_name = 0; // 1-40 for a name, 0 for a slot
  friend auto operator<=>(const CPlaceholder &, const CPlaceholder &) = default;
};
// The placeholders of a text, in order.
std::vector<CPlaceholder> Placeholders(std::span<const uint16_t> body);
// "{11}{05}" or "{12}".
std::string PlaceholderText(const CPlaceholder &placeholder);

// The layout of a text: the glyph count of each line (lines end at line ends
// and bubble ends; control codes and their arguments take no cell) and the
// line count of each bubble (bubbles end at bubble ends; an empty tail after
// the last bubble end is no bubble).
struct CTextShape {
  struct CLine {
    int m_columns = 0;
    int m_bubble = 0; // which bubble it belongs to, from 0
  };
  std::vector<CLine> m_lines;
  std::vector<int> m_bubbleLines;
  int MaxColumns() const;
  int MaxLines() const;
};
CTextShape MeasureText(std::span<const uint16_t> body);
// Only the longest line and the most lines of a bubble, without allocating.
struct CTextExtent {
  int m_columns = 0;
  int m_lines = 0;
};
CTextExtent MeasureExtent(std::span<const uint16_t> body);

} // namespace quillan
