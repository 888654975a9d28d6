#include "ui/text_decoding.h"

#include <vector>

#include "utils/unicode.h"

namespace SkinUI {

namespace {

bool IsHighSurrogate(char32_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(char32_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

}  // namespace

std::wstring Utf8ToWideLenient(const uint8_t* bytes, size_t length) {
  if (bytes == nullptr) return std::wstring();
  return Utils::Unicode::DecodeUtf8Lenient(reinterpret_cast<const char*>(bytes), length);
}

std::wstring Utf16ToWide(const uint16_t* units, size_t count) {
  std::wstring out;
  out.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    const char32_t u = units[i];
    if (IsHighSurrogate(u) && i + 1 < count && IsLowSurrogate(units[i + 1])) {
      Utils::Unicode::AppendWide(out, 0x10000 + ((u - 0xD800) << 10) + (units[i + 1] - 0xDC00));
      ++i;
    } else {
      Utils::Unicode::AppendWide(out, IsHighSurrogate(u) || IsLowSurrogate(u) ? Utils::Unicode::kReplacement : u);
    }
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
