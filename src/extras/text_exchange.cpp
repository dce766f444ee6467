#include "extras/text_exchange.h"

#include <algorithm>
#include <array>

#include "core/config.h"
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

// Latin-1 letters with accents -> base letter (0 where there is none).
constexpr char kLatinBase[0x40 + 1] = "AAAAAAACEEEEIIII"    // C0-CF
                                      "DNOOOOO\0OUUUUY\0s"  // D0-DF (D7 x, DE thorn, DF sharp s)
                                      "aaaaaaaceeeeiiii"    // E0-EF
                                      "dnooooo\0ouuuuy\0y"; // F0-FF (F7 division, FE thorn)

// Typographic punctuation and the letters that stand for two -> ASCII text.
std::u16string_view Punctuation(char16_t c) {
  switch (c) {
  case 0x00C6:
    return u"AE";
  case 0x00E6:
    return u"ae";
  case 0x0152:
    return u"OE";
  case 0x0153:
    return u"oe";
  case 0x00DF:
    return u"ss";
  case 0x0160:
    return u"S";
  case 0x0161:
    return u"s";
  case 0x017D:
    return u"Z";
  case 0x017E:
    return u"z";
  case 0x0178:
    return u"Y";
  case 0x0141:
    return u"L";
  case 0x0142:
    return u"l";
  case 0x0131:
    return u"i";
  case 0x2018:
  case 0x2019:
  case 0x201A:
  case 0x201B:
  case 0x2032:
    return u"'";
  case 0x201C:
  case 0x201D:
  case 0x201E:
  case 0x201F:
  case 0x2033:
  case 0x00AB:
  case 0x00BB:
    return u"\"";
  case 0x2010:
  case 0x2011:
  case 0x2012:
  case 0x2013:
  case 0x2014:
  case 0x2015:
  case 0x2212:
    return u"-";
  case 0x2026:
    return u"...";
  case 0x00A0:
  case 0x2002:
  case 0x2003:
  case 0x2009:
  case 0x200A:
    return u" ";
  default:
    return {};
  }
}

// A voiced or semi-voiced kana the table has no code of, as the code of its
// plain kana and the voicing mark 0xDE or 0xDF that the game draws over it.
std::optional<std::pair<uint8_t, uint8_t>> VoicedKanaCodes(char16_t c) {
  static const auto kana = MakeKanaCodes();
  if (c < 0x3002 || c >= 0x3100) return std::nullopt;
  for (uint8_t mark : {uint8_t(0xDE), uint8_t(0xDF)}) {
    char16_t plain = char16_t(c - (mark == 0xDE ? 1 : 2));
    uint8_t code = kana[plain - 0x3000];
    if (code && OneByteToText(mark, plain) == c) return std::pair(code, mark);
  }
  return std::nullopt;
}

} // namespace

CGameText MapTextToGame(std::u16string_view text) {
  CGameText out;
  for (size_t p = 0; p < text.size(); ++p) {
    char16_t unit = text[p];
    if (unit == 0) break;
    if (unit == 13) continue; // CR LF gives one new line, a lone CR nothing
    if (unit == 10) {
      out.m_elements.push_back(3); // the game's new-line code
      continue;
    }
    if (auto ascii = Punctuation(unit); !ascii.empty()) {
      for (char16_t a : ascii)
        out.m_elements.push_back(uint16_t(a));
      continue;
    }
    if (unit == 0xFEFF || unit == 0x200B) continue; // byte order mark, zero-width space: nothing to see
    if (unit >= 0x7F && unit <= 0xFF) {
      // Their one-byte codes are kana in the game's font: only the letters
      // with accents survive, as their base letters.
      char base = unit >= 0xC0 ? kLatinBase[unit - 0xC0] : 0;
      if (base) {
        out.m_elements.push_back(uint8_t(base));
      } else {
        out.m_leftOut.push_back(unit);
      }
      continue;
    }
    if (unit >= 0xD800 && unit <= 0xDBFF && p + 1 < text.size() && text[p + 1] >= 0xDC00 && text[p + 1] <= 0xDFFF) {
      out.m_leftOut.push_back(unit); // a character beyond U+FFFF: both halves go together
      out.m_leftOut.push_back(text[++p]);
      continue;
    }
    if (auto code = GameCodeOf(unit)) {
      out.m_elements.push_back(*code);
    } else if (auto voiced = VoicedKanaCodes(unit)) {
      out.m_elements.push_back(voiced->first);
      out.m_elements.push_back(voiced->second);
    } else {
      out.m_leftOut.push_back(unit);
    }
  }
  return out;
}

std::u16string DecodeUtf8(std::string_view bytes) {
  std::u16string out;
  size_t i = 0;
  while (i < bytes.size()) {
    unsigned char b = uint8_t(bytes[i]);
    int extra = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
    char32_t c = extra == 0 ? b : extra == 1 ? (b & 0x1F) : extra == 2 ? (b & 0x0F) : (b & 0x07);
    bool ok = extra >= 0 && i + size_t(extra) < bytes.size() + (extra == 0 ? 1 : 0);
    if (ok) {
      for (int k = 1; k <= extra; ++k) {
        unsigned char t = uint8_t(bytes[i + size_t(k)]);
        if ((t & 0xC0) != 0x80) {
          ok = false;
          break;
        }
        c = (c << 6) | (t & 0x3F);
      }
    }
    // Overlong forms, surrogates and values past U+10FFFF are malformed too.
    static constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
    if (ok && (c < kMin[extra] || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)) ok = false;
    if (!ok) {
      out.push_back(0xFFFD);
      ++i;
      while (i < bytes.size() && (uint8_t(bytes[i]) & 0xC0) == 0x80)
        ++i;
      continue;
    }
    if (c >= 0x10000) {
      out.push_back(char16_t(0xD800 + ((c - 0x10000) >> 10)));
      out.push_back(char16_t(0xDC00 + ((c - 0x10000) & 0x3FF)));
    } else {
      out.push_back(char16_t(c));
    }
    i += size_t(extra) + 1;
  }
  return out;
}

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
  return ConfigValue(baseDir, "translate-host");
}

std::string LeftOutMessage(const std::u16string &leftOut) {
  // Each character once, in the order of its first appearance; a pair of
  // surrogates is one character.
  std::vector<std::u16string> characters;
  for (size_t i = 0; i < leftOut.size(); ++i) {
    size_t length = leftOut[i] >= 0xD800 && leftOut[i] <= 0xDBFF && i + 1 < leftOut.size() ? 2 : 1;
    std::u16string character = leftOut.substr(i, length);
    i += length - 1;
    if (std::find(characters.begin(), characters.end(), character) == characters.end()) characters.push_back(character);
  }
  constexpr size_t kShown = 20;
  std::string text = "The game's font has no glyph for these characters, so they were left out:";
  for (size_t i = 0; i < characters.size() && i < kShown; ++i)
    text += (i ? ", " : " ") + Utf8(characters[i]);
  if (characters.size() > kShown) text += " and " + std::to_string(characters.size() - kShown) + " more";
  return text;
}

} // namespace quillan
