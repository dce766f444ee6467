#pragma once
// The scripts of a project loaded for the translation memory: the SCRIPT
// arguments, or else every x5*.bin (any letter case) in the working folder,
// each with its English text from the chunk files.

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/document.h"
#include "core/result.h"
#include "workbench/translation_memory.h"

namespace quillan {

// The scripts named, or every x5*.bin directly in baseDir, in name order.
std::vector<std::filesystem::path> ProjectScriptPaths(const std::filesystem::path &baseDir,
                                                      const std::vector<std::string> &named);

// Adds every entry of the open script, in page and line order.
void AddScriptToMemory(CTranslationMemory &memory, CTranslationDocument &doc);

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
