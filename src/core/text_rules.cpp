#include "core/text_rules.h"

namespace quillan {

namespace {

// Characters of the codes 0x80-0xFF; 0 marks the voicing marks.
constexpr std::array<char16_t, 128> MakeHighTable() {
  std::array<char16_t, 128> t{};
  for (auto &c : t)
    c = u' ';
  auto set = [&](int code, char16_t c) { t[size_t(code - 0x80)] = c; };
  auto run = [&](int from, int to, char16_t first, int step) {
    for (int code = from; code <= to; ++code)
      set(code, char16_t(first + step * (code - from)));
  };
  set(0x86, 0x3092);
  const char16_t smallA[] = {0x3041, 0x3043, 0x3045, 0x3047, 0x3049};
  for (int i = 0; i < 5; ++i)
    set(0x87 + i, smallA[i]);
  const char16_t smallYa[] = {0x3083, 0x3085, 0x3087};
  for (int i = 0; i < 3; ++i)
    set(0x8C + i, smallYa[i]);
  set(0x8F, 0x3063);
  const char16_t a[] = {0x3042, 0x3044, 0x3046, 0x3048, 0x304A};
  for (int i = 0; i < 5; ++i)
    set(0x91 + i, a[i]);
  run(0x96, 0x9F, 0x304B, 2);
  set(0xA6, 0x30F2);
  const char16_t smallKa[] = {0x30A1, 0x30A3, 0x30A5, 0x30A7, 0x30A9};
  for (int i = 0; i < 5; ++i)
    set(0xA7 + i, smallKa[i]);
  const char16_t smallKya[] = {0x30E3, 0x30E5, 0x30E7};
  for (int i = 0; i < 3; ++i)
    set(0xAC + i, smallKya[i]);
  set(0xAF, 0x30C3);
  set(0xB0, 0x30FC);
  const char16_t ka[] = {0x30A2, 0x30A4, 0x30A6, 0x30A8, 0x30AA};
  for (int i = 0; i < 5; ++i)
    set(0xB1 + i, ka[i]);
  run(0xB6, 0xC1, 0x30AB, 2);
  const char16_t tsu[] = {0x30C4, 0x30C6, 0x30C8};
  for (int i = 0; i < 3; ++i)
    set(0xC2 + i, tsu[i]);
  run(0xC5, 0xC9, 0x30CA, 1);
  run(0xCA, 0xCE, 0x30CF, 3);
  run(0xCF, 0xD3, 0x30DE, 1);
  const char16_t ya[] = {0x30E4, 0x30E6, 0x30E8};
  for (int i = 0; i < 3; ++i)
    set(0xD4 + i, ya[i]);
  run(0xD7, 0xDB, 0x30E9, 1);
  set(0xDC, 0x30EF);
  set(0xDD, 0x30F3);
  set(0xDE, 0);
  set(0xDF, 0);
  const char16_t ta[] = {0x305F, 0x3061, 0x3064, 0x3066, 0x3068};
  for (int i = 0; i < 5; ++i)
    set(0xE0 + i, ta[i]);
  run(0xE5, 0xE9, 0x306A, 1);
  run(0xEA, 0xEE, 0x306F, 3);
  run(0xEF, 0xF3, 0x307E, 1);
  const char16_t hya[] = {0x3084, 0x3086, 0x3088};
  for (int i = 0; i < 3; ++i)
    set(0xF4 + i, hya[i]);
  run(0xF7, 0xFB, 0x3089, 1);
  set(0xFC, 0x308F);
  set(0xFD, 0x3093);
  return t;
}

constexpr auto kHighTable = MakeHighTable();

} // namespace

char16_t OneByteToText(uint16_t v, char16_t previous) {
  if (v <= 0x20) return u' ';
  if (v <= 0x7F) return char16_t(v);
  if (v == 0xDE) return char16_t(previous + 1);
  if (v == 0xDF) return char16_t(previous + 2);
  if (v <= 0xFF) return kHighTable[size_t(v - 0x80)];
  return u' ';
}

std::u16string JapaneseEntryText(std::span<const uint16_t> entry, const KanjiCodeBook &codeBook) {
  std::u16string text;
  char16_t previous = 0;
  for (size_t i = 0; i < entry.size() && i < size_t(kEntryCapacity); ++i) {
    uint16_t code = entry[i];
    uint16_t high = code >> 8;
    if (high == 0) {
      if (code == 0) break;
      if ((code == 0xDE || code == 0xDF) && !text.empty()) text.pop_back();
      if (code >= 0x20) {
        previous = OneByteToText(code, previous);
        text.push_back(previous);
      }
    } else if (high <= 7) {
      text.push_back(char16_t(codeBook[size_t(code - 0x100)]));
    } else {
      text.push_back(u'\0');
      if ((code & 0xFF) == 0) break;
    }
  }
  return text;
}

void AppendUtf8(std::string &out, char32_t c) {
  if (c < 0x80) {
    out.push_back(char(c));
  } else if (c < 0x800) {
    out.push_back(char(0xC0 | (c >> 6)));
    out.push_back(char(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(char(0xE0 | (c >> 12)));
    out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(char(0x80 | (c & 0x3F)));
  } else {
    out.push_back(char(0xF0 | (c >> 18)));
    out.push_back(char(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(char(0x80 | (c & 0x3F)));
  }
}

std::string Utf8(std::u16string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c < 0xE000) {
      c = 0xFFFD;
    }
    AppendUtf8(out, c);
  }
  return out;
}

namespace {

void AppendHexDigits(std::string &out, unsigned value, int digits) {
  static const char kDigits[] = "0123456789abcdef";
  for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4)
    out.push_back(kDigits[(value >> shift) & 0xF]);
}

} // namespace

void AppendDumpText(std::string &out, std::span<const uint16_t> entry, const KanjiCodeBook *book) {
  char16_t previous = 0;
  std::u16string pendingKana; // the last kana, which a voicing mark may replace
  auto flushKana = [&]() {
    // One-byte codes give characters of the Basic Multilingual Plane only,
    // never a surrogate: each goes straight into the output.
    for (char16_t c : pendingKana)
      AppendUtf8(out, c);
    pendingKana.clear();
  };
  for (uint16_t code : entry) {
    uint16_t high = code >> 8;
    if (high == 0) {
      if (code == 0) break;
      if (code < 0x20) {
        flushKana();
        out += '{';
        AppendHexDigits(out, code, 2);
        out += '}';
        continue;
      }
      if (code == 0xDE || code == 0xDF) pendingKana.clear();
      previous = OneByteToText(code, previous);
      flushKana();
      if (previous == u'{') {
        out += "{7b}";
      } else {
        pendingKana.push_back(previous);
      }
      continue;
    }
    flushKana();
    if (high <= 7) {
      uint16_t character = book ? (*book)[size_t(code - 0x100)] : 0;
      if (character >= 256) {
        out += Utf8(std::u16string(1, char16_t(character)));
      } else {
        out += "{k";
        AppendHexDigits(out, code, 4);
        out += '}';
      }
      continue;
    }
    if ((code & 0xFF) == 0) break;
    out += '{';
    AppendHexDigits(out, code, 4);
    out += '}';
  }
  flushKana();
}

std::string DumpText(std::span<const uint16_t> entry, const KanjiCodeBook *book) {
  std::string out;
  AppendDumpText(out, entry, book);
  return out;
}

} // namespace quillan
