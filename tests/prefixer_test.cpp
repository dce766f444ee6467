// prefixer: the byte-level conversion of label lines, and the program's
// handling of its arguments and files.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "core/file_io.h"
#include "extras/label_lines.h"
#include "support/scratch_dir.h"

namespace quillan {
namespace {

using ::testing::HasSubstr;

std::string Convert(std::string_view input) {
  auto out = ConvertLabelLines(std::span(reinterpret_cast<const uint8_t *>(input.data()), input.size()));
  return std::string(out.begin(), out.end());
}

TEST(LabelLines, ConvertsByteForByte) {
  struct Case {
    const char *what;
    std::string input;
    std::string output;
  };
  const Case cases[] = {
      {"empty input", "", ""},
      {"one entry", "Name: Hello\r\n", "~0-0~ Name:\r\n Hello\r\n"},
      {"two entries", "A: x\r\nB: y\r\n", "~0-0~ A:\r\n x\r\n~0-0~ B:\r\n y\r\n"},
      {"a line without a colon joins the next label", "abc\r\ndef: x\r\n", "~0-0~ abcdef:\r\n x\r\n"},
      {"an empty line: its CR is the raw first byte, its LF dropped", "\r\nA: x\r\n", "~0-0~ \rA:\r\n x\r\n"},
      {"colon first", ":rest of it\r\n", "~0-0~ :\r\nrest of it\r\n"},
      {"ends inside a label", "A: x\r\nlabel wi", "~0-0~ A:\r\n x\r\n~0-0~ label wi\r\n"},
      {"last text line without a line end", "A: x", "~0-0~ A:\r\n x"},
      {"only the first colon ends the label", "T: 10:30: go\r\n", "~0-0~ T:\r\n 10:30: go\r\n"},
      {"lone LF ends the text and is copied", "A: x\nB: y\n", "~0-0~ A:\r\n x\n~0-0~ B:\r\n y\n"},
      {"CR inside the text is copied", "A: x\ry\r\n", "~0-0~ A:\r\n x\ry\r\n"},
      {"a label ended by the colon right at the end", "A:", "~0-0~ A:\r\n"},
      {"LF as first byte is written raw", "\nB: y", "~0-0~ \nB:\r\n y"},
      {"bytes of any value pass", std::string("\x82\xa0:\xff\x00\n", 6),
       std::string("~0-0~ \x82\xa0:\r\n\xff\x00\n", 14)},
  };
  for (const Case &c : cases)
    EXPECT_EQ(Convert(c.input), c.output) << c.what;
}

TEST(LabelLines, OutputNameReplacesTheLastCharacter) {
  EXPECT_EQ(LabelLinesOutputName("notes.txt"), "notes.txn");
  EXPECT_EQ(LabelLinesOutputName("dir.v1/a"), "dir.v1/n");
  EXPECT_EQ(LabelLinesOutputName("note\xc3\xa9"), "noten"); // a two-byte character
}

struct CPrefixerRun {
  int m_status;
  std::string m_errors;
};

CPrefixerRun RunWith(std::vector<std::string> arguments) {
  std::ostringstream errors;
  int status = RunPrefixer(arguments, errors);
  return {status, errors.str()};
}

std::string FileText(const std::filesystem::path &path) {
  auto bytes = ReadFileBytes(path);
  return bytes ? std::string(bytes->begin(), bytes->end()) : std::string("<missing>");
}

TEST(Prefixer, NoArgumentsTouchesNothingAndPrintsTheUsage) {
  CPrefixerRun run = RunWith({});
  EXPECT_EQ(run.m_status, -1) << "the program's exit status 255";
  EXPECT_EQ(run.m_errors.rfind("usage: prefixer FILE...\n", 0), 0u) << run.m_errors;
}

TEST(Prefixer, ConvertsEachFileAndReportsEveryFailureAtTheEnd) {
  testing::CScratchDir dir;
  auto path = [&](const char *name) { return (dir.Path() / name).string(); };
  ASSERT_TRUE(WriteFileAtomic(path("a.txt"), std::string_view("A: x\r\n")));
  ASSERT_TRUE(WriteFileAtomic(path("b.dat"), std::string_view("B: y\r\n")));
  const std::string keep = "~0-0~ K:\r\n kept\r\n";
  ASSERT_TRUE(WriteFileAtomic(path("c.txn"), std::string_view(keep)));
  std::filesystem::create_directories(path("d.txn")); // the output of d.txt cannot replace a folder
  ASSERT_TRUE(WriteFileAtomic(path("d.txt"), std::string_view("D: z\r\n")));

  CPrefixerRun run = RunWith({path("a.txt"), path("missing.txt"), path("c.txn"), path("d.txt"), path("b.dat")});
  EXPECT_EQ(run.m_status, 1);
  EXPECT_EQ(FileText(path("a.txn")), "~0-0~ A:\r\n x\r\n");
  EXPECT_EQ(FileText(path("b.dan")), "~0-0~ B:\r\n y\r\n") << "files after a failure are still converted";
  EXPECT_EQ(FileText(path("c.txn")), keep) << "an argument ending in n is refused, not overwritten";
  EXPECT_FALSE(std::filesystem::exists(path("missing.txn")));
  EXPECT_THAT(run.m_errors, HasSubstr("missing.txt"));
  EXPECT_THAT(run.m_errors, HasSubstr("c.txn: its output would be the file itself"));
  EXPECT_THAT(run.m_errors, HasSubstr("d.txn"));
  EXPECT_EQ(std::count(run.m_errors.begin(), run.m_errors.end(), '\n'), 3);

  CPrefixerRun good = RunWith({path("a.txt"), path("b.dat")});
  EXPECT_EQ(good.m_status, 0);
  EXPECT_EQ(good.m_errors, "");
}

} // namespace
} // namespace quillan
