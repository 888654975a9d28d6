#include <chrono>
#include <thread>

#include "utils/callback_slot.h"
#include "utils/os.h"

namespace Utils {
namespace {

bool IsSeparator(wchar_t c) { return c == L'/' || c == L'\\'; }

size_t LastSeparator(const std::wstring& path) { return path.find_last_of(L"/\\"); }

// Never destroyed: worker threads may still sleep while the process exits.
CallbackSlot<SleepHook>& Hook() {
  static auto* slot = new CallbackSlot<SleepHook>;
  return *slot;
}

}  // namespace

std::wstring JoinPath(const std::wstring& dir, const std::wstring& name) {
  if (dir.empty()) return name;
  if (IsSeparator(dir.back())) return dir + name;
  return dir + kPathSeparator + name;
}

std::wstring FileNamePart(const std::wstring& path) {
  const size_t at = LastSeparator(path);
  return at == std::wstring::npos ? path : path.substr(at + 1);
}

std::wstring DirectoryPart(const std::wstring& path) {
  const size_t at = LastSeparator(path);
  return at == std::wstring::npos ? std::wstring() : path.substr(0, at);
}

void SleepMs(uint32_t milliseconds) {
  if (const auto hook = Hook().Get()) {
    (*hook)(milliseconds);
    return;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void SetSleepHookForTesting(SleepHook hook) { Hook().Set(std::move(hook)); }

}  // namespace Utils

namespace Utils {

bool IsWritableProfileEntry(const std::wstring& section, const std::wstring& key, const std::wstring& value) {
  const auto hasBreak = [](const std::wstring& text) { return text.find_first_of(L"\r\n") != std::wstring::npos; };
  if (section.empty() || key.empty()) return false;
  if (hasBreak(section) || hasBreak(key) || hasBreak(value)) return false;
  // A key line starting with '[' would read as a section header, with ';' as a comment.
  const size_t keyStart = key.find_first_not_of(L" \t\v\f");
  if (keyStart == std::wstring::npos || key[keyStart] == L'[' || key[keyStart] == L';') return false;
  return key.find(L'=') == std::wstring::npos && section.find(L']') == std::wstring::npos;
}

int ParseProfileInt(const std::wstring& value) {
  size_t i = 0;
  while (i < value.size() && value[i] <= L' ') ++i;
  bool negative = false;
  if (i < value.size() && (value[i] == L'+' || value[i] == L'-')) negative = value[i++] == L'-';
  uint32_t result = 0;
  for (; i < value.size() && value[i] >= L'0' && value[i] <= L'9'; ++i) {
    result = result * 10u + static_cast<uint32_t>(value[i] - L'0');
  }
  if (negative) result = 0u - result;
  return static_cast<int>(result);
}

}  // namespace Utils
