#include "workbench/project_index.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>

#include "core/file_io.h"
#include "core/script_file.h"
#include "kanji/code_book.h"
#include "workbench/game_text.h"

namespace quillan {

namespace {

// The chunk file of a page, as Save English Text names it.
std::filesystem::path ChunkPath(const std::filesystem::path &baseDir, const std::string &fileName,
                                const std::string &shortName, int page) {
  std::string name = StemOf(fileName);
  name.push_back(char(48 + page));
  name += ".tk7";
  return baseDir / "Scripts" / "PATCHED INFO" / shortName / name;
}

bool IsScriptName(const std::string &name) {
  if (name.size() < 6 || (name[0] != 'x' && name[0] != 'X') || name[1] != '5') return false;
  std::string tail = name.substr(name.size() - 4);
  std::transform(tail.begin(), tail.end(), tail.begin(), [](char c) { return char(c | 0x20); });
  return tail == ".bin";
}

bool HasUnknownKanji(std::span<const uint16_t> codes, const CIndexedScript &script) {
  for (uint16_t code : codes) {
    if (code < 0x100 || code > 0x7FF) continue;
    if (!script.m_haveCodeBook || script.m_codeBook[size_t(code - 0x100)] < 256) return true;
  }
  return false;
}

} // namespace

std::string CProgressCount::PercentText() const {
  int share = PerMille();
  return std::to_string(share / 10) + "." + std::to_string(share % 10);
}

void FoldCaseInPlace(std::string &text) {
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') {
      text[i] = char(c + 32);
    } else if (uint8_t(c) == 0xEF && i + 2 < text.size() && uint8_t(text[i + 1]) == 0xBC &&
               uint8_t(text[i + 2]) >= 0xA1 && uint8_t(text[i + 2]) <= 0xBA) {
      // U+FF21-FF3A (EF BC A1-BA) to U+FF41-FF5A (EF BD 81-9A)
      text[i + 1] = char(0xBD);
      text[i + 2] = char(uint8_t(text[i + 2]) - 0x20);
      i += 2;
    }
  }
}

std::string FoldCase(std::string_view text) {
  std::string folded(text);
  FoldCaseInPlace(folded);
  return folded;
}

int CIndexedScript::EntryIndex(int page, int line) const {
  if (page < 0 || page >= m_pageCount || line < 0 || line >= EntriesOnPage(page)) return -1;
  return m_pageFirst[size_t(page)] + line;
}

int CIndexedScript::EntriesOnPage(int page) const {
  if (page < 0 || page >= m_pageCount) return 0;
  return page == m_pageCount - 1 ? m_linesOnLastPage : kLinesPerPage;
}

std::span<const uint16_t> CIndexedScript::JapaneseCodes(int index) const {
  const CIndexedEntry &e = Entry(index);
  return std::span<const uint16_t>(m_codes).subspan(e.m_codeBegin, e.m_codeCount);
}

std::string_view CIndexedScript::JapaneseDump(int index) const {
  const CIndexedEntry &e = Entry(index);
  return std::string_view(m_jaText).substr(e.m_jaBegin, e.m_jaLength);
}

std::string_view CIndexedScript::EnglishDump(int index) const {
  const CIndexedEntry &e = Entry(index);
  return std::string_view(m_enText).substr(e.m_enBegin, e.m_enLength);
}

const EnglishString &CIndexedScript::English(int index) const {
  const CIndexedEntry &e = Entry(index);
  return m_english[size_t(e.m_page) * kLinesPerPage + size_t(e.m_line)];
}

CProgressCount CIndexedScript::PageProgress(int page) const {
  return page >= 0 && size_t(page) < m_pageProgress.size() ? m_pageProgress[size_t(page)] : CProgressCount{};
}

void CIndexedScript::RebuildJapaneseDumps() {
  m_jaText.clear();
  m_jaText.reserve(m_codes.size() * 3 + m_entries.size());
  m_jaHash.resize(m_entries.size());
  m_unknownKanji.resize(m_entries.size());
  m_maxColumns = 0;
  m_maxLines = 0;
  const KanjiCodeBook *book = m_haveCodeBook ? &m_codeBook : nullptr;
  for (size_t i = 0; i < m_entries.size(); ++i) {
    CIndexedEntry &e = m_entries[i];
    std::span<const uint16_t> codes = std::span<const uint16_t>(m_codes).subspan(e.m_codeBegin, e.m_codeCount);
    e.m_jaBegin = uint32_t(m_jaText.size());
    AppendDumpText(m_jaText, codes, book);
    e.m_jaLength = uint32_t(m_jaText.size() - e.m_jaBegin);
    m_jaText.push_back('\n');
    m_jaHash[i] = std::hash<std::string_view>{}(std::string_view(m_jaText).substr(e.m_jaBegin, e.m_jaLength));
    m_unknownKanji[i] = HasUnknownKanji(codes, *this);
    CTextExtent extent = MeasureExtent(codes);
    m_maxColumns = std::max(m_maxColumns, extent.m_columns);
    m_maxLines = std::max(m_maxLines, extent.m_lines);
  }
  m_jaFolded = m_jaText;
  FoldCaseInPlace(m_jaFolded);
}

void CIndexedScript::SetEnglish(std::vector<EnglishString> strings) {
  strings.resize(std::max(strings.size(), size_t(m_pageCount) * kLinesPerPage));
  m_english = std::move(strings);
  m_enText.clear();
  m_progress = {};
  m_pageProgress.assign(size_t(m_pageCount), CProgressCount{});
  for (CIndexedEntry &e : m_entries) {
    const EnglishString &text = m_english[size_t(e.m_page) * kLinesPerPage + size_t(e.m_line)];
    std::span<const uint16_t> body = EnglishBody(text);
    e.m_translated = !body.empty();
    e.m_enBegin = uint32_t(m_enText.size());
    AppendDumpText(m_enText, body, nullptr);
    e.m_enLength = uint32_t(m_enText.size() - e.m_enBegin);
    m_enText.push_back('\n');
    CProgressCount &page = m_pageProgress[size_t(e.m_page)];
    ++page.m_entries;
    ++m_progress.m_entries;
    if (e.m_translated) {
      ++page.m_translated;
      ++m_progress.m_translated;
    }
  }
  m_enFolded = m_enText;
  FoldCaseInPlace(m_enFolded);
}

CResult<std::unique_ptr<CIndexedScript>> IndexScript(const std::filesystem::path &baseDir,
                                                     const std::filesystem::path &path) {
  auto opened = CScriptFile::Open(PathText(path));
  if (!opened) return opened.Error();
  CScriptFile &file = *opened.Value();
  auto script = std::make_unique<CIndexedScript>();
  script->m_path = path;
  script->m_name = PathText(path.filename());
  script->m_shortName = ShortNameOf(script->m_name);
  script->m_headerLength = file.m_headerLength;
  script->m_pageCount = file.m_pageCount;
  script->m_linesOnLastPage = file.m_linesOnLastPage;

  // The code book is read, never created: the index only looks.
  std::filesystem::path bookPath = CodeBookPath(baseDir, script->m_shortName);
  std::error_code error;
  if (std::filesystem::exists(bookPath, error)) {
    auto bytes = ReadFileBytes(bookPath);
    if (!bytes) return bytes.Error().WithContext(script->m_name);
    script->m_codeBook = ParseCodeBook(*bytes, PathText(bookPath.filename())).m_book;
    script->m_haveCodeBook = true;
  } else {
    script->m_codeBook = BlankCodeBook();
  }

  std::vector<EnglishString> strings(size_t(file.m_pageCount) * kLinesPerPage);
  for (int page = 0; page < file.m_pageCount; ++page) {
    std::filesystem::path chunk = ChunkPath(baseDir, script->m_name, script->m_shortName, page);
    if (!std::filesystem::exists(chunk, error)) continue; // an untranslated page
    auto bytes = ReadFileBytes(chunk);
    if (!bytes) return bytes.Error().WithContext(script->m_name);
    auto lines = ReadEnglishChunk(*bytes, kLinesPerPage);
    std::move(lines.begin(), lines.end(), strings.begin() + page * kLinesPerPage);
  }

  size_t total = 0;
  for (int page = 0; page < file.m_pageCount; ++page)
    total += size_t(file.EntriesOnPage(page));
  script->m_entries.reserve(total);
  script->m_codes.reserve(total * 24);
  for (int page = 0; page < file.m_pageCount; ++page) {
    script->m_pageFirst.push_back(int(script->m_entries.size()));
    for (int line = 0; line < file.EntriesOnPage(page); ++line) {
      std::span<const uint16_t> body = JapaneseBody(std::span(file.DecodeEntry(page, line), size_t(kEntryCapacity)));
      CIndexedEntry e;
      e.m_page = page;
      e.m_line = line;
      e.m_codeBegin = uint32_t(script->m_codes.size());
      e.m_codeCount = uint32_t(body.size());
      script->m_codes.insert(script->m_codes.end(), body.begin(), body.end());
      script->m_entries.push_back(e);
    }
  }
  script->RebuildJapaneseDumps();
  script->SetEnglish(std::move(strings));
  return script;
}

std::vector<std::filesystem::path> ProjectScripts(const std::filesystem::path &baseDir,
                                                  const std::vector<std::string> &named) {
  std::vector<std::filesystem::path> scripts;
  if (!named.empty()) {
    for (const std::string &name : named) {
      std::filesystem::path path(name);
      if (std::find(scripts.begin(), scripts.end(), path) == scripts.end()) scripts.push_back(path);
    }
    return scripts;
  }
  std::error_code error;
  for (std::filesystem::directory_iterator it(baseDir, error), end; !error && it != end; it.increment(error)) {
    std::error_code typeError;
    if (!it->is_regular_file(typeError)) continue;
    if (IsScriptName(PathText(it->path().filename()))) scripts.push_back(it->path());
  }
  std::sort(scripts.begin(), scripts.end(),
            [](const auto &a, const auto &b) { return PathText(a.filename()) < PathText(b.filename()); });
  return scripts;
}

CStatus CProjectIndex::Build(const std::filesystem::path &baseDir, const std::vector<std::filesystem::path> &scripts,
                             const CProgressCallback &progress) {
  m_baseDir = baseDir;
  m_scripts.clear();
  m_errors.clear();
  // The scripts are independent: a few threads take them in turn, and the
  // calling thread, one of them, reports the progress.
  std::vector<std::unique_ptr<CIndexedScript>> indexed(scripts.size());
  std::vector<CError> failures(scripts.size());
  std::atomic<size_t> next{0}, done{0};
  std::atomic<bool> cancelled{false};
  auto work = [&](bool reporting) {
    for (size_t i; !cancelled && (i = next++) < scripts.size();) {
      if (reporting && !ReportProgress(progress, {"index", PathText(scripts[i].filename()), done, scripts.size()}))
        cancelled = true;
      auto script = IndexScript(baseDir, scripts[i]);
      if (script)
        indexed[i] = std::move(script.Value());
      else
        failures[i] = script.Error();
      ++done;
    }
  };
  unsigned helpers = std::min<unsigned>(std::max(std::thread::hardware_concurrency(), 1u), 4u) - 1;
  helpers = unsigned(std::min<size_t>(helpers, scripts.size() > 1 ? scripts.size() - 1 : 0));
  std::vector<std::thread> threads;
  for (unsigned t = 0; t < helpers; ++t)
    threads.emplace_back(work, false);
  work(true);
  for (std::thread &thread : threads)
    thread.join();
  if (cancelled) return MakeError("Indexing the project was cancelled");
  for (size_t i = 0; i < scripts.size(); ++i) {
    if (indexed[i])
      m_scripts.push_back(std::move(indexed[i]));
    else
      m_errors.push_back(failures[i]);
  }
  ReportProgress(progress, {"index", "", scripts.size(), scripts.size()});
  Rebuild();
  return CStatus::Success();
}

int CProjectIndex::FindScript(std::string_view name) const {
  for (size_t i = 0; i < m_scripts.size(); ++i)
    if (m_scripts[i]->m_name == name) return int(i);
  return -1;
}

CProgressCount CProjectIndex::Progress() const {
  CProgressCount total;
  for (const auto &script : m_scripts) {
    total.m_entries += script->Progress().m_entries;
    total.m_translated += script->Progress().m_translated;
  }
  return total;
}

bool CProjectIndex::UpdateEnglish(std::string_view name, const std::vector<EnglishString> &strings,
                                  const KanjiCodeBook *book) {
  int index = FindScript(name);
  if (index < 0) return false;
  CIndexedScript &script = *m_scripts[size_t(index)];
  script.SetEnglish(strings);
  // The Japanese side changes only with the code book: then the dumps and
  // the groups of equal text are made again.
  if (book && (!script.m_haveCodeBook || *book != script.m_codeBook)) {
    script.m_codeBook = *book;
    script.m_haveCodeBook = true;
    script.RebuildJapaneseDumps();
    Rebuild();
  }
  return true;
}

std::string CProjectIndex::JapaneseKey(const CEntryRef &ref) const {
  const CIndexedScript &script = Script(ref.m_script);
  std::string key;
  if (HasUnknownKanji(script.JapaneseCodes(ref.m_entry), script)) key = script.m_name + '\n';
  key += script.JapaneseDump(ref.m_entry);
  return key;
}

int CProjectIndex::JapaneseGroup(const CEntryRef &ref) const {
  if (ref.m_script < 0 || size_t(ref.m_script) >= m_groupOf.size()) return -1;
  const auto &groups = m_groupOf[size_t(ref.m_script)];
  if (ref.m_entry < 0 || size_t(ref.m_entry) >= groups.size()) return -1;
  return int(groups[size_t(ref.m_entry)]);
}

std::span<const CEntryRef> CProjectIndex::SameJapanese(const CEntryRef &ref) const {
  int group = JapaneseGroup(ref);
  return group < 0 ? std::span<const CEntryRef>() : GroupMembers(group);
}

namespace {

// A group's key without copying the text: the script for texts with kanji
// its code book does not know, -1 for the others; the text's hash was made
// with the dump.
struct CGroupKey {
  int m_script;
  std::string_view m_text;
  size_t m_hash;
  friend bool operator==(const CGroupKey &a, const CGroupKey &b) {
    return a.m_script == b.m_script && a.m_text == b.m_text;
  }
};
struct CGroupKeyHash {
  size_t operator()(const CGroupKey &key) const {
    return key.m_hash ^ (size_t(key.m_script + 1) * 0x9E3779B97F4A7C15ull);
  }
};

} // namespace

void CProjectIndex::Rebuild() {
  size_t total = 0;
  for (const auto &script : m_scripts)
    total += size_t(script->EntryCount());
  std::unordered_map<CGroupKey, uint32_t, CGroupKeyHash> slots;
  slots.reserve(total);
  std::vector<uint32_t> sizes;
  m_groupOf.assign(m_scripts.size(), {});
  m_maxColumns = 0;
  m_maxLines = 0;
  for (size_t s = 0; s < m_scripts.size(); ++s) {
    const CIndexedScript &script = *m_scripts[s];
    m_maxColumns = std::max(m_maxColumns, script.m_maxColumns);
    m_maxLines = std::max(m_maxLines, script.m_maxLines);
    auto &groupOf = m_groupOf[s];
    groupOf.resize(size_t(script.EntryCount()));
    for (int e = 0; e < script.EntryCount(); ++e) {
      CGroupKey key{script.m_unknownKanji[size_t(e)] ? int(s) : -1, script.JapaneseDump(e), script.m_jaHash[size_t(e)]};
      auto [it, added] = slots.try_emplace(key, uint32_t(sizes.size()));
      if (added) sizes.push_back(0);
      ++sizes[it->second];
      groupOf[size_t(e)] = it->second;
    }
  }
  // The members of each group side by side, in script, entry order.
  m_groupStart.assign(sizes.size() + 1, 0);
  for (size_t g = 0; g < sizes.size(); ++g)
    m_groupStart[g + 1] = m_groupStart[g] + sizes[g];
  std::vector<uint32_t> next(m_groupStart.begin(), m_groupStart.end() - 1);
  m_members.assign(total, CEntryRef{});
  for (size_t s = 0; s < m_scripts.size(); ++s)
    for (size_t e = 0; e < m_groupOf[s].size(); ++e)
      m_members[next[m_groupOf[s][e]]++] = {int(s), int(e)};
}

} // namespace quillan
