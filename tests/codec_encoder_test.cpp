// The fixed Huffman code and the writer of replacement scripts: the code
// table against the tree shape written into every file, the ranking, a small
// file worked out by hand, and round trips through the script reader.

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "codec/code_table.h"
#include "codec/english_text.h"
#include "codec/text_encoder.h"
#include "core/byte_reader.h"
#include "core/file_io.h"
#include "core/script_file.h"
#include "support/codec_fixture.h"
#include "support/scratch_dir.h"

namespace quillan {
namespace {

using testing::English;
using testing::RandomEnglish;
using testing::SyntheticEnglishFont;

TEST(CodeTable, IsACompletePrefixCodeWithTheStatedLengths) {
  const auto &codes = CodeStrings();
  std::map<size_t, int> lengths;
  double kraft = 0;
  for (auto code : codes) {
    ++lengths[code.size()];
    kraft += 1.0 / double(1u << code.size());
  }
  EXPECT_EQ(kraft, 1.0);
  EXPECT_EQ(lengths,
            (std::map<size_t, int>{{4, 4}, {5, 1}, {6, 13}, {7, 23}, {8, 39}, {9, 55}, {10, 52}, {11, 35}, {12, 34}}));
  EXPECT_EQ(codes[0], "1000");
  EXPECT_EQ(codes[255], "11011000001");
  for (size_t a = 0; a < codes.size(); ++a) {
    for (size_t b = 0; b < codes.size(); ++b) {
      if (a != b) {
        ASSERT_FALSE(codes[b].starts_with(codes[a])) << a << " is a prefix of " << b;
      }
    }
  }
}

// The tree shape is written into every output; the codes are what the
// encoder emits. Walking the shape must give exactly the codes' leaves, in
// the left-to-right order the leaf table is written in.
TEST(CodeTable, TreeShapeHoldsExactlyTheLeavesOfTheCodes) {
  const auto &shape = CodeTreeShape();
  size_t position = 0;
  auto bit = [&](size_t at) { return (shape[at / 8] >> (7 - at % 8)) & 1; };
  std::vector<std::string> leaves;
  std::vector<std::string> stack{""};
  while (!stack.empty()) {
    std::string path = stack.back();
    stack.pop_back();
    if (bit(position++)) {
      leaves.push_back(path);
    } else {
      stack.push_back(path + "1");
      stack.push_back(path + "0");
    }
  }
  EXPECT_EQ(position, 511u);
  std::string tail;
  for (; position < shape.size() * 8; ++position)
    tail += char('0' + bit(position));
  EXPECT_EQ(tail, "000010001");

  const CCodeTable &table = FixedCodeTable();
  ASSERT_EQ(leaves.size(), 256u);
  for (size_t leaf = 0; leaf < leaves.size(); ++leaf)
    ASSERT_EQ(leaves[leaf], CodeStrings()[table.m_leafRank[leaf]]) << "leaf " << leaf;
  struct Row {
    size_t leaf;
    int rank;
  } rows[] = {{0, 9}, {1, 13}, {2, 40}, {197, 214}, {198, 255}, {199, 215}, {254, 14}, {255, 10}};
  for (const Row &row : rows)
    EXPECT_EQ(table.m_leafRank[row.leaf], row.rank) << "leaf " << row.leaf;
}

TEST(Encoder, RanksByTheExchangeSortNotBySymbolValue) {
  auto ranked = [](std::map<uint8_t, uint32_t> counts) {
    CSymbolCounts table;
    for (size_t k = 0; k < 256; ++k)
      table[k] = {uint8_t(k), counts.count(uint8_t(k)) ? counts[uint8_t(k)] : 0};
    SortSymbolCounts(table);
    return table;
  };
  // Nothing counted: nothing moves, symbol k sits in position k (rank 255 - k).
  auto none = ranked({});
  for (size_t k = 0; k < 256; ++k)
    ASSERT_EQ(none[k].m_symbol, k);
  // Three equal counts end as the double loop leaves them: 3, 200, 7.
  auto tied = ranked({{7, 1}, {3, 1}, {200, 1}});
  EXPECT_EQ(tied[255].m_symbol, 3);
  EXPECT_EQ(tied[254].m_symbol, 200);
  EXPECT_EQ(tied[253].m_symbol, 7);
  EXPECT_EQ(tied[252].m_symbol, 255);
  // The swaps move the uncounted symbols too.
  EXPECT_EQ(tied[0].m_symbol, 1);
  EXPECT_EQ(tied[2].m_symbol, 0);
  auto mixed = ranked({{0, 7}, {5, 3}, {9, 3}});
  EXPECT_EQ(mixed[255].m_symbol, 0);
  EXPECT_EQ(mixed[254].m_symbol, 9);
  EXPECT_EQ(mixed[253].m_symbol, 5);
  EXPECT_EQ(mixed[0].m_symbol, 1);
}

TEST(Encoder, CountsOneZeroPerEntryAndTheLastPageUpToTheLineAfterTheNext) {
  std::vector<EnglishString> strings(512);
  strings[0] = English("AB");
  strings[1] = {0x41, 0x00, 0x42}; // written as "A": the 0 ends it
  strings[256] = English("B");
  strings[256 + 3] = English("CCCC"); // past the last page's two entries, counted up to line 2 + 1
  strings[256 + 4] = English("DD");   // past that: written, not counted
  strings[300] = English("E");        // a page the script does not have
  CEncoderInput input{"T", 48, 2, 2, strings};
  auto counts = CountSymbols(input);
  EXPECT_EQ(counts[0].m_count, 256u + 2u + 1u) << "one terminator per entry, none per high byte";
  EXPECT_EQ(counts[0x41].m_count, 2u);
  EXPECT_EQ(counts[0x42].m_count, 2u);
  EXPECT_EQ(counts[0x43].m_count, 4u);
  EXPECT_EQ(counts[0x44].m_count, 0u);
  EXPECT_EQ(counts[0x45].m_count, 0u);
}

std::unique_ptr<CScriptFile> ReadBack(const CEncodedScript &encoded);

// Strings of the last page past its entries (a chunk file of another tool,
// or of an older version of the script) are written as the game's encoder
// writes them: each non-empty one a record after the entries, in order.
TEST(Encoder, WritesStringsPastTheLastPagesEntriesAfterThemWithANote) {
  std::vector<EnglishString> strings(16 * 256);
  strings[256] = English("first");
  strings[256 + 1] = English("second");
  strings[256 + 2] = English("past one");
  strings[256 + 3] = English("past two");
  strings[256 + 5] = English("past three"); // line 4 holds nothing: no record
  CEncoderInput input{"P", 48, 2, 2, strings};
  EXPECT_EQ(TrailingLines(input), (std::vector<int>{2, 3, 5}));
  auto encoded = EncodeEnglishText(input, SyntheticEnglishFont(48));
  ASSERT_TRUE(encoded.Ok());
  EXPECT_EQ(encoded->m_records, 256 + 2 + 3);
  ASSERT_EQ(encoded->m_notes.size(), 1u);
  EXPECT_EQ(encoded->m_notes[0], "page 1 holds 3 strings past its 2 entries; written as entries 3-5");
  auto script = ReadBack(*encoded);
  ASSERT_TRUE(script);
  EXPECT_EQ(script->m_linesOnLastPage, 5);
  const char *expected[] = {"first", "second", "past one", "past two", "past three"};
  for (int line = 0; line < 5; ++line) {
    const uint16_t *entry = script->DecodeEntry(1, line);
    std::string text;
    for (int i = 0; i < kEntryCapacity && entry[i]; ++i)
      text.push_back(char(entry[i]));
    EXPECT_EQ(text, expected[line]) << line;
  }
  // One string: "entry", not "entries".
  strings[256 + 3].clear();
  strings[256 + 5].clear();
  auto one = EncodeEnglishText(input, SyntheticEnglishFont(48));
  ASSERT_TRUE(one.Ok());
  EXPECT_EQ(one->m_notes, std::vector<std::string>{"page 1 holds 1 string past its 2 entries; written as entry 3"});
  // None past the entries: no note.
  strings[256 + 2].clear();
  auto none = EncodeEnglishText(input, SyntheticEnglishFont(48));
  ASSERT_TRUE(none.Ok());
  EXPECT_TRUE(none->m_notes.empty());
}

// A compressed script opened again has exactly the entries it was written
// with, whatever filler lies before its group pointer table, so that a
// compress-open-save-compress cycle gives the same bytes.
TEST(Encoder, ACompressOpenSaveCompressCycleKeepsTheEntriesAndTheBytes) {
  std::set<int> fillers;
  for (uint32_t seed = 1; seed <= 12; ++seed) {
    testing::CScratchDir dir;
    testing::WriteEnglishFonts(dir.Path());
    const std::vector<int> pages = {256, int(30 + seed)};
    CTranslationDocument doc;
    ASSERT_TRUE(testing::OpenBuiltScript(doc, dir.Path(), "X5CYC.bin", testing::LayoutScriptSpec(48, pages)).Ok());
    doc.LoadedStrings() = RandomEnglish(seed, pages, 12);
    ASSERT_TRUE(SaveEnglishText(doc, nullptr).Ok());
    auto first = CompressEnglishText(doc);
    ASSERT_TRUE(first.Ok()) << first.Error().Message();
    const auto output = first->m_output;
    const auto firstBytes = testing::ReadBytes(output);

    CTranslationDocument again;
    again.m_baseDir = dir.Path();
    ASSERT_TRUE(again.LoadScript(output).Ok());
    auto script = CScriptFile::Open(PathText(output));
    ASSERT_TRUE(script);
    fillers.insert(int(script.Value()->GroupTableOffset() - script.Value()->RecordOffset(1, pages[1])));
    EXPECT_EQ(again.m_pageCount, 2) << seed;
    EXPECT_EQ(again.m_linesOnLastPage, pages[1]) << seed << ": filler read as entries";
    ASSERT_TRUE(SaveEnglishText(again, nullptr).Ok());
    ASSERT_TRUE(CompressEnglishText(again).Ok());
    EXPECT_EQ(testing::ReadBytes(output), firstBytes) << seed;
  }
  EXPECT_EQ(fillers, (std::set<int>{0, 1, 2, 3})) << "every filler length was tried";
}

// One page of two entries, "A" and an empty one, with a 52-byte font behind a
// 48-byte header. Symbol 0 is counted twice and 'A' once, so 0 gets rank 0
// (code 1000) and 'A' rank 1 (code 1001).
TEST(Encoder, WritesTheLayoutWorkedOutByHand) {
  std::vector<EnglishString> strings = {English("A"), English("")};
  std::vector<uint8_t> font(52, 0x5A);
  auto encoded = EncodeEnglishText(CEncoderInput{"HAND", 48, 1, 2, strings}, font);
  ASSERT_TRUE(encoded.Ok()) << encoded.Error().Message();
  const std::vector<uint8_t> &file = encoded->m_bytes;
  // Records: 0 A 0 0 = 1000 1001 1000 1000, on a byte boundary, so one more
  // byte 0x00; then 0 0 = 1000 1000 and 0x00.
  EXPECT_EQ(encoded->m_spool, (std::vector<uint8_t>{3, 0x89, 0x88, 0x00, 2, 0x88, 0x00}));
  // T = 48 + 52 = 100, U = 357, filler 422..431, P = 432, D = 2480, the
  // records end at 2487, one 0x00, Q = 2488, one page pointer.
  ASSERT_EQ(file.size(), 2492u);
  CByteReader reader(file);
  std::vector<uint8_t> header(file.begin(), file.begin() + 48);
  std::vector<uint8_t> expectedHeader(48, 0);
  for (auto [at, value] : {std::pair{0, 0x00200030u}, {12, 0x002016F0u}, {24, 0x002001B0u}, {36, 0x002009B8u}})
    for (int i = 0; i < 4; ++i)
      expectedHeader[size_t(at + i)] = uint8_t(value >> (24 - 8 * i));
  EXPECT_EQ(header, expectedHeader);
  EXPECT_TRUE(std::equal(font.begin(), font.end(), file.begin() + 48));
  EXPECT_EQ(file[100 + 99], 0x00) << "leaf 99 holds the code 1000: rank 0, symbol 0";
  EXPECT_EQ(file[100 + 100], 0x41) << "leaf 100 holds the code 1001: rank 1, 'A'";
  EXPECT_EQ(file[356], 0xFF);
  EXPECT_TRUE(std::equal(CodeTreeShape().begin(), CodeTreeShape().end(), file.begin() + 357));
  EXPECT_EQ(std::vector<uint8_t>(file.begin() + 422, file.begin() + 432),
            (std::vector<uint8_t>{0x80, 0, 0x80, 0, 0x80, 0, 0x80, 0, 0x80, 0}));
  for (size_t pair = 0; pair < 256; ++pair) {
    ASSERT_EQ(*reader.BE32(432 + 8 * pair), 0x00200064u);
    ASSERT_EQ(*reader.BE32(436 + 8 * pair), 0x00200165u);
  }
  EXPECT_TRUE(std::equal(encoded->m_spool.begin(), encoded->m_spool.end(), file.begin() + 2480));
  EXPECT_EQ(file[2487], 0x00);
  EXPECT_EQ(*reader.BE32(2488), 0x002009B0u);

  // The same text behind a 36-byte header: 00 20 00 24, no font field, the
  // table pointers at 12 and 24.
  auto short36 = EncodeEnglishText(CEncoderInput{"HAND", 36, 1, 2, strings}, std::vector<uint8_t>(60, 1));
  ASSERT_TRUE(short36.Ok());
  CByteReader r36(short36->m_bytes);
  EXPECT_EQ(*r36.BE32(0), 0x00200024u);
  EXPECT_EQ(*r36.BE32(12), 0x00200000u + short36->m_contextTableOffset);
  EXPECT_EQ(*r36.BE32(24), 0x00200000u + short36->m_groupTableOffset);
  EXPECT_EQ(short36->m_treeBlockOffset, 96u);
  EXPECT_EQ(short36->m_contextTableOffset, 432u) << "96 + 322 = 418, filled up to 432";
}

TEST(Encoder, EndsARecordOnAByteBoundaryWithOneMoreZeroByte) {
  // "AAA" with 'A' rank 0 (1000) and 0 rank 1 (1001): 3 x (1001 1000) then
  // 1001 1001 is 32 bits; the record is 4 bytes and 0x00.
  std::vector<EnglishString> strings = {English("AAA"), English("AAA")};
  auto encoded = EncodeEnglishText(CEncoderInput{"B", 48, 1, 2, strings}, std::vector<uint8_t>(26, 0));
  ASSERT_TRUE(encoded.Ok());
  EXPECT_EQ(std::vector<uint8_t>(encoded->m_spool.begin(), encoded->m_spool.begin() + 6),
            (std::vector<uint8_t>{5, 0x98, 0x98, 0x98, 0x99, 0x00}));
}

std::unique_ptr<CScriptFile> ReadBack(const CEncodedScript &encoded) {
  auto script = CScriptFile::FromBytes(encoded.m_bytes, "X5OUT.bin");
  EXPECT_TRUE(script.Ok()) << (script.Ok() ? "" : script.Error().Message());
  return script.Ok() ? std::move(script.Value()) : nullptr;
}

// Every entry of the output decodes, by both decoder paths, into the
// English string's elements; the page count and every page's records come
// back; the last page gains one empty entry per 0x00 filler byte only.
TEST(Encoder, OutputReadsBackIntoTheSameEnglishStrings) {
  struct Case {
    uint32_t header;
    std::vector<int> pages;
  } cases[] = {{48, {1}},      {36, {256, 40}},       {48, {256, 256, 17}}, {36, {0}},
               {48, {256, 0}}, {36, {256, 256, 256}}, {48, {256, 255}},     {48, std::vector<int>(16, 256)}};
  uint32_t seed = 7;
  for (const Case &c : cases) {
    int pageCount = int(c.pages.size());
    auto strings = RandomEnglish(seed++, c.pages, c.pages.size() > 8 ? 30 : 60);
    CEncoderInput input{"RT", c.header, pageCount, c.pages.back(), strings};
    auto font = SyntheticEnglishFont(c.header);
    auto encoded = EncodeEnglishText(input, font);
    ASSERT_TRUE(encoded.Ok()) << encoded.Error().Message();
    auto script = ReadBack(*encoded);
    ASSERT_TRUE(script);
    const std::string where = std::to_string(c.header) + "/" + std::to_string(pageCount) + " pages";
    EXPECT_EQ(script->m_headerLength, c.header) << where;
    ASSERT_EQ(script->m_pageCount, pageCount) << where;
    // Read back with exactly the entries written: the filler before the
    // group pointer table adds none.
    EXPECT_EQ(script->m_linesOnLastPage, c.pages.back()) << where;
    for (int page = 0; page < pageCount; ++page) {
      for (int line = 0; line < c.pages[size_t(page)]; ++line) {
        const EnglishString &text = strings[size_t(page) * 256 + size_t(line)];
        for (bool bitwise : {false, true}) {
          const uint16_t *entry = bitwise ? script->DecodeEntryBitwise(page, line) : script->DecodeEntry(page, line);
          for (size_t i = 0; i < text.size(); ++i)
            ASSERT_EQ(entry[i], text[i]) << where << " page " << page << " line " << line << " element " << i;
        }
      }
    }
  }
}

// Strings that a save would change (no terminator, a 0 inside, elements
// above 255, empty lines, text past the last page's entries) are written as
// the save keeps them, so compressing before or after a save gives the
// same file.
TEST(Encoder, WritesEveryEntryAsSaveEnglishTextKeepsIt) {
  std::vector<EnglishString> strings(16 * 256);
  strings[0] = {0x41, 0x42};              // no terminator
  strings[1] = {0x43, 0x00, 0x44, 0x00};  // the 0 ends it; D is not kept
  strings[2] = {};                        // never filled: an empty entry
  strings[3] = {0x0145, 0x0100, 0x46, 0}; // 0x145 keeps its low byte, 0x100 ends it
  strings[4] = English("kept in place");
  CEncoderInput input{"S", 48, 2, 3, strings};
  auto font = SyntheticEnglishFont(48);
  auto direct = EncodeEnglishText(input, font);
  ASSERT_TRUE(direct.Ok());

  std::vector<EnglishString> reloaded(16 * 256);
  for (int page = 0; page < 2; ++page) {
    size_t count = page == 0 ? 256 : 3;
    auto bytes = EnglishChunkBytes(std::span<const EnglishString>(strings).subspan(size_t(page) * 256, count));
    auto lines = ReadEnglishChunk(bytes, 256);
    std::move(lines.begin(), lines.end(), reloaded.begin() + page * 256);
  }
  auto afterSave = EncodeEnglishText(CEncoderInput{"S", 48, 2, 3, reloaded}, font);
  ASSERT_TRUE(afterSave.Ok());
  EXPECT_EQ(direct->m_bytes, afterSave->m_bytes);

  auto script = ReadBack(*direct);
  ASSERT_TRUE(script);
  EXPECT_EQ(script->m_linesOnLastPage, 3);
  auto decoded = [&](int page, int line) {
    const uint16_t *entry = script->DecodeEntry(page, line);
    std::string text;
    for (int i = 0; i < kEntryCapacity && entry[i]; ++i)
      text.push_back(char(entry[i]));
    return text;
  };
  EXPECT_EQ(decoded(0, 0), "AB");
  EXPECT_EQ(decoded(0, 1), "C");
  EXPECT_EQ(decoded(0, 2), "");
  EXPECT_EQ(decoded(0, 3), "E");
  EXPECT_EQ(decoded(0, 4), "kept in place");
}

TEST(Encoder, RefusesWhatTheReaderCouldNotReadBack) {
  std::vector<EnglishString> strings(16 * 256, English("ok"));
  EnglishString longText(400, 0xF7); // at least 8 bits per element
  longText.push_back(0);
  strings[12] = longText;
  strings[256 * 2 + 7] = longText;
  auto font = SyntheticEnglishFont(48);
  auto overlong = EncodeEnglishText(CEncoderInput{"LONG", 48, 3, 10, strings}, font);
  ASSERT_FALSE(overlong.Ok());
  const std::string &message = overlong.Error().Message();
  EXPECT_NE(message.find("X5LONG.bin: 2 entries"), std::string::npos) << message;
  EXPECT_NE(message.find("page 0 line 13: "), std::string::npos) << message;
  EXPECT_NE(message.find("page 2 line 8: "), std::string::npos) << message;
  EXPECT_EQ(message.find('\n'), std::string::npos) << "one line";

  // The tables must stay in the first 64 KiB: U = 48 + F + 257 < 0x10000.
  std::vector<EnglishString> small = {English("x")};
  EXPECT_TRUE(EncodeEnglishText(CEncoderInput{"F", 48, 1, 1, small}, std::vector<uint8_t>(65230, 0)).Ok());
  auto bigFont = EncodeEnglishText(CEncoderInput{"F", 48, 1, 1, small}, std::vector<uint8_t>(65231, 0));
  ASSERT_FALSE(bigFont.Ok());
  EXPECT_NE(bigFont.Error().Message().find("64 KiB"), std::string::npos);

  EXPECT_FALSE(EncodeEnglishText(CEncoderInput{"H", 40, 1, 1, small}, font).Ok());
  EXPECT_FALSE(EncodeEnglishText(CEncoderInput{"P", 48, 0, 0, small}, font).Ok());
  CTranslationDocument closed;
  auto noScript = CompressEnglishText(closed);
  ASSERT_FALSE(noScript.Ok());
  EXPECT_EQ(noScript.Error().Message().rfind("No script is open", 0), 0u);
}

TEST(Encoder, AFontAtTheLimitStillReadsBack) {
  std::vector<EnglishString> strings = {English("edge")};
  auto encoded = EncodeEnglishText(CEncoderInput{"F", 48, 1, 1, strings}, std::vector<uint8_t>(65230, 0));
  ASSERT_TRUE(encoded.Ok());
  auto script = ReadBack(*encoded);
  ASSERT_TRUE(script);
  EXPECT_EQ(script->DecodeEntry(0, 0)[3], 'e');
}

} // namespace
} // namespace quillan
