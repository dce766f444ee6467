#include "core/document.h"

#include <algorithm>
#include <system_error>
#include <utility>

#include "core/file_io.h"

namespace quillan {

CTranslationDocument::CTranslationDocument() : m_englishStrings(size_t(kMaxEnglishStrings)) {
  m_kanjiCodeBook.fill(0x0020);
  std::error_code error;
  m_baseDir = std::filesystem::current_path(error);
}

CTranslationDocument::~CTranslationDocument() = default;

std::vector<EnglishString> ReadEnglishChunk(std::span<const uint8_t> bytes, int lines) {
  std::vector<EnglishString> strings(size_t(std::max(lines, 0)));
  size_t line = 0;
  for (size_t i = 0; i + 1 < bytes.size() && line < strings.size(); i += 2) {
    strings[line].push_back(bytes[i + 1]);
    if (bytes[i] == 0 && bytes[i + 1] == 0) ++line;
  }
  return strings;
}

std::filesystem::path CTranslationDocument::ChunkFilePath(int page) const {
  std::string name = StemOf(m_scriptFileName);
  name.push_back(char(48 + page));
  name += ".tk7";
  return m_baseDir / "Scripts" / "PATCHED INFO" / m_shortName / name;
}

std::filesystem::path CTranslationDocument::CodeBookPath() const {
  return m_baseDir / "data" / "kanjiCB" / (m_shortName + ".kcb");
}

int CTranslationDocument::EntriesOnPage(int page) const {
  return page == m_pageCount - 1 ? m_linesOnLastPage : kLinesPerPage;
}

CStatus CTranslationDocument::LoadScript(const std::filesystem::path &path) {
  auto script = CScriptFile::Open(PathText(path));
  if (!script) return script.Error();

  // Build the new state aside, then take it over whole.
  CScriptFile &file = *script.Value();
  std::string fileName = PathText(path.filename());
  std::string shortName = ShortNameOf(fileName);
  if (shortName.empty())
    return MakeError(PathText(path) + ": the file name has no short name (the characters from the third up to the "
                                      "first '.'), which names the folder of its English text");
  size_t stringCount = std::max<size_t>(size_t(kMaxEnglishStrings), size_t(file.m_pageCount) * kLinesPerPage);
  std::vector<EnglishString> strings(stringCount);

  std::string oldFileName = std::exchange(m_scriptFileName, fileName);
  std::string oldShortName = std::exchange(m_shortName, shortName);
  std::map<std::filesystem::path, CFileStamp> stamps;
  for (int page = 0; page < file.m_pageCount; ++page) {
    // Only a missing chunk file means "no text": one that is there but
    // cannot be read stops the open, so that no save writes over it.
    auto bytes = ReadFileIfPresent(ChunkFilePath(page));
    if (!bytes) {
      m_scriptFileName = std::move(oldFileName);
      m_shortName = std::move(oldShortName);
      return bytes.Error().WithContext(PathText(path) + ": English text of page " + std::to_string(page));
    }
    stamps[ChunkFilePath(page)] = *bytes ? StampOfBytes(**bytes) : CFileStamp{};
    if (!*bytes || (*bytes)->empty()) continue;
    auto lines = ReadEnglishChunk(**bytes, kLinesPerPage);
    std::move(lines.begin(), lines.end(), strings.begin() + page * kLinesPerPage);
  }

  m_scriptFile = std::move(script.Value());
  m_scriptPath = PathText(path);
  m_headerLength = m_scriptFile->m_headerLength;
  m_sectionCount = m_scriptFile->m_sectionCount;
  m_sectionOffsets = m_scriptFile->m_sectionOffsets;
  m_pageCount = m_scriptFile->m_pageCount;
  m_linesOnLastPage = m_scriptFile->m_linesOnLastPage;
  m_englishStrings = std::move(strings);
  for (auto &[file, stamp] : stamps)
    m_readStamps[file] = stamp;
  ResetHistory();
  m_japaneseText.clear();
  m_fileOpen = 1;
  m_noDocument = 0;
  m_repaintJapanese = 1;
  m_currentLine = 0;
  m_textColor = 6;
  // The page shown is kept, unless the new script has no such page; and the
  // line range is that of the page actually shown.
  if (m_currentPage < 0 || m_currentPage >= m_pageCount) m_currentPage = 0;
  m_linesOnPage = EntriesOnPage(m_currentPage);
  m_viewTopRow = 0;
  m_cursorOffset = 0;
  if (!CurrentEnglish().empty()) PlaceCursorAtEnd();
  return CStatus::Success();
}

const uint16_t *CTranslationDocument::DecodeEntry(int page, int line) {
  if (!m_fileOpen || !m_scriptFile) {
    static const std::array<uint16_t, kEntryCapacity> empty{};
    return empty.data();
  }
  return m_scriptFile->DecodeEntry(page, line);
}

void CTranslationDocument::PlaceCursorAtEnd() {
  const EnglishString &text = CurrentEnglish();
  int n = int(text.size());
  m_viewTopRow = 0;
  if (n == 0) {
    m_cursorOffset = 0;
    return;
  }
  m_cursorOffset = n - 1;
  while (m_cursorOffset >= kVisibleCells) {
    m_cursorOffset -= kRowWidth;
    ++m_viewTopRow;
  }
  m_cursorChar = text[size_t(m_viewTopRow * kRowWidth + m_cursorOffset)];
}

CEditCursor CTranslationDocument::CursorState() const {
  return {m_currentPage, m_currentLine, m_viewTopRow, m_cursorOffset};
}

void CTranslationDocument::RestoreCursor(const CEditCursor &cursor) {
  if (cursor.m_page >= 0 && cursor.m_page < std::max(m_pageCount, 1)) m_currentPage = cursor.m_page;
  if (m_pageCount > 0) m_linesOnPage = EntriesOnPage(m_currentPage);
  m_currentLine = std::clamp(cursor.m_line, 0, std::max(m_linesOnPage - 1, 0));
  m_viewTopRow = std::max(cursor.m_viewTopRow, 0);
  m_cursorOffset = std::clamp(cursor.m_cursorOffset, 0, kVisibleCells - 1);
  const EnglishString &text = CurrentEnglish();
  // A cursor past the restored text goes to its end.
  if (m_viewTopRow * kRowWidth + m_cursorOffset >= int(text.size())) {
    PlaceCursorAtEnd();
    return;
  }
  m_cursorChar = text[size_t(m_viewTopRow * kRowWidth + m_cursorOffset)];
}

void CTranslationDocument::ApplyStep(const CEditStep &step, bool forwards) {
  for (const CStringChange &change : step.m_strings) {
    if (change.m_index >= m_englishStrings.size()) m_englishStrings.resize(change.m_index + 1);
    m_englishStrings[change.m_index] = forwards ? change.m_after : change.m_before;
  }
  for (const CCodeBookChange &change : step.m_codeBook)
    if (change.m_index < m_kanjiCodeBook.size())
      m_kanjiCodeBook[change.m_index] = forwards ? change.m_after : change.m_before;
  RestoreCursor(forwards ? step.m_cursorAfter : step.m_cursorBefore);
  m_repaintJapanese = 1;
}

bool CTranslationDocument::Undo() {
  if (!m_history.CanUndo()) return false;
  ApplyStep(m_history.StepBack(), false);
  m_modified = m_history.AtSavePoint() ? 0 : 1;
  return true;
}

bool CTranslationDocument::Redo() {
  if (!m_history.CanRedo()) return false;
  ApplyStep(m_history.StepForward(), true);
  m_modified = m_history.AtSavePoint() ? 0 : 1;
  return true;
}

void CTranslationDocument::MarkSaved() {
  m_history.MarkSaved();
  m_modified = 0;
}

void CTranslationDocument::ResetHistory() { m_history.Clear(true); }

CTextEdit::CTextEdit(CTranslationDocument &doc, std::string name, CEditMerge merge) : m_doc(doc) {
  m_step.m_name = std::move(name);
  m_step.m_merge = merge;
  m_step.m_cursorBefore = doc.CursorState();
}

CTextEdit::~CTextEdit() { (void)Commit(); }

EnglishString &CTextEdit::String(size_t index) {
  auto &strings = m_doc.m_englishStrings;
  if (index >= strings.size()) strings.resize(index + 1);
  bool kept = std::any_of(m_step.m_strings.begin(), m_step.m_strings.end(),
                          [&](const CStringChange &change) { return change.m_index == index; });
  if (!kept && !m_done) m_step.m_strings.push_back({index, strings[index], {}});
  return strings[index];
}

void CTextEdit::SetCodeBookEntry(size_t index, uint16_t value) {
  auto &book = m_doc.m_kanjiCodeBook;
  if (index >= book.size() || m_done) return;
  auto kept = std::find_if(m_step.m_codeBook.begin(), m_step.m_codeBook.end(),
                           [&](const CCodeBookChange &change) { return change.m_index == index; });
  if (kept == m_step.m_codeBook.end()) m_step.m_codeBook.push_back({index, book[index], value});
  book[index] = value;
}

bool CTextEdit::Commit() {
  if (m_done) return false;
  m_done = true;
  auto &strings = m_step.m_strings;
  for (CStringChange &change : strings)
    change.m_after = m_doc.m_englishStrings[change.m_index];
  std::erase_if(strings, [](const CStringChange &change) { return change.m_before == change.m_after; });
  for (CCodeBookChange &change : m_step.m_codeBook)
    change.m_after = m_doc.m_kanjiCodeBook[change.m_index];
  std::erase_if(m_step.m_codeBook, [](const CCodeBookChange &change) { return change.m_before == change.m_after; });
  if (m_step.Empty()) return false;
  m_step.m_cursorAfter = m_doc.CursorState();
  m_doc.m_history.Record(std::move(m_step));
  m_doc.m_modified = 1;
  return true;
}

void CTextEdit::Cancel() {
  if (m_done) return;
  m_done = true;
  for (const CStringChange &change : m_step.m_strings)
    m_doc.m_englishStrings[change.m_index] = change.m_before;
  for (const CCodeBookChange &change : m_step.m_codeBook)
    m_doc.m_kanjiCodeBook[change.m_index] = change.m_before;
}

} // namespace quillan
