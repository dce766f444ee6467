// The team commands of the main dialog on the fake platform: Export PO and
// Import PO from the File menu, the Suggestions panel's rows and taking one
// with Ctrl+1 ... Ctrl+9.

#include <gtest/gtest.h>

#include "codec/english_text.h"
#include "core/file_io.h"
#include "support/codec_fixture.h"
#include "support/dialog_fixture.h"
#include "support/script_builder.h"
#include "workbench/po_file.h"
#include "workbench/team_tools.h"
#include "workbench/translation_memory.h"

namespace quillan {
namespace {

using testing::English;

class TeamDialogTest : public testing::CDialogTest {
protected:
  // Line 0 and 1 alike, line 2 similar with another ending, line 3 unlike.
  void OpenTeamScript() {
    testing::CScriptSpec spec;
    spec.m_pages.resize(1);
    spec.m_pages[0] = {{0x91, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x02, 0},
                       {0x91, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x02, 0},
                       {0x91, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x99, 0x03, 0},
                       {0xA0, 0xA1, 0x01, 0}};
    ASSERT_TRUE(WriteFileAtomic(m_dir / "X5TEAM.bin", testing::BuildScript(spec).m_bytes).Ok());
    // Another script of the working folder, read from its files.
    spec.m_pages[0].push_back({0xB1, 0xB2, 0x01, 0});
    ASSERT_TRUE(WriteFileAtomic(m_dir / "X5MORE.bin", testing::BuildScript(spec).m_bytes).Ok());
    std::vector<EnglishString> more = {{0}, {0}, {0}, English("Other\x01"), English("Far\x01")};
    testing::WriteBytes(m_dir / "Scripts" / "PATCHED INFO" / "MORE" / "X5MORE0.tk7", EnglishChunkBytes(more));
    testing::WriteText(m_dir / "data" / "glossary.txt", "\xe3\x81\x82\xe3\x81\x84\tAi\tthe name\n");
    ASSERT_TRUE(m_dlg->OpenScriptPath(m_dir / "X5TEAM.bin"));
    m_dlg->LoadedAt(0, 0) = English("Hello\x02");
  }
  void GoTo(int line) {
    m_dlg->m_currentLine = line;
    m_dlg->PlaceCursorAtEnd();
  }
};

TEST_F(TeamDialogTest, SuggestsAndTakesWithTheEntrysOwnEnding) {
  OpenTeamScript();
  GoTo(1);
  auto rows = m_dlg->m_team->CurrentSuggestions();
  ASSERT_GE(rows.size(), 1u);
  EXPECT_EQ(rows[0].m_kind, CSuggestionRow::CKind::Exact);
  EXPECT_EQ(rows[0].m_number, 1);
  EXPECT_EQ(rows[0].m_text, "Hello{02}");
  EXPECT_EQ(rows[0].m_detail, "1x: X5TEAM.bin 0:0");
  EXPECT_FALSE(m_dlg->m_team->TakeSuggestion(2));
  ASSERT_TRUE(m_dlg->m_team->TakeSuggestion(1));
  EXPECT_EQ(m_dlg->CurrentEnglish(), English("Hello\x02"));
  EXPECT_TRUE(m_dlg->m_modified);
  ASSERT_TRUE(m_dlg->Undo()) << "taking a suggestion is undoable";
  EXPECT_TRUE(TranslationKey(m_dlg->CurrentEnglish()).empty());
  ASSERT_TRUE(m_dlg->Redo());

  GoTo(2); // 7 of 9 codes alike: 77 %
  rows = m_dlg->m_team->CurrentSuggestions();
  ASSERT_GE(rows.size(), 1u);
  EXPECT_EQ(rows[0].m_kind, CSuggestionRow::CKind::Fuzzy);
  EXPECT_EQ(rows[0].m_detail.substr(0, 4), "77 %");
  EXPECT_NE(rows[0].m_japanese.find("[{02}]"), std::string::npos) << rows[0].m_japanese;
  EXPECT_EQ(rows.back().m_kind, CSuggestionRow::CKind::Glossary);
  EXPECT_EQ(rows.back().m_text, "\xe3\x81\x82\xe3\x81\x84 = Ai");
  ASSERT_TRUE(m_dlg->m_team->TakeSuggestion(1));
  EXPECT_EQ(m_dlg->CurrentEnglish(), English("Hello\x03")) << "the entry's own ending code";

  GoTo(3); // its twin is in the other script
  rows = m_dlg->m_team->CurrentSuggestions();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].m_text, "Other{01}");
  EXPECT_EQ(rows[0].m_detail, "1x: X5MORE.bin 0:3");
  EXPECT_FALSE(m_dlg->m_team->TakeSuggestion(2));

  m_dlg->m_currentLine = 0;
  m_dlg->LoadedCurrent() = {0}; // nothing like it is translated
  m_dlg->LoadedAt(0, 1) = {0};
  m_dlg->LoadedAt(0, 2) = {0};
  EXPECT_TRUE(m_dlg->m_team->CurrentSuggestions().empty() ||
              m_dlg->m_team->CurrentSuggestions()[0].m_kind == CSuggestionRow::CKind::Glossary);
  EXPECT_FALSE(m_dlg->m_team->TakeSuggestion(1));
}

TEST_F(TeamDialogTest, ExportAndImportFromTheFileMenu) {
  OpenTeamScript();
  auto po = m_dir / "team.po";
  m_platform.m_saveFiles.push_back(po);
  ASSERT_TRUE(m_dlg->OnCommand(kIdExportPo));
  ASSERT_EQ(m_platform.m_messages.size(), 1u);
  EXPECT_NE(m_platform.m_messages[0].m_text.find("4 messages, 1 translated"), std::string::npos)
      << m_platform.m_messages[0].m_text;
  auto catalog = ReadPoFile(po);
  ASSERT_TRUE(catalog.Ok()) << catalog.Error().Message();
  EXPECT_EQ(catalog->m_messages[0].m_str, "Hello{02}") << "the text in memory, not only what was saved";

  catalog->m_messages[1].m_str = "World{02}";
  catalog->m_messages[3].m_str = "Bad {zz}";
  auto text = FormatPoFile(*catalog);
  ASSERT_TRUE(text.Ok());
  testing::WriteText(po, *text);
  m_dlg->m_modified = 0;
  m_platform.m_messages.clear();
  m_platform.m_openFiles.push_back(po);
  ASSERT_TRUE(m_dlg->OnCommand(kIdImportPo));
  EXPECT_EQ(m_dlg->EnglishAt(0, 1), English("World\x02"));
  EXPECT_TRUE(m_dlg->EnglishAt(0, 3).empty() || m_dlg->EnglishAt(0, 3) == EnglishString{0});
  EXPECT_TRUE(m_dlg->m_modified);
  ASSERT_EQ(m_platform.m_messages.size(), 1u);
  const std::string &report = m_platform.m_messages[0].m_text;
  EXPECT_NE(report.find("0\t3\trefused\tunknown marker {zz}"), std::string::npos) << report;
  EXPECT_NE(report.find("imported: 1\nunchanged: 1\nskipped: 0\nrefused: 1\n"), std::string::npos) << report;
  // The import is one step of the undo history.
  ASSERT_TRUE(m_dlg->Undo());
  EXPECT_NE(m_dlg->EnglishAt(0, 1), English("World\x02"));
  ASSERT_TRUE(m_dlg->Redo());
  EXPECT_EQ(m_dlg->EnglishAt(0, 1), English("World\x02"));

  // A cancelled dialog does nothing; a broken file is named.
  m_platform.m_messages.clear();
  ASSERT_TRUE(m_dlg->OnCommand(kIdImportPo));
  EXPECT_TRUE(m_platform.m_messages.empty());
  testing::WriteText(m_dir / "broken.po", "msgid \"x\n");
  m_platform.m_openFiles.push_back(m_dir / "broken.po");
  ASSERT_TRUE(m_dlg->OnCommand(kIdImportPo));
  ASSERT_EQ(m_platform.m_messages.size(), 1u);
  EXPECT_NE(m_platform.m_messages[0].m_text.find("broken.po"), std::string::npos);
  EXPECT_EQ(m_dlg->EnglishAt(0, 1), English("World\x02"));
}

} // namespace
} // namespace quillan
