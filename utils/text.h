#pragma once
// Text conversions between the installer's wide strings and the narrow strings of
// file-system calls, libcurl, analytics and child-process output. None throws except
// Utf8ToWide. Code page 0 is the ANSI code page (UTF-8 on POSIX), 65001 is UTF-8.
#include <cstdint>
#include <string>
#include <vector>

namespace Utils {

constexpr unsigned kCodePageAnsi = 0;
constexpr unsigned kCodePageUtf8 = 65001;

// Bytes up to the first zero byte, converted from the code page; empty on failure.
// On POSIX codes 0 and 65001 are UTF-8 (each ill-formed sequence gives one U+FFFD)
// and other code pages go through iconv's "CP<n>" tables.
std::wstring MultiByteToWide(const std::string& bytes, unsigned codePage);
// Text up to the first zero character, converted to the code page; empty on failure.
std::string WideToMultiByte(const std::wstring& text, unsigned codePage);
// Bytes 33..126 unchanged, blank -> "+", any other byte -> "%XX" (uppercase hex).
std::string UrlEncodeBytes(const std::string& bytes);
// UTF-8 bytes of the text, URL-encoded as above.
std::wstring UrlEncodeUtf8(const std::wstring& text);
// Replaces the first occurrence of from, searching again from the start, until none
// is left. When `to` contains `from` (which would never end) each occurrence is
// replaced once, left to right; an empty `from` returns the text unchanged.
std::wstring ReplaceAll(std::wstring text, const std::wstring& from, const std::wstring& to);
// Removes blank, \t, \n, \v, \f, \r from the end, then from the start.
std::wstring Trim(const std::wstring& text);
// True when the first occurrence of prefix in text is at position 0.
bool StartsWith(const std::wstring& text, const std::wstring& prefix);
std::wstring UIntToWide(uint32_t value);
// Throws std::range_error("bad conversion") on invalid UTF-8.
std::wstring Utf8ToWide(const std::string& bytes);
// UTF-16 text to UTF-8; ill-formed surrogates become U+FFFD. Never throws.
std::string WideToUtf8(const std::wstring& text);
// Lines of a file's bytes, split at "\n", each without its "\r\n" or "\n"; empty lines
// are kept, and a final line break starts no further line.
std::vector<std::string> SplitLines(const std::string& bytes);

}  // namespace Utils
