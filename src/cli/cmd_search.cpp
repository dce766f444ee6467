// quillan-cli search [--japanese | --english] [--regex] [--case-sensitive]
// PATTERN [SCRIPT...]: every entry of the project whose text holds PATTERN.

#include "cli/cli_command.h"
#include "cli/cli_project.h"
#include "workbench/project_search.h"

namespace quillan::cli {
namespace {

int RunSearch(const std::vector<std::string> &args) {
  auto parsed =
      ParseProjectArgs(args, {"--japanese", "--english", "--regex", "--case-sensitive", "--json"}, {"--workdir"});
  if (!parsed.m_error.empty()) return Fail("search: " + parsed.m_error);
  if (parsed.m_positional.empty()) return Fail("search: expected a PATTERN (see quillan-cli search --help)");
  if (parsed.Has("--japanese") && parsed.Has("--english"))
    return Fail("search: --japanese and --english exclude each other");
  CSearchOptions options;
  options.m_field = parsed.Has("--japanese")  ? CSearchField::Japanese
                    : parsed.Has("--english") ? CSearchField::English
                                              : CSearchField::Both;
  options.m_regex = parsed.Has("--regex");
  options.m_caseSensitive = parsed.Has("--case-sensitive");
  auto search = CProjectSearch::Compile(parsed.m_positional[0], options);
  if (!search) return Fail("search: " + search.Error().Message());

  auto project = LoadProject(parsed, {parsed.m_positional.begin() + 1, parsed.m_positional.end()});
  if (!project) return Fail("search: " + project.Error().Message());
  const CProjectIndex &index = project->m_index;
  CRecordWriter out(parsed.Has("--json"));
  for (const CSearchHit &hit : search->Run(index)) {
    const CIndexedScript &script = index.Script(hit.m_ref.m_script);
    const CIndexedEntry &entry = script.Entry(hit.m_ref.m_entry);
    std::string text(hit.m_english ? script.EnglishDump(hit.m_ref.m_entry) : script.JapaneseDump(hit.m_ref.m_entry));
    const char *field = hit.m_english ? "en" : "ja";
    out.Line(script.m_name + "\t" + std::to_string(entry.m_page) + "\t" + std::to_string(entry.m_line) + "\t" + field +
                 "\t" + text,
             {{"name", JsonString(script.m_name)},
              {"page", std::to_string(entry.m_page)},
              {"line", std::to_string(entry.m_line)},
              {"field", JsonString(field)},
              {"text", JsonString(text)}});
  }
  if (!out.Finish()) return Fail("search: cannot write the output");
  return project->m_allRead ? 0 : 1;
}

CCliRegistration registration({"search", "find a text in every script of the project",
                               "usage: quillan-cli search [--japanese | --english] [--regex] [--case-sensitive]\n"
                               "                          [--json] [--workdir DIR] [--] PATTERN [SCRIPT...]\n"
                               "\n"
                               "Prints every entry whose Japanese or English text contains PATTERN. The text\n"
                               "is searched in the form quillan-cli dump prints it (kanji as the code book's\n"
                               "characters or {kXXXX}, control codes as {XX}), so {03} finds line ends.\n"
                               "\n"
                               "  NAME<TAB>P<TAB>L<TAB>FIELD<TAB>TEXT\n"
                               "      one line per hit, FIELD ja or en, TEXT the whole text of that field;\n"
                               "      in script, page, line order, ja before en\n"
                               "\n"
                               "  --japanese, --english  search only that text (default: both)\n"
                               "  --regex                PATTERN is a regular expression (PCRE2 syntax, UTF-8)\n"
                               "  --case-sensitive       capitals and small letters differ (by default they do\n"
                               "                         not, for ASCII and full-width letters alike)\n"
                               "  --json                 the same records as a JSON array of objects with the\n"
                               "                         keys name, page, line, field and text\n"
                               "\n"
                               "The scripts are the SCRIPT arguments, or else every x5*.bin in the working\n"
                               "folder DIR (default: the current folder), in name order. Exit status 1 when\n"
                               "the regular expression is not valid, when there is no script or when a\n"
                               "script cannot be read (one line on stderr each; the others are searched).\n",
                               RunSearch});

} // namespace
} // namespace quillan::cli
