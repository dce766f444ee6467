#pragma once
// The game's script file (x5*.bin): header records, the glyph area, the tree
// block, the context table, the text records and the group pointer table.
// Multi-byte numbers are big-endian; pointers are 0x00200000 plus a file
// offset, of which the reader keeps the low 20 bits.
//
// ReadScriptFile checks everything the decoder and the page walk will touch,
// and refuses a malformed file with one message naming the defect, so that an
// opened script can be decoded without ever reading outside its bytes.

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "core/constants.h"
#include "core/result.h"
#include "core/script_decoder.h"

namespace quillan {

using KanjiGlyph = std::array<uint8_t, kKanjiGlyphBytes>;

class CScriptFile {
public:
  // Reads a script from its bytes; name is used in messages.
  static CResult<std::unique_ptr<CScriptFile>> FromBytes(std::vector<uint8_t> bytes, std::string name);
  static CResult<std::unique_ptr<CScriptFile>> Open(const std::string &path);

  const std::string &Name() const { return m_name; }
  std::span<const uint8_t> Bytes() const { return m_bytes; }

  uint32_t m_headerLength = 0;
  uint16_t m_sectionCount = 0;
  std::array<uint32_t, 4> m_sectionOffsets{};
  uint32_t m_treeBlockOffset = 0;
  std::array<uint16_t, kTreeBlockSize> m_treeBlock{};
  std::array<int32_t, kContextTableEntries> m_leafBase{};
  std::array<int32_t, kContextTableEntries> m_treeStart{};
  int m_contextPairs = 0; // pairs the context table gave
  int32_t m_pageCount = 0;
  int32_t m_linesOnLastPage = 0;
  std::vector<uint32_t> m_pagePointers; // as stored

  uint32_t GroupTableOffset() const { return m_sectionOffsets[m_sectionCount - 1u]; }
  uint32_t ContextTableOffset() const { return m_sectionOffsets[m_sectionCount - 2u]; }
  // Entries of a page: 256, the last page's own count on the last page.
  int EntriesOnPage(int page) const { return page == m_pageCount - 1 ? m_linesOnLastPage : kLinesPerPage; }

  // File offset of the length byte of record (page, line): the page's pointer
  // plus the lengths of the records before it, kept to 20 bits at each step.
  uint32_t RecordOffset(int page, int line) const;
  // The record's stream bytes that lie in the file (a record cut short by the
  // end of the file reads the missing bytes as 0xFF, that is, as 1 bits).
  std::span<const uint8_t> RecordStream(int page, int line) const;

  // The entry's codes, decoded through the lookup tables; valid until the
  // next decode. A page outside the script gives an empty entry.
  const uint16_t *DecodeEntry(int page, int line);
  // The same, by the bit walk of the game's decoder.
  const uint16_t *DecodeEntryBitwise(int page, int line);

  // The 24 bytes of kanji code (0x100-0x7FF) at 5872 + 24 * (code - 0x100);
  // bytes past the end of the file read as 0xFF.
  KanjiGlyph KanjiGlyphOf(uint16_t code) const;

  CScriptDecoder &Decoder() { return *m_decoder; }

private:
  CScriptFile() = default;
  CStatus Read();
  CStatus ReadContextTable();
  CStatus CheckTrees() const;
  CStatus ReadPages();

  std::string m_name;
  std::vector<uint8_t> m_bytes;
  std::unique_ptr<CScriptDecoder> m_decoder;
  std::vector<std::array<uint32_t, kLinesPerPage>> m_recordOffsets; // [page][line]
};

// The 24 glyph bytes of kanji code (0x100-0x7FF) in a script's bytes, at
// 5872 + 24 * (code - 0x100); bytes past the end of the file read as 0xFF.
KanjiGlyph KanjiGlyphAt(std::span<const uint8_t> script, uint16_t code);

// The characters of a script's file name from its third on, up to the first
// '.', at most 9 of them: X5ABC.bin gives ABC.
std::string ShortNameOf(const std::string &fileName);
// The file name up to its first '.' (the whole name when it has none).
std::string StemOf(const std::string &fileName);

} // namespace quillan
