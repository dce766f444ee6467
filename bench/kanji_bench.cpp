// The kanji match over a script's 1792 glyphs and the database's 10000
// records, by the glyph index and by a plain scan; loading and saving the
// database file.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>

#include "kanji/kanji_match.h"
#include "kanji/kanji_store.h"
#include "support/kanji_reference.h"
#include "support/scratch_dir.h"

namespace {

using namespace quillan;

KanjiGlyph RandomGlyph(std::mt19937 &random) {
  KanjiGlyph glyph;
  for (uint8_t &byte : glyph)
    byte = uint8_t(random());
  return glyph;
}

// A database seeded from a font of 9388 glyphs (the rest blank), a third of
// them identified, and a script whose 1792 kanji mostly appear in it.
struct CMatchFixture {
  CKanjiStore m_store;
  KanjiCodeBook m_book = BlankCodeBook();
  std::vector<uint8_t> m_script;

  CMatchFixture() {
    std::mt19937 random(7);
    for (int i = 0; i < 9388; ++i) {
      m_store[size_t(i)].glyph = RandomGlyph(random);
      if (random() % 3 == 0) m_store[size_t(i)].code = uint16_t(0x4E00 + random() % 0x5000);
    }
    m_script.assign(5872, 0);
    for (int code = 0x100; code <= 0x7FF; ++code) {
      KanjiGlyph glyph = random() % 10 ? m_store[random() % 9388].glyph : RandomGlyph(random);
      m_script.insert(m_script.end(), glyph.begin(), glyph.end());
    }
    for (int i = 0; i < 200; ++i)
      m_book[random() % 1792] = uint16_t(0x6F00 + i);
  }
};

const CMatchFixture &Fixture() {
  static const CMatchFixture fixture;
  return fixture;
}

template <bool kIndexed> void BM_MatchKanjiStore(benchmark::State &state) {
  const CMatchFixture &fixture = Fixture();
  for (auto _ : state) {
    state.PauseTiming();
    CKanjiStore store = fixture.m_store;
    KanjiCodeBook book = fixture.m_book;
    state.ResumeTiming();
    if constexpr (kIndexed) {
      MatchKanjiStore(fixture.m_script, book, store);
    } else {
      testing::PlainScanMatch(fixture.m_script, book, store);
    }
    benchmark::DoNotOptimize(book.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK_TEMPLATE(BM_MatchKanjiStore, true)->Name("MatchKanjiStore/indexed")->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_MatchKanjiStore, false)->Name("MatchKanjiStore/plain_scan")->Unit(benchmark::kMicrosecond);

void BM_KanjiStoreLoadAndSave(benchmark::State &state) {
  testing::CScratchDir dir;
  const auto path = KanjiStorePath(dir.Path());
  CKanjiStore store = Fixture().m_store;
  if (!SaveKanjiStore(store, path)) {
    state.SkipWithError("cannot write the database");
    return;
  }
  for (auto _ : state) {
    auto load = LoadKanjiStore(path);
    if (!load || !SaveKanjiStore(load->m_store, path)) {
      state.SkipWithError("load or save failed");
      break;
    }
  }
}
BENCHMARK(BM_KanjiStoreLoadAndSave)->Unit(benchmark::kMillisecond);

} // namespace
