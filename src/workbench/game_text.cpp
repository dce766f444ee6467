#include "workbench/game_text.h"

#include <algorithm>

#include "codec/text_encoder.h"

namespace quillan {

std::span<const uint16_t> JapaneseBody(std::span<const uint16_t> entry) {
  size_t n = 0;
  while (n < entry.size() && !EndsEntry(entry[n]))
    ++n;
  return entry.first(n);
}

std::span<const uint16_t> EnglishBody(const EnglishString &text) {
  return std::span<const uint16_t>(text).first(EntryTextLength(text));
}

int ArgumentCount(std::span<const uint16_t> text, size_t i) {
  uint16_t code = text[i];
  int count = 0;
  if ((code >= 0x08 && code <= 0x0C) || code == 0x0F)
    count = 1;
  else if (code == 0x0E)
    count = 2;
  else if (code == kNameCode && i + 1 < text.size() && text[i + 1] >= 1 && text[i + 1] <= kNameCount)
    count = 1;
  return int(std::min<size_t>(size_t(count), text.size() - i - 1));
}

uint16_t EndingCode(std::span<const uint16_t> body) {
  if (body.empty()) return 0;
  // The last element may be an argument of a code before it (a colour 3, say),
  // which is no ending.
  size_t i = 0, last = body.size();
  while (i < body.size()) {
    last = i;
    i += 1 + size_t(ArgumentCount(body, i));
  }
  if (last + 1 != body.size()) return 0;
  uint16_t code = body[last];
  return code >= kBubbleEndArrow && code <= kPause ? code : 0;
}

std::vector<CPlaceholder> Placeholders(std::span<const uint16_t> body) {
  std::vector<CPlaceholder> out;
  for (size_t i = 0; i < body.size(); i += 1 + size_t(ArgumentCount(body, i))) {
    uint16_t code = body[i];
    if (code == kNameCode) {
      out.push_back({code, ArgumentCount(body, i) ? body[i + 1] : uint16_t(0)});
    } else if (code >= 0x10 && code <= 0x1F) {
      out.push_back({code, 0});
    }
  }
  return out;
}

std::string PlaceholderText(const CPlaceholder &placeholder) {
  static const char kDigits[] = "0123456789abcdef";
  auto hex = [](uint16_t v) { return std::string{'{', kDigits[(v >> 4) & 0xF], kDigits[v & 0xF], '}'}; };
  std::string text = hex(placeholder.m_code);
  if (placeholder.m_name) text += hex(placeholder.m_name);
  return text;
}

int CTextShape::MaxColumns() const {
  int most = 0;
  for (const CLine &line : m_lines)
    most = std::max(most, line.m_columns);
  return most;
}

int CTextShape::MaxLines() const {
  return m_bubbleLines.empty() ? 0 : *std::max_element(m_bubbleLines.begin(), m_bubbleLines.end());
}

namespace {

// Calls line(columns, bubble) for each line of the text, in order.
template <class F> void WalkLines(std::span<const uint16_t> body, F line) {
  int bubble = 0, columns = 0;
  bool open = false;       // something since the last line or bubble end
  bool bubbleEmpty = true; // no line in this bubble yet
  auto endLine = [&]() {
    line(columns, bubble);
    columns = 0;
    open = false;
    bubbleEmpty = false;
  };
  for (size_t i = 0; i < body.size(); i += 1 + size_t(ArgumentCount(body, i))) {
    uint16_t code = body[i];
    if (code == kLineEnd) {
      endLine();
    } else if (code == kBubbleEndArrow || code == kBubbleEnd) {
      // A line end just before the bubble end starts no line of its own.
      if (open || bubbleEmpty) endLine();
      ++bubble;
      bubbleEmpty = true;
    } else {
      if (IsGlyphElement(code)) ++columns;
      open = true;
    }
  }
  if (open) endLine();
}

} // namespace

CTextShape MeasureText(std::span<const uint16_t> body) {
  CTextShape shape;
  WalkLines(body, [&](int columns, int bubble) {
    shape.m_lines.push_back({columns, bubble});
    if (size_t(bubble) >= shape.m_bubbleLines.size()) shape.m_bubbleLines.resize(size_t(bubble) + 1, 0);
    ++shape.m_bubbleLines[size_t(bubble)];
  });
  return shape;
}

CTextExtent MeasureExtent(std::span<const uint16_t> body) {
  CTextExtent extent;
  int lastBubble = -1, lines = 0;
  WalkLines(body, [&](int columns, int bubble) {
    extent.m_columns = std::max(extent.m_columns, columns);
    lines = bubble == lastBubble ? lines + 1 : 1;
    lastBubble = bubble;
    extent.m_lines = std::max(extent.m_lines, lines);
  });
  return extent;
}

} // namespace quillan
