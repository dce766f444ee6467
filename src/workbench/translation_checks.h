#pragma once
// The translation checks: findings about entries whose English will break in
// the game (wrong endings, lost placeholders, records too long for the game,
// glyphs the font lacks, text that overflows a bubble) or that look unfinished
// (untranslated, inconsistent with an earlier translation of the same text,
// stray spaces).
//
// Each check is one function in the table of Checks(); a new check is a
// function and a row there. The checks read the project index; the open
// document's English may stand in for its script's indexed text, so that
// the window checks what the translator sees.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "codec/code_table.h"
#include "workbench/glossary.h"
#include "workbench/project_index.h"

namespace quillan {

enum class CSeverity { Warning, Error };
const char *SeverityName(CSeverity severity); // "warning", "error"

struct CFinding {
  int m_script = 0;
  int m_page = 0;
  int m_line = 0;
  CSeverity m_severity = CSeverity::Warning;
  const char *m_check = ""; // the check's id
  std::string m_message;
};

// The settings of the overflow check: max-columns and max-lines of
// quillan.conf, by default the longest line and the most lines per bubble of
// the project's Japanese text. A limit of 0 or less checks nothing.
struct CCheckLimits {
  int m_maxColumns = 0;
  int m_maxLines = 0;
};
CCheckLimits ReadCheckLimits(const CProjectIndex &index);

// What the checks of one script need beyond its entries: the code lengths of
// its encoding and its English font.
struct CScriptCheckData {
  std::array<uint8_t, kSymbolCount> m_codeLengths{};
  std::vector<uint8_t> m_font; // empty when the font cannot be read
  size_t m_recordSize = 0;
  std::string m_fontName;
};

// One entry as the checks see it.
struct CCheckedEntry {
  CEntryRef m_ref;
  int m_page = 0;
  int m_line = 0;
  std::span<const uint16_t> m_japanese; // before the terminator
  std::span<const uint16_t> m_english;  // before the first 0
};

class CProjectChecker;

// What a check may look at besides the entry.
struct CCheckContext {
  const CProjectChecker &m_checker;
  const CScriptCheckData &m_data;
  // The reference entry of each group of equal Japanese text, when the
  // caller worked them out for a whole run; otherwise nullptr.
  const std::vector<CEntryRef> *m_references = nullptr;
};

// A check adds one message per finding to messages.
struct CCheckDef {
  const char *m_id;
  CSeverity m_severity;
  void (*m_run)(const CCheckContext &context, const CCheckedEntry &entry, std::vector<std::string> &messages);
};
std::span<const CCheckDef> Checks();

class CProjectChecker {
public:
  CProjectChecker(const CProjectIndex &index, CCheckLimits limits);

  // The open document's English strings (element page * 256 + line) in
  // place of the indexed ones of script; nullptr goes back to the index.
  void SetLiveEnglish(int script, const std::vector<EnglishString> *strings);

  // Code lengths and font for a script (from the live English when set).
  CScriptCheckData Prepare(int script) const;
  // Only the code lengths again, after the live English changed.
  void RefreshCodeLengths(int script, CScriptCheckData &data) const;

  // The findings of one entry, in the order of the check table.
  void CheckEntry(const CEntryRef &ref, const CScriptCheckData &data, std::vector<CFinding> &out) const;
  // The findings of a script, in page, line order.
  std::vector<CFinding> CheckScript(int script) const;
  std::vector<CFinding> CheckScript(int script, const CScriptCheckData &data) const;
  // The findings of every script, in script, page, line order; progress
  // counts scripts (step "check"). Stops early when the callback cancels.
  std::vector<CFinding> CheckProject(const CProgressCallback &progress = {}) const;

  // For the checks.
  const CProjectIndex &Index() const { return m_index; }
  const CCheckLimits &Limits() const { return m_limits; }
  // The project's data/glossary.txt, read when the checker is made; its
  // problems (malformed lines) are for the caller to show.
  const CGlossary &Glossary() const { return m_glossary; }
  std::span<const uint16_t> EnglishOf(const CEntryRef &ref) const;
  // The first translated entry with the same Japanese text (in script, page,
  // line order), or an empty reference; from the context's table when it has
  // one.
  CEntryRef ReferenceOf(const CCheckContext &context, const CEntryRef &ref) const;
  // That reference for every group.
  std::vector<CEntryRef> References() const;

private:
  void CheckEntry(const CCheckContext &context, const CEntryRef &ref, std::vector<CFinding> &out) const;

  const CProjectIndex &m_index;
  CCheckLimits m_limits;
  CGlossary m_glossary;
  int m_liveScript = -1;
  const std::vector<EnglishString> *m_live = nullptr;
};

} // namespace quillan
