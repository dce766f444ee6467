// The translation document: cursor placement, names derived from the script's
// file name, the chunk-file reading rule and the Japanese entry as text.

#include <gtest/gtest.h>

#include "core/document.h"
#include "core/file_io.h"
#include "support/codec_fixture.h"
#include "support/scratch_dir.h"

namespace quillan {
namespace {

TEST(Document, StartsWithNoScriptAndDecodesNothing) {
  CTranslationDocument doc;
  EXPECT_EQ(doc.EnglishStrings().size(), size_t(kMaxEnglishStrings));
  EXPECT_EQ(doc.m_textColor, 8);
  EXPECT_EQ(doc.m_noDocument, 1);
  EXPECT_EQ(doc.m_focusLost, 1);
  EXPECT_EQ(doc.m_repaintJapanese, 1);
  EXPECT_EQ(doc.m_fillWithName, 1);
  EXPECT_EQ(doc.m_fileOpen, 0);
  EXPECT_EQ(doc.CodeBook()[2047], 0x20);
  const uint16_t *entry = doc.DecodeEntry(0, 0);
  for (int i = 0; i < kEntryCapacity; ++i) ASSERT_EQ(entry[i], 0);
}

TEST(Document, PlacesTheCursorInTheLastVisibleRow) {
  struct Case {
    size_t length;
    int topRow, offset;
  } cases[] = {{0, 0, 0}, {1, 0, 0}, {75, 0, 74}, {76, 1, 60}, {100, 2, 69}, {600, 35, 74}};
  for (const auto &c : cases) {
    CTranslationDocument doc;
    doc.m_currentPage = 2;
    doc.m_currentLine = 5;
    EnglishString text(c.length, 0x41);
    if (!text.empty()) text.back() = 0;
    doc.LoadedStrings()[517] = text; // (page 2, line 5)
    doc.m_cursorChar = 0x1234;
    doc.m_viewTopRow = 9;
    doc.m_cursorOffset = 9;
    doc.PlaceCursorAtEnd();
    EXPECT_EQ(doc.m_viewTopRow, c.topRow) << c.length;
    EXPECT_EQ(doc.m_cursorOffset, c.offset) << c.length;
    EXPECT_EQ(doc.m_cursorChar, c.length == 0 ? 0x1234 : 0) << "the terminator, or unchanged when empty";
  }
}

TEST(Document, DerivesShortNameAndStemFromTheFileName) {
  struct Case {
    const char *name, *shortName, *stem;
  } cases[] = {
      {"X5ABC.bin", "ABC", "X5ABC"},
      {"X5ABCDEFGHIJK.bin", "ABCDEFGHI", "X5ABCDEFGHIJK"},
      {"x5abc.bin", "abc", "x5abc"},
      {"X5.bin", "", "X5"},
      {"X5ABC", "ABC", "X5ABC"},
      {"X5A.B.bin", "A", "X5A"},
      {"X", "", "X"},
      {"X5日本語.bin", "日本語", "X5日本語"},
      // Byte by byte up to the first '.': a byte that is not UTF-8 keeps the
      // dot as the end, and a long name is cut after 9 bytes.
      {"x5CAF\xe9.bin", "CAF\xe9", "x5CAF\xe9"},
      {"X5日本語漢字.bin", "日本語", "X5日本語漢字"},
      {"X5AB\xff\xfe.x.bin", "AB\xff\xfe", "X5AB\xff\xfe"},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(ShortNameOf(c.name), c.shortName) << c.name;
    EXPECT_EQ(StemOf(c.name), c.stem) << c.name;
  }
  CTranslationDocument doc;
  doc.m_baseDir = "/w";
  doc.m_scriptFileName = "X5ABC.bin";
  doc.m_shortName = "ABC";
  EXPECT_EQ(doc.ChunkFilePath(0), "/w/Scripts/PATCHED INFO/ABC/X5ABC0.tk7");
  EXPECT_EQ(doc.ChunkFilePath(10), "/w/Scripts/PATCHED INFO/ABC/X5ABC:.tk7");
  EXPECT_EQ(doc.ChunkFilePath(15), "/w/Scripts/PATCHED INFO/ABC/X5ABC?.tk7");
  EXPECT_EQ(doc.CodeBookPath(), "/w/data/kanjiCB/ABC.kcb");
}

TEST(Document, ReadsChunkFilesByTheirBytePairs) {
  // "Hi", then an empty string, then "A" with a high byte that is dropped.
  const std::vector<uint8_t> bytes{0, 'H', 0, 'i', 0, 0, 0, 0, 7, 'A', 0, 0, 0};
  auto lines = ReadEnglishChunk(bytes, 256);
  ASSERT_EQ(lines.size(), 256u);
  EXPECT_EQ(lines[0], (EnglishString{'H', 'i', 0}));
  EXPECT_EQ(lines[1], (EnglishString{0}));
  EXPECT_EQ(lines[2], (EnglishString{'A', 0}));
  EXPECT_TRUE(lines[3].empty()) << "a lone last byte is ignored";

  // Bytes after the last line's terminator are ignored.
  std::vector<uint8_t> many;
  for (int i = 0; i < 300; ++i) many.insert(many.end(), {0, 'x', 0, 0});
  auto full = ReadEnglishChunk(many, 256);
  EXPECT_EQ(full.size(), 256u);
  EXPECT_EQ(full[255], (EnglishString{'x', 0}));
}

// Only a missing chunk file means "no text"; one that is there but cannot be
// read stops the open, so that no later save or compress writes empty
// strings over it. A name without a short name has no folder for its text.
TEST(Document, AnOpenStopsAtAChunkFileThatCannotBeReadAndAtANameWithoutAShortName) {
  testing::CScratchDir dir;
  CTranslationDocument doc;
  ASSERT_TRUE(testing::OpenBuiltScript(doc, dir.Path(), "X5ABC.bin", testing::LayoutScriptSpec(48, {256, 4})).Ok());
  doc.LoadedAt(0, 0) = {'k', 'e', 'p', 't', 0};
  auto blocked = dir.Path() / "Scripts" / "PATCHED INFO" / "ONE" / "X5ONE1.tk7";
  std::filesystem::create_directories(blocked);
  auto script = testing::BuildScript(testing::LayoutScriptSpec(48, {256, 4})).m_bytes;
  testing::WriteBytes(dir.Path() / "X5ONE.bin", script);
  auto status = doc.LoadScript(dir.Path() / "X5ONE.bin");
  ASSERT_FALSE(status);
  EXPECT_NE(status.Error().Message().find("English text of page 1"), std::string::npos) << status.Error().Message();
  EXPECT_NE(status.Error().Message().find("X5ONE1.tk7: is a folder"), std::string::npos) << status.Error().Message();
  EXPECT_EQ(doc.m_scriptFileName, "X5ABC.bin") << "the document stays as it was";
  EXPECT_EQ(doc.m_shortName, "ABC");
  EXPECT_EQ(doc.EnglishAt(0, 0), (EnglishString{'k', 'e', 'p', 't', 0}));

  testing::WriteBytes(dir.Path() / "x5.bin", script);
  auto unnamed = doc.LoadScript(dir.Path() / "x5.bin");
  ASSERT_FALSE(unnamed);
  EXPECT_NE(unnamed.Error().Message().find("x5.bin: the file name has no short name"), std::string::npos)
      << unnamed.Error().Message();
  EXPECT_EQ(doc.m_shortName, "ABC");
}

TEST(Document, JapaneseEntryAsText) {
  KanjiCodeBook book;
  book.fill(0x20);
  book[3] = 0x65E5; // kanji 0x103
  struct Case {
    std::vector<uint16_t> entry;
    std::u16string text;
  } cases[] = {
      {{0x96, 0xDE, 0}, u"\u304C"},              // voiced mark joins the kana before it
      {{0xCA, 0xDF, 0}, u"\u30D1"},              // semi-voiced
      {{0xDE, 0}, u"\u0001"},                    // a mark with nothing before: previous 0 + 1
      {{0x41, 0x03, 0x42, 0}, u"AB"},            // control codes leave nothing
      {{0x0103, 0x0104, 0}, u"\u65E5 "},         // kanji from the code book
      {{0x41, 0x0801, 0x42, 0x0800, 0x43}, std::u16string(u"A\0B\0", 4)},
      {{0x20, 0x7F, 0x80, 0xFE, 0}, u" \u007F  "},
      {{0x86, 0xB0, 0xDD, 0xFD, 0}, u"\u3092\u30FC\u30F3\u3093"},
  };
  for (const auto &c : cases) EXPECT_EQ(JapaneseEntryText(c.entry, book), c.text);
  // An entry without a terminator is used as 600 codes.
  std::vector<uint16_t> full(kEntryCapacity, 0x41);
  EXPECT_EQ(JapaneseEntryText(full, book).size(), size_t(kEntryCapacity));
}

TEST(Document, OneByteToTextCoversTheKanaTable) {
  struct Case {
    uint16_t code;
    char16_t text;
  } cases[] = {{0x00, u' '},     {0x21, u'!'},     {0x7E, u'~'},     {0x85, u' '},     {0x87, 0x3041},
               {0x8B, 0x3049},   {0x8E, 0x3087},   {0x8F, 0x3063},   {0x90, u' '},     {0x95, 0x304A},
               {0x96, 0x304B},   {0x9F, 0x305D},   {0xA5, u' '},     {0xA6, 0x30F2},   {0xAB, 0x30A9},
               {0xAE, 0x30E7},   {0xAF, 0x30C3},   {0xB5, 0x30AA},   {0xB6, 0x30AB},   {0xC1, 0x30C1},
               {0xC4, 0x30C8},   {0xC9, 0x30CE},   {0xCE, 0x30DB},   {0xD3, 0x30E2},   {0xD6, 0x30E8},
               {0xDB, 0x30ED},   {0xDC, 0x30EF},   {0xE4, 0x3068},   {0xE9, 0x306E},   {0xEE, 0x307B},
               {0xF3, 0x3082},   {0xF6, 0x3088},   {0xFB, 0x308D},   {0xFC, 0x308F},   {0xFF, u' '}};
  for (const auto &c : cases) EXPECT_EQ(OneByteToText(c.code, 0), c.text) << std::hex << c.code;
  EXPECT_EQ(OneByteToText(0xDE, 0x304B), 0x304C);
  EXPECT_EQ(OneByteToText(0xDF, 0x30CF), 0x30D1);
}

} // namespace
} // namespace quillan
