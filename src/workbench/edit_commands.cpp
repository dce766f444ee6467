// The Edit menu: Undo and Redo over the document's history, with captions
// that name the change they take back or repeat.

#include "workbench/quillan_dlg.h"

namespace quillan {

std::string CQuillanDlg::UndoCaption() const {
  return History().CanUndo() ? "Undo " + History().UndoStep().m_name : "Undo";
}

std::string CQuillanDlg::RedoCaption() const {
  return History().CanRedo() ? "Redo " + History().RedoStep().m_name : "Redo";
}

void CQuillanDlg::UpdateEditMenu() {
  std::string undo = UndoCaption(), redo = RedoCaption();
  if (undo != m_lastUndoCaption) {
    m_lastUndoCaption = undo;
    m_platform.SetMenuItemText(kIdUndo, undo);
    m_platform.EnableMenuItem(kIdUndo, History().CanUndo());
  }
  if (redo != m_lastRedoCaption) {
    m_lastRedoCaption = redo;
    m_platform.SetMenuItemText(kIdRedo, redo);
    m_platform.EnableMenuItem(kIdRedo, History().CanRedo());
  }
}

void CQuillanDlg::ShowHistoryMove() {
  m_platform.SetScrollRange(0, std::max(m_linesOnPage - 1, 0));
  m_platform.SetScrollPos(m_currentLine);
  RefreshCursorChar();
  m_repaintJapanese = 1;
  PaintPanes();
}

void CQuillanDlg::UndoCommand() {
  if (!m_fileOpen || !Undo()) return;
  ShowHistoryMove();
}

void CQuillanDlg::RedoCommand() {
  if (!m_fileOpen || !Redo()) return;
  ShowHistoryMove();
}

} // namespace quillan
