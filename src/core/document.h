#pragma once
// The translation document: the open script, the position shown, the English
// text of every entry, the cursor in the English pane and the flags the
// commands test before they act. The main dialog derives from it, so its
// handlers use these members by name; the command-line tools use it alone.

#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/constants.h"
#include "core/edit_history.h"
#include "core/file_stamp.h"
#include "core/result.h"
#include "core/script_file.h"
#include "core/text_rules.h"

namespace quillan {

// One entry's English text (EnglishString, core/edit_history.h): 16-bit
// elements of which the game keeps the low byte; a loaded or typed string
// ends with one 0 element.

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

  // The English string of (page, line): element page * 256 + line. The text
  // is read here and changed only through CTextEdit.
  const EnglishString &EnglishAt(int page, int line) const {
    return m_englishStrings[size_t(page * kLinesPerPage + line)];
  }
  const EnglishString &CurrentEnglish() const { return EnglishAt(m_currentPage, m_currentLine); }
  const std::vector<EnglishString> &EnglishStrings() const { return m_englishStrings; }
  const KanjiCodeBook &CodeBook() const { return m_kanjiCodeBook; }

  // Text and code book as read from files: no edit, no history step. For the
  // open and for readers of files (and test fixtures); typing, commands and
  // imports use CTextEdit instead.
  std::vector<EnglishString> &LoadedStrings() { return m_englishStrings; }
  EnglishString &LoadedAt(int page, int line) { return m_englishStrings[size_t(page * kLinesPerPage + line)]; }
  EnglishString &LoadedCurrent() { return LoadedAt(m_currentPage, m_currentLine); }
  KanjiCodeBook &LoadedCodeBook() { return m_kanjiCodeBook; }

  // Undo and redo. Each takes the document to the step's entry and cursor,
  // and sets m_modified by the save point. Return false when there is
  // nothing to undo or redo.
  bool Undo();
  bool Redo();
  const CEditHistory &History() const { return m_history; }
  // After a save: the current state is the saved one (m_modified cleared).
  void MarkSaved();
  // A fresh history, the current state being the saved one (an open).
  void ResetHistory();
  // The cursor as an edit records it.
  CEditCursor CursorState() const;
  // Moves to the cursor's page and line and places the cursor window.
  void RestoreCursor(const CEditCursor &cursor);
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
  std::array<uint16_t, kEntryCapacity> m_japaneseEntry{};
  std::filesystem::path m_baseDir;
  std::array<uint32_t, 4> m_sectionOffsets{};
  std::u16string m_japaneseText;
  uint32_t m_headerLength = 0;
  // The files as the document read or last wrote them (chunk files, code
  // book, kanji database): a save asks before replacing one that changed.
  std::map<std::filesystem::path, CFileStamp> m_readStamps;

private:
  friend class CTextEdit;
  void ApplyStep(const CEditStep &step, bool forwards);

  KanjiCodeBook m_kanjiCodeBook{};
  std::vector<EnglishString> m_englishStrings;
  CEditHistory m_history;
};

// The one edit operation of the document: every change of the English text
// and of the code book is made through one of these and becomes one step of
// the undo history, named for the Edit menu.
//
//   CTextEdit edit(doc, "Paste");
//   EnglishString &s = edit.Current(); // its old elements are recorded here
//   ... change s, move the cursor ...
//   edit.Commit(); // or let the edit go out of scope
//
// String() hands out the document's string itself after keeping a copy of
// its elements; Commit() compares each kept copy with the string and records
// the ones that differ together with the cursor before (taken when the edit
// was made) and after (taken at the commit). Nothing changed, no step. A
// committed change sets m_modified. Cancel() puts the old elements back.
class CTextEdit {
public:
  CTextEdit(CTranslationDocument &doc, std::string name, CEditMerge merge = CEditMerge::None);
  ~CTextEdit();
  CTextEdit(const CTextEdit &) = delete;
  CTextEdit &operator=(const CTextEdit &) = delete;

  // String number index (page * 256 + line); the store grows when a script
  // has more pages than it holds.
  EnglishString &String(size_t index);
  EnglishString &At(int page, int line) { return String(size_t(page) * kLinesPerPage + size_t(line)); }
  EnglishString &Current() { return At(m_doc.m_currentPage, m_doc.m_currentLine); }
  // The code book entry of kanji code - 0x100.
  void SetCodeBookEntry(size_t index, uint16_t value);

  // Records the step; true when anything changed. Later calls do nothing.
  bool Commit();
  // Restores every string and code book entry touched; no step.
  void Cancel();

private:
  CTranslationDocument &m_doc;
  CEditStep m_step;
  bool m_done = false;
};

// The reading rule of an English chunk file: byte pairs (b1, b2); b2 is
// appended to the current line's string, and a pair 0, 0 ends the line (its
// 0 stays as the terminator). Stops at the end of the data or after `lines`
// lines; an odd last byte is ignored.
std::vector<EnglishString> ReadEnglishChunk(std::span<const uint8_t> bytes, int lines);

} // namespace quillan
