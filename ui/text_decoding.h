#pragma once
// Byte-to-text conversions of the skin loader. Wide strings hold UTF-16 where wchar_t
// is 16 bits (Windows) and code points where it is 32 bits (POSIX). UTF-8 itself is
// decoded by Utils::Unicode, like every other text of the installer.
#include <cstddef>
#include <cstdint>
#include <string>

namespace SkinUI {

// encoding: 0 UTF-8 (a leading BOM is skipped), 1 UTF-16 (requires a BOM: FE FF
// big-endian, FF FE little-endian; the mark is dropped; an odd last byte is ignored),
// 2 the system ANSI code page. Ill-formed sequences become U+FFFD. False for UTF-16
// without a BOM or an unknown encoding.
bool DecodeDocumentBytes(const uint8_t* bytes, size_t length, int encoding, std::wstring& text);

// UTF-8 to wide; each ill-formed part becomes U+FFFD.
std::wstring Utf8ToWideLenient(const uint8_t* bytes, size_t length);
// UTF-16 code units to wide; lone surrogates become U+FFFD.
std::wstring Utf16ToWide(const uint16_t* units, size_t count);

// The system ANSI code page to wide (platform file; UTF-8 on POSIX).
std::wstring AnsiToWide(const uint8_t* bytes, size_t length);

}  // namespace SkinUI
