#pragma once
// The project's glossary, data/glossary.txt: UTF-8 text, one term per line,
// JAPANESE<TAB>ENGLISH[<TAB>NOTE]; a line starting with '#' is a comment and
// blank lines do not count. A malformed line is reported with its number and
// skipped.

#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/document.h"
#include "core/result.h"

namespace quillan {

struct CGlossaryTerm {
  std::u16string m_japanese;
  std::string m_english; // UTF-8
  std::string m_note;    // UTF-8, may be empty
  int m_lineNumber = 0;
};

struct CGlossary {
  std::vector<CGlossaryTerm> m_terms;
  std::vector<std::string> m_problems; // "NAME:LINE: what", one per skipped line
  // The terms by the first unit of their Japanese, for TermsInText.
  std::unordered_map<char16_t, std::vector<size_t>> m_byFirstUnit;
};

// <base>/data/glossary.txt
std::filesystem::path GlossaryPath(const std::filesystem::path &baseDir);

CGlossary ParseGlossary(std::string_view text, std::string_view name);
// A missing file is an empty glossary; one that cannot be read is an error.
CResult<CGlossary> LoadGlossary(const std::filesystem::path &baseDir);

// The terms whose Japanese occurs in the entry's text (as the clipboard
// gets it: kana, kanji from the code book, no control codes), in file order.
std::vector<size_t> TermsInText(const CGlossary &glossary, std::u16string_view japanese);

// The check "glossary": for a translated English string, the terms that
// occur in the Japanese text while their English (ignoring ASCII case) is
// missing from the English text; one message per term,
// "\"JAPANESE\" is \"ENGLISH\" in the glossary[ (NOTE)]".
std::vector<std::string> GlossaryFindings(const CGlossary &glossary, std::u16string_view japanese,
                                          const EnglishString &english);

} // namespace quillan
