// quillan-cli make-cd: the disc image, audio track and cue sheet without the
// window.

#include <csignal>
#include <cstdio>
#include <optional>
#include <string>

#include "cdimage/make_cd.h"
#include "cli/cli_args.h"
#include "cli/cli_command.h"
#include "core/file_io.h"

namespace quillan::cli {

namespace {

const char kUsage[] = "usage: quillan-cli make-cd --disc DIR [--workdir DIR] [--builder PROGRAM]\n"
                      "\n"
                      "Builds the disc image from the files of the game disc's top folder (DIR: a\n"
                      "mounted disc or a copy of it), then WORKDIR/Patch, then WORKDIR/compress\n"
                      "(a later folder's file replaces an earlier one of the same name), in the\n"
                      "order of WORKDIR/data/tk7-2.txt, stamps the boot area WORKDIR/data/tk72ip.bin\n"
                      "over its first 32768 bytes, and writes WORKDIR/TK7.ISO, WORKDIR/TK7Track2.bin\n"
                      "and WORKDIR/TK7.CUE. WORKDIR is the current folder unless given. The image\n"
                      "builder is WORKDIR/data/mkisofs when it can run here, otherwise mkisofs,\n"
                      "genisoimage or xorrisofs from PATH, unless --builder names one.\n"
                      "\n"
                      "Lines on standard output, one per event, fields separated by one space:\n"
                      "  step NAME TEXT                a step begins: check, collect, build, stamp,\n"
                      "                                audio, cue, clean\n"
                      "  progress NAME DONE TOTAL TEXT within a step: collect counts bytes, build\n"
                      "                                hundredths of a percent; TOTAL 0 when unknown\n"
                      "  note TEXT                     something worth knowing; the run went on\n"
                      "  wrote PATH                    an output file, after a successful run\n"
                      "Interrupt (Ctrl-C) cancels: the collection folder is removed, no image is\n"
                      "left. Exit status 0 on success, 1 on failure with one line on stderr.\n";

volatile std::sig_atomic_t g_interrupted = 0;

extern "C" void OnInterrupt(int) { g_interrupted = 1; }

// Prints a progress line when the step, the file or the whole percent changes.
class CProgressPrinter {
public:
  bool operator()(const CProgress &progress) {
    bool newStep = progress.m_step != m_step;
    if (newStep) {
      m_step = progress.m_step;
      m_text.clear();
      m_percent = -1;
      std::printf("step %s %s\n", m_step.c_str(), OneLine(progress.m_text).c_str());
    }
    if (progress.m_total > 0 || progress.m_done > 0) {
      int percent = progress.m_total ? int(progress.m_done * 100 / progress.m_total) : -1;
      if (percent != m_percent || progress.m_text != m_text) {
        std::printf("progress %s %llu %llu %s\n", m_step.c_str(), static_cast<unsigned long long>(progress.m_done),
                    static_cast<unsigned long long>(progress.m_total), OneLine(progress.m_text).c_str());
        m_percent = percent;
        m_text = progress.m_text;
      }
    } else if (!newStep) {
      m_text = progress.m_text;
    }
    std::fflush(stdout);
    return !g_interrupted;
  }

private:
  std::string m_step, m_text;
  int m_percent = -1;
};

int RunMakeCd(const std::vector<std::string> &args) {
  CMakeCdOptions options;
  options.m_workDir = ".";
  bool haveDisc = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string &arg = args[i];
    if (arg != "--disc" && arg != "--workdir" && arg != "--builder") return Fail("make-cd: unknown option " + arg);
    if (i + 1 >= args.size()) return Fail("make-cd: " + arg + " needs a value");
    const std::string &value = args[++i];
    if (arg == "--disc") {
      options.m_discDir = value;
      haveDisc = true;
    } else if (arg == "--workdir") {
      options.m_workDir = value;
    } else {
      options.m_builder = std::filesystem::path(value);
    }
  }
  if (!haveDisc) return Fail("make-cd: --disc DIR is required (see quillan-cli make-cd --help)");

  g_interrupted = 0;
  auto previous = std::signal(SIGINT, OnInterrupt);
  CProgressPrinter printer;
  auto result = MakeCd(options, [&](const CProgress &progress) { return printer(progress); });
  std::signal(SIGINT, previous);

  if (!result) return Fail(OneLine(result.Error().Message()));
  for (const auto &note : result->m_notes) std::printf("note %s\n", OneLine(note).c_str());
  for (const auto &path : {result->m_image, result->m_silentTrack, result->m_cueSheet})
    std::printf("wrote %s\n", OneLineName(PathText(path)).c_str());
  std::fflush(stdout);
  return 0;
}

const CCliRegistration kRegistration{
    CCliCommand{"make-cd", "build the disc image, audio track and cue sheet", kUsage, RunMakeCd}};

} // namespace

} // namespace quillan::cli
