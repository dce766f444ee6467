// The window's keyboard source under the dialog's keyboard reader: scan codes
// and characters of Qt keys, and the queue that makes every press count once.

#include <string>
#include <vector>

#include <QString>
#include <gtest/gtest.h>

#include "app/keyboard_source.h"
#include "core/keyboard_input.h"
#include "support/fake_platform.h"

namespace quillan {
namespace {

// The dialog's keyboard reader reading from a CKeyboardSource.
class CSourcePlatform : public testing::CFakePlatform {
public:
  void KeyboardState(uint8_t (&state)[256]) override { m_source.NextState(state); }
  uint8_t TranslateKey(int scanCode) override { return m_source.Translate(scanCode); }
  CKeyboardSource m_source;
};

TEST(KeyboardSourceTest, AKeyRepeatedByTheServerCountsOnce) {
  // Presses queue two states each (the key down, then up again).
  CKeyboardSource source;
  source.Press(0x2D, 'x', 1000);
  EXPECT_EQ(source.PendingCount(), 2u);
  source.Press(0x2D, 'x', 1500); // no release since: the key repeating
  EXPECT_EQ(source.PendingCount(), 2u);
  source.Release(0x2D, 1540);
  source.Press(0x2D, 'x', 1540); // a release and a press at one time: repeating too
  EXPECT_EQ(source.PendingCount(), 2u);
  source.Release(0x2D, 1600);
  source.Press(0x2D, 'x', 1700); // pressed again
  EXPECT_EQ(source.PendingCount(), 4u);
  source.Release(0x2D, 0);
  source.Press(0x2D, 'x', 0); // without times, a release always re-arms the key
  EXPECT_EQ(source.PendingCount(), 6u);
  source.Press(0x0E, 8, 1800); // another key is no repeat
  EXPECT_EQ(source.PendingCount(), 8u);
  source.Clear(); // the focus went away: every key counts afresh
  source.Press(0x0E, 8, 1900);
  EXPECT_EQ(source.PendingCount(), 2u);
}

TEST(KeyboardSourceTest, ScanCodesOfQtKeys) {
  const QString xcb = QStringLiteral("xcb"), offscreen = QStringLiteral("offscreen"),
                windows = QStringLiteral("windows");
  struct CCase {
    int m_key;
    uint32_t m_native;
    QString m_platform;
    int m_scan;
  } cases[] = {
      // The editing keys by their Qt key, whatever the native code.
      {Qt::Key_Up, 111, xcb, 0xC8},
      {Qt::Key_Down, 0, offscreen, 0xD0},
      {Qt::Key_Left, 0, offscreen, 0xCB},
      {Qt::Key_Right, 0, offscreen, 0xCD},
      {Qt::Key_Insert, 118, xcb, 0xD2},
      {Qt::Key_Delete, 0, offscreen, 0xD3},
      {Qt::Key_Return, 36, xcb, 0x1C},
      {Qt::Key_Backspace, 0, offscreen, 0x0E},
      {Qt::Key_CapsLock, 0, offscreen, 0x3A},
      // Which Shift: X11 keycode 62 is the right one; unknown means left.
      {Qt::Key_Shift, 50, xcb, 0x2A},
      {Qt::Key_Shift, 62, xcb, 0x36},
      {Qt::Key_Shift, 0x36, windows, 0x36},
      {Qt::Key_Shift, 0, offscreen, 0x2A},
      // X11: evdev code + 8, the set-1 code of the main block.
      {Qt::Key_A, 38, xcb, 0x1E},
      {Qt::Key_Q, 24, xcb, 0x10},
      {Qt::Key_Space, 65, xcb, 0x39},
      // A French layout's A sits where Q is on a US keyboard: the place counts.
      {Qt::Key_A, 24, xcb, 0x10},
      // Windows: set-1 codes; an extended key (0x100) falls back to its US place.
      {Qt::Key_M, 0x32, windows, 0x32},
      {Qt::Key_Slash, 0x135, windows, 0x35},
      // Without native codes: the key's place on a US keyboard.
      {Qt::Key_A, 0, offscreen, 0x1E},
      {Qt::Key_M, 0, offscreen, 0x32},
      {Qt::Key_Exclam, 0, offscreen, 0x02},
      {Qt::Key_Question, 0, offscreen, 0x35},
      {Qt::Key_QuoteDbl, 0, offscreen, 0x28},
      {Qt::Key_Backslash, 0, offscreen, 0x2B},
      {Qt::Key_0, 0, offscreen, 0x0B},
      {Qt::Key_F1, 0, offscreen, 0},
      {Qt::Key_Eacute, 0, offscreen, 0},
  };
  for (const CCase &c : cases)
    EXPECT_EQ(ScanCodeOf(c.m_key, c.m_native, c.m_platform), c.m_scan)
        << "key " << std::hex << c.m_key << " native " << std::dec << c.m_native << " on "
        << c.m_platform.toStdString();
}

TEST(KeyboardSourceTest, CharactersOfQtKeys) {
  struct CCase {
    int m_key;
    QString m_text;
    uint8_t m_character;
  } cases[] = {
      {Qt::Key_A, QStringLiteral("a"), 'a'},
      {Qt::Key_A, QStringLiteral("A"), 'A'},
      {Qt::Key_Space, QStringLiteral(" "), ' '},
      {Qt::Key_AsciiTilde, QStringLiteral("~"), '~'},
      {Qt::Key_Return, QStringLiteral("\r"), 13},
      {Qt::Key_Enter, QString(), 13},
      {Qt::Key_Backspace, QStringLiteral("\b"), 8},
      // Nothing the game's sheets cannot show, nor control characters.
      {Qt::Key_Eacute, QStringLiteral("\u00E9"), 0},
      {Qt::Key_unknown, QStringLiteral("\u3042"), 0},
      {Qt::Key_Delete, QStringLiteral("\x7F"), 0},
      {Qt::Key_Tab, QStringLiteral("\t"), 0},
      {Qt::Key_A, QStringLiteral("\x01"), 0}, // Ctrl+A
      {Qt::Key_F1, QString(), 0},
      {Qt::Key_A, QStringLiteral("ab"), 0}, // a composed sequence
  };
  for (const CCase &c : cases)
    EXPECT_EQ(CharacterOf(c.m_key, c.m_text), c.m_character) << c.m_text.toStdString();
}

// What the reader reports, poll by poll, for a sequence of events given
// before the first poll.
struct CEvent {
  bool m_press;
  int m_scan;
  uint8_t m_character = 0;
};

std::vector<int> PollAll(CSourcePlatform &platform, CKeyboardInput &reader, std::vector<int> *shifts = nullptr) {
  std::vector<int> keys;
  while (platform.m_source.Pending()) {
    reader.Poll();
    keys.push_back(reader.m_key);
    if (shifts) shifts->push_back(reader.m_shiftDown);
  }
  return keys;
}

TEST(KeyboardSourceTest, EveryPressIsSeenOnceInOrderWithItsShiftState) {
  constexpr int kA = 0x1E, kS = 0x1F, kShift = 0x2A, kEnter = 0x1C, kCaps = 0x3A;
  struct CCase {
    const char *m_name;
    std::vector<CEvent> m_events;
    std::vector<int> m_keys; // the non-zero keys the polls report, in order
  } cases[] = {
      {"a tap between two polls", {{true, kA, 'a'}, {false, kA}}, {'a'}},
      {"the same key twice", {{true, kA, 'a'}, {false, kA}, {true, kA, 'a'}, {false, kA}}, {'a', 'a'}},
      // The lower scan code held while a higher one is typed, and the reverse.
      {"s held over a", {{true, kS, 's'}, {true, kA, 'a'}, {false, kA}, {false, kS}}, {'s', 'a'}},
      {"a held over s", {{true, kA, 'a'}, {true, kS, 's'}, {false, kA}, {false, kS}}, {'a', 's'}},
      {"shifted and plain",
       {{true, kShift}, {true, kA, 'A'}, {false, kA}, {false, kShift}, {true, kA, 'a'}, {false, kA}},
       {'A', 'a'}},
      {"Shift with Enter", {{true, kShift}, {true, kEnter, 13}, {false, kEnter}, {false, kShift}}, {kKeyShiftEnter}},
      {"Shift and Caps Lock with Enter",
       {{true, kShift}, {true, kCaps}, {true, kEnter, 13}, {false, kEnter}, {false, kCaps}, {false, kShift}},
       {13}},
      {"arrows and Delete",
       {{true, kScanUp}, {false, kScanUp}, {true, kScanLeft}, {true, kScanDelete}},
       {kKeyUp, kKeyLeft, kKeyDelete}},
      {"keys that neither type nor edit", {{true, 0x3B}, {false, 0x3B}, {true, 0x1D}}, {}},
  };
  for (const CCase &c : cases) {
    CSourcePlatform platform;
    CKeyboardInput reader(&platform, 1);
    ASSERT_TRUE(reader.Create());
    for (const CEvent &event : c.m_events) {
      if (event.m_press)
        platform.m_source.Press(event.m_scan, event.m_character);
      else
        platform.m_source.Release(event.m_scan);
    }
    std::vector<int> keys;
    for (int key : PollAll(platform, reader))
      if (key != 0) keys.push_back(key);
    EXPECT_EQ(keys, c.m_keys) << c.m_name;
  }
}

TEST(KeyboardSourceTest, APressIsFollowedByAPollWithoutIt) {
  // The editor acts on a key once and only re-arms it on a poll without it,
  // so a press must never run into the next one.
  CSourcePlatform platform;
  CKeyboardInput reader(&platform, 1);
  ASSERT_TRUE(reader.Create());
  platform.m_source.Press(0x1E, 'a');
  platform.m_source.Release(0x1E);
  platform.m_source.Press(0x1E, 'a');
  std::vector<int> shifts;
  EXPECT_EQ(PollAll(platform, reader, &shifts), (std::vector<int>{'a', 0, 'a', 0}));

  // Shift held: reported at every poll, also with nothing queued.
  platform.m_source.Release(0x1E);
  platform.m_source.Press(kScanRightShift, 0);
  platform.m_source.Press(0x1E, 'A');
  shifts.clear();
  EXPECT_EQ(PollAll(platform, reader, &shifts), (std::vector<int>{0, 'A', 0}));
  EXPECT_EQ(shifts, (std::vector<int>{1, 1, 1}));
  reader.Poll();
  EXPECT_EQ(reader.m_key, 0);
  EXPECT_EQ(reader.m_shiftDown, 1);

  // Losing the focus forgets held keys and what was queued.
  platform.m_source.Press(0x1E, 'A');
  platform.m_source.Clear();
  EXPECT_FALSE(platform.m_source.Pending());
  reader.Poll();
  EXPECT_EQ(reader.m_key, 0);
  EXPECT_EQ(reader.m_shiftDown, 0);
}

} // namespace
} // namespace quillan
