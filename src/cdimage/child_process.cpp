#include "cdimage/child_process.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace quillan {

namespace {

class CFd {
public:
  CFd() = default;
  explicit CFd(int fd) : m_fd(fd) {}
  CFd(const CFd &) = delete;
  CFd &operator=(const CFd &) = delete;
  ~CFd() { Close(); }

  int Get() const { return m_fd; }
  bool Open() const { return m_fd >= 0; }
  void Close() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
  }
  void Reset(int fd) {
    Close();
    m_fd = fd;
  }

private:
  int m_fd = -1;
};

CStatus MakePipe(CFd &readEnd, CFd &writeEnd) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return MakeError(std::string("cannot create a pipe: ") + std::strerror(errno));
  readEnd.Reset(fds[0]);
  writeEnd.Reset(fds[1]);
  return CStatus::Success();
}

void KeepTail(std::string &text, size_t limit) {
  if (text.size() > limit) text.erase(0, text.size() - limit);
}

// Reads what is available; returns false at the end of the stream.
bool Drain(CFd &fd, std::string &sink, size_t limit, const std::function<void(std::string_view)> *onData) {
  char buffer[16384];
  for (;;) {
    ssize_t got = ::read(fd.Get(), buffer, sizeof buffer);
    if (got > 0) {
      sink.append(buffer, size_t(got));
      KeepTail(sink, limit);
      if (onData && *onData) (*onData)(std::string_view(buffer, size_t(got)));
      if (size_t(got) < sizeof buffer) return true;
      continue;
    }
    if (got < 0 && errno == EINTR) continue;
    if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return true;
    fd.Close();
    return false;
  }
}

void RecordStatus(int status, CProcessResult &result) {
  if (WIFEXITED(status)) result.m_exitCode = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.m_signal = WTERMSIG(status);
}

// Terminates the child with the processes it started (its process group)
// and waits for it.
void Terminate(pid_t pid, CProcessResult &result) {
  ::kill(-pid, SIGTERM);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  int status = 0;
  for (;;) {
    pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid) break;
    if (done < 0 && errno != EINTR) return;
    if (std::chrono::steady_clock::now() >= deadline) {
      ::kill(-pid, SIGKILL);
      while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
      }
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  RecordStatus(status, result);
}

} // namespace

std::string CProcessResult::Describe() const {
  if (m_cancelled) return "cancelled";
  if (m_signal != 0) {
    const char *name = ::strsignal(m_signal);
    return "killed by signal " + std::to_string(m_signal) + (name ? std::string(" (") + name + ")" : std::string());
  }
  return "exit status " + std::to_string(m_exitCode);
}

std::string CProcessResult::ErrorTail(size_t maxChars) const {
  std::string text = m_errorOutput.find_first_not_of(" \t\r\n") == std::string::npos ? m_output : m_errorOutput;
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
  if (text.size() > maxChars) {
    size_t cut = text.size() - maxChars;
    size_t lineStart = text.find('\n', cut);
    text = "..." + text.substr(lineStart == std::string::npos ? cut : lineStart);
  }
  return text;
}

CResult<CProcessResult> RunProcess(const std::vector<std::string> &arguments, const CProcessOptions &options) {
  if (arguments.empty() || arguments[0].empty()) return MakeError("no program to start");
  const std::string &program = arguments[0];

  CFd outRead, outWrite, errRead, errWrite;
  if (auto status = MakePipe(outRead, outWrite); !status) return status.Error().WithContext(program);
  if (auto status = MakePipe(errRead, errWrite); !status) return status.Error().WithContext(program);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, outWrite.Get(), 1);
  posix_spawn_file_actions_adddup2(&actions, errWrite.Get(), 2);

  // The child starts with an empty signal mask and the default handling of
  // the signals a parent may have set to "ignore".
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t empty, defaults;
  sigemptyset(&empty);
  sigemptyset(&defaults);
  for (int signal : {SIGPIPE, SIGINT, SIGTERM, SIGHUP, SIGQUIT}) sigaddset(&defaults, signal);
  posix_spawnattr_setsigmask(&attributes, &empty);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  // Its own process group, so that cancelling reaches the programs it starts.
  posix_spawnattr_setpgroup(&attributes, 0);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);

  std::vector<char *> argv;
  argv.reserve(arguments.size() + 1);
  for (const auto &argument : arguments) argv.push_back(const_cast<char *>(argument.c_str()));
  argv.push_back(nullptr);

  pid_t pid = -1;
  int spawnError = ::posix_spawnp(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  if (spawnError != 0) return MakeError(program + ": cannot start: " + std::strerror(spawnError));

  outWrite.Close();
  errWrite.Close();
  ::fcntl(outRead.Get(), F_SETFL, O_NONBLOCK);
  ::fcntl(errRead.Get(), F_SETFL, O_NONBLOCK);

  CProcessResult result;
  const size_t limit = std::max<size_t>(options.m_outputLimit, 1);
  auto keepRunning = [&] { return !options.m_keepRunning || options.m_keepRunning(); };

  while (outRead.Open() || errRead.Open()) {
    if (!keepRunning()) {
      result.m_cancelled = true;
      Terminate(pid, result);
      return result;
    }
    pollfd fds[2];
    nfds_t count = 0;
    CFd *streams[2];
    for (CFd *fd : {&outRead, &errRead}) {
      if (!fd->Open()) continue;
      fds[count] = pollfd{fd->Get(), POLLIN, 0};
      streams[count++] = fd;
    }
    int ready = ::poll(fds, count, 100);
    if (ready < 0 && errno != EINTR) break;
    for (nfds_t i = 0; ready > 0 && i < count; ++i) {
      if (fds[i].revents == 0) continue;
      bool isError = streams[i] == &errRead;
      Drain(*streams[i], isError ? result.m_errorOutput : result.m_output, limit,
            isError ? &options.m_onErrorOutput : nullptr);
    }
  }

  // Both streams ended; the program may still be finishing.
  int status = 0;
  for (;;) {
    pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid) break;
    if (done < 0 && errno != EINTR) return MakeError(program + ": lost track of the program: " + std::strerror(errno));
    if (!keepRunning()) {
      result.m_cancelled = true;
      Terminate(pid, result);
      return result;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  RecordStatus(status, result);
  return result;
}

bool IsExecutableFile(const std::filesystem::path &path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return false;
  return ::access(path.c_str(), X_OK) == 0;
}

std::optional<std::filesystem::path> FindOnPath(std::string_view name, std::string_view folderList) {
  if (name.empty() || name.find('/') != std::string_view::npos) return std::nullopt;
  size_t start = 0;
  while (start <= folderList.size()) {
    size_t end = folderList.find(':', start);
    if (end == std::string_view::npos) end = folderList.size();
    std::string_view folder = folderList.substr(start, end - start);
    if (!folder.empty()) {
      std::filesystem::path candidate = std::filesystem::path(std::string(folder)) / std::string(name);
      if (IsExecutableFile(candidate)) return candidate;
    }
    start = end + 1;
  }
  return std::nullopt;
}

std::string SearchPath() {
  const char *path = std::getenv("PATH");
  return path && *path ? std::string(path) : std::string("/usr/local/bin:/usr/bin:/bin");
}

} // namespace quillan
