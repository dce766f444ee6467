#include "workbench/project_memory.h"

#include <algorithm>
#include <system_error>

#include "core/file_io.h"

namespace quillan {

std::vector<std::filesystem::path> ProjectScriptPaths(const std::filesystem::path &baseDir,
                                                      const std::vector<std::string> &named) {
  std::vector<std::filesystem::path> out;
  if (!named.empty()) {
    for (const auto &n : named)
      out.emplace_back(n);
    return out;
  }
  std::error_code error;
  for (const auto &item : std::filesystem::directory_iterator(baseDir, error)) {
    std::string name = PathText(item.path().filename());
    std::string lower = name;
    for (auto &c : lower)
      c = char(std::tolower(uint8_t(c)));
    if (lower.size() > 6 && lower.starts_with("x5") && lower.ends_with(".bin") && item.is_regular_file(error))
      out.push_back(item.path());
  }
  std::sort(out.begin(), out.end());
  return out;
}

void AddScriptToMemory(CTranslationMemory &memory, CTranslationDocument &doc) {
  for (int page = 0; page < doc.m_pageCount; ++page) {
    for (int line = 0; line < doc.EntriesOnPage(page); ++line) {
      CMemoryEntry entry;
      entry.m_script = doc.m_scriptFileName;
      entry.m_page = page;
      entry.m_line = line;
      entry.m_japanese = JapaneseCodes(std::span(doc.DecodeEntry(page, line), size_t(kEntryCapacity)));
      entry.m_english = doc.EnglishAt(page, line);
      memory.Add(std::move(entry));
    }
  }
}

CTranslationDocument *CProjectTexts::DocumentOf(const CMemoryEntry &entry) {
  for (auto &doc : m_documents)
    if (doc->m_scriptFileName == entry.m_script) return doc.get();
  return nullptr;
}

CResult<std::unique_ptr<CProjectTexts>> LoadProjectTexts(const std::filesystem::path &baseDir,
                                                         const std::vector<std::filesystem::path> &scripts) {
  auto project = std::make_unique<CProjectTexts>();
  for (const auto &path : scripts) {
    auto doc = std::make_unique<CTranslationDocument>();
    doc->m_baseDir = baseDir;
    if (auto status = doc->LoadScript(path); !status) return status.Error();
    AddScriptToMemory(project->m_memory, *doc);
    project->m_documents.push_back(std::move(doc));
  }
  return project;
}

} // namespace quillan
