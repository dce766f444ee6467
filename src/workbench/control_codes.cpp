// The commands that insert the game's control codes at the cursor: bubble
// ends, line breaks, pauses, colours, font styles and sizes, bubble effects,
// tilt, zoom and tab amounts, memory slots, character names and the chart.

#include <algorithm>

#include "view/menu_table.h"
#include "workbench/quillan_dlg.h"

namespace quillan {

void CQuillanDlg::InsertCode(uint16_t code) {
  m_modified = 1;
  CTextEdit edit(*this, m_editName.empty() ? "Insert Code" : m_editName);
  EnglishString &s = edit.Current();
  int p = m_viewTopRow * kRowWidth + m_cursorOffset;
  if (p + 1 < int(s.size())) {
    s.insert(s.begin() + p, code);
  } else {
    if (!s.empty()) s.pop_back();
    s.push_back(code);
    s.push_back(0);
  }
  AdvanceCursor();
  RefreshCursorChar();
  edit.Commit();
  PaintPanes();
}

void CQuillanDlg::InsertCodeWithArgs(uint16_t code, uint16_t first, uint16_t second) {
  m_modified = 1;
  if (second == 0) ++first; // one-argument commands pass 0-based values
  CTextEdit edit(*this, m_editName.empty() ? "Insert Code" : m_editName);
  EnglishString &s = edit.Current();
  int p = m_viewTopRow * kRowWidth + m_cursorOffset;
  if (p + 1 < int(s.size())) {
    s.insert(s.begin() + p, {code, first});
    AdvanceCursor();
    if (second != 0) {
      s.insert(s.begin() + p + 2, second);
      AdvanceCursor();
    }
    AdvanceCursor();
  } else {
    if (!s.empty()) s.pop_back();
    s.push_back(code);
    s.push_back(first);
    AdvanceCursor();
    AdvanceCursor();
    if (second != 0) {
      s.push_back(second);
      AdvanceCursor();
    }
    s.push_back(0);
  }
  RefreshCursorChar();
  edit.Commit();
  PaintPanes();
}

void CQuillanDlg::InsertName(int number) {
  m_modified = 1;
  CTextEdit edit(*this, m_editName.empty() ? "Insert Name" : m_editName);
  EnglishString &s = edit.Current();
  int p = m_viewTopRow * kRowWidth + m_cursorOffset;
  uint16_t name = uint16_t(number);
  if (p + 1 < int(s.size())) {
    s.insert(s.begin() + p, {uint16_t(0x11), name});
  } else {
    if (!s.empty()) s.pop_back();
    s.insert(s.end(), {uint16_t(0x11), name, uint16_t(0)});
  }
  AdvanceCursor();
  AdvanceCursor();
  RefreshCursorChar();
  edit.Commit();
  PaintPanes();
}

bool CQuillanDlg::OnControlCodeCommand(int id) {
  // The edit is named after the menu item ("Undo New Line", "Undo Tilt").
  struct CNameScope {
    std::string &m_name;
    ~CNameScope() { m_name.clear(); }
  } scope{m_editName};
  m_editName = CommandCaption(MainMenu(m_nameLabels), id);
  if (const CInsertCommand *command = FindInsertCommand(id)) {
    switch (command->m_kind) {
    case CInsertKind::Code:
      InsertCode(command->m_code);
      break;
    case CInsertKind::CodeWithArgument:
      InsertCodeWithArgs(command->m_code, command->m_argument, 0);
      break;
    case CInsertKind::Name:
      InsertName(command->m_argument);
      break;
    }
    return true;
  }
  switch (id) {
  case kIdTilt: {
    m_modified = 1; // set before the dialog, as a cancelled one still counts
    // Only amounts whose stored elements are 1-255: a 0 or 256 would be saved
    // as the byte 0, which ends the string.
    if (auto t = m_platform.AskTiltAmount(); t && *t >= 1 && *t <= 254) InsertCodeWithArgs(11, uint16_t(*t), 0);
    return true;
  }
  case kIdZoom: {
    m_modified = 1;
    if (auto z = m_platform.AskZoomAmount(); z && *z >= 1 && *z <= 255) InsertCodeWithArgs(12, uint16_t(*z - 1), 0);
    return true;
  }
  case kIdTab: {
    m_modified = 1;
    auto amount = m_platform.AskTabAmount();
    if (amount && amount->first >= 2 && amount->first <= 255 && amount->second >= 1 && amount->second <= 255)
      InsertCodeWithArgs(14, uint16_t(amount->first - 1), uint16_t(amount->second));
    return true;
  }
  case kIdTextCharacters: {
    m_modified = 1;
    if (auto code = m_platform.AskChartCode()) InsertCode(uint16_t(*code));
    return true;
  }
  default:
    return false;
  }
}

} // namespace quillan
