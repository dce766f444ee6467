// Arbitrary bytes as data/glossary.txt: every line is a term or a problem
// named with its line number, never both, and nothing crashes.

#include <cstdlib>
#include <string_view>

#include "workbench/glossary.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  using namespace quillan;
  std::string_view text(reinterpret_cast<const char *>(data), size);
  CGlossary glossary = ParseGlossary(text, "glossary.txt");
  int lastLine = 0;
  for (const auto &term : glossary.m_terms) {
    if (term.m_lineNumber <= lastLine || term.m_japanese.empty() || term.m_english.empty()) std::abort();
    lastLine = term.m_lineNumber;
  }
  for (const auto &problem : glossary.m_problems)
    if (!problem.starts_with("glossary.txt:")) std::abort();
  EnglishString english = {'h', 'e', 'r', 'o', 0};
  if (!glossary.m_terms.empty()) {
    auto findings = GlossaryFindings(glossary, glossary.m_terms[0].m_japanese, english);
    (void)findings;
  }
  return 0;
}
