// Compressing English text: one full 16-page document in memory and onto
// disk, and Compress All over 87 scripts of 16 pages read from their chunk
// files.

#include <benchmark/benchmark.h>

#include "codec/batch_compress.h"
#include "codec/english_text.h"
#include "codec/text_encoder.h"
#include "support/codec_fixture.h"
#include "support/scratch_dir.h"

namespace {

using namespace quillan;

const std::vector<int> kSixteenPages(16, 256);

// 4096 entries of up to 80 elements, about 160,000 elements in all.
const std::vector<EnglishString> &FullDocument() {
  static const std::vector<EnglishString> strings = testing::RandomEnglish(2026, kSixteenPages, 80);
  return strings;
}

size_t Elements(const std::vector<EnglishString> &strings) {
  size_t count = 0;
  for (const auto &text : strings)
    count += text.size();
  return count;
}

void BM_EncodeDocument(benchmark::State &state) {
  auto font = testing::SyntheticEnglishFont(48);
  CEncoderInput input{"BENCH", 48, 16, 256, FullDocument()};
  size_t bytes = 0;
  for (auto _ : state) {
    auto encoded = EncodeEnglishText(input, font);
    bytes = encoded->m_bytes.size();
    benchmark::DoNotOptimize(encoded->m_bytes.data());
  }
  state.SetLabel("16 pages, " + std::to_string(Elements(FullDocument())) + " elements, " + std::to_string(bytes) +
                 " bytes out");
}
BENCHMARK(BM_EncodeDocument)->Name("Compress/Document16Pages/InMemory")->Unit(benchmark::kMillisecond);

void BM_CompressDocumentToDisk(benchmark::State &state) {
  testing::CScratchDir dir;
  auto font = testing::SyntheticEnglishFont(48);
  CEncoderInput input{"BENCH", 48, 16, 256, FullDocument()};
  for (auto _ : state) {
    auto outcome = WriteCompressedScript(input, font, dir.Path());
    if (!outcome) state.SkipWithError(outcome.Error().Message().c_str());
  }
}
BENCHMARK(BM_CompressDocumentToDisk)->Name("Compress/Document16Pages/ToDisk")->Unit(benchmark::kMillisecond);

// The open script and 85 listed scripts, each with 16 pages of saved text.
void BM_CompressAll(benchmark::State &state) {
  testing::CScratchDir dir;
  testing::WriteEnglishFonts(dir.Path());
  CTranslationDocument doc;
  auto opened = testing::OpenBuiltScript(doc, dir.Path(), "x5OPEN.bin", testing::LayoutScriptSpec(48, kSixteenPages));
  if (!opened) {
    state.SkipWithError(opened.Error().Message().c_str());
    return;
  }
  std::string list;
  for (int script = 0; script < 86; ++script) {
    std::string name = script == 0 ? "x5OPEN.bin" : "X5S" + std::to_string(1000 + script) + ".bin";
    if (script > 0) list += name + "\n";
    auto strings = testing::RandomEnglish(uint32_t(script), kSixteenPages, 80);
    for (int page = 0; page < 16; ++page) {
      auto bytes = EnglishChunkBytes(std::span<const EnglishString>(strings).subspan(size_t(page) * 256, 256));
      testing::WriteBytes(dir.Path() / "Scripts" / "PATCHED INFO" / ShortNameOf(name) /
                              (StemOf(name) + char('0' + page) + ".tk7"),
                          bytes);
    }
  }
  testing::WriteText(BatchScriptListPath(dir.Path()), list);
  auto plan = PlanCompressAll(doc);
  if (!plan) {
    state.SkipWithError(plan.Error().Message().c_str());
    return;
  }
  for (auto _ : state) {
    auto report = RunCompressAll(*plan);
    if (report.Failures() > 0) state.SkipWithError(report.Summary().c_str());
  }
  state.SetLabel(std::to_string(plan->m_runs.size()) + " scripts of 16 pages");
}
BENCHMARK(BM_CompressAll)->Name("Compress/All87Scripts")->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
