#include "support/codec_fixture.h"

#include <fstream>
#include <random>
#include <stdexcept>

namespace quillan::testing {

std::vector<uint8_t> SyntheticEnglishFont(uint32_t headerLength, size_t records) {
  const size_t recordBytes = headerLength == 36 ? 30 : 26;
  std::vector<uint8_t> font(records * recordBytes);
  for (size_t i = 0; i < font.size(); ++i)
    font[i] = uint8_t((i / recordBytes) * 7 + (i % recordBytes) * 13 + 1);
  return font;
}

void WriteEnglishFonts(const std::filesystem::path &dir) {
  WriteBytes(dir / "data" / "tk7-1.fon", SyntheticEnglishFont(36));
  WriteBytes(dir / "data" / "tk7-2.fon", SyntheticEnglishFont(48));
}

std::vector<EnglishString> RandomEnglish(uint32_t seed, const std::vector<int> &pageSizes, int maxLength) {
  std::mt19937 random(seed);
  std::vector<EnglishString> strings(std::max<size_t>(16, pageSizes.size()) * 256);
  // Text-like frequencies: mostly letters and spaces, now and then a
  // control code or a byte of the upper half.
  const std::string common = "etaoinshrdlucmfwypvbgkjqxz ETAOINSHR.,!?'";
  for (size_t page = 0; page < pageSizes.size(); ++page) {
    for (int line = 0; line < pageSizes[page]; ++line) {
      EnglishString &text = strings[page * 256 + size_t(line)];
      int length = int(random() % uint32_t(maxLength + 1));
      for (int i = 0; i < length; ++i) {
        uint32_t roll = random() % 100;
        if (roll < 80)
          text.push_back(uint8_t(common[random() % common.size()]));
        else if (roll < 90)
          text.push_back(uint16_t(1 + random() % 0x1F));
        else
          text.push_back(uint16_t(1 + random() % 255));
      }
      text.push_back(0);
    }
  }
  return strings;
}

CScriptSpec LayoutScriptSpec(uint32_t headerLength, const std::vector<int> &pageSizes) {
  CScriptSpec spec;
  spec.m_headerLength = headerLength;
  uint16_t next = 0x91;
  for (int size : pageSizes) {
    auto &page = spec.m_pages.emplace_back();
    for (int line = 0; line < size; ++line) {
      page.push_back({next, uint16_t(0x96 + line % 5), uint16_t(line % 3 + 1), 0x0000});
      next = next == 0xA0 ? 0x91 : uint16_t(next + 1);
    }
  }
  return spec;
}

EnglishString English(std::string_view text) {
  EnglishString out;
  for (char c : text)
    out.push_back(uint8_t(c));
  out.push_back(0);
  return out;
}

CStatus OpenBuiltScript(CTranslationDocument &doc, const std::filesystem::path &dir, const std::string &name,
                        const CScriptSpec &spec) {
  WriteBytes(dir / name, BuildScript(spec).m_bytes);
  doc.m_baseDir = dir;
  return doc.LoadScript(dir / name);
}

void WriteBytes(const std::filesystem::path &path, std::span<const uint8_t> bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

void WriteText(const std::filesystem::path &path, std::string_view text) {
  WriteBytes(path, std::span<const uint8_t>(reinterpret_cast<const uint8_t *>(text.data()), text.size()));
}

std::vector<uint8_t> ReadBytes(const std::filesystem::path &path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace quillan::testing
