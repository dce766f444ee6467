#include "support/demo_workspace.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>

#include "kanji/kanji_store.h"

namespace quillan::testing {
namespace {

constexpr int kPageSizes[] = {256, 256, 40};
constexpr int kTranslatedLines = 20;

// Code book entries 0x109 (金) and 0x10B (口) are left unidentified.
constexpr std::u16string_view kKanji = u"日本人山川月火水木金土口";
constexpr std::array<bool, 12> kIdentified = {true, true, true, true, true, true, true, true, true, false, true, false};

// 16 x 12 pictures of the twelve kanji, '#' for a set pixel.
using CPicture = std::array<const char *, 12>;
constexpr std::array<CPicture, 12> kPictures = {{
    {"....########....", "....#......#....", "....#......#....", "....#......#....", "....#......#....",
     "....########....", "....#......#....", "....#......#....", "....#......#....", "....#......#....",
     "....########....", "................"}, // 日
    {".......#........", ".......#........", ".##############.", "......###.......", ".....#.#.#......",
     "....#..#..#.....", "...#...#...#....", "..#..#####..#...", ".#.....#.....#..", ".......#........",
     ".......#........", "................"}, // 本
    {".......#........", ".......#........", ".......#........", ".......#........", "......#.#.......",
     "......#.#.......", ".....#...#......", ".....#...#......", "....#.....#.....", "...#.......#....",
     "..#.........##..", ".#.............."}, // 人
    {".......#........", ".......#........", "..#....#....#...", "..#....#....#...", "..#....#....#...",
     "..#....#....#...", "..#....#....#...", "..#....#....#...", "..#....#....#...", "..###########...",
     "................", "................"}, // 山
    {"...#....#....#..", "...#....#....#..", "...#....#....#..", "...#....#....#..", "...#....#....#..",
     "...#....#....#..", "..#.....#....#..", "..#.....#....#..", ".#......#....#..", "#.......#....#..",
     "................", "................"}, // 川
    {"....#######.....", "....#.....#.....", "....#.....#.....", "....#######.....", "....#.....#.....",
     "....#.....#.....", "....#######.....", "...#......#.....", "...#......#.....", "..#.......#.....",
     ".#......###.....", "................"}, // 月
    {".......#........", "..#....#....#...", "...#...#...#....", ".......#........", ".......#........",
     "......#.#.......", "......#.#.......", ".....#...#......", "....#.....#.....", "...#.......#....",
     ".##.........##..", "................"}, // 火
    {".......#........", ".......#........", ".####..#...#....", "....#..#..#.....", "...#...###......",
     "..#....#.#......", ".#.....#..#.....", ".......#...#....", ".......#....##..", ".......#........",
     ".....###........", "................"}, // 水
    {".......#........", ".......#........", ".##############.", ".......#........", "......###.......",
     ".....#.#.#......", "....#..#..#.....", "...#...#...#....", "..#....#....#...", ".#.....#.....#..",
     ".......#........", "................"}, // 木
    {".......#........", "......#.#.......", ".....#...#......", "...##.....##....", "..#.#######.#...",
     ".......#........", "...#########....", "....#..#..#.....", ".....#.#.#......", ".......#........",
     ".#############..", "................"}, // 金
    {".......#........", ".......#........", ".......#........", "..###########...", ".......#........",
     ".......#........", ".......#........", ".......#........", ".......#........", ".###############",
     "................", "................"}, // 土
    {"................", "...##########...", "...#........#...", "...#........#...", "...#........#...",
     "...#........#...", "...#........#...", "...#........#...", "...##########...", "................",
     "................", "................"}, // 口
}};

struct CSentence {
  std::u16string_view m_japanese;
  std::string_view m_english;
};

// Sample sentences written for the demo: greetings, weather, directions and
// some with kanji.
constexpr CSentence kSentences[] = {
    {u"こんにちは!", "Hello!"},
    {u"おはよう ございます.", "Good morning."},
    {u"こんばんは.", "Good evening."},
    {u"はじめまして.", "Nice to meet you."},
    {u"ありがとう!", "Thank you!"},
    {u"また あした.", "See you tomorrow."},
    {u"おやすみなさい.", "Good night."},
    {u"おげんきですか?", "How are you?"},
    {u"げんきです.", "I am fine."},
    {u"ようこそ!", "Welcome!"},
    {u"きょうは いい てんきですね.", "Nice weather today."},
    {u"あしたは あめが ふります.", "It will rain tomorrow."},
    {u"かぜが つよいです.", "The wind is strong."},
    {u"そらが あおいね.", "The sky is blue."},
    {u"ゆきが ふって います.", "It is snowing."},
    {u"さむい ですね.", "It is cold, isn't it?"},
    {u"あついなあ.", "It is so hot."},
    {u"くもって きた.", "It is getting cloudy."},
    {u"かさを もって いこう.", "Let's take an umbrella."},
    {u"にじが でたよ!", "A rainbow came out!"},
    {u"みぎへ まがって ください.", "Please turn right."},
    {u"ひだりに えきが あります.", "The station is on the left."},
    {u"まっすぐ いって ください.", "Please go straight ahead."},
    {u"はしを わたって ください.", "Please cross the bridge."},
    {u"ホテルは どこですか?", "Where is the hotel?"},
    {u"バスていは あそこです.", "The bus stop is over there."},
    {u"タクシーで いきましょう.", "Let's go by taxi."},
    {u"ちずを みせて ください.", "Please show me the map."},
    {u"レストランは ちかいですよ.", "The restaurant is close."},
    {u"みちに まよいました.", "I am lost."},
    {u"日よう日は やすみです.", "Sunday is a day off."},
    {u"月よう日に あいましょう.", "Let's meet on Monday."},
    {u"火よう日は いそがしい.", "Tuesday is busy."},
    {u"水よう日に かいものを します.", "I go shopping on Wednesday."},
    {u"木よう日は あめかな?", "Will it rain on Thursday?"},
    {u"金よう日の よるは パーティーです.", "There is a party on Friday night."},
    {u"土よう日に 山へ いこう.", "Let's go to the mountain on Saturday."},
    {u"川の 水は つめたい.", "The river water is cold."},
    {u"あの 人は だれですか?", "Who is that person?"},
    {u"日本の 山は きれいです.", "The mountains of Japan are beautiful."},
    {u"木の したで まって います.", "I am waiting under the tree."},
    {u"月が きれいですね.", "The moon is pretty."},
    {u"火に ちゅういして.", "Be careful with the fire."},
    {u"口を あけて ください.", "Please open your mouth."},
    {u"この 本は おもしろい.", "This book is interesting."},
    {u"土の においが する.", "It smells of earth."},
    {u"川に そって あるこう.", "Let's walk along the river."},
    {u"山の うえに 月が でた.", "The moon rose above the mountain."},
};
constexpr int kSentenceCount = int(std::size(kSentences));

constexpr uint16_t kBubbleEndArrow = 0x01;
constexpr uint16_t kBubbleEnd = 0x02;
constexpr uint16_t kLineBreak = 0x03;
constexpr uint16_t kColour = 0x08;
constexpr uint16_t kHighlight = 0x03; // colour argument of a highlighted sentence
constexpr uint16_t kPlain = 0x01;     // colour argument back to the usual ink

// Unicode kana -> one-byte code: the game's one-byte kana table.
const std::map<char16_t, uint8_t> &KanaCodes() {
  static const std::map<char16_t, uint8_t> codes = [] {
    std::map<char16_t, uint8_t> m;
    auto run = [&](uint8_t first, std::initializer_list<char16_t> chars) {
      for (char16_t c : chars)
        m[c] = first++;
    };
    auto step = [&](uint8_t first, uint8_t last, char16_t start, int stride) {
      for (int v = first; v <= last; ++v)
        m[char16_t(start + stride * (v - first))] = uint8_t(v);
    };
    m[u'を'] = 0x86;
    run(0x87, {u'ぁ', u'ぃ', u'ぅ', u'ぇ', u'ぉ', u'ゃ', u'ゅ', u'ょ', u'っ'});
    run(0x91, {u'あ', u'い', u'う', u'え', u'お'});
    step(0x96, 0x9F, u'か', 2);
    m[u'ヲ'] = 0xA6;
    run(0xA7, {u'ァ', u'ィ', u'ゥ', u'ェ', u'ォ', u'ャ', u'ュ', u'ョ', u'ッ', u'ー'});
    run(0xB1, {u'ア', u'イ', u'ウ', u'エ', u'オ'});
    step(0xB6, 0xC1, u'カ', 2);
    run(0xC2, {u'ツ', u'テ', u'ト'});
    step(0xC5, 0xC9, u'ナ', 1);
    step(0xCA, 0xCE, u'ハ', 3);
    step(0xCF, 0xD3, u'マ', 1);
    run(0xD4, {u'ヤ', u'ユ', u'ヨ'});
    step(0xD7, 0xDB, u'ラ', 1);
    run(0xDC, {u'ワ', u'ン'});
    run(0xE0, {u'た', u'ち', u'つ', u'て', u'と'});
    step(0xE5, 0xE9, u'な', 1);
    step(0xEA, 0xEE, u'は', 3);
    step(0xEF, 0xF3, u'ま', 1);
    run(0xF4, {u'や', u'ゆ', u'よ'});
    step(0xF7, 0xFB, u'ら', 1);
    run(0xFC, {u'わ', u'ん'});
    return m;
  }();
  return codes;
}

bool Voiceable(uint8_t v) {
  return (v >= 0x96 && v <= 0x9F) || (v >= 0xE0 && v <= 0xE4) || (v >= 0xEA && v <= 0xEE) || (v >= 0xB6 && v <= 0xC4) ||
         (v >= 0xCA && v <= 0xCE);
}
bool SemiVoiceable(uint8_t v) { return (v >= 0xEA && v <= 0xEE) || (v >= 0xCA && v <= 0xCE); }

// Japanese text -> game codes: ASCII as itself, kana as one-byte codes (a
// voiced kana is its plain kana followed by a voicing mark), kanji as 0x100+.
void AppendJapanese(std::u16string_view text, CEntryCodes &out) {
  const auto &kana = KanaCodes();
  for (char16_t c : text) {
    if (c >= 0x20 && c <= 0x7E) {
      out.push_back(c);
    } else if (size_t k = kKanji.find(c); k != std::u16string_view::npos) {
      out.push_back(uint16_t(0x100 + k));
    } else if (auto it = kana.find(c); it != kana.end()) {
      out.push_back(it->second);
    } else if (auto v = kana.find(char16_t(c - 1)); v != kana.end() && Voiceable(v->second)) {
      out.push_back(v->second);
      out.push_back(0xDE);
    } else if (auto s = kana.find(char16_t(c - 2)); s != kana.end() && SemiVoiceable(s->second)) {
      out.push_back(s->second);
      out.push_back(0xDF);
    } else {
      throw std::runtime_error("demo sentence with a character outside the one-byte font: " + std::to_string(c));
    }
  }
}

// The shape of entry i (counted over the whole script): one or two sentences,
// a highlighted first sentence now and then, a bubble end.
struct CEntryPlan {
  int m_first = 0;
  int m_second = -1;
  bool m_highlight = false;
  uint16_t m_end = kBubbleEnd;
};

CEntryPlan PlanEntry(int i) {
  CEntryPlan plan;
  plan.m_first = i % kSentenceCount;
  if (i % 3 == 1) plan.m_second = (i * 5 + 2) % kSentenceCount;
  plan.m_highlight = i % 7 == 3;
  plan.m_end = i % 4 == 0 ? kBubbleEndArrow : kBubbleEnd;
  return plan;
}

template <typename CAppendText, typename CAppendCode>
void Compose(const CEntryPlan &plan, CAppendText text, CAppendCode code) {
  if (plan.m_highlight) {
    code(kColour);
    code(kHighlight);
  }
  text(kSentences[plan.m_first]);
  if (plan.m_highlight) {
    code(kColour);
    code(kPlain);
  }
  if (plan.m_second >= 0) {
    code(kLineBreak);
    text(kSentences[plan.m_second]);
  }
  code(plan.m_end);
}

CKanjiBitmap Draw(const CPicture &picture) {
  CKanjiBitmap glyph{};
  for (size_t row = 0; row < 12; ++row) {
    std::string_view line = picture[row];
    if (line.size() != 16) throw std::runtime_error("kanji picture rows must be 16 pixels wide");
    for (size_t x = 0; x < 16; ++x)
      if (line[x] == '#') glyph[2 * row + x / 8] |= uint8_t(0x80 >> (x % 8));
  }
  return glyph;
}

void WriteFile(const std::filesystem::path &path, const std::string &bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), std::streamsize(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

} // namespace

CScriptSpec DemoScriptSpec() {
  CScriptSpec spec;
  spec.m_headerLength = 48;
  spec.m_shape = CTreeShape::Huffman;
  for (const CPicture &picture : kPictures)
    spec.m_kanjiGlyphs.push_back(Draw(picture));
  int index = 0;
  for (int size : kPageSizes) {
    auto &page = spec.m_pages.emplace_back();
    for (int line = 0; line < size; ++line, ++index) {
      CEntryCodes &entry = page.emplace_back();
      Compose(
          PlanEntry(index), [&](const CSentence &s) { AppendJapanese(s.m_japanese, entry); },
          [&](uint16_t c) { entry.push_back(c); });
      entry.push_back(0x0000);
    }
  }
  return spec;
}

std::vector<uint8_t> DemoEnglishLine(int line) {
  std::vector<uint8_t> out;
  if (line < 0 || line >= kTranslatedLines) return out;
  Compose(
      PlanEntry(line),
      [&](const CSentence &s) {
        // One by one: GCC 12 at -O2 and above takes a range insert here for
        // a read past the buffer (-Wstringop-overread).
        for (char c : s.m_english)
          out.push_back(uint8_t(c));
      },
      [&](uint16_t c) { out.push_back(uint8_t(c)); });
  out.push_back(0);
  return out;
}

void WriteDemoWorkspace(const std::filesystem::path &dir) {
  CBuiltScript script = BuildScript(DemoScriptSpec());
  WriteFile(dir / "x5DEMO.bin", std::string(script.m_bytes.begin(), script.m_bytes.end()));

  // The code book: the character of each kanji code, 32 while unidentified.
  std::string book;
  for (size_t i = 0; i < 2048; ++i) {
    unsigned value = i < kKanji.size() && kIdentified[i] ? unsigned(kKanji[i]) : 32u;
    book += std::to_string(value) + "\r\n";
  }
  WriteFile(dir / "data" / "kanjiCB" / "DEMO.kcb", book);

  // Page 0's English chunk: every element as the pair (0, byte); lines
  // without a translation are just the terminator pair.
  std::string chunk;
  for (int line = 0; line < kPageSizes[0]; ++line) {
    std::vector<uint8_t> english = DemoEnglishLine(line);
    if (english.empty()) english.push_back(0);
    for (uint8_t element : english) {
      chunk += '\0';
      chunk += char(element);
    }
  }
  // The chunk files of a script are named after its file name's stem.
  WriteFile(dir / "Scripts" / "PATCHED INFO" / "DEMO" / "x5DEMO0.tk7", chunk);
  // Pages 1 and 2 are not translated yet; Save English Text writes their
  // strings as terminators only, the last page exactly its own entries.
  for (int page = 1; page < int(std::size(kPageSizes)); ++page)
    WriteFile(dir / "Scripts" / "PATCHED INFO" / "DEMO" / ("x5DEMO" + std::to_string(page) + ".tk7"),
              std::string(2 * size_t(kPageSizes[page]), '\0'));

  // The scripts Compress All runs over.
  WriteFile(dir / "data" / "scriptlist.txt",
            "# The scripts Compress All compresses, one file name per line. Blank lines\r\n"
            "# and lines starting with '#' are ignored. Without this file Compress All\r\n"
            "# takes the x5*.bin files in the folder of the open script.\r\n"
            "x5DEMO.bin\r\n");

  for (const char *empty : {"compress", "Patch", "temp"})
    WriteFile(dir / empty / ".keep", std::string());

  WriteDemoKanjiStore(dir);
}

void WriteDemoKanjiStore(const std::filesystem::path &dir) {
  // The database a first start creates from data/fontfile.fon (drawn by the
  // artwork generator), in which the demo's identified kanji take the
  // records of their characters (the seed holds U+4E00 onward, one a
  // record), as after the translator saved them: opening the script then
  // matches them, and the demo opens without the first-start questions.
  std::ifstream in(KanjiFontPath(dir), std::ios::binary);
  if (!in) return; // no seed here: a first start will create the database
  std::vector<uint8_t> font((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  CKanjiStore store = KanjiStoreFromFont(font, "fontfile.fon").m_store;
  constexpr char16_t kFirstSeedCharacter = 0x4E00;
  for (size_t i = 0; i < kKanji.size(); ++i) {
    size_t record = size_t(kKanji[i] - kFirstSeedCharacter);
    if (!kIdentified[i] || kKanji[i] < kFirstSeedCharacter || record >= store.size()) continue;
    store[record].code = kKanji[i];
    store[record].glyph = Draw(kPictures[i]);
  }
  std::vector<uint8_t> bytes = SerializeKanjiStore(store);
  WriteFile(KanjiStorePath(dir), std::string(bytes.begin(), bytes.end()));
}

} // namespace quillan::testing
