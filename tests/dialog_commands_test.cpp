// The main dialog's navigation and insert commands, and its shell: the open,
// close and focus rules, through the fake platform.

#include "support/dialog_fixture.h"
#include "support/scratch_dir.h"
#include "view/menu_table.h"

namespace quillan {
namespace {

using testing::CDialogTest;
using Elements = std::vector<uint16_t>;

class Commands : public CDialogTest {
protected:
  void SetUp() override {
    CDialogTest::SetUp();
    OpenScript({256, 256, 37});
  }
};

TEST_F(Commands, PageButtonsKeepTheLineWithinThePage) {
  m_dlg->m_currentLine = 200;
  m_dlg->OnCommand(kIdNextPage);
  EXPECT_EQ(m_dlg->m_currentPage, 1);
  EXPECT_EQ(m_dlg->m_currentLine, 200);
  m_dlg->OnCommand(kIdLastPage);
  EXPECT_EQ(m_dlg->m_currentPage, 2);
  EXPECT_EQ(m_dlg->m_currentLine, 36) << "the last page has 37 entries";
  EXPECT_EQ(m_platform.m_scrollMax, 36);
  m_dlg->OnCommand(kIdNextPage);
  EXPECT_EQ(m_dlg->m_currentPage, 2) << "next on the last page stays";
  m_dlg->OnCommand(kIdPrevPage);
  m_dlg->OnCommand(kIdFirstPage);
  m_dlg->OnCommand(kIdPrevPage);
  EXPECT_EQ(m_dlg->m_currentPage, 0);
  EXPECT_EQ(m_platform.m_scrollMax, 255);
}

TEST_F(Commands, TheScrollBarMovesLines) {
  struct Case {
    CScrollRequest request;
    int from, position, to;
  } cases[] = {
      {CScrollRequest::LineUp, 1, 0, 0},    {CScrollRequest::LineUp, 0, 0, 0},
      {CScrollRequest::LineDown, 254, 0, 255}, {CScrollRequest::LineDown, 255, 0, 255},
      {CScrollRequest::ThumbTrack, 3, 77, 77}, {CScrollRequest::Top, 9, 0, 0},
      {CScrollRequest::Bottom, 9, 0, 255},   {CScrollRequest::PageDown, 9, 0, 9},
  };
  for (const auto &c : cases) {
    m_platform.m_scrollPos = c.from;
    m_dlg->m_viewTopRow = 3;
    m_dlg->OnVScroll(c.request, c.position);
    EXPECT_EQ(m_dlg->m_currentLine, c.to) << int(c.request) << " from " << c.from;
    EXPECT_EQ(m_platform.m_scrollPos, c.to);
  }
  // A spin step swallows the two scroll messages it causes.
  m_platform.m_scrollPos = 5;
  m_dlg->OnSpin(kIdEnglishSpin, -1);
  m_dlg->OnVScroll(CScrollRequest::Top, 0);
  m_dlg->OnVScroll(CScrollRequest::Top, 0);
  EXPECT_EQ(m_dlg->m_currentLine, 9) << "both echoes are ignored";
  m_dlg->OnVScroll(CScrollRequest::Top, 0);
  EXPECT_EQ(m_dlg->m_currentLine, 0);
}

TEST_F(Commands, SpinStepsStopAtTheEndOfTheText) {
  m_dlg->LoadedCurrent() = Elements(100, 'a');
  m_dlg->m_viewTopRow = 0;
  m_dlg->OnSpin(kIdEnglishSpin, 1);
  EXPECT_EQ(m_dlg->m_viewTopRow, 1);
  m_dlg->OnSpin(kIdEnglishSpin, -1);
  m_dlg->OnSpin(kIdEnglishSpin, -1);
  EXPECT_EQ(m_dlg->m_viewTopRow, 0);
  m_dlg->LoadedCurrent() = Elements(60, 'a');
  m_dlg->OnSpin(kIdEnglishSpin, 1);
  EXPECT_EQ(m_dlg->m_viewTopRow, 0) << "the end of a 60-element text is in view";
  // The Japanese pane: a 4-code entry is all in view.
  m_dlg->OnSpin(kIdJapaneseSpin, 1);
  EXPECT_EQ(m_dlg->m_japaneseTopRow, 0);
}

TEST_F(Commands, GotoAsksAgainForALineTooFar) {
  m_platform.m_gotoLines = {257u, 256u};
  m_dlg->OnCommand(kIdGoto);
  EXPECT_EQ(m_dlg->m_currentLine, 255);
  ASSERT_EQ(m_platform.m_messages.size(), 1u);
  EXPECT_EQ(m_platform.m_messages[0].m_text, "Went to far");
  m_platform.m_gotoLines = {std::nullopt};
  m_dlg->OnCommand(kIdGoto);
  EXPECT_EQ(m_dlg->m_currentLine, 255);
}

TEST_F(Commands, SearchWrapsWithinThePageAndSkipsTheCurrentLine) {
  auto &strings = m_dlg->LoadedStrings();
  strings[0] = {'a', 'b', 'c', 0};
  strings[7] = {'x', 'b', 'c', 'y', 0};
  m_dlg->m_currentLine = 255;
  m_platform.m_searchTexts = {u"bc"};
  m_dlg->OnCommand(kIdSearchForText);
  EXPECT_EQ(m_dlg->m_currentLine, 0) << "the walk wraps to line 0 first";
  m_platform.m_searchTexts = {u"bc"};
  m_dlg->OnCommand(kIdSearchForText);
  EXPECT_EQ(m_dlg->m_currentLine, 7);
  m_platform.m_searchTexts = {u"xbcy"};
  m_dlg->OnCommand(kIdSearchForText);
  EXPECT_EQ(m_dlg->m_currentLine, 7);
  ASSERT_FALSE(m_platform.m_messages.empty());
  EXPECT_EQ(m_platform.m_messages.back().m_text, "String not found") << "the current line is never tested";
}

TEST_F(Commands, ClickPlacesTheCursorOnlyOnText) {
  m_dlg->LoadedCurrent() = Elements(10, 'a');
  m_dlg->m_cursorOffset = 9;
  m_dlg->OnLButtonUp(32 * 3 + 5, 220 + 5);
  EXPECT_EQ(m_dlg->m_cursorOffset, 3);
  m_dlg->OnLButtonUp(32 * 4 + 1, 220 + 32 + 1); // cell 19: past the text
  EXPECT_EQ(m_dlg->m_cursorOffset, 3);
  m_dlg->OnLButtonUp(5, 100); // the Japanese pane
  EXPECT_EQ(m_dlg->m_cursorOffset, 3);
}

TEST_F(Commands, MenuItemsInsertTheirCodes) {
  struct Case {
    int id;
    Elements inserted;
  } cases[] = {
      {kIdNewLine, {0x03}},        {kIdEndBubbleArrow, {0x01}}, {kIdPause, {0x04}},
      {32841, {0x08, 2}},          {32854, {0x08, 15}},         {32802, {0x09, 1}},
      {32817, {0x09, 16}},         {32856, {0x0A, 3}},          {32786, {0x0F, 7}},
      {32828, {0x12}},             {32839, {0x1F}},             {32909, {0x11, 8}},
      {32874, {0x11, 32}},         {32908, {0x11, 40}},
  };
  for (const auto &c : cases) {
    m_dlg->LoadedCurrent() = {'A', 'B', 0};
    m_dlg->m_viewTopRow = 0;
    m_dlg->m_cursorOffset = 1;
    m_dlg->m_modified = 0;
    ASSERT_TRUE(m_dlg->OnCommand(c.id)) << c.id;
    Elements expected{'A'};
    expected.insert(expected.end(), c.inserted.begin(), c.inserted.end());
    expected.insert(expected.end(), {'B', 0});
    EXPECT_EQ(m_dlg->CurrentEnglish(), expected) << c.id;
    EXPECT_EQ(m_dlg->m_cursorOffset, 1 + int(c.inserted.size())) << c.id << ": the cursor stays on B";
    EXPECT_EQ(m_dlg->m_cursorChar, 'B');
    EXPECT_EQ(m_dlg->m_modified, 1);
  }
  // On a line holding only the marker, the code goes before it.
  m_dlg->LoadedCurrent() = {0};
  m_dlg->m_cursorOffset = 0;
  m_dlg->OnCommand(kIdNewLine);
  EXPECT_EQ(m_dlg->CurrentEnglish(), (Elements{0x03, 0}));
  EXPECT_EQ(m_dlg->m_cursorOffset, 1);
}

TEST_F(Commands, AmountDialogsInsertTheirValues) {
  struct Case {
    int id;
    std::optional<int> amount;
    std::optional<std::pair<int, int>> tab;
    Elements text;
  } cases[] = {
      {kIdTilt, 254, std::nullopt, {0x0B, 255, 0}},
      {kIdTilt, 255, std::nullopt, {}}, // would store 256, saved as the byte 0 that ends the string
      {kIdZoom, 0, std::nullopt, {}},   // would store 0
      {kIdZoom, 7, std::nullopt, {0x0C, 7, 0}},
      {kIdTab, std::nullopt, std::make_pair(1, 1), {}}, // would store h - 1 = 0
      {kIdTab, std::nullopt, std::make_pair(2, 255), {0x0E, 1, 255, 0}},
      {kIdTextCharacters, 0xE3, std::nullopt, {0xE3, 0}},
  };
  for (const auto &c : cases) {
    m_dlg->LoadedCurrent().clear();
    m_dlg->m_cursorOffset = 0;
    if (c.id == kIdTilt) m_platform.m_tilts = {c.amount};
    if (c.id == kIdZoom) m_platform.m_zooms = {c.amount};
    if (c.id == kIdTab) m_platform.m_tabs = {c.tab};
    if (c.id == kIdTextCharacters) m_platform.m_chartCodes = {c.amount};
    m_dlg->OnCommand(c.id);
    EXPECT_EQ(m_dlg->CurrentEnglish(), c.text) << c.id;
  }
  // Cancel inserts nothing but still counts as a change.
  m_dlg->LoadedCurrent().clear();
  m_dlg->m_modified = 0;
  m_dlg->OnCommand(kIdTilt);
  EXPECT_TRUE(m_dlg->CurrentEnglish().empty());
  EXPECT_EQ(m_dlg->m_modified, 1);
}

TEST_F(Commands, TheMenuBarHasItsTenEntries) {
  auto menu = MainMenu(m_dlg->NameLabels());
  ASSERT_EQ(menu.size(), 10u);
  EXPECT_EQ(menu[0].m_caption, "&File");
  EXPECT_EQ(menu[1].m_caption, "&Edit");
  EXPECT_EQ(menu[2].m_id, kIdGoto);
  EXPECT_EQ(menu.back().m_caption, "TK&7 Text Characters");
  // Every item of the menu is handled by the dialog.
  std::function<void(const std::vector<CMenuEntry> &)> walk = [&](const std::vector<CMenuEntry> &entries) {
    for (const auto &entry : entries) {
      if (!entry.m_entries.empty()) {
        walk(entry.m_entries);
      } else if (entry.m_id) {
        EXPECT_TRUE(m_dlg->OnCommand(entry.m_id)) << entry.m_caption; // dialogs answer Cancel here
      }
    }
  };
  walk(menu);
}

TEST_F(Commands, IdentifiesTheKanjiUnderThePointer) {
  m_dlg->PaintPanes(); // the entry shown: kana, kanji 0x100, ASCII, end
  m_platform.m_kanjiChars = {u"\u65E5"};
  m_dlg->m_modified = 0;
  m_dlg->OnRButtonUp(32 * 1 + 3, 20 + 3); // cell 1
  EXPECT_EQ(m_dlg->CodeBook()[0], 0x65E5);
  EXPECT_EQ(m_dlg->m_modified, 1) << "an identification is a change to save";
  m_dlg->m_kanjiStore[5].glyph.fill(0); // a record with the script's glyph of kanji 0x100
  m_dlg->OnCommand(kIdSaveKanjiDatabase);
  auto stored = LoadKanjiStore(KanjiStorePath(m_dir));
  ASSERT_TRUE(stored.Ok());
  bool learnt = false;
  for (const auto &record : stored->m_store) learnt = learnt || record.code == 0x65E5;
  EXPECT_TRUE(learnt) << "Save Kanji Database matches and writes the database";
  m_platform.m_kanjiChars = {u"\u4E00"};
  m_dlg->OnRButtonUp(3, 20 + 3); // cell 0: a kana
  EXPECT_EQ(m_dlg->CodeBook()[0], 0x65E5);
  m_platform.m_kanjiChars = {std::nullopt};
  m_dlg->OnRButtonUp(32 + 3, 23);
  EXPECT_EQ(m_dlg->CodeBook()[0], 0x65E5);
}

TEST_F(Commands, ClosingAsksWhileTheTextIsUnsaved) {
  m_dlg->m_modified = 1;
  m_platform.m_answers = {CMessageAnswer::Cancel};
  EXPECT_FALSE(m_dlg->OnClose());
  EXPECT_EQ(m_dlg->m_closing, 0);
  EXPECT_EQ(m_platform.m_messages.back().m_text, "File not saved.  Save it now?");
  m_platform.m_answers = {CMessageAnswer::No};
  EXPECT_TRUE(m_dlg->OnClose());
}

TEST_F(Commands, OpeningAsksFirstAndABadFileKeepsTheDocument) {
  m_dlg->LoadedStrings()[3] = {'k', 0};
  m_dlg->m_modified = 1;
  m_platform.m_answers = {CMessageAnswer::Cancel};
  EXPECT_FALSE(m_dlg->OnCommand(kIdOpenJapaneseText) && m_dlg->m_scriptFileName != "X5ABC.bin");
  EXPECT_EQ(m_dlg->m_scriptFileName, "X5ABC.bin");
  ASSERT_TRUE(std::filesystem::copy_file(m_dir / "X5ABC.bin", m_dir / "X5BAD.bin"));
  std::filesystem::resize_file(m_dir / "X5BAD.bin", 30);
  m_platform.m_answers = {CMessageAnswer::No};
  m_platform.m_openFiles = {m_dir / "X5BAD.bin"};
  m_dlg->OnCommand(kIdOpenJapaneseText);
  EXPECT_EQ(m_dlg->m_scriptFileName, "X5ABC.bin");
  EXPECT_EQ(m_dlg->EnglishStrings()[3], (Elements{'k', 0}));
  EXPECT_NE(m_platform.m_messages.back().m_text.find("Error opening file"), std::string::npos);
  EXPECT_NE(m_platform.m_messages.back().m_text.find("X5BAD.bin"), std::string::npos);
}

TEST_F(Commands, SavedTextComesBackOnTheNextOpenAndCompresses) {
  m_dlg->LoadedCurrent() = {'H', 'i', 0};
  m_dlg->LoadedCodeBook()[0] = 0x65E5;
  m_dlg->m_modified = 1;
  m_platform.m_answers = {CMessageAnswer::Yes};
  ASSERT_TRUE(m_dlg->OnClose()) << "Yes saves, then closes";
  EXPECT_EQ(m_dlg->m_modified, 0);
  EXPECT_TRUE(std::filesystem::exists(m_dir / "Scripts/PATCHED INFO/ABC/X5ABC0.tk7"));
  EXPECT_TRUE(std::filesystem::exists(m_dir / "data/kanjiCB/ABC.kcb"));

  testing::CFakePlatform platform;
  CQuillanDlg again(platform);
  ASSERT_TRUE(again.OnInitDialog(m_dir));
  ASSERT_TRUE(again.OpenScriptPath(m_dir / "X5ABC.bin"));
  EXPECT_EQ(again.EnglishAt(0, 0), (Elements{'H', 'i', 0}));
  EXPECT_EQ(again.CodeBook()[0], 0x65E5);

  // Compress!!! needs the English font; the demo folder has one.
  std::filesystem::create_directories(m_dir / "data");
  std::filesystem::copy_file(std::filesystem::path(QUILLAN_SOURCE_DIR) / "examples/demo/data/tk7-2.fon",
                             m_dir / "data/tk7-2.fon", std::filesystem::copy_options::overwrite_existing);
  again.OnCommand(kIdCompress);
  ASSERT_TRUE(std::filesystem::exists(m_dir / "compress/X5ABC.bin")) << platform.m_messages.back().m_text;
  auto compressed = CScriptFile::Open((m_dir / "compress/X5ABC.bin").string());
  ASSERT_TRUE(compressed.Ok()) << compressed.Error().Message();
  const uint16_t *entry = compressed.Value()->DecodeEntry(0, 0);
  EXPECT_EQ(std::vector<uint16_t>(entry, entry + 3), (Elements{'H', 'i', 0}));
}

TEST(DialogStart, StartsTimersAndCreatesTheDatabase) {
  testing::CScratchDir scratch;
  const std::filesystem::path &dir = scratch.Path();
  testing::CFakePlatform platform;
  CQuillanDlg dlg(platform);
  ASSERT_TRUE(dlg.OnInitDialog(dir));
  EXPECT_EQ(platform.m_timers[kTimerEdit], 10);
  EXPECT_EQ(platform.m_timers[kTimerBlink], 600);
  EXPECT_EQ(platform.m_scrollMax, 10239);
  EXPECT_FALSE(platform.m_menuEnabled[kIdSaveEnglishText]);
  ASSERT_FALSE(platform.m_messages.empty());
  EXPECT_EQ(platform.m_messages[0].m_caption, "No Database found");
  EXPECT_TRUE(std::filesystem::exists(dir / "data" / "glyphary.db"));
  dlg.EditTick();
  EXPECT_EQ(platform.m_status, "Page: 0\nLine: 1");
}

} // namespace
} // namespace quillan
