// quillan-cli dump [--codes] SCRIPT: every entry of a script, as codes or as
// text.

#include <cstdio>
#include <filesystem>

#include "cli/cli_args.h"
#include "cli/cli_command.h"
#include "core/file_io.h"
#include "core/script_file.h"
#include "core/text_rules.h"
#include "kanji/code_book.h"

namespace quillan::cli {
namespace {

// The script's code book below the working folder, read without creating it.
// Gives false when there is none; fails when it exists but cannot be read.
CResult<bool> ReadCodeBook(const std::filesystem::path &path, KanjiCodeBook &book) {
  auto bytes = ReadFileIfPresent(path);
  if (!bytes) return bytes.Error();
  if (!*bytes) return false;
  auto load = ParseCodeBook(**bytes, PathText(path));
  if (!load.m_warning.empty()) std::fprintf(stderr, "quillan-cli: warning: %s\n", OneLineName(load.m_warning).c_str());
  book = load.m_book;
  return true;
}

void AppendHex(std::string &out, unsigned value, int digits) {
  static const char kDigits[] = "0123456789abcdef";
  for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4)
    out.push_back(kDigits[(value >> shift) & 0xF]);
}

int RunDump(const std::vector<std::string> &args) {
  auto parsed = ParseArgs(args, {"--codes"}, {"--workdir"});
  if (!parsed.m_error.empty()) return Fail("dump: " + parsed.m_error);
  if (parsed.m_positional.size() != 1) return Fail("dump: expected one SCRIPT argument (see quillan-cli dump --help)");
  if (std::string bad = WorkDirError(parsed); !bad.empty()) return Fail("dump: " + bad);
  auto script = CScriptFile::Open(parsed.m_positional[0]);
  if (!script) return Fail(script.Error().Message());
  CScriptFile &file = *script.Value();
  bool codes = parsed.Has("--codes");

  KanjiCodeBook book;
  bool haveBook = false;
  if (!codes) {
    std::filesystem::path workdir = parsed.Value("--workdir").value_or(".");
    auto read = ReadCodeBook(workdir / "data" / "kanjiCB" / (ShortNameOf(file.Name()) + ".kcb"), book);
    if (!read) return Fail("dump: " + read.Error().Message());
    haveBook = *read;
  }

  std::string out;
  out.reserve(1 << 16);
  for (int page = 0; page < file.m_pageCount; ++page) {
    for (int line = 0; line < file.EntriesOnPage(page); ++line) {
      const uint16_t *entry = file.DecodeEntry(page, line);
      out += std::to_string(page);
      if (codes) {
        out += ' ';
        out += std::to_string(line);
        for (int i = 0; i < kEntryCapacity; ++i) {
          out += ' ';
          AppendHex(out, entry[i], 4);
          if (EndsEntry(entry[i])) break;
        }
      } else {
        out += '\t';
        out += std::to_string(line);
        out += '\t';
        AppendDumpText(out, std::span(entry, size_t(kEntryCapacity)), haveBook ? &book : nullptr);
      }
      out += '\n';
      if (out.size() > (1 << 16) - 8192) {
        std::fwrite(out.data(), 1, out.size(), stdout);
        out.clear();
      }
    }
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
  if (std::fflush(stdout) != 0) return Fail("dump: cannot write the output");
  return 0;
}

CCliRegistration registration({"dump", "print every entry of a script as text or as codes",
                               "usage: quillan-cli dump [--codes] [--workdir DIR] SCRIPT\n"
                               "\n"
                               "Prints one line per entry of SCRIPT: 256 per page, the last page's own count\n"
                               "on the last page, pages and lines in order.\n"
                               "\n"
                               "  dump SCRIPT          P<TAB>L<TAB>TEXT\n"
                               "      TEXT is the entry in UTF-8: kana and ASCII as the game's one-byte codes\n"
                               "      read, voicing marks joined to the kana before them, kanji as the\n"
                               "      character of the script's code book DIR/data/kanjiCB/<short name>.kcb\n"
                               "      (DIR defaults to the current folder) or {kXXXX} when the book has none\n"
                               "      for it, control codes 01-1f as {XX}, codes 0800 and above that do not\n"
                               "      end the entry as {XXXX}, and '{' itself as {7b}.\n"
                               "  dump --codes SCRIPT  P L C1 C2 ...\n"
                               "      each code as 4 lowercase hex digits, up to and including the entry's\n"
                               "      terminating code (all 600 when it has none), single spaces.\n"
                               "\n"
                               "P and L are decimal, from 0. Exit status 1 with one line on stderr when\n"
                               "SCRIPT is missing or malformed.\n",
                               RunDump});

} // namespace
} // namespace quillan::cli
