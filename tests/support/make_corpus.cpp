// quillan-make-corpus DIR: writes the seed scripts of the script fuzz target
// into DIR. Each seed is a small valid script; together they cover both header
// lengths, both tree shapes, skip words in the context table, zero padding
// before the group pointer table, both fill bits and one to three pages.

#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/script_builder.h"

namespace {

using quillan::testing::CScriptSpec;
using quillan::testing::CTreeShape;

constexpr int kSeeds = 24;

// The first random spec from base on with the wanted header, shape and at
// least the wanted number of pages.
CScriptSpec FindSpec(uint32_t base, uint32_t headerLength, CTreeShape shape, size_t pages) {
  for (uint32_t seed = base;; ++seed) {
    CScriptSpec spec = quillan::testing::RandomScriptSpec(seed, 16);
    if (spec.m_headerLength == headerLength && spec.m_shape == shape && spec.m_pages.size() >= pages) return spec;
  }
}

} // namespace

int main(int argc, char **argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: quillan-make-corpus DIR\n");
    return 2;
  }
  try {
    const std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir);
    for (int i = 0; i < kSeeds; ++i) {
      const uint32_t header = i % 2 == 0 ? 36 : 48;
      const CTreeShape shape = (i / 2) % 2 == 0 ? CTreeShape::Huffman : CTreeShape::Unbalanced;
      const size_t pages = i == kSeeds - 1 ? 3 : (i % 6 == 5 ? 2 : 1);
      CScriptSpec spec = FindSpec(uint32_t(1000 + 100 * i), header, shape, pages);
      // Full pages before the last, and a short last page to keep seeds small.
      spec.m_pages.resize(pages);
      spec.m_pages.back().resize(std::min<size_t>(spec.m_pages.back().size(), size_t(1 + (i * 7) % 24)));
      spec.m_skipWords = header == 48 && (i / 4) % 2 == 1;
      spec.m_zeroPadding = size_t((i / 3) % 4);
      spec.m_fillWithOnes = (i / 8) % 2 == 1;
      // Fewer glyphs in some seeds: the glyph area then ends sooner.
      if (i % 3 == 2) spec.m_kanjiGlyphs.resize(size_t(i % 5));

      const std::vector<uint8_t> bytes = quillan::testing::BuildScript(spec).m_bytes;
      char name[64];
      std::snprintf(name, sizeof name, "seed-%02d-h%u-%s-p%zu.bin", i, header,
                    shape == CTreeShape::Huffman ? "huffman" : "deep", pages);
      std::ofstream out(dir / name, std::ios::binary | std::ios::trunc);
      out.write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(bytes.size()));
      if (!out) throw std::runtime_error(std::string("cannot write ") + name);
    }
  } catch (const std::exception &error) {
    std::fprintf(stderr, "quillan-make-corpus: %s\n", error.what());
    return 1;
  }
  return 0;
}
