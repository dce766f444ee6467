#pragma once
// Matching a script's kanji bitmaps against the kanji database, in both
// directions: characters known to the database flow into the script's code
// book, and characters the translator entered flow into the database.

#include <cstdint>
#include <span>

#include "kanji/code_book.h"
#include "kanji/kanji_store.h"

namespace quillan {

inline constexpr uint16_t kFirstKanjiCode = 0x100;
inline constexpr uint16_t kLastScriptKanjiCode = 0x7FF; // codes 0x800-0x8FF have book entries but no glyphs

// The glyph of kanji code (0x100 to 0x7FF) in a script file's bytes; bytes
// past the end of the file are 0xFF.
KanjiGlyph ScriptKanjiGlyph(std::span<const uint8_t> script, uint16_t code);

struct CKanjiMatchResult {
  int m_bookEntriesChanged = 0; // code book entries that took a database code
  int m_recordsChanged = 0;     // database records that took a code book entry
  int m_identified = 0;         // codes 0x100-0x7FF whose book entry is 256 or more afterwards
};

// Runs the match over kanji codes 0x100 to 0x7FF in ascending order. For
// each code g with glyph G and book entry e (entry g - 0x100):
//  1. If e is unidentified (below 256) and a record holding G has a code of
//     256 or more, e takes the code of the first such record.
//  2. Then every record holding G, in ascending index order: while e is a
//     space it takes the record's code; otherwise the record takes e.
// Step 1 keeps an identification in the database from being replaced by an
// unidentified value (a 0 picked up by an earlier match, or a duplicate glyph
// with code 0 ahead of the identified one). Without an identified record the
// pass is exactly step 2.
CKanjiMatchResult MatchKanjiStore(std::span<const uint8_t> script, KanjiCodeBook &book, CKanjiStore &store);

} // namespace quillan
