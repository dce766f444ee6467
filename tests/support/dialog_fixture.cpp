#include "support/dialog_fixture.h"

#include <unistd.h>

#include <string>

#include "core/file_io.h"
#include "support/script_builder.h"

namespace quillan::testing {

void CDialogTest::SetUp() {
  const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
  // The process id keeps runs of the same test from different build folders
  // at the same time apart.
  m_dir = std::filesystem::temp_directory_path() / (std::string("quillan-dlg-") + info->test_suite_name() + "-" +
                                                    info->name() + "-" + std::to_string(::getpid()));
  std::filesystem::remove_all(m_dir);
  std::filesystem::create_directories(m_dir / "data");
  m_dlg = std::make_unique<CQuillanDlg>(m_platform);
  ASSERT_TRUE(m_dlg->OnInitDialog(m_dir));
  m_platform.m_messages.clear(); // the new-database notice
}

void CDialogTest::TearDown() {
  m_dlg.reset();
  std::filesystem::remove_all(m_dir);
}

void CDialogTest::OpenScript(std::vector<int> pages, const std::string &name) {
  CScriptSpec spec;
  for (int count : pages) {
    spec.m_pages.emplace_back();
    for (int i = 0; i < count; ++i)
      spec.m_pages.back().push_back({uint16_t(0x91 + i % 5), 0x0100, uint16_t(0x41 + i % 26), 0});
  }
  spec.m_kanjiGlyphs.resize(1);
  ASSERT_TRUE(WriteFileAtomic(m_dir / name, BuildScript(spec).m_bytes).Ok());
  ASSERT_TRUE(m_dlg->OpenScriptPath(m_dir / name));
  m_dlg->OnSetFocus();
}

void CDialogTest::Tap(int scan, uint8_t character) {
  m_platform.Press(scan, character);
  m_dlg->EditTick();
  m_platform.Release(scan);
  m_dlg->EditTick();
}

void CDialogTest::Type(const std::string &text) {
  for (char c : text)
    Tap(0x1E, uint8_t(c)); // the scan code does not matter for typing
}

void CDialogTest::SetText(const std::vector<uint16_t> &elements, int cursor) {
  Text().assign(elements.begin(), elements.end());
  m_dlg->m_viewTopRow = 0;
  m_dlg->m_cursorOffset = cursor;
  while (m_dlg->m_cursorOffset >= 75) {
    m_dlg->m_cursorOffset -= 15;
    ++m_dlg->m_viewTopRow;
  }
}

} // namespace quillan::testing
