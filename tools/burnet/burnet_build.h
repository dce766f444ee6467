#pragma once
// Burnet's build: the disc image and cue sheet from a folder the user names.
// The image builder makes the image I from the folder F in the order of the
// sort file B/data/tk7-2.txt, the boot area B/data/tk72ip.bin is stamped
// over the image's first 32768 bytes (0xFF past the end of a shorter file),
// and a cue sheet is written beside the image. B is the folder Burnet was
// started in. Nothing is copied; the cue sheet names TK7Track2.bin, which
// must lie beside it: when none is there, the silent track of Make CD is
// written.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "cdimage/progress.h"
#include "core/result.h"

namespace burnet {

using quillan::CProgress;
using quillan::CProgressCallback;
using quillan::CResult;

struct CBurnetJob {
  std::filesystem::path m_baseDir; // B
  std::string m_folder;            // F, as typed
  std::string m_image;             // I, as typed
  // The image builder to use instead of looking for one.
  std::optional<std::filesystem::path> m_builder;
  // Folders to look for the builder in (PATH style); empty: this process's PATH.
  std::string m_searchPath;
};

struct CBurnetReport {
  std::filesystem::path m_image;
  std::filesystem::path m_cueSheet;
  std::filesystem::path m_builder;
  std::filesystem::path m_track; // TK7Track2.bin beside the cue sheet
  bool m_trackWritten = false;   // written by this build (there was none)
  std::vector<std::string> m_notes;
};

// The cue sheet's path: in the image's file name every ".iso", in any letter
// case, becomes ".cue" ("game.iso.iso" gives "game.cue.cue"); a name without
// one gets ".cue" appended. The folders of the path are left alone, so the
// cue sheet always lies beside the image and never replaces it.
std::string CuePathFor(const std::string &image);

// Builds. Progress steps: "check", "build", "stamp", "cue". The image of an
// earlier build at I is removed first; a failed build reports the builder's
// status and error output and leaves no image (the cue sheet is written all
// the same, as it depends only on I).
CResult<CBurnetReport> BuildImage(const CBurnetJob &job, const CProgressCallback &progress);

// True for the error of a build that the progress callback cancelled.
bool IsCancelled(const quillan::CError &error);

} // namespace burnet
