// Burnet: the cue path and sheet, the build with the real image builder, its
// command-line mode and its window.

#include <cstdio>
#include <regex>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include "cdimage/child_process.h"
#include "cdimage/disc_outputs.h"
#include "core/file_io.h"
#include "support/disc_fixture.h"
#include "tools/burnet/burnet_build.h"
#include "tools/burnet/burnet_cli.h"
#include "tools/burnet/burnet_dlg.h"

namespace burnet {
namespace {

namespace fs = std::filesystem;
using quillan::PathText;
using quillan::testing::disc::CScratchFolder;
using quillan::testing::disc::PatternBytes;
using quillan::testing::disc::ReadBytes;
using quillan::testing::disc::WriteBytes;
using quillan::testing::disc::WriteScript;
using quillan::testing::disc::WriteText;

std::string Text(const std::vector<uint8_t> &bytes) { return std::string(bytes.begin(), bytes.end()); }

TEST(BurnetBuildTest, CuePathReplacesTheExtensionAndNeverEqualsTheImage) {
  struct CCase {
    const char *m_image;
    const char *m_cue;
  } cases[] = {
      {"C:/temp.iso", "C:/temp.cue"},
      {"D:/game.iso.iso", "D:/game.cue.cue"},
      {"C:/TEMP.ISO", "C:/TEMP.cue"},
      {"/home/ann/tk7.Iso", "/home/ann/tk7.cue"},
      {"/home/ann/my.iso.files/tk7.iso", "/home/ann/my.iso.files/tk7.cue"}, // folders are left alone
      {"/home/ann/tk7", "/home/ann/tk7.cue"},
      {"/home/ann/tk7.img", "/home/ann/tk7.img.cue"},
      {"tk7.iso", "tk7.cue"},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(CuePathFor(c.m_image), c.m_cue) << c.m_image;
    EXPECT_NE(CuePathFor(c.m_image), c.m_image);
  }
}

TEST(BurnetBuildTest, CueSheetNamesTheImageAsTyped) {
  EXPECT_EQ(quillan::CueSheetText("C:/temp.iso"), "FILE \"C:/temp.iso\" BINARY\r\n"
                                                  "  TRACK 01 MODE1/2048\r\n"
                                                  "    INDEX 01 00:00:00\r\n"
                                                  "FILE \"TK7Track2.bin\" BINARY\r\n"
                                                  "  TRACK 02 AUDIO\r\n"
                                                  "    PREGAP 00:02:00\r\n"
                                                  "    INDEX 01 00:00:00\r\n");
}

class BurnetTest : public ::testing::Test {
protected:
  void SetUp() override {
    m_builder = quillan::testing::disc::SystemImageBuilder();
    ASSERT_FALSE(m_builder.empty()) << "no image builder installed (scripts/setup.sh installs genisoimage)";
    // Burnet hands the folder to the builder as typed, so the sort file
    // names the files there.
    auto disc = m_scratch.Path() / "game \"disc\"";
    m_fixture = quillan::testing::disc::MakeDiscFixture(m_scratch.Path(), disc);
    m_job.m_baseDir = m_fixture.m_work;
    m_job.m_folder = PathText(m_fixture.m_disc);
    m_job.m_image = PathText(m_scratch.Path() / "out dir" / "TK7 copy.iso");
    m_job.m_builder = m_builder;
    fs::create_directories(m_scratch.Path() / "out dir");
  }

  fs::path Image() const { return m_job.m_image; }
  fs::path Cue() const { return CuePathFor(m_job.m_image); }

  void ExpectGoodImage() const {
    auto listing = quillan::testing::disc::ReadIsoWithIsoinfo(Image());
    ASSERT_TRUE(listing) << listing.Error().Message();
    ASSERT_TRUE(listing->count("CDDA2") && listing->count("GAME.BIN") && listing->count("X5ABC.BIN"));
    EXPECT_TRUE(listing->at("CDDA2").m_bytes.empty());
    // The disc's own version: Burnet copies nothing from Patch or compress.
    EXPECT_EQ(listing->at("X5ABC.BIN").m_bytes, PatternBytes(3000, 3));
    // The order of the sort file: MOVIE.STR, X5DEF.BIN, GAME.BIN, X5ABC.BIN.
    EXPECT_LT(listing->at("MOVIE.STR").m_extent, listing->at("X5DEF.BIN").m_extent);
    EXPECT_LT(listing->at("X5DEF.BIN").m_extent, listing->at("GAME.BIN").m_extent);
    EXPECT_LT(listing->at("GAME.BIN").m_extent, listing->at("X5ABC.BIN").m_extent);
    auto image = ReadBytes(Image());
    auto area = quillan::BootAreaBytes(m_fixture.m_bootFile);
    EXPECT_TRUE(std::equal(area.begin(), area.end(), image.begin()));
    EXPECT_EQ(image[32767], 0xFF);
    EXPECT_EQ(Text(ReadBytes(Cue())), quillan::CueSheetText(m_job.m_image));
  }

  CScratchFolder m_scratch;
  quillan::testing::disc::CDiscFixture m_fixture;
  CBurnetJob m_job;
  fs::path m_builder;
};

TEST_F(BurnetTest, BuildsTheImageAndCueSheetFromTheFolder) {
  std::vector<std::string> steps;
  auto report = BuildImage(m_job, [&](const CProgress &progress) {
    if (steps.empty() || steps.back() != progress.m_step) steps.push_back(progress.m_step);
    return true;
  });
  ASSERT_TRUE(report) << report.Error().Message();
  EXPECT_EQ(steps, (std::vector<std::string>{"check", "build", "stamp", "cue"}));
  EXPECT_EQ(report->m_cueSheet, Cue());
  EXPECT_TRUE(fs::exists(m_fixture.m_disc / "CDDA2"));
  ExpectGoodImage();
  // No TK7Track2.bin beside the cue sheet: the silent track is written there.
  fs::path track = m_scratch.Path() / "out dir" / "TK7Track2.bin";
  EXPECT_TRUE(report->m_notes.empty());
  EXPECT_TRUE(report->m_trackWritten);
  EXPECT_EQ(report->m_track, track);
  EXPECT_EQ(fs::file_size(track), 2097152u);

  // One that is there already is left alone.
  WriteBytes(track, std::vector<uint8_t>(1000, 7));
  report = BuildImage(m_job, {});
  ASSERT_TRUE(report) << report.Error().Message();
  EXPECT_TRUE(report->m_notes.empty());
  EXPECT_FALSE(report->m_trackWritten);
  EXPECT_EQ(fs::file_size(track), 1000u);
}

TEST_F(BurnetTest, AFailedBuildSaysWhyAndLeavesNoImage) {
  WriteBytes(Image(), PatternBytes(40000, 1)); // an earlier build
  auto builder = m_scratch.Path() / "bad builder";
  WriteScript(builder, "echo 'genisoimage: Invalid sort file' >&2; exit 1");
  m_job.m_builder = builder;
  auto report = BuildImage(m_job, {});
  ASSERT_FALSE(report);
  EXPECT_NE(report.Error().Message().find("exit status 1"), std::string::npos) << report.Error().Message();
  EXPECT_NE(report.Error().Message().find("Invalid sort file"), std::string::npos) << report.Error().Message();
  EXPECT_FALSE(fs::exists(Image()));
  EXPECT_TRUE(fs::exists(Cue())); // it depends only on the image path
}

TEST_F(BurnetTest, BadInputsAreReportedBeforeAnythingIsWritten) {
  struct CCase {
    const char *m_what;
    std::function<void(CBurnetJob &)> m_break;
    const char *m_expected;
  } cases[] = {
      {"no folder", [](CBurnetJob &j) { j.m_folder.clear(); }, "no folder"},
      {"missing folder", [](CBurnetJob &j) { j.m_folder += "/gone"; }, "not found"},
      {"no image path", [](CBurnetJob &j) { j.m_image.clear(); }, "no path"},
      {"image path is a folder", [](CBurnetJob &j) { j.m_image = fs::path(j.m_image).parent_path().string(); },
       "is a folder"},
      {"image folder missing", [](CBurnetJob &j) { j.m_image = fs::path(j.m_image).parent_path() / "x" / "a.iso"; },
       "for the ISO not found"},
      {"no builder",
       [](CBurnetJob &j) {
         j.m_builder.reset();
         j.m_searchPath = "/nonexistent";
       },
       "no ISO 9660 image builder"},
      {"no sort file", [](CBurnetJob &j) { fs::remove(j.m_baseDir / "data" / "tk7-2.txt"); }, "sort file"},
      {"no boot area file", [](CBurnetJob &j) { fs::remove(j.m_baseDir / "data" / "tk72ip.bin"); }, "boot area"},
  };
  for (const auto &c : cases) {
    CScratchFolder scratch;
    auto fixture = quillan::testing::disc::MakeDiscFixture(scratch.Path());
    fs::create_directories(scratch.Path() / "out");
    CBurnetJob job{fixture.m_work, PathText(fixture.m_disc), PathText(scratch.Path() / "out" / "a.iso"), m_builder, {}};
    c.m_break(job);
    auto report = BuildImage(job, {});
    ASSERT_FALSE(report) << c.m_what;
    EXPECT_NE(report.Error().Message().find(c.m_expected), std::string::npos)
        << c.m_what << ": " << report.Error().Message();
    EXPECT_FALSE(fs::exists(fixture.m_disc / "CDDA2")) << c.m_what;
    EXPECT_TRUE(fs::is_empty(scratch.Path() / "out")) << c.m_what;
  }
}

TEST_F(BurnetTest, CommandLineModeBuildsAndReportsInLines) {
  EXPECT_TRUE(WantsCommandLine({"--folder", "F", "--iso", "I"}));
  EXPECT_TRUE(WantsCommandLine({"--help"}));
  EXPECT_FALSE(WantsCommandLine({}));
  EXPECT_FALSE(WantsCommandLine({"-platform", "offscreen"}));

  std::FILE *out = std::tmpfile();
  std::FILE *err = std::tmpfile();
  auto read = [](std::FILE *file) {
    std::rewind(file);
    std::string text;
    for (int c; (c = std::fgetc(file)) != EOF;)
      text += char(c);
    std::rewind(file);
    return text;
  };
  int status = RunCommandLine({"--folder", m_job.m_folder, "--iso", m_job.m_image, "--builder", PathText(m_builder)},
                              m_fixture.m_work, out, err);
  EXPECT_EQ(status, 0) << read(err);
  std::string lines = read(out);
  EXPECT_TRUE(std::regex_search(lines, std::regex("^step check .*\nstep build .*\nstep stamp .*\nstep cue .*\n")))
      << lines;
  EXPECT_NE(lines.find("wrote " + m_job.m_image + "\nwrote " + PathText(Cue()) + "\n"), std::string::npos) << lines;
  ExpectGoodImage();

  for (std::vector<std::string> args : {std::vector<std::string>{"--folder", m_job.m_folder},
                                        {"--folder", m_job.m_folder + "/gone", "--iso", m_job.m_image},
                                        {"--iso"},
                                        {"--folder", "F", "--iso", "I", "extra"}}) {
    std::FILE *failOut = std::tmpfile();
    std::FILE *failErr = std::tmpfile();
    EXPECT_EQ(RunCommandLine(args, m_fixture.m_work, failOut, failErr), 1);
    std::string message = read(failErr);
    EXPECT_TRUE(message.starts_with("burnet: ")) << message;
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
    std::fclose(failOut);
    std::fclose(failErr);
  }
  std::fclose(out);
  std::fclose(err);
}

// Burnet's base folder is the current folder when its window opens.
class CCurrentFolder {
public:
  explicit CCurrentFolder(const fs::path &folder) : m_previous(fs::current_path()) { fs::current_path(folder); }
  ~CCurrentFolder() { fs::current_path(m_previous); }

private:
  fs::path m_previous;
};

TEST_F(BurnetTest, WindowStartsWithItsValuesAndBuildsOnOk) {
  std::unique_ptr<CBurnetDlg> dialog;
  {
    CCurrentFolder inWork(m_fixture.m_work);
    dialog = std::make_unique<CBurnetDlg>();
  }
  EXPECT_EQ(dialog->BaseDir(), m_fixture.m_work);
  EXPECT_EQ(dialog->windowTitle(), "Burnet");
  EXPECT_EQ(dialog->FolderEdit()->text(), "tk7-2") << "below the current folder, not a Windows drive";
  EXPECT_EQ(dialog->ImageEdit()->text(), "temp.iso");
  QStringList labels;
  for (auto *label : dialog->findChildren<QLabel *>())
    labels << label->text();
  EXPECT_TRUE(labels.contains("Folder for TK7 Files"));
  EXPECT_TRUE(labels.contains("Full Path and file name for ISO"));

  dialog->SetBuilder(m_builder);
  QStringList messages;
  dialog->SetMessageSink([&](const QString &text) { messages << text; });
  dialog->show();

  // A failure is shown and the window stays for another try.
  dialog->FolderEdit()->setText(QString::fromStdString(m_job.m_folder + "/gone"));
  dialog->ImageEdit()->setText(QString::fromStdString(m_job.m_image));
  dialog->OkButton()->click();
  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(messages[0].contains("not found")) << messages[0].toStdString();
  EXPECT_TRUE(dialog->isVisible());

  QStringList reports;
  dialog->SetReportSink([&](const QString &text) { reports << text; });
  dialog->FolderEdit()->setText(QString::fromStdString(m_job.m_folder));
  dialog->OkButton()->click();
  EXPECT_EQ(messages.size(), 1);
  ASSERT_EQ(reports.size(), 1) << "a success says what was written";
  EXPECT_TRUE(reports[0].contains(QString::fromStdString(Image().string()))) << reports[0].toStdString();
  EXPECT_TRUE(reports[0].contains(QString::fromStdString(Cue().string()))) << reports[0].toStdString();
  EXPECT_TRUE(reports[0].contains("TK7Track2.bin")) << reports[0].toStdString();
  EXPECT_EQ(dialog->result(), QDialog::Accepted);
  EXPECT_FALSE(dialog->isVisible());
  ExpectGoodImage();
}

TEST_F(BurnetTest, TheStartValuesBuildBelowTheCurrentFolder) {
  // The game files in tk7-2/ of the working folder, the image temp.iso there.
  fs::create_directories(m_fixture.m_work / "tk7-2");
  for (const auto &entry : fs::directory_iterator(m_job.m_folder))
    fs::copy(entry.path(), m_fixture.m_work / "tk7-2" / entry.path().filename(), fs::copy_options::recursive);
  CCurrentFolder inWork(m_fixture.m_work);
  CBurnetDlg dialog;
  dialog.SetBuilder(m_builder);
  QStringList messages, reports;
  dialog.SetMessageSink([&](const QString &text) { messages << text; });
  dialog.SetReportSink([&](const QString &text) { reports << text; });
  EXPECT_TRUE(dialog.Build()) << (messages.isEmpty() ? std::string() : messages[0].toStdString());
  EXPECT_TRUE(fs::exists(m_fixture.m_work / "temp.iso"));
  EXPECT_TRUE(fs::exists(m_fixture.m_work / "temp.cue"));
  EXPECT_TRUE(fs::exists(m_fixture.m_work / "TK7Track2.bin"));
  EXPECT_EQ(reports.size(), 1);
}

TEST_F(BurnetTest, WindowCancelStopsTheBuilderAndAboutOpens) {
  auto slow = m_scratch.Path() / "slow builder";
  WriteScript(slow, "sleep 30");
  std::unique_ptr<CBurnetDlg> dialog;
  {
    CCurrentFolder inWork(m_fixture.m_work);
    dialog = std::make_unique<CBurnetDlg>();
  }
  dialog->SetBuilder(slow);
  QStringList messages;
  dialog->SetMessageSink([&](const QString &text) { messages << text; });
  dialog->FolderEdit()->setText(QString::fromStdString(m_job.m_folder));
  dialog->ImageEdit()->setText(QString::fromStdString(m_job.m_image));
  dialog->show();

  int clicked = 0;
  QTimer::singleShot(400, [&] {
    for (auto *progress : dialog->findChildren<QProgressDialog *>())
      for (auto *button : progress->findChildren<QPushButton *>()) {
        button->click();
        ++clicked;
      }
  });
  auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(dialog->Build());
  EXPECT_EQ(clicked, 1);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  EXPECT_TRUE(messages.isEmpty()); // cancelling is no failure to report
  EXPECT_FALSE(fs::exists(Image()));
  EXPECT_TRUE(dialog->isVisible());

  QString aboutTitle;
  QTimer::singleShot(100, [&] {
    if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
      aboutTitle = box->windowTitle();
      box->accept();
    }
  });
  dialog->AboutButton()->click();
  EXPECT_EQ(aboutTitle, "About Burnet");
}

} // namespace
} // namespace burnet
