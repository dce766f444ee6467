#pragma once
// The keyboard reader the main dialog polls every 10 ms: each poll reports at
// most one key, the character of the lowest-numbered key that is down (by
// DirectInput scan code, the Shift keys skipped), translated through the
// keyboard layout, or one of the special codes for Shift+Enter, Insert,
// Delete and the arrows. The key state itself comes from the platform.

#include <cstdint>

namespace quillan {

class CPlatform;

inline constexpr int kKeyShiftEnter = 0x100; // also Insert
inline constexpr int kKeyInsert = 0x100;
inline constexpr int kKeyDelete = 0x101;
inline constexpr int kKeyUp = 0x102;
inline constexpr int kKeyRight = 0x103;
inline constexpr int kKeyDown = 0x104;
inline constexpr int kKeyLeft = 0x105;

// DirectInput scan codes the reader treats specially.
inline constexpr int kScanLeftShift = 0x2A;
inline constexpr int kScanRightShift = 0x36;
inline constexpr int kScanCapsLock = 0x3A;
inline constexpr int kScanInsert = 0xD2;
inline constexpr int kScanDelete = 0xD3;
inline constexpr int kScanUp = 0xC8;
inline constexpr int kScanRight = 0xCD;
inline constexpr int kScanDown = 0xD0;
inline constexpr int kScanLeft = 0xCB;

class CInputDevice {
public:
  virtual ~CInputDevice() = default;
  virtual bool Create() = 0;
  virtual bool Release() = 0;
  virtual bool Poll() = 0;
};

class CKeyboardInput : public CInputDevice {
public:
  CKeyboardInput(CPlatform *platform, int translate) : m_hwnd(platform), m_translate(translate) {}
  ~CKeyboardInput() override { Release(); }

  bool Create() override;
  bool Release() override;
  bool Poll() override;
  uint8_t TranslateKey(int scanCode);

  int32_t m_key = 0;
  uint8_t m_shiftDown = 0;
  uint8_t m_capsDown = 0;
  int32_t m_lastScan = 0;
  CPlatform *m_hwnd; // the window whose keyboard is read
  int32_t m_lastResult = 0;
  bool m_acquired = false;
  int32_t m_translate;
  uint8_t m_keyState[256] = {};
};

} // namespace quillan
