// Tests of the test script builder and the demo folder it writes. The files
// are read back with a small bit-walk decoder of this file's own, so the
// builder is checked independently of the program's reader.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/demo_workspace.h"
#include "support/script_builder.h"

namespace {

using namespace quillan::testing;
using CBytes = std::vector<uint8_t>;
using CCodeTable = std::vector<std::vector<std::string>>;

uint32_t Word(const CBytes &bytes, size_t at) {
  if (at + 4 > bytes.size()) throw std::out_of_range("word past the end of the file");
  return uint32_t(bytes[at]) << 24 | uint32_t(bytes[at + 1]) << 16 | uint32_t(bytes[at + 2]) << 8 | bytes[at + 3];
}

// What a reader takes from the header and the tables, as file offsets.
struct CLayout {
  uint32_t m_headerLength = 0;
  std::vector<uint32_t> m_sections;
  uint32_t m_treeBlock = 0;
  std::array<uint32_t, 256> m_leaves{};
  std::array<uint32_t, 256> m_trees{};
  std::vector<uint32_t> m_pages;
  int m_skippedWords = 0;
};

CLayout ReadLayout(const CBytes &bytes) {
  CLayout layout;
  layout.m_headerLength = Word(bytes, 0) & 0xFFFFF;
  for (uint32_t i = 0; i < layout.m_headerLength / 12; ++i)
    layout.m_sections.push_back(Word(bytes, 12 * i) & 0xFFFFF);
  const size_t n = layout.m_sections.size();
  const uint32_t table = layout.m_sections.at(n - 2);
  layout.m_treeBlock = Word(bytes, table) & 0xFFFFF;
  if (layout.m_headerLength == 36) {
    for (size_t c = 0; c < 256; ++c) {
      layout.m_leaves[c] = Word(bytes, table + 8 * c) & 0xFFFFF;
      layout.m_trees[c] = Word(bytes, table + 8 * c + 4) & 0xFFFFF;
    }
  } else {
    // Words 00 20 xx xx are leaf and tree pointers in turn, other words
    // starting with 00 are skipped, any other word ends the table.
    size_t accepted = 0;
    for (size_t at = table; accepted < 512; at += 4) {
      const uint32_t word = Word(bytes, at);
      if (word >> 24 != 0) break;
      if (word >> 16 != 0x20) {
        ++layout.m_skippedWords;
        continue;
      }
      (accepted % 2 == 0 ? layout.m_leaves : layout.m_trees)[accepted / 2] = word & 0xFFFFF;
      ++accepted;
    }
    EXPECT_EQ(accepted, 512u) << "the filtered context table holds fewer than 256 pairs";
  }
  for (size_t at = layout.m_sections[n - 1]; at + 4 <= bytes.size(); at += 4)
    layout.m_pages.push_back(Word(bytes, at) & 0xFFFFF);
  return layout;
}

struct CDecoded {
  CEntryCodes m_codes;
  size_t m_bitsUsed = 0;
};

// Decodes the record at the given offset. Throws when a tree reaches outside
// the 4096-byte tree block or the codes need more bits than the record has.
// With codes given, checks every decoded path against the builder's table.
CDecoded DecodeRecord(const CBytes &bytes, const CLayout &layout, size_t record, const CCodeTable *codes = nullptr) {
  const size_t length = bytes.at(record);
  const size_t blockEnd = size_t(layout.m_treeBlock) + 4096;
  CDecoded out;
  auto bitAt = [&](size_t bit) { return (bytes.at(bit / 8) >> (7 - bit % 8)) & 1; };
  uint8_t context = 0;
  auto decodeByte = [&]() -> uint8_t {
    size_t treeBit = size_t(layout.m_trees[context]) * 8;
    auto treeNext = [&] {
      if (treeBit / 8 < layout.m_treeBlock || treeBit / 8 >= blockEnd) throw std::runtime_error("tree outside block");
      return bitAt(treeBit++);
    };
    std::string path;
    size_t k = 0;
    while (treeNext() == 0) {
      if (out.m_bitsUsed >= 8 * length) throw std::runtime_error("codes run past the end of the record");
      const int turn = bitAt(8 * (record + 1) + out.m_bitsUsed++);
      path += char('0' + turn);
      if (turn == 0) continue;
      for (int depth = 0; depth >= 0;) {
        if (treeNext()) {
          ++k;
          --depth;
        } else {
          ++depth;
        }
      }
    }
    const size_t leaf = size_t(layout.m_leaves[context]) + k;
    if (leaf < layout.m_treeBlock || leaf >= blockEnd) throw std::runtime_error("leaf outside block");
    const uint8_t symbol = bytes[leaf];
    if (codes) {
      EXPECT_EQ((*codes)[context][symbol], path) << "context " << int(context) << " symbol " << int(symbol);
    }
    return context = symbol;
  };
  while (out.m_codes.size() < 600) {
    const uint8_t high = decodeByte();
    const uint8_t low = decodeByte();
    out.m_codes.push_back(uint16_t(high << 8 | low));
    if (low == 0 && (high == 0 || high > 7)) break;
  }
  return out;
}

// Reads every entry of a built script back and compares it with its spec,
// with the record lengths, the fill bits and the zero padding.
void ExpectRoundTrip(const CScriptSpec &spec, const CBuiltScript &built) {
  const CBytes &bytes = built.m_bytes;
  const CLayout layout = ReadLayout(bytes);
  ASSERT_EQ(layout.m_pages, built.m_pageOffsets);
  ASSERT_EQ(layout.m_pages.size(), spec.m_pages.size());
  size_t at = 0;
  for (size_t page = 0; page < spec.m_pages.size(); ++page) {
    at = layout.m_pages[page];
    for (size_t line = 0; line < spec.m_pages[page].size(); ++line) {
      SCOPED_TRACE("page " + std::to_string(page) + " line " + std::to_string(line));
      const CDecoded decoded = DecodeRecord(bytes, layout, at, &built.m_codes);
      ASSERT_EQ(decoded.m_codes, spec.m_pages[page][line]);
      const size_t length = bytes[at];
      ASSERT_EQ(length, (decoded.m_bitsUsed + 7) / 8) << "the record holds bytes beyond its codes";
      for (size_t bit = decoded.m_bitsUsed; bit < 8 * length; ++bit)
        ASSERT_EQ(bool((bytes[at + 1 + bit / 8] >> (7 - bit % 8)) & 1), spec.m_fillWithOnes) << "fill bit " << bit;
      at += length + 1;
    }
  }
  ASSERT_EQ(at + spec.m_zeroPadding, built.m_groupTableOffset);
  for (size_t i = 0; i < spec.m_zeroPadding; ++i)
    EXPECT_EQ(bytes[at + i], 0) << "padding byte " << i;
}

CScriptSpec OnePage(std::vector<CEntryCodes> entries, CTreeShape shape = CTreeShape::Huffman) {
  CScriptSpec spec;
  spec.m_pages = {std::move(entries)};
  spec.m_shape = shape;
  return spec;
}

TEST(ScriptBuilderTest, RandomScriptsDecodeBackToTheirCodes) {
  for (uint32_t seed : {1u, 2u, 3u, 5u, 8u, 13u, 21u, 34u, 1000u, 65537u}) {
    for (uint32_t header : {36u, 48u}) {
      SCOPED_TRACE("seed " + std::to_string(seed) + " header " + std::to_string(header));
      CScriptSpec spec = RandomScriptSpec(seed, 3);
      spec.m_headerLength = header;
      spec.m_skipWords = header == 48 && seed % 2 == 1;
      ExpectRoundTrip(spec, BuildScript(spec));
    }
  }
}

TEST(ScriptBuilderTest, RandomSpecsAreValidVariedAndDeterministic) {
  std::map<std::string, int> seen;
  for (uint32_t seed = 0; seed < 60; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    const CScriptSpec spec = RandomScriptSpec(seed, 16);
    ASSERT_GE(spec.m_pages.size(), 1u);
    ASSERT_LE(spec.m_pages.size(), 16u);
    for (size_t page = 0; page + 1 < spec.m_pages.size(); ++page)
      EXPECT_EQ(spec.m_pages[page].size(), 256u);
    EXPECT_GE(spec.m_pages.back().size(), 1u);
    EXPECT_LE(spec.m_pages.back().size(), 256u);
    for (const auto &page : spec.m_pages)
      for (const CEntryCodes &entry : page) {
        ASSERT_FALSE(entry.empty());
        for (size_t i = 0; i + 1 < entry.size(); ++i)
          ASSERT_FALSE((entry[i] & 0xFF) == 0 && (entry[i] < 0x100 || entry[i] >= 0x800)) << "terminator inside";
        ASSERT_EQ(entry.back() & 0xFF, 0);
        seen[entry.back() == 0 ? "terminator 0" : "terminator high"]++;
        for (uint16_t code : entry) {
          if (code >= 0x100 && code < 0x800) seen["kanji"]++;
          if (code >= 0x86 && code <= 0xFD) seen["kana"]++;
          if (code >= 0x21 && code <= 0x7E) seen["ascii"]++;
          if (code >= 1 && code <= 4) seen["control"]++;
        }
      }
    ASSERT_NO_THROW(BuildScript(spec));
    seen["header " + std::to_string(spec.m_headerLength)]++;
    seen[spec.m_shape == CTreeShape::Huffman ? "huffman" : "unbalanced"]++;
    if (spec.m_skipWords) seen["skip words"]++;
    if (spec.m_zeroPadding > 0) seen["padding"]++;
    if (spec.m_fillWithOnes) seen["fill ones"]++;
    if (spec.m_pages.size() > 1) seen["several pages"]++;
  }
  for (const char *feature :
       {"terminator 0", "terminator high", "kanji", "kana", "ascii", "control", "header 36", "header 48", "huffman",
        "unbalanced", "skip words", "padding", "fill ones", "several pages"})
    EXPECT_GT(seen[feature], 0) << "no random script has " << feature;

  EXPECT_EQ(BuildScript(RandomScriptSpec(77)).m_bytes, BuildScript(RandomScriptSpec(77)).m_bytes);
  EXPECT_NE(BuildScript(RandomScriptSpec(77)).m_bytes, BuildScript(RandomScriptSpec(78)).m_bytes);
}

TEST(ScriptBuilderTest, HeaderRecordsAndGlyphArea) {
  for (uint32_t header : {36u, 48u}) {
    SCOPED_TRACE("header " + std::to_string(header));
    CScriptSpec spec = OnePage({{0x91, 0x92, 0x0000}, {0x0101, 0x03, 0x0800}});
    spec.m_headerLength = header;
    spec.m_pages.push_back({{0x0102, 0x0000}});
    for (uint8_t g = 0; g < 3; ++g)
      spec.m_kanjiGlyphs.push_back(CKanjiBitmap{uint8_t(0xA0 + g), 0x11, 0x22});
    const CBuiltScript built = BuildScript(spec);
    const CBytes &bytes = built.m_bytes;
    const uint32_t n = header / 12;

    EXPECT_EQ(Word(bytes, 0), 0x00200000 + header);
    if (header == 48) {
      EXPECT_EQ(Word(bytes, 12), 0x002016F0u);
    }
    EXPECT_EQ(Word(bytes, 12 * (n - 2)), 0x00200000 + built.m_contextTableOffset);
    EXPECT_EQ(Word(bytes, 12 * (n - 1)), 0x00200000 + built.m_groupTableOffset);
    for (uint32_t i = 0; i < n; ++i)
      for (uint32_t b = 4; b < 12; ++b)
        EXPECT_EQ(bytes[12 * i + b], 0) << "record " << i << " byte " << b;

    for (size_t g = 0; g < 3; ++g)
      EXPECT_TRUE(
          std::equal(spec.m_kanjiGlyphs[g].begin(), spec.m_kanjiGlyphs[g].end(), bytes.begin() + 5872 + 24 * g));
    EXPECT_EQ(built.m_treeBlockOffset, 5872u + 3 * 24);
    EXPECT_EQ(Word(bytes, built.m_contextTableOffset) & 0xFFFFF, built.m_treeBlockOffset);
    EXPECT_LE(built.m_contextTableOffset - built.m_treeBlockOffset, 4096u);

    EXPECT_EQ(bytes.size(), built.m_groupTableOffset + 4 * 2u) << "the group pointer table ends the file";
    EXPECT_EQ(Word(bytes, built.m_groupTableOffset), 0x00200000 + built.m_pageOffsets[0]);
    EXPECT_EQ(Word(bytes, built.m_groupTableOffset + 4), 0x00200000 + built.m_pageOffsets[1]);
    ExpectRoundTrip(spec, built);
  }
  // Without glyphs the area still reaches the kanji glyphs' start.
  EXPECT_EQ(BuildScript(OnePage({{0x0000}})).m_treeBlockOffset, 5872u);
}

TEST(ScriptBuilderTest, TreeShapes) {
  // Kanji high byte 0x02 is followed by 0x41 four times, 0x42 twice, 0x43 and
  // 0x44 once each: Huffman code lengths 1, 2, 3, 3.
  const CScriptSpec huffman = OnePage({{0x0241, 0x0241, 0x0241, 0x0241, 0x0242, 0x0242, 0x0243, 0x0244, 0x0000}});
  const CBuiltScript built = BuildScript(huffman);
  EXPECT_EQ(built.m_codes[0x02][0x41].size(), 1u);
  EXPECT_EQ(built.m_codes[0x02][0x42].size(), 2u);
  EXPECT_EQ(built.m_codes[0x02][0x43].size(), 3u);
  EXPECT_EQ(built.m_codes[0x02][0x44].size(), 3u);
  ExpectRoundTrip(huffman, built);

  // Context 0 sees 0x00 twice and 0x91..0x98 once each: nine symbols, which a
  // chain puts at depths 1 to 8, the last two sharing the deepest level.
  CEntryCodes chainEntry;
  for (uint16_t c = 0x91; c <= 0x98; ++c)
    chainEntry.push_back(c);
  chainEntry.push_back(0x0000);
  const CScriptSpec deep = OnePage({chainEntry}, CTreeShape::Unbalanced);
  const CBuiltScript deepBuilt = BuildScript(deep);
  std::vector<size_t> lengths;
  for (int s : {0x00, 0x91, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98})
    lengths.push_back(deepBuilt.m_codes[0][s].size());
  std::sort(lengths.begin(), lengths.end());
  EXPECT_EQ(lengths, (std::vector<size_t>{1, 2, 3, 4, 5, 6, 7, 8, 8}));
  EXPECT_EQ(deepBuilt.m_codes[0][0x00].size(), 1u) << "the most frequent symbol is nearest the root";
  ExpectRoundTrip(deep, deepBuilt);
}

TEST(ScriptBuilderTest, SingleLeafContextsEmitNoBits) {
  // 01 02 08 00: every context is followed by one byte only.
  CScriptSpec spec = OnePage({{0x0102, 0x0800}, {0x0102, 0x0800}, {0x0102, 0x0800}});
  spec.m_fillWithOnes = true;
  const CBuiltScript built = BuildScript(spec);
  for (int context : {0x00, 0x01, 0x02, 0x08})
    for (const std::string &code : built.m_codes[size_t(context)])
      EXPECT_EQ(code, "") << "context " << context;
  for (size_t line = 0; line < 3; ++line)
    EXPECT_EQ(built.m_bytes[built.m_pageOffsets[0] + line], 0) << line;
  ExpectRoundTrip(spec, built);

  // One context with two symbols in the middle of single-leaf ones: the bits
  // are exactly the two one-bit codes of context 0x02.
  const CScriptSpec mixed = OnePage({{0x0102, 0x0203, 0x0800}});
  const CBuiltScript mixedBuilt = BuildScript(mixed);
  EXPECT_EQ(mixedBuilt.m_bytes[mixedBuilt.m_pageOffsets[0]], 1);
  ExpectRoundTrip(mixed, mixedBuilt);
}

TEST(ScriptBuilderTest, SkipWordsInTheContextTable) {
  CScriptSpec spec = RandomScriptSpec(4, 1);
  spec.m_headerLength = 48;
  spec.m_skipWords = false;
  const CBuiltScript plain = BuildScript(spec);
  spec.m_skipWords = true;
  const CBuiltScript skipping = BuildScript(spec);

  EXPECT_EQ(ReadLayout(plain.m_bytes).m_skippedWords, 0);
  const CLayout layout = ReadLayout(skipping.m_bytes);
  EXPECT_EQ(skipping.m_bytes[skipping.m_contextTableOffset + 1], 0x20) << "the first word must locate the tree block";
  size_t accepted = 0, skipped = 0;
  for (size_t at = skipping.m_contextTableOffset; Word(skipping.m_bytes, at) >> 24 == 0; at += 4) {
    const uint32_t word = Word(skipping.m_bytes, at);
    EXPECT_TRUE(word >> 16 == 0x20 || word >> 16 == 0x21) << std::hex << word;
    (word >> 16 == 0x20 ? accepted : skipped)++;
  }
  EXPECT_EQ(accepted, 512u);
  EXPECT_GE(skipped, 3u);
  // Both tables give the same trees and the same records.
  const CLayout plainLayout = ReadLayout(plain.m_bytes);
  EXPECT_EQ(plainLayout.m_leaves, layout.m_leaves);
  EXPECT_EQ(plainLayout.m_trees, layout.m_trees);
  EXPECT_TRUE(std::equal(plain.m_bytes.begin() + plain.m_pageOffsets[0],
                         plain.m_bytes.begin() + plain.m_groupTableOffset,
                         skipping.m_bytes.begin() + skipping.m_pageOffsets[0]));
  ExpectRoundTrip(spec, skipping);
}

TEST(ScriptBuilderTest, RefusesWhatTheFormatCannotHold) {
  // Codes of random bytes 0x20..0xFF: some 224 contexts, each with its own
  // counts of about as many followers, far beyond 4096 bytes of trees.
  CScriptSpec trees;
  trees.m_pages.emplace_back();
  uint32_t x = 1;
  for (int e = 0; e < 2000; ++e) {
    CEntryCodes entry;
    for (int i = 0; i < 20; ++i) {
      x = x * 1103515245u + 12345u;
      entry.push_back(uint16_t((0x20 + (x >> 8) % 224) << 8 | (0x20 + (x >> 18) % 224)));
    }
    entry.push_back(0x0000);
    trees.m_pages.back().push_back(entry);
  }
  // 600 varied one-byte codes: far more than 255 bytes of bits.
  CEntryCodes longEntry;
  for (int i = 0; i < 600; ++i)
    longEntry.push_back(uint16_t(0x86 + (i * 37) % 0x70));
  longEntry.push_back(0x0000);
  CScriptSpec badHeader = OnePage({{0x0000}});
  badHeader.m_headerLength = 40;
  CScriptSpec skipIn36 = OnePage({{0x0000}});
  skipIn36.m_headerLength = 36;
  skipIn36.m_skipWords = true;

  const std::pair<CScriptSpec, std::string> cases[] = {
      {trees, "4096"}, {OnePage({longEntry}), "255"}, {badHeader, "36 or 48"}, {skipIn36, "48-byte"}};
  for (const auto &[spec, message] : cases) {
    try {
      BuildScript(spec);
      ADD_FAILURE() << "built a script that should fail with " << message;
    } catch (const std::runtime_error &error) {
      EXPECT_NE(std::string(error.what()).find(message), std::string::npos) << error.what();
    }
  }
}

std::map<std::string, std::string> ReadTree(const std::filesystem::path &root) {
  std::map<std::string, std::string> files;
  for (const auto &entry : std::filesystem::recursive_directory_iterator(root)) {
    if (!entry.is_regular_file()) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    files[entry.path().lexically_relative(root).generic_string()] =
        std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  return files;
}

TEST(DemoWorkspaceTest, CommittedDemoMatchesTheGenerator) {
  const std::filesystem::path out = std::filesystem::path(::testing::TempDir()) / "quillan-demo-regenerated";
  std::filesystem::remove_all(out);
  // The kanji database is made from the seed font, which the artwork
  // generator draws: the committed one goes in first.
  const std::filesystem::path demo = std::filesystem::path(QUILLAN_SOURCE_DIR) / "examples" / "demo";
  std::filesystem::create_directories(out / "data");
  std::filesystem::copy_file(demo / "data" / "fontfile.fon", out / "data" / "fontfile.fon");
  WriteDemoWorkspace(out);
  ASSERT_TRUE(std::filesystem::exists(out / "data" / "glyphary.db")) << "the demo opens without creating a database";
  const auto generated = ReadTree(out);
  const auto committed = ReadTree(std::filesystem::path(QUILLAN_SOURCE_DIR) / "examples" / "demo");
  std::filesystem::remove_all(out);
  ASSERT_FALSE(committed.empty()) << "examples/demo is missing; run quillan-make-demo examples/demo";
  for (const auto &[name, bytes] : generated) {
    auto it = committed.find(name);
    if (it == committed.end())
      ADD_FAILURE() << name << " is not committed";
    else
      EXPECT_TRUE(it->second == bytes) << name << " differs; regenerate with quillan-make-demo examples/demo";
  }
  // The game font files come from the artwork generator (tools/artgen).
  const std::set<std::string> drawnFonts = {"data/tk7-1.fon", "data/tk7-2.fon", "data/fontfile.fon"};
  for (const auto &[name, bytes] : committed)
    EXPECT_TRUE(generated.count(name) || drawnFonts.count(name)) << name << " is committed but no longer generated";
}

TEST(DemoWorkspaceTest, DemoContents) {
  const CScriptSpec spec = DemoScriptSpec();
  ASSERT_EQ(spec.m_pages.size(), 3u);
  EXPECT_EQ(spec.m_pages[0].size(), 256u);
  EXPECT_EQ(spec.m_pages[1].size(), 256u);
  EXPECT_EQ(spec.m_pages[2].size(), 40u);
  std::array<int, 12> kanjiUses{};
  for (const auto &page : spec.m_pages)
    for (const CEntryCodes &entry : page) {
      EXPECT_EQ(entry.back(), 0x0000);
      for (uint16_t code : entry) {
        EXPECT_TRUE(code < 0x100 || code <= 0x10B) << std::hex << code;
        if (code >= 0x100) ++kanjiUses[code - 0x100];
      }
    }
  for (size_t k = 0; k < 12; ++k)
    EXPECT_GT(kanjiUses[k], 0) << "kanji " << k << " never used";
  ExpectRoundTrip(spec, BuildScript(spec));

  // English: the first lines translated, each ending with its terminator;
  // every one of the 256 lines of the chunk ends with the pair 00 00.
  EXPECT_EQ(DemoEnglishLine(0), (CBytes{'H', 'e', 'l', 'l', 'o', '!', 0x01, 0}));
  for (int line = 0; line < 20; ++line)
    EXPECT_EQ(DemoEnglishLine(line).back(), 0);
  EXPECT_TRUE(DemoEnglishLine(20).empty());
  const auto files = ReadTree(std::filesystem::path(QUILLAN_SOURCE_DIR) / "examples" / "demo");
  const std::string &chunk = files.at("Scripts/PATCHED INFO/DEMO/x5DEMO0.tk7");
  ASSERT_EQ(chunk.size() % 2, 0u);
  int terminators = 0;
  for (size_t i = 0; i < chunk.size(); i += 2) {
    EXPECT_EQ(chunk[i], '\0');
    terminators += chunk[i + 1] == '\0';
  }
  EXPECT_EQ(terminators, 256);

  const std::string &book = files.at("data/kanjiCB/DEMO.kcb");
  EXPECT_EQ(book.substr(0, 14), "26085\r\n26412\r\n"); // 日 本
  size_t lines = 0;
  for (size_t at = 0; (at = book.find("\r\n", at)) != std::string::npos; at += 2)
    ++lines;
  EXPECT_EQ(lines, 2048u);
}

} // namespace
