#pragma once
// The recovery journal: the unsaved English text and code book of one script,
// written beside the working folder's other files a moment after each change,
// so that a crash or a power loss costs at most those seconds of work.
//
//   <base>/recovery/<short name>.journal
//
// Layout (numbers big-endian, no padding):
//   "QJNL"  magic
//   u32     format version, 1
//   u32     length of the script's file name, then its bytes ("X5ABC.bin")
//   u32     number of strings written, then for each:
//             u32 index (page * 256 + line), u32 element count, u16 elements
//           (only strings with elements are written; the others are empty)
//   u32     number of code book entries (2048), then u16 each
// The file is replaced atomically each time, never appended to.

#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/document.h"
#include "core/result.h"

namespace quillan {

struct CJournal {
  std::string m_scriptFileName;
  std::vector<EnglishString> m_strings; // by index, as many as the highest written
  KanjiCodeBook m_codeBook{};
};

// The journal of the script open in the document, and where it lives.
std::filesystem::path JournalPath(const CTranslationDocument &doc);
std::vector<uint8_t> JournalBytes(const CTranslationDocument &doc);
// Reads a journal; name is used in messages. Refuses a damaged file whole.
CResult<CJournal> ParseJournal(std::span<const uint8_t> bytes, std::string_view name);

} // namespace quillan
