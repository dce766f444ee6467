// The keyboard editor of the English pane: one key per 10 ms tick, cursor
// moves, typing, line insert and delete, and Backspace, which removes a
// control code together with its arguments.

#include <cstdio>

#include "workbench/quillan_dlg.h"

namespace quillan {

namespace {

bool TakesOneArgument(uint16_t element) { return (element >= 8 && element <= 12) || element == 15; }

} // namespace

void CQuillanDlg::RefreshCursorChar() {
  const EnglishString &text = CurrentEnglish();
  int p = m_viewTopRow * kRowWidth + m_cursorOffset;
  if (p >= 0 && p < int(text.size())) m_cursorChar = text[size_t(p)];
}

void CQuillanDlg::AdvanceCursor() {
  ++m_cursorOffset;
  if (m_cursorOffset >= kVisibleCells) {
    m_cursorOffset = 60;
    ++m_viewTopRow;
    if (kRowWidth * m_viewTopRow + 60 >= int(CurrentEnglish().size())) --m_viewTopRow;
  }
}

void CQuillanDlg::ClampCursorToText() {
  if (m_viewTopRow * kRowWidth + m_cursorOffset >= int(CurrentEnglish().size())) PlaceCursorAtEnd();
}

void CQuillanDlg::DrainKeyboard() {
  if (!m_keyboard) return;
  // Bounded, so that a key stuck down in the platform never hangs the window.
  for (int i = 0; i < 100000; ++i) {
    if (!m_keyboard->Poll() || m_keyboard->m_key == 0) return;
  }
}

void CQuillanDlg::EditTick() {
  char status[64];
  std::snprintf(status, sizeof status, "Page: %d\nLine: %d", m_currentPage, m_currentLine + 1);
  if (m_statusText != status) {
    m_statusText = status;
    m_platform.SetStatusText(m_statusText);
  }
  JournalTick();
  if (m_focusLost || m_noDocument || !m_keyboard) return;

  m_keyboard->Poll();
  m_prevShift = m_curShift;
  m_curShift = m_keyboard->m_shiftDown;
  if (m_prevShift != m_curShift) {
    // A change of the shift state drops the key that came with it.
    if (m_keyboard->m_key != 0) DrainKeyboard();
    return;
  }
  int key = m_keyboard->m_key;
  if (key == m_lastKey) return; // a held key acts once
  if (key != 0) m_modified = 1;
  m_lastKey = key;
  if (key != 0) HandleKey(key);
  UpdateTitle();
}

void CQuillanDlg::TypeCharacter(uint16_t c) {
  CTextEdit edit(*this, "Typing", CEditMerge::Typing);
  EnglishString &text = edit.Current();
  int p = m_viewTopRow * kRowWidth + m_cursorOffset;
  int n = int(text.size());
  if (p + 1 < n) {
    text.insert(text.begin() + p, c);
  } else {
    if (n >= 1) text.pop_back();
    text.push_back(c);
    text.push_back(0);
  }
  AdvanceCursor();
  RefreshCursorChar();
  edit.Commit();
}

void CQuillanDlg::HandleKey(int key) {
  const EnglishString &text = CurrentEnglish();
  switch (key) {
  case kKeyUp:
    m_cursorOffset -= kRowWidth;
    if (m_cursorOffset < 0) {
      m_cursorOffset += kRowWidth;
      --m_viewTopRow;
      if (kRowWidth * m_viewTopRow + m_cursorOffset < 0) {
        m_cursorOffset = 0;
        ++m_viewTopRow;
      }
    }
    break;
  case kKeyLeft:
    --m_cursorOffset;
    if (m_cursorOffset < 0) {
      ++m_cursorOffset;
      --m_viewTopRow;
      if (kRowWidth * m_viewTopRow + m_cursorOffset < 0) {
        m_cursorOffset = 0;
        ++m_viewTopRow;
      }
    }
    break;
  case kKeyRight:
    AdvanceCursor();
    ClampCursorToText();
    break;
  case kKeyDown:
    m_cursorOffset += kRowWidth;
    if (m_cursorOffset >= kVisibleCells) {
      m_cursorOffset -= kRowWidth;
      ++m_viewTopRow;
      if (kRowWidth * m_viewTopRow + m_cursorOffset >= int(text.size()) + 14) --m_viewTopRow;
    }
    ClampCursorToText();
    break;
  case 13:
    ++m_currentLine;
    if (m_currentLine >= m_linesOnPage) m_currentLine = m_linesOnPage - 1;
    if (m_currentLine < 0) m_currentLine = 0;
    m_platform.SetScrollPos(m_currentLine);
    m_repaintJapanese = 1;
    PlaceCursorAtEnd();
    break;
  case kKeyInsert: {
    CTextEdit edit(*this, "Insert Line");
    for (int b = m_linesOnPage - 2; b >= m_currentLine; --b) {
      EnglishString moved = EnglishAt(m_currentPage, b);
      edit.At(m_currentPage, b + 1) = std::move(moved);
    }
    edit.Current().clear();
    PlaceCursorAtEnd();
    edit.Commit();
    break;
  }
  case kKeyDelete: {
    CTextEdit edit(*this, "Delete Line");
    for (int b = m_currentLine; b <= m_linesOnPage - 2; ++b) {
      EnglishString moved = EnglishAt(m_currentPage, b + 1);
      edit.At(m_currentPage, b) = std::move(moved);
    }
    if (m_linesOnPage >= 1) edit.At(m_currentPage, m_linesOnPage - 1).clear();
    PlaceCursorAtEnd();
    edit.Commit();
    break;
  }
  case 8:
    Backspace();
    return;
  default:
    // Only 0x20-0x7E have a glyph the sheets show and a byte the save keeps
    // as typed; other layout characters are refused quietly.
    if (key >= 0x20 && key <= 0x7E) {
      TypeCharacter(uint16_t(key));
      break;
    }
    return; // 1-7, 9-12, 14-31 and characters outside 0x20-0x7E do nothing
  }
  RefreshCursorChar();
  PaintPanes();
}

void CQuillanDlg::Backspace() {
  if (CurrentEnglish().empty()) return;
  CTextEdit edit(*this, "Backspace", CEditMerge::Typing);
  EnglishString &s = edit.Current();
  int p = m_viewTopRow * kRowWidth + m_cursorOffset;
  int n = int(s.size());
  auto lastColumnRule = [&]() {
    if (!s.empty() && m_cursorOffset % kRowWidth == 14) {
      --m_viewTopRow;
      if (m_viewTopRow < 0)
        m_viewTopRow = 0;
      else
        m_cursorOffset += kRowWidth;
    }
  };
  auto erase = [&](int index, int count) {
    index = std::max(index, 0);
    int end = std::min(index + count, int(s.size()));
    if (index < end) s.erase(s.begin() + index, s.begin() + end);
  };
  if (p + 1 < n) {
    // Case A: the element before the cursor goes, with its control group.
    if (p > 0) {
      int e = p - 1;
      if (TakesOneArgument(s[size_t(p - 1)])) {
        erase(p - 1, 1);
      } else if (s[size_t(p - 1)] == 14) {
        erase(p - 1, 2);
      }
      if (p >= 2 && p - 2 < int(s.size())) {
        if (TakesOneArgument(s[size_t(p - 2)])) {
          e = p - 2;
          --m_cursorOffset;
          erase(p - 2, 1);
        } else if (s[size_t(p - 2)] == 14) {
          e = p - 2;
          --m_cursorOffset;
          erase(p - 2, 2);
        }
      }
      int q = m_viewTopRow * kRowWidth + m_cursorOffset;
      if (q >= 3 && q - 3 < int(s.size()) && s[size_t(q - 3)] == 14) {
        e -= 2;
        m_cursorOffset -= 2;
        erase(e, 2);
      }
      erase(e, 1);
      --m_cursorOffset;
      if (m_cursorOffset < 0) m_cursorOffset = 0;
      lastColumnRule();
    }
  } else {
    // Case B: the cursor on the end-of-text marker or past it.
    s.pop_back();
    if (s.empty()) {
      edit.Commit();
      m_platform.MessageBox("error here");
      return;
    }
    s.pop_back();
    --m_cursorOffset;
    if (!s.empty() && TakesOneArgument(s.back())) {
      s.pop_back();
      --m_cursorOffset;
    }
    if (s.size() > 1 && s[s.size() - 2] == 14) {
      s.resize(s.size() - 2);
      m_cursorOffset -= 2;
    }
    if (!s.empty()) {
      lastColumnRule();
      s.push_back(0);
    }
    // Keep the cursor inside the window when the text ends at the start of
    // the first visible row.
    while (m_cursorOffset < 0 && m_viewTopRow > 0) {
      m_cursorOffset += kRowWidth;
      --m_viewTopRow;
    }
    if (m_cursorOffset < 0) m_cursorOffset = 0;
  }
  RefreshCursorChar();
  edit.Commit();
  PaintPanes();
}

void CQuillanDlg::BlinkTick() {
  XorCursorGlyph(32 * (m_cursorOffset % kRowWidth), 220 + 32 * (m_cursorOffset / kRowWidth), m_cursorChar);
}

} // namespace quillan
