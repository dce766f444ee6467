#include "workbench/glossary.h"

#include <algorithm>
#include <cctype>

#include "core/file_io.h"
#include "extras/text_exchange.h"

namespace quillan {

namespace {

std::string Lowered(std::string_view text) {
  std::string out(text);
  for (auto &c : out)
    c = char(std::tolower(uint8_t(c)));
  return out;
}

bool ValidUtf8(std::string_view text) { return DecodeUtf8(text).find(u'\uFFFD') == std::u16string::npos; }

} // namespace

std::filesystem::path GlossaryPath(const std::filesystem::path &baseDir) { return baseDir / "data" / "glossary.txt"; }

CGlossary ParseGlossary(std::string_view text, std::string_view name) {
  CGlossary glossary;
  int number = 0;
  size_t start = 0;
  if (text.starts_with("\xEF\xBB\xBF")) start = 3; // a byte order mark some editors write
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    ++number;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line.front() == '#' ||
        std::all_of(line.begin(), line.end(), [](char c) { return c == ' ' || c == '\t'; }))
      continue;
    auto problem = [&](const std::string &what) {
      glossary.m_problems.push_back(std::string(name) + ":" + std::to_string(number) + ": " + what);
    };
    std::vector<std::string_view> fields;
    size_t from = 0;
    for (;;) {
      size_t tab = line.find('\t', from);
      fields.push_back(line.substr(from, tab == std::string_view::npos ? std::string_view::npos : tab - from));
      if (tab == std::string_view::npos) break;
      from = tab + 1;
    }
    if (!ValidUtf8(line)) {
      problem("not UTF-8 text");
    } else if (fields.size() < 2 || fields.size() > 3) {
      problem("expected JAPANESE<TAB>ENGLISH[<TAB>NOTE], found " + std::to_string(fields.size()) +
              (fields.size() == 1 ? " field" : " fields"));
    } else if (fields[0].empty() || fields[1].empty()) {
      problem(fields[0].empty() ? "the Japanese term is empty" : "the English term is empty");
    } else {
      CGlossaryTerm term;
      term.m_japanese = DecodeUtf8(fields[0]);
      term.m_english = std::string(fields[1]);
      if (fields.size() == 3) term.m_note = std::string(fields[2]);
      term.m_lineNumber = number;
      glossary.m_byFirstUnit[term.m_japanese[0]].push_back(glossary.m_terms.size());
      glossary.m_terms.push_back(std::move(term));
    }
  }
  return glossary;
}

CResult<CGlossary> LoadGlossary(const std::filesystem::path &baseDir) {
  auto path = GlossaryPath(baseDir);
  std::error_code error;
  if (!std::filesystem::exists(path, error)) return CGlossary{};
  auto bytes = ReadFileBytes(path);
  if (!bytes) return bytes.Error();
  return ParseGlossary(std::string_view(reinterpret_cast<const char *>(bytes->data()), bytes->size()), "glossary.txt");
}

std::vector<size_t> TermsInText(const CGlossary &glossary, std::u16string_view japanese) {
  std::vector<size_t> out;
  if (glossary.m_terms.empty()) return out;
  for (size_t at = 0; at < japanese.size(); ++at) {
    auto it = glossary.m_byFirstUnit.find(japanese[at]);
    if (it == glossary.m_byFirstUnit.end()) continue;
    for (size_t i : it->second)
      if (japanese.substr(at).starts_with(glossary.m_terms[i].m_japanese)) out.push_back(i);
  }
  std::sort(out.begin(), out.end());
  out.erase(std::unique(out.begin(), out.end()), out.end());
  return out;
}

std::vector<std::string> GlossaryFindings(const CGlossary &glossary, std::u16string_view japanese,
                                          const EnglishString &english) {
  std::vector<std::string> out;
  std::string text;
  for (uint16_t e : english) {
    uint8_t b = uint8_t(e);
    if (b == 0) break;
    text.push_back(b >= 0x20 ? char(b) : ' ');
  }
  if (text.empty()) return out; // untranslated: another check's business
  text = Lowered(text);
  for (size_t i : TermsInText(glossary, japanese)) {
    const CGlossaryTerm &term = glossary.m_terms[i];
    // The term as the game would hold it (accents and typographic quotes
    // mapped as a paste maps them).
    std::string wanted;
    for (uint16_t e : MapTextToGame(DecodeUtf8(term.m_english)).m_elements)
      wanted.push_back(char(uint8_t(e)));
    if (text.find(Lowered(wanted)) != std::string::npos) continue;
    // Appended piece by piece: GCC 12 at -O3 warns (-Wrestrict) about the
    // same text put together with operator+.
    std::string message = "\"";
    message += Utf8(term.m_japanese);
    message += "\" is \"";
    message += term.m_english;
    message += "\" in the glossary";
    if (!term.m_note.empty()) message += " (" + term.m_note + ")";
    out.push_back(std::move(message));
  }
  return out;
}

} // namespace quillan
