// Reads arbitrary bytes as a kanji database, as a code book and as a script's
// glyph area. The reader must stay inside the bytes; a file it reads without
// a warning must come back byte for byte, and whatever it reads must survive
// a save and a second load unchanged.

#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "kanji/code_book.h"
#include "kanji/kanji_match.h"
#include "kanji/kanji_store.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  using namespace quillan;
  std::span<const uint8_t> bytes(data, size);

  CKanjiStoreLoad load = ParseKanjiStore(bytes, "fuzz.db");
  std::vector<uint8_t> saved = SerializeKanjiStore(load.m_store);
  if (load.m_warning.empty() && !std::equal(saved.begin(), saved.end(), bytes.begin(), bytes.end())) std::abort();
  CKanjiStoreLoad again = ParseKanjiStore(saved, "fuzz.db");
  if (!again.m_warning.empty() || !(again.m_store == load.m_store)) std::abort();

  CCodeBookLoad book = ParseCodeBook(bytes, "fuzz.kcb");
  std::string text = FormatCodeBook(book.m_book);
  CCodeBookLoad bookAgain =
      ParseCodeBook(std::span(reinterpret_cast<const uint8_t *>(text.data()), text.size()), "fuzz.kcb");
  if (!bookAgain.m_warning.empty() || bookAgain.m_book != book.m_book) std::abort();

  MatchKanjiStore(bytes, book.m_book, load.m_store);
  return 0;
}
