// quillan-cli render SCRIPT --page P --line L [--workdir DIR] -o FILE.png: a
// picture of both panes as the window shows that entry.

#include <charconv>
#include <cstdio>
#include <filesystem>

#include "cli/cli_args.h"
#include "cli/cli_command.h"
#include "core/document.h"
#include "core/file_io.h"
#include "kanji/code_book.h"
#include "view/artwork.h"
#include "view/pane_renderer.h"
#include "view/png_codec.h"

namespace quillan::cli {
namespace {

bool ParseNumber(const std::string &text, int &value) {
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() && value >= 0;
}

int RunRender(const std::vector<std::string> &args) {
  auto parsed = ParseArgs(args, {}, {"--page", "--line", "--workdir", "-o", "--output"});
  if (!parsed.m_error.empty()) return Fail("render: " + parsed.m_error);
  if (parsed.m_positional.size() != 1)
    return Fail("render: expected one SCRIPT argument (see quillan-cli render --help)");
  if (std::string bad = WorkDirError(parsed); !bad.empty()) return Fail("render: " + bad);
  auto output = parsed.Value("-o");
  if (!output) output = parsed.Value("--output");
  if (!output || output->empty()) return Fail("render: the output file is missing (-o FILE.png)");
  int page = 0, line = 0;
  if (auto text = parsed.Value("--page"); text && !ParseNumber(*text, page))
    return Fail("render: --page wants a number from 0, not '" + *text + "'");
  if (auto text = parsed.Value("--line"); text && !ParseNumber(*text, line))
    return Fail("render: --line wants a number from 0, not '" + *text + "'");

  CTranslationDocument doc;
  doc.m_baseDir = std::filesystem::path(parsed.Value("--workdir").value_or("."));
  if (CStatus status = doc.LoadScript(parsed.m_positional[0]); !status) return Fail(status.Error().Message());
  if (page >= doc.m_pageCount)
    return Fail("render: page " + std::to_string(page) + " is outside the script (pages 0-" +
                std::to_string(doc.m_pageCount - 1) + ")");
  if (line >= doc.EntriesOnPage(page))
    return Fail("render: page " + std::to_string(page) + " has lines 0-" + std::to_string(doc.EntriesOnPage(page) - 1) +
                ", not " + std::to_string(line));
  // The code book is read, never created.
  auto book = ReadFileIfPresent(doc.CodeBookPath());
  if (!book) return Fail("render: " + book.Error().Message());
  if (*book) {
    auto load = ParseCodeBook(**book, PathText(doc.CodeBookPath()));
    if (!load.m_warning.empty())
      std::fprintf(stderr, "quillan-cli: warning: %s\n", OneLineName(load.m_warning).c_str());
    doc.LoadedCodeBook() = load.m_book;
  }

  // The entry as the window shows it after going there: the cursor at the
  // end of the English text, the Japanese pane from its first row.
  doc.m_currentPage = page;
  doc.m_currentLine = line;
  doc.m_linesOnPage = doc.EntriesOnPage(page);
  doc.m_japaneseTopRow = 0;
  doc.PlaceCursorAtEnd();
  doc.m_repaintJapanese = 1;

  CEmbeddedPictures pictures;
  CPaneRenderer renderer;
  if (CStatus status = renderer.LoadFontSheets(pictures); !status) return Fail("render: " + status.Error().Message());
  if (CStatus status = renderer.LoadPaneBackground(pictures); !status)
    return Fail("render: " + status.Error().Message());
  if (CStatus status = renderer.PaintPanes(doc); !status)
    return Fail("render: " + parsed.m_positional[0] + ": page " + std::to_string(page) + " line " +
                std::to_string(line) + ": " + status.Error().Message());
  if (CStatus status = WriteFileAtomic(*output, EncodePng(renderer.Canvas())); !status)
    return Fail("render: " + status.Error().Message());
  return 0;
}

CCliRegistration registration({"render", "draw one entry's two panes into a PNG file",
                               "usage: quillan-cli render SCRIPT [--page P] [--line L] [--workdir DIR] -o FILE.png\n"
                               "\n"
                               "Draws entry (P, L) of SCRIPT (both 0 when not given) as the window shows it\n"
                               "and writes a PNG of 480 x 380 pixels: the Japanese pane at (0, 20), the\n"
                               "English pane at (0, 220), each 15 x 5 cells of 32 x 32 pixels.\n"
                               "\n"
                               "The English text comes from the script's chunk files below DIR (the current\n"
                               "folder by default), DIR/Scripts/PATCHED INFO/<short name>/, scrolled as\n"
                               "the window scrolls it when the cursor is placed at its end; kanji are\n"
                               "drawn white on the pane when DIR/data/kanjiCB/<short name>.kcb identifies\n"
                               "them, white on black while not. Nothing below DIR is created or changed.\n"
                               "\n"
                               "Exit status 1 with one line on stderr when SCRIPT is missing or malformed,\n"
                               "the entry is outside the script or FILE cannot be written.\n",
                               RunRender});

} // namespace
} // namespace quillan::cli
