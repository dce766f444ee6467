#include "codec/text_encoder.h"

#include <algorithm>
#include <system_error>

#include "core/byte_reader.h"
#include "core/file_io.h"

namespace quillan {

namespace {

constexpr size_t kLeafTableBytes = 256;
constexpr size_t kContextTableBytes = 2048;
constexpr size_t kMaxRecordBytes = 255;
constexpr size_t kMaxScriptBytes = size_t(1) << 20; // pointers keep 20 bits
constexpr uint32_t kFontPointerField = 0x002016F0;  // record 1 of a 48-byte header
// The code tables must lie in the first 64 KiB: the context table keeps only
// 16 bits of their offsets.
constexpr size_t kTableLimit = 0x10000;

// The bits of one record, packed most significant first.
class CBitPacker {
public:
  explicit CBitPacker(std::vector<uint8_t> &out) : m_out(out) {}

  void Put(uint32_t bits, unsigned length) {
    m_window = (m_window << length) | bits;
    m_pending += length;
    while (m_pending >= 8) {
      m_pending -= 8;
      m_out.push_back(uint8_t(m_window >> m_pending));
    }
  }
  // The last byte of a record: the bits left, then 0 bits; a whole 0x00 when
  // the record's bits ended on a byte boundary.
  void Finish() {
    m_out.push_back(uint8_t(m_window << (8 - m_pending)));
    m_window = 0;
    m_pending = 0;
  }

private:
  std::vector<uint8_t> &m_out;
  uint64_t m_window = 0;
  unsigned m_pending = 0;
};

std::string FileName(const std::string &shortName) { return "X5" + shortName + ".bin"; }

} // namespace

int CEncoderInput::EntriesOnPage(int page) const {
  if (page != m_pageCount - 1) return kLinesPerPage;
  return std::clamp(m_linesOnLastPage, 0, kLinesPerPage);
}

const EnglishString *CEncoderInput::StringAt(int page, int line) const {
  size_t index = size_t(page) * kLinesPerPage + size_t(line);
  return index < m_strings.size() ? &m_strings[index] : nullptr;
}

size_t EntryTextLength(const EnglishString &text) {
  auto end = std::find_if(text.begin(), text.end(), [](uint16_t element) { return (element & 0xFF) == 0; });
  return size_t(end - text.begin());
}

std::vector<int> TrailingLines(const CEncoderInput &input) {
  std::vector<int> lines;
  if (input.m_pageCount < 1) return lines;
  int page = input.m_pageCount - 1;
  for (int line = input.EntriesOnPage(page); line < kLinesPerPage; ++line) {
    const EnglishString *text = input.StringAt(page, line);
    if (text && !text->empty()) lines.push_back(line);
  }
  return lines;
}

CSymbolCounts CountSymbols(const CEncoderInput &input) {
  std::array<uint32_t, kSymbolCount> counts{};
  auto count = [&](const EnglishString *text) {
    ++counts[0]; // the terminator
    if (!text) return;
    size_t length = EntryTextLength(*text);
    for (size_t i = 0; i < length; ++i)
      ++counts[(*text)[i] & 0xFF];
  };
  for (int page = 0; page < input.m_pageCount; ++page) {
    int lines = input.EntriesOnPage(page);
    for (int line = 0; line < lines; ++line)
      count(input.StringAt(page, line));
  }
  // Strings past the last page's entries are counted up to the line after
  // the one that follows the last entry, as the game's own encoder counts.
  for (int line : TrailingLines(input))
    if (line <= input.m_linesOnLastPage + 1) count(input.StringAt(input.m_pageCount - 1, line));
  CSymbolCounts table;
  for (size_t symbol = 0; symbol < kSymbolCount; ++symbol)
    table[symbol] = {uint8_t(symbol), counts[symbol]};
  return table;
}

void SortSymbolCounts(CSymbolCounts &counts) {
  for (size_t i = 0; i < kSymbolCount; ++i)
    for (size_t j = 0; j < kSymbolCount; ++j)
      if (counts[i].m_count < counts[j].m_count) std::swap(counts[i], counts[j]);
}

std::array<uint8_t, kSymbolCount> LeafSymbolTable(const CSymbolCounts &sorted) {
  const CCodeTable &table = FixedCodeTable();
  std::array<uint8_t, kSymbolCount> leaves{};
  for (size_t leaf = 0; leaf < kSymbolCount; ++leaf)
    leaves[leaf] = sorted[kSymbolCount - 1 - table.m_leafRank[leaf]].m_symbol;
  return leaves;
}

std::array<uint8_t, kSymbolCount> ElementCodeLengths(const CEncoderInput &input) {
  CSymbolCounts sorted = CountSymbols(input);
  SortSymbolCounts(sorted);
  const CCodeTable &table = FixedCodeTable();
  std::array<uint8_t, kSymbolCount> symbolLength{};
  for (size_t position = 0; position < kSymbolCount; ++position)
    symbolLength[sorted[position].m_symbol] = table.m_codes[kSymbolCount - 1 - position].m_length;
  std::array<uint8_t, kSymbolCount> lengths{};
  for (size_t symbol = 0; symbol < kSymbolCount; ++symbol)
    lengths[symbol] = uint8_t(symbolLength[0] + symbolLength[symbol]);
  return lengths;
}

size_t RecordBytes(std::span<const uint16_t> text, const std::array<uint8_t, kSymbolCount> &lengths) {
  size_t bits = 0;
  for (uint16_t element : text) {
    if ((element & 0xFF) == 0) break;
    bits += lengths[element & 0xFF];
  }
  bits += lengths[0]; // the terminator
  // The last byte holds the bits left over, or is a whole 0x00 after a byte
  // boundary.
  return bits / 8 + 1;
}

CResult<CEncodedScript> EncodeEnglishText(const CEncoderInput &input, std::span<const uint8_t> font) {
  const std::string name = FileName(input.m_shortName);
  const uint32_t h = input.m_headerLength;
  if (h != 36 && h != 48)
    return MakeError(name + ": header length " + std::to_string(h) +
                     " is neither 36 nor 48, so there is no layout to write");
  if (input.m_pageCount < 1 || input.m_pageCount > kMaxPages)
    return MakeError(name + ": " + std::to_string(input.m_pageCount) + " pages; a script has 1 to " +
                     std::to_string(kMaxPages));
  const size_t t = h + font.size();
  const size_t u = t + kLeafTableBytes + 1;
  if (u >= kTableLimit)
    return MakeError(name + ": the English font of " + std::to_string(font.size()) + " bytes puts the code tables at " +
                     HexOffset(u) + ", past the first 64 KiB that the context table can point into (at most " +
                     std::to_string(kTableLimit - 1 - kLeafTableBytes - 1 - h) + " bytes)");

  // Ranks by frequency, and each symbol's code preceded by the code of the 0
  // that every element emits as its high byte.
  CSymbolCounts sorted = CountSymbols(input);
  SortSymbolCounts(sorted);
  const CCodeTable &table = FixedCodeTable();
  std::array<CPackedCode, kSymbolCount> codeOf;
  for (size_t position = 0; position < kSymbolCount; ++position)
    codeOf[sorted[position].m_symbol] = table.m_codes[kSymbolCount - 1 - position];
  const CPackedCode zero = codeOf[0];
  std::array<CPackedCode, kSymbolCount> elementCode;
  for (size_t symbol = 0; symbol < kSymbolCount; ++symbol)
    elementCode[symbol] = {(zero.m_bits << codeOf[symbol].m_length) | codeOf[symbol].m_bits,
                           uint8_t(zero.m_length + codeOf[symbol].m_length)};

  CEncodedScript out;
  std::vector<uint8_t> &spool = out.m_spool;
  size_t expected = 0;
  for (int page = 0; page < input.m_pageCount; ++page)
    expected += size_t(input.EntriesOnPage(page)) * 4;
  for (const EnglishString &text : input.m_strings)
    expected += text.size() * 2;
  spool.reserve(expected);
  std::string overlong;
  int overlongCount = 0;
  CBitPacker packer(spool);
  const std::vector<int> trailing = TrailingLines(input);
  for (int page = 0; page < input.m_pageCount; ++page) {
    out.m_pageStarts.push_back(uint32_t(spool.size()));
    std::vector<int> lines(size_t(input.EntriesOnPage(page)));
    for (size_t line = 0; line < lines.size(); ++line)
      lines[line] = int(line);
    if (page == input.m_pageCount - 1) lines.insert(lines.end(), trailing.begin(), trailing.end());
    for (size_t record = 0; record < lines.size(); ++record) {
      size_t lengthAt = spool.size();
      spool.push_back(0);
      if (const EnglishString *text = input.StringAt(page, lines[record])) {
        size_t length = EntryTextLength(*text);
        for (size_t i = 0; i < length; ++i) {
          const CPackedCode &code = elementCode[(*text)[i] & 0xFF];
          packer.Put(code.m_bits, code.m_length);
        }
      }
      // The terminator: its high byte 0, then the second 0 in a row.
      packer.Put(elementCode[0].m_bits, elementCode[0].m_length);
      packer.Finish();
      size_t n = spool.size() - lengthAt - 1;
      if (n > kMaxRecordBytes) {
        overlong += (overlongCount++ ? "; page " : "page ") + std::to_string(page) + " line " +
                    std::to_string(lines[record] + 1) + ": " + std::to_string(n) + " bytes";
      }
      spool[lengthAt] = uint8_t(n);
      ++out.m_records;
    }
  }
  if (!trailing.empty()) {
    int entries = input.EntriesOnPage(input.m_pageCount - 1);
    int count = int(trailing.size());
    std::string note = "page " + std::to_string(input.m_pageCount - 1) + " holds " + std::to_string(count) +
                       (count == 1 ? " string" : " strings") + " past its " + std::to_string(entries) +
                       " entries; written as ";
    note += count == 1 ? "entry " + std::to_string(entries + 1)
                       : "entries " + std::to_string(entries + 1) + "-" + std::to_string(entries + count);
    out.m_notes.push_back(std::move(note));
  }
  if (overlongCount > 0)
    return MakeError(name + ": " + std::to_string(overlongCount) + (overlongCount == 1 ? " entry is" : " entries are") +
                     " too long for a record of at most 255 bytes, which is all the game can read (" + overlong +
                     "); nothing was written");

  std::vector<uint8_t> &file = out.m_bytes;
  file.assign(h, 0);
  PutBE32(file, 0, kLoadAddress + h);
  if (h == 48) PutBE32(file, 12, kFontPointerField);
  file.insert(file.end(), font.begin(), font.end());
  out.m_treeBlockOffset = uint32_t(file.size());
  auto leaves = LeafSymbolTable(sorted);
  file.insert(file.end(), leaves.begin(), leaves.end());
  file.push_back(0xFF);
  const auto &shape = CodeTreeShape();
  file.insert(file.end(), shape.begin(), shape.end());
  for (bool high = true; file.size() % 16 != 0; high = !high)
    file.push_back(high ? 0x80 : 0x00);

  out.m_contextTableOffset = uint32_t(file.size());
  for (size_t pair = 0; pair < kContextTableBytes / 8; ++pair) {
    AppendBE32(file, kLoadAddress | (uint32_t(t) & 0xFFFF));
    AppendBE32(file, kLoadAddress | (uint32_t(u) & 0xFFFF));
  }
  out.m_recordsOffset = uint32_t(file.size());
  size_t end = file.size() + spool.size();
  end += (4 - end % 4) % 4;
  end += 4 * size_t(input.m_pageCount);
  if (end >= kMaxScriptBytes)
    return MakeError(name + ": the compressed script would be " + std::to_string(end) +
                     " bytes; the game's pointers reach less than 1 MiB");
  file.insert(file.end(), spool.begin(), spool.end());
  while (file.size() % 4 != 0)
    file.push_back(0x00);
  out.m_groupTableOffset = uint32_t(file.size());
  for (uint32_t start : out.m_pageStarts)
    AppendBE32(file, kLoadAddress + out.m_recordsOffset + start);

  PutBE32(file, h - 24, kLoadAddress + out.m_contextTableOffset);
  PutBE32(file, h - 12, kLoadAddress + out.m_groupTableOffset);
  return out;
}

std::filesystem::path CompressedScriptPath(const std::filesystem::path &baseDir, const std::string &shortName) {
  return baseDir / "compress" / FileName(shortName);
}

std::filesystem::path SpoolFilePath(const std::filesystem::path &baseDir) { return baseDir / "data" / "enc.bin"; }

std::filesystem::path EnglishFontPath(const std::filesystem::path &baseDir, uint32_t headerLength) {
  return baseDir / "data" / (headerLength == 36 ? "tk7-1.fon" : "tk7-2.fon");
}

CResult<std::vector<uint8_t>> ReadEnglishFont(const std::filesystem::path &baseDir, uint32_t headerLength) {
  if (headerLength != 36 && headerLength != 48)
    return MakeError("header length " + std::to_string(headerLength) + " has no English font");
  auto path = EnglishFontPath(baseDir, headerLength);
  auto bytes = ReadFileBytes(path);
  if (!bytes) return MakeError("the English font " + bytes.Error().Message());
  size_t limit = kTableLimit - 1 - kLeafTableBytes - 1 - headerLength;
  if (bytes->size() > limit)
    return MakeError("the English font " + PathText(path) + " is " + std::to_string(bytes->size()) +
                     " bytes; the code tables behind it would pass the first 64 KiB of the script (at most " +
                     std::to_string(limit) + " bytes)");
  return bytes;
}

namespace {

CStatus WriteCreatingFolder(const std::filesystem::path &path, std::span<const uint8_t> bytes) {
  std::error_code error;
  std::filesystem::create_directories(path.parent_path(), error);
  if (error) return MakeError(PathText(path.parent_path()) + ": cannot create the folder: " + error.message());
  return WriteFileAtomic(path, bytes);
}

} // namespace

CResult<CCompressOutcome> WriteCompressedScript(const CEncoderInput &input, std::span<const uint8_t> font,
                                                const std::filesystem::path &baseDir) {
  auto encoded = EncodeEnglishText(input, font);
  if (!encoded) return encoded.Error();
  if (auto status = WriteCreatingFolder(SpoolFilePath(baseDir), encoded->m_spool); !status) return status.Error();
  CCompressOutcome outcome;
  outcome.m_output = CompressedScriptPath(baseDir, input.m_shortName);
  if (auto status = WriteCreatingFolder(outcome.m_output, encoded->m_bytes); !status) return status.Error();
  outcome.m_bytes = encoded->m_bytes.size();
  outcome.m_pages = input.m_pageCount;
  outcome.m_records = encoded->m_records;
  outcome.m_notes = std::move(encoded->m_notes);
  return outcome;
}

CResult<CCompressOutcome> CompressEnglishText(const CTranslationDocument &doc) {
  if (!doc.m_fileOpen || !doc.Script() || doc.m_pageCount < 1)
    return MakeError("No script is open: open a script before compressing its English text");
  CEncoderInput input;
  input.m_shortName = doc.m_shortName;
  input.m_headerLength = doc.m_headerLength;
  input.m_pageCount = doc.m_pageCount;
  input.m_linesOnLastPage = doc.m_linesOnLastPage;
  input.m_strings = doc.EnglishStrings();
  auto font = ReadEnglishFont(doc.m_baseDir, doc.m_headerLength);
  if (!font) return font.Error();
  return WriteCompressedScript(input, *font, doc.m_baseDir);
}

} // namespace quillan
