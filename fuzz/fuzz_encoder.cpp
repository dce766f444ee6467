// Arbitrary English text compressed and read back: the first byte picks the
// header length, the page count and the last page's entries, the rest is
// read as chunk files. Whatever the encoder writes must be a script our
// reader opens and that decodes into the same text; what it refuses it must
// refuse for a record over 255 bytes.

#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "codec/text_encoder.h"
#include "core/document.h"
#include "core/script_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  using namespace quillan;
  if (size < 2) return 0;
  const uint32_t header = data[0] & 1 ? 48 : 36;
  const int pages = 1 + (data[0] >> 1) % 3;
  const int lastEntries = data[1];
  auto strings = ReadEnglishChunk(std::span<const uint8_t>(data + 2, size - 2), pages * kLinesPerPage);
  std::vector<uint8_t> font(header == 36 ? 30 * 3 : 26 * 3, 0xA5);
  CEncoderInput input{"FUZZ", header, pages, lastEntries, strings};
  auto encoded = EncodeEnglishText(input, font);
  if (!encoded) {
    if (encoded.Error().Message().find("too long for a record") == std::string::npos) std::abort();
    return 0;
  }
  auto script = CScriptFile::FromBytes(encoded->m_bytes, "X5FUZZ.bin");
  if (!script || script.Value()->m_pageCount != pages) std::abort();
  for (int page = 0; page < pages; ++page) {
    for (int line = 0; line < input.EntriesOnPage(page); ++line) {
      const EnglishString &text = strings[size_t(page * kLinesPerPage + line)];
      size_t length = EntryTextLength(text);
      const uint16_t *entry = script.Value()->DecodeEntry(page, line);
      for (size_t i = 0; i < length; ++i)
        if (entry[i] != (text[i] & 0xFF)) std::abort();
      if (length < size_t(kEntryCapacity) && entry[length] != 0) std::abort();
    }
  }
  return 0;
}
