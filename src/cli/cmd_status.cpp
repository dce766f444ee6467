// quillan-cli status [--pages] [SCRIPT...]: how far the translation is.

#include "cli/cli_command.h"
#include "cli/cli_project.h"

namespace quillan::cli {
namespace {

CJsonRecord Counts(CJsonRecord record, const CProgressCount &count) {
  record.emplace_back("entries", std::to_string(count.m_entries));
  record.emplace_back("translated", std::to_string(count.m_translated));
  record.emplace_back("percent", count.PercentText());
  return record;
}

std::string CountsText(const CProgressCount &count) {
  return std::to_string(count.m_entries) + "\t" + std::to_string(count.m_translated) + "\t" + count.PercentText();
}

int RunStatus(const std::vector<std::string> &args) {
  auto parsed = ParseProjectArgs(args, {"--pages", "--json"}, {"--workdir"});
  if (!parsed.m_error.empty()) return Fail("status: " + parsed.m_error);
  auto project = LoadProject(parsed, parsed.m_positional);
  if (!project) return Fail("status: " + project.Error().Message());
  const CProjectIndex &index = project->m_index;
  CRecordWriter out(parsed.Has("--json"));
  bool pages = parsed.Has("--pages");
  for (int s = 0; s < index.ScriptCount(); ++s) {
    const CIndexedScript &script = index.Script(s);
    if (pages) {
      for (int page = 0; page < script.m_pageCount; ++page) {
        CProgressCount count = script.PageProgress(page);
        out.Line(script.m_name + "\t" + std::to_string(page) + "\t" + CountsText(count),
                 Counts({{"name", JsonString(script.m_name)}, {"page", std::to_string(page)}}, count));
      }
    }
    out.Line(script.m_name + "\t" + CountsText(script.Progress()),
             Counts({{"name", JsonString(script.m_name)}}, script.Progress()));
  }
  out.Line("total\t" + CountsText(index.Progress()), Counts({{"name", JsonString("total")}}, index.Progress()));
  if (!out.Finish()) return Fail("status: cannot write the output");
  return project->m_allRead ? 0 : 1;
}

CCliRegistration registration({"status", "how much of each script is translated",
                               "usage: quillan-cli status [--pages] [--json] [--workdir DIR] [SCRIPT...]\n"
                               "\n"
                               "Counts the entries of each script and those that are translated (their\n"
                               "English text has at least one element). The scripts are the SCRIPT\n"
                               "arguments, or else every x5*.bin (any letter case) in the working folder\n"
                               "DIR (default: the current folder), in name order; the English text is read\n"
                               "from the chunk files below DIR.\n"
                               "\n"
                               "  NAME<TAB>ENTRIES<TAB>TRANSLATED<TAB>PERCENT      one line per script\n"
                               "  total<TAB>ENTRIES<TAB>TRANSLATED<TAB>PERCENT     last\n"
                               "  NAME<TAB>P<TAB>ENTRIES<TAB>TRANSLATED<TAB>PERCENT\n"
                               "      with --pages, one line per page before its script's line\n"
                               "\n"
                               "NAME is the script's file name, P the page from 0, PERCENT the share with\n"
                               "one decimal, rounded down (100.0 only when all is translated). --json\n"
                               "prints the same records as a JSON array of objects with the keys name,\n"
                               "page (page records only), entries, translated and percent.\n"
                               "\n"
                               "Exit status 1 when a script cannot be read (one line on stderr each; the\n"
                               "others are still counted) or when there is no script.\n",
                               RunStatus});

} // namespace
} // namespace quillan::cli
