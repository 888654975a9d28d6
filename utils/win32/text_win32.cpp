#include <windows.h>

#include <cstring>
#include <cwchar>

#include "utils/text.h"

namespace Utils {

std::wstring MultiByteToWide(const std::string& bytes, unsigned codePage) {
  const int size = static_cast<int>(strnlen(bytes.data(), bytes.size()));
  if (size == 0) return {};
  const int length = MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
  if (length <= 0) return {};
  std::wstring text(static_cast<size_t>(length), L'\0');
  if (MultiByteToWideChar(codePage, 0, bytes.data(), size, text.data(), length) != length) return {};
  return text;
}

std::string WideToMultiByte(const std::wstring& text, unsigned codePage) {
  const int size = static_cast<int>(wcsnlen(text.data(), text.size()));
  if (size == 0) return {};
  const int length = WideCharToMultiByte(codePage, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return {};
  std::string bytes(static_cast<size_t>(length), '\0');
  if (WideCharToMultiByte(codePage, 0, text.data(), size, bytes.data(), length, nullptr, nullptr) != length) return {};
  return bytes;
}

}  // namespace Utils
