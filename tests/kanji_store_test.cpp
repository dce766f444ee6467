// The kanji database file: record layout, byte-exact round trips, and what a
// short, malformed or missing file gives.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "core/file_io.h"
#include "kanji/kanji_store.h"
#include "support/scratch_dir.h"

namespace quillan {
namespace {

using ::testing::HasSubstr;

std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
  std::vector<uint8_t> bytes;
  for (int v : values)
    bytes.push_back(uint8_t(v));
  return bytes;
}

void AppendUnits(std::vector<uint8_t> &bytes, std::string_view text) {
  for (char c : text) {
    bytes.push_back(uint8_t(c));
    bytes.push_back(0);
  }
}

KanjiGlyph GlyphOf(uint8_t seed) {
  KanjiGlyph glyph;
  for (size_t i = 0; i < glyph.size(); ++i)
    glyph[i] = uint8_t(seed * 7 + i * 13);
  return glyph;
}

// One record in the file layout, written out by hand.
std::vector<uint8_t> RecordBytes(std::string_view digits, const KanjiGlyph &glyph) {
  std::vector<uint8_t> bytes;
  AppendUnits(bytes, digits);
  AppendUnits(bytes, " ");
  bytes.insert(bytes.end(), glyph.begin(), glyph.end());
  bytes.push_back(0x0D);
  bytes.push_back(0x0A);
  return bytes;
}

CKanjiStore RandomStore(uint32_t seed) {
  std::mt19937 random(seed);
  CKanjiStore store;
  for (KanjiRecord &record : store) {
    // Small codes, kanji codes and the extremes, so every digit count occurs.
    switch (random() % 4) {
    case 0:
      record.code = uint16_t(random() % 10);
      break;
    case 1:
      record.code = uint16_t(0x4E00 + random() % 0x5000);
      break;
    case 2:
      record.code = uint16_t(random() % 0x10000);
      break;
    default:
      record.code = random() % 2 ? 65535 : 0;
      break;
    }
    for (uint8_t &byte : record.glyph)
      byte = uint8_t(random());
  }
  return store;
}

// Exactly 10000 records of the given file bytes, with the standard layout.
std::vector<uint8_t> FileOfRecords(const std::vector<uint8_t> &first, int firstCount) {
  std::vector<uint8_t> bytes = first;
  for (int i = firstCount; i < kKanjiRecords; ++i) {
    auto record = RecordBytes("0", BlankKanjiGlyph());
    bytes.insert(bytes.end(), record.begin(), record.end());
  }
  return bytes;
}

using CTempDir = testing::CScratchDir;

TEST(KanjiStoreLayout, RecordsAreDigitUnitsSpaceGlyphAndLineEnd) {
  struct Case {
    uint16_t code;
    const char *digits;
    size_t length;
  };
  const Case cases[] = {{0, "0", 30},       {7, "7", 30},          {10, "10", 32},
                        {1234, "1234", 36}, {0x4E00, "19968", 38}, {65535, "65535", 38}};
  for (const Case &c : cases) {
    CKanjiStore store;
    store[0] = {c.code, GlyphOf(3)};
    std::vector<uint8_t> bytes = SerializeKanjiStore(store);
    std::vector<uint8_t> expected = RecordBytes(c.digits, GlyphOf(3));
    ASSERT_EQ(expected.size(), c.length) << c.digits;
    ASSERT_GE(bytes.size(), expected.size());
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + expected.size()), expected) << c.digits;
  }
  CKanjiStore store;
  store[0].code = 1234;
  auto bytes = SerializeKanjiStore(store);
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 10),
            Bytes({0x31, 0, 0x32, 0, 0x33, 0, 0x34, 0, 0x20, 0}));
  EXPECT_EQ(bytes.size(), 36u + 30u * (kKanjiRecords - 1));
}

TEST(KanjiStoreLayout, LoadThenSaveIsByteExact) {
  for (uint32_t seed : {1u, 2u, 3u}) {
    CKanjiStore store = RandomStore(seed);
    std::vector<uint8_t> bytes = SerializeKanjiStore(store);
    CKanjiStoreLoad load = ParseKanjiStore(bytes, "glyphary.db");
    EXPECT_EQ(load.m_warning, "") << seed;
    EXPECT_TRUE(load.m_store == store) << seed;
    EXPECT_EQ(SerializeKanjiStore(load.m_store), bytes) << seed;
  }
}

TEST(KanjiStoreLayout, GlyphsThatLookLikeFieldsSurvive) {
  // Glyph bytes that a reader searching for line ends, spaces or digits would
  // take for a field.
  const KanjiGlyph tricky[] = {
      {0x0D, 0x0A, 0x0D, 0x0A, 0x20, 0x00, 0x20, 0x00, 0x31, 0x00, 0x0D, 0x0A},
      {0x20, 0x00, 0x31, 0x00, 0x32, 0x00, 0x20, 0x00, 0x0D, 0x0A, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x0D, 0x0A},
      {0x09, 0x00, 0x0A, 0x00, 0x30, 0x00},
  };
  CKanjiStore store;
  for (size_t i = 0; i < std::size(tricky); ++i)
    store[i * 2] = {uint16_t(100 + i), tricky[i]};
  std::vector<uint8_t> bytes = SerializeKanjiStore(store);
  CKanjiStoreLoad load = ParseKanjiStore(bytes, "glyphary.db");
  EXPECT_EQ(load.m_warning, "");
  EXPECT_TRUE(load.m_store == store);
}

TEST(KanjiStoreFiles, SaveAndLoadThroughTheFileSystem) {
  CTempDir dir;
  CKanjiStore store = RandomStore(9);
  auto path = KanjiStorePath(dir.Path());
  ASSERT_TRUE(SaveKanjiStore(store, path)) << "the data folder is created";
  auto first = ReadFileBytes(path);
  ASSERT_TRUE(first);
  auto load = LoadKanjiStore(path);
  ASSERT_TRUE(load);
  EXPECT_EQ(load->m_warning, "");
  ASSERT_TRUE(SaveKanjiStore(load->m_store, path));
  auto second = ReadFileBytes(path);
  ASSERT_TRUE(second);
  EXPECT_EQ(*first, *second);
  // Nothing but the database is left in the folder (no temporary file).
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(path.parent_path()), {}), 1);

  auto missing = LoadKanjiStore(dir.Path() / "none.db");
  ASSERT_FALSE(missing);
  EXPECT_THAT(missing.Error().Message(), HasSubstr("none.db"));

  // A database path that is a folder cannot be replaced: an error naming it.
  std::filesystem::create_directories(dir.Path() / "busy.db" / "x");
  CStatus blocked = SaveKanjiStore(store, dir.Path() / "busy.db");
  ASSERT_FALSE(blocked);
  EXPECT_THAT(blocked.Error().Message(), HasSubstr("busy.db"));
}

TEST(KanjiStoreDamage, ShortFilesFillTheRestWithBlankRecords) {
  CKanjiStore store = RandomStore(4);
  const std::vector<uint8_t> full = SerializeKanjiStore(store);
  size_t offsetOfRecord3 = 0;
  for (size_t i = 0; i < 3; ++i)
    offsetOfRecord3 += 28 + 2 * std::to_string(store[i].code).size();
  struct Case {
    const char *what;
    size_t cut;
    int intact;       // records read whole
    bool partialCode; // record `intact` keeps its code
    const char *says;
  };
  const Case cases[] = {
      {"empty file", 0, 0, false, "records 0 to 9999"},
      {"after three records", offsetOfRecord3, 3, false, "records 3 to 9999"},
      {"inside the digits", offsetOfRecord3 + 1, 3, false, "records 3 to 9999"},
      {"inside the glyph", offsetOfRecord3 + 20, 3, true, "record 3 is cut short"},
      {"before the line end", full.size() - 2, kKanjiRecords - 1, true, "record 9999 is cut short"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<uint8_t> bytes(full.begin(), full.begin() + std::ptrdiff_t(c.cut));
    CKanjiStoreLoad load = ParseKanjiStore(bytes, "short.db");
    EXPECT_THAT(load.m_warning, HasSubstr("short.db"));
    EXPECT_THAT(load.m_warning, HasSubstr(c.says));
    for (int i = 0; i < c.intact; ++i)
      ASSERT_TRUE(load.m_store[size_t(i)] == store[size_t(i)]) << i;
    for (int i = c.intact + (c.partialCode ? 1 : 0); i < kKanjiRecords; ++i) {
      ASSERT_EQ(load.m_store[size_t(i)].code, 0) << i;
      ASSERT_EQ(load.m_store[size_t(i)].glyph, BlankKanjiGlyph()) << i;
    }
    if (c.partialCode) {
      EXPECT_EQ(load.m_store[size_t(c.intact)].code, store[size_t(c.intact)].code);
    }
  }
}

TEST(KanjiStoreDamage, RecordCutInsideItsGlyphKeepsTheBytesRead) {
  std::vector<uint8_t> bytes;
  AppendUnits(bytes, "4660 ");
  bytes.insert(bytes.end(), {1, 2, 3, 4, 5});
  CKanjiStoreLoad load = ParseKanjiStore(bytes, "g.db");
  EXPECT_EQ(load.m_store[0].code, 4660);
  KanjiGlyph expected = BlankKanjiGlyph();
  for (int i = 0; i < 5; ++i)
    expected[size_t(i)] = uint8_t(i + 1);
  EXPECT_EQ(load.m_store[0].glyph, expected);
}

TEST(KanjiStoreDamage, IrregularRecordsAreReadByTheirFieldsAndReported) {
  // Each case spoils record 1 of a file of otherwise standard records; record
  // 2 must still be read in full, and the warning names record 1.
  struct Case {
    const char *what;
    std::vector<uint8_t> record1;
    uint16_t code1;
    const char *where;
    const char *says;
  };
  auto withEnd = [](std::vector<uint8_t> head, std::vector<uint8_t> end) {
    head.insert(head.end(), 24, 0x55);
    head.insert(head.end(), end.begin(), end.end());
    return head;
  };
  auto units = [](std::string_view text) {
    std::vector<uint8_t> bytes;
    AppendUnits(bytes, text);
    return bytes;
  };
  const Case cases[] = {
      {"leading zeros", withEnd(units("0042 "), {0x0D, 0x0A}), 42, "record 1 at offset 0x00001e", "leading zeros"},
      {"white space first", withEnd(units("\t42 "), {0x0D, 0x0A}), 42, "record 1 at offset 0x00001e", "white space"},
      {"tab separator", withEnd(units("42\t"), {0x0D, 0x0A}), 42, "record 1 at offset 0x000022", "separator 0x0009"},
      {"wide separator", withEnd(Bytes({0x34, 0, 0x32, 0, 0x00, 0x30}), {0x0D, 0x0A}), 42,
       "record 1 at offset 0x000022", "separator 0x3000"},
      {"no line end", withEnd(units("42 "), {0x0A, 0x0D}), 42, "record 1 at offset 0x00003c", "no line end"},
      {"six digits", withEnd(units("065536 "), {0x0D, 0x0A}), 0, "record 1 at offset 0x00001e", "leading zeros"},
      {"above 16 bits", withEnd(units("70000 "), {0x0D, 0x0A}), uint16_t(70000), "record 1 at offset 0x00001e",
       "does not fit 16 bits"},
      {"no number", withEnd(units("x"), {0x0D, 0x0A}), 0, "record 1 at offset 0x00001e", "no number (0x0078)"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<uint8_t> head = RecordBytes("5", GlyphOf(1));
    head.insert(head.end(), c.record1.begin(), c.record1.end());
    auto record2 = RecordBytes("19968", GlyphOf(2));
    head.insert(head.end(), record2.begin(), record2.end());
    std::vector<uint8_t> bytes = FileOfRecords(head, 3);
    CKanjiStoreLoad load = ParseKanjiStore(bytes, "odd.db");
    EXPECT_THAT(load.m_warning, HasSubstr(c.where));
    EXPECT_THAT(load.m_warning, HasSubstr(c.says));
    EXPECT_EQ(load.m_store[1].code, c.code1);
    EXPECT_EQ(load.m_store[2].code, 0x4E00);
    EXPECT_EQ(load.m_store[2].glyph, GlyphOf(2));
    EXPECT_EQ(load.m_store[9999].glyph, BlankKanjiGlyph());
    // The save writes the standard layout, which then loads without a warning.
    EXPECT_EQ(ParseKanjiStore(SerializeKanjiStore(load.m_store), "odd.db").m_warning, "");
  }
}

TEST(KanjiStoreDamage, BytesAfterTheLastRecordAreReported) {
  std::vector<uint8_t> bytes = SerializeKanjiStore(CKanjiStore());
  bytes.insert(bytes.end(), {'x', 0, 'y'});
  CKanjiStoreLoad load = ParseKanjiStore(bytes, "long.db");
  EXPECT_THAT(load.m_warning, HasSubstr("3 bytes after record 9999 are ignored"));
  EXPECT_TRUE(load.m_store == CKanjiStore());
}

TEST(KanjiStoreCreate, BuildsFromTheFontAndSavesIt) {
  CTempDir dir;
  std::filesystem::create_directories(dir.Path() / "data");
  // 9388 glyphs and half of one more.
  std::vector<uint8_t> font;
  for (int i = 0; i < 9388; ++i) {
    KanjiGlyph glyph = GlyphOf(uint8_t(i));
    glyph[0] = uint8_t(i >> 8);
    font.insert(font.end(), glyph.begin(), glyph.end());
  }
  font.insert(font.end(), 12, 0x00);
  ASSERT_TRUE(WriteFileAtomic(KanjiFontPath(dir.Path()), font));

  CKanjiStoreCreation created = CreateKanjiStore(KanjiFontPath(dir.Path()), KanjiStorePath(dir.Path()));
  ASSERT_TRUE(created.m_saved);
  EXPECT_THAT(created.m_warning, HasSubstr("holds 9388 glyphs and part of one"));
  for (int i = 0; i < 9388; ++i) {
    ASSERT_EQ(created.m_store[size_t(i)].code, 0);
    ASSERT_TRUE(std::equal(created.m_store[size_t(i)].glyph.begin(), created.m_store[size_t(i)].glyph.end(),
                           font.begin() + i * 24))
        << i;
  }
  KanjiGlyph partial = BlankKanjiGlyph();
  std::fill(partial.begin(), partial.begin() + 12, 0x00);
  EXPECT_EQ(created.m_store[9388].glyph, partial);
  for (int i = 9389; i < kKanjiRecords; ++i)
    ASSERT_EQ(created.m_store[size_t(i)], KanjiRecord{}) << i;

  auto saved = ReadFileBytes(KanjiStorePath(dir.Path()));
  ASSERT_TRUE(saved);
  EXPECT_EQ(*saved, SerializeKanjiStore(created.m_store));
  EXPECT_EQ(CountUnfilledRecords(created.m_store, 9388), 9388);
}

TEST(KanjiStoreCreate, MissingFontGivesBlankStoreAndSaysSo) {
  CTempDir dir;
  CKanjiStoreCreation created = CreateKanjiStore(KanjiFontPath(dir.Path()), KanjiStorePath(dir.Path()));
  EXPECT_THAT(created.m_warning, HasSubstr("fontfile.fon"));
  EXPECT_THAT(created.m_warning, HasSubstr("blank records"));
  EXPECT_TRUE(created.m_store == CKanjiStore());
  EXPECT_TRUE(created.m_saved);
  EXPECT_TRUE(std::filesystem::exists(KanjiStorePath(dir.Path())));
}

} // namespace
} // namespace quillan
