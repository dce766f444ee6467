#include "workbench/po_exchange.h"

#include <charconv>
#include <ctime>

#include "codec/text_encoder.h"
#include "core/text_rules.h"
#include "extras/text_exchange.h"

namespace quillan {

// The control code markers {01}-{1f}, which a translation must keep, as a
// regular expression without the characters a flag line cannot hold
// unquoted (commas, blanks, backslashes). Kanji markers {kXXXX} stand for
// text and are not placeholders.
const char kMarkerPlaceholderFlag[] = "placeholders:r\"[{][01][0-9a-f][}]\"";

namespace {

constexpr size_t kMaxRecordBytes = 255;

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The value of a marker's hex digits, or -1.
long HexNumber(std::string_view digits) {
  if (digits.empty()) return -1;
  long value = 0;
  for (char c : digits) {
    int v = HexValue(c);
    if (v < 0) return -1;
    value = value * 16 + v;
  }
  return value;
}

std::string Quoted(std::u16string_view characters) {
  std::string out;
  for (size_t i = 0; i < characters.size(); ++i) {
    if (i) out += ", ";
    out += '\'';
    out += Utf8(characters.substr(i, 1));
    out += '\'';
  }
  return out;
}

bool ParseContext(const std::string &context, int &page, int &line) {
  auto colon = context.find(':');
  if (colon == std::string::npos || colon == 0 || colon + 1 >= context.size()) return false;
  const char *begin = context.data(), *end = context.data() + context.size();
  auto first = std::from_chars(begin, begin + colon, page);
  auto second = std::from_chars(begin + colon + 1, end, line);
  return first.ec == std::errc() && first.ptr == begin + colon && second.ec == std::errc() && second.ptr == end &&
         page >= 0 && line >= 0;
}

// What the chunk file keeps of a string: the low bytes before its first 0.
std::vector<uint8_t> SavedForm(const EnglishString &text) {
  std::vector<uint8_t> out;
  for (uint16_t e : text) {
    if ((e & 0xFF) == 0) break;
    out.push_back(uint8_t(e));
  }
  return out;
}

// The time of the export, as PO headers give it.
std::string RevisionDate() {
  std::time_t now = std::time(nullptr);
  std::tm utc{};
  gmtime_r(&now, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M+0000", &utc);
  return text;
}

} // namespace

std::filesystem::path DefaultPoPath(const std::filesystem::path &baseDir, const std::string &shortName) {
  return baseDir / "po" / (shortName + ".po");
}

CEnglishParse ParseEnglishDumpText(std::string_view text) {
  CEnglishParse out;
  std::string pending;
  auto flushText = [&]() -> bool {
    if (pending.empty()) return true;
    CGameText game = MapTextToGame(DecodeUtf8(pending));
    pending.clear();
    out.m_elements.insert(out.m_elements.end(), game.m_elements.begin(), game.m_elements.end());
    if (game.m_leftOut.empty()) return true;
    out.m_error = "the game cannot show " + Quoted(game.m_leftOut);
    return false;
  };
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] != '{') {
      pending.push_back(text[i++]);
      continue;
    }
    if (!flushText()) return out;
    size_t close = text.find('}', i + 1);
    if (close == std::string_view::npos || close - i > 8) {
      out.m_error = "a '{' that opens no marker (the character itself is {7b})";
      return out;
    }
    std::string_view inner = text.substr(i + 1, close - i - 1);
    long value = inner.size() == 2 ? HexNumber(inner) : -1;
    if (value >= 0x01 && value <= 0x1F) {
      out.m_elements.push_back(uint16_t(value));
    } else if (value == 0x7B) {
      out.m_elements.push_back(0x7B);
    } else {
      out.m_error = "unknown marker {" + std::string(inner) + "} (English text takes {01}-{1f} and {7b})";
      return out;
    }
    i = close + 1;
  }
  flushText();
  return out;
}

bool MatchesJapaneseText(std::string_view msgid, std::span<const uint16_t> entry, const KanjiCodeBook *book) {
  std::string current = DumpText(entry, book);
  if (msgid == current) return true;
  if (!book) return false;
  // Kanji identified since the export: their markers read as the book's
  // characters now.
  std::string canonical;
  canonical.reserve(msgid.size());
  size_t i = 0;
  while (i < msgid.size()) {
    if (msgid[i] == '{' && i + 7 <= msgid.size() && msgid[i + 1] == 'k' && msgid[i + 6] == '}') {
      long code = HexNumber(msgid.substr(i + 2, 4));
      if (code >= 0x100 && code <= 0x7FF && (*book)[size_t(code - 0x100)] >= 256) {
        canonical += Utf8(std::u16string(1, char16_t((*book)[size_t(code - 0x100)])));
        i += 7;
        continue;
      }
    }
    canonical.push_back(msgid[i++]);
  }
  return canonical == current;
}

CPoCatalog ExportPoCatalog(CTranslationDocument &doc, const KanjiCodeBook *book) {
  CPoCatalog catalog;
  const std::string name = doc.m_scriptFileName;
  catalog.m_header = "Project-Id-Version: " + name +
                     "\n"
                     "Report-Msgid-Bugs-To: \n"
                     "PO-Revision-Date: " +
                     RevisionDate() +
                     "\n"
                     "Last-Translator: \n"
                     "Language-Team: \n"
                     "Language: en\n"
                     "MIME-Version: 1.0\n"
                     "Content-Type: text/plain; charset=UTF-8\n"
                     "Content-Transfer-Encoding: 8bit\n"
                     "X-Quillan-Script: " +
                     name + "\n";
  for (int page = 0; page < doc.m_pageCount; ++page) {
    for (int line = 0; line < doc.EntriesOnPage(page); ++line) {
      const uint16_t *entry = doc.DecodeEntry(page, line);
      std::string japanese = DumpText(std::span(entry, size_t(kEntryCapacity)), book);
      if (japanese.empty()) continue;
      CPoMessage m;
      m.m_context = std::to_string(page) + ":" + std::to_string(line);
      m.m_id = std::move(japanese);
      m.m_str = DumpText(doc.EnglishAt(page, line), nullptr);
      m.m_extraFlag = kMarkerPlaceholderFlag;
      catalog.m_messages.push_back(std::move(m));
    }
  }
  return catalog;
}

CPoImportPlan PlanPoImport(CTranslationDocument &doc, const KanjiCodeBook *book, const CPoCatalog &catalog) {
  CPoImportPlan plan;
  struct CCandidate {
    size_t m_lineIndex;
    CImportChange m_change;
  };
  std::vector<CCandidate> candidates;
  for (const CPoMessage &m : catalog.m_messages) {
    if (m.m_str.empty()) continue;
    CImportLine line;
    line.m_context = m.m_context;
    int page = -1, row = -1;
    if (!ParseContext(m.m_context, page, row)) {
      line.m_reason = "msgctxt \"" + m.m_context + "\" is not PAGE:LINE";
    } else {
      line.m_page = page;
      line.m_line = row;
      if (page >= doc.m_pageCount || row >= doc.EntriesOnPage(page)) {
        line.m_reason = "the script has no entry " + m.m_context;
      } else if (m.m_fuzzy) {
        line.m_reason = "marked fuzzy";
      } else if (!MatchesJapaneseText(m.m_id, std::span(doc.DecodeEntry(page, row), size_t(kEntryCapacity)), book)) {
        line.m_reason = "the Japanese text is not the script's any more (the script changed)";
      } else if (m.m_str == DumpText(doc.EnglishAt(page, row), nullptr)) {
        line.m_outcome = CImportOutcome::Unchanged;
      } else {
        CEnglishParse parsed = ParseEnglishDumpText(m.m_str);
        if (!parsed.m_error.empty()) {
          line.m_outcome = CImportOutcome::Refused;
          line.m_reason = parsed.m_error;
        } else {
          EnglishString text(parsed.m_elements.begin(), parsed.m_elements.end());
          text.push_back(0);
          if (SavedForm(text) == SavedForm(doc.EnglishAt(page, row))) {
            line.m_outcome = CImportOutcome::Unchanged;
          } else {
            line.m_outcome = CImportOutcome::Imported;
            line.m_reason = SavedForm(doc.EnglishAt(page, row)).empty() ? "new translation" : "translation changed";
            candidates.push_back({plan.m_lines.size(), {page, row, std::move(text)}});
          }
        }
      }
    }
    plan.m_lines.push_back(std::move(line));
  }

  // Records longer than the game can read: the record lengths depend on the
  // whole script's text, so they are measured with the new text in place,
  // and again after every refusal.
  if (!candidates.empty()) {
    std::vector<EnglishString> strings = doc.EnglishStrings();
    for (const auto &c : candidates)
      strings[size_t(c.m_change.m_page * kLinesPerPage + c.m_change.m_line)] = c.m_change.m_text;
    CEncoderInput input;
    input.m_shortName = doc.m_shortName;
    input.m_headerLength = doc.m_headerLength;
    input.m_pageCount = doc.m_pageCount;
    input.m_linesOnLastPage = doc.m_linesOnLastPage;
    input.m_strings = strings;
    for (;;) {
      const auto codeLengths = ElementCodeLengths(input);
      bool refusedAny = false;
      for (auto &c : candidates) {
        CImportLine &line = plan.m_lines[c.m_lineIndex];
        if (line.m_outcome != CImportOutcome::Imported) continue;
        size_t index = size_t(c.m_change.m_page * kLinesPerPage + c.m_change.m_line);
        size_t bytes = RecordBytes(strings[index], codeLengths);
        if (bytes <= kMaxRecordBytes) continue;
        line.m_outcome = CImportOutcome::Refused;
        line.m_reason = "the text needs a record of " + std::to_string(bytes) + " bytes; the game reads at most 255";
        strings[index] = doc.EnglishStrings()[index];
        refusedAny = true;
      }
      if (!refusedAny) break;
    }
    for (auto &c : candidates)
      if (plan.m_lines[c.m_lineIndex].m_outcome == CImportOutcome::Imported)
        plan.m_changes.push_back(std::move(c.m_change));
  }
  for (const CImportLine &line : plan.m_lines) {
    switch (line.m_outcome) {
    case CImportOutcome::Imported:
      ++plan.m_imported;
      break;
    case CImportOutcome::Unchanged:
      ++plan.m_unchanged;
      break;
    case CImportOutcome::Skipped:
      ++plan.m_skipped;
      break;
    case CImportOutcome::Refused:
      ++plan.m_refused;
      break;
    }
  }
  return plan;
}

std::string FormatImportReport(const CPoImportPlan &plan) {
  std::string out;
  for (const CImportLine &line : plan.m_lines) {
    if (line.m_outcome == CImportOutcome::Unchanged) continue;
    static const char *const kNames[] = {"imported", "unchanged", "skipped", "refused"};
    out += line.m_page >= 0 ? std::to_string(line.m_page) : "-";
    out += '\t';
    out += line.m_line >= 0 ? std::to_string(line.m_line) : "-";
    out += '\t';
    out += kNames[int(line.m_outcome)];
    out += '\t';
    out += line.m_reason;
    out += '\n';
  }
  out += "imported: " + std::to_string(plan.m_imported) + "\n";
  out += "unchanged: " + std::to_string(plan.m_unchanged) + "\n";
  out += "skipped: " + std::to_string(plan.m_skipped) + "\n";
  out += "refused: " + std::to_string(plan.m_refused) + "\n";
  return out;
}

} // namespace quillan
