// The whole game at once: indexing a generated project of 87 scripts of 16
// pages with chunk files, searching it plainly and by regular expression,
// checking all of it, and checking the current entry as the window does
// after each edit.

#include <benchmark/benchmark.h>

#include "support/project_fixture.h"
#include "support/scratch_dir.h"
#include "workbench/project_search.h"
#include "workbench/translation_checks.h"

namespace {

using namespace quillan;

constexpr int kScripts = 87;
constexpr int kPages = 16;

const std::filesystem::path &ProjectDir() {
  static testing::CScratchDir dir("quillan_project_bench_");
  static bool written = [] {
    testing::WriteGeneratedProject(dir.Path(), kScripts, kPages);
    return true;
  }();
  (void)written;
  return dir.Path();
}

const CProjectIndex &Index() {
  static CProjectIndex index = [] {
    CProjectIndex built;
    (void)built.Build(ProjectDir(), ProjectScripts(ProjectDir(), {}));
    return built;
  }();
  return index;
}

void BM_IndexBuildCold(benchmark::State &state) {
  auto scripts = ProjectScripts(ProjectDir(), {});
  int entries = 0;
  for (auto _ : state) {
    CProjectIndex index;
    (void)index.Build(ProjectDir(), scripts);
    entries = index.Progress().m_entries;
  }
  state.counters["entries"] = entries;
}
BENCHMARK(BM_IndexBuildCold)->Unit(benchmark::kMillisecond);

void Search(benchmark::State &state, const char *pattern, CSearchOptions options) {
  const CProjectIndex &index = Index();
  auto search = CProjectSearch::Compile(pattern, options);
  size_t hits = 0;
  for (auto _ : state) {
    auto found = search->Run(index);
    hits = found.size();
    benchmark::DoNotOptimize(found.data());
  }
  state.counters["hits"] = double(hits);
}

void BM_SearchPlain(benchmark::State &state) { Search(state, "dragon and", {}); }
BENCHMARK(BM_SearchPlain)->Unit(benchmark::kMillisecond);

void BM_SearchPlainCaseSensitive(benchmark::State &state) { Search(state, "Hello", {CSearchField::Both, false, true}); }
BENCHMARK(BM_SearchPlainCaseSensitive)->Unit(benchmark::kMillisecond);

void BM_SearchRegex(benchmark::State &state) {
  Search(state, "king\\s+(will|must)\\b", {CSearchField::Both, true, false});
}
BENCHMARK(BM_SearchRegex)->Unit(benchmark::kMillisecond);

void BM_CheckProject(benchmark::State &state) {
  const CProjectIndex &index = Index();
  CProjectChecker checker(index, ReadCheckLimits(index));
  size_t findings = 0;
  for (auto _ : state)
    findings = checker.CheckProject().size();
  state.counters["findings"] = double(findings);
}
BENCHMARK(BM_CheckProject)->Unit(benchmark::kMillisecond);

// The window after an edit: the live English of the open script, its code
// lengths made again from that text, and the current entry's checks.
void BM_CheckCurrentEntry(benchmark::State &state) {
  const CProjectIndex &index = Index();
  CProjectChecker checker(index, ReadCheckLimits(index));
  std::vector<EnglishString> live = index.Script(40).EnglishStrings();
  checker.SetLiveEnglish(40, &live);
  CScriptCheckData data = checker.Prepare(40);
  int entry = 0;
  for (auto _ : state) {
    live[size_t(entry)].insert(live[size_t(entry)].begin(), uint16_t('x'));
    checker.RefreshCodeLengths(40, data);
    std::vector<CFinding> findings;
    checker.CheckEntry({40, entry}, data, findings);
    benchmark::DoNotOptimize(findings.data());
    entry = (entry + 1) % 4096;
  }
}
BENCHMARK(BM_CheckCurrentEntry)->Unit(benchmark::kMicrosecond);

} // namespace
