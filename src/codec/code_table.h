#pragma once
// The encoder's fixed Huffman code. The game reads every 16-bit character as
// two byte symbols and picks one of 256 trees by the symbol before; the
// replacement scripts we write use one and the same tree for all 256
// contexts and only decide which byte symbol sits at which leaf: the most
// frequent symbol (rank 0) gets the shortest code.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillan {

inline constexpr size_t kSymbolCount = 256;
inline constexpr size_t kCodeTreeShapeBytes = 65;

// The code of each frequency rank as the path from the root, '0' for the
// left child and '1' for the right: a complete prefix code.
const std::array<std::string_view, kSymbolCount> &CodeStrings();
// The same table as the dialog keeps it (m_codeStrings).
std::vector<std::string> BuildCodeStrings();

// The tree as it is written into every compressed script (CodeTreeShape).
const std::array<uint8_t, kCodeTreeShapeBytes> &CodeTreeShape();

// A code right-aligned in m_bits, most significant bit first on the wire.
struct CPackedCode {
  uint32_t m_bits = 0;
  uint8_t m_length = 0;
};

struct CCodeTable {
  std::array<CPackedCode, kSymbolCount> m_codes;  // by rank
  std::array<uint8_t, kSymbolCount> m_leafRank{}; // the rank that owns leaf p, leftmost leaf first
};

const CCodeTable &FixedCodeTable();

} // namespace quillan
