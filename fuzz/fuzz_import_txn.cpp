// Arbitrary bytes as a ".txn" import: records addressing any entry, text
// lines of any length, defects that stop the import.

#include "codec/fill_commands.h"
#include "fuzz_document.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  using namespace quillan;
  std::span<const uint8_t> bytes(data, size);
  CTranslationDocument &doc = fuzzing::FuzzDocument(bytes);
  auto outcome = FillFromVdrTextBytes(doc, bytes, "fuzz.txn");
  if (!outcome) std::abort();
  fuzzing::CheckFilled(doc);
  if (outcome->m_stopped == outcome->m_message.empty()) std::abort();
  for (const EnglishString &text : doc.EnglishStrings())
    if (text.size() > 2549 + 2) std::abort();
  return 0;
}
