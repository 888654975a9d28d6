#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/installer_config.h"
#include "utils/text.h"

// Linux keeps the argument vector as NUL-separated bytes in /proc/self/cmdline.
std::vector<std::wstring> ProcessCommandLineArgs() {
  std::vector<std::wstring> args;
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  if (!in) return args;
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\0', start);
    if (end == std::string::npos) end = bytes.size();
    args.push_back(Utils::MultiByteToWide(bytes.substr(start, end - start), Utils::kCodePageAnsi));
    start = end + 1;
  }
  return args;
}
