#pragma once
// Find in Project: every entry whose Japanese or English text, in the dump
// form (so "{03}" finds line ends), contains a text or matches a regular
// expression. Plain text is found case-insensitively by default, ASCII and
// full-width Latin letters alike; regular expressions are PCRE2's, compiled
// once (with its JIT where there is one) and run on each entry's text.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/result.h"
#include "workbench/project_index.h"

namespace quillan {

enum class CSearchField { Both, Japanese, English };

struct CSearchOptions {
  CSearchField m_field = CSearchField::Both;
  bool m_regex = false;
  bool m_caseSensitive = false;
};

struct CSearchHit {
  CEntryRef m_ref;
  bool m_english = false; // the hit is in the English text ("en"), else in the Japanese ("ja")
  friend bool operator==(const CSearchHit &, const CSearchHit &) = default;
};

class CProjectSearch {
public:
  // Fails with PCRE2's message and the offset in the pattern when a regular
  // expression does not compile.
  static CResult<CProjectSearch> Compile(std::string_view pattern, const CSearchOptions &options);

  CProjectSearch(CProjectSearch &&) noexcept;
  CProjectSearch &operator=(CProjectSearch &&) noexcept;
  ~CProjectSearch();

  // Every hit in script, page, line order, the Japanese before the English
  // of the same entry; at most limit hits when limit is not 0.
  std::vector<CSearchHit> Run(const CProjectIndex &index, size_t limit = 0) const;
  // The hits of one script.
  void RunScript(const CProjectIndex &index, int script, std::vector<CSearchHit> &out, size_t limit = 0) const;
  // Whether one text (in the dump form) is a hit.
  bool Matches(std::string_view text) const;

private:
  struct CRegex;
  CProjectSearch() = default;
  void FindIn(const CIndexedScript &script, bool english, std::vector<int> &entries) const;

  CSearchOptions m_options;
  std::string m_pattern; // folded unless case-sensitive
  std::unique_ptr<CRegex> m_regex;
};

} // namespace quillan
