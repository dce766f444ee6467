// The context Huffman decoder: the bit walk on small hand-made trees, the
// entry rules, and the table path against the bit walk on random trees.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/script_decoder.h"

namespace quillan {
namespace {

// A tree block with per-context (leaf table, tree) offsets, written by hand.
struct CTreeFixture {
  std::vector<uint16_t> m_block = std::vector<uint16_t>(kTreeBlockSize, 0);
  std::vector<int32_t> m_leafBase = std::vector<int32_t>(kContextTableEntries, 0);
  std::vector<int32_t> m_treeStart = std::vector<int32_t>(kContextTableEntries, 0);
  int m_next = 0;

  // Places a tree given as a string of '0'/'1' bits and its leaves; returns
  // the offsets used.
  void Add(int context, const std::string &bits, const std::vector<uint8_t> &leaves) {
    m_leafBase[size_t(context)] = m_next;
    for (uint8_t leaf : leaves) m_block[size_t(m_next++)] = leaf;
    m_treeStart[size_t(context)] = m_next;
    for (size_t i = 0; i < bits.size(); ++i)
      if (bits[i] == '1') m_block[size_t(m_next) + i / 8] |= uint16_t(0x80 >> (i % 8));
    m_next += int((bits.size() + 7) / 8);
  }
  void Load(CScriptDecoder &decoder) const {
    decoder.Reset();
    decoder.LoadTree(m_block);
    decoder.SetContextTables(m_leafBase.data(), m_treeStart.data());
  }
};

std::vector<uint16_t> StreamOf(const std::string &bits) {
  std::vector<uint16_t> words((bits.size() + 7) / 8, 0);
  for (size_t i = 0; i < bits.size(); ++i)
    if (bits[i] == '1') words[i / 8] |= uint16_t(0x80 >> (i % 8));
  return words;
}

TEST(ScriptDecoder, WalksSmallTreesBitByBit) {
  struct Case {
    std::string tree;
    std::vector<uint8_t> leaves;
    std::string stream;
    uint16_t symbol;
  } cases[] = {
      {"011", {0x41, 0x42}, "0", 0x41},
      {"011", {0x41, 0x42}, "1", 0x42},
      {"00111", {0x61, 0x62, 0x63}, "1", 0x63},  // skips the left subtree, k = 2
      {"00111", {0x61, 0x62, 0x63}, "01", 0x62},
      {"00111", {0x61, 0x62, 0x63}, "00", 0x61},
      {"1", {0x7A}, "", 0x7A},                   // a single leaf takes no bit
  };
  for (const auto &c : cases) {
    CTreeFixture fixture;
    fixture.Add(0, c.tree, c.leaves);
    CScriptDecoder decoder;
    fixture.Load(decoder);
    // Only the first byte's bits matter; the rest of the word is 0.
    auto stream = StreamOf(c.stream.empty() ? "0" : c.stream);
    decoder.SetStream(stream);
    EXPECT_EQ(decoder.DecodeByte(), c.symbol) << c.tree << " / " << c.stream;
    EXPECT_EQ(decoder.m_context, c.symbol);
    EXPECT_EQ(decoder.m_streamPos * 8 + (c.stream.size() % 8), c.stream.size()) << "bits consumed";
  }
}

// Single-leaf contexts chain the symbols without stream bits: context 0 gives
// `first`, context `first` gives `second`, context `second` gives `first`.
CTreeFixture Chain(uint8_t first, uint8_t second) {
  CTreeFixture fixture;
  fixture.Add(0, "1", {first});
  fixture.Add(first, "1", {second});
  if (second != first) fixture.Add(second, "1", {first});
  return fixture;
}

TEST(ScriptDecoder, EndsAnEntryOnlyOnTerminatingCodes) {
  struct Case {
    uint8_t high, low;
    int length; // codes stored, terminator included
  } cases[] = {
      {0x00, 0x00, 1},   // 0x0000 ends at once
      {0x03, 0x00, 600}, // a kanji 0x0300 never ends the entry: the 600-code cap holds
      {0x08, 0x00, 1},
      {0xFF, 0x00, 1},
      {0x07, 0x00, 600},
      {0x41, 0x42, 600}, // no low byte 0 at all
  };
  for (const auto &c : cases) {
    auto fixture = Chain(c.high, c.low);
    CScriptDecoder decoder;
    fixture.Load(decoder);
    decoder.m_output.fill(0xBEEF);
    std::vector<uint16_t> stream;
    decoder.SetStream(stream);
    const uint16_t *out = decoder.DecodeEntry();
    uint16_t code = uint16_t(c.high << 8 | c.low);
    for (int i = 0; i < c.length; ++i) {
      ASSERT_EQ(out[i], code) << std::hex << code << " at " << i;
    }
    if (c.length < kEntryCapacity) {
      EXPECT_EQ(out[c.length], 0xBEEF) << "words after the end keep earlier values";
    }
  }
}

TEST(ScriptDecoder, ReadsOnlyTheLowByteOfStreamWordsAndOnesPastTheEnd) {
  CTreeFixture fixture;
  fixture.Add(0, "011", {0x41, 0x42});
  fixture.Add(0x41, "011", {0x00, 0x43});
  fixture.Add(0x42, "011", {0x00, 0x44});
  fixture.Add(0x43, "011", {0x00, 0x45});
  fixture.Add(0x44, "011", {0x00, 0x46});
  CScriptDecoder decoder;
  fixture.Load(decoder);
  // Bits 0 1: 0x41 then 0x43; the high byte 0xFF of the word is noise.
  std::vector<uint16_t> stream{uint16_t(0xFF00 | 0b01000000)};
  decoder.SetStream(stream);
  EXPECT_EQ(decoder.DecodeChar(), 0x4143);
  // After the stream every bit is 1: 0x42, 0x44 from context 0 again.
  std::vector<uint16_t> empty;
  decoder.SetStream(empty);
  decoder.m_context = 0;
  decoder.m_streamMask = 0x80;
  EXPECT_EQ(decoder.DecodeChar(), 0x4244);
}

TEST(ScriptDecoder, ReadBE32AssemblesBigEndianWords) {
  const uint16_t words[] = {0x00, 0x20, 0x16, 0xF0};
  EXPECT_EQ(CScriptDecoder::ReadBE32(words), 0x002016F0u);
}

TEST(ScriptDecoder, NeverReadsOutsideItsStoreWhateverTheTablesSay) {
  CTreeFixture fixture; // a block of zero bits: every node inner until the store ends
  fixture.m_leafBase[0] = -100000;
  fixture.m_treeStart[0] = 4090;
  fixture.m_treeStart[0xFF] = 1 << 30;
  fixture.m_leafBase[0xFF] = 1 << 30;
  CScriptDecoder decoder;
  fixture.Load(decoder);
  std::vector<uint16_t> stream(4, 0);
  decoder.SetStream(stream);
  const uint16_t *out = decoder.DecodeEntry();
  // Tree and leaf bytes outside the store read as 0xFF, so the walk ends.
  EXPECT_EQ(out[0], 0xFFFF);
}

// Random tree blocks, tables and streams: well-formed and hostile alike, the
// table path must give exactly what the bit walk gives.
TEST(ScriptDecoder, TablePathMatchesTheBitWalkOnRandomTrees) {
  std::mt19937 random(1234);
  for (int round = 0; round < 60; ++round) {
    std::vector<uint16_t> block(kTreeBlockSize);
    // Bias towards leaves now and then so that trees stay decodable; some
    // rounds are plain noise.
    int leafBias = round % 3;
    for (auto &word : block) {
      uint32_t a = random(), b = random();
      word = uint16_t(leafBias == 0 ? (a & 0xFF) : leafBias == 1 ? ((a | b) & 0xFF) : ((a | b | (a >> 8)) & 0xFF));
    }
    std::vector<int32_t> leaf(kContextTableEntries), tree(kContextTableEntries);
    for (int c = 0; c < kContexts; ++c) {
      leaf[size_t(c)] = int32_t(random() % 4200) - 50;
      tree[size_t(c)] = int32_t(random() % 4200) - 50;
    }
    CScriptDecoder walk, table;
    for (auto *d : {&walk, &table}) {
      d->Reset();
      d->LoadTree(block);
      d->SetContextTables(leaf.data(), tree.data());
    }
    table.BuildFastTables();
    for (int entry = 0; entry < 20; ++entry) {
      std::vector<uint16_t> stream(random() % 40);
      for (auto &w : stream) w = uint16_t(random() & 0xFF);
      walk.SetStream(stream);
      table.SetStream(stream);
      walk.DecodeEntry();
      table.DecodeEntryFast();
      ASSERT_EQ(walk.Output(), table.Output()) << "round " << round << " entry " << entry;
    }
  }
}

} // namespace
} // namespace quillan
