#pragma once
// The engine's "name=value" output lines, one per call.
#include <cstdint>
#include <string>

void PrintLine(const char* name, const std::string& value);
void PrintLine(const char* name, const std::wstring& value);  // as UTF-8
void PrintLine(const char* name, bool value);                 // "true" / "false"
void PrintLine(const char* name, int32_t value);
void PrintLine(const char* name, uint64_t value);
// printf's %g (6 significant digits, two-digit exponent) on every platform; NaN of any
// sign prints as "nan".
void PrintLine(const char* name, double value);
