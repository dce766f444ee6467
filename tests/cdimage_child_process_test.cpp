// Starting external programs: arguments pass unchanged, output and status
// come back, a cancelled child really ends, and programs are found in PATH.

#include <chrono>

#include <gtest/gtest.h>

#include "cdimage/child_process.h"
#include "core/file_io.h"
#include "support/disc_fixture.h"

namespace quillan {
namespace {

using testing::disc::CScratchFolder;
using testing::disc::WriteScript;
using testing::disc::WriteText;

TEST(ChildProcessTest, ArgumentsReachTheProgramUnchanged) {
  // Every one of these would be split, expanded or run by a shell.
  std::vector<std::string> awkward = {"two words", "it's", "say \"hi\"", "$HOME",      "a;b",
                                      "*",         "`id`", "",           "back\\slash"};
  std::vector<std::string> arguments = {"printf", "[%s]\\n"};
  arguments.insert(arguments.end(), awkward.begin(), awkward.end());
  auto run = RunProcess(arguments);
  ASSERT_TRUE(run) << run.Error().Message();
  std::string expected;
  for (const auto &argument : awkward) expected += "[" + argument + "]\n";
  EXPECT_EQ(run->m_output, expected);
  EXPECT_TRUE(run->Succeeded());
}

TEST(ChildProcessTest, StatusAndErrorOutputComeBack) {
  struct CCase {
    const char *m_script;
    int m_exitCode;
    int m_signal;
    const char *m_description;
    const char *m_tail;
  } cases[] = {
      {"echo fine", 0, 0, "exit status 0", "fine"},
      {"echo out; echo 'first problem' >&2; echo 'last problem' >&2; exit 3", 3, 0, "exit status 3",
       "first problem\nlast problem"},
      {"echo 'only output'; exit 1", 1, 0, "exit status 1", "only output"},
      {"kill -9 $$", -1, 9, "killed by signal 9", ""},
  };
  for (const auto &c : cases) {
    auto run = RunProcess({"/bin/sh", "-c", c.m_script});
    ASSERT_TRUE(run) << run.Error().Message();
    EXPECT_EQ(run->m_exitCode, c.m_exitCode) << c.m_script;
    EXPECT_EQ(run->m_signal, c.m_signal) << c.m_script;
    EXPECT_EQ(run->Succeeded(), c.m_exitCode == 0 && c.m_signal == 0) << c.m_script;
    EXPECT_TRUE(run->Describe().starts_with(c.m_description)) << run->Describe();
    EXPECT_EQ(run->ErrorTail(), c.m_tail) << c.m_script;
  }
}

TEST(ChildProcessTest, ProgramsThatCannotStartAreErrors) {
  CScratchFolder scratch;
  auto notExecutable = scratch.Path() / "plain.sh";
  WriteText(notExecutable, "#!/bin/sh\necho never\n");
  for (const std::string &program :
       {std::string("quillan-no-such-program"), PathText(scratch.Path() / "missing"), PathText(notExecutable)}) {
    auto run = RunProcess({program});
    ASSERT_FALSE(run) << program;
    EXPECT_NE(run.Error().Message().find("cannot start"), std::string::npos) << run.Error().Message();
    EXPECT_NE(run.Error().Message().find(program), std::string::npos) << run.Error().Message();
  }
  EXPECT_FALSE(RunProcess({}));
}

TEST(ChildProcessTest, LargeOutputOnBothStreamsDoesNotBlockAndKeepsTheTail) {
  // A child that fills both pipes would hang a parent that reads one stream
  // to its end before the other.
  CProcessOptions roomy;
  roomy.m_outputLimit = 8 << 20;
  auto run = RunProcess(
      {"/bin/sh", "-c", "head -c 3000000 /dev/zero; head -c 3000000 /dev/zero >&2; printf ' end' >&2; printf ' out'"},
      roomy);
  ASSERT_TRUE(run) << run.Error().Message();
  EXPECT_EQ(run->m_output.size(), 3000004u);
  EXPECT_EQ(run->m_errorOutput.size(), 3000004u);

  CProcessOptions small;
  small.m_outputLimit = 100;
  std::string seen;
  small.m_onErrorOutput = [&](std::string_view piece) { seen += piece; };
  run = RunProcess({"/bin/sh", "-c", "head -c 50000 /dev/zero >&2; printf 'the last words' >&2"}, small);
  ASSERT_TRUE(run) << run.Error().Message();
  EXPECT_EQ(run->m_errorOutput.size(), 100u);
  EXPECT_TRUE(run->m_errorOutput.ends_with("the last words"));
  EXPECT_EQ(seen.size(), 50014u); // the callback sees everything
}

TEST(ChildProcessTest, CancellingEndsTheChild) {
  // A child that ignores SIGTERM is killed after the grace period.
  for (const char *script : {"sleep 30", "trap '' TERM; while :; do sleep 0.1; done"}) {
    auto start = std::chrono::steady_clock::now();
    CProcessOptions options;
    options.m_keepRunning = [&] { return std::chrono::steady_clock::now() - start < std::chrono::milliseconds(200); };
    auto run = RunProcess({"/bin/sh", "-c", script}, options);
    auto took = std::chrono::steady_clock::now() - start;
    ASSERT_TRUE(run) << run.Error().Message();
    EXPECT_TRUE(run->m_cancelled) << script;
    EXPECT_FALSE(run->Succeeded());
    EXPECT_LT(took, std::chrono::seconds(10)) << script;
  }
}

TEST(ChildProcessTest, FindOnPathTakesTheFirstExecutableMatch) {
  CScratchFolder scratch;
  auto a = scratch.Path() / "a", b = scratch.Path() / "b", c = scratch.Path() / "c";
  WriteText(a / "tool", "not executable");
  WriteScript(b / "tool", "exit 0");
  WriteScript(c / "tool", "exit 0");
  std::filesystem::create_directories(c / "dir" / "tool");
  std::string list = PathText(a) + "::" + PathText(b) + ":" + PathText(c);
  EXPECT_EQ(FindOnPath("tool", list), b / "tool");
  EXPECT_EQ(FindOnPath("tool", PathText(c) + "/dir:" + PathText(c)), c / "tool"); // a folder named tool is no tool
  EXPECT_EQ(FindOnPath("tool", PathText(a)), std::nullopt);
  EXPECT_EQ(FindOnPath("sub/tool", list), std::nullopt);
  EXPECT_EQ(FindOnPath("", list), std::nullopt);
  EXPECT_EQ(FindOnPath("tool", ""), std::nullopt);
}

} // namespace
} // namespace quillan
