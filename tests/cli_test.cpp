// quillan-cli as other tools meet it: the output formats of info and dump on
// the demo workspace and on generated scripts, and the failure contract
// (exit status 1, one line on stderr naming the file).

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/file_io.h"
#include "core/script_file.h"
#include "support/cli_runner.h"
#include "support/scratch_dir.h"
#include "support/script_builder.h"

namespace quillan {
namespace {

using testing::Lines;

testing::CCliRun RunCli(const std::string &arguments, const std::filesystem::path &workdir = QUILLAN_SOURCE_DIR) {
  return testing::RunCli(QUILLAN_CLI, arguments, workdir);
}

const std::filesystem::path kDemo = std::filesystem::path(QUILLAN_SOURCE_DIR) / "examples" / "demo";

TEST(Cli, InfoPrintsTheLayoutOfTheDemoScript) {
  auto run = RunCli("info x5DEMO.bin", kDemo);
  ASSERT_EQ(run.m_status, 0) << run.m_err;
  EXPECT_EQ(run.m_out, "file: x5DEMO.bin\n"
                       "header length: 48\n"
                       "section offsets: 0x000030 0x0016f0 0x00187e 0x004031\n"
                       "tree block: 0x001810\n"
                       "page count: 3\n"
                       "entries on last page: 40\n");
}

TEST(Cli, DumpsEveryEntryAsTextWithTheCodeBook) {
  auto run = RunCli("dump x5DEMO.bin", kDemo);
  ASSERT_EQ(run.m_status, 0) << run.m_err;
  auto lines = Lines(run.m_out);
  ASSERT_EQ(lines.size(), 256u + 256u + 40u);
  EXPECT_EQ(lines[0], "0\t0\tこんにちは!{01}");
  EXPECT_EQ(lines[3], "0\t3\t{08}{03}はじめまして.{08}{01}{02}");
  EXPECT_EQ(lines[7], "0\t7\tおげんきですか?{03}川の 水は つめたい.{02}") << "kanji from DEMO.kcb";
  EXPECT_EQ(lines.back().substr(0, 5), "2\t39\t");
  // Kanji that the code book leaves unidentified show their code.
  EXPECT_NE(run.m_out.find("{k0109}"), std::string::npos);
  // Without a code book every kanji is shown by its code.
  auto bare = RunCli("dump examples/demo/x5DEMO.bin");
  ASSERT_EQ(bare.m_status, 0);
  EXPECT_EQ(Lines(bare.m_out)[7], "0\t7\tおげんきですか?{03}{k0104}の {k0107}は つめたい.{02}");
  auto explicitDir = RunCli("dump --workdir examples/demo examples/demo/x5DEMO.bin");
  EXPECT_EQ(explicitDir.m_out, run.m_out);
}

TEST(Cli, DumpsCodesUpToTheTerminatorOrAll600) {
  testing::CScriptSpec spec;
  spec.m_headerLength = 36;
  spec.m_pages = {{{0x41, 0x0800}, {0x00}, {0x0101, 0x8F, 0xFF00}}, {{0xDE, 0x0020, 0}}};
  spec.m_kanjiGlyphs.resize(3);
  testing::CScratchDir scratch;
  const std::filesystem::path &dir = scratch.Path();
  std::vector<uint16_t> full(600, 0x0300);
  spec.m_pages[1].push_back(full);
  ASSERT_TRUE(WriteFileAtomic(dir / "x5T.bin", testing::BuildScript(spec).m_bytes).Ok());
  auto run = RunCli("dump --codes x5T.bin", dir);
  ASSERT_EQ(run.m_status, 0) << run.m_err;
  auto lines = Lines(run.m_out);
  // Page 0 is not the last page: all 256 of its lines are listed.
  ASSERT_EQ(lines.size(), 256u + 2u);
  EXPECT_EQ(lines[0], "0 0 0041 0800");
  EXPECT_EQ(lines[1], "0 1 0000");
  EXPECT_EQ(lines[2], "0 2 0101 008f ff00");
  EXPECT_EQ(lines[256], "1 0 00de 0020 0000");
  std::string all600 = "1 1";
  for (int i = 0; i < 600; ++i) all600 += " 0300";
  EXPECT_EQ(lines[257], all600);
}

TEST(Cli, FailsWithOneLineNamingTheFile) {
  struct Case {
    std::string arguments;
    std::string message;
  } cases[] = {
      {"info missing.bin", "missing.bin: cannot open"},
      {"dump README.md", "README.md: header length"},
      {"dump", "expected one SCRIPT"},
      {"info a b", "expected one SCRIPT"},
      {"dump --bogus x.bin", "unknown option --bogus"},
      {"frobnicate", "unknown command 'frobnicate'"},
  };
  for (const auto &c : cases) {
    auto run = RunCli(c.arguments);
    EXPECT_EQ(run.m_status, 1) << c.arguments;
    EXPECT_TRUE(run.m_out.empty()) << c.arguments;
    EXPECT_EQ(std::count(run.m_err.begin(), run.m_err.end(), '\n'), 1) << run.m_err;
    EXPECT_NE(run.m_err.find(c.message), std::string::npos) << c.arguments << ": " << run.m_err;
  }
}

TEST(Cli, EveryCommandHasHelp) {
  auto overview = RunCli("--help");
  ASSERT_EQ(overview.m_status, 0);
  for (const char *command : {"info", "dump"}) {
    EXPECT_NE(overview.m_out.find(command), std::string::npos);
    auto help = RunCli(std::string(command) + " --help");
    EXPECT_EQ(help.m_status, 0);
    EXPECT_EQ(help.m_out.rfind("usage: quillan-cli " + std::string(command), 0), 0u) << help.m_out;
  }
}

// Names as the user gave them, on one line, and "--" before a name that
// looks like an option.
TEST(Cli, NamesFilesAsGivenOnOneLineAndTakesNamesAfterTheOptionsEnd) {
  testing::CScratchDir scratch;
  const std::filesystem::path &dir = scratch.Path();
  testing::CScriptSpec spec;
  spec.m_pages = {{{0x41, 0}, {0x42, 0}}};
  auto bytes = testing::BuildScript(spec).m_bytes;
  ASSERT_TRUE(WriteFileAtomic(dir / "x5A\nB\t.bin", bytes).Ok());
  ASSERT_TRUE(WriteFileAtomic(dir / "-x5C.bin", bytes).Ok());
  std::filesystem::create_directories(dir / "sub");
  ASSERT_TRUE(WriteFileAtomic(dir / "sub" / "x5BAD.bin", std::string_view("not a script at all")).Ok());

  auto odd = RunCli("info \"$(printf 'x5A\\nB\\t.bin')\"", dir);
  ASSERT_EQ(odd.m_status, 0) << odd.m_err;
  EXPECT_EQ(Lines(odd.m_out)[0], "file: x5A\\nB\\t.bin");

  auto dashed = RunCli("info -- -x5C.bin", dir);
  ASSERT_EQ(dashed.m_status, 0) << dashed.m_err;
  EXPECT_EQ(Lines(dashed.m_out)[0], "file: -x5C.bin");
  EXPECT_EQ(RunCli("info -x5C.bin", dir).m_status, 1) << "an option until -- says otherwise";

  struct Case {
    std::string arguments, message;
  } cases[] = {
      {"info sub/x5BAD.bin", "quillan-cli: sub/x5BAD.bin: header length"},
      {"dump ../" + dir.filename().string() + "/sub/x5BAD.bin",
       "quillan-cli: ../" + dir.filename().string() + "/sub/x5BAD.bin: header length"},
      {"info /dev/zero", "quillan-cli: /dev/zero: is not a regular file"},
      {"info sub", "quillan-cli: sub: is a folder, not a file"},
  };
  for (const auto &c : cases) {
    auto run = RunCli(c.arguments, dir);
    EXPECT_EQ(run.m_status, 1) << c.arguments;
    EXPECT_EQ(run.m_err.rfind(c.message, 0), 0u) << c.arguments << ": " << run.m_err;
    EXPECT_EQ(Lines(run.m_err).size(), 1u) << run.m_err;
  }
}

TEST(Cli, RenderNamesTheScriptAndTheEntryThatDoesNotFitTheRows) {
  testing::CScratchDir scratch;
  const std::filesystem::path &dir = scratch.Path();
  testing::CScriptSpec spec;
  spec.m_pages = {{{0x41, 0}, {0x42, 0}}};
  ASSERT_TRUE(WriteFileAtomic(dir / "x5LONG.bin", testing::BuildScript(spec).m_bytes).Ok());
  // An English string of another tool, far longer than any entry: the
  // cursor at its end lies past the row grid.
  std::vector<uint8_t> chunk{0, 'A', 0, 0};
  for (int i = 0; i < 20000; ++i)
    chunk.insert(chunk.end(), {0, 'B'});
  chunk.insert(chunk.end(), {0, 0});
  std::filesystem::create_directories(dir / "Scripts" / "PATCHED INFO" / "LONG");
  ASSERT_TRUE(WriteFileAtomic(dir / "Scripts" / "PATCHED INFO" / "LONG" / "x5LONG0.tk7", chunk).Ok());
  ASSERT_EQ(RunCli("render x5LONG.bin --line 0 -o out.png", dir).m_status, 0);
  auto run = RunCli("render x5LONG.bin --line 1 -o out1.png", dir);
  EXPECT_EQ(run.m_status, 1);
  EXPECT_EQ(run.m_err.rfind("quillan-cli: render: x5LONG.bin: page 0 line 1: Error with tpString", 0), 0u) << run.m_err;
  EXPECT_FALSE(std::filesystem::exists(dir / "out1.png"));
}

} // namespace
} // namespace quillan
