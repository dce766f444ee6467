#pragma once
// A main dialog on a fake platform, started in a fresh temporary working
// folder, with a generated script open.

#include <gtest/gtest.h>

#include <filesystem>

#include "support/fake_platform.h"
#include "workbench/quillan_dlg.h"

namespace quillan::testing {

class CDialogTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  // Opens a generated script of pages with the given entry counts.
  void OpenScript(std::vector<int> pages, const std::string &name = "X5ABC.bin");
  // Presses and releases a key: the scan code with the character the
  // layout gives it (0 for keys without one).
  void Tap(int scan, uint8_t character = 0);
  void Type(const std::string &text);
  void SetText(const std::vector<uint16_t> &elements, int cursor); // cursor index in the text
  EnglishString &Text() { return m_dlg->LoadedCurrent(); }         // fixture text, not an edit
  int Cursor() const { return m_dlg->m_viewTopRow * 15 + m_dlg->m_cursorOffset; }

  std::filesystem::path m_dir;
  CFakePlatform m_platform;
  std::unique_ptr<CQuillanDlg> m_dlg;
};

} // namespace quillan::testing
