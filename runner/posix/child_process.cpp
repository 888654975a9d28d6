// POSIX stand-in: posix_spawn with three pipes. The parent's pipe ends are
// close-on-exec, so no other child inherits them.
#include "runner/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "runner/command_line.h"
#include "utils/text.h"

extern char** environ;

namespace {

// How long one wait for output lasts before the child's state is checked again.
constexpr int kPollIntervalMs = 50;
constexpr size_t kDiscardChunk = 4096;

class UniqueFd {
 public:
  UniqueFd() = default;
  ~UniqueFd() { Reset(); }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  int Get() const { return m_Fd; }
  bool Valid() const { return m_Fd >= 0; }
  void Reset(int fd = -1) {
    if (m_Fd >= 0) close(m_Fd);
    m_Fd = fd;
  }

 private:
  int m_Fd = -1;
};

struct Pipe {
  UniqueFd read;
  UniqueFd write;
  bool Create() {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return false;
    read.Reset(fds[0]);
    write.Reset(fds[1]);
    return true;
  }
};

class SpawnActions {
 public:
  SpawnActions() { m_Ok = posix_spawn_file_actions_init(&m_Actions) == 0; }
  ~SpawnActions() {
    if (m_Ok) posix_spawn_file_actions_destroy(&m_Actions);
  }
  SpawnActions(const SpawnActions&) = delete;
  SpawnActions& operator=(const SpawnActions&) = delete;
  bool Ok() const { return m_Ok; }
  posix_spawn_file_actions_t* Get() { return &m_Actions; }

 private:
  posix_spawn_file_actions_t m_Actions;
  bool m_Ok = false;
};

// A downloaded package has no execute permission here; on Windows every .exe runs.
void MakeExecutable(const std::string& program) {
  struct stat st;
  if (program.find('/') == std::string::npos || stat(program.c_str(), &st) != 0) return;
  if (S_ISREG(st.st_mode) && (st.st_mode & S_IXUSR) == 0) chmod(program.c_str(), st.st_mode | S_IXUSR);
}

// Reads and drops whatever is waiting; false once the pipe has reached its end.
bool Discard(int fd) {
  char scratch[kDiscardChunk];
  while (true) {
    const ssize_t n = read(fd, scratch, sizeof scratch);
    if (n > 0) continue;
    if (n == 0) return false;
    if (errno == EINTR) continue;
    return errno == EAGAIN || errno == EWOULDBLOCK;
  }
}

}  // namespace

struct ChildProcess::Native {
  Pipe error;
  Pipe output;
  Pipe input;
  std::mutex lock;  // guards pid, ended and status against Terminate
  pid_t pid = -1;
  bool ended = false;
  int status = 0;
};

ChildProcess::ChildProcess() : m_Native(std::make_unique<Native>()) {
  if (!m_Native->error.Create() || !m_Native->output.Create() || !m_Native->input.Create()) {
    throw Utils::Exception();
  }
}

ChildProcess::~ChildProcess() = default;

void ChildProcess::Launch(const std::wstring& commandLine) {
  Native& n = *m_Native;
  if (commandLine.size() >= kCommandBufferChars || !n.output.write.Valid()) throw Utils::Exception();
  const std::vector<std::wstring> wideArgs = SplitCommandLine(commandLine);
  if (wideArgs.empty() || wideArgs[0].empty()) throw Utils::Exception();
  std::vector<std::string> args;
  for (const std::wstring& arg : wideArgs) args.push_back(Utils::WideToMultiByte(arg, Utils::kCodePageAnsi));
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  MakeExecutable(args[0]);

  SpawnActions actions;
  if (!actions.Ok() || posix_spawn_file_actions_adddup2(actions.Get(), n.input.read.Get(), STDIN_FILENO) != 0 ||
      posix_spawn_file_actions_adddup2(actions.Get(), n.output.write.Get(), STDOUT_FILENO) != 0 ||
      posix_spawn_file_actions_adddup2(actions.Get(), n.error.write.Get(), STDERR_FILENO) != 0) {
    throw Utils::Exception();
  }
  pid_t pid = -1;
  {
    std::lock_guard<std::mutex> guard(n.lock);
    if (posix_spawnp(&pid, argv[0], actions.Get(), nullptr, argv.data(), environ) != 0) throw Utils::Exception();
    n.pid = pid;
  }
  // Only the child holds these now, so reading ends when it and its heirs close them.
  n.output.write.Reset();
  n.error.write.Reset();
  n.input.read.Reset();
  n.input.write.Reset();
  fcntl(n.output.read.Get(), F_SETFL, fcntl(n.output.read.Get(), F_GETFL) | O_NONBLOCK);
  fcntl(n.error.read.Get(), F_SETFL, fcntl(n.error.read.Get(), F_GETFL) | O_NONBLOCK);
}

bool ChildProcess::HasEnded() {
  Native& n = *m_Native;
  std::lock_guard<std::mutex> guard(n.lock);
  if (n.ended || n.pid < 0) return n.ended;
  int status = 0;
  pid_t r;
  do {
    r = waitpid(n.pid, &status, WNOHANG);
  } while (r < 0 && errno == EINTR);
  if (r == n.pid || (r < 0 && errno == ECHILD)) {
    n.ended = true;
    n.status = status;
  }
  return n.ended;
}

size_t ChildProcess::ReadOutput(char* buffer, size_t capacity) {
  Native& n = *m_Native;
  if (capacity == 0) return 0;
  while (n.output.read.Valid()) {
    pollfd fds[2] = {{n.output.read.Get(), POLLIN, 0}, {n.error.read.Get(), POLLIN, 0}};
    const nfds_t count = n.error.read.Valid() ? 2 : 1;
    const int ready = poll(fds, count, kPollIntervalMs);
    if (ready < 0 && errno != EINTR) return 0;
    if (count == 2 && (fds[1].revents & (POLLIN | POLLHUP | POLLERR)) != 0 && !Discard(n.error.read.Get())) {
      n.error.read.Reset();
    }
    // Asked whenever the output is quiet, not only when both pipes are: an heir that
    // keeps writing to the error pipe must not hide the child's end.
    const bool outputReady = (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) != 0;
    const bool ended = !outputReady && HasEnded();
    if (outputReady || ended) {
      const ssize_t got = read(n.output.read.Get(), buffer, capacity);
      if (got > 0) return static_cast<size_t>(got);
      if (got == 0 || (errno != EAGAIN && errno != EINTR && errno != EWOULDBLOCK)) {
        n.output.read.Reset();
        return 0;
      }
      if (ended) return 0;  // an heir may keep the pipe open; the child itself is gone
    }
  }
  return 0;
}

void ChildProcess::WaitDiscardingOutput() {
  Native& n = *m_Native;
  if (n.pid < 0) return;
  while (!HasEnded()) {
    pollfd fds[2];
    nfds_t count = 0;
    if (n.output.read.Valid()) fds[count++] = {n.output.read.Get(), POLLIN, 0};
    if (n.error.read.Valid()) fds[count++] = {n.error.read.Get(), POLLIN, 0};
    if (poll(fds, count, kPollIntervalMs) > 0) {
      for (nfds_t i = 0; i < count; ++i) {
        if ((fds[i].revents & (POLLIN | POLLHUP | POLLERR)) == 0 || Discard(fds[i].fd)) continue;
        if (fds[i].fd == n.output.read.Get()) {
          n.output.read.Reset();
        } else {
          n.error.read.Reset();
        }
      }
    }
  }
}

bool ChildProcess::EndedAbnormally() const { return m_Native->ended && WIFSIGNALED(m_Native->status); }

uint32_t ChildProcess::ExitCode() const {
  const int status = m_Native->status;
  if (WIFSIGNALED(status)) return static_cast<uint32_t>(WTERMSIG(status));
  return static_cast<uint32_t>(WEXITSTATUS(status));
}

void ChildProcess::Terminate() {
  Native& n = *m_Native;
  std::lock_guard<std::mutex> guard(n.lock);
  if (n.pid > 0 && !n.ended) kill(n.pid, SIGKILL);
}
