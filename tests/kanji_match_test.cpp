// Matching a script's kanji against the database in both directions, and the
// indexed match against a plain scan.

#include <gtest/gtest.h>

#include <random>

#include "kanji/kanji_match.h"
#include "support/kanji_reference.h"

namespace quillan {
namespace {

KanjiGlyph GlyphOf(uint32_t seed) {
  KanjiGlyph glyph;
  for (size_t i = 0; i < glyph.size(); ++i)
    glyph[i] = uint8_t((seed * 2654435761u) >> (i % 4 * 8)) ^ uint8_t(i);
  return glyph;
}

// Script bytes whose kanji glyph area holds the given glyphs for codes 0x100,
// 0x101, ... and nothing after them (the other glyphs read as 0xFF).
std::vector<uint8_t> ScriptWith(const std::vector<KanjiGlyph> &glyphs) {
  std::vector<uint8_t> bytes(5872, 0);
  for (const KanjiGlyph &glyph : glyphs)
    bytes.insert(bytes.end(), glyph.begin(), glyph.end());
  return bytes;
}

// The store with every record's glyph distinct from the test glyphs, so only
// the records a test sets up can match.
CKanjiStore StoreOfUnrelatedGlyphs() {
  CKanjiStore store;
  for (size_t i = 0; i < store.size(); ++i)
    store[i].glyph = GlyphOf(uint32_t(100000 + i));
  return store;
}

struct CDuplicateCase {
  const char *what;
  uint16_t bookEntry;
  uint16_t firstCode, secondCode; // records 10 and 20, same glyph as kanji 0x100
  uint16_t bookAfter;
  uint16_t firstAfter, secondAfter;
};

TEST(KanjiMatch, DuplicateGlyphsAndTheTranslatorsEntries) {
  const CDuplicateCase cases[] = {
      {"database knows it, book is a space", 0x20, 0x4E00, 0, 0x4E00, 0x4E00, 0x4E00},
      {"translator's entry wins over the database", 0x6F22, 0x4E00, 0, 0x6F22, 0x6F22, 0x6F22},
      {"neither knows it: the first record's 0", 0x20, 0, 0, 0, 0, 0},
      {"a record coded 32 leaves the book a space", 0x20, 0x20, 7, 7, 0x20, 7},
      // An unidentified value never replaces an identified one: the book takes
      // the first identified record's code and hands it to all of them.
      {"unidentified record ahead of the identified one", 0x20, 0, 0x4E00, 0x4E00, 0x4E00, 0x4E00},
      {"book holds a 0 from an earlier match", 0, 0x4E00, 0, 0x4E00, 0x4E00, 0x4E00},
      {"book holds an unidentified 7, database nothing", 7, 0, 0x41, 7, 7, 7},
  };
  for (const CDuplicateCase &c : cases) {
    SCOPED_TRACE(c.what);
    CKanjiStore store = StoreOfUnrelatedGlyphs();
    store[10] = {c.firstCode, GlyphOf(1)};
    store[20] = {c.secondCode, GlyphOf(1)};
    KanjiCodeBook book = BlankCodeBook();
    book[0] = c.bookEntry;
    std::vector<uint8_t> script = ScriptWith({GlyphOf(1)});
    MatchKanjiStore(script, book, store);
    EXPECT_EQ(book[0], c.bookAfter);
    EXPECT_EQ(store[10].code, c.firstAfter);
    EXPECT_EQ(store[20].code, c.secondAfter);
  }
}

TEST(KanjiMatch, IdentificationMadeInOneScriptSurvivesAnotherScriptsEarlierMatch) {
  // Script B is matched while the database knows nothing: its book takes 0.
  CKanjiStore store = StoreOfUnrelatedGlyphs();
  store[5].glyph = GlyphOf(42);
  KanjiCodeBook bookB = BlankCodeBook();
  std::vector<uint8_t> scriptB = ScriptWith({GlyphOf(9), GlyphOf(42)}); // code 0x101
  MatchKanjiStore(scriptB, bookB, store);
  EXPECT_EQ(bookB[1], 0);

  // Script A holds the same glyph at 0x100; the translator identifies it.
  KanjiCodeBook bookA = BlankCodeBook();
  bookA[0] = 0x5B57;
  MatchKanjiStore(ScriptWith({GlyphOf(42)}), bookA, store);
  EXPECT_EQ(store[5].code, 0x5B57);

  // B's next match learns the character instead of erasing it.
  CKanjiMatchResult result = MatchKanjiStore(scriptB, bookB, store);
  EXPECT_EQ(store[5].code, 0x5B57);
  EXPECT_EQ(bookB[1], 0x5B57);
  EXPECT_EQ(result.m_bookEntriesChanged, 1);
  EXPECT_EQ(result.m_recordsChanged, 0);
}

TEST(KanjiMatch, GlyphAreaOffsetsAndBytesPastTheEnd) {
  CKanjiStore store = StoreOfUnrelatedGlyphs();
  store[0] = {0x4E8C, GlyphOf(3)};
  store[1] = {0x4E09, BlankKanjiGlyph()}; // matches every glyph past the end of the script
  KanjiCodeBook book = BlankCodeBook();
  // Code 0x102 at offset 5872 + 48; the file ends 5 bytes into code 0x103.
  std::vector<uint8_t> script = ScriptWith({GlyphOf(7), GlyphOf(8), GlyphOf(3)});
  script.insert(script.end(), 5, 0xFF);
  CKanjiMatchResult result = MatchKanjiStore(script, book, store);
  EXPECT_EQ(book[0], 0x20);
  EXPECT_EQ(book[1], 0x20);
  EXPECT_EQ(book[2], 0x4E8C);
  for (int code = 0x103; code <= 0x7FF; ++code)
    ASSERT_EQ(book[size_t(code - 0x100)], 0x4E09) << code;
  // Entries of codes 0x800-0x8FF have no glyphs and are never touched.
  for (int code = 0x800; code <= 0x8FF; ++code)
    ASSERT_EQ(book[size_t(code - 0x100)], 0x20) << code;
  EXPECT_EQ(result.m_identified, 1 + (0x7FF - 0x103 + 1));
}

// Stores and scripts drawn from a small pool of glyphs, so that glyphs repeat
// in the store and in the script, with codes of every kind in both.
struct CRandomCase {
  CKanjiStore m_store;
  KanjiCodeBook m_book;
  std::vector<uint8_t> m_script;
};

CRandomCase RandomCase(uint32_t seed) {
  std::mt19937 random(seed);
  // Every third case draws from a handful of glyphs: long runs of records
  // with one glyph, met again and again by the script's kanji.
  const uint32_t pool = seed % 3 == 0 ? 1 + random() % 4 : 50 + random() % 3000;
  auto code = [&] {
    switch (random() % 5) {
    case 0:
      return uint16_t(0);
    case 1:
      return uint16_t(0x20);
    case 2:
      return uint16_t(random() % 256);
    default:
      return uint16_t(256 + random() % 0xFF00);
    }
  };
  CRandomCase c;
  for (KanjiRecord &record : c.m_store) {
    record.code = code();
    record.glyph = random() % 20 == 0 ? BlankKanjiGlyph() : GlyphOf(random() % pool);
  }
  for (uint16_t &entry : c.m_book)
    entry = random() % 3 ? uint16_t(0x20) : code();
  std::vector<KanjiGlyph> glyphs(random() % 1793);
  for (KanjiGlyph &glyph : glyphs)
    glyph = GlyphOf(random() % (pool + pool / 4));
  c.m_script = ScriptWith(glyphs);
  c.m_script.resize(c.m_script.size() + random() % 24, 0xFF);
  return c;
}

TEST(KanjiMatch, IndexedMatchEqualsPlainScan) {
  int bookChanges = 0, recordChanges = 0;
  for (uint32_t seed = 1; seed <= 12; ++seed) {
    SCOPED_TRACE(seed);
    CRandomCase indexed = RandomCase(seed);
    CRandomCase plain = indexed;
    CKanjiMatchResult result = MatchKanjiStore(indexed.m_script, indexed.m_book, indexed.m_store);
    bookChanges += result.m_bookEntriesChanged;
    recordChanges += result.m_recordsChanged;
    testing::PlainScanMatch(plain.m_script, plain.m_book, plain.m_store);
    ASSERT_EQ(indexed.m_book, plain.m_book);
    ASSERT_TRUE(indexed.m_store == plain.m_store);
    // And a second pass over the changed stores.
    MatchKanjiStore(indexed.m_script, indexed.m_book, indexed.m_store);
    testing::PlainScanMatch(plain.m_script, plain.m_book, plain.m_store);
    ASSERT_EQ(indexed.m_book, plain.m_book);
    ASSERT_TRUE(indexed.m_store == plain.m_store);
  }
  // The cases exercise both directions of the match.
  EXPECT_GT(bookChanges, 1000);
  EXPECT_GT(recordChanges, 1000);
}

} // namespace
} // namespace quillan
