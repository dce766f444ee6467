// Crash recovery: the journal of unsaved English text and code book, and the
// offer to recover it when the script is opened again.

#include <ctime>
#include <system_error>

#include "core/file_io.h"
#include "core/recovery_journal.h"
#include "workbench/quillan_dlg.h"

namespace quillan {

namespace {

std::filesystem::file_time_type NewestChunkTime(const CTranslationDocument &doc) {
  std::filesystem::file_time_type newest = std::filesystem::file_time_type::min();
  for (int page = 0; page < doc.m_pageCount; ++page) {
    std::error_code error;
    auto time = std::filesystem::last_write_time(doc.ChunkFilePath(page), error);
    if (!error && time > newest) newest = time;
  }
  return newest;
}

std::string LocalTimeText(std::filesystem::file_time_type time) {
  auto system = std::chrono::system_clock::now() + std::chrono::duration_cast<std::chrono::system_clock::duration>(
                                                       time - std::filesystem::file_time_type::clock::now());
  std::time_t seconds = std::chrono::system_clock::to_time_t(system);
  std::tm local{};
  localtime_r(&seconds, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

} // namespace

void CQuillanDlg::JournalTick() {
  if (!m_fileOpen) return;
  auto now = std::chrono::steady_clock::now();
  if (History().Generation() != m_journalGeneration) {
    m_journalGeneration = History().Generation();
    m_journalPending = true;
    m_changeSeen = now;
  }
  if (m_journalPending && now - m_changeSeen >= m_journalDelay) {
    m_journalPending = false;
    if (m_modified)
      WriteJournal();
    else
      RemoveJournal(); // undone back to the saved text
  }
}

void CQuillanDlg::WriteJournal() {
  if (!m_fileOpen) return;
  auto path = JournalPath(*this);
  std::error_code error;
  std::filesystem::create_directories(path.parent_path(), error);
  // A journal that cannot be written costs nothing yet: the text is still
  // here, and the next change tries again.
  (void)WriteFileAtomic(path, JournalBytes(*this));
}

void CQuillanDlg::RemoveJournal() {
  m_journalPending = false;
  m_journalGeneration = History().Generation();
  if (!m_fileOpen) return;
  std::error_code error;
  std::filesystem::remove(JournalPath(*this), error);
}

void CQuillanDlg::OfferRecovery() {
  m_journalGeneration = History().Generation();
  m_journalPending = false;
  auto path = JournalPath(*this);
  std::error_code error;
  auto journalTime = std::filesystem::last_write_time(path, error);
  if (error || journalTime <= NewestChunkTime(*this)) return;
  auto bytes = ReadFileBytes(path);
  if (!bytes) return;
  auto journal = ParseJournal(*bytes, PathText(path.filename()));
  if (!journal) {
    m_platform.MessageBox("The unsaved changes cannot be recovered: " + journal.Error().Message(), "Recover",
                          CMessageButtons::Ok, CMessageIcon::Warning);
    return;
  }
  if (journal->m_scriptFileName != m_scriptFileName) return; // another script of the same short name
  auto answer = m_platform.MessageBox("Recover unsaved changes from " + LocalTimeText(journalTime) + "?", "Recover",
                                      CMessageButtons::YesNo, CMessageIcon::Question);
  if (answer != CMessageAnswer::Yes) {
    // Kept aside, so that a wrong click loses nothing.
    auto aside = path;
    aside += ".discarded";
    std::filesystem::rename(path, aside, error);
    return;
  }
  CTextEdit edit(*this, "Recover Unsaved Changes");
  size_t count = std::max(journal->m_strings.size(), EnglishStrings().size());
  for (size_t index = 0; index < count; ++index) {
    const EnglishString empty;
    const EnglishString &wanted = index < journal->m_strings.size() ? journal->m_strings[index] : empty;
    if (index >= EnglishStrings().size() || EnglishStrings()[index] != wanted) edit.String(index) = wanted;
  }
  for (size_t i = 0; i < journal->m_codeBook.size(); ++i)
    if (CodeBook()[i] != journal->m_codeBook[i]) edit.SetCodeBookEntry(i, journal->m_codeBook[i]);
  PlaceCursorAtEnd();
  edit.Commit();
  m_journalGeneration = History().Generation(); // the journal holds this state already
  m_repaintJapanese = 1;
  PaintPanes();
}

} // namespace quillan
