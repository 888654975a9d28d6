// parlino-test-package / parlino-test-uninstaller: stand-ins for the product's package
// and the old version's uninstaller. The script (script.h) comes from, in this order:
//  - the switch -script=PATH (the runner passes it through the configured InstCmd);
//  - the file "uninstall_script.txt" in the directory named by "_?=" (an uninstaller
//    run from its temporary copy);
//  - the file named by the environment variable PARLINO_TEST_SCRIPT.
// Without a script the program prints nothing and exits 0.
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/test_package/platform.h"
#include "tools/test_package/script.h"

namespace {

constexpr const char* kUninstallScriptName = "uninstall_script.txt";

bool ReadFile(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream all;
  all << in.rdbuf();
  text = all.str();
  return true;
}

std::string FindScript(int argc, char** argv, const std::string& raw) {
  std::string text;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.rfind("-script=", 0) == 0 && ReadFile(arg.substr(8), text)) return text;
  }
  const size_t uninstall = raw.find("_?=");
  if (uninstall != std::string::npos) {
    std::string dir = raw.substr(uninstall + 3);
    while (!dir.empty() && (dir.back() == ' ' || dir.back() == '"')) dir.pop_back();
    if (ReadFile(dir + "/" + kUninstallScriptName, text)) return text;
  }
  const char* fromEnv = std::getenv("PARLINO_TEST_SCRIPT");
  if (fromEnv != nullptr && ReadFile(fromEnv, text)) return text;
  return {};
}

}  // namespace

int main(int argc, char** argv) {
  const std::string raw = Package::RawCommandLine(argc, argv);
  return Package::RunScript(FindScript(argc, argv, raw), raw, std::vector<std::string>(argv + 1, argv + argc));
}
