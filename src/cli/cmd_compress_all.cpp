// quillan-cli compress-all SCRIPT [--workdir DIR]: Compress All with SCRIPT
// as the open script.

#include <cstdio>
#include <filesystem>

#include "cli/cli_args.h"
#include "cli/cli_command.h"
#include "codec/batch_compress.h"
#include "core/document.h"
#include "core/file_io.h"

namespace quillan::cli {
namespace {

int RunCompressAll(const std::vector<std::string> &args) {
  auto parsed = ParseArgs(args, {}, {"--workdir"});
  if (!parsed.m_error.empty()) return Fail("compress-all: " + parsed.m_error);
  if (parsed.m_positional.size() != 1)
    return Fail("compress-all: expected one SCRIPT argument (see quillan-cli compress-all --help)");
  if (std::string bad = WorkDirError(parsed); !bad.empty()) return Fail("compress-all: " + bad);
  CTranslationDocument doc;
  if (auto dir = parsed.Value("--workdir")) doc.m_baseDir = *dir;
  if (auto status = doc.LoadScript(parsed.m_positional[0]); !status)
    return Fail("compress-all: " + status.Error().Message());
  auto plan = PlanCompressAll(doc);
  if (!plan) return Fail("compress-all: " + plan.Error().Message());
  std::printf("list: %s\n", OneLineName(plan->m_listSource).c_str());
  std::printf("names: %zu\n", plan->m_runs.size() - 2);
  auto report = RunCompressAll(*plan, [](int done, int total, const CBatchItem &item) {
    if (item.m_ok) {
      std::printf("[%d/%d] %s: %s, %d pages, %d entries, %zu bytes\n", done, total, OneLineName(item.m_name).c_str(),
                  OneLineName(PathText(item.m_outcome.m_output)).c_str(), item.m_outcome.m_pages,
                  item.m_outcome.m_records, item.m_outcome.m_bytes);
      if (!item.m_message.empty())
        std::printf("[%d/%d] %s: note: %s\n", done, total, OneLineName(item.m_name).c_str(),
                    OneLineName(item.m_message).c_str());
    } else {
      std::printf("[%d/%d] %s: failed: %s\n", done, total, OneLineName(item.m_name).c_str(),
                  OneLineName(item.m_message).c_str());
    }
    std::fflush(stdout);
    return true;
  });
  int done = int(report.m_items.size()) - report.Failures();
  std::printf("compressed: %d of %d\n", done, report.m_total);
  std::fflush(stdout);
  if (!report.m_stoppedBy.empty()) return Fail("compress-all: stopped: " + report.m_stoppedBy);
  if (report.Failures() > 0)
    return Fail("compress-all: " + std::to_string(report.Failures()) + " of " + std::to_string(report.m_total) +
                " runs failed (see the lines marked failed)");
  return 0;
}

CCliRegistration
    registration({"compress-all", "Compress All: re-encode every script of the list from its saved English text",
                  "usage: quillan-cli compress-all SCRIPT [--workdir DIR]\n"
                  "\n"
                  "Runs Compress All with SCRIPT as the open script: SCRIPT first, then every\n"
                  "name of the script list, then SCRIPT again, each from its saved chunk files\n"
                  "below DIR (default: the current directory) into DIR/compress/X5<short name>.bin.\n"
                  "The list is DIR/data/scriptlist.txt (one script file name per line; blank\n"
                  "lines and lines starting with '#' are ignored) or, without it, the x5*.bin\n"
                  "files in the folder of SCRIPT, sorted by byte value. A listed script takes\n"
                  "its page count from its chunk files and its header length from its script\n"
                  "file when that lies beside SCRIPT, otherwise from SCRIPT.\n"
                  "\n"
                  "Prints:\n"
                  "  list: SOURCE           (the list file, or the folder whose x5*.bin files were taken)\n"
                  "  names: N\n"
                  "then one line per run as it ends, I counting from 1 up to the N + 2 runs:\n"
                  "  [I/N] NAME: OUTPUT, P pages, E entries, B bytes\n"
                  "  [I/N] NAME: note: TEXT        (after the line above, when there is one)\n"
                  "  [I/N] NAME: failed: MESSAGE   (nothing was written for NAME)\n"
                  "and at the end:\n"
                  "  compressed: K of R\n"
                  "A failed script does not stop the run; a missing or too large English font\n"
                  "does. Exit status 1 with one line on stderr when SCRIPT cannot be opened, the\n"
                  "list file is malformed, the run was stopped, or any run failed.\n",
                  RunCompressAll});

} // namespace
} // namespace quillan::cli
