#include "tools/burnet/burnet_build.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "cdimage/child_process.h"
#include "core/file_io.h"

namespace burnet {

namespace {

namespace fs = std::filesystem;
using quillan::CError;
using quillan::CStatus;
using quillan::MakeError;
using quillan::PathText;

constexpr size_t kBootAreaSize = 32768;
constexpr const char *kCancelled = "cancelled";

bool Ask(const CProgressCallback &progress, const char *step, const std::string &text) {
  return !progress || progress(CProgress{step, text, 0, 0});
}

CResult<fs::path> FindBuilder(const CBurnetJob &job, std::vector<std::string> &notes) {
  if (job.m_builder) return *job.m_builder;
  for (const char *name : {"mkisofs", "mkisofs.exe"}) {
    auto candidate = job.m_baseDir / "data" / name;
    std::error_code error;
    if (!fs::exists(candidate, error)) continue;
    if (quillan::IsExecutableFile(candidate)) return candidate;
    notes.push_back(PathText(candidate) + " cannot be run on this machine; using the system's image builder");
  }
  std::string folders = job.m_searchPath.empty() ? quillan::SearchPath() : job.m_searchPath;
  for (const char *name : {"mkisofs", "genisoimage", "xorrisofs"})
    if (auto found = quillan::FindOnPath(name, folders)) return *found;
  return MakeError("no ISO 9660 image builder found: put one at " + PathText(job.m_baseDir / "data" / "mkisofs") +
                   " or install mkisofs, genisoimage or xorrisofs (Debian package genisoimage)");
}

CStatus Stamp(const fs::path &image, std::span<const uint8_t> bootFile) {
  std::error_code error;
  auto size = fs::file_size(image, error);
  if (error || size < kBootAreaSize) return MakeError(PathText(image) + ": too short for a disc image");
  auto bytes = BootAreaFor(bootFile);
  std::FILE *file = std::fopen(image.c_str(), "r+b");
  if (!file) return MakeError(PathText(image) + ": cannot open for the boot area: " + std::strerror(errno));
  bool good = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  good = std::fflush(file) == 0 && good;
  good = std::fclose(file) == 0 && good;
  if (!good) return MakeError(PathText(image) + ": writing the boot area failed");
  return CStatus::Success();
}

CStatus RunBuilder(const fs::path &builder, const std::vector<std::string> &arguments,
                   const CProgressCallback &progress) {
  quillan::CProcessOptions options;
  options.m_keepRunning = [&] { return Ask(progress, "build", PathText(builder.filename())); };
  auto run = quillan::RunProcess(arguments, options);
  if (!run) return run.Error().WithContext("image builder");
  if (run->m_cancelled) return MakeError(kCancelled);
  if (!run->Succeeded()) {
    std::string message = "image builder " + PathText(builder.filename()) + " failed (" + run->Describe() + ")";
    std::string tail = run->ErrorTail();
    return MakeError(tail.empty() ? message : message + ":\n" + tail);
  }
  return CStatus::Success();
}

} // namespace

bool IsCancelled(const quillan::CError &error) { return error.Message() == kCancelled; }

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

std::string CueSheetFor(const std::string &image) {
  return "FILE \"" + image +
         "\" BINARY\r\n"
         "  TRACK 01 MODE1/2048\r\n"
         "    INDEX 01 00:00:00\r\n"
         "FILE \"TK7Track2.bin\" BINARY\r\n"
         "  TRACK 02 AUDIO\r\n"
         "    PREGAP 00:02:00\r\n"
         "    INDEX 01 00:00:00\r\n";
}

std::vector<uint8_t> BootAreaFor(std::span<const uint8_t> bootFile) {
  std::vector<uint8_t> bytes(kBootAreaSize, 0xFF);
  std::copy_n(bootFile.begin(), std::min(bootFile.size(), kBootAreaSize), bytes.begin());
  return bytes;
}

CResult<CBurnetReport> BuildImage(const CBurnetJob &job, const CProgressCallback &progress) {
  CBurnetReport report;
  if (!Ask(progress, "check", job.m_folder)) return MakeError(kCancelled);

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

  std::vector<std::string> arguments{PathText(*builder), "-sort", PathText(sortFile), "-o", job.m_image, job.m_folder};
  CStatus built = RunBuilder(*builder, arguments, progress);
  if (built && !fs::is_regular_file(image, error))
    built = MakeError("image builder " + PathText(builder->filename()) + " ended without error but wrote no image");
  if (built) built = Ask(progress, "stamp", PathText(image)) ? Stamp(image, *boot) : CStatus(MakeError(kCancelled));
  if (!built) {
    std::error_code ignored;
    fs::remove(image, ignored); // no half-made image
    if (IsCancelled(built.Error())) return built.Error();
  }

  if (!Ask(progress, "cue", PathText(report.m_cueSheet))) {
    std::error_code ignored;
    fs::remove(image, ignored);
    return MakeError(kCancelled);
  }
  if (auto cue = quillan::WriteFileAtomic(report.m_cueSheet, CueSheetFor(job.m_image)); !cue)
    return built ? cue.Error().WithContext("cue sheet") : built.Error();
  if (!built) return built.Error();

  if (!fs::exists(report.m_cueSheet.parent_path().empty() ? fs::path("TK7Track2.bin")
                                                          : report.m_cueSheet.parent_path() / "TK7Track2.bin",
                  error))
    report.m_notes.push_back("the cue sheet names TK7Track2.bin, which is not beside the image yet");
  return report;
}

} // namespace burnet
