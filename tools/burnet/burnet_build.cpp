#include "tools/burnet/burnet_build.h"

#include <algorithm>
#include <cctype>

#include "cdimage/child_process.h"
#include "cdimage/disc_collect.h"
#include "cdimage/disc_outputs.h"
#include "cdimage/image_builder.h"
#include "core/file_io.h"

namespace burnet {

namespace {

namespace fs = std::filesystem;
using quillan::CStatus;
using quillan::MakeError;
using quillan::PathText;

bool Ask(const CProgressCallback &progress, const char *step, const std::string &text) {
  return quillan::ReportProgress(progress, CProgress{step, text, 0, 0});
}

CResult<fs::path> FindBuilder(const CBurnetJob &job, std::vector<std::string> &notes) {
  if (job.m_builder) return *job.m_builder;
  auto found =
      quillan::FindImageBuilder(job.m_baseDir, job.m_searchPath.empty() ? quillan::SearchPath() : job.m_searchPath);
  if (!found) return found.Error();
  notes.insert(notes.end(), found->m_notes.begin(), found->m_notes.end());
  return found->m_program;
}

} // namespace

bool IsCancelled(const quillan::CError &error) { return quillan::IsCancelledError(error); }

std::string CuePathFor(const std::string &image) {
  size_t nameStart = image.rfind('/');
  nameStart = nameStart == std::string::npos ? 0 : nameStart + 1;
  std::string path = image.substr(0, nameStart);
  std::string name = image.substr(nameStart);
  std::string result;
  bool replaced = false;
  for (size_t i = 0; i < name.size();) {
    bool isIso = i + 4 <= name.size() && name[i] == '.' &&
                 std::tolower(static_cast<unsigned char>(name[i + 1])) == 'i' &&
                 std::tolower(static_cast<unsigned char>(name[i + 2])) == 's' &&
                 std::tolower(static_cast<unsigned char>(name[i + 3])) == 'o';
    if (isIso) {
      result += ".cue";
      i += 4;
      replaced = true;
    } else {
      result += name[i++];
    }
  }
  if (!replaced) result += ".cue";
  return path + result;
}

CResult<CBurnetReport> BuildImage(const CBurnetJob &job, const CProgressCallback &progress) {
  CBurnetReport report;
  if (!Ask(progress, "check", job.m_folder)) return quillan::CancelledError();

  // Everything is checked before the first file is touched.
  std::error_code error;
  if (job.m_folder.empty()) return MakeError("no folder given for the TK7 files");
  if (!fs::is_directory(job.m_folder, error)) return MakeError("folder " + job.m_folder + " not found");
  if (job.m_image.empty()) return MakeError("no path given for the ISO");
  fs::path image(job.m_image);
  if (!image.has_filename() || fs::is_directory(image, error))
    return MakeError(job.m_image + " is a folder; give the full path and file name of the ISO");
  fs::path imageFolder = image.parent_path().empty() ? fs::path(".") : image.parent_path();
  if (!fs::is_directory(imageFolder, error))
    return MakeError("folder " + PathText(imageFolder) + " for the ISO not found");
  auto builder = FindBuilder(job, report.m_notes);
  if (!builder) return builder.Error();
  fs::path sortFile = job.m_baseDir / "data" / "tk7-2.txt";
  if (!fs::is_regular_file(sortFile, error)) return MakeError("sort file " + PathText(sortFile) + " not found");
  auto boot = quillan::ReadFileBytes(job.m_baseDir / "data" / "tk72ip.bin");
  if (!boot) return boot.Error().WithContext("boot area file");

  report.m_image = image;
  report.m_cueSheet = CuePathFor(job.m_image);
  report.m_builder = *builder;

  if (auto placed = quillan::WriteFileAtomic(fs::path(job.m_folder) / "CDDA2", std::string_view()); !placed)
    return placed.Error().WithContext("placeholder");
  fs::remove(image, error);
  if (error) return MakeError(job.m_image + ": cannot remove the image of an earlier build: " + error.message());

  CStatus built = quillan::RunImageBuilder(*builder, sortFile, image, job.m_folder, progress);
  if (built)
    built = Ask(progress, "stamp", PathText(image)) ? quillan::StampBootArea(image, *boot)
                                                    : CStatus(quillan::CancelledError());
  if (!built) {
    std::error_code ignored;
    fs::remove(image, ignored); // no half-made image
    if (IsCancelled(built.Error())) return built.Error();
  }

  if (!Ask(progress, "cue", PathText(report.m_cueSheet))) {
    std::error_code ignored;
    fs::remove(image, ignored);
    return quillan::CancelledError();
  }
  if (auto cue = quillan::WriteFileAtomic(report.m_cueSheet, quillan::CueSheetText(job.m_image)); !cue)
    return built ? cue.Error().WithContext("cue sheet") : built.Error();
  if (!built) return built.Error();

  // The cue sheet's second track: the silent one Make CD writes, unless
  // one lies there already.
  fs::path track = report.m_cueSheet.parent_path() / quillan::kSilentTrackName;
  report.m_track = track;
  if (!fs::exists(track, error)) {
    if (CStatus written = quillan::WriteSilentTrack(track); written) {
      report.m_trackWritten = true;
    } else {
      report.m_notes.push_back("the cue sheet names TK7Track2.bin, which could not be written beside it (" +
                               written.Error().Message() + "); put it there before burning");
    }
  }
  return report;
}

} // namespace burnet
