// Compress All: the list of scripts, each script's own layout, the open
// document left as it was, and the failures that stop a script or the run.

#include <gtest/gtest.h>

#include "codec/batch_compress.h"
#include "codec/english_text.h"
#include "core/script_file.h"
#include "support/codec_fixture.h"
#include "support/scratch_dir.h"

namespace quillan {
namespace {

using testing::CScratchDir;
using testing::English;
using testing::LayoutScriptSpec;
using testing::RandomEnglish;
using testing::WriteBytes;
using testing::WriteText;

TEST(BatchList, ReadsOneNamePerLineAndRefusesNamesThatLeaveTheFolders) {
  auto names = ParseBatchScriptList("\xEF\xBB\xBFX5AAA.bin\r\n# a comment\r\n\r\n  X5BBB.bin  \nX5CCC.bin", "list");
  ASSERT_TRUE(names.Ok());
  EXPECT_EQ(*names, (std::vector<std::string>{"X5AAA.bin", "X5BBB.bin", "X5CCC.bin"}));
  struct Case {
    const char *text, *message;
  } bad[] = {
      {"X5AAA.bin\n../X5BBB.bin\n", "list: line 2: \"../X5BBB.bin\" holds a folder separator"},
      {"X5A\\B.bin\n", "list: line 1: \"X5A\\B.bin\" holds a folder separator"},
      {"\n\nX5.bin\n", "list: line 3: \"X5.bin\" has no short name"},
      {"X5...bin\n", "list: line 1: \"X5...bin\" has no short name"},
      {"..\n", "list: line 1: \"..\" is not a file name"},
  };
  for (const Case &c : bad) {
    auto refused = ParseBatchScriptList(c.text, "list");
    ASSERT_FALSE(refused.Ok()) << c.text;
    EXPECT_EQ(refused.Error().Message().rfind(c.message, 0), 0u) << refused.Error().Message();
  }
}

TEST(BatchList, WithoutAListFileTakesTheScriptsBesideTheOpenOneInByteOrder) {
  CScratchDir dir;
  for (const char *name : {"x5b.bin", "X5A.BIN", "x5_z.bin", "x5C.txt", "notx5.bin", "x5.bin"})
    WriteText(dir.Path() / "scripts" / name, "x");
  std::filesystem::create_directories(dir.Path() / "scripts" / "x5dir.bin");
  auto list = ReadBatchScriptList(dir.Path(), dir.Path() / "scripts");
  ASSERT_TRUE(list.Ok());
  EXPECT_EQ(list->m_names, (std::vector<std::string>{"X5A.BIN", "x5_z.bin", "x5b.bin"}));

  WriteText(dir.Path() / "data" / "scriptlist.txt", "x5only.bin\n");
  list = ReadBatchScriptList(dir.Path(), dir.Path() / "scripts");
  ASSERT_TRUE(list.Ok());
  EXPECT_EQ(list->m_names, std::vector<std::string>{"x5only.bin"});
}

// The English strings of a page as written into a chunk file.
void WriteChunks(const std::filesystem::path &dir, const std::string &name, const std::vector<EnglishString> &strings,
                 const std::vector<int> &pages) {
  for (size_t page = 0; page < pages.size(); ++page) {
    auto lines = std::span<const EnglishString>(strings).subspan(page * 256, size_t(pages[page]));
    std::string file = StemOf(name) + char('0' + page) + ".tk7";
    WriteBytes(dir / "Scripts" / "PATCHED INFO" / ShortNameOf(name) / file, EnglishChunkBytes(lines));
  }
}

std::unique_ptr<CScriptFile> OpenOutput(const std::filesystem::path &dir, const std::string &shortName) {
  auto script = CScriptFile::Open((dir / "compress" / ("X5" + shortName + ".bin")).string());
  EXPECT_TRUE(script.Ok()) << (script.Ok() ? "" : script.Error().Message());
  return script.Ok() ? std::move(script.Value()) : nullptr;
}

void ExpectText(CScriptFile &script, const std::vector<EnglishString> &strings, const std::vector<int> &pages,
                const std::string &where) {
  ASSERT_EQ(script.m_pageCount, int(pages.size())) << where;
  EXPECT_EQ(script.m_linesOnLastPage, pages.back()) << where << ": the filler bytes add no entries";
  for (size_t page = 0; page < pages.size(); ++page) {
    for (int line = 0; line < pages[page]; ++line) {
      const EnglishString &text = strings[page * 256 + size_t(line)];
      const uint16_t *entry = script.DecodeEntry(int(page), line);
      for (size_t i = 0; i < text.size(); ++i)
        ASSERT_EQ(entry[i], text[i]) << where << " " << page << "/" << line;
    }
  }
}

class BatchTest : public ::testing::Test {
protected:
  void SetUp() override {
    testing::WriteEnglishFonts(m_dir.Path());
    ASSERT_TRUE(testing::OpenBuiltScript(m_doc, m_dir.Path(), "x5OPEN.bin", LayoutScriptSpec(48, {256, 20})).Ok());
    m_openText = RandomEnglish(1, {256, 20});
    WriteChunks(m_dir.Path(), "x5OPEN.bin", m_openText, {256, 20});
  }

  CScratchDir m_dir;
  CTranslationDocument m_doc;
  std::vector<EnglishString> m_openText;
};

TEST_F(BatchTest, CompressesEveryScriptWithItsOwnLayoutAndLeavesTheDocumentAlone) {
  const auto &base = m_dir.Path();
  // A longer script with a 36-byte header beside the open one, with its
  // saved text; one beside without saved text; one only in the list.
  WriteBytes(base / "x5BIG.bin", testing::BuildScript(LayoutScriptSpec(36, {256, 256, 256, 5})).m_bytes);
  auto bigText = RandomEnglish(2, {256, 256, 256, 5}, 20);
  WriteChunks(base, "x5BIG.bin", bigText, {256, 256, 256, 5});
  WriteBytes(base / "x5NONE.bin", testing::BuildScript(LayoutScriptSpec(36, {256, 3})).m_bytes);
  auto farText = RandomEnglish(3, {256, 256, 7});
  WriteChunks(base, "X5FAR.bin", farText, {256, 256, 7});
  WriteText(base / "data" / "scriptlist.txt", "# the game's scripts\nx5BIG.bin\nx5NONE.bin\n\nX5FAR.bin\n");

  // Unsaved edits of the open script.
  m_doc.LoadedAt(0, 0) = English("unsaved edit");
  m_doc.m_modified = 1;
  const auto strings = m_doc.EnglishStrings();

  std::vector<std::string> seen;
  auto report = CompressAll(m_doc, [&](int done, int total, const CBatchItem &item) {
    EXPECT_EQ(done, int(seen.size()) + 1);
    EXPECT_EQ(total, 5);
    seen.push_back(item.m_name);
    return true;
  });
  ASSERT_TRUE(report.Ok()) << report.Error().Message();
  EXPECT_EQ(seen, (std::vector<std::string>{"x5OPEN.bin", "x5BIG.bin", "x5NONE.bin", "X5FAR.bin", "x5OPEN.bin"}));
  EXPECT_EQ(report->Failures(), 0) << report->Summary();

  EXPECT_TRUE(m_doc.EnglishStrings() == strings) << "the open document keeps its unsaved text";
  EXPECT_EQ(m_doc.m_modified, 1);
  EXPECT_EQ(m_doc.m_shortName, "OPEN");
  EXPECT_EQ(m_doc.m_pageCount, 2);
  EXPECT_EQ(m_doc.m_linesOnLastPage, 20);

  auto open = OpenOutput(base, "OPEN");
  ASSERT_TRUE(open);
  EXPECT_EQ(open->m_headerLength, 48u);
  ExpectText(*open, m_openText, {256, 20}, "OPEN: its saved text, not the unsaved edit");

  auto big = OpenOutput(base, "BIG");
  ASSERT_TRUE(big);
  EXPECT_EQ(big->m_headerLength, 36u) << "from its own script file";
  ExpectText(*big, bigText, {256, 256, 256, 5}, "BIG: all four pages");

  auto none = OpenOutput(base, "NONE");
  ASSERT_TRUE(none);
  EXPECT_EQ(none->m_headerLength, 36u);
  ExpectText(*none, std::vector<EnglishString>(512, EnglishString{0}), {256, 3}, "NONE: empty entries");
  EXPECT_NE(report->Summary().find("x5NONE.bin: note: no saved English text"), std::string::npos) << report->Summary();

  auto far = OpenOutput(base, "FAR");
  ASSERT_TRUE(far);
  EXPECT_EQ(far->m_headerLength, 48u) << "no script file beside: the open script's header";
  ExpectText(*far, farText, {256, 256, 7}, "FAR");
}

TEST_F(BatchTest, AFailingScriptIsReportedAndTheRunGoesOn) {
  const auto &base = m_dir.Path();
  std::vector<EnglishString> longText(256, English("fine"));
  longText[41] = EnglishString(300, 0x7E);
  longText[41].push_back(0);
  WriteChunks(base, "X5LONG.bin", longText, {256});
  WriteChunks(base, "X5OK.bin", RandomEnglish(4, {9}), {9});
  WriteText(base / "compress" / "X5LONG.bin", "previous output");
  WriteText(base / "data" / "scriptlist.txt", "X5LONG.bin\nX5OK.bin\n");

  auto report = CompressAll(m_doc);
  ASSERT_TRUE(report.Ok());
  ASSERT_EQ(report->m_items.size(), 4u);
  EXPECT_EQ(report->Failures(), 1);
  EXPECT_FALSE(report->m_items[1].m_ok);
  EXPECT_NE(report->m_items[1].m_message.find("page 0 line 42"), std::string::npos) << report->m_items[1].m_message;
  auto previous = testing::ReadBytes(base / "compress" / "X5LONG.bin");
  EXPECT_EQ(std::string(previous.begin(), previous.end()), "previous output")
      << "a file the game cannot read is never written";
  EXPECT_TRUE(OpenOutput(base, "OK"));
  EXPECT_EQ(report->Summary().rfind("Compressed 3 of 4 scripts, 1 failed.\nX5LONG.bin: failed: ", 0), 0u)
      << report->Summary();
}

TEST_F(BatchTest, StopsWithoutTheEnglishFontOrWhenCancelled) {
  const auto &base = m_dir.Path();
  WriteText(base / "data" / "scriptlist.txt", "X5A.bin\nX5B.bin\nX5C.bin\n");
  int calls = 0;
  auto cancelled = CompressAll(m_doc, [&](int, int, const CBatchItem &) { return ++calls < 2; });
  ASSERT_TRUE(cancelled.Ok());
  EXPECT_TRUE(cancelled->m_cancelled);
  EXPECT_EQ(cancelled->m_items.size(), 2u);
  EXPECT_TRUE(std::filesystem::exists(base / "compress" / "X5A.bin"));
  EXPECT_FALSE(std::filesystem::exists(base / "compress" / "X5B.bin"));

  std::filesystem::remove(base / "data" / "tk7-2.fon");
  auto stopped = CompressAll(m_doc);
  ASSERT_TRUE(stopped.Ok());
  EXPECT_EQ(stopped->m_items.size(), 1u);
  EXPECT_NE(stopped->m_stoppedBy.find("tk7-2.fon"), std::string::npos) << stopped->m_stoppedBy;

  CTranslationDocument closed;
  auto refused = CompressAll(closed);
  ASSERT_FALSE(refused.Ok());
  EXPECT_EQ(refused.Error().Message().rfind("No script is open", 0), 0u);
}

TEST_F(BatchTest, AScriptFileBesideGivesTheLayoutAndTheChunkFilesOnlyFillIt) {
  const auto &base = m_dir.Path();
  // Three pages in the script file, saved text for the first two only.
  WriteBytes(base / "x5THREE.bin", testing::BuildScript(LayoutScriptSpec(36, {256, 256, 9})).m_bytes);
  auto text = RandomEnglish(5, {256, 256});
  WriteChunks(base, "x5THREE.bin", text, {256, 256});
  // A list name that differs from the open script's only in letter case.
  WriteText(base / "data" / "scriptlist.txt", "x5THREE.bin\nX5open.BIN\n");

  auto report = CompressAll(m_doc);
  ASSERT_TRUE(report.Ok()) << report.Error().Message();
  EXPECT_EQ(report->Failures(), 0) << report->Summary();
  auto three = OpenOutput(base, "THREE");
  ASSERT_TRUE(three);
  EXPECT_EQ(three->m_headerLength, 36u);
  ASSERT_EQ(three->m_pageCount, 3) << "the game's file has three pages";
  EXPECT_EQ(three->m_linesOnLastPage, 9);
  text.resize(16 * 256);
  for (int line = 0; line < 9; ++line)
    text[512 + size_t(line)] = EnglishString{0};
  ExpectText(*three, text, {256, 256, 9}, "THREE");

  // The case variant is the open script: its text, its output file, and no
  // second output of empty entries under the variant's name.
  ASSERT_EQ(report->m_items.size(), 4u);
  EXPECT_EQ(report->m_items[2].m_outcome.m_output, report->m_items[0].m_outcome.m_output);
  EXPECT_FALSE(std::filesystem::exists(base / "compress" / "X5open.bin"));
  auto open = OpenOutput(base, "OPEN");
  ASSERT_TRUE(open);
  ExpectText(*open, m_openText, {256, 20}, "OPEN");
}

TEST_F(BatchTest, AChunkFileThatExistsButCannotBeReadStopsTheRunAndWritesNothing) {
  const auto &base = m_dir.Path();
  WriteChunks(base, "X5BAD.bin", RandomEnglish(6, {256, 4}), {256, 4});
  auto blocked = base / "Scripts" / "PATCHED INFO" / "BAD" / "X5BAD1.tk7";
  std::filesystem::remove(blocked);
  std::filesystem::create_directories(blocked); // a folder in its place
  WriteText(base / "compress" / "X5BAD.bin", "previous output");
  WriteText(base / "data" / "scriptlist.txt", "X5BAD.bin\nX5AFTER.bin\n");
  WriteChunks(base, "X5AFTER.bin", RandomEnglish(7, {3}), {3});

  auto report = CompressAll(m_doc);
  ASSERT_TRUE(report.Ok());
  ASSERT_EQ(report->m_items.size(), 2u) << report->Summary();
  EXPECT_FALSE(report->m_items[1].m_ok);
  EXPECT_NE(report->m_stoppedBy.find("X5BAD1.tk7: is a folder"), std::string::npos) << report->m_stoppedBy;
  auto previous = testing::ReadBytes(base / "compress" / "X5BAD.bin");
  EXPECT_EQ(std::string(previous.begin(), previous.end()), "previous output");
  EXPECT_FALSE(std::filesystem::exists(base / "compress" / "X5AFTER.bin"));

  // The open script's own chunk file: the first run already stops.
  auto own = base / "Scripts" / "PATCHED INFO" / "OPEN" / "x5OPEN1.tk7";
  std::filesystem::remove(own);
  std::filesystem::create_directories(own);
  std::filesystem::remove(base / "compress" / "X5OPEN.bin");
  auto first = CompressAll(m_doc);
  ASSERT_TRUE(first.Ok());
  EXPECT_EQ(first->m_items.size(), 1u);
  EXPECT_NE(first->m_stoppedBy.find("x5OPEN1.tk7"), std::string::npos) << first->m_stoppedBy;
  EXPECT_FALSE(std::filesystem::exists(base / "compress" / "X5OPEN.bin"));
}

} // namespace
} // namespace quillan
