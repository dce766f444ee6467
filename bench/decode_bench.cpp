// Decoding a whole 16-page script: the bit walk of the game's decoder against
// the lookup-table path, and the cost of opening (which builds the tables).

#include <benchmark/benchmark.h>

#include "core/script_file.h"
#include "support/script_builder.h"

namespace {

using namespace quillan;

std::vector<uint8_t> SixteenPages() {
  static const std::vector<uint8_t> bytes = [] {
    auto spec = testing::RandomScriptSpec(2026, 16);
    while (spec.m_pages.size() < 16) spec = testing::RandomScriptSpec(uint32_t(spec.m_pages.size()) * 7919 + 1, 16);
    // Sixteen full pages.
    while (spec.m_pages.back().size() < 256) spec.m_pages.back().push_back(spec.m_pages[0][spec.m_pages.back().size()]);
    return testing::BuildScript(spec).m_bytes;
  }();
  return bytes;
}

template <bool kFast> void BM_DecodeAllEntries(benchmark::State &state) {
  auto script = CScriptFile::FromBytes(SixteenPages(), "x5BENCH.bin");
  CScriptFile &file = *script.Value();
  int64_t entries = 0;
  for (auto _ : state) {
    for (int page = 0; page < file.m_pageCount; ++page) {
      for (int line = 0; line < file.EntriesOnPage(page); ++line) {
        const uint16_t *out = kFast ? file.DecodeEntry(page, line) : file.DecodeEntryBitwise(page, line);
        benchmark::DoNotOptimize(out[0]);
        ++entries;
      }
    }
  }
  state.counters["entries"] = benchmark::Counter(double(entries), benchmark::Counter::kIsRate);
  state.SetLabel(std::to_string(file.m_pageCount) + " pages, " + std::to_string(SixteenPages().size()) + " bytes");
}
BENCHMARK(BM_DecodeAllEntries<false>)->Name("DecodeScript/BitWalk")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeAllEntries<true>)->Name("DecodeScript/Tables")->Unit(benchmark::kMillisecond);

void BM_OpenScript(benchmark::State &state) {
  auto bytes = SixteenPages();
  for (auto _ : state) {
    auto script = CScriptFile::FromBytes(bytes, "x5BENCH.bin");
    benchmark::DoNotOptimize(script.Ok());
  }
}
BENCHMARK(BM_OpenScript)->Name("OpenScript/WithTables")->Unit(benchmark::kMillisecond);

} // namespace
