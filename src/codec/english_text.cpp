#include "codec/english_text.h"

#include <system_error>

#include "codec/text_encoder.h"
#include "core/file_io.h"
#include "kanji/code_book.h"

namespace quillan {

std::vector<uint8_t> EnglishChunkBytes(std::span<const EnglishString> lines) {
  std::vector<uint8_t> bytes;
  for (const EnglishString &text : lines) {
    size_t length = EntryTextLength(text);
    for (size_t i = 0; i < length; ++i) {
      bytes.push_back(0x00);
      bytes.push_back(uint8_t(text[i]));
    }
    bytes.push_back(0x00);
    bytes.push_back(0x00);
  }
  return bytes;
}

CStatus SaveEnglishText(CTranslationDocument &doc, const CKanjiStore *store, bool writeCodeBook) {
  if (!doc.m_fileOpen || !doc.Script() || doc.m_pageCount < 1)
    return MakeError("No script is open: there is no English text to save");
  std::vector<std::string> failures;
  auto note = [&](const CStatus &status) {
    if (!status) failures.push_back(status.Error().Message());
  };

  if (writeCodeBook) note(SaveCodeBook(doc.m_kanjiCodeBook, doc.CodeBookPath()));
  if (store) note(SaveKanjiStore(*store, KanjiStorePath(doc.m_baseDir)));

  std::error_code error;
  auto folder = doc.ChunkFilePath(0).parent_path();
  std::filesystem::create_directories(folder, error);
  if (error) {
    failures.push_back(PathText(folder) + ": cannot create the folder: " + error.message());
  } else {
    for (int page = 0; page < doc.m_pageCount; ++page) {
      size_t first = size_t(page) * kLinesPerPage;
      size_t count = size_t(doc.EntriesOnPage(page));
      std::span<const EnglishString> lines;
      if (first + count <= doc.m_englishStrings.size())
        lines = std::span<const EnglishString>(doc.m_englishStrings).subspan(first, count);
      std::vector<EnglishString> blank;
      if (lines.size() != count) {
        blank.resize(count); // a store too small for the page: its lines are empty
        lines = blank;
      }
      note(WriteFileAtomic(doc.ChunkFilePath(page), EnglishChunkBytes(lines)));
    }
  }

  if (failures.empty()) {
    doc.m_modified = 0;
    return CStatus::Success();
  }
  std::string message = "Save English Text: " + std::to_string(failures.size()) +
                        (failures.size() == 1 ? " file was" : " files were") +
                        " not written, so the text stays marked as unsaved: ";
  for (size_t i = 0; i < failures.size(); ++i)
    message += (i ? "; " : "") + failures[i];
  return MakeError(message);
}

} // namespace quillan
