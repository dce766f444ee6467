#pragma once
// Gathering the files of the disc image into one folder: the files of the
// game disc's top folder, then the patch files, then the re-encoded scripts.
// A later source replaces a file of the same name from an earlier one; names
// are compared without regard to case, because the image's ISO 9660 names
// are upper case and two names that differ only in case would collide there
// (the replaced file keeps the name it had, so a sort file that lists the
// disc's names still finds it). Only files whose extension has at most three
// characters are taken ("NAME.BIN", "NAME.X", "NAME"); sub-folders and hidden
// files (names starting with a dot) are not.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "cdimage/progress.h"
#include "core/result.h"

namespace quillan {

// True when the name has an extension of at most three characters (after
// the last dot), or none.
bool HasShortExtension(std::string_view name);

struct CCollectSource {
  std::string m_role; // "disc", "Patch", "compress": names the source in messages
  std::filesystem::path m_folder;
  bool m_required = false; // a missing or unreadable folder is an error, not a note
};

struct CCollectedFile {
  std::string m_name; // the name in the collection folder
  std::filesystem::path m_source;
  std::string m_role; // the source that supplies the file
  uint64_t m_size = 0;
};

struct CCollectPlan {
  std::vector<CCollectedFile> m_files; // sorted by name
  std::vector<std::string> m_notes;    // things the user should know (skipped files, missing folders)

  uint64_t TotalBytes() const;
  const CCollectedFile *Find(std::string_view name) const; // case-insensitive
};

// Lists the sources in order and decides which file supplies each name.
CResult<CCollectPlan> PlanCollection(const std::vector<CCollectSource> &sources);

// Copies the planned files into the folder (which must exist), reporting
// progress as step "collect" in bytes. Stops when the callback cancels.
CStatus CopyCollection(const CCollectPlan &plan, const std::filesystem::path &folder,
                       const CProgressCallback &progress);

// Copies one file, in pieces so that progress can be shown and the copy
// cancelled. done is advanced by the bytes copied; the callback gets
// m_step "collect" with the overall done and total.
CStatus CopyFileWithProgress(const std::filesystem::path &from, const std::filesystem::path &to, uint64_t &done,
                             uint64_t total, const CProgressCallback &progress);

// The cancellation error of the long jobs.
CError CancelledError();
bool IsCancelledError(const CError &error);

} // namespace quillan
