#pragma once
// Compress!!!: the English text of a script re-encoded into a replacement
// script file in the game's own layout, read back by the game and by our
// script reader.
//
// The output, with H the header length and F the size of the English font:
//   0      H     header: record 0 points right after it; for H = 48 record 1
//                is 0x002016F0; records n-2 and n-1 point at the context
//                table and the group pointer table (n = H / 12)
//   H      F     the font file tk7-1.fon (H = 36) or tk7-2.fon (H = 48)
//   T      256   LeafSymbolTable: the symbol of each leaf, leftmost first
//   T+256  1     0xFF
//   U      65    CodeTreeShape (U = T + 257)
//   T+322  0-15  0x80, 0x00, ... up to a multiple of 16
//   P      2048  the context table: 256 identical pairs (0x0020 + T & 0xFFFF,
//                0x0020 + U & 0xFFFF)
//   D      R     the text records: a length byte n, then n bytes of code bits
//   D+R    0-3   0x00 up to a multiple of 4
//   Q      4/pg  the group pointer table: 0x00200000 + D + the page's start
// Every other pointer is 0x00200000 plus a file offset, big-endian.

#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "codec/code_table.h"
#include "core/document.h"
#include "core/result.h"

namespace quillan {

// One entry of the encoder's frequency table.
struct CSymbolCount {
  uint8_t m_symbol = 0;
  uint32_t m_count = 0;
};
using CSymbolCounts = std::array<CSymbolCount, kSymbolCount>;

// The layout values and the English text an encoding needs.
struct CEncoderInput {
  std::string m_shortName;     // names the output file; used in messages
  uint32_t m_headerLength = 0; // 36 or 48
  int32_t m_pageCount = 0;
  int32_t m_linesOnLastPage = 0;
  // Element page * 256 + line; strings past the end count as empty.
  std::span<const EnglishString> m_strings;

  int EntriesOnPage(int page) const;
  const EnglishString *StringAt(int page, int line) const;
};

// The elements of an English string that an entry is written with: those
// before its first element whose low byte is 0 (the game cannot hold a 0
// inside a text; the 0 ends it). The terminator is written after them, also
// for a string without one. Save English Text keeps exactly the same.
size_t EntryTextLength(const EnglishString &text);

// Counting: one count per element of every entry (by its low byte), the
// terminator included; not one per emitted byte symbol.
CSymbolCounts CountSymbols(const CEncoderInput &input);
// The lines of the last page past its entries that hold a string (a chunk
// file written by another tool, or kept from an older version of the
// script): each is written as one more record after the entries, in order.
std::vector<int> TrailingLines(const CEncoderInput &input);
// The ranking: the game's exchange sort (for i, for j: swap when count i is
// smaller than count j), which leaves ties in the order it leaves them.
// Afterwards the symbol in sorted position n has rank 255 - n.
void SortSymbolCounts(CSymbolCounts &counts);
// Byte p: the symbol whose rank owns leaf p.
std::array<uint8_t, kSymbolCount> LeafSymbolTable(const CSymbolCounts &sorted);

// The length in bits of each element's code in an encoding of this input:
// the code of its high byte 0, then the code of its low byte, by the ranks
// EncodeEnglishText gives the symbols.
std::array<uint8_t, kSymbolCount> ElementCodeLengths(const CEncoderInput &input);
// The bytes of the record EncodeEnglishText writes for text (its length byte
// not counted; elements from the first whose low byte is 0 on are not
// written), with the element code lengths of the script's encoding.
size_t RecordBytes(std::span<const uint16_t> text, const std::array<uint8_t, kSymbolCount> &lengths);

struct CEncodedScript {
  std::vector<uint8_t> m_bytes;       // the whole file
  std::vector<uint8_t> m_spool;       // the text records with their length bytes (data/enc.bin)
  uint32_t m_treeBlockOffset = 0;     // T
  uint32_t m_contextTableOffset = 0;  // P
  uint32_t m_recordsOffset = 0;       // D
  uint32_t m_groupTableOffset = 0;    // Q
  std::vector<uint32_t> m_pageStarts; // spool bytes before each page's first record
  int m_records = 0;
  std::vector<std::string> m_notes; // strings past the last page's entries
};

// Every line of the script's pages up to the page's entry count (256, or
// m_linesOnLastPage on the last page) becomes exactly one record, an empty
// string an empty entry; after them come the strings of TrailingLines, with
// a note that says so.
// Fails, without producing anything, when a record would be longer than 255
// bytes (all of them are listed: page, line as the window shows it, length),
// when the font would push the code tables past the first 64 KiB, when the
// file would reach 1 MiB, or when the layout values are unusable.
CResult<CEncodedScript> EncodeEnglishText(const CEncoderInput &input, std::span<const uint8_t> font);

// <base>/compress/X5<short name>.bin, <base>/data/enc.bin and the English
// font of a header length: <base>/data/tk7-1.fon (36) or tk7-2.fon (48).
std::filesystem::path CompressedScriptPath(const std::filesystem::path &baseDir, const std::string &shortName);
std::filesystem::path SpoolFilePath(const std::filesystem::path &baseDir);
std::filesystem::path EnglishFontPath(const std::filesystem::path &baseDir, uint32_t headerLength);

// The English font for a header length; fails when the file is missing or
// unreadable or so large that the tables behind it would pass 64 KiB.
CResult<std::vector<uint8_t>> ReadEnglishFont(const std::filesystem::path &baseDir, uint32_t headerLength);

struct CCompressOutcome {
  std::filesystem::path m_output;
  size_t m_bytes = 0;
  int m_pages = 0;
  int m_records = 0;
  std::vector<std::string> m_notes;
};

// Encodes and writes the spool file and the output (each replaced
// atomically; the data and compress folders are created when missing).
CResult<CCompressOutcome> WriteCompressedScript(const CEncoderInput &input, std::span<const uint8_t> font,
                                                const std::filesystem::path &baseDir);

// The command Compress!!! on the open document: its English strings as they
// are in memory, its layout values, <base>/compress/X5<short name>.bin.
// Refused when no script is open. The document is not changed. (Inside
// CQuillanDlg call it qualified: quillan::CompressEnglishText(*this).)
CResult<CCompressOutcome> CompressEnglishText(const CTranslationDocument &doc);

} // namespace quillan
