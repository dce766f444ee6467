#include "workbench/project_search.h"

#include <algorithm>
#include <cstring>

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

namespace quillan {

struct CProjectSearch::CRegex {
  pcre2_code *m_code = nullptr;
  pcre2_match_data *m_match = nullptr;
  bool m_jit = false;
  ~CRegex() {
    if (m_match) pcre2_match_data_free(m_match);
    if (m_code) pcre2_code_free(m_code);
  }
  bool Matches(std::string_view text) const {
    auto subject = reinterpret_cast<PCRE2_SPTR>(text.data());
    int rc = m_jit ? pcre2_jit_match(m_code, subject, text.size(), 0, 0, m_match, nullptr)
                   : pcre2_match(m_code, subject, text.size(), 0, PCRE2_NO_UTF_CHECK, m_match, nullptr);
    return rc >= 0;
  }
};

CProjectSearch::CProjectSearch(CProjectSearch &&) noexcept = default;
CProjectSearch &CProjectSearch::operator=(CProjectSearch &&) noexcept = default;
CProjectSearch::~CProjectSearch() = default;

CResult<CProjectSearch> CProjectSearch::Compile(std::string_view pattern, const CSearchOptions &options) {
  CProjectSearch search;
  search.m_options = options;
  if (!options.m_regex) {
    search.m_pattern = options.m_caseSensitive ? std::string(pattern) : FoldCase(pattern);
    return search;
  }
  auto regex = std::make_unique<CRegex>();
  int errorCode = 0;
  PCRE2_SIZE errorOffset = 0;
  uint32_t flags = PCRE2_UTF | PCRE2_UCP | (options.m_caseSensitive ? 0 : PCRE2_CASELESS);
  regex->m_code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(), flags, &errorCode,
                                &errorOffset, nullptr);
  if (!regex->m_code) {
    PCRE2_UCHAR message[256];
    pcre2_get_error_message(errorCode, message, sizeof message);
    return MakeError("the regular expression \"" + std::string(pattern) + "\" is not valid at offset " +
                     std::to_string(errorOffset) + ": " + reinterpret_cast<const char *>(message));
  }
  regex->m_jit = pcre2_jit_compile(regex->m_code, PCRE2_JIT_COMPLETE) == 0;
  regex->m_match = pcre2_match_data_create_from_pattern(regex->m_code, nullptr);
  search.m_regex = std::move(regex);
  return search;
}

bool CProjectSearch::Matches(std::string_view text) const {
  if (m_regex) return m_regex->Matches(text);
  if (m_options.m_caseSensitive) return text.find(m_pattern) != std::string_view::npos;
  return FoldCase(text).find(m_pattern) != std::string::npos;
}

void CProjectSearch::FindIn(const CIndexedScript &script, bool english, std::vector<int> &entries) const {
  int count = script.EntryCount();
  auto begin = [&](int e) { return english ? script.Entry(e).m_enBegin : script.Entry(e).m_jaBegin; };
  auto length = [&](int e) { return english ? script.Entry(e).m_enLength : script.Entry(e).m_jaLength; };
  if (m_regex) {
    const std::string &text = english ? script.EnglishText(false) : script.JapaneseText(false);
    for (int e = 0; e < count; ++e)
      if (m_regex->Matches(std::string_view(text).substr(begin(e), length(e)))) entries.push_back(e);
    return;
  }
  if (m_pattern.find('\n') != std::string::npos) return; // no entry's text holds a line end
  const std::string &text =
      english ? script.EnglishText(!m_options.m_caseSensitive) : script.JapaneseText(!m_options.m_caseSensitive);
  if (m_pattern.empty()) {
    for (int e = 0; e < count; ++e)
      entries.push_back(e);
    return;
  }
  // One pass over the script's buffer; each hit is mapped to its entry, and
  // the search goes on after that entry's line.
  const char *data = text.data();
  size_t size = text.size(), at = 0;
  int e = 0;
  while (at < size) {
    auto *hit = static_cast<const char *>(memmem(data + at, size - at, m_pattern.data(), m_pattern.size()));
    if (!hit) break;
    size_t position = size_t(hit - data);
    while (e + 1 < count && begin(e + 1) <= position)
      ++e;
    if (position + m_pattern.size() <= size_t(begin(e)) + length(e)) entries.push_back(e);
    at = size_t(begin(e)) + length(e) + 1;
    ++e;
    if (e >= count) break;
    at = std::max(at, size_t(begin(e)));
  }
}

void CProjectSearch::RunScript(const CProjectIndex &index, int scriptIndex, std::vector<CSearchHit> &out,
                               size_t limit) const {
  const CIndexedScript &script = index.Script(scriptIndex);
  std::vector<int> japanese, english;
  if (m_options.m_field != CSearchField::English) FindIn(script, false, japanese);
  if (m_options.m_field != CSearchField::Japanese) FindIn(script, true, english);
  size_t j = 0, k = 0;
  while ((j < japanese.size() || k < english.size()) && (limit == 0 || out.size() < limit)) {
    if (k >= english.size() || (j < japanese.size() && japanese[j] <= english[k]))
      out.push_back({{scriptIndex, japanese[j++]}, false});
    else
      out.push_back({{scriptIndex, english[k++]}, true});
  }
}

std::vector<CSearchHit> CProjectSearch::Run(const CProjectIndex &index, size_t limit) const {
  std::vector<CSearchHit> hits;
  for (int s = 0; s < index.ScriptCount() && (limit == 0 || hits.size() < limit); ++s)
    RunScript(index, s, hits, limit);
  return hits;
}

} // namespace quillan
