// quillan-cli compress, compress-all and kanji-match on a copy of the demo
// folder: the output formats, the files written, and the failure contract
// (exit status 1, one line on stderr).

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "core/file_io.h"
#include "core/script_file.h"
#include "kanji/code_book.h"
#include "kanji/kanji_store.h"
#include "support/cli_runner.h"
#include "support/codec_fixture.h"
#include "support/demo_workspace.h"
#include "support/scratch_dir.h"

namespace quillan {
namespace {

using testing::CScratchDir;

using testing::Lines;

testing::CCliRun RunCli(const std::string &arguments, const std::filesystem::path &workdir) {
  return testing::RunCli(QUILLAN_CLI, arguments, workdir);
}

// A copy of the demo folder with English fonts of its own.
class CliCodecTest : public ::testing::Test {
protected:
  void SetUp() override {
    testing::WriteDemoWorkspace(m_dir.Path());
    testing::WriteEnglishFonts(m_dir.Path());
  }
  std::string Dir() const { return m_dir.Path().string(); }
  CScratchDir m_dir;
};

TEST_F(CliCodecTest, CompressWritesTheDemoTextAsAScriptTheReaderReads) {
  auto run = RunCli("compress x5DEMO.bin", m_dir.Path());
  ASSERT_EQ(run.m_status, 0) << run.m_err;
  auto output = m_dir.Path() / "compress" / "X5DEMO.bin";
  auto size = std::filesystem::file_size(output);
  EXPECT_EQ(run.m_out,
            "output: " + output.string() + "\npages: 3\nentries: 552\nbytes: " + std::to_string(size) + "\n");
  EXPECT_TRUE(run.m_err.empty());
  auto script = CScriptFile::Open(output.string());
  ASSERT_TRUE(script.Ok()) << script.Error().Message();
  EXPECT_EQ(script.Value()->m_pageCount, 3);
  for (int line = 0; line < 256; ++line) {
    std::vector<uint8_t> english = testing::DemoEnglishLine(line);
    if (english.empty()) english.push_back(0);
    const uint16_t *entry = script.Value()->DecodeEntry(0, line);
    for (size_t i = 0; i < english.size(); ++i)
      ASSERT_EQ(entry[i], english[i]) << "line " << line;
  }
  EXPECT_TRUE(std::filesystem::exists(m_dir.Path() / "data" / "enc.bin"));

  // The same from elsewhere with --workdir.
  auto elsewhere = RunCli("compress --workdir '" + Dir() + "' '" + Dir() + "/x5DEMO.bin'", "/");
  ASSERT_EQ(elsewhere.m_status, 0) << elsewhere.m_err;
  EXPECT_EQ(elsewhere.m_out, run.m_out);
}

TEST_F(CliCodecTest, CompressAllPrintsALinePerScript) {
  auto run = RunCli("compress-all x5DEMO.bin", m_dir.Path());
  ASSERT_EQ(run.m_status, 0) << run.m_err;
  auto lines = Lines(run.m_out);
  ASSERT_EQ(lines.size(), 6u) << run.m_out;
  EXPECT_EQ(lines[0], "list: " + Dir() + "/data/scriptlist.txt");
  EXPECT_EQ(lines[1], "names: 1");
  auto size = std::filesystem::file_size(m_dir.Path() / "compress" / "X5DEMO.bin");
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(lines[size_t(2 + i)], "[" + std::to_string(i + 1) + "/3] x5DEMO.bin: " + Dir() +
                                        "/compress/X5DEMO.bin, 3 pages, 552 entries, " + std::to_string(size) +
                                        " bytes");
  EXPECT_EQ(lines[5], "compressed: 3 of 3");

  // Without the list file: the x5*.bin files beside the script; one of them
  // is not a script, which fails that run only.
  std::filesystem::remove(m_dir.Path() / "data" / "scriptlist.txt");
  testing::WriteText(m_dir.Path() / "x5ZZZ.bin", "not a script");
  auto fallback = RunCli("compress-all x5DEMO.bin", m_dir.Path());
  EXPECT_EQ(fallback.m_status, 0) << "x5ZZZ.bin has no saved text and is written empty: " << fallback.m_err;
  auto fallbackLines = Lines(fallback.m_out);
  EXPECT_EQ(fallbackLines[0], "list: the x5*.bin files in " + Dir());
  EXPECT_EQ(fallbackLines[1], "names: 2");
  EXPECT_EQ(fallbackLines[4].rfind("[3/4] x5ZZZ.bin: " + Dir() + "/compress/X5ZZZ.bin, 3 pages, ", 0), 0u)
      << fallback.m_out;
  EXPECT_EQ(fallbackLines[5].rfind("[3/4] x5ZZZ.bin: note: x5ZZZ.bin beside the open script has no 36- or 48-byte "
                                   "header; used 48 from the open script; no saved English text",
                                   0),
            0u)
      << fallback.m_out;
}

TEST_F(CliCodecTest, KanjiMatchIdentifiesTheDemoKanjiFromTheDatabase) {
  // A database that knows the two kanji the demo's code book leaves open,
  // 金 (0x109) and 口 (0x10B), by their glyphs in the script.
  auto script = CScriptFile::Open((m_dir.Path() / "x5DEMO.bin").string());
  ASSERT_TRUE(script.Ok());
  CKanjiStore store;
  store[17] = {0x91D1, script.Value()->KanjiGlyphOf(0x109)};
  store[9000] = {0x53E3, script.Value()->KanjiGlyphOf(0x10B)};
  ASSERT_TRUE(SaveKanjiStore(store, KanjiStorePath(m_dir.Path())).Ok());

  auto run = RunCli("kanji-match x5DEMO.bin", m_dir.Path());
  ASSERT_EQ(run.m_status, 0) << run.m_err;
  auto lines = Lines(run.m_out);
  ASSERT_EQ(lines.size(), 5u) << run.m_out;
  EXPECT_EQ(lines[0], "kanji used: 12");
  EXPECT_EQ(lines[1], "kanji identified: 12");
  EXPECT_EQ(lines[2], "code book entries identified: 12");
  // Codes past the script's twelve glyphs read as blank glyphs and take the
  // blank records' code 0, so more book entries change than the two kanji.
  EXPECT_EQ(lines[3].rfind("code book entries changed: ", 0), 0u);
  EXPECT_EQ(lines[4], "database records changed: 0");
  auto book = LoadCodeBook(CodeBookPath(m_dir.Path(), "DEMO"));
  ASSERT_TRUE(book.Ok());
  EXPECT_EQ(book->m_book[9], 0x91D1);
  EXPECT_EQ(book->m_book[11], 0x53E3);
}

TEST_F(CliCodecTest, FailuresGiveOneLineOnStderrAndStatusOne) {
  struct Case {
    std::string arguments;
    std::string message;
  } cases[] = {
      {"compress", "quillan-cli: compress: expected one SCRIPT argument"},
      {"compress missing.bin", "quillan-cli: compress: missing.bin: cannot open"},
      {"compress x5DEMO.bin --bogus", "quillan-cli: compress: unknown option --bogus"},
      {"compress-all missing.bin", "quillan-cli: compress-all: missing.bin: cannot open"},
      {"kanji-match data/scriptlist.txt", "quillan-cli: kanji-match: data/scriptlist.txt: header length"},
  };
  for (const Case &c : cases) {
    auto run = RunCli(c.arguments, m_dir.Path());
    EXPECT_EQ(run.m_status, 1) << c.arguments;
    EXPECT_EQ(run.m_err.rfind(c.message, 0), 0u) << c.arguments << ": " << run.m_err;
    EXPECT_EQ(Lines(run.m_err).size(), 1u) << run.m_err;
  }
  std::filesystem::remove(m_dir.Path() / "data" / "tk7-2.fon");
  auto noFont = RunCli("compress x5DEMO.bin", m_dir.Path());
  EXPECT_EQ(noFont.m_status, 1);
  EXPECT_NE(noFont.m_err.find("tk7-2.fon"), std::string::npos) << noFont.m_err;
  auto stopped = RunCli("compress-all x5DEMO.bin", m_dir.Path());
  EXPECT_EQ(stopped.m_status, 1);
  EXPECT_EQ(stopped.m_err.rfind("quillan-cli: compress-all: stopped: the English font", 0), 0u) << stopped.m_err;
  EXPECT_EQ(Lines(stopped.m_out).back(), "compressed: 0 of 3");

  for (const char *command : {"compress", "compress-all", "kanji-match"}) {
    auto help = RunCli(std::string(command) + " --help", m_dir.Path());
    EXPECT_EQ(help.m_status, 0);
    EXPECT_EQ(help.m_out.rfind(std::string("usage: quillan-cli ") + command + " SCRIPT [--workdir DIR]", 0), 0u);
  }
}

// A code book or database that did not load cleanly is not written back on
// its own; --repair writes the repaired file after keeping the original.
TEST_F(CliCodecTest, KanjiMatchRefusesDamagedFilesAndRepairsThemOnlyWhenAsked) {
  const auto bookPath = CodeBookPath(m_dir.Path(), "DEMO");
  std::string damaged = "12354\r\n32\r\nthree\r\n";
  testing::WriteText(bookPath, damaged);
  CKanjiStore store;
  for (size_t i = 0; i < store.size(); ++i)
    store[i].code = uint16_t(0x6000 + i % 7);
  ASSERT_TRUE(SaveKanjiStore(store, KanjiStorePath(m_dir.Path())).Ok());
  const auto database = testing::ReadBytes(KanjiStorePath(m_dir.Path()));

  auto refused = RunCli("kanji-match x5DEMO.bin", m_dir.Path());
  EXPECT_EQ(refused.m_status, 1);
  EXPECT_EQ(Lines(refused.m_err).size(), 1u) << refused.m_err;
  EXPECT_NE(refused.m_err.find("DEMO.kcb: line 3 is not a number"), std::string::npos) << refused.m_err;
  EXPECT_NE(refused.m_err.find("--repair"), std::string::npos) << refused.m_err;
  EXPECT_EQ(refused.m_out, "");
  auto after = testing::ReadBytes(bookPath);
  EXPECT_EQ(std::string(after.begin(), after.end()), damaged) << "nothing written";
  EXPECT_EQ(testing::ReadBytes(KanjiStorePath(m_dir.Path())), database);

  auto repaired = RunCli("kanji-match --repair x5DEMO.bin", m_dir.Path());
  ASSERT_EQ(repaired.m_status, 0) << repaired.m_err;
  EXPECT_NE(repaired.m_err.find("quillan-cli: warning: "), std::string::npos);
  auto backup = testing::ReadBytes(bookPath.string() + ".bak");
  EXPECT_EQ(std::string(backup.begin(), backup.end()), damaged);
  auto book = LoadCodeBook(bookPath);
  ASSERT_TRUE(book.Ok());
  EXPECT_FALSE(book->m_damaged);
  EXPECT_EQ(book->m_book[0], 12354);

  // A database with one bad record.
  auto bytes = database;
  bytes[10] = 0x21; // the first record's separator
  testing::WriteBytes(KanjiStorePath(m_dir.Path()), bytes);
  auto refusedDb = RunCli("kanji-match x5DEMO.bin", m_dir.Path());
  EXPECT_EQ(refusedDb.m_status, 1);
  EXPECT_NE(refusedDb.m_err.find("glyphary.db: 1 irregularity in the record layout (first: record 0"),
            std::string::npos)
      << refusedDb.m_err;
  EXPECT_EQ(testing::ReadBytes(KanjiStorePath(m_dir.Path())), bytes);
  auto repairedDb = RunCli("kanji-match x5DEMO.bin --repair", m_dir.Path());
  ASSERT_EQ(repairedDb.m_status, 0) << repairedDb.m_err;
  EXPECT_EQ(testing::ReadBytes(KanjiStorePath(m_dir.Path()).string() + ".bak"), bytes);
  auto reloaded = LoadKanjiStore(KanjiStorePath(m_dir.Path()));
  ASSERT_TRUE(reloaded.Ok());
  EXPECT_FALSE(reloaded->Damaged());
}

TEST_F(CliCodecTest, UnreadableInputsAndMissingFoldersStopTheCommandWithNothingWritten) {
  const auto base = m_dir.Path();
  auto chunk = base / "Scripts" / "PATCHED INFO" / "DEMO" / "x5DEMO1.tk7";
  std::filesystem::remove(chunk);
  std::filesystem::create_directories(chunk); // a folder in its place
  auto compress = RunCli("compress x5DEMO.bin", base);
  EXPECT_EQ(compress.m_status, 1);
  EXPECT_NE(compress.m_err.find("x5DEMO1.tk7: is a folder"), std::string::npos) << compress.m_err;
  EXPECT_FALSE(std::filesystem::exists(base / "compress" / "X5DEMO.bin"));
  std::filesystem::remove(chunk);

  // A code book that exists but cannot be read.
  auto book = CodeBookPath(base, "DEMO");
  std::filesystem::remove(book);
  std::filesystem::create_directories(book);
  for (const char *command : {"dump x5DEMO.bin", "render x5DEMO.bin -o out.png", "kanji-match x5DEMO.bin"}) {
    auto run = RunCli(command, base);
    EXPECT_EQ(run.m_status, 1) << command;
    EXPECT_NE(run.m_err.find("DEMO.kcb: is a folder"), std::string::npos) << command << ": " << run.m_err;
  }
  EXPECT_FALSE(std::filesystem::exists(base / "out.png"));

  // A --workdir that does not exist: nothing is created.
  for (const char *command : {"kanji-match", "compress", "compress-all", "dump", "render"}) {
    auto run = RunCli(std::string(command) + " --workdir nowhere x5DEMO.bin" +
                          (std::string(command) == "render" ? " -o out.png" : ""),
                      base);
    EXPECT_EQ(run.m_status, 1) << command;
    EXPECT_EQ(run.m_err, "quillan-cli: " + std::string(command) + ": --workdir nowhere does not exist\n");
  }
  EXPECT_FALSE(std::filesystem::exists(base / "nowhere"));
}

} // namespace
} // namespace quillan
