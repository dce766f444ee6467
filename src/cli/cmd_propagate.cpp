// quillan-cli propagate: repeated lines take the translation their
// translated twins agree on.

#include <cstdio>
#include <map>

#include "cli/cli_args.h"
#include "cli/cli_command.h"
#include "codec/english_text.h"
#include "workbench/project_memory.h"
#include "workbench/propagate.h"

namespace quillan::cli {
namespace {

int RunPropagate(const std::vector<std::string> &args) {
  auto parsed = ParseArgs(args, {"--dry-run"}, {"--workdir"});
  if (!parsed.m_error.empty()) return Fail("propagate: " + parsed.m_error);
  if (auto error = WorkDirError(parsed); !error.empty()) return Fail("propagate: " + error);
  std::filesystem::path baseDir = parsed.Value("--workdir").value_or(".");
  auto scripts = ProjectScripts(baseDir, parsed.m_positional);
  if (scripts.empty()) return Fail("propagate: no x5*.bin script in " + baseDir.string() + " and none named");
  auto project = LoadProjectTexts(baseDir, scripts);
  if (!project) return Fail("propagate: " + project.Error().Message());
  CProjectTexts &texts = **project;
  auto plan = PlanPropagation(texts.m_memory);

  std::string out;
  std::map<CTranslationDocument *, std::vector<const CPropagation *>> changes;
  for (const CPropagation &p : plan) {
    const CMemoryEntry &target = texts.m_memory.Entry(p.m_target);
    const CMemoryEntry &source = texts.m_memory.Entry(p.m_source);
    out += OneLineName(target.m_script) + "\t" + std::to_string(target.m_page) + "\t" + std::to_string(target.m_line) +
           "\t" + OneLineName(EntryPlace(source)) + "\n";
    changes[texts.DocumentOf(target)].push_back(&p);
  }
  if (!parsed.Has("--dry-run")) {
    std::string failures;
    for (auto &[doc, list] : changes) {
      CTextEdit edit(*doc, "Propagate");
      for (const CPropagation *p : list) {
        const CMemoryEntry &target = texts.m_memory.Entry(p->m_target);
        edit.At(target.m_page, target.m_line) = texts.m_memory.Entry(p->m_source).m_english;
      }
      edit.Commit();
      CSaveOptions options;
      options.m_writeCodeBook = false;
      if (auto status = SaveEnglishText(*doc, options); !status)
        failures += (failures.empty() ? "" : "; ") + status.Error().Message();
    }
    if (!failures.empty()) {
      std::fwrite(out.data(), 1, out.size(), stdout);
      return Fail("propagate: " + failures);
    }
  }
  out += "propagated: " + std::to_string(plan.size()) + "\n";
  std::fwrite(out.data(), 1, out.size(), stdout);
  std::fflush(stdout);
  return 0;
}

CCliRegistration registration({"propagate", "give repeated untranslated lines the translation their twins agree on",
                               "usage: quillan-cli propagate [--dry-run] [--workdir DIR] [SCRIPT...]\n"
                               "\n"
                               "The project is the SCRIPT arguments, or else every x5*.bin (any letter case) in\n"
                               "DIR (default: the current folder), with the English text of their chunk files.\n"
                               "Every untranslated entry whose Japanese text equals that of translated entries\n"
                               "that all agree receives that translation. Prints one line per such entry,\n"
                               "  NAME<TAB>P<TAB>L<TAB>FROM\n"
                               "(NAME the script's file name, FROM \"NAME P:L\" of the first source in script,\n"
                               "page and line order), then propagated: N. The chunk files of each script\n"
                               "that changed are written as Save English Text writes them (the previous ones\n"
                               "kept in DIR/backup/); --dry-run writes nothing. Entries whose sources\n"
                               "disagree are left alone.\n",
                               RunPropagate});

} // namespace
} // namespace quillan::cli
