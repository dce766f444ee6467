#include "kanji/code_book.h"

#include <system_error>

#include "core/file_io.h"

namespace quillan {

KanjiCodeBook BlankCodeBook() {
  KanjiCodeBook book;
  book.fill(kCodeBookSpace);
  return book;
}

std::filesystem::path CodeBookPath(const std::filesystem::path &baseDir, std::string_view shortName) {
  std::u8string file(shortName.begin(), shortName.end());
  file += u8".kcb";
  return baseDir / "data" / "kanjiCB" / std::filesystem::path(file);
}

namespace {

bool IsSpace(uint8_t byte) { return byte == ' ' || (byte >= 0x09 && byte <= 0x0D); }
bool IsDigit(uint8_t byte) { return byte >= '0' && byte <= '9'; }

CStatus CreateParentFolder(const std::filesystem::path &path) {
  if (!path.has_parent_path()) return CStatus::Success();
  std::error_code error;
  std::filesystem::create_directories(path.parent_path(), error);
  if (error) {
    return MakeError(PathText(path) + ": cannot create the folder " + PathText(path.parent_path()) + ": " +
                     error.message());
  }
  return CStatus::Success();
}

} // namespace

CCodeBookLoad ParseCodeBook(std::span<const uint8_t> text, std::string_view name) {
  CCodeBookLoad load;
  size_t pos = 0;
  int line = 1;
  int tooLarge = 0;
  int firstTooLarge = 0;
  int entry = 0;
  for (; entry < kKanjiCodeBookSize; ++entry) {
    while (pos < text.size() && IsSpace(text[pos])) {
      if (text[pos] == '\n') ++line;
      ++pos;
    }
    if (pos >= text.size()) break;
    if (!IsDigit(text[pos])) {
      load.m_warning = std::string(name) + ": line " + std::to_string(line) + " is not a number";
      break;
    }
    uint64_t value = 0;
    for (; pos < text.size() && IsDigit(text[pos]); ++pos) {
      if (value <= 0xFFFFFFFF) value = value * 10 + (text[pos] - '0');
    }
    if (value > 0xFFFF && tooLarge++ == 0) firstTooLarge = line;
    load.m_book[entry] = uint16_t(value);
  }
  if (entry < kKanjiCodeBookSize) {
    if (load.m_warning.empty()) {
      load.m_warning = std::string(name) + ": holds only " + std::to_string(entry) + " numbers";
    }
    load.m_warning +=
        "; entries " + std::to_string(entry) + " to " + std::to_string(kKanjiCodeBookSize - 1) + " start as spaces";
  }
  if (tooLarge > 0) {
    if (!load.m_warning.empty())
      load.m_warning += "; ";
    else
      load.m_warning = std::string(name) + ": ";
    load.m_warning += std::to_string(tooLarge) + " numbers do not fit 16 bits (first on line " +
                      std::to_string(firstTooLarge) + "); their low 16 bits were kept";
  }
  return load;
}

std::string FormatCodeBook(const KanjiCodeBook &book) {
  std::string text;
  text.reserve(size_t(kKanjiCodeBookSize) * 7);
  for (uint16_t entry : book) {
    text += std::to_string(entry);
    text += "\r\n";
  }
  return text;
}

CResult<CCodeBookLoad> LoadCodeBook(const std::filesystem::path &path) {
  std::error_code error;
  bool exists = std::filesystem::exists(path, error);
  if (error) return MakeError(PathText(path) + ": cannot look for the code book: " + error.message());
  if (exists) {
    auto bytes = ReadFileBytes(path);
    if (!bytes) return bytes.Error();
    CCodeBookLoad load = ParseCodeBook(*bytes, PathText(path));
    load.m_damaged = !load.m_warning.empty();
    return load;
  }

  CCodeBookLoad load;
  std::string lines;
  lines.reserve(size_t(kNewCodeBookLines) * 4);
  for (int i = 0; i < kNewCodeBookLines; ++i)
    lines += "32\r\n";
  CStatus created = CreateParentFolder(path);
  if (created) created = WriteFileAtomic(path, lines);
  load.m_created = created.Ok();
  if (!created) load.m_warning = created.Error().Message() + "; the script's kanji start unidentified";
  return load;
}

CStatus SaveCodeBook(const KanjiCodeBook &book, const std::filesystem::path &path) {
  CStatus folder = CreateParentFolder(path);
  if (!folder) return folder;
  return WriteFileAtomic(path, FormatCodeBook(book));
}

} // namespace quillan
