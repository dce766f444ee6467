#include "core/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <system_error>

namespace quillan {

std::string PathText(const std::filesystem::path &path) {
  auto text = path.u8string();
  return std::string(text.begin(), text.end());
}

namespace {

std::string SystemError() { return std::strerror(errno); }

// A POSIX descriptor, closed when it goes.
class CDescriptor {
public:
  explicit CDescriptor(int fd = -1) : m_fd(fd) {}
  ~CDescriptor() {
    if (m_fd >= 0) ::close(m_fd);
  }
  CDescriptor(const CDescriptor &) = delete;
  CDescriptor &operator=(const CDescriptor &) = delete;
  int Get() const { return m_fd; }
  // Takes over fd, closing the one held before.
  void Reset(int fd) {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = fd;
  }
  // Closes now and says whether the close went well.
  bool Close() {
    int fd = m_fd;
    m_fd = -1;
    return fd < 0 || ::close(fd) == 0;
  }

private:
  int m_fd;
};

// A symbolic link is followed to the file it names, so that the link stays
// and its target is replaced.
std::filesystem::path ResolveLinks(const std::filesystem::path &path) {
  std::filesystem::path current = path;
  for (int hop = 0; hop < 40; ++hop) {
    std::error_code error;
    if (!std::filesystem::is_symlink(std::filesystem::symlink_status(current, error)) || error) return current;
    auto target = std::filesystem::read_symlink(current, error);
    if (error) return current;
    current = target.is_absolute() ? target : current.parent_path() / target;
  }
  return current;
}

constexpr const char *kTempMark = ".tmp";

// Is name the file name of a temporary file of target's (target + ".tmp" +
// digits)?
bool IsTempOf(const std::string &name, const std::string &target) {
  std::string prefix = target + kTempMark;
  if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) return false;
  for (size_t i = prefix.size(); i < name.size(); ++i)
    if (name[i] < '0' || name[i] > '9') return false;
  return true;
}

// Temporary files that a write of the same file left behind when the
// process was killed.
void RemoveLeftoverTemps(const std::filesystem::path &target) {
  std::string name = PathText(target.filename());
  auto dir = target.parent_path().empty() ? std::filesystem::path(".") : target.parent_path();
  std::error_code error;
  for (std::filesystem::directory_iterator it(dir, error), end; !error && it != end; it.increment(error)) {
    if (!IsTempOf(PathText(it->path().filename()), name)) continue;
    std::error_code ignored;
    if (std::filesystem::is_regular_file(std::filesystem::symlink_status(it->path(), ignored)))
      std::filesystem::remove(it->path(), ignored);
  }
}

CError TooLarge(const std::filesystem::path &path) {
  return MakeError(PathText(path) + ": the file is larger than " + std::to_string(kReadLimit >> 20) +
                   " MiB, more than any file of the workbench reads");
}

void SyncFolder(const std::filesystem::path &dir) {
  CDescriptor folder(::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder.Get() >= 0) (void)::fsync(folder.Get());
}

} // namespace

namespace {

// At most limit + 1 bytes of a regular file; with refuseLonger, a file whose
// size is more than limit is refused before anything is read.
CResult<std::vector<uint8_t>> ReadRegularFile(const std::filesystem::path &path, size_t limit, bool refuseLonger) {
  CDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (file.Get() < 0) return MakeError(PathText(path) + ": cannot open: " + SystemError());
  struct stat info {};
  if (::fstat(file.Get(), &info) != 0) return MakeError(PathText(path) + ": cannot examine: " + SystemError());
  if (S_ISDIR(info.st_mode)) return MakeError(PathText(path) + ": is a folder, not a file");
  if (!S_ISREG(info.st_mode)) return MakeError(PathText(path) + ": is not a regular file");
  if (refuseLonger && uint64_t(info.st_size) > limit) return TooLarge(path);
  // The descriptor reads blocking from here on.
  (void)::fcntl(file.Get(), F_SETFL, ::fcntl(file.Get(), F_GETFL) & ~O_NONBLOCK);
  size_t want = limit == SIZE_MAX ? limit : limit + 1;
  std::vector<uint8_t> bytes;
  bytes.reserve(size_t(std::min<uint64_t>(uint64_t(info.st_size), want)));
  uint8_t buffer[65536];
  while (bytes.size() < want) {
    size_t ask = std::min(sizeof buffer, want - bytes.size());
    ssize_t got = ::read(file.Get(), buffer, ask);
    if (got < 0) {
      if (errno == EINTR) continue;
      return MakeError(PathText(path) + ": read error: " + SystemError());
    }
    if (got == 0) break;
    bytes.insert(bytes.end(), buffer, buffer + got);
  }
  return bytes;
}

} // namespace

CResult<std::vector<uint8_t>> ReadFileBytesUpTo(const std::filesystem::path &path, size_t limit) {
  return ReadRegularFile(path, limit, false);
}

CResult<std::vector<uint8_t>> ReadFileBytes(const std::filesystem::path &path) {
  auto bytes = ReadRegularFile(path, kReadLimit, true);
  if (bytes && bytes->size() > kReadLimit) return TooLarge(path); // it grew while being read
  return bytes;
}

CResult<std::optional<std::vector<uint8_t>>> ReadFileIfPresent(const std::filesystem::path &path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 && errno == ENOENT) return std::optional<std::vector<uint8_t>>();
  auto bytes = ReadFileBytes(path);
  if (!bytes) return bytes.Error();
  return std::optional<std::vector<uint8_t>>(std::move(bytes.Value()));
}

CStatus WriteFileAtomic(const std::filesystem::path &path, std::span<const uint8_t> bytes) {
  const std::filesystem::path target = ResolveLinks(path);
  RemoveLeftoverTemps(target);

  // The mode of the file replaced; a new file gets the usual 0666 less the
  // umask.
  struct stat old {};
  bool replacing = ::stat(target.c_str(), &old) == 0;
  if (replacing && S_ISDIR(old.st_mode)) return MakeError(PathText(path) + ": cannot replace: is a folder");

  std::random_device random;
  std::filesystem::path temp;
  CDescriptor file;
  for (int attempt = 0; attempt < 100 && file.Get() < 0; ++attempt) {
    temp = target;
    char digits[8];
    std::snprintf(digits, sizeof digits, "%06u", unsigned(random() % 1000000));
    temp += std::string(kTempMark) + digits;
    file.Reset(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (file.Get() < 0 && errno != EEXIST) break;
  }
  if (file.Get() < 0) return MakeError(PathText(path) + ": cannot create: " + SystemError());

  auto fail = [&](const char *what) {
    std::string why = SystemError();
    file.Close();
    std::error_code ignored;
    std::filesystem::remove(temp, ignored);
    return MakeError(PathText(path) + ": " + what + ": " + why);
  };
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t put = ::write(file.Get(), bytes.data() + done, bytes.size() - done);
    if (put < 0) {
      if (errno == EINTR) continue;
      return fail("write failed");
    }
    done += size_t(put);
  }
  if (replacing && ::fchmod(file.Get(), old.st_mode & 07777) != 0) return fail("cannot keep the file's mode");
  if (::fsync(file.Get()) != 0) return fail("write failed");
  if (!file.Close()) {
    std::string why = SystemError();
    std::error_code ignored;
    std::filesystem::remove(temp, ignored);
    return MakeError(PathText(path) + ": write failed: " + why);
  }
  if (::rename(temp.c_str(), target.c_str()) != 0) {
    std::string why = SystemError();
    std::error_code ignored;
    std::filesystem::remove(temp, ignored);
    return MakeError(PathText(path) + ": cannot replace: " + why);
  }
  SyncFolder(target.parent_path());
  return CStatus::Success();
}

CStatus WriteFileAtomic(const std::filesystem::path &path, std::string_view text) {
  return WriteFileAtomic(path, std::span<const uint8_t>(reinterpret_cast<const uint8_t *>(text.data()), text.size()));
}

} // namespace quillan
