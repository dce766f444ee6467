#include "core/script_decoder.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <map>
#include <utility>

namespace quillan {

namespace {

// Stream bytes for the table path: bytes past the end read as 0xFF, so
// missing bits are 1 bits.
struct CByteStream {
  const uint8_t *m_data;
  size_t m_size;

  uint32_t Byte(size_t index) const { return index < m_size ? m_data[index] : 0xFFu; }
  bool Bit(uint64_t pos) const { return (Byte(size_t(pos >> 3)) >> (7 - (pos & 7))) & 1u; }
  uint32_t Peek8(uint64_t pos) const {
    size_t index = size_t(pos >> 3);
    uint32_t word =
        index + 1 < m_size ? (uint32_t(m_data[index]) << 8) | m_data[index + 1] : (Byte(index) << 8) | Byte(index + 1);
    return (word >> (8 - (pos & 7))) & 0xFFu;
  }
};

constexpr uint32_t kKindLeaf = 0;
constexpr uint32_t kKindTable = 1;
constexpr uint32_t kKindWalk = 2;
constexpr uint32_t kKindPair = 3; // a whole character: high and low symbol

// Limits of the table path for one script; trees beyond them (only hostile
// files have such) are decoded by the bit walk.
constexpr size_t kMaxParsedNodes = size_t(1) << 21;
constexpr size_t kMaxTableEntries = size_t(1) << 22;

} // namespace

// One table entry: kind (2 bits), stream bits consumed (4 bits), payload:
// for a leaf the symbol (8 bits) and the root table of the context that the
// symbol selects (18 bits), so that the next lookup needs no other load;
// otherwise the index of the next table or of a walk state.
struct CScriptDecoder::CFastEntry {
  uint32_t m_packed;
  uint32_t Kind() const { return m_packed >> 30; }
  uint32_t Bits() const { return (m_packed >> 26) & 0xF; }
  uint32_t Payload() const { return m_packed & 0x3FFFFFF; }
  uint32_t Symbol() const { return (m_packed >> 18) & 0xFF; }
  uint32_t NextTable() const { return m_packed & 0x3FFFF; }
  static CFastEntry Make(uint32_t kind, uint32_t bits, uint32_t payload) {
    return {(kind << 30) | (bits << 26) | payload};
  }
};

struct CScriptDecoder::CFastTables {
  struct CWalkState {
    int64_t m_treeBit; // bit position in the tree store of the node to read next
    int64_t m_leaf;    // the context's leaf table plus the leaves passed so far
  };
  std::vector<CFastEntry> m_entries; // tables of 256 entries each
  std::vector<CWalkState> m_walks;
  std::array<uint32_t, kContexts> m_rootTable{};
  // For the high symbol of a character: per context, 256 entries that give
  // the whole character when both codes fit in the eight bits looked up, and
  // otherwise the entry of the context's root table.
  std::vector<CFastEntry> m_characters;
};

CScriptDecoder::CScriptDecoder() = default;
CScriptDecoder::~CScriptDecoder() = default;

CScriptDecoder &CScriptDecoder::Reset() {
  m_context = 0;
  m_streamPos = 0;
  m_streamMask = 0x80;
  return *this;
}

void CScriptDecoder::LoadTree(std::span<const uint16_t> treeBlock) {
  size_t count = std::min(treeBlock.size(), m_tree.size());
  // Only the low 8 bits of a word are a byte of the tree block; keeping them
  // alone also keeps every decoded symbol, and so every context, below 256.
  for (size_t i = 0; i < count; ++i)
    m_tree[i] = treeBlock[i] & 0xFF;
  std::fill(m_tree.begin() + count, m_tree.end(), uint16_t(0xFF));
  m_fast.reset();
}

void CScriptDecoder::SetContextTables(const int32_t *leafBase, const int32_t *treeStart) {
  m_leafBaseTable = leafBase;
  m_treeStartTable = treeStart;
  m_fast.reset();
}

void CScriptDecoder::SetStream(std::span<const uint16_t> stream) {
  m_stream = stream;
  m_streamPos = 0;
}

uint32_t CScriptDecoder::ReadBE32(const uint16_t *words) {
  uint32_t value = words[0];
  value = (value << 8) | words[1];
  value = (value << 8) | words[2];
  value = (value << 8) | words[3];
  return value;
}

bool CScriptDecoder::StreamBit() {
  bool bit = m_streamPos < m_stream.size() ? (m_stream[m_streamPos] & m_streamMask) != 0 : true;
  m_streamMask >>= 1;
  if (m_streamMask == 0) {
    m_streamMask = 0x80;
    ++m_streamPos;
  }
  return bit;
}

// The walk down one context's tree. The tree is a bit string read from bit
// treeBit on: 1 is a leaf, 0 an inner node followed by its left subtree,
// then its right. Each inner node takes one stream bit: 0 goes on to the next
// node of the string, 1 skips the left subtree, counting its leaves. The
// symbol is the leaf table's word for the leaves passed.
template <class NextStreamBit>
uint32_t CScriptDecoder::WalkTree(int64_t treeBit, int64_t leaf, NextStreamBit &&nextStreamBit) const {
  int64_t k = 0;
  auto nextTreeBit = [&]() {
    bool value = ((TreeWord(treeBit >> 3) << (treeBit & 7)) & 0x80) != 0;
    ++treeBit;
    return value;
  };
  for (;;) {
    if (nextTreeBit()) break;       // a leaf
    if (!nextStreamBit()) continue; // left child: the next node of the string
    int64_t depth = 0;
    do {
      if (nextTreeBit()) {
        ++k;
        --depth;
      } else {
        ++depth;
      }
    } while (depth >= 0);
  }
  return TreeWord(leaf + k);
}

uint16_t CScriptDecoder::DecodeByte() {
  int64_t leaf = m_leafBaseTable ? m_leafBaseTable[m_context] : 0;
  int64_t node = m_treeStartTable ? m_treeStartTable[m_context] : 0;
  m_context = uint16_t(WalkTree(node * 8, leaf, [this] { return StreamBit(); }));
  return m_context;
}

GlyphCode CScriptDecoder::DecodeChar() {
  uint32_t first = DecodeByte();
  uint32_t second = DecodeByte();
  return GlyphCode((first * 256 + second) & 0xFFFF);
}

const uint16_t *CScriptDecoder::DecodeEntry() {
  m_context = 0;
  m_streamPos = 0;
  m_streamMask = 0x80;
  for (int i = 0; i < kEntryCapacity; ++i) {
    m_output[size_t(i)] = 0;
    GlyphCode code = DecodeChar();
    m_output[size_t(i)] = code;
    if (EndsEntry(code)) break;
  }
  return m_output.data();
}

namespace {

// A context's tree parsed from its pre-order bit string.
struct CParsedNode {
  int64_t m_treeBit;
  int64_t m_leavesBefore;
  int32_t m_left = -1;
  int32_t m_right = -1;
  bool m_leaf = false;
};

} // namespace

void CScriptDecoder::BuildFastTables() {
  auto fast = std::make_unique<CFastTables>();
  std::map<std::pair<int64_t, int64_t>, uint32_t> built; // (tree, leaf table) -> root table
  size_t parsedNodes = 0;
  std::vector<CParsedNode> nodes;
  std::vector<std::pair<int32_t, int>> stack;

  auto treeBitAt = [this](int64_t bit) { return ((TreeWord(bit >> 3) << (bit & 7)) & 0x80) != 0; };
  auto addWalk = [&](int64_t treeBit, int64_t leaf) {
    fast->m_walks.push_back({treeBit, leaf});
    return uint32_t(fast->m_walks.size() - 1);
  };

  for (int context = 0; context < kContexts; ++context) {
    int64_t leafBase = m_leafBaseTable ? m_leafBaseTable[context] : 0;
    int64_t treeStart = m_treeStartTable ? m_treeStartTable[context] : 0;
    auto key = std::make_pair(treeStart, leafBase);
    if (auto found = built.find(key); found != built.end()) {
      fast->m_rootTable[size_t(context)] = found->second;
      continue;
    }
    uint32_t root = uint32_t(fast->m_entries.size() / 256);
    built.emplace(key, root);
    fast->m_rootTable[size_t(context)] = root;

    // Parse the tree; each inner node's children follow in pre-order.
    nodes.clear();
    stack.clear();
    int64_t bit = treeStart * 8;
    int64_t leaves = 0;
    bool tooBig = false;
    auto newNode = [&]() {
      CParsedNode node{bit, leaves};
      node.m_leaf = treeBitAt(bit);
      ++bit;
      if (node.m_leaf) ++leaves;
      nodes.push_back(node);
      return int32_t(nodes.size() - 1);
    };
    newNode();
    if (!nodes[0].m_leaf) stack.push_back({0, 0});
    while (!stack.empty()) {
      if (parsedNodes + nodes.size() > kMaxParsedNodes) {
        tooBig = true;
        break;
      }
      auto &top = stack.back();
      int32_t parent = top.first;
      bool left = top.second == 0;
      int32_t child = newNode();
      if (left) {
        nodes[size_t(parent)].m_left = child;
        stack.back().second = 1;
      } else {
        nodes[size_t(parent)].m_right = child;
        stack.pop_back();
      }
      if (!nodes[size_t(child)].m_leaf) stack.push_back({child, 0});
    }
    parsedNodes += nodes.size();

    if (tooBig) {
      fast->m_entries.resize(fast->m_entries.size() + 256,
                             CFastEntry::Make(kKindWalk, 0, addWalk(treeStart * 8, leafBase)));
      continue;
    }

    // Fill tables of eight stream bits: a node at depth d of a table covers
    // 2^(8-d) entries; an inner node at depth 8 gets a table of its own.
    std::vector<std::pair<int32_t, uint32_t>> pending{{0, root}}; // (node, table)
    fast->m_entries.resize(fast->m_entries.size() + 256);
    struct CFill {
      int32_t m_node;
      uint32_t m_depth;
      uint32_t m_code;
    };
    std::vector<CFill> fills;
    while (!pending.empty()) {
      auto [tableNode, table] = pending.back();
      pending.pop_back();
      fills.assign(1, CFill{tableNode, 0, 0});
      while (!fills.empty()) {
        CFill fill = fills.back();
        fills.pop_back();
        const CParsedNode &node = nodes[size_t(fill.m_node)];
        uint32_t span = 1u << (8 - fill.m_depth);
        uint32_t first = fill.m_code << (8 - fill.m_depth);
        CFastEntry entry;
        if (node.m_leaf) {
          entry = CFastEntry::Make(kKindLeaf, fill.m_depth, TreeWord(leafBase + node.m_leavesBefore));
        } else if (fill.m_depth < 8) {
          fills.push_back({node.m_right, fill.m_depth + 1, (fill.m_code << 1) | 1});
          fills.push_back({node.m_left, fill.m_depth + 1, fill.m_code << 1});
          continue;
        } else if (fast->m_entries.size() + 256 <= kMaxTableEntries) {
          uint32_t next = uint32_t(fast->m_entries.size() / 256);
          fast->m_entries.resize(fast->m_entries.size() + 256);
          pending.push_back({fill.m_node, next});
          entry = CFastEntry::Make(kKindTable, 8, next);
        } else {
          entry = CFastEntry::Make(kKindWalk, 8, addWalk(node.m_treeBit, leafBase + node.m_leavesBefore));
        }
        std::fill_n(fast->m_entries.begin() + table * 256 + first, span, entry);
      }
    }
  }
  // Leaves name the root table of the context their symbol selects.
  for (CFastEntry &entry : fast->m_entries) {
    if (entry.Kind() != kKindLeaf) continue;
    uint32_t symbol = entry.Payload() & 0xFF;
    entry = CFastEntry::Make(kKindLeaf, entry.Bits(), (symbol << 18) | fast->m_rootTable[symbol]);
  }
  fast->m_characters.resize(size_t(kContexts) * 256);
  for (uint32_t context = 0; context < uint32_t(kContexts); ++context) {
    const CFastEntry *root = &fast->m_entries[size_t(fast->m_rootTable[context]) * 256];
    for (uint32_t index = 0; index < 256; ++index) {
      CFastEntry first = root[index];
      CFastEntry result = first;
      if (first.Kind() == kKindLeaf && first.Bits() < 8) {
        uint32_t used = first.Bits();
        CFastEntry second = fast->m_entries[size_t(first.NextTable()) * 256 + ((index << used) & 0xFF)];
        if (second.Kind() == kKindLeaf && second.Bits() <= 8 - used)
          result = CFastEntry::Make(kKindPair, used + second.Bits(), (first.Symbol() << 8) | second.Symbol());
      }
      fast->m_characters[context * 256 + index] = result;
    }
  }
  m_fast = std::move(fast);
}

// The bit walk from a node part-way down a tree, for the trees the tables
// do not cover. Returns the symbol; pos advances by the stream bits taken.
uint32_t CScriptDecoder::WalkFrom(int64_t treeBit, int64_t leaf, std::span<const uint8_t> record, uint64_t &pos) const {
  CByteStream stream{record.data(), record.size()};
  return WalkTree(treeBit, leaf, [&] { return stream.Bit(pos++); });
}

const uint16_t *CScriptDecoder::DecodeRecordFast(std::span<const uint8_t> record) {
  if (!m_fast) BuildFastTables();
  const CFastTables &fast = *m_fast;
  const CFastEntry *entries = fast.m_entries.data();
  CByteStream stream{record.data(), record.size()};

  // The next stream bits, most significant first, in a 64-bit window that
  // is reloaded when fewer than 8 bits remain: straight from the record
  // while eight of its bytes lie ahead, from a copy of its last bytes padded
  // with 0xFF (missing bits are 1 bits) near its end, and bit by bit through
  // the bounds-checked stream beyond that (only hostile trees get there).
  const uint8_t *data = record.data();
  const size_t size = record.size();
  const size_t tailStart = size >= 8 ? size - 8 : 0;
  uint8_t tail[24];
  std::copy(data + tailStart, data + size, tail);
  std::fill(tail + (size - tailStart), tail + sizeof tail, uint8_t(0xFF));

  uint64_t pos = 0;
  uint64_t window = 0;
  int valid = 0;
  auto load64 = [](const uint8_t *bytes) {
    uint64_t word;
    std::memcpy(&word, bytes, sizeof word);
    if constexpr (std::endian::native == std::endian::little) word = __builtin_bswap64(word);
    return word;
  };
  auto reload = [&]() {
    size_t index = size_t(pos >> 3);
    uint64_t word;
    if (index + 8 <= size) [[likely]] {
      word = load64(data + index);
    } else if (index >= tailStart && index - tailStart + 8 <= sizeof tail) {
      word = load64(tail + (index - tailStart));
    } else {
      window = uint64_t(stream.Peek8(pos)) << 56;
      valid = 8;
      return;
    }
    window = word << (pos & 7);
    valid = 64 - int(pos & 7);
  };
  reload();

  // Takes bits from the front of the window.
  auto consume = [&](uint32_t bits) {
    pos += bits;
    window <<= bits;
    valid -= int(bits);
    if (valid < 8) [[unlikely]]
      reload();
  };

  uint32_t table = 0;
  // One symbol from the single-symbol tables, starting with `entry`, which
  // was looked up at the current window.
  auto finishSymbol = [&](CFastEntry entry) -> uint32_t {
    for (;;) {
      consume(entry.Bits());
      uint32_t kind = entry.Kind();
      if (kind == kKindLeaf) [[likely]] {
        table = entry.NextTable();
        return entry.Symbol();
      }
      if (kind == kKindTable) {
        entry = entries[(size_t(entry.Payload()) << 8) | size_t(window >> 56)];
        continue;
      }
      const auto &walk = fast.m_walks[entry.Payload()];
      uint32_t symbol = WalkFrom(walk.m_treeBit, walk.m_leaf, record, pos);
      table = fast.m_rootTable[symbol];
      reload();
      return symbol;
    }
  };

  const CFastEntry *characters = fast.m_characters.data();
  uint32_t context = 0;
  for (int i = 0; i < kEntryCapacity; ++i) {
    CFastEntry entry = characters[(size_t(context) << 8) | size_t(window >> 56)];
    uint32_t high, low;
    if (entry.Kind() == kKindPair) [[likely]] {
      consume(entry.Bits());
      high = (entry.Payload() >> 8) & 0xFF;
      low = entry.Payload() & 0xFF;
    } else {
      high = finishSymbol(entry);
      low = finishSymbol(entries[(size_t(table) << 8) | size_t(window >> 56)]);
    }
    context = low;
    GlyphCode code = GlyphCode((high << 8) | low);
    m_output[size_t(i)] = code;
    if (EndsEntry(code)) break;
  }
  m_context = uint16_t(context);
  return m_output.data();
}

const uint16_t *CScriptDecoder::DecodeEntryFast() {
  std::array<uint8_t, 1024> local;
  std::vector<uint8_t> large;
  uint8_t *bytes = local.data();
  if (m_stream.size() > local.size()) {
    large.resize(m_stream.size());
    bytes = large.data();
  }
  for (size_t i = 0; i < m_stream.size(); ++i)
    bytes[i] = uint8_t(m_stream[i] & 0xFF);
  return DecodeRecordFast(std::span<const uint8_t>(bytes, m_stream.size()));
}

} // namespace quillan
