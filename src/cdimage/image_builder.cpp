#include "cdimage/image_builder.h"

#include <algorithm>
#include <cctype>

#include "cdimage/child_process.h"
#include "cdimage/disc_collect.h"
#include "core/file_io.h"

namespace quillan {

namespace {

constexpr int kWhole = 10000; // 100.00 %

} // namespace

CResult<CImageBuilder> FindImageBuilder(const std::filesystem::path &workDir, std::string_view folderList) {
  CImageBuilder builder;
  for (const char *name : {"mkisofs", "mkisofs.exe"}) {
    auto candidate = workDir / "data" / name;
    std::error_code error;
    if (!std::filesystem::exists(candidate, error)) continue;
    if (IsExecutableFile(candidate)) {
      builder.m_program = candidate;
      return builder;
    }
    builder.m_notes.push_back(PathText(candidate) + " cannot be run on this machine; using the system's image builder");
  }
  for (const char *name : {"mkisofs", "genisoimage", "xorrisofs"}) {
    if (auto found = FindOnPath(name, folderList)) {
      builder.m_program = *found;
      return builder;
    }
  }
  return MakeError("no ISO 9660 image builder found: put one at " + PathText(workDir / "data" / "mkisofs") +
                   " or install mkisofs, genisoimage or xorrisofs (Debian package genisoimage)");
}

std::vector<std::string> ImageBuilderArguments(const std::filesystem::path &sortFile,
                                               const std::filesystem::path &image, const std::string &source) {
  return {"-sort", PathText(sortFile), "-o", PathText(image), source};
}

int ParseBuilderPercent(std::string_view output) {
  int found = -1;
  size_t at = 0;
  while ((at = output.find("% done", at)) != std::string_view::npos) {
    size_t end = at;
    size_t start = end;
    while (start > 0 && (std::isdigit(static_cast<unsigned char>(output[start - 1])) || output[start - 1] == '.'))
      --start;
    std::string_view number = output.substr(start, end - start);
    size_t dot = number.find('.');
    std::string_view whole = number.substr(0, dot);
    std::string_view fraction = dot == std::string_view::npos ? std::string_view() : number.substr(dot + 1);
    if (!whole.empty() && whole.size() <= 3 && fraction.find('.') == std::string_view::npos) {
      int value = 0;
      for (char c : whole) value = value * 10 + (c - '0');
      value *= 100;
      if (fraction.size() >= 1) value += (fraction[0] - '0') * 10;
      if (fraction.size() >= 2) value += fraction[1] - '0';
      found = std::min(value, kWhole);
    }
    at += 6;
  }
  return found;
}

CStatus RunImageBuilder(const std::filesystem::path &program, const std::filesystem::path &sortFile,
                        const std::filesystem::path &image, const std::string &source,
                        const CProgressCallback &progress) {
  std::vector<std::string> arguments{PathText(program)};
  for (auto &argument : ImageBuilderArguments(sortFile, image, source)) arguments.push_back(std::move(argument));

  CProgress state{"build", PathText(image.filename()), 0, 0};
  std::string pending; // an unfinished line of output
  bool goOn = ReportProgress(progress, state);
  CProcessOptions options;
  options.m_onErrorOutput = [&](std::string_view piece) {
    pending.append(piece);
    size_t lineEnd = pending.find_last_of("\r\n");
    if (lineEnd == std::string::npos) return;
    int percent = ParseBuilderPercent(std::string_view(pending).substr(0, lineEnd));
    pending.erase(0, lineEnd + 1);
    if (percent >= 0) {
      state.m_done = uint64_t(percent);
      state.m_total = kWhole;
      goOn = goOn && ReportProgress(progress, state);
    }
  };
  options.m_keepRunning = [&] { return goOn = goOn && ReportProgress(progress, state); };

  std::string name = PathText(program.filename());
  auto run = RunProcess(arguments, options);
  if (!run) return run.Error().WithContext("image builder");
  if (run->m_cancelled) return CancelledError();
  if (!run->Succeeded()) {
    std::string message = "image builder " + name + " failed (" + run->Describe() + ")";
    std::string tail = run->ErrorTail();
    return MakeError(tail.empty() ? message : message + ":\n" + tail);
  }
  std::error_code error;
  if (!std::filesystem::is_regular_file(image, error))
    return MakeError("image builder " + name + " ended without error but wrote no image " + PathText(image));
  state.m_done = state.m_total = kWhole;
  if (!ReportProgress(progress, state)) return CancelledError();
  return CStatus::Success();
}

} // namespace quillan
