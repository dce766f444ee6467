#include "workbench/project_memory.h"

#include <algorithm>
#include <system_error>

#include "core/file_io.h"
#include "kanji/code_book.h"

namespace quillan {

bool ReadScriptCodeBook(const CTranslationDocument &doc, KanjiCodeBook &book) {
  auto bytes = ReadFileBytes(doc.CodeBookPath());
  if (!bytes) return false;
  book = ParseCodeBook(*bytes, PathText(doc.CodeBookPath().filename())).m_book;
  return true;
}

void AddScriptToMemory(CTranslationMemory &memory, CTranslationDocument &doc, const KanjiCodeBook *book,
                       uint32_t scriptNumber) {
  for (int page = 0; page < doc.m_pageCount; ++page) {
    for (int line = 0; line < doc.EntriesOnPage(page); ++line) {
      CMemoryEntry entry;
      entry.m_script = doc.m_scriptFileName;
      entry.m_page = page;
      entry.m_line = line;
      entry.m_japanese = JapaneseCodes(std::span(doc.DecodeEntry(page, line), size_t(kEntryCapacity)));
      entry.m_english = doc.EnglishAt(page, line);
      entry.m_key = MemoryKey(entry.m_japanese, book, scriptNumber);
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
    KanjiCodeBook book;
    bool haveBook = ReadScriptCodeBook(*doc, book);
    AddScriptToMemory(project->m_memory, *doc, haveBook ? &book : nullptr, uint32_t(project->m_documents.size()));
    project->m_documents.push_back(std::move(doc));
  }
  return project;
}

} // namespace quillan
