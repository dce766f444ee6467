// The cost of the undo history where the translator feels it: one key press
// in the window (the keyboard poll, the recorded edit and the repaint), and
// undo and redo of a page fill (256 strings back and forth, with the repaint),
// on the demo workspace with the fake platform.

#include <benchmark/benchmark.h>

#include <filesystem>

#include "core/keyboard_input.h"
#include "support/demo_workspace.h"
#include "support/fake_platform.h"
#include "workbench/quillan_dlg.h"

namespace {

using namespace quillan;

struct CBenchWindow {
  CBenchWindow() {
    m_dir = std::filesystem::temp_directory_path() / "quillan-edit-bench";
    std::filesystem::remove_all(m_dir);
    testing::WriteDemoWorkspace(m_dir);
    m_dlg = std::make_unique<CQuillanDlg>(m_platform);
    (void)m_dlg->OnInitDialog(m_dir);
    (void)m_dlg->OpenScriptPath(m_dir / "x5DEMO.bin");
    m_dlg->OnSetFocus();
    m_dlg->m_journalDelay = std::chrono::hours(1); // the journal is not what is measured
  }
  ~CBenchWindow() {
    m_dlg.reset();
    std::filesystem::remove_all(m_dir);
  }
  std::filesystem::path m_dir;
  testing::CFakePlatform m_platform;
  std::unique_ptr<CQuillanDlg> m_dlg;
};

void BM_KeyPress(benchmark::State &state) {
  CBenchWindow window;
  CQuillanDlg &dlg = *window.m_dlg;
  int typed = 0;
  for (auto _ : state) {
    window.m_platform.Press(0x1E, 'a');
    dlg.EditTick(); // poll, Typing step, repaint
    window.m_platform.Release(0x1E);
    dlg.EditTick();
    if (++typed == 60) { // keep the entry one screen long
      state.PauseTiming();
      typed = 0;
      dlg.LoadedCurrent().clear();
      dlg.ResetHistory();
      dlg.PlaceCursorAtEnd();
      state.ResumeTiming();
    }
  }
}
BENCHMARK(BM_KeyPress)->Name("Edit/KeyPressWithRecordingAndRepaint")->Unit(benchmark::kMicrosecond);

void BM_UndoRedoPageFill(benchmark::State &state) {
  CBenchWindow window;
  CQuillanDlg &dlg = *window.m_dlg;
  dlg.OnCommand(kIdFillWithNameAndNumber);
  for (auto _ : state) {
    dlg.OnCommand(kIdUndo);
    dlg.OnCommand(kIdRedo);
  }
  state.counters["steps"] = benchmark::Counter(double(state.iterations()) * 2, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_UndoRedoPageFill)->Name("Edit/UndoThenRedoOfAPageFill")->Unit(benchmark::kMicrosecond);

} // namespace
