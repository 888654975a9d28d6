// parlino-engine doctor: every system probe the installer relies on, one name=value
// line each.
#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "app/com_scope.h"
#include "app/engine/commands.h"
#include "app/engine/print_line.h"
#include "utils/probes.h"
#include "utils/text.h"

namespace {

// A probe that could not ask the system answers 0 in both halves.
const char* VerdictText(uint32_t network) {
  if (network == 0) return "unknown";
  switch (Utils::VerdictOf(network)) {
    case Utils::kVerdictInternet: return "internet";
    case Utils::kVerdictNoConnectivity: return "no_connectivity";
    case Utils::kVerdictNoInternet: return "no_internet";
    default: return "unknown";
  }
}

}  // namespace

int RunDoctorCommand(const EngineArgs& args) {
  if (!args.empty()) {
    std::fputs("parlino-engine: 'doctor' takes no arguments\n", stderr);
    return 2;
  }
  std::wstring family;
  std::wstring version;
  Utils::GetWindowsVersionName(family, version);
  PrintLine("windows_family", family);
  PrintLine("windows_version", version);
  PrintLine("system_64bit", Utils::IsSystem64Bit());

  std::wstring consoleUser;
  PrintLine("console_user", Utils::GetConsoleUserName(consoleUser) ? consoleUser : std::wstring(L"(unknown)"));
  PrintLine("admin_account", Utils::IsAdminAccount());
  PrintLine("elevated", Utils::IsProcessAdmin());

  uint32_t network = 0;
  {
    // The network list manager is a COM object.
    const ComScope com;
    network = Utils::CheckNetwork();
  }
  char networkHex[16];
  std::snprintf(networkHex, sizeof networkHex, "0x%08" PRIX32, network);
  PrintLine("network", std::string(networkHex));
  PrintLine("network_connectivity", static_cast<uint64_t>(Utils::ConnectivityOf(network)));
  PrintLine("network_verdict", std::string(VerdictText(network)));

  std::error_code error;
  const std::wstring cwd = std::filesystem::current_path(error).wstring();
  PrintLine("current_directory", cwd);
  Utils::HardDiskManager disk;
  if (!cwd.empty() && disk.CheckFreeSpace(cwd)) {
    PrintLine("free_bytes_available", disk.m_FreeBytesAvailable);
    PrintLine("total_bytes", disk.m_TotalBytes);
    PrintLine("total_free_bytes", disk.m_TotalFreeBytes);
  } else {
    PrintLine("free_bytes_available", std::string("(unknown)"));
  }

  PrintLine("installer_temp_dir", Utils::GetInstallerTempDir());
  PrintLine("new_guid", Utils::NewGuidText());
  return std::fflush(stdout) == 0 ? 0 : 1;
}
