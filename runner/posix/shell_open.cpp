// POSIX stand-in: runs the file itself as a detached child; URLs are not opened.
#include "runner/shell_open.h"

#include <spawn.h>
#include <sys/wait.h>

#include <string>

#include "utils/text.h"

extern char** environ;

bool ShellOpen(const std::wstring& target, bool) {
  if (target.find(L"://") != std::wstring::npos) return false;
  std::string program = Utils::WideToMultiByte(target, Utils::kCodePageAnsi);
  char* argv[] = {program.data(), nullptr};
  pid_t pid = -1;
  return posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ) == 0;
}
