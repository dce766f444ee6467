#include "support/fake_platform.h"

#include <cstring>

namespace quillan::testing {

void CFakePlatform::Press(int scan, uint8_t character) {
  m_keys[scan] = 0x80;
  if (character) m_layout[scan] = character;
}

void CFakePlatform::Release(int scan) { m_keys[scan] = 0; }

void CFakePlatform::ReleaseAll() { std::memset(m_keys, 0, sizeof m_keys); }

CMessageAnswer CFakePlatform::MessageBox(const std::string &text, const std::string &caption, CMessageButtons buttons,
                                         CMessageIcon) {
  m_messages.push_back({text, caption, buttons});
  if (!m_answers.empty()) return Take(m_answers);
  return buttons == CMessageButtons::Ok ? CMessageAnswer::Ok : CMessageAnswer::Cancel;
}

std::optional<std::filesystem::path> CFakePlatform::ChooseOpenFile(const std::string &extension,
                                                                   const std::string &filter) {
  m_openFileRequests.emplace_back(extension, filter);
  return Take(m_openFiles);
}

std::optional<uint32_t> CFakePlatform::AskGotoLine(uint32_t) { return Take(m_gotoLines); }

void CFakePlatform::KeyboardState(uint8_t (&state)[256]) { std::memcpy(state, m_keys, sizeof state); }

uint8_t CFakePlatform::TranslateKey(int scanCode) {
  auto it = m_layout.find(scanCode);
  return it == m_layout.end() ? 0 : it->second;
}

} // namespace quillan::testing
