#pragma once
// The scripts of a project (ProjectScripts) loaded for the translation
// memory and for propagation: each as a document with its English text from
// the chunk files, so that the changed pages can be written as a save writes
// them.

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/document.h"
#include "core/result.h"
#include "workbench/project_index.h" // ProjectScripts
#include "workbench/translation_memory.h"

namespace quillan {

// Adds every entry of a script, in page and line order, its kanji read
// with book (nullptr: none identified); scriptNumber tells its unidentified
// kanji from those of the other scripts.
void AddScriptToMemory(CTranslationMemory &memory, CTranslationDocument &doc, const KanjiCodeBook *book,
                       uint32_t scriptNumber);
// The script's code book below its working folder, read without creating
// it; false when there is none.
bool ReadScriptCodeBook(const CTranslationDocument &doc, KanjiCodeBook &book);

struct CProjectTexts {
  std::vector<std::unique_ptr<CTranslationDocument>> m_documents;
  CTranslationMemory m_memory;
  // The document of an entry's script.
  CTranslationDocument *DocumentOf(const CMemoryEntry &entry);
};

// Loads each script below baseDir; the first that cannot be read fails the
// load with its name.
CResult<std::unique_ptr<CProjectTexts>> LoadProjectTexts(const std::filesystem::path &baseDir,
                                                         const std::vector<std::filesystem::path> &scripts);

} // namespace quillan
