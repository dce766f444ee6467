// Which files go on the disc image and from which folder, and the fixed
// files around the image (boot area, silent track, cue sheet).

#include <gtest/gtest.h>

#include "cdimage/disc_collect.h"
#include "cdimage/disc_outputs.h"
#include "core/file_io.h"
#include "support/disc_fixture.h"

namespace quillan {
namespace {

namespace fs = std::filesystem;
using testing::disc::CScratchFolder;
using testing::disc::PatternBytes;
using testing::disc::ReadBytes;
using testing::disc::WriteBytes;
using testing::disc::WriteText;

TEST(DiscCollectTest, ExtensionsOfAtMostThreeCharacters) {
  struct CCase {
    const char *m_name;
    bool m_taken;
  } cases[] = {
      {"GAME.BIN", true},         {"A.X", true},           {"NOEXT", true},
      {"CDDA2.", true},           {"a.b.cd", true},        {"readme.html", false},
      {"movie.mpeg", false},      {"x5abc.bin.bak", true}, {"x5.tar.gz", true},
      {"archive.gz.part", false},
  };
  for (const auto &c : cases) EXPECT_EQ(HasShortExtension(c.m_name), c.m_taken) << c.m_name;
}

TEST(DiscCollectTest, LaterSourcesReplaceEarlierOnesWithoutRegardToCase) {
  CScratchFolder scratch;
  auto fixture = testing::disc::MakeDiscFixture(scratch.Path());
  auto plan = PlanCollection({{"disc", fixture.m_disc, true},
                              {"Patch", fixture.m_work / "Patch", false},
                              {"compress", fixture.m_work / "compress", false}});
  ASSERT_TRUE(plan) << plan.Error().Message();

  struct CExpected {
    const char *m_name;
    const char *m_role;
    fs::path m_source;
  } expected[] = {
      {"GAME.BIN", "disc", fixture.m_disc / "GAME.BIN"},
      {"MOVIE.STR", "disc", fixture.m_disc / "MOVIE.STR"},
      {"PATCH.DAT", "Patch", fixture.m_work / "Patch" / "PATCH.DAT"},
      // Named as on the disc, so that the sort file's entry still matches,
      // but the compressed script's bytes.
      {"X5ABC.BIN", "compress", fixture.m_work / "compress" / "X5abc.bin"},
      {"X5DEF.BIN", "Patch", fixture.m_work / "Patch" / "X5DEF.BIN"},
  };
  ASSERT_EQ(plan->m_files.size(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) {
    EXPECT_EQ(plan->m_files[i].m_name, expected[i].m_name);
    EXPECT_EQ(plan->m_files[i].m_role, expected[i].m_role) << expected[i].m_name;
    EXPECT_EQ(plan->m_files[i].m_source, expected[i].m_source) << expected[i].m_name;
  }
  EXPECT_EQ(plan->TotalBytes(), 5000u + 7000 + 4100 + 2100 + 1234);
  ASSERT_NE(plan->Find("x5abc.BIN"), nullptr);
  EXPECT_EQ(plan->Find("x5abc.BIN")->m_name, "X5ABC.BIN");

  // The user learns about what stayed behind; hidden files pass silently.
  std::string notes;
  for (const auto &note : plan->m_notes) notes += note + "\n";
  EXPECT_NE(notes.find("readme.html"), std::string::npos) << notes;
  EXPECT_NE(notes.find("SUB"), std::string::npos) << notes;
  EXPECT_EQ(notes.find(".hidden"), std::string::npos) << notes;
}

TEST(DiscCollectTest, TheDiscMustHoldFilesAndMissingExtrasAreNotes) {
  CScratchFolder scratch;
  auto disc = scratch.Path() / "disc";
  fs::create_directories(disc / "ONLY_A_FOLDER");
  WriteText(disc / "notes.text", "long extension");

  auto empty = PlanCollection({{"disc", disc, true}});
  ASSERT_FALSE(empty);
  EXPECT_NE(empty.Error().Message().find("holds no files"), std::string::npos) << empty.Error().Message();

  auto missing = PlanCollection({{"disc", scratch.Path() / "nowhere", true}});
  ASSERT_FALSE(missing);
  EXPECT_NE(missing.Error().Message().find("nowhere"), std::string::npos) << missing.Error().Message();

  WriteText(disc / "GAME.BIN", "x");
  auto plan = PlanCollection({{"disc", disc, true}, {"Patch", scratch.Path() / "Patch", false}});
  ASSERT_TRUE(plan) << plan.Error().Message();
  EXPECT_EQ(plan->m_files.size(), 1u);
  ASSERT_FALSE(plan->m_notes.empty());
  EXPECT_NE(plan->m_notes.back().find("Patch"), std::string::npos);
}

TEST(DiscCollectTest, CopyingReportsBytesAndCanBeCancelled) {
  CScratchFolder scratch;
  auto source = scratch.Path() / "big.bin";
  auto bytes = PatternBytes(3 * 1024 * 1024 + 17, 1);
  WriteBytes(source, bytes);

  uint64_t done = 0, lastDone = 0;
  auto copied = CopyFileWithProgress(source, scratch.Path() / "copy.bin", done, bytes.size(), [&](const CProgress &p) {
    EXPECT_EQ(p.m_step, "collect");
    EXPECT_GE(p.m_done, lastDone);
    lastDone = p.m_done;
    return true;
  });
  ASSERT_TRUE(copied) << copied.Error().Message();
  EXPECT_EQ(done, bytes.size());
  EXPECT_EQ(ReadBytes(scratch.Path() / "copy.bin"), bytes);

  done = 0;
  auto cancelled = CopyFileWithProgress(source, scratch.Path() / "cut.bin", done, bytes.size(),
                                        [](const CProgress &p) { return p.m_done < 1024 * 1024; });
  ASSERT_FALSE(cancelled);
  EXPECT_TRUE(IsCancelledError(cancelled.Error()));
  EXPECT_FALSE(IsCancelledError(MakeError("x5abc.bin: cannot open")));
}

TEST(DiscOutputsTest, BootAreaTakesTheFileAndFillsWithFF) {
  for (size_t size : {size_t(0), size_t(1), size_t(1500), kBootAreaSize - 1, kBootAreaSize, kBootAreaSize + 4000}) {
    auto file = PatternBytes(size, 3);
    auto area = BootAreaBytes(file);
    ASSERT_EQ(area.size(), kBootAreaSize);
    size_t used = std::min(size, kBootAreaSize);
    EXPECT_TRUE(std::equal(file.begin(), file.begin() + used, area.begin())) << size;
    EXPECT_TRUE(std::all_of(area.begin() + used, area.end(), [](uint8_t b) { return b == 0xFF; })) << size;
  }
}

TEST(DiscOutputsTest, StampingWritesOnlyTheSystemAreaAndRefusesShortImages) {
  CScratchFolder scratch;
  auto image = scratch.Path() / "image.iso";
  auto original = PatternBytes(kBootAreaSize + 4096, 4);
  WriteBytes(image, original);
  auto boot = PatternBytes(100, 5);
  ASSERT_TRUE(StampBootArea(image, boot));
  auto stamped = ReadBytes(image);
  ASSERT_EQ(stamped.size(), original.size());
  auto area = BootAreaBytes(boot);
  EXPECT_TRUE(std::equal(area.begin(), area.end(), stamped.begin()));
  EXPECT_TRUE(std::equal(original.begin() + kBootAreaSize, original.end(), stamped.begin() + kBootAreaSize));

  WriteBytes(image, PatternBytes(2048, 6));
  auto shortImage = StampBootArea(image, boot);
  ASSERT_FALSE(shortImage);
  EXPECT_EQ(ReadBytes(image), PatternBytes(2048, 6)); // left alone, not grown
  EXPECT_FALSE(StampBootArea(scratch.Path() / "none.iso", boot));
}

TEST(DiscOutputsTest, CueSheetAndSilentTrackAreExact) {
  EXPECT_EQ(CueSheetText("TK7.ISO"), "FILE \"TK7.ISO\" BINARY\r\n"
                                     "  TRACK 01 MODE1/2048\r\n"
                                     "    INDEX 01 00:00:00\r\n"
                                     "FILE \"TK7Track2.bin\" BINARY\r\n"
                                     "  TRACK 02 AUDIO\r\n"
                                     "    PREGAP 00:02:00\r\n"
                                     "    INDEX 01 00:00:00\r\n");
  CScratchFolder scratch;
  ASSERT_TRUE(WriteSilentTrack(scratch.Path() / "t.bin"));
  auto track = ReadBytes(scratch.Path() / "t.bin");
  EXPECT_EQ(track.size(), 2097152u);
  EXPECT_TRUE(std::all_of(track.begin(), track.end(), [](uint8_t b) { return b == 0; }));
}

} // namespace
} // namespace quillan
