// Moving through the script: the line scroll bar, the spins of both panes,
// the page buttons, Goto, Search and the click that places the cursor.

#include <algorithm>

#include "workbench/quillan_dlg.h"

namespace quillan {

void CQuillanDlg::OnVScroll(CScrollRequest request, int position) {
  m_repaintJapanese = 1;
  if (m_skipScroll1) {
    m_skipScroll1 = 0;
    return;
  }
  if (m_skipScroll2) {
    m_skipScroll2 = 0;
    return;
  }
  m_currentLine = m_platform.ScrollPos();
  m_japaneseTopRow = 0;
  m_viewTopRow = 0;
  int last = std::max(m_linesOnPage - 1, 0);
  switch (request) {
  case CScrollRequest::LineUp:
    if (m_currentLine >= 1) --m_currentLine;
    break;
  case CScrollRequest::LineDown:
    if (m_currentLine + 1 < m_linesOnPage) ++m_currentLine;
    break;
  case CScrollRequest::ThumbPosition:
  case CScrollRequest::ThumbTrack:
    m_currentLine = position;
    break;
  case CScrollRequest::Top:
    m_currentLine = 0;
    break;
  case CScrollRequest::Bottom:
    m_currentLine = last;
    break;
  default: // the scroll bar has no page size, so page up and down stay
    break;
  }
  m_currentLine = std::clamp(m_currentLine, 0, last);
  m_platform.SetScrollPos(m_currentLine);
  PlaceCursorAtEnd();
  PaintPanes();
}

void CQuillanDlg::OnSpin(int control, int step) {
  m_skipScroll1 = 1;
  m_skipScroll2 = 1;
  bool english = control == kIdEnglishSpin;
  int32_t &top = english ? m_viewTopRow : m_japaneseTopRow;
  if (step > 0) {
    // Refused while the end of the text is in view: a visible cell holds 0.
    // The cells are the pane's text laid out 15 to a row (600 at most).
    for (int cell = 0; cell < kVisibleCells; ++cell) {
      int index = top * kRowWidth + cell;
      uint16_t value = 0;
      if (index < kEntryCapacity) {
        if (english) {
          const EnglishString &text = CurrentEnglish();
          value = index < int(text.size()) ? uint16_t(text[size_t(index)] & 0xFF) : 0;
        } else {
          value = uint16_t(m_japaneseEntry[size_t(index)] & 0xFF);
          // Past the entry's terminator the pane holds zeros.
          for (int i = 0; i < index; ++i) {
            if (EndsEntry(m_japaneseEntry[size_t(i)])) {
              value = 0;
              break;
            }
          }
        }
      }
      if (value == 0) return;
    }
  } else if (step < 0 && top == 0) {
    return;
  }
  top = std::clamp(top + step, 0, 1018);
  PaintPanes();
}

void CQuillanDlg::ChangePage(int page) {
  m_currentPage = std::max(page, 0);
  m_linesOnPage = m_pageCount > 0 ? EntriesOnPage(m_currentPage) : m_linesOnPage;
  if (m_pageCount > 0 && m_currentLine >= m_linesOnPage) m_currentLine = std::max(m_linesOnPage - 1, 0);
  m_platform.SetScrollRange(0, std::max(m_linesOnPage - 1, 0));
  m_platform.SetScrollPos(m_currentLine);
  m_repaintJapanese = 1;
  PlaceCursorAtEnd();
  m_platform.FocusDialog();
  PaintPanes();
}

void CQuillanDlg::GotoLine() {
  m_repaintJapanese = 1;
  uint32_t shown = uint32_t(m_currentLine + 1);
  while (auto line = m_platform.AskGotoLine(shown)) {
    if (*line >= 1 && *line <= uint32_t(std::max(m_linesOnPage, 0))) {
      m_currentLine = int32_t(*line - 1);
      m_platform.SetScrollPos(m_currentLine);
      PlaceCursorAtEnd();
      PaintPanes();
      break;
    }
    m_platform.MessageBox("Went to far");
    shown = uint32_t(m_currentLine + 1);
  }
  DrainKeyboard();
}

void CQuillanDlg::SearchForText() {
  auto wanted = m_platform.AskSearchText();
  if (!wanted) return;
  int lines = m_linesOnPage;
  if (lines > 0 && !wanted->empty()) {
    for (int step = 1; step < lines; ++step) {
      int line = (m_currentLine + step) % lines;
      const EnglishString &text = EnglishAt(m_currentPage, line);
      if (text.empty()) continue;
      // Up to the end-of-text marker, compared as 16-bit values.
      auto end = std::find(text.begin(), text.end(), uint16_t(0));
      if (std::search(text.begin(), end, wanted->begin(), wanted->end(),
                      [](uint16_t a, char16_t b) { return a == uint16_t(b); }) == end)
        continue;
      m_currentLine = line;
      m_repaintJapanese = 1;
      m_platform.SetScrollPos(m_currentLine);
      PlaceCursorAtEnd();
      DrainKeyboard();
      PaintPanes();
      return;
    }
  }
  m_platform.MessageBox("String not found", "String not found");
  DrainKeyboard();
}

void CQuillanDlg::OnLButtonUp(int x, int y) {
  if (x < 0 || x >= 480 || y < 220 || y >= 380) return;
  int cell = kRowWidth * ((y - 220) / 32) + x / 32;
  if (m_viewTopRow * kRowWidth + cell < int(CurrentEnglish().size())) {
    m_cursorOffset = cell;
    RefreshCursorChar();
    PaintPanes();
  }
}

} // namespace quillan
