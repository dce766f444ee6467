// Long jobs behind a progress dialog, and the window's Make CD command.

#include <atomic>
#include <chrono>
#include <thread>

#include <QApplication>
#include <QKeyEvent>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include "app/make_cd_command.h"
#include "app/progress_runner.h"
#include "core/file_io.h"
#include "support/disc_fixture.h"

namespace quillan {
namespace {

namespace fs = std::filesystem;
using testing::disc::CScratchFolder;
using testing::disc::WriteScript;

QProgressDialog *FindProgress(QWidget *window) {
  auto dialogs = window->findChildren<QProgressDialog *>();
  return dialogs.isEmpty() ? nullptr : dialogs.first();
}

// A job that runs until it is cancelled (or ten seconds pass).
CStatus UntilCancelled(const CProgressCallback &progress) {
  auto start = std::chrono::steady_clock::now();
  for (uint64_t i = 0; std::chrono::steady_clock::now() - start < std::chrono::seconds(10); ++i) {
    if (!progress(CProgress{"collect", "GAME.BIN", i % 100, 100})) return MakeError("cancelled");
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return CStatus::Success();
}

TEST(ProgressRunnerTest, TheWindowKeepsRunningWhileTheJobWorks) {
  QWidget window;
  window.show();
  int ticks = 0;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
  timer.start(10);
  QString label;
  QTimer::singleShot(150, [&] {
    if (auto *progress = FindProgress(&window)) label = progress->labelText();
  });
  std::atomic<bool> onOtherThread{false};
  auto mainThread = std::this_thread::get_id();
  auto outcome = CProgressRunner::Run(&window, "Work", [&](const CProgressCallback &progress) -> CStatus {
    onOtherThread = std::this_thread::get_id() != mainThread;
    for (int i = 0; i < 30; ++i) {
      if (!progress(CProgress{"build", "TK7.ISO", uint64_t(i), 30})) return MakeError("cancelled");
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return CStatus::Success();
  });
  EXPECT_TRUE(outcome.m_status.Ok());
  EXPECT_FALSE(outcome.m_cancelled);
  EXPECT_TRUE(onOtherThread);
  EXPECT_GT(ticks, 5); // the window's timers ran meanwhile
  EXPECT_EQ(label, "build: TK7.ISO");
  EXPECT_EQ(FindProgress(&window) == nullptr || !FindProgress(&window)->isVisible(), true);
}

TEST(ProgressRunnerTest, CancelButtonEscapeAndCloseStopTheJob) {
  for (int way = 0; way < 3; ++way) {
    QWidget window;
    window.show();
    QTimer::singleShot(100, [&] {
      auto *progress = FindProgress(&window);
      if (!progress) return;
      if (way == 0) {
        for (auto *button : progress->findChildren<QPushButton *>()) button->click();
      } else if (way == 1) {
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(progress, &escape);
      } else {
        progress->close();
      }
    });
    auto start = std::chrono::steady_clock::now();
    auto outcome = CProgressRunner::Run(&window, "Work", UntilCancelled);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << way;
    EXPECT_FALSE(outcome.m_status.Ok()) << way;
    EXPECT_TRUE(outcome.m_cancelled) << way;
  }
}

TEST(MakeCdCommandTest, ChoosesTheDiscBuildsAndReports) {
  CScratchFolder scratch;
  auto fixture = testing::disc::MakeDiscFixture(scratch.Path());
  QWidget window;
  window.show();
  CMakeCdCommandHooks hooks;
  hooks.m_builder = testing::disc::SystemImageBuilder();
  ASSERT_FALSE(hooks.m_builder->empty());
  QStringList messages;
  bool failed = false;
  hooks.m_showMessage = [&](QWidget *, const QString &text, bool isFailure) {
    messages << text;
    failed = isFailure;
  };

  hooks.m_chooseDisc = [](QWidget *) { return std::optional<fs::path>(); };
  EXPECT_EQ(RunMakeCdCommand(&window, fixture.m_work, hooks), CMakeCdOutcome::NotStarted);
  EXPECT_TRUE(messages.isEmpty());

  hooks.m_chooseDisc = [&](QWidget *) { return std::optional<fs::path>(fixture.m_disc); };
  EXPECT_EQ(RunMakeCdCommand(&window, fixture.m_work, hooks), CMakeCdOutcome::Made);
  ASSERT_EQ(messages.size(), 1);
  EXPECT_FALSE(failed);
  EXPECT_TRUE(messages[0].contains(QString::fromStdString(PathText(fixture.m_work / "TK7.ISO"))));
  EXPECT_TRUE(messages[0].contains("readme.html")); // the notes are passed on
  auto listing = testing::disc::ReadIsoWithIsoinfo(fixture.m_work / "TK7.ISO");
  ASSERT_TRUE(listing) << listing.Error().Message();
  EXPECT_EQ(listing->at("X5ABC.BIN").m_bytes, fixture.m_expected.at("X5ABC.BIN"));
  const auto image = testing::disc::ReadBytes(fixture.m_work / "TK7.ISO");

  auto broken = scratch.Path() / "broken builder";
  WriteScript(broken, "echo 'genisoimage: Unknown option' >&2; exit 1");
  hooks.m_builder = broken;
  EXPECT_EQ(RunMakeCdCommand(&window, fixture.m_work, hooks), CMakeCdOutcome::Failed);
  ASSERT_EQ(messages.size(), 2);
  EXPECT_TRUE(failed);
  EXPECT_TRUE(messages[1].startsWith("CD IMAGE NOT CREATED")) << messages[1].toStdString();
  EXPECT_TRUE(messages[1].contains("Unknown option")) << messages[1].toStdString();
  // The failed build leaves the image of the run before as it was.
  EXPECT_EQ(testing::disc::ReadBytes(fixture.m_work / "TK7.ISO"), image);
  EXPECT_FALSE(fs::exists(fixture.m_work / "TK7.ISO.new"));

  auto slow = scratch.Path() / "slow builder";
  WriteScript(slow, "sleep 30");
  hooks.m_builder = slow;
  QTimer::singleShot(300, [&] {
    if (auto *progress = FindProgress(&window))
      for (auto *button : progress->findChildren<QPushButton *>()) button->click();
  });
  EXPECT_EQ(RunMakeCdCommand(&window, fixture.m_work, hooks), CMakeCdOutcome::Cancelled);
  EXPECT_EQ(messages.size(), 2);
  EXPECT_FALSE(fs::exists(fixture.m_work / "temp"));
}

} // namespace
} // namespace quillan
