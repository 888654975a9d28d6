#include <signal.h>
#include <spawn.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <thread>

#include "tools/test_package/platform.h"

extern char** environ;

namespace Package {

bool WriteStream(int stream, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(stream, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

void SleepMs(uint32_t milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

void Crash() {
  signal(SIGABRT, SIG_DFL);
  std::abort();
}

std::string SelfPath() {
  char buffer[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
}

std::string RawCommandLine(int argc, char** argv) {
  std::string line;
  for (int i = 0; i < argc; ++i) {
    if (i > 0) line += ' ';
    line += argv[i];
  }
  return line;
}

bool StartDetached(const std::string& program) {
  std::string copy = program;
  char* argv[] = {copy.data(), nullptr};
  pid_t pid;
  return posix_spawn(&pid, copy.c_str(), nullptr, nullptr, argv, environ) == 0;
}

bool StartHeir(const std::string& script) {
  std::string self = SelfPath();
  std::string option = "-script=" + script;
  char* argv[] = {self.data(), option.data(), nullptr};
  pid_t pid;
  return posix_spawn(&pid, self.c_str(), nullptr, nullptr, argv, environ) == 0;
}

}  // namespace Package
