#pragma once
// A plain-scan match of a script's kanji against the database: every glyph
// compared with every record, no index. The reference for the indexed
// MatchKanjiStore in tests and benchmarks.

#include <cstdint>
#include <span>

#include "kanji/code_book.h"
#include "kanji/kanji_store.h"

namespace quillan::testing {

void PlainScanMatch(std::span<const uint8_t> script, KanjiCodeBook &book, CKanjiStore &store);

} // namespace quillan::testing
