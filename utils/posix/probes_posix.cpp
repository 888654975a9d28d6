// POSIX stand-ins for the system probes. Where Windows has no equivalent they keep
// the answers' meaning: euid 0 is an elevated process, root or a member of sudo,
// wheel or admin is an administrator account, an up non-loopback interface is
// connectivity and a default route is the Internet.
#include <dirent.h>
#include <grp.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <pwd.h>
#include <sys/statvfs.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "utils/debug_log.h"
#include "utils/os.h"
#include "utils/probes.h"
#include "utils/text.h"

namespace Utils {
namespace {

// NLM_CONNECTIVITY flags, so that the low half reads the same on both platforms.
constexpr uint32_t kIpv4LocalNetwork = 0x20;
constexpr uint32_t kIpv4Internet = 0x40;
constexpr uint32_t kIpv6LocalNetwork = 0x200;
constexpr uint32_t kIpv6Internet = 0x400;

constexpr size_t kGuidBytes = 16;
constexpr size_t kMaxLinkBytes = 4096;
constexpr size_t kMaxGroups = 1024;
constexpr const char* kAdminGroups[] = {"sudo", "wheel", "admin"};

bool HasDefaultRoute(const char* table, bool ipv6) {
  std::ifstream in(table);
  std::string line;
  if (!ipv6) std::getline(in, line);  // header
  while (std::getline(in, line)) {
    char iface[64] = {};
    if (ipv6) {
      // dest prefix-len src src-len next-hop metric refs use flags iface
      char dest[33] = {}, prefix[3] = {};
      if (std::sscanf(line.c_str(), "%32s %2s", dest, prefix) != 2) continue;
      const size_t last = line.find_last_of(' ');
      std::snprintf(iface, sizeof iface, "%s", line.c_str() + (last == std::string::npos ? 0 : last + 1));
      if (std::strcmp(dest, "00000000000000000000000000000000") == 0 && std::strcmp(prefix, "00") == 0 &&
          std::strcmp(iface, "lo") != 0) {
        return true;
      }
    } else {
      unsigned dest = 1, flags = 0, mask = 1;
      unsigned gateway = 0, refs = 0, use = 0, metric = 0;
      if (std::sscanf(line.c_str(), "%63s %x %x %x %u %u %u %x", iface, &dest, &gateway, &flags, &refs, &use,
                      &metric, &mask) != 8) {
        continue;
      }
      if (dest == 0 && mask == 0 && (flags & 0x1u) != 0) return true;  // RTF_UP
    }
  }
  return false;
}

// Candidate executable names of one process: the executable's file name, then the
// program name of its command line (for processes whose executable is unreadable).
std::vector<std::string> ProcessNames(const std::string& pidDir) {
  std::vector<std::string> names;
  char link[kMaxLinkBytes];
  const ssize_t n = readlink((pidDir + "/exe").c_str(), link, sizeof link - 1);
  if (n > 0) {
    std::string path(link, static_cast<size_t>(n));
    static constexpr char kDeleted[] = " (deleted)";
    if (path.size() > sizeof kDeleted - 1 && path.ends_with(kDeleted)) path.resize(path.size() - (sizeof kDeleted - 1));
    names.push_back(path.substr(path.find_last_of('/') + 1));
    return names;
  }
  std::ifstream cmdline(pidDir + "/cmdline");
  std::string argv0;
  if (std::getline(cmdline, argv0, '\0') && !argv0.empty()) names.push_back(argv0.substr(argv0.find_last_of('/') + 1));
  return names;
}

}  // namespace

uint32_t CheckNetwork() {
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return 0;
  uint32_t connectivity = 0;
  for (const ifaddrs* entry = list; entry; entry = entry->ifa_next) {
    if (!entry->ifa_addr || (entry->ifa_flags & IFF_LOOPBACK)) continue;
    if (!(entry->ifa_flags & IFF_UP) || !(entry->ifa_flags & IFF_RUNNING)) continue;
    if (entry->ifa_addr->sa_family == AF_INET) connectivity |= kIpv4LocalNetwork;
    if (entry->ifa_addr->sa_family == AF_INET6) connectivity |= kIpv6LocalNetwork;
  }
  freeifaddrs(list);
  if (connectivity == 0) {
    DebugLog(L"GetConnectivity %d", 0);
    return NetworkVerdict(0, false);
  }
  const bool ipv4 = (connectivity & kIpv4LocalNetwork) && HasDefaultRoute("/proc/net/route", false);
  const bool ipv6 = (connectivity & kIpv6LocalNetwork) && HasDefaultRoute("/proc/net/ipv6_route", true);
  if (ipv4) connectivity |= kIpv4Internet;
  if (ipv6) connectivity |= kIpv6Internet;
  const bool internet = ipv4 || ipv6;
  if (!internet) DebugLog(L"get_IsConnectedToInternet:%d", 0);
  return NetworkVerdict(connectivity, internet);
}

bool HardDiskManager::CheckFreeSpace(const std::wstring& directory) {
  struct statvfs info;
  const std::string narrow = WideToMultiByte(directory, kCodePageAnsi);
  if (narrow.empty() || statvfs(narrow.c_str(), &info) != 0) {
    DebugLog(L"HardDiskManager::CheckFreeSpace FAIL code=%ld\r\n", static_cast<long>(narrow.empty() ? ENOENT : errno));
    return false;
  }
  const uint64_t unit = info.f_frsize ? info.f_frsize : info.f_bsize;
  m_FreeBytesAvailable = static_cast<uint64_t>(info.f_bavail) * unit;
  m_TotalBytes = static_cast<uint64_t>(info.f_blocks) * unit;
  m_TotalFreeBytes = static_cast<uint64_t>(info.f_bfree) * unit;
  return true;
}

void GetWindowsVersionName(std::wstring& family, std::wstring& version) {
  // No Windows here: the kernel's own version, in the form the table gives unknown
  // majors ("6.1.0"), which never names XP and so takes the ordinary download route.
  family = L"Windows";
  utsname info;
  unsigned major = 0, minor = 0, patch = 0;
  if (uname(&info) != 0 || std::sscanf(info.release, "%u.%u.%u", &major, &minor, &patch) < 2) {
    version = L"XP-";
    return;
  }
  version = std::to_wstring(major) + L"." + std::to_wstring(minor) + L"." + std::to_wstring(patch & 0xFFFFu);
}

bool IsSystem64Bit() {
  utsname info;
  if (uname(&info) != 0) return sizeof(void*) == 8;
  const std::string machine = info.machine;
  return machine == "x86_64" || machine == "aarch64" || machine == "ppc64le" || machine == "s390x" ||
         machine == "riscv64" || machine == "ia64";
}

std::wstring NewGuidText() {
  uint8_t bytes[kGuidBytes] = {};
  bool filled = false;
  if (FILE* random = std::fopen("/dev/urandom", "rb")) {
    filled = std::fread(bytes, 1, sizeof bytes, random) == sizeof bytes;
    std::fclose(random);
  }
  if (!filled) {
    std::random_device device;
    for (auto& byte : bytes) byte = static_cast<uint8_t>(device());
  }
  bytes[6] = static_cast<uint8_t>((bytes[6] & 0x0F) | 0x40);  // version 4
  bytes[8] = static_cast<uint8_t>((bytes[8] & 0x3F) | 0x80);  // RFC 4122 variant
  Guid guid{};
  guid.data1 = (uint32_t{bytes[0]} << 24) | (uint32_t{bytes[1]} << 16) | (uint32_t{bytes[2]} << 8) | bytes[3];
  guid.data2 = static_cast<uint16_t>((bytes[4] << 8) | bytes[5]);
  guid.data3 = static_cast<uint16_t>((bytes[6] << 8) | bytes[7]);
  std::memcpy(guid.data4, bytes + 8, 8);
  return GuidText(guid);
}

uint32_t FindProcessByName(const std::wstring& name) {
  const std::string wanted = WideToMultiByte(name, kCodePageAnsi);
  if (wanted.empty()) return 0;
  DIR* proc = opendir("/proc");
  if (!proc) return 0;
  std::vector<uint32_t> pids;
  while (const dirent* entry = readdir(proc)) {
    char* end = nullptr;
    const unsigned long pid = std::strtoul(entry->d_name, &end, 10);
    if (end != entry->d_name && *end == '\0' && pid > 0) pids.push_back(static_cast<uint32_t>(pid));
  }
  closedir(proc);
  std::sort(pids.begin(), pids.end());
  for (uint32_t pid : pids) {
    for (const std::string& candidate : ProcessNames("/proc/" + std::to_string(pid))) {
      if (candidate == wanted) return pid;
    }
  }
  return 0;
}

bool IsProcessAdmin() { return geteuid() == 0; }

bool GetConsoleUserName(std::wstring& name) {
  // The login name of the session; in a session without one (services, containers)
  // the account the process runs as.
  char login[LOGIN_NAME_MAX + 1] = {};
  if (getlogin_r(login, sizeof login) == 0 && login[0]) {
    name = MultiByteToWide(login, kCodePageAnsi);
    return true;
  }
  if (const passwd* account = getpwuid(getuid())) {
    name = MultiByteToWide(account->pw_name, kCodePageAnsi);
    return !name.empty();
  }
  return false;
}

bool IsUserAdminAccount(const std::wstring& name) {
  const std::string narrow = WideToMultiByte(name, kCodePageAnsi);
  if (narrow.empty()) return false;
  passwd account{};
  passwd* found = nullptr;
  std::vector<char> buffer(static_cast<size_t>(std::max(16384L, sysconf(_SC_GETPW_R_SIZE_MAX))));
  if (getpwnam_r(narrow.c_str(), &account, buffer.data(), buffer.size(), &found) != 0 || !found) return false;
  if (found->pw_uid == 0) return true;
  std::vector<gid_t> groups(kMaxGroups);
  int count = static_cast<int>(groups.size());
  if (getgrouplist(narrow.c_str(), found->pw_gid, groups.data(), &count) < 0) return false;
  std::vector<char> groupBuffer(static_cast<size_t>(std::max(16384L, sysconf(_SC_GETGR_R_SIZE_MAX))));
  for (const char* adminGroup : kAdminGroups) {
    group entry{};
    group* groupFound = nullptr;
    if (getgrnam_r(adminGroup, &entry, groupBuffer.data(), groupBuffer.size(), &groupFound) != 0 || !groupFound) {
      continue;
    }
    if (std::find(groups.begin(), groups.begin() + count, groupFound->gr_gid) != groups.begin() + count) return true;
  }
  return false;
}

}  // namespace Utils
