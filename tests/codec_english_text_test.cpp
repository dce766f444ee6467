// Save English Text and the chunk files: the bytes of a page, the round trip
// document -> chunk files -> document, missing folders, files that cannot be
// written, and the demo's saved text.

#include <gtest/gtest.h>

#include "codec/english_text.h"
#include "core/file_io.h"
#include "kanji/code_book.h"
#include "kanji/kanji_store.h"
#include "support/codec_fixture.h"
#include "support/demo_workspace.h"
#include "support/scratch_dir.h"

namespace quillan {
namespace {

using testing::CScratchDir;
using testing::English;
using testing::LayoutScriptSpec;
using testing::OpenBuiltScript;
using testing::ReadBytes;

TEST(ChunkFile, KeepsEachStringUpToItsFirstZero) {
  struct Case {
    EnglishString text;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {{0x41, 0x42, 0x00, 0x58}, {0, 0x41, 0, 0x42, 0, 0}}, // X after the terminator is not kept
      {{}, {0, 0}},
      {{0x41}, {0, 0x41, 0, 0}},                 // a terminator is added
      {{0x0141, 0x0100, 0x42}, {0, 0x41, 0, 0}}, // the high byte goes; a low byte 0 ends the string
      {{0x08, 0x02, 0x01, 0x00}, {0, 8, 0, 2, 0, 1, 0, 0}},
  };
  for (const Case &c : cases)
    EXPECT_EQ(EnglishChunkBytes(std::span(&c.text, 1)), c.bytes);
}

TEST(SaveEnglishText, RoundTripsThroughTheChunkFilesAndCreatesTheFolders) {
  CScratchDir dir;
  CTranslationDocument doc;
  ASSERT_TRUE(OpenBuiltScript(doc, dir.Path(), "x5RT.bin", LayoutScriptSpec(48, {256, 10})).Ok());
  ASSERT_FALSE(std::filesystem::exists(dir.Path() / "Scripts")) << "no folders before the first save";
  auto strings = testing::RandomEnglish(3, {256, 10});
  strings[5] = {0x41, 0x42};          // no terminator yet
  strings[6] = {};                    // never typed
  strings[256 + 9] = {0x43, 0, 0x44}; // the last entry of the last page
  std::copy(strings.begin(), strings.begin() + 512, doc.LoadedStrings().begin());
  doc.m_modified = 1;
  doc.m_currentPage = 1;
  doc.m_linesOnPage = 10;

  auto status = SaveEnglishText(doc, nullptr);
  ASSERT_TRUE(status.Ok()) << status.Error().Message();
  EXPECT_EQ(doc.m_modified, 0);
  EXPECT_EQ(doc.m_linesOnPage, 10);
  auto last = ReadBytes(dir.Path() / "Scripts" / "PATCHED INFO" / "RT" / "x5RT1.tk7");
  auto lastLines = ReadEnglishChunk(last, 256);
  EXPECT_EQ(std::count_if(lastLines.begin(), lastLines.end(), [](auto &s) { return !s.empty(); }), 10)
      << "the last page holds exactly its own 10 strings";
  EXPECT_EQ(std::vector<uint8_t>(last.end() - 4, last.end()), (std::vector<uint8_t>{0, 0x43, 0, 0}));
  EXPECT_TRUE(std::filesystem::exists(dir.Path() / "data" / "kanjiCB" / "RT.kcb"));

  CTranslationDocument reopened;
  reopened.m_baseDir = dir.Path();
  ASSERT_TRUE(reopened.LoadScript(dir.Path() / "x5RT.bin").Ok());
  for (int page = 0; page < 2; ++page) {
    for (int line = 0; line < 256; ++line) {
      EnglishString expected = strings[size_t(page * 256 + line)];
      if (page == 1 && line >= 10)
        expected.clear();
      else if (page == 0 && line == 5)
        expected.push_back(0);
      else if (page == 0 && line == 6)
        expected = {0};
      else if (page == 1 && line == 9)
        expected = {0x43, 0};
      ASSERT_EQ(reopened.EnglishAt(page, line), expected) << page << "/" << line;
    }
  }
}

TEST(SaveEnglishText, NamesEveryFileItCouldNotWriteAndStaysUnsaved) {
  CScratchDir dir;
  CTranslationDocument doc;
  ASSERT_TRUE(OpenBuiltScript(doc, dir.Path(), "x5BAD.bin", LayoutScriptSpec(36, {256, 256, 3})).Ok());
  // Page 1's chunk file and the code book cannot be written: folders stand
  // where the files belong.
  std::filesystem::create_directories(dir.Path() / "Scripts" / "PATCHED INFO" / "BAD" / "x5BAD1.tk7");
  std::filesystem::create_directories(dir.Path() / "data" / "kanjiCB" / "BAD.kcb");
  doc.LoadedAt(0, 0) = English("page zero");
  doc.LoadedAt(2, 0) = English("page two");
  doc.m_modified = 1;

  CKanjiStore store;
  auto status = SaveEnglishText(doc, &store);
  ASSERT_FALSE(status.Ok());
  const std::string &message = status.Error().Message();
  EXPECT_NE(message.find("2 files were not written"), std::string::npos) << message;
  EXPECT_NE(message.find("x5BAD1.tk7"), std::string::npos) << message;
  EXPECT_NE(message.find("BAD.kcb"), std::string::npos) << message;
  EXPECT_EQ(doc.m_modified, 1);
  // Everything else was written.
  auto page2 = ReadEnglishChunk(ReadBytes(dir.Path() / "Scripts" / "PATCHED INFO" / "BAD" / "x5BAD2.tk7"), 256);
  EXPECT_EQ(page2[0], English("page two"));
  EXPECT_EQ(ReadBytes(dir.Path() / "data" / "glyphary.db").size(), SerializeKanjiStore(store).size());
  EXPECT_FALSE(ReadBytes(dir.Path() / "Scripts" / "PATCHED INFO" / "BAD" / "x5BAD0.tk7").empty());

  CTranslationDocument closed;
  closed.m_modified = 1;
  EXPECT_FALSE(SaveEnglishText(closed, nullptr).Ok());
  EXPECT_EQ(closed.m_modified, 1);
}

TEST(SaveEnglishText, RewritesTheDemoTextByteForByte) {
  CScratchDir dir;
  testing::WriteDemoWorkspace(dir.Path());
  CTranslationDocument doc;
  doc.m_baseDir = dir.Path();
  ASSERT_TRUE(doc.LoadScript(dir.Path() / "x5DEMO.bin").Ok());
  auto loaded = LoadCodeBook(doc.CodeBookPath());
  ASSERT_TRUE(loaded.Ok());
  doc.LoadedCodeBook() = loaded->m_book;
  std::vector<std::vector<uint8_t>> before;
  for (int page = 0; page < doc.m_pageCount; ++page)
    before.push_back(ReadBytes(doc.ChunkFilePath(page)));
  auto book = ReadBytes(doc.CodeBookPath());
  ASSERT_TRUE(SaveEnglishText(doc, nullptr).Ok());
  for (int page = 0; page < doc.m_pageCount; ++page)
    EXPECT_EQ(ReadBytes(doc.ChunkFilePath(page)), before[size_t(page)]) << "page " << page;
  EXPECT_EQ(ReadBytes(doc.CodeBookPath()), book);
}

} // namespace
} // namespace quillan
