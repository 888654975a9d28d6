#pragma once
// UTF-8 <-> wide codec shared by the text functions of both platforms. Wide strings
// hold UTF-16 code units where wchar_t is 16 bits (Windows) and code points where it
// is 32 bits (Linux); every function here works with either.
#include <cstddef>
#include <cstdint>
#include <string>

namespace Utils::Unicode {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kMaxCodePoint = 0x10FFFF;

// Decodes one code point at bytes[pos]; advances pos. Returns false on an ill-formed
// sequence, with pos advanced past its maximal ill-formed part (at least one byte).
bool DecodeUtf8(const char* bytes, size_t size, size_t& pos, char32_t& codePoint);
// Appends the code point in the platform's wide form (a surrogate pair on Windows).
void AppendWide(std::wstring& out, char32_t codePoint);
// Reads one code point at text[pos]; a lone surrogate or out-of-range value gives
// U+FFFD. Advances pos.
char32_t NextWide(const wchar_t* text, size_t size, size_t& pos);
// Appends the UTF-8 bytes of the code point.
void AppendUtf8(std::string& out, char32_t codePoint);

// Lenient UTF-8 to wide: each ill-formed part becomes one U+FFFD.
std::wstring DecodeUtf8Lenient(const char* bytes, size_t size);
// Wide to UTF-8: ill-formed surrogates become U+FFFD.
std::string EncodeUtf8(const wchar_t* text, size_t size);

}  // namespace Utils::Unicode
