#include "cdimage/make_cd.h"

#include <set>

#include "cdimage/child_process.h"
#include "cdimage/disc_collect.h"
#include "cdimage/disc_outputs.h"
#include "cdimage/image_builder.h"
#include "core/file_io.h"

namespace quillan {

namespace {

namespace fs = std::filesystem;

bool SameFolder(const fs::path &a, const fs::path &b) {
  std::error_code error;
  bool same = fs::equivalent(a, b, error);
  return !error && same;
}

// Empties a collection folder left by an earlier run. Only files are
// deleted; a sub-folder there is not ours, so the run stops instead.
CStatus ClearLeftovers(const fs::path &temp) {
  std::error_code error;
  auto status = fs::symlink_status(temp, error);
  if (error || status.type() == fs::file_type::not_found) return CStatus::Success();
  if (status.type() != fs::file_type::directory)
    return MakeError(PathText(temp) + " exists but is not a folder; move it away");
  std::vector<fs::path> files;
  fs::directory_iterator it(temp, error), end;
  for (; !error && it != end; it.increment(error)) {
    std::error_code typeError;
    if (it->symlink_status(typeError).type() == fs::file_type::directory)
      return MakeError(PathText(temp) + " holds the folder " + PathText(it->path().filename()) +
                       ", which Make CD would put on the image; move it away");
    files.push_back(it->path());
  }
  if (error) return MakeError(PathText(temp) + ": cannot list: " + error.message());
  for (const auto &file : files) {
    if (!fs::remove(file, error) && error)
      return MakeError(PathText(file) + ": cannot delete a file left by an earlier run: " + error.message());
  }
  return CStatus::Success();
}

// Deletes the collection folder's files and the folder.
CStatus RemoveCollection(const fs::path &temp) {
  std::error_code error;
  if (!fs::exists(fs::symlink_status(temp, error))) return CStatus::Success();
  std::vector<fs::path> files;
  fs::directory_iterator it(temp, error), end;
  for (; !error && it != end; it.increment(error)) {
    std::error_code typeError;
    if (it->symlink_status(typeError).type() != fs::file_type::directory) files.push_back(it->path());
  }
  for (const auto &file : files) fs::remove(file, error);
  if (!fs::remove(temp, error) || error)
    return MakeError(PathText(temp) + ": cannot remove the collection folder" +
                     (error ? ": " + error.message() : std::string()));
  return CStatus::Success();
}

CStatus RemoveStale(const fs::path &path) {
  std::error_code error;
  fs::remove(path, error);
  if (error) return MakeError(PathText(path) + ": cannot remove the file of an earlier run: " + error.message());
  return CStatus::Success();
}

CStatus Step(const CProgressCallback &progress, const char *step, const std::string &text) {
  if (!ReportProgress(progress, CProgress{step, text, 0, 0})) return CancelledError();
  return CStatus::Success();
}

// The builder matches each name of the sort file against the paths it reads
// (B/temp/NAME) and silently passes over those that match nothing; a sort
// file written for another place (another folder, backslashes) would leave
// the image in the builder's own order without a word. Returns a note when
// entries match no collected file.
std::string CheckSortFile(const CMakeCdPaths &paths, const CCollectPlan &plan) {
  auto bytes = ReadFileBytes(paths.m_sortFile);
  if (!bytes) return {};
  std::set<fs::path> collected{(paths.m_temp / "CDDA2").lexically_normal()};
  for (const auto &file : plan.m_files) collected.insert((paths.m_temp / file.m_name).lexically_normal());
  std::string text(bytes->begin(), bytes->end());
  size_t entries = 0, unmatched = 0;
  std::string example;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t gap = line.find_last_of(" \t");
    if (gap == std::string::npos || gap == 0) continue;
    ++entries;
    std::string name = line.substr(0, gap);
    if (collected.count(fs::path(name).lexically_normal())) continue;
    if (unmatched++ == 0) example = name;
  }
  if (unmatched == 0) return {};
  return std::to_string(unmatched) + " of the " + std::to_string(entries) + " entries of the sort file " +
         PathText(paths.m_sortFile) + " name no file to be put on the image (the builder compares them with " +
         PathText(paths.m_temp / "NAME") + "), for example " + example;
}

struct CPrepared {
  fs::path m_builder;
  std::vector<uint8_t> m_bootFile;
  CCollectPlan m_plan;
};

CResult<CPrepared> Prepare(const CMakeCdOptions &options, const CMakeCdPaths &paths, CMakeCdReport &report) {
  CPrepared prepared;
  if (options.m_discDir.empty()) return MakeError("no disc chosen: choose the game disc or a folder holding its files");
  std::error_code error;
  if (!fs::is_directory(paths.m_workDir, error))
    return MakeError("working folder " + PathText(paths.m_workDir) + " not found");
  if (SameFolder(options.m_discDir, paths.m_workDir))
    return MakeError("the disc folder is the working folder itself; choose the game disc or a copy of it");
  if (SameFolder(options.m_discDir, paths.m_temp))
    return MakeError("the disc folder is the collection folder " + PathText(paths.m_temp) + "; choose another");

  if (options.m_builder) {
    prepared.m_builder = *options.m_builder;
  } else {
    auto found = FindImageBuilder(paths.m_workDir, options.m_searchPath.empty() ? SearchPath() : options.m_searchPath);
    if (!found) return found.Error();
    prepared.m_builder = found->m_program;
    for (auto &note : found->m_notes) report.m_notes.push_back(std::move(note));
  }
  if (!fs::is_regular_file(paths.m_sortFile, error))
    return MakeError("sort file " + PathText(paths.m_sortFile) + " not found (it gives the order of the disc's files)");
  auto boot = ReadFileBytes(paths.m_bootArea);
  if (!boot) return boot.Error().WithContext("boot area file");
  prepared.m_bootFile = std::move(*boot);

  auto plan = PlanCollection(
      {{"disc", options.m_discDir, true}, {"Patch", paths.m_patch, false}, {"compress", paths.m_compress, false}});
  if (!plan) return plan.Error();
  prepared.m_plan = std::move(*plan);
  for (auto &note : prepared.m_plan.m_notes) report.m_notes.push_back(note);
  if (auto note = CheckSortFile(paths, prepared.m_plan); !note.empty()) report.m_notes.push_back(std::move(note));
  return prepared;
}

} // namespace

std::string DescribeMakeCdProgress(const CProgress &progress) {
  static const std::pair<const char *, const char *> kTitles[] = {
      {"check", "Checking the disc and the working folder"},
      {"collect", "Copying the disc's files"},
      {"build", "Building the image"},
      {"stamp", "Writing the boot area"},
      {"audio", "Writing the audio track"},
      {"cue", "Writing the cue sheet"},
      {"clean", "Removing the collection folder"},
  };
  std::string title = progress.m_step;
  for (const auto &[step, text] : kTitles)
    if (progress.m_step == step) title = text;
  if (progress.m_step == "collect" && !progress.m_text.empty()) title += ": " + progress.m_text;
  return title;
}

CMakeCdPaths::CMakeCdPaths(const fs::path &workDir) {
  std::error_code error;
  m_workDir = fs::absolute(workDir, error).lexically_normal();
  if (error) m_workDir = workDir;
  if (m_workDir.has_relative_path() && !m_workDir.has_filename()) m_workDir = m_workDir.parent_path();
  m_temp = m_workDir / "temp";
  m_patch = m_workDir / "Patch";
  m_compress = m_workDir / "compress";
  m_sortFile = m_workDir / "data" / "tk7-2.txt";
  m_bootArea = m_workDir / "data" / "tk72ip.bin";
  m_image = m_workDir / kImageName;
  m_silentTrack = m_workDir / kSilentTrackName;
  m_cueSheet = m_workDir / kCueSheetName;
}

CResult<CMakeCdReport> MakeCd(const CMakeCdOptions &options, const CProgressCallback &progress) {
  CMakeCdPaths paths(options.m_workDir);
  CMakeCdReport report;
  report.m_image = paths.m_image;
  report.m_silentTrack = paths.m_silentTrack;
  report.m_cueSheet = paths.m_cueSheet;

  if (auto status = Step(progress, "check", PathText(options.m_discDir)); !status) return status.Error();
  auto prepared = Prepare(options, paths, report);
  if (!prepared) return prepared.Error().WithContext("Make CD");
  report.m_builder = prepared->m_builder;
  if (auto status = ClearLeftovers(paths.m_temp); !status) return status.Error().WithContext("Make CD");

  // From here on the collection folder exists and is removed at the end.
  std::error_code error;
  fs::create_directories(paths.m_temp, error);
  if (error) return MakeError("Make CD: cannot create " + PathText(paths.m_temp) + ": " + error.message());

  // The three outputs are made under temporary names beside their own and
  // take their places only when all of them were made, so that a failure
  // leaves the set of an earlier run whole.
  auto pending = [](const fs::path &path) {
    fs::path temp = path;
    temp += ".new";
    return temp;
  };
  const fs::path newImage = pending(paths.m_image), newTrack = pending(paths.m_silentTrack),
                 newCue = pending(paths.m_cueSheet);
  auto finish = [&](CStatus status) -> CResult<CMakeCdReport> {
    std::error_code ignored;
    if (!status) {
      for (const auto &path : {newImage, newTrack, newCue})
        fs::remove(path, ignored);
    }
    (void)ReportProgress(progress, CProgress{"clean", PathText(paths.m_temp), 0, 0}); // the folder goes in any case
    CStatus removed = RemoveCollection(paths.m_temp);
    if (!status) {
      CError error = status.Error().WithContext("Make CD");
      if (!removed) error = MakeError(error.Message() + "\n(" + removed.Error().Message() + ")");
      return error;
    }
    if (!removed) report.m_notes.push_back(removed.Error().Message());
    return report;
  };

  auto &plan = prepared->m_plan;
  if (auto status = CopyCollection(plan, paths.m_temp, progress); !status) return finish(status);
  report.m_fileCount = plan.m_files.size();
  report.m_byteCount = plan.TotalBytes();
  if (auto status = WriteFileAtomic(paths.m_temp / "CDDA2", std::string_view()); !status) return finish(status);

  for (const auto &path : {newImage, newTrack, newCue})
    if (auto status = RemoveStale(path); !status) return finish(status);
  CStatus built =
      RunImageBuilder(prepared->m_builder, paths.m_sortFile, newImage, PathText(paths.m_temp) + "/", progress);
  if (!built) return finish(built);
  if (auto status = Step(progress, "stamp", PathText(paths.m_bootArea)); !status) return finish(status);
  if (auto status = StampBootArea(newImage, prepared->m_bootFile); !status) return finish(status);
  if (auto status = Step(progress, "audio", PathText(paths.m_silentTrack)); !status) return finish(status);
  if (auto status = WriteSilentTrack(newTrack); !status) return finish(status);
  if (auto status = Step(progress, "cue", PathText(paths.m_cueSheet)); !status) return finish(status);
  if (auto status = WriteFileAtomic(newCue, CueSheetText(kImageName)); !status) return finish(status);

  std::pair<const fs::path *, const fs::path *> moves[] = {
      {&newImage, &paths.m_image}, {&newTrack, &paths.m_silentTrack}, {&newCue, &paths.m_cueSheet}};
  for (const auto &[from, to] : moves) {
    std::error_code error;
    fs::rename(*from, *to, error);
    if (error) return finish(MakeError(PathText(*to) + ": cannot put the new file in place: " + error.message()));
  }
  return finish(CStatus::Success());
}

} // namespace quillan
