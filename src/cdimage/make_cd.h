#pragma once
// Make CD: the translator's work becomes a burnable two-track disc. In the
// working folder B:
//   1. B/temp/ is created (files an earlier, interrupted run left there are
//      deleted first);
//   2. the files of the disc's top folder, then B/Patch/, then B/compress/
//      are copied into it, a later source replacing a file of the same name
//      (see disc_collect.h for which files are taken);
//   3. the empty placeholder file CDDA2 is added;
//   4. the image builder makes B/TK7.ISO from B/temp/ in the order of the
//      sort file B/data/tk7-2.txt (an image left from an earlier run is
//      removed first, so a failed build never leaves an old image behind);
//   5. the boot area B/data/tk72ip.bin is stamped over the image's first
//      32768 bytes (0xFF past the end of a shorter file);
//   6. B/TK7Track2.bin (2097152 zero bytes) and the cue sheet B/TK7.CUE are
//      written; this happens even when the builder failed, as both are
//      always the same;
//   7. B/temp/ is removed, whatever happened before.
// Progress steps, in order: "check", "collect" (bytes), "build" (hundredths
// of a percent), "stamp", "audio", "cue", "clean".

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cdimage/progress.h"
#include "core/result.h"

namespace quillan {

struct CMakeCdOptions {
  std::filesystem::path m_workDir; // B; made absolute
  std::filesystem::path m_discDir; // the disc's top folder: a mounted disc or a copy of it
  // The image builder to use instead of looking for one.
  std::optional<std::filesystem::path> m_builder;
  // Folders to look for the builder in (PATH style); empty: this process's PATH.
  std::string m_searchPath;
};

struct CMakeCdReport {
  std::filesystem::path m_image;
  std::filesystem::path m_silentTrack;
  std::filesystem::path m_cueSheet;
  std::filesystem::path m_builder;
  size_t m_fileCount = 0;           // files put into the collection folder
  uint64_t m_byteCount = 0;         // their bytes
  std::vector<std::string> m_notes; // things the user should know; none of them stopped the run
};

// The fixed places below the working folder.
struct CMakeCdPaths {
  explicit CMakeCdPaths(const std::filesystem::path &workDir);
  std::filesystem::path m_workDir, m_temp, m_patch, m_compress, m_sortFile, m_bootArea, m_image, m_silentTrack,
      m_cueSheet;
};

// One line for people about a progress report of MakeCd ("Copying the
// disc's files: GAME.BIN").
std::string DescribeMakeCdProgress(const CProgress &progress);

// Runs Make CD. On failure the error names what went wrong (for a failed
// build, the builder's status and the end of its error output); a cancelled
// run fails with an error for which IsCancelledError() is true.
CResult<CMakeCdReport> MakeCd(const CMakeCdOptions &options, const CProgressCallback &progress);

} // namespace quillan
