// The script reader against files written by the test script builder: every
// entry decodes to what was written, by both decoder paths; the page walk
// counts the last page exactly; malformed files are refused with a message
// that names the file and the defect.

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>
#include <fstream>

#include "core/byte_reader.h"
#include "core/document.h"
#include "core/file_io.h"
#include "core/script_file.h"
#include "support/script_builder.h"

namespace quillan {
namespace {

using testing::BuildScript;
using testing::CScriptSpec;
using testing::RandomScriptSpec;

std::unique_ptr<CScriptFile> Open(std::vector<uint8_t> bytes) {
  auto script = CScriptFile::FromBytes(std::move(bytes), "x5TEST.bin");
  EXPECT_TRUE(script.Ok()) << (script.Ok() ? "" : script.Error().Message());
  return script.Ok() ? std::move(script.Value()) : nullptr;
}

// Compares the decoded entry with the codes written, up to the terminator.
void ExpectEntry(const uint16_t *decoded, const std::vector<uint16_t> &written, const std::string &where) {
  size_t expected = std::min(written.size(), size_t(kEntryCapacity));
  for (size_t i = 0; i < expected; ++i) ASSERT_EQ(decoded[i], written[i]) << where << " code " << i;
}

TEST(ScriptFile, DecodesEveryEntryOfGeneratedScripts) {
  for (uint32_t seed = 1; seed <= 24; ++seed) {
    CScriptSpec spec = RandomScriptSpec(seed, 4);
    auto built = BuildScript(spec);
    auto script = Open(built.m_bytes);
    ASSERT_TRUE(script) << "seed " << seed;
    ASSERT_EQ(script->m_pageCount, int(spec.m_pages.size()));
    EXPECT_EQ(script->m_headerLength, spec.m_headerLength);
    EXPECT_EQ(script->m_treeBlockOffset, built.m_treeBlockOffset);
    EXPECT_EQ(script->ContextTableOffset(), built.m_contextTableOffset);
    EXPECT_EQ(script->GroupTableOffset(), built.m_groupTableOffset);
    int lastWritten = int(spec.m_pages.back().size());
    // The zero padding before the group pointer table is filler, not entries.
    EXPECT_EQ(script->m_linesOnLastPage, lastWritten) << "seed " << seed;
    for (size_t page = 0; page < spec.m_pages.size(); ++page) {
      for (size_t line = 0; line < spec.m_pages[page].size(); ++line) {
        std::string where = "seed " + std::to_string(seed) + " (" + std::to_string(page) + ", " +
                            std::to_string(line) + ")";
        ExpectEntry(script->DecodeEntry(int(page), int(line)), spec.m_pages[page][line], where + " table");
        ExpectEntry(script->DecodeEntryBitwise(int(page), int(line)), spec.m_pages[page][line], where + " walk");
      }
    }
  }
}

TEST(ScriptFile, ReadsBothHeaderLengthsAndUnbalancedTrees) {
  for (uint32_t header : {36u, 48u}) {
    for (auto shape : {testing::CTreeShape::Huffman, testing::CTreeShape::Unbalanced}) {
      CScriptSpec spec = RandomScriptSpec(77, 2);
      spec.m_headerLength = header;
      spec.m_skipWords = header == 48;
      spec.m_shape = shape;
      auto built = BuildScript(spec);
      auto script = Open(built.m_bytes);
      ASSERT_TRUE(script);
      // 36: context table in section 1, pages in section 2; 48: sections 2 and 3.
      EXPECT_EQ(script->m_sectionCount, header / 12);
      EXPECT_EQ(script->m_sectionOffsets[header == 36 ? 1 : 2], built.m_contextTableOffset);
      EXPECT_EQ(script->m_sectionOffsets[header == 36 ? 2 : 3], built.m_groupTableOffset);
      for (size_t line = 0; line < spec.m_pages[0].size(); ++line)
        ExpectEntry(script->DecodeEntry(0, int(line)), spec.m_pages[0][line], "line " + std::to_string(line));
    }
  }
}

// A spec of one or more pages of short kana entries.
CScriptSpec PagesSpec(std::vector<int> counts, size_t padding) {
  CScriptSpec spec;
  spec.m_zeroPadding = padding;
  for (int count : counts) {
    spec.m_pages.emplace_back();
    for (int i = 0; i < count; ++i) spec.m_pages.back().push_back({uint16_t(0x91 + i % 5), uint16_t(0x41 + i % 7), 0});
  }
  return spec;
}

TEST(ScriptFile, CountsTheLastPageByItsRecordsNotTheFillerBeforeTheTable) {
  struct Case {
    std::vector<int> pages;
    size_t padding;
    int lastPage;
  } cases[] = {
      {{5}, 0, 5}, // one page: the last page's count applies to page 0
      {{5}, 3, 5}, // zero bytes up to the table are filler, not empty entries
      {{5}, 1, 5},          {{256, 12}, 0, 12}, {{256, 12}, 2, 12}, {{256, 256}, 0, 256},
      {{256, 256}, 3, 256}, {{256}, 2, 256},    {{256, 0}, 3, 0}, // a last page of filler alone has no entries
  };
  for (const auto &c : cases) {
    auto spec = PagesSpec(c.pages, c.padding);
    auto script = Open(BuildScript(spec).m_bytes);
    ASSERT_TRUE(script);
    EXPECT_EQ(script->m_pageCount, int(c.pages.size()));
    EXPECT_EQ(script->m_linesOnLastPage, c.lastPage) << c.pages.back() << " + " << c.padding;
    // A padding entry decodes from its zero length byte without harm.
    if (c.padding > 0 && c.pages.back() < 256) {
      const uint16_t *padded = script->DecodeEntry(script->m_pageCount - 1, c.pages.back());
      EXPECT_NE(padded, nullptr);
    }
  }
}

TEST(ScriptFile, ReadsATreeBlockCutShortByTheEndOfTheFile) {
  // Small files end before the 4096 bytes loaded as the tree block; the
  // missing bytes read as 0xFF.
  auto spec = PagesSpec({3}, 0);
  auto built = BuildScript(spec);
  ASSERT_LT(built.m_bytes.size(), built.m_treeBlockOffset + 4096u);
  auto script = Open(built.m_bytes);
  ASSERT_TRUE(script);
  EXPECT_EQ(script->m_treeBlock[4095], 0xFF);
  ExpectEntry(script->DecodeEntry(0, 2), spec.m_pages[0][2], "line 2");
}

TEST(ScriptFile, RefusesMalformedFilesNamingTheDefect) {
  auto spec = PagesSpec({256, 4}, 0);
  spec.m_headerLength = 48;
  const auto built = BuildScript(spec);
  const size_t size = built.m_bytes.size();
  struct Case {
    const char *what;
    std::function<void(std::vector<uint8_t> &)> corrupt;
    const char *message;
  } cases[] = {
      {"empty", [](auto &b) { b.clear(); }, "too short to hold a header"},
      {"header 40", [](auto &b) { PutBE32(b, 0, 0x00200028); }, "header length 40 at offset 0 is neither 36 nor 48"},
      {"cut in header", [](auto &b) { b.resize(20); }, "ends inside its 48-byte header"},
      {"table past end", [&](auto &b) { PutBE32(b, 24, 0x00200000 + uint32_t(size) + 8); }, "header record 2 points at"},
      {"tree block past end",
       [&](auto &b) { PutBE32(b, built.m_contextTableOffset, 0x00200000 + uint32_t(size) + 100); },
       "tree block pointer"},
      {"tree outside block",
       [&](auto &b) { PutBE32(b, built.m_contextTableOffset + 4, 0x00200000 + built.m_treeBlockOffset + 5000); },
       "context 0: its tree offset 5000 lies outside the tree block"},
      {"leaf table outside block",
       [&](auto &b) { PutBE32(b, built.m_contextTableOffset + 8, 0x00200000 + built.m_treeBlockOffset + 4100); },
       "context 1: its leaf table offset 4100 lies outside"},
      {"group table not words", [](auto &b) { b.push_back(0); b.push_back(0); }, "not a multiple of 4"},
      {"group table at the end", [&](auto &b) { PutBE32(b, 36, 0x00200000 + uint32_t(size)); },
       "header record 3 points at"},
      {"page pointer past table",
       [&](auto &b) { PutBE32(b, built.m_groupTableOffset + 4, 0x00200000 + uint32_t(size) + 4); },
       "page 1's pointer 0x"},
      {"too big", [](auto &b) { b.resize(1 << 20, 0); }, "smaller than 1 MiB"},
  };
  for (const auto &c : cases) {
    auto bytes = built.m_bytes;
    c.corrupt(bytes);
    auto script = CScriptFile::FromBytes(bytes, "x5BAD.bin");
    ASSERT_FALSE(script.Ok()) << c.what;
    const std::string &message = script.Error().Message();
    EXPECT_EQ(message.rfind("x5BAD.bin: ", 0), 0u) << message;
    EXPECT_NE(message.find(c.message), std::string::npos) << c.what << ": " << message;
  }
}

TEST(ScriptFile, RefusesTreesOfMoreLeavesThanByteValues) {
  // A right-leaning chain of 320 leaves (bits 01 01 ...) laid over the context
  // table after pair 0, with context 0's tree pointing at it. Such a tree
  // would make every decoded byte walk hundreds of nodes.
  auto spec = PagesSpec({2}, 0);
  spec.m_headerLength = 36;
  auto built = BuildScript(spec);
  auto bytes = built.m_bytes;
  uint32_t chain = built.m_contextTableOffset + 8;
  ASSERT_LT(chain + 80 - built.m_treeBlockOffset, 4096u);
  for (uint32_t i = 0; i < 80; ++i) bytes[chain + i] = 0x55;
  PutBE32(bytes, built.m_contextTableOffset + 4, 0x00200000 + chain);
  auto script = CScriptFile::FromBytes(bytes, "x5DEEP.bin");
  ASSERT_FALSE(script.Ok());
  EXPECT_NE(script.Error().Message().find("context 0: its tree at offset"), std::string::npos);
  EXPECT_NE(script.Error().Message().find("more than 256 leaves"), std::string::npos) << script.Error().Message();
}

TEST(ScriptFile, RefusesMorePagesThanTheStoreHolds) {
  auto spec = PagesSpec({}, 0);
  for (int i = 0; i < kMaxPages + 1; ++i) spec.m_pages.push_back({{0x41, 0}});
  auto script = CScriptFile::FromBytes(BuildScript(spec).m_bytes, "x5BIG.bin");
  ASSERT_FALSE(script.Ok());
  EXPECT_NE(script.Error().Message().find("lists 33 pages; at most 32"), std::string::npos);
}

TEST(ScriptFile, ReadsKanjiGlyphsAndOnesPastTheEnd) {
  auto spec = PagesSpec({2}, 0);
  testing::CKanjiBitmap glyph{};
  for (size_t i = 0; i < glyph.size(); ++i) glyph[i] = uint8_t(i * 7);
  spec.m_kanjiGlyphs = {glyph, glyph};
  auto script = Open(BuildScript(spec).m_bytes);
  ASSERT_TRUE(script);
  auto read = script->KanjiGlyphOf(0x101);
  EXPECT_TRUE(std::equal(read.begin(), read.end(), glyph.begin()));
  auto past = script->KanjiGlyphOf(0x7FF); // beyond this small file
  for (uint8_t byte : past) EXPECT_EQ(byte, 0xFF);
}

class DocumentLoad : public ::testing::Test {
protected:
  void SetUp() override {
    m_dir = std::filesystem::temp_directory_path() /
            ("quillan-doc-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name() + "-" + std::to_string(::getpid()));
    std::filesystem::remove_all(m_dir);
    std::filesystem::create_directories(m_dir / "Scripts" / "PATCHED INFO" / "ABC");
  }
  void TearDown() override { std::filesystem::remove_all(m_dir); }
  std::filesystem::path m_dir;
};

TEST_F(DocumentLoad, LoadsTheScriptAndItsChunkFiles) {
  auto spec = PagesSpec({256, 256, 10}, 0);
  ASSERT_TRUE(WriteFileAtomic(m_dir / "X5ABC.bin", BuildScript(spec).m_bytes).Ok());
  std::vector<uint8_t> chunk{0, 'H', 0, 'i', 0, 0, 0, 0};
  ASSERT_TRUE(WriteFileAtomic(m_dir / "Scripts/PATCHED INFO/ABC/X5ABC2.tk7", chunk).Ok());

  CTranslationDocument doc;
  doc.m_baseDir = m_dir;
  doc.m_currentPage = 2;
  ASSERT_TRUE(doc.LoadScript(m_dir / "X5ABC.bin").Ok());
  EXPECT_EQ(doc.m_shortName, "ABC");
  EXPECT_EQ(doc.m_scriptFileName, "X5ABC.bin");
  EXPECT_EQ(doc.m_pageCount, 3);
  EXPECT_EQ(doc.m_linesOnLastPage, 10);
  EXPECT_EQ(doc.m_currentPage, 2) << "the page shown is kept";
  EXPECT_EQ(doc.m_linesOnPage, 10) << "the line range is that of the page shown";
  EXPECT_EQ(doc.m_textColor, 6);
  EXPECT_EQ(doc.m_fileOpen, 1);
  EXPECT_EQ(doc.m_noDocument, 0);
  EXPECT_EQ(doc.EnglishAt(2, 0), (EnglishString{'H', 'i', 0}));
  EXPECT_EQ(doc.EnglishAt(2, 1), (EnglishString{0}));
  EXPECT_TRUE(doc.EnglishAt(0, 0).empty()) << "a page without a chunk file stays empty";
  EXPECT_EQ(doc.m_cursorOffset, 2) << "the cursor stands at the end of line 0's text";
  ExpectEntry(doc.DecodeEntry(1, 7), spec.m_pages[1][7], "(1, 7)");
}

TEST_F(DocumentLoad, AFailedOpenKeepsTheDocument) {
  auto spec = PagesSpec({4}, 0);
  ASSERT_TRUE(WriteFileAtomic(m_dir / "X5ABC.bin", BuildScript(spec).m_bytes).Ok());
  ASSERT_TRUE(WriteFileAtomic(m_dir / "X5BAD.bin", std::string_view("\x00\x20\x00\x28", 4)).Ok());
  CTranslationDocument doc;
  doc.m_baseDir = m_dir;
  ASSERT_TRUE(doc.LoadScript(m_dir / "X5ABC.bin").Ok());
  doc.LoadedAt(0, 1) = {'Z', 0};
  doc.m_modified = 1;

  for (const char *name : {"X5BAD.bin", "missing.bin"}) {
    auto status = doc.LoadScript(m_dir / name);
    ASSERT_FALSE(status.Ok());
    EXPECT_NE(status.Error().Message().find(name), std::string::npos) << status.Error().Message();
    EXPECT_EQ(doc.m_scriptFileName, "X5ABC.bin");
    EXPECT_EQ(doc.EnglishAt(0, 1), (EnglishString{'Z', 0}));
    EXPECT_EQ(doc.m_modified, 1);
  }
  // A page that the new script lacks is not kept.
  doc.m_currentPage = 9;
  ASSERT_TRUE(doc.LoadScript(m_dir / "X5ABC.bin").Ok());
  EXPECT_EQ(doc.m_currentPage, 0);
}

} // namespace
} // namespace quillan
