#include <cwchar>

#include "utils/os.h"
#include "utils/probes.h"

namespace Utils {
namespace {
constexpr size_t kMaxPathChars = 260;
constexpr wchar_t kInstallerTempName[] = L"~VexloTemp.92482B06FB471E17";
}  // namespace

uint32_t NetworkVerdict(uint32_t connectivity, bool internet) {
  const uint32_t flags = ConnectivityOf(connectivity);
  uint32_t verdict = kVerdictInternet;
  if (flags == 0) {
    verdict = kVerdictNoConnectivity;
  } else if (!internet) {
    verdict = kVerdictNoInternet;
  }
  return flags | (verdict << kVerdictShift);
}

std::wstring WindowsVersionName(uint32_t major, uint32_t minor, uint32_t build, bool serverR2) {
  switch (major) {
    case 0: case 1: case 2: case 3: case 4:
      return L"XP-";
    case 5:
      if (minor == 0) return L"2K";
      if (minor == 1) return L"XP";
      if (minor == 2) return serverR2 ? L"Server 2003 R2" : L"Server 2003";
      return L"XP+";
    case 6:
      if (minor == 0) return L"Vista";
      if (minor == 1) return L"7";
      if (minor == 2) return L"8";
      if (minor == 3) return L"8.1";
      return L"8.1+";
    case 10:
      return minor == 0 ? L"10" : L"10+";
    default:
      return std::to_wstring(major) + L"." + std::to_wstring(minor) + L"." + std::to_wstring(build & 0xFFFFu);
  }
}

std::wstring GuidText(const Guid& guid) {
  wchar_t text[33];
  std::swprintf(text, 33, L"%08X%04X%04x%02X%02X%02X%02X%02X%02X%02X%02X", static_cast<unsigned>(guid.data1),
                static_cast<unsigned>(guid.data2), static_cast<unsigned>(guid.data3), guid.data4[0], guid.data4[1],
                guid.data4[2], guid.data4[3], guid.data4[4], guid.data4[5], guid.data4[6], guid.data4[7]);
  return text;
}

std::wstring GetInstallerTempDir() {
  const std::wstring temp = GetTempFolder();
  if (temp.empty()) return {};
  std::wstring dir = JoinPath(temp, kInstallerTempName);
  if (IsDirectory(dir) || MakeDirectory(dir)) return dir + kPathSeparator;
  return {};
}

bool CreateDirectoryTree(const std::wstring& path) {
  if (path.empty() || path.size() > kMaxPathChars) return false;
  for (size_t at = path.find(kPathSeparator); at != std::wstring::npos; at = path.find(kPathSeparator, at + 1)) {
    const std::wstring level = path.substr(0, at + 1);
    if (!PathExists(level) && !MakeDirectory(level)) return false;
  }
  if (path.back() != kPathSeparator && !PathExists(path) && !MakeDirectory(path)) return false;
  // A file where a folder should be is a failure, not a tree.
  return IsDirectory(path);
}

bool IsAdminAccount() {
  std::wstring name;
  return GetConsoleUserName(name) && IsUserAdminAccount(name);
}

}  // namespace Utils
