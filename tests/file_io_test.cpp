// The file layer: writes that survive a crash or replace a file without
// changing what it is (its mode, a symbolic link), and reads that refuse what
// is not a file or far too long before reading it.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "core/file_io.h"
#include "core/script_file.h"
#include "support/codec_fixture.h"
#include "support/scratch_dir.h"

namespace quillan {
namespace {

namespace fs = std::filesystem;
using testing::CScratchDir;
using testing::ReadBytes;
using testing::WriteText;

std::string Text(const fs::path &path) {
  auto bytes = ReadBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

TEST(WriteFileAtomic, KeepsTheModeAndTheLinkOfTheFileItReplaces) {
  CScratchDir dir;
  auto file = dir.Path() / "book.kcb";
  WriteText(file, "old");
  ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
  ASSERT_TRUE(WriteFileAtomic(file, std::string_view("new")));
  EXPECT_EQ(Text(file), "new");
  struct stat info {};
  ASSERT_EQ(::stat(file.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u) << "the replaced file's mode stays";

  // A link stays a link; the file it names is replaced. Also through a
  // relative link and a link to a link.
  fs::create_directories(dir.Path() / "real");
  WriteText(dir.Path() / "real" / "glyphary.db", "old target");
  fs::create_symlink("real/glyphary.db", dir.Path() / "hop");
  fs::create_symlink(dir.Path() / "hop", dir.Path() / "glyphary.db");
  ASSERT_TRUE(WriteFileAtomic(dir.Path() / "glyphary.db", std::string_view("through the links")));
  EXPECT_TRUE(fs::is_symlink(dir.Path() / "glyphary.db"));
  EXPECT_TRUE(fs::is_symlink(dir.Path() / "hop"));
  EXPECT_EQ(Text(dir.Path() / "real" / "glyphary.db"), "through the links");

  // A new file: no temporary file is left beside it.
  ASSERT_TRUE(WriteFileAtomic(dir.Path() / "fresh.bin", std::string_view("x")));
  int entries = 0;
  for ([[maybe_unused]] auto &entry : fs::directory_iterator(dir.Path()))
    ++entries;
  EXPECT_EQ(entries, 5) << "book.kcb, real, hop, glyphary.db, fresh.bin";
}

TEST(WriteFileAtomic, RemovesTheTemporaryFilesAnEarlierCrashLeft) {
  CScratchDir dir;
  auto spool = dir.Path() / "enc.bin";
  // What a kill -9 between create and rename leaves, and files that only look
  // alike and must stay.
  for (const char *name : {"enc.bin.tmp123456", "enc.bin.tmp7", "enc.bin.tmp000001"})
    WriteText(dir.Path() / name, "x");
  for (const char *name : {"enc.bin.tmpnotes", "other.bin.tmp123456", "enc.bin.tmp12.txt"})
    WriteText(dir.Path() / name, "keep");
  ASSERT_TRUE(WriteFileAtomic(spool, std::string_view("records")));
  EXPECT_EQ(Text(spool), "records");
  for (const char *name : {"enc.bin.tmp123456", "enc.bin.tmp7", "enc.bin.tmp000001"})
    EXPECT_FALSE(fs::exists(dir.Path() / name)) << name;
  for (const char *name : {"enc.bin.tmpnotes", "other.bin.tmp123456", "enc.bin.tmp12.txt"})
    EXPECT_TRUE(fs::exists(dir.Path() / name)) << name;
}

TEST(WriteFileAtomic, AFailedWriteNamesTheFileAndLeavesWhatWasThere) {
  CScratchDir dir;
  fs::create_directories(dir.Path() / "X5ABC0.tk7");
  WriteText(dir.Path() / "plain", "a file, not a folder");
  struct Case {
    fs::path path;
    const char *message;
  } cases[] = {
      {dir.Path() / "X5ABC0.tk7", "X5ABC0.tk7: cannot replace: is a folder"},
      {dir.Path() / "missing" / "enc.bin", "enc.bin: cannot create: No such file or directory"},
      {dir.Path() / "plain" / "enc.bin", "enc.bin: cannot create: Not a directory"},
  };
  for (const auto &c : cases) {
    auto status = WriteFileAtomic(c.path, std::string_view("new"));
    ASSERT_FALSE(status) << c.path;
    EXPECT_NE(status.Error().Message().find(c.message), std::string::npos) << status.Error().Message();
  }
  EXPECT_TRUE(fs::is_directory(dir.Path() / "X5ABC0.tk7"));
  EXPECT_EQ(Text(dir.Path() / "plain"), "a file, not a folder");
  EXPECT_FALSE(fs::exists(dir.Path() / "missing"));
  int entries = 0;
  for ([[maybe_unused]] auto &entry : fs::directory_iterator(dir.Path()))
    ++entries;
  EXPECT_EQ(entries, 2) << "no temporary file is left";
}

TEST(ReadFile, RefusesWhatIsNotARegularFileAndReadsNoMoreThanTheLimitAllows) {
  CScratchDir dir;
  fs::create_directories(dir.Path() / "folder.bin");
  struct Case {
    fs::path path;
    const char *message;
  } cases[] = {
      {"/dev/zero", "/dev/zero: is not a regular file"},
      {dir.Path() / "folder.bin", "folder.bin: is a folder, not a file"},
      {dir.Path() / "missing.bin", "missing.bin: cannot open"},
  };
  for (const auto &c : cases) {
    auto bytes = ReadFileBytes(c.path);
    ASSERT_FALSE(bytes) << c.path;
    EXPECT_NE(bytes.Error().Message().find(c.message), std::string::npos) << bytes.Error().Message();
    auto script = CScriptFile::Open(PathText(c.path));
    EXPECT_FALSE(script) << c.path;
  }

  // A sparse file of 200 MiB: the script reader reads one byte more than a
  // script can hold and refuses it.
  auto big = dir.Path() / "x5BIG.bin";
  WriteText(big, "");
  fs::resize_file(big, size_t(200) << 20);
  auto head = ReadFileBytesUpTo(big, 1000);
  ASSERT_TRUE(head);
  EXPECT_EQ(head->size(), 1001u);
  auto script = CScriptFile::Open(PathText(big));
  ASSERT_FALSE(script);
  EXPECT_NE(script.Error().Message().find("smaller than 1 MiB"), std::string::npos) << script.Error().Message();

  // Past the general limit: refused by its size, before any byte is read.
  fs::resize_file(big, kReadLimit + 1);
  auto whole = ReadFileBytes(big);
  ASSERT_FALSE(whole);
  EXPECT_NE(whole.Error().Message().find("x5BIG.bin: the file is larger than 256 MiB"), std::string::npos)
      << whole.Error().Message();

  // Present or not: only a missing file is "nothing".
  auto missing = ReadFileIfPresent(dir.Path() / "missing.tk7");
  ASSERT_TRUE(missing);
  EXPECT_FALSE(missing->has_value());
  auto folder = ReadFileIfPresent(dir.Path() / "folder.bin");
  EXPECT_FALSE(folder);
}

} // namespace
} // namespace quillan
