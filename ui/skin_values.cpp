#include "ui/skin_values.h"

#include <cstdio>
#include <cwchar>

namespace SkinUI {

namespace {

bool IsBlank(wchar_t c) { return c != 0 && static_cast<uint32_t>(c) <= 32; }

int HexDigit(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  return -1;
}

bool IsTrue(const std::wstring& value) { return value == L"true"; }

int ClampFade(long value) {
  if (value < 0) return 0;
  if (value > 255) return 255;
  return static_cast<int>(value);
}

}  // namespace

uint32_t ParseColourValue(const std::wstring& text) {
  const wchar_t* p = text.c_str();
  if (*p == L'#') ++p;
  while (IsBlank(*p)) ++p;
  if (p[0] == L'0' && (p[1] == L'x' || p[1] == L'X') && HexDigit(p[2]) >= 0) p += 2;
  uint64_t value = 0;
  for (; HexDigit(*p) >= 0; ++p) {
    value = value * 16 + static_cast<uint64_t>(HexDigit(*p));
    if (value > 0xFFFFFFFFull) return 0xFFFFFFFFu;
  }
  return static_cast<uint32_t>(value);
}

SkinRect ParseRectValue(const std::wstring& text) {
  SkinRect rect;
  int* fields[] = {&rect.left, &rect.top, &rect.right, &rect.bottom};
  const wchar_t* p = text.c_str();
  for (int* field : fields) {
    wchar_t* end = nullptr;
    const long value = std::wcstol(p, &end, 10);
    if (end == p) break;
    *field = static_cast<int>(value);
    if (*end == 0) break;
    p = end + 1;
  }
  return rect;
}

ImageValue ParseImageValue(const std::wstring& text) {
  ImageValue result;
  std::wstring file, res, restype, colour;
  bool haveFile = false, haveRes = false, haveColour = false;
  const wchar_t* p = text.c_str();
  for (;;) {
    while (IsBlank(*p)) ++p;
    std::wstring key;
    while (*p != 0 && *p != L'=' && !IsBlank(*p)) key.push_back(*p++);
    while (IsBlank(*p)) ++p;
    if (*p != L'=') break;
    ++p;
    while (IsBlank(*p)) ++p;
    if (*p != L'\'') break;
    ++p;
    std::wstring value;
    while (*p != 0 && *p != L'\'') value.push_back(*p++);
    if (*p != L'\'') break;
    ++p;

    if (key == L"file") {
      file = value, haveFile = true;
    } else if (key == L"res") {
      res = value, haveRes = true;
    } else if (key == L"restype") {
      restype = value;
    } else if (key == L"color") {
      colour = value, haveColour = true;
    } else if (key == L"dest") {
      result.dest = ParseRectValue(value);
    } else if (key == L"source") {
      result.source = ParseRectValue(value);
    } else if (key == L"corner" || key == L"scale9") {
      result.corner = ParseRectValue(value);
    } else if (key == L"mask") {
      result.mask = ParseColourValue(value);
    } else if (key == L"fade") {
      result.fade = ClampFade(std::wcstol(value.c_str(), nullptr, 10));
    } else if (key == L"hole") {
      result.hole = IsTrue(value);
    } else if (key == L"xtiled") {
      result.xtiled = IsTrue(value);
    } else if (key == L"ytiled") {
      result.ytiled = IsTrue(value);
    } else if (key == L"hsl") {
      result.hsl = IsTrue(value);
    }
    if (*p != L' ') break;
  }

  if (haveColour) {
    result.name = colour;
    result.type = kColorImageType;
  } else if (haveRes) {
    result.name = res;
    result.type = restype;
    result.fromResource = true;
  } else if (haveFile) {
    result.name = file;
  } else {
    result.name = text;
  }
  return result;
}

bool FormatFramePattern(const std::wstring& pattern, int value, std::wstring& result, size_t maxChars) {
  result.clear();
  bool converted = false;
  for (size_t i = 0; i < pattern.size(); ++i) {
    const wchar_t c = pattern[i];
    if (c != L'%') {
      result.push_back(c);
      continue;
    }
    if (i + 1 < pattern.size() && pattern[i + 1] == L'%') {
      result.push_back(L'%');
      ++i;
      continue;
    }
    if (converted) return false;
    // %[flags][width][.precision]conversion, built into a narrow format of our own.
    std::string spec = "%";
    size_t j = i + 1;
    while (j < pattern.size() && std::wcschr(L"-+ 0#", pattern[j]) != nullptr && pattern[j] != 0)
      spec.push_back(static_cast<char>(pattern[j++]));
    size_t digits = 0;
    while (j < pattern.size() && pattern[j] >= L'0' && pattern[j] <= L'9' && digits < 3) {
      spec.push_back(static_cast<char>(pattern[j++]));
      ++digits;
    }
    if (j < pattern.size() && pattern[j] == L'.') {
      spec.push_back('.');
      ++j;
      digits = 0;
      while (j < pattern.size() && pattern[j] >= L'0' && pattern[j] <= L'9' && digits < 3) {
        spec.push_back(static_cast<char>(pattern[j++]));
        ++digits;
      }
    }
    if (j >= pattern.size()) return false;
    const wchar_t conversion = pattern[j];
    if (conversion != L'd' && conversion != L'i' && conversion != L'u') return false;
    spec.push_back(conversion == L'u' ? 'u' : 'd');
    char buffer[1024];
    const int n = conversion == L'u' ? std::snprintf(buffer, sizeof buffer, spec.c_str(), static_cast<unsigned>(value))
                                     : std::snprintf(buffer, sizeof buffer, spec.c_str(), value);
    if (n < 0 || static_cast<size_t>(n) >= sizeof buffer) return false;
    for (int k = 0; k < n; ++k) result.push_back(static_cast<wchar_t>(buffer[k]));
    converted = true;
    i = j;
  }
  return converted && result.size() <= maxChars;
}

}  // namespace SkinUI
