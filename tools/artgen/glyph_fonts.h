#pragma once
// The game font files of the demo folder, drawn from Unifont: the one-byte
// fonts tk7-1.fon (16 x 15) and tk7-2.fon (16 x 13) for the codes 0x20-0xFF,
// and fontfile.fon, 10000 kanji of 16 x 12 that seed the kanji database.

#include <cstdint>
#include <vector>

#include "unifont.h"

namespace quillan::artgen {

// Records of 2 * height bytes: rows top first, 2 bytes a row, most
// significant bit leftmost.
std::vector<uint8_t> MakeOneByteFont(const CUnifont &font, int height);
std::vector<uint8_t> MakeKanjiSeed(const CUnifont &font);

// Fits rows into count rows by merging, again and again, the two neighbouring
// rows that differ least (identical rows first), so that strokes and the gaps
// between them survive where they can.
std::vector<uint16_t> ReduceRows(std::vector<uint16_t> rows, size_t count);

} // namespace quillan::artgen
