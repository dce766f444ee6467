// Arbitrary bytes as a recovery journal: the reader stays inside the bytes,
// and what it accepts is written back as the same journal.

#include <cstdint>
#include <cstdlib>
#include <span>

#include "core/recovery_journal.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  using namespace quillan;
  auto journal = ParseJournal(std::span<const uint8_t>(data, size), "fuzz.journal");
  if (!journal) {
    if (journal.Error().Message().rfind("fuzz.journal: ", 0) != 0) std::abort();
    return 0;
  }
  CTranslationDocument doc;
  doc.m_scriptFileName = journal->m_scriptFileName;
  auto &strings = doc.LoadedStrings();
  if (journal->m_strings.size() > strings.size()) strings.resize(journal->m_strings.size());
  std::copy(journal->m_strings.begin(), journal->m_strings.end(), strings.begin());
  doc.LoadedCodeBook() = journal->m_codeBook;
  auto again = ParseJournal(JournalBytes(doc), "again");
  if (!again || again->m_codeBook != journal->m_codeBook || again->m_scriptFileName != journal->m_scriptFileName)
    std::abort();
  for (size_t i = 0; i < journal->m_strings.size(); ++i)
    if (i < again->m_strings.size() ? again->m_strings[i] != journal->m_strings[i] : !journal->m_strings[i].empty())
      std::abort();
  return 0;
}
