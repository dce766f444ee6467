// The project index and the translation checks on small projects with a
// planted finding of every check, and the text measures they rest on.

#include <gtest/gtest.h>

#include <tuple>

#include "codec/text_encoder.h"
#include "support/codec_fixture.h"
#include "support/project_fixture.h"
#include "support/scratch_dir.h"
#include "workbench/game_text.h"
#include "workbench/translation_checks.h"

namespace quillan {
namespace {

using testing::CScratchDir;

// "ab{03}" as elements: {XX} is a code in hex, anything else a byte.
std::vector<uint16_t> Codes(std::string_view text) {
  std::vector<uint16_t> codes;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '{') {
      size_t end = text.find('}', i);
      codes.push_back(uint16_t(std::stoul(std::string(text.substr(i + 1, end - i - 1)), nullptr, 16)));
      i = end;
    } else {
      codes.push_back(uint8_t(text[i]));
    }
  }
  return codes;
}
std::vector<uint16_t> Terminated(std::string_view text) {
  auto codes = Codes(text);
  codes.push_back(0);
  return codes;
}

TEST(GameTextTest, EndingsPlaceholdersAndShapes) {
  struct {
    const char *text;
    uint16_t ending;
    std::vector<CPlaceholder> placeholders;
    int columns, lines;
  } cases[] = {
      {"", 0, {}, 0, 0},
      {"abc{01}", 1, {}, 3, 1},
      {"abc{03}de{02}", 2, {}, 3, 2},
      {"abc{03}{01}", 1, {}, 3, 1},        // a line end before the bubble end starts no line
      {"ab{01}cd{03}ef{04}", 4, {}, 2, 2}, // two bubbles, the second of two lines
      {"a{08}{03}", 0, {}, 1, 1},          // the 3 is the colour's argument, no ending
      {"a{0e}{20}{04}", 0, {}, 1, 1},      // both tab arguments skipped
      {"{11}{05}x{10}{11}{12}", 0, {{0x11, 5}, {0x10, 0}, {0x11, 0x12}}, 1, 1},
      {"{11}{29}x", 0, {{0x11, 0}}, 2, 1}, // 41 is no name number: slot 2 and a glyph
      {"{08}{10}{1f}", 0, {{0x1f, 0}}, 0, 1},
      {"ab{100}{de}", 0, {}, 4, 1}, // kanji and voicing marks take cells
  };
  for (const auto &c : cases) {
    auto codes = Codes(c.text);
    EXPECT_EQ(EndingCode(codes), c.ending) << c.text;
    EXPECT_EQ(Placeholders(codes), c.placeholders) << c.text;
    CTextShape shape = MeasureText(codes);
    EXPECT_EQ(shape.MaxColumns(), c.columns) << c.text;
    EXPECT_EQ(shape.MaxLines(), c.lines) << c.text;
  }
}

TEST(GameTextTest, RecordBytesAgreeWithTheEncoder) {
  auto english = testing::RandomEnglish(7, {256, 100}, 100);
  CEncoderInput input{"T", 48, 2, 100, english};
  auto lengths = ElementCodeLengths(input);
  auto encoded = EncodeEnglishText(input, testing::SyntheticEnglishFont(48));
  ASSERT_TRUE(encoded.Ok()) << encoded.Error().Message();
  size_t at = 0;
  for (int page = 0; page < 2; ++page) {
    for (int line = 0; line < input.EntriesOnPage(page); ++line) {
      size_t n = encoded->m_spool[at];
      ASSERT_EQ(n, RecordBytes(english[size_t(page * 256 + line)], lengths)) << page << ":" << line;
      at += n + 1;
    }
  }
}

TEST(FoldCaseTest, AsciiAndFullWidthCapitals) {
  EXPECT_EQ(FoldCase("AbZ{0A}"), "abz{0a}");
  EXPECT_EQ(FoldCase("\xEF\xBC\xA1\xEF\xBC\xBA\xEF\xBD\x81"), "\xEF\xBD\x81\xEF\xBD\x9A\xEF\xBD\x81"); // ＡＺａ
  EXPECT_EQ(FoldCase("\xE3\x81\x8B"), "\xE3\x81\x8B");                                                 // か stays
}

// A project of two scripts with one planted finding of each check.
class ChecksTest : public ::testing::Test {
protected:
  struct CLine {
    const char *m_japanese;
    const char *m_english; // nullptr: untranslated
  };

  void Write(const std::string &name, const std::vector<CLine> &lines, uint32_t headerLength = 48) {
    testing::CScriptSpec spec;
    spec.m_headerLength = headerLength;
    spec.m_pages.emplace_back();
    std::vector<EnglishString> english(4096);
    for (size_t i = 0; i < lines.size(); ++i) {
      spec.m_pages[0].push_back(Terminated(lines[i].m_japanese));
      if (lines[i].m_english) english[i] = Terminated(lines[i].m_english);
    }
    testing::WriteProjectScript(m_dir.Path(), name, spec, english);
  }

  // A font whose glyph of '~' (record 0x5e) is blank.
  void WriteFonts() {
    for (uint32_t h : {36u, 48u}) {
      auto font = testing::SyntheticEnglishFont(h);
      size_t size = h == 36 ? 30 : 26;
      for (auto &b : font)
        if (b == 0) b = 1;
      std::fill(font.begin() + long(0x5e * size), font.begin() + long(0x5f * size), uint8_t(0));
      testing::WriteBytes(m_dir.Path() / "data" / (h == 36 ? "tk7-1.fon" : "tk7-2.fon"), font);
    }
  }

  std::vector<CFinding> Check() {
    auto status = m_index.Build(m_dir.Path(), ProjectScripts(m_dir.Path(), {}));
    EXPECT_TRUE(status.Ok());
    EXPECT_TRUE(m_index.Errors().empty());
    CProjectChecker checker(m_index, ReadCheckLimits(m_index));
    return checker.CheckProject();
  }

  using CKey = std::tuple<std::string, int, std::string>; // script, line, check
  std::vector<CKey> Keys(const std::vector<CFinding> &findings) {
    std::vector<CKey> keys;
    for (const CFinding &f : findings)
      keys.emplace_back(m_index.Script(f.m_script).m_name, f.m_line, f.m_check);
    return keys;
  }

  CScratchDir m_dir;
  CProjectIndex m_index;
};

std::string LongText() {
  std::string text;
  for (int i = 0; i < 400; ++i)
    text += char(0x21 + (i * 37) % 90);
  return text + "{01}";
}

TEST_F(ChecksTest, EveryCheckFindsItsPlantedFault) {
  WriteFonts();
  testing::WriteText(m_dir.Path() / "quillan.conf", "max-columns = 12\nmax-lines = 2\n");
  Write("x5AAA.bin", {
                         {"Hi there{01}", "Hi{01}"},                 // 0 clean: the reference
                         {"Go{01}", nullptr},                        // 1 untranslated
                         {"Stop{01}", "Halt{02}"},                   // 2 ending
                         {"{11}{05}a{10}{03}", "{11}{05}b{12}{03}"}, // 3 placeholder
                         {"Long{01}", LongText().c_str()},           // 4 too-long (and overflow)
                         {"Tilde{01}", "a~b{01}"},                   // 5 font
                         {"Wide{01}", "abcdefghijklm{01}"},          // 6 overflow: 13 columns
                         {"Tall{01}", "a{03}b{03}c{01}"},            // 7 overflow: 3 lines
                         {"Hi there{01}", "Hello{01}"},              // 8 inconsistent with 0:0
                         {"Pad{01}", " Pad  me {01}"},               // 9 spaces
                         {"Args{01}", "x{08}{20}{0e}{20}{20}y{01}"}, // 10 arguments are no spaces
                         {"", nullptr},                              // 11 nothing to translate
                     });
  Write("x5BBB.bin", {{"Hi there{01}", "Hi{01}"}, {"Hi there{01}", "Hey{01}"}}, 36);
  auto findings = Check();
  std::vector<CKey> expected = {
      {"x5AAA.bin", 1, "untranslated"}, {"x5AAA.bin", 2, "ending"},       {"x5AAA.bin", 3, "placeholder"},
      {"x5AAA.bin", 4, "too-long"},     {"x5AAA.bin", 4, "overflow"},     {"x5AAA.bin", 5, "font"},
      {"x5AAA.bin", 6, "overflow"},     {"x5AAA.bin", 7, "overflow"},     {"x5AAA.bin", 8, "inconsistent"},
      {"x5AAA.bin", 9, "spaces"},       {"x5BBB.bin", 1, "inconsistent"},
  };
  EXPECT_EQ(Keys(findings), expected);

  auto message = [&](const std::string &script, int line, const std::string &check) {
    for (const CFinding &f : findings)
      if (m_index.Script(f.m_script).m_name == script && f.m_line == line && f.m_check == check) return f.m_message;
    return std::string("(none)");
  };
  EXPECT_EQ(message("x5AAA.bin", 2, "ending"), "the Japanese ends with {01}, the English with {02}");
  EXPECT_EQ(message("x5AAA.bin", 3, "placeholder"), "missing {10}; extra {12}");
  EXPECT_EQ(message("x5AAA.bin", 5, "font"), "no pixel set in tk7-2.fon for ~ (7e)");
  EXPECT_EQ(message("x5AAA.bin", 6, "overflow"), "line 1 has 13 glyphs; at most 12 fit (max-columns)");
  EXPECT_EQ(message("x5AAA.bin", 7, "overflow"), "bubble 1 has 3 lines; at most 2 fit (max-lines)");
  EXPECT_EQ(message("x5AAA.bin", 8, "inconsistent"),
            "the same Japanese text is translated differently at x5AAA.bin 0:0");
  EXPECT_EQ(message("x5BBB.bin", 1, "inconsistent"),
            "the same Japanese text is translated differently at x5AAA.bin 0:0");
  EXPECT_EQ(message("x5AAA.bin", 9, "spaces"),
            "starts with a space; a space before the ending {01}; two spaces in a row");
  EXPECT_NE(message("x5AAA.bin", 4, "too-long").find("255"), std::string::npos);
  for (const CFinding &f : findings)
    EXPECT_EQ(f.m_severity, std::string(f.m_check) == "ending" || std::string(f.m_check) == "placeholder" ||
                                    std::string(f.m_check) == "too-long"
                                ? CSeverity::Error
                                : CSeverity::Warning)
        << f.m_check;
}

TEST_F(ChecksTest, EndingAndPlaceholderCases) {
  struct {
    const char *japanese, *english;
    const char *ending;      // message, or nullptr
    const char *placeholder; // message, or nullptr
  } cases[] = {
      {"a{03}", "b{03}", nullptr, nullptr},
      {"a{04}", "b", "the Japanese ends with {04}, the English does not", nullptr},
      {"a", "b{01}", "the English ends with {01}, the Japanese does not", nullptr},
      {"a{01}", "b{08}{01}", "the Japanese ends with {01}, the English does not", nullptr}, // a colour argument
      {"{11}{01}{11}{01}a", "{11}{01}b", nullptr, "missing {11}{01}"},                      // a multiset
      {"{11}{01}a", "{11}{02}b", nullptr, "missing {11}{01}; extra {11}{02}"},
      {"{13}{1f}a", "{1f}{13}b", nullptr, nullptr}, // order does not matter
  };
  std::vector<CLine> lines;
  for (const auto &c : cases)
    lines.push_back({c.japanese, c.english});
  Write("x5CCC.bin", lines);
  auto findings = Check();
  for (size_t i = 0; i < std::size(cases); ++i) {
    std::string ending = "(none)", placeholder = "(none)";
    for (const CFinding &f : findings) {
      if (f.m_line != int(i)) continue;
      if (std::string(f.m_check) == "ending") ending = f.m_message;
      if (std::string(f.m_check) == "placeholder") placeholder = f.m_message;
    }
    EXPECT_EQ(ending, cases[i].ending ? cases[i].ending : "(none)") << cases[i].english;
    EXPECT_EQ(placeholder, cases[i].placeholder ? cases[i].placeholder : "(none)") << cases[i].english;
  }
}

TEST_F(ChecksTest, OverflowLimitsDefaultToTheJapaneseText) {
  Write("x5DDD.bin", {{"abcdef{03}ab{03}a{01}", "abcdef{03}abcdef{03}a{01}"}, // as wide, as tall: fine
                      {"ab{01}", "abcdefg{01}"},                              // 7 columns
                      {"ab{01}", "a{03}b{03}c{03}d{01}"}});                   // 4 lines
  auto findings = Check();
  EXPECT_EQ(m_index.MaxJapaneseColumns(), 6);
  EXPECT_EQ(m_index.MaxJapaneseLines(), 3);
  std::vector<CKey> expected = {
      {"x5DDD.bin", 1, "overflow"}, {"x5DDD.bin", 2, "overflow"}, {"x5DDD.bin", 2, "inconsistent"}};
  EXPECT_EQ(Keys(findings), expected);
}

TEST_F(ChecksTest, TooLongFindsWhatTheEncoderRefuses) {
  // Many long lines in one script: the code lengths come from the whole text.
  testing::CScriptSpec spec = testing::LayoutScriptSpec(48, {256, 30});
  auto english = testing::RandomEnglish(11, {256, 30}, 330);
  testing::WriteProjectScript(m_dir.Path(), "x5EEE.bin", spec, english);
  testing::WriteEnglishFonts(m_dir.Path());
  auto findings = Check();
  std::string found;
  int count = 0;
  for (const CFinding &f : findings) {
    if (std::string(f.m_check) != "too-long") continue;
    found += (count++ ? "; page " : "page ") + std::to_string(f.m_page) + " line " + std::to_string(f.m_line + 1) +
             ": " + f.m_message.substr(f.m_message.find("takes ") + 6, 3) + " bytes";
  }
  ASSERT_GT(count, 0);
  CEncoderInput input{"EEE", 48, 2, 30, m_index.Script(0).EnglishStrings()};
  auto encoded = EncodeEnglishText(input, testing::SyntheticEnglishFont(48));
  ASSERT_FALSE(encoded.Ok());
  EXPECT_NE(encoded.Error().Message().find("(" + found + ")"), std::string::npos) << encoded.Error().Message() << "\n"
                                                                                  << found;
}

TEST_F(ChecksTest, LiveEnglishAndTheUpdateAfterASave) {
  Write("x5FFF.bin", {{"Hi{01}", "Hi{01}"}, {"Hi{01}", "Hi{01}"}, {"Yo{01}", nullptr}});
  ASSERT_TRUE(m_index.Build(m_dir.Path(), ProjectScripts(m_dir.Path(), {})).Ok());
  EXPECT_EQ(m_index.Progress().m_translated, 2);
  CProjectChecker checker(m_index, ReadCheckLimits(m_index));
  EXPECT_EQ(Keys(checker.CheckScript(0)), (std::vector<CKey>{{"x5FFF.bin", 2, "untranslated"}}));

  // The open document's text stands in for the saved one.
  std::vector<EnglishString> live = m_index.Script(0).EnglishStrings();
  live[1] = Terminated("Ho{01}");
  live[2] = Terminated("Yo{01}");
  checker.SetLiveEnglish(0, &live);
  EXPECT_EQ(Keys(checker.CheckScript(0)), (std::vector<CKey>{{"x5FFF.bin", 1, "inconsistent"}}));
  std::vector<CFinding> one;
  checker.CheckEntry({0, 1}, checker.Prepare(0), one);
  EXPECT_EQ(Keys(one), (std::vector<CKey>{{"x5FFF.bin", 1, "inconsistent"}}));

  // After the save the index holds the same.
  ASSERT_TRUE(m_index.UpdateEnglish("x5FFF.bin", live, nullptr));
  checker.SetLiveEnglish(0, nullptr);
  EXPECT_EQ(Keys(checker.CheckScript(0)), (std::vector<CKey>{{"x5FFF.bin", 1, "inconsistent"}}));
  EXPECT_EQ(m_index.Progress().m_translated, 3);
  EXPECT_EQ(m_index.Script(0).EnglishDump(2), "Yo{01}");
  EXPECT_FALSE(m_index.UpdateEnglish("x5NONE.bin", live, nullptr));
}

TEST_F(ChecksTest, IndexCountsPagesAndReportsUnreadableScripts) {
  testing::CScriptSpec spec = testing::LayoutScriptSpec(36, {256, 256, 10});
  std::vector<EnglishString> english(4096);
  english[0] = Terminated("a");
  english[256 + 5] = Terminated("b");
  english[512 + 9] = Terminated("c");
  english[512 + 3] = Terminated(""); // an empty string is not translated
  testing::WriteProjectScript(m_dir.Path(), "X5GGG.BIN", spec, english);
  testing::WriteText(m_dir.Path() / "x5bad.bin", "not a script");
  testing::WriteText(m_dir.Path() / "x6other.bin", "not in the project");
  ASSERT_TRUE(m_index.Build(m_dir.Path(), ProjectScripts(m_dir.Path(), {})).Ok());
  ASSERT_EQ(m_index.ScriptCount(), 1);
  ASSERT_EQ(m_index.Errors().size(), 1u);
  EXPECT_NE(m_index.Errors()[0].Message().find("x5bad.bin"), std::string::npos) << m_index.Errors()[0].Message();
  const CIndexedScript &script = m_index.Script(0);
  EXPECT_EQ(script.m_name, "X5GGG.BIN");
  EXPECT_EQ(script.EntryCount(), 522);
  EXPECT_EQ(script.Progress().m_translated, 3);
  EXPECT_EQ(script.PageProgress(2).m_entries, 10);
  EXPECT_EQ(script.PageProgress(2).m_translated, 1);
  EXPECT_EQ(script.PageProgress(2).PercentText(), "10.0");
  EXPECT_EQ(script.EntryIndex(2, 9), 521);
  EXPECT_EQ(script.EntryIndex(2, 10), -1);
  EXPECT_EQ((CProgressCount{3, 1}.PercentText()), "33.3");
  EXPECT_EQ((CProgressCount{3, 2}.PercentText()), "66.6"); // rounded down
  EXPECT_EQ((CProgressCount{2000, 1999}.PercentText()), "99.9");
  EXPECT_EQ((CProgressCount{0, 0}.PercentText()), "0.0");
}

TEST_F(ChecksTest, SameJapaneseWithUnknownKanjiStaysWithinItsScript) {
  Write("x5HHH.bin", {{"{100}a{01}", "A{01}"}, {"{100}a{01}", "A{01}"}});
  Write("x5III.bin", {{"{100}a{01}", "B{01}"}, {"b{01}", "B{01}"}});
  auto findings = Check();
  EXPECT_TRUE(Keys(findings).empty());
  auto same = m_index.SameJapanese({0, 0});
  EXPECT_EQ(std::vector<CEntryRef>(same.begin(), same.end()), (std::vector<CEntryRef>{{0, 0}, {0, 1}}));
  EXPECT_EQ(m_index.Script(1).JapaneseDump(0), "{k0100}a{01}");
}

} // namespace
} // namespace quillan
