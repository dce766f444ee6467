#pragma once
// Fixtures of the encoder, batch and import tests: synthetic English fonts,
// generated English text, scripts of a given page layout, and small file
// helpers.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/document.h"
#include "support/script_builder.h"

namespace quillan::testing {

// A font of `records` glyph records of the size the header length's font
// uses (30 bytes for 36, 26 for 48), filled with a pattern that differs
// from record to record.
std::vector<uint8_t> SyntheticEnglishFont(uint32_t headerLength, size_t records = 224);
// Writes data/tk7-1.fon and data/tk7-2.fon below dir.
void WriteEnglishFonts(const std::filesystem::path &dir);

// Terminated English strings for pages of the given sizes (index page * 256
// + line; 16 pages' worth at least): elements 0x01-0xFF, lengths 0 to
// maxLength before the terminator.
std::vector<EnglishString> RandomEnglish(uint32_t seed, const std::vector<int> &pageSizes, int maxLength = 40);

// A small valid script with pages of the given entry counts.
CScriptSpec LayoutScriptSpec(uint32_t headerLength, const std::vector<int> &pageSizes);

// The string of bytes as elements, with the terminator.
EnglishString English(std::string_view text);

// Writes the script built from spec as dir/name and opens it in doc with
// dir as the working folder.
CStatus OpenBuiltScript(CTranslationDocument &doc, const std::filesystem::path &dir, const std::string &name,
                        const CScriptSpec &spec);

void WriteBytes(const std::filesystem::path &path, std::span<const uint8_t> bytes); // creates the folders
void WriteText(const std::filesystem::path &path, std::string_view text);
std::vector<uint8_t> ReadBytes(const std::filesystem::path &path); // empty when missing

} // namespace quillan::testing
