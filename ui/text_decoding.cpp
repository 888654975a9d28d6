#include "ui/text_decoding.h"

#include <vector>

namespace SkinUI {

namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kMaxCodePoint = 0x10FFFF;
constexpr bool kWideIsUtf16 = sizeof(wchar_t) == 2;

void AppendCodePoint(std::wstring& out, char32_t cp) {
  if (cp > kMaxCodePoint || (cp >= 0xD800 && cp <= 0xDFFF)) cp = kReplacement;
  if (kWideIsUtf16 && cp >= 0x10000) {
    cp -= 0x10000;
    out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
  } else {
    out.push_back(static_cast<wchar_t>(cp));
  }
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

}  // namespace

std::wstring Utf8ToWideLenient(const uint8_t* bytes, size_t length) {
  std::wstring out;
  out.reserve(length);
  size_t i = 0;
  while (i < length) {
    const uint8_t lead = bytes[i];
    if (lead < 0x80) {
      out.push_back(static_cast<wchar_t>(lead));
      ++i;
      continue;
    }
    size_t extra = 0;
    char32_t cp = 0;
    char32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
      extra = 1, cp = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      extra = 2, cp = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      extra = 3, cp = lead & 0x07, minimum = 0x10000;
    } else {
      out.push_back(static_cast<wchar_t>(kReplacement));
      ++i;
      continue;
    }
    size_t j = 1;
    for (; j <= extra && i + j < length && (bytes[i + j] & 0xC0) == 0x80; ++j) cp = (cp << 6) | (bytes[i + j] & 0x3F);
    if (j <= extra || cp < minimum || cp > kMaxCodePoint || (cp >= 0xD800 && cp <= 0xDFFF)) {
      out.push_back(static_cast<wchar_t>(kReplacement));
      i += j;  // the maximal ill-formed part
      continue;
    }
    AppendCodePoint(out, cp);
    i += j;
  }
  return out;
}

std::wstring Utf16ToWide(const uint16_t* units, size_t count) {
  std::wstring out;
  out.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    const char32_t u = units[i];
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < count && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
      AppendCodePoint(out, 0x10000 + ((u - 0xD800) << 10) + (units[i + 1] - 0xDC00));
      ++i;
    } else {
      AppendCodePoint(out, u);
    }
  }
  return out;
}

std::string WideToUtf8(const std::wstring& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t cp = static_cast<char32_t>(text[i]);
    if (kWideIsUtf16) cp &= 0xFFFF;
    if (kWideIsUtf16 && cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size()) {
      const char32_t low = static_cast<char32_t>(text[i + 1]) & 0xFFFF;
      if (low >= 0xDC00 && low <= 0xDFFF) {
        cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      }
    }
    if (cp > kMaxCodePoint || (cp >= 0xD800 && cp <= 0xDFFF)) cp = kReplacement;
    AppendUtf8(out, cp);
  }
  return out;
}

bool DecodeDocumentBytes(const uint8_t* bytes, size_t length, int encoding, std::wstring& text) {
  text.clear();
  if (bytes == nullptr) length = 0;
  switch (encoding) {
    case 0: {
      if (length >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
        bytes += 3;
        length -= 3;
      }
      text = Utf8ToWideLenient(bytes, length);
      return true;
    }
    case 1: {
      if (length < 2) return false;
      bool bigEndian;
      if (bytes[0] == 0xFE && bytes[1] == 0xFF) {
        bigEndian = true;
      } else if (bytes[0] == 0xFF && bytes[1] == 0xFE) {
        bigEndian = false;
      } else {
        return false;
      }
      const size_t count = (length - 2) / 2;
      std::vector<uint16_t> units(count);
      for (size_t i = 0; i < count; ++i) {
        const uint8_t a = bytes[2 + 2 * i];
        const uint8_t b = bytes[3 + 2 * i];
        units[i] = bigEndian ? static_cast<uint16_t>((a << 8) | b) : static_cast<uint16_t>((b << 8) | a);
      }
      text = Utf16ToWide(units.data(), units.size());
      return true;
    }
    case 2:
      text = AnsiToWide(bytes, length);
      return true;
    default:
      return false;
  }
}

}  // namespace SkinUI
