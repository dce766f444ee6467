#include "kanji/kanji_match.h"

#include "core/script_file.h"

#include <cstring>
#include <vector>

#include "core/byte_reader.h"

namespace quillan {

KanjiGlyph ScriptKanjiGlyph(std::span<const uint8_t> script, uint16_t code) { return KanjiGlyphAt(script, code); }

namespace {

constexpr int kScriptKanji = kLastScriptKanjiCode - kFirstKanjiCode + 1; // 1792
constexpr size_t kSlots = 4096;                                          // power of two, over twice kScriptKanji

uint64_t GlyphHash(const KanjiGlyph &glyph) {
  uint64_t words[3];
  std::memcpy(words, glyph.data(), sizeof words);
  uint64_t hash = words[0] * 0x9E3779B97F4A7C15ull;
  hash ^= (words[1] + (hash >> 29)) * 0xC2B2AE3D27D4EB4Full;
  hash ^= (words[2] + (hash >> 31)) * 0x165667B19E3779F9ull;
  return hash ^ (hash >> 32);
}

// One distinct glyph of the script and the records that hold it. Once all of
// them hold the same code, a later kanji with the same glyph needs only that
// code; the records are then written once, at the end of the pass.
struct CGlyphGroup {
  KanjiGlyph m_glyph;
  uint64_t m_hash = 0;
  int32_t m_first = -1, m_last = -1; // chain of records, ascending
  int32_t m_length = 0;
  int32_t m_uniformCode = -1; // the code all its records hold, -1 when unknown
  bool m_pending = false;     // m_uniformCode is not yet written to the records
};

class CGlyphGroups {
public:
  CGlyphGroups(std::span<const uint8_t> script, const CKanjiStore &store) : m_next(store.size(), -1) {
    m_slots.fill(-1);
    m_groups.reserve(kScriptKanji);
    for (int i = 0; i < kScriptKanji; ++i) {
      KanjiGlyph glyph = ScriptKanjiGlyph(script, uint16_t(kFirstKanjiCode + i));
      const uint64_t hash = GlyphHash(glyph);
      size_t slot = hash & (kSlots - 1);
      int16_t group = -1;
      while ((group = m_slots[slot]) >= 0 && !Holds(group, glyph, hash))
        slot = (slot + 1) & (kSlots - 1);
      if (group < 0) {
        group = int16_t(m_groups.size());
        m_slots[slot] = group;
        m_groups.push_back({glyph, hash});
      }
      m_groupOfCode[size_t(i)] = group;
    }
    for (size_t r = 0; r < store.size(); ++r) {
      const KanjiGlyph &glyph = store[r].glyph;
      const uint64_t hash = GlyphHash(glyph);
      for (size_t slot = hash & (kSlots - 1); m_slots[slot] >= 0; slot = (slot + 1) & (kSlots - 1)) {
        if (!Holds(m_slots[slot], glyph, hash)) continue;
        CGlyphGroup &group = m_groups[size_t(m_slots[slot])];
        (group.m_last < 0 ? group.m_first : m_next[size_t(group.m_last)]) = int32_t(r);
        group.m_last = int32_t(r);
        ++group.m_length;
        break;
      }
    }
  }

  CGlyphGroup &OfCode(int i) { return m_groups[size_t(m_groupOfCode[size_t(i)])]; }
  int Next(int record) const { return m_next[size_t(record)]; }
  std::vector<CGlyphGroup> &All() { return m_groups; }

private:
  bool Holds(int16_t group, const KanjiGlyph &glyph, uint64_t hash) const {
    return m_groups[size_t(group)].m_hash == hash && m_groups[size_t(group)].m_glyph == glyph;
  }

  std::array<int16_t, kSlots> m_slots;
  std::array<int16_t, kScriptKanji> m_groupOfCode;
  std::vector<CGlyphGroup> m_groups;
  std::vector<int32_t> m_next; // next record with the same glyph, -1 at the end
};

} // namespace

CKanjiMatchResult MatchKanjiStore(std::span<const uint8_t> script, KanjiCodeBook &book, CKanjiStore &store) {
  CKanjiMatchResult result;
  CGlyphGroups groups(script, store);
  for (int i = 0; i < kScriptKanji; ++i) {
    uint16_t &entry = book[size_t(i)];
    const uint16_t before = entry;
    CGlyphGroup &group = groups.OfCode(i);
    if (group.m_uniformCode >= 0) {
      const uint16_t uniform = uint16_t(group.m_uniformCode);
      if (entry < kFirstIdentifiedCode && uniform >= kFirstIdentifiedCode) entry = uniform;
      if (entry == kCodeBookSpace) entry = uniform; // taken from the first record
      if (entry != kCodeBookSpace && entry != uniform) {
        result.m_recordsChanged += group.m_length;
        group.m_uniformCode = entry;
        group.m_pending = true;
      }
    } else if (group.m_first >= 0) {
      if (entry < kFirstIdentifiedCode) {
        for (int r = group.m_first; r >= 0; r = groups.Next(r)) {
          if (store[size_t(r)].code >= kFirstIdentifiedCode) {
            entry = store[size_t(r)].code;
            break;
          }
        }
      }
      bool uniform = true;
      for (int r = group.m_first; r >= 0; r = groups.Next(r)) {
        KanjiRecord &record = store[size_t(r)];
        if (entry == kCodeBookSpace) {
          entry = record.code;
        } else if (record.code != entry) {
          record.code = entry;
          ++result.m_recordsChanged;
        }
        uniform = uniform && record.code == store[size_t(group.m_first)].code;
      }
      if (uniform) group.m_uniformCode = store[size_t(group.m_first)].code;
    }
    if (entry != before) ++result.m_bookEntriesChanged;
    if (entry >= kFirstIdentifiedCode) ++result.m_identified;
  }
  for (const CGlyphGroup &group : groups.All()) {
    if (!group.m_pending) continue;
    for (int r = group.m_first; r >= 0; r = groups.Next(r))
      store[size_t(r)].code = uint16_t(group.m_uniformCode);
  }
  return result;
}

} // namespace quillan
