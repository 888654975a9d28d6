#include "runner/console_protocol.h"

#include <cwchar>
#include <cwctype>

#include "utils/text.h"

namespace ConsoleProtocol {

namespace {

constexpr int32_t kLargestCodePage = 65535;

}  // namespace

std::vector<std::wstring> SplitLines(const std::wstring& text) {
  std::vector<std::wstring> lines;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find(L'\n', start);
    if (end == std::wstring::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

bool MatchKey(const std::wstring& line, const std::wstring& key, std::wstring& value) {
  if (line.compare(0, key.size(), key) != 0) return false;
  value = line.substr(key.size(), kMaxValueChars);
  return true;
}

double ScanDouble(const std::wstring& value) {
  const wchar_t* begin = value.c_str();
  wchar_t* end = nullptr;
  const double number = std::wcstod(begin, &end);
  return end == begin ? 0.0 : number;
}

bool ScanInt(const std::wstring& value, size_t& pos, int32_t& number) {
  if (pos >= value.size()) return false;
  const wchar_t* begin = value.c_str() + pos;
  wchar_t* end = nullptr;
  const long long parsed = std::wcstoll(begin, &end, 10);
  if (end == begin) return false;
  number = static_cast<int32_t>(static_cast<uint32_t>(static_cast<unsigned long long>(parsed)));
  pos += static_cast<size_t>(end - begin);
  return true;
}

int32_t InstallCodePage(const std::wstring& value) {
  const std::wstring name = Utils::Trim(value);
  if (name == L"UTF8") return Utils::kCodePageUtf8;
  if (name == L"ACP" || name.empty()) return 0;
  int32_t codePage = 0;
  for (wchar_t c : name) {
    if (c < L'0' || c > L'9') return 0;
    codePage = codePage * 10 + (c - L'0');
    if (codePage > kLargestCodePage) return 0;  // also keeps a long value from overflowing
  }
  return codePage;
}

int32_t UninstallCodePage(const std::wstring& value) {
  return Utils::Trim(value) == L"UTF8" ? Utils::kCodePageUtf8 : 0;
}

std::wstring DecodeBlock(const char* bytes, size_t count, int32_t codePage) {
  return Utils::MultiByteToWide(std::string(bytes, count), static_cast<unsigned>(codePage));
}

}  // namespace ConsoleProtocol
