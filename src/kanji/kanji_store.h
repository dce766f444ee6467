#pragma once
// The kanji database: 10000 records of a 24-byte kanji bitmap and the UTF-16
// character it shows, shared by every script and by the database editor.
//
// The file data/glyphary.db has no header; each record is, byte for byte:
//   the decimal digits of the code as UTF-16 LE units (no sign, no leading
//   zeros, "0" for zero), one space unit 20 00, the 24 glyph bytes, 0D 0A.
// A record is 30 to 38 bytes long and always of even length. The reader
// follows this field structure and never searches for line ends, so a glyph
// holding 0D 0A or 20 00 survives.

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/result.h"
#include "core/script_file.h" // KanjiGlyph: 12 rows of 2 bytes, most significant bit leftmost

namespace quillan {

inline constexpr int kKanjiRecords = 10000;
inline constexpr uint16_t kFirstIdentifiedCode = 256; // codes of 256 or more name a character
inline constexpr uint8_t kBlankGlyphByte = 0xFF;      // what a read past the end of a file yields

// A glyph of 24 bytes 0xFF: the fill for glyphs a file does not hold.
KanjiGlyph BlankKanjiGlyph();

struct KanjiRecord {
  uint16_t code = 0; // UTF-16 unit of the character; 0 = never assigned
  KanjiGlyph glyph = BlankKanjiGlyph();

  bool operator==(const KanjiRecord &) const = default;
};

// Exactly kKanjiRecords records, indexed 0 to 9999 in file order. A new store
// holds blank records (code 0, glyph bytes 0xFF).
class CKanjiStore {
public:
  CKanjiStore() : m_records(kKanjiRecords) {}

  static constexpr size_t size() { return kKanjiRecords; }
  KanjiRecord &operator[](size_t index) { return m_records[index]; }
  const KanjiRecord &operator[](size_t index) const { return m_records[index]; }
  auto begin() { return m_records.begin(); }
  auto end() { return m_records.end(); }
  auto begin() const { return m_records.begin(); }
  auto end() const { return m_records.end(); }

  bool operator==(const CKanjiStore &) const = default;

private:
  std::vector<KanjiRecord> m_records; // always kKanjiRecords long
};

// A store read from a file, with what was missing or irregular in it.
struct CKanjiStoreLoad {
  CKanjiStore m_store;
  // Empty when the file held exactly 10000 records in the standard layout,
  // which a save then rewrites byte for byte. Otherwise a text for the user
  // that says what was wrong (record, offset) and how it was filled.
  std::string m_warning;
  // Did not load cleanly: saving would change records the file held, so the
  // store is never written back without the user's word.
  bool Damaged() const { return !m_warning.empty(); }
};

// The store built from the raw font file on first start.
struct CKanjiStoreCreation {
  CKanjiStore m_store;
  std::string m_warning; // the font file is missing or holds fewer than 10000 glyphs
  CStatus m_saved;       // the save of the new database file
};

// data/glyphary.db and data/fontfile.fon below the working folder.
std::filesystem::path KanjiStorePath(const std::filesystem::path &baseDir);
std::filesystem::path KanjiFontPath(const std::filesystem::path &baseDir);

// The file image of a store: 10000 records in the layout above.
std::vector<uint8_t> SerializeKanjiStore(const CKanjiStore &store);

// Reads a database file image. Never fails and never reads past the end:
// records the bytes do not hold are blank (code 0, glyph bytes 0xFF). name
// is the file name used in the warning.
CKanjiStoreLoad ParseKanjiStore(std::span<const uint8_t> bytes, std::string_view name);

// Reads the database file. Fails only when the file cannot be read (a
// missing file included); a short or malformed file loads with a warning.
CResult<CKanjiStoreLoad> LoadKanjiStore(const std::filesystem::path &databasePath);

// Builds a store from raw 24-byte glyphs, all codes 0; glyphs past the end
// of the bytes are blank.
CKanjiStoreLoad KanjiStoreFromFont(std::span<const uint8_t> fontBytes, std::string_view name);

// First start: the store from the font file (a missing font file gives a
// blank store and a warning), then saved to databasePath.
CKanjiStoreCreation CreateKanjiStore(const std::filesystem::path &fontPath, const std::filesystem::path &databasePath);

// Writes all 10000 records, replacing the file atomically; a missing parent
// folder is created.
CStatus SaveKanjiStore(const CKanjiStore &store, const std::filesystem::path &databasePath);

// Records whose code is 256 or less ("not filled") among the first count.
int CountUnfilledRecords(const CKanjiStore &store, int count = kKanjiRecords);

} // namespace quillan
