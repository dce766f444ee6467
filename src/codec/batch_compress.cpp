#include "codec/batch_compress.h"

#include <algorithm>
#include <cctype>
#include <system_error>

#include "core/byte_reader.h"
#include "core/file_io.h"

namespace quillan {

namespace {

char Lower(char c) { return char(std::tolower(static_cast<unsigned char>(c))); }

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

bool IsScriptFileName(std::string_view name) {
  return name.size() >= 6 && EqualsNoCase(name.substr(0, 2), "x5") &&
         EqualsNoCase(name.substr(name.size() - 4), ".bin");
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
    text.remove_suffix(1);
  return text;
}

// Why name cannot name a script, or empty when it can. A name ends up in
// folder and file names below the working folder, so it must be one plain
// file name.
std::string NameDefect(const std::string &name) {
  if (name.find_first_of(std::string("/\\\0", 3)) != std::string::npos) return "holds a folder separator or a 0 byte";
  if (name == "." || name == "..") return "is not a file name";
  std::string shortName = ShortNameOf(name);
  if (shortName.empty()) return "has no short name (the characters from the third up to the first '.')";
  return {};
}

// The page count and last-page entry count of a script's saved chunk files.
struct CSavedText {
  std::vector<EnglishString> m_strings;
  int m_pageCount = 0;       // up to the last chunk file present
  int m_linesOnLastPage = 0; // strings in that file
};

std::filesystem::path ChunkPath(const std::filesystem::path &baseDir, const std::string &shortName,
                                const std::string &stem, int page) {
  std::string name = stem;
  name.push_back(char(48 + page));
  name += ".tk7";
  return baseDir / "Scripts" / "PATCHED INFO" / shortName / name;
}

// Reads chunk files 0 .. pages - 1 by the reading rule. A missing or empty
// file leaves its page empty; one that exists but cannot be read fails the
// whole reading, so that nothing is written from half the text.
CResult<CSavedText> ReadSavedText(const std::filesystem::path &baseDir, const std::string &shortName,
                                  const std::string &stem, int pages) {
  CSavedText saved;
  saved.m_strings.resize(size_t(std::max(pages, kMaxEnglishStrings / kLinesPerPage)) * kLinesPerPage);
  for (int page = 0; page < pages; ++page) {
    auto bytes = ReadFileIfPresent(ChunkPath(baseDir, shortName, stem, page));
    if (!bytes) return bytes.Error().WithContext("English text of page " + std::to_string(page));
    if (!*bytes) continue;
    saved.m_pageCount = page + 1;
    saved.m_linesOnLastPage = 0;
    if ((*bytes)->empty()) continue;
    auto lines = ReadEnglishChunk(**bytes, kLinesPerPage);
    for (size_t line = 0; line < lines.size(); ++line) {
      if (!lines[line].empty()) saved.m_linesOnLastPage = int(line) + 1;
      saved.m_strings[size_t(page) * kLinesPerPage + line] = std::move(lines[line]);
    }
  }
  return saved;
}

// The script file name in dir, found without regard to case when the exact
// name is not there.
std::filesystem::path FindBeside(const std::filesystem::path &dir, const std::string &name) {
  std::error_code error;
  auto exact = dir / name;
  if (std::filesystem::is_regular_file(exact, error)) return exact;
  for (std::filesystem::directory_iterator it(dir, error), end; !error && it != end; it.increment(error)) {
    if (EqualsNoCase(PathText(it->path().filename()), name) && it->is_regular_file(error)) return it->path();
  }
  return {};
}

} // namespace

std::filesystem::path BatchScriptListPath(const std::filesystem::path &baseDir) {
  return baseDir / "data" / "scriptlist.txt";
}

CResult<std::vector<std::string>> ParseBatchScriptList(std::string_view text, std::string_view fileName) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  std::vector<std::string> names;
  int lineNumber = 0;
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view line = Trim(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    ++lineNumber;
    if (line.empty() || line.front() == '#') continue;
    std::string name(line);
    if (std::string defect = NameDefect(name); !defect.empty())
      return MakeError(std::string(fileName) + ": line " + std::to_string(lineNumber) + ": \"" + name + "\" " + defect);
    names.push_back(std::move(name));
  }
  return names;
}

CResult<CBatchScriptList> ReadBatchScriptList(const std::filesystem::path &baseDir,
                                              const std::filesystem::path &scriptDir) {
  CBatchScriptList list;
  auto listPath = BatchScriptListPath(baseDir);
  std::error_code error;
  if (std::filesystem::exists(listPath, error)) {
    auto bytes = ReadFileBytes(listPath);
    if (!bytes) return bytes.Error();
    auto names = ParseBatchScriptList(std::string_view(reinterpret_cast<const char *>(bytes->data()), bytes->size()),
                                      PathText(listPath));
    if (!names) return names.Error();
    list.m_names = std::move(names.Value());
    list.m_source = PathText(listPath);
    return list;
  }
  for (std::filesystem::directory_iterator it(scriptDir, error), end; !error && it != end; it.increment(error)) {
    std::string name = PathText(it->path().filename());
    std::error_code kind;
    if (IsScriptFileName(name) && it->is_regular_file(kind) && NameDefect(name).empty()) list.m_names.push_back(name);
  }
  if (error) return MakeError(PathText(scriptDir) + ": cannot list the folder: " + error.message());
  std::sort(list.m_names.begin(), list.m_names.end());
  list.m_source = "the x5*.bin files in " + PathText(scriptDir);
  return list;
}

CResult<CBatchPlan> PlanCompressAll(const CTranslationDocument &doc) {
  if (!doc.m_fileOpen || !doc.Script() || doc.m_pageCount < 1)
    return MakeError("No script is open: Compress All starts from the open script");
  CBatchPlan plan;
  plan.m_baseDir = doc.m_baseDir;
  std::error_code error;
  plan.m_scriptDir = std::filesystem::absolute(doc.m_scriptPath, error).parent_path();
  if (error) plan.m_scriptDir = std::filesystem::path(doc.m_scriptPath).parent_path();
  plan.m_openScriptName = doc.m_scriptFileName;
  plan.m_openShortName = doc.m_shortName;
  plan.m_headerLength = doc.m_headerLength;
  plan.m_pageCount = doc.m_pageCount;
  plan.m_linesOnLastPage = doc.m_linesOnLastPage;
  auto list = ReadBatchScriptList(plan.m_baseDir, plan.m_scriptDir);
  if (!list) return list.Error();
  plan.m_listSource = list->m_source;
  plan.m_runs.push_back(plan.m_openScriptName);
  plan.m_runs.insert(plan.m_runs.end(), list->m_names.begin(), list->m_names.end());
  plan.m_runs.push_back(plan.m_openScriptName);
  return plan;
}

const CResult<std::vector<uint8_t>> &CFontCache::Font(uint32_t headerLength) {
  for (auto &[length, font] : m_fonts)
    if (length == headerLength) return font;
  m_fonts.emplace_back(headerLength, ReadEnglishFont(m_baseDir, headerLength));
  return m_fonts.back().second;
}

CBatchItem CompressScriptByName(const CBatchPlan &plan, const std::string &name, CFontCache &fonts, bool *stopsRun) {
  CBatchItem item;
  item.m_name = name;
  if (stopsRun) *stopsRun = false;
  if (std::string defect = NameDefect(name); !defect.empty()) {
    item.m_message = "\"" + name + "\" " + defect;
    return item;
  }
  // A name that differs from the open script's only in letter case is the
  // open script.
  const bool open = EqualsNoCase(name, plan.m_openScriptName);
  const std::string fileName = open ? plan.m_openScriptName : name;
  const std::string shortName = open ? plan.m_openShortName : ShortNameOf(fileName);
  const std::string stem = StemOf(fileName);
  std::vector<std::string> notes;

  CEncoderInput input;
  input.m_shortName = shortName;
  input.m_headerLength = plan.m_headerLength;
  input.m_pageCount = plan.m_pageCount;
  input.m_linesOnLastPage = plan.m_linesOnLastPage;
  std::unique_ptr<CScriptFile> script;
  if (!open) {
    if (auto beside = FindBeside(plan.m_scriptDir, fileName); !beside.empty()) {
      auto bytes = ReadFileBytes(beside);
      auto first = bytes ? CByteReader(*bytes).BE32(0) : std::nullopt;
      uint32_t header = first ? *first & kOffsetMask : 0;
      if (header == 36 || header == 48) {
        input.m_headerLength = header;
      } else {
        notes.push_back(PathText(beside.filename()) + " beside the open script has no 36- or 48-byte header; used " +
                        std::to_string(plan.m_headerLength) + " from the open script");
      }
      if (bytes) {
        auto parsed = CScriptFile::FromBytes(std::move(bytes.Value()), PathText(beside.filename()));
        if (parsed) script = std::move(parsed.Value());
      }
    }
  }

  // The script file's layout rules when it was read; the chunk files only
  // fill it. Without one, the chunk files give the layout.
  const int pagesToRead = open ? plan.m_pageCount : script ? script->m_pageCount : kMaxPages;
  auto saved = ReadSavedText(plan.m_baseDir, shortName, stem, pagesToRead);
  if (!saved) {
    if (stopsRun) *stopsRun = true;
    item.m_message = saved.Error().Message() + "; nothing was written for this script";
    return item;
  }
  if (script) {
    input.m_pageCount = script->m_pageCount;
    input.m_linesOnLastPage = script->m_linesOnLastPage;
  } else if (!open) {
    input.m_pageCount = saved->m_pageCount;
    input.m_linesOnLastPage = saved->m_linesOnLastPage;
  }
  if (saved->m_pageCount == 0) {
    if (!open && !script) {
      input.m_pageCount = plan.m_pageCount;
      input.m_linesOnLastPage = plan.m_linesOnLastPage;
    }
    if (!open) {
      notes.push_back("no saved English text in " +
                      PathText(ChunkPath(plan.m_baseDir, shortName, stem, 0).parent_path()) + "; written with " +
                      std::to_string(input.m_pageCount) + " pages of empty entries (layout of " +
                      (script ? "its script file" : "the open script") + ")");
    }
  }
  input.m_strings = saved->m_strings;

  const auto &font = fonts.Font(input.m_headerLength);
  if (!font) {
    if (stopsRun) *stopsRun = true;
    item.m_message = font.Error().Message();
    return item;
  }
  auto outcome = WriteCompressedScript(input, *font, plan.m_baseDir);
  if (!outcome) {
    item.m_message = outcome.Error().Message();
    return item;
  }
  item.m_ok = true;
  item.m_outcome = std::move(outcome.Value());
  notes.insert(notes.end(), item.m_outcome.m_notes.begin(), item.m_outcome.m_notes.end());
  for (size_t i = 0; i < notes.size(); ++i)
    item.m_message += (i ? "; " : "") + notes[i];
  return item;
}

CBatchReport RunCompressAll(const CBatchPlan &plan, const CBatchProgress &progress) {
  CBatchReport report;
  report.m_total = int(plan.m_runs.size());
  CFontCache fonts(plan.m_baseDir);
  for (const std::string &name : plan.m_runs) {
    bool stopsRun = false;
    report.m_items.push_back(CompressScriptByName(plan, name, fonts, &stopsRun));
    bool goOn = !progress || progress(int(report.m_items.size()), report.m_total, report.m_items.back());
    if (stopsRun) {
      report.m_stoppedBy = report.m_items.back().m_message;
      break;
    }
    if (!goOn) {
      report.m_cancelled = report.m_items.size() < plan.m_runs.size();
      break;
    }
  }
  return report;
}

CResult<CBatchReport> CompressAll(const CTranslationDocument &doc, const CBatchProgress &progress) {
  auto plan = PlanCompressAll(doc);
  if (!plan) return plan.Error();
  return RunCompressAll(*plan, progress);
}

int CBatchReport::Failures() const {
  return int(std::count_if(m_items.begin(), m_items.end(), [](const CBatchItem &item) { return !item.m_ok; }));
}

std::string CBatchReport::Summary() const {
  int done = int(m_items.size()) - Failures();
  std::string text = "Compressed " + std::to_string(done) + " of " + std::to_string(m_total) + " scripts";
  if (Failures() > 0) text += ", " + std::to_string(Failures()) + " failed";
  text += ".";
  if (!m_stoppedBy.empty())
    text += "\nStopped: " + m_stoppedBy;
  else if (m_cancelled)
    text += "\nCancelled after " + std::to_string(m_items.size()) + " scripts.";
  for (const CBatchItem &item : m_items) {
    if (item.m_message.empty()) continue;
    text += "\n" + item.m_name + (item.m_ok ? ": note: " : ": failed: ") + item.m_message;
  }
  return text;
}

} // namespace quillan
