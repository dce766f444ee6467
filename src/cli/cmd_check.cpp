// quillan-cli check [SCRIPT...]: the translation checks over the project.

#include <cstdio>

#include "cli/cli_command.h"
#include "cli/cli_project.h"
#include "workbench/translation_checks.h"

namespace quillan::cli {
namespace {

constexpr int kUsageError = 2;

int Usage(std::string_view message) {
  Fail(message);
  return kUsageError;
}

int RunCheck(const std::vector<std::string> &args) {
  auto parsed = ParseProjectArgs(args, {"--json"}, {"--workdir"});
  if (!parsed.m_error.empty()) return Usage("check: " + parsed.m_error);
  auto project = LoadProject(parsed, parsed.m_positional);
  if (!project) return Fail("check: " + project.Error().Message());
  const CProjectIndex &index = project->m_index;
  CProjectChecker checker(index, ReadCheckLimits(index));
  for (const std::string &problem : checker.Glossary().m_problems)
    std::fprintf(stderr, "quillan-cli: warning: %s (line skipped)\n", problem.c_str());
  CRecordWriter out(parsed.Has("--json"));
  bool error = false;
  for (const CFinding &finding : checker.CheckProject()) {
    const std::string &name = index.Script(finding.m_script).m_name;
    const char *severity = SeverityName(finding.m_severity);
    error = error || finding.m_severity == CSeverity::Error;
    out.Line(name + "\t" + std::to_string(finding.m_page) + "\t" + std::to_string(finding.m_line) + "\t" + severity +
                 "\t" + finding.m_check + "\t" + finding.m_message,
             {{"name", JsonString(name)},
              {"page", std::to_string(finding.m_page)},
              {"line", std::to_string(finding.m_line)},
              {"severity", JsonString(severity)},
              {"check", JsonString(finding.m_check)},
              {"message", JsonString(finding.m_message)}});
  }
  if (!out.Finish()) return Fail("check: cannot write the output");
  return error || !project->m_allRead ? 1 : 0;
}

CCliRegistration registration({"check", "find English text that will break in the game",
                               "usage: quillan-cli check [--json] [--workdir DIR] [SCRIPT...]\n"
                               "\n"
                               "Runs the translation checks on every entry and prints one line per finding:\n"
                               "\n"
                               "  NAME<TAB>P<TAB>L<TAB>SEVERITY<TAB>CHECK<TAB>MESSAGE\n"
                               "      SEVERITY error or warning; in script, page, line order\n"
                               "\n"
                               "  untranslated  warning  the Japanese has text, the English is empty\n"
                               "  ending        error    the English does not end with the bubble end, line\n"
                               "                         end or pause ({01}-{04}) the Japanese ends with\n"
                               "  placeholder   error    the memory slots {10} {12}-{1f} and names {11}{NN}\n"
                               "                         differ from the Japanese entry's\n"
                               "  too-long      error    the compressed record would pass 255 bytes\n"
                               "  font          warning  a glyph of the English font has no pixel set\n"
                               "  overflow      warning  a line has more glyphs than max-columns, or a bubble\n"
                               "                         more lines than max-lines\n"
                               "  inconsistent  warning  the same Japanese text was translated differently\n"
                               "                         before (the message names that entry, NAME P:L)\n"
                               "  spaces        warning  a space at the start, before the ending code or at\n"
                               "                         the end, or two spaces in a row\n"
                               "  glossary      warning  a term of DIR/data/glossary.txt occurs in the\n"
                               "                         Japanese while its English (any case) is missing\n"
                               "                         from the translation; a malformed line of the\n"
                               "                         glossary is a warning on stderr with its number\n"
                               "\n"
                               "max-columns and max-lines come from DIR/quillan.conf; by default they are\n"
                               "the longest line and the most lines per bubble of the project's Japanese\n"
                               "text. The scripts are the SCRIPT arguments, or else every x5*.bin in the\n"
                               "working folder DIR (default: the current folder). --json prints the same\n"
                               "records as a JSON array of objects with the keys name, page, line,\n"
                               "severity, check and message.\n"
                               "\n"
                               "Exit status 0 when there is no error, 1 when there is one (or a script\n"
                               "cannot be read, or there is none), 2 for a usage error.\n",
                               RunCheck});

} // namespace
} // namespace quillan::cli
