#pragma once
// Project folders for the index, search and check tests and benchmarks:
// scripts built from given Japanese entries with the English chunk files of
// given strings, and a generated project of a whole game's size.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/document.h"
#include "support/script_builder.h"

namespace quillan::testing {

// Writes dir/name built from spec, and the chunk file of every page of
// english (element page * 256 + line) that has a translated line.
void WriteProjectScript(const std::filesystem::path &dir, const std::string &name, const CScriptSpec &spec,
                        const std::vector<EnglishString> &english);

// The Japanese entries and English text of generated script number n of a
// project: pages of 256 entries (kana, kanji, control codes, names and
// slots), the English of about two in three entries.
CScriptSpec GeneratedScriptSpec(int n, int pages);
std::vector<EnglishString> GeneratedEnglish(const CScriptSpec &spec, int n);

// Writes scripts x5G00.bin, x5G01.bin, ... of `pages` pages each, their
// chunk files and the English fonts below dir.
void WriteGeneratedProject(const std::filesystem::path &dir, int scripts, int pages);

} // namespace quillan::testing
