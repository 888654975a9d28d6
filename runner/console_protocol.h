#pragma once
// Pieces of the package console protocol shared by both runners: a block of decoded
// output is split into lines at line feeds (a carriage return stays in the line), and
// each line is matched against keys by exact, case-sensitive prefix.
#include <cstdint>
#include <string>
#include <vector>

namespace ConsoleProtocol {

// Longest text value taken from a line; the rest of a longer line is dropped.
constexpr size_t kMaxValueChars = 771;
// Bytes taken from the output pipe per read; each block is parsed on its own.
constexpr size_t kReadBlockBytes = 1024;

std::vector<std::wstring> SplitLines(const std::wstring& text);
// True when line begins with key; value is then the rest of the line, at most
// kMaxValueChars characters.
bool MatchKey(const std::wstring& line, const std::wstring& key, std::wstring& value);
// "%lf": leading white space, then a floating-point number; 0 when none can be read.
double ScanDouble(const std::wstring& value);
// "%d" at `pos`: leading white space, sign, digits; advances pos past the number.
// False (and pos unchanged) when there is no number. A value beyond 32 bits wraps.
bool ScanInt(const std::wstring& value, size_t& pos, int32_t& number);
// The code page named by an "Encode=" value of the install runner: "UTF8" 65001,
// "ACP" 0, otherwise the value as a decimal code page (0..65535); 0 when it is not one.
int32_t InstallCodePage(const std::wstring& value);
// ... of the uninstall runner: 65001 for "UTF8", otherwise 0.
int32_t UninstallCodePage(const std::wstring& value);
// Decodes one block of child output with the code page.
std::wstring DecodeBlock(const char* bytes, size_t count, int32_t codePage);

}  // namespace ConsoleProtocol
