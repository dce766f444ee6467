// The dialog's side of the project panels: opening a script of the project
// and going to an entry of any script.

#include <system_error>

#include "workbench/quillan_dlg.h"

namespace quillan {

namespace {

bool SameFile(const std::filesystem::path &a, const std::filesystem::path &b) {
  std::error_code error;
  bool same = std::filesystem::equivalent(a, b, error);
  return !error && same;
}

} // namespace

bool CQuillanDlg::OpenProjectScript(const std::filesystem::path &path) {
  if (m_fileOpen && m_scriptFile && SameFile(m_scriptPath, path)) return true; // already open
  if (!AskToSave()) return false;
  bool opened = OpenScriptPath(path);
  if (opened) PaintPanes();
  UpdateTitle();
  return opened;
}

bool CQuillanDlg::GoToEntry(const std::filesystem::path &script, int page, int line) {
  bool open = m_fileOpen && m_scriptFile && SameFile(m_scriptPath, script);
  if (!open && !OpenProjectScript(script)) return false;
  if (page < 0 || page >= m_pageCount || line < 0 || line >= EntriesOnPage(page)) return false;
  m_currentPage = page;
  m_linesOnPage = EntriesOnPage(page);
  m_currentLine = line;
  m_platform.SetScrollRange(0, std::max(m_linesOnPage - 1, 0));
  m_platform.SetScrollPos(m_currentLine);
  m_repaintJapanese = 1;
  PlaceCursorAtEnd();
  DrainKeyboard();
  PaintPanes();
  UpdateTitle();
  return true;
}

} // namespace quillan
