// The per-script code book file: reading, writing, and a script without one.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/file_io.h"
#include "kanji/code_book.h"
#include "support/scratch_dir.h"

namespace quillan {
namespace {

using ::testing::HasSubstr;

std::string FileText(const std::filesystem::path &path) {
  auto bytes = ReadFileBytes(path);
  EXPECT_TRUE(bytes) << PathText(path);
  return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
}

CCodeBookLoad Parse(std::string_view text) {
  return ParseCodeBook(std::span(reinterpret_cast<const uint8_t *>(text.data()), text.size()), "ABC.kcb");
}

TEST(CodeBook, PathUsesTheShortName) {
  EXPECT_EQ(CodeBookPath("/w", "ABC"), std::filesystem::path("/w/data/kanjiCB/ABC.kcb"));
}

TEST(CodeBook, MissingBookStartsFromSpacesAndIsCreatedWithTenThousandLines) {
  testing::CScratchDir dir;
  auto path = CodeBookPath(dir.Path(), "ABC"); // data/kanjiCB does not exist yet
  auto load = LoadCodeBook(path);
  ASSERT_TRUE(load) << load.Error().Message();
  EXPECT_TRUE(load->m_created);
  EXPECT_EQ(load->m_warning, "");
  EXPECT_EQ(load->m_book, BlankCodeBook());
  std::string expected;
  for (int i = 0; i < 10000; ++i)
    expected += "32\r\n";
  EXPECT_EQ(FileText(path), expected);

  // The created file loads as spaces, without being created again.
  auto again = LoadCodeBook(path);
  ASSERT_TRUE(again);
  EXPECT_FALSE(again->m_created);
  EXPECT_EQ(again->m_warning, "");
  EXPECT_EQ(again->m_book, BlankCodeBook());
}

TEST(CodeBook, SaveWritesExactly2048LinesAndLoadsBack) {
  testing::CScratchDir dir;
  auto path = CodeBookPath(dir.Path(), "XYZ");
  KanjiCodeBook book = BlankCodeBook();
  book[0] = 0x4E00;
  book[1] = 0;
  book[2047] = 65535;
  ASSERT_TRUE(SaveCodeBook(book, path)) << "the kanjiCB folder is created";
  std::string text = FileText(path);
  EXPECT_EQ(text.substr(0, 18), "19968\r\n0\r\n32\r\n32\r\n");
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2048);
  EXPECT_EQ(text.substr(text.size() - 11), "32\r\n65535\r\n");
  auto load = LoadCodeBook(path);
  ASSERT_TRUE(load);
  EXPECT_EQ(load->m_warning, "");
  EXPECT_EQ(load->m_book, book);
  EXPECT_EQ(FormatCodeBook(book), text);
}

TEST(CodeBook, ReadingTakesTheFirst2048NumbersWhateverTheWhiteSpace) {
  std::string text;
  for (int i = 0; i < 3000; ++i)
    text += std::to_string(i) + (i % 3 == 0 ? "\n" : i % 3 == 1 ? "\r\n" : " \t ");
  CCodeBookLoad load = Parse(text);
  EXPECT_EQ(load.m_warning, "");
  for (int i = 0; i < 2048; ++i)
    ASSERT_EQ(load.m_book[size_t(i)], i);
}

TEST(CodeBook, DamagedBooksFillWithSpacesAndSaySo) {
  struct Case {
    const char *text;
    std::vector<std::pair<int, uint16_t>> entries; // (index, value); the rest must be spaces
    const char *says;
  };
  const Case cases[] = {
      {"", {}, "holds only 0 numbers; entries 0 to 2047 start as spaces"},
      {"19968\r\n20013\r\n", {{0, 19968}, {1, 20013}}, "holds only 2 numbers"},
      {"1\r\n2\r\nabc\r\n4\r\n", {{0, 1}, {1, 2}}, "line 3 is not a number; entries 2 to 2047"},
      {"7\r\n-5\r\n", {{0, 7}}, "line 2 is not a number"},
      {"70000\r\n", {{0, uint16_t(70000)}}, "do not fit 16 bits (first on line 1)"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.text);
    CCodeBookLoad load = Parse(c.text);
    EXPECT_THAT(load.m_warning, HasSubstr("ABC.kcb"));
    EXPECT_THAT(load.m_warning, HasSubstr(c.says));
    KanjiCodeBook expected = BlankCodeBook();
    for (auto [index, value] : c.entries)
      expected[size_t(index)] = value;
    EXPECT_EQ(load.m_book, expected);
  }
}

TEST(CodeBook, FailuresAreReportedNotSwallowed) {
  testing::CScratchDir dir;
  // The folder data/kanjiCB cannot be made because data is a file.
  ASSERT_TRUE(WriteFileAtomic(dir.Path() / "data", std::string_view("not a folder")));
  auto path = CodeBookPath(dir.Path(), "ABC");
  CStatus saved = SaveCodeBook(BlankCodeBook(), path);
  ASSERT_FALSE(saved);
  EXPECT_THAT(saved.Error().Message(), HasSubstr("ABC.kcb"));

  auto load = LoadCodeBook(path);
  ASSERT_TRUE(load);
  EXPECT_FALSE(load->m_created);
  EXPECT_THAT(load->m_warning, HasSubstr("ABC.kcb"));
  EXPECT_EQ(load->m_book, BlankCodeBook());
}

} // namespace
} // namespace quillan
