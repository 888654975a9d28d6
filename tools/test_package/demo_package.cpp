// parlino-demo-package: behaves like the product's real installation package, in the
// three roles one program can play here:
//  - installer (default): installs a demo product into the directory of -instdir= (or
//    "/D=", the rest of the line): Parlino.exe (this program) and the uninstaller
//    uninst.ep (this program too), shortcut files for -dsc=true / -ssc=true, and
//    reports it through the console protocol. -startupstyle=STYLE (given through the
//    installer's InstCmd) replaces the reported "UserStartup".
//  - uninstaller (a "_?=DIR" switch): removes what the installer put into DIR.
//  - product (run as "Parlino.exe"): appends a line to "started.txt" beside itself.
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "tools/test_package/platform.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kProductExe = "Parlino.exe";
constexpr const char* kUninstaller = "uninst.ep";
constexpr const char* kDesktopShortcut = "Parlino (desktop).lnk";
constexpr const char* kQuickLaunchShortcut = "Parlino (quick launch).lnk";
constexpr const char* kStartedFile = "started.txt";
constexpr const char* kVersion = "1.7.9";
// Lets the runner switch its code page before the UTF-8 lines arrive.
constexpr uint32_t kEncodeSettleMs = 50;

void Line(const std::string& text) { Package::WriteStream(1, text + "\r\n"); }

std::string Utf8(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

fs::path FromUtf8(const std::string& text) { return fs::path(std::u8string(text.begin(), text.end())); }

std::string SwitchValue(int argc, char** argv, const std::string& key) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.rfind(key, 0) == 0) return arg.substr(key.size());
  }
  return {};
}

std::string RestAfter(const std::string& raw, const std::string& key) {
  const size_t at = raw.find(key);
  if (at == std::string::npos) return {};
  std::string rest = raw.substr(at + key.size());
  while (!rest.empty() && (rest.back() == ' ' || rest.back() == '"')) rest.pop_back();
  return rest;
}

int RunProduct(const fs::path& self) {
  std::ofstream(self.parent_path() / kStartedFile, std::ios::app) << "started\n";
  Line("Parlino demo product is running");
  return 0;
}

int Uninstall(const fs::path& dir) {
  std::error_code ec;
  Line("Progress=0.5");
  for (const char* name : {kProductExe, kUninstaller, kDesktopShortcut, kQuickLaunchShortcut, kStartedFile}) {
    fs::remove(dir / name, ec);
  }
  Line("Progress=1");
  Line("State=Success");
  return 0;
}

bool WriteShortcut(const fs::path& file, const fs::path& target) {
  std::ofstream out(file, std::ios::binary);
  out << Utf8(target) << "\n";
  return static_cast<bool>(out);
}

int Install(int argc, char** argv, const std::string& raw, const fs::path& self) {
  Line("Encode=UTF8");
  Package::SleepMs(kEncodeSettleMs);
  std::string dirText = SwitchValue(argc, argv, "-instdir=");
  if (dirText.empty()) dirText = RestAfter(raw, "/D=");
  if (dirText.empty()) {
    Line("Error=没有安装目录");
    return 1;
  }
  const fs::path dir = FromUtf8(dirText);
  std::error_code ec;
  Line("Progress=0.1");
  fs::create_directories(dir, ec);
  const fs::path exe = dir / kProductExe;
  const fs::path uninstaller = dir / kUninstaller;
  if (!fs::copy_file(self, exe, fs::copy_options::overwrite_existing, ec)) {
    Line("Error=无法写入 " + Utf8(exe));
    return 1;
  }
  Line("Progress=0.4");
  if (!fs::copy_file(self, uninstaller, fs::copy_options::overwrite_existing, ec)) {
    Line("Error=无法写入 " + Utf8(uninstaller));
    return 1;
  }
  Line("Progress=0.7");
  if (SwitchValue(argc, argv, "-dsc=") == "true") WriteShortcut(dir / kDesktopShortcut, exe);
  if (SwitchValue(argc, argv, "-ssc=") == "true") WriteShortcut(dir / kQuickLaunchShortcut, exe);
  Line("Progress=0.9");
  Line("InstallVersion=" + std::string(kVersion));
  Line("InstPath=" + Utf8(dir));
  Line("ExePath=" + Utf8(exe));
  Line("UninstEp=" + Utf8(uninstaller));
  const std::string style = SwitchValue(argc, argv, "-startupstyle=");
  Line("StartupStyle=" + (style.empty() ? std::string("UserStartup") : style));
  Line("Progress=1");
  Line("State=Success");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string raw = Package::RawCommandLine(argc, argv);
  const fs::path self = FromUtf8(Package::SelfPath());
  if (self.filename() == kProductExe) return RunProduct(self);
  const std::string uninstallDir = RestAfter(raw, "_?=");
  if (!uninstallDir.empty()) return Uninstall(FromUtf8(uninstallDir));
  return Install(argc, argv, raw, self);
}
