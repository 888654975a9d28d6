#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <string>

#include "analytics/tracker/system_info.h"
#include "utils/os.h"
#include "utils/text.h"

namespace vexlo::analytics {

namespace {
constexpr int kLocaleBufferBytes = 16;
constexpr DWORD kWindows7Major = 6;
constexpr DWORD kWindows7Minor = 1;
}  // namespace

NtVersion ReadNtVersion() {
  NtVersion version;
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  if (!ntdll) return version;
  using Fn = void(WINAPI*)(DWORD*, DWORD*, DWORD*);
  auto fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetNtVersionNumbers")));
  if (!fn) return version;
  DWORD major = 0, minor = 0, build = 0;
  fn(&major, &minor, &build);
  version.readable = true;
  version.major = major;
  version.minor = minor;
  version.build = build & 0xFFFF;
  return version;
}

bool Is64BitWindows() {
  using Fn = BOOL(WINAPI*)(HANDLE, PBOOL);
  HMODULE kernel = GetModuleHandleW(L"kernel32");
  auto fn = kernel ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(kernel, "IsWow64Process"))) : nullptr;
  BOOL wow = FALSE;
  if (fn && fn(GetCurrentProcess(), &wow)) {
    if (wow) return true;
#if defined(_WIN64)
    return true;
#endif
  }
  SYSTEM_INFO info{};
  GetNativeSystemInfo(&info);
  return info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64 ||
         info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_IA64;
}

bool IsServer2003R2() { return GetSystemMetrics(SM_SERVERR2) != 0; }

bool SystemLocale(std::string& language, std::string& country) {
  char lang[kLocaleBufferBytes] = {};
  char ctry[kLocaleBufferBytes] = {};
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SISO639LANGNAME, lang, sizeof lang) == 0) return false;
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SISO3166CTRYNAME, ctry, sizeof ctry) == 0) return false;
  language = lang;
  country = ctry;
  return true;
}

void PrimaryScreenSize(int& width, int& height) {
  width = GetSystemMetrics(SM_CXSCREEN);
  height = GetSystemMetrics(SM_CYSCREEN);
}

std::string UserDataBaseFolder() {
  const NtVersion v = ReadNtVersion();
  const bool seven = v.readable && (v.major > kWindows7Major || (v.major == kWindows7Major && v.minor >= kWindows7Minor));
  wchar_t folder[MAX_PATH] = {};
  if (!SHGetSpecialFolderPathW(nullptr, folder, seven ? CSIDL_LOCAL_APPDATA : CSIDL_COMMON_DOCUMENTS, TRUE)) return {};
  wchar_t shortPath[MAX_PATH] = {};
  const DWORD n = GetShortPathNameW(folder, shortPath, MAX_PATH);
  std::wstring result = (n > 0 && n < MAX_PATH) ? shortPath : folder;
  while (!result.empty() && (result.back() == L'\\' || result.back() == L'/')) result.pop_back();
  return Utils::WideToUtf8(result);
}

bool SystemGuid(uint32_t& data1, uint16_t& data2, uint16_t& data3, uint8_t data4[8]) {
  GUID guid{};
  if (FAILED(CoCreateGuid(&guid))) return false;
  data1 = guid.Data1;
  data2 = guid.Data2;
  data3 = guid.Data3;
  for (int i = 0; i < 8; ++i) data4[i] = guid.Data4[i];
  return true;
}

std::string ExecutablePath() { return Utils::WideToUtf8(Utils::GetModulePath()); }

}  // namespace vexlo::analytics
