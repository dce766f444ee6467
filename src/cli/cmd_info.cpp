// quillan-cli info SCRIPT: the layout values of a script file.

#include <cstdio>

#include "cli/cli_args.h"
#include "cli/cli_command.h"
#include "core/script_file.h"

namespace quillan::cli {
namespace {

int RunInfo(const std::vector<std::string> &args) {
  auto parsed = ParseArgs(args, {}, {});
  if (!parsed.m_error.empty()) return Fail("info: " + parsed.m_error);
  if (parsed.m_positional.size() != 1) return Fail("info: expected one SCRIPT argument (see quillan-cli info --help)");
  auto script = CScriptFile::Open(parsed.m_positional[0]);
  if (!script) return Fail(script.Error().Message());
  const CScriptFile &file = *script.Value();
  std::printf("file: %s\n", OneLineName(file.Name()).c_str());
  std::printf("header length: %u\n", file.m_headerLength);
  std::printf("section offsets:");
  for (unsigned i = 0; i < file.m_sectionCount; ++i) std::printf(" 0x%06x", file.m_sectionOffsets[i]);
  std::printf("\ntree block: 0x%06x\n", file.m_treeBlockOffset);
  std::printf("page count: %d\n", file.m_pageCount);
  std::printf("entries on last page: %d\n", file.m_linesOnLastPage);
  return 0;
}

CCliRegistration registration({"info", "show a script's header length, sections, pages and last-page entries",
                               "usage: quillan-cli info SCRIPT\n"
                               "\n"
                               "Prints the layout of the game script file SCRIPT, one value per line:\n"
                               "  file: NAME\n"
                               "  header length: 36|48\n"
                               "  section offsets: 0xOOOOOO ... (one per header record, file offsets)\n"
                               "  tree block: 0xOOOOOO\n"
                               "  page count: N\n"
                               "  entries on last page: N\n"
                               "Exit status 1 with one line on stderr when SCRIPT is missing or malformed.\n",
                               RunInfo});

} // namespace
} // namespace quillan::cli
