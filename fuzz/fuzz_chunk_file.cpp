// Arbitrary bytes as an English chunk file: the reading rule stays inside
// the bytes and keeps at most 256 strings, and what it reads survives a
// save and a second read as Save English Text keeps it.

#include <cstdint>
#include <cstdlib>
#include <span>

#include "codec/english_text.h"
#include "codec/text_encoder.h"
#include "core/document.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  using namespace quillan;
  auto lines = ReadEnglishChunk(std::span<const uint8_t>(data, size), kLinesPerPage);
  if (lines.size() != size_t(kLinesPerPage)) std::abort();
  size_t elements = 0;
  for (const auto &text : lines)
    elements += text.size();
  if (elements > size / 2) std::abort();

  auto saved = EnglishChunkBytes(lines);
  auto again = ReadEnglishChunk(saved, kLinesPerPage);
  for (size_t line = 0; line < lines.size(); ++line) {
    EnglishString kept(lines[line].begin(), lines[line].begin() + ptrdiff_t(EntryTextLength(lines[line])));
    kept.push_back(0);
    if (again[line] != kept) std::abort();
  }
  if (EnglishChunkBytes(again) != saved) std::abort();
  return 0;
}
