#include <windows.h>

#include <algorithm>
#include <vector>

#include "utils/os.h"
#include "utils/win32/win_handles.h"

namespace Utils {

const wchar_t kPathSeparator = L'\\';

namespace {
constexpr DWORD kIoBlockBytes = 64 * 1024;
constexpr DWORD kMaxModulePathChars = 32 * 1024;
constexpr DWORD kTempPathChars = MAX_PATH + 1;
}  // namespace

std::wstring DrivePart(const std::wstring& path) {
  if (path.size() >= 2 && path[1] == L':') return path.substr(0, 2);
  if (path.rfind(L"\\\\", 0) == 0) {  // \\server\share
    const size_t server = path.find(L'\\', 2);
    if (server == std::wstring::npos) return path;
    const size_t share = path.find(L'\\', server + 1);
    return share == std::wstring::npos ? path : path.substr(0, share);
  }
  return {};
}

bool PathExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool IsDirectory(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool MakeDirectory(const std::wstring& path) { return CreateDirectoryW(path.c_str(), nullptr) != FALSE; }

bool DeleteFilePath(const std::wstring& path) { return DeleteFileW(path.c_str()) != FALSE; }

bool MoveFileReplace(const std::wstring& from, const std::wstring& to) {
  return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED) != FALSE;
}

bool CopyFilePath(const std::wstring& from, const std::wstring& to) {
  return CopyFileW(from.c_str(), to.c_str(), FALSE) != FALSE;
}

int64_t FileSize(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return -1;
  return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool ReadWholeFile(const std::wstring& path, std::string& bytes) {
  bytes.clear();
  Win32::UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  std::vector<char> block(kIoBlockBytes);
  for (;;) {
    DWORD read = 0;
    if (!ReadFile(file.Get(), block.data(), kIoBlockBytes, &read, nullptr)) {
      bytes.clear();
      return false;
    }
    if (read == 0) return true;
    bytes.append(block.data(), read);
  }
}

bool WriteWholeFile(const std::wstring& path, const std::string& bytes) {
  Win32::UniqueHandle file(
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, kIoBlockBytes));
    DWORD written = 0;
    if (!WriteFile(file.Get(), bytes.data() + done, chunk, &written, nullptr) || written == 0) return false;
    done += written;
  }
  return true;
}

std::wstring GetModulePath() {
  for (DWORD size = MAX_PATH; size <= kMaxModulePathChars; size *= 2) {
    std::wstring path(size, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), size);
    if (length == 0) return {};
    if (length < size) {
      path.resize(length);
      return path;
    }
  }
  return {};
}

std::optional<std::wstring> GetEnv(const std::wstring& name) {
  SetLastError(ERROR_SUCCESS);
  const DWORD size = GetEnvironmentVariableW(name.c_str(), nullptr, 0);
  if (size == 0) {
    if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
    return std::wstring();
  }
  std::wstring value(size, L'\0');
  SetLastError(ERROR_SUCCESS);
  const DWORD length = GetEnvironmentVariableW(name.c_str(), value.data(), size);
  // An empty variable copies nothing and reports no error: present, but empty.
  if (length >= size || (length == 0 && GetLastError() != ERROR_SUCCESS)) return std::nullopt;
  value.resize(length);
  return value;
}

uint32_t CurrentProcessId() { return GetCurrentProcessId(); }
uint32_t CurrentThreadId() { return GetCurrentThreadId(); }

std::wstring GetTempFolder() {
  wchar_t buffer[kTempPathChars];
  const DWORD length = GetTempPathW(kTempPathChars, buffer);
  if (length == 0 || length >= kTempPathChars) return {};
  return std::wstring(buffer, length);
}

LocalTime GetLocalTimeNow() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return LocalTime{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds};
}

uint32_t TickCountMs() { return GetTickCount(); }

}  // namespace Utils
