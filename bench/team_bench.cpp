// Team work: the Suggestions panel's rows for the current entry over a
// project of 87 scripts of 16 pages, and a 16-page script exported to a PO
// file and imported back.

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <stdexcept>

#include "codec/english_text.h"
#include "core/file_io.h"
#include "support/codec_fixture.h"
#include "support/scratch_dir.h"
#include "workbench/po_exchange.h"
#include "workbench/po_file.h"
#include "workbench/translation_memory.h"

namespace {

using namespace quillan;

constexpr int kScripts = 87;
constexpr int kEntries = 16 * 256;

// Japanese lines as a game has them: a stock of sentences of 8 to 40 kana,
// kanji and control codes, many repeated (greetings, answers) and many a
// code or two away from another one.
std::vector<uint16_t> RandomLine(std::mt19937 &random) {
  std::vector<uint16_t> line;
  int length = 8 + int(random() % 33);
  for (int i = 0; i < length; ++i) {
    unsigned pick = random() % 10;
    line.push_back(pick < 7   ? uint16_t(0x91 + random() % 100)
                   : pick < 9 ? uint16_t(0x100 + random() % 300)
                              : uint16_t(1 + random() % 4));
  }
  return line;
}

const CTranslationMemory &Project() {
  static const CTranslationMemory memory = [] {
    CTranslationMemory m;
    std::mt19937 random(87);
    std::vector<std::vector<uint16_t>> stock;
    for (int i = 0; i < 60000; ++i)
      stock.push_back(RandomLine(random));
    for (int s = 0; s < kScripts; ++s) {
      std::string name = "X5S" + std::to_string(1000 + s) + ".bin";
      for (int i = 0; i < kEntries; ++i) {
        // Skewed reuse: a few lines very often, most once or twice.
        size_t pick = size_t(std::pow(double(random() % 10000) / 10000.0, 3.0) * double(stock.size()));
        std::vector<uint16_t> japanese = stock[pick];
        if (random() % 4 == 0) japanese[random() % japanese.size()] = uint16_t(0x91 + random() % 100);
        EnglishString english = {0};
        if (random() % 2 == 0) english = testing::English("Line " + std::to_string(pick) + "\x02");
        m.Add({name, i / 256, i % 256, std::move(japanese), std::move(english), {}});
      }
    }
    return m;
  }();
  return memory;
}

void BM_SuggestionsForCurrentEntry(benchmark::State &state) {
  const CTranslationMemory &memory = Project();
  size_t index = 0, rows = 0;
  for (auto _ : state) {
    index = (index + 7919) % memory.Size();
    auto suggestions = memory.Suggest(memory.Entry(index).m_key, index);
    rows += suggestions.size();
    benchmark::DoNotOptimize(suggestions.data());
  }
  state.SetLabel(std::to_string(memory.Size()) + " entries, " +
                 std::to_string(double(rows) / double(state.iterations())) + " suggestions per entry");
}
BENCHMARK(BM_SuggestionsForCurrentEntry)->Name("Team/Suggestions/87Scripts")->Unit(benchmark::kMillisecond);

// A 16-page script with English on every page.
struct CPoFixture {
  testing::CScratchDir m_dir;
  CTranslationDocument m_doc;
  std::filesystem::path m_po;
  CPoFixture() {
    std::vector<int> pages(16, 256);
    auto strings = testing::RandomEnglish(16, pages, 60);
    for (int page = 0; page < 16; ++page) {
      auto bytes = EnglishChunkBytes(std::span<const EnglishString>(strings).subspan(size_t(page) * 256, 256));
      testing::WriteBytes(m_dir.Path() / "Scripts" / "PATCHED INFO" / "BIG" /
                              ("x5BIG" + std::string(1, char('0' + page)) + ".tk7"),
                          bytes);
    }
    auto opened = testing::OpenBuiltScript(m_doc, m_dir.Path(), "x5BIG.bin", testing::LayoutScriptSpec(48, pages));
    if (!opened) throw std::runtime_error(opened.Error().Message());
    m_po = m_dir.Path() / "big.po";
  }
};

void BM_ExportPo(benchmark::State &state) {
  CPoFixture fixture;
  for (auto _ : state) {
    auto text = FormatPoFile(ExportPoCatalog(fixture.m_doc, nullptr));
    if (!text || !WriteFileAtomic(fixture.m_po, *text)) state.SkipWithError("export failed");
  }
  state.SetLabel("16 pages, " + std::to_string(std::filesystem::file_size(fixture.m_po)) + " bytes");
}
BENCHMARK(BM_ExportPo)->Name("Team/ExportPo/16Pages")->Unit(benchmark::kMillisecond);

void BM_ImportPo(benchmark::State &state) {
  CPoFixture fixture;
  auto catalog = ExportPoCatalog(fixture.m_doc, nullptr);
  for (size_t i = 0; i < catalog.m_messages.size(); i += 4)
    catalog.m_messages[i].m_str = "Changed line " + std::to_string(i) + "{02}";
  auto text = FormatPoFile(catalog);
  if (!text || !WriteFileAtomic(fixture.m_po, *text)) {
    state.SkipWithError("export failed");
    return;
  }
  int imported = 0;
  const auto original = fixture.m_doc.EnglishStrings();
  for (auto _ : state) {
    auto read = ReadPoFile(fixture.m_po);
    if (!read) {
      state.SkipWithError(read.Error().Message().c_str());
      break;
    }
    auto plan = PlanPoImport(fixture.m_doc, nullptr, *read);
    imported = plan.m_imported;
    {
      CTextEdit edit(fixture.m_doc, "Import PO");
      for (const auto &change : plan.m_changes)
        edit.At(change.m_page, change.m_line) = change.m_text;
      edit.Commit();
    }
    CSaveOptions options;
    options.m_writeCodeBook = false;
    options.m_backups = 0;
    if (!SaveEnglishText(fixture.m_doc, options)) state.SkipWithError("chunk files not written");
    state.PauseTiming();
    fixture.m_doc.LoadedStrings() = original;
    state.ResumeTiming();
  }
  state.SetLabel("16 pages, " + std::to_string(imported) + " messages changed, chunk files written");
}
BENCHMARK(BM_ImportPo)->Name("Team/ImportPo/16Pages")->Unit(benchmark::kMillisecond);

} // namespace
