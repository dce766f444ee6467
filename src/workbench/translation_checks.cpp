#include "workbench/translation_checks.h"

#include <algorithm>
#include <map>

#include "codec/text_encoder.h"
#include "core/config.h"
#include "core/file_io.h"
#include "workbench/game_text.h"

namespace quillan {

namespace {

constexpr size_t kMaxRecordBytes = 255;

std::string CodeText(uint16_t code) {
  uint16_t one[1] = {code};
  return DumpText(one, nullptr);
}

std::string Hex2(unsigned value) {
  static const char kDigits[] = "0123456789abcdef";
  return {kDigits[(value >> 4) & 0xF], kDigits[value & 0xF]};
}

bool SameText(std::span<const uint16_t> a, std::span<const uint16_t> b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](uint16_t x, uint16_t y) { return (x & 0xFF) == (y & 0xFF); });
}

void CheckUntranslated(const CCheckContext &, const CCheckedEntry &entry, std::vector<std::string> &messages) {
  if (!entry.m_japanese.empty() && entry.m_english.empty()) messages.push_back("no English text");
}

void CheckEnding(const CCheckContext &, const CCheckedEntry &entry, std::vector<std::string> &messages) {
  if (entry.m_english.empty()) return;
  uint16_t japanese = EndingCode(entry.m_japanese);
  uint16_t english = EndingCode(entry.m_english);
  if (japanese == english) return;
  if (japanese && english)
    messages.push_back("the Japanese ends with " + CodeText(japanese) + ", the English with " + CodeText(english));
  else if (japanese)
    messages.push_back("the Japanese ends with " + CodeText(japanese) + ", the English does not");
  else
    messages.push_back("the English ends with " + CodeText(english) + ", the Japanese does not");
}

void CheckPlaceholders(const CCheckContext &, const CCheckedEntry &entry, std::vector<std::string> &messages) {
  if (entry.m_english.empty()) return;
  auto japanese = Placeholders(entry.m_japanese);
  auto english = Placeholders(entry.m_english);
  std::sort(japanese.begin(), japanese.end());
  std::sort(english.begin(), english.end());
  if (japanese == english) return;
  std::vector<CPlaceholder> missing, extra;
  std::set_difference(japanese.begin(), japanese.end(), english.begin(), english.end(), std::back_inserter(missing));
  std::set_difference(english.begin(), english.end(), japanese.begin(), japanese.end(), std::back_inserter(extra));
  auto list = [](const std::vector<CPlaceholder> &items) {
    std::string text;
    for (const CPlaceholder &p : items) {
      text += text.empty() ? "" : " ";
      text += PlaceholderText(p);
    }
    return text;
  };
  std::string message;
  if (!missing.empty()) message = "missing " + list(missing);
  if (!extra.empty()) message += (message.empty() ? "extra " : "; extra ") + list(extra);
  messages.push_back(message);
}

void CheckTooLong(const CCheckContext &context, const CCheckedEntry &entry, std::vector<std::string> &messages) {
  size_t bytes = RecordBytes(entry.m_english, context.m_data.m_codeLengths);
  if (bytes > kMaxRecordBytes)
    messages.push_back("the compressed record takes " + std::to_string(bytes) + " bytes; the game reads at most " +
                       std::to_string(kMaxRecordBytes));
}

void CheckFont(const CCheckContext &context, const CCheckedEntry &entry, std::vector<std::string> &messages) {
  const CScriptCheckData &data = context.m_data;
  if (data.m_font.empty() || data.m_recordSize == 0) return;
  std::vector<uint16_t> blank;
  std::span<const uint16_t> text = entry.m_english;
  for (size_t i = 0; i < text.size(); i += 1 + size_t(ArgumentCount(text, i))) {
    uint16_t code = text[i];
    if (code < 0x21 || code > 0xFF) continue;
    size_t offset = size_t(code - 0x20) * data.m_recordSize;
    bool set = false;
    for (size_t b = offset; b < offset + data.m_recordSize && b < data.m_font.size() && !set; ++b)
      set = data.m_font[b] != 0;
    if (!set && std::find(blank.begin(), blank.end(), code) == blank.end()) blank.push_back(code);
  }
  if (blank.empty()) return;
  std::string list;
  for (uint16_t code : blank) {
    list += list.empty() ? "" : ", ";
    list += CodeText(code) + " (" + Hex2(code) + ")";
  }
  messages.push_back("no pixel set in " + data.m_fontName + " for " + list);
}

void CheckOverflow(const CCheckContext &context, const CCheckedEntry &entry, std::vector<std::string> &messages) {
  const CCheckLimits &limits = context.m_checker.Limits();
  if (entry.m_english.empty()) return;
  CTextShape shape = MeasureText(entry.m_english);
  if (limits.m_maxColumns > 0) {
    for (size_t i = 0; i < shape.m_lines.size(); ++i)
      if (shape.m_lines[i].m_columns > limits.m_maxColumns)
        messages.push_back("line " + std::to_string(i + 1) + " has " + std::to_string(shape.m_lines[i].m_columns) +
                           " glyphs; at most " + std::to_string(limits.m_maxColumns) + " fit (max-columns)");
  }
  if (limits.m_maxLines > 0) {
    for (size_t i = 0; i < shape.m_bubbleLines.size(); ++i)
      if (shape.m_bubbleLines[i] > limits.m_maxLines)
        messages.push_back("bubble " + std::to_string(i + 1) + " has " + std::to_string(shape.m_bubbleLines[i]) +
                           " lines; at most " + std::to_string(limits.m_maxLines) + " fit (max-lines)");
  }
}

void CheckInconsistent(const CCheckContext &context, const CCheckedEntry &entry, std::vector<std::string> &messages) {
  if (entry.m_english.empty() || entry.m_japanese.empty()) return;
  CEntryRef reference = context.m_checker.ReferenceOf(context, entry.m_ref);
  if (reference.m_script < 0 || reference == entry.m_ref) return;
  if (SameText(context.m_checker.EnglishOf(reference), entry.m_english)) return;
  const CIndexedScript &script = context.m_checker.Index().Script(reference.m_script);
  const CIndexedEntry &e = script.Entry(reference.m_entry);
  messages.push_back("the same Japanese text is translated differently at " + script.m_name + " " +
                     std::to_string(e.m_page) + ":" + std::to_string(e.m_line));
}

void CheckSpaces(const CCheckContext &, const CCheckedEntry &entry, std::vector<std::string> &messages) {
  std::span<const uint16_t> text = entry.m_english;
  if (text.empty()) return;
  // The elements that are text, not arguments of a control code.
  std::vector<uint16_t> elements;
  for (size_t i = 0; i < text.size(); i += 1 + size_t(ArgumentCount(text, i)))
    elements.push_back(text[i] & 0xFF);
  std::vector<std::string> found;
  if (elements.front() == 0x20) found.push_back("starts with a space");
  uint16_t ending = EndingCode(text);
  if (ending && elements.size() >= 2 && elements[elements.size() - 2] == 0x20)
    found.push_back("a space before the ending " + CodeText(ending));
  if (elements.size() > 1 && elements.back() == 0x20) found.push_back("ends with a space");
  for (size_t i = 1; i < elements.size(); ++i) {
    if (elements[i] == 0x20 && elements[i - 1] == 0x20) {
      found.push_back("two spaces in a row");
      break;
    }
  }
  if (found.empty()) return;
  std::string message;
  for (const std::string &part : found) {
    message += message.empty() ? "" : "; ";
    message += part;
  }
  messages.push_back(message);
}

// A term of data/glossary.txt in the Japanese whose English the translation
// lacks.
void CheckGlossary(const CCheckContext &context, const CCheckedEntry &entry, std::vector<std::string> &messages) {
  const CGlossary &glossary = context.m_checker.Glossary();
  if (glossary.m_terms.empty() || entry.m_english.empty()) return;
  const CIndexedScript &script = context.m_checker.Index().Script(entry.m_ref.m_script);
  std::u16string japanese = JapaneseEntryText(entry.m_japanese, script.m_codeBook);
  EnglishString english(entry.m_english.begin(), entry.m_english.end());
  for (std::string &message : GlossaryFindings(glossary, japanese, english))
    messages.push_back(std::move(message));
}

const CCheckDef kChecks[] = {
    {"untranslated", CSeverity::Warning, CheckUntranslated},
    {"ending", CSeverity::Error, CheckEnding},
    {"placeholder", CSeverity::Error, CheckPlaceholders},
    {"too-long", CSeverity::Error, CheckTooLong},
    {"font", CSeverity::Warning, CheckFont},
    {"overflow", CSeverity::Warning, CheckOverflow},
    {"inconsistent", CSeverity::Warning, CheckInconsistent},
    {"spaces", CSeverity::Warning, CheckSpaces},
    {"glossary", CSeverity::Warning, CheckGlossary},
};

} // namespace

const char *SeverityName(CSeverity severity) { return severity == CSeverity::Error ? "error" : "warning"; }

std::span<const CCheckDef> Checks() { return kChecks; }

CCheckLimits ReadCheckLimits(const CProjectIndex &index) {
  CCheckLimits limits;
  limits.m_maxColumns = int(ConfigNumber(index.BaseDir(), "max-columns", index.MaxJapaneseColumns()));
  limits.m_maxLines = int(ConfigNumber(index.BaseDir(), "max-lines", index.MaxJapaneseLines()));
  return limits;
}

CProjectChecker::CProjectChecker(const CProjectIndex &index, CCheckLimits limits) : m_index(index), m_limits(limits) {
  auto glossary = LoadGlossary(index.BaseDir());
  if (glossary) {
    m_glossary = std::move(*glossary);
  } else {
    m_glossary.m_problems.push_back(glossary.Error().Message());
  }
}

void CProjectChecker::SetLiveEnglish(int script, const std::vector<EnglishString> *strings) {
  m_liveScript = strings ? script : -1;
  m_live = strings;
}

std::span<const uint16_t> CProjectChecker::EnglishOf(const CEntryRef &ref) const {
  const CIndexedScript &script = m_index.Script(ref.m_script);
  if (ref.m_script == m_liveScript && m_live) {
    const CIndexedEntry &e = script.Entry(ref.m_entry);
    size_t at = size_t(e.m_page) * kLinesPerPage + size_t(e.m_line);
    if (at >= m_live->size()) return {};
    return EnglishBody((*m_live)[at]);
  }
  return EnglishBody(script.English(ref.m_entry));
}

CEntryRef CProjectChecker::ReferenceOf(const CCheckContext &context, const CEntryRef &ref) const {
  int group = m_index.JapaneseGroup(ref);
  if (group < 0) return {};
  if (context.m_references) return (*context.m_references)[size_t(group)];
  for (const CEntryRef &member : m_index.GroupMembers(group))
    if (!EnglishOf(member).empty()) return member;
  return {};
}

std::vector<CEntryRef> CProjectChecker::References() const {
  std::vector<CEntryRef> references(size_t(m_index.GroupCount()));
  for (int group = 0; group < m_index.GroupCount(); ++group) {
    for (const CEntryRef &member : m_index.GroupMembers(group)) {
      if (!EnglishOf(member).empty()) {
        references[size_t(group)] = member;
        break;
      }
    }
  }
  return references;
}

void CProjectChecker::RefreshCodeLengths(int scriptIndex, CScriptCheckData &data) const {
  const CIndexedScript &script = m_index.Script(scriptIndex);
  CEncoderInput input;
  input.m_shortName = script.m_shortName;
  input.m_headerLength = script.m_headerLength;
  input.m_pageCount = script.m_pageCount;
  input.m_linesOnLastPage = script.m_linesOnLastPage;
  input.m_strings = scriptIndex == m_liveScript && m_live ? std::span<const EnglishString>(*m_live)
                                                          : std::span<const EnglishString>(script.EnglishStrings());
  data.m_codeLengths = ElementCodeLengths(input);
}

CScriptCheckData CProjectChecker::Prepare(int scriptIndex) const {
  const CIndexedScript &script = m_index.Script(scriptIndex);
  CScriptCheckData data;
  RefreshCodeLengths(scriptIndex, data);
  if (script.m_headerLength == 36 || script.m_headerLength == 48) {
    std::filesystem::path path = EnglishFontPath(m_index.BaseDir(), script.m_headerLength);
    data.m_fontName = PathText(path.filename());
    data.m_recordSize = script.m_headerLength == 36 ? 30 : 26;
    if (auto font = ReadFileBytes(path)) data.m_font = std::move(font.Value());
  }
  return data;
}

void CProjectChecker::CheckEntry(const CCheckContext &context, const CEntryRef &ref, std::vector<CFinding> &out) const {
  const CIndexedScript &script = m_index.Script(ref.m_script);
  const CIndexedEntry &e = script.Entry(ref.m_entry);
  CCheckedEntry entry{ref, e.m_page, e.m_line, script.JapaneseCodes(ref.m_entry), EnglishOf(ref)};
  std::vector<std::string> messages;
  for (const CCheckDef &check : Checks()) {
    messages.clear();
    check.m_run(context, entry, messages);
    for (std::string &message : messages)
      out.push_back({ref.m_script, e.m_page, e.m_line, check.m_severity, check.m_id, std::move(message)});
  }
}

void CProjectChecker::CheckEntry(const CEntryRef &ref, const CScriptCheckData &data, std::vector<CFinding> &out) const {
  CheckEntry(CCheckContext{*this, data, nullptr}, ref, out);
}

std::vector<CFinding> CProjectChecker::CheckScript(int scriptIndex) const {
  return CheckScript(scriptIndex, Prepare(scriptIndex));
}

std::vector<CFinding> CProjectChecker::CheckScript(int scriptIndex, const CScriptCheckData &data) const {
  std::vector<CFinding> out;
  std::vector<CEntryRef> references = References();
  CCheckContext context{*this, data, &references};
  const CIndexedScript &script = m_index.Script(scriptIndex);
  for (int e = 0; e < script.EntryCount(); ++e)
    CheckEntry(context, {scriptIndex, e}, out);
  return out;
}

std::vector<CFinding> CProjectChecker::CheckProject(const CProgressCallback &progress) const {
  std::vector<CFinding> out;
  std::vector<CEntryRef> references = References();
  for (int s = 0; s < m_index.ScriptCount(); ++s) {
    const CIndexedScript &script = m_index.Script(s);
    if (!ReportProgress(progress, {"check", script.m_name, uint64_t(s), uint64_t(m_index.ScriptCount())})) break;
    CScriptCheckData data = Prepare(s);
    CCheckContext context{*this, data, &references};
    for (int e = 0; e < script.EntryCount(); ++e)
      CheckEntry(context, {s, e}, out);
  }
  return out;
}

} // namespace quillan
