// Make CD end to end with the machine's real image builder, read back with
// two independent ISO 9660 readers; failures, stale files and cancelling;
// and the quillan-cli command.

#include <regex>
#include <sstream>

#include <gtest/gtest.h>

#include "cdimage/child_process.h"
#include "cdimage/disc_collect.h"
#include "cdimage/disc_outputs.h"
#include "cdimage/image_builder.h"
#include "cdimage/make_cd.h"
#include "core/file_io.h"
#include "support/disc_fixture.h"

namespace quillan {
namespace {

namespace fs = std::filesystem;
using testing::disc::CDiscFixture;
using testing::disc::CIsoListing;
using testing::disc::CScratchFolder;
using testing::disc::PatternBytes;
using testing::disc::ReadBytes;
using testing::disc::WriteBytes;
using testing::disc::WriteScript;
using testing::disc::WriteText;

class MakeCdTest : public ::testing::Test {
protected:
  void SetUp() override {
    m_builder = testing::disc::SystemImageBuilder();
    ASSERT_FALSE(m_builder.empty()) << "no image builder installed (scripts/setup.sh installs genisoimage)";
    m_fixture = testing::disc::MakeDiscFixture(m_scratch.Path());
    m_options.m_workDir = m_fixture.m_work;
    m_options.m_discDir = m_fixture.m_disc;
    m_options.m_builder = m_builder;
  }

  fs::path Work(const char *name) const { return m_fixture.m_work / name; }

  void ExpectNoCollectionFolder() const { EXPECT_FALSE(fs::exists(Work("temp"))) << "temp/ left behind"; }

  // The image must read back with the expected files, compress and patch
  // versions winning, in the order of the sort file.
  void ExpectImageContents(const CIsoListing &listing, const char *reader) const {
    std::map<std::string, std::vector<uint8_t>> found;
    for (const auto &[name, file] : listing) {
      EXPECT_EQ(file.m_size, file.m_bytes.size()) << reader << " " << name;
      found[name] = file.m_bytes;
    }
    EXPECT_EQ(found, m_fixture.m_expected) << reader;
    for (size_t i = 1; i < m_fixture.m_sortOrder.size(); ++i) {
      const auto &before = m_fixture.m_sortOrder[i - 1], &after = m_fixture.m_sortOrder[i];
      ASSERT_TRUE(listing.count(before) && listing.count(after)) << reader;
      EXPECT_LT(listing.at(before).m_extent, listing.at(after).m_extent)
          << reader << ": " << before << " should come before " << after;
    }
  }

  CScratchFolder m_scratch;
  CDiscFixture m_fixture;
  CMakeCdOptions m_options;
  fs::path m_builder;
};

TEST_F(MakeCdTest, BuildsABootableTwoTrackDisc) {
  std::vector<std::string> steps;
  auto report = MakeCd(m_options, [&](const CProgress &progress) {
    if (steps.empty() || steps.back() != progress.m_step) steps.push_back(progress.m_step);
    return true;
  });
  ASSERT_TRUE(report) << report.Error().Message();
  EXPECT_EQ(steps, (std::vector<std::string>{"check", "collect", "build", "stamp", "audio", "cue", "clean"}));
  EXPECT_EQ(report->m_image, Work("TK7.ISO"));
  EXPECT_EQ(report->m_fileCount, 5u);
  for (const auto &note : report->m_notes) EXPECT_EQ(note.find("sort file"), std::string::npos) << note;
  ExpectNoCollectionFolder();

  auto isoinfo = testing::disc::ReadIsoWithIsoinfo(report->m_image);
  ASSERT_TRUE(isoinfo) << isoinfo.Error().Message();
  ExpectImageContents(*isoinfo, "isoinfo");
  // pycdlib parses the volume descriptors and directory records on its own.
  auto pycdlib = testing::disc::ReadIsoWithPycdlib(report->m_image);
  ASSERT_TRUE(pycdlib) << pycdlib.Error().Message();
  ExpectImageContents(*pycdlib, "pycdlib");

  auto image = ReadBytes(report->m_image);
  ASSERT_GT(image.size(), kBootAreaSize + 2048);
  auto area = BootAreaBytes(m_fixture.m_bootFile);
  EXPECT_TRUE(std::equal(area.begin(), area.end(), image.begin())) << "first 32768 bytes are not the boot area";
  EXPECT_EQ(image[kBootAreaSize - 1], 0xFF);
  EXPECT_EQ(std::string(image.begin() + kBootAreaSize + 1, image.begin() + kBootAreaSize + 6), "CD001");

  auto cue = ReadBytes(Work("TK7.CUE"));
  EXPECT_EQ(std::string(cue.begin(), cue.end()), CueSheetText("TK7.ISO"));
  auto track = ReadBytes(Work("TK7Track2.bin"));
  EXPECT_EQ(track, std::vector<uint8_t>(2097152, 0));

  // A second run gives the same cue sheet and track, and temp/ is gone again.
  auto again = MakeCd(m_options, {});
  ASSERT_TRUE(again) << again.Error().Message();
  EXPECT_EQ(ReadBytes(Work("TK7.CUE")), cue);
  EXPECT_EQ(ReadBytes(Work("TK7Track2.bin")), track);
  ExpectNoCollectionFolder();
}

TEST_F(MakeCdTest, AFailedBuildNeverPassesOffAnOldImage) {
  struct CCase {
    const char *m_script;
    const char *m_expected; // in the error
  } cases[] = {
      {"echo 'genisoimage: Invalid node - /x' >&2; exit 2", "exit status 2"},
      {"echo 'half an image' > \"$4\"; echo 'genisoimage: No space left on device' >&2; exit 1",
       "No space left on device"},
      {"kill -9 $$", "killed by signal 9"},
      {"exit 0", "wrote no image"},
  };
  for (const auto &c : cases) {
    // The set of an earlier run.
    WriteBytes(Work("TK7.ISO"), PatternBytes(40000, 7));
    WriteBytes(Work("TK7Track2.bin"), PatternBytes(1000, 3));
    WriteBytes(Work("TK7.CUE"), PatternBytes(100, 5));
    auto builder = m_scratch.Path() / "failing builder";
    WriteScript(builder, c.m_script);
    m_options.m_builder = builder;
    auto report = MakeCd(m_options, {});
    ASSERT_FALSE(report) << c.m_script;
    EXPECT_NE(report.Error().Message().find(c.m_expected), std::string::npos) << report.Error().Message();
    EXPECT_NE(report.Error().Message().find("image builder"), std::string::npos) << report.Error().Message();
    // The earlier set stays whole: no half-made image, no new track or cue
    // sheet beside an old image, no temporary files.
    EXPECT_EQ(ReadBytes(Work("TK7.ISO")), PatternBytes(40000, 7)) << c.m_script;
    EXPECT_EQ(ReadBytes(Work("TK7Track2.bin")), PatternBytes(1000, 3)) << c.m_script;
    EXPECT_EQ(ReadBytes(Work("TK7.CUE")), PatternBytes(100, 5)) << c.m_script;
    for (const char *name : {"TK7.ISO.new", "TK7Track2.bin.new", "TK7.CUE.new"})
      EXPECT_FALSE(fs::exists(Work(name))) << name;
    ExpectNoCollectionFolder();
  }
}

TEST_F(MakeCdTest, TheBuilderGetsTheArgumentListAndTheWorkingFolderOneWins) {
  // A builder in data/ is preferred and sees each path as one argument,
  // spaces and quotes included.
  auto log = m_scratch.Path() / "arguments.txt";
  WriteScript(Work("data/mkisofs"),
              "printf '%s\\n' \"$@\" > \"" + PathText(log) + "\"\nexec \"" + PathText(m_builder) + "\" \"$@\"");
  m_options.m_builder.reset();
  m_options.m_searchPath = PathText(m_scratch.Path() / "empty");
  auto report = MakeCd(m_options, {});
  ASSERT_TRUE(report) << report.Error().Message();
  EXPECT_EQ(report->m_builder, Work("data/mkisofs"));
  auto lines = ReadBytes(log);
  // The image is built under a temporary name and takes its place at the end.
  EXPECT_EQ(std::string(lines.begin(), lines.end()), "-sort\n" + PathText(Work("data/tk7-2.txt")) + "\n-o\n" +
                                                         PathText(Work("TK7.ISO.new")) + "\n" + PathText(Work("temp")) +
                                                         "/\n");
}

TEST(ImageBuilderTest, FindsTheWorkingFoldersBuilderThenThePath) {
  CScratchFolder scratch;
  auto work = scratch.Path() / "work", bin1 = scratch.Path() / "bin1", bin2 = scratch.Path() / "bin2";
  WriteScript(bin1 / "genisoimage", "exit 0");
  WriteScript(bin2 / "mkisofs", "exit 0");
  WriteScript(bin2 / "xorrisofs", "exit 0");
  std::string path = PathText(bin1) + ":" + PathText(bin2);

  // mkisofs is the preferred name, even in a later folder of the list.
  auto found = FindImageBuilder(work, path);
  ASSERT_TRUE(found) << found.Error().Message();
  EXPECT_EQ(found->m_program, bin2 / "mkisofs");
  EXPECT_EQ(FindImageBuilder(work, PathText(bin1))->m_program, bin1 / "genisoimage");

  // A Windows builder copied into data/ cannot run here: passed over, with a note.
  WriteText(work / "data" / "mkisofs.exe", "MZ");
  found = FindImageBuilder(work, path);
  ASSERT_TRUE(found);
  EXPECT_EQ(found->m_program, bin2 / "mkisofs");
  ASSERT_EQ(found->m_notes.size(), 1u);
  EXPECT_NE(found->m_notes[0].find("mkisofs.exe"), std::string::npos);

  WriteScript(work / "data" / "mkisofs.exe", "exit 0");
  EXPECT_EQ(FindImageBuilder(work, path)->m_program, work / "data" / "mkisofs.exe");
  WriteScript(work / "data" / "mkisofs", "exit 0");
  EXPECT_EQ(FindImageBuilder(work, path)->m_program, work / "data" / "mkisofs");

  auto none = FindImageBuilder(scratch.Path() / "elsewhere", PathText(scratch.Path() / "nothing"));
  ASSERT_FALSE(none);
  EXPECT_NE(none.Error().Message().find("genisoimage"), std::string::npos);
}

TEST(ImageBuilderTest, ReadsThePercentLinesOfTheBuilders) {
  struct CCase {
    const char *m_output;
    int m_percent;
  } cases[] = {
      {" 45.67% done, estimate finish Thu Dec 10 10:30:00 2026\n", 4567},
      {"  9.87% done, estimate\n 19.74% done, estimate\n", 1974},
      {"xorriso : UPDATE :  100.00% done\n", 10000},
      {"  5% done\n", 500},
      {"Total extents written = 469\n", -1},
      {"% done\n", -1},
  };
  for (const auto &c : cases) EXPECT_EQ(ParseBuilderPercent(c.m_output), c.m_percent) << c.m_output;
}

TEST_F(MakeCdTest, MissingPiecesAreReportedBeforeAnythingIsWritten) {
  struct CCase {
    const char *m_what;
    std::function<void(CMakeCdOptions &, const CDiscFixture &)> m_break;
    const char *m_expected;
  } cases[] = {
      {"no disc chosen", [](CMakeCdOptions &o, const CDiscFixture &) { o.m_discDir.clear(); }, "no disc chosen"},
      {"disc folder missing", [](CMakeCdOptions &o, const CDiscFixture &f) { o.m_discDir = f.m_disc / "gone"; },
       "not found"},
      {"disc without files",
       [](CMakeCdOptions &o, const CDiscFixture &f) {
         o.m_discDir = f.m_disc / "SUB" / "EMPTY";
         fs::create_directories(o.m_discDir);
       },
       "holds no files"},
      {"the working folder as the disc", [](CMakeCdOptions &o, const CDiscFixture &f) { o.m_discDir = f.m_work; },
       "working folder itself"},
      {"the collection folder as the disc",
       [](CMakeCdOptions &o, const CDiscFixture &f) {
         WriteText(f.m_work / "temp" / "OLD.BIN", "x");
         o.m_discDir = f.m_work / "temp";
       },
       "collection folder"},
      {"no builder",
       [](CMakeCdOptions &o, const CDiscFixture &f) {
         o.m_builder.reset();
         o.m_searchPath = PathText(f.m_work / "nothing");
       },
       "no ISO 9660 image builder"},
      {"no sort file", [](CMakeCdOptions &, const CDiscFixture &f) { fs::remove(f.m_work / "data" / "tk7-2.txt"); },
       "sort file"},
      {"no boot area file",
       [](CMakeCdOptions &, const CDiscFixture &f) { fs::remove(f.m_work / "data" / "tk72ip.bin"); }, "boot area file"},
      {"a folder in temp/",
       [](CMakeCdOptions &, const CDiscFixture &f) { fs::create_directories(f.m_work / "temp" / "MINE"); }, "MINE"},
  };
  for (const auto &c : cases) {
    CScratchFolder scratch;
    auto fixture = testing::disc::MakeDiscFixture(scratch.Path());
    CMakeCdOptions options{fixture.m_work, fixture.m_disc, m_builder, {}};
    c.m_break(options, fixture);
    bool tempBefore = fs::exists(fixture.m_work / "temp");
    auto report = MakeCd(options, {});
    ASSERT_FALSE(report) << c.m_what;
    EXPECT_NE(report.Error().Message().find(c.m_expected), std::string::npos)
        << c.m_what << ": " << report.Error().Message();
    for (const char *output : {"TK7.ISO", "TK7.CUE", "TK7Track2.bin"})
      EXPECT_FALSE(fs::exists(fixture.m_work / output)) << c.m_what << ": " << output;
    EXPECT_EQ(fs::exists(fixture.m_work / "temp"), tempBefore) << c.m_what;
  }
}

TEST_F(MakeCdTest, FilesLeftInTempByAnEarlierRunStayOffTheImage) {
  WriteText(Work("temp/OLD.BIN"), "from a run that was interrupted");
  WriteText(Work("temp/X5ABC.BIN"), "an old compressed script");
  auto report = MakeCd(m_options, {});
  ASSERT_TRUE(report) << report.Error().Message();
  auto listing = testing::disc::ReadIsoWithIsoinfo(report->m_image);
  ASSERT_TRUE(listing) << listing.Error().Message();
  ExpectImageContents(*listing, "isoinfo");
  ExpectNoCollectionFolder();
}

TEST_F(MakeCdTest, ASortFileThatMissesTheCollectedFilesIsPointedOut) {
  // Written for another machine: the builder would ignore every line.
  WriteText(Work("data/tk7-2.txt"), "C:\\tk7\\temp\\MOVIE.STR 50\r\nC:\\tk7\\temp\\GAME.BIN 40\r\n" +
                                        PathText(Work("temp/X5ABC.BIN")) + " 30\r\n" + PathText(Work("temp/GONE.BIN")) +
                                        " 20\r\n");
  auto report = MakeCd(m_options, {});
  ASSERT_TRUE(report) << report.Error().Message();
  std::string notes;
  for (const auto &note : report->m_notes) notes += note + "\n";
  EXPECT_NE(notes.find("3 of the 4 entries of the sort file"), std::string::npos) << notes;
  EXPECT_NE(notes.find("C:\\tk7\\temp\\MOVIE.STR"), std::string::npos) << notes;
}

TEST_F(MakeCdTest, CancellingStopsCleanly) {
  auto slowBuilder = m_scratch.Path() / "slow builder";
  WriteScript(slowBuilder, "echo '  1.00% done' >&2; sleep 30; touch \"$4\"");
  struct CCase {
    const char *m_step; // cancel on the first report of this step
    bool m_slow;
  } cases[] = {{"check", false}, {"collect", false}, {"build", true}, {"stamp", false}, {"cue", false}};
  for (const auto &c : cases) {
    WriteBytes(Work("TK7.ISO"), PatternBytes(40000, 1));
    fs::remove(Work("TK7.CUE"));
    m_options.m_builder = c.m_slow ? slowBuilder : m_builder;
    auto started = std::chrono::steady_clock::now();
    auto report = MakeCd(m_options, [&](const CProgress &progress) {
      return progress.m_step != c.m_step ||
             (c.m_slow && std::chrono::steady_clock::now() - started < std::chrono::milliseconds(300));
    });
    ASSERT_FALSE(report) << c.m_step;
    EXPECT_TRUE(IsCancelledError(report.Error())) << report.Error().Message();
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10)) << c.m_step;
    ExpectNoCollectionFolder();
    // Whenever it is cancelled, the earlier run's image stays as it was and
    // nothing new or half-made is left.
    EXPECT_EQ(ReadBytes(Work("TK7.ISO")), PatternBytes(40000, 1)) << c.m_step;
    EXPECT_FALSE(fs::exists(Work("TK7.CUE"))) << c.m_step;
    for (const char *name : {"TK7.ISO.new", "TK7Track2.bin.new", "TK7.CUE.new"})
      EXPECT_FALSE(fs::exists(Work(name))) << c.m_step << ": " << name;
  }
}

TEST_F(MakeCdTest, CommandLineRunsMakeCdAndPrintsItsProgress) {
  auto run = RunProcess({QUILLAN_CLI, "make-cd", "--disc", PathText(m_fixture.m_disc), "--workdir",
                         PathText(m_fixture.m_work), "--builder", PathText(m_builder)});
  ASSERT_TRUE(run) << run.Error().Message();
  ASSERT_EQ(run->m_exitCode, 0) << run->m_errorOutput;
  EXPECT_EQ(run->m_errorOutput, "");
  std::regex line(R"((step (check|collect|build|stamp|audio|cue|clean) .*)|)"
                  R"((progress (collect|build) \d+ \d+ .*)|(note .+)|(wrote /.+))");
  std::istringstream lines(run->m_output);
  std::string text;
  std::vector<std::string> wrote;
  while (std::getline(lines, text)) {
    EXPECT_TRUE(std::regex_match(text, line)) << "unexpected line: " << text;
    if (text.starts_with("wrote ")) wrote.push_back(text.substr(6));
  }
  EXPECT_NE(run->m_output.find("progress collect 19434 19434 "), std::string::npos) << run->m_output;
  EXPECT_EQ(wrote, (std::vector<std::string>{PathText(Work("TK7.ISO")), PathText(Work("TK7Track2.bin")),
                                             PathText(Work("TK7.CUE"))}));
  auto listing = testing::disc::ReadIsoWithIsoinfo(Work("TK7.ISO"));
  ASSERT_TRUE(listing) << listing.Error().Message();
  ExpectImageContents(*listing, "isoinfo");

  // Failures: exit status 1 and one line on stderr.
  for (std::vector<std::string> arguments : {std::vector<std::string>{"make-cd"},
                                             {"make-cd", "--disc", PathText(m_scratch.Path() / "none")},
                                             {"make-cd", "--disc"},
                                             {"make-cd", "--disk", "x"}}) {
    arguments.insert(arguments.begin(), QUILLAN_CLI);
    auto failed = RunProcess(arguments);
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->m_exitCode, 1) << arguments.back();
    EXPECT_TRUE(failed->m_errorOutput.starts_with("quillan-cli: ")) << failed->m_errorOutput;
    EXPECT_EQ(std::count(failed->m_errorOutput.begin(), failed->m_errorOutput.end(), '\n'), 1) << failed->m_errorOutput;
  }
}

} // namespace
} // namespace quillan
