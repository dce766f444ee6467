#pragma once
// The document the import fuzz targets fill: a script of two pages (256 and
// 40 entries) made by our own encoder, whose entries end with the codes 1, 2
// and 3 in turn, so that the imports carry ending codes over. The targets
// reset its text and position before every input.

#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "codec/text_encoder.h"
#include "core/document.h"

namespace quillan::fuzzing {

inline constexpr int kLastPageEntries = 40;

inline CTranslationDocument &FuzzDocument(std::span<const uint8_t> &data) {
  static CTranslationDocument *doc = [] {
    std::vector<EnglishString> japanese(512);
    for (int index = 0; index < 256 + kLastPageEntries; ++index)
      japanese[size_t(index)] = {uint16_t('a' + index % 26), uint16_t(index % 256 % 3 + 1), 0};
    std::vector<uint8_t> font(26 * 4, 0x3C);
    auto encoded = EncodeEnglishText(CEncoderInput{"FUZZ", 48, 2, kLastPageEntries, japanese}, font);
    if (!encoded) std::abort();
    auto script = CScriptFile::FromBytes(encoded->m_bytes, "x5FUZZ.bin");
    if (!script) std::abort();
    auto *made = new CTranslationDocument();
    made->m_scriptFile = std::move(script.Value());
    made->m_fileOpen = 1;
    made->m_pageCount = 2;
    made->m_linesOnLastPage = kLastPageEntries;
    made->m_shortName = "FUZZ";
    made->m_scriptFileName = "x5FUZZ.bin";
    return made;
  }();
  for (auto &text : doc->LoadedStrings())
    text.clear();
  // The first two bytes choose the current page and line.
  uint8_t page = data.size() > 0 ? data[0] : 0, line = data.size() > 1 ? data[1] : 0;
  data = data.subspan(std::min<size_t>(2, data.size()));
  doc->m_currentPage = page % 2;
  doc->m_linesOnPage = doc->EntriesOnPage(doc->m_currentPage);
  doc->m_currentLine = line % doc->m_linesOnPage;
  doc->m_modified = 0;
  return *doc;
}

// What every fill must leave: strings only inside the script's entries, and
// each one ending with its terminator.
inline void CheckFilled(const CTranslationDocument &doc) {
  for (size_t index = 0; index < doc.EnglishStrings().size(); ++index) {
    const EnglishString &text = doc.EnglishStrings()[index];
    if (text.empty()) continue;
    int page = int(index / 256), line = int(index % 256);
    if (page >= doc.m_pageCount || line >= doc.EntriesOnPage(page)) std::abort();
    if (text.back() != 0) std::abort();
  }
}

} // namespace quillan::fuzzing
