// The keyboard editor of the English pane, driven through the fake
// platform's keyboard: typing, cursor moves, Backspace with control groups,
// line insert and delete, and the rules of held keys and Shift.

#include "core/keyboard_input.h"
#include "support/dialog_fixture.h"

namespace quillan {
namespace {

using testing::CDialogTest;
using Elements = std::vector<uint16_t>;

class Editor : public CDialogTest {
protected:
  void SetUp() override {
    CDialogTest::SetUp();
    OpenScript({256, 37});
  }
};

TEST_F(Editor, TypesBeforeTheCursorOrAppendsAtTheMarker) {
  SetText({'A', 'B', 0}, 2);
  Type("D");
  EXPECT_EQ(Text(), (Elements{'A', 'B', 'D', 0}));
  EXPECT_EQ(Cursor(), 3);
  EXPECT_EQ(m_dlg->m_modified, 1);

  SetText({'A', 'B', 0}, 1);
  Type("X");
  EXPECT_EQ(Text(), (Elements{'A', 'X', 'B', 0}));
  EXPECT_EQ(Cursor(), 2);
  EXPECT_EQ(m_dlg->m_cursorChar, 'B');

  // An empty line gets the character and a marker.
  SetText({}, 0);
  Type("Q");
  EXPECT_EQ(Text(), (Elements{'Q', 0}));

  // Characters outside 0x20-0x7E have no glyph and would not survive a save.
  Tap(0x1E, 0xE9);
  Tap(0x3B, 0x70 - 0x70 + 0x10); // a key whose layout character is a control character
  EXPECT_EQ(Text(), (Elements{'Q', 0}));
}

TEST_F(Editor, ScrollsWhenTypingPastTheWindowButNotWhenMoving) {
  Elements text(74, 'a');
  text.push_back(0);
  SetText(text, 74);
  Tap(kScanRight);
  EXPECT_EQ(m_dlg->m_viewTopRow, 0);
  EXPECT_EQ(m_dlg->m_cursorOffset, 60) << "Right at the end stays in the view";
  SetText(text, 74);
  Type("b");
  EXPECT_EQ(m_dlg->m_viewTopRow, 1);
  EXPECT_EQ(m_dlg->m_cursorOffset, 60);
  EXPECT_EQ(Cursor(), 75);
  EXPECT_EQ(Text()[75], 0);
}

TEST_F(Editor, MovesTheCursorWithTheArrows) {
  Elements text(100, 'a');
  text.back() = 0;
  struct Case {
    int scan, startTop, startOffset, top, offset;
  } cases[] = {
      {kScanUp, 0, 7, 0, 0},     // up in the first row goes to element 0
      {kScanUp, 2, 3, 1, 3},     // up in the first visible row scrolls
      {kScanUp, 0, 20, 0, 5},
      {kScanLeft, 0, 0, 0, 0},   // left at the first element stays
      {kScanLeft, 2, 0, 1, 0},   // left in the top-left cell scrolls a row
      {kScanDown, 0, 5, 0, 20},
      {kScanDown, 1, 68, 2, 68}, // down in the last visible row scrolls
      {kScanDown, 2, 65, 2, 69}, // down past the end is clamped to the marker
      {kScanRight, 1, 73, 1, 74},
  };
  for (const auto &c : cases) {
    Text() = text;
    m_dlg->m_viewTopRow = c.startTop;
    m_dlg->m_cursorOffset = c.startOffset;
    Tap(c.scan);
    EXPECT_EQ(m_dlg->m_viewTopRow * 15 + m_dlg->m_cursorOffset, c.top * 15 + c.offset)
        << "scan " << c.scan << " from " << c.startTop << "/" << c.startOffset;
  }
}

TEST_F(Editor, BackspaceRemovesControlGroupsWhole) {
  struct Case {
    Elements before;
    int cursor;
    Elements after;
    int cursorAfter;
  } cases[] = {
      {{'A', 8, 5, 0}, 3, {'A', 0}, 1},                 // on the marker: colour and argument go
      {{'X', 14, 3, 4, 'Y', 0}, 4, {'X', 'Y', 0}, 1},   // after a tab group: all three go
      {{'X', 8, 5, 'Y', 0}, 3, {'X', 'Y', 0}, 1},       // after a colour argument
      {{'X', 8, 5, 'Y', 0}, 2, {'X', 'Y', 0}, 1},       // right after the colour code
      {{'X', 13, 'Y', 0}, 2, {'X', 'Y', 0}, 1},         // code 13 alone
      {{'A', 'B', 'C', 0}, 2, {'A', 'C', 0}, 1},
      {{'A', 'B', 0}, 0, {'A', 'B', 0}, 0},             // nothing before the cursor
      {{'A', 'B', 0}, 2, {'A', 0}, 1},
      {{'A', 0}, 1, {}, 0},                             // the last character: the marker goes too
  };
  for (const auto &c : cases) {
    SetText(c.before, c.cursor);
    Tap(0x0E, 8);
    EXPECT_EQ(Text(), c.after) << "cursor " << c.cursor;
    EXPECT_EQ(Cursor(), c.cursorAfter) << "cursor " << c.cursor;
  }
  SetText({0}, 0);
  Tap(0x0E, 8);
  EXPECT_TRUE(Text().empty());
  ASSERT_FALSE(m_platform.m_messages.empty());
  EXPECT_EQ(m_platform.m_messages.back().m_text, "error here");
  Type("z");
  EXPECT_EQ(Text(), (Elements{'z', 0}));
}

TEST_F(Editor, HeldKeysActOnceAndShiftChangesDropTheKey) {
  SetText({0}, 0);
  m_platform.Press(0x1E, 'a');
  for (int i = 0; i < 5; ++i) m_dlg->EditTick();
  EXPECT_EQ(Text(), (Elements{'a', 0}));
  m_platform.Release(0x1E);
  m_dlg->EditTick();
  Tap(0x1E, 'a');
  EXPECT_EQ(Text(), (Elements{'a', 'a', 0}));

  // Shift pressed while a letter is held: nothing is typed.
  m_platform.Press(0x1E, 'a');
  m_platform.Press(kScanLeftShift);
  m_dlg->EditTick();
  m_dlg->EditTick();
  m_platform.ReleaseAll();
  m_dlg->EditTick();
  EXPECT_EQ(Text(), (Elements{'a', 'a', 'a', 0})) << "the first tick typed before Shift came";
}

TEST_F(Editor, IgnoresTheKeyboardWithoutFocusOrDocument) {
  SetText({0}, 0);
  m_dlg->OnKillFocus();
  Type("x");
  EXPECT_EQ(Text(), (Elements{0}));
  m_dlg->OnSetFocus();
  Type("x");
  EXPECT_EQ(Text(), (Elements{'x', 0}));
}

TEST_F(Editor, EnterInsertAndDeleteWorkOnLines) {
  auto &page = m_dlg->LoadedStrings();
  for (int line = 0; line < 256; ++line) page[size_t(line)] = {uint16_t('a' + line % 26), 0};
  m_dlg->m_currentLine = 10;
  Tap(kScanInsert);
  EXPECT_TRUE(page[10].empty());
  EXPECT_EQ(page[11], (Elements{'a' + 10, 0}));
  EXPECT_EQ(page[255], (Elements{uint16_t('a' + 254 % 26), 0})) << "the old line 255 is lost";
  EXPECT_EQ(Cursor(), 0);
  Tap(kScanDelete);
  EXPECT_EQ(page[10], (Elements{'a' + 10, 0}));
  EXPECT_TRUE(page[255].empty());

  // Enter moves to the next line, cursor at the end of its text.
  page[11] = Elements(100, 'q');
  page[11].back() = 0;
  Tap(0x1C, 13);
  EXPECT_EQ(m_dlg->m_currentLine, 11);
  EXPECT_EQ(m_platform.m_scrollPos, 11);
  EXPECT_EQ(m_dlg->m_viewTopRow, 2);
  EXPECT_EQ(m_dlg->m_cursorOffset, 69);
  m_dlg->m_currentLine = 255;
  Tap(0x1C, 13);
  EXPECT_EQ(m_dlg->m_currentLine, 255) << "the last line of a page stays";
}

TEST_F(Editor, ReportsTheStatusAndTheUnsavedMark) {
  m_dlg->m_currentPage = 1;
  m_dlg->m_currentLine = 4;
  m_dlg->EditTick();
  EXPECT_EQ(m_platform.m_status, "Page: 1\nLine: 5");
  EXPECT_EQ(m_platform.m_title, "X5ABC.bin - Quillan");
  Type("k");
  EXPECT_EQ(m_platform.m_title, "X5ABC.bin * - Quillan");
}

} // namespace
} // namespace quillan
