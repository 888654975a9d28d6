#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

#include "app/installer_config.h"

namespace {
struct LocalFreeDeleter {
  void operator()(wchar_t** argv) const { LocalFree(argv); }
};
}  // namespace

std::vector<std::wstring> ProcessCommandLineArgs() {
  std::vector<std::wstring> args;
  int argc = 0;
  const std::unique_ptr<wchar_t*, LocalFreeDeleter> argv(CommandLineToArgvW(GetCommandLineW(), &argc));
  if (!argv) return args;
  for (int i = 0; i < argc; ++i) args.emplace_back(argv.get()[i]);
  return args;
}
