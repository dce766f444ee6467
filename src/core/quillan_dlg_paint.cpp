// Painting the panes and the kanji identification under the pointer.

#include <algorithm>

#include "core/quillan_dlg.h"

namespace quillan {

void CQuillanDlg::PaintPanes() {
  if (m_closing) return;
  ++m_paintCount;
  m_japaneseEntry.fill(0);
  if (m_fileOpen) {
    const uint16_t *entry = DecodeEntry(m_currentPage, m_currentLine);
    std::copy(entry, entry + kEntryCapacity, m_japaneseEntry.begin());
  }
  m_japaneseText = JapaneseEntryText(m_japaneseEntry, m_kanjiCodeBook);
  m_repaintJapanese = 0;
}

void CQuillanDlg::XorCursorGlyph(int, int, uint16_t) {}

void CQuillanDlg::OnRButtonUp(int x, int y) { InsertKanjiChar(x, y); }

void CQuillanDlg::InsertKanjiChar(int x, int y) {
  auto text = m_platform.AskKanjiChar();
  if (!text) return;
  int row = (y - 20) / 32; // truncating toward zero, as the pane's rows are counted
  int column = x / 32;
  int index = (m_japaneseTopRow + row) * kRowWidth + column;
  if (index < 0 || index >= kEntryCapacity || column < 0 || column >= kRowWidth) return;
  // The code shown in that cell: the entry up to its terminator, zeros after.
  uint16_t code = 0;
  for (int i = 0; i <= index; ++i) {
    code = m_japaneseEntry[size_t(i)];
    if (i < index && EndsEntry(code)) {
      code = 0;
      break;
    }
  }
  if (code < 0x100 || code > 0x8FF) return;
  m_kanjiCodeBook[size_t(code - 0x100)] = text->empty() ? 0 : uint16_t((*text)[0]);
  m_repaintJapanese = 1;
  PaintPanes();
}

} // namespace quillan
