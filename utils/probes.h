#pragma once
// Stateless system probes. None throws; each answers failure with its neutral value.
#include <cstdint>
#include <string>

namespace Utils {

// Low 16 bits: connectivity flags (0 = not connected); high 16 bits: verdict
// 0 Internet, 1 no connectivity, 2 connected without Internet. 0 when the system
// cannot be asked. On Windows the caller has initialised COM on its thread.
uint32_t CheckNetwork();
// Composes the network verdict from the connectivity flags and the Internet answer.
uint32_t NetworkVerdict(uint32_t connectivity, bool internet);
constexpr uint32_t kVerdictInternet = 0;
constexpr uint32_t kVerdictNoConnectivity = 1;
constexpr uint32_t kVerdictNoInternet = 2;
constexpr uint32_t kVerdictShift = 16;
// The two halves of a CheckNetwork result.
inline uint32_t VerdictOf(uint32_t network) { return network >> kVerdictShift; }
inline uint32_t ConnectivityOf(uint32_t network) { return network & 0xFFFFu; }

class HardDiskManager {
 public:
  virtual ~HardDiskManager() = default;
  // Fills the three counts for the volume holding `directory`; false (and a trace
  // line with the system error) on failure.
  bool CheckFreeSpace(const std::wstring& directory);
  uint64_t m_FreeBytesAvailable = 0;
  uint64_t m_TotalBytes = 0;
  uint64_t m_TotalFreeBytes = 0;
};

// family := "Windows"; version := the name for the running system ("7", "10", ...).
// POSIX reports the kernel's "major.minor.patch", which never names XP, so the
// ordinary download route applies.
void GetWindowsVersionName(std::wstring& family, std::wstring& version);
// The version name for the given numbers; serverR2 is the SM_SERVERR2 metric.
std::wstring WindowsVersionName(uint32_t major, uint32_t minor, uint32_t build, bool serverR2);
bool IsSystem64Bit();

struct Guid {
  uint32_t data1;
  uint16_t data2;
  uint16_t data3;
  uint8_t data4[8];
};
// 32 hex digits, the third group lower case, all others upper case.
std::wstring GuidText(const Guid& guid);
std::wstring NewGuidText();

// The user's temp folder + "~VexloTemp.92482B06FB471E17" + separator, created one
// level deep when missing; empty on failure.
std::wstring GetInstallerTempDir();
// Creates every missing level; paths longer than 260 characters fail before anything
// is created. True when the path is a directory at the end.
bool CreateDirectoryTree(const std::wstring& path);
// Process id of the first process whose executable name equals `name` exactly
// (case-sensitive), or 0. POSIX compares the file name of /proc/<pid>/exe, or of the
// command line's program when the executable cannot be read.
uint32_t FindProcessByName(const std::wstring& name);
// Elevated process (POSIX: effective uid 0).
bool IsProcessAdmin();
// The console user's account is an administrator account (POSIX: the login name, or
// the process's user, is root or a member of sudo, wheel or admin).
bool IsAdminAccount();
bool GetConsoleUserName(std::wstring& name);
bool IsUserAdminAccount(const std::wstring& name);

}  // namespace Utils
