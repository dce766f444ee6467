#include "core/script_file.h"

#include <algorithm>
#include <map>

#include "core/byte_reader.h"
#include "core/file_io.h"

namespace quillan {

namespace {

constexpr size_t kMaxScriptSize = size_t(1) << 20; // pointers address 20 bits

std::string Hex(uint64_t value) { return HexOffset(value); }

} // namespace

std::string ShortNameOf(const std::string &fileName) {
  // Byte by byte, whatever the bytes are: a name that is not UTF-8 keeps its
  // dot as the end of the short name.
  std::string shortName;
  for (size_t i = 2; i < fileName.size() && fileName[i] != '.' && shortName.size() < 9; ++i)
    shortName.push_back(fileName[i]);
  return shortName;
}

std::string StemOf(const std::string &fileName) { return fileName.substr(0, fileName.find('.')); }

CResult<std::unique_ptr<CScriptFile>> CScriptFile::Open(const std::string &path) {
  // One byte more than a script can hold is enough to refuse a longer file.
  auto bytes = ReadFileBytesUpTo(path, kMaxScriptSize);
  if (!bytes) return bytes.Error();
  auto slash = path.find_last_of('/');
  auto script = FromBytes(std::move(bytes.Value()), path);
  // Messages name the file as it was given; the script keeps its file name.
  if (script) script.Value()->m_name = slash == std::string::npos ? path : path.substr(slash + 1);
  return script;
}

CResult<std::unique_ptr<CScriptFile>> CScriptFile::FromBytes(std::vector<uint8_t> bytes, std::string name) {
  std::unique_ptr<CScriptFile> script(new CScriptFile());
  script->m_name = std::move(name);
  script->m_bytes = std::move(bytes);
  if (auto status = script->Read(); !status) return status.Error().WithContext(script->m_name);
  return script;
}

CStatus CScriptFile::Read() {
  CByteReader reader(m_bytes);
  if (m_bytes.size() > kMaxScriptSize)
    return MakeError("the file is longer than 1 MiB; a script file is smaller than 1 MiB");
  if (m_bytes.size() == kMaxScriptSize)
    return MakeError("the file is " + std::to_string(m_bytes.size()) +
                     " bytes long; a script file is smaller than 1 MiB");
  auto first = reader.BE32(0);
  if (!first) return MakeError("the file is too short to hold a header (" + std::to_string(m_bytes.size()) + " bytes)");
  m_headerLength = *first & kOffsetMask;
  if (m_headerLength != 36 && m_headerLength != 48)
    return MakeError("header length " + std::to_string(m_headerLength) + " at offset 0 is neither 36 nor 48");
  if (!reader.Contains(0, m_headerLength))
    return MakeError("the file ends inside its " + std::to_string(m_headerLength) + "-byte header");
  m_sectionCount = uint16_t(m_headerLength / 12);
  for (unsigned i = 0; i < m_sectionCount; ++i) m_sectionOffsets[i] = *reader.BE32(12 * i) & kOffsetMask;

  // Only the last two sections are read: the context table and the group
  // pointer table.
  for (unsigned i = m_sectionCount - 2u; i < m_sectionCount; ++i) {
    if (m_sectionOffsets[i] >= m_bytes.size())
      return MakeError("header record " + std::to_string(i) + " points at " + Hex(m_sectionOffsets[i]) +
                       ", past the end of the file (" + std::to_string(m_bytes.size()) + " bytes)");
  }

  // The tree block starts where the context table's first word points. A
  // block cut short by the end of the file reads on as 0xFF bytes.
  auto treeWord = reader.BE32(ContextTableOffset());
  if (!treeWord) return MakeError("the context table at " + Hex(ContextTableOffset()) + " is cut short");
  m_treeBlockOffset = *treeWord & kOffsetMask;
  if (m_treeBlockOffset >= m_bytes.size())
    return MakeError("the tree block pointer " + Hex(*treeWord) + " at " + Hex(ContextTableOffset()) +
                     " points past the end of the file");
  for (size_t i = 0; i < m_treeBlock.size(); ++i) m_treeBlock[i] = reader.U8Or(m_treeBlockOffset + i, 0xFF);

  if (auto status = ReadContextTable(); !status) return status;
  if (auto status = CheckTrees(); !status) return status;

  m_decoder = std::make_unique<CScriptDecoder>();
  m_decoder->Reset();
  m_decoder->LoadTree(m_treeBlock);
  m_decoder->SetContextTables(m_leafBase.data(), m_treeStart.data());
  m_decoder->BuildFastTables();
  return ReadPages();
}

CStatus CScriptFile::ReadContextTable() {
  CByteReader reader(m_bytes);
  size_t at = ContextTableOffset();
  if (m_headerLength == 36) {
    // Pairs straight through; pairs past the real table fill entries that no
    // context reaches. The end of the file ends the table.
    auto base = *reader.BE32(at);
    for (int k = 0; k < kContextPairs; ++k, at += 8) {
      auto leaf = reader.BE32(at);
      auto tree = reader.BE32(at + 4);
      if (!leaf || !tree) break;
      m_leafBase[size_t(k)] = int32_t(*leaf - base);
      m_treeStart[size_t(k)] = int32_t(*tree - base);
      m_contextPairs = k + 1;
    }
    return CStatus::Success();
  }
  // Filtered words: a word whose first byte is not 0 ends the table, one that
  // does not begin 00 20 is skipped, the others are taken alternately as the
  // leaf table and the tree of the next context.
  uint32_t base = 0;
  int accepted = 0;
  for (;; at += 4) {
    auto word = reader.BE32(at);
    if (!word || (*word >> 24) != 0) break;
    if (((*word >> 16) & 0xFF) != 0x20) continue;
    if (accepted == 0) base = *word;
    int pair = accepted / 2;
    if (accepted % 2 == 0) m_leafBase[size_t(pair)] = int32_t(*word - base);
    else m_treeStart[size_t(pair)] = int32_t(*word - base);
    if (++accepted == 2 * kContextPairs) break;
  }
  m_contextPairs = accepted / 2; // a lone leaf pointer at the end belongs to no pair
  return CStatus::Success();
}

CStatus CScriptFile::CheckTrees() const {
  // Every context a byte can select must have its tree and its leaf table
  // inside the loaded block and the file, and its tree at most 256 leaves
  // (one per byte symbol). Contexts past the end of the table use offset 0,
  // as their entries were never written.
  int64_t inFile = std::min<int64_t>(kTreeBlockSize, int64_t(m_bytes.size()) - m_treeBlockOffset);
  std::map<std::pair<int32_t, int32_t>, bool> checked;
  auto bit = [this](int64_t position) { return (m_treeBlock[size_t(position >> 3)] << (position & 7)) & 0x80; };
  const char *end = inFile < kTreeBlockSize ? "file" : "4096-byte tree block";
  for (int context = 0; context < kContexts; ++context) {
    int32_t tree = m_treeStart[size_t(context)];
    int32_t leaf = m_leafBase[size_t(context)];
    if (!checked.emplace(std::make_pair(tree, leaf), true).second) continue;
    std::string where = "context " + std::to_string(context) +
                        (context < m_contextPairs ? ": " : " (not in the context table, so at offset 0): ");
    if (tree < 0 || tree >= inFile)
      return MakeError(where + "its tree offset " + std::to_string(tree) + " lies outside the tree block at " +
                       Hex(m_treeBlockOffset) + " (" + std::to_string(inFile) + " bytes in the file)");
    if (leaf < 0 || leaf >= inFile)
      return MakeError(where + "its leaf table offset " + std::to_string(leaf) + " lies outside the tree block at " +
                       Hex(m_treeBlockOffset) + " (" + std::to_string(inFile) + " bytes in the file)");
    // Walk the pre-order string: a complete tree has one leaf more than it
    // has inner nodes.
    int64_t position = int64_t(tree) * 8, limit = inFile * 8, open = 1, leaves = 0;
    while (open > 0) {
      if (position >= limit)
        return MakeError(where + "its tree at offset " + std::to_string(tree) + " runs past the end of the " +
                         end);
      if (bit(position++)) {
        --open;
        ++leaves;
      } else {
        ++open;
      }
      if (leaves + open > kContexts)
        return MakeError(where + "its tree at offset " + std::to_string(tree) +
                         " has more than 256 leaves, one for each byte value at most");
    }
    if (leaf + leaves > inFile)
      return MakeError(where + "its leaf table at offset " + std::to_string(leaf) + " needs " + std::to_string(leaves) +
                       " bytes and runs past the end of the " + end);
  }
  return CStatus::Success();
}

CStatus CScriptFile::ReadPages() {
  CByteReader reader(m_bytes);
  uint32_t table = GroupTableOffset();
  size_t tableBytes = m_bytes.size() - table;
  if (tableBytes % 4 != 0)
    return MakeError("the group pointer table at " + Hex(table) + " holds " + std::to_string(tableBytes) +
                     " bytes, not a multiple of 4");
  if (tableBytes == 0) return MakeError("the group pointer table at " + Hex(table) + " is empty: the script has no pages");
  size_t pages = tableBytes / 4;
  if (pages > size_t(kMaxPages))
    return MakeError("the group pointer table at " + Hex(table) + " lists " + std::to_string(pages) +
                     " pages; at most " + std::to_string(kMaxPages) + " are supported");
  m_pageCount = int32_t(pages);
  for (size_t page = 0; page < pages; ++page) {
    uint32_t pointer = *reader.BE32(table + 4 * page);
    if ((pointer & kOffsetMask) > table)
      return MakeError("page " + std::to_string(page) + "'s pointer " + Hex(pointer) +
                       " points past the start of the group pointer table at " + Hex(table));
    m_pagePointers.push_back(pointer);
  }

  // The entries of the last page: its records up to the table. The walk of
  // the game's reader also counts the byte at the table's start (or a padding
  // byte before it) as one more record, which is dropped; and the 0x00
  // filler in front of the table reads as records of length 0, which are
  // filler too: every record an encoder writes has at least its last byte.
  uint32_t last = m_pagePointers.back() & kOffsetMask;
  std::vector<uint32_t> starts;
  uint32_t h = 0;
  if (last <= table) {
    do {
      starts.push_back((last + h) & kOffsetMask);
      h += m_bytes[(last + h) & kOffsetMask] + 1u;
    } while (last + h <= table);
    starts.pop_back();
  }
  // Trailing records of length 0 that run up to the table.
  uint32_t end = table;
  while (!starts.empty() && starts.back() + 1 == end && m_bytes[starts.back()] == 0) {
    end = starts.back();
    starts.pop_back();
  }
  // A full last page followed by padding would otherwise count past 256
  // entries, which belong to the next page's English strings.
  m_linesOnLastPage = std::min(int(starts.size()), kLinesPerPage);

  m_recordOffsets.resize(pages);
  for (size_t page = 0; page < pages; ++page) {
    uint32_t pointer = m_pagePointers[page];
    uint32_t offset = pointer & kOffsetMask;
    uint32_t step = 0;
    for (int line = 0; line < kLinesPerPage; ++line) {
      m_recordOffsets[page][size_t(line)] = offset;
      step += reader.U8Or(offset, 0xFF) + 1u;
      offset = (pointer + step) & kOffsetMask;
    }
  }
  return CStatus::Success();
}

uint32_t CScriptFile::RecordOffset(int page, int line) const {
  if (line < kLinesPerPage) return m_recordOffsets[size_t(page)][size_t(line)];
  CByteReader reader(m_bytes);
  uint32_t pointer = m_pagePointers[size_t(page)];
  uint32_t step = 0;
  for (int i = 0; i < line; ++i) step += reader.U8Or((pointer + step) & kOffsetMask, 0xFF) + 1u;
  return (pointer + step) & kOffsetMask;
}

std::span<const uint8_t> CScriptFile::RecordStream(int page, int line) const {
  uint32_t offset = RecordOffset(page, line);
  if (offset >= m_bytes.size()) return {};
  size_t length = m_bytes[offset];
  size_t start = size_t(offset) + 1;
  size_t end = std::min(start + length, m_bytes.size());
  return std::span<const uint8_t>(m_bytes).subspan(start, end - start);
}

const uint16_t *CScriptFile::DecodeEntry(int page, int line) {
  if (page < 0 || page >= m_pageCount || line < 0) {
    static const std::array<uint16_t, kEntryCapacity> empty{};
    return empty.data();
  }
  return m_decoder->DecodeRecordFast(RecordStream(page, line));
}

const uint16_t *CScriptFile::DecodeEntryBitwise(int page, int line) {
  if (page < 0 || page >= m_pageCount || line < 0) {
    static const std::array<uint16_t, kEntryCapacity> empty{};
    return empty.data();
  }
  // The record's L bytes, then one word 0xFF: eight 1 bits after the stream.
  uint32_t offset = RecordOffset(page, line);
  CByteReader reader(m_bytes);
  size_t length = reader.U8Or(offset, 0xFF);
  std::vector<uint16_t> words(length + 1, 0xFF);
  for (size_t i = 0; i < length; ++i) words[i] = reader.U8Or(size_t(offset) + 1 + i, 0xFF);
  m_decoder->SetStream(words);
  const uint16_t *output = m_decoder->DecodeEntry();
  m_decoder->SetStream({});
  return output;
}

KanjiGlyph KanjiGlyphAt(std::span<const uint8_t> script, uint16_t code) {
  KanjiGlyph glyph;
  CByteReader reader(script);
  size_t at = code < 0x100 ? script.size() : kKanjiGlyphArea + size_t(kKanjiGlyphBytes) * (size_t(code) - 0x100);
  if (auto bytes = reader.Slice(at, glyph.size())) {
    std::copy(bytes->begin(), bytes->end(), glyph.begin());
  } else {
    for (size_t i = 0; i < glyph.size(); ++i) glyph[i] = reader.U8Or(at + i, 0xFF);
  }
  return glyph;
}

KanjiGlyph CScriptFile::KanjiGlyphOf(uint16_t code) const { return KanjiGlyphAt(m_bytes, code); }

} // namespace quillan
