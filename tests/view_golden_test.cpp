// Whole panes of demo entries with the program's own pictures, compared with
// the committed pictures in tests/golden/, in process and through
// quillan-cli render; and render's failures.
//
// After a deliberate change of the artwork or the drawing, look at the new
// pictures and accept them with QUILLAN_UPDATE_GOLDEN=1 quillan_tests
// --gtest_filter='Golden*'.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "core/document.h"
#include "core/file_io.h"
#include "kanji/code_book.h"
#include "view/pane_renderer.h"
#include "view/png_codec.h"
#include "support/cli_runner.h"

namespace quillan {
namespace {

const std::filesystem::path kSource = QUILLAN_SOURCE_DIR;
const std::filesystem::path kDemo = kSource / "examples" / "demo";
const std::filesystem::path kGolden = kSource / "tests" / "golden";

struct CGoldenCase {
  const char *m_name;
  int m_page, m_line;
  const char *m_shows;
};

constexpr CGoldenCase kCases[] = {
    {"demo_0_3", 0, 3, "colour codes with their arguments, a voiced kana, English in colour"},
    {"demo_0_35", 0, 35, "an unidentified kanji (white on black), a semi-voiced kana, no English"},
    {"demo_0_38", 0, 38, "an identified kanji (white on the pane)"},
    {"demo_0_10", 0, 10, "two sentences, a line break, English with a bubble end"},
};

CPixelCanvas RenderDemo(int page, int line) {
  CTranslationDocument doc;
  doc.m_baseDir = kDemo;
  EXPECT_TRUE(doc.LoadScript(kDemo / "x5DEMO.bin").Ok());
  auto book = ReadFileBytes(doc.CodeBookPath());
  EXPECT_TRUE(book.Ok());
  if (book) doc.LoadedCodeBook() = ParseCodeBook(*book, "DEMO.kcb").m_book;
  doc.m_currentPage = page;
  doc.m_currentLine = line;
  doc.PlaceCursorAtEnd();
  CEmbeddedPictures pictures;
  CPaneRenderer renderer;
  EXPECT_TRUE(renderer.LoadFontSheets(pictures).Ok());
  EXPECT_TRUE(renderer.LoadPaneBackground(pictures).Ok());
  EXPECT_TRUE(renderer.PaintPanes(doc).Ok());
  return renderer.Canvas();
}

// Compares with the golden picture; a difference leaves the actual picture
// beside the test's temporary files.
void ExpectGolden(const CPixelCanvas &actual, const std::string &name) {
  std::filesystem::path path = kGolden / (name + ".png");
  if (std::getenv("QUILLAN_UPDATE_GOLDEN")) {
    std::filesystem::create_directories(kGolden);
    ASSERT_TRUE(WriteFileAtomic(path, EncodePng(actual)).Ok());
    return;
  }
  auto bytes = ReadFileBytes(path);
  ASSERT_TRUE(bytes.Ok()) << path << " is missing";
  auto golden = DecodePng(*bytes);
  ASSERT_TRUE(golden.Ok()) << golden.Error().Message();
  if (*golden == actual) return;
  int differing = 0, firstX = -1, firstY = -1;
  for (int y = 0; y < actual.Height() && y < golden->Height(); ++y)
    for (int x = 0; x < actual.Width() && x < golden->Width(); ++x)
      if (!(actual.Pixel(x, y) == golden->Pixel(x, y)) && differing++ == 0) firstX = x, firstY = y;
  std::filesystem::path out = std::filesystem::path(::testing::TempDir()) / (name + ".actual.png");
  (void)WriteFileAtomic(out, EncodePng(actual));
  ADD_FAILURE() << name << ": " << differing << " pixels differ, the first at " << firstX << "," << firstY
                << "; the picture drawn is " << out;
}

TEST(Golden, DemoEntriesLookAsAccepted) {
  for (const CGoldenCase &c : kCases) {
    SCOPED_TRACE(std::string(c.m_name) + ": " + c.m_shows);
    CPixelCanvas picture = RenderDemo(c.m_page, c.m_line);
    EXPECT_EQ(picture.Width(), 480);
    EXPECT_EQ(picture.Height(), 380);
    ExpectGolden(picture, c.m_name);
  }
}

testing::CCliRun RunCli(const std::string &arguments, const std::filesystem::path &workdir) {
  return testing::RunCli(QUILLAN_CLI, arguments + " >/dev/null", workdir);
}

class CRenderCommandTest : public ::testing::Test {
protected:
  void SetUp() override {
    m_dir = std::filesystem::path(::testing::TempDir()) / ("quillan-render-" + std::to_string(::getpid()));
    std::filesystem::remove_all(m_dir);
    std::filesystem::create_directories(m_dir);
  }
  void TearDown() override { std::filesystem::remove_all(m_dir); }
  std::filesystem::path m_dir;
};

TEST_F(CRenderCommandTest, DrawsTheSamePanesAsTheWindow) {
  const CGoldenCase &c = kCases[0];
  std::filesystem::path out = m_dir / "entry.png";
  auto run = RunCli("render x5DEMO.bin --page 0 --line 3 -o '" + out.string() + "'", kDemo);
  ASSERT_EQ(run.m_status, 0) << run.m_err;
  auto bytes = ReadFileBytes(out);
  ASSERT_TRUE(bytes.Ok());
  auto picture = DecodePng(*bytes);
  ASSERT_TRUE(picture.Ok()) << picture.Error().Message();
  ExpectGolden(*picture, c.m_name);

  // From elsewhere with --workdir: the same picture.
  std::filesystem::path again = m_dir / "again.png";
  run = RunCli("render examples/demo/x5DEMO.bin --workdir examples/demo --line 3 -o '" + again.string() + "'", kSource);
  ASSERT_EQ(run.m_status, 0) << run.m_err;
  EXPECT_EQ(*ReadFileBytes(again), *bytes);
}

TEST_F(CRenderCommandTest, CreatesNothingBelowTheWorkingFolder) {
  // A script without a code book or English text: all kanji unidentified,
  // and no code book is created.
  std::filesystem::copy_file(kDemo / "x5DEMO.bin", m_dir / "x5DEMO.bin");
  auto run = RunCli("render x5DEMO.bin --line 38 -o out.png", m_dir);
  ASSERT_EQ(run.m_status, 0) << run.m_err;
  std::vector<std::string> names;
  for (const auto &entry : std::filesystem::recursive_directory_iterator(m_dir))
    names.push_back(entry.path().lexically_relative(m_dir).string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"out.png", "x5DEMO.bin"}));
  auto picture = DecodePng(*ReadFileBytes(m_dir / "out.png"));
  ASSERT_TRUE(picture.Ok());
  // 人 (0x102) is the sixth cell of that entry: black around its strokes now.
  EXPECT_EQ(picture->Pixel(160 + 2, 20 + 28), kBlack);
}

TEST_F(CRenderCommandTest, FailuresSayWhatIsWrong) {
  struct CCase {
    std::string m_args;
    const char *m_message;
  } cases[] = {
      {"render x5DEMO.bin", "output file is missing"},
      {"render x5DEMO.bin --page 3 -o x.png", "page 3 is outside the script (pages 0-2)"},
      {"render x5DEMO.bin --page 2 --line 40 -o x.png", "page 2 has lines 0-39, not 40"},
      {"render x5DEMO.bin --line -1 -o x.png", "--line wants a number"},
      {"render x5DEMO.bin --page two -o x.png", "--page wants a number"},
      {"render -o x.png", "expected one SCRIPT"},
      {"render missing.bin -o x.png", "missing.bin"},
      {"render x5DEMO.bin --colour 3 -o x.png", "unknown option --colour"},
      {"render x5DEMO.bin -o /nonexistent-folder/x.png", "render: "},
  };
  for (const CCase &c : cases) {
    auto run = RunCli(c.m_args, kDemo);
    EXPECT_EQ(run.m_status, 1) << c.m_args;
    EXPECT_NE(run.m_err.find(c.m_message), std::string::npos) << c.m_args << ": " << run.m_err;
    EXPECT_EQ(std::count(run.m_err.begin(), run.m_err.end(), '\n'), 1) << c.m_args << ": " << run.m_err;
  }
  EXPECT_FALSE(std::filesystem::exists(kDemo / "x.png"));
}

} // namespace
} // namespace quillan
