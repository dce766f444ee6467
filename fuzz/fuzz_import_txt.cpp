// Arbitrary bytes as a ".txt" import into the current page: one string per
// text line, with the Japanese entry's ending code.

#include "codec/fill_commands.h"
#include "fuzz_document.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  using namespace quillan;
  std::span<const uint8_t> bytes(data, size);
  CTranslationDocument &doc = fuzzing::FuzzDocument(bytes);
  const int first = doc.m_currentLine;
  auto outcome = FillFromTextBytes(doc, bytes, "fuzz.txt");
  if (!outcome) std::abort();
  fuzzing::CheckFilled(doc);
  // Each filled line holds its text line, then the ending code, then 0.
  auto lines = ParseTextLines(bytes);
  for (int i = 0; i < outcome->m_linesFilled; ++i) {
    const EnglishString &text = doc.EnglishAt(doc.m_currentPage, first + i);
    const auto &line = lines[size_t(i)];
    if (text.size() != line.size() + 2 || !std::equal(line.begin(), line.end(), text.begin())) std::abort();
    if (text[line.size()] != uint16_t((first + i) % 3 + 1)) std::abort();
  }
  return 0;
}
