#include "workbench/translation_memory.h"

#include <algorithm>
#include <map>
#include <string>

namespace quillan {

std::string EntryPlace(const CMemoryEntry &entry) {
  return entry.m_script + " " + std::to_string(entry.m_page) + ":" + std::to_string(entry.m_line);
}

std::vector<uint16_t> JapaneseCodes(std::span<const uint16_t> decoded) {
  std::vector<uint16_t> out;
  for (size_t i = 0; i < decoded.size() && i < size_t(kEntryCapacity); ++i) {
    uint16_t code = decoded[i];
    if (code == 0 || (code >= 0x800 && (code & 0xFF) == 0)) break;
    out.push_back(code);
  }
  return out;
}

std::vector<uint32_t> MemoryKey(std::span<const uint16_t> codes, const KanjiCodeBook *book, uint32_t scriptNumber) {
  std::vector<uint32_t> key;
  key.reserve(codes.size());
  for (uint16_t code : codes) {
    if (code < 0x100 || code > 0x7FF) {
      key.push_back(code);
    } else if (uint16_t c = book ? (*book)[size_t(code - 0x100)] : 0; c >= 256) {
      key.push_back(0x10000u + c);
    } else {
      key.push_back(0x1000000u + scriptNumber * 0x800u + code);
    }
  }
  return key;
}

bool IsTranslated(const EnglishString &english) { return !english.empty() && (english[0] & 0xFF) != 0; }

// A string rather than a vector of bytes: as a map key, the vector trips a
// false -Wstringop-overread of GCC 12 at -O3.
std::string TranslationKey(const EnglishString &english) {
  std::string key;
  for (uint16_t e : english) {
    if ((e & 0xFF) == 0) break;
    key.push_back(char(uint8_t(e)));
  }
  return key;
}

size_t EditDistance(CMemoryKeyView a, CMemoryKeyView b, std::vector<bool> *differsInB) {
  const size_t n = a.size(), m = b.size();
  if (!differsInB) {
    std::vector<size_t> row(m + 1);
    for (size_t j = 0; j <= m; ++j)
      row[j] = j;
    for (size_t i = 1; i <= n; ++i) {
      size_t diagonal = row[0];
      row[0] = i;
      for (size_t j = 1; j <= m; ++j) {
        size_t up = row[j];
        row[j] = std::min({up + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
        diagonal = up;
      }
    }
    return row[m];
  }
  // The whole table, to walk a cheapest alignment back.
  std::vector<size_t> d((n + 1) * (m + 1));
  auto at = [&](size_t i, size_t j) -> size_t & { return d[i * (m + 1) + j]; };
  for (size_t i = 0; i <= n; ++i)
    at(i, 0) = i;
  for (size_t j = 0; j <= m; ++j)
    at(0, j) = j;
  for (size_t i = 1; i <= n; ++i)
    for (size_t j = 1; j <= m; ++j)
      at(i, j) = std::min({at(i - 1, j) + 1, at(i, j - 1) + 1, at(i - 1, j - 1) + (a[i - 1] == b[j - 1] ? 0 : 1)});
  differsInB->assign(m, true);
  size_t i = n, j = m;
  while (i > 0 && j > 0) {
    if (a[i - 1] == b[j - 1] && at(i, j) == at(i - 1, j - 1)) {
      (*differsInB)[j - 1] = false;
      --i, --j;
    } else if (at(i, j) == at(i - 1, j - 1) + 1) {
      --i, --j;
    } else if (at(i, j) == at(i, j - 1) + 1) {
      --j;
    } else {
      --i;
    }
  }
  return at(n, m);
}

int SimilarityPercent(CMemoryKeyView a, CMemoryKeyView b) {
  size_t longer = std::max(a.size(), b.size());
  if (longer == 0) return 100;
  return int(100 * (longer - EditDistance(a, b)) / longer);
}

void CTranslationMemory::Clear() {
  m_entries.clear();
  m_textOfEntry.clear();
  m_texts.clear();
  m_textIndex.clear();
  m_byScript.clear();
}

size_t CTranslationMemory::Add(CMemoryEntry entry) {
  size_t index = m_entries.size();
  if (entry.m_key.empty()) entry.m_key = MemoryKey(entry.m_japanese, nullptr, 0);
  auto [it, added] = m_textIndex.try_emplace(Key(entry.m_key), m_texts.size());
  if (added) m_texts.push_back({entry.m_key, {}});
  m_texts[it->second].m_entries.push_back(index);
  m_textOfEntry.push_back(it->second);
  auto &places = m_byScript[entry.m_script];
  size_t slot = size_t(entry.m_page * kLinesPerPage + entry.m_line);
  if (places.size() <= slot) places.resize(slot + 1, npos);
  places[slot] = index;
  m_entries.push_back(std::move(entry));
  return index;
}

void CTranslationMemory::SetEnglish(size_t index, EnglishString english) {
  m_entries[index].m_english = std::move(english);
}

size_t CTranslationMemory::Find(const std::string &script, int page, int line) const {
  auto it = m_byScript.find(script);
  size_t slot = size_t(page * kLinesPerPage + line);
  if (it == m_byScript.end() || page < 0 || line < 0 || slot >= it->second.size()) return npos;
  return it->second[slot];
}

const std::vector<size_t> &CTranslationMemory::SameJapanese(CMemoryKeyView key) const {
  static const std::vector<size_t> none;
  auto it = m_textIndex.find(Key(key));
  return it == m_textIndex.end() ? none : m_texts[it->second].m_entries;
}

std::vector<CSuggestion> CTranslationMemory::Suggest(CMemoryKeyView japanese, size_t self, size_t maxFuzzy) const {
  std::vector<CSuggestion> out;
  // Identical texts: one suggestion per distinct translation.
  std::map<std::string, size_t> byTranslation;
  for (size_t index : SameJapanese(japanese)) {
    if (index == self || !IsTranslated(m_entries[index].m_english)) continue;
    auto [it, added] = byTranslation.try_emplace(TranslationKey(m_entries[index].m_english), out.size());
    if (added) {
      CSuggestion s;
      s.m_exact = true;
      s.m_english = m_entries[index].m_english;
      out.push_back(std::move(s));
    }
    out[it->second].m_sources.push_back(index);
  }
  std::stable_sort(out.begin(), out.end(),
                   [](const CSuggestion &a, const CSuggestion &b) { return a.m_sources.size() > b.m_sources.size(); });
  if (japanese.empty() || maxFuzzy == 0) return out;

  // Similar texts. A text can only be 75 % alike when its length is within
  // bounds and it shares enough codes (the edit distance is at least the
  // longer length minus the codes both have); only then is it measured.
  const size_t n = japanese.size();
  // Counts by the key's low 16 bits: two keys sharing a slot only make the
  // bound looser, never wrong.
  thread_local std::vector<uint16_t> counts(0x10000, 0);
  for (uint32_t c : japanese)
    ++counts[c & 0xFFFF];
  struct CHit {
    size_t m_text;
    int m_percent;
  };
  std::vector<CHit> hits;
  std::vector<uint32_t> taken;
  for (size_t t = 0; t < m_texts.size(); ++t) {
    const CText &text = m_texts[t];
    const size_t m = text.m_codes.size();
    const size_t longer = std::max(n, m);
    if (m == 0 || (std::min(n, m) * 100 < longer * kFuzzyThresholdPercent)) continue;
    size_t shared = 0;
    taken.clear();
    for (uint32_t c : text.m_codes)
      if (counts[c & 0xFFFF] > 0) {
        --counts[c & 0xFFFF];
        taken.push_back(c);
      }
    shared = taken.size();
    for (uint32_t c : taken)
      ++counts[c & 0xFFFF];
    if (shared * 100 < longer * kFuzzyThresholdPercent) continue;
    if (m == n && std::equal(text.m_codes.begin(), text.m_codes.end(), japanese.begin())) continue;
    bool anyTranslated = false;
    for (size_t index : text.m_entries)
      anyTranslated |= index != self && IsTranslated(m_entries[index].m_english);
    if (!anyTranslated) continue;
    int percent = int(100 * (longer - EditDistance(japanese, text.m_codes)) / longer);
    if (percent >= kFuzzyThresholdPercent) hits.push_back({t, percent});
  }
  for (uint32_t c : japanese)
    counts[c & 0xFFFF] = 0;
  std::stable_sort(hits.begin(), hits.end(), [](const CHit &a, const CHit &b) { return a.m_percent > b.m_percent; });

  size_t fuzzy = 0;
  for (const CHit &hit : hits) {
    const CText &text = m_texts[hit.m_text];
    std::map<std::string, size_t> seen;
    std::vector<bool> differs;
    EditDistance(japanese, text.m_codes, &differs);
    for (size_t index : text.m_entries) {
      if (index == self || !IsTranslated(m_entries[index].m_english)) continue;
      auto [it, added] = seen.try_emplace(TranslationKey(m_entries[index].m_english), out.size());
      if (added) {
        if (fuzzy == maxFuzzy) break;
        ++fuzzy;
        CSuggestion s;
        s.m_percent = hit.m_percent;
        s.m_english = m_entries[index].m_english;
        s.m_japanese = m_entries[index].m_japanese;
        s.m_differs = differs;
        out.push_back(std::move(s));
      }
      out[it->second].m_sources.push_back(index);
    }
    if (fuzzy == maxFuzzy) break;
  }
  return out;
}

} // namespace quillan
