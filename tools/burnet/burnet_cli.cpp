#include "tools/burnet/burnet_cli.h"

#include <algorithm>
#include <csignal>

#include "cdimage/progress.h"
#include "core/file_io.h"
#include "tools/burnet/burnet_build.h"

namespace burnet {

namespace {

using quillan::OneLine;

const char kUsage[] = "usage: burnet --folder F --iso I [--builder PROGRAM]\n"
                      "       burnet            (the window)\n"
                      "\n"
                      "Builds the disc image I from the folder F with the image builder (data/mkisofs\n"
                      "below the current folder when it can run here, otherwise mkisofs, genisoimage\n"
                      "or xorrisofs from PATH, unless --builder names one), in the order of the sort\n"
                      "file data/tk7-2.txt, stamps the boot area data/tk72ip.bin over its first 32768\n"
                      "bytes and writes the cue sheet beside it (I with .iso replaced by .cue). An\n"
                      "empty file CDDA2 is put into F. The cue sheet names TK7Track2.bin, the audio\n"
                      "track, which must lie beside it: when none is there, a silent one is written.\n"
                      "\n"
                      "Lines on standard output: 'step NAME TEXT' (check, build, stamp, cue),\n"
                      "'note TEXT', 'wrote PATH'. Exit status 0 on success, 1 on failure with one\n"
                      "line on standard error.\n";

volatile std::sig_atomic_t g_interrupted = 0;

extern "C" void OnInterrupt(int) { g_interrupted = 1; }

int Fail(std::FILE *err, const std::string &message) {
  std::fprintf(err, "burnet: %s\n", OneLine(message).c_str());
  return 1;
}

} // namespace

bool WantsCommandLine(const std::vector<std::string> &args) {
  return std::any_of(args.begin(), args.end(), [](const std::string &arg) {
    return arg == "--folder" || arg == "--iso" || arg == "--builder" || arg == "--help" || arg == "-h";
  });
}

int RunCommandLine(const std::vector<std::string> &args, const std::filesystem::path &baseDir, std::FILE *out,
                   std::FILE *err) {
  CBurnetJob job;
  job.m_baseDir = baseDir;
  bool haveFolder = false, haveImage = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string &arg = args[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, out);
      return 0;
    }
    if (arg != "--folder" && arg != "--iso" && arg != "--builder")
      return Fail(err, "unknown argument " + arg + " (see burnet --help)");
    if (i + 1 >= args.size()) return Fail(err, arg + " needs a value");
    const std::string &value = args[++i];
    if (arg == "--folder") {
      job.m_folder = value;
      haveFolder = true;
    } else if (arg == "--iso") {
      job.m_image = value;
      haveImage = true;
    } else {
      job.m_builder = std::filesystem::path(value);
    }
  }
  if (!haveFolder || !haveImage) return Fail(err, "both --folder F and --iso I are needed (see burnet --help)");

  g_interrupted = 0;
  auto previous = std::signal(SIGINT, OnInterrupt);
  std::string step;
  auto report = BuildImage(job, [&](const CProgress &progress) {
    if (progress.m_step != step) {
      step = progress.m_step;
      std::fprintf(out, "step %s %s\n", step.c_str(), OneLine(progress.m_text).c_str());
      std::fflush(out);
    }
    return !g_interrupted;
  });
  std::signal(SIGINT, previous);
  if (!report) return Fail(err, report.Error().Message());
  for (const auto &note : report->m_notes)
    std::fprintf(out, "note %s\n", OneLine(note).c_str());
  std::fprintf(out, "wrote %s\nwrote %s\n", quillan::PathText(report->m_image).c_str(),
               quillan::PathText(report->m_cueSheet).c_str());
  if (report->m_trackWritten) std::fprintf(out, "wrote %s\n", quillan::PathText(report->m_track).c_str());
  std::fflush(out);
  return 0;
}

} // namespace burnet
