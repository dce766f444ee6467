// What Save keeps and checks: the backup folders of the files it replaces,
// their number, and the question before replacing a file another program
// changed since it was read.

#include <fstream>

#include "codec/english_text.h"
#include "core/file_io.h"
#include "support/dialog_fixture.h"

namespace quillan {
namespace {

using testing::CDialogTest;

class SaveSafety : public CDialogTest {
protected:
  std::vector<std::filesystem::path> BackupFolders() {
    std::vector<std::filesystem::path> folders;
    std::error_code error;
    for (const auto &entry : std::filesystem::directory_iterator(m_dir / "backup" / "ABC", error))
      folders.push_back(entry.path());
    std::sort(folders.begin(), folders.end());
    return folders;
  }
  std::string Bytes(const std::filesystem::path &path) {
    auto bytes = ReadFileBytes(path);
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string("<missing>");
  }
};

TEST_F(SaveSafety, EachSaveKeepsThePreviousFilesAndOnlyTheNewestFolders) {
  std::ofstream(m_dir / "quillan.conf") << "backups = 3\n";
  OpenScript({2});
  Type("one");
  ASSERT_TRUE(m_dlg->SaveEnglishText());
  auto first = BackupFolders();
  ASSERT_EQ(first.size(), 1u) << "the code book and database from before the first save";
  EXPECT_TRUE(std::filesystem::exists(first[0] / "ABC.kcb"));
  EXPECT_TRUE(std::filesystem::exists(first[0] / "glyphary.db"));
  EXPECT_FALSE(std::filesystem::exists(first[0] / "X5ABC0.tk7")) << "no chunk file existed yet";
  std::string savedOne = Bytes(m_dlg->ChunkFilePath(0));

  Type("two");
  ASSERT_TRUE(m_dlg->SaveEnglishText());
  auto second = BackupFolders();
  ASSERT_EQ(second.size(), 2u);
  EXPECT_EQ(Bytes(second[1] / "X5ABC0.tk7"), savedOne) << "the previous chunk file, byte for byte";

  for (int i = 0; i < 4; ++i) {
    Type("x");
    ASSERT_TRUE(m_dlg->SaveEnglishText());
  }
  auto kept = BackupFolders();
  ASSERT_EQ(kept.size(), 3u) << "backups = 3 keeps three folders";
  EXPECT_FALSE(std::filesystem::exists(second[1])) << "the oldest go";
  // Names sort by time, also for several saves in one second.
  for (const auto &folder : kept)
    EXPECT_EQ(PathText(folder.filename()).substr(8, 1), "-") << PathText(folder);
}

TEST_F(SaveSafety, NoBackupsWhenTurnedOff) {
  std::ofstream(m_dir / "quillan.conf") << "backups = 0\n";
  OpenScript({2});
  Type("a");
  ASSERT_TRUE(m_dlg->SaveEnglishText());
  Type("b");
  ASSERT_TRUE(m_dlg->SaveEnglishText());
  EXPECT_TRUE(BackupFolders().empty());
}

TEST_F(SaveSafety, AFileChangedOnDiskIsNamedAndReplacedOnlyAfterYes) {
  OpenScript({2});
  Type("mine");
  ASSERT_TRUE(m_dlg->SaveEnglishText());
  Type("!");
  // Another program writes the chunk file of page 0 meanwhile.
  ASSERT_TRUE(WriteFileAtomic(m_dlg->ChunkFilePath(0), std::string("\0t\0h\0e\0i\0r\0\0", 12)).Ok());
  m_platform.m_messages.clear();
  m_platform.m_answers = {CMessageAnswer::No};
  EXPECT_FALSE(m_dlg->SaveEnglishText());
  ASSERT_EQ(m_platform.m_messages.size(), 1u) << "asked, and nothing else said";
  EXPECT_NE(m_platform.m_messages[0].m_text.find(PathText(m_dlg->ChunkFilePath(0))), std::string::npos);
  EXPECT_EQ(m_platform.m_messages[0].m_buttons, CMessageButtons::YesNo);
  EXPECT_EQ(Bytes(m_dlg->ChunkFilePath(0)), std::string("\0t\0h\0e\0i\0r\0\0", 12)) << "No replaces nothing";
  EXPECT_EQ(m_dlg->m_modified, 1);

  m_platform.m_answers = {CMessageAnswer::Yes};
  EXPECT_TRUE(m_dlg->SaveEnglishText());
  EXPECT_EQ(Bytes(m_dlg->ChunkFilePath(0)).substr(0, 10), std::string("\0m\0i\0n\0e\0!", 10));
  EXPECT_EQ(m_dlg->m_modified, 0);
  m_platform.m_messages.clear();
  Type("?");
  EXPECT_TRUE(m_dlg->SaveEnglishText());
  EXPECT_TRUE(m_platform.m_messages.empty()) << "the file as Quillan wrote it is not asked about again";
}

TEST_F(SaveSafety, WithoutSomeoneToAskAChangedFileIsNotReplaced) {
  OpenScript({2});
  ASSERT_TRUE(WriteFileAtomic(m_dlg->CodeBookPath(), std::string("33\r\n")).Ok());
  CSaveOptions options; // no question: the command line's way
  options.m_backups = 0;
  CStatus saved = SaveEnglishText(*m_dlg, options);
  ASSERT_FALSE(saved.Ok());
  EXPECT_NE(saved.Error().Message().find(PathText(m_dlg->CodeBookPath())), std::string::npos);
  EXPECT_EQ(Bytes(m_dlg->CodeBookPath()), "33\r\n");
}

} // namespace
} // namespace quillan
