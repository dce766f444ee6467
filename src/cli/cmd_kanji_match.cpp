// quillan-cli kanji-match SCRIPT [--workdir DIR]: matches a script's kanji
// against the kanji database and saves the code book and the database.

#include <cstdio>
#include <filesystem>
#include <set>

#include "cli/cli_args.h"
#include "cli/cli_command.h"
#include "core/file_io.h"
#include "core/script_file.h"
#include "kanji/code_book.h"
#include "kanji/kanji_match.h"
#include "kanji/kanji_store.h"

namespace quillan::cli {
namespace {

void Warn(const std::string &text) {
  if (!text.empty()) std::fprintf(stderr, "quillan-cli: warning: %s\n", text.c_str());
}

int RunKanjiMatch(const std::vector<std::string> &args) {
  auto parsed = ParseArgs(args, {}, {"--workdir"});
  if (!parsed.m_error.empty()) return Fail("kanji-match: " + parsed.m_error);
  if (parsed.m_positional.size() != 1)
    return Fail("kanji-match: expected one SCRIPT argument (see quillan-cli kanji-match --help)");
  std::error_code error;
  std::filesystem::path base = parsed.Value("--workdir") ? std::filesystem::path(*parsed.Value("--workdir"))
                                                         : std::filesystem::current_path(error);
  auto script = CScriptFile::Open(parsed.m_positional[0]);
  if (!script) return Fail("kanji-match: " + script.Error().Message());

  // The database as at start-up: loaded, or made from the raw font file.
  CKanjiStore store;
  auto databasePath = KanjiStorePath(base);
  if (std::filesystem::exists(databasePath, error)) {
    auto loaded = LoadKanjiStore(databasePath);
    if (!loaded) return Fail("kanji-match: " + loaded.Error().Message());
    Warn(loaded->m_warning);
    store = std::move(loaded->m_store);
  } else {
    auto created = CreateKanjiStore(KanjiFontPath(base), databasePath);
    Warn(created.m_warning);
    store = std::move(created.m_store);
  }
  auto bookPath = CodeBookPath(base, ShortNameOf(script.Value()->Name()));
  auto book = LoadCodeBook(bookPath);
  if (!book) return Fail("kanji-match: " + book.Error().Message());
  Warn(book->m_warning);

  auto result = MatchKanjiStore(script.Value()->Bytes(), book->m_book, store);
  if (auto saved = SaveCodeBook(book->m_book, bookPath); !saved) return Fail("kanji-match: " + saved.Error().Message());
  if (auto saved = SaveKanjiStore(store, databasePath); !saved) return Fail("kanji-match: " + saved.Error().Message());

  // The kanji the script's entries use, and how many of them the book names.
  CScriptFile &file = *script.Value();
  std::set<uint16_t> used;
  for (int page = 0; page < file.m_pageCount; ++page) {
    for (int line = 0; line < file.EntriesOnPage(page); ++line) {
      const uint16_t *entry = file.DecodeEntry(page, line);
      for (int i = 0; i < kEntryCapacity && !EndsEntry(entry[i]); ++i)
        if (entry[i] >= kFirstKanjiCode && entry[i] <= kLastScriptKanjiCode) used.insert(entry[i]);
    }
  }
  int identified = 0;
  for (uint16_t code : used)
    identified += book->m_book[size_t(code - kFirstKanjiCode)] >= kFirstIdentifiedCode;
  std::printf("kanji used: %zu\n", used.size());
  std::printf("kanji identified: %d\n", identified);
  std::printf("code book entries identified: %d\n", result.m_identified);
  std::printf("code book entries changed: %d\n", result.m_bookEntriesChanged);
  std::printf("database records changed: %d\n", result.m_recordsChanged);
  return 0;
}

CCliRegistration registration({"kanji-match",
                               "match a script's kanji against the kanji database; save the code book and the database",
                               "usage: quillan-cli kanji-match SCRIPT [--workdir DIR]\n"
                               "\n"
                               "Runs Search Kanji Database for the game script file SCRIPT: loads the kanji\n"
                               "database DIR/data/glyphary.db (default DIR: the current directory; made from\n"
                               "DIR/data/fontfile.fon when it does not exist) and the script's code book\n"
                               "DIR/data/kanjiCB/<short name>.kcb (created when missing), matches every kanji\n"
                               "bitmap of the script against the database in both directions, and saves both\n"
                               "files.\n"
                               "\n"
                               "Prints one value per line:\n"
                               "  kanji used: N                    (distinct kanji codes in the script's entries)\n"
                               "  kanji identified: N              (of those, how many the code book names)\n"
                               "  code book entries identified: N  (of all codes 0x100-0x7FF)\n"
                               "  code book entries changed: N     (took a character from the database)\n"
                               "  database records changed: N      (took a character from the code book)\n"
                               "A short or malformed database or code book is read with a warning line on\n"
                               "stderr (quillan-cli: warning: ...). Exit status 1 with one line on stderr\n"
                               "when SCRIPT is missing or malformed or a file cannot be read or written.\n",
                               RunKanjiMatch});

} // namespace
} // namespace quillan::cli
