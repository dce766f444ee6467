#include "kanji/kanji_match.h"

#include <cstring>

#include "core/byte_reader.h"

namespace quillan {

KanjiGlyph ScriptKanjiGlyph(std::span<const uint8_t> script, uint16_t code) {
  KanjiGlyph glyph;
  CByteReader reader(script);
  const size_t offset = kKanjiGlyphArea + kKanjiGlyphBytes * size_t(code - kFirstKanjiCode);
  for (size_t i = 0; i < kKanjiGlyphBytes; ++i)
    glyph[i] = reader.U8Or(offset + i, kBlankGlyphByte);
  return glyph;
}

uint64_t CKanjiGlyphIndex::Hash(const KanjiGlyph &glyph) {
  uint64_t words[3];
  std::memcpy(words, glyph.data(), sizeof words);
  uint64_t hash = words[0] * 0x9E3779B97F4A7C15ull;
  hash ^= (words[1] + (hash >> 29)) * 0xC2B2AE3D27D4EB4Full;
  hash ^= (words[2] + (hash >> 31)) * 0x165667B19E3779F9ull;
  return hash ^ (hash >> 32);
}

CKanjiGlyphIndex::CKanjiGlyphIndex(const CKanjiStore &store) : m_store(store) {
  size_t capacity = 1;
  while (capacity < 2 * store.size())
    capacity <<= 1;
  m_mask = capacity - 1;
  m_slots.assign(capacity, -1);
  m_next.assign(store.size(), -1);
  std::vector<int32_t> tails(capacity, -1);
  for (size_t index = 0; index < store.size(); ++index) {
    const KanjiGlyph &glyph = store[index].glyph;
    size_t slot = Hash(glyph) & m_mask;
    while (m_slots[slot] >= 0 && store[size_t(m_slots[slot])].glyph != glyph)
      slot = (slot + 1) & m_mask;
    if (m_slots[slot] < 0) {
      m_slots[slot] = int32_t(index);
    } else {
      m_next[size_t(tails[slot])] = int32_t(index);
    }
    tails[slot] = int32_t(index);
  }
}

int CKanjiGlyphIndex::First(const KanjiGlyph &glyph) const {
  size_t slot = Hash(glyph) & m_mask;
  while (m_slots[slot] >= 0) {
    if (m_store[size_t(m_slots[slot])].glyph == glyph) return m_slots[slot];
    slot = (slot + 1) & m_mask;
  }
  return -1;
}

CKanjiMatchResult MatchKanjiStore(std::span<const uint8_t> script, KanjiCodeBook &book, CKanjiStore &store) {
  CKanjiMatchResult result;
  CKanjiGlyphIndex index(store);
  for (uint32_t code = kFirstKanjiCode; code <= kLastScriptKanjiCode; ++code) {
    const KanjiGlyph glyph = ScriptKanjiGlyph(script, uint16_t(code));
    uint16_t &entry = book[code - kFirstKanjiCode];
    const uint16_t before = entry;
    const int first = index.First(glyph);
    if (entry < kFirstIdentifiedCode) {
      for (int r = first; r >= 0; r = index.Next(r)) {
        if (store[size_t(r)].code >= kFirstIdentifiedCode) {
          entry = store[size_t(r)].code;
          break;
        }
      }
    }
    for (int r = first; r >= 0; r = index.Next(r)) {
      KanjiRecord &record = store[size_t(r)];
      if (entry == kCodeBookSpace) {
        entry = record.code;
      } else if (record.code != entry) {
        record.code = entry;
        ++result.m_recordsChanged;
      }
    }
    if (entry != before) ++result.m_bookEntriesChanged;
    if (entry >= kFirstIdentifiedCode) ++result.m_identified;
  }
  return result;
}

} // namespace quillan
