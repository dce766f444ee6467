#pragma once
// The per-script code book: for each kanji code 0x100 + i of a script, entry
// i holds the UTF-16 unit of the character it stands for. An entry of 256 or
// more is identified; 0x0020 (a space) means nothing entered yet.
//
// The file data/kanjiCB/<short name>.kcb is text: one unsigned decimal number
// per line, CR LF line ends. A save writes exactly 2048 lines; a book created
// for a script that had none holds 10000 lines "32". Reading takes the first
// 2048 numbers.

#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "core/result.h"
#include "core/text_rules.h" // KanjiCodeBook

namespace quillan {

inline constexpr uint16_t kCodeBookSpace = 0x0020;
inline constexpr int kNewCodeBookLines = 10000;

// 2048 spaces: the book of a script before anything is identified.
KanjiCodeBook BlankCodeBook();

// data/kanjiCB/<shortName>.kcb below the working folder.
std::filesystem::path CodeBookPath(const std::filesystem::path &baseDir, std::string_view shortName);

struct CCodeBookLoad {
  KanjiCodeBook m_book = BlankCodeBook();
  // The script had no code book: the file was created (10000 lines "32")
  // and m_book holds spaces.
  bool m_created = false;
  // What was wrong (a missing book that could not be created, a file with
  // fewer than 2048 numbers or a line that is not a number); empty when all
  // is well.
  std::string m_warning;
  // The file exists and did not load cleanly (m_warning says why): saving
  // the book would replace what could not be read, so it is never written
  // back without the user's word.
  bool m_damaged = false;
};

// Reads a code book's text; entries it does not hold are spaces.
CCodeBookLoad ParseCodeBook(std::span<const uint8_t> text, std::string_view name);

// The text SaveCodeBook writes: 2048 lines "%u" CR LF.
std::string FormatCodeBook(const KanjiCodeBook &book);

// Loads the code book at path. The result never carries the previous
// script's values: a missing file gives 2048 spaces and is created. Fails
// only when the file exists but cannot be read; the caller should then start
// from BlankCodeBook().
CResult<CCodeBookLoad> LoadCodeBook(const std::filesystem::path &path);

// Writes the 2048 entries, replacing the file atomically; a missing folder
// is created.
CStatus SaveCodeBook(const KanjiCodeBook &book, const std::filesystem::path &path);

} // namespace quillan
