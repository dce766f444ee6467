// quillan-cli export-po and import-po: a script's text as a gettext PO file
// and the translations brought back from one.

#include <cstdio>
#include <filesystem>

#include "cli/cli_args.h"
#include "cli/cli_command.h"
#include "codec/english_text.h"
#include "core/document.h"
#include "core/file_io.h"
#include "kanji/code_book.h"
#include "workbench/po_exchange.h"

namespace quillan::cli {
namespace {

// The script's code book below the working folder, read without creating it.
bool ReadBook(const CTranslationDocument &doc, KanjiCodeBook &book) {
  auto bytes = ReadFileBytes(doc.CodeBookPath());
  if (!bytes) return false;
  book = ParseCodeBook(*bytes, PathText(doc.CodeBookPath().filename())).m_book;
  return true;
}

int RunExportPo(const std::vector<std::string> &args) {
  auto parsed = ParseArgs(args, {}, {"--workdir", "-o"});
  if (!parsed.m_error.empty()) return Fail("export-po: " + parsed.m_error);
  if (auto error = WorkDirError(parsed); !error.empty()) return Fail("export-po: " + error);
  if (parsed.m_positional.size() != 1)
    return Fail("export-po: expected one SCRIPT argument (see quillan-cli export-po --help)");
  CTranslationDocument doc;
  if (auto dir = parsed.Value("--workdir")) doc.m_baseDir = *dir;
  if (auto status = doc.LoadScript(parsed.m_positional[0]); !status)
    return Fail("export-po: " + status.Error().Message());
  KanjiCodeBook book;
  bool haveBook = ReadBook(doc, book);
  CPoCatalog catalog = ExportPoCatalog(doc, haveBook ? &book : nullptr);
  auto text = FormatPoFile(catalog);
  if (!text) return Fail("export-po: " + text.Error().Message());
  std::filesystem::path out =
      parsed.Value("-o") ? std::filesystem::path(*parsed.Value("-o")) : DefaultPoPath(doc.m_baseDir, doc.m_shortName);
  std::error_code error;
  if (out.has_parent_path()) std::filesystem::create_directories(out.parent_path(), error);
  if (auto status = WriteFileAtomic(out, *text); !status) return Fail("export-po: " + status.Error().Message());
  size_t translated = 0;
  for (const auto &m : catalog.m_messages)
    translated += m.m_str.empty() ? 0 : 1;
  std::printf("output: %s\n", OneLineName(PathText(out)).c_str());
  std::printf("messages: %zu\n", catalog.m_messages.size());
  std::printf("translated: %zu\n", translated);
  return 0;
}

int RunImportPo(const std::vector<std::string> &args) {
  auto parsed = ParseArgs(args, {}, {"--workdir"});
  if (!parsed.m_error.empty()) return Fail("import-po: " + parsed.m_error);
  if (auto error = WorkDirError(parsed); !error.empty()) return Fail("import-po: " + error);
  if (parsed.m_positional.size() != 2)
    return Fail("import-po: expected FILE.po and SCRIPT (see quillan-cli import-po --help)");
  CTranslationDocument doc;
  if (auto dir = parsed.Value("--workdir")) doc.m_baseDir = *dir;
  if (auto status = doc.LoadScript(parsed.m_positional[1]); !status)
    return Fail("import-po: " + status.Error().Message());
  auto catalog = ReadPoFile(parsed.m_positional[0]);
  if (!catalog) return Fail("import-po: " + catalog.Error().Message());
  KanjiCodeBook book;
  bool haveBook = ReadBook(doc, book);
  CPoImportPlan plan = PlanPoImport(doc, haveBook ? &book : nullptr, *catalog);
  if (!plan.m_changes.empty()) {
    CTextEdit edit(doc, "Import PO");
    for (const auto &change : plan.m_changes)
      edit.At(change.m_page, change.m_line) = change.m_text;
    edit.Commit();
    // As Save English Text writes them, with its backups; the code book is
    // not the import's business.
    CSaveOptions options;
    options.m_writeCodeBook = false;
    if (auto status = SaveEnglishText(doc, options); !status) return Fail("import-po: " + status.Error().Message());
  }
  std::string report = FormatImportReport(plan);
  std::fwrite(report.data(), 1, report.size(), stdout);
  std::fflush(stdout);
  return plan.m_refused > 0 ? 1 : 0;
}

CCliRegistration exportRegistration({"export-po", "write a script's text as a gettext PO file for translation tools",
                                     "usage: quillan-cli export-po [--workdir DIR] [-o FILE.po] SCRIPT\n"
                                     "\n"
                                     "Writes one UTF-8 PO file for SCRIPT (default DIR/po/<short name>.po; DIR is the\n"
                                     "working folder, by default the current one) with one message per entry whose\n"
                                     "Japanese text is not empty:\n"
                                     "  msgctxt  \"P:L\", page and line from 0 as dump numbers them\n"
                                     "  msgid    the Japanese text as dump prints it (kanji from the code book\n"
                                     "           DIR/data/kanjiCB/<short name>.kcb, {kXXXX} while unidentified,\n"
                                     "           control codes as {XX}, {7b} for '{')\n"
                                     "  msgstr   the English text from the chunk files in the same form, empty\n"
                                     "           while untranslated\n"
                                     "Every message carries the flag placeholders:r\"[{][01][0-9a-f][}]\" naming the\n"
                                     "control code markers, so a translation server's placeholder check guards\n"
                                     "each control code. The file passes msgfmt --check.\n"
                                     "\n"
                                     "Prints output: PATH, messages: N and translated: N. Exit status 1 with one line\n"
                                     "on stderr when SCRIPT is missing or malformed or the file cannot be written.\n",
                                     RunExportPo});

CCliRegistration
    importRegistration({"import-po", "take the translations of a PO file into a script's chunk files",
                        "usage: quillan-cli import-po [--workdir DIR] FILE.po SCRIPT\n"
                        "\n"
                        "For every message of FILE.po with a non-empty msgstr and no fuzzy flag, finds\n"
                        "the entry named by its msgctxt \"P:L\". A message whose msgid is not that entry's\n"
                        "Japanese text is skipped (the script changed); otherwise the msgstr, in the\n"
                        "form export-po writes, becomes the entry's English text: {01}-{1f} are the\n"
                        "control codes, {7b} is '{', other text is mapped to the game's characters as\n"
                        "Paste maps it. An unknown marker, a character the game cannot show or a\n"
                        "record over 255 bytes refuses that message.\n"
                        "\n"
                        "Prints one line per message that was not taken or that changed,\n"
                        "  P<TAB>L<TAB>imported|skipped|refused<TAB>REASON\n"
                        "(P and L are - when the msgctxt is not P:L), then\n"
                        "  imported: N\n  unchanged: N\n  skipped: N\n  refused: N\n"
                        "When anything changed, the chunk files are written as Save English Text\n"
                        "writes them (atomically, the previous ones kept in DIR/backup/); otherwise\n"
                        "nothing is written. A PO file that cannot be parsed changes nothing. Exit\n"
                        "status 1 when any message was refused or the import failed.\n",
                        RunImportPo});

} // namespace
} // namespace quillan::cli
