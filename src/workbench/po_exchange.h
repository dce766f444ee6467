#pragma once
// A script's text as a gettext PO file, for the tools a team translates with
// (translation servers, PO editors), and the translations brought back.
//
// One message per entry whose Japanese text is not empty: msgctxt "P:L"
// (page and line from 0), msgid the Japanese text in the dump form
// (core/text_rules.h), msgstr the English text in the same form, empty while
// untranslated. Every message carries a placeholder flag that names the
// control code markers {01}-{1f}, so that a translation server's
// placeholder check guards each control code.

#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/document.h"
#include "core/result.h"
#include "workbench/po_file.h"

namespace quillan {

// The "#, " flag of every exported message.
extern const char kMarkerPlaceholderFlag[];

// <base>/po/<short name>.po
std::filesystem::path DefaultPoPath(const std::filesystem::path &baseDir, const std::string &shortName);

// English text in the dump form back to elements (no terminator): {01}-{1f}
// give the control codes, {7b} the character '{', the text between goes
// through MapTextToGame. m_error names the first thing that cannot be
// taken (an unknown marker, a '{' that opens none, characters the game
// cannot show); the elements are then incomplete.
struct CEnglishParse {
  std::vector<uint16_t> m_elements;
  std::string m_error;
};
CEnglishParse ParseEnglishDumpText(std::string_view text);

// Whether msgid is the dump form of the entry with this code book, where a
// kanji the book now identifies may still stand as its {kXXXX} marker (the
// file was exported before it was identified).
bool MatchesJapaneseText(std::string_view msgid, std::span<const uint16_t> entry, const KanjiCodeBook *book);

// The catalog of the open script (header: its name, Language: en, UTF-8).
CPoCatalog ExportPoCatalog(CTranslationDocument &doc, const KanjiCodeBook *book);

enum class CImportOutcome { Imported, Unchanged, Skipped, Refused };

struct CImportLine {
  int m_page = -1, m_line = -1; // -1 when the msgctxt names no entry
  std::string m_context;
  CImportOutcome m_outcome = CImportOutcome::Skipped;
  std::string m_reason;
};

struct CImportChange {
  int m_page = 0, m_line = 0;
  EnglishString m_text; // with its terminating 0
};

struct CPoImportPlan {
  std::vector<CImportLine> m_lines; // every message taken up, in file order
  std::vector<CImportChange> m_changes;
  int m_imported = 0, m_unchanged = 0, m_skipped = 0, m_refused = 0;
};

// What an import of the catalog into the open script would change; the
// document is not touched. Messages with an empty msgstr are left alone;
// fuzzy ones, those whose context names no entry of the script and those
// whose msgid is not the entry's Japanese text are skipped; a msgstr that
// cannot be turned into game text, or whose record would pass 255 bytes,
// is refused.
CPoImportPlan PlanPoImport(CTranslationDocument &doc, const KanjiCodeBook *book, const CPoCatalog &catalog);

// The report: "P<TAB>L<TAB>imported|skipped|refused<TAB>REASON" for every
// message not taken or changed, then the four counts.
std::string FormatImportReport(const CPoImportPlan &plan);

} // namespace quillan
