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
  for (int page = 0; page < file.m_pageCount; ++page) {
    // Only a missing chunk file means "no text": one that is there but
    // cannot be read stops the open, so that no save writes over it.
    auto bytes = ReadFileIfPresent(ChunkFilePath(page));
    if (!bytes) {
      m_scriptFileName = std::move(oldFileName);
      m_shortName = std::move(oldShortName);
      return bytes.Error().WithContext(PathText(path) + ": English text of page " + std::to_string(page));
    }
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

} // namespace quillan
