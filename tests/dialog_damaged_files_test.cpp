// A code book or kanji database that did not load cleanly is never written
// back unasked: the window says so when it loads the file and asks before a
// save would replace it; No keeps the file and the rest of the save goes on.

#include <gtest/gtest.h>

#include <filesystem>

#include "core/file_io.h"
#include "kanji/code_book.h"
#include "kanji/kanji_store.h"
#include "support/codec_fixture.h"
#include "support/dialog_fixture.h"

namespace quillan {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::WriteText;

class DamagedFiles : public testing::CDialogTest {
protected:
  fs::path BookPath() const { return m_dir / "data" / "kanjiCB" / "ABC.kcb"; }
  fs::path ChunkPath() const { return m_dir / "Scripts" / "PATCHED INFO" / "ABC" / "X5ABC0.tk7"; }
  // The questions asked since the last clear: their captions.
  int Questions() const {
    int count = 0;
    for (const auto &message : m_platform.m_messages)
      count += message.m_caption == "Replace file?";
    return count;
  }
};

TEST_F(DamagedFiles, ACodeBookWithABadLineIsKeptUnlessTheUserAgrees) {
  // Ten identifications, then a line that is not a number.
  std::string book;
  for (int i = 0; i < 10; ++i)
    book += std::to_string(0x4E00 + i) + "\r\n";
  book += "x\r\n";
  WriteText(BookPath(), book);
  OpenScript({5});
  ASSERT_FALSE(m_platform.m_messages.empty());
  const auto &warning = m_platform.m_messages.front();
  EXPECT_EQ(warning.m_caption, "Code book");
  EXPECT_NE(warning.m_text.find("line 11 is not a number"), std::string::npos) << warning.m_text;
  EXPECT_NE(warning.m_text.find("will not be written back unless you agree"), std::string::npos) << warning.m_text;
  EXPECT_EQ(m_dlg->CodeBook()[9], 0x4E09);

  // No: the book stays byte for byte, the English text is saved all the same.
  m_dlg->LoadedCurrent() = {'H', 'i', 0};
  m_dlg->m_modified = 1;
  m_platform.m_messages.clear();
  m_platform.m_answers = {CMessageAnswer::No};
  EXPECT_TRUE(m_dlg->SaveEnglishText());
  EXPECT_EQ(Questions(), 1);
  EXPECT_NE(m_platform.m_messages.front().m_text.find(PathText(BookPath())), std::string::npos);
  auto kept = ReadBytes(BookPath());
  EXPECT_EQ(std::string(kept.begin(), kept.end()), book);
  EXPECT_EQ(ReadBytes(ChunkPath()).size(), 5u * 2 + 4u) << "Hi and four empty strings";
  EXPECT_EQ(m_dlg->m_modified, 0);

  // Asked again at the next save; Yes replaces it, and then it is clean.
  m_platform.m_messages.clear();
  m_platform.m_answers = {CMessageAnswer::Yes};
  EXPECT_TRUE(m_dlg->SaveEnglishText());
  EXPECT_EQ(Questions(), 1);
  auto saved = LoadCodeBook(BookPath());
  ASSERT_TRUE(saved);
  EXPECT_FALSE(saved->m_damaged);
  EXPECT_EQ(saved->m_book[9], 0x4E09);
  m_platform.m_messages.clear();
  EXPECT_TRUE(m_dlg->SaveEnglishText());
  EXPECT_EQ(Questions(), 0);
}

TEST_F(DamagedFiles, ACodeBookThatCannotBeReadIsNeverTakenForBlank) {
  fs::create_directories(BookPath()); // a folder where the book should be
  OpenScript({3});
  EXPECT_FALSE(m_dlg->m_codeBookDamage.empty());
  m_platform.m_messages.clear();
  m_platform.m_answers = {CMessageAnswer::No};
  EXPECT_TRUE(m_dlg->SaveEnglishText());
  EXPECT_EQ(Questions(), 1);
  EXPECT_TRUE(fs::is_directory(BookPath()));
}

TEST_F(DamagedFiles, ADatabaseThatDidNotLoadCleanlyIsAskedAboutAtEverySave) {
  // A database with one damaged record, read at start-up.
  CKanjiStore store;
  for (size_t i = 0; i < store.size(); ++i)
    store[i].code = uint16_t(0x5000 + i % 100);
  auto bytes = SerializeKanjiStore(store);
  ASSERT_EQ(bytes[10], 0x20);
  bytes[10] = 0x21; // the separator after the first record's five digits
  testing::WriteBytes(KanjiStorePath(m_dir), bytes);
  m_platform.m_messages.clear();
  m_dlg = std::make_unique<CQuillanDlg>(m_platform);
  ASSERT_TRUE(m_dlg->OnInitDialog(m_dir));
  ASSERT_EQ(m_platform.m_messages.size(), 1u);
  EXPECT_EQ(m_platform.m_messages[0].m_caption, "Kanji database");
  EXPECT_NE(m_platform.m_messages[0].m_text.find("record 0"), std::string::npos) << m_platform.m_messages[0].m_text;
  EXPECT_NE(m_platform.m_messages[0].m_text.find("will not be written back unless you agree"), std::string::npos);

  OpenScript({4});
  m_platform.m_messages.clear();
  m_platform.m_answers = {CMessageAnswer::No};
  EXPECT_TRUE(m_dlg->SaveEnglishText());
  EXPECT_EQ(Questions(), 1);
  EXPECT_EQ(ReadBytes(KanjiStorePath(m_dir)), bytes) << "No keeps the database untouched";
  EXPECT_TRUE(fs::exists(ChunkPath())) << "and the rest of the save goes on";
  EXPECT_TRUE(fs::exists(BookPath()));

  // Save Kanji Database asks too.
  m_platform.m_messages.clear();
  m_platform.m_answers = {CMessageAnswer::No};
  m_dlg->OnCommand(kIdSaveKanjiDatabase);
  EXPECT_EQ(Questions(), 1);
  EXPECT_EQ(ReadBytes(KanjiStorePath(m_dir)), bytes);
  m_platform.m_answers = {CMessageAnswer::Yes};
  m_dlg->OnCommand(kIdSaveKanjiDatabase);
  auto repaired = LoadKanjiStore(KanjiStorePath(m_dir));
  ASSERT_TRUE(repaired);
  EXPECT_FALSE(repaired->Damaged()) << repaired->m_warning;
}

} // namespace
} // namespace quillan
