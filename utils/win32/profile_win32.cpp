#include <windows.h>

#include <algorithm>

#include "utils/os.h"
#include "utils/win32/win_handles.h"

namespace Utils {

std::wstring GetProfileString(const std::wstring& path, const std::wstring& section, const std::wstring& key,
                              const std::wstring& defaultValue, size_t bufferChars) {
  if (bufferChars == 0) return {};
  std::wstring buffer(bufferChars, L'\0');
  const DWORD length = GetPrivateProfileStringW(section.c_str(), key.c_str(), defaultValue.c_str(), buffer.data(),
                                                static_cast<DWORD>(bufferChars), path.c_str());
  buffer.resize(std::min<size_t>(length, bufferChars - 1));
  return buffer;
}

int GetProfileInt(const std::wstring& path, const std::wstring& section, const std::wstring& key, int defaultValue) {
  return static_cast<int>(GetPrivateProfileIntW(section.c_str(), key.c_str(), defaultValue, path.c_str()));
}

bool WriteProfileString(const std::wstring& path, const std::wstring& section, const std::wstring& key,
                        const std::wstring& value) {
  if (!IsWritableProfileEntry(section, key, value)) return false;
  return WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), path.c_str()) != FALSE;
}

// --- the current user's registry
namespace {

Win32::UniqueRegKey OpenKey(const std::wstring& subKey, bool create) {
  Win32::UniqueRegKey key;
  LSTATUS status;
  if (create) {
    status = RegCreateKeyExW(HKEY_CURRENT_USER, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                             nullptr, key.Out(), nullptr);
  } else {
    status = RegOpenKeyExW(HKEY_CURRENT_USER, subKey.c_str(), 0, KEY_QUERY_VALUE, key.Out());
  }
  if (status != ERROR_SUCCESS) return Win32::UniqueRegKey();
  return key;
}

bool SetValue(const std::wstring& subKey, const std::wstring& valueName, DWORD type, const void* data, DWORD size) {
  Win32::UniqueRegKey key = OpenKey(subKey, true);
  return key && RegSetValueExW(key.Get(), valueName.c_str(), 0, type, static_cast<const BYTE*>(data), size) ==
                    ERROR_SUCCESS;
}

}  // namespace

bool RegGetString(const std::wstring& subKey, const std::wstring& valueName, std::wstring& value) {
  Win32::UniqueRegKey key = OpenKey(subKey, false);
  if (!key) return false;
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(key.Get(), valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      type != REG_SZ) {
    return false;
  }
  std::wstring buffer(size / sizeof(wchar_t) + 1, L'\0');
  DWORD bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
  if (RegQueryValueExW(key.Get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                       &bytes) != ERROR_SUCCESS ||
      type != REG_SZ) {
    return false;
  }
  buffer.resize(bytes / sizeof(wchar_t));
  while (!buffer.empty() && buffer.back() == L'\0') buffer.pop_back();
  value = buffer;
  return true;
}

bool RegSetString(const std::wstring& subKey, const std::wstring& valueName, const std::wstring& value) {
  return SetValue(subKey, valueName, REG_SZ, value.c_str(), static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

bool RegGetDword(const std::wstring& subKey, const std::wstring& valueName, uint32_t& value) {
  Win32::UniqueRegKey key = OpenKey(subKey, false);
  if (!key) return false;
  DWORD type = 0, number = 0, size = sizeof(number);
  if (RegQueryValueExW(key.Get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&number), &size) !=
          ERROR_SUCCESS ||
      type != REG_DWORD || size != sizeof(number)) {
    return false;
  }
  value = number;
  return true;
}

bool RegSetDword(const std::wstring& subKey, const std::wstring& valueName, uint32_t value) {
  const DWORD number = value;
  return SetValue(subKey, valueName, REG_DWORD, &number, sizeof(number));
}

}  // namespace Utils
