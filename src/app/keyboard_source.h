#pragma once
// The window's keyboard as the keyboard reader sees it: a 256-byte key state
// by DirectInput scan code (0x80 = down) and the layout character of a key.
//
// The reader polls, but the window gets events, and a poll every 10 ms would
// lose a key pressed and released between two polls, mix up keys that
// overlap, and type a key with the wrong Shift state when both change
// together. So every event that matters becomes a state of its own, queued:
// a key press is one state with just that key down (and the Shift and Caps
// Lock keys as they were at the press), followed by a state with it up again;
// a Shift or Caps Lock change is one state. Each poll takes the next queued
// state, so every press is seen exactly once, in order, with its own Shift
// state; with nothing queued a poll sees the Shift and Caps Lock keys held.

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>

class QKeyEvent;
class QString;

namespace quillan {

class CKeyboardSource {
public:
  // A key went down. character is what the key types (0 for none); keys
  // other than Shift and Caps Lock that neither type nor edit are ignored,
  // and so is a press of a key that is down already (no release since its
  // last press): that is the key repeating.
  // time is the window system's time of the event in milliseconds (0 when
  // unknown): a press at the very time of the same key's release is the
  // server repeating the key as a release and a press.
  void Press(int scanCode, uint8_t character, uint64_t time = 0);
  // A key went up; only the Shift and Caps Lock keys are held in the state.
  // Every key is armed again by its release.
  void Release(int scanCode, uint64_t time = 0);
  // Forgets every key (the window lost the focus).
  void Clear();
  // Forgets the queued states, keeping the Shift and Caps Lock keys held.
  void DropQueued() { m_queue.clear(); }

  bool Pending() const { return !m_queue.empty(); }
  size_t PendingCount() const { return m_queue.size(); }

  // The next state for a poll.
  void NextState(uint8_t (&state)[256]);
  // The character of a key in the state the last poll took.
  uint8_t Translate(int scanCode) const;

private:
  struct CState {
    uint8_t m_held[4] = {}; // left Shift, right Shift, Caps Lock: 0x80 when down
    int m_scan = 0;         // the one other key down, 0 for none
    uint8_t m_character = 0;
  };
  void Push(int scan, uint8_t character);

  uint8_t m_held[4] = {};
  std::array<bool, 256> m_down{};         // keys pressed and not yet released
  std::array<uint64_t, 256> m_released{}; // time of each key's last release
  std::deque<CState> m_queue;
  CState m_current;
};

// Whether a scan code acts without a character (Enter, Backspace, the
// arrows, Insert, Delete).
bool IsEditingKey(int scanCode);

// The DirectInput scan code of a key: the editing keys and the modifiers by
// their Qt key; the rest by the native scan code where the platform gives
// the PC one (X11 and Wayland: the evdev code plus 8; Windows: the set-1 code
// with 0x100 for extended keys), else by the key's place on a US keyboard.
// 0 when the key has none.
int ScanCodeOf(int qtKey, uint32_t nativeScanCode, const QString &platformName);
int ScanCodeOf(const QKeyEvent &event);

// What a key types: the printable ASCII character of its text, 13 for Enter,
// 8 for Backspace, 0 otherwise. Characters the game's sheets cannot show
// (outside 0x20-0x7E) are not typed.
uint8_t CharacterOf(int qtKey, const QString &text);
uint8_t CharacterOf(const QKeyEvent &event);

} // namespace quillan
