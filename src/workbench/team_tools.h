#pragma once
// The window's side of team work: File > Export PO... and Import PO..., the
// Suggestions panel's content (translations of identical and similar lines
// of the project, the glossary terms of the entry) and taking a suggestion
// into the current entry.

#include <memory>
#include <string>
#include <vector>

#include "workbench/glossary.h"
#include "workbench/po_exchange.h"
#include "workbench/translation_memory.h"

namespace quillan {

class CQuillanDlg;

inline constexpr int kIdExportPo = 32940;
inline constexpr int kIdImportPo = 32941;

// One row of the Suggestions panel.
struct CSuggestionRow {
  enum class CKind { Exact, Fuzzy, Glossary } m_kind = CKind::Exact;
  int m_number = 0;        // 1-9 for the suggestions Ctrl+1 ... Ctrl+9 take; 0 otherwise
  std::string m_text;      // the translation or the term, in the dump form
  std::string m_detail;    // how often and where, the similarity, the note
  std::string m_japanese;  // fuzzy: the source's Japanese, differing codes in [ ]
  EnglishString m_english; // what a take puts into the entry
};

class CTeamTools {
public:
  explicit CTeamTools(CQuillanDlg &dlg);
  ~CTeamTools();

  // The menu commands; false for other ids.
  bool OnCommand(int id);
  void ExportPoCommand();
  void ImportPoCommand();

  // The rows for the current entry. The memory of the project (every
  // x5*.bin of the working folder) is read the first time and whenever the
  // open script changes; the open script's own text is taken as it is now.
  std::vector<CSuggestionRow> CurrentSuggestions();
  // Ctrl+1 ... Ctrl+9: suggestion number n into the current entry, its
  // ending code replaced by the entry's own as Paste does. False when there
  // is no such suggestion.
  bool TakeSuggestion(int number);

  // Forget the memory (after a save or an outside change).
  void Invalidate() { m_memoryScript.clear(); }
  const CGlossary &Glossary() const { return m_glossary; }
  const CTranslationMemory &Memory() const { return m_memory; }

private:
  void EnsureMemory();
  // The changes as one edit named what.
  void ApplyChanges(std::vector<CImportChange> changes, const std::string &what);

  CQuillanDlg &m_dlg;
  CTranslationMemory m_memory;
  CGlossary m_glossary;
  std::string m_memoryScript;        // the open script the memory was built with
  std::vector<size_t> m_openEntries; // memory index of each entry of the open script
  std::vector<CSuggestionRow> m_rows;
};

} // namespace quillan
