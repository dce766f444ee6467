#include "workbench/chunk_pages.h"

#include <filesystem>
#include <system_error>

#include "codec/english_text.h"
#include "core/file_io.h"

namespace quillan {

CStatus WriteChunkPages(const CTranslationDocument &doc, std::span<const int> pages) {
  std::string failures;
  for (int page : pages) {
    std::filesystem::path path = doc.ChunkFilePath(page);
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    auto first = doc.m_englishStrings.begin() + page * kLinesPerPage;
    auto bytes = EnglishChunkBytes(std::span(&*first, size_t(doc.EntriesOnPage(page))));
    if (auto status = WriteFileAtomic(path, bytes); !status) {
      if (!failures.empty()) failures += "; ";
      failures += status.Error().Message();
    }
  }
  if (!failures.empty()) return MakeError(failures);
  return CStatus::Success();
}

} // namespace quillan
