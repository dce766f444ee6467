#pragma once
// The Fill submenu: three imports that replace English strings from text
// files of other tools, and two generators of placeholder labels. The file
// dialog is the caller's: the imports take the chosen path, and a cancelled
// dialog changes nothing.
//
// Import formats (none has a header):
//   ".dat"  byte pairs (b1, b2) like a chunk file, but a string ends at any
//           pair whose second byte is 0; b1 is ignored and a b2 of 254 or
//           255 becomes 30. The strings fill the current page from the
//           current line on.
//   ".txt"  raw bytes, one string per text line (LF, CR LF or CR ends a
//           line); the lines fill the current page from the current line on.
//   ".txn"  pairs of lines: a record line (one character, the page number,
//           one character, the line number counted from 1, one character,
//           then anything, such as "~3-12~ note") and a text line (a leading
//           and a trailing space are dropped, at most 2549 characters).
//           Records with a line number below 1 are skipped.
// The ".txt" and ".txn" imports end each string with the Japanese entry's
// ending code (1, 2 or 3) when the entry ends with one, then the 0.

#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/document.h"
#include "core/result.h"

namespace quillan {

struct CFillOutcome {
  int m_linesFilled = 0;
  // Empty when the whole file was taken. Otherwise what the caller should
  // show: why the import stopped (file, line number, defect; the strings
  // filled before stay filled), or what it left out (lines past the page).
  std::string m_message;
  bool m_stopped = false; // the import ended early on a defect of the file
};

// The ".dat" strings, each ending with its 0 (a last string cut short by the
// end of the file gets one).
std::vector<EnglishString> ParseScriptFileStrings(std::span<const uint8_t> bytes);
// The ".txt" lines without their line ends; a final line end starts no
// further line.
std::vector<std::vector<uint8_t>> ParseTextLines(std::span<const uint8_t> bytes);

struct CVdrRecord {
  int m_fileLine = 0; // 1-based line of the record line in the file
  long m_page = 0;    // as written
  long m_line = 0;    // as written, counted from 1
  std::vector<uint8_t> m_text;
};
struct CVdrText {
  std::vector<CVdrRecord> m_records;
  std::string m_error; // the defect that ended the parse (file, line number); empty when none
};
// Parses a ".txn" file; name is used in messages. Blank lines where a record
// line is due are passed over.
CVdrText ParseVdrText(std::span<const uint8_t> bytes, std::string_view name);

// The ending code of a decoded entry: its last code before the terminator
// when that is 1, 2 or 3 (the line and bubble ends), otherwise 0.
uint16_t EntryEndingCode(const uint16_t *entry);

// The five commands. Each is refused when no script is open, and the imports
// fail when the file cannot be read; the document is then unchanged. When a
// string changes, m_modified is set; at a normal end the cursor is placed at
// the end of the current entry. (Inside CQuillanDlg call them qualified:
// quillan::FillFromText(*this, path).)
CResult<CFillOutcome> FillFromScriptFile(CTranslationDocument &doc, const std::filesystem::path &path);
CResult<CFillOutcome> FillFromText(CTranslationDocument &doc, const std::filesystem::path &path);
CResult<CFillOutcome> FillFromVdrText(CTranslationDocument &doc, const std::filesystem::path &path);
CResult<CFillOutcome> FillWithNumbers(CTranslationDocument &doc);
CResult<CFillOutcome> FillWithNameAndNumber(CTranslationDocument &doc);

// The same imports on file contents already read (name for messages).
CResult<CFillOutcome> FillFromScriptFileBytes(CTranslationDocument &doc, std::span<const uint8_t> bytes,
                                              std::string_view name);
CResult<CFillOutcome> FillFromTextBytes(CTranslationDocument &doc, std::span<const uint8_t> bytes,
                                        std::string_view name);
CResult<CFillOutcome> FillFromVdrTextBytes(CTranslationDocument &doc, std::span<const uint8_t> bytes,
                                           std::string_view name);

} // namespace quillan
