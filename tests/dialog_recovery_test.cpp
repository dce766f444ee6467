// The recovery journal: written a moment after a change, offered when the
// script is opened again after a crash, removed by a save and by a close
// that discards the changes; and its file format.

#include <fstream>

#include "core/file_io.h"
#include "core/recovery_journal.h"
#include "support/dialog_fixture.h"

namespace quillan {
namespace {

using testing::CDialogTest;
using Elements = std::vector<uint16_t>;

class Recovery : public CDialogTest {
protected:
  void SetUp() override {
    CDialogTest::SetUp();
    OpenScript({256, 3});
    m_dlg->m_journalDelay = std::chrono::milliseconds(0);
  }
  std::filesystem::path Journal() const { return m_dir / "recovery" / "ABC.journal"; }
  // A second window on the same folder, as after a crash of the first.
  std::unique_ptr<CQuillanDlg> Restart() {
    auto again = std::make_unique<CQuillanDlg>(m_platform);
    EXPECT_TRUE(again->OnInitDialog(m_dir));
    m_platform.m_messages.clear();
    EXPECT_TRUE(again->OpenScriptPath(m_dir / "X5ABC.bin"));
    return again;
  }
};

TEST_F(Recovery, ACrashLosesNothingThatReachedTheJournal) {
  Type("lost?");
  m_dlg->ChangePage(1);
  m_dlg->m_currentLine = 2;
  Type("no");
  m_dlg->EditTick();
  ASSERT_TRUE(std::filesystem::exists(Journal()));

  m_platform.m_answers = {CMessageAnswer::Yes};
  auto again = Restart();
  ASSERT_EQ(m_platform.m_messages.size(), 1u);
  EXPECT_EQ(m_platform.m_messages[0].m_text.rfind("Recover unsaved changes from ", 0), 0u);
  EXPECT_EQ(m_platform.m_messages[0].m_buttons, CMessageButtons::YesNo);
  EXPECT_EQ(again->EnglishAt(0, 0), (Elements{'l', 'o', 's', 't', '?', 0}));
  EXPECT_EQ(again->EnglishAt(1, 2), (Elements{'n', 'o', 0}));
  EXPECT_EQ(again->m_modified, 1) << "recovered text is unsaved";
  EXPECT_EQ(again->UndoCaption(), "Undo Recover Unsaved Changes");
  again->OnCommand(kIdUndo);
  EXPECT_TRUE(again->EnglishAt(0, 0).empty()) << "the recovery is one step";
  EXPECT_TRUE(again->EnglishAt(1, 2).empty());
}

TEST_F(Recovery, NoKeepsTheJournalAside) {
  Type("typed");
  m_dlg->EditTick();
  m_platform.m_answers = {CMessageAnswer::No};
  auto again = Restart();
  EXPECT_TRUE(again->EnglishAt(0, 0).empty());
  EXPECT_FALSE(std::filesystem::exists(Journal()));
  auto aside = ReadFileBytes(m_dir / "recovery" / "ABC.journal.discarded");
  ASSERT_TRUE(aside.Ok());
  auto parsed = ParseJournal(*aside, "aside");
  ASSERT_TRUE(parsed.Ok()) << parsed.Error().Message();
  EXPECT_EQ(parsed->m_strings[0], (Elements{'t', 'y', 'p', 'e', 'd', 0}));
}

TEST_F(Recovery, SaveAndADiscardingCloseRemoveTheJournal) {
  Type("a");
  m_dlg->EditTick();
  ASSERT_TRUE(std::filesystem::exists(Journal()));
  m_dlg->OnCommand(kIdSaveEnglishText);
  EXPECT_FALSE(std::filesystem::exists(Journal()));

  Type("b");
  m_dlg->EditTick();
  ASSERT_TRUE(std::filesystem::exists(Journal()));
  m_dlg->OnCommand(kIdUndo); // back to the saved text: nothing to recover
  m_dlg->EditTick();
  EXPECT_FALSE(std::filesystem::exists(Journal()));

  Type("c");
  m_dlg->EditTick();
  ASSERT_TRUE(std::filesystem::exists(Journal()));
  m_platform.m_answers = {CMessageAnswer::No}; // "File not saved. Save it now?"
  EXPECT_TRUE(m_dlg->OnClose());
  EXPECT_FALSE(std::filesystem::exists(Journal()));
}

TEST_F(Recovery, TheJournalWaitsForAPauseAndIsNotOfferedWhenOlderThanTheText) {
  m_dlg->m_journalDelay = std::chrono::hours(1);
  Type("x");
  m_dlg->EditTick();
  EXPECT_FALSE(std::filesystem::exists(Journal())) << "not written while the typing goes on";

  m_dlg->m_journalDelay = std::chrono::milliseconds(0);
  m_dlg->EditTick();
  ASSERT_TRUE(std::filesystem::exists(Journal()));
  // A chunk file written later (by another program, say): the journal is stale.
  std::filesystem::create_directories(m_dlg->ChunkFilePath(1).parent_path());
  ASSERT_TRUE(WriteFileAtomic(m_dlg->ChunkFilePath(1), std::vector<uint8_t>{0, 0}).Ok());
  std::filesystem::last_write_time(Journal(),
                                   std::filesystem::last_write_time(m_dlg->ChunkFilePath(1)) - std::chrono::seconds(5));
  auto again = Restart();
  EXPECT_TRUE(m_platform.m_messages.empty());
  EXPECT_TRUE(again->EnglishAt(0, 0).empty());
}

TEST(RecoveryJournal, RoundTripsAndRefusesDamage) {
  CTranslationDocument doc;
  doc.m_scriptFileName = "X5ABC.bin";
  doc.LoadedStrings()[0] = {'h', 0x1234, 0};
  doc.LoadedStrings()[4095] = {0};
  doc.LoadedCodeBook()[7] = 0x65E5;
  auto bytes = JournalBytes(doc);
  auto parsed = ParseJournal(bytes, "x.journal");
  ASSERT_TRUE(parsed.Ok()) << parsed.Error().Message();
  EXPECT_EQ(parsed->m_scriptFileName, "X5ABC.bin");
  EXPECT_EQ(parsed->m_strings[0], (Elements{'h', 0x1234, 0}));
  EXPECT_EQ(parsed->m_strings[4095], (Elements{0}));
  EXPECT_TRUE(parsed->m_strings[1].empty());
  EXPECT_EQ(parsed->m_codeBook[7], 0x65E5);

  for (size_t cut : {size_t(0), size_t(3), size_t(12), size_t(30), bytes.size() - 1}) {
    auto damaged = ParseJournal(std::span<const uint8_t>(bytes).first(cut), "x.journal");
    ASSERT_FALSE(damaged.Ok()) << cut;
    EXPECT_EQ(damaged.Error().Message().rfind("x.journal: offset ", 0), 0u) << damaged.Error().Message();
  }
}

} // namespace
} // namespace quillan
