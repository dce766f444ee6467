#include "support/project_fixture.h"

#include <random>

#include "codec/english_text.h"
#include "core/script_file.h"
#include "support/codec_fixture.h"

namespace quillan::testing {

void WriteProjectScript(const std::filesystem::path &dir, const std::string &name, const CScriptSpec &spec,
                        const std::vector<EnglishString> &english) {
  WriteBytes(dir / name, BuildScript(spec).m_bytes);
  for (size_t page = 0; page < spec.m_pages.size(); ++page) {
    size_t first = page * 256, count = spec.m_pages[page].size();
    if (first >= english.size()) break;
    std::vector<EnglishString> lines(english.begin() + long(first),
                                     english.begin() + long(std::min(english.size(), first + count)));
    lines.resize(count);
    bool any = false;
    for (const EnglishString &line : lines)
      any = any || (!line.empty() && (line[0] & 0xFF) != 0);
    if (!any) continue;
    std::string file = StemOf(name) + char('0' + page) + ".tk7";
    WriteBytes(dir / "Scripts" / "PATCHED INFO" / ShortNameOf(name) / file, EnglishChunkBytes(lines));
  }
}

CScriptSpec GeneratedScriptSpec(int n, int pages) {
  std::mt19937 random(uint32_t(1000 + n));
  CScriptSpec spec;
  spec.m_headerLength = n % 2 ? 36 : 48;
  for (int k = 0; k < 24; ++k) {
    CKanjiBitmap glyph{};
    for (auto &b : glyph)
      b = uint8_t(random());
    spec.m_kanjiGlyphs.push_back(glyph);
  }
  for (int page = 0; page < pages; ++page) {
    auto &entries = spec.m_pages.emplace_back();
    for (int line = 0; line < 256; ++line) {
      CEntryCodes codes;
      int words = 1 + int(random() % 4);
      for (int w = 0; w < words; ++w) {
        if (random() % 8 == 0) codes.push_back(uint16_t(0x100 + random() % 24));
        int length = 2 + int(random() % 6);
        for (int i = 0; i < length; ++i)
          codes.push_back(uint16_t(0x91 + random() % 0x6C));
        uint32_t roll = random() % 10;
        if (roll == 0) codes.push_back(0x03);
        if (roll == 1) codes.insert(codes.end(), {0x11, uint16_t(1 + random() % 40)});
        if (roll == 2) codes.insert(codes.end(), {0x08, uint16_t(1 + random() % 8)});
        if (roll == 3) codes.push_back(0x12);
      }
      codes.push_back(random() % 3 ? 0x01 : 0x02);
      codes.push_back(0x0000);
      // Some lines repeat, as a game's lines do.
      if (line > 10 && random() % 16 == 0) codes = entries[size_t(random() % size_t(line))];
      entries.push_back(codes);
    }
  }
  return spec;
}

std::vector<EnglishString> GeneratedEnglish(const CScriptSpec &spec, int n) {
  std::mt19937 random(uint32_t(5000 + n));
  const std::string words[] = {"the",  "sword",  "castle", "Hello", "we",  "must", "go",  "north",
                               "king", "dragon", "and",    "then",  "you", "will", "see", "it"};
  std::vector<EnglishString> english(std::max<size_t>(16, spec.m_pages.size()) * 256);
  for (size_t page = 0; page < spec.m_pages.size(); ++page) {
    for (size_t line = 0; line < spec.m_pages[page].size(); ++line) {
      if (random() % 3 == 0) continue;
      EnglishString &text = english[page * 256 + line];
      int count = 2 + int(random() % 7);
      for (int w = 0; w < count; ++w) {
        if (w) text.push_back(random() % 12 == 0 ? 0x03 : 0x20);
        for (char c : words[random() % std::size(words)])
          text.push_back(uint8_t(c));
      }
      text.push_back(uint8_t('.'));
      const CEntryCodes &japanese = spec.m_pages[page][line];
      text.push_back(japanese[japanese.size() - 2]); // the same bubble end, mostly
      text.push_back(0);
    }
  }
  return english;
}

void WriteGeneratedProject(const std::filesystem::path &dir, int scripts, int pages) {
  WriteEnglishFonts(dir);
  for (int n = 0; n < scripts; ++n) {
    CScriptSpec spec = GeneratedScriptSpec(n, pages);
    std::string name = std::string("x5G") + char('0' + n / 10 % 10) + char('0' + n % 10) + ".bin";
    WriteProjectScript(dir, name, spec, GeneratedEnglish(spec, n));
  }
}

} // namespace quillan::testing
