#include "runner/command_line.h"

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

}  // namespace

std::vector<std::wstring> SplitCommandLine(const std::wstring& commandLine) {
  std::vector<std::wstring> args;
  size_t i = 0;
  const size_t n = commandLine.size();
  while (i < n && IsBlank(commandLine[i])) ++i;
  if (i == n) return args;

  // Program part: no escapes, quotes only group.
  std::wstring program;
  if (commandLine[i] == L'"') {
    ++i;
    while (i < n && commandLine[i] != L'"') program += commandLine[i++];
    if (i < n) ++i;
  } else {
    while (i < n && !IsBlank(commandLine[i])) program += commandLine[i++];
  }
  args.push_back(program);

  while (true) {
    while (i < n && IsBlank(commandLine[i])) ++i;
    if (i == n) break;
    std::wstring arg;
    bool quoted = false;
    while (i < n && (quoted || !IsBlank(commandLine[i]))) {
      if (commandLine[i] == L'\\') {
        size_t slashes = 0;
        while (i < n && commandLine[i] == L'\\') {
          ++slashes;
          ++i;
        }
        if (i < n && commandLine[i] == L'"') {
          arg.append(slashes / 2, L'\\');
          if (slashes % 2 == 1) {
            arg += L'"';
            ++i;
          }
        } else {
          arg.append(slashes, L'\\');
        }
      } else if (commandLine[i] == L'"') {
        if (quoted && i + 1 < n && commandLine[i + 1] == L'"') {
          arg += L'"';
          i += 2;
        } else {
          quoted = !quoted;
          ++i;
        }
      } else {
        arg += commandLine[i++];
      }
    }
    args.push_back(arg);
  }
  return args;
}

const wchar_t* SwitchBool(bool value) { return value ? L"true" : L"false"; }
