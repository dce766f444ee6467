// quillan-cli compress SCRIPT [--workdir DIR]: what Compress!!! does after
// SCRIPT was opened.

#include <cstdio>
#include <filesystem>

#include "cli/cli_args.h"
#include "cli/cli_command.h"
#include "codec/text_encoder.h"
#include "core/document.h"
#include "core/file_io.h"

namespace quillan::cli {
namespace {

int RunCompress(const std::vector<std::string> &args) {
  auto parsed = ParseArgs(args, {}, {"--workdir"});
  if (!parsed.m_error.empty()) return Fail("compress: " + parsed.m_error);
  if (parsed.m_positional.size() != 1)
    return Fail("compress: expected one SCRIPT argument (see quillan-cli compress --help)");
  if (std::string bad = WorkDirError(parsed); !bad.empty()) return Fail("compress: " + bad);
  CTranslationDocument doc;
  if (auto dir = parsed.Value("--workdir")) doc.m_baseDir = *dir;
  if (auto status = doc.LoadScript(parsed.m_positional[0]); !status)
    return Fail("compress: " + status.Error().Message());
  auto outcome = CompressEnglishText(doc);
  if (!outcome) return Fail("compress: " + outcome.Error().Message());
  std::printf("output: %s\n", OneLineName(PathText(outcome->m_output)).c_str());
  std::printf("pages: %d\n", outcome->m_pages);
  std::printf("entries: %d\n", outcome->m_records);
  std::printf("bytes: %zu\n", outcome->m_bytes);
  for (const auto &note : outcome->m_notes)
    std::fprintf(stderr, "quillan-cli: note: %s\n", note.c_str());
  return 0;
}

CCliRegistration registration({"compress",
                               "re-encode a script's saved English text into DIR/compress/X5<short name>.bin",
                               "usage: quillan-cli compress SCRIPT [--workdir DIR]\n"
                               "\n"
                               "Does what Compress!!! does after SCRIPT was opened: takes the layout of the\n"
                               "game script file SCRIPT (header length, page count, entries on the last page),\n"
                               "the English text from its chunk files below DIR (default: the current\n"
                               "directory), DIR/Scripts/PATCHED INFO/<short name>/<stem><page>.tk7, and the\n"
                               "English font DIR/data/tk7-1.fon (36-byte header) or tk7-2.fon (48-byte\n"
                               "header), and writes the replacement script DIR/compress/X5<short name>.bin\n"
                               "and the record spool DIR/data/enc.bin. Every entry of the script becomes one\n"
                               "record; a page without a chunk file gives empty entries. Strings of the last\n"
                               "page's chunk file past its entries are written as further records after\n"
                               "them, with a note on stderr (quillan-cli: note: ...). A chunk file that\n"
                               "exists but cannot be read stops the command; nothing is written.\n"
                               "\n"
                               "Prints one value per line:\n"
                               "  output: PATH\n"
                               "  pages: N\n"
                               "  entries: N          (records written)\n"
                               "  bytes: N            (size of the output file)\n"
                               "Exit status 1 with one line on stderr when SCRIPT is missing or malformed,\n"
                               "the font is missing or too large, an entry does not fit in a record of 255\n"
                               "bytes (every such entry is named; nothing is written), or a file cannot be\n"
                               "written.\n",
                               RunCompress});

} // namespace
} // namespace quillan::cli
