#include <windows.h>
// after windows.h
#include <lm.h>
#include <netlistmgr.h>
#include <objbase.h>
#include <tlhelp32.h>
#include <wtsapi32.h>

#include <cstring>
#include <memory>

#include "utils/debug_log.h"
#include "utils/probes.h"
#include "utils/text.h"
#include "utils/win32/win_handles.h"

namespace Utils {
namespace {

constexpr CLSID kNetworkListManagerClass = {0xDCB00C01, 0x570F, 0x4A9B, {0x8D, 0x69, 0x19, 0x9F, 0xDB, 0xA5, 0x72, 0x3B}};
constexpr IID kNetworkListManagerInterface = {0xDCB00000, 0x570F, 0x4A9B, {0x8D, 0x69, 0x19, 0x9F, 0xDB, 0xA5, 0x72, 0x3B}};

template <typename T>
class ComRef {
 public:
  ComRef() = default;
  ~ComRef() {
    if (m_Object) m_Object->Release();
  }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  T* operator->() const { return m_Object; }
  void** Out() { return reinterpret_cast<void**>(&m_Object); }

 private:
  T* m_Object = nullptr;
};

struct SidDeleter {
  void operator()(PSID sid) const { FreeSid(sid); }
};

}  // namespace

uint32_t CheckNetwork() {
  uint32_t result = 0;
  {
    ComRef<INetworkListManager> manager;
    if (FAILED(CoCreateInstance(kNetworkListManagerClass, nullptr, CLSCTX_ALL, kNetworkListManagerInterface,
                                manager.Out()))) {
      return 0;
    }
    NLM_CONNECTIVITY connectivity = NLM_CONNECTIVITY_DISCONNECTED;
    if (FAILED(manager->GetConnectivity(&connectivity))) connectivity = NLM_CONNECTIVITY_DISCONNECTED;
    const uint32_t flags = static_cast<uint32_t>(connectivity);
    if (flags == 0) {
      DebugLog(L"GetConnectivity %d", static_cast<int>(flags));
      result = NetworkVerdict(0, false);
    } else {
      VARIANT_BOOL internet = VARIANT_FALSE;
      // mingw's name for the get_IsConnectedToInternet property getter
      if (FAILED(manager->IsConnectedToInternet(&internet))) internet = VARIANT_FALSE;
      if (internet == VARIANT_FALSE) DebugLog(L"get_IsConnectedToInternet:%d", static_cast<int>(internet));
      result = NetworkVerdict(flags, internet != VARIANT_FALSE);
    }
  }
  CoFreeUnusedLibraries();
  return result;
}

bool HardDiskManager::CheckFreeSpace(const std::wstring& directory) {
  ULARGE_INTEGER available{}, total{}, free{};
  if (!GetDiskFreeSpaceExW(directory.c_str(), &available, &total, &free)) {
    DebugLog(L"HardDiskManager::CheckFreeSpace FAIL code=%ld\r\n", static_cast<long>(GetLastError()));
    return false;
  }
  m_FreeBytesAvailable = available.QuadPart;
  m_TotalBytes = total.QuadPart;
  m_TotalFreeBytes = free.QuadPart;
  return true;
}

void GetWindowsVersionName(std::wstring& family, std::wstring& version) {
  family = L"Windows";
  version.clear();
  Win32::UniqueLibrary ntdll(LoadLibraryW(L"ntdll.dll"));
  if (!ntdll) {
    version = L"XP-";
    return;
  }
  using GetVersionFn = void(WINAPI*)(DWORD*, DWORD*, DWORD*);
  DWORD major = 0, minor = 0, build = 0;
  if (auto getVersion = Win32::LookUp<GetVersionFn>(ntdll.Get(), "RtlGetNtVersionNumbers")) {
    getVersion(&major, &minor, &build);
  }
  build &= 0xFFFF;
  const bool serverR2 = major == 5 && minor == 2 && GetSystemMetrics(SM_SERVERR2) != 0;
  version = WindowsVersionName(major, minor, build, serverR2);
}

bool IsSystem64Bit() {
#if defined(_WIN64)
  return true;  // a 64-bit program runs on 64-bit Windows only (IsWow64Process says false here)
#else
  using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
  auto isWow64 = Win32::LookUp<IsWow64ProcessFn>(GetModuleHandleW(L"kernel32"), "IsWow64Process");
  if (!isWow64) return false;
  BOOL wow64 = FALSE;
  if (isWow64(GetCurrentProcess(), &wow64)) return wow64 != FALSE;
  SYSTEM_INFO info;
  GetNativeSystemInfo(&info);
  return info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64 ||
         info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_IA64;
#endif
}

std::wstring NewGuidText() {
  GUID value;
  if (FAILED(CoCreateGuid(&value))) return {};
  Guid guid{};
  guid.data1 = value.Data1;
  guid.data2 = value.Data2;
  guid.data3 = value.Data3;
  std::memcpy(guid.data4, value.Data4, sizeof guid.data4);
  return GuidText(guid);
}

uint32_t FindProcessByName(const std::wstring& name) {
  Win32::UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return 0;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  // The idle process (id 0) leads the list on Windows and is skipped; other systems
  // (Wine) may list a real process first, which must not be skipped with it.
  for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more; more = Process32NextW(snapshot.Get(), &entry)) {
    if (entry.th32ProcessID != 0 && name == entry.szExeFile) return entry.th32ProcessID;
  }
  return 0;
}

bool IsProcessAdmin() {
  SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
  PSID sid = nullptr;
  if (!AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0,
                                0, &sid)) {
    return false;
  }
  std::unique_ptr<void, SidDeleter> owner(sid);
  BOOL member = FALSE;
  return CheckTokenMembership(nullptr, sid, &member) && member;
}

bool GetConsoleUserName(std::wstring& name) {
  LPWSTR buffer = nullptr;
  DWORD bytes = 0;
  if (!WTSQuerySessionInformationW(WTS_CURRENT_SERVER_HANDLE, WTSGetActiveConsoleSessionId(), WTSUserName, &buffer,
                                   &bytes)) {
    return false;
  }
  name = buffer ? buffer : L"";
  WTSFreeMemory(buffer);
  return true;
}

bool IsUserAdminAccount(const std::wstring& name) {
  if (name.empty()) return false;
  LPBYTE buffer = nullptr;
  if (NetUserGetInfo(nullptr, name.c_str(), 1, &buffer) != NERR_Success) {
    if (buffer) NetApiBufferFree(buffer);
    return false;
  }
  const bool admin = reinterpret_cast<const USER_INFO_1*>(buffer)->usri1_priv == USER_PRIV_ADMIN;
  NetApiBufferFree(buffer);
  return admin;
}

}  // namespace Utils
