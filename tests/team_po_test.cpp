// PO export and import: the inverse of the dump form, the file gettext's own
// tools accept, the round trip that changes nothing, and every reason an
// import skips or refuses a message.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "codec/english_text.h"
#include "codec/text_encoder.h"
#include "core/file_io.h"
#include "core/text_rules.h"
#include "kanji/code_book.h"
#include "support/cli_runner.h"
#include "support/codec_fixture.h"
#include "support/demo_workspace.h"
#include "support/scratch_dir.h"
#include "workbench/po_exchange.h"
#include "workbench/po_file.h"

namespace quillan {
namespace {

using testing::CScratchDir;
using testing::Lines;

testing::CCliRun RunCli(const std::string &arguments, const std::filesystem::path &workdir) {
  return testing::RunCli(QUILLAN_CLI, arguments, workdir);
}

std::vector<uint16_t> Codes(std::initializer_list<int> values) { return {values.begin(), values.end()}; }

TEST(PoText, EnglishDumpTextTurnsBackIntoElements) {
  struct CCase {
    const char *m_text;
    std::vector<uint16_t> m_elements;
  } cases[] = {
      {"", {}},
      {"Hi!{02}", Codes({'H', 'i', '!', 2})},
      {"{08}{03}A{11}{05}", Codes({8, 3, 'A', 0x11, 5})},
      {"{7b}x}", Codes({'{', 'x', '}'})},
      {"{1F}{0A}", Codes({0x1F, 0x0A})}, // either case of hex digits
      {"a\nb", Codes({'a', 3, 'b'})},    // a new line typed in an editor
      {"\xe2\x80\x9cOK\xe2\x80\x9d\xe2\x80\xa6", Codes({'"', 'O', 'K', '"', '.', '.', '.'})}, // as Paste maps them
      {"\xe3\x81\x8b\xe3\x81\x8c", Codes({0x96, 0x96, 0xDE})}, // か, が = か + voicing mark
  };
  for (const auto &c : cases) {
    CEnglishParse parsed = ParseEnglishDumpText(c.m_text);
    EXPECT_EQ(parsed.m_error, "") << c.m_text;
    EXPECT_EQ(parsed.m_elements, c.m_elements) << c.m_text;
  }
  // Every one-byte code the dump form shows as itself comes back as itself.
  for (uint16_t code = 1; code <= 0xFF; ++code) {
    EnglishString one = {code, 0};
    std::string text = DumpText(one, nullptr);
    if (DumpText(one, nullptr) == " " && code != 0x20) continue; // codes the table shows as blanks
    if (code == 0x7F || code == 0xDE || code == 0xDF) continue;  // no character of their own
    CEnglishParse parsed = ParseEnglishDumpText(text);
    EXPECT_EQ(parsed.m_error, "") << std::hex << code;
    EXPECT_EQ(parsed.m_elements, std::vector<uint16_t>{code}) << std::hex << code << " " << text;
  }
}

TEST(PoText, EnglishDumpTextRefusesWhatTheGameCannotHold) {
  struct CCase {
    const char *m_text;
    const char *m_error;
  } cases[] = {
      {"a{zz}", "unknown marker {zz}"},
      {"{00}", "unknown marker {00}"},
      {"{20}", "unknown marker {20}"},
      {"{k0100}", "unknown marker {k0100}"},
      {"{0800}", "unknown marker {0800}"},
      {"x{", "a '{' that opens no marker"},
      {"{ab cdefgh}", "a '{' that opens no marker"},
      {"\xe6\xbc\xa2", "the game cannot show '\xe6\xbc\xa2'"},
      {"ok \xff", "the game cannot show"}, // malformed UTF-8
  };
  for (const auto &c : cases) {
    CEnglishParse parsed = ParseEnglishDumpText(c.m_text);
    EXPECT_NE(parsed.m_error.find(c.m_error), std::string::npos) << c.m_text << ": " << parsed.m_error;
  }
}

TEST(PoText, JapaneseTextMatchesWithKanjiIdentifiedSinceTheExport) {
  KanjiCodeBook book = BlankCodeBook();
  book[0] = u'日';
  std::vector<uint16_t> entry = {0x100, 0x101, 0xE0, 0x0002, 0};
  EXPECT_TRUE(MatchesJapaneseText("日{k0101}た{02}", entry, &book));
  EXPECT_TRUE(MatchesJapaneseText("{k0100}{k0101}た{02}", entry, &book)) << "exported before 日 was known";
  EXPECT_FALSE(MatchesJapaneseText("{k0100}{k0102}た{02}", entry, &book));
  EXPECT_FALSE(MatchesJapaneseText("日{k0101}た", entry, &book));
  EXPECT_TRUE(MatchesJapaneseText("{k0100}{k0101}た{02}", entry, nullptr));
}

// The demo folder with English text on every page, odd codes included.
class PoCliTest : public ::testing::Test {
protected:
  void SetUp() override {
    testing::WriteDemoWorkspace(m_dir.Path());
    auto english = testing::RandomEnglish(7, {256, 256, 40}, 30);
    for (int page = 0; page < 3; ++page) {
      int lines = page == 2 ? 40 : 256;
      // Page 0 keeps the demo's own text; every third line stays empty.
      if (page == 0) continue;
      for (int line = 0; line < lines; line += 3)
        english[size_t(page * 256 + line)] = {0};
      auto bytes = EnglishChunkBytes(std::span(english.data() + page * 256, size_t(lines)));
      testing::WriteBytes(ChunkPath(page), bytes);
    }
  }
  std::filesystem::path ChunkPath(int page) const {
    return m_dir.Path() / "Scripts" / "PATCHED INFO" / "DEMO" / ("x5DEMO" + std::to_string(page) + ".tk7");
  }
  std::vector<std::vector<uint8_t>> Chunks() const {
    std::vector<std::vector<uint8_t>> out;
    for (int page = 0; page < 3; ++page)
      out.push_back(testing::ReadBytes(ChunkPath(page)));
    return out;
  }
  std::filesystem::path PoPath() const { return m_dir.Path() / "po" / "DEMO.po"; }
  CPoCatalog Exported() {
    auto run = RunCli("export-po x5DEMO.bin", m_dir.Path());
    EXPECT_EQ(run.m_status, 0) << run.m_err;
    auto catalog = ReadPoFile(PoPath());
    EXPECT_TRUE(catalog.Ok()) << catalog.Error().Message();
    return catalog.Ok() ? *catalog : CPoCatalog{};
  }
  void WriteCatalog(const CPoCatalog &catalog, const std::filesystem::path &path) {
    auto text = FormatPoFile(catalog);
    ASSERT_TRUE(text.Ok()) << text.Error().Message();
    testing::WriteText(path, *text);
  }
  CPoMessage &Message(CPoCatalog &catalog, const std::string &context) {
    for (auto &m : catalog.m_messages)
      if (m.m_context == context) return m;
    ADD_FAILURE() << "no message " << context;
    return catalog.m_messages.front();
  }
  CScratchDir m_dir{"quillan_po_"};
};

TEST_F(PoCliTest, ExportWritesAFileGettextAcceptsWithTheDumpForm) {
  auto run = RunCli("export-po x5DEMO.bin", m_dir.Path());
  ASSERT_EQ(run.m_status, 0) << run.m_err;
  EXPECT_EQ(Lines(run.m_out)[0], "output: " + PoPath().string());
  std::string command = "msgfmt --check -o /dev/null '" + PoPath().string() + "' 2>&1";
  EXPECT_EQ(std::system(command.c_str()), 0) << "msgfmt --check refused the file";

  auto text = testing::ReadBytes(PoPath());
  std::string po(text.begin(), text.end());
  EXPECT_NE(po.find("\"Language: en\\n\""), std::string::npos);
  EXPECT_NE(po.find("\"Content-Type: text/plain; charset=UTF-8\\n\""), std::string::npos);
  EXPECT_NE(po.find("x5DEMO.bin"), std::string::npos);
  EXPECT_NE(po.find("#, placeholders:r\"[{][01][0-9a-f][}]\"\nmsgctxt \"0:7\"\n"
                    "msgid \"おげんきですか?{03}川の 水は つめたい.{02}\"\n"
                    "msgstr \"How are you?{03}The river water is cold.{02}\""),
            std::string::npos)
      << po.substr(0, 2000);

  // One message per entry with Japanese text, dump's numbering and text.
  auto catalog = ReadPoFile(PoPath());
  ASSERT_TRUE(catalog.Ok()) << catalog.Error().Message();
  auto dump = Lines(RunCli("dump x5DEMO.bin", m_dir.Path()).m_out);
  size_t withText = 0;
  for (const auto &line : dump) {
    auto second = line.find('\t', line.find('\t') + 1);
    if (second + 1 == line.size()) continue;
    ASSERT_LT(withText, catalog->m_messages.size());
    const CPoMessage &m = catalog->m_messages[withText++];
    std::string context = line.substr(0, second);
    context[context.find('\t')] = ':';
    EXPECT_EQ(m.m_context, context);
    EXPECT_EQ(m.m_id, line.substr(second + 1));
  }
  EXPECT_EQ(withText, catalog->m_messages.size());
  EXPECT_EQ(PoHeaderField(catalog->m_header, "Language"), "en");
}

TEST_F(PoCliTest, ImportOfTheUnchangedFileChangesNoByte) {
  auto before = Chunks();
  Exported();
  // Also after a round through gettext's own tools.
  std::string command = "msgcat -o '" + PoPath().string() + ".cat' '" + PoPath().string() + "' 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0);
  for (const std::string name : {"po/DEMO.po", "po/DEMO.po.cat"}) {
    auto run = RunCli("import-po " + name + " x5DEMO.bin", m_dir.Path());
    ASSERT_EQ(run.m_status, 0) << run.m_err << run.m_out;
    auto lines = Lines(run.m_out);
    ASSERT_EQ(lines.size(), 4u) << run.m_out;
    EXPECT_EQ(lines[0], "imported: 0");
    EXPECT_NE(lines[1], "unchanged: 0");
    EXPECT_EQ(lines[2], "skipped: 0");
    EXPECT_EQ(lines[3], "refused: 0");
    EXPECT_EQ(Chunks(), before);
  }
}

TEST_F(PoCliTest, ImportTakesChangesAndNamesEverythingItDoesNotTake) {
  CPoCatalog catalog = Exported();
  Message(catalog, "0:0").m_str = "Hi there!{01}";    // changed
  Message(catalog, "2:0").m_str = "New {7b}line{02}"; // new (was empty)
  Message(catalog, "0:1").m_str = "Morning.";         // fuzzy
  Message(catalog, "0:1").m_fuzzy = true;
  Message(catalog, "0:2").m_id = "ちがう"; // script changed
  Message(catalog, "0:2").m_str = "Other.";
  Message(catalog, "0:3").m_str = "Bad {zz} marker";     // refused
  Message(catalog, "0:4").m_str = "\xe6\xbc\xa2 kanji";  // refused
  Message(catalog, "0:5").m_str = std::string(400, 'W'); // record too long
  CPoMessage stray = Message(catalog, "0:6");
  stray.m_context = "9:0"; // no such page
  catalog.m_messages.push_back(stray);
  stray.m_context = "seven"; // not P:L
  catalog.m_messages.push_back(stray);
  WriteCatalog(catalog, m_dir.Path() / "edited.po");
  auto before = Chunks();

  auto run = RunCli("import-po edited.po x5DEMO.bin", m_dir.Path());
  EXPECT_EQ(run.m_status, 1) << "a refusal gives exit status 1";
  auto lines = Lines(run.m_out);
  std::vector<std::string> expected = {
      "0\t0\timported\ttranslation changed",
      "0\t1\tskipped\tmarked fuzzy",
      "0\t2\tskipped\tthe Japanese text is not the script's any more (the script changed)",
      "0\t3\trefused\tunknown marker {zz} (English text takes {01}-{1f} and {7b})",
      "0\t4\trefused\tthe game cannot show '\xe6\xbc\xa2'",
      "0\t5\trefused\tthe text needs a record of ",
      "2\t0\timported\tnew translation",
      "9\t0\tskipped\tthe script has no entry 9:0",
      "-\t-\tskipped\tmsgctxt \"seven\" is not PAGE:LINE",
  };
  ASSERT_GE(lines.size(), expected.size() + 4) << run.m_out;
  for (size_t i = 0; i < expected.size(); ++i)
    EXPECT_EQ(lines[i].substr(0, expected[i].size()), expected[i]) << run.m_out;
  EXPECT_EQ(lines[lines.size() - 4], "imported: 2");
  EXPECT_EQ(lines[lines.size() - 2], "skipped: 4");
  EXPECT_EQ(lines[lines.size() - 1], "refused: 3");

  // The two imports are in the chunk files; nothing else changed.
  auto after = Chunks();
  EXPECT_NE(after[0], before[0]);
  EXPECT_EQ(after[1], before[1]);
  auto page0 = ReadEnglishChunk(after[0], 256);
  auto oldPage0 = ReadEnglishChunk(before[0], 256);
  EXPECT_EQ(page0[0], testing::English("Hi there!\x01"));
  for (int line = 1; line < 256; ++line)
    EXPECT_EQ(page0[size_t(line)], oldPage0[size_t(line)]) << line;
  EXPECT_EQ(ReadEnglishChunk(after[2], 40)[0], testing::English("New {line\x02"));
}

TEST_F(PoCliTest, AFileThatDoesNotParseChangesNothing) {
  Exported();
  auto before = Chunks();
  testing::WriteText(m_dir.Path() / "broken.po",
                     "msgctxt \"0:0\"\nmsgid \"x\"\nmsgstr \"Changed\"\nmsgid \"unclosed\n");
  auto run = RunCli("import-po broken.po x5DEMO.bin", m_dir.Path());
  EXPECT_EQ(run.m_status, 1);
  EXPECT_TRUE(run.m_out.empty()) << run.m_out;
  EXPECT_NE(run.m_err.find("broken.po"), std::string::npos) << run.m_err;
  EXPECT_NE(run.m_err.find("nothing was imported"), std::string::npos) << run.m_err;
  EXPECT_EQ(Chunks(), before);

  // Two messages for one entry: gettext refuses the file, and so do we.
  testing::WriteText(m_dir.Path() / "twice.po", "msgctxt \"0:0\"\nmsgid \"a\"\nmsgstr \"A\"\n\n"
                                                "msgctxt \"0:0\"\nmsgid \"a\"\nmsgstr \"B\"\n");
  auto twice = RunCli("import-po twice.po x5DEMO.bin", m_dir.Path());
  EXPECT_EQ(twice.m_status, 1);
  EXPECT_NE(twice.m_err.find("duplicate"), std::string::npos) << twice.m_err;
  EXPECT_EQ(Chunks(), before);

  auto missing = RunCli("import-po none.po x5DEMO.bin", m_dir.Path());
  EXPECT_EQ(missing.m_status, 1);
  EXPECT_NE(missing.m_err.find("none.po"), std::string::npos) << missing.m_err;
  // Another charset than UTF-8 is named, not misread.
  testing::WriteText(m_dir.Path() / "latin.po",
                     "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=ISO-8859-1\\n\"\n");
  auto latin = RunCli("import-po latin.po x5DEMO.bin", m_dir.Path());
  EXPECT_EQ(latin.m_status, 1);
  EXPECT_NE(latin.m_err.find("not UTF-8"), std::string::npos) << latin.m_err;
}

} // namespace
} // namespace quillan
