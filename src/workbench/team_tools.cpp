#include "workbench/team_tools.h"

#include <set>

#include "core/file_io.h"
#include "core/text_rules.h"
#include "workbench/project_memory.h"
#include "workbench/quillan_dlg.h"

namespace quillan {

namespace {

constexpr char kPoFilter[] = "PO Files (*.po)|*.po|All Files (*.*)|*.*||";

// The entry's ending: its last code before the terminator when that is a
// bubble end, new line or pause (1-4); 0 otherwise.
uint16_t EndingCode(std::span<const uint16_t> codes) {
  return !codes.empty() && codes.back() >= 1 && codes.back() <= 4 ? codes.back() : 0;
}

std::string Places(const CTranslationMemory &memory, const std::vector<size_t> &sources) {
  std::string out;
  for (size_t i = 0; i < sources.size() && i < 3; ++i)
    out += (i ? ", " : "") + EntryPlace(memory.Entry(sources[i]));
  if (sources.size() > 3) out += ", ...";
  return out;
}

} // namespace

CTeamTools::CTeamTools(CQuillanDlg &dlg) : m_dlg(dlg) {}
CTeamTools::~CTeamTools() = default;

bool CTeamTools::OnCommand(int id) {
  if (id == kIdExportPo) {
    ExportPoCommand();
  } else if (id == kIdImportPo) {
    ImportPoCommand();
  } else {
    return false;
  }
  return true;
}

void CTeamTools::ExportPoCommand() {
  const char *caption = "Export PO";
  if (!m_dlg.m_fileOpen) {
    m_dlg.m_platform.MessageBox("Open a script first.", caption);
    return;
  }
  auto path = m_dlg.m_platform.ChooseSaveFile("po", kPoFilter, DefaultPoPath(m_dlg.m_baseDir, m_dlg.m_shortName));
  if (!path) return;
  CPoCatalog catalog = ExportPoCatalog(m_dlg, &m_dlg.CodeBook());
  auto text = FormatPoFile(catalog);
  std::error_code error;
  if (text && path->has_parent_path()) std::filesystem::create_directories(path->parent_path(), error);
  CStatus written = text ? WriteFileAtomic(*path, *text) : CStatus(text.Error());
  if (!written) {
    m_dlg.m_platform.MessageBox(written.Error().Message(), caption, CMessageButtons::Ok, CMessageIcon::Error);
    return;
  }
  size_t translated = 0;
  for (const auto &m : catalog.m_messages)
    translated += m.m_str.empty() ? 0 : 1;
  m_dlg.m_platform.MessageBox(PathText(*path) + ": " + std::to_string(catalog.m_messages.size()) + " messages, " +
                                  std::to_string(translated) + " translated.",
                              caption, CMessageButtons::Ok, CMessageIcon::Information);
}

void CTeamTools::ImportPoCommand() {
  const char *caption = "Import PO";
  if (!m_dlg.m_fileOpen) {
    m_dlg.m_platform.MessageBox("Open a script first.", caption);
    return;
  }
  auto path = m_dlg.m_platform.ChooseOpenFile("po", kPoFilter);
  if (!path) return;
  auto catalog = ReadPoFile(*path);
  if (!catalog) {
    m_dlg.m_platform.MessageBox(catalog.Error().Message(), caption, CMessageButtons::Ok, CMessageIcon::Error);
    return;
  }
  CPoImportPlan plan = PlanPoImport(m_dlg, &m_dlg.CodeBook(), *catalog);
  ApplyChanges(plan.m_changes, "Import PO");
  std::string report = FormatImportReport(plan);
  m_dlg.m_platform.MessageBox(PathText(path->filename()) + "\n\n" + report, caption, CMessageButtons::Ok,
                              plan.m_refused ? CMessageIcon::Warning : CMessageIcon::Information);
}

void CTeamTools::EnsureMemory() {
  if (!m_dlg.m_fileOpen) return;
  if (m_memoryScript == m_dlg.m_scriptPath) return;
  m_memory.Clear();
  m_openEntries.clear();
  auto glossary = LoadGlossary(m_dlg.m_baseDir);
  m_glossary = glossary ? std::move(*glossary) : CGlossary{};
  // The other scripts of the working folder from their files; the open one
  // from the document.
  std::vector<std::filesystem::path> others;
  for (const auto &path : ProjectScripts(m_dlg.m_baseDir, {}))
    if (PathText(path.filename()) != m_dlg.m_scriptFileName) others.push_back(path);
  if (!others.empty()) {
    // Reading a whole game takes a moment: behind a progress dialog, on the
    // job's own documents. A cancel keeps the scripts read so far.
    const std::filesystem::path baseDir = m_dlg.m_baseDir;
    m_dlg.m_platform.RunWithProgress(
        "Translation memory", [&](const std::function<bool(double, const std::string &)> &progress) {
          for (size_t i = 0; i < others.size(); ++i) {
            if (!progress(double(i) / double(others.size()), "Reading " + PathText(others[i].filename()))) break;
            CTranslationDocument doc;
            doc.m_baseDir = baseDir;
            if (!doc.LoadScript(others[i])) continue;
            KanjiCodeBook book;
            bool haveBook = ReadScriptCodeBook(doc, book);
            AddScriptToMemory(m_memory, doc, haveBook ? &book : nullptr, uint32_t(i + 1));
          }
        });
  }
  size_t first = m_memory.Size();
  AddScriptToMemory(m_memory, m_dlg, &m_dlg.CodeBook(), 0);
  for (size_t i = first; i < m_memory.Size(); ++i)
    m_openEntries.push_back(i);
  m_memoryScript = m_dlg.m_scriptPath;
}

std::vector<CSuggestionRow> CTeamTools::CurrentSuggestions() {
  m_rows.clear();
  if (!m_dlg.m_fileOpen) return m_rows;
  EnsureMemory();
  // The open script's text as it stands.
  for (size_t index : m_openEntries) {
    const CMemoryEntry &e = m_memory.Entry(index);
    const EnglishString &now = m_dlg.EnglishAt(e.m_page, e.m_line);
    if (now != e.m_english) m_memory.SetEnglish(index, now);
  }
  auto japanese =
      JapaneseCodes(std::span(m_dlg.DecodeEntry(m_dlg.m_currentPage, m_dlg.m_currentLine), size_t(kEntryCapacity)));
  size_t self = m_memory.Find(m_dlg.m_scriptFileName, m_dlg.m_currentPage, m_dlg.m_currentLine);
  int number = 0;
  for (const CSuggestion &s : m_memory.Suggest(MemoryKey(japanese, &m_dlg.CodeBook(), 0), self)) {
    CSuggestionRow row;
    row.m_kind = s.m_exact ? CSuggestionRow::CKind::Exact : CSuggestionRow::CKind::Fuzzy;
    row.m_number = number < 9 ? ++number : 0;
    row.m_text = DumpText(s.m_english, nullptr);
    row.m_english = s.m_english;
    if (s.m_exact) {
      row.m_detail = std::to_string(s.m_sources.size()) + "x: " + Places(m_memory, s.m_sources);
    } else {
      row.m_detail = std::to_string(s.m_percent) + " %: " + Places(m_memory, s.m_sources);
      for (size_t i = 0; i < s.m_japanese.size(); ++i) {
        std::string code = DumpText(std::span(&s.m_japanese[i], 1), &m_dlg.CodeBook());
        row.m_japanese += s.m_differs[i] ? "[" + code + "]" : code;
      }
    }
    m_rows.push_back(std::move(row));
  }
  for (const std::string &problem : m_glossary.m_problems) {
    CSuggestionRow row;
    row.m_kind = CSuggestionRow::CKind::Glossary;
    row.m_text = problem + " (line skipped)";
    m_rows.push_back(std::move(row));
  }
  std::u16string text = JapaneseEntryText(japanese, m_dlg.CodeBook());
  for (size_t i : TermsInText(m_glossary, text)) {
    const CGlossaryTerm &term = m_glossary.m_terms[i];
    CSuggestionRow row;
    row.m_kind = CSuggestionRow::CKind::Glossary;
    row.m_text = Utf8(term.m_japanese) + " = " + term.m_english;
    row.m_detail = term.m_note;
    m_rows.push_back(std::move(row));
  }
  return m_rows;
}

bool CTeamTools::TakeSuggestion(int number) {
  if (!m_dlg.m_fileOpen || number < 1 || number > 9) return false;
  auto rows = CurrentSuggestions();
  for (const CSuggestionRow &row : rows) {
    if (row.m_number != number) continue;
    // The suggestion's text without its own ending, then the entry's.
    EnglishString text;
    for (uint16_t e : row.m_english) {
      if ((e & 0xFF) == 0) break;
      text.push_back(e);
    }
    if (!text.empty() && text.back() >= 1 && text.back() <= 4) text.pop_back();
    auto japanese =
        JapaneseCodes(std::span(m_dlg.DecodeEntry(m_dlg.m_currentPage, m_dlg.m_currentLine), size_t(kEntryCapacity)));
    if (uint16_t ending = EndingCode(japanese)) text.push_back(ending);
    text.push_back(0);
    ApplyChanges({{m_dlg.m_currentPage, m_dlg.m_currentLine, std::move(text)}}, "Suggestion");
    return true;
  }
  return false;
}

void CTeamTools::ApplyChanges(std::vector<CImportChange> changes, const std::string &what) {
  // All of them one step of the undo history, saved with Save.
  CTextEdit edit(m_dlg, what);
  for (auto &change : changes)
    edit.At(change.m_page, change.m_line) = std::move(change.m_text);
  edit.Commit();
  m_dlg.PlaceCursorAtEnd();
  m_dlg.m_repaintJapanese = 1;
  m_dlg.PaintPanes();
}

} // namespace quillan
