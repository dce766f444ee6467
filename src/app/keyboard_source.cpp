#include "app/keyboard_source.h"

#include <cstring>

#include <QGuiApplication>
#include <QKeyEvent>
#include <QString>

#include "core/keyboard_input.h"

namespace quillan {

namespace {

// The queue only grows while nothing polls; beyond this, presses are dropped.
constexpr size_t kQueueLimit = 512;

constexpr int kScanEscape = 0x01;
constexpr int kScanBackspace = 0x0E;
constexpr int kScanTab = 0x0F;
constexpr int kScanEnter = 0x1C;
constexpr int kScanPadEnter = 0x9C;

// The held keys and their slots in CState::m_held.
constexpr int kHeldScans[3] = {kScanLeftShift, kScanRightShift, kScanCapsLock};

int HeldSlot(int scan) {
  for (int i = 0; i < 3; ++i)
    if (kHeldScans[i] == scan) return i;
  return -1;
}

struct CUsKey {
  int m_scan;
  char m_plain, m_shifted;
};
constexpr CUsKey kUsKeys[] = {
    {0x02, '1', '!'},  {0x03, '2', '@'}, {0x04, '3', '#'}, {0x05, '4', '$'}, {0x06, '5', '%'},  {0x07, '6', '^'},
    {0x08, '7', '&'},  {0x09, '8', '*'}, {0x0A, '9', '('}, {0x0B, '0', ')'}, {0x0C, '-', '_'},  {0x0D, '=', '+'},
    {0x10, 'q', 'Q'},  {0x11, 'w', 'W'}, {0x12, 'e', 'E'}, {0x13, 'r', 'R'}, {0x14, 't', 'T'},  {0x15, 'y', 'Y'},
    {0x16, 'u', 'U'},  {0x17, 'i', 'I'}, {0x18, 'o', 'O'}, {0x19, 'p', 'P'}, {0x1A, '[', '{'},  {0x1B, ']', '}'},
    {0x1E, 'a', 'A'},  {0x1F, 's', 'S'}, {0x20, 'd', 'D'}, {0x21, 'f', 'F'}, {0x22, 'g', 'G'},  {0x23, 'h', 'H'},
    {0x24, 'j', 'J'},  {0x25, 'k', 'K'}, {0x26, 'l', 'L'}, {0x27, ';', ':'}, {0x28, '\'', '"'}, {0x29, '`', '~'},
    {0x2B, '\\', '|'}, {0x2C, 'z', 'Z'}, {0x2D, 'x', 'X'}, {0x2E, 'c', 'C'}, {0x2F, 'v', 'V'},  {0x30, 'b', 'B'},
    {0x31, 'n', 'N'},  {0x32, 'm', 'M'}, {0x33, ',', '<'}, {0x34, '.', '>'}, {0x35, '/', '?'},  {0x39, ' ', ' '},
};

// Set-1 scan codes of the US keyboard, by the ASCII character a key types
// with or without Shift (Qt's key codes for these are the ASCII codes).
int UsScanCode(int key) {
  for (const CUsKey &entry : kUsKeys)
    if (key == entry.m_plain || key == entry.m_shifted) return entry.m_scan;
  return 0;
}

} // namespace

bool IsEditingKey(int scan) {
  switch (scan) {
  case kScanEnter:
  case kScanPadEnter:
  case kScanBackspace:
  case kScanInsert:
  case kScanDelete:
  case kScanUp:
  case kScanDown:
  case kScanLeft:
  case kScanRight:
    return true;
  default:
    return false;
  }
}

void CKeyboardSource::Push(int scan, uint8_t character) {
  if (m_queue.size() >= kQueueLimit) return;
  CState state;
  std::memcpy(state.m_held, m_held, sizeof m_held);
  state.m_scan = scan;
  state.m_character = character;
  m_queue.push_back(state);
}

void CKeyboardSource::Press(int scan, uint8_t character, uint64_t time) {
  if (scan <= 0 || scan > 0xFF) return;
  if (int slot = HeldSlot(scan); slot >= 0) {
    if (m_held[slot]) return;
    m_held[slot] = 0x80;
    Push(0, 0);
    return;
  }
  if (character == 0 && !IsEditingKey(scan)) return;
  // A press of a key that is already down is the key repeating, whatever
  // the window system calls it: a held key acts once.
  bool repeat = m_down[size_t(scan)] || (time != 0 && m_released[size_t(scan)] == time);
  m_down[size_t(scan)] = true;
  if (repeat) return;
  Push(scan, character);
  Push(0, 0);
}

void CKeyboardSource::Release(int scan, uint64_t time) {
  if (scan <= 0 || scan > 0xFF) return;
  m_down[size_t(scan)] = false;
  m_released[size_t(scan)] = time;
  int slot = HeldSlot(scan);
  if (slot < 0 || !m_held[slot]) return;
  m_held[slot] = 0;
  Push(0, 0);
}

void CKeyboardSource::Clear() {
  std::memset(m_held, 0, sizeof m_held);
  m_down.fill(false);
  m_released.fill(0);
  m_queue.clear();
  m_current = CState{};
}

void CKeyboardSource::NextState(uint8_t (&state)[256]) {
  if (m_queue.empty()) {
    m_current = CState{};
    std::memcpy(m_current.m_held, m_held, sizeof m_held);
  } else {
    m_current = m_queue.front();
    m_queue.pop_front();
  }
  std::memset(state, 0, sizeof state);
  for (int i = 0; i < 3; ++i)
    state[kHeldScans[i]] = m_current.m_held[i];
  if (m_current.m_scan) state[m_current.m_scan] = 0x80;
}

uint8_t CKeyboardSource::Translate(int scan) const {
  return scan != 0 && scan == m_current.m_scan ? m_current.m_character : 0;
}

int ScanCodeOf(int key, uint32_t native, const QString &platform) {
  switch (key) {
  case Qt::Key_Up:
    return kScanUp;
  case Qt::Key_Down:
    return kScanDown;
  case Qt::Key_Left:
    return kScanLeft;
  case Qt::Key_Right:
    return kScanRight;
  case Qt::Key_Insert:
    return kScanInsert;
  case Qt::Key_Delete:
    return kScanDelete;
  case Qt::Key_Return:
    return kScanEnter;
  case Qt::Key_Enter:
    return kScanPadEnter;
  case Qt::Key_Backspace:
    return kScanBackspace;
  case Qt::Key_Tab:
  case Qt::Key_Backtab:
    return kScanTab;
  case Qt::Key_Escape:
    return kScanEscape;
  case Qt::Key_CapsLock:
    return kScanCapsLock;
  case Qt::Key_Shift: {
    // Which Shift only the native code tells; the left one when unknown.
    bool right = false;
    if (platform == QLatin1String("xcb") || platform == QLatin1String("wayland"))
      right = native == 54 + 8;
    else if (platform == QLatin1String("windows"))
      right = (native & 0xFF) == kScanRightShift;
    return right ? kScanRightShift : kScanLeftShift;
  }
  default:
    break;
  }
  // The main block and the keypad: set-1 codes up to 0x58 (F12).
  if (platform == QLatin1String("xcb") || platform == QLatin1String("wayland")) {
    if (native > 8 && native - 8 <= 0x58) return int(native - 8);
  } else if (platform == QLatin1String("windows")) {
    if (native != 0 && (native & 0x100) == 0 && (native & 0xFF) <= 0x58) return int(native & 0xFF);
  }
  return UsScanCode(key);
}

int ScanCodeOf(const QKeyEvent &event) {
  return ScanCodeOf(event.key(), event.nativeScanCode(), QGuiApplication::platformName());
}

uint8_t CharacterOf(int key, const QString &text) {
  if (key == Qt::Key_Return || key == Qt::Key_Enter) return 13;
  if (key == Qt::Key_Backspace) return 8;
  if (text.size() != 1) return 0;
  char16_t c = text.at(0).unicode();
  return c >= 0x20 && c <= 0x7E ? uint8_t(c) : 0;
}

uint8_t CharacterOf(const QKeyEvent &event) { return CharacterOf(event.key(), event.text()); }

} // namespace quillan
