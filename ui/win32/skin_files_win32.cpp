#include <windows.h>

#include "ui/skin_files.h"
#include "ui/text_decoding.h"
#include "utils/win32/win_handles.h"

namespace SkinUI {

const wchar_t kSkinPathSeparator = L'\\';

namespace {

// ReadFile takes at most a DWORD per call.
constexpr DWORD kReadChunkBytes = 1u << 20;

}  // namespace

LooseFileResult ReadLooseFile(const std::wstring& path, uint64_t maxBytes, std::vector<uint8_t>& bytes) {
  bytes.clear();
  if (path.empty()) return LooseFileResult::OpenFailed;
  Utils::Win32::UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return LooseFileResult::OpenFailed;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.Get(), &size)) return LooseFileResult::OpenFailed;
  if (size.QuadPart == 0) return LooseFileResult::Empty;
  if (static_cast<uint64_t>(size.QuadPart) > maxBytes) return LooseFileResult::TooLarge;
  bytes.resize(static_cast<size_t>(size.QuadPart));
  size_t done = 0;
  while (done < bytes.size()) {
    const size_t left = bytes.size() - done;
    const DWORD want = left > kReadChunkBytes ? kReadChunkBytes : static_cast<DWORD>(left);
    DWORD got = 0;
    if (!ReadFile(file.Get(), bytes.data() + done, want, &got, nullptr) || got == 0) {
      bytes.clear();
      return LooseFileResult::ReadFailed;
    }
    done += got;
  }
  return LooseFileResult::Ok;
}

std::wstring ModuleFolder(void* module) {
  if (module == nullptr) return std::wstring();
  wchar_t buffer[MAX_PATH + 1] = {};
  const DWORD n = GetModuleFileNameW(static_cast<HMODULE>(module), buffer, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return std::wstring();
  std::wstring path(buffer, n);
  const size_t slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return std::wstring();
  path.resize(slash + 1);
  return path;
}

std::wstring AnsiToWide(const uint8_t* bytes, size_t length) {
  if (bytes == nullptr || length == 0) return std::wstring();
  const int n = MultiByteToWideChar(CP_ACP, 0, reinterpret_cast<const char*>(bytes), static_cast<int>(length),
                                    nullptr, 0);
  if (n <= 0) return std::wstring();
  std::wstring text(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, reinterpret_cast<const char*>(bytes), static_cast<int>(length), text.data(), n);
  return text;
}

}  // namespace SkinUI
