#include "utils/unicode.h"

namespace Utils::Unicode {
namespace {

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

}  // namespace

bool DecodeUtf8(const char* bytes, size_t size, size_t& pos, char32_t& codePoint) {
  const auto* in = reinterpret_cast<const unsigned char*>(bytes);
  const unsigned char lead = in[pos];
  if (lead < 0x80) {
    codePoint = lead;
    ++pos;
    return true;
  }
  size_t length = 0;
  char32_t value = 0;
  // Allowed range of the second byte (excludes overlong forms and surrogates).
  unsigned char low = 0x80, high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    value = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    value = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    value = lead & 0x07;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    ++pos;
    return false;
  }
  size_t i = 1;
  for (; i < length; ++i) {
    if (pos + i >= size) break;
    const unsigned char byte = in[pos + i];
    if (i == 1 ? (byte < low || byte > high) : !IsContinuation(byte)) break;
    value = (value << 6) | (byte & 0x3F);
  }
  if (i < length) {
    pos += i;  // the maximal ill-formed part
    return false;
  }
  pos += length;
  codePoint = value;
  return true;
}

void AppendWide(std::wstring& out, char32_t codePoint) {
  if constexpr (sizeof(wchar_t) == 2) {
    if (codePoint >= 0x10000) {
      codePoint -= 0x10000;
      out.push_back(static_cast<wchar_t>(0xD800 + (codePoint >> 10)));
      out.push_back(static_cast<wchar_t>(0xDC00 + (codePoint & 0x3FF)));
      return;
    }
  }
  out.push_back(static_cast<wchar_t>(codePoint));
}

char32_t NextWide(const wchar_t* text, size_t size, size_t& pos) {
  const char32_t unit = static_cast<char32_t>(text[pos++]) & (sizeof(wchar_t) == 2 ? 0xFFFFu : 0xFFFFFFFFu);
  if (unit >= 0xD800 && unit <= 0xDBFF) {
    if constexpr (sizeof(wchar_t) == 2) {
      if (pos < size) {
        const char32_t next = static_cast<char32_t>(text[pos]) & 0xFFFFu;
        if (next >= 0xDC00 && next <= 0xDFFF) {
          ++pos;
          return 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00);
        }
      }
    }
    return kReplacement;
  }
  if (unit >= 0xDC00 && unit <= 0xDFFF) return kReplacement;
  if (unit > kMaxCodePoint) return kReplacement;
  return unit;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

std::wstring DecodeUtf8Lenient(const char* bytes, size_t size) {
  std::wstring out;
  out.reserve(size);
  size_t pos = 0;
  while (pos < size) {
    char32_t cp = 0;
    AppendWide(out, DecodeUtf8(bytes, size, pos, cp) ? cp : kReplacement);
  }
  return out;
}

std::string EncodeUtf8(const wchar_t* text, size_t size) {
  std::string out;
  out.reserve(size);
  size_t pos = 0;
  while (pos < size) AppendUtf8(out, NextWide(text, size, pos));
  return out;
}

}  // namespace Utils::Unicode
