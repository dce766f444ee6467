// The Fill submenu: the three imports on small files, the ending code they
// carry over from the Japanese entry, defects of the files, and the two
// label generators.

#include <gtest/gtest.h>

#include "codec/fill_commands.h"
#include "support/codec_fixture.h"
#include "support/scratch_dir.h"

namespace quillan {
namespace {

using testing::CScratchDir;
using testing::English;
using testing::LayoutScriptSpec;

std::span<const uint8_t> Bytes(std::string_view text) {
  return {reinterpret_cast<const uint8_t *>(text.data()), text.size()};
}

// A script of two pages, 256 and 40 entries; entry (page, line) of the
// layout script ends with the code line % 3 + 1 before its terminator.
class FillTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(testing::OpenBuiltScript(m_doc, m_dir.Path(), "x5ABC.bin", LayoutScriptSpec(48, {256, 40})).Ok());
    for (int line = 0; line < 256; ++line)
      m_doc.LoadedAt(0, line) = English("old");
    for (int line = 0; line < 40; ++line)
      m_doc.LoadedAt(1, line) = English("old");
  }
  static uint16_t Ending(int line) { return uint16_t(line % 3 + 1); }
  EnglishString WithEnding(std::string_view text, int line) {
    EnglishString out(text.begin(), text.end());
    out.push_back(Ending(line));
    out.push_back(0);
    return out;
  }

  CScratchDir m_dir;
  CTranslationDocument m_doc;
};

TEST(EntryEnding, IsTheControlCodeBeforeTheTerminator) {
  struct Case {
    std::vector<uint16_t> codes;
    uint16_t ending;
  } cases[] = {
      {{0x91, 0x02, 0x0000}, 2},
      {{0x91, 0x03, 0x0800}, 3},
      {{0x91, 0x01, 0xFF00}, 1},
      {{0x91, 0x04, 0x0000}, 0},
      {{0x0000}, 0},
      {{0x0103, 0x0000}, 0},             // a kanji whose low byte is 3 is no line end
      {{0x02, 0x0100, 0x91, 0x0000}, 0}, // kanji 0x100 does not end the entry
      {{0x91, 0x0100, 0x02, 0x0000}, 2},
  };
  for (const Case &c : cases) {
    std::vector<uint16_t> entry(kEntryCapacity, 0);
    std::copy(c.codes.begin(), c.codes.end(), entry.begin());
    EXPECT_EQ(EntryEndingCode(entry.data()), c.ending) << ::testing::PrintToString(c.codes);
  }
  std::vector<uint16_t> full(kEntryCapacity, 0x91);
  full.back() = 0x03;
  EXPECT_EQ(EntryEndingCode(full.data()), 3) << "no terminator within 600 codes";
}

TEST(TextLines, SplitOnEveryKindOfLineEnd) {
  using Lines = std::vector<std::vector<uint8_t>>;
  auto lines = [](std::string_view text) { return ParseTextLines(Bytes(text)); };
  auto v = [](std::string_view s) { return std::vector<uint8_t>(s.begin(), s.end()); };
  EXPECT_EQ(lines("AB\r\nCD\r\n"), (Lines{v("AB"), v("CD")}));
  EXPECT_EQ(lines("A\r\nB\r\n"), (Lines{v("A"), v("B")})) << "a one-character line keeps no CR";
  EXPECT_EQ(lines("A\n\nB"), (Lines{v("A"), v(""), v("B")})) << "an empty line is an empty string";
  EXPECT_EQ(lines("A\rB\r\rC"), (Lines{v("A"), v("B"), v(""), v("C")}));
  EXPECT_EQ(lines("last"), (Lines{v("last")}));
  EXPECT_EQ(lines(""), Lines{});
  EXPECT_EQ(lines("\n"), (Lines{v("")}));
}

TEST_F(FillTest, TextFillsFromTheCurrentLineAndCarriesTheEndingCode) {
  m_doc.m_currentLine = 254;
  auto outcome = FillFromTextBytes(m_doc, Bytes("AB\r\nCD\r\n\r\nEF"), "t.txt");
  ASSERT_TRUE(outcome.Ok());
  EXPECT_EQ(outcome->m_linesFilled, 2);
  EXPECT_EQ(outcome->m_message, "t.txt: 2 lines past the end of page 0 (256 entries) were not taken");
  EXPECT_EQ(m_doc.EnglishAt(0, 254), WithEnding("AB", 254));
  EXPECT_EQ(m_doc.EnglishAt(0, 255), WithEnding("CD", 255));
  EXPECT_EQ(m_doc.EnglishAt(0, 253), English("old"));
  EXPECT_EQ(m_doc.EnglishAt(1, 0), English("old")) << "never spills into the next page";
  EXPECT_EQ(m_doc.m_modified, 1);

  m_doc.m_currentLine = 0;
  ASSERT_TRUE(FillFromTextBytes(m_doc, Bytes("A\r\n\r\nC"), "t.txt").Ok());
  EXPECT_EQ(m_doc.EnglishAt(0, 0), WithEnding("A", 0));
  EXPECT_EQ(m_doc.EnglishAt(0, 1), WithEnding("", 1));
  EXPECT_EQ(m_doc.EnglishAt(0, 2), WithEnding("C", 2)) << "a last line without a line end is terminated";
  EXPECT_EQ(m_doc.EnglishAt(0, 3), English("old")) << "the line after the file's text keeps its text";
}

TEST_F(FillTest, ScriptFileStringsEndAtAnyZeroSecondByte) {
  auto strings =
      ParseScriptFileStrings(std::vector<uint8_t>{0, 0x41, 0, 0xFE, 0, 0, 7, 0x42, 9, 0xFF, 5, 0, 0, 0x43, 0x44});
  ASSERT_EQ(strings.size(), 3u);
  EXPECT_EQ(strings[0], (EnglishString{0x41, 30, 0}));
  EXPECT_EQ(strings[1], (EnglishString{0x42, 30, 0})) << "the first byte is ignored";
  EXPECT_EQ(strings[2], (EnglishString{0x43, 0})) << "cut short by the end of the file, and the odd byte dropped";

  m_doc.m_currentLine = 10;
  ASSERT_TRUE(FillFromScriptFileBytes(m_doc, std::vector<uint8_t>{0, 0x41, 0, 0, 0, 0}, "s.dat").Ok());
  EXPECT_EQ(m_doc.EnglishAt(0, 10), (EnglishString{0x41, 0}));
  EXPECT_EQ(m_doc.EnglishAt(0, 11), (EnglishString{0}));
  EXPECT_EQ(m_doc.EnglishAt(0, 12), English("old"));
}

TEST_F(FillTest, VdrTextFillsTheAddressedEntries) {
  m_doc.m_currentPage = 0;
  m_doc.m_currentLine = 3;
  std::string text = "~1-5~ a note\r\n Hello \r\n"
                     "~0-0~\r\nskipped: the label converter's line 0\r\n"
                     "\r\n"
                     "#0#256#\nLast  \n";
  auto outcome = FillFromVdrTextBytes(m_doc, Bytes(text), "v.txn");
  ASSERT_TRUE(outcome.Ok());
  EXPECT_EQ(outcome->m_message, "");
  EXPECT_EQ(outcome->m_linesFilled, 2);
  EXPECT_EQ(m_doc.EnglishAt(1, 4), WithEnding("Hello", 4)) << "one leading and one trailing space dropped";
  EXPECT_EQ(m_doc.EnglishAt(0, 255), WithEnding("Last ", 255));
  EXPECT_EQ(m_doc.EnglishAt(0, 3), English("old")) << "the current entry is not emptied";
  EXPECT_EQ(m_doc.EnglishAt(0, 0), English("old"));
}

TEST_F(FillTest, VdrTextStopsAtADefectAndKeepsWhatWasFilled) {
  struct Case {
    std::string text;
    std::string message;
  } cases[] = {
      {"~0-1~\nfirst\nnot a record\nx\n", "v.txn: line 3: the record line \"not a record\" is not of the form"},
      {"~0-1~\nfirst\n~0-2~\n" + std::string(2550, 'x') + "\n", "v.txn: line 4: the text line holds 2550 characters"},
      {"~0-1~\nfirst\n~2-1~\nx\n", "v.txn: line 3: Error, went to far with Pages (page 2"},
      {"~0-1~\nfirst\n~1-41~\nx\n", "v.txn: line 3: Error, went to far with Lines (line 41; page 1 has 40 lines)"},
      {"~0-1~\nfirst\n~0-2~", "v.txn: line 3: the record has no text line after it"},
  };
  for (const Case &c : cases) {
    m_doc.LoadedAt(0, 0) = English("old");
    m_doc.LoadedAt(0, 1) = English("old");
    m_doc.m_modified = 0;
    auto outcome = FillFromVdrTextBytes(m_doc, Bytes(c.text), "v.txn");
    ASSERT_TRUE(outcome.Ok());
    EXPECT_TRUE(outcome->m_stopped);
    EXPECT_EQ(outcome->m_message.rfind(c.message, 0), 0u) << outcome->m_message;
    EXPECT_NE(outcome->m_message.find("the 1 entry filled before it keeps its text"), std::string::npos);
    EXPECT_EQ(m_doc.EnglishAt(0, 0), WithEnding("first", 0)) << c.message;
    EXPECT_EQ(m_doc.EnglishAt(0, 1), English("old")) << c.message;
    EXPECT_EQ(m_doc.m_modified, 1);
  }
  // A text line of exactly 2549 characters fits.
  auto fits = FillFromVdrTextBytes(m_doc, Bytes("~0-1~\n" + std::string(2549, 'y') + "\n"), "v.txn");
  ASSERT_TRUE(fits.Ok());
  EXPECT_EQ(fits->m_message, "");
  EXPECT_EQ(m_doc.EnglishAt(0, 0).size(), 2549u + 2u);
}

TEST_F(FillTest, GeneratorsLabelEveryLineOfTheCurrentPage) {
  m_doc.m_currentPage = 1;
  m_doc.m_linesOnPage = 40;
  m_doc.m_fillWithName = 1;
  ASSERT_TRUE(FillWithNumbers(m_doc).Ok());
  EXPECT_EQ(m_doc.m_fillWithName, 0);
  EXPECT_EQ(m_doc.EnglishAt(1, 0), (EnglishString{8, 2, '1', 8, 4, '1', 0}));
  EXPECT_EQ(m_doc.EnglishAt(1, 39), (EnglishString{8, 2, '1', 8, 4, '4', '0', 0}));
  EXPECT_EQ(m_doc.EnglishAt(0, 0), English("old"));

  m_doc.m_currentPage = 0;
  m_doc.m_linesOnPage = 256;
  ASSERT_TRUE(FillWithNumbers(m_doc).Ok());
  EXPECT_EQ(m_doc.EnglishAt(0, 255), (EnglishString{8, 2, '0', 8, 4, '2', '5', '6', 0}));
  ASSERT_TRUE(FillWithNameAndNumber(m_doc).Ok());
  EXPECT_EQ(m_doc.m_fillWithName, 1);
  EXPECT_EQ(m_doc.EnglishAt(0, 9), (EnglishString{'A', 'B', 'C', '0', ' ', 8, 4, '1', '0', 0}));
  EXPECT_EQ(m_doc.m_modified, 1);
}

TEST_F(FillTest, RefusedOrUnreadableLeavesTheDocumentAlone) {
  m_doc.m_modified = 0;
  m_doc.m_currentLine = 7;
  auto missing = m_dir.Path() / "nothing.txt";
  for (auto fill : {&FillFromText, &FillFromScriptFile, &FillFromVdrText}) {
    auto outcome = fill(m_doc, missing);
    ASSERT_FALSE(outcome.Ok());
    EXPECT_NE(outcome.Error().Message().find("nothing.txt"), std::string::npos);
  }
  EXPECT_EQ(m_doc.EnglishAt(0, 7), English("old"));
  EXPECT_EQ(m_doc.m_modified, 0);

  CTranslationDocument closed;
  EXPECT_FALSE(FillWithNumbers(closed).Ok());
  EXPECT_FALSE(FillFromTextBytes(closed, Bytes("text\n"), "t.txt").Ok());
  EXPECT_TRUE(closed.EnglishStrings()[0].empty());
}

} // namespace
} // namespace quillan
