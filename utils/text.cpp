#include "utils/text.h"

#include <stdexcept>

#include "utils/unicode.h"

namespace Utils {

std::string UrlEncodeBytes(const std::string& bytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(bytes.size() * 3);
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 33 && byte <= 126) {
      out.push_back(c);
    } else if (byte == ' ') {
      out.push_back('+');
    } else {
      out.push_back('%');
      out.push_back(kHex[byte >> 4]);
      out.push_back(kHex[byte & 0x0F]);
    }
  }
  return out;
}

std::wstring UrlEncodeUtf8(const std::wstring& text) {
  return MultiByteToWide(UrlEncodeBytes(WideToMultiByte(text, kCodePageUtf8)), kCodePageUtf8);
}

std::wstring ReplaceAll(std::wstring text, const std::wstring& from, const std::wstring& to) {
  // Searching again from the start would never end if `to` contained `from`; in that
  // case every occurrence is replaced once, left to right.
  if (from.empty()) return text;
  const bool restartable = to.find(from) == std::wstring::npos;
  size_t searchFrom = 0;
  for (size_t at = text.find(from); at != std::wstring::npos; at = text.find(from, searchFrom)) {
    text.replace(at, from.size(), to);
    searchFrom = restartable ? 0 : at + to.size();
  }
  return text;
}

namespace {
bool IsTrimSpace(wchar_t c) { return c == L' ' || (c >= L'\t' && c <= L'\r'); }
}  // namespace

std::wstring Trim(const std::wstring& text) {
  size_t end = text.size();
  while (end > 0 && IsTrimSpace(text[end - 1])) --end;
  size_t begin = 0;
  while (begin < end && IsTrimSpace(text[begin])) ++begin;
  return text.substr(begin, end - begin);
}

bool StartsWith(const std::wstring& text, const std::wstring& prefix) { return text.find(prefix) == 0; }

std::wstring UIntToWide(uint32_t value) { return std::to_wstring(value); }

std::wstring Utf8ToWide(const std::string& bytes) {
  std::wstring out;
  out.reserve(bytes.size());
  size_t pos = 0;
  while (pos < bytes.size()) {
    char32_t cp = 0;
    if (!Unicode::DecodeUtf8(bytes.data(), bytes.size(), pos, cp)) throw std::range_error("bad conversion");
    Unicode::AppendWide(out, cp);
  }
  return out;
}

std::string WideToUtf8(const std::wstring& text) { return Unicode::EncodeUtf8(text.data(), text.size()); }

std::vector<std::string> SplitLines(const std::string& bytes) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  return lines;
}

}  // namespace Utils
