// parlino-engine: the installer's engine without a window.
#include <cstdio>
#include <cwchar>
#include <string>

#include "app/engine/commands.h"
#include "utils/text.h"

namespace {

struct Command {
  const wchar_t* name;
  int (*run)(const EngineArgs&);
  const wchar_t* usage;
};

const Command kCommands[] = {
    {L"config", RunConfigCommand, L"config [installer switches...]   print the effective configuration"},
    {L"doctor", RunDoctorCommand, L"doctor                           print every system probe"},
    {L"report", RunReportCommand, L"report                           send one event of each kind the installer uses"},
    {L"download", RunDownloadCommand, L"download [--type N] URL FILE     run one downloader to the end"},
    {L"install", RunInstallCommand, L"install [switches...] [--dir DIR]   one download-and-install attempt"},
};

int PrintUsage(FILE* out) {
  std::fputs("usage: parlino-engine COMMAND [ARGS...]\n", out);
  for (const Command& command : kCommands) {
    std::fprintf(out, "  %s\n", Utils::WideToUtf8(command.usage).c_str());
  }
  return out == stdout ? 0 : 2;
}

int Dispatch(const EngineArgs& all) {
  if (all.empty()) return PrintUsage(stderr);
  if (all[0] == L"--help" || all[0] == L"-h" || all[0] == L"help") return PrintUsage(stdout);
  const EngineArgs rest(all.begin() + 1, all.end());
  for (const Command& command : kCommands) {
    if (all[0] == command.name) return command.run(rest);
  }
  std::fprintf(stderr, "parlino-engine: unknown command '%s'\n", Utils::WideToUtf8(all[0]).c_str());
  return PrintUsage(stderr);
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
  return Dispatch(EngineArgs(argv + 1, argv + argc));
}
#else
int main(int argc, char** argv) {
  EngineArgs args;
  for (int i = 1; i < argc; ++i) args.push_back(Utils::MultiByteToWide(argv[i], Utils::kCodePageAnsi));
  return Dispatch(args);
}
#endif
