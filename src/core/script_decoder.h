#pragma once
// The game's context Huffman decoder. Each byte symbol is decoded with the
// tree of its context (the symbol decoded just before); a character is two
// symbols, high byte first. Trees are pre-order bit strings (0 inner node,
// 1 leaf) with a leaf table per context.
//
// Two paths give identical results: the bit walk (DecodeEntry), which follows
// the tree bit by bit as the game does, and the table path (DecodeEntryFast),
// which looks up eight stream bits at a time in tables built once per script.
// Neither ever reads outside the tree store or the stream: tree bits and leaf
// bytes beyond the store read as 0xFF, stream bits beyond the stream as 1.

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "core/constants.h"

namespace quillan {

class CScriptDecoder {
public:
  // The tree store holds the script's tree block; the format only addresses
  // the 4096 loaded bytes.
  static constexpr int kTreeStoreWords = kTreeBlockSize;

  CScriptDecoder();
  ~CScriptDecoder();
  CScriptDecoder(const CScriptDecoder &) = delete;
  CScriptDecoder &operator=(const CScriptDecoder &) = delete;

  CScriptDecoder &Reset();
  // Copies the tree block (4096 words, each holding one byte) into the store
  // and drops the lookup tables of an earlier script.
  void LoadTree(std::span<const uint16_t> treeBlock);
  // The owner's tables (4096 entries each, indexed by context). They must
  // outlive the decoder's use of them.
  void SetContextTables(const int32_t *leafBase, const int32_t *treeStart);
  // The record's stream, one byte per word; bits past its end read as 1.
  void SetStream(std::span<const uint16_t> stream);

  const uint16_t *DecodeEntry();
  GlyphCode DecodeChar();
  uint16_t DecodeByte();
  static uint32_t ReadBE32(const uint16_t *words);

  // Builds the lookup tables of the table path from the loaded tree and
  // context tables. Cheap for well-formed scripts; contexts whose trees would
  // need too much table space keep using the bit walk.
  void BuildFastTables();
  // Decodes the current stream like DecodeEntry, through the lookup tables.
  const uint16_t *DecodeEntryFast();
  // Decodes a record given as bytes (the 0xFF word after the stream is
  // implied by the rule for missing bits).
  const uint16_t *DecodeRecordFast(std::span<const uint8_t> record);

  const std::array<uint16_t, kEntryCapacity> &Output() const { return m_output; }

private:
  struct CFastEntry;
  struct CFastTables;

  uint16_t TreeWord(int64_t index) const {
    return index >= 0 && index < kTreeStoreWords ? m_tree[size_t(index)] : uint16_t(0xFF);
  }
  bool StreamBit();
  template <class NextStreamBit> uint32_t WalkTree(int64_t treeBit, int64_t leaf, NextStreamBit &&nextStreamBit) const;
  uint32_t WalkFrom(int64_t treeBit, int64_t leaf, std::span<const uint8_t> record, uint64_t &pos) const;

public:
  // Members in the order the format's description gives them.
  uint16_t m_context = 0;
  uint32_t m_streamPos = 0;
  uint16_t m_streamMask = 0x80;
  std::array<uint16_t, kTreeStoreWords> m_tree{};
  const int32_t *m_leafBaseTable = nullptr;
  const int32_t *m_treeStartTable = nullptr;
  std::span<const uint16_t> m_stream;
  std::array<uint16_t, kEntryCapacity> m_output{};

private:
  std::unique_ptr<CFastTables> m_fast;
};

} // namespace quillan
