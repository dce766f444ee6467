#include "support/script_builder.h"

#include <algorithm>
#include <array>
#include <map>
#include <queue>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>

#include "core/byte_reader.h"

namespace quillan::testing {
namespace {

constexpr uint32_t kLoadAddress = 0x00200000;
constexpr uint32_t kGlyphStart = 5872;
constexpr uint32_t kTreeBlockSize = 4096;
constexpr uint32_t kFilteredTableLimit = 0x10000; // 48-byte headers: pointers 00 20 xx xx only
constexpr size_t kMaxRecordLength = 255;
constexpr int kContexts = 256;

using CCounts = std::array<std::array<uint32_t, 256>, kContexts>;

// A code tree. Node 0 is the root; a leaf has no children.
struct CTree {
  struct CNode {
    int m_left = -1;
    int m_right = -1;
    uint8_t m_symbol = 0;
  };
  std::vector<CNode> m_nodes;

  int AddLeaf(uint8_t symbol) {
    m_nodes.push_back({-1, -1, symbol});
    return int(m_nodes.size()) - 1;
  }
  int AddInner(int left, int right) {
    m_nodes.push_back({left, right, 0});
    return int(m_nodes.size()) - 1;
  }
};

// What a tree becomes in the file: its leaf table and its pre-order bits.
struct CSerialTree {
  std::vector<uint8_t> m_leaves;
  std::vector<bool> m_bits;
  auto operator<=>(const CSerialTree &) const = default;
};

void Serialize(const CTree &tree, int node, const std::string &path, CSerialTree &out,
               std::vector<std::string> &codes) {
  const CTree::CNode &n = tree.m_nodes[size_t(node)];
  if (n.m_left < 0) {
    out.m_bits.push_back(true);
    out.m_leaves.push_back(n.m_symbol);
    codes[n.m_symbol] = path;
    return;
  }
  out.m_bits.push_back(false);
  Serialize(tree, n.m_left, path + '0', out, codes);
  Serialize(tree, n.m_right, path + '1', out, codes);
}

// The root is the node added last.
CTree HuffmanTree(const std::array<uint32_t, 256> &counts) {
  CTree tree;
  // (weight, tie-break order, node): the lowest weight first, ties by order
  // of creation, so the tree does not depend on the library's heap.
  using CItem = std::tuple<uint64_t, int, int>;
  std::priority_queue<CItem, std::vector<CItem>, std::greater<>> queue;
  int order = 0;
  for (int s = 0; s < 256; ++s) {
    if (counts[size_t(s)] == 0) continue;
    queue.emplace(counts[size_t(s)], order++, tree.AddLeaf(uint8_t(s)));
  }
  while (queue.size() > 1) {
    CItem first = queue.top();
    queue.pop();
    CItem second = queue.top();
    queue.pop();
    queue.emplace(std::get<0>(first) + std::get<0>(second), order++,
                  tree.AddInner(std::get<2>(first), std::get<2>(second)));
  }
  return tree;
}

// A chain: the most frequent symbol one step below the root, the next one a
// step further, and so on; the side of the leaf alternates at every level.
CTree ChainTree(const std::array<uint32_t, 256> &counts) {
  std::vector<uint8_t> symbols;
  for (int s = 0; s < 256; ++s)
    if (counts[size_t(s)] != 0) symbols.push_back(uint8_t(s));
  std::stable_sort(symbols.begin(), symbols.end(), [&](uint8_t a, uint8_t b) { return counts[a] > counts[b]; });
  CTree tree;
  int below = tree.AddLeaf(symbols.back());
  for (size_t i = symbols.size() - 1; i-- > 0;) {
    int leaf = tree.AddLeaf(symbols[i]);
    below = (i % 2 == 0) ? tree.AddInner(leaf, below) : tree.AddInner(below, leaf);
  }
  return tree;
}

CSerialTree SerializeRoot(const CTree &tree, std::vector<std::string> &codes) {
  CSerialTree out;
  Serialize(tree, int(tree.m_nodes.size()) - 1, std::string(), out, codes);
  return out;
}

class CBitWriter {
public:
  void Put(const std::string &code) {
    for (char c : code) {
      if (m_mask == 0) {
        m_bytes.push_back(0);
        m_mask = 0x80;
      }
      if (c == '1') m_bytes.back() |= m_mask;
      m_mask >>= 1;
    }
  }
  // Closes the last byte with fill bits.
  std::vector<uint8_t> Finish(bool ones) {
    if (ones)
      for (; m_mask != 0; m_mask >>= 1)
        m_bytes.back() |= m_mask;
    return std::move(m_bytes);
  }

private:
  std::vector<uint8_t> m_bytes;
  uint8_t m_mask = 0;
};

// splitmix64: a small generator whose output is the same on every library.
class CRandom {
public:
  explicit CRandom(uint64_t seed) : m_state(seed) {}
  uint64_t Next() {
    uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // 0 .. bound - 1
  uint32_t Below(uint32_t bound) { return uint32_t(Next() % bound); }
  bool Chance(uint32_t percent) { return Below(100) < percent; }

private:
  uint64_t m_state;
};

} // namespace

CBuiltScript BuildScript(const CScriptSpec &spec) {
  const uint32_t headerLength = spec.m_headerLength;
  if (headerLength != 36 && headerLength != 48) throw std::runtime_error("header length must be 36 or 48");
  if (spec.m_skipWords && headerLength != 48)
    throw std::runtime_error("skip words are only read by the filtered table of 48-byte headers");

  // Byte counts per context over the whole text.
  CCounts counts{};
  for (const auto &page : spec.m_pages)
    for (const CEntryCodes &entry : page) {
      uint8_t context = 0;
      for (uint16_t code : entry)
        for (uint8_t symbol : {uint8_t(code >> 8), uint8_t(code)}) {
          ++counts[context][symbol];
          context = symbol;
        }
    }

  CBuiltScript built;
  built.m_codes.assign(kContexts, std::vector<std::string>(256));

  // One tree per context that occurs; identical trees are stored once.
  // Contexts that never occur share a single leaf yielding 0.
  std::vector<CSerialTree> unique;
  std::map<CSerialTree, size_t> uniqueIndex;
  std::array<size_t, kContexts> treeOfContext{};
  auto intern = [&](CSerialTree tree) {
    auto [it, inserted] = uniqueIndex.emplace(tree, unique.size());
    if (inserted) unique.push_back(std::move(tree));
    return it->second;
  };
  for (int context = 0; context < kContexts; ++context) {
    const auto &row = counts[size_t(context)];
    int distinct = int(std::count_if(row.begin(), row.end(), [](uint32_t c) { return c != 0; }));
    CSerialTree serial;
    if (distinct == 0) {
      serial.m_leaves = {0};
      serial.m_bits = {true};
    } else {
      CTree tree = spec.m_shape == CTreeShape::Huffman ? HuffmanTree(row) : ChainTree(row);
      serial = SerializeRoot(tree, built.m_codes[size_t(context)]);
    }
    treeOfContext[size_t(context)] = intern(std::move(serial));
  }

  std::vector<uint8_t> &bytes = built.m_bytes;

  // Header and the glyph area. The bytes before the kanji glyphs stand in for
  // the one-byte font; any deterministic content will do.
  const uint32_t glyphEnd = kGlyphStart + uint32_t(24 * spec.m_kanjiGlyphs.size());
  bytes.assign(glyphEnd, 0);
  for (uint32_t i = headerLength; i < kGlyphStart; ++i)
    bytes[i] = uint8_t((i * 37u + (i >> 8)) ^ 0x5A);
  for (size_t g = 0; g < spec.m_kanjiGlyphs.size(); ++g)
    std::copy(spec.m_kanjiGlyphs[g].begin(), spec.m_kanjiGlyphs[g].end(), bytes.begin() + kGlyphStart + 24 * g);

  // The tree block. Context 0's leaf table comes first: the reader finds the
  // block through the first pointer of the context table.
  const uint32_t treeBlock = uint32_t(bytes.size());
  built.m_treeBlockOffset = treeBlock;
  std::vector<std::pair<uint32_t, uint32_t>> placed(unique.size(), {0, 0}); // leaf table, tree bits
  std::vector<bool> isPlaced(unique.size(), false);
  for (int context = 0; context < kContexts; ++context) {
    size_t index = treeOfContext[size_t(context)];
    if (isPlaced[index]) continue;
    isPlaced[index] = true;
    const CSerialTree &tree = unique[index];
    placed[index].first = uint32_t(bytes.size());
    bytes.insert(bytes.end(), tree.m_leaves.begin(), tree.m_leaves.end());
    placed[index].second = uint32_t(bytes.size());
    size_t start = bytes.size();
    bytes.resize(start + (tree.m_bits.size() + 7) / 8, 0);
    for (size_t b = 0; b < tree.m_bits.size(); ++b)
      if (tree.m_bits[b]) bytes[start + b / 8] |= uint8_t(0x80 >> (b % 8));
  }
  if (bytes.size() - treeBlock > kTreeBlockSize)
    throw std::runtime_error("the trees take " + std::to_string(bytes.size() - treeBlock) +
                             " bytes, beyond the 4096-byte tree block");
  if (headerLength == 48 && bytes.size() > kFilteredTableLimit)
    throw std::runtime_error("tree block beyond the first 64 KiB, which a 48-byte header's table cannot address");

  // The context table: a pair of pointers per context, in context order.
  // With skip words, words 00 21 xx xx lie between and inside the pairs
  // (never first: the first word also locates the tree block).
  built.m_contextTableOffset = uint32_t(bytes.size());
  uint32_t skipValue = 0x00210000;
  auto skipWord = [&]() {
    AppendBE32(bytes, skipValue);
    skipValue += 0x1111;
  };
  for (int context = 0; context < kContexts; ++context) {
    auto [leaves, tree] = placed[treeOfContext[size_t(context)]];
    AppendBE32(bytes, kLoadAddress + leaves);
    if (spec.m_skipWords && (context == 0 || context == 130)) skipWord();
    AppendBE32(bytes, kLoadAddress + tree);
    if (spec.m_skipWords && (context == 1 || context == 77 || context == 254)) {
      skipWord();
      if (context == 77) skipWord();
    }
  }
  if (headerLength == 48) {
    if (spec.m_skipWords) skipWord();
    AppendBE32(bytes, 0xFFFFFFFF);
  }

  // The text records, page after page.
  for (const auto &page : spec.m_pages) {
    built.m_pageOffsets.push_back(uint32_t(bytes.size()));
    for (const CEntryCodes &entry : page) {
      CBitWriter writer;
      uint8_t context = 0;
      for (uint16_t code : entry)
        for (uint8_t symbol : {uint8_t(code >> 8), uint8_t(code)}) {
          writer.Put(built.m_codes[context][symbol]);
          context = symbol;
        }
      std::vector<uint8_t> record = writer.Finish(spec.m_fillWithOnes);
      if (record.size() > kMaxRecordLength)
        throw std::runtime_error("an entry of " + std::to_string(entry.size()) + " codes needs " +
                                 std::to_string(record.size()) + " bytes, more than a record holds (255)");
      bytes.push_back(uint8_t(record.size()));
      bytes.insert(bytes.end(), record.begin(), record.end());
    }
  }
  bytes.insert(bytes.end(), spec.m_zeroPadding, 0);

  // The group pointer table ends the file.
  built.m_groupTableOffset = uint32_t(bytes.size());
  for (uint32_t offset : built.m_pageOffsets)
    AppendBE32(bytes, kLoadAddress + offset);
  if (bytes.size() > 0x100000) throw std::runtime_error("script beyond 1 MiB, which pointers cannot address");

  // The header records: the glyph area, (for 48 bytes) the kanji glyphs, the
  // context table and the group pointer table.
  const uint32_t sections = headerLength / 12;
  PutBE32(bytes, 0, kLoadAddress + headerLength);
  if (sections == 4) PutBE32(bytes, 12, kLoadAddress + kGlyphStart);
  PutBE32(bytes, 12 * (sections - 2), kLoadAddress + built.m_contextTableOffset);
  PutBE32(bytes, 12 * (sections - 1), kLoadAddress + built.m_groupTableOffset);
  return built;
}

CScriptSpec RandomScriptSpec(uint32_t seed, int maxPages) {
  CRandom random(0x51C0FFEEull * 0x100000001ull ^ seed);
  CScriptSpec spec;
  spec.m_headerLength = random.Chance(50) ? 48 : 36;
  spec.m_shape = random.Chance(70) ? CTreeShape::Huffman : CTreeShape::Unbalanced;
  spec.m_skipWords = spec.m_headerLength == 48 && random.Chance(50);
  spec.m_zeroPadding = random.Below(4);
  spec.m_fillWithOnes = random.Chance(50);

  // Deep one-sided trees cost one bit per rank, so their scripts draw from
  // smaller alphabets and shorter entries to keep records within 255 bytes.
  const bool deep = spec.m_shape == CTreeShape::Unbalanced;
  auto pick = [&](std::vector<uint16_t> pool, size_t count) {
    for (size_t i = pool.size(); i > 1; --i)
      std::swap(pool[i - 1], pool[random.Below(uint32_t(i))]);
    pool.resize(std::min(count, pool.size()));
    return pool;
  };
  std::vector<uint16_t> kanaPool, asciiPool, kanjiPool;
  for (uint16_t c = 0x86; c <= 0xFD; ++c)
    if (c != 0x90 && (c < 0xA0 || c > 0xA5) && c != 0xDE && c != 0xDF) kanaPool.push_back(c);
  for (uint16_t c = 0x20; c <= 0x7E; ++c)
    asciiPool.push_back(c);
  for (uint16_t c = 0x100; c <= 0x120; ++c)
    kanjiPool.push_back(c);
  const std::vector<uint16_t> kana = pick(kanaPool, deep ? 12 : 20 + random.Below(40));
  const std::vector<uint16_t> ascii = pick(asciiPool, deep ? 5 : 4 + random.Below(20));
  const std::vector<uint16_t> kanji = pick(kanjiPool, deep ? 5 : 4 + random.Below(29));
  const std::vector<uint16_t> colours = pick({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}, deep ? 2 : 6);
  const uint16_t terminators[] = {0x0800, 0xFF00, 0x1000, 0x8000, 0x2000};
  const uint32_t maxCodes = deep ? 24 : 40;

  for (uint16_t g = 0x100; g <= 0x120; ++g) {
    CKanjiBitmap glyph;
    for (auto &b : glyph)
      b = uint8_t(random.Next());
    spec.m_kanjiGlyphs.push_back(glyph);
  }

  const int pages = 1 + int(random.Below(uint32_t(std::max(maxPages, 1))));
  spec.m_pages.resize(size_t(pages));
  for (int p = 0; p < pages; ++p) {
    const int entries = p + 1 < pages ? 256 : 1 + int(random.Below(256));
    auto &page = spec.m_pages[size_t(p)];
    page.resize(size_t(entries));
    for (CEntryCodes &entry : page) {
      // Length 1 is the terminator alone.
      const uint32_t length = random.Chance(4) ? 1 : 1 + random.Below(maxCodes);
      entry.reserve(length);
      while (entry.size() + 1 < length) {
        uint32_t kind = random.Below(100);
        if (kind < 55) {
          entry.push_back(kana[random.Below(uint32_t(kana.size()))]);
          // A voicing mark after some kana.
          if (random.Chance(8) && entry.size() + 1 < length) entry.push_back(random.Chance(70) ? 0xDE : 0xDF);
        } else if (kind < 70) {
          entry.push_back(ascii[random.Below(uint32_t(ascii.size()))]);
        } else if (kind < 80) {
          entry.push_back(uint16_t(1 + random.Below(4))); // bubble ends, line break, pause
        } else if (kind < 85) {
          // Colour and its argument element (1-based: 0 would end the entry).
          if (entry.size() + 2 < length) {
            entry.push_back(0x08);
            entry.push_back(colours[random.Below(uint32_t(colours.size()))]);
          }
        } else {
          entry.push_back(kanji[random.Below(uint32_t(kanji.size()))]);
        }
      }
      entry.push_back(random.Chance(90) ? 0x0000 : terminators[random.Below(5)]);
    }
  }
  return spec;
}

} // namespace quillan::testing
