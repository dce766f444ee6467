#pragma once
// The demo working folder shipped in examples/demo: a small script of our own
// sample sentences (x5DEMO.bin), its code book, the English text of the
// first lines of page 0 (the chunk files of all three pages, as Save English
// Text writes them), the script list of Compress All, plus the empty folders
// the programs expect.

#include <filesystem>

#include "support/script_builder.h"

namespace quillan::testing {

// What the demo script holds: a 48-byte header, three pages of 256, 256 and
// 40 entries, kana and the twelve kanji 0x100..0x10B.
CScriptSpec DemoScriptSpec();

// The English text of line i of page 0 (only the first lines have one), as
// elements with the terminating 0; empty for lines without a translation.
std::vector<uint8_t> DemoEnglishLine(int line);

// Writes the whole demo folder below dir, creating folders as needed. The
// output is the same byte for byte on every run.
void WriteDemoWorkspace(const std::filesystem::path &dir);

// The demo's kanji database data/glyphary.db, made from the seed
// data/fontfile.fon below dir (nothing without one) with the demo's
// identified kanji in it. Part of WriteDemoWorkspace.
void WriteDemoKanjiStore(const std::filesystem::path &dir);

} // namespace quillan::testing
