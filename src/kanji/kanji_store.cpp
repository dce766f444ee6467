#include "kanji/kanji_store.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <system_error>

#include "core/byte_reader.h"
#include "core/file_io.h"

namespace quillan {

KanjiGlyph BlankKanjiGlyph() {
  KanjiGlyph glyph;
  glyph.fill(kBlankGlyphByte);
  return glyph;
}

std::filesystem::path KanjiStorePath(const std::filesystem::path &baseDir) { return baseDir / "data" / "glyphary.db"; }

std::filesystem::path KanjiFontPath(const std::filesystem::path &baseDir) { return baseDir / "data" / "fontfile.fon"; }

std::vector<uint8_t> SerializeKanjiStore(const CKanjiStore &store) {
  std::vector<uint8_t> bytes;
  bytes.reserve(size_t(kKanjiRecords) * 38);
  for (const KanjiRecord &record : store) {
    char digits[8];
    int count = std::snprintf(digits, sizeof digits, "%u", unsigned(record.code));
    for (int i = 0; i < count; ++i) {
      bytes.push_back(uint8_t(digits[i]));
      bytes.push_back(0);
    }
    bytes.push_back(0x20);
    bytes.push_back(0x00);
    bytes.insert(bytes.end(), record.glyph.begin(), record.glyph.end());
    bytes.push_back(0x0D);
    bytes.push_back(0x0A);
  }
  return bytes;
}

namespace {

// White space as the wide formatted number input skips it.
bool IsSpaceUnit(uint16_t unit) { return unit == 0x20 || (unit >= 0x09 && unit <= 0x0D); }
bool IsDigitUnit(uint16_t unit) { return unit >= '0' && unit <= '9'; }

std::string UnitText(uint16_t unit) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%04x", unsigned(unit));
  return text;
}

// Reads the records field by field and notes every departure from the
// standard layout; the first one is described in full.
class CStoreParser {
public:
  CStoreParser(std::span<const uint8_t> bytes, std::string_view name) : m_reader(bytes), m_name(name) {}

  CKanjiStoreLoad Run() {
    CKanjiStoreLoad load;
    int index = 0;
    for (; index < kKanjiRecords; ++index) {
      if (!ReadRecord(index, load.m_store[index])) break;
    }
    load.m_warning = Warning(index);
    return load;
  }

private:
  std::optional<uint16_t> Unit(size_t offset) const {
    if (!m_reader.Contains(offset, 2)) return std::nullopt;
    return uint16_t(m_reader.Bytes()[offset] | (m_reader.Bytes()[offset + 1] << 8));
  }

  void Irregular(int index, size_t offset, std::string what) {
    if (m_irregular++ == 0) {
      m_firstIrregular = "record " + std::to_string(index) + " at offset " + HexOffset(offset) + ": " + what;
    }
  }

  // Returns false when the bytes end before the record's first digit; the
  // record is then left blank. A record cut short later keeps what was read.
  bool ReadRecord(int index, KanjiRecord &record) {
    const size_t start = m_offset;
    size_t pos = m_offset;
    while (auto unit = Unit(pos)) {
      if (!IsSpaceUnit(*unit)) break;
      pos += 2;
    }
    auto first = Unit(pos);
    if (!first) {
      m_trailing = m_reader.Size() - start;
      return false;
    }
    if (pos != start) Irregular(index, start, "white space before the number");

    uint32_t value = 0;
    size_t digits = 0;
    const size_t digitStart = pos;
    while (auto unit = Unit(pos)) {
      if (!IsDigitUnit(*unit)) break;
      value = (value * 10 + (*unit - '0')) & 0xFFFF;
      ++digits;
      pos += 2;
    }
    if (digits == 0) {
      Irregular(index, digitStart, "no number (" + UnitText(*first) + ")");
    } else if (digits > 1 && Unit(digitStart) == uint16_t('0')) {
      Irregular(index, digitStart, "leading zeros in the number");
    } else if (digits > 5 || SerializedValueDiffers(digitStart, digits, value)) {
      Irregular(index, digitStart, "the number does not fit 16 bits");
    }
    record.code = uint16_t(value);

    // The separator: one unit, whatever it holds.
    auto separator = Unit(pos);
    if (!separator) return CutShort(index, pos);
    if (*separator != 0x0020) Irregular(index, pos, "separator " + UnitText(*separator) + " instead of a space");
    pos += 2;

    for (size_t i = 0; i < kKanjiGlyphBytes; ++i)
      record.glyph[i] = m_reader.U8Or(pos + i, kBlankGlyphByte);
    if (!m_reader.Contains(pos, kKanjiGlyphBytes)) return CutShort(index, pos);
    pos += kKanjiGlyphBytes;

    if (!m_reader.Contains(pos, 2)) return CutShort(index, pos);
    if (m_reader.Bytes()[pos] != 0x0D || m_reader.Bytes()[pos + 1] != 0x0A) {
      Irregular(index, pos, "no line end 0D 0A after the glyph");
    }
    m_offset = pos + 2;
    ++m_complete;
    return true;
  }

  // The digits as written hold a value above 65535 (kept modulo 65536).
  bool SerializedValueDiffers(size_t digitStart, size_t digits, uint32_t value) const {
    uint32_t full = 0;
    for (size_t i = 0; i < digits; ++i)
      full = full * 10 + (*Unit(digitStart + 2 * i) - '0');
    return full != value;
  }

  bool CutShort(int index, size_t pos) {
    m_cutShort = index;
    m_cutOffset = pos;
    m_offset = m_reader.Size();
    return false;
  }

  std::string Warning(int stoppedAt) const {
    std::vector<std::string> parts;
    if (m_irregular > 0) {
      parts.push_back(std::to_string(m_irregular) + (m_irregular == 1 ? " irregularity" : " irregularities") +
                      " in the record layout (first: " + m_firstIrregular + ")");
    }
    if (m_cutShort >= 0) {
      parts.push_back("record " + std::to_string(m_cutShort) + " is cut short by the end of the file at offset " +
                      HexOffset(m_cutOffset) + "; its missing bytes were set to 0xFF");
    }
    int firstMissing = m_cutShort >= 0 ? m_cutShort + 1 : stoppedAt;
    if (firstMissing < kKanjiRecords) {
      parts.push_back("the file holds only " + std::to_string(m_complete) + " complete records; records " +
                      std::to_string(firstMissing) + " to " + std::to_string(kKanjiRecords - 1) +
                      " were set to code 0 with blank glyphs (bytes 0xFF)");
    }
    if (stoppedAt == kKanjiRecords && m_offset < m_reader.Size()) {
      parts.push_back(std::to_string(m_reader.Size() - m_offset) + " bytes after record " +
                      std::to_string(kKanjiRecords - 1) + " are ignored");
    } else if (m_trailing > 0 && m_cutShort < 0) {
      parts.push_back(std::to_string(m_trailing) + " bytes of white space or an odd byte at the end are ignored");
    }
    if (parts.empty()) return {};
    std::string text = std::string(m_name) + ": ";
    for (size_t i = 0; i < parts.size(); ++i)
      text += (i ? "; " : "") + parts[i];
    return text + ". Saving the database rewrites it in the standard layout.";
  }

  CByteReader m_reader;
  std::string_view m_name;
  size_t m_offset = 0;
  int m_complete = 0;
  int m_irregular = 0;
  std::string m_firstIrregular;
  int m_cutShort = -1;
  size_t m_cutOffset = 0;
  size_t m_trailing = 0;
};

} // namespace

CKanjiStoreLoad ParseKanjiStore(std::span<const uint8_t> bytes, std::string_view name) {
  return CStoreParser(bytes, name).Run();
}

CResult<CKanjiStoreLoad> LoadKanjiStore(const std::filesystem::path &databasePath) {
  auto bytes = ReadFileBytes(databasePath);
  if (!bytes) return bytes.Error();
  return ParseKanjiStore(*bytes, PathText(databasePath));
}

CKanjiStoreLoad KanjiStoreFromFont(std::span<const uint8_t> fontBytes, std::string_view name) {
  CKanjiStoreLoad load;
  CByteReader reader(fontBytes);
  for (size_t index = 0; index < size_t(kKanjiRecords); ++index) {
    KanjiRecord &record = load.m_store[index];
    record.code = 0;
    for (size_t i = 0; i < kKanjiGlyphBytes; ++i) {
      record.glyph[i] = reader.U8Or(index * kKanjiGlyphBytes + i, kBlankGlyphByte);
    }
  }
  const size_t full = fontBytes.size() / kKanjiGlyphBytes;
  if (full < size_t(kKanjiRecords)) {
    load.m_warning = std::string(name) + ": holds " + std::to_string(full) + " glyphs" +
                     (fontBytes.size() % kKanjiGlyphBytes ? " and part of one" : "") + "; records " +
                     std::to_string(full) + " to " + std::to_string(kKanjiRecords - 1) +
                     " of the new database have blank glyphs (bytes 0xFF)";
  }
  return load;
}

CKanjiStoreCreation CreateKanjiStore(const std::filesystem::path &fontPath, const std::filesystem::path &databasePath) {
  CKanjiStoreCreation creation;
  auto font = ReadFileBytes(fontPath);
  if (font) {
    CKanjiStoreLoad load = KanjiStoreFromFont(*font, PathText(fontPath));
    creation.m_store = std::move(load.m_store);
    creation.m_warning = std::move(load.m_warning);
  } else {
    creation.m_warning = font.Error().Message() + "; the new database holds 10000 blank records (code 0, glyph "
                                                  "bytes 0xFF)";
  }
  creation.m_saved = SaveKanjiStore(creation.m_store, databasePath);
  return creation;
}

CStatus SaveKanjiStore(const CKanjiStore &store, const std::filesystem::path &databasePath) {
  if (databasePath.has_parent_path()) {
    std::error_code error;
    std::filesystem::create_directories(databasePath.parent_path(), error);
    if (error) {
      return MakeError(PathText(databasePath) + ": cannot create the folder " + PathText(databasePath.parent_path()) +
                       ": " + error.message());
    }
  }
  return WriteFileAtomic(databasePath, SerializeKanjiStore(store));
}

int CountUnfilledRecords(const CKanjiStore &store, int count) {
  count = std::clamp(count, 0, kKanjiRecords);
  return int(std::count_if(store.begin(), store.begin() + count,
                           [](const KanjiRecord &record) { return record.code <= 256; }));
}

} // namespace quillan
