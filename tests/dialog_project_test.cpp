// The dialog's commands of the project panels: going to an entry of the open
// script or of another one, through the save question.

#include "support/dialog_fixture.h"

namespace quillan {
namespace {

class ProjectCommands : public testing::CDialogTest {
protected:
  void SetUp() override {
    CDialogTest::SetUp();
    OpenScript({256, 40}, "X5TWO.bin");
    OpenScript({256, 256, 37});
  }
};

TEST_F(ProjectCommands, GoToEntryOfTheOpenScript) {
  ASSERT_TRUE(m_dlg->GoToEntry(m_dir / "X5ABC.bin", 2, 30));
  EXPECT_EQ(m_dlg->m_currentPage, 2);
  EXPECT_EQ(m_dlg->m_currentLine, 30);
  EXPECT_EQ(m_dlg->m_linesOnPage, 37);
  EXPECT_EQ(m_platform.m_scrollMax, 36);
  EXPECT_EQ(m_platform.m_scrollPos, 30);
  EXPECT_FALSE(m_dlg->GoToEntry(m_dir / "X5ABC.bin", 2, 37)) << "no such entry";
  EXPECT_FALSE(m_dlg->GoToEntry(m_dir / "X5ABC.bin", 3, 0));
  EXPECT_EQ(m_dlg->m_currentLine, 30);
}

TEST_F(ProjectCommands, GoToEntryOfAnotherScriptAsksToSaveFirst) {
  m_dlg->LoadedCurrent() = {'x', 0};
  m_dlg->m_modified = 1;
  m_platform.m_answers.push_back(CMessageAnswer::Cancel);
  EXPECT_FALSE(m_dlg->GoToEntry(m_dir / "X5TWO.bin", 1, 5));
  EXPECT_EQ(m_dlg->m_scriptFileName, "X5ABC.bin") << "cancelled: nothing changes";
  EXPECT_EQ(m_dlg->m_modified, 1);

  m_platform.m_answers.push_back(CMessageAnswer::No);
  ASSERT_TRUE(m_dlg->GoToEntry(m_dir / "X5TWO.bin", 1, 5));
  EXPECT_EQ(m_dlg->m_scriptFileName, "X5TWO.bin");
  EXPECT_EQ(m_dlg->m_currentPage, 1);
  EXPECT_EQ(m_dlg->m_currentLine, 5);
  EXPECT_EQ(m_dlg->m_linesOnPage, 40);
  EXPECT_EQ(m_dlg->m_modified, 0);

  EXPECT_FALSE(m_dlg->OpenProjectScript(m_dir / "missing.bin"));
  EXPECT_EQ(m_dlg->m_scriptFileName, "X5TWO.bin");
}

} // namespace
} // namespace quillan
