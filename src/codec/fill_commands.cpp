#include "codec/fill_commands.h"

#include <algorithm>
#include <limits>

#include "core/file_io.h"

namespace quillan {

namespace {

constexpr size_t kVdrTextCapacity = 2549; // characters of a ".txn" text line

CStatus CheckOpen(const CTranslationDocument &doc) {
  if (!doc.m_fileOpen || doc.m_pageCount < 1)
    return MakeError("No script is open: open a script before filling its text");
  if (doc.m_currentPage < 0 || doc.m_currentPage >= doc.m_pageCount)
    return MakeError("The current page " + std::to_string(doc.m_currentPage) + " lies outside the script's " +
                     std::to_string(doc.m_pageCount) + " pages");
  return CStatus::Success();
}

void AppendNumber(EnglishString &text, int value) {
  for (char digit : std::to_string(value))
    text.push_back(uint16_t(uint8_t(digit)));
}

std::string LeftOver(std::string_view name, size_t count, const char *what, const CTranslationDocument &doc) {
  return std::string(name) + ": " + std::to_string(count) + " " + what + (count == 1 ? "" : "s") +
         " past the end of page " + std::to_string(doc.m_currentPage) + " (" +
         std::to_string(doc.EntriesOnPage(doc.m_currentPage)) + " entries) were not taken";
}

// Fills the current page from the current line on with one string per item;
// ending adds the Japanese entry's ending code before the terminator.
template <class CItems, class CMake>
CFillOutcome FillCurrentPage(CTranslationDocument &doc, const CItems &items, std::string_view name, const char *what,
                             const char *stepName, CMake make) {
  CTextEdit edit(doc, stepName);
  CFillOutcome outcome;
  const int page = doc.m_currentPage;
  const int entries = doc.EntriesOnPage(page);
  int line = std::max(doc.m_currentLine, 0);
  size_t taken = 0;
  for (; taken < items.size() && line < entries; ++taken, ++line) {
    edit.At(page, line) = make(items[taken], page, line);
    ++outcome.m_linesFilled;
  }
  if (taken < items.size()) outcome.m_message = LeftOver(name, items.size() - taken, what, doc);
  if (items.empty()) outcome.m_message = std::string(name) + ": the file holds no text";
  if (outcome.m_linesFilled > 0) doc.m_modified = 1;
  doc.PlaceCursorAtEnd();
  edit.Commit();
  return outcome;
}

template <class CBody> CResult<CFillOutcome> FromFile(const std::filesystem::path &path, CBody body) {
  auto bytes = ReadFileBytes(path);
  if (!bytes) return bytes.Error();
  return body(*bytes, PathText(path.filename()));
}

bool IsBlank(std::string_view line) {
  return std::all_of(line.begin(), line.end(), [](char c) { return c == ' ' || c == '\t' || c == '\r'; });
}

// A decimal number as the formatted input "%d" reads it, within one line:
// white space, an optional sign, at least one digit. Saturates.
bool ReadNumber(std::string_view line, size_t &at, long &value) {
  while (at < line.size() && (line[at] == ' ' || line[at] == '\t'))
    ++at;
  bool negative = false;
  if (at < line.size() && (line[at] == '+' || line[at] == '-')) negative = line[at++] == '-';
  size_t first = at;
  long result = 0;
  for (; at < line.size() && line[at] >= '0' && line[at] <= '9'; ++at)
    result = std::min<long>(result * 10 + (line[at] - '0'), std::numeric_limits<int>::max());
  if (at == first) return false;
  value = negative ? -result : result;
  return true;
}

// "%c%d%c%d%c": a character, a number, a character, a number, a character.
bool ParseRecordLine(std::string_view line, long &page, long &number) {
  size_t at = 1;
  if (line.empty() || !ReadNumber(line, at, page) || at >= line.size()) return false;
  ++at;
  return ReadNumber(line, at, number) && at < line.size();
}

std::string Quoted(std::string_view line) {
  constexpr size_t kShown = 40;
  std::string text(line.substr(0, kShown));
  std::replace(text.begin(), text.end(), '\r', ' ');
  return "\"" + text + (line.size() > kShown ? "...\"" : "\"");
}

} // namespace

std::vector<EnglishString> ParseScriptFileStrings(std::span<const uint8_t> bytes) {
  std::vector<EnglishString> strings;
  bool startNew = true;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    uint8_t value = bytes[i + 1];
    if (value == 254 || value == 255) value = 30;
    if (startNew) strings.emplace_back();
    strings.back().push_back(value);
    startNew = value == 0;
  }
  if (!startNew) strings.back().push_back(0);
  return strings;
}

std::vector<std::vector<uint8_t>> ParseTextLines(std::span<const uint8_t> bytes) {
  std::vector<std::vector<uint8_t>> lines;
  size_t i = 0;
  while (i < bytes.size()) {
    auto &line = lines.emplace_back();
    while (i < bytes.size() && bytes[i] != '\n' && bytes[i] != '\r')
      line.push_back(bytes[i++]);
    // CR LF, LF or CR ends the line.
    if (i < bytes.size() && bytes[i] == '\r') {
      ++i;
      if (i < bytes.size() && bytes[i] == '\n') ++i;
    } else if (i < bytes.size()) {
      ++i; // LF
    }
  }
  return lines;
}

CVdrText ParseVdrText(std::span<const uint8_t> bytes, std::string_view name) {
  CVdrText out;
  std::string_view text(reinterpret_cast<const char *>(bytes.data()), bytes.size());
  int lineNumber = 0;
  auto nextLine = [&](std::string_view &line) {
    if (text.empty()) return false;
    size_t end = text.find('\n');
    line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    ++lineNumber;
    return true;
  };
  auto fail = [&](int at, const std::string &defect) {
    out.m_error = std::string(name) + ": line " + std::to_string(at) + ": " + defect;
  };
  std::string_view line;
  while (nextLine(line)) {
    if (IsBlank(line)) continue;
    CVdrRecord record;
    record.m_fileLine = lineNumber;
    if (!ParseRecordLine(line, record.m_page, record.m_line)) {
      fail(lineNumber, "the record line " + Quoted(line) + " is not of the form ~page-line~");
      return out;
    }
    std::string_view body;
    if (!nextLine(body)) {
      fail(record.m_fileLine, "the record has no text line after it");
      return out;
    }
    for (char c : body)
      if (c != '\r') record.m_text.push_back(uint8_t(c));
    if (!record.m_text.empty() && record.m_text.front() == ' ') record.m_text.erase(record.m_text.begin());
    if (record.m_text.size() > kVdrTextCapacity) {
      fail(lineNumber, "the text line holds " + std::to_string(record.m_text.size()) + " characters; at most " +
                           std::to_string(kVdrTextCapacity) + " fit");
      return out;
    }
    if (!record.m_text.empty() && record.m_text.back() == ' ') record.m_text.pop_back();
    out.m_records.push_back(std::move(record));
  }
  return out;
}

uint16_t EntryEndingCode(const uint16_t *entry) {
  int end = 0;
  while (end < kEntryCapacity && !EndsEntry(entry[end]))
    ++end;
  if (end == 0) return 0;
  uint16_t last = entry[end - 1];
  return last >= 1 && last <= 3 ? last : 0;
}

CResult<CFillOutcome> FillFromScriptFileBytes(CTranslationDocument &doc, std::span<const uint8_t> bytes,
                                              std::string_view name) {
  if (auto status = CheckOpen(doc); !status) return status.Error();
  auto strings = ParseScriptFileStrings(bytes);
  return FillCurrentPage(doc, strings, name, "string", "Fill from Script File",
                         [](const EnglishString &text, int, int) { return text; });
}

CResult<CFillOutcome> FillFromTextBytes(CTranslationDocument &doc, std::span<const uint8_t> bytes,
                                        std::string_view name) {
  if (auto status = CheckOpen(doc); !status) return status.Error();
  auto lines = ParseTextLines(bytes);
  return FillCurrentPage(doc, lines, name, "line", "Fill from Text",
                         [&doc](const std::vector<uint8_t> &line, int page, int number) {
                           EnglishString text(line.begin(), line.end());
                           if (uint16_t ending = EntryEndingCode(doc.DecodeEntry(page, number))) text.push_back(ending);
                           text.push_back(0);
                           return text;
                         });
}

CResult<CFillOutcome> FillFromVdrTextBytes(CTranslationDocument &doc, std::span<const uint8_t> bytes,
                                           std::string_view name) {
  if (auto status = CheckOpen(doc); !status) return status.Error();
  CVdrText parsed = ParseVdrText(bytes, name);
  CTextEdit edit(doc, "Fill from VDR Text");
  CFillOutcome outcome;
  for (const CVdrRecord &record : parsed.m_records) {
    if (record.m_line < 1) continue; // records of the label converter carry line 0
    if (record.m_page < 0 || record.m_page >= doc.m_pageCount) {
      outcome.m_message = std::string(name) + ": line " + std::to_string(record.m_fileLine) +
                          ": Error, went to far with Pages (page " + std::to_string(record.m_page) +
                          "; the script has pages 0 to " + std::to_string(doc.m_pageCount - 1) + ")";
      break;
    }
    int page = int(record.m_page);
    if (record.m_line > doc.EntriesOnPage(page)) {
      outcome.m_message = std::string(name) + ": line " + std::to_string(record.m_fileLine) +
                          ": Error, went to far with Lines (line " + std::to_string(record.m_line) + "; page " +
                          std::to_string(page) + " has " + std::to_string(doc.EntriesOnPage(page)) + " lines)";
      break;
    }
    int line = int(record.m_line) - 1;
    EnglishString text(record.m_text.begin(), record.m_text.end());
    if (uint16_t ending = EntryEndingCode(doc.DecodeEntry(page, line))) text.push_back(ending);
    text.push_back(0);
    edit.At(page, line) = std::move(text);
    ++outcome.m_linesFilled;
  }
  if (outcome.m_message.empty() && !parsed.m_error.empty()) outcome.m_message = parsed.m_error;
  outcome.m_stopped = !outcome.m_message.empty();
  if (outcome.m_linesFilled > 0) doc.m_modified = 1;
  if (outcome.m_stopped)
    outcome.m_message += outcome.m_linesFilled == 1 ? "; the 1 entry filled before it keeps its text"
                                                    : "; the " + std::to_string(outcome.m_linesFilled) +
                                                          " entries filled before it keep their text";
  else
    doc.PlaceCursorAtEnd();
  edit.Commit();
  return outcome;
}

CResult<CFillOutcome> FillFromScriptFile(CTranslationDocument &doc, const std::filesystem::path &path) {
  if (auto status = CheckOpen(doc); !status) return status.Error();
  return FromFile(path,
                  [&](auto &bytes, const std::string &name) { return FillFromScriptFileBytes(doc, bytes, name); });
}

CResult<CFillOutcome> FillFromText(CTranslationDocument &doc, const std::filesystem::path &path) {
  if (auto status = CheckOpen(doc); !status) return status.Error();
  return FromFile(path, [&](auto &bytes, const std::string &name) { return FillFromTextBytes(doc, bytes, name); });
}

CResult<CFillOutcome> FillFromVdrText(CTranslationDocument &doc, const std::filesystem::path &path) {
  if (auto status = CheckOpen(doc); !status) return status.Error();
  return FromFile(path, [&](auto &bytes, const std::string &name) { return FillFromVdrTextBytes(doc, bytes, name); });
}

namespace {

CResult<CFillOutcome> FillWithLabels(CTranslationDocument &doc, bool withName) {
  if (auto status = CheckOpen(doc); !status) return status.Error();
  doc.m_fillWithName = withName ? 1 : 0;
  doc.m_modified = 1;
  CTextEdit edit(doc, withName ? "Fill with Name and Number" : "Fill with Numbers");
  const int page = doc.m_currentPage;
  const uint16_t pageCharacter = uint16_t(48 + page);
  CFillOutcome outcome;
  for (int line = 0; line < doc.EntriesOnPage(page); ++line) {
    EnglishString text;
    if (withName) {
      for (char c : doc.m_shortName) {
        if (c == 0) break;
        text.push_back(uint8_t(c));
      }
      text.insert(text.end(), {pageCharacter, 0x20, 0x08, 0x04});
    } else {
      text.insert(text.end(), {0x08, 0x02, pageCharacter, 0x08, 0x04});
    }
    AppendNumber(text, line + 1);
    text.push_back(0);
    edit.At(page, line) = std::move(text);
    ++outcome.m_linesFilled;
  }
  doc.PlaceCursorAtEnd();
  edit.Commit();
  return outcome;
}

} // namespace

CResult<CFillOutcome> FillWithNumbers(CTranslationDocument &doc) { return FillWithLabels(doc, false); }
CResult<CFillOutcome> FillWithNameAndNumber(CTranslationDocument &doc) { return FillWithLabels(doc, true); }

} // namespace quillan
