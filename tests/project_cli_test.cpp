// quillan-cli status, search and check: their line formats, --json, the
// project's scripts from the working folder or the arguments, and the exit
// statuses.

#include <gtest/gtest.h>

#include "support/cli_runner.h"
#include "support/codec_fixture.h"
#include "support/demo_workspace.h"
#include "support/project_fixture.h"
#include "support/scratch_dir.h"

namespace quillan {
namespace {

using testing::Lines;

testing::CCliRun RunCli(const std::string &arguments, const std::filesystem::path &workdir) {
  return testing::RunCli(QUILLAN_CLI, arguments, workdir);
}

class ProjectCliTest : public ::testing::Test {
protected:
  void SetUp() override { testing::WriteDemoWorkspace(m_dir.Path()); }
  int DemoTranslated() const {
    int n = 0;
    for (int line = 0; line < 256; ++line)
      n += testing::DemoEnglishLine(line).size() > 1;
    return n;
  }
  testing::CScratchDir m_dir;
};

TEST_F(ProjectCliTest, StatusOfTheDemo) {
  int t = DemoTranslated();
  ASSERT_GT(t, 0);
  auto percent = [](int done, int all) {
    int share = done * 1000 / all;
    return std::to_string(share / 10) + "." + std::to_string(share % 10);
  };
  std::string script = "x5DEMO.bin\t552\t" + std::to_string(t) + "\t" + percent(t, 552);
  std::string total = "total\t552\t" + std::to_string(t) + "\t" + percent(t, 552);
  auto run = RunCli("status", m_dir.Path());
  ASSERT_EQ(run.m_status, 0) << run.m_err;
  EXPECT_EQ(run.m_out, script + "\n" + total + "\n");

  auto pages = RunCli("status --pages x5DEMO.bin", m_dir.Path());
  ASSERT_EQ(pages.m_status, 0) << pages.m_err;
  EXPECT_EQ(pages.m_out, "x5DEMO.bin\t0\t256\t" + std::to_string(t) + "\t" + percent(t, 256) +
                             "\nx5DEMO.bin\t1\t256\t0\t0.0\nx5DEMO.bin\t2\t40\t0\t0.0\n" + script + "\n" + total +
                             "\n");

  auto json = RunCli("status --json --workdir '" + m_dir.Path().string() + "'", "/");
  ASSERT_EQ(json.m_status, 0) << json.m_err;
  EXPECT_EQ(json.m_out, "[\n  {\"name\": \"x5DEMO.bin\", \"entries\": 552, \"translated\": " + std::to_string(t) +
                            ", \"percent\": " + percent(t, 552) + "},\n  {\"name\": \"total\", \"entries\": 552, " +
                            "\"translated\": " + std::to_string(t) + ", \"percent\": " + percent(t, 552) + "}\n]\n");
}

TEST_F(ProjectCliTest, SearchPrintsEveryHitInOrder) {
  auto run = RunCli("search --english 'good '", m_dir.Path());
  ASSERT_EQ(run.m_status, 0) << run.m_err;
  auto lines = Lines(run.m_out);
  ASSERT_FALSE(lines.empty());
  int previous = -1;
  for (const std::string &line : lines) {
    // NAME P L en TEXT
    ASSERT_EQ(std::count(line.begin(), line.end(), '\t'), 4) << line;
    EXPECT_EQ(line.rfind("x5DEMO.bin\t0\t", 0), 0u) << line;
    int l = std::stoi(line.substr(13));
    EXPECT_GT(l, previous);
    previous = l;
    EXPECT_NE(line.find("\ten\t"), std::string::npos) << line;
    EXPECT_NE(line.find("Good "), std::string::npos) << line;
  }

  auto regex = RunCli("search --regex --case-sensitive --json 'Good (morning|night)' x5DEMO.bin", m_dir.Path());
  ASSERT_EQ(regex.m_status, 0) << regex.m_err;
  EXPECT_EQ(regex.m_out.rfind("[\n  {\"name\": \"x5DEMO.bin\", \"page\": 0, \"line\": ", 0), 0u) << regex.m_out;
  EXPECT_NE(regex.m_out.find("\"field\": \"en\", \"text\": \"Good morning."), std::string::npos) << regex.m_out;

  auto codes = RunCli("search --japanese '{01}' -- x5DEMO.bin", m_dir.Path());
  ASSERT_EQ(codes.m_status, 0) << codes.m_err;
  for (const std::string &line : Lines(codes.m_out))
    EXPECT_NE(line.find("\tja\t"), std::string::npos) << line;

  auto none = RunCli("search nothing-like-this", m_dir.Path());
  EXPECT_EQ(none.m_status, 0);
  EXPECT_EQ(none.m_out, "");
  EXPECT_EQ(RunCli("search --json nothing-like-this", m_dir.Path()).m_out, "[]\n");

  auto bad = RunCli("search --regex '(x'", m_dir.Path());
  EXPECT_EQ(bad.m_status, 1);
  EXPECT_EQ(bad.m_err.rfind("quillan-cli: search: the regular expression", 0), 0u) << bad.m_err;
  EXPECT_EQ(RunCli("search", m_dir.Path()).m_status, 1);
  EXPECT_EQ(RunCli("search --japanese --english x", m_dir.Path()).m_status, 1);
}

TEST_F(ProjectCliTest, CheckFindsThePlantedFaultsAndSetsTheExitStatus) {
  testing::CScratchDir dir;
  testing::CScriptSpec spec;
  spec.m_pages.push_back({{'a', 0x01, 0}, {'b', 0x03, 0}, {'c', 0x01, 0}});
  std::vector<EnglishString> english(4096);
  english[0] = testing::English("A\x01");
  english[1] = testing::English("B"); // the line end is missing
  testing::WriteProjectScript(dir.Path(), "x5ONE.bin", spec, english);
  auto run = RunCli("check", dir.Path());
  EXPECT_EQ(run.m_status, 1) << run.m_err;
  EXPECT_EQ(run.m_out, "x5ONE.bin\t0\t1\terror\tending\tthe Japanese ends with {03}, the English does not\n"
                       "x5ONE.bin\t0\t2\twarning\tuntranslated\tno English text\n");
  auto json = RunCli("check --json", dir.Path());
  EXPECT_EQ(json.m_status, 1);
  EXPECT_EQ(json.m_out.rfind("[\n  {\"name\": \"x5ONE.bin\", \"page\": 0, \"line\": 1, \"severity\": \"error\", "
                             "\"check\": \"ending\", \"message\": \"the Japanese ends with {03}, the English does "
                             "not\"},\n",
                             0),
            0u)
      << json.m_out;

  // Warnings alone leave the status 0.
  english[1] = testing::English("B\x03");
  testing::WriteProjectScript(dir.Path(), "x5ONE.bin", spec, english);
  auto warnings = RunCli("check", dir.Path());
  EXPECT_EQ(warnings.m_status, 0) << warnings.m_err;
  EXPECT_EQ(Lines(warnings.m_out).size(), 1u) << warnings.m_out;

  auto usage = RunCli("check --bogus", dir.Path());
  EXPECT_EQ(usage.m_status, 2);
  EXPECT_NE(usage.m_err.find("unknown option --bogus"), std::string::npos) << usage.m_err;
}

TEST_F(ProjectCliTest, UnreadableAndMissingScripts) {
  testing::WriteText(m_dir.Path() / "X5BAD.BIN", "no script");
  auto run = RunCli("status", m_dir.Path());
  EXPECT_EQ(run.m_status, 1);
  EXPECT_NE(run.m_err.find("X5BAD.BIN"), std::string::npos) << run.m_err;
  EXPECT_EQ(Lines(run.m_out).size(), 2u) << run.m_out; // the demo is still counted
  EXPECT_EQ(RunCli("check x5DEMO.bin", m_dir.Path()).m_err, "");

  testing::CScratchDir empty;
  auto none = RunCli("status", empty.Path());
  EXPECT_EQ(none.m_status, 1);
  EXPECT_NE(none.m_err.find("no x5*.bin script"), std::string::npos) << none.m_err;
  EXPECT_EQ(RunCli("check missing.bin", empty.Path()).m_status, 1);
}

TEST_F(ProjectCliTest, GeneratedProjectAgreesAcrossCommands) {
  testing::CScratchDir dir;
  testing::WriteGeneratedProject(dir.Path(), 3, 2);
  auto status = RunCli("status", dir.Path());
  ASSERT_EQ(status.m_status, 0) << status.m_err;
  auto lines = Lines(status.m_out);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].rfind("x5G00.bin\t512\t", 0), 0u) << lines[0];
  EXPECT_EQ(lines[3].rfind("total\t1536\t", 0), 0u) << lines[3];
  // Every entry's English is found by an empty-free pattern that all have: the bubble ends.
  auto search = RunCli("search --english --regex '\\{0[12]\\}$'", dir.Path());
  ASSERT_EQ(search.m_status, 0) << search.m_err;
  int translated = std::stoi(lines[3].substr(lines[3].find('\t', 6) + 1));
  EXPECT_EQ(int(Lines(search.m_out).size()), translated);
  auto check = RunCli("check", dir.Path());
  EXPECT_LE(check.m_status, 1) << check.m_err;
  EXPECT_EQ(check.m_err, "");
  for (const std::string &line : Lines(check.m_out))
    ASSERT_EQ(std::count(line.begin(), line.end(), '\t'), 5) << line;
}

} // namespace
} // namespace quillan
