#include "codec/english_text.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <system_error>

#include "core/config.h"

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

std::vector<std::filesystem::path> SavedFiles(const CTranslationDocument &doc, bool withStore, bool withCodeBook) {
  std::vector<std::filesystem::path> files;
  if (withCodeBook) files.push_back(doc.CodeBookPath());
  if (withStore) files.push_back(KanjiStorePath(doc.m_baseDir));
  for (int page = 0; page < doc.m_pageCount; ++page)
    files.push_back(doc.ChunkFilePath(page));
  return files;
}

std::vector<std::filesystem::path> FilesChangedOnDisk(const CTranslationDocument &doc, bool withStore,
                                                      bool withCodeBook) {
  std::vector<std::filesystem::path> changed;
  for (const auto &file : SavedFiles(doc, withStore, withCodeBook)) {
    auto stamp = doc.m_readStamps.find(file);
    if (stamp != doc.m_readStamps.end() && StampOfFile(file) != stamp->second) changed.push_back(file);
  }
  return changed;
}

namespace {

// Copies the files that exist into a new dated folder and keeps the newest
// `keep` folders of the script.
CStatus BackUp(const CTranslationDocument &doc, const std::vector<std::filesystem::path> &files, int keep) {
  std::error_code error;
  std::vector<std::filesystem::path> present;
  for (const auto &file : files)
    if (std::filesystem::exists(file, error)) present.push_back(file);
  if (present.empty() || keep <= 0) return CStatus::Success();

  auto root = doc.m_baseDir / "backup" / doc.m_shortName;
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  // A name after every existing one, so that names sort by time even for
  // several saves in one second.
  std::string newest;
  for (const auto &entry : std::filesystem::directory_iterator(root, error))
    newest = std::max(newest, PathText(entry.path().filename()));
  std::filesystem::path folder;
  for (int n = 1;; ++n) {
    char name[48];
    std::snprintf(name, sizeof name, "%s-%03d", stamp, n);
    if (name > newest) {
      folder = root / name;
      break;
    }
  }
  std::filesystem::create_directories(folder, error);
  if (error) return MakeError(PathText(folder) + ": cannot create the backup folder: " + error.message());
  for (const auto &file : present) {
    std::filesystem::copy_file(file, folder / file.filename(), error);
    if (error)
      return MakeError(PathText(folder / file.filename()) + ": cannot back up " + PathText(file) + ": " +
                       error.message());
  }

  // The oldest folders beyond the count go; their names sort by time.
  std::vector<std::filesystem::path> folders;
  for (const auto &entry : std::filesystem::directory_iterator(root, error))
    if (entry.is_directory()) folders.push_back(entry.path());
  std::sort(folders.begin(), folders.end());
  for (size_t i = 0; i + size_t(keep) < folders.size(); ++i)
    std::filesystem::remove_all(folders[i], error);
  return CStatus::Success();
}

} // namespace

CStatus SaveEnglishText(CTranslationDocument &doc, const CSaveOptions &options) {
  if (!doc.m_fileOpen || !doc.Script() || doc.m_pageCount < 1)
    return MakeError("No script is open: there is no English text to save");
  bool withStore = options.m_store != nullptr;
  auto changed = FilesChangedOnDisk(doc, withStore, options.m_writeCodeBook);
  if (!changed.empty()) {
    if (!options.m_confirmReplace) {
      std::string message = "Save English Text: changed on disk since they were read, not replaced: ";
      for (size_t i = 0; i < changed.size(); ++i)
        message += (i ? ", " : "") + PathText(changed[i]);
      return MakeError(message);
    }
    if (!options.m_confirmReplace(changed)) return MakeError(kSaveCancelled);
  }
  int keep = options.m_backups >= 0 ? options.m_backups : int(ConfigNumber(doc.m_baseDir, "backups", 10));
  auto files = SavedFiles(doc, withStore, options.m_writeCodeBook);
  if (CStatus backed = BackUp(doc, files, keep); !backed)
    return backed.Error().WithContext("Save English Text: no file was written");
  CStatus saved = SaveEnglishText(doc, options.m_store, options.m_writeCodeBook);
  for (const auto &file : files)
    doc.m_readStamps[file] = StampOfFile(file);
  return saved;
}

CStatus SaveEnglishText(CTranslationDocument &doc, const CKanjiStore *store, bool writeCodeBook) {
  if (!doc.m_fileOpen || !doc.Script() || doc.m_pageCount < 1)
    return MakeError("No script is open: there is no English text to save");
  std::vector<std::string> failures;
  auto note = [&](const CStatus &status) {
    if (!status) failures.push_back(status.Error().Message());
  };

  if (writeCodeBook) note(SaveCodeBook(doc.CodeBook(), doc.CodeBookPath()));
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
      if (first + count <= doc.EnglishStrings().size())
        lines = std::span<const EnglishString>(doc.EnglishStrings()).subspan(first, count);
      std::vector<EnglishString> blank;
      if (lines.size() != count) {
        blank.resize(count); // a store too small for the page: its lines are empty
        lines = blank;
      }
      note(WriteFileAtomic(doc.ChunkFilePath(page), EnglishChunkBytes(lines)));
    }
  }

  if (failures.empty()) {
    doc.MarkSaved();
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
