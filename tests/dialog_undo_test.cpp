// Undo and redo of every kind of change in the main dialog, the captions of
// the Edit menu and the save point, with the fake platform.

#include <fstream>
#include <functional>

#include "core/keyboard_input.h"
#include "support/dialog_fixture.h"
#include "view/menu_table.h"

namespace quillan {
namespace {

using testing::CDialogTest;
using Elements = std::vector<uint16_t>;

Elements Ends(const std::string &text) {
  Elements elements(text.begin(), text.end());
  elements.push_back(0);
  return elements;
}

class Undo : public CDialogTest {
protected:
  struct CState {
    std::vector<EnglishString> m_strings;
    KanjiCodeBook m_book;
    CEditCursor m_cursor;
  };
  CState State() const { return {m_dlg->EnglishStrings(), m_dlg->CodeBook(), m_dlg->CursorState()}; }
  void ExpectState(const CState &state, const std::string &what) {
    EXPECT_TRUE(m_dlg->EnglishStrings() == state.m_strings) << what;
    EXPECT_TRUE(m_dlg->CodeBook() == state.m_book) << what;
    EXPECT_EQ(m_dlg->CursorState(), state.m_cursor) << what;
  }
  std::filesystem::path WriteFile(const std::string &name, const std::string &bytes) {
    std::ofstream(m_dir / name, std::ios::binary) << bytes;
    return m_dir / name;
  }
};

// Each change, undone and redone: the text, the code book and the cursor
// come back exactly, and the Edit menu names the change.
TEST_F(Undo, EveryKindOfChangeIsOneStepThatUndoesAndRedoes) {
  OpenScript({256, 8});
  struct Case {
    const char *m_caption; // the Undo item while the change is the last
    std::function<void()> m_change;
  } cases[] = {
      {"Undo Typing", [&] { Type("abc"); }},
      {"Undo Backspace", [&] { Tap(0x0E, 8); }},
      {"Undo Insert Line", [&] { Tap(kScanInsert); }},
      {"Undo Delete Line", [&] { Tap(kScanDelete); }},
      {"Undo New Line", [&] { m_dlg->OnCommand(kIdNewLine); }},
      {"Undo Blue", [&] { m_dlg->OnCommand(32841); }},
      {"Undo Tilt",
       [&] {
         m_platform.m_tilts = {7};
         m_dlg->OnCommand(kIdTilt);
       }},
      {"Undo Tab",
       [&] {
         m_platform.m_tabs = {std::pair(3, 4)};
         m_dlg->OnCommand(kIdTab);
       }},
      {"Undo Name 1", [&] { m_dlg->OnCommand(NameItemIds()[0]); }},
      {"Undo TK7 Text Characters",
       [&] {
         m_platform.m_chartCodes = {0x41};
         m_dlg->OnCommand(kIdTextCharacters);
       }},
      {"Undo Paste",
       [&] {
         m_platform.m_clipboard = u"pasted";
         m_dlg->OnCommand(kIdPasteEngToBoard);
       }},
      {"Undo Google Translate",
       [&] {
         WriteFile("quillan.conf", "translate-host = 127.0.0.1:9\n");
         m_platform.m_httpReply.m_status = 200;
         m_platform.m_httpReply.m_body = {'H', 'i'};
         m_dlg->OnCommand(kIdGoogleTranslate);
       }},
      {"Undo Fill with Numbers", [&] { m_dlg->OnCommand(kIdFillWithNumbers); }},
      {"Undo Fill with Name and Number", [&] { m_dlg->OnCommand(kIdFillWithNameAndNumber); }},
      {"Undo Fill from Text",
       [&] {
         m_platform.m_openFiles = {WriteFile("in.txt", "one\ntwo\n")};
         m_dlg->OnCommand(kIdFillFromText);
       }},
      {"Undo Fill from Script File",
       [&] {
         m_platform.m_openFiles = {WriteFile("in.dat", std::string("\0a\0b\0\0", 6))};
         m_dlg->OnCommand(kIdFillFromScriptFile);
       }},
      {"Undo Fill from VDR Text",
       [&] {
         m_platform.m_openFiles = {WriteFile("in.txn", "~0-3~\n first\n~1-2~\n second\n")};
         m_dlg->OnCommand(kIdFillFromVdrText);
       }},
      {"Undo Identify Kanji",
       [&] {
         m_dlg->PaintPanes();
         m_platform.m_kanjiChars = {u"\u65E5"};
         m_dlg->OnRButtonUp(32 + 3, 20 + 3); // the kanji 0x100 of the entry
       }},
  };
  for (const Case &c : cases) {
    // Some text to act on, the cursor inside it, on line 5 of page 0.
    m_dlg->ChangePage(0);
    m_dlg->m_currentLine = 5;
    SetText(Ends("hello"), 2);
    m_dlg->LoadedAt(0, 6) = Ends("next");
    m_dlg->LoadedCodeBook()[0] = 0x20;
    m_dlg->ResetHistory();
    CState before = State();

    c.m_change();
    CState after = State();
    EXPECT_FALSE(after.m_strings == before.m_strings && after.m_book == before.m_book) << c.m_caption;
    EXPECT_EQ(m_dlg->UndoCaption(), c.m_caption);
    EXPECT_EQ(m_platform.m_menuText[kIdUndo], c.m_caption);
    EXPECT_EQ(m_dlg->History().StepCount(), 1u) << c.m_caption << ": one step";

    // Undo from somewhere else: the window goes back to the change.
    m_dlg->ChangePage(1);
    m_dlg->OnCommand(kIdUndo);
    ExpectState(before, std::string(c.m_caption) + ", undone");
    EXPECT_EQ(m_platform.m_scrollPos, before.m_cursor.m_line) << c.m_caption;
    EXPECT_EQ(m_dlg->UndoCaption(), "Undo");
    EXPECT_EQ(m_platform.m_menuEnabled[kIdUndo], false) << c.m_caption;
    EXPECT_EQ(m_dlg->RedoCaption(), "Redo" + std::string(c.m_caption).substr(4));

    m_dlg->OnCommand(kIdRedo);
    ExpectState(after, std::string(c.m_caption) + ", redone");
  }
}

TEST_F(Undo, TypingInOneEntryIsOneStepUntilTheCursorMovesOrTheEntryChanges) {
  OpenScript({8});
  Type("abc");
  Type("de");
  EXPECT_EQ(m_dlg->History().StepCount(), 1u);
  Tap(kScanLeft);
  Type("x");
  EXPECT_EQ(m_dlg->History().StepCount(), 2u) << "a cursor move ends the typing step";
  Tap(0x1C, 13); // Enter: the next line
  Type("y");
  EXPECT_EQ(m_dlg->History().StepCount(), 3u);
  Tap(0x0E, 8);
  EXPECT_EQ(m_dlg->History().StepCount(), 4u) << "Backspace is a step of its own kind";

  m_dlg->OnCommand(kIdUndo);
  m_dlg->OnCommand(kIdUndo);
  EXPECT_EQ(m_dlg->m_currentLine, 1);
  EXPECT_TRUE(m_dlg->CurrentEnglish().empty());
  m_dlg->OnCommand(kIdUndo);
  EXPECT_EQ(m_dlg->m_currentLine, 0) << "undo goes back to the line of the change";
  EXPECT_EQ(m_dlg->CurrentEnglish(), Ends("abcde"));
  EXPECT_EQ(Cursor(), 4) << "the cursor where it was before the x";
  m_dlg->OnCommand(kIdUndo);
  EXPECT_TRUE(m_dlg->CurrentEnglish().empty());
  EXPECT_FALSE(m_dlg->Undo()) << "nothing more to undo";

  // A new change drops the redo steps.
  Type("z");
  EXPECT_FALSE(m_dlg->History().CanRedo());
  EXPECT_EQ(m_dlg->History().StepCount(), 1u);
}

TEST_F(Undo, TheSavePointClearsAndSetsTheUnsavedMark) {
  OpenScript({4}, "X5SAV.bin");
  Type("ab");
  EXPECT_EQ(m_dlg->WindowTitle(), "X5SAV.bin * - Quillan");
  m_dlg->OnCommand(kIdSaveEnglishText);
  EXPECT_EQ(m_dlg->m_modified, 0) << (m_platform.m_messages.empty() ? "" : m_platform.m_messages.back().m_text);
  Type("c"); // after the save: a step of its own, though typing goes on
  EXPECT_EQ(m_dlg->History().StepCount(), 2u);
  EXPECT_EQ(m_dlg->m_modified, 1);

  m_dlg->OnCommand(kIdUndo); // back to the saved text
  EXPECT_EQ(m_dlg->m_modified, 0);
  EXPECT_EQ(m_platform.m_title, "X5SAV.bin - Quillan");
  m_dlg->OnCommand(kIdUndo); // before the save
  EXPECT_EQ(m_dlg->m_modified, 1);
  EXPECT_EQ(m_platform.m_title, "X5SAV.bin * - Quillan");
  m_dlg->OnCommand(kIdRedo);
  EXPECT_EQ(m_dlg->m_modified, 0);
  m_dlg->OnCommand(kIdRedo);
  EXPECT_EQ(m_dlg->m_modified, 1);

  // Undo before the save, then a new change: the saved state cannot come
  // back, so no undo or redo clears the mark any more.
  m_dlg->OnCommand(kIdUndo);
  m_dlg->OnCommand(kIdUndo);
  Type("q");
  m_dlg->OnCommand(kIdUndo);
  EXPECT_EQ(m_dlg->m_modified, 1);
  m_dlg->OnCommand(kIdRedo);
  EXPECT_EQ(m_dlg->m_modified, 1);
}

TEST_F(Undo, OpeningAScriptStartsAFreshHistory) {
  OpenScript({4}, "X5ONE.bin");
  Type("a");
  m_platform.m_answers = {CMessageAnswer::No}; // do not save
  OpenScript({4}, "X5TWO.bin");
  EXPECT_FALSE(m_dlg->History().CanUndo());
  EXPECT_EQ(m_dlg->UndoCaption(), "Undo");
  EXPECT_EQ(m_dlg->m_modified, 0);
  m_dlg->OnCommand(kIdUndo);
  EXPECT_TRUE(m_dlg->CurrentEnglish().empty() || m_dlg->CurrentEnglish() == Ends(""));
}

TEST_F(Undo, AStepStoresOnlyWhatChanged) {
  OpenScript({256, 256, 256, 256});
  for (int page = 0; page < 4; ++page)
    for (int line = 0; line < 256; ++line)
      m_dlg->LoadedAt(page, line) = Ends("some earlier text");
  m_dlg->ResetHistory();
  m_dlg->OnCommand(kIdFillWithNumbers);
  const CEditStep &fill = m_dlg->History().UndoStep();
  EXPECT_EQ(fill.m_strings.size(), 256u) << "one page of strings, not the document";
  Type("x");
  EXPECT_EQ(m_dlg->History().UndoStep().m_strings.size(), 1u);
  EXPECT_LT(m_dlg->History().UndoStep().StoredElements(), 40u);
}

TEST_F(Undo, CancelPutsBackWhatAnEditTouchedAndRecordsNothing) {
  OpenScript({4});
  m_dlg->LoadedAt(0, 1) = Ends("kept");
  {
    CTextEdit edit(*m_dlg, "Trial");
    edit.At(0, 1) = Ends("changed");
    edit.SetCodeBookEntry(3, 0x4E00);
    edit.Cancel();
  }
  EXPECT_EQ(m_dlg->EnglishAt(0, 1), Ends("kept"));
  EXPECT_EQ(m_dlg->CodeBook()[3], 0x20);
  EXPECT_FALSE(m_dlg->History().CanUndo());
  {
    CTextEdit edit(*m_dlg, "Same");
    edit.At(0, 1) = Ends("kept"); // no real change: no step
  }
  EXPECT_FALSE(m_dlg->History().CanUndo());
}

} // namespace
} // namespace quillan
