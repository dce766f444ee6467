#include "core/keyboard_input.h"

#include "platform/platform.h"

namespace quillan {

bool CKeyboardInput::Create() {
  if (!m_hwnd) return false;
  m_capsDown = 0;
  m_acquired = true;
  return true;
}

bool CKeyboardInput::Release() {
  bool had = m_acquired;
  m_acquired = false;
  return had;
}

uint8_t CKeyboardInput::TranslateKey(int scanCode) { return m_hwnd ? m_hwnd->TranslateKey(scanCode) : 0; }

bool CKeyboardInput::Poll() {
  m_key = 0;
  if (!m_acquired || !m_hwnd) return false;
  m_hwnd->KeyboardState(m_keyState);
  if (m_translate != 1) return true;
  auto down = [this](int scan) { return (m_keyState[scan] & 0x80) != 0; };
  m_capsDown = down(kScanCapsLock) ? 1 : 0;
  bool shifted = (down(kScanLeftShift) || down(kScanRightShift)) && !m_capsDown;
  m_lastScan = 0;
  for (int scan = 0; scan < 256; ++scan) {
    if (scan == kScanLeftShift || scan == kScanRightShift || !down(scan)) continue;
    int key = int8_t(TranslateKey(scan));
    if (key == 0x0D) {
      if (shifted) key = kKeyShiftEnter;
    } else {
      switch (scan) {
      case kScanInsert:
        key = kKeyInsert;
        break;
      case kScanDelete:
        key = kKeyDelete;
        break;
      case kScanUp:
        key = kKeyUp;
        break;
      case kScanRight:
        key = kKeyRight;
        break;
      case kScanDown:
        key = kKeyDown;
        break;
      case kScanLeft:
        key = kKeyLeft;
        break;
      default:
        break;
      }
    }
    m_key = key;
    m_lastScan = scan;
    break;
  }
  m_shiftDown = (down(kScanLeftShift) || down(kScanRightShift)) ? 1 : 0;
  return true;
}

} // namespace quillan
