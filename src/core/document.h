#pragma once
// The translation document: the open script, the position shown, the English
// text of every entry, the cursor in the English pane and the flags the
// commands test before they act. The main dialog derives from it, so its
// handlers use these members by name; the command-line tools use it alone.

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/constants.h"
#include "core/result.h"
#include "core/script_file.h"
#include "core/text_rules.h"

namespace quillan {

// One entry's English text: 16-bit elements of which the game keeps the low
// byte; a loaded or typed string ends with one 0 element.
using EnglishString = std::vector<uint16_t>;

inline constexpr int kRowWidth = 15;
inline constexpr int kVisibleCells = 75;

class CTranslationDocument {
public:
  CTranslationDocument();
  virtual ~CTranslationDocument();

  // Opens a script and loads its English chunk files: the part of "Open
  // Japanese Text" after the file was chosen. On failure the document is
  // left exactly as it was and the error names the file and the defect.
  CStatus LoadScript(const std::filesystem::path &path);

  // The 600 codes of entry (page, line) of the open script; all zeros when no
  // script is open. Valid until the next decode.
  const uint16_t *DecodeEntry(int page, int line);

  // Places the cursor after the last element of the current English string.
  void PlaceCursorAtEnd();

  // The English string of (page, line): element page * 256 + line.
  EnglishString &EnglishAt(int page, int line) { return m_englishStrings[size_t(page * kLinesPerPage + line)]; }
  EnglishString &CurrentEnglish() { return EnglishAt(m_currentPage, m_currentLine); }
  // Entries on a page: 256, the last page's own count on the last.
  int EntriesOnPage(int page) const;

  // The chunk file of page k: <base>/Scripts/PATCHED INFO/<short>/<stem><'0'+k>.tk7
  std::filesystem::path ChunkFilePath(int page) const;
  std::filesystem::path CodeBookPath() const;

  CScriptFile *Script() { return m_scriptFile.get(); }
  const CScriptFile *Script() const { return m_scriptFile.get(); }

  // Members, named and started as the rest of the program expects them.
  std::string m_scriptPath;
  int32_t m_currentLine = 0;
  int32_t m_linesOnPage = 0;
  int32_t m_linesOnLastPage = 0;
  uint8_t m_focusLost = 1;
  int32_t m_textColor = 8;
  std::unique_ptr<CScriptFile> m_scriptFile;
  int32_t m_japaneseTopRow = 0;
  int32_t m_viewTopRow = 0;
  uint8_t m_skipScroll1 = 0;
  uint8_t m_skipScroll2 = 0;
  uint8_t m_colorPending = 0;
  uint8_t m_fileOpen = 0;
  std::string m_scriptFileName;
  uint8_t m_repaintJapanese = 1;
  uint8_t m_fillWithName = 1;
  uint8_t m_modified = 0;
  uint8_t m_prevShift = 0;
  uint8_t m_curShift = 0;
  uint8_t m_closing = 0;
  uint8_t m_noDocument = 1;
  int32_t m_cursorOffset = 0;
  int32_t m_currentPage = 0;
  int32_t m_pageCount = 0;
  uint16_t m_cursorChar = 0;
  uint16_t m_sectionCount = 0;
  std::string m_shortName;
  int32_t m_lastKey = 0;
  KanjiCodeBook m_kanjiCodeBook{};
  std::array<uint16_t, kEntryCapacity> m_japaneseEntry{};
  std::filesystem::path m_baseDir;
  std::array<uint32_t, 4> m_sectionOffsets{};
  std::u16string m_japaneseText;
  std::vector<EnglishString> m_englishStrings;
  uint32_t m_headerLength = 0;
};

// The reading rule of an English chunk file: byte pairs (b1, b2); b2 is
// appended to the current line's string, and a pair 0, 0 ends the line (its
// 0 stays as the terminator). Stops at the end of the data or after `lines`
// lines; an odd last byte is ignored.
std::vector<EnglishString> ReadEnglishChunk(std::span<const uint8_t> bytes, int lines);

} // namespace quillan
