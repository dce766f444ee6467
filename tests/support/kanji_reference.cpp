#include "support/kanji_reference.h"

#include <cstring>

namespace quillan::testing {

void PlainScanMatch(std::span<const uint8_t> script, KanjiCodeBook &book, CKanjiStore &store) {
  for (int code = 0x100; code <= 0x7FF; ++code) {
    uint8_t glyph[24];
    for (size_t i = 0; i < 24; ++i) {
      size_t offset = 5872 + 24 * size_t(code - 0x100) + i;
      glyph[i] = offset < script.size() ? script[offset] : 0xFF;
    }
    uint16_t &entry = book[size_t(code - 0x100)];
    // An unidentified entry first takes the first identified code of the database.
    if (entry < 256) {
      for (size_t r = 0; r < store.size(); ++r) {
        if (std::memcmp(store[r].glyph.data(), glyph, 24) == 0 && store[r].code >= 256) {
          entry = store[r].code;
          break;
        }
      }
    }
    for (size_t r = 0; r < store.size(); ++r) {
      if (std::memcmp(store[r].glyph.data(), glyph, 24) != 0) continue;
      if (entry == 0x20) {
        entry = store[r].code;
      } else {
        store[r].code = entry;
      }
    }
  }
}

} // namespace quillan::testing
