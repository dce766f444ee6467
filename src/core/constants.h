#pragma once
// Capacities fixed by the game's formats and the document's storage.

#include <cstddef>
#include <cstdint>

namespace quillan {

inline constexpr int kEntryCapacity = 600;      // codes per decoded entry
inline constexpr int kLinesPerPage = 256;       // entries per page, strings per chunk file
inline constexpr int kMaxEnglishStrings = 4096; // 16 pages of 256, the store's usual size
inline constexpr int kMaxPages = 32;            // pages a script may have (the store grows past 16)
inline constexpr int kTreeBlockSize = 4096;     // bytes of tree data loaded from a script
inline constexpr int kContextTableEntries = 4096;
inline constexpr int kContextPairs = 513; // pairs read from the context table at most
inline constexpr int kContexts = 256;     // contexts the decoder can reach (byte values)
inline constexpr int kKanjiCodeBookSize = 2048;
inline constexpr uint32_t kOffsetMask = 0xFFFFF; // readers keep the low 20 bits of a pointer
inline constexpr uint32_t kLoadAddress = 0x00200000;
inline constexpr uint32_t kKanjiGlyphArea = 5872; // file offset of the glyph of kanji 0x100
inline constexpr int kKanjiGlyphBytes = 24;

using GlyphCode = uint16_t;

// A code whose low byte is 0 ends an entry unless it is a kanji (high byte 1-7).
constexpr bool EndsEntry(GlyphCode code) { return (code & 0xFF) == 0 && ((code >> 8) == 0 || (code >> 8) > 7); }

// A character's name in a text is one unit of two elements: the code 0x11
// and a name number 1-40.
inline constexpr GlyphCode kNameCode = 0x11;
inline constexpr int kNameCount = 40;
constexpr bool IsNameNumber(uint16_t v) { return v >= 1 && v <= kNameCount; }

} // namespace quillan
