#include "extras/font_viewer.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "codec/text_encoder.h"
#include "core/byte_reader.h"
#include "core/file_io.h"
#include "platform/platform.h"

namespace quillan {

CFontViewerDlg::CFontViewerDlg(CPlatform &platform, std::filesystem::path baseDir, int fontKind)
    : m_platform(platform), m_baseDir(std::move(baseDir)), m_fontKind(fontKind) {
  if (HasFont(fontKind)) m_fontPath = EnglishFontPath(m_baseDir, uint32_t(fontKind));
}

CStatus CFontViewerDlg::Open() {
  if (!HasFont(m_fontKind)) return MakeError("header length " + std::to_string(m_fontKind) + " has no English font");
  auto bytes = ReadFileBytes(m_fontPath);
  if (!bytes) return bytes.Error();
  // Changes are written at once, so a font that cannot be written is refused
  // now rather than after the first click.
  if (!CFilePtr(std::fopen(m_fontPath.c_str(), "rb+")))
    return MakeError(PathText(m_fontPath) + ": cannot open for writing: " + std::strerror(errno));
  m_font = std::move(*bytes);
  m_glyphIndex = 0;
  return CStatus::Success();
}

std::vector<uint8_t> CFontViewerDlg::Record() const {
  std::vector<uint8_t> record(static_cast<size_t>(RecordSize()));
  CByteReader font(m_font);
  size_t start = size_t(m_glyphIndex) * record.size();
  for (size_t i = 0; i < record.size(); ++i)
    record[i] = font.U8Or(start + i, 0);
  return record;
}

CPixelCanvas CFontViewerDlg::Paint() const {
  CPixelCanvas canvas(kViewWidth, ViewHeight(), kBlack);
  std::vector<uint8_t> record = Record();
  for (int row = 0; row < Rows(); ++row)
    for (int column = 0; column < kColumns; ++column)
      if (record[size_t(2 * row + column / 8)] & (0x80 >> (column % 8)))
        canvas.Fill({column * kCellSize, row * kCellSize, kCellSize, kCellSize}, kWhite);
  return canvas;
}

bool CFontViewerDlg::OnLButtonDown(int x, int y) {
  if (x < 0 || y < 0) return false;
  int column = x / kCellSize, row = y / kCellSize;
  if (column >= kColumns || row >= Rows()) return false;
  std::vector<uint8_t> record = Record();
  record[size_t(2 * row + (column >= 8 ? 1 : 0))] ^= uint8_t(1u << (7 - column % 8));
  return WriteRecord(record);
}

void CFontViewerDlg::OnPreviousGlyph() { m_glyphIndex = m_glyphIndex == 0 ? kGlyphCount - 1 : m_glyphIndex - 1; }

void CFontViewerDlg::OnNextGlyph() { m_glyphIndex = m_glyphIndex == kGlyphCount - 1 ? 0 : m_glyphIndex + 1; }

std::array<uint8_t, CFontViewerDlg::kFxtRows> CFontViewerDlg::ParseFxt(std::span<const uint8_t> text) {
  std::array<uint8_t, kFxtRows> rows{};
  int digit = 0;
  for (uint8_t c : text) {
    if (c != '0' && c != '1') continue;
    if (c == '1') rows[size_t(digit / 8)] |= uint8_t(0x80 >> (digit % 8));
    if (++digit == kFxtRows * 8) break;
  }
  return rows;
}

bool CFontViewerDlg::OnLoadFont() {
  auto chosen = m_platform.ChooseOpenFile("fxt", kFxtFilter);
  if (!chosen) return false;
  auto text = ReadFileBytes(*chosen);
  if (!text) {
    m_platform.MessageBox("Error opening file\n" + text.Error().Message(), "", CMessageButtons::Ok,
                          CMessageIcon::Error);
    return false;
  }
  std::array<uint8_t, kFxtRows> rows = ParseFxt(*text);
  // The file's rows go to glyph rows 1-14; row 0 and the right halves stay.
  std::vector<uint8_t> record = Record();
  for (int row = 1; row <= kFxtRows && row < Rows(); ++row)
    record[size_t(2 * row)] = rows[size_t(row - 1)];
  return WriteRecord(record);
}

bool CFontViewerDlg::WriteRecord(const std::vector<uint8_t> &record) {
  std::vector<uint8_t> font = m_font;
  size_t start = size_t(m_glyphIndex) * record.size();
  // A short font grows with zeros up to the record written, as a write past
  // the end of the file would.
  if (font.size() < start + record.size()) font.resize(start + record.size(), 0);
  std::copy(record.begin(), record.end(), font.begin() + std::ptrdiff_t(start));
  if (font == m_font) return false;
  if (CStatus written = WriteFileAtomic(m_fontPath, font); !written) {
    m_platform.MessageBox("The font was not changed.\n" + written.Error().Message(), "Change Font", CMessageButtons::Ok,
                          CMessageIcon::Error);
    return false;
  }
  m_font = std::move(font);
  return true;
}

} // namespace quillan
