#include "extras/text_exchange.h"

#include <array>
#include <fstream>

#include "core/text_rules.h"

namespace quillan {

namespace {

// Text character -> game code for the kana of the one-byte table.
std::array<uint8_t, 0x100> MakeKanaCodes() {
  std::array<uint8_t, 0x100> codes{};
  for (int v = 0x80; v <= 0xFF; ++v) {
    if (v == 0xDE || v == 0xDF) continue;
    char16_t c = OneByteToText(uint16_t(v), 0);
    if (c >= 0x3000 && c < 0x3100 && codes[c - 0x3000] == 0) codes[c - 0x3000] = uint8_t(v);
  }
  return codes;
}

} // namespace

std::optional<uint8_t> GameCodeOf(char16_t c) {
  static const auto kana = MakeKanaCodes();
  if (c >= 0x20 && c <= 0xFF) return uint8_t(c);
  if (c == u'\t') return uint8_t(0x20); // control characters would read as game control codes
  if (c == 0x3000) return uint8_t(0x20);
  if (c >= 0xFF01 && c <= 0xFF5E) return uint8_t(c - 0xFF01 + 0x21);
  if (c >= 0x3000 && c < 0x3100 && kana[c - 0x3000]) return kana[c - 0x3000];
  return std::nullopt;
}

std::string PercentEncodeUtf8(std::u16string_view text) {
  auto end = text.find(u'\0');
  std::string utf8 = Utf8(text.substr(0, end));
  static const char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  for (unsigned char c : utf8) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
        c == '.' || c == '~') {
      encoded.push_back(char(c));
    } else {
      encoded.push_back('%');
      encoded.push_back(kHex[c >> 4]);
      encoded.push_back(kHex[c & 15]);
    }
  }
  return encoded;
}

std::optional<std::string> TranslateHost(const std::filesystem::path &baseDir) {
  std::ifstream in(baseDir / "quillan.conf");
  std::string line;
  while (std::getline(in, line)) {
    auto trim = [](std::string s) {
      size_t a = s.find_first_not_of(" \t\r"), b = s.find_last_not_of(" \t\r");
      return a == std::string::npos ? std::string() : s.substr(a, b - a + 1);
    };
    line = trim(line);
    if (line.empty() || line[0] == '#') continue;
    auto eq = line.find('=');
    if (eq == std::string::npos || trim(line.substr(0, eq)) != "translate-host") continue;
    std::string host = trim(line.substr(eq + 1));
    if (!host.empty()) return host;
  }
  return std::nullopt;
}

std::string LeftOutMessage(const std::u16string &leftOut) {
  std::string text = "The game's font has no glyph for these characters, so they were left out:";
  for (size_t i = 0; i < leftOut.size() && i < 20; ++i) text += (i ? ", " : " ") + Utf8(leftOut.substr(i, 1));
  if (leftOut.size() > 20) text += " and " + std::to_string(leftOut.size() - 20) + " more";
  return text;
}

} // namespace quillan
