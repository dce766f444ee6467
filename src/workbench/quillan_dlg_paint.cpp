// Painting the panes and the kanji identification under the pointer.

#include <algorithm>

#include "view/pane_renderer.h"
#include "workbench/quillan_dlg.h"

namespace quillan {

void CQuillanDlg::PaintPanes() {
  if (m_closing || !m_renderer) return;
  ++m_paintCount;
  if (m_platform.IsMinimized()) return;
  auto status = m_renderer->PaintPanes(*this);
  m_platform.Present(m_renderer->Canvas());
  if (!status.Ok()) m_platform.MessageBox(status.Error().Message());
}

void CQuillanDlg::XorCursorGlyph(int x, int y, uint16_t element) {
  if (!m_renderer || m_closing) return;
  m_renderer->XorCursorGlyph(*this, x, y, element);
  m_platform.Present(m_renderer->Canvas());
}

void CQuillanDlg::OnRButtonUp(int x, int y) { InsertKanjiChar(x, y); }

void CQuillanDlg::InsertKanjiChar(int x, int y) {
  auto text = m_platform.AskKanjiChar();
  if (!text) return;
  int row = (y - 20) / 32; // truncating toward zero, as the pane's rows are counted
  int column = x / 32;
  int index = (m_japaneseTopRow + row) * kRowWidth + column;
  if (index < 0 || index >= kEntryCapacity || column < 0 || column >= kRowWidth) return;
  // The code shown in that cell, from the renderer's display buffers.
  if (!m_renderer) return;
  uint16_t code =
      uint16_t(m_renderer->m_japaneseHighBytes[size_t(index)] * 256 + m_renderer->m_japaneseDisplay[size_t(index)]);
  if (code < 0x100 || code > 0x8FF) return;
  CTextEdit edit(*this, "Identify Kanji");
  edit.SetCodeBookEntry(size_t(code - 0x100), text->empty() ? 0 : uint16_t((*text)[0]));
  edit.Commit();
  m_modified = 1; // the code book is saved with the English text
  m_repaintJapanese = 1;
  PaintPanes();
  UpdateTitle();
}

} // namespace quillan
