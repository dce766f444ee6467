#pragma once
// The translation memory of a project: what every entry's Japanese text was
// translated as, so that the workbench can suggest the translations of
// identical lines (most frequent first) and of similar ones (by edit
// distance over the Japanese codes), and fill repeated lines.

#include <cstdint>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/document.h"

namespace quillan {

// One entry of the project: where it is, its Japanese codes (up to, not
// including, its terminator), the key they are compared by (MemoryKey) and
// its English string.
struct CMemoryEntry {
  std::string m_script; // the script's file name
  int m_page = 0, m_line = 0;
  std::vector<uint16_t> m_japanese;
  EnglishString m_english;
  std::vector<uint32_t> m_key;
};

// The Japanese codes as the memory compares them across scripts: a kanji
// code means another character in every script, so an identified kanji
// stands as its character and an unidentified one as its code within its
// script (scriptNumber tells the scripts apart); other codes as they are.
std::vector<uint32_t> MemoryKey(std::span<const uint16_t> codes, const KanjiCodeBook *book, uint32_t scriptNumber);

// Where an entry is, as the commands print it: "NAME P:L".
std::string EntryPlace(const CMemoryEntry &entry);

// The Japanese codes of a decoded entry up to its terminator (0, or a code
// of 0x800 and above whose low byte is 0), at most 600.
std::vector<uint16_t> JapaneseCodes(std::span<const uint16_t> decoded);

// An entry is translated when its English has an element before its first
// element whose low byte is 0; two translations are the same when those
// low bytes are.
bool IsTranslated(const EnglishString &english);
std::string TranslationKey(const EnglishString &english);

inline constexpr int kFuzzyThresholdPercent = 75;

struct CSuggestion {
  bool m_exact = false;
  int m_percent = 100;              // similarity of the Japanese texts
  EnglishString m_english;          // the translation, with its terminator
  std::vector<size_t> m_sources;    // entries translated so, first found first
  std::vector<bool> m_differs;      // fuzzy: codes of the source's Japanese that differ
  std::vector<uint16_t> m_japanese; // fuzzy: the source's Japanese codes
};

using CMemoryKeyView = std::span<const uint32_t>;

// Similarity in percent: 100 * (1 - distance / longer length), rounded down;
// 100 for two empty texts.
int SimilarityPercent(CMemoryKeyView a, CMemoryKeyView b);
// The edit distance, and which codes of b are not matched in a cheapest
// alignment with a.
size_t EditDistance(CMemoryKeyView a, CMemoryKeyView b, std::vector<bool> *differsInB = nullptr);

class CTranslationMemory {
public:
  void Clear();
  // Adds an entry (its m_key made from its codes when empty, as for one
  // script without a code book); returns its index.
  size_t Add(CMemoryEntry entry);
  // Replaces the English of an entry (after an edit or a save).
  void SetEnglish(size_t index, EnglishString english);

  const CMemoryEntry &Entry(size_t index) const { return m_entries[index]; }
  size_t Size() const { return m_entries.size(); }
  // The index of the entry (script, page, line), or npos.
  size_t Find(const std::string &script, int page, int line) const;
  static constexpr size_t npos = size_t(-1);

  // The entries with exactly these Japanese codes.
  const std::vector<size_t> &SameJapanese(CMemoryKeyView key) const;

  // Suggestions for an entry with these Japanese codes (self, when it is in
  // the memory, is left out): the translations of identical texts, most
  // frequent first, then those of texts at least 75 % alike, best first
  // (at most maxFuzzy of them).
  std::vector<CSuggestion> Suggest(CMemoryKeyView key, size_t self = npos, size_t maxFuzzy = 20) const;

private:
  struct CText {
    std::vector<uint32_t> m_codes; // the key
    std::vector<size_t> m_entries;
  };
  static std::u32string Key(CMemoryKeyView key) { return {key.begin(), key.end()}; }

  std::vector<CMemoryEntry> m_entries;
  std::vector<size_t> m_textOfEntry;
  std::vector<CText> m_texts; // the distinct Japanese texts
  std::unordered_map<std::u32string, size_t> m_textIndex;
  std::unordered_map<std::string, std::vector<size_t>> m_byScript; // page * 256 + line -> entry
};

} // namespace quillan
