#pragma once
// Writes valid game script files for tests, benchmarks, the fuzz seed corpus
// and the demo workspace. It is an encoder of its own, independent of the
// program's reader and of its fixed-tree encoder: every context gets its own
// Huffman tree built from the text it encodes, so readers are exercised with
// the variety the game's files show.

#include <array>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace quillan::testing {

using CKanjiBitmap = std::array<uint8_t, 24>;

// One entry: its codes, the terminating code included (the builder adds
// nothing). An entry without a terminator runs to 600 codes when decoded.
using CEntryCodes = std::vector<uint16_t>;

enum class CTreeShape {
  Huffman,    // a Huffman tree per context from the byte counts
  Unbalanced, // deliberately deep, one-sided trees (a chain of inner nodes)
};

struct CScriptSpec {
  uint32_t m_headerLength = 48; // 36 or 48
  std::vector<std::vector<CEntryCodes>> m_pages;
  CTreeShape m_shape = CTreeShape::Huffman;
  // 48-byte headers only: put words 00 21 xx xx between the pairs of the
  // context table, which the reader must skip.
  bool m_skipWords = false;
  // Zero bytes between the last text record and the group pointer table.
  size_t m_zeroPadding = 0;
  // Glyphs of the kanji codes 0x100, 0x101, ...; the glyph area always spans
  // offsets 5872 up to at least the last glyph given.
  std::vector<CKanjiBitmap> m_kanjiGlyphs;
  // Fill bits after the last code of a record: 0 or 1 bits.
  bool m_fillWithOnes = false;
};

struct CBuiltScript {
  std::vector<uint8_t> m_bytes;
  // File offsets of the parts, for tests that corrupt a file on purpose.
  uint32_t m_treeBlockOffset = 0;
  uint32_t m_contextTableOffset = 0;
  uint32_t m_groupTableOffset = 0;
  std::vector<uint32_t> m_pageOffsets;
  // The code (bit string of '0' and '1') of each symbol in each context that
  // occurs; an empty string for a single-leaf context.
  std::vector<std::vector<std::string>> m_codes; // [context][symbol]
};

// Builds the file; throws std::runtime_error when the spec cannot be written
// (trees beyond the 4096-byte block, a record longer than 255 bytes).
CBuiltScript BuildScript(const CScriptSpec &spec);

// A pseudo-random but deterministic spec: kana, ASCII, control codes with
// their arguments, kanji, entry terminators of the game (0x0000, 0x0800,
// 0xff00 and others), 1 to maxPages pages, the last page short.
CScriptSpec RandomScriptSpec(uint32_t seed, int maxPages = 16);

} // namespace quillan::testing
