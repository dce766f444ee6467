// quillan-cli kanji-match SCRIPT [--workdir DIR] [--repair]: matches a script's kanji
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

// Keeps the file as it is now as NAME.bak before a repaired one replaces it.
CStatus KeepBackup(const std::filesystem::path &path) {
  auto bytes = ReadFileBytes(path);
  if (!bytes) return bytes.Error();
  auto backup = path;
  backup += ".bak";
  return WriteFileAtomic(backup, *bytes).WithContext("cannot keep the original");
}

int RunKanjiMatch(const std::vector<std::string> &args) {
  auto parsed = ParseArgs(args, {"--repair"}, {"--workdir"});
  if (!parsed.m_error.empty()) return Fail("kanji-match: " + parsed.m_error);
  if (parsed.m_positional.size() != 1)
    return Fail("kanji-match: expected one SCRIPT argument (see quillan-cli kanji-match --help)");
  if (std::string bad = WorkDirError(parsed); !bad.empty()) return Fail("kanji-match: " + bad);
  const bool repair = parsed.Has("--repair");
  std::error_code error;
  std::filesystem::path base = parsed.Value("--workdir") ? std::filesystem::path(*parsed.Value("--workdir"))
                                                         : std::filesystem::current_path(error);
  auto script = CScriptFile::Open(parsed.m_positional[0]);
  if (!script) return Fail("kanji-match: " + script.Error().Message());
  auto bookPath = CodeBookPath(base, ShortNameOf(script.Value()->Name()));
  if (ShortNameOf(script.Value()->Name()).empty())
    return Fail("kanji-match: " + parsed.m_positional[0] +
                ": the file name has no short name (the characters from the third up to the first '.'), which "
                "names its code book");

  // The database as at start-up: loaded, or made from the raw font file. A
  // database or code book that did not load cleanly is not written back
  // unless --repair asks for it.
  CKanjiStore store;
  auto databasePath = KanjiStorePath(base);
  bool repairStore = false;
  if (std::filesystem::exists(databasePath, error)) {
    auto loaded = LoadKanjiStore(databasePath);
    if (!loaded) return Fail("kanji-match: " + loaded.Error().Message());
    if (loaded->Damaged()) {
      if (!repair)
        return Fail("kanji-match: " + loaded->m_warning +
                    " Nothing was written; --repair writes the repaired file and keeps the original as " +
                    PathText(databasePath.filename()) + ".bak");
      Warn(loaded->m_warning);
      repairStore = true;
    }
    store = std::move(loaded->m_store);
  } else {
    auto created = CreateKanjiStore(KanjiFontPath(base), databasePath);
    Warn(created.m_warning);
    store = std::move(created.m_store);
  }
  auto book = LoadCodeBook(bookPath);
  if (!book) return Fail("kanji-match: " + book.Error().Message());
  if (book->m_damaged) {
    if (!repair)
      return Fail("kanji-match: " + book->m_warning +
                  ". Nothing was written; --repair writes the repaired file and keeps the original as " +
                  PathText(bookPath.filename()) + ".bak");
  }
  Warn(book->m_warning);

  auto result = MatchKanjiStore(script.Value()->Bytes(), book->m_book, store);
  if (book->m_damaged) {
    if (auto kept = KeepBackup(bookPath); !kept) return Fail("kanji-match: " + kept.Error().Message());
  }
  if (repairStore) {
    if (auto kept = KeepBackup(databasePath); !kept) return Fail("kanji-match: " + kept.Error().Message());
  }
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
                               "usage: quillan-cli kanji-match SCRIPT [--workdir DIR] [--repair]\n"
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
                               "A database or code book that does not load cleanly (short, malformed, a\n"
                               "line that is not a number) is never written back on its own: the command\n"
                               "stops with exit status 1 and one line naming the file, the line or record\n"
                               "and what is wrong, and writes nothing. With --repair it goes on: the file\n"
                               "is first kept as NAME.bak beside it (glyphary.db.bak, <short name>.kcb.bak),\n"
                               "then the repaired one is written, with a warning line on stderr\n"
                               "(quillan-cli: warning: ...). Exit status 1 with one line on stderr when\n"
                               "SCRIPT is missing or malformed, DIR does not exist, or a file cannot be read\n"
                               "or written.\n",
                               RunKanjiMatch});

} // namespace
} // namespace quillan::cli
