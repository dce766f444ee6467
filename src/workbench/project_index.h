#pragma once
// The project: every script of the working folder at once, decoded and with
// its English text, for the questions asked of the whole game (how far the
// translation is, where a text occurs, which lines break in the game).
//
// Each script keeps, per entry, the Japanese codes before the terminator,
// the Japanese and the English text in the dump form (see core/text_rules.h)
// and the English string itself. The dump texts of a script lie in one
// buffer each, one entry per line, with a case-folded copy beside it, so that
// a search runs over a few large buffers instead of many small strings.
//
// Building decodes every entry and is done once (off the window's thread);
// after a save, UpdateEnglish replaces one script's English side without
// decoding anything again.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "cdimage/progress.h"
#include "core/document.h"
#include "core/result.h"
#include "core/text_rules.h"

namespace quillan {

// One entry of an indexed script; the offsets point into the script's
// buffers.
struct CIndexedEntry {
  int32_t m_page = 0;
  int32_t m_line = 0;
  uint32_t m_codeBegin = 0, m_codeCount = 0; // Japanese codes, terminator excluded
  uint32_t m_jaBegin = 0, m_jaLength = 0;    // Japanese dump text
  uint32_t m_enBegin = 0, m_enLength = 0;    // English dump text
  bool m_translated = false;                 // the English has an element before its first 0
};

// Entries and translated entries of a page, a script or the project.
struct CProgressCount {
  int m_entries = 0;
  int m_translated = 0;
  // The share in tenths of a percent, rounded down, so that 100.0 means
  // every entry is done.
  int PerMille() const { return m_entries > 0 ? int(int64_t(m_translated) * 1000 / m_entries) : 0; }
  // "37.5"
  std::string PercentText() const;
};

class CIndexedScript {
public:
  std::string m_name; // the file name, x5ABC.bin
  std::filesystem::path m_path;
  std::string m_shortName; // ABC
  uint32_t m_headerLength = 0;
  int m_pageCount = 0;
  int m_linesOnLastPage = 0;
  KanjiCodeBook m_codeBook{};
  bool m_haveCodeBook = false;

  int EntryCount() const { return int(m_entries.size()); }
  const CIndexedEntry &Entry(int index) const { return m_entries[size_t(index)]; }
  // The index of entry (page, line), or -1 when the script has no such entry.
  int EntryIndex(int page, int line) const;
  int EntriesOnPage(int page) const;

  std::span<const uint16_t> JapaneseCodes(int index) const;
  std::string_view JapaneseDump(int index) const;
  std::string_view EnglishDump(int index) const;
  const EnglishString &English(int index) const;
  // Element page * 256 + line, as the document holds them.
  const std::vector<EnglishString> &EnglishStrings() const { return m_english; }

  // The dump buffers: entry after entry, each followed by '\n'; the folded
  // ones have ASCII and full-width capitals made small, byte for byte the
  // same length as the originals.
  const std::string &JapaneseText(bool folded) const { return folded ? m_jaFolded : m_jaText; }
  const std::string &EnglishText(bool folded) const { return folded ? m_enFolded : m_enText; }

  CProgressCount Progress() const { return m_progress; }
  CProgressCount PageProgress(int page) const;

private:
  friend class CProjectIndex;
  friend CResult<std::unique_ptr<CIndexedScript>> IndexScript(const std::filesystem::path &baseDir,
                                                              const std::filesystem::path &path);
  void SetEnglish(std::vector<EnglishString> strings);
  void RebuildJapaneseDumps();

  std::vector<CIndexedEntry> m_entries;
  std::vector<int> m_pageFirst; // index of each page's first entry
  std::vector<uint16_t> m_codes;
  std::vector<EnglishString> m_english;
  std::string m_jaText, m_jaFolded, m_enText, m_enFolded;
  // Worked out with the Japanese dumps, so that the index's grouping does
  // not have to: each entry's group key hash and whether it has kanji the
  // code book does not know, and the script's longest line and most lines.
  std::vector<size_t> m_jaHash;
  std::vector<uint8_t> m_unknownKanji;
  int m_maxColumns = 0, m_maxLines = 0;
  std::vector<CProgressCount> m_pageProgress;
  CProgressCount m_progress;
};

// An entry of the project: script index and entry index.
struct CEntryRef {
  int m_script = -1;
  int m_entry = -1;
  friend bool operator==(const CEntryRef &, const CEntryRef &) = default;
};

// Reading one script for the index: the script file, its code book (read,
// never created) and its chunk files below baseDir. A missing chunk file
// leaves its page untranslated; one that exists but cannot be read fails the
// script.
CResult<std::unique_ptr<CIndexedScript>> IndexScript(const std::filesystem::path &baseDir,
                                                     const std::filesystem::path &path);

// The scripts of a project: those named, or else every x5*.bin (any letter
// case) directly in baseDir, in file name order. Named scripts are taken as
// given, relative to the current folder.
std::vector<std::filesystem::path> ProjectScripts(const std::filesystem::path &baseDir,
                                                  const std::vector<std::string> &named);

class CProjectIndex {
public:
  // Indexes the scripts in order. A script that cannot be read is left out
  // and its error kept in Errors(); progress counts scripts (step "index").
  // Fails only when the callback cancels.
  CStatus Build(const std::filesystem::path &baseDir, const std::vector<std::filesystem::path> &scripts,
                const CProgressCallback &progress = {});

  const std::filesystem::path &BaseDir() const { return m_baseDir; }
  int ScriptCount() const { return int(m_scripts.size()); }
  const CIndexedScript &Script(int index) const { return *m_scripts[size_t(index)]; }
  // The index of the script with this file name, or -1.
  int FindScript(std::string_view name) const;
  const std::vector<CError> &Errors() const { return m_errors; }

  CProgressCount Progress() const;

  // After a save: the script's new English strings (element page * 256 +
  // line) and code book. False when the index has no script of that name.
  bool UpdateEnglish(std::string_view name, const std::vector<EnglishString> &strings, const KanjiCodeBook *book);

  // Entries whose Japanese text is identical, for the consistency check and
  // for reuse of translations: the key of an entry (see JapaneseKey) to the
  // entries that share it, in script, page, line order.
  std::span<const CEntryRef> SameJapanese(const CEntryRef &entry) const;
  // The same as groups: each entry belongs to one group of equal Japanese
  // text, numbered from 0; -1 for an entry the index does not have.
  int JapaneseGroup(const CEntryRef &entry) const;
  int GroupCount() const { return int(m_groupStart.size()) - 1; }
  std::span<const CEntryRef> GroupMembers(int group) const {
    return std::span<const CEntryRef>(m_members).subspan(m_groupStart[size_t(group)],
                                                         m_groupStart[size_t(group) + 1] - m_groupStart[size_t(group)]);
  }
  // The key: the Japanese dump text; an entry with kanji its script's code
  // book does not know is only compared within its own script, since the
  // same kanji code stands for different characters in different scripts.
  std::string JapaneseKey(const CEntryRef &entry) const;

  // The largest line length and lines per bubble of any Japanese entry
  // (as the overflow check measures them).
  int MaxJapaneseColumns() const { return m_maxColumns; }
  int MaxJapaneseLines() const { return m_maxLines; }

private:
  void Rebuild();

  std::filesystem::path m_baseDir;
  std::vector<std::unique_ptr<CIndexedScript>> m_scripts;
  std::vector<CError> m_errors;
  std::vector<std::vector<uint32_t>> m_groupOf; // [script][entry] -> its group
  std::vector<uint32_t> m_groupStart{0};        // group g: m_members[m_groupStart[g], m_groupStart[g + 1])
  std::vector<CEntryRef> m_members;
  int m_maxColumns = 0, m_maxLines = 0;
};

// ASCII and full-width Latin capitals made small in UTF-8 text; the length
// stays the same.
void FoldCaseInPlace(std::string &text);
std::string FoldCase(std::string_view text);

} // namespace quillan
