// Arbitrary bytes as a ".dat" import into the current page.

#include "codec/fill_commands.h"
#include "fuzz_document.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  using namespace quillan;
  std::span<const uint8_t> bytes(data, size);
  CTranslationDocument &doc = fuzzing::FuzzDocument(bytes);
  auto outcome = FillFromScriptFileBytes(doc, bytes, "fuzz.dat");
  if (!outcome) std::abort();
  fuzzing::CheckFilled(doc);
  if ((outcome->m_linesFilled > 0) != (doc.m_modified != 0)) std::abort();
  return 0;
}
