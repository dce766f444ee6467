// One paint of both panes, decode included, as every key press runs it: a
// demo entry (kana, colour codes, kanji) and the heaviest case, a Japanese
// pane of 75 kanji read from the file over a full English pane.

#include <benchmark/benchmark.h>

#include "core/document.h"
#include "support/demo_workspace.h"
#include "support/script_builder.h"
#include "view/pane_renderer.h"

namespace {

using namespace quillan;

void Open(CTranslationDocument &doc, const testing::CScriptSpec &spec) {
  auto script = CScriptFile::FromBytes(testing::BuildScript(spec).m_bytes, "x5BENCH.bin");
  doc.m_scriptFile = std::move(script.Value());
  doc.m_fileOpen = 1;
  doc.m_pageCount = doc.m_scriptFile->m_pageCount;
}

void Paint(benchmark::State &state, CTranslationDocument &doc) {
  static CPaneRenderer renderer = [] {
    CPaneRenderer r;
    CEmbeddedPictures pictures;
    (void)r.LoadFontSheets(pictures);
    (void)r.LoadPaneBackground(pictures);
    return r;
  }();
  for (auto _ : state) {
    doc.m_repaintJapanese = 0; // as after a key press
    benchmark::DoNotOptimize(renderer.PaintPanes(doc).Ok());
  }
}

void BM_PaintDemoEntry(benchmark::State &state) {
  CTranslationDocument doc;
  Open(doc, testing::DemoScriptSpec());
  doc.m_currentLine = 10;
  auto english = testing::DemoEnglishLine(10);
  doc.LoadedCurrent().assign(english.begin(), english.end());
  Paint(state, doc);
}
BENCHMARK(BM_PaintDemoEntry)->Name("PaintPanes/DemoEntry")->Unit(benchmark::kMicrosecond);

void BM_PaintKanjiPane(benchmark::State &state) {
  testing::CScriptSpec spec;
  spec.m_kanjiGlyphs.assign(16, testing::CKanjiBitmap{0x0F, 0xF0, 0x81, 0x18});
  testing::CEntryCodes entry;
  for (int i = 0; i < 150; ++i)
    entry.push_back(uint16_t(0x100 + i % 16)); // a record holds 255 bytes
  entry.push_back(0);
  spec.m_pages.push_back({entry});
  CTranslationDocument doc;
  Open(doc, spec);
  for (int i = 0; i < 8; ++i)
    doc.LoadedCodeBook()[size_t(i)] = uint16_t(0x4E00 + i); // half identified
  EnglishString english(600, 'W');
  for (size_t i = 0; i < english.size(); i += 6)
    english[i] = ' ';
  doc.LoadedCurrent() = english;
  Paint(state, doc);
}
BENCHMARK(BM_PaintKanjiPane)->Name("PaintPanes/75Kanji")->Unit(benchmark::kMicrosecond);

} // namespace
